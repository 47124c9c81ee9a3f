#include "registries/Categorie.h"
#include "data/engine/Definizioni.h"

#include "gui/Gestori.h"
#include "data/engine/Tabella.h"
#include "gui/Messaggi.h"
#include "gui/Navigatore.h"
#include "gui/TastoEsc.h"
#include "registries/DatiRegistri.h"
#include "ui_Categorie.h"

#include <QAbstractTableModel>
#include <QCloseEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>

// The grid of the categories on the category cursor: the stored texts, the
// current row showing the record being edited or inserted, and typing into a
// cell edits the cursor's record.
class TModelloCategorie : public QAbstractTableModel {
public:
    TModelloCategorie(TTabella* tabella, TCampiCollegati* campi, QObject* genitore)
        : QAbstractTableModel(genitore), m_tabella(tabella), m_campi(campi) {}

    void ricarica() {
        beginResetModel();
        m_testi.clear();
        if (m_tabella->aperta()) {
            TArchivio& a = TArchivio::corrente();
            QSqlQuery q = a.esegui(QStringLiteral("select %1 from %2 order by %3")
                                       .arg(Cat::Categoria, a.nomeQualificato(Definizioni::Categorie), Cat::Id));
            while (q.next()) m_testi << q.value(0).toString();
        }
        m_righe = static_cast<int>(m_testi.size()) + (m_tabella->stato() == TTabella::Stato::Inserimento ? 1 : 0);
        endResetModel();
    }
    // The grid row of the cursor's record.
    int rigaCorrente() const {
        if (!m_tabella->aperta()) return -1;
        if (m_tabella->stato() == TTabella::Stato::Inserimento) return static_cast<int>(m_testi.size());
        return m_tabella->numeroRecord() - 1;
    }
    void aggiornaRiga(int riga) {
        if (riga >= 0 && riga < rowCount()) emit dataChanged(index(riga, 0), index(riga, 0));
    }

    int rowCount(const QModelIndex& g = {}) const override {
        return g.isValid() ? 0 : m_righe;
    }
    int columnCount(const QModelIndex& g = {}) const override { return g.isValid() ? 0 : 1; }
    QVariant data(const QModelIndex& i, int ruolo) const override {
        if (!i.isValid() || (ruolo != Qt::DisplayRole && ruolo != Qt::EditRole)) return {};
        if (m_tabella->inModifica() && i.row() == rigaCorrente()) {
            // What is being typed in the box, not yet written to the record.
            const QLineEdit* box = m_campi->box(Cat::Categoria);
            return box ? box->text() : m_tabella->testo(Cat::Categoria);
        }
        return i.row() < m_testi.size() ? m_testi[i.row()] : QString();
    }
    QVariant headerData(int s, Qt::Orientation o, int ruolo) const override {
        if (ruolo == Qt::DisplayRole && o == Qt::Horizontal && s == 0) return QStringLiteral("Categoria");
        return {};
    }
    Qt::ItemFlags flags(const QModelIndex& i) const override {
        return QAbstractTableModel::flags(i) | Qt::ItemIsEditable;
    }
    bool setData(const QModelIndex& i, const QVariant& v, int ruolo) override {
        if (!i.isValid() || ruolo != Qt::EditRole) return false;
        if (i.row() != rigaCorrente()) return false;
        if (!m_tabella->inModifica()) m_tabella->modifica();
        else m_campi->scrivi();
        m_tabella->imposta(Cat::Categoria, v.toString());
        m_campi->mostra();
        emit dataChanged(i, i);
        return true;
    }

private:
    TTabella* m_tabella;
    TCampiCollegati* m_campi;
    QStringList m_testi;
    int m_righe = 0;  // the rows the grid knows of: the stored ones and the one being inserted
};

TFrmCategorie::TFrmCategorie(QWidget* genitore)
    : QDialog(genitore, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::MSWindowsFixedSizeDialogHint),
      m_ui(std::make_unique<Ui::TFrmCategorie>()),
      m_tabella(std::make_unique<TTabella>(TArchivio::corrente(), Definizioni::Categorie)),
      m_campi(std::make_unique<TCampiCollegati>(m_tabella.get())) {
    m_ui->setupUi(this);
    // A window of fixed size, never narrower than its buttons need.
    setFixedSize(size().expandedTo(minimumSizeHint()));
    m_modello = new TModelloCategorie(m_tabella.get(), m_campi.get(), this);
    m_ui->DBGrid1->setModel(m_modello);
    m_ui->DBGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_ui->DBGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    m_ui->DBGrid1->verticalHeader()->setVisible(false);
    m_ui->DBGrid1->horizontalHeader()->setStretchLastSection(true);
    m_ui->DBGrid1->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                   QAbstractItemView::AnyKeyPressed);
    m_ui->DBGrid1->installEventFilter(this);
    m_campi->collega(m_ui->DBEditCat, Cat::Categoria);

    m_ui->DBNavigator1->collega(m_tabella.get(), m_campi.get());
    m_ui->DBNavigator1->impostaSuggerimenti({QStringLiteral("Rigo precedente"), QStringLiteral("Rigo successivo"),
                                             QStringLiteral("Inserimento rigo"), QStringLiteral("Eliminazione rigo"),
                                             QStringLiteral("Conferma modifiche"), QStringLiteral("Annulla modifiche")});
    m_tabella->primaDiRegistrare = [this] { TableCategorieBeforePost(); };
    m_tabella->primaDiEliminare = [this] { TableCategorieBeforeDelete(); };
    m_tabella->dopoScorrimento = [this] { Seguito(); };
    m_tabella->dopoRegistrazione = [this] { Seguito(); };
    m_tabella->dopoEliminazione = [this] { Seguito(); };
    m_tabella->dopoInserimento = [this] {
        m_campi->mostra();
        Seguito();
    };
    m_tabella->cambioStato = [this] { Seguito(); };

    connect(m_ui->DBNavigator1, &TNavigatore::cliccato, this, Gestore(this, &TFrmCategorie::DBNavigator1Click));
    connect(m_ui->sbEsci, &QPushButton::clicked, this, Gestore(this, &TFrmCategorie::sbEsciClick));
    // The window is left through "Esci": Escape alone does not close it, but
    // with a change pending it asks what "Esci" asks.
    EscComeEsci(this, [this] {
        if (m_tabella->inModifica()) sbEsciClick();
    });
    connect(m_ui->DBGrid1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            Gestore([this](const QModelIndex& i) { DBGrid1RigaCambiata(i.isValid() ? i.row() : -1); }));
    connect(m_ui->DBEditCat, &QLineEdit::textEdited, this, Gestore([this] {
        // The grid's current cell shows what is being typed.
        m_modello->aggiornaRiga(m_modello->rigaCorrente());
    }));
    FormCreate();
}

TFrmCategorie::~TFrmCategorie() {
    m_tabella->dopoScorrimento = nullptr;
    m_tabella->cambioStato = nullptr;
    m_tabella->dopoRegistrazione = nullptr;
    m_tabella->chiudi();
}

void TFrmCategorie::FormCreate() {
    m_tabella->apri();
    Seguito();
}

void TFrmCategorie::showEvent(QShowEvent* evento) {
    QDialog::showEvent(evento);
    EseguiMostrandoErrori([this] { Seguito(); });
}

void TFrmCategorie::Seguito() {
    if (m_seguendo) return;
    m_seguendo = true;
    if (!m_tabella->inModifica()) m_campi->mostra();
    // Rows change only when records are stored, deleted, inserted or cancelled.
    const int attese = static_cast<int>(m_tabella->conteggio()) +
                       (m_tabella->stato() == TTabella::Stato::Inserimento ? 1 : 0);
    if (m_modello->rowCount() != attese || !m_tabella->inModifica()) m_modello->ricarica();
    const int riga = m_modello->rigaCorrente();
    if (riga >= 0 && riga < m_modello->rowCount()) {
        const QModelIndex i = m_modello->index(riga, 0);
        m_ui->DBGrid1->selectionModel()->setCurrentIndex(i, QItemSelectionModel::ClearAndSelect |
                                                                QItemSelectionModel::Rows);
        m_ui->DBGrid1->scrollTo(i);
    }
    m_ui->DBNavigator1->aggiorna();
    m_seguendo = false;
}

void TFrmCategorie::DBGrid1RigaCambiata(int riga) {
    if (m_seguendo || riga < 0 || riga == m_modello->rigaCorrente()) return;
    // Leaving the edited row stores it, through the same checks as "Conferma".
    const bool ok = EseguiMostrandoErrori([&] {
        if (m_tabella->inModifica()) m_campi->scrivi();
        if (m_tabella->stato() == TTabella::Stato::Inserimento) {
            m_tabella->registra();
            return;
        }
        m_tabella->vaiA(riga + 1);
    });
    if (!ok) QMetaObject::invokeMethod(this, Gestore([this] { Seguito(); }), Qt::QueuedConnection);
}

void TFrmCategorie::DBNavigator1Click(int pulsante) {
    if (pulsante == TNavigatore::Inserisci) m_ui->DBEditCat->setFocus();
}

void TFrmCategorie::TableCategorieBeforePost() {
    m_campi->scrivi();
    const QString nome = m_tabella->testo(Cat::Categoria);
    const bool inserimento = m_tabella->stato() == TTabella::Stato::Inserimento;
    if (inserimento ? EsisteCategoria(nome) : EsisteCategoria(nome, m_tabella->valore(Cat::Id))) {
        MostraErrore(QStringLiteral("Categoria già esistente, immettere un nome diverso!"));
        m_ui->DBEditCat->setFocus();
        throw InterrompiOperazione();
    }
    if (inserimento) m_tabella->imposta(Cat::Id, NuovoIdCategoria());
}

void TFrmCategorie::TableCategorieBeforeDelete() {
    const QVariant id = m_tabella->valore(Cat::Id);
    const int n = ContaProdottiCategoria(id);
    if (!ChiediConferma(QStringLiteral("Questa operazione causerà la cancellazione della categoria e di tutti i "
                                       "prodotti ad essa collegati (%1), continuare?")
                            .arg(n)))
        throw InterrompiOperazione();
    // The products and the category go in one transaction: all or nothing.
    // The cursor's own delete that follows finds the category already gone.
    EliminaCategoriaEProdotti(id, true);
}

void TFrmCategorie::sbEsciClick() {
    if (m_tabella->inModifica()) {
        if (!ChiediConferma(QStringLiteral("Alcune modifiche non sono ancora state salvate, uscendo tali modifiche "
                                           "verranno perse, uscire comunque?")))
            return;
        m_tabella->annulla();
    }
    m_uscita = true;
    accept();
}

void TFrmCategorie::closeEvent(QCloseEvent* evento) {
    if (!m_uscita) {
        evento->ignore();
        return;
    }
    QDialog::closeEvent(evento);
}

bool TFrmCategorie::eventFilter(QObject* oggetto, QEvent* evento) {
    if (oggetto == m_ui->DBGrid1 && evento->type() == QEvent::KeyPress) {
        auto* k = static_cast<QKeyEvent*>(evento);
        if (k->key() == Qt::Key_Delete && (k->modifiers() & Qt::ControlModifier)) {
            m_ui->DBNavigator1->esegui(TNavigatore::Elimina);
            return true;
        }
    }
    return QDialog::eventFilter(oggetto, evento);
}
