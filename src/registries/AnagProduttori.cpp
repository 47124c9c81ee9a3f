#include "registries/AnagProduttori.h"
#include "data/engine/Definizioni.h"

#include "gui/Gestori.h"
#include "data/engine/Tabella.h"
#include "gui/Griglia.h"
#include "gui/Messaggi.h"
#include "gui/ModelloElenco.h"
#include "gui/Navigatore.h"
#include "gui/TastoEsc.h"
#include "registries/DatiRegistri.h"
#include "ui_AnagProduttori.h"

TFrmAnagProduttori::TFrmAnagProduttori(QWidget* genitore)
    : QDialog(genitore),
      m_ui(std::make_unique<Ui::TFrmAnagProduttori>()),
      m_tabella(std::make_unique<TTabella>(TArchivio::corrente(), Definizioni::Produttori)),
      m_campi(std::make_unique<TCampiCollegati>(m_tabella.get())),
      m_lista(new TModelloElenco(this)) {
    m_ui->setupUi(this);
    m_lista->impostaColonne({{Produttori::Id, QStringLiteral("Id")},
                             {Produttori::Nome, QStringLiteral("Nome produttore")},
                             {Produttori::Cognome, QStringLiteral("Cognome produttore")}});
    PreparaGriglia(m_ui->DBGrid1, m_lista);
    m_ui->DBGrid1->setColumnWidth(1, 250);
    MinuscoloDuranteDigitazione(m_ui->EdRicNomeCognome);

    const struct {
        QLineEdit* box;
        const QString& campo;
    } legami[] = {{m_ui->DBEditcodice, Produttori::Id},   {m_ui->DBEditNome, Produttori::Nome}, {m_ui->DBEditCognome, Produttori::Cognome},
                  {m_ui->DBEdit3, Produttori::Descrizione}, {m_ui->DBEdit4, Produttori::Via},    {m_ui->DBEdit5, Produttori::Cap},
                  {m_ui->DBEdit6, Produttori::Citta},       {m_ui->DBEdit7, Produttori::Provincia}, {m_ui->DBEdit8, Produttori::Telefono},
                  {m_ui->DBEdit9, Produttori::Piva},        {m_ui->DBEditEmail, Produttori::Email}};
    for (const auto& l : legami) {
        // The postal code is a whole number: its keys are filtered.
        if (l.box == m_ui->DBEdit5) m_campi->collegaNumerico(l.box, l.campo);
        else m_campi->collega(l.box, l.campo);
    }

    m_ui->DBNavigator1->collega(m_tabella.get(), m_campi.get());
    m_ui->DBNavigator1->impostaDidascalie({QStringLiteral("Precedente"), QStringLiteral("Successivo"),
                                           QStringLiteral("Inserisci"), QStringLiteral("Elimina"),
                                           QStringLiteral("Conferma"), QStringLiteral("Annulla")});
    m_tabella->dopoScorrimento = [this] {
        m_campi->mostra();
        m_ui->DBNavigator1->aggiorna();
    };
    m_tabella->dopoInserimento = [this] { TableCaricoAfterInsert(); };
    m_tabella->primaDiRegistrare = [this] { TableCaricoBeforePost(); };
    m_tabella->dopoRegistrazione = [this] { TableCaricoAfterPost(); };
    m_tabella->dopoEliminazione = [this] { TableCaricoAfterDelete(); };
    m_tabella->cambioStato = [this] {
        if (!m_tabella->inModifica()) m_campi->mostra();
        m_ui->DBNavigator1->aggiorna();
    };

    connect(m_ui->EdRicNomeCognome, &QLineEdit::textEdited, this,
            Gestore(this, &TFrmAnagProduttori::EdRicNomeCognomeKeyUp));
    connect(m_ui->DBGrid1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            Gestore(this, &TFrmAnagProduttori::QueryListaProduttoriAfterScroll));
    connect(m_ui->sbEsci, &QPushButton::clicked, this, Gestore(this, &TFrmAnagProduttori::sbEsciClick));
    EscComeEsci(this, [this] { sbEsciClick(); });
}

TFrmAnagProduttori::~TFrmAnagProduttori() {
    m_tabella->dopoScorrimento = nullptr;
    m_tabella->cambioStato = nullptr;
    m_tabella->chiudi();
}

void TFrmAnagProduttori::showEvent(QShowEvent* evento) {
    QDialog::showEvent(evento);
    if (m_mostrata) return;
    m_mostrata = true;
    EseguiMostrandoErrori([this] { FormShow(); });
}

void TFrmAnagProduttori::FormShow() {
    m_tabella->apri();
    m_lista->esegui(Definizioni::Produttori, {}, {}, Produttori::Id);
    m_ui->LabNumProduttori->setText(QStringLiteral("Produttori trovati: ") + QString::number(m_lista->conteggio()));
    SelezionaRiga(m_ui->DBGrid1, 0);
    m_ui->EdRicNomeCognome->setFocus();
}

void TFrmAnagProduttori::QueryListaProduttoriAfterScroll() {
    const int r = RigaCorrente(m_ui->DBGrid1);
    if (r < 0 || !m_tabella->aperta()) return;
    const QVariant id = m_lista->valore(r, Produttori::Id);
    if (id.isNull()) return;
    EseguiMostrandoErrori([&] { m_tabella->trova(Produttori::Id, id); });
}

void TFrmAnagProduttori::EdRicNomeCognomeKeyUp() {
    if (!m_tabella->aperta() || m_tabella->inModifica()) return;
    const QString campo = m_ui->rbCognome->isChecked() ? Produttori::Cognome : Produttori::Nome;
    m_lista->cerca(Definizioni::Produttori, RicercaInizia(campo, m_ui->EdRicNomeCognome->text()), Produttori::Id);
    SelezionaRiga(m_ui->DBGrid1, 0);
    m_ui->LabNumProduttori->setText(QStringLiteral("Produttori trovati: ") + QString::number(m_lista->conteggio()));
}

void TFrmAnagProduttori::TableCaricoAfterInsert() {
    m_tabella->imposta(Produttori::Id, NuovoIdProduttore());
    m_campi->mostra();
    m_ui->DBNavigator1->aggiorna();
    m_ui->DBEditNome->setFocus();
}

void TFrmAnagProduttori::TableCaricoBeforePost() {
    m_campi->scrivi();
    if (m_tabella->testo(Produttori::Nome).trimmed().isEmpty()) {
        MostraErrore(QStringLiteral("Manca il nome del produttore!"));
        m_ui->DBEditNome->setFocus();
        throw InterrompiOperazione();
    }
    if (m_tabella->testo(Produttori::Cognome).trimmed().isEmpty()) {
        MostraErrore(QStringLiteral("Manca il cognome del produttore!"));
        m_ui->DBEditCognome->setFocus();
        throw InterrompiOperazione();
    }
    if (m_tabella->stato() == TTabella::Stato::Inserimento && EsisteIdProduttore(m_tabella->valore(Produttori::Id))) {
        MostraErrore(QStringLiteral("Codice di prodotto già esistente, modificarlo."));
        m_ui->DBEditcodice->setFocus();
        throw InterrompiOperazione();
    }
}

void TFrmAnagProduttori::TableCaricoAfterPost() { AggiornaLista(); }
void TFrmAnagProduttori::TableCaricoAfterDelete() { AggiornaLista(); }

void TFrmAnagProduttori::AggiornaLista() {
    const int riga = RigaCorrente(m_ui->DBGrid1);
    m_lista->riesegui();
    SelezionaRiga(m_ui->DBGrid1, riga < 0 ? 0 : riga);
}

void TFrmAnagProduttori::sbEsciClick() {
    if (m_tabella->aperta() && m_tabella->inModifica()) {
        if (!ChiediConferma(QStringLiteral("E' in corso un operazione di immissione o modifica dati, uscendo si "
                                           "annullerà tale operazione, si è sicuri di voler uscire?")))
            return;
        m_tabella->annulla();
    }
    accept();
}
