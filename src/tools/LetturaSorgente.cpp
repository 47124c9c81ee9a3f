#include "tools/LetturaSorgente.h"

#include "data/Convenzioni.h"
#include "data/engine/Valori.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QXmlStreamReader>

#include <orcus/csv_parser.hpp>
#include <orcus/orcus_ods.hpp>
#include <orcus/orcus_xlsx.hpp>
#include <orcus/spreadsheet/import_interface.hpp>

#include <zip.h>

#include <cmath>
#include <cstring>
#include <string>

namespace {

namespace ss = orcus::spreadsheet;

// Raised inside the library's callbacks to stop its reading.
struct Interruzione {};
struct TroppeRighe {};

QString Righe(int n) { return FormattaNumero(n, 0); }

QString TestoTroppeRighe() {
    return QStringLiteral("Il file contiene più di %1 righe di dati: dividerlo in file più piccoli e importarli uno "
                          "alla volta.")
        .arg(Righe(RigheMassimeImportazione));
}

// Takes the rows as they come (in any order for a workbook), drops the
// empty ones and splits off the header.
class TRaccolta {
public:
    explicit TRaccolta(TSorgente& s, const TOpzioniLettura& o, qint64 totale) : m_s(s), m_o(o), m_totale(totale) {}

    void cella(int riga, int colonna, TCella c) {
        if (riga != m_rigaCorrente) nuovaRiga(riga);
        if (colonna >= m_celle.size()) m_celle.resize(colonna + 1);
        m_celle[colonna] = std::move(c);
    }
    // A whole row at once.
    void riga(int riga, QVector<TCella>&& celle) {
        nuovaRiga(riga);
        m_celle = std::move(celle);
    }
    void nuovaRiga(int riga) {
        chiudiRiga();
        m_rigaCorrente = riga;
        if (++m_contate % 1000 == 0 && m_o.avanzamento && !m_o.avanzamento(m_contate, m_totale)) throw Interruzione();
    }
    void chiudiRiga() {
        if (m_rigaCorrente < 0) return;
        bool vuota = true;
        for (const TCella& c : m_celle)
            if (!c.vuota()) {
                vuota = false;
                break;
            }
        if (!vuota) {
            // Trailing empty cells say nothing about the row's width.
            while (!m_celle.isEmpty() && m_celle.last().vuota()) m_celle.removeLast();
            if (!m_intestazione) {
                m_intestazione = true;
                for (const TCella& c : m_celle) m_s.intestazioni << c.comeTesto().trimmed();
            } else {
                if (m_s.righe.size() >= RigheMassimeImportazione) throw TroppeRighe();
                m_s.righe.append(std::move(m_celle));
                m_s.numeriRiga.append(m_rigaCorrente + 1);
            }
        }
        m_celle = QVector<TCella>();
        m_rigaCorrente = -1;
    }

private:
    TSorgente& m_s;
    const TOpzioniLettura& m_o;
    qint64 m_totale;
    qint64 m_contate = 0;
    int m_rigaCorrente = -1;
    QVector<TCella> m_celle;
    bool m_intestazione = false;
};

// ---------------------------------------------------------------------------
// Workbooks: a factory of liborcus that keeps the cells of one sheet and
// nothing else (no styles, no formula engine).

class TStringheCondivise : public ss::iface::import_shared_strings {
public:
    std::vector<std::string> stringhe;
    // Each shared text converted once; the cells share it.
    std::vector<QString> convertite;
    const QString& testo(size_t i) {
        if (convertite.size() < stringhe.size()) convertite.resize(stringhe.size());
        QString& t = convertite[i];
        if (t.isNull()) t = QString::fromUtf8(stringhe[i].data(), qsizetype(stringhe[i].size()));
        if (t.isNull()) t = QLatin1String("");
        return t;
    }
    size_t append(std::string_view s) override {
        stringhe.emplace_back(s);
        return stringhe.size() - 1;
    }
    size_t add(std::string_view s) override { return append(s); }
    void set_segment_font(size_t) override {}
    void set_segment_bold(bool) override {}
    void set_segment_italic(bool) override {}
    void set_segment_font_name(std::string_view) override {}
    void set_segment_font_size(double) override {}
    void set_segment_font_color(ss::color_elem_t, ss::color_elem_t, ss::color_elem_t, ss::color_elem_t) override {}
    void append_segment(std::string_view s) override { m_segmenti.append(s); }
    size_t commit_segments() override {
        stringhe.push_back(std::move(m_segmenti));
        m_segmenti.clear();
        return stringhe.size() - 1;
    }

private:
    std::string m_segmenti;
};

class TImpostazioniGenerali : public ss::iface::import_global_settings {
public:
    QDate origine{1899, 12, 30};
    void set_origin_date(int anno, int mese, int giorno) override { origine = QDate(anno, mese, giorno); }
    void set_default_formula_grammar(ss::formula_grammar_t g) override { m_grammatica = g; }
    ss::formula_grammar_t get_default_formula_grammar() const override { return m_grammatica; }
    void set_character_set(orcus::character_set_t) override {}

private:
    ss::formula_grammar_t m_grammatica = ss::formula_grammar_t::unknown;
};

class TFoglio;

// A formula's stored result becomes the cell; the formula is never evaluated.
class TFormula : public ss::iface::import_formula {
public:
    explicit TFormula(TFoglio& f) : m_foglio(f) {}
    void set_position(ss::row_t r, ss::col_t c) override {
        m_riga = r;
        m_colonna = c;
        m_cella = TCella();
    }
    void set_formula(ss::formula_grammar_t, std::string_view) override {}
    void set_shared_formula_index(size_t) override {}
    void set_result_string(std::string_view v) override {
        m_cella.tipo = TTipoCella::Testo;
        m_cella.testo = QString::fromUtf8(v.data(), qsizetype(v.size()));
    }
    void set_result_value(double v) override {
        m_cella.tipo = TTipoCella::Numero;
        m_cella.numero = v;
    }
    void set_result_bool(bool v) override {
        m_cella.tipo = TTipoCella::Logico;
        m_cella.numero = v ? 1 : 0;
    }
    void set_result_empty() override { m_cella = TCella(); }
    void commit() override;

private:
    TFoglio& m_foglio;
    int m_riga = 0, m_colonna = 0;
    TCella m_cella;
};

class TFoglio : public ss::iface::import_sheet {
public:
    TFoglio(TStringheCondivise& s, TImpostazioniGenerali& g, bool tenuto)
        : m_stringhe(s), m_generali(g), m_tenuto(tenuto), m_formula(*this) {}

    // The sheet's rows by their index, whatever order the cells come in.
    std::vector<QVector<TCella>> righe;

    void metti(int r, int c, TCella cella) {
        if (!m_tenuto || r < 0 || c < 0) return;
        if (r >= RigheMassimeImportazione + 1000) throw TroppeRighe();
        if (size_t(r) >= righe.size()) {
            if (r % 1000 == 0 && m_controllo && !m_controllo(r)) throw Interruzione();
            righe.resize(size_t(r) + 1);
        }
        QVector<TCella>& riga = righe[size_t(r)];
        if (c >= riga.size()) riga.resize(c + 1);
        riga[c] = std::move(cella);
    }
    void impostaControllo(std::function<bool(int)> c) { m_controllo = std::move(c); }

    ss::iface::import_formula* get_formula() override { return m_tenuto ? &m_formula : nullptr; }
    void set_auto(ss::row_t r, ss::col_t c, std::string_view s) override {
        TCella x;
        x.tipo = TTipoCella::Testo;
        x.testo = QString::fromUtf8(s.data(), qsizetype(s.size()));
        metti(r, c, std::move(x));
    }
    void set_string(ss::row_t r, ss::col_t c, ss::string_id_t i) override {
        TCella x;
        x.tipo = TTipoCella::Testo;
        if (i < m_stringhe.stringhe.size()) x.testo = m_stringhe.testo(i);
        metti(r, c, std::move(x));
    }
    void set_value(ss::row_t r, ss::col_t c, double v) override {
        TCella x;
        x.tipo = TTipoCella::Numero;
        x.numero = v;
        metti(r, c, std::move(x));
    }
    void set_bool(ss::row_t r, ss::col_t c, bool v) override {
        TCella x;
        x.tipo = TTipoCella::Logico;
        x.numero = v ? 1 : 0;
        metti(r, c, std::move(x));
    }
    void set_date_time(ss::row_t r, ss::col_t c, int anno, int mese, int giorno, int, int, double) override {
        const QDate d(anno, mese, giorno);
        TCella x;
        if (d.isValid()) {
            x.tipo = TTipoCella::Data;
            x.numero = double(d.toJulianDay());
        }
        metti(r, c, std::move(x));
    }
    void set_format(ss::row_t, ss::col_t, size_t) override {}
    void set_format(ss::row_t, ss::col_t, ss::row_t, ss::col_t, size_t) override {}
    void fill_down_cells(ss::row_t r, ss::col_t c, ss::row_t n) override {
        if (!m_tenuto || r < 0 || size_t(r) >= righe.size() || c >= righe[size_t(r)].size()) return;
        const TCella copia = righe[size_t(r)][c];
        for (ss::row_t k = 1; k <= n; ++k) metti(r + k, c, copia);
    }
    ss::range_size_t get_sheet_size() const override { return {1048576, 16384}; }

private:
    TStringheCondivise& m_stringhe;
    TImpostazioniGenerali& m_generali;
    bool m_tenuto;
    TFormula m_formula;
    std::function<bool(int)> m_controllo;
    friend class TFormula;
};

void TFormula::commit() { m_foglio.metti(m_riga, m_colonna, m_cella); }

// Formula references are resolved only so that the reading goes on: the
// formulas themselves are never evaluated. "A1" notation, sheet names ignored.
class TRiferimenti : public ss::iface::import_reference_resolver {
public:
    ss::src_address_t resolve_address(std::string_view t) override {
        ss::src_address_t a{0, 0, 0};
        const size_t punto = t.rfind('!');
        if (punto != std::string_view::npos) t.remove_prefix(punto + 1);
        int colonna = 0, riga = 0;
        for (const char c : t) {
            if (c >= 'A' && c <= 'Z') colonna = colonna * 26 + (c - 'A' + 1);
            else if (c >= 'a' && c <= 'z') colonna = colonna * 26 + (c - 'a' + 1);
            else if (c >= '0' && c <= '9') riga = riga * 10 + (c - '0');
        }
        a.row = riga > 0 ? riga - 1 : 0;
        a.column = colonna > 0 ? colonna - 1 : 0;
        return a;
    }
    ss::src_range_t resolve_range(std::string_view t) override {
        const size_t due = t.find(':');
        if (due == std::string_view::npos) return {resolve_address(t), resolve_address(t)};
        return {resolve_address(t.substr(0, due)), resolve_address(t.substr(due + 1))};
    }
};

class TFabbrica : public ss::iface::import_factory {
public:
    explicit TFabbrica(int foglioScelto) : m_scelto(foglioScelto) {}
    QStringList nomi;
    std::vector<std::unique_ptr<TFoglio>> fogli;
    TStringheCondivise stringhe;
    TImpostazioniGenerali generali;
    TRiferimenti riferimenti;
    std::function<bool(int)> controllo;

    TFoglio* scelto() const { return m_scelto < int(fogli.size()) ? fogli[m_scelto].get() : nullptr; }

    ss::iface::import_global_settings* get_global_settings() override { return &generali; }
    ss::iface::import_shared_strings* get_shared_strings() override { return &stringhe; }
    ss::iface::import_reference_resolver* get_reference_resolver(ss::formula_ref_context_t) override { return &riferimenti; }
    ss::iface::import_sheet* append_sheet(ss::sheet_t indice, std::string_view nome) override {
        nomi << QString::fromUtf8(nome.data(), qsizetype(nome.size()));
        fogli.push_back(std::make_unique<TFoglio>(stringhe, generali, int(indice) == m_scelto));
        if (int(indice) == m_scelto) fogli.back()->impostaControllo(controllo);
        return fogli.back().get();
    }
    ss::iface::import_sheet* get_sheet(std::string_view nome) override {
        const int i = nomi.indexOf(QString::fromUtf8(nome.data(), qsizetype(nome.size())));
        return i < 0 ? nullptr : fogli[i].get();
    }
    ss::iface::import_sheet* get_sheet(ss::sheet_t indice) override {
        return indice >= 0 && indice < ss::sheet_t(fogli.size()) ? fogli[indice].get() : nullptr;
    }
    void finalize() override {}

private:
    int m_scelto;
};

// A part of a zip archive held in memory; empty when missing.
QByteArray ParteZip(zip_t* z, const char* nome) {
    zip_stat_t st;
    if (zip_stat(z, nome, 0, &st) != 0 || !(st.valid & ZIP_STAT_SIZE) || st.size > quint64(DimensioneMassimaImportazione) * 8)
        return {};
    zip_file_t* f = zip_fopen(z, nome, 0);
    if (!f) return {};
    QByteArray b(qsizetype(st.size), Qt::Uninitialized);
    const zip_int64_t letti = zip_fread(f, b.data(), st.size);
    zip_fclose(f);
    return letti == zip_int64_t(st.size) ? b : QByteArray();
}

// The cells of an .xlsx sheet written with inline strings (as a workbook
// written in constant-memory mode has them, our own export among them):
// the library passes them by, so they are read here from the sheet's XML.
void AggiungiTestiInLinea(const QByteArray& byte, int indice, TFoglio& foglio) {
    zip_error_t errore;
    zip_error_init(&errore);
    zip_source_t* sorgente = zip_source_buffer_create(byte.constData(), zip_uint64_t(byte.size()), 0, &errore);
    if (!sorgente) return;
    zip_t* z = zip_open_from_source(sorgente, ZIP_RDONLY, &errore);
    if (!z) {
        zip_source_free(sorgente);
        return;
    }
    // The sheet's relation id in the workbook, then its part.
    QString id;
    {
        QXmlStreamReader x(ParteZip(z, "xl/workbook.xml"));
        int n = 0;
        while (!x.atEnd() && id.isEmpty()) {
            x.readNext();
            if (!x.isStartElement() || x.name() != QLatin1String("sheet")) continue;
            if (n++ != indice) continue;
            for (const QXmlStreamAttribute& a : x.attributes())
                if (a.name() == QLatin1String("id")) id = a.value().toString();
        }
    }
    QString parte;
    {
        QXmlStreamReader x(ParteZip(z, "xl/_rels/workbook.xml.rels"));
        while (!x.atEnd()) {
            x.readNext();
            if (x.isStartElement() && x.name() == QLatin1String("Relationship") &&
                x.attributes().value(QLatin1String("Id")) == id)
                parte = x.attributes().value(QLatin1String("Target")).toString();
        }
    }
    if (!id.isEmpty() && !parte.isEmpty()) {
        parte = parte.startsWith(QLatin1Char('/')) ? parte.mid(1) : QStringLiteral("xl/") + parte;
        const QByteArray xml = ParteZip(z, parte.toUtf8().constData());
        if (xml.contains("inlineStr")) {
            QXmlStreamReader x(xml);
            while (!x.atEnd()) {
                x.readNext();
                if (!x.isStartElement() || x.name() != QLatin1String("c") ||
                    x.attributes().value(QLatin1String("t")) != QLatin1String("inlineStr"))
                    continue;
                const QString rif = x.attributes().value(QLatin1String("r")).toString();
                QString testo;
                int livello = 1;
                bool dentroT = false;
                while (livello > 0 && !x.atEnd()) {
                    x.readNext();
                    if (x.isStartElement()) {
                        ++livello;
                        dentroT = x.name() == QLatin1String("t");
                    } else if (x.isEndElement()) {
                        --livello;
                        dentroT = false;
                    } else if (x.isCharacters() && dentroT) {
                        testo += x.text();
                    }
                }
                int colonna = 0, riga = 0;
                for (const QChar c : rif) {
                    if (c.isLetter()) colonna = colonna * 26 + (c.toUpper().unicode() - 'A' + 1);
                    else if (c.isDigit()) riga = riga * 10 + c.digitValue();
                }
                if (riga < 1 || colonna < 1) continue;
                TCella cella;
                cella.tipo = TTipoCella::Testo;
                cella.testo = testo;
                foglio.metti(riga - 1, colonna - 1, std::move(cella));
            }
        }
    }
    zip_close(z);
}

void LeggiFoglio(const QByteArray& byte, TFormatoSorgente formato, const TOpzioniLettura& o, TSorgente& s) {
    TFabbrica f(o.foglio);
    f.controllo = [&](int riga) { return !o.avanzamento || o.avanzamento(riga, 0); };
    const std::string_view flusso(byte.constData(), size_t(byte.size()));
    const QString tipo = formato == TFormatoSorgente::Xlsx ? QStringLiteral(".xlsx") : QStringLiteral(".ods");
    try {
        if (formato == TFormatoSorgente::Xlsx) {
            orcus::orcus_xlsx lettore(&f);
            lettore.read_stream(flusso);
            if (TFoglio* scelto = f.scelto()) AggiungiTestiInLinea(byte, o.foglio, *scelto);
        } else {
            orcus::orcus_ods lettore(&f);
            lettore.read_stream(flusso);
        }
    } catch (const Interruzione&) {
        s.interrotta = true;
        return;
    } catch (const TroppeRighe&) {
        s.errore = TestoTroppeRighe();
        return;
    } catch (const std::exception& e) {
        s.errore = QStringLiteral("Il foglio di lavoro %1 è danneggiato o incompleto e non può essere letto (%2).")
                       .arg(tipo, QString::fromUtf8(e.what()).left(200));
        return;
    }
    s.fogli = f.nomi;
    s.foglio = o.foglio;
    TFoglio* foglio = f.scelto();
    if (!foglio) {
        s.errore = f.nomi.isEmpty() ? QStringLiteral("Il foglio di lavoro non contiene fogli.")
                                    : QStringLiteral("Il foglio di lavoro non ha un foglio numero %1.").arg(o.foglio + 1);
        return;
    }
    TRaccolta r(s, o, qint64(foglio->righe.size()));
    try {
        for (size_t i = 0; i < foglio->righe.size(); ++i) {
            QVector<TCella>& riga = foglio->righe[i];
            if (riga.isEmpty()) continue;
            r.riga(int(i), std::move(riga));
        }
        r.chiudiRiga();
    } catch (const Interruzione&) {
        s.interrotta = true;
    } catch (const TroppeRighe&) {
        s.errore = TestoTroppeRighe();
    }
}

// ---------------------------------------------------------------------------
// CSV

class TGestoreCsv {
public:
    TGestoreCsv(TRaccolta& r) : m_r(r) {}
    void begin_parse() {}
    void end_parse() { m_r.chiudiRiga(); }
    // A row starts on the line after the last line of the one before: a
    // quoted cell may hold line ends.
    void begin_row() {
        m_linea += m_aCapo + 1;
        m_aCapo = 0;
        m_r.nuovaRiga(m_linea);
        m_colonna = 0;
    }
    void end_row() {}
    void cell(const char* p, size_t n, bool) {
        TCella c;
        if (n > 0) {
            c.tipo = TTipoCella::Testo;
            c.testo = QString::fromUtf8(p, qsizetype(n));
            m_aCapo += int(c.testo.count(QLatin1Char('\n')));
        }
        m_r.cella(m_linea, m_colonna++, std::move(c));
    }

private:
    TRaccolta& m_r;
    int m_linea = -1;
    int m_aCapo = 0;
    int m_colonna = 0;
};

// The line of a byte offset, from 1.
int LineaDi(const QByteArray& b, qsizetype pos) { return int(b.left(pos).count('\n')) + 1; }

void LeggiCsv(QByteArray byte, const TOpzioniLettura& o, TSorgente& s) {
    s.formato = TFormatoSorgente::Csv;
    const qsizetype nul = byte.indexOf('\0');
    if (nul >= 0) {
        s.errore = QStringLiteral("Il file contiene caratteri nulli (riga %1): non è un file di testo CSV.")
                       .arg(LineaDi(byte, nul));
        return;
    }
    bool bom = byte.startsWith("\xEF\xBB\xBF");
    if (bom) byte.remove(0, 3);
    TCodifica codifica = o.codifica;
    QString testo;
    const auto utf8 = [&](QString* t) {
        QStringDecoder d(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        *t = d.decode(byte);
        return !d.hasError();
    };
    if (codifica == TCodifica::Automatica) {
        if (utf8(&testo)) codifica = TCodifica::Utf8;
        else if (bom) {
            s.errore = QStringLiteral("Il file dichiara la codifica UTF-8 ma contiene sequenze non valide: "
                                      "salvarlo di nuovo come CSV UTF-8 dal foglio di calcolo.");
            return;
        } else {
            codifica = TCodifica::Windows1252;
            testo = DaWindows1252(byte);
        }
    } else if (codifica == TCodifica::Utf8) {
        if (!utf8(&testo)) {
            s.errore = QStringLiteral("Il file contiene sequenze non valide in UTF-8: scegliere la codifica "
                                      "Windows-1252 o salvarlo di nuovo come CSV UTF-8.");
            return;
        }
    } else {
        testo = DaWindows1252(byte);
    }
    s.codifica = codifica;
    if (codifica != TCodifica::Utf8) byte = testo.toUtf8();
    testo.clear();
    // Line ends of Windows become plain ones, inside quoted cells too.
    byte.replace("\r\n", "\n");
    const qsizetype fine = byte.indexOf('\n');
    s.separatore = o.separatore.isNull() ? TrovaSeparatore(QString::fromUtf8(byte.left(fine < 0 ? byte.size() : fine)))
                                         : o.separatore;
    orcus::csv::parser_config cfg;
    cfg.delimiters = std::string(1, char(s.separatore.toLatin1()));
    cfg.text_qualifier = '"';
    cfg.trim_cell_value = false;
    TRaccolta r(s, o, qint64(byte.count('\n')) + 1);
    TGestoreCsv g(r);
    orcus::csv_parser<TGestoreCsv> p(byte.constData(), size_t(byte.size()), g, cfg);
    try {
        p.parse();
    } catch (const Interruzione&) {
        s.interrotta = true;
    } catch (const TroppeRighe&) {
        s.errore = TestoTroppeRighe();
    } catch (const std::exception& e) {
        s.errore = QStringLiteral("Il file CSV non è leggibile (%1).").arg(QString::fromUtf8(e.what()));
    }
}

bool Inizia(const QByteArray& b, const char* firma) { return b.startsWith(QByteArray(firma)); }

}  // namespace

QString TCella::comeTesto() const {
    switch (tipo) {
    case TTipoCella::Vuota: return QString();
    case TTipoCella::Testo: return testo;
    case TTipoCella::Numero: return TestoNumeroGenerale(numero);
    case TTipoCella::Data: return QDate::fromJulianDay(qint64(numero)).toString(FormatoData);
    case TTipoCella::Logico: return numero != 0 ? QStringLiteral("Vero") : QStringLiteral("Falso");
    }
    return QString();
}

QString NomeCodifica(TCodifica c) {
    switch (c) {
    case TCodifica::Automatica: return QStringLiteral("Automatica");
    case TCodifica::Utf8: return QStringLiteral("UTF-8");
    case TCodifica::Windows1252: return QStringLiteral("Windows-1252");
    }
    return QString();
}

QString DaWindows1252(const QByteArray& byte) {
    // 0x80-0x9F; the five bytes the code page leaves free keep their code.
    static const char16_t alti[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                      0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    QString t(byte.size(), Qt::Uninitialized);
    QChar* d = t.data();
    for (qsizetype i = 0; i < byte.size(); ++i) {
        const uchar c = uchar(byte[i]);
        d[i] = (c >= 0x80 && c < 0xA0) ? QChar(alti[c - 0x80]) : QChar(c);
    }
    return t;
}

QChar TrovaSeparatore(const QString& primaRiga) {
    int conta[3] = {0, 0, 0};
    const QChar candidati[3] = {QLatin1Char(';'), QLatin1Char('\t'), QLatin1Char(',')};
    bool virgolette = false;
    for (const QChar c : primaRiga) {
        if (c == QLatin1Char('"')) virgolette = !virgolette;
        if (virgolette) continue;
        for (int i = 0; i < 3; ++i)
            if (c == candidati[i]) ++conta[i];
    }
    int migliore = 0;
    for (int i = 1; i < 3; ++i)
        if (conta[i] > conta[migliore]) migliore = i;
    return candidati[migliore];
}

bool LeggiNumeroItaliano(const QString& testo, double* valore) {
    QStringView t = QStringView(testo).trimmed();
    if (t.endsWith(QChar(0x20AC))) t.chop(1);
    if (t.startsWith(QChar(0x20AC))) t = t.mid(1);
    t = t.trimmed();
    // Read by hand, not by a pattern: this runs for every number of a file.
    QByteArray cifre;
    cifre.reserve(t.size() + 1);
    qsizetype i = 0;
    if (i < t.size() && t[i] == QLatin1Char('-')) {
        cifre += '-';
        ++i;
    }
    int intere = 0, gruppo = -1;  // gruppo: digits since the last thousands point
    for (; i < t.size() && t[i] != QLatin1Char(','); ++i) {
        const QChar c = t[i];
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            cifre += char(c.unicode());
            ++intere;
            if (gruppo >= 0) ++gruppo;
        } else if (c == QLatin1Char('.')) {
            if (intere == 0 || (gruppo < 0 && intere > 3) || (gruppo >= 0 && gruppo != 3)) return false;
            gruppo = 0;
        } else {
            return false;
        }
    }
    if (intere == 0 || (gruppo >= 0 && gruppo != 3)) return false;
    if (i < t.size()) {
        cifre += '.';
        int decimali = 0;
        for (++i; i < t.size(); ++i) {
            const QChar c = t[i];
            if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
            cifre += char(c.unicode());
            ++decimali;
        }
        if (decimali == 0) return false;
    }
    bool ok = false;
    const double v = cifre.toDouble(&ok);
    if (!ok || !std::isfinite(v)) return false;
    if (valore) *valore = v;
    return true;
}

QDate LeggiDataItaliana(const QString& testo) {
    const QString t = testo.trimmed();
    static const QRegularExpression it(QStringLiteral("^(\\d{1,2})/(\\d{1,2})/(\\d{4})$"));
    static const QRegularExpression iso(QStringLiteral("^(\\d{4})-(\\d{2})-(\\d{2})$"));
    QRegularExpressionMatch m = it.match(t);
    if (m.hasMatch()) return QDate(m.captured(3).toInt(), m.captured(2).toInt(), m.captured(1).toInt());
    m = iso.match(t);
    if (m.hasMatch()) return QDate(m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt());
    return QDate();
}

QDate DataDaSeriale(double seriale) {
    if (!std::isfinite(seriale) || seriale < 1 || seriale > 2958465) return QDate();
    return QDate(1899, 12, 30).addDays(qint64(std::floor(seriale)));
}

TSorgente LeggiSorgente(const QString& percorso, const TOpzioniLettura& o) {
    TSorgente s;
    const QFileInfo info(percorso);
    if (!info.exists() || !info.isFile()) {
        s.errore = QStringLiteral("Il file %1 non esiste.").arg(QDir::toNativeSeparators(percorso));
        return s;
    }
    if (info.size() == 0) {
        s.errore = QStringLiteral("Il file è vuoto: non c'è nulla da importare.");
        return s;
    }
    if (info.size() > DimensioneMassimaImportazione) {
        s.errore = QStringLiteral("Il file è di %1 MB, oltre il massimo di %2 MB che l'importazione accetta: "
                                  "dividerlo in file più piccoli.")
                       .arg(FormattaNumero(double(info.size()) / (1024 * 1024), 0),
                            FormattaNumero(double(DimensioneMassimaImportazione) / (1024 * 1024), 0));
        return s;
    }
    QFile f(percorso);
    if (!f.open(QIODevice::ReadOnly)) {
        s.errore = QStringLiteral("Impossibile leggere il file %1: %2").arg(QDir::toNativeSeparators(percorso), f.errorString());
        return s;
    }
    QByteArray byte = f.readAll();
    f.close();
    const QString estensione = info.suffix().toLower();
    const bool zip = Inizia(byte, "PK\x03\x04");
    const auto rifiuta = [&](const QString& atteso) {
        QString cosa;
        if (Inizia(byte, "%PDF")) cosa = QStringLiteral(" (è un documento PDF)");
        else if (Inizia(byte, "\xD0\xCF\x11\xE0")) cosa = QStringLiteral(" (è un file nel vecchio formato .xls: salvarlo come .xlsx)");
        s.errore = QStringLiteral("Il file %1 non è %2%3.").arg(info.fileName(), atteso, cosa);
    };
    if (estensione == QLatin1String("xlsx") || estensione == QLatin1String("xlsm")) {
        if (!zip) return rifiuta(QStringLiteral("un foglio di lavoro .xlsx")), s;
        s.formato = TFormatoSorgente::Xlsx;
        LeggiFoglio(byte, s.formato, o, s);
    } else if (estensione == QLatin1String("ods")) {
        if (!zip) return rifiuta(QStringLiteral("un foglio di calcolo .ods")), s;
        s.formato = TFormatoSorgente::Ods;
        LeggiFoglio(byte, s.formato, o, s);
    } else {
        if (zip || Inizia(byte, "%PDF") || Inizia(byte, "\xD0\xCF\x11\xE0"))
            return rifiuta(QStringLiteral("un file di testo CSV")), s;
        LeggiCsv(std::move(byte), o, s);
    }
    if (s.valida() && s.intestazioni.isEmpty())
        s.errore = QStringLiteral("Il file non contiene righe: non c'è nulla da importare.");
    else if (s.valida() && s.righe.isEmpty())
        s.errore = QStringLiteral("Il file contiene solo l'intestazione: non ci sono righe da importare.");
    return s;
}
