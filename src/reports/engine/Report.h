#pragma once
// The banded report engine. A report is an A4 portrait page with 10 mm
// margins and one column, and up to five bands, printed in this order:
//   title           once, at the top of page 1;
//   column header   at the top of every page (below the title on page 1);
//   detail          once per dataset row, in dataset order;
//   child           right after each printed detail band (optional);
//   summary         once, after the last row (optional).
// A band holds controls: static labels, data texts bound to a field, the page
// number, today's date and shapes. Generation runs the report's hook, then
// lays the bands out once into a list of pages of positioned texts and shapes
// (TDocumentoReport); the preview, printing and PDF output paint that list.
//
// Hooks: the report hook runs before any band (reports reset totals, open
// their query and set font sizes there); a band's hook runs before each print
// of the band with a flag it may clear to skip it, and may change the band's
// height or visibility and the captions of labels; a control's print hook
// receives the text about to print, when it is not empty, and may replace it.
// Whatever a hook throws ends the generation and reaches the caller.
//
// Measures are millimetres; a control's area is relative to its band's top
// left corner inside the margins.

#include "reports/engine/DatiReport.h"

#include <QByteArray>
#include <QFont>
#include <QHash>
#include <QRectF>
#include <QString>
#include <QVector>
#include <functional>
#include <memory>
#include <vector>

class QPainter;
class QPagedPaintDevice;

namespace Pagina {
inline constexpr double Larghezza = 210.0;  // A4
inline constexpr double Altezza = 297.0;
inline constexpr double Margine = 10.0;
inline constexpr double LarghezzaUtile = Larghezza - 2 * Margine;
inline constexpr double AltezzaUtile = Altezza - 2 * Margine;
}  // namespace Pagina

enum class TTipoBanda : quint8 { Titolo, IntestazioneColonne, Dettaglio, Figlia, Riepilogo };
enum class TTipoControllo : quint8 { Etichetta, CampoDati, NumeroPagina, DataCorrente, Forma };
enum class TTipoForma : quint8 { Rettangolo, LineaOrizzontale, LineaVerticale };

QString NomeBanda(TTipoBanda tipo);

class TControllo {
public:
    TControllo(TTipoControllo tipo, const QString& nome, const QRectF& area);

    TTipoControllo tipo() const { return m_tipo; }
    QString nome() const { return m_nome; }

    // The caption of a label; the text before the page number or the date.
    QString testo;
    // The field a data text prints.
    QString campo;
    QRectF area;
    QFont font;
    Qt::Alignment allineamento = Qt::AlignLeft | Qt::AlignVCenter;
    bool visibile = true;
    TTipoForma forma = TTipoForma::Rettangolo;
    double spessore = 0.2;  // pen width of a shape, mm

    // Receives the text about to print (never an empty one) and may change it.
    std::function<void(QString& testo)> allaStampa;

    void impostaDimensioneFont(double punti) { font.setPointSizeF(punti); }
    double dimensioneFont() const { return font.pointSizeF(); }
    // A shape's size; a zero width or height hides it.
    void impostaDimensioni(double larghezza, double altezza);
    TControllo& grassetto(bool si = true) { font.setBold(si); return *this; }
    TControllo& allinea(Qt::Alignment a) { allineamento = a; return *this; }
    TControllo& dimensione(double punti) { impostaDimensioneFont(punti); return *this; }

private:
    TTipoControllo m_tipo;
    QString m_nome;
};

class TBanda {
public:
    TBanda(TTipoBanda tipo, double altezza, const QFont& font);

    TTipoBanda tipo() const { return m_tipo; }
    double altezza = 0;   // mm; a band of height 0 takes no place and prints nothing
    bool visibile = true; // a hidden band neither prints nor runs its hook

    // Runs before each print of the band; clearing the flag skips it this time.
    std::function<void(bool& stampa)> primaDiStampare;

    void impostaAltezza(double mm) { altezza = mm; }
    void impostaVisibile(bool si) { visibile = si; }

    TControllo& etichetta(const QString& nome, const QRectF& area, const QString& testo);
    TControllo& campoDati(const QString& nome, const QRectF& area, const QString& campo);
    TControllo& numeroPagina(const QString& nome, const QRectF& area, const QString& prefisso = {});
    TControllo& dataCorrente(const QString& nome, const QRectF& area, const QString& prefisso = {});
    TControllo& forma(const QString& nome, const QRectF& area, TTipoForma forma = TTipoForma::Rettangolo);

    TControllo* controllo(const QString& nome) const;
    const std::vector<std::unique_ptr<TControllo>>& controlli() const { return m_controlli; }

private:
    TControllo& aggiungi(TTipoControllo tipo, const QString& nome, const QRectF& area);
    TTipoBanda m_tipo;
    QFont m_font;
    std::vector<std::unique_ptr<TControllo>> m_controlli;
};

// One positioned item of a laid-out page; its area is in millimetres from the
// paper's top left corner.
struct TElementoPagina {
    enum Tipo : quint8 { Testo, Rettangolo, Linea };
    Tipo tipo = Testo;
    TTipoBanda banda = TTipoBanda::Dettaglio;
    quint16 font = 0;          // index into TDocumentoReport::font
    int allineamento = 0;      // Qt::Alignment
    float spessore = 0;        // shapes: pen width, mm
    QRectF area;
    QString testo;
    QString nome;              // the control it comes from
};

struct TPaginaReport {
    QVector<TElementoPagina> elementi;
};

// The laid-out pages, kept compact: each page is stored as a compressed
// record of its elements (the parts they share with other elements of the
// same control, its font, its name, are stored once in a table), so that a
// report of any number of pages holds a few kilobytes per page. A page is
// decoded when it is read: to paint it, or for a test to read its texts.
class TElencoPagine {
public:
    int size() const { return static_cast<int>(m_pagine.size()); }
    bool isEmpty() const { return m_pagine.isEmpty(); }
    TPaginaReport operator[](int i) const;
    TPaginaReport last() const { return (*this)[size() - 1]; }
    void append(const TPaginaReport& pagina);
    void clear();
    // Bytes held by the stored pages.
    qint64 byte() const { return m_byte; }

    class const_iterator {
    public:
        const_iterator(const TElencoPagine* e, int i) : m_e(e), m_i(i) {}
        TPaginaReport operator*() const { return (*m_e)[m_i]; }
        const_iterator& operator++() { ++m_i; return *this; }
        bool operator!=(const const_iterator& o) const { return m_i != o.m_i; }
    private:
        const TElencoPagine* m_e;
        int m_i;
    };
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, size()}; }

private:
    // What an element shares with the other elements of its control.
    struct Modello {
        quint8 tipo;
        quint8 banda;
        quint16 font;
        qint32 allineamento;
        float spessore;
        double x, larghezza, altezza;
        QString nome;
        bool operator==(const Modello&) const = default;
    };
    friend size_t qHash(const Modello& m, size_t seme) {
        return qHashMulti(seme, m.tipo, m.banda, m.font, m.allineamento, m.x, m.larghezza, m.altezza, m.nome);
    }
    QVector<QByteArray> m_pagine;
    QVector<Modello> m_modelli;
    QHash<Modello, quint32> m_indiceModelli;
    qint64 m_byte = 0;
};

struct TDocumentoReport {
    QString titoloLavoro;
    QVector<QFont> font;
    TElencoPagine pagine;

    int numeroPagine() const { return pagine.size(); }
    // The texts of a page (0-based) in print order, or of every page.
    QStringList testi(int pagina) const;
    QStringList tuttiITesti() const;
    // The elements printed by a control, page by page in order.
    QVector<TElementoPagina> elementiDi(const QString& nomeControllo) const;
    void svuota();
};

class TReport {
public:
    TReport();
    ~TReport();
    TReport(const TReport&) = delete;
    TReport& operator=(const TReport&) = delete;

    // Creates the band of that kind (one of each), or gives the existing one.
    TBanda& banda(TTipoBanda tipo, double altezza);
    TBanda* banda(TTipoBanda tipo) const;
    // A control of any band, or nullptr.
    TControllo* controllo(const QString& nome) const;

    // The dataset; not owned, read after the report hook.
    void impostaDati(TDatiReport* dati) { m_dati = dati; }
    TDatiReport* dati() const { return m_dati; }

    // The font every new control starts with.
    QFont fontBase;
    // The name a print job and a PDF carry.
    QString titoloLavoro;
    // Runs at the start of every generation, before any band.
    std::function<void()> primaDiGenerare;

    // Lays the report out; a hook's failure propagates and leaves no pages.
    const TDocumentoReport& genera();
    // The same layout in steps, for a caller that keeps its window running
    // between them. The start runs the report hook and lays out the title;
    // each step lays out rows until `pagine` more pages are finished (a page
    // counts once it is complete, so the document holds only finished
    // pages), and after the last row the summary; it answers true once the
    // report is complete. A failure propagates and leaves no pages, as in
    // genera(). Stopping keeps the pages finished so far and ends the run.
    void iniziaGenerazione();
    bool avanzaGenerazione(int pagine = 1);
    bool generazioneInCorso() const { return m_impaginatore != nullptr; }
    // The last step ended waiting for rows its dataset reads beside the
    // layout (TDatiQueryParallela): the caller may pause before the next.
    bool generazioneInAttesa() const;
    void interrompiGenerazione();
    const TDocumentoReport& documento() const { return m_documento; }
    // The page being laid out (1-based), for hooks.
    int paginaCorrente() const { return m_paginaCorrente; }

    // Generates the report and writes it as a PDF file.
    void salvaPdf(const QString& file);

private:
    class Impaginatore;
    std::unique_ptr<TBanda> m_bande[5];
    TDatiReport* m_dati = nullptr;
    TDocumentoReport m_documento;
    std::unique_ptr<Impaginatore> m_impaginatore;
    int m_paginaCorrente = 0;
};

