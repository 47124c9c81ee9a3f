#pragma once
// The update check: asks the maker's site which version of the program is
// current, compares it with the running one and, when a newer one exists,
// offers the download address to the user's browser. The program never
// saves or runs a downloaded file itself.

#include "data/Costanti.h"
#include "online/Estrazione.h"

#include <QDialog>
#include <QNetworkAccessManager>
#include <QPointer>
#include <memory>

class QEventLoop;
class QNetworkReply;

namespace Ui {
class TFrmControllaVersione;
}

class TFrmControllaVersione : public QDialog {
    Q_OBJECT
public:
    // sito: the maker's site address, ending with "/" (tests give a local server).
    explicit TFrmControllaVersione(QWidget* genitore = nullptr, const QString& sito = Costanti::SitoProduttore);
    ~TFrmControllaVersione() override;
    Ui::TFrmControllaVersione* ui() const { return m_ui.get(); }

    // The page asked for the current version, and the program offered for download.
    QString IndirizzoControllo() const { return m_indirizzoControllo; }
    // How long the page may take, in milliseconds (15 s unless changed).
    void ImpostaLimiteAttesa(int millisecondi) { m_limiteAttesa = millisecondi; }
    // A page larger than this is not read.
    static constexpr qint64 DimensioneMassima = 1024 * 1024;
    // Redirects followed in a row, each only within the maker's site: the
    // scheme, host and port of the address the window was given.
    static constexpr int MassimoRinvii = 3;
    // The texts of the pages loaded in this opening, in order.
    const QStringList& TestiPagine() const { return m_pagine; }

    void done(int risultato) override;

protected:
    bool event(QEvent* evento) override;

private:
    void FormCreate();
    void FormActivate();
    void sbControllaClick();
    void sbScaricaClick();
    void sbEsciClick();
    // The reply ended: keeps the page's body text when it was loaded whole.
    bool RispostaCompletata(QNetworkReply* risposta);
    void MostraRisultato(bool caricata);

    std::unique_ptr<Ui::TFrmControllaVersione> m_ui;
    QNetworkAccessManager m_rete;
    QPointer<QNetworkReply> m_risposta;
    QString m_indirizzoControllo;
    TCriterioEstrazione m_criterio;
    QStringList m_pagine;
    int m_limiteAttesa = 15000;
    bool m_attivata = false;
    bool m_chiusa = false;
    bool m_troppoGrande = false;
};
