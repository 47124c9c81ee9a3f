#pragma once
// The report windows of the expiry and quantity checks as their check windows
// see them: the parameters set just before each preview, and the preview.
// The main window creates a check window, then its report window bound to the
// check window's list, and keeps the report window in the program-wide
// reference below for as long as the check window is open.

#include <QString>

class TStampaGiacenzeRif {
public:
    virtual ~TStampaGiacenzeRif() = default;
    QString DataControllo;    // the check date as typed
    int NumeroProdotti = 0;   // rows of the list
    int CarattereStampa = 0;  // font size of the detail fields
    // Generates the report on the list's current rows and shows the preview;
    // a failure while generating reaches the caller.
    virtual void Anteprima() = 0;
};

class TStampaQtaAlertRif {
public:
    virtual ~TStampaQtaAlertRif() = default;
    QString Visione;          // caption of the list's view
    int NumeroProdotti = 0;
    int CarattereStampa = 0;
    virtual void Anteprima() = 0;
};

// Set by the main window while the check window is open; nullptr otherwise.
inline TStampaGiacenzeRif* frmStampaGiacenze = nullptr;
inline TStampaQtaAlertRif* frmStampaQtaAlert = nullptr;
