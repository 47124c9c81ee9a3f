#include "tools/EsportazioneTabelle.h"

#include "data/CartellaProgramma.h"
#include "data/Convenzioni.h"
#include "data/engine/Errore.h"
#include "data/engine/Definizioni.h"
#include "data/engine/Tabella.h"
#include "gui/Finestre.h"
#include "gui/Gestori.h"
#include "gui/Interazione.h"
#include "gui/LavoroLungo.h"
#include "gui/Messaggi.h"
#include "gui/OperazioneInCorso.h"
#include "gui/TastoEsc.h"
#include "gui/TraduzioneControlli.h"
#include "tools/ConnessioneLettura.h"
#include "tools/EsportazioneFoglio.h"
#include "tools/EsportazioneTesto.h"
#include "tools/InputDate.h"
#include "tools/ModelliEsportazione.h"
#include "ui_EsportazioneTabelle.h"

#include <QAbstractTableModel>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QDir>
#include <QFileSystemModel>
#include <QFocusEvent>
#include <QScopeGuard>
#include <QTimer>
#include <QUrl>

// The result shown in the grid: rows read from the fenced connection as the
// grid scrolls to them, never all at once. A read that fails closes the
// result: the grid never reads again from a failed statement.
class TModelloRisultato : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    // Told, after the event that caused it, that a read done for the grid
    // failed; the result is already without rows.
    std::function<void(const QString&)> suErroreLettura;

    // Opens the query and reads its first rows, calling the check while the
    // engine works (see TConnessioneLettura::impostaControllo). On any
    // failure, a stop included, the model is left closed and the error raised.
    void apri(const QString& sql, std::function<bool()> controllo) {
        chiudi();
        beginResetModel();
        try {
            m_conn = std::make_unique<TConnessioneLettura>(CartellaProgramma());
            m_conn->prepara(sql);
        } catch (...) {
            m_conn.reset();
            endResetModel();
            throw;
        }
        m_finito = false;
        ++m_generazione;
        endResetModel();
        try {
            m_conn->impostaControllo(std::move(controllo));
            leggi();
            m_conn->impostaControllo({});
        } catch (...) {
            chiudi();
            throw;
        }
    }
    void chiudi() {
        beginResetModel();
        m_conn.reset();
        m_righe.clear();
        m_finito = true;
        endResetModel();
    }
    bool aperta() const { return m_conn != nullptr; }
    // Every row of the result has been read into the grid.
    bool completa() const { return m_finito; }

    int rowCount(const QModelIndex& g = {}) const override { return g.isValid() ? 0 : static_cast<int>(m_righe.size()); }
    int columnCount(const QModelIndex& g = {}) const override {
        return g.isValid() || !m_conn ? 0 : static_cast<int>(m_conn->colonne().size());
    }
    bool canFetchMore(const QModelIndex& g) const override { return !g.isValid() && m_conn && !m_finito && !m_leggendo; }
    void fetchMore(const QModelIndex& g) override {
        if (!canFetchMore(g)) return;
        try {
            leggi();
        } catch (const ErroreArchivio& e) {
            // Reported once, outside the view's own work; the result closes.
            m_finito = true;
            const QString testo = e.testo();
            const int generazione = m_generazione;
            QTimer::singleShot(0, this, Gestore([this, testo, generazione] {
                if (generazione != m_generazione) return;  // a new run has replaced it
                chiudi();
                if (suErroreLettura) suErroreLettura(testo);
            }));
        }
    }
    QVariant data(const QModelIndex& i, int ruolo) const override {
        if (ruolo != Qt::DisplayRole || !i.isValid()) return {};
        const QVariant& v = m_righe[i.row()][i.column()];
        switch (v.typeId()) {
        case QMetaType::QDate: return v.toDate().toString(FormatoData);
        case QMetaType::Double: return LocaleItaliano().toString(v.toDouble(), 'f', 2);
        case QMetaType::Bool: return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
        default: return v;
        }
    }
    QVariant headerData(int s, Qt::Orientation o, int ruolo) const override {
        if (ruolo == Qt::DisplayRole && o == Qt::Horizontal && m_conn && s < m_conn->colonne().size())
            return m_conn->colonne()[s].nome;
        return QAbstractTableModel::headerData(s, o, ruolo);
    }

private:
    // The next rows, up to 256. The engine may process events meanwhile: no
    // second read starts inside this one.
    void leggi() {
        m_leggendo = true;
        const auto fine = qScopeGuard([this] { m_leggendo = false; });
        QVector<QVector<QVariant>> nuove;
        const int n = columnCount();
        while (nuove.size() < 256) {
            if (!m_conn->prossima()) {
                m_finito = true;
                break;
            }
            QVector<QVariant> r(n);
            for (int i = 0; i < n; ++i) r[i] = m_conn->valore(i);
            nuove << r;
        }
        if (nuove.isEmpty()) return;
        beginInsertRows({}, static_cast<int>(m_righe.size()), static_cast<int>(m_righe.size() + nuove.size() - 1));
        m_righe += nuove;
        endInsertRows();
    }

    std::unique_ptr<TConnessioneLettura> m_conn;
    QVector<QVector<QVariant>> m_righe;
    bool m_finito = true;
    bool m_leggendo = false;
    int m_generazione = 0;
};

namespace {
const QString DatiNonCorretti = QStringLiteral("Dati non corretti, correggere la situazione e ripetere l'operazione!");
const QString TabellaChiusa =
    QStringLiteral("Tabella chiusa, scegliere un modello da esportare e premere su esegui per attivare la tabella.");
}  // namespace

TfrmEsportazioneTabelle::TfrmEsportazioneTabelle(QWidget* genitore)
    : QDialog(genitore), m_ui(std::make_unique<Ui::TfrmEsportazioneTabelle>()), m_cartellaFogli(CartellaFogli()) {
    m_ui->setupUi(this);
    m_risultato = new TModelloRisultato(this);
    m_ui->DBGrid1->setModel(m_risultato);
    m_ui->DBGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_cartelle = new QFileSystemModel(this);
    m_cartelle->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
    m_cartelle->setRootPath(QString());
    m_ui->DirectoryListBox1->setModel(m_cartelle);
    for (int c = 1; c < m_cartelle->columnCount(); ++c) m_ui->DirectoryListBox1->hideColumn(c);

    connect(m_ui->cbPreimpostati, qOverload<int>(&QComboBox::activated), this,
            Gestore(this, &TfrmEsportazioneTabelle::cbPreimpostatiClick));
    connect(m_ui->LBTableName, &QListWidget::currentRowChanged, this, Gestore([this] { LBTableNameChange(); }));
    connect(m_ui->LBFieldName, &QListWidget::itemDoubleClicked, this, Gestore([this] { LBFieldNameDblClick(); }));
    connect(m_ui->buttClear, &QPushButton::clicked, this, Gestore(this, &TfrmEsportazioneTabelle::buttClearClick));
    connect(m_ui->Button3, &QPushButton::clicked, this, Gestore(this, &TfrmEsportazioneTabelle::Button3Click));
    connect(m_ui->Button4, &QPushButton::clicked, this, Gestore(this, &TfrmEsportazioneTabelle::Button4Click));
    connect(m_ui->buttElimina, &QPushButton::clicked, this, Gestore(this, &TfrmEsportazioneTabelle::buttEliminaClick));
    connect(m_ui->rbTesto, &QRadioButton::clicked, this, Gestore(this, &TfrmEsportazioneTabelle::rgTIPOClick));
    connect(m_ui->rbExcel, &QRadioButton::clicked, this, Gestore(this, &TfrmEsportazioneTabelle::rgTIPOClick));
    connect(m_ui->DirectoryListBox1->selectionModel(), &QItemSelectionModel::currentChanged, this,
            Gestore([this] { DirectoryListBox1Change(); }));
    connect(m_ui->sbEsci, &QToolButton::clicked, this, Gestore(this, &TfrmEsportazioneTabelle::sbEsciClick));
    connect(m_ui->buttEsegui, &QPushButton::clicked, this, Gestore(this, &TfrmEsportazioneTabelle::buttEseguiClick));
    connect(m_ui->bbExport, &QPushButton::clicked, this, Gestore(this, &TfrmEsportazioneTabelle::bbExportClick));
    connect(m_ui->sbFerma, &QPushButton::clicked, this, Gestore(this, &TfrmEsportazioneTabelle::sbFermaClick));
    m_risultato->suErroreLettura = [this](const QString& testo) {
        m_ui->bbExport->setEnabled(false);
        MostraErrore(DatiNonCorretti + QLatin1Char('\n') + testo);
    };
    m_ui->sbFerma->hide();
    m_ui->EditOrdinamento->installEventFilter(this);
    EscComeEsci(this, [this] { sbEsciClick(); });
    FormCreate();
    CentraSulloSchermo(this);
}

TfrmEsportazioneTabelle::~TfrmEsportazioneTabelle() = default;

void TfrmEsportazioneTabelle::FormCreate() {
    // The root of the program folder's file system: "/" here.
    m_radice = QDir::rootPath();
    m_tabella = std::make_unique<TTabella>(TArchivio::corrente(), Definizioni::TabExport);
    m_tabella->apri();
    TableExportAfterOpen();
    const QStringList tabelle = QDir(CartellaProgramma()).entryList({QStringLiteral("*.db")}, QDir::Files, QDir::Name);
    m_ui->LBTableName->addItems(tabelle);
    m_primoCampo = true;
    buttClearClick();
    const QModelIndex corrente = m_cartelle->index(QDir::currentPath());
    m_ui->DirectoryListBox1->setCurrentIndex(corrente);
    m_ui->DirectoryListBox1->scrollTo(corrente);
    m_ui->EditEsportaPath->setText(QDir::toNativeSeparators(QDir::currentPath()));
    m_ui->EdtNomeFoglioLavoro->hide();
    TraduciControlli({this, m_ui->Label2, m_ui->Label3, m_ui->Label7, m_ui->buttEsegui, m_ui->Label13, m_ui->Label9,
                      m_ui->sbEsci, m_ui->gbPercorso, m_ui->gbNome, m_ui->rgTIPO, m_ui->rbTesto, m_ui->rbExcel,
                      m_ui->bbExport, m_ui->rgDestinaz, m_ui->Label4, m_ui->Label5, m_ui->Label6, m_ui->Label10,
                      m_ui->Label8, m_ui->Button3, m_ui->buttElimina, m_ui->Button4, m_ui->buttClear, m_ui->Label12,
                      m_ui->Label11});
}

void TfrmEsportazioneTabelle::TableExportAfterOpen() {
    m_ui->cbPreimpostati->clear();
    for (int n = 1; n <= m_tabella->conteggio(); ++n) {
        m_tabella->vaiA(n);
        m_ui->cbPreimpostati->addItem(m_tabella->testo(TabExport::Descr));
    }
    m_ui->cbPreimpostati->setCurrentIndex(-1);
}

void TfrmEsportazioneTabelle::chiudiQuery() {
    m_risultato->chiudi();
}

void TfrmEsportazioneTabelle::buttClearClick() {
    m_ui->MemoCampi->clear();
    m_ui->MemoDBSelected->clear();
    m_ui->MemoCondizione->clear();
    m_ui->MemoFormattazione->clear();
    m_ui->rbCampi->setChecked(true);
    m_primoCampo = true;
    m_ui->cbPreimpostati->setEditText(QString());
    m_ui->EditNomeFEsportaz->setText(QStringLiteral("Export.txt"));
    m_ui->EdtNomeFoglioLavoro->setText(QStringLiteral("Foglio n.1"));
    m_ui->EditEsportaPath->setText(m_radice);
    m_ui->EditData->clear();
    chiudiQuery();
    m_ui->bbExport->setEnabled(false);
}

void TfrmEsportazioneTabelle::LBTableNameChange() {
    QListWidgetItem* voce = m_ui->LBTableName->currentItem();
    if (!voce) return;
    // The fields are read on a read-only connection of its own: nothing is
    // attached to the store's connection for a listing.
    try {
        TConnessioneLettura c(CartellaProgramma());
        // A file the connection left out: the field list says why.
        if (const auto saltato = c.saltati().constFind(voce->text()); saltato != c.saltati().constEnd()) {
            m_ui->LBFieldName->clear();
            auto* nota = new QListWidgetItem(*saltato, m_ui->LBFieldName);
            nota->setFlags(Qt::NoItemFlags);
            nota->setToolTip(*saltato);
            return;
        }
        const auto it = c.catalogo().constFind(TArchivio::schemaDi(voce->text()));
        if (it == c.catalogo().constEnd() || it->isEmpty()) throw ErroreInterrogazione(QString());
        m_ui->LBFieldName->clear();
        m_ui->LBFieldName->addItem(QStringLiteral("*"));
        for (const TDefCampo& f : *it) m_ui->LBFieldName->addItem(f.nome);
    } catch (const std::exception&) {
        MostraErrore(QStringLiteral("Selezionare il database e la tabella"));
    }
}

void TfrmEsportazioneTabelle::LBFieldNameDblClick() {
    QListWidgetItem* t = m_ui->LBTableName->currentItem();
    QListWidgetItem* f = m_ui->LBFieldName->currentItem();
    // A note in place of the fields is not a field.
    if (!t || !f || !(f->flags() & Qt::ItemIsEnabled)) return;
    const QString T = t->text();
    const QString F = f->text();
    const QString R = T + QLatin1Char('.') + QLatin1Char('"') + F + QLatin1Char('"');
    const QString S = m_primoCampo ? QString() : QStringLiteral(", ");
    m_primoCampo = false;
    if (m_ui->rbCampi->isChecked()) {
        if (F == QLatin1String("*")) m_ui->MemoCampi->setPlainText(QStringLiteral("*"));
        const QString campi = m_ui->MemoCampi->toPlainText();
        if (!campi.section(QLatin1Char('\n'), 0, 0).contains(QLatin1Char('*'))) m_ui->MemoCampi->setPlainText(campi + S + R);
        const QString tabelle = m_ui->MemoDBSelected->toPlainText();
        bool presente = false;
        for (const QString& riga : tabelle.split(QLatin1Char('\n')))
            if (riga.contains(T)) presente = true;
        if (!presente) m_ui->MemoDBSelected->setPlainText(tabelle + S + T);
    } else if (m_ui->rbCondizione->isChecked()) {
        m_ui->MemoCondizione->setPlainText(m_ui->MemoCondizione->toPlainText() + QLatin1Char(' ') + R);
    } else if (m_ui->rbPeriodo->isChecked()) {
        m_ui->EditData->setText(R);
    } else {
        m_ui->EditOrdinamento->setText(R);
    }
}

int TfrmEsportazioneTabelle::tipoScelto() const {
    return m_ui->rbTesto->isChecked() ? 0 : m_ui->rbExcel->isChecked() ? 1 : -1;
}

void TfrmEsportazioneTabelle::impostaTipo(int tipo) {
    m_ui->rbTesto->setAutoExclusive(false);
    m_ui->rbExcel->setAutoExclusive(false);
    m_ui->rbTesto->setChecked(tipo == 0);
    m_ui->rbExcel->setChecked(tipo == 1);
    m_ui->rbTesto->setAutoExclusive(true);
    m_ui->rbExcel->setAutoExclusive(true);
    rgTIPOClick();
}

void TfrmEsportazioneTabelle::rgTIPOClick() {
    if (m_ui->rbTesto->isChecked()) {
        m_ui->gbNome->setTitle(QStringLiteral("Nome dell'archivio"));
        m_ui->EditEsportaPath->setEnabled(true);
        m_ui->EditNomeFEsportaz->show();
        m_ui->EdtNomeFoglioLavoro->hide();
        m_ui->LabelCodifica->show();
        m_ui->cbCodifica->show();
    } else if (m_ui->rbExcel->isChecked()) {
        m_ui->gbNome->setTitle(QStringLiteral("Nome foglio di lavoro"));
        m_ui->EditEsportaPath->setEnabled(false);
        m_ui->EditNomeFEsportaz->hide();
        m_ui->EdtNomeFoglioLavoro->show();
        // The encoding is the text file's: a workbook has its own.
        m_ui->LabelCodifica->hide();
        m_ui->cbCodifica->hide();
    }
}

void TfrmEsportazioneTabelle::cbPreimpostatiClick(int indice) {
    buttClearClick();
    m_ui->cbPreimpostati->setCurrentIndex(indice);
    m_tabella->vaiA(indice + 1);
    const TModelloEsportazione m = LeggiModello(*m_tabella);
    m_ui->MemoCampi->setPlainText(m.campi);
    m_ui->MemoDBSelected->setPlainText(m.tabelle);
    m_ui->MemoCondizione->setPlainText(m.condizione);
    m_ui->EditOrdinamento->setText(m.ordinamento);
    m_ui->MemoFormattazione->setPlainText(m.formattazione);
    m_ui->EditData->setText(m.campoData);
    m_ui->EdtNomeFoglioLavoro->setText(m.nomeFoglio);
    QString cartella, nome;
    DividiPercorso(m.nomeFile, &cartella, &nome);
    m_ui->EditEsportaPath->setText(cartella);
    m_ui->EditNomeFEsportaz->setText(nome);
    impostaTipo(m.txtOxls);
    m_primoCampo = false;
    m_ui->PrgBar->setValue(0);
}

bool TfrmEsportazioneTabelle::memorizzaModello(bool nuovo) {
    TModelloEsportazione m;
    if (nuovo) {
        QString descr;
        if (!Interazione().chiediTesto(QStringLiteral("Nuovo modello di ricerca"), QStringLiteral("Descrizione:"), &descr) ||
            descr.isEmpty())
            return false;
        m.descr = descr;
    }
    m.campi = m_ui->MemoCampi->toPlainText();
    m.tabelle = m_ui->MemoDBSelected->toPlainText();
    m.condizione = m_ui->MemoCondizione->toPlainText();
    m.ordinamento = m_ui->EditOrdinamento->text();
    m.formattazione = m_ui->MemoFormattazione->toPlainText();
    m.campoData = m_ui->EditData->text();
    m.nomeFile = PercorsoEsportazione(m_ui->EditEsportaPath->text(), m_ui->EditNomeFEsportaz->text());
    m.nomeFoglio = m_ui->EdtNomeFoglioLavoro->text();
    m.txtOxls = tipoScelto();
    ScriviModello(*m_tabella, m);
    return true;
}

void TfrmEsportazioneTabelle::Button3Click() {
    m_tabella->ultimo();
    m_tabella->inserisci();
    if (!memorizzaModello(true)) {
        MostraErrore(QStringLiteral("Il modello non è stato aggiunto!"));
        m_tabella->annulla();
        return;
    }
    m_tabella->registra();
    const QString descr = m_tabella->testo(TabExport::Descr);
    m_ui->cbPreimpostati->addItem(descr);
    m_ui->cbPreimpostati->setCurrentIndex(m_ui->cbPreimpostati->count() - 1);
}

void TfrmEsportazioneTabelle::Button4Click() {
    if (m_ui->cbPreimpostati->currentIndex() < 0 || m_tabella->booleano(TabExport::Fisso)) {
        MostraErrore(QStringLiteral("Modello non impostato o non modificabile!"));
        return;
    }
    m_tabella->modifica();
    memorizzaModello(false);
    m_tabella->registra();
    MostraMessaggio(QStringLiteral("Le modifiche al modello '") + m_ui->cbPreimpostati->currentText() +
                    QStringLiteral("' sono state salvate correttamente."));
}

void TfrmEsportazioneTabelle::buttEliminaClick() {
    if (m_ui->cbPreimpostati->currentIndex() < 0 || m_tabella->booleano(TabExport::Fisso)) {
        MostraErrore(QStringLiteral("Modello non impostato o non eliminabile!"));
        return;
    }
    if (!ChiediConferma(QStringLiteral("Sicuro di voler eliminare il modello di esportazione selezionato?"))) return;
    m_tabella->elimina();
    m_ui->cbPreimpostati->setCurrentIndex(-1);
    TableExportAfterOpen();
    buttClearClick();
}

bool TfrmEsportazioneTabelle::eventFilter(QObject* oggetto, QEvent* evento) {
    if (oggetto == m_ui->EditOrdinamento && evento->type() == QEvent::FocusOut && isVisible()) {
        const Qt::FocusReason motivo = static_cast<QFocusEvent*>(evento)->reason();
        if (motivo != Qt::ActiveWindowFocusReason && motivo != Qt::PopupFocusReason)
            EseguiMostrandoErrori([this] { EditOrdinamentoExit(); });
    }
    return QDialog::eventFilter(oggetto, evento);
}

void TfrmEsportazioneTabelle::EditOrdinamentoExit() {
    if (m_ui->EditOrdinamento->text().contains(QLatin1String("Order")))
        MostraAttenzione(QStringLiteral("Non è necessario inserire la clausola \"order\", va inserito solo il campo della tabella."));
}

void TfrmEsportazioneTabelle::DirectoryListBox1Change() {
    const QModelIndex i = m_ui->DirectoryListBox1->currentIndex();
    if (i.isValid()) m_ui->EditEsportaPath->setText(m_cartelle->filePath(i));
}

void TfrmEsportazioneTabelle::sbEsciClick() { accept(); }

void TfrmEsportazioneTabelle::sbFermaClick() { m_stopRichiesto = true; }

std::function<bool()> TfrmEsportazioneTabelle::controlloLavoro() {
    m_stopRichiesto = false;
    auto orologio = std::make_shared<QElapsedTimer>();
    orologio->start();
    auto eventi = std::make_shared<qint64>(-1000);
    // The window repaints and "Stop" can be pressed: the events waiting are
    // handled whenever a frame's time (16 ms) has passed.
    return [this, orologio, eventi] {
        if (orologio->elapsed() - *eventi >= 16) {
            QCoreApplication::processEvents();
            *eventi = orologio->elapsed();
        }
        return !m_stopRichiesto;
    };
}

std::unique_ptr<TOperazioneInCorso> TfrmEsportazioneTabelle::iniziaLavoro() {
    // While the engine works only "Stop" acts: nothing may start a second
    // run, change the composition's model, or close the window.
    auto lavoro = std::make_unique<TOperazioneInCorso>(
        this, m_inCorso,
        QList<QWidget*>{m_ui->buttEsegui, m_ui->buttClear, m_ui->bbExport, m_ui->cbPreimpostati, m_ui->buttElimina,
                        m_ui->Button3, m_ui->Button4, m_ui->rgTIPO, m_ui->gbPercorso, m_ui->DirectoryListBox1, m_ui->gbNome,
                        m_ui->sbEsci},
        [this] {
            m_ui->sbFerma->setEnabled(false);
            m_ui->sbFerma->hide();
        });
    m_ui->sbFerma->setEnabled(true);
    m_ui->sbFerma->show();
    return lavoro;
}

void TfrmEsportazioneTabelle::buttEseguiClick() {
    QString sql = QStringLiteral("SELECT ") + m_ui->MemoCampi->toPlainText() + QStringLiteral(" FROM ") +
                  m_ui->MemoDBSelected->toPlainText() + QLatin1Char(' ');
    const bool condizione = !m_ui->MemoCondizione->toPlainText().isEmpty();
    // The user's condition in parentheses, so that an OR in it cannot escape
    // the period joined after it.
    if (condizione) sql += QStringLiteral(" WHERE (") + m_ui->MemoCondizione->toPlainText() + QLatin1Char(')');
    const QString periodo = m_ui->EditData->text();
    if (!periodo.isEmpty()) {
        TInputDate dialogo(this);
        if (dialogo.exec() == QDialog::Accepted) {
            const QDate primo = QDate::fromString(dialogo.dataInizio().trimmed(), QStringLiteral("d/M/yyyy"));
            const QDate ultimo = QDate::fromString(dialogo.dataFine().trimmed(), QStringLiteral("d/M/yyyy"));
            if (!primo.isValid() || !ultimo.isValid()) {
                MostraErrore(DatiNonCorretti);
                return;
            }
            auto mdy = [](const QDate& d) {
                return QStringLiteral("\"%1/%2/%3\"").arg(d.month(), 2, 10, QLatin1Char('0')).arg(d.day(), 2, 10, QLatin1Char('0')).arg(d.year());
            };
            sql += condizione ? QStringLiteral(" AND ") : QStringLiteral(" WHERE ");
            sql += periodo + QStringLiteral(" >= ") + mdy(primo) + QStringLiteral(" AND ") + periodo + QStringLiteral(" <= ") + mdy(ultimo);
        }
    }
    if (!m_ui->EditOrdinamento->text().isEmpty()) sql += QStringLiteral(" ORDER BY ") + m_ui->EditOrdinamento->text();
    m_sql = sql;
    QString errore;
    bool fermato = false;
    {
        const auto lavoro = iniziaLavoro();
        try {
            m_risultato->apri(sql, controlloLavoro());
        } catch (const ErroreInterrotta&) {
            fermato = true;
        } catch (const ErroreArchivio& e) {
            // A text that cannot be translated, a statement the connection
            // refuses or one that fails on its first rows.
            errore = e.testo();
        }
    }
    const bool riuscito = !fermato && errore.isNull();
    m_ui->bbExport->setEnabled(riuscito);
    if (!errore.isNull()) MostraErrore(DatiNonCorretti + QLatin1Char('\n') + errore);
}

void TfrmEsportazioneTabelle::bbExportClick() {
    switch (tipoScelto()) {
    case 0: esportaTesto(); break;
    case 1: esportaFoglio(); break;
    default:
        MostraErrore(QStringLiteral("Non è stato selezionato nessun tipo di formato d'esportazione, selezionarlo uno e riprovare."));
    }
}

void TfrmEsportazioneTabelle::esportaTesto() {
    if (m_ui->EditEsportaPath->text().isEmpty() || m_ui->EditNomeFEsportaz->text().isEmpty()) {
        MostraErrore(QStringLiteral("Definire il percorso ed il nome dell' archivio da esportare!"));
        return;
    }
    if (!m_risultato->aperta()) {
        MostraAttenzione(TabellaChiusa);
        return;
    }
    const QString file = PercorsoEsportazione(m_ui->EditEsportaPath->text(), m_ui->EditNomeFEsportaz->text());
    if (FileDelProgramma(file)) {
        MostraErrore(QStringLiteral("Il file %1 è un archivio del programma: scegliere un altro nome o percorso.")
                         .arg(QDir::toNativeSeparators(file)));
        return;
    }
    if (QFileInfo::exists(file) &&
        !ChiediConferma(QStringLiteral("Il file %1 esiste già: sostituirlo con i dati esportati?").arg(QDir::toNativeSeparators(file))))
        return;
    const TCodificaTesto codifica = m_ui->cbCodifica->currentIndex() == 1 ? TCodificaTesto::Utf8 : TCodificaTesto::Windows1252;
    const QString cartella = CartellaProgramma();
    const QString sql = m_sql;
    const QString formattazione = m_ui->MemoFormattazione->toPlainText();
    TEsitoTesto esito;
    QString errore;
    bool fermato = false;
    {
        const auto guardia = iniziaLavoro();
        TLavoroLungo lavoro(this, QStringLiteral("Esportazione in formato testo"));
        lavoro.aggiungiStop(m_ui->sbFerma);
        lavoro.aggiungiBarra(m_ui->PrgBar);
        try {
            // The rows are read on a connection of the worker's own.
            esito = lavoro.calcola<TEsitoTesto>([&](TContestoLavoro& l) {
                TConnessioneLettura c(cartella);
                c.impostaControllo(l.controllo());
                l.fase(QStringLiteral("Conteggio dei record…"));
                l.avanzamento(0, c.contaRighe(sql));
                l.fase(QDir::toNativeSeparators(file));
                c.prepara(sql);
                return EsportaTesto(c, formattazione, file, codifica, [&l](qint64 n) { l.avanzamento(n); });
            });
        } catch (const ErroreInterrotta&) {
            fermato = true;
        } catch (const ErroreLavoroFermato&) {
            fermato = true;
        } catch (const ErroreArchivio& e) {
            errore = e.testo();
        }
    }
    if (fermato) {
        // Nothing was written: a file of that name keeps what it had.
        MostraAttenzione(QStringLiteral("Esportazione interrotta: l'archivio non è stato scritto."));
        return;
    }
    if (!errore.isNull()) {
        // A setting that cannot be used or a failed read: nothing written,
        // the query stays open.
        MostraErrore(errore);
        return;
    }
    chiudiQuery();
    if (esito.sostituiti > 0)
        MostraAttenzione(QStringLiteral("Esportazione terminata: %1 righe scritte in %2.\n%3 caratteri non previsti dalla codifica "
                                        "Windows-1252 sono stati scritti come \"?\"; per conservarli scegliere la codifica UTF-8.")
                             .arg(esito.righe)
                             .arg(QDir::toNativeSeparators(file))
                             .arg(esito.sostituiti));
}

void TfrmEsportazioneTabelle::esportaFoglio() {
    if (m_ui->EdtNomeFoglioLavoro->text().isEmpty()) {
        MostraErrore(QStringLiteral("Definire il nome del foglio di excel dell' archivio da esportare!"));
        m_ui->EdtNomeFoglioLavoro->setFocus();
        return;
    }
    if (!m_risultato->aperta()) {
        MostraAttenzione(TabellaChiusa);
        return;
    }
    // The grid holds the first rows already: more than 200 of them, or a
    // result not yet read to its end, is a long export.
    if (m_risultato->rowCount() > 200)
        MostraAttenzione(QStringLiteral("L'archivio che si è richiesto di esportare contiene molti dati, l'operazione "
                                        "richiederà alcuni minuti di tempo..."));
    const QString cartella = CartellaProgramma();
    const QString sql = m_sql;
    const QString nomeFoglio = m_ui->EdtNomeFoglioLavoro->text();
    const QString cartellaFogli = m_cartellaFogli;
    QString file;
    QString errore;
    bool fermato = false;
    {
        const auto guardia = iniziaLavoro();
        TLavoroLungo lavoro(this, QStringLiteral("Esportazione nel foglio di lavoro"));
        lavoro.aggiungiStop(m_ui->sbFerma);
        lavoro.aggiungiBarra(m_ui->PrgBar);
        try {
            file = lavoro.calcola<QString>([&](TContestoLavoro& l) {
                TConnessioneLettura c(cartella);
                c.impostaControllo(l.controllo());
                l.fase(QStringLiteral("Conteggio dei record…"));
                l.avanzamento(0, c.contaRighe(sql));
                l.fase(QString());
                c.prepara(sql);
                const QString scritto = EsportaFoglio(c, nomeFoglio, cartellaFogli, [&l](qint64 n) { l.avanzamento(n); },
                                                      [&l] { l.fase(QStringLiteral("Compressione del foglio di lavoro…")); });
                // A stop asked while the workbook was being packed: the
                // workbook is not kept.
                if (l.fermato()) {
                    QFile::remove(scritto);
                    throw ErroreLavoroFermato();
                }
                return scritto;
            });
        } catch (const ErroreCellaFoglio& e) {
            // The rows written before the refused cell are shown, under a name
            // and with a message that say the workbook is incomplete.
            errore = MessaggioCellaRifiutata(e, m_ui->cbPreimpostati->currentText());
            file = e.percorso;
        } catch (const ErroreInterrotta&) {
            fermato = true;
        } catch (const ErroreLavoroFermato&) {
            fermato = true;
        } catch (const ErroreArchivio& e) {
            errore = e.testo();
        }
    }
    if (fermato) {
        MostraAttenzione(QStringLiteral("Esportazione interrotta: il foglio di lavoro non è stato scritto."));
        return;
    }
    if (!errore.isNull()) MostraErrore(errore);
    chiudiQuery();
    if (!file.isEmpty() && !Interazione().apriUrl(QUrl::fromLocalFile(file)))
        MostraAttenzione(QStringLiteral("Il foglio di lavoro è stato scritto in %1, ma nessun programma lo ha aperto: "
                                        "aprirlo con un programma per fogli di calcolo.")
                             .arg(QDir::toNativeSeparators(file)));
}
