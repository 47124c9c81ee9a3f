#pragma once
// Fixtures of the registry tests: a product with only its registry fields,
// typing into boxes as a user does.

#include "DatiProva.h"

#include <QLineEdit>
#include <QtTest>

inline void InserisciProdotto(int id, const QString& nome, const QString& descrizione, int idCategoria = 0,
                              int idProduttore = 0) {
    InserisciProdotto({.id = id,
                       .nome = nome,
                       .descrizione = descrizione,
                       .carichi = 0,
                       .scarichi = 0,
                       .quantita = 0,
                       .idCategoria = idCategoria,
                       .idProduttore = idProduttore});
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

// Puts the focus in a box and leaves it with Tab, as a user tabbing through.
inline void Attraversa(QWidget* box) {
    box->setFocus(Qt::TabFocusReason);
    QTest::keyClick(box, Qt::Key_Tab);
}
