#include "tools/Impostazioni.h"

#include "data/engine/Archivio.h"
#include "data/engine/Definizioni.h"
#include "gui/Finestre.h"
#include "gui/Gestori.h"
#include "gui/Messaggi.h"
#include "gui/TastoEsc.h"
#include "ui_Impostazioni.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QSpinBox>

TFrmImpostazioni::TFrmImpostazioni(QWidget* genitore)
    : QDialog(genitore),
      m_ui(std::make_unique<Ui::TFrmImpostazioni>()),
      // The window names the file with a capital letter; the store finds it either way.
      m_tabella(TArchivio::corrente(), QStringLiteral("Impostazioni.db")) {
    m_ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    m_caselle = {{m_ui->dbordinaProdSequenza, Impostazioni::OrdProdottiStandard},
                 {m_ui->DBCheckBox1, Impostazioni::CancAutomatica},
                 {m_ui->DBCheckBox3, Impostazioni::DataIngressoAutomatica},
                 {m_ui->DBCheckBox4, Impostazioni::SovrascriviPrezListino},
                 {m_ui->DBCheckBox2, Impostazioni::ProponiInsStorico}};
    m_liste = {{m_ui->DBComboBox1, Impostazioni::CarStampaStorico},
               {m_ui->DBComboBox2, Impostazioni::CarStampaProduttori},
               {m_ui->DBComboBox3, Impostazioni::CarStampaProdotti},
               {m_ui->DBComboBox4, Impostazioni::CarStampaListino},
               {m_ui->DBComboBox5, Impostazioni::CarStampaGiacenze},
               {m_ui->DBComboBox6, Impostazioni::CarStampaInventario},
               {m_ui->DBComboBox7, Impostazioni::CarStampaQtaAlert}};
    // Only the sizes of the list can be picked: the lists are not editable.
    for (const auto& [lista, campo] : m_liste) {
        lista->clear();
        lista->addItems(DimensioniCarattere());
        lista->setEditable(false);
        connect(lista, &QComboBox::activated, this, Gestore([this, l = lista, c = campo] { ListaCambiata(l, c); }));
    }
    for (const auto& [casella, campo] : m_caselle)
        connect(casella, &QCheckBox::clicked, this, Gestore([this, b = casella, c = campo] { CasellaCambiata(b, c); }));
    connect(m_ui->spGiorniPreavviso, &QSpinBox::valueChanged, this, Gestore([this](int giorni) {
                if (m_mostrando) return;
                m_tabella.modifica();
                m_tabella.imposta(Impostazioni::GiorniPreavvisoScadenza, giorni);
            }));
    connect(m_ui->sbOK, &QPushButton::clicked, this, Gestore(this, &TFrmImpostazioni::sbOKClick));
    connect(m_ui->sbAnnulla, &QPushButton::clicked, this, Gestore(this, &TFrmImpostazioni::sbAnnullaClick));
    connect(m_ui->sbEsci, &QPushButton::clicked, this, Gestore(this, &TFrmImpostazioni::sbEsciClick));
    EscComeEsci(this, [this] { sbEsciClick(); });
    m_tabella.dopoScorrimento = [this] { MostraRecord(); };
    FormCreate();
    adjustSize();
    CentraSulloSchermo(this);
}

TFrmImpostazioni::~TFrmImpostazioni() { FormDestroy(); }

const QStringList& TFrmImpostazioni::DimensioniCarattere() {
    static const QStringList d = {QStringLiteral("8"),  QStringLiteral("9"),  QStringLiteral("10"), QStringLiteral("11"),
                                  QStringLiteral("12"), QStringLiteral("14"), QStringLiteral("16")};
    return d;
}

void TFrmImpostazioni::FormCreate() {
    m_tabella.apri();
    if (m_tabella.conteggio() > 1) {
        MostraAttenzione(QStringLiteral(
            "Sono state rilevate incoerenze nel file di configurazione, la situazione verrà corretta "
            "automaticamente, se si riscontrano ancora problemi contattare Vavori Rarovazazo."));
        // The last record survives.
        while (m_tabella.conteggio() > 1) {
            m_tabella.primo();
            m_tabella.elimina();
        }
        m_tabella.primo();
    }
    MostraRecord();
    m_ui->PageControl1->setCurrentWidget(m_ui->Generale);
}

void TFrmImpostazioni::FormDestroy() {
    try {
        m_tabella.chiudi();
    } catch (...) {
    }
}

void TFrmImpostazioni::MostraRecord() {
    m_mostrando = true;
    const bool vuota = !m_tabella.aperta() || (m_tabella.vuota() && !m_tabella.inModifica());
    for (const auto& [casella, campo] : m_caselle)
        casella->setChecked(!vuota && m_tabella.booleano(campo));
    for (const auto& [lista, campo] : m_liste) {
        // A size the list does not offer (13, 15, empty) shows no selection
        // and stays stored until another size is picked.
        const QString valore = vuota || m_tabella.nullo(campo) ? QString() : QString::number(m_tabella.intero(campo));
        lista->setCurrentIndex(DimensioniCarattere().indexOf(valore));
    }
    // An empty field (a book from before the setting) reads as 0: no warning.
    m_ui->spGiorniPreavviso->setValue(vuota || m_tabella.nullo(Impostazioni::GiorniPreavvisoScadenza)
                                          ? 0
                                          : m_tabella.intero(Impostazioni::GiorniPreavvisoScadenza));
    m_mostrando = false;
}

void TFrmImpostazioni::CasellaCambiata(QCheckBox* casella, const QString& campo) {
    if (m_mostrando) return;
    m_tabella.modifica();
    m_tabella.imposta(campo, casella->isChecked());
}

void TFrmImpostazioni::ListaCambiata(QComboBox* lista, const QString& campo) {
    if (m_mostrando || lista->currentIndex() < 0) return;
    m_tabella.modifica();
    m_tabella.imposta(campo, lista->currentText().toInt());
}

void TFrmImpostazioni::sbOKClick() {
    if (m_tabella.inModifica()) m_tabella.registra();
    accept();
}

void TFrmImpostazioni::sbAnnullaClick() {
    if (!m_tabella.inModifica()) return;
    m_tabella.annulla();
    MostraRecord();
}

void TFrmImpostazioni::sbEsciClick() {
    if (m_tabella.inModifica()) {
        if (!ChiediConferma(QStringLiteral("E' in corso un'operazione di modifica dati, uscendo tali modifiche andranno "
                                           "perse, sei sicuro di voler uscire?")))
            return;
        m_tabella.annulla();
    }
    reject();
}

void TFrmImpostazioni::closeEvent(QCloseEvent* evento) {
    // The title-bar close discards a pending edit without asking.
    EseguiMostrandoErrori([this] {
        if (m_tabella.aperta() && m_tabella.inModifica()) m_tabella.annulla();
    });
    QDialog::closeEvent(evento);
}
