#include "tools/EsportazioneTabelle.h"

#include "app/Fx.h"
#include "app/Interazione.h"
#include "app/TastoEsc.h"
#include "data/engine/Definizioni.h"
#include "data/engine/Tabella.h"
#include "tools/ConnessioneLettura.h"
#include "tools/EsportazioneFoglio.h"
#include "tools/EsportazioneTesto.h"
#include "tools/InputDate.h"
#include "tools/ModelliEsportazione.h"
#include "ui_EsportazioneTabelle.h"

#include <QAbstractTableModel>
#include <QDir>
#include <QFileSystemModel>
#include <QFocusEvent>
#include <QUrl>

// The result shown in the grid: rows read from the fenced connection as the
// grid scrolls to them, never all at once.
class TModelloRisultato : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    void apri(const QString& sql) {
        beginResetModel();
        m_righe.clear();
        m_finito = false;
        m_conn = std::make_unique<TConnessioneLettura>(CartellaProgramma());
        try {
            m_conn->prepara(sql);
        } catch (...) {
            m_conn.reset();
            endResetModel();
            throw;
        }
        endResetModel();
        if (canFetchMore({})) fetchMore({});
    }
    void chiudi() {
        beginResetModel();
        m_conn.reset();
        m_righe.clear();
        m_finito = true;
        endResetModel();
    }
    bool aperta() const { return m_conn != nullptr; }

    int rowCount(const QModelIndex& g = {}) const override { return g.isValid() ? 0 : static_cast<int>(m_righe.size()); }
    int columnCount(const QModelIndex& g = {}) const override {
        return g.isValid() || !m_conn ? 0 : static_cast<int>(m_conn->colonne().size());
    }
    bool canFetchMore(const QModelIndex& g) const override { return !g.isValid() && m_conn && !m_finito; }
    void fetchMore(const QModelIndex&) override {
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
    std::unique_ptr<TConnessioneLettura> m_conn;
    QVector<QVector<QVariant>> m_righe;
    bool m_finito = true;
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

    connect(m_ui->cbPreimpostati, qOverload<int>(&QComboBox::activated), this, &TfrmEsportazioneTabelle::cbPreimpostatiClick);
    connect(m_ui->LBTableName, &QListWidget::currentRowChanged, this, [this] { LBTableNameChange(); });
    connect(m_ui->LBFieldName, &QListWidget::itemDoubleClicked, this, [this] { LBFieldNameDblClick(); });
    connect(m_ui->buttClear, &QPushButton::clicked, this, &TfrmEsportazioneTabelle::buttClearClick);
    connect(m_ui->Button3, &QPushButton::clicked, this, &TfrmEsportazioneTabelle::Button3Click);
    connect(m_ui->Button4, &QPushButton::clicked, this, &TfrmEsportazioneTabelle::Button4Click);
    connect(m_ui->buttElimina, &QPushButton::clicked, this, &TfrmEsportazioneTabelle::buttEliminaClick);
    connect(m_ui->rbTesto, &QRadioButton::clicked, this, &TfrmEsportazioneTabelle::rgTIPOClick);
    connect(m_ui->rbExcel, &QRadioButton::clicked, this, &TfrmEsportazioneTabelle::rgTIPOClick);
    connect(m_ui->DirectoryListBox1->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { DirectoryListBox1Change(); });
    connect(m_ui->sbEsci, &QToolButton::clicked, this, &TfrmEsportazioneTabelle::sbEsciClick);
    connect(m_ui->buttEsegui, &QPushButton::clicked, this, &TfrmEsportazioneTabelle::buttEseguiClick);
    connect(m_ui->bbExport, &QPushButton::clicked, this, &TfrmEsportazioneTabelle::bbExportClick);
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
    if (!t || !f) return;
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
    } else if (m_ui->rbExcel->isChecked()) {
        m_ui->gbNome->setTitle(QStringLiteral("Nome foglio di lavoro"));
        m_ui->EditEsportaPath->setEnabled(false);
        m_ui->EditNomeFEsportaz->hide();
        m_ui->EdtNomeFoglioLavoro->show();
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
        if (motivo != Qt::ActiveWindowFocusReason && motivo != Qt::PopupFocusReason) EditOrdinamentoExit();
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
    try {
        m_risultato->apri(sql);
    } catch (const ErroreProgramma& e) {
        // A text that cannot be translated or a statement the connection refuses.
        MostraErrore(DatiNonCorretti + QLatin1Char('\n') + e.testo());
        return;
    }
    m_ui->bbExport->setEnabled(true);
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
    try {
        TConnessioneLettura c(CartellaProgramma());
        m_ui->PrgBar->setMaximum(static_cast<int>(qMin<qint64>(c.conta(m_sql), INT_MAX)));
        c.prepara(m_sql);
        EsportaTesto(c, m_ui->MemoFormattazione->toPlainText(), file,
                     [this](qint64 n) { m_ui->PrgBar->setValue(static_cast<int>(qMin<qint64>(n, INT_MAX))); });
    } catch (const ErroreProgramma& e) {
        // A setting that cannot be used or a failed read: nothing written,
        // the query stays open.
        m_ui->PrgBar->setValue(0);
        MostraErrore(e.testo());
        return;
    }
    chiudiQuery();
    m_ui->PrgBar->setValue(0);
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
    QString file;
    try {
        TConnessioneLettura c(CartellaProgramma());
        const qint64 righe = c.conta(m_sql);
        m_ui->PrgBar->setValue(0);
        m_ui->PrgBar->setMaximum(static_cast<int>(qMin<qint64>(righe, INT_MAX)));
        if (righe > 200)
            MostraAttenzione(QStringLiteral("L'archivio che si è richiesto di esportare contiene molti dati, l'operazione "
                                            "richiederà alcuni minuti di tempo..."));
        c.prepara(m_sql);
        file = EsportaFoglio(c, m_ui->EdtNomeFoglioLavoro->text(), m_cartellaFogli,
                             [this](qint64 n) { m_ui->PrgBar->setValue(static_cast<int>(qMin<qint64>(n, INT_MAX))); });
    } catch (const ErroreCellaFoglio& e) {
        // The rows written before the refused cell are shown, under a name
        // and with a message that say the workbook is incomplete.
        MostraErrore(MessaggioCellaRifiutata(e, m_ui->cbPreimpostati->currentText()));
        file = e.percorso;
    } catch (const ErroreProgramma& e) {
        MostraErrore(e.testo());
    }
    chiudiQuery();
    m_ui->PrgBar->setValue(0);
    if (!file.isEmpty() && !Interazione().apriUrl(QUrl::fromLocalFile(file)))
        MostraAttenzione(QStringLiteral("Il foglio di lavoro è stato scritto in %1, ma nessun programma lo ha aperto: "
                                        "aprirlo con un programma per fogli di calcolo.")
                             .arg(QDir::toNativeSeparators(file)));
}
