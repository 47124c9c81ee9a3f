#include "online/ControllaVersione.h"

#include "gui/Finestre.h"
#include "gui/Gestori.h"
#include "gui/Messaggi.h"
#include "gui/ServiziDesktop.h"
#include "gui/TraduzioneControlli.h"
#include "ui_ControllaVersione.h"

#include <QEventLoop>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

namespace {

const QColor Verde(0, 128, 0);
const QColor Rosso(255, 0, 0);

int PortaEffettiva(const QUrl& u) {
    const QString schema = u.scheme().toLower();
    return u.port(schema == QLatin1String("https") ? 443 : schema == QLatin1String("http") ? 80 : -1);
}

// The same site: same scheme, host and port (the default one of the scheme
// when none is written).
bool StessoSito(const QUrl& a, const QUrl& b) {
    return a.scheme().compare(b.scheme(), Qt::CaseInsensitive) == 0 &&
           a.host().compare(b.host(), Qt::CaseInsensitive) == 0 && !a.host().isEmpty() &&
           PortaEffettiva(a) == PortaEffettiva(b);
}

}  // namespace

TFrmControllaVersione::TFrmControllaVersione(QWidget* genitore, const QString& sito)
    : QDialog(genitore), m_ui(std::make_unique<Ui::TFrmControllaVersione>()) {
    m_ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                   Qt::WindowMaximizeButtonHint);
    connect(m_ui->sbControlla, &QPushButton::clicked, this, Gestore(this, &TFrmControllaVersione::sbControllaClick));
    connect(m_ui->sbScarica, &QPushButton::clicked, this, Gestore(this, &TFrmControllaVersione::sbScaricaClick));
    connect(m_ui->sbEsci, &QPushButton::clicked, this, Gestore(this, &TFrmControllaVersione::sbEsciClick));
    m_indirizzoControllo = sito + Costanti::PaginaControlloVersione + Costanti::TitoloApplicazione;
    m_ui->Editurl->setText(sito + Costanti::ProgrammaScaricabile);
    FormCreate();
    adjustSize();
    CentraSulloSchermo(this);
}

TFrmControllaVersione::~TFrmControllaVersione() {
    if (m_risposta) {
        m_risposta->disconnect(this);
        m_risposta->abort();
    }
}

void TFrmControllaVersione::FormCreate() {
    TraduciControlli({this, m_ui->Label1, m_ui->Label2, m_ui->sbScarica, m_ui->sbControlla});
    m_criterio = CriterioPerProgramma(Costanti::TitoloApplicazione);
    m_ui->sbScarica->setToolTip(m_ui->Editurl->text());
}

bool TFrmControllaVersione::event(QEvent* evento) {
    // The question is asked once per opening: a message box that closes
    // activates the window again.
    if (evento->type() == QEvent::WindowActivate && !m_attivata) {
        m_attivata = true;
        QTimer::singleShot(0, this, Gestore(this, &TFrmControllaVersione::FormActivate));
    }
    return QDialog::event(evento);
}

void TFrmControllaVersione::FormActivate() {
    m_ui->LabVerInternet->clear();
    m_ui->LabVerAttuale->clear();
    m_ui->LabMessaggioPiccolo->clear();
    ColoraTesto(m_ui->LabMessaggioGrande, Qt::black);
    m_ui->LabVerAttuale->setText(QString::number(NumeroVersione(Costanti::Versione)));
    if (ChiediConferma(QStringLiteral("Per eseguire il controllo di evetuali nuove versioni bisogna essere connessi "
                                      "ad internet, continuo?")))
        sbControllaClick();
    else
        m_ui->LabMessaggioGrande->clear();
}

void TFrmControllaVersione::sbControllaClick() {
    if (m_risposta) return;
    m_ui->sbControlla->setEnabled(false);
    m_troppoGrande = false;

    // Redirects are followed here, one request each: only within the maker's
    // site and at most MassimoRinvii in a row; any other ends the check as a
    // page that could not be loaded, so a number found elsewhere is never read.
    const QUrl sito(m_indirizzoControllo);
    QUrl indirizzo = sito;
    bool caricata = false;
    for (int rinvii = 0;; ++rinvii) {
        QNetworkRequest richiesta{indirizzo};
        richiesta.setTransferTimeout(m_limiteAttesa);
        richiesta.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
        QNetworkReply* risposta = m_rete.get(richiesta);
        m_risposta = risposta;
        // A reply that announces or delivers more than the limit is dropped.
        connect(risposta, &QNetworkReply::downloadProgress, this, [this, risposta](qint64 ricevuti, qint64 totale) {
            if (ricevuti > DimensioneMassima || totale > DimensioneMassima) {
                m_troppoGrande = true;
                risposta->abort();
            }
        });
        // The wait lets the window repaint and the user close it.
        QEventLoop attesa;
        connect(risposta, &QNetworkReply::finished, &attesa, &QEventLoop::quit);
        attesa.exec();

        const int stato = risposta->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        const QVariant dove = risposta->attribute(QNetworkRequest::RedirectionTargetAttribute);
        const bool rinvio = !m_chiusa && !m_troppoGrande && stato >= 300 && stato <= 399 && dove.isValid();
        const QUrl prossimo = rinvio ? risposta->url().resolved(dove.toUrl()) : QUrl();
        if (!rinvio) caricata = RispostaCompletata(risposta);
        m_risposta = nullptr;
        risposta->deleteLater();
        if (!rinvio || rinvii >= MassimoRinvii || !StessoSito(sito, prossimo)) break;
        indirizzo = prossimo;
    }
    if (m_chiusa) return;
    MostraRisultato(caricata);
    m_ui->sbControlla->setEnabled(true);
}

bool TFrmControllaVersione::RispostaCompletata(QNetworkReply* risposta) {
    if (m_troppoGrande || risposta->error() != QNetworkReply::NoError) return false;
    const int stato = risposta->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (stato < 200 || stato > 299) return false;
    const QByteArray pagina = risposta->readAll();
    if (pagina.size() > DimensioneMassima) return false;
    m_pagine << CorpoPagina(pagina, risposta->rawHeader("Content-Type"));
    return true;
}

void TFrmControllaVersione::MostraRisultato(bool caricata) {
    int disponibile = 0;
    if (caricata) {
        QStringList valori;
        EstraiURLConCriterio(m_pagine, valori, m_criterio);
        m_ui->ListURL->addItems(valori);
        QStringList elenco;
        for (int i = 0; i < m_ui->ListURL->count(); ++i) elenco << m_ui->ListURL->item(i)->text();
        disponibile = NumeroDisponibile(elenco);
        if (disponibile < -1)
            disponibile = 0;  // counted as 0 and not shown
        else
            m_ui->LabVerInternet->setText(QString::number(disponibile));
    } else {
        m_ui->LabVerInternet->setText(QStringLiteral("Non disponibile"));
    }
    if (caricata && NumeroVersione(Costanti::Versione) < disponibile) {
        m_ui->LabMessaggioGrande->setText(QStringLiteral("Disponibile una nuove versione!!"));
        ColoraTesto(m_ui->LabMessaggioGrande, Verde);
        m_ui->LabMessaggioPiccolo->setText(QStringLiteral("Premi su scarica e chiudi il programma."));
        m_ui->sbScarica->setEnabled(true);
    } else {
        m_ui->LabMessaggioGrande->setText(QStringLiteral("Nessuna nuova versione disponibile."));
        ColoraTesto(m_ui->LabMessaggioGrande, Rosso);
        m_ui->LabMessaggioPiccolo->setText(caricata ? QStringLiteral("Impossibile scaricare la nuova versione.")
                                                    : QStringLiteral("Impossibile scaricare la nuova versione"));
    }
}

void TFrmControllaVersione::sbScaricaClick() {
    m_ui->sbScarica->setEnabled(false);
    // The user's browser downloads the file with its own dialogs.
    ApriDocumento(m_ui->Editurl->text());
}

void TFrmControllaVersione::sbEsciClick() { close(); }

void TFrmControllaVersione::done(int risultato) {
    // Closing during the wait drops the request.
    if (m_risposta) {
        m_chiusa = true;
        m_risposta->abort();
    }
    QDialog::done(risultato);
}
