#pragma once
// Fixtures of the movement tests: a product written straight into its table
// with the counters a case needs, the settings switches, reading back.

#include "app/Fx.h"
#include "data/engine/Archivio.h"
#include "data/engine/Tabella.h"
#include "movements/Movimenti.h"

#include <QtTest>

struct TProdottoProva {
    int id = 1;
    QString nome = QStringLiteral("P1");
    QString descrizione = QStringLiteral("Primo prodotto");
    int carichi = 10, scarichi = 4, quantita = 6;
    double totAcq = 50, totVen = 30;
    QVariant prezzo = 2.0, prezzo2 = 8.0;
    QVariant idCategoria = 3;
    QVariant idProduttore;
    QVariant dataOggi = QDate(2004, 1, 10);
    QVariant dataDistinta;
    QVariant numDistinta;
    QVariant giacenzaMax = 30;
    QString foto;
};

inline void ScriviProdotto(const TProdottoProva& p) {
    TArchivio& a = TArchivio::corrente();
    a.esegui(QStringLiteral("insert into %1 (ID, NOME, DESCRIZIONE, CARICHI, SCARICHI, QUANTITA, TOTALEACQUISTI, "
                            "TOTALEVENDITE, PREZZO, PREZZO2, IDCATEGORIA, IDPRODUTTORE, DATAOGGI, DATADISTINTA, "
                            "NUMDISTINTA, GIACENZAMAX, FOTO) values (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)")
                 .arg(a.nomeQualificato(QStringLiteral("prodotti"))),
             {p.id, p.nome, p.descrizione, p.carichi, p.scarichi, p.quantita, p.totAcq, p.totVen, p.prezzo, p.prezzo2,
              p.idCategoria, p.idProduttore,
              p.dataOggi.isNull() ? QVariant() : QVariant(p.dataOggi.toDate().toString(Qt::ISODate)),
              p.dataDistinta.isNull() ? QVariant() : QVariant(p.dataDistinta.toDate().toString(Qt::ISODate)),
              p.numDistinta, p.giacenzaMax, p.foto.isEmpty() ? QVariant() : QVariant(p.foto)});
}

// Sets one switch of the settings record.
inline void ImpostaSwitch(const char* campo, bool valore) {
    TArchivio& a = TArchivio::corrente();
    a.esegui(QStringLiteral("update %1 set %2 = ?").arg(a.nomeQualificato(QStringLiteral("impostazioni")),
                                                          QString::fromLatin1(campo)),
             {valore ? 1 : 0});
}

// The history rows, oldest first, as TRecord of the history's fields.
inline QVector<TRecord> RigheStorico() {
    TTabella t(TArchivio::corrente(), QStringLiteral("storico.db"));
    t.impostaOrdine(QStringLiteral("ID"));
    t.apri();
    QVector<TRecord> r;
    for (t.primo(); !t.vuota(); t.successivo()) {
        r << t.record();
        if (t.numeroRecord() == t.conteggio()) break;
    }
    return r;
}

inline int ContaStorico() {
    TArchivio& a = TArchivio::corrente();
    return a.valoreSingolo(QStringLiteral("select count(*) from %1").arg(a.nomeQualificato(QStringLiteral("storico"))))
        .toInt();
}
