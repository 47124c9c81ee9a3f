#pragma once
// What the expiry and quantity check windows need of the report window that
// prints their list: the parameters set just before each preview, and the
// preview over the list as it stands. Whoever creates a check window hands it
// its report window; without one the window's "Anteprima" stays disabled.

#include <QDate>
#include <QString>
#include <QVector>

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

// What the stocktake window needs of the report that prints its count sheet:
// one line per product of the count, in shelf order.
struct TRigaFoglioConteggio {
    QString categoria, codice, descrizione;
};

class TStampaFoglioConteggioRif {
public:
    virtual ~TStampaFoglioConteggioRif() = default;
    // Generates the sheet of the count of that date (ambito says which
    // products it covers) over the lines as given and shows the preview.
    virtual void Anteprima(const QDate& data, const QString& ambito, const QVector<TRigaFoglioConteggio>& righe) = 0;
};
