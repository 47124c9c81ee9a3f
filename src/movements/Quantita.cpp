#include "movements/Quantita.h"

#include "data/engine/Definizioni.h"

QString CondizioneVisioneQuantita(int voce) {
    switch (voce) {
    case 0: return QStringLiteral("%1 <= %2 and %1 > 0").arg(Prodotti::Quantita, Prodotti::QtaAlert);
    case 1: return Prodotti::Quantita + QStringLiteral(" = 0");
    case 2: return QStringLiteral("%1 > %2").arg(Prodotti::Quantita, Prodotti::QtaAlert);
    case 3: return Prodotti::Quantita + QStringLiteral(" < 0");
    default: return QString();
    }
}

bool QuantitaInEsubero(int quantita, int qtaAlert) { return quantita > qtaAlert; }

QString TestoStatoQuantita(int q, int a) {
    const QString coda = QStringLiteral(" (In magazzino ") + QString::number(q) + QStringLiteral(" - Q.tà alert ") +
                         QString::number(a) + QLatin1Char(')');
    if (QuantitaInEsubero(q, a)) return QStringLiteral("IN ESUBERO + ") + QString::number(q - a) + QStringLiteral(" pezzi") + coda;
    return QStringLiteral("DA ORDINARE Min. ") + QString::number(a - q) + QStringLiteral(" Pezzi") + coda;
}
