#pragma once
// "Chiusura anno": takes the user through the year end step by step (backup,
// optional stocktake, valued inventory, archive of the year, reset of the
// unloads, deletion of the history up to the year's last day). The steps'
// state is read from the books at every opening, so the window resumes where
// a previous one stopped; the steps themselves are in PassiChiusuraAnno.

#include <QDate>
#include <QDialog>
#include <functional>
#include <memory>

namespace Ui {
class TfrmChiusuraAnno;
}
namespace ChiusuraAnno {
class TChiusura;
}

class TfrmChiusuraAnno : public QDialog {
    Q_OBJECT
public:
    // The stocktake and the valued inventory report run in their own windows,
    // which the main window opens through these; apriInventario tells whether
    // a count was posted in the stocktake window, apriStampaInventario whether
    // the inventory's preview was shown.
    TfrmChiusuraAnno(QWidget* genitore, std::function<bool()> apriInventario,
                     std::function<bool(const QDate&)> apriStampaInventario);
    ~TfrmChiusuraAnno() override;
    Ui::TfrmChiusuraAnno* ui() const { return m_ui.get(); }
    const ChiusuraAnno::TChiusura& chiusura() const { return *m_chiusura; }

private:
    void FormCreate();
    void EditAnnoChange(int anno);
    void BTEseguiClick();
    void BTSaltaClick();
    void sbEsciClick();
    void mostraPassi();
    QString eseguiPasso(int passo);
    void nuovaChiusura(int anno);

    std::unique_ptr<Ui::TfrmChiusuraAnno> m_ui;
    std::unique_ptr<ChiusuraAnno::TChiusura> m_chiusura;
    std::function<bool()> m_apriInventario;
    std::function<bool(const QDate&)> m_apriStampaInventario;
    bool m_inCorso = false;
};
