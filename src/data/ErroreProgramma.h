#pragma once
// The error the shared routines raise; its text reaches the general error
// display when the caller does not handle it.

#include <QString>

#include <stdexcept>

class ErroreProgramma : public std::runtime_error {
public:
    explicit ErroreProgramma(const QString& testo) : std::runtime_error(testo.toStdString()), m_testo(testo) {}
    QString testo() const { return m_testo; }

private:
    QString m_testo;
};

// Raises ErroreProgramma with the text when the condition is false.
void Verifica(bool condizione, const QString& testo);
