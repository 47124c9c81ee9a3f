#include "AmbienteTest.h"

#include "data/CartellaProgramma.h"
#include "data/CreaTabelle.h"
#include "data/CreaTabelleGenerali.h"
#include "data/Orologio.h"
#include "data/engine/Archivio.h"
#include "gui/Selezione.h"

#include <QApplication>
#include <QProcess>
#include <QTimer>

QString NomeTipo(TTipoMessaggio tipo) {
    switch (tipo) {
    case TTipoMessaggio::Messaggio: return QStringLiteral("Messaggio");
    case TTipoMessaggio::Attenzione: return QStringLiteral("Attenzione");
    case TTipoMessaggio::Errore: return QStringLiteral("Errore");
    case TTipoMessaggio::Domanda: return QStringLiteral("Domanda");
    case TTipoMessaggio::Avviso: return QStringLiteral("Avviso");
    case TTipoMessaggio::ErroreGenerale: return QStringLiteral("ErroreGenerale");
    }
    return {};
}

void TRisponditore::attendi(TTipoMessaggio tipo, const QString& testo, bool risposta, bool parziale) {
    m_attesi.enqueue({tipo, testo, risposta, parziale});
}

QString TRisponditore::descriviAttesi() const {
    QStringList l;
    for (const Atteso& a : m_attesi) l << NomeTipo(a.tipo) + QStringLiteral(": ") + a.testo;
    return l.join(QStringLiteral(" | "));
}

bool TRisponditore::messaggio(TTipoMessaggio tipo, const QString& titolo, const QString& testo) {
    mostrati << TBoxRegistrato{tipo, titolo, testo};
    const QString descrizione = NomeTipo(tipo) + QStringLiteral(" [") + titolo + QStringLiteral("] ") + testo;
    if (m_attesi.isEmpty()) {
        inattesi << QStringLiteral("inatteso: ") + descrizione;
        return false;
    }
    const Atteso a = m_attesi.dequeue();
    const bool corrisponde = a.tipo == tipo && (a.parziale ? testo.contains(a.testo) : testo == a.testo);
    if (!corrisponde) inattesi << QStringLiteral("atteso ") + NomeTipo(a.tipo) + QStringLiteral(": ") + a.testo +
                                      QStringLiteral(", mostrato ") + descrizione;
    return a.risposta;
}

QString TRisponditore::scegliFile(const QString&, const QString&, const QString&) {
    return fileDaScegliere.isEmpty() ? QString() : fileDaScegliere.dequeue();
}

QString TRisponditore::scegliFileDaSalvare(const QString&, const QString&, const QString&) {
    return fileDaSalvare.isEmpty() ? QString() : fileDaSalvare.dequeue();
}

QString TRisponditore::scegliCartella(const QString&, const QString&) {
    return cartelleDaScegliere.isEmpty() ? QString() : cartelleDaScegliere.dequeue();
}

bool TRisponditore::chiediTesto(const QString&, const QString&, QString* testo) {
    if (testiDaInserire.isEmpty()) return false;
    const QString t = testiDaInserire.dequeue();
    if (t.isNull()) return false;
    if (testo) *testo = t;
    return true;
}

TAmbienteTest::TAmbienteTest(bool creaTabelle) {
    ImpostaInterazione(&risposte);
    ImpostaCartellaProgramma(m_dir.path());
    ImpostaOrologio(QDateTime(QDate(2004, 3, 15), QTime(10, 30, 0)));
    SelezioneCorrente() = TSelezioneCorrente();
    TArchivio::apriCorrente(cartella());
    if (creaTabelle) {
        CreaTabelleGenerali();
        CreaTabelle();
    }
}

TAmbienteTest::~TAmbienteTest() {
    TArchivio::chiudiCorrente();
    ImpostaInterazione(nullptr);
    ImpostaCartellaProgramma(QString());
    ImpostaOrologio(QDateTime());
}

QString TAmbienteTest::cartella() const { return m_dir.path() + QLatin1Char('/'); }

void TAmbienteTest::riapriArchivio() {
    TArchivio::chiudiCorrente();
    TArchivio::apriCorrente(cartella());
}

void TProvaConAmbiente::init() { m_amb = std::make_unique<TAmbienteTest>(); }

void TProvaConAmbiente::cleanup() {
    const std::unique_ptr<TAmbienteTest> amb = std::move(m_amb);
    ZR_VERIFICA_RISPOSTE(*amb);
}

int EseguiModale(QDialog* finestra, const std::function<void()>& azioni) {
    QTimer::singleShot(0, finestra, [finestra, azioni] {
        if (!QTest::qWaitForWindowExposed(finestra, 5000)) qWarning("la finestra non si è mostrata");
        azioni();
        if (finestra->isVisible()) finestra->reject();
    });
    return finestra->exec();
}

void QuandoSiApre(const std::function<void(QWidget*)>& azione, QWidget* diversaDa) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, azione, diversaDa] {
        QWidget* w = QApplication::activeModalWidget();
        if (w && w != diversaDa && w->isVisible()) {
            timer->stop();
            timer->deleteLater();
            azione(w);
        }
    });
    timer->start();
}

QString Sqlite3(const QString& file, const QString& sql) {
    QProcess p;
    p.start(QStringLiteral("sqlite3"), {file, sql});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}

QString CartellaProgrammaCompilato() { return QStringLiteral(ZR_CARTELLA_PROGRAMMA) + QLatin1Char('/'); }
