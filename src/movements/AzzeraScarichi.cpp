#include "movements/AzzeraScarichi.h"

#include "data/engine/Archivio.h"
#include "data/engine/Definizioni.h"
#include "gui/Gestori.h"
#include "gui/LavoroLungo.h"
#include "gui/Messaggi.h"
#include "gui/OperazioneInCorso.h"
#include "movements/Azzeramenti.h"
#include "movements/Movimenti.h"
#include "ui_AzzeraScarichi.h"

TfrmAzzeraScarichi::TfrmAzzeraScarichi(QWidget* genitore)
    : QDialog(genitore), m_ui(std::make_unique<Ui::TfrmAzzeraScarichi>()) {
    m_ui->setupUi(this);
    connect(m_ui->BitBtn1, &QPushButton::clicked, this, Gestore(this, &TfrmAzzeraScarichi::BitBtn1Click));
    connect(m_ui->BitBtn2, &QPushButton::clicked, this, Gestore(this, &TfrmAzzeraScarichi::BitBtn2Click));
}

TfrmAzzeraScarichi::~TfrmAzzeraScarichi() = default;

void TfrmAzzeraScarichi::BitBtn1Click() {
    if (m_inCorso) return;
    if (!ChiediConferma(QStringLiteral(
            "Questa operazione eseguirà l'azzeramento di tutti gli scarichi e l'aggiornamento dei saldi, continuare?")))
        return;
    const TOperazioneInCorso operazione(this, m_inCorso, {m_ui->BitBtn1, m_ui->BitBtn2},
                                        [this] { m_ui->PrgBar->setValue(0); });
    m_ui->PrgBar->setValue(0);
    // The reset runs beside the window on a connection of its own, in one
    // transaction: "Stop" rolls it back whole, as a failure does.
    // The bar counts the products from the start.
    TArchivio& a = TArchivio::corrente();
    const QString cartella = a.cartella();
    TLavoroLungo lavoro(this, QStringLiteral("Azzeramento degli scarichi in corso"));
    lavoro.totaleNoto(a.valoreSingolo(QStringLiteral("SELECT count(*) FROM ") + a.nomeQualificato(Definizioni::Prodotti)).toLongLong());
    lavoro.aggiungiBarra(m_ui->PrgBar);
    try {
        lavoro.esegui([&](TContestoLavoro& c) {
            const TArchivioDelThread proprio(cartella);
            AzzeraScarichiProdotti([&c](int fatti, int totale) {
                c.avanzamento(fatti, totale);
                c.controlla();
            });
        });
    } catch (const ErroreLimiteContatori& e) {
        MostraAttenzione(e.testo());
        return;
    } catch (const ErroreLavoroFermato&) {
        MostraMessaggio(QStringLiteral("Azzeramento interrotto: nessun prodotto è stato modificato."));
        return;
    }
    MostraMessaggio(QStringLiteral("Operazione completata"));
}

void TfrmAzzeraScarichi::BitBtn2Click() { close(); }
