#include "registries/AnagProdotti.h"
#include "data/engine/Definizioni.h"

#include "gui/Gestori.h"
#include "gui/Grafico.h"
#include "data/LetturaImpostazioni.h"
#include "data/NomiAnagrafiche.h"
#include "data/Orologio.h"
#include "data/engine/Tabella.h"
#include "gui/Griglia.h"
#include "gui/Inserimento.h"
#include "gui/Interazione.h"
#include "gui/Messaggi.h"
#include "gui/ModelloElenco.h"
#include "gui/Navigatore.h"
#include "gui/Selezione.h"
#include "gui/ServiziDesktop.h"
#include "gui/TastoEsc.h"
#include "registries/DatiRegistri.h"
#include "gui/ListaCategorie.h"
#include "gui/ListaProduttori.h"
#include "ui_AnagProdotti.h"

#include <QFileInfo>
#include <QFocusEvent>

namespace {
const QString DomandaUscita = QStringLiteral(
    "E' in corso un operazione di immissione o modifica dati, uscendo si annullerà tale operazione, si è sicuri di "
    "voler uscire?");
}

TFrmAnagProdotti::TFrmAnagProdotti(QWidget* genitore)
    : QDialog(genitore),
      m_ui(std::make_unique<Ui::TFrmAnagProdotti>()),
      m_tabella(std::make_unique<TTabella>(TArchivio::corrente(), Definizioni::Prodotti)),
      m_campi(std::make_unique<TCampiCollegati>(m_tabella.get())),
      m_lista(new TModelloElenco(this)) {
    m_ui->setupUi(this);
    m_lista->impostaColonne({{Prodotti::Nome, QStringLiteral("Codice prodotto")},
                             {Prodotti::Descrizione, QStringLiteral("Descrizione prodotto")},
                             {Prodotti::Carichi, QStringLiteral("Carichi")},
                             {Prodotti::Scarichi, QStringLiteral("Scarichi")},
                             {Prodotti::Quantita, QStringLiteral("Quantità")}});
    m_lista->impostaCampiExtra({Prodotti::Id});
    PreparaGriglia(m_ui->DBGrid1, m_lista);
    m_ui->DBGrid1->setColumnWidth(0, 160);
    m_ui->DBGrid1->setColumnWidth(1, 380);
    MinuscoloDuranteDigitazione(m_ui->EdRicNome);
    MinuscoloDuranteDigitazione(m_ui->EdRicDescrizione);

    const struct {
        QLineEdit* box;
        const QString& campo;
        bool solaLettura;
    } legami[] = {{m_ui->DBEditCodice, Prodotti::Nome, false},  {m_ui->DBEditDescrizione, Prodotti::Descrizione, false},
                  {m_ui->DBEdit18, Prodotti::PrezzoListino, false}, {m_ui->DBEdit15, Prodotti::Sconto1, false},
                  {m_ui->DBEdit14, Prodotti::Sconto2, false},   {m_ui->DBEdit13, Prodotti::Sconto3, false},
                  {m_ui->DBEdit12, Prodotti::Prezzo, false},    {m_ui->DBEdit8, Prodotti::Prezzo2, false},
                  {m_ui->DBEdit3, Prodotti::GiacenzaMax, false}, {m_ui->DBEdit2, Prodotti::QtaAlert, false},
                  {m_ui->DBEdit4, Prodotti::DataOggi, false},   {m_ui->DBEdit5, Prodotti::DataDistinta, false},
                  {m_ui->DBEdit6, Prodotti::NumDistinta, false}, {m_ui->DBEdit7, Prodotti::IdProduttore, true},
                  {m_ui->DBEdit1, Prodotti::IdCategoria, true}, {m_ui->DBEdit9, Prodotti::Foto, false}};
    // Prices, discounts, days and the alert quantity are numbers: their keys are filtered.
    const QList<QLineEdit*> numerici = {m_ui->DBEdit18, m_ui->DBEdit15, m_ui->DBEdit14, m_ui->DBEdit13,
                                        m_ui->DBEdit12, m_ui->DBEdit8,  m_ui->DBEdit3,  m_ui->DBEdit2};
    for (const auto& l : legami) {
        if (numerici.contains(l.box)) m_campi->collegaNumerico(l.box, l.campo);
        else m_campi->collega(l.box, l.campo, l.solaLettura);
    }

    m_ui->DBNavigator1->collega(m_tabella.get(), m_campi.get());
    m_ui->DBNavigator1->impostaDidascalie({QStringLiteral("Precedente"), QStringLiteral("Successivo"),
                                           QStringLiteral("Inserisci"), QStringLiteral("Elimina"),
                                           QStringLiteral("Conferma"), QStringLiteral("Annulla")});

    m_tabella->dopoScorrimento = [this] { TableProdottiAfterScroll(); };
    m_tabella->dopoInserimento = [this] { TableProdottiAfterInsert(); };
    m_tabella->primaDiRegistrare = [this] { TableProdottiBeforePost(); };
    m_tabella->dopoRegistrazione = [this] { TableProdottiAfterPost(); };
    m_tabella->dopoEliminazione = [this] { TableProdottiAfterDelete(); };
    m_tabella->cambioStato = [this] {
        if (!m_tabella->inModifica()) m_campi->mostra();
        m_ui->DBNavigator1->aggiorna();
    };

    connect(m_ui->EdRicNome, &QLineEdit::textEdited, this, Gestore(this, &TFrmAnagProdotti::EdRicNomeKeyUp));
    connect(m_ui->EdRicDescrizione, &QLineEdit::textEdited, this, Gestore(this, &TFrmAnagProdotti::EdRicNomeKeyUp));
    connect(m_ui->cbRicerca, &QCheckBox::toggled, this, Gestore(this, &TFrmAnagProdotti::cbRicercaClick));
    connect(m_ui->DBGrid1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            Gestore(this, &TFrmAnagProdotti::QueryListaProdottiAfterScroll));
    connect(m_ui->SpeedButton1, &QPushButton::clicked, this, Gestore(this, &TFrmAnagProdotti::SpeedButton1Click));
    connect(m_ui->SpeedButton2, &QPushButton::clicked, this, Gestore(this, &TFrmAnagProdotti::SpeedButton2Click));
    connect(m_ui->SpeedButton3, &QPushButton::clicked, this, Gestore(this, &TFrmAnagProdotti::SpeedButton3Click));
    connect(m_ui->SbFoto, &QPushButton::clicked, this, Gestore(this, &TFrmAnagProdotti::SbFotoClick));
    connect(m_ui->BTGrafico, &QPushButton::clicked, this, Gestore(this, &TFrmAnagProdotti::BTGraficoClick));
    connect(m_ui->sbEsci, &QPushButton::clicked, this, Gestore(this, &TFrmAnagProdotti::sbEsciClick));
    EscComeEsci(this, [this] { sbEsciClick(); });
    for (QLineEdit* b : {m_ui->DBEdit15, m_ui->DBEdit14, m_ui->DBEdit13, m_ui->DBEdit12, m_ui->DBEdit8, m_ui->DBEdit4,
                         m_ui->DBEdit5})
        b->installEventFilter(this);
}

TFrmAnagProdotti::~TFrmAnagProdotti() {
    // FormDestroy: the cursor is closed, a pending edit discarded.
    m_chiusura = true;
    m_tabella->dopoScorrimento = nullptr;
    m_tabella->cambioStato = nullptr;
    m_tabella->chiudi();
}

void TFrmAnagProdotti::showEvent(QShowEvent* evento) {
    QDialog::showEvent(evento);
    if (m_mostrata) return;
    m_mostrata = true;
    EseguiMostrandoErrori([this] { FormShow(); });
}

QString TFrmAnagProdotti::ClausolaOrdine() const {
    return m_ordineStandard ? QString() : Prodotti::Nome;
}

void TFrmAnagProdotti::FormShow() {
    const TRecord impostazioni = LeggiImpostazioni();
    m_ordineStandard = !impostazioni.campi().isEmpty() && impostazioni.booleano(Impostazioni::OrdProdottiStandard);
    m_tabella->apri();
    m_lista->esegui(Definizioni::Prodotti, {}, {}, ClausolaOrdine());
    m_ui->LabNumProdotti->setText(QStringLiteral("Prodotti trovati: ") + QString::number(m_lista->conteggio()));
    SelezionaRiga(m_ui->DBGrid1, 0);
    m_ui->EdRicNome->setFocus();
}

void TFrmAnagProdotti::QueryListaProdottiAfterScroll() {
    const int r = RigaCorrente(m_ui->DBGrid1);
    if (r < 0 || !m_tabella->aperta()) return;
    const QVariant id = m_lista->valore(r, Prodotti::Id);
    if (id.isNull()) return;
    EseguiMostrandoErrori([&] { m_tabella->trova(Prodotti::Id, id); });
}

void TFrmAnagProdotti::TableProdottiAfterScroll() {
    m_ui->LabDettagli->setText(QStringLiteral("Dettagli:"));
    if (!m_tabella->nullo(Prodotti::IdProduttore)) {
        m_ui->LabDettagli->setText(QStringLiteral("Ricerca produttore.."));
        m_ui->LabDettagli->setText(TestoDettagliProduttore(m_tabella->intero(Prodotti::IdProduttore)));
    }
    m_ui->LabDettagliCat->setText(QStringLiteral("Dettagli:"));
    if (!m_tabella->nullo(Prodotti::IdCategoria)) {
        m_ui->LabDettagliCat->setText(QStringLiteral("Ricerca categoria.."));
        m_ui->LabDettagliCat->setText(QStringLiteral("Dettagli: ") +
                                      NomeCategoria(m_tabella->intero(Prodotti::IdCategoria)));
    }
    ColoreFoto();
    CalcolaMargine();
    m_campi->mostra();
    m_ui->DBNavigator1->aggiorna();
}

void TFrmAnagProdotti::ColoreFoto() {
    const bool foto = !m_tabella->testo(Prodotti::Foto).trimmed().isEmpty();
    m_ui->SbFoto->setStyleSheet(foto ? QStringLiteral("color: rgb(0,128,0);") : QStringLiteral("color: rgb(255,0,0);"));
}

void TFrmAnagProdotti::EdRicNomeKeyUp() { CercaProdotti(); }

void TFrmAnagProdotti::cbRicercaClick() {
    if (m_ui->cbRicerca->isChecked()) CercaProdotti();
}

void TFrmAnagProdotti::CercaProdotti() {
    if (!m_tabella->aperta() || m_tabella->inModifica() || !m_ui->cbRicerca->isChecked()) return;
    m_lista->cerca(Definizioni::Prodotti, RicercaProdotti(m_ui->EdRicNome->text(), m_ui->EdRicDescrizione->text()),
                   ClausolaOrdine());
    SelezionaRiga(m_ui->DBGrid1, 0);
    m_ui->LabNumProdotti->setText(QStringLiteral("Prodotti trovati: ") + QString::number(m_lista->conteggio()));
}

void TFrmAnagProdotti::TableProdottiAfterInsert() {
    m_tabella->imposta(Prodotti::GiacenzaMax, 0);
    m_tabella->imposta(Prodotti::DataOggi, Oggi());
    m_tabella->imposta(Prodotti::Carichi, 0);
    m_tabella->imposta(Prodotti::Scarichi, 0);
    m_tabella->imposta(Prodotti::Quantita, 0);
    m_tabella->imposta(Prodotti::Id, NuovoIdProdotto());
    m_campi->mostra();
    TableProdottiAfterScroll();
    m_ui->DBEditCodice->setFocus();
}

void TFrmAnagProdotti::TableProdottiBeforePost() {
    m_campi->scrivi();
    if (m_tabella->testo(Prodotti::Nome).trimmed().isEmpty()) {
        MostraErrore(QStringLiteral("Manca il codice del prodotto!"));
        m_ui->DBEditCodice->setFocus();
        throw InterrompiOperazione();
    }
    if (m_tabella->testo(Prodotti::Descrizione).trimmed().isEmpty()) {
        MostraErrore(QStringLiteral("Manca la descrizione del prodotto!"));
        m_ui->DBEditDescrizione->setFocus();
        throw InterrompiOperazione();
    }
    if (m_tabella->stato() == TTabella::Stato::Inserimento && EsisteProdotto(m_tabella->testo(Prodotti::Nome))) {
        MostraErrore(QStringLiteral("Codice di prodotto già esistente, modificarlo."));
        m_ui->DBEditCodice->setFocus();
        throw InterrompiOperazione();
    }
    if (m_tabella->nullo(Prodotti::Prezzo)) m_tabella->imposta(Prodotti::Prezzo, 0);
    if (m_tabella->nullo(Prodotti::Prezzo2)) m_tabella->imposta(Prodotti::Prezzo2, 0);
}

void TFrmAnagProdotti::TableProdottiAfterPost() { AggiornaLista(); }
void TFrmAnagProdotti::TableProdottiAfterDelete() { AggiornaLista(); }

void TFrmAnagProdotti::AggiornaLista() {
    const int riga = RigaCorrente(m_ui->DBGrid1);
    m_lista->riesegui();
    SelezionaRiga(m_ui->DBGrid1, riga < 0 ? 0 : riga);
}

void TFrmAnagProdotti::InModifica() {
    if (!m_tabella->inModifica()) m_tabella->modifica();
    else m_campi->scrivi();
}

void TFrmAnagProdotti::ApplicaSconti(int passi) {
    EseguiMostrandoErrori([&] {
        InModifica();
        const double prezzo = PrezzoScontato(
            m_tabella->reale(Prodotti::PrezzoListino), m_tabella->reale(Prodotti::Sconto1),
            m_tabella->reale(Prodotti::Sconto2), m_tabella->reale(Prodotti::Sconto3), passi);
        m_tabella->imposta(Prodotti::Prezzo, prezzo);
        m_campi->mostra();
    });
}

void TFrmAnagProdotti::DBEdit15Exit() { ApplicaSconti(1); }
void TFrmAnagProdotti::DBEdit14Exit() { ApplicaSconti(2); }
void TFrmAnagProdotti::DBEdit13Exit() { ApplicaSconti(3); }

void TFrmAnagProdotti::DBEdit12Exit() {
    EseguiMostrandoErrori([&] {
        if (m_tabella->inModifica()) m_campi->scrivi();
        CalcolaMargine();
    });
}

void TFrmAnagProdotti::CompletaDataBox(QLineEdit* box, const QString& campo) {
    // A date typed in part ("5/3") is completed when the box is left; a box
    // left empty stays empty.
    if (!m_campi->modificato(campo) || box->text().trimmed().isEmpty()) return;
    QString testo = box->text();
    if (CompletaData(testo)) box->setText(testo);
}

void TFrmAnagProdotti::CalcolaMargine() {
    m_ui->LabelMargine->setText(QStringLiteral("N.D."));
    if (!m_tabella->aperta()) return;
    m_ui->LabelMargine->setText(
        TestoMargine(m_tabella->reale(Prodotti::Prezzo), m_tabella->reale(Prodotti::Prezzo2)));
}

bool TFrmAnagProdotti::eventFilter(QObject* oggetto, QEvent* evento) {
    if (evento->type() == QEvent::FocusOut && !m_chiusura && isVisible() && m_tabella->aperta()) {
        // Leaving a box as the user does (tab, click elsewhere), not the window
        // losing activation to a message box.
        const Qt::FocusReason r = static_cast<QFocusEvent*>(evento)->reason();
        if (r != Qt::ActiveWindowFocusReason && r != Qt::PopupFocusReason) EseguiMostrandoErrori([&] {
            if (oggetto == m_ui->DBEdit15) DBEdit15Exit();
            else if (oggetto == m_ui->DBEdit14) DBEdit14Exit();
            else if (oggetto == m_ui->DBEdit13) DBEdit13Exit();
            else if (oggetto == m_ui->DBEdit12 || oggetto == m_ui->DBEdit8) DBEdit12Exit();
            else if (oggetto == m_ui->DBEdit4) CompletaDataBox(m_ui->DBEdit4, Prodotti::DataOggi);
            else if (oggetto == m_ui->DBEdit5) CompletaDataBox(m_ui->DBEdit5, Prodotti::DataDistinta);
        });
    }
    return QDialog::eventFilter(oggetto, evento);
}

void TFrmAnagProdotti::SpeedButton1Click() {
    m_ui->LabDettagli->setText(QStringLiteral("Dettagli:"));
    {
        TFrmListaProduttori lista(this);
        lista.exec();
    }
    const TSelezioneCorrente& s = SelezioneCorrente();
    if (s.IdProduttoreScelto == 0) return;
    EseguiMostrandoErrori([&] {
        InModifica();
        m_tabella->imposta(Prodotti::IdProduttore, s.IdProduttoreScelto == -1 ? 0 : s.IdProduttoreScelto);
        m_campi->mostra();
        m_ui->LabDettagli->setText(QStringLiteral("Dettagli: ") + s.NomeProduttoreScelto + QLatin1Char(' ') +
                                   s.CognomeProduttoreScelto);
    });
}

void TFrmAnagProdotti::SpeedButton2Click() {
    m_ui->LabDettagliCat->setText(QStringLiteral("Dettagli:"));
    {
        TFrmListaCategorie lista(this);
        lista.exec();
    }
    const TSelezioneCorrente& s = SelezioneCorrente();
    if (s.IdCategoriaScelta == 0) return;
    EseguiMostrandoErrori([&] {
        InModifica();
        if (s.IdCategoriaScelta > 0) {
            m_tabella->imposta(Prodotti::IdCategoria, s.IdCategoriaScelta);
            m_ui->LabDettagliCat->setText(QStringLiteral("Dettagli: ") + s.CategoriaScelta);
        } else {
            m_tabella->imposta(Prodotti::IdCategoria, 0);
            m_ui->LabDettagliCat->setText(QStringLiteral("Dettagli: "));
        }
        m_campi->mostra();
    });
}

void TFrmAnagProdotti::SpeedButton3Click() {
    const QString attuale = m_tabella->aperta() ? m_tabella->testo(Prodotti::Foto) : QString();
    const QString file = Interazione().scegliFile(
        QStringLiteral("Seleziona una foto"), attuale.isEmpty() ? QString() : QFileInfo(attuale).absolutePath(),
        QStringLiteral("Immagini (*.bmp *.jpg *.jpeg *.png *.gif *.ico *.wmf *.emf);;Tutti i file (*)"));
    if (!file.isEmpty()) OpenPictureDialog1CanClose(file);
}

void TFrmAnagProdotti::OpenPictureDialog1CanClose(const QString& file) {
    EseguiMostrandoErrori([&] {
        InModifica();
        m_tabella->imposta(Prodotti::Foto, QFileInfo(file).absoluteFilePath());
        m_campi->mostra();
        ColoreFoto();
    });
}

void TFrmAnagProdotti::SbFotoClick() {
    EseguiMostrandoErrori([&] {
        if (m_tabella->inModifica()) m_campi->scrivi();
        const QString foto = m_tabella->aperta() ? m_tabella->testo(Prodotti::Foto).trimmed() : QString();
        if (foto.isEmpty()) {
            MostraAttenzione(QStringLiteral("Nessuna foto selezionata per il prodotto"));
            return;
        }
        ApriDocumento(foto);
    });
}

void TFrmAnagProdotti::BTGraficoClick() {
    // The product as stored: a new one not yet written has no history.
    if (!m_tabella->aperta() || m_tabella->vuota() || m_tabella->stato() == TTabella::Stato::Inserimento) {
        MostraAttenzione(QStringLiteral("Nessun prodotto selezionato."));
        return;
    }
    MostraGraficoProdotto(this, m_tabella->intero(Prodotti::Id));
}

void TFrmAnagProdotti::sbEsciClick() {
    if (m_tabella->aperta() && m_tabella->inModifica()) {
        if (!ChiediConferma(DomandaUscita)) return;
        m_tabella->annulla();
    }
    m_chiusura = true;
    accept();
}
