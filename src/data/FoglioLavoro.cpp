#include "data/FoglioLavoro.h"

#include "data/Convenzioni.h"

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <xlsxwriter.h>

namespace {

QString CausaNomeFoglio(lxw_error e) {
    switch (e) {
    case LXW_ERROR_SHEETNAME_LENGTH_EXCEEDED: return QStringLiteral("è più lungo di 31 caratteri");
    case LXW_ERROR_INVALID_SHEETNAME_CHARACTER: return QStringLiteral("contiene uno dei caratteri [ ] : * ? / \\");
    case LXW_ERROR_SHEETNAME_START_END_APOSTROPHE: return QStringLiteral("inizia o finisce con un apostrofo");
    default: return QString::fromUtf8(lxw_strerror(e));
    }
}

// The longest text a cell holds, in characters.
constexpr int CaratteriMassimiCella = 32767;

QString CausaCella(lxw_error e) {
    switch (e) {
    case LXW_ERROR_MAX_STRING_LENGTH_EXCEEDED:
        return QStringLiteral("il testo è più lungo dei %1 caratteri che una cella può contenere")
            .arg(LocaleItaliano().toString(CaratteriMassimiCella));
    case LXW_ERROR_WORKSHEET_INDEX_OUT_OF_RANGE: return QStringLiteral("la cella è fuori dai limiti del foglio");
    default: return QString::fromUtf8(lxw_strerror(e));
    }
}

// A file name for a new workbook: the sheet name without the characters a
// file name cannot hold, the moment of the export, and a counter if needed.
QString NuovoFile(const QString& cartella, const QString& nomeFoglio) {
    QString base = nomeFoglio;
    for (QChar& c : base)
        if (!c.isLetterOrNumber() && c != QLatin1Char('-') && c != QLatin1Char('_') && c != QLatin1Char('.')) c = QLatin1Char('_');
    const QString momento = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
    for (int n = 1;; ++n) {
        const QString f = QDir(cartella).filePath(QStringLiteral("%1-%2%3.xlsx")
                                                      .arg(base, momento, n == 1 ? QString() : QStringLiteral("-%1").arg(n)));
        if (!QFileInfo::exists(f)) return f;
    }
}

}  // namespace

QString MessaggioCellaRifiutata(const ErroreCellaFoglio& e, const QString& modello) {
    return QStringLiteral("Esportazione dati su Tabella Excel Interrotta. \n"
                          "Si è verificato un'errore imprevisto. \n"
                          "Il modulo d'esportazione %1 ha causato un errore.\n"
                          "L'errore presenta le seguenti coordinate:\n"
                          "Colonna: %2,\nRiga: %3,\nNome del campo: %4.\n"
                          "Causa: %5.\n"
                          "Il foglio di lavoro che viene aperto è incompleto: contiene solo le righe scritte prima "
                          "dell'errore (%6).")
        .arg(modello)
        .arg(e.colonna)
        .arg(e.riga)
        .arg(e.campo, e.causa, QDir::toNativeSeparators(e.percorso));
}

QString CartellaFogli() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::TempLocation)).filePath(QStringLiteral("zerired-esportazioni"));
}

QString ScriviFoglio(const QVector<TColonnaFoglio>& colonne, const std::function<bool()>& leggi,
                     const std::function<QVariant(int)>& valore, const QString& nomeFoglio, const QString& cartella,
                     const std::function<void(qint64)>& avanzamento) {
    if (!QDir().mkpath(cartella))
        throw ErroreEsportazione(QStringLiteral("Non riesco a creare la cartella %1 per il foglio di lavoro.")
                                     .arg(QDir::toNativeSeparators(cartella)));
    const QString percorso = NuovoFile(cartella, nomeFoglio);
    // The workbook is written under a hidden name and takes its own only when
    // it is whole: a run stopped or killed while the file is being packed
    // leaves no half workbook under the name the user is shown.
    const QString scrittura = QDir(cartella).filePath(QLatin1Char('.') + QFileInfo(percorso).fileName() + QStringLiteral(".parziale"));
    const QByteArray file = QFile::encodeName(scrittura);
    const QByteArray cartellaTemp = QFile::encodeName(cartella);
    lxw_workbook_options opzioni{};
    opzioni.constant_memory = LXW_TRUE;
    opzioni.tmpdir = const_cast<char*>(cartellaTemp.constData());
    lxw_workbook* wb = workbook_new_opt(file.constData(), &opzioni);
    if (!wb)
        throw ErroreEsportazione(QStringLiteral("Non riesco a creare il foglio di lavoro %1.").arg(QDir::toNativeSeparators(percorso)));
    // Until the workbook is closed nothing is on disk: a failure frees it
    // without writing the file.
    auto rinuncia = [&](const QString& testo) {
        lxw_workbook_free(wb);
        QFile::remove(scrittura);
        throw ErroreEsportazione(testo);
    };
    const QByteArray nome = nomeFoglio.toUtf8();
    const lxw_error valido = workbook_validate_sheet_name(wb, nome.constData());
    if (valido != LXW_NO_ERROR)
        rinuncia(QStringLiteral("Il nome del foglio di lavoro \"%1\" non è accettato: %2.").arg(nomeFoglio, CausaNomeFoglio(valido)));
    lxw_worksheet* ws = workbook_add_worksheet(wb, nome.constData());
    if (!ws) rinuncia(QStringLiteral("Il nome del foglio di lavoro \"%1\" non è accettato.").arg(nomeFoglio));
    lxw_format* grassetto = workbook_add_format(wb);
    format_set_bold(grassetto);
    lxw_format* formatoData = workbook_add_format(wb);
    format_set_num_format(formatoData, "dd/mm/yyyy");

    const int n = static_cast<int>(colonne.size());
    // A refused cell ends the writing: what is written so far is closed
    // under a name that says it is incomplete, and the error carries it.
    auto erroreCella = [&](lxw_error e, qint64 riga, int colonna) {
        const lxw_error chiusura = workbook_close(wb);
        const QString incompleto = NuovoFile(cartella, nomeFoglio + QStringLiteral("-incompleto"));
        if (chiusura != LXW_NO_ERROR || !QFile::rename(scrittura, incompleto)) {
            QFile::remove(scrittura);
            throw ErroreEsportazione(QStringLiteral("Esportazione dati su Tabella Excel Interrotta: alla riga %1, "
                                                    "colonna %2 (%3) %4; il foglio di lavoro non è stato scritto.")
                                         .arg(riga + 1)
                                         .arg(colonna + 1)
                                         .arg(colonne[colonna].nome, CausaCella(e)));
        }
        throw ErroreCellaFoglio(CausaCella(e), riga + 1, colonna + 1, colonne[colonna].nome, incompleto);
    };
    for (int i = 0; i < n; ++i) {
        worksheet_set_column(ws, static_cast<lxw_col_t>(i), static_cast<lxw_col_t>(i), qBound(1, colonne[i].larghezza, 50), nullptr);
        const QByteArray t = colonne[i].nome.toUtf8();
        const lxw_error e = worksheet_write_string(ws, 0, static_cast<lxw_col_t>(i), t.constData(), grassetto);
        if (e != LXW_NO_ERROR) erroreCella(e, 0, i);
    }
    qint64 righe = 0;
    QByteArray testo;
    // A failed or stopped read frees the workbook and leaves no file.
    auto prossima = [&] {
        try {
            return leggi();
        } catch (...) {
            lxw_workbook_free(wb);
            QFile::remove(scrittura);
            throw;
        }
    };
    while (prossima()) {
        if (righe >= RigheMassimeFoglio)
            rinuncia(QStringLiteral("Il risultato ha più di %1 righe, quante un foglio di lavoro ne può contenere: "
                                    "restringere la condizione o esportare in formato testo.")
                         .arg(LocaleItaliano().toString(RigheMassimeFoglio)));
        const lxw_row_t riga = static_cast<lxw_row_t>(righe + 2);
        for (int i = 0; i < n; ++i) {
            const QVariant v = valore(i);
            if (v.isNull()) continue;
            const lxw_col_t col = static_cast<lxw_col_t>(i);
            lxw_error e = LXW_NO_ERROR;
            switch (v.typeId()) {
            case QMetaType::LongLong:
            case QMetaType::Int: e = worksheet_write_number(ws, riga, col, static_cast<double>(v.toLongLong()), nullptr); break;
            case QMetaType::Double: e = worksheet_write_number(ws, riga, col, v.toDouble(), nullptr); break;
            case QMetaType::Bool: e = worksheet_write_boolean(ws, riga, col, v.toBool(), nullptr); break;
            case QMetaType::QDate: {
                const QDate d = v.toDate();
                if (d.year() >= 1900) {
                    lxw_datetime dt{d.year(), d.month(), d.day(), 0, 0, 0.0};
                    e = worksheet_write_datetime(ws, riga, col, &dt, formatoData);
                } else {
                    // The spreadsheet has no dates before 1900: the date as text.
                    testo = d.toString(QStringLiteral("dd/MM/yyyy")).toUtf8();
                    e = worksheet_write_string(ws, riga, col, testo.constData(), nullptr);
                }
                break;
            }
            default:
                testo = v.toString().toUtf8();
                e = worksheet_write_string(ws, riga, col, testo.constData(), nullptr);
            }
            if (e != LXW_NO_ERROR) erroreCella(e, riga, i);
        }
        ++righe;
        if (avanzamento && righe % 1000 == 0) avanzamento(righe);
    }
    const lxw_error chiusura = workbook_close(wb);
    if (chiusura != LXW_NO_ERROR || !QFile::rename(scrittura, percorso)) {
        QFile::remove(scrittura);
        throw ErroreEsportazione(QStringLiteral("Non riesco a scrivere il foglio di lavoro %1: %2.")
                                     .arg(QDir::toNativeSeparators(percorso),
                                          chiusura != LXW_NO_ERROR ? QString::fromUtf8(lxw_strerror(chiusura))
                                                                   : QStringLiteral("impossibile dare il nome al file")));
    }
    if (avanzamento) avanzamento(righe);
    return percorso;
}
