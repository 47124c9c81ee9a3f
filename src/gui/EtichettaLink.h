#pragma once
// A label that acts as a link: underlined, a hand cursor, a click signal.
// The main window's quick links and the maker's web and mail labels.

#include <QLabel>

class TEtichettaLink : public QLabel {
    Q_OBJECT
public:
    explicit TEtichettaLink(QWidget* genitore = nullptr);

signals:
    void cliccato();

protected:
    void mouseReleaseEvent(QMouseEvent* evento) override;
    void changeEvent(QEvent* evento) override;
};
