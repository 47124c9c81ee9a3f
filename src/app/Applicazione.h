#pragma once
// The application object: it loads Qt's Italian translations, and it catches
// what an event handler throws and shows it in the general error display,
// after which the program goes on.

#include <QApplication>

class TApplicazione : public QApplication {
public:
    TApplicazione(int& argc, char** argv);
    bool notify(QObject* destinatario, QEvent* evento) override;
};

// Loads Qt's own Italian translations (print and preview dialogs, file and
// folder choosers, standard buttons), whatever the machine's locale; false
// when they are not installed, and Qt's dialogs then stay in English.
bool CaricaTraduzioniQt();

