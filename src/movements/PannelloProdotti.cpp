#include "movements/PannelloProdotti.h"

#include "data/Convenzioni.h"
#include "data/NomiAnagrafiche.h"
#include "data/engine/Definizioni.h"
#include "gui/Finestre.h"
#include "gui/Gestori.h"
#include "gui/Messaggi.h"
#include "gui/ModelloElenco.h"
#include "gui/Selezione.h"
#include "gui/ServiziDesktop.h"
#include "movements/Movimenti.h"
#include "gui/ListaCategorie.h"
#include "ui_PannelloProdotti.h"

#include <QFocusEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSqlQuery>
#include <QTimer>

namespace {

const QColor Verde(0, 128, 0);
const QColor Rosso(255, 0, 0);

// The grid's columns and their titles.
const QVector<TModelloElenco::Colonna>& ColonneGriglia() {
    static const QVector<TModelloElenco::Colonna> c = {
        {Prodotti::Nome, QStringLiteral("Codice prodotto")},
        {Prodotti::Descrizione, QStringLiteral("Descrizione prodotto")},
        {Prodotti::Carichi, QStringLiteral("Carichi")},
        {Prodotti::Scarichi, QStringLiteral("Scarichi")},
        {Prodotti::Quantita, QStringLiteral("Q.ta Saldo")}};
    return c;
}

// The number boxes: true when a key press is one FiltraTastoNumerico
// swallows (editing and navigation keys pass).
bool TastoDaScartare(QEvent* evento) {
    if (evento->type() != QEvent::KeyPress) return false;
    const auto* k = static_cast<QKeyEvent*>(evento);
    if (k->text().isEmpty() || (k->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) return false;
    const QChar c = k->text().at(0);
    if (c == QChar(127) || c == QChar(27) || c == QChar(9)) return false;  // delete, escape, tab
    return FiltraTastoNumerico(c) == QChar(0);
}

// True when a focus-out event is the focus leaving the box for another
// control of the window (not the window losing the focus to a message box).
bool UscitaVersoAltroControllo(QEvent* evento) {
    if (evento->type() != QEvent::FocusOut) return false;
    const Qt::FocusReason r = static_cast<QFocusEvent*>(evento)->reason();
    return r != Qt::ActiveWindowFocusReason && r != Qt::PopupFocusReason && r != Qt::MenuBarFocusReason;
}

}  // namespace

TPannelloProdotti::TPannelloProdotti(QWidget* genitore)
    : QWidget(genitore), m_ui(std::make_unique<Ui::TPannelloProdotti>()) {
    m_ui->setupUi(this);
    m_lista = new TModelloElenco(this);
    m_lista->impostaColonne(ColonneGriglia());
    m_lista->impostaCampiExtra({Prodotti::Id});
    m_ui->DBGrid1->setModel(m_lista);
    m_ui->DBGrid1->verticalHeader()->setDefaultSectionSize(m_ui->DBGrid1->fontMetrics().height() + 4);
    m_ui->DBGrid1->verticalHeader()->hide();
    m_ui->DBGrid1->setColumnWidth(0, 160);
    m_ui->DBGrid1->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    m_ui->navConferma->setEnabled(false);  // a movement never leaves the product in edit
    m_ui->navAnnulla->setEnabled(false);
    ColoraTesto(m_ui->sbFoto, Rosso);
    // A speed button: it takes no focus, so pressing it never leaves a box.
    m_ui->sbFoto->setFocusPolicy(Qt::NoFocus);

    // Both search boxes turn what is typed into lower case.
    for (QLineEdit* e : {m_ui->EdRicNome, m_ui->EdRicDescrizione}) {
        connect(e, &QLineEdit::textEdited, e, [e](const QString& t) {
            const QString minuscolo = t.toLower();
            if (minuscolo == t) return;
            const int pos = e->cursorPosition();
            e->setText(minuscolo);
            e->setCursorPosition(pos);
        });
        e->installEventFilter(this);
    }
    connect(m_ui->cbRicerca, &QCheckBox::clicked, this, Gestore(this, &TPannelloProdotti::cbRicercaClick));
    connect(m_ui->buttCategoria, &QPushButton::clicked, this, Gestore(this, &TPannelloProdotti::buttCategoriaClick));
    connect(m_ui->sbFoto, &QPushButton::clicked, this, Gestore(this, &TPannelloProdotti::sbFotoClick));
    connect(m_ui->DBGrid1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            Gestore([this](const QModelIndex& attuale) { rigaCambiata(attuale.isValid() ? attuale.row() : -1); }));
    connect(m_ui->navPrecedente, &QPushButton::clicked, this, Gestore([this] {
        if (m_riga > 0) vaiARiga(m_riga - 1);
    }));
    connect(m_ui->navSuccessivo, &QPushButton::clicked, this, Gestore([this] {
        if (m_riga + 1 < m_lista->rowCount()) vaiARiga(m_riga + 1);
    }));
}

TPannelloProdotti::~TPannelloProdotti() = default;

void TPannelloProdotti::impostaVarianti(bool ripristinaSenzaRicerca, bool rimanenzaInFormaGenerale) {
    m_ripristinaSenzaRicerca = ripristinaSenzaRicerca;
    m_rimanenzaGenerale = rimanenzaInFormaGenerale;
}

void TPannelloProdotti::collegaCaselle(QLineEdit* quantita, QLineEdit* prezzoAcquisto, QLineEdit* prezzoVendita,
                                       const QString& erroreQuantita) {
    m_quantita = quantita;
    m_prezzoAcquisto = prezzoAcquisto;
    m_prezzoVendita = prezzoVendita;
    m_erroreQuantita = erroreQuantita;
    for (QLineEdit* e : {quantita, prezzoAcquisto, prezzoVendita}) e->installEventFilter(this);
}

bool TPannelloProdotti::eventFilter(QObject* oggetto, QEvent* evento) {
    if (evento->type() == QEvent::KeyRelease &&
        (oggetto == m_ui->EdRicNome || oggetto == m_ui->EdRicDescrizione))
        EseguiMostrandoErrori([this] { EdRicNomeKeyUp(); });
    const bool casella = oggetto && (oggetto == m_quantita || oggetto == m_prezzoAcquisto || oggetto == m_prezzoVendita);
    if (casella && evento->type() == QEvent::KeyPress) return TastoDaScartare(evento);
    if (casella && oggetto == m_quantita && UscitaVersoAltroControllo(evento))
        EseguiMostrandoErrori([this] { edNumScarExit(); });
    return QWidget::eventFilter(oggetto, evento);
}

void TPannelloProdotti::edNumScarExit() {
    int q = 0;
    const QString t = m_quantita->text().trimmed();
    if (t.isEmpty() || (LeggiQuantita(t, &q) && q < 1)) {
        MostraErrore(m_erroreQuantita);
        QTimer::singleShot(0, m_quantita, [e = m_quantita] { e->setFocus(); });
    }
}

void TPannelloProdotti::focusRicerca() { m_ui->EdRicNome->setFocus(); }

void TPannelloProdotti::DopoMovimento(int idProdotto, int quantita, bool cancAutomatica) {
    if (cancAutomatica && quantita == 0 &&
        ChiediConferma(QStringLiteral("Il saldo del prodotto è 0, procedere all'eliminazione del prodotto in magazzino?"))) {
        EliminaProdotto(idProdotto);
        AggiornaLista();
        return;
    }
    // The movement changed the product's quantities and totals only: the
    // same rows, their values read again (a search over a large book is not
    // read again from the table).
    const int riga = m_riga;
    m_lista->aggiornaValori();
    vaiARiga(std::max(riga, 0));
}

void TPannelloProdotti::apriQuery(const TSqlLista& l) {
    if (l.ricerche.isEmpty()) m_lista->esegui(Definizioni::Prodotti, l.condizione, l.parametri, l.ordine);
    else m_lista->cerca(Definizioni::Prodotti, l.ricerche, l.ordine, l.condizione, l.parametri);
}

void TPannelloProdotti::mostraConteggio() {
    m_ui->LabNumProdotti->setText(QStringLiteral("Prodotti: ") + QString::number(m_lista->conteggio()));
}

void TPannelloProdotti::apriLista(bool ordineStandard) {
    m_ordineStandard = ordineStandard;
    apriQuery(SqlListaProdotti(m_ordineStandard));
    mostraConteggio();
    vaiARiga(0);
    m_ui->EdRicNome->setFocus();
}

void TPannelloProdotti::CercaProdotti() {
    if (!m_ui->cbRicerca->isChecked()) return;
    apriQuery(SqlRicercaProdotti(m_ui->EdRicNome->text(), m_ui->EdRicDescrizione->text(),
                                 m_ui->EdRicCategoria->text(), m_ordineStandard));
    mostraConteggio();
    vaiARiga(0);
}

void TPannelloProdotti::AggiornaLista() {
    const int riga = m_riga;
    m_lista->riesegui();
    vaiARiga(std::max(riga, 0));
}

void TPannelloProdotti::EdRicNomeKeyUp() { CercaProdotti(); }

void TPannelloProdotti::cbRicercaClick() {
    if (m_ui->cbRicerca->isChecked()) {
        CercaProdotti();
    } else if (m_ripristinaSenzaRicerca) {
        // The whole list again; the count keeps the figure of the last search.
        apriQuery(SqlListaProdotti(m_ordineStandard));
        vaiARiga(0);
    }
    m_ui->EdRicNome->setFocus();
}

void TPannelloProdotti::buttCategoriaClick() {
    {
        std::unique_ptr<TFrmListaCategorie> lista(new TFrmListaCategorie(window()));
        lista->exec();
    }
    // The selection is not cleared first: leaving the list without a choice
    // applies the category chosen last, in any window.
    const TSelezioneCorrente& s = SelezioneCorrente();
    if (s.IdCategoriaScelta == -1) {
        m_ui->EdRicCategoria->clear();
        m_ui->EdRicCategoria->setToolTip(QStringLiteral("Categoria selezionata: nessuna"));
    } else if (s.IdCategoriaScelta != 0) {
        m_ui->EdRicCategoria->setText(QString::number(s.IdCategoriaScelta));
        m_ui->EdRicCategoria->setToolTip(QStringLiteral("Categoria selezionata: ") + s.CategoriaScelta);
    }
    CercaProdotti();
}

bool TPannelloProdotti::vuota() const { return m_lista->rowCount() == 0; }

int TPannelloProdotti::righe() const { return m_lista->rowCount(); }

int TPannelloProdotti::idProdotto() const {
    return m_prodotto.campi().isEmpty() ? 0 : m_prodotto.intero(Prodotti::Id);
}

void TPannelloProdotti::vaiARiga(int riga) {
    if (m_lista->rowCount() == 0) riga = -1;
    else riga = std::clamp(riga, 0, m_lista->rowCount() - 1);
    m_posizionando = true;
    if (riga >= 0) {
        m_ui->DBGrid1->setCurrentIndex(m_lista->index(riga, 0));
    }
    m_posizionando = false;
    m_riga = riga;
    QueryListaProdottiAfterScroll();
}

void TPannelloProdotti::rigaCambiata(int riga) {
    if (m_posizionando || riga == m_riga) return;
    m_riga = riga;
    QueryListaProdottiAfterScroll();
}

void TPannelloProdotti::QueryListaProdottiAfterScroll() {
    // Locate the product cursor on the list row's ID.
    if (m_riga >= 0) m_prodotto = LeggiProdotto(m_lista->valore(m_riga, Prodotti::Id).toInt());
    else m_prodotto = TRecord();
    mostraProdotto();
    // The price boxes start from the product's stored prices; the quantity
    // box keeps what was typed.
    const bool c = !m_prodotto.campi().isEmpty();
    if (m_prezzoAcquisto) m_prezzoAcquisto->setText(c ? TestoNumero(m_prodotto.valore(Prodotti::Prezzo)) : QString());
    if (m_prezzoVendita) m_prezzoVendita->setText(c ? TestoNumero(m_prodotto.valore(Prodotti::Prezzo2)) : QString());
    AggiornaTotali();
}

void TPannelloProdotti::mostraProdotto() {
    const bool c = !m_prodotto.campi().isEmpty();
    const auto testo = [&](const QString& campo) { return c ? m_prodotto.comeTesto(campo) : QString(); };
    m_ui->DBEditNOME->setText(testo(Prodotti::Nome));
    m_ui->DBEditDESCRIZIONE->setText(testo(Prodotti::Descrizione));
    m_ui->DBEditCARICHI->setText(testo(Prodotti::Carichi));
    m_ui->DBEditQUANTITA->setText(testo(Prodotti::Quantita));
    m_ui->DBEditSCARICHI->setText(testo(Prodotti::Scarichi));
    m_ui->DBEditPREZZOLISTINO->setText(testo(Prodotti::PrezzoListino));
    m_ui->DBEditSCONTO1->setText(testo(Prodotti::Sconto1));
    m_ui->DBEditSCONTO2->setText(testo(Prodotti::Sconto2));
    m_ui->DBEditSCONTO3->setText(testo(Prodotti::Sconto3));
    m_ui->DBEditPREZZO->setText(testo(Prodotti::Prezzo));
    m_ui->DBEditPREZZO2->setText(testo(Prodotti::Prezzo2));
    m_ui->DBEditGIACENZAMAX->setText(testo(Prodotti::GiacenzaMax));
    m_ui->DBEditDATAOGGI->setText(testo(Prodotti::DataOggi));
    m_ui->DBEditDATADISTINTA->setText(testo(Prodotti::DataDistinta));
    m_ui->DBEditNUMDISTINTA->setText(testo(Prodotti::NumDistinta));
    m_ui->DBEditIDPRODUTTORE->setText(testo(Prodotti::IdProduttore));
    m_ui->DBEditIDCATEGORIA->setText(testo(Prodotti::IdCategoria));
    m_ui->DBEditTOTALEACQUISTI->setText(testo(Prodotti::TotaleAcquisti));
    m_ui->DBEditTOTALEVENDITE->setText(testo(Prodotti::TotaleVendite));

    m_ui->LabDettagliProd->setText(QStringLiteral("Dettagli:"));
    if (c && !m_prodotto.nullo(Prodotti::IdProduttore)) {
        m_ui->LabDettagliProd->setText(QStringLiteral("Ricerca produttore in corso.."));
        m_ui->LabDettagliProd->setText(TestoDettagliProduttore(m_prodotto.intero(Prodotti::IdProduttore)));
    }
    m_ui->LabDettagliCat->setText(QStringLiteral("Dettagli:"));
    if (c && !m_prodotto.nullo(Prodotti::IdCategoria)) {
        m_ui->LabDettagliCat->setText(QStringLiteral("Ricerca categoria in corso.."));
        m_ui->LabDettagliCat->setText(QStringLiteral("Dettagli: ") +
                                      NomeCategoria(m_prodotto.intero(Prodotti::IdCategoria)));
    }
    ColoraTesto(m_ui->sbFoto, c && !m_prodotto.testo(Prodotti::Foto).trimmed().isEmpty() ? Verde : Rosso);
    CalcolaMargine();
}

void TPannelloProdotti::CalcolaMargine() {
    m_ui->LabelMargine->setText(m_prodotto.campi().isEmpty() ? QStringLiteral("N.D.") : ::CalcolaMargine(m_prodotto));
}

void TPannelloProdotti::AggiornaTotali() {
    const TTotaliProdotto t = m_prodotto.campi().isEmpty() ? TTotaliProdotto() : CalcolaTotali(m_prodotto);
    m_ui->LabelRimanenzaTot->setText(m_rimanenzaGenerale ? TestoNumero(t.rimanenza) : FormattaNumero(t.rimanenza, 2));
    m_ui->LabelDifferenza->setText(FormattaNumero(t.differenza, 2));
    QPalette p = m_ui->LabelDifferenza->palette();
    p.setColor(QPalette::Window, t.positiva() ? Verde : Rosso);
    p.setColor(QPalette::WindowText, Qt::white);
    m_ui->LabelDifferenza->setAutoFillBackground(true);
    m_ui->LabelDifferenza->setPalette(p);
}

void TPannelloProdotti::sbFotoClick() {
    const QString foto = m_prodotto.campi().isEmpty() ? QString() : m_prodotto.testo(Prodotti::Foto).trimmed();
    if (foto.isEmpty()) {
        MostraAttenzione(QStringLiteral("Nessuna foto selezionata per il prodotto"));
        return;
    }
    ApriDocumento(foto);
}
