#include "reports/StampaComune.h"

#include "data/Convenzioni.h"
#include "gui/Messaggi.h"
#include "reports/DatiStampe.h"

#include <algorithm>

void PreparaReport(TReport& report, TDatiReport* dati, double dimensioneLayout, std::function<void()> primaDiGenerare) {
    report.impostaDati(dati);
    report.fontBase.setPointSizeF(dimensioneLayout);
    report.primaDiGenerare = std::move(primaDiGenerare);
}

TBanda& BandaIntestazione(TReport& report, double altezza, const QString& prefissoPagina) {
    TBanda& banda = report.banda(TTipoBanda::IntestazioneColonne, altezza);
    banda.numeroPagina(QStringLiteral("QRSysData1"), {150, 0, 40, 5}, prefissoPagina)
        .allinea(Qt::AlignRight | Qt::AlignVCenter);
    return banda;
}

QString TestoIntervalloPeriodo(const QString& dataDa, const QString& dataA) {
    return QStringLiteral("Intervallo periodo dal ") + DataDaPeriodo(dataDa) + QStringLiteral(" al ") +
           DataDaPeriodo(dataA);
}

QString TestoMoneta(double valore) { return FormattaNumero(valore, 2) + QStringLiteral(" €"); }

int CarattereEffettivo(int carattere, bool avvisa) {
    if (carattere <= 0) {
        if (avvisa) MostraAttenzione(QStringLiteral("Parametro di carattere di stampa inferiore a 0"));
        return 0;
    }
    if (carattere < CarattereMinimo) {
        if (avvisa)
            MostraAttenzione(QStringLiteral("Parametro di carattere di stampa inferiore a %1: viene usato %1").arg(CarattereMinimo));
        return CarattereMinimo;
    }
    if (carattere > CarattereMassimo) {
        if (avvisa)
            MostraAttenzione(QStringLiteral("Parametro di carattere di stampa superiore a %1: viene usato %1").arg(CarattereMassimo));
        return CarattereMassimo;
    }
    return carattere;
}

namespace {

// The size given to the controls, and the band grown to hold it.
void ApplicaDimensione(TReport& report, double dimensione, const QStringList& controlli, TBanda* banda,
                       double altezzaLayout) {
    // A line of text needs about 1.4 times its size (1 pt = 0.3528 mm).
    const double altezza = std::max(altezzaLayout, dimensione * 0.3528 * 1.4);
    for (const QString& n : controlli)
        if (TControllo* c = report.controllo(n)) {
            c->impostaDimensioneFont(dimensione);
            c->area.setHeight(altezza - c->area.top());
        }
    if (banda) banda->impostaAltezza(altezza);
}

}  // namespace

void ApplicaCarattereStampa(TReport& report, int carattere, const QStringList& controlli, double dimensioneLayout,
                            TBanda* banda, double altezzaLayout) {
    const int c = CarattereEffettivo(carattere, true);
    ApplicaDimensione(report, c > 0 ? c : dimensioneLayout, controlli, banda, altezzaLayout);
}

void DisponiRiepilogo(TReport& report, int carattere, double dimensioneLayout, const QStringList& controlli) {
    const int c = CarattereEffettivo(carattere, false);
    const double dimensione = c > 0 ? c : dimensioneLayout;
    const double riga = std::max(4.5, dimensione * 0.3528 * 1.4);
    for (int i = 0; i < controlli.size(); ++i) {
        TControllo* c = report.controllo(controlli[i]);
        c->impostaDimensioneFont(dimensione);
        c->area = QRectF(c->area.x(), 1 + std::max(0, i - 1) * riga, c->area.width(), riga);
    }
    report.banda(TTipoBanda::Riepilogo)->impostaAltezza(1 + 3 * riga + 1);
}

void ScriviRiepilogo(TReport& report, const QStringList& controlli, const QString& linea, double larghezzaLinea,
                     bool nonStampaPrezzi, double totaleAcquisti, double totaleVendite) {
    report.controllo(linea)->impostaDimensioni(nonStampaPrezzi ? 0 : larghezzaLinea, nonStampaPrezzi ? 0 : 0.2);
    const QString testi[] = {
        TestoMoneta(totaleAcquisti), TestoMoneta(totaleVendite),
        QStringLiteral("DIFFERENZA: ") + TestoDifferenza(totaleAcquisti, totaleVendite) + QStringLiteral(" €"),
        QStringLiteral("RICAVO: ") + TestoRicavo(totaleAcquisti, totaleVendite) + QStringLiteral(" %")};
    for (int i = 0; i < controlli.size() && i < 4; ++i)
        report.controllo(controlli[i])->testo = nonStampaPrezzi ? QString() : testi[i];
}

void ApplicaCarattereStampaRighe(TReport& report, int carattere, double dimensioneLayout,
                                 std::initializer_list<TRigaCarattere> righe) {
    // One warning for the whole report; every line takes the same size.
    const int c = CarattereEffettivo(carattere, true);
    for (const TRigaCarattere& r : righe)
        ApplicaDimensione(report, c > 0 ? c : dimensioneLayout, r.controlli, report.banda(r.banda), r.altezzaLayout);
}

QString ProduttoreDellaRiga(TNomiAnagrafiche& nomi, const QVariant& id) {
    if (id.isNull() || id.toString().isEmpty()) return QString();
    return nomi.produttore(id.toLongLong());
}

bool ApriDatiStampa(QSqlQuery& query, TDatiQueryAvanti& dati, const TQueryStampa& testo, const QString& avvisoVuoto) {
    EseguiQueryStampa(query, testo);
    dati.primo();
    if (!dati.fine()) return true;
    MostraAttenzione(avvisoVuoto);
    return false;
}
