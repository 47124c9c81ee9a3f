#pragma once
// What the report test programs share: the texts of a control on the page
// list, a PDF read back with pdftotext, and "Anteprima" pressed with its
// preview closed as soon as it is on screen.

#include "reports/engine/Anteprima.h"
#include "reports/engine/Report.h"

#include <QApplication>
#include <QProcess>
#include <QPushButton>
#include <QStringList>
#include <QTimer>

inline QStringList Testi(const TDocumentoReport& d, const QString& controllo) {
    QStringList l;
    for (const TElementoPagina& e : d.elementiDi(controllo)) l << e.testo;
    return l;
}

inline QString Pdftotext(const QString& pdf) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    p.waitForFinished(30000);
    // Compatibility form: the typeface's ligatures ("ﬀ") read as their letters.
    return QString::fromUtf8(p.readAllStandardOutput()).normalized(QString::NormalizationForm_KC);
}

// Presses "Anteprima" and closes the preview once it is on screen; true when
// a preview opened.
inline bool Anteprima(QPushButton* pulsante) {
    bool aperta = false;
    QTimer guardia;
    guardia.setInterval(10);
    QObject::connect(&guardia, &QTimer::timeout, [&] {
        if (auto* p = qobject_cast<TAnteprimaReport*>(QApplication::activeModalWidget())) {
            aperta = true;
            p->close();
        }
    });
    guardia.start();
    pulsante->click();
    return aperta;
}
