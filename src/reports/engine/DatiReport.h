#pragma once
// The dataset a report prints: a cursor over rows whose fields are read by
// name. A report never owns the query it is bound to; the adapters below wrap
// a grid's list or a query of some window, a record cursor, or rows held in
// memory.

#include "data/ElencoRighe.h"
#include "data/engine/Archivio.h"

#include <QHash>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>
#include <QVector>

class TTabella;

class TDatiReport {
public:
    virtual ~TDatiReport() = default;
    // Goes to the first row; the report calls it after its before-print hook,
    // so the hook may replace or open the query first.
    virtual void primo() = 0;
    virtual bool fine() const = 0;
    virtual void successivo() = 0;
    // The column of a field (letter case ignored), -1 when missing.
    virtual int indice(const QString& campo) const = 0;
    // The typed value of a column on the current row; null when empty.
    virtual QVariant valoreA(int indice) const = 0;

    // A dataset read beside the layout (TDatiQueryParallela) may not hold its
    // current row yet: pronto() answers false then, without waiting, and the
    // layout stops its step there; attendi() waits for it. fine() and the
    // values wait by themselves. A failure of the reading is raised by
    // pronto() and attendi(). The others always hold their row.
    virtual bool pronto() { return true; }
    virtual void attendi() {}
    // The layout was stopped: a dataset read beside it stops reading.
    virtual void interrompi() {}

    // The value of a named field; an error when the dataset has no such field.
    QVariant valore(const QString& campo) const;
};

// The text a data text prints for a value: dates dd/MM/yyyy, whole numbers as
// digits, other numbers in general form (up to 15 significant digits) with a
// comma and no grouping, booleans "True" / "False", texts as stored.
QString TestoVisualizzato(const QVariant& valore);

// Gives stored SQLite values their field's type (an ISO text becomes a date,
// 0/1 of a BOOLEAN becomes a bool) for the fields it knows; others stay raw.
class TTipizzatore {
public:
    void impostaCampi(const QVector<TDefCampo>& campi);
    QVariant tipizza(const QString& nomeColonna, const QVariant& grezzo) const;
    // For the adapters: the field of a column name, or nullptr.
    const TDefCampo* campo(const QString& nomeColonna) const;

private:
    QHash<QString, TDefCampo> m_campi;  // by upper-case name
};

// The list of another window's grid, bound when the report is generated.
class TDatiModello : public TDatiReport {
public:
    explicit TDatiModello(const QVector<TDefCampo>& campi = {});
    void impostaModello(const TElencoRighe* modello) { m_modello = modello; }
    void primo() override;
    bool fine() const override;
    void successivo() override;
    int indice(const QString& campo) const override;
    QVariant valoreA(int indice) const override;
    int conteggio() const;

private:
    const TElencoRighe* m_modello = nullptr;
    TTipizzatore m_tipi;
    QVector<const TDefCampo*> m_campoColonna;
    int m_riga = 0;
};

// A query owned by its report window or another window; it must be active
// (executed) when the report reads it, and not forward-only.
class TDatiQuery : public TDatiReport {
public:
    explicit TDatiQuery(QSqlQuery* query, const QVector<TDefCampo>& campi = {});
    void primo() override;
    bool fine() const override;
    void successivo() override;
    int indice(const QString& campo) const override;
    QVariant valoreA(int indice) const override;

private:
    QSqlQuery* m_query;
    TTipizzatore m_tipi;
    QVector<const TDefCampo*> m_campoColonna;
    bool m_fine = true;
};

// A record cursor of the store; its values are already typed.
class TDatiTabella : public TDatiReport {
public:
    explicit TDatiTabella(TTabella* tabella);
    void primo() override;
    bool fine() const override;
    void successivo() override;
    int indice(const QString& campo) const override;
    QVariant valoreA(int indice) const override;

private:
    TTabella* m_tabella;
};

// Rows held in memory: fixtures and computed listings.
class TDatiMemoria : public TDatiReport {
public:
    TDatiMemoria() = default;
    explicit TDatiMemoria(const QStringList& campi) : m_campi(campi) {}
    void impostaCampi(const QStringList& campi) { m_campi = campi; }
    void aggiungi(const QVector<QVariant>& riga) { m_righe.append(riga); }
    void svuota() { m_righe.clear(); }
    int conteggio() const { return static_cast<int>(m_righe.size()); }

    void primo() override { m_riga = 0; }
    bool fine() const override { return m_riga >= m_righe.size(); }
    void successivo() override { ++m_riga; }
    int indice(const QString& campo) const override;
    QVariant valoreA(int indice) const override;

private:
    QStringList m_campi;
    QVector<QVector<QVariant>> m_righe;
    int m_riga = 0;
};

// A forward-only query read once, from its first row on: it keeps no rows
// behind it, so a report of any length reads it in constant memory. The
// report's hook executes it each generation (and may call primo() to see
// whether it has rows); primo() then leaves it on its first row.
class TDatiQueryAvanti : public TDatiReport {
public:
    explicit TDatiQueryAvanti(QSqlQuery* query, const QVector<TDefCampo>& campi = {});
    void primo() override;
    bool fine() const override { return m_fine; }
    void successivo() override { m_fine = !m_query->next(); }
    int indice(const QString& campo) const override;
    QVariant valoreA(int indice) const override;

private:
    QSqlQuery* m_query;
    TTipizzatore m_tipi;
    QVector<const TDefCampo*> m_campoColonna;
    QStringList m_nomi;
    bool m_fine = true;
};
