#pragma once
// The harness every test program uses: a fresh temporary program folder per
// test, a responder that answers the message boxes and the other desktop
// requests from a script and records them, a settable clock, and helpers to
// drive a real modal window and to read table files with the sqlite3 tool.

#include "gui/Interazione.h"

#include <QDialog>
#include <QQueue>
#include <QTemporaryDir>
#include <QVector>
#include <QtTest>
#include <functional>
#include <memory>

struct TBoxRegistrato {
    TTipoMessaggio tipo;
    QString titolo;
    QString testo;
};

class TRisponditore : public TInterazione {
public:
    // Scripts the next box: its kind, its text (exact, or a part of it with
    // parziale) and the answer (true for OK / Yes).
    void attendi(TTipoMessaggio tipo, const QString& testo, bool risposta = true, bool parziale = false);
    // Boxes shown so far, in order.
    QVector<TBoxRegistrato> mostrati;
    // Boxes that were not scripted or did not match the script.
    QStringList inattesi;
    bool scriptEsaurito() const { return m_attesi.isEmpty(); }
    QString descriviAttesi() const;

    // Answers for the other requests, taken in order.
    QQueue<QString> fileDaScegliere;
    QQueue<QString> fileDaSalvare;
    QQueue<QString> cartelleDaScegliere;
    QQueue<QString> testiDaInserire;  // a null text cancels
    QVector<QUrl> urlAperti;
    bool apriUrlRiesce = true;  // false: no application opens what is asked

    bool messaggio(TTipoMessaggio tipo, const QString& titolo, const QString& testo) override;
    bool apriUrl(const QUrl& url) override {
        urlAperti << url;
        return apriUrlRiesce;
    }
    QString scegliFile(const QString&, const QString&, const QString&) override;
    QString scegliFileDaSalvare(const QString&, const QString&, const QString&) override;
    QString scegliCartella(const QString&, const QString&) override;
    bool chiediTesto(const QString&, const QString&, QString* testo) override;

private:
    struct Atteso {
        TTipoMessaggio tipo;
        QString testo;
        bool risposta;
        bool parziale;
    };
    QQueue<Atteso> m_attesi;
};

QString NomeTipo(TTipoMessaggio tipo);

class TAmbienteTest {
public:
    // A fresh program folder with the store opened on it and no current
    // selection; with creaTabelle the program's tables are created as at start-up.
    explicit TAmbienteTest(bool creaTabelle = true);
    ~TAmbienteTest();
    QString cartella() const;  // ends with "/"
    QString file(const QString& nome) const { return cartella() + nome; }
    TRisponditore risposte;
    // Closes and opens the store again, as a new start of the program would.
    void riapriArchivio();

private:
    QTemporaryDir m_dir;
};

// Base of a test program whose every test runs in an environment of its own:
// init gives each test a fresh one in m_amb; cleanup checks that the boxes
// went as scripted and releases the environment, also when that check fails,
// so that the next test starts clean. A program that needs more at either end
// declares its own slot and calls these.
class TProvaConAmbiente : public QObject {
    Q_OBJECT
protected slots:
    void init();
    void cleanup();

protected:
    std::unique_ptr<TAmbienteTest> m_amb;
};

// Fails the current test when a box was unexpected or a scripted one was not shown.
#define ZR_VERIFICA_RISPOSTE(amb)                                                                              \
    do {                                                                                                       \
        QVERIFY2((amb).risposte.inattesi.isEmpty(), qPrintable((amb).risposte.inattesi.join(QStringLiteral(" | ")))); \
        QVERIFY2((amb).risposte.scriptEsaurito(), qPrintable(QStringLiteral("non mostrati: ") + (amb).risposte.descriviAttesi())); \
    } while (0)

// Shows the dialog modally and runs the actions once it is on screen; the
// actions end by closing it (or the dialog closes itself).
int EseguiModale(QDialog* finestra, const std::function<void()>& azioni);
// Runs the action as soon as a modal window other than the given one is active
// (a window opened by a button of another one).
void QuandoSiApre(const std::function<void(QWidget*)>& azione, QWidget* diversaDa = nullptr);

// Runs the sqlite3 tool on a file and gives what it printed (list mode, "|").
QString Sqlite3(const QString& file, const QString& sql);
// The folder of the built program: the executable and its files.
QString CartellaProgrammaCompilato();
