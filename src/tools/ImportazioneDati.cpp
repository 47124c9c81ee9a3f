#include "tools/ImportazioneDati.h"

#include "ui_ImportazioneDati.h"

#include "data/Convenzioni.h"
#include "data/engine/Archivio.h"
#include "gui/Finestre.h"
#include "gui/Gestori.h"
#include "gui/Interazione.h"
#include "gui/Messaggi.h"
#include "gui/OperazioneInCorso.h"
#include "gui/TastoEsc.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QHeaderView>
#include <QTableWidgetItem>

namespace {

// The rows the preview shows.
constexpr int RigheAnteprima = 50;

QString Numero(qint64 n) { return FormattaNumero(double(n), 0); }

QString TestoValore(const QVariant& v) {
    if (v.isNull() || !v.isValid()) return QString();
    if (v.typeId() == QMetaType::Double) return TestoNumeroGenerale(v.toDouble());
    const QString t = v.toString();
    // Stored dates are ISO text: shown as the program shows dates.
    const QDate d = QDate::fromString(t, Qt::ISODate);
    if (t.size() == 10 && d.isValid()) return d.toString(FormatoData);
    return t;
}

}  // namespace

TFrmImportazioneDati::TFrmImportazioneDati(QWidget* genitore)
    : QDialog(genitore), m_ui(std::make_unique<Ui::TFrmImportazioneDati>()) {
    m_ui->setupUi(this);
    connect(m_ui->BTSsfoglia, &QPushButton::clicked, this, Gestore(this, &TFrmImportazioneDati::BTSsfogliaClick));
    connect(m_ui->cbTipo, &QComboBox::activated, this, Gestore(this, &TFrmImportazioneDati::cbTipoChange));
    connect(m_ui->cbSeparatore, &QComboBox::activated, this, Gestore(this, &TFrmImportazioneDati::opzioniLetturaChange));
    connect(m_ui->cbCodifica, &QComboBox::activated, this, Gestore(this, &TFrmImportazioneDati::opzioniLetturaChange));
    connect(m_ui->cbFoglio, &QComboBox::activated, this, Gestore(this, &TFrmImportazioneDati::opzioniLetturaChange));
    connect(m_ui->rbAggiorna, &QRadioButton::toggled, this, Gestore(this, &TFrmImportazioneDati::colonnaChange));
    connect(m_ui->chkCarichi, &QCheckBox::toggled, this, Gestore(this, &TFrmImportazioneDati::colonnaChange));
    connect(m_ui->BTSprova, &QPushButton::clicked, this, Gestore(this, &TFrmImportazioneDati::BTSprovaClick));
    connect(m_ui->BTSrifiutati, &QPushButton::clicked, this, Gestore(this, &TFrmImportazioneDati::BTSrifiutatiClick));
    connect(m_ui->BTSimporta, &QPushButton::clicked, this, Gestore(this, &TFrmImportazioneDati::BTSimportaClick));
    connect(m_ui->sbFerma, &QPushButton::clicked, this, [this] { sbFermaClick(); });
    connect(m_ui->sbEsci, &QPushButton::clicked, this, Gestore(this, &TFrmImportazioneDati::sbEsciClick));
    EscComeEsci(this, [this] { sbEsciClick(); });
    m_ui->GridColonne->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_ui->GridColonne->verticalHeader()->hide();
    m_ui->GridAnteprima->verticalHeader()->hide();
    m_ui->sbFerma->hide();
    m_ui->PrgBar->hide();
    aggiornaPulsanti();
    CentraSulloSchermo(this);
}

TFrmImportazioneDati::~TFrmImportazioneDati() = default;

TTipoImportazione TFrmImportazioneDati::tipo() const {
    switch (m_ui->cbTipo->currentIndex()) {
    case 1: return TTipoImportazione::Produttori;
    case 2: return TTipoImportazione::Categorie;
    default: return TTipoImportazione::Prodotti;
    }
}

std::unique_ptr<TOperazioneInCorso> TFrmImportazioneDati::iniziaLavoro() {
    m_stopRichiesto = false;
    auto lavoro = std::make_unique<TOperazioneInCorso>(
        this, m_inCorso,
        QList<QWidget*>{m_ui->BTSsfoglia, m_ui->cbTipo, m_ui->cbSeparatore, m_ui->cbCodifica, m_ui->cbFoglio,
                        m_ui->GridColonne, m_ui->rbAggiorna, m_ui->rbSalta, m_ui->chkCarichi, m_ui->BTSprova,
                        m_ui->BTSrifiutati, m_ui->BTSimporta, m_ui->sbEsci},
        [this] {
            m_ui->sbFerma->hide();
            m_ui->PrgBar->hide();
        });
    m_ui->PrgBar->setRange(0, 0);
    m_ui->PrgBar->show();
    m_ui->sbFerma->setEnabled(true);
    m_ui->sbFerma->show();
    return lavoro;
}

std::function<bool(qint64, qint64)> TFrmImportazioneDati::avanzamento() {
    auto orologio = std::make_shared<QElapsedTimer>();
    orologio->start();
    auto eventi = std::make_shared<qint64>(-1000);
    // The bar moves and "Stop" can be pressed: the waiting events are handled
    // whenever a frame's time (16 ms) has passed.
    return [this, orologio, eventi](qint64 fatte, qint64 totale) {
        if (orologio->elapsed() - *eventi >= 16) {
            if (totale > 0) {
                m_ui->PrgBar->setRange(0, 1000);
                m_ui->PrgBar->setValue(int(std::min<qint64>(1000, fatte * 1000 / totale)));
            }
            QCoreApplication::processEvents();
            *eventi = orologio->elapsed();
        }
        return !m_stopRichiesto;
    };
}

void TFrmImportazioneDati::sbFermaClick() { m_stopRichiesto = true; }

void TFrmImportazioneDati::sbEsciClick() {
    if (m_inCorso) return;
    close();
}

void TFrmImportazioneDati::BTSsfogliaClick() {
    const QString f = Interazione().scegliFile(
        QStringLiteral("Scegli il file da importare"),
        m_percorso.isEmpty() ? QDir::homePath() : QFileInfo(m_percorso).absolutePath(),
        QStringLiteral("File da importare (*.csv *.txt *.xlsx *.ods);;Tutti i file (*)"));
    if (f.isEmpty()) return;
    caricaFile(f);
}

void TFrmImportazioneDati::caricaFile(const QString& percorso) {
    m_percorso = percorso;
    m_ui->EditFile->setText(QDir::toNativeSeparators(percorso));
    m_ui->cbSeparatore->setCurrentIndex(0);
    m_ui->cbCodifica->setCurrentIndex(0);
    m_ui->cbFoglio->clear();
    leggi();
}

void TFrmImportazioneDati::opzioniLetturaChange() {
    if (m_riempimento || m_percorso.isEmpty()) return;
    leggi();
}

void TFrmImportazioneDati::leggi() {
    TOpzioniLettura o;
    const int sep = m_ui->cbSeparatore->currentIndex();
    if (sep == 1) o.separatore = QLatin1Char(';');
    else if (sep == 2) o.separatore = QLatin1Char(',');
    else if (sep == 3) o.separatore = QLatin1Char('\t');
    o.codifica = static_cast<TCodifica>(m_ui->cbCodifica->currentIndex());
    o.foglio = std::max(0, m_ui->cbFoglio->currentIndex());
    o.avanzamento = avanzamento();
    {
        const auto lavoro = iniziaLavoro();
        m_sorgente = LeggiSorgente(m_percorso, o);
    }
    m_analisi = TAnalisiImportazione();
    m_provata = false;
    if (m_sorgente.interrotta) {
        m_sorgente = TSorgente();
        MostraAttenzione(QStringLiteral("Lettura del file interrotta."));
    } else if (!m_sorgente.errore.isEmpty()) {
        const QString errore = m_sorgente.errore;
        m_sorgente = TSorgente();
        MostraErrore(errore);
    }
    m_riempimento = true;
    const bool csv = m_sorgente.valida() && m_sorgente.formato == TFormatoSorgente::Csv;
    if (csv) {
        m_ui->cbSeparatore->setItemText(0, QStringLiteral("Automatico (%1)").arg(
            m_sorgente.separatore == QLatin1Char('\t') ? QStringLiteral("tabulazione") : QString(m_sorgente.separatore)));
        m_ui->cbCodifica->setItemText(0, QStringLiteral("Automatica (%1)").arg(NomeCodifica(m_sorgente.codifica)));
    } else {
        m_ui->cbSeparatore->setItemText(0, QStringLiteral("Automatico"));
        m_ui->cbCodifica->setItemText(0, QStringLiteral("Automatica"));
    }
    if (m_ui->cbFoglio->count() != m_sorgente.fogli.size()) {
        m_ui->cbFoglio->clear();
        m_ui->cbFoglio->addItems(m_sorgente.fogli);
        m_ui->cbFoglio->setCurrentIndex(m_sorgente.foglio);
    }
    m_riempimento = false;
    riempiColonne();
}

void TFrmImportazioneDati::cbTipoChange() {
    m_ui->LabelEsistenti->setText(tipo() == TTipoImportazione::Prodotti     ? QStringLiteral("Prodotti già presenti:")
                                  : tipo() == TTipoImportazione::Produttori ? QStringLiteral("Produttori già presenti:")
                                                                            : QStringLiteral("Categorie già presenti:"));
    riempiColonne();
}

void TFrmImportazioneDati::riempiColonne() {
    m_riempimento = true;
    QTableWidget* g = m_ui->GridColonne;
    g->setRowCount(0);
    const QStringList proposte = ProponiDestinazioni(tipo(), m_sorgente.intestazioni);
    const QVector<TDestinazione> destinazioni = Destinazioni(tipo());
    g->setRowCount(int(m_sorgente.intestazioni.size()));
    for (int i = 0; i < m_sorgente.intestazioni.size(); ++i) {
        const QString nome = m_sorgente.intestazioni[i].isEmpty() ? QStringLiteral("(colonna %1)").arg(i + 1)
                                                                  : m_sorgente.intestazioni[i];
        auto* a = new QTableWidgetItem(nome);
        a->setFlags(Qt::ItemIsEnabled);
        g->setItem(i, 0, a);
        QString esempio;
        for (const QVector<TCella>& r : m_sorgente.righe)
            if (i < r.size() && !r[i].vuota()) {
                esempio = r[i].comeTesto().left(60);
                break;
            }
        auto* b = new QTableWidgetItem(esempio);
        b->setFlags(Qt::ItemIsEnabled);
        g->setItem(i, 1, b);
        auto* c = new QComboBox(g);
        c->addItem(QStringLiteral("(non importare)"), QString());
        for (const TDestinazione& d : destinazioni) c->addItem(d.etichetta, d.chiave);
        c->setCurrentIndex(std::max(0, c->findData(proposte.value(i))));
        connect(c, &QComboBox::activated, this, Gestore(this, &TFrmImportazioneDati::colonnaChange));
        g->setCellWidget(i, 2, c);
    }
    m_riempimento = false;
    aggiornaAnteprima();
}

TOpzioniImportazione TFrmImportazioneDati::opzioni() {
    TOpzioniImportazione o;
    o.tipo = tipo();
    for (int i = 0; i < m_ui->GridColonne->rowCount(); ++i) {
        auto* c = qobject_cast<QComboBox*>(m_ui->GridColonne->cellWidget(i, 2));
        o.destinazioni << (c ? c->currentData().toString() : QString());
    }
    o.aggiornaEsistenti = m_ui->rbAggiorna->isChecked();
    o.carichiIniziali = o.tipo == TTipoImportazione::Prodotti && m_ui->chkCarichi->isChecked();
    return o;
}

void TFrmImportazioneDati::colonnaChange() {
    if (m_riempimento) return;
    aggiornaAnteprima();
}

void TFrmImportazioneDati::aggiornaAnteprima() {
    m_provata = false;
    m_analisi = TAnalisiImportazione();
    QTableWidget* g = m_ui->GridAnteprima;
    g->clear();
    g->setRowCount(0);
    g->setColumnCount(0);
    if (m_sorgente.righe.isEmpty()) {
        m_ui->LabelRiepilogo->setText(QStringLiteral("Scegliere il file da importare."));
        aggiornaPulsanti();
        return;
    }
    // The preview checks the first rows only; the dry run checks them all.
    TSorgente inizio;
    inizio.intestazioni = m_sorgente.intestazioni;
    inizio.righe = m_sorgente.righe.mid(0, RigheAnteprima);
    inizio.numeriRiga = m_sorgente.numeriRiga.mid(0, RigheAnteprima);
    const TOpzioniImportazione o = opzioni();
    const TAnalisiImportazione a = AnalizzaImportazione(TArchivio::corrente(), inizio, o);
    if (!a.errore.isEmpty()) {
        m_ui->LabelRiepilogo->setText(a.errore);
        m_ui->LabelRiepilogo->setStyleSheet(QStringLiteral("color: rgb(192,0,0);"));
        aggiornaPulsanti();
        return;
    }
    m_ui->LabelRiepilogo->setStyleSheet(QString());
    m_ui->LabelRiepilogo->setText(QStringLiteral("Righe nel file: %1. Premere «Prova» per controllarle tutte e "
                                                 "vedere quante verranno importate, prima di scrivere.")
                                      .arg(Numero(m_sorgente.righe.size())));
    QVector<int> colonne;
    QStringList titoli{QStringLiteral("Riga"), QStringLiteral("Esito")};
    for (int i = 0; i < o.destinazioni.size(); ++i)
        if (!o.destinazioni[i].isEmpty()) {
            colonne << i;
            titoli << EtichettaDestinazione(o.tipo, o.destinazioni[i]);
        }
    g->setColumnCount(int(titoli.size()));
    g->setHorizontalHeaderLabels(titoli);
    g->setRowCount(int(a.righe.size()));
    const QColor rosso(255, 200, 200);
    for (int r = 0; r < a.righe.size(); ++r) {
        const TRigaImportata& riga = a.righe[r];
        g->setItem(r, 0, new QTableWidgetItem(QString::number(inizio.numeriRiga[r])));
        QString esito;
        switch (riga.esito) {
        case TEsitoRiga::Nuovo: esito = QStringLiteral("nuovo"); break;
        case TEsitoRiga::Aggiornato: esito = QStringLiteral("aggiornato"); break;
        case TEsitoRiga::Saltato: esito = QStringLiteral("saltato"); break;
        case TEsitoRiga::Rifiutato: esito = QStringLiteral("rifiutato"); break;
        }
        auto* e = new QTableWidgetItem(esito);
        if (riga.esito == TEsitoRiga::Rifiutato) {
            e->setBackground(rosso);
            e->setToolTip(riga.motivi.join(QLatin1Char('\n')));
        }
        g->setItem(r, 1, e);
        for (int k = 0; k < colonne.size(); ++k) {
            const int c = colonne[k];
            auto* x = new QTableWidgetItem;
            if (riga.colonneRifiutate.contains(c)) {
                // The refused cell shows its reason in place of a value.
                QString motivo;
                const QString prefisso = (m_sorgente.intestazioni.value(c).isEmpty() ? QStringLiteral("colonna %1").arg(c + 1)
                                                                                    : m_sorgente.intestazioni.value(c)) +
                                         QStringLiteral(": ");
                for (const QString& m : riga.motivi)
                    if (m.startsWith(prefisso)) motivo = m.mid(prefisso.size());
                x->setText(motivo);
                x->setToolTip(motivo);
                x->setBackground(rosso);
            } else {
                x->setText(TestoValore(riga.valori.value(c)));
            }
            g->setItem(r, k + 2, x);
        }
    }
    g->resizeColumnsToContents();
    for (int k = 0; k < g->columnCount(); ++k) g->setColumnWidth(k, std::min(g->columnWidth(k), 260));
    aggiornaPulsanti();
}

void TFrmImportazioneDati::mostraAnalisi(const TAnalisiImportazione& a) {
    m_ui->LabelRiepilogo->setStyleSheet(QString());
    m_ui->LabelRiepilogo->setText(QStringLiteral("Prova eseguita, nulla è stato scritto.  ") +
                                  RiepilogoAnalisi(a).replace(QLatin1Char('\n'), QStringLiteral(" · ")));
}

void TFrmImportazioneDati::BTSprovaClick() {
    if (m_sorgente.righe.isEmpty()) return;
    TOpzioniImportazione o = opzioni();
    o.avanzamento = avanzamento();
    TAnalisiImportazione a;
    {
        const auto lavoro = iniziaLavoro();
        a = AnalizzaImportazione(TArchivio::corrente(), m_sorgente, o);
    }
    if (a.interrotta) {
        MostraAttenzione(QStringLiteral("Prova interrotta."));
        aggiornaPulsanti();
        return;
    }
    if (!a.errore.isEmpty()) {
        MostraErrore(a.errore);
        aggiornaPulsanti();
        return;
    }
    m_analisi = a;
    m_provata = true;
    mostraAnalisi(a);
    aggiornaPulsanti();
}

void TFrmImportazioneDati::BTSrifiutatiClick() {
    if (!m_provata || m_analisi.rifiutati == 0) return;
    const QString cartella = Interazione().scegliCartella(QStringLiteral("Cartella in cui salvare le righe rifiutate"),
                                                          QFileInfo(m_percorso).absolutePath());
    if (cartella.isEmpty()) return;
    const QString file = QDir(cartella).filePath(QFileInfo(m_percorso).completeBaseName() + QStringLiteral("_rifiutate.csv"));
    const QString errore = SalvaRifiutati(m_sorgente, m_analisi, file);
    if (!errore.isEmpty()) {
        MostraErrore(errore);
        return;
    }
    MostraMessaggio(QStringLiteral("Righe rifiutate salvate, con il motivo, nel file:\n%1").arg(QDir::toNativeSeparators(file)));
}

void TFrmImportazioneDati::BTSimportaClick() {
    if (!m_provata) return;
    if (m_analisi.daScrivere() == 0) {
        MostraAttenzione(QStringLiteral("Nessuna riga da importare: l'archivio non verrà modificato."));
        return;
    }
    if (!ChiediConferma(QStringLiteral("Importare %1 righe (%2 nuove, %3 da aggiornare)?\nPrima dell'importazione "
                                       "gli archivi vengono copiati nella cartella di backup di oggi.")
                            .arg(Numero(m_analisi.daScrivere()), Numero(m_analisi.nuovi), Numero(m_analisi.aggiornati))))
        return;
    TOpzioniImportazione o = opzioni();
    o.avanzamento = avanzamento();
    TEsitoImportazione e;
    {
        const auto lavoro = iniziaLavoro();
        TCursoreOccupato cursore;
        e = EseguiImportazione(TArchivio::corrente(), m_sorgente, o);
    }
    m_provata = false;
    aggiornaPulsanti();
    if (e.interrotta) {
        MostraAttenzione(QStringLiteral("Importazione interrotta: l'archivio non è stato modificato."));
        return;
    }
    if (!e.errore.isEmpty()) {
        MostraErrore(e.errore);
        return;
    }
    const QString riepilogo = RiepilogoAnalisi(e.analisi)
                                  .replace(QStringLiteral("Produttori da creare"), QStringLiteral("Produttori creati"))
                                  .replace(QStringLiteral("Categorie da creare"), QStringLiteral("Categorie create"));
    m_ui->LabelRiepilogo->setText(QStringLiteral("Importazione eseguita.  ") +
                                  QString(riepilogo).replace(QLatin1Char('\n'), QStringLiteral(" · ")));
    MostraMessaggio(QStringLiteral("Importazione completata.\n\n%1\n\nCopia degli archivi prima dell'importazione:\n%2")
                        .arg(riepilogo, QDir::toNativeSeparators(e.cartellaBackup)));
}

void TFrmImportazioneDati::aggiornaPulsanti() {
    // The reading's choices that apply to the file read; called again after
    // every run, whose guard enables its controls when it ends.
    const QString estensione = QFileInfo(m_percorso).suffix().toLower();
    const bool foglio = estensione == QLatin1String("xlsx") || estensione == QLatin1String("xlsm") ||
                        estensione == QLatin1String("ods");
    m_ui->cbSeparatore->setEnabled(!m_percorso.isEmpty() && !foglio);
    m_ui->cbCodifica->setEnabled(!m_percorso.isEmpty() && !foglio);
    m_ui->cbFoglio->setEnabled(m_ui->cbFoglio->count() > 1);
    m_ui->chkCarichi->setEnabled(tipo() == TTipoImportazione::Prodotti);
    const bool dati = !m_sorgente.righe.isEmpty();
    m_ui->BTSprova->setEnabled(dati);
    m_ui->BTSrifiutati->setEnabled(m_provata && m_analisi.rifiutati > 0);
    m_ui->BTSimporta->setEnabled(m_provata && m_analisi.daScrivere() > 0);
}
