#pragma once
// "Apri anno archiviato": lists the years archived by the year end in
// `anni/` of the program folder and starts the program on the chosen one, a
// second process on that folder (which takes that folder's own lock).

#include <QDialog>
#include <memory>

namespace Ui {
class TfrmApriAnno;
}

class TfrmApriAnno : public QDialog {
    Q_OBJECT
public:
    // programma: the executable started on the chosen year (this program's
    // own by default).
    explicit TfrmApriAnno(QWidget* genitore = nullptr, const QString& programma = {});
    ~TfrmApriAnno() override;
    Ui::TfrmApriAnno* ui() const { return m_ui.get(); }
    // The process started last, 0 when none.
    qint64 processoAvviato() const { return m_pid; }

private:
    void FormCreate();
    void BTApriClick();
    void sbEsciClick();
    std::unique_ptr<Ui::TfrmApriAnno> m_ui;
    QString m_programma;
    qint64 m_pid = 0;
};
