#pragma once
// The list behind the main window's expiring-soon link: the products that
// will pass their stock period within the warning days, with the day each
// expires and the days left. Read only.

#include "movements/Scadenze.h"

#include <QDialog>
#include <memory>

namespace Ui {
class TFrmProssimeScadenze;
}

class TFrmProssimeScadenze : public QDialog {
    Q_OBJECT
public:
    // The products expiring within giorni days from today.
    TFrmProssimeScadenze(QWidget* genitore, int giorni);
    ~TFrmProssimeScadenze() override;
    Ui::TFrmProssimeScadenze* ui() const { return m_ui.get(); }

private:
    void FormCreate();
    void sbEsciClick();

    std::unique_ptr<Ui::TFrmProssimeScadenze> m_ui;
    int m_giorni;
};
