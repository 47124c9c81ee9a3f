#include "gui/DettagliProdotto.h"

#include "data/engine/Definizioni.h"
#include "data/engine/Tabella.h"
#include "ui_DettagliProdotto.h"

const QStringList& TDettagliProdotto::Campi() {
    static const QStringList campi = {Prodotti::Nome,         Prodotti::Quantita,    Prodotti::Carichi,
                                      Prodotti::Scarichi,     Prodotti::Descrizione, Prodotti::PrezzoListino,
                                      Prodotti::Sconto1,      Prodotti::Sconto2,     Prodotti::Sconto3,
                                      Prodotti::Prezzo,       Prodotti::Prezzo2,     Prodotti::NumDistinta,
                                      Prodotti::DataDistinta, Prodotti::DataOggi,    Prodotti::GiacenzaMax,
                                      Prodotti::IdProduttore};
    return campi;
}

TDettagliProdotto::TDettagliProdotto(QWidget* genitore)
    : QWidget(genitore), m_ui(std::make_unique<Ui::TDettagliProdotto>()) {
    m_ui->setupUi(this);
    m_box = {m_ui->DBEditNome,         m_ui->DBEditQuantita,    m_ui->DBEditCarichi,
             m_ui->DBEditScarichi,     m_ui->DBEditDescrizione, m_ui->DBEditPrezzoListino,
             m_ui->DBEditSconto1,      m_ui->DBEditSconto2,     m_ui->DBEditSconto3,
             m_ui->DBEditPrezzo,       m_ui->DBEditPrezzo2,     m_ui->DBEditNumDistinta,
             m_ui->DBEditDataDistinta, m_ui->DBEditDataOggi,    m_ui->DBEditGiacenzaMax,
             m_ui->DBEditIdProduttore};
}

TDettagliProdotto::~TDettagliProdotto() = default;

void TDettagliProdotto::mostra(const TRecord& prodotto) {
    mostra([&](const QString& campo) { return prodotto.comeTesto(campo); });
}

void TDettagliProdotto::mostra(const std::function<QString(const QString&)>& testo) {
    for (int i = 0; i < m_box.size(); ++i) {
        m_box[i]->setText(testo ? testo(Campi()[i]) : QString());
        // A long text shows its beginning.
        m_box[i]->setCursorPosition(0);
    }
}

void TDettagliProdotto::svuota() { mostra(std::function<QString(const QString&)>()); }

QLineEdit* TDettagliProdotto::box(const QString& campo) const {
    for (int i = 0; i < m_box.size(); ++i)
        if (Campi()[i].compare(campo, Qt::CaseInsensitive) == 0) return m_box[i];
    return nullptr;
}
