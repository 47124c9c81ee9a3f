// The reorder proposal on 100,000 products of which 10,000 are at or under
// their alert quantity, from 50 producers: the proposal's routine (one join,
// grouping by producer, targets and quantities) against the plain engine in
// this process reading every column of the same join.

#include "Misura.h"
#include "app/Applicazione.h"
#include "data/CartellaProgramma.h"
#include "data/CreaTabelle.h"
#include "data/CreaTabelleGenerali.h"
#include "data/engine/Archivio.h"
#include "reports/DatiProposta.h"

#include <QDir>
#include <QTemporaryDir>

namespace {

// Every column of every row of the query, read as the program would read it.
qint64 LeggiTutto(sqlite3* db, const QString& sql) {
    sqlite3_stmt* s = nullptr;
    const QByteArray testo = sql.toUtf8();
    if (sqlite3_prepare_v2(db, testo.constData(), static_cast<int>(testo.size()), &s, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "sqlite: %s\n", sqlite3_errmsg(db));
        return -1;
    }
    qint64 righe = 0, byte = 0;
    while (sqlite3_step(s) == SQLITE_ROW) {
        ++righe;
        for (int c = 0; c < sqlite3_column_count(s); ++c) {
            sqlite3_column_text(s, c);
            byte += sqlite3_column_bytes(s, c);
        }
    }
    sqlite3_finalize(s);
    if (byte == -1) std::printf("#\n");
    return righe;
}

}  // namespace

int main(int argc, char** argv) {
    TApplicazione app(argc, argv);
    QTemporaryDir dir;
    const QString libro = dir.filePath(QStringLiteral("libro"));
    QDir().mkpath(libro);
    ImpostaCartellaProgramma(libro);
    TArchivio::apriCorrente(libro);
    CreaTabelleGenerali();
    CreaTabelle();
    TArchivio& a = TArchivio::corrente();
    {
        TTransazione t(a);
        a.esegui(QStringLiteral("with recursive n(i) as (select 1 union all select i + 1 from n where i < 50) "
                                "insert into %1 (ID, NOME, COGNOME, VIA, CAP, CITTA, PROVINCIA, TELEFONO, PIVA, EMAIL) "
                                "select i, 'Nome' || i, 'Cognome' || i, 'Via ' || i, 20100 + i, 'Milano', 'MI', '02 ' || i, "
                                "'0123456' || i, 'ordini' || i || '@esempio.example' from n")
                     .arg(a.nomeQualificato(QStringLiteral("produttori"))));
        // One product in ten at or under its alert quantity; one in 500 of
        // those without producer.
        a.esegui(QStringLiteral("with recursive n(i) as (select 1 union all select i + 1 from n where i < 100000) "
                                "insert into %1 (ID, NOME, DESCRIZIONE, QUANTITA, QTAALERT, PREZZO, IDPRODUTTORE) "
                                "select i, 'COD' || i, 'Descrizione del prodotto numero ' || i, "
                                "case when i % 10 = 0 then i % 7 - 2 else 50 end, 5, i % 90 + 0.25, "
                                "case when i % 5000 = 0 then 0 else (i / 10) % 50 + 1 end from n")
                     .arg(a.nomeQualificato(QStringLiteral("prodotti"))));
        t.conferma();
    }

    sqlite3* db = nullptr;
    sqlite3_open_v2(QFile::encodeName(libro + QStringLiteral("/prodotti.db")).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_exec(db, QStringLiteral("attach '%1' as produttori").arg(libro + QStringLiteral("/produttori.db")).toUtf8().constData(),
                 nullptr, nullptr, nullptr);
    const QString sql = QStringLiteral(
        "select p.ID, p.NOME, p.DESCRIZIONE, ifnull(f.ID, 0), ifnull(p.QUANTITA, 0), p.QTAALERT, ifnull(p.PREZZO, 0), "
        "f.NOME, f.COGNOME, f.VIA, f.CAP, f.CITTA, f.PROVINCIA, f.TELEFONO, f.PIVA, f.EMAIL "
        "from main.prodotti p left join produttori.produttori f on f.ID = p.IDPRODUTTORE "
        "where p.QTAALERT > 0 and ifnull(p.QUANTITA, 0) <= p.QTAALERT "
        "order by f.ID is null, f.NOME, f.COGNOME, f.ID, p.NOME, p.ID");

    std::vector<double> nostri, ancore;
    qint64 righeNostre = 0, righeMotore = 0;
    int gruppi = 0;
    for (int giro = 0; giro < 7; ++giro) {
        nostri.push_back(Misura::Tempo([&] {
            const QVector<TGruppoProduttore> g = PropostaOrdine(a, 2.0);
            gruppi = static_cast<int>(g.size());
            righeNostre = 0;
            for (const TGruppoProduttore& x : g) righeNostre += x.righe.size();
        }));
        ancore.push_back(Misura::Tempo([&] { righeMotore = LeggiTutto(db, sql); }));
    }
    sqlite3_close(db);
    std::fprintf(stderr, "proposta: %lld righe in %d gruppi (motore %lld)\n", righeNostre, gruppi, righeMotore);
    Misura::Riga("proposta_ordine_100k", Misura::MedianaDi(nostri), Misura::MedianaDi(ancore));
    TArchivio::chiudiCorrente();
    return righeNostre == righeMotore && righeNostre == 10000 ? 0 : 1;
}
