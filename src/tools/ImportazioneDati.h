#pragma once
// "Importazione dati": products, producers or categories from a CSV file or
// a workbook. The user chooses the file and what it holds, sees each column
// with the field it goes to (proposed from the header, changeable) and a
// preview of the first rows as they would be stored, runs the dry run that
// counts what would happen, saves the refused rows if he wants, and then
// imports: a backup first, then everything in one transaction. The data
// work is in LetturaSorgente and Importazione.

#include "tools/Importazione.h"
#include "tools/LetturaSorgente.h"

#include <QDialog>
#include <functional>
#include <memory>

namespace Ui {
class TFrmImportazioneDati;
}
class TOperazioneInCorso;

class TFrmImportazioneDati : public QDialog {
    Q_OBJECT
public:
    explicit TFrmImportazioneDati(QWidget* genitore = nullptr);
    ~TFrmImportazioneDati() override;
    Ui::TFrmImportazioneDati* ui() const { return m_ui.get(); }
    // Reads a file as "Sfoglia" does after the choice.
    void caricaFile(const QString& percorso);
    bool inCorso() const { return m_inCorso; }

private:
    void BTSsfogliaClick();
    void cbTipoChange();
    void opzioniLetturaChange();
    void colonnaChange();
    void BTSprovaClick();
    void BTSrifiutatiClick();
    void BTSimportaClick();
    void sbFermaClick();
    void sbEsciClick();

    void leggi();
    void riempiColonne();
    void aggiornaAnteprima();
    void mostraAnalisi(const TAnalisiImportazione& a);
    TOpzioniImportazione opzioni();
    TTipoImportazione tipo() const;
    void aggiornaPulsanti();
    std::unique_ptr<TOperazioneInCorso> iniziaLavoro();
    std::function<bool(qint64, qint64)> avanzamento();

    std::unique_ptr<Ui::TFrmImportazioneDati> m_ui;
    QString m_percorso;
    TSorgente m_sorgente;
    TAnalisiImportazione m_analisi;
    bool m_provata = false;  // the dry run matches the current choices
    bool m_inCorso = false;
    bool m_stopRichiesto = false;
    bool m_riempimento = false;
};
