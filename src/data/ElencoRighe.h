#pragma once
// Rows held by a list of some window, read by row and column: what a report
// prints when it prints the list a window shows (the check windows' grids).

#include <QString>
#include <QStringList>
#include <QVariant>

class TElencoRighe {
public:
    virtual ~TElencoRighe() = default;
    virtual int conteggio() const = 0;
    // The field names of the columns, in order.
    virtual QStringList campi() const = 0;
    // The position of a field among campi() (letter case ignored), -1 when missing.
    virtual int indiceCampo(const QString& campo) const = 0;
    // The stored value of a row's column; null when empty.
    virtual QVariant valoreA(int riga, int indiceCampo) const = 0;
};
