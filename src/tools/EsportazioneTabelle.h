#pragma once
// "Esportazione archivi in formato ASCII e EXCEL": composes a query over the
// table files of the program folder by double clicks, keeps it as a model in
// tabexport.db, runs it (asking a period when the model names a period
// field) and writes its result to a fixed-width text file or a workbook.

#include <QDialog>
#include <functional>
#include <memory>

namespace Ui {
class TfrmEsportazioneTabelle;
}
class QFileSystemModel;
class TTabella;
class TModelloRisultato;
class TOperazioneInCorso;

class TfrmEsportazioneTabelle : public QDialog {
    Q_OBJECT
public:
    explicit TfrmEsportazioneTabelle(QWidget* genitore = nullptr);
    ~TfrmEsportazioneTabelle() override;
    Ui::TfrmEsportazioneTabelle* ui() const { return m_ui.get(); }
    // The SQL text of the last run, as composed (before translation).
    QString testoSql() const { return m_sql; }
    // The folder where workbooks go; tests point it at their own folder.
    void impostaCartellaFogli(const QString& cartella) { m_cartellaFogli = cartella; }
    // A run or an export is working.
    bool inCorso() const { return m_inCorso; }

private:
    void FormCreate();
    void TableExportAfterOpen();
    void cbPreimpostatiClick(int indice);
    void LBTableNameChange();
    void LBFieldNameDblClick();
    void buttClearClick();
    void Button3Click();
    void Button4Click();
    void buttEliminaClick();
    void rgTIPOClick();
    void EditOrdinamentoExit();
    void DirectoryListBox1Change();
    void sbEsciClick();
    void buttEseguiClick();
    void bbExportClick();
    void sbFermaClick();

    bool eventFilter(QObject* oggetto, QEvent* evento) override;
    void chiudiQuery();
    void esportaTesto();
    void esportaFoglio();
    int tipoScelto() const;
    void impostaTipo(int tipo);
    bool memorizzaModello(bool nuovo);
    // The guard of a run: controls blocked, "Stop" shown, until it is destroyed.
    std::unique_ptr<TOperazioneInCorso> iniziaLavoro();
    // The check the engine calls while it works: events handled, Stop asked.
    std::function<bool()> controlloLavoro();

    std::unique_ptr<Ui::TfrmEsportazioneTabelle> m_ui;
    std::unique_ptr<TTabella> m_tabella;
    TModelloRisultato* m_risultato = nullptr;
    QFileSystemModel* m_cartelle = nullptr;
    bool m_primoCampo = true;
    QString m_radice;
    QString m_sql;
    QString m_cartellaFogli;
    bool m_inCorso = false;
    bool m_stopRichiesto = false;
};
