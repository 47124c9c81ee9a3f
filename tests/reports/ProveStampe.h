#pragma once
// What the report test programs share: the texts of a control on the page
// list and "Anteprima" pressed with its preview closed as soon as it is on
// screen (a PDF read back with pdftotext comes from DatiProva.h).

#include "DatiProva.h"
#include "reports/Anteprima.h"
#include "reports/engine/Report.h"

#include <QApplication>
#include <QPushButton>
#include <QStringList>
#include <QTimer>

inline QStringList Testi(const TDocumentoReport& d, const QString& controllo) {
    QStringList l;
    for (const TElementoPagina& e : d.elementiDi(controllo)) l << e.testo;
    return l;
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
