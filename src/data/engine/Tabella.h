#pragma once
// The record cursor the windows bind their boxes to: a table (optionally
// filtered and ordered, which is how a "live" query over one table is opened),
// browsed record by record in key order, edited, inserted into, posted,
// cancelled, deleted. Only the keys of the visible records are held; the
// current record is read when the cursor reaches it.

#include "data/engine/Archivio.h"

#include <QDate>
#include <functional>
#include <memory>

// Raised by a "before" hook to abandon the operation without a message.
class InterrompiOperazione : public std::exception {
public:
    const char* what() const noexcept override { return "operazione interrotta"; }
};

// The field values of one record, with the typed readers the windows use:
// an empty field reads as 0, the empty text, an invalid date or false.
class TRecord {
public:
    TRecord() = default;
    explicit TRecord(const QVector<TDefCampo>& campi);

    const QVector<TDefCampo>& campi() const { return m_campi; }
    int indice(const QString& nome) const;       // -1 when missing
    bool haCampo(const QString& nome) const { return indice(nome) >= 0; }

    QVariant valore(const QString& nome) const;  // typed value, null when empty
    bool nullo(const QString& nome) const;
    int intero(const QString& nome) const;
    double reale(const QString& nome) const;
    QString testo(const QString& nome) const;
    QDate data(const QString& nome) const;
    bool booleano(const QString& nome) const;
    // The field's value as text for logs and messages ("10", "True", dd/MM/yyyy).
    QString comeTesto(const QString& nome) const;

    // Converts the value to the field's type (an error when it does not fit).
    void imposta(const QString& nome, const QVariant& valore);
    void impostaGrezzo(int i, const QVariant& tipizzato) { m_valori[i] = tipizzato; }
    const QVariant& valoreA(int i) const { return m_valori[i]; }
    void svuota();

private:
    int richiedi(const QString& nome) const;
    QVector<TDefCampo> m_campi;
    QVector<QVariant> m_valori;
};

class TTabella {
public:
    enum class Stato { Chiusa, Consultazione, Modifica, Inserimento };

    TTabella(TArchivio& archivio, const QString& nomeTabella);
    ~TTabella();
    TTabella(const TTabella&) = delete;
    TTabella& operator=(const TTabella&) = delete;

    QString nomeTabella() const { return m_nome; }
    // Restricts and orders the records: a WHERE fragment with bound values and
    // an ORDER BY list of field names. Both apply at the next open or refresh.
    void impostaFiltro(const QString& condizione, const QVariantList& parametri = {});
    void impostaOrdine(const QString& ordine);

    void apri();
    void chiudi();
    bool aperta() const { return m_stato != Stato::Chiusa; }
    Stato stato() const { return m_stato; }
    bool inModifica() const { return m_stato == Stato::Modifica || m_stato == Stato::Inserimento; }

    int conteggio() const { return static_cast<int>(m_chiavi.size()); }
    bool vuota() const { return m_chiavi.isEmpty(); }
    int numeroRecord() const { return m_posizione + 1; }  // 1-based; 0 when empty
    void vaiA(int numero);                                 // 1-based
    void primo();
    void ultimo();
    void successivo();
    void precedente();
    bool inizio() const { return m_bof; }
    bool fine() const { return m_eof; }
    // Moves to the first record whose field equals the value; false when none.
    bool trova(const QString& campo, const QVariant& valore);
    // Reads the records again, staying on the current one when it still exists.
    void aggiorna();
    qint64 chiaveCorrente() const;

    const TRecord& record() const { return m_record; }
    const QVector<TDefCampo>& campi() const { return m_struttura.campi; }
    const TStrutturaTabella& struttura() const { return m_struttura; }
    QVariant valore(const QString& n) const { return m_record.valore(n); }
    int intero(const QString& n) const { return m_record.intero(n); }
    double reale(const QString& n) const { return m_record.reale(n); }
    QString testo(const QString& n) const { return m_record.testo(n); }
    QDate data(const QString& n) const { return m_record.data(n); }
    bool booleano(const QString& n) const { return m_record.booleano(n); }
    bool nullo(const QString& n) const { return m_record.nullo(n); }
    // Writing a field needs the edit or insert state.
    void imposta(const QString& nome, const QVariant& valore);

    // For bulk appends: a posted new record goes to the end of the cursor
    // without reading the keys again.
    void impostaAccodamento(bool accoda) { m_accoda = accoda; }

    void inserisci();  // appends a new empty record being inserted
    void modifica();
    void registra();   // post
    void annulla();    // cancel
    void elimina();    // delete the current record

    // Hooks; a "before" hook raises InterrompiOperazione to abandon.
    std::function<void()> dopoInserimento;
    std::function<void()> primaDiRegistrare;
    std::function<void()> dopoRegistrazione;
    std::function<void()> primaDiEliminare;
    std::function<void()> dopoEliminazione;
    std::function<void()> dopoScorrimento;
    // Called when the edit state changes, so that bound buttons follow.
    std::function<void()> cambioStato;

private:
    void caricaChiavi();
    void leggiCorrente();
    void posiziona(int indice, bool notifica = true);
    void controllaAperta() const;
    void impostaStato(Stato s);
    QString sqlChiavi(const QString& altraCondizione = {}) const;

    TArchivio& m_archivio;
    QString m_nome;
    QString m_qualificato;
    QString m_condizione;
    QVariantList m_parametri;
    QString m_ordine;
    TStrutturaTabella m_struttura;
    QString m_ordineChiave;  // key order: the primary index fields, else rowid
    QString m_campoRowid;    // the integer key that is SQLite's row number, if any
    QVector<qint64> m_chiavi;
    int m_posizione = -1;
    bool m_bof = true, m_eof = true;
    Stato m_stato = Stato::Chiusa;
    TRecord m_record;
    TRecord m_salvato;        // the record as it was before an edit
    int m_posizionePrima = -1;
    bool m_accoda = false;
    std::unique_ptr<QSqlQuery> m_inserimento;  // prepared once per open
};
