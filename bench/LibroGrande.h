#pragma once
// A large book for the benchmarks: by default 100,000 products and
// 1,000,000 history rows in a program folder, written through the program's
// own store.

#include "data/CartellaProgramma.h"
#include "data/CreaTabelle.h"
#include "data/CreaTabelleGenerali.h"
#include "data/engine/Archivio.h"

namespace LibroGrande {

inline const int Prodotti = 100000;
inline const int Storico = 1000000;

inline void Riempi(const QString& cartella, int storico = Storico, int prodotti = Prodotti) {
    ImpostaCartellaProgramma(cartella);
    TArchivio::apriCorrente(cartella);
    CreaTabelleGenerali();
    CreaTabelle();
    TArchivio& a = TArchivio::corrente();
    TTransazione t(a);
    a.esegui(QStringLiteral("with recursive n(i) as (select 1 union all select i + 1 from n where i < %1) "
                            "insert into %2 (ID, NOME, DESCRIZIONE, PREZZOLISTINO, PREZZO, PREZZO2, CARICHI, SCARICHI, "
                            "TOTALEACQUISTI, TOTALEVENDITE, QUANTITA, GIACENZAMAX, DATAOGGI, IDPRODUTTORE, IDCATEGORIA, QTAALERT) "
                            "select i, 'COD' || i, 'Descrizione del prodotto numero ' || i, i % 100 + 0.5, i % 90 + 0.25, "
                            "i % 120 + 0.75, 20, 5, 20 * (i % 90 + 0.25), 5 * (i % 120 + 0.75), 15, 30, '2004-03-01', i % 50, i % 20, 3 from n")
                 .arg(prodotti)
                 .arg(a.nomeQualificato(QStringLiteral("prodotti"))));
    a.esegui(QStringLiteral("with recursive n(i) as (select 1 union all select i + 1 from n where i < %1) "
                            "insert into %2 (ID, AZIONE, IDPROD, NOME, DESCRIZIONE, QUANTITA, DATAOGGI, PREZZO, PREZZOACQ) "
                            "select i, case i % 2 when 0 then 'CARICO' else 'SCARICO' end, i % %3, 'COD' || (i % %3), "
                            "'Descrizione', i % 7 + 1, date('2004-01-01', '+' || (i % 365) || ' days'), i % 13 * 1.5, i % 11 * 1.25 from n")
                 .arg(storico)
                 .arg(a.nomeQualificato(QStringLiteral("storico")))
                 .arg(prodotti));
    t.conferma();
    TArchivio::chiudiCorrente();
}

}  // namespace LibroGrande
