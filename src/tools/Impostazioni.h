#pragma once
// The settings window: the switches and report font sizes of the single
// settings record, edited in place. Changes exist only in the record being
// edited until "Ok"; "Annulla" shows the stored values again; "Esci" asks
// before discarding a pending change.

#include "data/engine/Tabella.h"

#include <QDialog>
#include <memory>

namespace Ui {
class TFrmImpostazioni;
}
class QCheckBox;
class QComboBox;

class TFrmImpostazioni : public QDialog {
    Q_OBJECT
public:
    explicit TFrmImpostazioni(QWidget* genitore = nullptr);
    ~TFrmImpostazioni() override;
    Ui::TFrmImpostazioni* ui() const { return m_ui.get(); }
    TTabella& TblImpostazioni() { return m_tabella; }

    // The font sizes the lists offer.
    static const QStringList& DimensioniCarattere();

protected:
    void closeEvent(QCloseEvent* evento) override;

private:
    void FormCreate();
    void FormDestroy();
    void sbOKClick();
    void sbAnnullaClick();
    void sbEsciClick();

    // The data source: shows the record in the controls, and puts it into
    // editing when the user changes a control.
    void MostraRecord();
    void CasellaCambiata(QCheckBox* casella, const QString& campo);
    void ListaCambiata(QComboBox* lista, const QString& campo);

    std::unique_ptr<Ui::TFrmImpostazioni> m_ui;
    TTabella m_tabella;
    QVector<QPair<QCheckBox*, QString>> m_caselle;
    QVector<QPair<QComboBox*, QString>> m_liste;
    bool m_mostrando = false;
};
