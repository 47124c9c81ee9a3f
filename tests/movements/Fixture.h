#pragma once
// Fixtures of the movement tests: a product written straight into its table
// with the counters a case needs, the settings switches, reading back.

#include "DatiProva.h"
#include "data/engine/Archivio.h"
#include "data/engine/Tabella.h"
#include "movements/Movimenti.h"

#include <QtTest>

struct TProdottoProva {
    int id = 1;
    QString nome = QStringLiteral("P1");
    QString descrizione = QStringLiteral("Primo prodotto");
    int carichi = 10, scarichi = 4, quantita = 6;
    double totAcq = 50, totVen = 30;
    QVariant prezzo = 2.0, prezzo2 = 8.0;
    QVariant idCategoria = 3;
    QVariant idProduttore;
    QVariant dataOggi = QDate(2004, 1, 10);
    QVariant dataDistinta;
    QVariant numDistinta;
    QVariant giacenzaMax = 30;
    QString foto;
};

inline void ScriviProdotto(const TProdottoProva& p) {
    InserisciProdotto({.id = p.id,
                       .nome = p.nome,
                       .descrizione = p.descrizione,
                       .carichi = p.carichi,
                       .scarichi = p.scarichi,
                       .quantita = p.quantita,
                       .totaleAcquisti = p.totAcq,
                       .totaleVendite = p.totVen,
                       .prezzo = p.prezzo,
                       .prezzo2 = p.prezzo2,
                       .idCategoria = p.idCategoria,
                       .idProduttore = p.idProduttore,
                       .dataOggi = p.dataOggi,
                       .dataDistinta = p.dataDistinta,
                       .numDistinta = p.numDistinta,
                       .giacenzaMax = p.giacenzaMax,
                       .foto = p.foto.isEmpty() ? QVariant() : QVariant(p.foto)});
}

// The history rows, oldest first, as TRecord of the history's fields.
inline QVector<TRecord> RigheStorico() {
    TTabella t(TArchivio::corrente(), QStringLiteral("storico.db"));
    t.impostaOrdine(QStringLiteral("ID"));
    t.apri();
    QVector<TRecord> r;
    for (t.primo(); !t.vuota(); t.successivo()) {
        r << t.record();
        if (t.numeroRecord() == t.conteggio()) break;
    }
    return r;
}

inline int ContaStorico() {
    TArchivio& a = TArchivio::corrente();
    return a.valoreSingolo(QStringLiteral("select count(*) from %1").arg(a.nomeQualificato(QStringLiteral("storico"))))
        .toInt();
}
