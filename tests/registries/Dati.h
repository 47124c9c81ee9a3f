#pragma once
// Fixtures of the registry tests: records written straight into the tables,
// typing into boxes as a user does.

#include "data/engine/Archivio.h"

#include <QLineEdit>
#include <QtTest>

inline void InserisciProdotto(int id, const QString& nome, const QString& descrizione, int idCategoria = 0,
                              int idProduttore = 0) {
    TArchivio& a = TArchivio::corrente();
    a.esegui(QStringLiteral("insert into %1 (ID, NOME, DESCRIZIONE, IDCATEGORIA, IDPRODUTTORE, CARICHI, SCARICHI, "
                            "QUANTITA) values (?,?,?,?,?,0,0,0)")
                 .arg(a.nomeQualificato(QStringLiteral("prodotti"))),
             {id, nome, descrizione, idCategoria, idProduttore});
}

inline void InserisciProduttore(int id, const QString& nome, const QString& cognome) {
    TArchivio& a = TArchivio::corrente();
    a.esegui(QStringLiteral("insert into %1 (ID, NOME, COGNOME) values (?,?,?)")
                 .arg(a.nomeQualificato(QStringLiteral("produttori"))),
             {id, nome, cognome});
}

inline void InserisciCategoria(int id, const QString& categoria) {
    TArchivio& a = TArchivio::corrente();
    a.esegui(QStringLiteral("insert into %1 (ID, CATEGORIA) values (?,?)").arg(a.nomeQualificato(QStringLiteral("cat"))),
             {id, categoria});
}

// Types the text key by key (accented letters included) at the end of the box.
inline void Digita(QWidget* box, const QString& testo) {
    for (const QChar c : testo) QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

// Empties a line edit as the user would (select all, delete).
inline void Svuota(QLineEdit* box) {
    box->selectAll();
    QTest::keyClick(box, Qt::Key_Delete);
}

// A control of a window by its name; the test fails when it is missing.
template <class T>
T* Controllo(QWidget* finestra, const char* nome) {
    T* c = finestra->findChild<T*>(QString::fromLatin1(nome));
    if (!c) qFatal("controllo mancante: %s", nome);
    return c;
}

// Shows a window and makes it the active one, so that focus and Tab work.
inline bool MostraAttiva(QWidget* w) {
    w->show();
    QApplication::setActiveWindow(w);
    w->activateWindow();
    return QTest::qWaitForWindowActive(w);
}

// Puts the focus in a box and leaves it with Tab, as a user tabbing through.
inline void Attraversa(QWidget* box) {
    box->setFocus(Qt::TabFocusReason);
    QTest::keyClick(box, Qt::Key_Tab);
}
