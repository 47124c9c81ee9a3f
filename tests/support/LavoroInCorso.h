#pragma once
// Helpers for the tests of long runs: Stop of the run's progress box clicked
// as soon as a condition on the box holds (the box updates its texts and bar
// while the work goes on in its worker), and a folder's files read whole, to
// show byte for byte that a stopped run changed nothing.

#include "gui/Avanzamento.h"
#include "ui_Avanzamento.h"

#include <QDir>
#include <QFile>
#include <QMap>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <functional>

// Watches the window until its run's box satisfies the condition, then
// clicks its Stop once; *fermato tells whether it did.
inline void FermaQuando(QWidget* finestra, const std::function<bool(TFrmAvanzamento*)>& condizione, bool* fermato) {
    *fermato = false;
    auto* sorveglia = new QTimer(finestra);
    sorveglia->setInterval(1);
    QObject::connect(sorveglia, &QTimer::timeout, finestra, [=] {
        TFrmAvanzamento* box = finestra->findChild<TFrmAvanzamento*>();
        if (!box || !box->ui()->sbFerma->isEnabled() || !condizione(box)) return;
        box->ui()->sbFerma->click();
        *fermato = true;
        sorveglia->deleteLater();
    });
    sorveglia->start();
}

// The files of a folder (hidden ones too; not its subfolders) matching the
// patterns, by name, with their bytes.
inline QMap<QString, QByteArray> Contenuto(const QString& cartella, const QStringList& modelli = {}) {
    QMap<QString, QByteArray> file;
    const QDir dir(cartella);
    for (const QString& nome : dir.entryList(modelli, QDir::Files | QDir::Hidden | QDir::System)) {
        QFile f(dir.absoluteFilePath(nome));
        file.insert(nome, f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(illeggibile)"));
    }
    return file;
}
