#include "gui/TraduzioneControlli.h"

#include "data/CartellaProgramma.h"
#include "data/Traduzione.h"
#include "data/engine/Archivio.h"
#include "data/engine/Definizioni.h"
#include "gui/Gestori.h"
#include "gui/LeggiImpostazione.h"
#include "gui/Messaggi.h"

#include <QAbstractButton>
#include <QAction>
#include <QFileInfo>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QWidget>

namespace {

// A control's caption, read and written the way its kind holds it.
QString Didascalia(QObject* o) {
    if (auto* w = qobject_cast<QWidget*>(o); w && w->isWindow()) return w->windowTitle();
    if (auto* l = qobject_cast<QLabel*>(o)) return l->text();
    if (auto* b = qobject_cast<QAbstractButton*>(o)) return b->text();
    if (auto* g = qobject_cast<QGroupBox*>(o)) return g->title();
    if (auto* a = qobject_cast<QAction*>(o)) return a->text();
    if (auto* w = qobject_cast<QWidget*>(o)) return w->windowTitle();
    return QString();
}

void ImpostaDidascalia(QObject* o, const QString& testo) {
    if (auto* w = qobject_cast<QWidget*>(o); w && w->isWindow()) w->setWindowTitle(testo);
    else if (auto* l = qobject_cast<QLabel*>(o)) l->setText(testo);
    else if (auto* b = qobject_cast<QAbstractButton*>(o)) b->setText(testo);
    else if (auto* g = qobject_cast<QGroupBox*>(o)) g->setTitle(testo);
    else if (auto* a = qobject_cast<QAction*>(o)) a->setText(testo);
    else if (auto* w = qobject_cast<QWidget*>(o)) w->setWindowTitle(testo);
}

}  // namespace

void TraduciControlli(const QList<QObject*>& controlli) {
    if (!QFileInfo::exists(CartellaProgramma() + Definizioni::Lingua)) return;
    const QString lingua = LeggiImpostazione(Impostazioni::Lingua);
    if (lingua.isEmpty() || lingua == QLatin1String("Italiano")) return;
    // An error ends the step; the captions translated so far stay.
    EseguiMostrandoErrori([&] {
        for (QObject* o : controlli) {
            if (!o) continue;
            ImpostaDidascalia(o, Traduci(Didascalia(o), lingua));
        }
    });
}

