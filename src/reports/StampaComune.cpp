#include "reports/StampaComune.h"

#include "app/Fx.h"

#include <algorithm>

QString TestoMoneta(double valore) { return FormattaNumero(valore, 2) + QStringLiteral(" €"); }

void ApplicaCarattereStampa(TReport& report, int carattere, const QStringList& controlli, double dimensioneLayout,
                            TBanda* banda, double altezzaLayout) {
    double dimensione = dimensioneLayout;
    if (carattere <= 0) MostraAttenzione(QStringLiteral("Parametro di carattere di stampa inferiore a 0"));
    else dimensione = carattere;
    // A line of text needs about 1.4 times its size (1 pt = 0.3528 mm).
    const double altezza = std::max(altezzaLayout, dimensione * 0.3528 * 1.4);
    for (const QString& n : controlli)
        if (TControllo* c = report.controllo(n)) {
            c->impostaDimensioneFont(dimensione);
            c->area.setHeight(altezza - c->area.top());
        }
    if (banda) banda->impostaAltezza(altezza);
}
