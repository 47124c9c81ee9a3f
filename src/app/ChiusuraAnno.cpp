#include "app/ChiusuraAnno.h"

#include "app/PassiChiusuraAnno.h"
#include "data/CartellaProgramma.h"
#include "data/Orologio.h"
#include "data/engine/Archivio.h"
#include "gui/Finestre.h"
#include "gui/Gestori.h"
#include "gui/LavoroLungo.h"
#include "gui/Messaggi.h"
#include "gui/OperazioneInCorso.h"
#include "ui_ChiusuraAnno.h"

#include <QDir>
#include <QListWidgetItem>
#include <algorithm>
#include <optional>

using namespace ChiusuraAnno;

TfrmChiusuraAnno::TfrmChiusuraAnno(QWidget* genitore, std::function<bool()> apriInventario,
                                   std::function<bool(const QDate&)> apriStampaInventario)
    : QDialog(genitore),
      m_ui(std::make_unique<Ui::TfrmChiusuraAnno>()),
      m_apriInventario(std::move(apriInventario)),
      m_apriStampaInventario(std::move(apriStampaInventario)) {
    m_ui->setupUi(this);
    connect(m_ui->BTEsegui, &QPushButton::clicked, this, Gestore(this, &TfrmChiusuraAnno::BTEseguiClick));
    connect(m_ui->BTSalta, &QPushButton::clicked, this, Gestore(this, &TfrmChiusuraAnno::BTSaltaClick));
    connect(m_ui->sbEsci, &QPushButton::clicked, this, Gestore(this, &TfrmChiusuraAnno::sbEsciClick));
    // Room for a step's two-line answer from the start: the window keeps the
    // size it opened with, and a longer label would run over the list.
    m_ui->LabelEsito->setMinimumHeight(2 * m_ui->LabelEsito->fontMetrics().lineSpacing());
    FormCreate();
    connect(m_ui->EditAnno, &QSpinBox::valueChanged, this, Gestore(this, &TfrmChiusuraAnno::EditAnnoChange));
    CentraSulloSchermo(this);
}

TfrmChiusuraAnno::~TfrmChiusuraAnno() = default;

void TfrmChiusuraAnno::FormCreate() {
    TArchivio& a = TArchivio::corrente();
    // A year end left halfway is taken up again; otherwise the year proposed
    // is the one that ended, in the first half of a year, or the current one.
    int anno = TChiusura::AnnoInSospeso(a);
    if (anno == 0) anno = Oggi().month() <= 6 ? Oggi().year() - 1 : Oggi().year();
    m_ui->EditAnno->setValue(anno);
    nuovaChiusura(anno);
    mostraPassi();
}

void TfrmChiusuraAnno::EditAnnoChange(int anno) {
    nuovaChiusura(anno);
    m_ui->LabelEsito->clear();
    mostraPassi();
}

void TfrmChiusuraAnno::nuovaChiusura(int anno) {
    TArchivio& a = TArchivio::corrente();
    m_chiusura = std::make_unique<TChiusura>(a, CartellaProgramma(), anno);
    // The long part of each step runs beside the window, on connections of
    // its own, with its progress box; the window holds its operation guard
    // meanwhile (BTEseguiClick).
    const QString cartella = a.cartella();
    m_chiusura->impostaEsecutore([this, cartella](const TLavoroPasso& passo) {
        TLavoroLungo lavoro(this, passo.titolo, passo.unita);
        lavoro.esegui([&](TContestoLavoro& c) {
            std::optional<TArchivioDelThread> proprio;
            if (passo.conArchivio) proprio.emplace(cartella);
            passo.lavoro(c);
        });
    });
}

void TfrmChiusuraAnno::mostraPassi() {
    const int anno = m_chiusura->anno();
    const int prossimo = m_chiusura->prossimo();
    m_ui->ListaPassi->clear();
    for (int p = 0; p < NumeroPassi; ++p) {
        const TStatoPasso s = m_chiusura->stato(p);
        QString riga = QStringLiteral("%1. %2").arg(p + 1).arg(NomePasso(p, anno));
        if (s.concluso())
            riga += QStringLiteral(": ") + s.testo + QStringLiteral(" (") + s.quando.toString(QStringLiteral("dd/MM/yyyy hh:mm")) +
                    QLatin1Char(')');
        else if (p == prossimo)
            riga += QStringLiteral(": da eseguire");
        auto* voce = new QListWidgetItem(riga, m_ui->ListaPassi);
        if (p == prossimo) {
            QFont f = voce->font();
            f.setBold(true);
            voce->setFont(f);
        }
    }
    // The year can change only before the first step.
    m_ui->EditAnno->setEnabled(!m_chiusura->iniziata());
    const bool concluso = prossimo == NumeroPassi;
    m_ui->BTEsegui->setEnabled(!concluso);
    m_ui->BTEsegui->setText(concluso ? QStringLiteral("Esegui") : QStringLiteral("Esegui: ") + NomePasso(prossimo, anno));
    m_ui->BTSalta->setEnabled(prossimo == Inventario);
    // A window opened on a finished year end says so; after the last step the
    // label keeps what that step did.
    if (concluso && m_ui->LabelEsito->text().isEmpty())
        m_ui->LabelEsito->setText(QStringLiteral("La chiusura dell'anno %1 è completa.").arg(anno));
}

QString TfrmChiusuraAnno::eseguiPasso(int passo) {
    const int anno = m_chiusura->anno();
    switch (passo) {
    case Salvataggio: return m_chiusura->eseguiSalvataggio();
    case Inventario:
        // Done only when a count was posted; otherwise it stays to do, or "Salta".
        if (!m_apriInventario || !m_apriInventario()) {
            m_ui->LabelEsito->setText(QStringLiteral("Nessun inventario registrato: il passo resta da eseguire. Premere "
                                                     "\"Salta\" per proseguire senza inventario fisico."));
            return {};
        }
        return m_chiusura->segnaInventario(true);
    case StampaInventario:
        // The inventory at the year's last day, or today when that is later;
        // done only when its preview was shown, not when its window was left.
        if (m_apriStampaInventario && !m_apriStampaInventario(std::min(Oggi(), m_chiusura->ultimoGiorno()))) {
            m_ui->LabelEsito->setText(QStringLiteral("Inventario valorizzato non stampato: il passo resta da eseguire. "
                                                     "Premere \"Anteprima\" nella finestra di stampa."));
            return {};
        }
        return m_chiusura->segnaStampaInventario();
    case Archivio:
        if (!ChiediConferma(QStringLiteral("Gli archivi verranno copiati così come sono nella cartella dell'anno %1 (%2). "
                                           "Continuare?")
                                .arg(anno)
                                .arg(QDir::toNativeSeparators(QDir::cleanPath(CartellaAnno(CartellaProgramma(), anno))))))
            return {};
        return m_chiusura->eseguiArchivio();
    case Azzeramento:
        if (!ChiediConferma(QStringLiteral("Questa operazione eseguirà l'azzeramento di tutti gli scarichi e l'aggiornamento "
                                           "dei saldi, continuare?")))
            return {};
        return m_chiusura->eseguiAzzeramento();
    case CancellazioneStorico:
        if (!ChiediConferma(QStringLiteral("Verranno cancellati tutti i movimenti dello storico fino al %1, continuare?")
                                .arg(m_chiusura->ultimoGiorno().toString(QStringLiteral("dd/MM/yyyy")))))
            return {};
        return m_chiusura->eseguiCancellazione();
    default: return {};
    }
}

void TfrmChiusuraAnno::BTEseguiClick() {
    if (m_inCorso) return;
    const int passo = m_chiusura->prossimo();
    if (passo >= NumeroPassi) return;
    QString testo;
    {
        const TOperazioneInCorso operazione(this, m_inCorso, {m_ui->BTEsegui, m_ui->BTSalta, m_ui->sbEsci, m_ui->EditAnno},
                                            [this] { mostraPassi(); });
        TCursoreOccupato cursore;
        try {
            testo = eseguiPasso(passo);
        } catch (const ErroreLavoroFermato&) {
            const QString detto = QStringLiteral("Passo \"%1\" interrotto: gli archivi sono rimasti come prima del passo.")
                                      .arg(NomePasso(passo, m_chiusura->anno()));
            m_ui->LabelEsito->setText(detto);
            MostraMessaggio(detto);
            return;
        }
    }
    if (testo.isEmpty()) return;
    m_ui->LabelEsito->setText(testo);
    mostraPassi();
    if (m_chiusura->conclusa())
        MostraMessaggio(QStringLiteral("Chiusura dell'anno %1 completata.\nL'anno archiviato si apre dal menu Magazzino, "
                                       "\"Apri anno archiviato\".")
                            .arg(m_chiusura->anno()));
}

void TfrmChiusuraAnno::BTSaltaClick() {
    if (m_inCorso || m_chiusura->prossimo() != Inventario) return;
    m_ui->LabelEsito->setText(m_chiusura->segnaInventario(false));
    mostraPassi();
}

void TfrmChiusuraAnno::sbEsciClick() { close(); }
