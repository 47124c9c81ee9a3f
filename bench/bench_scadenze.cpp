// The expiry run of the expiry check window on 100,000 products, pressed as
// the user does ("Avvia controllo" on the shown window, its events handled
// during the run), against the plain engine in this process running the
// equivalent single UPDATE on the same file.

#include "Intervalli.h"
#include "Misura.h"
#include "app/Applicazione.h"
#include "data/CartellaProgramma.h"
#include "data/CreaTabelle.h"
#include "data/CreaTabelleGenerali.h"
#include "data/engine/Archivio.h"
#include "movements/CtrlGiacenze.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QCoreApplication>
#include <QProcess>
#include <algorithm>

int main(int argc, char** argv) {
    TApplicazione app(argc, argv);
    QTemporaryDir dir;
    const QString libro = dir.filePath(QStringLiteral("libro"));
    const QString lavoro = dir.filePath(QStringLiteral("lavoro"));
    QDir().mkpath(libro);
    QDir().mkpath(lavoro);
    ImpostaCartellaProgramma(libro);
    TArchivio::apriCorrente(libro);
    CreaTabelleGenerali();
    CreaTabelle();
    {
        TArchivio& a = TArchivio::corrente();
        // Entry dates over 2003-2004, days allowed 0 to 199, some dates empty.
        a.esegui(QStringLiteral("with recursive n(i) as (select 1 union all select i + 1 from n where i < 100000) "
                                "insert into %1 (ID, NOME, DESCRIZIONE, QUANTITA, QTAALERT, GIACENZAMAX, DATAOGGI, PREZZO) "
                                "select i, 'COD' || i, 'Descrizione del prodotto numero ' || i, i % 40, 5, i % 200, "
                                "case when i % 97 = 0 then null else date('2003-01-01', '+' || (i % 700) || ' days') end, "
                                "i % 90 + 0.25 from n")
                     .arg(a.nomeQualificato(QStringLiteral("prodotti"))));
    }
    TArchivio::chiudiCorrente();
    const QStringList tabelle = {QStringLiteral("produttori"), QStringLiteral("prodotti"), QStringLiteral("storico"),
                                 QStringLiteral("impostazioni"), QStringLiteral("cat"), QStringLiteral("tabexport")};
    const auto prepara = [&] {
        TArchivio::chiudiCorrente();
        for (const QString& t : tabelle) {
            QFile::remove(lavoro + QLatin1Char('/') + t + QStringLiteral(".db"));
            QFile::copy(libro + QLatin1Char('/') + t + QStringLiteral(".db"), lavoro + QLatin1Char('/') + t + QStringLiteral(".db"));
        }
    };

    const QString file = lavoro + QStringLiteral("/prodotti.db");
    const auto contaSulFile = [&] {
        QProcess conta;
        conta.start(QStringLiteral("sqlite3"), {file, QStringLiteral("select count(*) from prodotti where SCADUTOTEMP = 1")});
        conta.waitForFinished();
        return conta.readAllStandardOutput().trimmed().toInt();
    };

    // Each round times the press and then the engine's UPDATE, each on a
    // fresh copy of the book, so that both meet the same load of the machine.
    // Untimed: opening the store and the window; timed: the press.
    std::vector<double> nostri, ancore;
    bool concordi = true;
    for (int giro = 0; giro < 7; ++giro) {
        prepara();
        ImpostaCartellaProgramma(lavoro);
        TArchivio::apriCorrente(lavoro);
        int scaduti = 0;
        {
            TFrmCtrlGiacenze f(nullptr);
            f.show();
            for (int k = 0; k < 20; ++k) QCoreApplication::processEvents();
            f.findChild<QLineEdit*>(QStringLiteral("EdData"))->setText(QStringLiteral("11/03/2004"));
            nostri.push_back(Misura::Tempo([&] { f.findChild<QPushButton*>(QStringLiteral("ButtonControlla"))->click(); }));
            scaduti = f.findChild<QLabel*>(QStringLiteral("LabNumProdotti"))->text().section(QLatin1String(": "), 2).toInt();
        }
        TArchivio::chiudiCorrente();
        const int sulFile = contaSulFile();

        prepara();
        ancore.push_back(Misura::Tempo([&] {
            Misura::Motore(file, QStringLiteral("update prodotti set SCADUTOTEMP = (coalesce(julianday(DATAOGGI), "
                                                "julianday('1899-12-30')) + coalesce(GIACENZAMAX, 0) <= julianday('2004-03-11')) "
                                                "where id <> 0;"));
        }));
        const int dallAncora = contaSulFile();
        if (giro == 0) std::fprintf(stderr, "scadenze: fuori giacenza %d (file %d, sqlite3 %d)\n", scaduti, sulFile, dallAncora);
        concordi = concordi && scaduti == dallAncora && sulFile == dallAncora && dallAncora > 0;
    }
    Misura::Riga("controllo_scadenze_100k", Misura::MedianaDi(nostri), Misura::MedianaDi(ancore));

    // The same press, the gaps of the event loop during the run.
    {
        prepara();
        ImpostaCartellaProgramma(lavoro);
        TArchivio::apriCorrente(lavoro);
        TFrmCtrlGiacenze f(nullptr);
        f.show();
        for (int k = 0; k < 20; ++k) QCoreApplication::processEvents();
        f.findChild<QLineEdit*>(QStringLiteral("EdData"))->setText(QStringLiteral("11/03/2004"));
        Intervalli::Riga("controllo_scadenze_100k",
                         Intervalli::Misura([&] { f.findChild<QPushButton*>(QStringLiteral("ButtonControlla"))->click(); }));
    }
    TArchivio::chiudiCorrente();
    return concordi ? 0 : 1;
}
