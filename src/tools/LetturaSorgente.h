#pragma once
// Reading the file of an import into rows of cells, without any window: a
// CSV file (its separator and its encoding found here, changeable by the
// caller) or a workbook (.xlsx, .ods) read through liborcus, the first sheet
// or a chosen one, formulas taken as the results the workbook stores and
// never evaluated. The first non-empty row is the header; empty rows are
// skipped. What the file really holds is found from its bytes, not from its
// name: a file that is not what its name says is refused with the reason.

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>

enum class TCodifica { Automatica, Utf8, Windows1252 };
enum class TFormatoSorgente { Csv, Xlsx, Ods };

enum class TTipoCella : quint8 { Vuota, Testo, Numero, Data, Logico };

// One cell as the file gives it: a CSV cell is always text; a workbook's cell
// keeps its type (a date as a date, a number as the number stored).
struct TCella {
    QString testo;       // the text of a text cell
    double numero = 0;   // a number, a date's Julian day, a logical 0 / 1
    TTipoCella tipo = TTipoCella::Vuota;

    bool vuota() const {
        if (tipo != TTipoCella::Testo) return tipo == TTipoCella::Vuota;
        for (const QChar c : testo)
            if (!c.isSpace()) return false;
        return true;
    }
    // The cell as the user sees it in the file: dates dd/MM/yyyy, numbers
    // with the decimal comma, logical values Vero / Falso.
    QString comeTesto() const;
};

// Files larger than this are refused before they are read, and so are files
// with more data rows than RigheMassimeImportazione.
inline constexpr qint64 DimensioneMassimaImportazione = 100LL * 1024 * 1024;
inline constexpr int RigheMassimeImportazione = 500000;

struct TOpzioniLettura {
    QChar separatore;                       // null: found from the header line
    TCodifica codifica = TCodifica::Automatica;
    int foglio = 0;                         // the sheet of a workbook, from 0
    // Called now and then with the rows read so far and an estimate of the
    // total (0 when unknown); returning false stops the reading.
    std::function<bool(qint64 fatte, qint64 totale)> avanzamento;
};

struct TSorgente {
    QString errore;                 // not empty: the file was refused, why
    bool interrotta = false;        // stopped by the user
    TFormatoSorgente formato = TFormatoSorgente::Csv;
    QChar separatore;               // CSV: the separator used
    TCodifica codifica = TCodifica::Automatica;  // CSV: the encoding used
    QStringList fogli;              // workbook: the sheets' names
    int foglio = 0;                 // workbook: the sheet read
    QStringList intestazioni;       // the header's cells
    QVector<QVector<TCella>> righe; // the data rows
    QVector<int> numeriRiga;        // each data row's line (CSV) or row (workbook) in the file, from 1

    bool valida() const { return errore.isEmpty() && !interrotta; }
};

TSorgente LeggiSorgente(const QString& percorso, const TOpzioniLettura& opzioni = {});

// The pieces of a CSV reading, for the window and the tests.
// The separator of a header line: the most frequent of ";", tab and ","
// outside quotes (";" when none is there).
QChar TrovaSeparatore(const QString& primaRiga);
// Windows-1252 bytes as text.
QString DaWindows1252(const QByteArray& byte);
// The name of an encoding as the window shows it.
QString NomeCodifica(TCodifica c);

// A number as Italian files write it: an optional minus, digits with "." as
// thousands separator in groups of three, "," for decimals ("1.234,50",
// "-3", "2,5"), blanks and a "€" around ignored. "2.5" and "1,2,3" are no
// numbers: nothing is guessed.
bool LeggiNumeroItaliano(const QString& testo, double* valore);
// A date dd/mm/yyyy (d/m/yyyy too) or yyyy-mm-dd; a two-digit year is no date.
QDate LeggiDataItaliana(const QString& testo);
// A workbook's date serial number (days from 30/12/1899) as a date.
QDate DataDaSeriale(double seriale);
