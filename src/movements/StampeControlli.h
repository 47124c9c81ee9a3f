#pragma once
// What the expiry and quantity check windows need of the report window that
// prints their list: the parameters set just before each preview, and the
// preview over the list as it stands. Whoever creates a check window hands it
// its report window; without one the window's "Anteprima" stays disabled.

#include <QString>

class TModelloElenco;

class TStampaGiacenzeRif {
public:
    virtual ~TStampaGiacenzeRif() = default;
    QString DataControllo;    // the check date as typed
    int NumeroProdotti = 0;   // rows of the list
    int CarattereStampa = 0;  // font size of the detail fields
    // Generates the report on the list's rows and shows the preview; a
    // failure while generating reaches the caller.
    virtual void Anteprima(TModelloElenco* lista) = 0;
};

class TStampaQtaAlertRif {
public:
    virtual ~TStampaQtaAlertRif() = default;
    QString Visione;          // caption of the list's view
    int NumeroProdotti = 0;
    int CarattereStampa = 0;
    virtual void Anteprima(TModelloElenco* lista) = 0;
};
