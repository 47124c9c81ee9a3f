#include "movements/InventarioFisico.h"

#include "data/engine/Definizioni.h"
#include "data/engine/Istruzione.h"
#include "data/engine/Record.h"
#include "movements/Movimenti.h"

#include <QSqlQuery>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <algorithm>
#include <cmath>
#include <sqlite3.h>

namespace {

const QString ChiaveData = QStringLiteral("data"), ChiaveCategoria = QStringLiteral("categoria"),
              ChiaveProduttore = QStringLiteral("produttore"), ChiaveContati = QStringLiteral("contati");

// " WHERE ..." restricting the products to the count's category and producer.
QString Condizione(const TBozzaInventario& b, QVariantList* parametri, const QString& alias = QString()) {
    QStringList c;
    const QString p = alias.isEmpty() ? QString() : alias + QLatin1Char('.');
    if (b.idCategoria > 0) {
        c << p + Prodotti::IdCategoria + QStringLiteral(" = ?");
        *parametri << b.idCategoria;
    }
    if (b.idProduttore > 0) {
        c << p + Prodotti::IdProduttore + QStringLiteral(" = ?");
        *parametri << b.idProduttore;
    }
    return c.isEmpty() ? QString() : QStringLiteral(" WHERE ") + c.join(QStringLiteral(" AND "));
}

}  // namespace

QString FileBozzaInventario(const QString& cartella) {
    QString c = cartella;
    if (!c.endsWith(QLatin1Char('/'))) c += QLatin1Char('/');
    return c + QStringLiteral("inventario_fisico.bozza");
}

bool LeggiBozzaInventario(const QString& cartella, TBozzaInventario* bozza) {
    QFile f(FileBozzaInventario(cartella));
    if (!f.open(QIODevice::ReadOnly)) return false;
    const QJsonDocument d = QJsonDocument::fromJson(f.readAll());
    if (!d.isObject()) return false;
    const QJsonObject o = d.object();
    TBozzaInventario b;
    b.data = QDate::fromString(o.value(ChiaveData).toString(), Qt::ISODate);
    if (!b.data.isValid()) return false;
    b.idCategoria = o.value(ChiaveCategoria).toInt();
    b.idProduttore = o.value(ChiaveProduttore).toInt();
    const QJsonArray contati = o.value(ChiaveContati).toArray();
    for (const QJsonValue& v : contati) {
        const QJsonArray coppia = v.toArray();
        if (coppia.size() == 2) b.contati.insert(coppia[0].toInt(), qint64(coppia[1].toDouble()));
    }
    if (bozza) *bozza = b;
    return true;
}

void SalvaBozzaInventario(const QString& cartella, const TBozzaInventario& b) {
    QJsonObject o;
    o.insert(ChiaveData, b.data.toString(Qt::ISODate));
    o.insert(ChiaveCategoria, b.idCategoria);
    o.insert(ChiaveProduttore, b.idProduttore);
    QJsonArray contati;
    for (auto it = b.contati.cbegin(); it != b.contati.cend(); ++it) contati.append(QJsonArray{it.key(), double(it.value())});
    o.insert(ChiaveContati, contati);
    QSaveFile f(FileBozzaInventario(cartella));
    if (!f.open(QIODevice::WriteOnly) || f.write(QJsonDocument(o).toJson(QJsonDocument::Compact)) < 0 || !f.commit())
        throw ErroreArchivio(QStringLiteral("Impossibile salvare il conteggio in corso (%1): %2")
                                 .arg(FileBozzaInventario(cartella), f.errorString()),
                             ErroreArchivio::CtxBloccato);
}

void EliminaBozzaInventario(const QString& cartella) { QFile::remove(FileBozzaInventario(cartella)); }

QVector<TRigaConteggio> ProdottiDaContare(TArchivio& a, const TBozzaInventario& b) {
    QVariantList par;
    const QString cond = Condizione(b, &par, QStringLiteral("p"));
    QString categorie = QStringLiteral("''");
    if (a.esisteTabella(Definizioni::Categorie))
        categorie = QStringLiteral("(SELECT c.%1 FROM %2 c WHERE c.%3 = p.%4 LIMIT 1)")
                        .arg(Cat::Categoria, a.nomeQualificato(Definizioni::Categorie), Cat::Id, Prodotti::IdCategoria);
    TIstruzione s(a.handle(), QStringLiteral("SELECT p.%1, coalesce(%2, ''), p.%3, p.%4, coalesce(p.%5, 0), "
                                             "coalesce(p.%6, 0.0) FROM %7 p%8 ORDER BY 2, p.%3, p.%1")
                                  .arg(Prodotti::Id, categorie, Prodotti::Nome, Prodotti::Descrizione, Prodotti::Quantita,
                                       Prodotti::Prezzo, a.nomeQualificato(Definizioni::Prodotti), cond));
    s.lega(par);
    QVector<TRigaConteggio> righe;
    while (s.riga()) {
        TRigaConteggio r;
        sqlite3_stmt* h = s.handle();
        r.id = sqlite3_column_int(h, 0);
        r.categoria = s.testo(1);
        r.nome = s.testo(2);
        r.descrizione = s.testo(3);
        r.libro = sqlite3_column_int64(h, 4);
        r.prezzo = sqlite3_column_double(h, 5);
        const auto it = b.contati.constFind(r.id);
        if (it != b.contati.cend()) {
            r.contato = true;
            r.quantita = it.value();
        }
        righe << r;
    }
    return righe;
}

int TrovaProdottoInventario(TArchivio& a, const TBozzaInventario& b, const QString& codice) {
    const QString c = codice.trimmed();
    if (c.isEmpty()) return 0;
    QVariantList par;
    QString cond = Condizione(b, &par);
    cond += (cond.isEmpty() ? QStringLiteral(" WHERE ") : QStringLiteral(" AND ")) +
            QStringLiteral("lower(%1) = lower(?)").arg(Prodotti::Nome);
    par << c;
    QSqlQuery q = a.esegui(QStringLiteral("SELECT %1 FROM %2%3 ORDER BY %1 LIMIT 1")
                               .arg(Prodotti::Id, a.nomeQualificato(Definizioni::Prodotti), cond),
                           par);
    const int id = q.next() ? q.value(0).toInt() : 0;
    q.finish();
    return id;
}

QVector<TRigaConteggio> DifferenzeInventario(TArchivio& a, const TBozzaInventario& b) {
    QVector<TRigaConteggio> d;
    for (const TRigaConteggio& r : ProdottiDaContare(a, b))
        if (r.contato && r.differenza() != 0) d << r;
    std::stable_sort(d.begin(), d.end(), [](const TRigaConteggio& x, const TRigaConteggio& y) {
        return std::fabs(x.valore()) > std::fabs(y.valore());
    });
    return d;
}

int RegistraInventario(TArchivio& a, const TBozzaInventario& b, const std::function<bool(int, int)>& avanzamento) {
    a.assicuraCollegata(Definizioni::Prodotti);
    a.assicuraCollegata(Definizioni::Storico);
    TTransazione t(a);
    // Read inside the transaction: the book as it is when the count is posted.
    QVector<TRigaConteggio> differenze;
    {
        QVariantList par;
        const QString cond = Condizione(b, &par);
        TIstruzione s(a.handle(), QStringLiteral("SELECT %1, coalesce(%2, 0), coalesce(%3, 0), %4 FROM %5%6 ORDER BY %1")
                                      .arg(Prodotti::Id, Prodotti::Quantita, Prodotti::Carichi, Prodotti::Nome,
                                           a.nomeQualificato(Definizioni::Prodotti), cond));
        s.lega(par);
        while (s.riga()) {
            sqlite3_stmt* h = s.handle();
            const auto it = b.contati.constFind(sqlite3_column_int(h, 0));
            if (it == b.contati.cend() || it.value() == sqlite3_column_int64(h, 1)) continue;
            TRigaConteggio r;
            r.id = it.key();
            r.libro = sqlite3_column_int64(h, 1);
            r.quantita = it.value();
            const QString nome = s.testo(3);
            const QString op = QStringLiteral("Inventario");
            for (const QString& rifiuto : {ControllaContatore(op, nome, Prodotti::Carichi, sqlite3_column_int64(h, 2) + r.differenza()),
                                           ControllaContatore(op, nome, Prodotti::Quantita, r.quantita)})
                if (!rifiuto.isEmpty()) throw ErroreLimiteContatori(rifiuto + QStringLiteral(" Nessun prodotto è stato modificato."));
            differenze << r;
        }
    }
    if (differenze.isEmpty()) return 0;
    const QString storico = a.nomeQualificato(Definizioni::Storico), prodotti = a.nomeQualificato(Definizioni::Prodotti);
    qint64 id = ProssimaChiave(a, Definizioni::Storico, Storico::Id);
    // The history row is the product's own fields as they stand, copied by
    // the engine, with the kind, the difference and the count's day.
    using namespace Storico;
    TIstruzione riga(a.handle(), QStringLiteral("INSERT INTO %1 (%2, %3, %4, %5, %6, %7, %8, %9, %10, %11, %12, %13) "
                                                "SELECT ?, ?, %14, %15, %16, ?, %17, ?, %18, %19, %20, %21 FROM %22 WHERE %14 = ?")
                                     .arg(storico, Id, Azione, IdProd, Nome, Descrizione, Quantita, GiacenzaMax, DataOggi)
                                     .arg(DataDistinta, NumDistinta, IdProduttore, IdCategoria)
                                     .arg(Prodotti::Id, Prodotti::Nome, Prodotti::Descrizione, Prodotti::GiacenzaMax,
                                          Prodotti::DataDistinta, Prodotti::NumDistinta, Prodotti::IdProduttore,
                                          Prodotti::IdCategoria, prodotti));
    TIstruzione prodotto(a.handle(), QStringLiteral("UPDATE %1 SET %2 = coalesce(%2, 0) + ?, %3 = ? WHERE %4 = ?")
                                         .arg(prodotti, Prodotti::Carichi, Prodotti::Quantita, Prodotti::Id));
    const QString giorno = b.data.toString(Qt::ISODate);
    const int totale = int(differenze.size());
    for (int i = 0; i < totale; ++i) {
        const TRigaConteggio& r = differenze[i];
        riga.lega({id++, Azioni::Inventario, r.differenza(), giorno, r.id});
        riga.esegui();
        prodotto.lega({r.differenza(), r.quantita, r.id});
        prodotto.esegui();
        if (avanzamento && (i % 500 == 0 || i + 1 == totale) && !avanzamento(i + 1, totale)) return -1;
    }
    riga.chiudi();
    prodotto.chiudi();
    t.conferma();
    return totale;
}
