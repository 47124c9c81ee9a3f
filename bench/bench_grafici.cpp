// The cash-flow chart over 1,000,000 history rows (a year of days): the
// period read as the menu's button reads it (a worker thread on a connection
// of its own, the event loop running) and the chart window drawing its
// points per day, against
// the engine's own group-by of the same period stepped through the C API on
// the same connection. Also the time until the window is on screen and
// painted, the longest the event loop stood still meanwhile, and the week
// and month groupings.

#include "LibroGrande.h"
#include "Intervalli.h"
#include "Misura.h"
#include "app/Applicazione.h"
#include "data/DatiGrafici.h"
#include "gui/Grafico.h"

#include <QApplication>
#include <QLineSeries>
#include <QTemporaryDir>

int main(int argc, char** argv) {
    TApplicazione app(argc, argv);
    QTemporaryDir dir;
    LibroGrande::Riempi(dir.path());
    TArchivio::apriCorrente(dir.path());
    TArchivio& a = TArchivio::corrente();

    TParametriGrafico p;
    p.tipo = TParametriGrafico::Tipo::Flussi;
    p.da = QDate(2004, 1, 1);
    p.a = QDate(2004, 12, 31);
    p.descrizioneAzioni = QStringLiteral("Tutti");

    const QString sql = QStringLiteral("select DATAOGGI, sum(PREZZOACQ), sum(PREZZO) from %1 "
                                       "where DATAOGGI >= ? and DATAOGGI <= ? group by DATAOGGI order by DATAOGGI")
                            .arg(a.nomeQualificato(Definizioni::Storico));
    sqlite3* db = a.handle();
    QWidget proprietario;
    int punti = 0, giorniMotore = 0;
    std::vector<double> nostri, ancore;
    for (int giro = 0; giro < 5; ++giro) {
        nostri.push_back(Misura::Tempo([&] {
            TFrmGrafico g(p, LeggiDatiGraficoInDisparte(&proprietario, p));
            punti = g.serie(QStringLiteral("Vendite"))->count();
        }));
        ancore.push_back(Misura::Tempo([&] {
            sqlite3_stmt* st = nullptr;
            const QByteArray testo = sql.toUtf8();
            sqlite3_prepare_v2(db, testo.constData(), -1, &st, nullptr);
            sqlite3_bind_text(st, 1, "2004-01-01", -1, SQLITE_STATIC);
            sqlite3_bind_text(st, 2, "2004-12-31", -1, SQLITE_STATIC);
            double s = 0;
            giorniMotore = 0;
            while (sqlite3_step(st) == SQLITE_ROW) {
                ++giorniMotore;
                sqlite3_column_text(st, 0);
                s += sqlite3_column_double(st, 1) + sqlite3_column_double(st, 2);
            }
            sqlite3_finalize(st);
            if (s < 0) std::fprintf(stderr, "%f\n", s);
        }));
    }
    std::fprintf(stderr, "grafico flussi: %d punti (motore %d giorni)\n", punti, giorniMotore);
    Misura::Riga("grafico_flussi_1m", Misura::MedianaDi(nostri), Misura::MedianaDi(ancore));

    // From the click to the chart painted on screen.
    const double appare = Misura::Mediana(3, [&] {
        TFrmGrafico g(p, LeggiDatiGraficoInDisparte(&proprietario, p));
        g.show();
        QApplication::processEvents();
        g.grab();
    });
    std::fprintf(stderr, "grafico flussi: sullo schermo in %.0f ms\n", appare);
    // The event loop while the period is read and the chart drawn.
    Intervalli::Riga("grafico_flussi_1m", Intervalli::Misura([&] {
                         TFrmGrafico g(p, LeggiDatiGraficoInDisparte(&proprietario, p));
                     }));
    for (const TRaggruppamento r : {TRaggruppamento::Settimana, TRaggruppamento::Mese}) {
        TFrmGrafico g(p);
        const double t = Misura::Tempo([&] { g.impostaRaggruppamento(r); });
        std::fprintf(stderr, "grafico flussi: per %s %lld punti in %.0f ms\n", qPrintable(NomeRaggruppamento(r)),
                     static_cast<long long>(g.serie(QStringLiteral("Vendite"))->count()), t);
    }
    TArchivio::chiudiCorrente();
    return punti == giorniMotore && punti == 365 ? 0 : 1;
}
