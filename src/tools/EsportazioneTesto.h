#pragma once
// The fixed-width text export: the formatting settings of a column read from
// a model's formatting text, one piece per column and type, and the file of
// one line per row (CR LF after each) written through QSaveFile, so that a
// failed or stopped write never replaces a good file with a half one. The
// file is single-byte (Windows-1252) unless UTF-8 is chosen, so that a piece
// of N characters is N bytes and a reader that cuts by position finds every
// field where it belongs.

#include "data/FoglioLavoro.h"
#include "data/engine/Archivio.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>

class TConnessioneLettura;
struct TColonnaRisultato;

// An export that cannot be done (ErroreEsportazione) is declared with the
// workbook writer.

// The widest text column a LUNGHEZZA may ask for, and the widest print width.
inline constexpr int LunghezzaMassima = 1000;
inline constexpr int LarghezzaFormatoMassima = 100;

struct TFormattazioneColonna {
    int lunghezza = 0;       // 0: the field's own size
    QString formato;         // empty: the type's default pattern
    QString sepdec = QStringLiteral(",");
};

// The settings of one column from the formatting text: lines "KEYWORD COLUMN=value",
// keyword and column matched regardless of case, the first matching line counts.
// A LUNGHEZZA that is not a whole number or is negative is an error; one
// above LunghezzaMassima is cut to it.
TFormattazioneColonna LeggiFormattazione(const QString& testo, const QString& colonna);

// A parsed print pattern: literal text around one conversion.
struct TFormatoNumero {
    QString prima, dopo;
    bool sinistra = false;
    int larghezza = 0;
    int precisione = -1;  // -1: the conversion's default
    char conversione = 'd';
    bool intera() const { return conversione == 'd' || conversione == 'u' || conversione == 'x'; }
};
// Parses a print pattern for a column; an absurd or unsupported pattern, or a
// conversion that does not suit the column's type, is an ErroreEsportazione.
TFormatoNumero LeggiFormatoNumero(const QString& formato, TTipoCampo tipo, const QString& colonna);
QString ApplicaFormatoNumero(const TFormatoNumero& f, const QVariant& valore);
// A date with a date pattern (d, dd, ddd, dddd, m ... mmmm, yy, yyyy; the
// rest copied); an empty date gives as many blanks as the pattern is long.
QString ApplicaFormatoData(const QString& formato, const QDate& data);

// One column's piece maker, prepared once for the whole export.
class TPezzoColonna {
public:
    TPezzoColonna(const TColonnaRisultato& colonna, const QString& formattazione);
    // The piece of a value (null: the empty value); empty for the types the
    // text file leaves out (memo, unknown).
    QString pezzo(const QVariant& valore) const;

private:
    TTipoCampo m_tipo;
    bool m_escluso = false;
    int m_lunghezza = 0;
    TFormatoNumero m_numero;
    QString m_formatoData;
    QString m_sepdec;
};

// The encoding of the text file.
enum class TCodificaTesto { Windows1252, Utf8 };
// The text in the encoding; a character Windows-1252 lacks becomes "?" (one
// per character, an emoji included) and is added to *sostituiti.
QByteArray CodificaTesto(const QString& testo, TCodificaTesto codifica, qint64* sostituiti);

// The path of an export file: folder and name joined with "/".
QString PercorsoEsportazione(const QString& cartella, const QString& nome);
// Splits a stored file path at its last separator of either kind ("C:\Dati\Export.txt").
void DividiPercorso(const QString& percorso, QString* cartella, QString* nome);
// The names of the files the build puts into the program folder beside the
// executable (written by the build itself, so the list follows it).
const QStringList& FileSpeditiConIlProgramma();
// True when the path names a file the program ships or keeps in its folder:
// what the build puts beside the executable (the program, its guide, the
// repair tool), a table file, the store's main file, a journal, the lock
// file, the log of refused records, or the backup folder and what it holds.
// The export never writes there.
bool FileDelProgramma(const QString& percorso);

struct TEsitoTesto {
    qint64 righe = 0;
    qint64 sostituiti = 0;  // characters written as "?"
};

// Writes every remaining row of the prepared query to the file; the progress
// function receives the number of rows written so far.
TEsitoTesto EsportaTesto(TConnessioneLettura& c, const QString& formattazione, const QString& percorso,
                         TCodificaTesto codifica = TCodificaTesto::Windows1252,
                         const std::function<void(qint64)>& avanzamento = {});
