#pragma once
// The summary window: today's and this month's movements (loads, unloads,
// purchases, sales, margin), the ten products sold most in the last 30 days
// and the value of the stock at purchase and at sale price. Read only; the
// figures are those of DatiRiepilogo, computed when the window opens and on
// "Aggiorna".

#include <QDate>
#include <QDialog>
#include <memory>

namespace Ui {
class TFrmRiepilogo;
}

class TFrmRiepilogo : public QDialog {
    Q_OBJECT
public:
    explicit TFrmRiepilogo(QWidget* genitore = nullptr);
    ~TFrmRiepilogo() override;
    Ui::TFrmRiepilogo* ui() const { return m_ui.get(); }

    // The periods of the figures, for the day the window shows.
    static QDate InizioMese(const QDate& oggi) { return QDate(oggi.year(), oggi.month(), 1); }
    static QDate InizioTrentaGiorni(const QDate& oggi) { return oggi.addDays(-29); }

private:
    void FormCreate();
    void sbAggiornaClick();
    void sbEsciClick();

    std::unique_ptr<Ui::TFrmRiepilogo> m_ui;
};
