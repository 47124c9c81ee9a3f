#include "movements/SetCancStorico.h"

#include "data/Convenzioni.h"
#include "data/Orologio.h"
#include "data/engine/Archivio.h"
#include "gui/Gestori.h"
#include "gui/LavoroLungo.h"
#include "gui/Inserimento.h"
#include "gui/Messaggi.h"
#include "movements/Azzeramenti.h"
#include "ui_SetCancStorico.h"

#include <QKeyEvent>
#include <QTimer>

TfrmSetCancStorico::TfrmSetCancStorico(QWidget* genitore)
    : QDialog(genitore), m_ui(std::make_unique<Ui::TfrmSetCancStorico>()) {
    m_ui->setupUi(this);
    m_ui->EDdaData->installEventFilter(this);
    m_ui->EDaData->installEventFilter(this);
    connect(m_ui->ButCanc, &QPushButton::clicked, this, Gestore([this] {
        ButCancClick();
        // The cancel button ends the window whatever the answer and outcome.
        m_chiusura = true;
        done(QDialog::Rejected);
    }));
    connect(m_ui->BTSesci, &QToolButton::clicked, this, Gestore(this, &TfrmSetCancStorico::BTSesciClick));
    FormCreate();
}

TfrmSetCancStorico::~TfrmSetCancStorico() = default;

void TfrmSetCancStorico::FormCreate() {
    const QString oggi = Oggi().toString(FormatoData);
    m_ui->EDdaData->setText(oggi);
    m_ui->EDaData->setText(oggi);
    const TIntervalloStorico intervallo = IntervalloStorico();
    if (intervallo.ultimo.isValid()) m_ui->EDaData->setText(intervallo.ultimo.toString(FormatoData));
    if (intervallo.primo.isValid()) m_ui->EDdaData->setText(intervallo.primo.toString(FormatoData));
}

bool TfrmSetCancStorico::eventFilter(QObject* oggetto, QEvent* evento) {
    // Leaving an edit for another control of this window; not a focus lost to
    // a message box or another window, nor the window closing.
    if (evento->type() == QEvent::FocusOut && (oggetto == m_ui->EDdaData || oggetto == m_ui->EDaData) && !m_chiusura) {
        const Qt::FocusReason motivo = static_cast<QFocusEvent*>(evento)->reason();
        if (motivo != Qt::ActiveWindowFocusReason && motivo != Qt::PopupFocusReason && isVisible())
            EseguiMostrandoErrori([&] { EDdaDataExit(static_cast<QLineEdit*>(oggetto)); });
    }
    return QDialog::eventFilter(oggetto, evento);
}

void TfrmSetCancStorico::EDdaDataExit(QLineEdit* edit) {
    QString testo = edit->text();
    if (CompletaData(testo)) {
        edit->setText(testo);
    } else {
        // Back into the edit once the focus change under way has ended.
        QTimer::singleShot(0, edit, [edit] { edit->setFocus(); });
    }
}

void TfrmSetCancStorico::keyPressEvent(QKeyEvent* evento) {
    // Esc is the cancel button's key: it asks the deletion question.
    if (evento->key() == Qt::Key_Escape && evento->modifiers() == Qt::NoModifier) {
        m_ui->ButCanc->click();
        return;
    }
    QDialog::keyPressEvent(evento);
}

void TfrmSetCancStorico::ButCancClick() {
    if (!ChiediConferma(QStringLiteral("Si è sicuri di voler eliminare dall'archivio dello storico le operazioni "
                                       "dell'intervallo slezionato?")))
        return;
    try {
        const TPeriodoSQL periodo = PeriodoSQL(m_ui->EDdaData->text(), m_ui->EDaData->text());
        // One statement beside the window, on a connection of its own:
        // "Stop" ends it with no row deleted.
        const QString cartella = TArchivio::corrente().cartella();
        TLavoroLungo lavoro(this, QStringLiteral("Eliminazione dello storico in corso"));
        lavoro.esegui([&](TContestoLavoro& c) {
            const TArchivioDelThread proprio(cartella);
            try {
                CancellaStoricoPeriodo(periodo.dataPrimo, periodo.dataSecondo, [&c](qint64 fatti, qint64 totale) {
                    c.avanzamento(fatti, totale);
                    return !c.fermato();
                });
            } catch (const ErroreArchivio&) {
                c.controlla();
                throw;
            }
        });
    } catch (const ErroreLavoroFermato&) {
        MostraMessaggio(QStringLiteral("Eliminazione interrotta: lo storico non è stato modificato."));
        return;
    } catch (const std::exception&) {
        MostraErrore(QStringLiteral("Impossibile eseguire la cancellazione dello storico, l'archivio potrebbe aver bisogno "
                                    "di una riparazione o essere bloccato."));
        return;
    }
    MostraMessaggio(QStringLiteral("Eliminazione archivio storico completata."));
}

void TfrmSetCancStorico::BTSesciClick() {
    m_chiusura = true;
    close();
}
