#pragma once
// The products registry: products created, edited and deleted through the
// record cursor bound to the boxes; a searchable list that the cursor follows.
// Stock counters are never typed here.

#include <QDialog>
#include <memory>

namespace Ui {
class TFrmAnagProdotti;
}
class TModelloElenco;
class TTabella;
class TCampiCollegati;
class QLineEdit;

class TFrmAnagProdotti : public QDialog {
    Q_OBJECT
public:
    explicit TFrmAnagProdotti(QWidget* genitore = nullptr);
    ~TFrmAnagProdotti() override;  // FormDestroy
    Ui::TFrmAnagProdotti* ui() const { return m_ui.get(); }
    TTabella* tabellaProdotti() const { return m_tabella.get(); }
    TModelloElenco* listaProdotti() const { return m_lista; }

    // The search, as a key released in a search box runs it.
    void CercaProdotti();

protected:
    void showEvent(QShowEvent* evento) override;
    bool eventFilter(QObject* oggetto, QEvent* evento) override;

private:
    void FormShow();
    void QueryListaProdottiAfterScroll();
    void TableProdottiAfterScroll();
    void EdRicNomeKeyUp();
    void cbRicercaClick();
    void TableProdottiAfterInsert();
    void TableProdottiBeforePost();
    void TableProdottiAfterPost();
    void TableProdottiAfterDelete();
    void DBEdit15Exit();
    void DBEdit14Exit();
    void DBEdit13Exit();
    void DBEdit12Exit();
    void SpeedButton1Click();
    void SpeedButton2Click();
    void SpeedButton3Click();
    void OpenPictureDialog1CanClose(const QString& file);
    void SbFotoClick();
    void BTGraficoClick();
    void sbEsciClick();

    void AggiornaLista();
    void CalcolaMargine();
    void ApplicaSconti(int passi);
    // Puts the product into edit when it is not, else writes what was typed.
    void InModifica();
    void ColoreFoto();
    void CompletaDataBox(QLineEdit* box, const QString& campo);
    QString ClausolaOrdine() const;

    std::unique_ptr<Ui::TFrmAnagProdotti> m_ui;
    std::unique_ptr<TTabella> m_tabella;
    std::unique_ptr<TCampiCollegati> m_campi;
    TModelloElenco* m_lista;
    bool m_ordineStandard = false;
    bool m_mostrata = false;
    bool m_chiusura = false;
};
