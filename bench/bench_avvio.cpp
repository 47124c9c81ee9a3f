// Start-up table check and rebuild on a large book: 100,000 products and
// 1,000,000 history rows. Compared with the sqlite3 tool on the same files.

#include "Intervalli.h"
#include "LibroGrande.h"
#include "Misura.h"
#include "app/About.h"
#include "app/Applicazione.h"
#include "app/Avvio.h"
#include "app/Main.h"
#include "app/Start.h"
#include "data/CartellaProgramma.h"
#include "data/CreaTabelle.h"
#include "data/CreaTabelleGenerali.h"
#include "data/engine/Archivio.h"
#include "data/engine/Definizioni.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTimer>

namespace {

QString Definizione(const QString& tabella) {
    // The same table as the program declares it, for the sqlite3 tool.
    const TDefinizioneTabella d = Definizioni::Definizione(tabella + QStringLiteral(".db"));
    QStringList colonne;
    for (const TDefCampo& c : d.struttura.campi)
        colonne << QStringLiteral("\"%1\" %2%3").arg(c.nome, c.tipoDichiarato(), c.richiesto ? QStringLiteral(" NOT NULL") : QString());
    colonne << QStringLiteral("PRIMARY KEY (\"ID\")");
    return QStringLiteral("CREATE TABLE n.%1 (%2); CREATE INDEX n.\"NOME\" ON %1 (\"NOME\");").arg(tabella, colonne.join(QLatin1Char(',')));
}

}  // namespace

int main(int argc, char** argv) {
    TApplicazione app(argc, argv);
    QTemporaryDir dir;
    const QString libro = dir.filePath(QStringLiteral("libro"));
    QDir().mkpath(libro);
    LibroGrande::Riempi(libro);

    // A normal start: every table checked, nothing to rebuild.
    const double avvio = Misura::Mediana(7, [&] {
        TArchivio::apriCorrente(libro);
        CreaTabelleGenerali();
        CreaTabelle();
        TArchivio::chiudiCorrente();
    });
    QString schemi;
    for (const char* t : {"produttori", "prodotti", "storico", "impostazioni", "cat", "tabexport"})
        schemi += QStringLiteral("attach '%1/%2.db' as %2; select * from %2.pragma_table_info('%2'); select * from %2.pragma_index_list('%2');\n")
                      .arg(libro, QLatin1String(t));
    const double ancoraAvvio = Misura::Mediana(7, [&] { Misura::Motore(QStringLiteral(":memory:"), schemi); });
    Misura::Riga("avvio_controllo_tabelle", avvio, ancoraAvvio);

    // A rebuild of prodotti.db from an old file that lacks QTAALERT.
    const QString vecchio = dir.filePath(QStringLiteral("vecchio.db"));
    QFile::copy(libro + QStringLiteral("/prodotti.db"), vecchio);
    Misura::Sqlite3(vecchio, QStringLiteral("alter table prodotti drop column QTAALERT; vacuum;"));
    const QString lavoro = dir.filePath(QStringLiteral("lavoro"));
    QDir().mkpath(lavoro);
    const auto prepara = [&] {
        QFile::remove(lavoro + QStringLiteral("/prodotti.db"));
        QFile::remove(lavoro + QStringLiteral("/nuovo.db"));
        QFile::copy(vecchio, lavoro + QStringLiteral("/prodotti.db"));
    };
    const double ricostruzione = Misura::Mediana(5, [&] {
        ImpostaCartellaProgramma(lavoro);
        TArchivio::apriCorrente(lavoro);
        TDefinizioneTabella d = Definizioni::Definizione(Definizioni::Prodotti);
        AggiornaStrutturaTabella(d);
        TArchivio::chiudiCorrente();
    }, prepara);
    QStringList campiVecchi;
    for (const TDefCampo& c : Definizioni::CampiProdotti())
        if (c.nome != QLatin1String("QTAALERT")) campiVecchi << QLatin1Char('"') + c.nome + QLatin1Char('"');
    const QString copia = QStringLiteral("attach '%1/nuovo.db' as n; begin; %2 insert into n.prodotti (%3) select %3 from prodotti; commit;")
                              .arg(lavoro, Definizione(QStringLiteral("prodotti")), campiVecchi.join(QLatin1Char(',')));
    const double ancoraRicostruzione =
        Misura::Mediana(5, [&] { Misura::Motore(lavoro + QStringLiteral("/prodotti.db"), copia); }, prepara);
    Misura::Riga("ricostruzione_prodotti_100k", ricostruzione, ancoraRicostruzione);

    // The start-up rebuild of a table of 1,000,000 products that lacks
    // QTAALERT, as the program runs it with the splash shown: the longest
    // the event loop stood still meanwhile, and the last progress the splash
    // showed. Then the main window created on the rebuilt book (the tables
    // checked, the low-stock and expiring-soon counts), timed apart.
    {
        const QString grande = dir.filePath(QStringLiteral("grande"));
        QDir().mkpath(grande);
        LibroGrande::Riempi(grande, 1000, 1000000);
        Misura::Sqlite3(grande + QStringLiteral("/prodotti.db"), QStringLiteral("alter table prodotti drop column QTAALERT; vacuum;"));
        Intervalli::TRisposteSi risposte;
        ImpostaInterazione(&risposte);
        ImpostaCartellaProgramma(grande);
        TArchivio::apriCorrente(grande);
        QString vistoSulloSplash;
        {
            TFrmAbout about;
            TfrmStart start(&about, nullptr);
            QTimer sonda;
            QObject::connect(&sonda, &QTimer::timeout, [&] {
                const QString t = start.etichettaAvanzamento()->text();
                if (!t.isEmpty()) vistoSulloSplash = t;
            });
            sonda.start(100);
            const Intervalli::TEsito e = Intervalli::Misura([&] {
                start.mostraCaricamento();
                CreaTabelleAllAvvio(start.etichettaAvanzamento());
            });
            Intervalli::Riga("avvio_ricostruzione_1m", e);
            std::printf("# last progress on the splash: %s\n",
                        qPrintable(QString(vistoSulloSplash).replace(QLatin1Char('\n'), QLatin1String(" / "))));
            std::printf("# main window on the rebuilt book %.1f ms\n", Misura::Tempo([&] { TfrmMain principale(nullptr, &start); }));
        }
        TArchivio::chiudiCorrente();
        ImpostaInterazione(nullptr);
    }
    return 0;
}
