#pragma once
// The record navigator and the edit boxes bound to a record cursor.
//
// TCampiCollegati shows the current record of a TTabella in line edits and
// writes what the user typed back into it: typing into a bound box puts the
// record into edit; the typed texts reach the record (converted to their
// fields' types, texts cut to the field's size) before it is stored or when
// the window asks for it.
//
// TNavigatore is the row of six buttons (previous, next, insert, delete,
// post, cancel) on the same cursor; delete asks "Delete record?" through the
// message seam. Failures of the cursor go to the general error display; a
// "before" hook that abandons the operation shows nothing more.

#include <QStringList>
#include <QVector>
#include <QWidget>
#include <functional>

class QLineEdit;
class QToolButton;
class QLabel;
class TTabella;

class TCampiCollegati {
public:
    explicit TCampiCollegati(TTabella* tabella) : m_tabella(tabella) {}

    // Binds the box to the field; a read-only box only shows it.
    void collega(QLineEdit* box, const QString& campo, bool solaLettura = false);
    // A bound numeric box: keys pass FiltraTastoNumerico; pasting or dropping
    // a text that is not made of digits and commas is refused with a message.
    void collegaNumerico(QLineEdit* box, const QString& campo);
    // The record into the boxes; what was typed and not written is dropped.
    void mostra();
    // What was typed since the last show into the record. A text that does not
    // fit its field (letters in a number, a wrong date) is reported with
    // MostraErrore, its box gets the focus, and InterrompiOperazione is raised.
    void scrivi();
    // The box bound to the field, or nullptr.
    QLineEdit* box(const QString& campo) const;
    bool modificato() const;
    // The box bound to the field was typed into since the last show.
    bool modificato(const QString& campo) const;

private:
    struct Legame {
        QLineEdit* box;
        QString campo;
        bool solaLettura;
        bool modificato = false;
    };
    void digitato(int indice);
    TTabella* m_tabella;
    QVector<Legame> m_legami;
    bool m_mostrando = false;
};

class TNavigatore : public QWidget {
    Q_OBJECT
public:
    enum Pulsante { Precedente, Successivo, Inserisci, Elimina, Conferma, Annulla };

    explicit TNavigatore(QWidget* genitore = nullptr);
    // The cursor the buttons act on and the boxes written before a post.
    void collega(TTabella* tabella, TCampiCollegati* campi = nullptr);
    QToolButton* pulsante(Pulsante p) const { return m_pulsanti[p]; }
    // Captions shown above the buttons, one for each, in button order.
    void impostaDidascalie(const QStringList& didascalie);
    void impostaSuggerimenti(const QStringList& suggerimenti);
    // Enables the buttons for the cursor's state and position.
    void aggiorna();
    // Runs a button's action as a click does.
    void esegui(Pulsante p);

signals:
    // After a button's action ran (also when a hook abandoned it).
    void cliccato(int pulsante);

private:
    TTabella* m_tabella = nullptr;
    TCampiCollegati* m_campi = nullptr;
    QVector<QToolButton*> m_pulsanti;
    QVector<QLabel*> m_didascalie;
};
