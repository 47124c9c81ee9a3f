#pragma once
// A report's query read in a thread of its own, on a connection of that
// thread opened on the program folder (SQLite: one connection per thread),
// while the layout takes the rows as they come. The engine's work before the
// first row (the sort of a whole history by date) and the reading of the
// rows no longer hold the window: the preview lays out what has arrived and
// waits between its steps for the rest.
//
// The rows wait in a short queue, so memory does not grow with the report;
// the reader waits while the queue is full. Values are those QSqlQuery gives
// (valoreA() types them by field as TDatiQueryAvanti does); the layout reads
// the rows once, from the first on.

#include "reports/engine/DatiReport.h"

#include <QStringList>
#include <QVariant>
#include <QVector>
#include <memory>
#include <thread>

class TDatiQueryParallela : public TDatiReport {
public:
    explicit TDatiQueryParallela(const QVector<TDefCampo>& campi = {});
    ~TDatiQueryParallela() override;
    TDatiQueryParallela(const TDatiQueryParallela&) = delete;
    TDatiQueryParallela& operator=(const TDatiQueryParallela&) = delete;

    // Starts reading the query on the store of the current one's folder,
    // stopping a reading in progress first; tabelle are the tables it reads,
    // which the reader's connection attaches. The query is prepared here on
    // the store's own connection (its columns; an error in it is raised
    // here) and run by the reader.
    void avvia(const QString& testo, const QVariantList& parametri, const QStringList& tabelle);
    // Stops the reading and waits for the reader to end.
    void ferma();

    void primo() override;
    bool fine() const override;
    void successivo() override;
    int indice(const QString& campo) const override;
    QVariant valoreA(int indice) const override;
    bool pronto() override;
    void attendi() override;
    void interrompi() override { ferma(); }

    // The value of a column on the current row as the query gives it.
    QVariant grezzo(int indice) const;

    // Rows taken from the reader at once, and the queue's bound in rows.
    static constexpr int RigheBlocco = 256;
    static constexpr int RigheInCoda = 8192;

    // What the reader and the layout share (defined with the reader).
    struct Condiviso;

private:
    // Takes the next block when the reader has one; with attesa it waits for
    // it. True when the current row (or the end) is known.
    bool prendi(bool attesa) const;

    std::shared_ptr<Condiviso> m_condiviso;
    std::thread m_lettore;
    TTipizzatore m_tipi;
    QStringList m_nomi;
    QVector<const TDefCampo*> m_campoColonna;
    mutable QVector<QVector<QVariant>> m_blocco;
    mutable int m_riga = 0;
    mutable bool m_finito = true;
    bool m_letta = false;  // a row was passed: the reading cannot start again
};
