// The products registry on books of 100,000 and 1,000,000 products: opening
// the window (its first rows, the count, the memory it takes) and a key typed
// in its search boxes (the list filtered, its count and the repaint of the
// grid); a key typed in the search box of the load / unload window with a
// category chosen (the list, the count and the product shown); against the engine's own scan of the same list on the same file:
// the LIKE query the list ran before it searched in memory, through the
// SQLite C API on the program's connection (so with the program's lower()),
// every row stepped.

#include "Intervalli.h"
#include "Misura.h"
#include "app/Applicazione.h"
#include "data/CartellaProgramma.h"
#include "data/CreaTabelle.h"
#include "data/CreaTabelleGenerali.h"
#include "data/engine/Archivio.h"
#include "data/engine/Definizioni.h"
#include "gui/ModelloElenco.h"
#include "movements/CaricoScarico.h"
#include "movements/Movimenti.h"
#include "movements/PannelloProdotti.h"
#include "registries/AnagProdotti.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>

namespace {

// Products with four kinds of description, so that a search on the
// description keeps a quarter of them.
void Riempi(const QString& cartella, int prodotti) {
    TArchivio::apriCorrente(cartella);
    CreaTabelleGenerali();
    CreaTabelle();
    TArchivio& a = TArchivio::corrente();
    TTransazione t(a);
    a.esegui(QStringLiteral("with recursive n(i) as (select 1 union all select i + 1 from n where i < %1) "
                            "insert into %2 (ID, NOME, DESCRIZIONE, PREZZOLISTINO, PREZZO, PREZZO2, CARICHI, SCARICHI, "
                            "QUANTITA, GIACENZAMAX, DATAOGGI, IDPRODUTTORE, IDCATEGORIA, QTAALERT) "
                            "select i, 'COD' || i, case i % 4 when 0 then 'Vino rosso della casa n. ' "
                            "when 1 then 'Caffè macinato fine n. ' when 2 then 'Pane integrale n. ' "
                            "else 'Acqua minerale frizzante n. ' end || i, i % 100 + 0.5, i % 90 + 0.25, "
                            "i % 120 + 0.75, 20, 5, 15, 30, '2004-03-01', i % 50, i % 20, 3 from n")
                 .arg(prodotti)
                 .arg(a.nomeQualificato(Definizioni::Prodotti)));
    t.conferma();
}

// The window's list (code begins with, description contains, order by code
// or by insertion, optional category) as the engine alone runs it: a LIKE
// over the table, with the program's lower(); no search texts for the
// opening list.
void ScansioneLista(const QString& codice = {}, const QString& descrizione = {}, bool ricerca = true,
                    const QString& categoria = {}, const QString& ordine = Prodotti::Nome) {
    TArchivio& a = TArchivio::corrente();
    QString sql = QStringLiteral("select rowid from ") + a.nomeQualificato(Definizioni::Prodotti);
    QStringList valori;
    if (ricerca) {
        sql += QStringLiteral(" where lower(%1) like ? escape '\\' and lower(%2) like ? escape '\\'")
                   .arg(Prodotti::Nome, Prodotti::Descrizione);
        valori << EscapeLike(codice.toLower()) + QLatin1Char('%')
               << QLatin1Char('%') + EscapeLike(descrizione.toLower()) + QLatin1Char('%');
        if (!categoria.isEmpty()) {
            sql += QStringLiteral(" and %1 = ?").arg(Prodotti::IdCategoria);
            valori << categoria;
        }
    }
    sql += QStringLiteral(" order by ") + (ordine.isEmpty() ? QStringLiteral("rowid") : ordine);
    Misura::Scansione(a.handle(), sql, valori);
}

void Misure(int prodotti, const char* suffisso) {
    QTemporaryDir dir;
    const QString libro = dir.filePath(QStringLiteral("libro"));
    QDir().mkpath(libro);
    ImpostaCartellaProgramma(libro);
    Riempi(libro, prodotti);
    const auto nome = [&](const char* n) { return QByteArray(n) + suffisso; };

    // Opening: the window shown with its first rows painted and its count.
    const double apertura = Misura::Mediana(5, [&] {
        TFrmAnagProdotti f;
        f.show();
        f.findChild<QTableView*>(QStringLiteral("DBGrid1"))->viewport()->repaint();
    });
    const double ancoraApertura = Misura::Mediana(5, [&] { ScansioneLista({}, {}, false); });
    const double memoriaPrima = Misura::MemoriaMb();
    auto* f = new TFrmAnagProdotti;
    f->show();
    auto* griglia = f->findChild<QTableView*>(QStringLiteral("DBGrid1"));
    griglia->viewport()->repaint();
    const double memoria = Misura::MemoriaMb();
    Misura::Riga(nome("registri_apertura_prodotti").constData(), apertura, ancoraApertura, memoria);
    std::printf("# rss before opening %.1f MB, with the registry open %.1f MB; %s\n", memoriaPrima, memoria,
                qPrintable(f->findChild<QLabel*>(QStringLiteral("LabNumProdotti"))->text()));

    // A key typed in a search box: the search handler, then the grid repainted.
    auto* codice = f->findChild<QLineEdit*>(QStringLiteral("EdRicNome"));
    auto* descrizione = f->findChild<QLineEdit*>(QStringLiteral("EdRicDescrizione"));
    const struct {
        const char* nome;
        const char* codice;
        const char* descrizione;
    } casi[] = {{"registri_ricerca_codice_selettiva", "cod1234", ""},
                {"registri_ricerca_codice_ampia", "cod1", ""},
                {"registri_ricerca_descrizione", "", "caffè"},
                {"registri_ricerca_codice_e_descrizione", "cod9", "rosso"},
                {"registri_ricerca_nessuno", "x%_'", ""}};
    // Ticking "Attiva ricerca" runs the first search, which reads the
    // searched fields into memory.
    codice->setText(QStringLiteral("c"));
    const double prima = Misura::Mediana(1, [&] {
        f->findChild<QCheckBox*>(QStringLiteral("cbRicerca"))->setChecked(true);
        griglia->viewport()->repaint();
    });
    std::printf("# first search (fields read into memory) %.2f ms; rss %.1f MB\n", prima, Misura::MemoriaMb());
    for (const auto& c : casi) {
        codice->setText(QString::fromUtf8(c.codice));
        descrizione->setText(QString::fromUtf8(c.descrizione));
        const double nostro = Misura::Mediana(7, [&] {
            f->CercaProdotti();
            griglia->viewport()->repaint();
        });
        const double ancora = Misura::Mediana(7, [&] { ScansioneLista(codice->text(), descrizione->text()); });
        Misura::Riga(nome(c.nome).constData(), nostro, ancora);
        std::printf("# %s\n", qPrintable(f->findChild<QLabel*>(QStringLiteral("LabNumProdotti"))->text()));
    }
    delete f;

    // The first search in the real window: "Attiva ricerca" ticked with the
    // code box empty and three keys typed while it is read, 60 ms apart, as
    // a quick hand types; the gaps of the event loop until the rows of the
    // three keys are shown.
    if (prodotti >= 1000000) {
        auto* g = new TFrmAnagProdotti;
        g->show();
        auto* codiceG = g->findChild<QLineEdit*>(QStringLiteral("EdRicNome"));
        const double rssAperto = Misura::MemoriaMb();
        int tasti = 0;
        const Intervalli::TEsito e = Intervalli::Misura([&] {
            QTimer tastiera;
            tastiera.setInterval(60);
            QObject::connect(&tastiera, &QTimer::timeout, [&] {
                if (tasti >= 3) return;
                const QString t = QString(QLatin1Char("cod"[tasti]));
                QKeyEvent premuto(QEvent::KeyPress, Qt::Key_C + ("cod"[tasti] - 'c'), Qt::NoModifier, t);
                QKeyEvent rilasciato(QEvent::KeyRelease, Qt::Key_C + ("cod"[tasti] - 'c'), Qt::NoModifier, t);
                ++tasti;
                QCoreApplication::sendEvent(codiceG, &premuto);
                QCoreApplication::sendEvent(codiceG, &rilasciato);
            });
            tastiera.start();
            g->findChild<QCheckBox*>(QStringLiteral("cbRicerca"))->setChecked(true);
            while (tasti < 3) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
            tastiera.stop();
        });
        Intervalli::Riga("prima_ricerca_1m", e);
        std::printf("# %s typed: %s; rss with the registry open %.1f MB, after the search %.1f MB\n",
                    qPrintable(codiceG->text()), qPrintable(g->findChild<QLabel*>(QStringLiteral("LabNumProdotti"))->text()),
                    rssAperto, Misura::MemoriaMb());
        delete g;
    }

    // The load / unload window: category 7 chosen, a key typed in the code box.
    {
        TFrmCaricoScarico c;
        c.show();
        TPannelloProdotti* p = c.pannello();
        p->findChild<QCheckBox*>(QStringLiteral("cbRicerca"))->setChecked(true);
        p->findChild<QLineEdit*>(QStringLiteral("EdRicCategoria"))->setText(QStringLiteral("7"));
        auto* codicePannello = p->findChild<QLineEdit*>(QStringLiteral("EdRicNome"));
        auto* grigliaPannello = p->findChild<QTableView*>();
        const auto tasto = [&] {
            QKeyEvent rilascio(QEvent::KeyRelease, Qt::Key_1, Qt::NoModifier, QStringLiteral("1"));
            QCoreApplication::sendEvent(codicePannello, &rilascio);
            grigliaPannello->viewport()->repaint();
        };
        codicePannello->setText(QStringLiteral("c"));
        std::printf("# first search of the panel (fields of the category read into memory) %.2f ms\n",
                    Misura::Mediana(1, tasto));
        codicePannello->setText(QStringLiteral("cod1"));
        const double nostro = Misura::Mediana(7, tasto);
        const QString ordine = SqlListaProdotti(LeggiImpostazioniMovimenti().ordineStandard).ordine;
        const double ancora =
            Misura::Mediana(7, [&] { ScansioneLista(QStringLiteral("cod1"), {}, true, QStringLiteral("7"), ordine); });
        Misura::Riga(nome("registri_ricerca_pannello_categoria").constData(), nostro, ancora);
        std::printf("# %s\n", qPrintable(p->findChild<QLabel*>(QStringLiteral("LabNumProdotti"))->text()));
    }
    TArchivio::chiudiCorrente();
}

}  // namespace

int main(int argc, char** argv) {
    TApplicazione app(argc, argv);
    Misure(100000, "");
    Misure(1000000, "_1m");
    return 0;
}
