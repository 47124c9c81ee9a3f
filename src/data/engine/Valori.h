#pragma once
// Fields and their values: the declared type of a field read back from a
// table's file, the conversion of a value to its field's type before it is
// written and back after it is read, and the number forms the store accepts.

#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

enum class TTipoCampo { Integer, Float, Date, Boolean, String, Memo };

struct TDefCampo {
    QString nome;
    TTipoCampo tipo = TTipoCampo::String;
    int dimensione = 0;        // characters, for String only
    bool richiesto = false;

    QString tipoDichiarato() const;  // e.g. VARCHAR(40), INTEGER, MEMO TEXT
    static TDefCampo daDichiarazione(const QString& nome, const QString& dichiarato, bool richiesto);
    bool operator==(const TDefCampo&) const = default;
};

enum TOpzioneIndice : int { ixPrimario = 1, ixUnico = 2 };

struct TDefIndice {
    QString nome;              // empty for the primary index
    QStringList campi;
    QString espressione;       // never used by this program's tables; kept for the comparison
    int opzioni = 0;           // TOpzioneIndice flags
    bool operator==(const TDefIndice&) const = default;
};

struct TStrutturaTabella {
    QVector<TDefCampo> campi;
    QVector<TDefIndice> indici;
    int indiceCampo(const QString& nome) const;  // -1 when missing; letter case ignored
};

// The first (last) n characters of a text, a character being a whole Unicode
// code point: a letter outside the Basic Multilingual Plane (an emoji) counts
// as one and is never split. The size of a String field counts characters
// this way, as SQLite's length() and substr() do.
QString PrimiCaratteri(const QString& testo, int n);
QString UltimiCaratteri(const QString& testo, int n);

// The converted value a field stores, or an ErroreArchivio when the value does
// not fit the field's type. Texts are cut to the field's size in characters
// (PrimiCaratteri), and a lone surrogate becomes U+FFFD, so that what is
// stored is always valid UTF-8.
QVariant ConvertiPerCampo(const TDefCampo& campo, const QVariant& valore);
// The typed value read back from a stored one (null stays null).
QVariant LeggiDaCampo(const TDefCampo& campo, const QVariant& grezzo);
// A number typed or stored as text: digits with an optional leading minus and
// at most one decimal separator. With soloVirgola only "," separates decimals
// (what the user types); otherwise "." is accepted as well (stored texts).
bool LeggiNumero(const QString& testo, double* risultato, bool soloVirgola);
// A number in its general text form with a comma for decimals: up to 15
// significant digits, no thousands separator, an exponent when the number
// needs one ("2,5", "1234", "1e+20").
QString TestoNumeroGenerale(double valore);

// Escapes a user's text for LIKE ... ESCAPE '\': % _ and \ match themselves.
QString EscapeLike(const QString& testo);
