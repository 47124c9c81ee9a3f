#pragma once
// The application object: it catches what an event handler throws and shows
// it in the general error display, after which the program goes on.

#include <QApplication>
#include <functional>

class TApplicazione : public QApplication {
public:
    TApplicazione(int& argc, char** argv);
    bool notify(QObject* destinatario, QEvent* evento) override;
};

// Runs an action, showing any error it raises in the general error display;
// false when it raised one. For code that runs outside an event handler.
bool EseguiMostrandoErrori(const std::function<void()>& azione);
