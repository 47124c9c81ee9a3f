#include "tools/Importazione.h"

#include "data/Convenzioni.h"
#include "data/MovimentoMagazzino.h"
#include "data/Orologio.h"
#include "data/engine/Archivio.h"
#include "data/engine/Definizioni.h"
#include "data/engine/Istruzione.h"
#include "tools/CopiaDati.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QSet>
#include <QSqlQuery>


#include <cmath>
#include <optional>
#include <string_view>
#include <unordered_map>

namespace {

namespace D = DestinazioniImport;

struct Interrotta {};

// Texts as keys of the row-by-row lookups (100,000 rows and more): the
// standard library's hash of the UTF-16 units costs far less than QHash's
// seeded one, and the keys are the file's own texts, never an attacker's.
struct HashTesto {
    size_t operator()(const QString& t) const {
        return std::hash<std::u16string_view>{}(std::u16string_view(reinterpret_cast<const char16_t*>(t.utf16()), size_t(t.size())));
    }
};
template <typename V> using TMappaTesti = std::unordered_map<QString, V, HashTesto>;

// ---------------------------------------------------------------------------
// Destinations and headers

struct TVoce {
    QString chiave;
    QString etichetta;
    QStringList alias;  // headers as normalised by Normalizza
};

QVector<TVoce> VociProdotti() {
    using namespace Prodotti;
    return {
        {Nome, QStringLiteral("Codice prodotto"), {"nome", "codice", "codiceprodotto", "cod", "codprodotto", "articolo", "codicearticolo", "sku"}},
        {Descrizione, QStringLiteral("Descrizione"), {"descrizione", "descr", "descrizioneprodotto", "prodotto"}},
        {PrezzoListino, QStringLiteral("Prezzo di listino (€)"), {"prezzolistino", "prezzodilistino", "listino"}},
        {Prezzo, QStringLiteral("Prezzo A. (€)"), {"prezzo", "prezzoa", "prezzoacquisto", "prezzodiacquisto", "costo"}},
        {Prezzo2, QStringLiteral("Prezzo V. (€)"), {"prezzo2", "prezzov", "prezzovendita", "prezzodivendita", "prezzoalpubblico"}},
        {Sconto1, QStringLiteral("Sconto1 (%)"), {"sconto1", "sconto"}},
        {Sconto2, QStringLiteral("Sconto2 (%)"), {"sconto2"}},
        {Sconto3, QStringLiteral("Sconto3 (%)"), {"sconto3"}},
        {D::NomeProduttore, QStringLiteral("Produttore (nome)"), {"produttore", "fornitore", "marca", "nomeproduttore"}},
        {D::NomeCategoria, QStringLiteral("Categoria (nome)"), {"categoria", "reparto", "famiglia"}},
        {D::CaricoIniziale, QStringLiteral("Quantità (carico iniziale)"), {"qta", "quantita", "giacenza", "qty", "pezzi", "esistenza"}},
        {GiacenzaMax, QStringLiteral("Gg. giacenza max"), {"giacenzamax", "gggiacenzamax", "giornigiacenza"}},
        {QtaAlert, QStringLiteral("Q.ta alert"), {"qtaalert", "scortaminima", "sottoscorta"}},
        {DataOggi, QStringLiteral("Data di entrata"), {"dataoggi", "datadientrata", "dataentrata", "dataingresso"}},
        {DataDistinta, QStringLiteral("Data distinta"), {"datadistinta"}},
        {NumDistinta, QStringLiteral("N. distinta"), {"numdistinta", "ndistinta", "distinta"}},
        {Foto, QStringLiteral("Foto del prodotto"), {"foto", "fotodelprodotto", "immagine"}},
        {ScadutoTemp, QStringLiteral("Scaduto"), {"scadutotemp"}},
        {IdProduttore, QStringLiteral("Codice produttore"), {"idproduttore", "codiceproduttore", "codproduttore"}},
        {IdCategoria, QStringLiteral("Cod. categoria"), {"idcategoria", "codcategoria", "codicecategoria"}},
        {Id, QStringLiteral("N. (ID)"), {"id"}},
        {Carichi, QStringLiteral("Carichi (contatore)"), {}},
        {Scarichi, QStringLiteral("Scarichi (contatore)"), {}},
        {Quantita, QStringLiteral("Quantità (contatore)"), {}},
        {TotaleAcquisti, QStringLiteral("Totale acquisti (contatore)"), {}},
        {TotaleVendite, QStringLiteral("Totale vendite (contatore)"), {}},
    };
}

QVector<TVoce> VociProduttori() {
    using namespace Produttori;
    return {
        {Nome, QStringLiteral("Nome"), {"nome", "ragionesociale", "produttore", "fornitore"}},
        {Cognome, QStringLiteral("Cognome"), {"cognome"}},
        {Via, QStringLiteral("Indirizzo"), {"via", "indirizzo"}},
        {Cap, QStringLiteral("Cap"), {"cap"}},
        {Citta, QStringLiteral("Città"), {"citta", "comune", "localita"}},
        {Provincia, QStringLiteral("Provincia"), {"provincia", "prov"}},
        {Telefono, QStringLiteral("Telefono"), {"telefono", "tel"}},
        {Piva, QStringLiteral("P.Iva / Cod.Fisc."), {"piva", "partitaiva", "pivacodfisc", "codicefiscale"}},
        {Descrizione, QStringLiteral("Descrizione"), {"descrizione", "descriz", "note"}},
        {Id, QStringLiteral("Codice (ID)"), {"id", "codice"}},
    };
}

QVector<TVoce> VociCategorie() {
    return {
        {Cat::Categoria, QStringLiteral("Categoria"), {"categoria", "nome", "descrizione"}},
        {Cat::Id, QStringLiteral("Codice (ID)"), {"id", "codice"}},
    };
}

QVector<TVoce> Voci(TTipoImportazione t) {
    switch (t) {
    case TTipoImportazione::Prodotti: return VociProdotti();
    case TTipoImportazione::Produttori: return VociProduttori();
    case TTipoImportazione::Categorie: return VociCategorie();
    }
    return {};
}

QString FileTabella(TTipoImportazione t) {
    switch (t) {
    case TTipoImportazione::Prodotti: return Definizioni::Prodotti;
    case TTipoImportazione::Produttori: return Definizioni::Produttori;
    case TTipoImportazione::Categorie: return Definizioni::Categorie;
    }
    return {};
}

QVector<TDefCampo> CampiTabella(TTipoImportazione t) { return Definizioni::Definizione(FileTabella(t)).struttura.campi; }

// The field a row is matched by.
QString CampoChiave(TTipoImportazione t) {
    return t == TTipoImportazione::Categorie ? Cat::Categoria : Prodotti::Nome;
}

QString CampoId(TTipoImportazione t) { return t == TTipoImportazione::Categorie ? Cat::Id : Prodotti::Id; }

// Lower case, accents taken off, only letters and digits: "Q.tà" is "qta".
QString Normalizza(const QString& testo) {
    const QString d = testo.normalized(QString::NormalizationForm_D).toLower();
    QString r;
    for (const QChar c : d)
        if ((c >= QLatin1Char('a') && c <= QLatin1Char('z')) || c.isDigit()) r += c;
    return r;
}

bool Contatore(const QString& chiave) {
    return chiave == Prodotti::Carichi || chiave == Prodotti::Scarichi || chiave == Prodotti::Quantita ||
           chiave == Prodotti::TotaleAcquisti || chiave == Prodotti::TotaleVendite;
}

bool Prezzo(const QString& chiave) {
    return chiave == Prodotti::PrezzoListino || chiave == Prodotti::Prezzo || chiave == Prodotti::Prezzo2;
}

// A name as the lookup compares it.
QString ChiaveNome(const QString& nome) { return nome.trimmed().toLower(); }

int CodePoint(const QString& t) { return int(t.toUcs4().size()); }

// ---------------------------------------------------------------------------
// Cells to values

// The value of a cell for a field, or the reason it is refused.
QVariant ValoreCella(const TCella& c, const TDefCampo& campo, QString* motivo, bool* tagliato) {
    if (c.vuota()) return QVariant();
    // The cell as the reasons quote it, made only for a refusal.
    const auto mostrato = [&c] { return c.comeTesto().left(40); };
    QVariant v;
    switch (campo.tipo) {
    case TTipoCampo::Integer:
    case TTipoCampo::Float: {
        double n = 0;
        if (c.tipo == TTipoCella::Numero || c.tipo == TTipoCella::Logico) n = c.numero;
        else if (c.tipo == TTipoCella::Testo) {
            if (!LeggiNumeroItaliano(c.testo, &n)) {
                *motivo = QStringLiteral("«%1» non è un numero").arg(mostrato());
                return QVariant();
            }
        } else {
            *motivo = QStringLiteral("«%1» è una data, non un numero").arg(mostrato());
            return QVariant();
        }
        if (campo.tipo == TTipoCampo::Integer && n != std::trunc(n)) {
            *motivo = QStringLiteral("«%1» non è un numero intero").arg(mostrato());
            return QVariant();
        }
        v = n;
        break;
    }
    case TTipoCampo::Date: {
        QDate d;
        if (c.tipo == TTipoCella::Data) d = QDate::fromJulianDay(qint64(c.numero));
        else if (c.tipo == TTipoCella::Numero) d = DataDaSeriale(c.numero);
        else if (c.tipo == TTipoCella::Testo) d = LeggiDataItaliana(c.testo);
        if (!d.isValid()) {
            *motivo = QStringLiteral("«%1» non è una data (gg/mm/aaaa)").arg(mostrato());
            return QVariant();
        }
        v = d;
        break;
    }
    case TTipoCampo::Boolean: {
        if (c.tipo == TTipoCella::Logico || c.tipo == TTipoCella::Numero) {
            v = c.numero != 0;
            break;
        }
        const QString t = Normalizza(c.testo);
        if (t == QLatin1String("si") || t == QLatin1String("vero") || t == QLatin1String("true") || t == QLatin1String("1") || t == QLatin1String("x"))
            v = true;
        else if (t == QLatin1String("no") || t == QLatin1String("falso") || t == QLatin1String("false") || t == QLatin1String("0"))
            v = false;
        else {
            *motivo = QStringLiteral("«%1» non è un valore sì / no").arg(mostrato());
            return QVariant();
        }
        break;
    }
    case TTipoCampo::String:
    case TTipoCampo::Memo: {
        const QString t = c.tipo == TTipoCella::Testo ? c.testo : c.comeTesto();
        // A text of no more UTF-16 units than the size fits whatever its letters.
        if (campo.tipo == TTipoCampo::String && campo.dimensione > 0 && t.size() > campo.dimensione &&
            CodePoint(t) > campo.dimensione)
            *tagliato = true;
        v = t;
        break;
    }
    }
    try {
        return ConvertiPerCampo(campo, v);
    } catch (const ErroreArchivio&) {
        *motivo = QStringLiteral("«%1» non entra nel campo").arg(mostrato());
        return QVariant();
    }
}

// What the store holds before the import: keys, names and the highest IDs.
struct TStatoLibro {
    QHash<QString, int> chiavi;      // the key field's value -> lowest ID
    QSet<int> id;
    int idMassimo = 0;
    QHash<QString, int> produttori;  // ChiaveNome(NOME) -> ID
    QHash<QString, int> categorie;   // ChiaveNome(CATEGORIA) -> ID
    int idMassimoProduttori = 0, idMassimoCategorie = 0;
};

TStatoLibro LeggiStato(TArchivio& a, TTipoImportazione tipo) {
    TStatoLibro s;
    const QString tabella = a.nomeQualificato(FileTabella(tipo));
    const QString chiave = CampoChiave(tipo), id = CampoId(tipo);
    QSqlQuery q = a.esegui(QStringLiteral("SELECT \"%1\", \"%2\" FROM %3 ORDER BY \"%2\"").arg(chiave, id, tabella));
    while (q.next()) {
        const int n = q.value(1).toInt();
        s.id.insert(n);
        s.idMassimo = std::max(s.idMassimo, n);
        const QString k = tipo == TTipoImportazione::Prodotti ? q.value(0).toString() : ChiaveNome(q.value(0).toString());
        if (!s.chiavi.contains(k)) s.chiavi.insert(k, n);
    }
    if (tipo == TTipoImportazione::Prodotti) {
        QSqlQuery p = a.esegui(QStringLiteral("SELECT \"%1\", \"%2\" FROM %3 ORDER BY \"%2\"")
                                   .arg(Produttori::Nome, Produttori::Id, a.nomeQualificato(Definizioni::Produttori)));
        while (p.next()) {
            s.idMassimoProduttori = std::max(s.idMassimoProduttori, p.value(1).toInt());
            const QString k = ChiaveNome(p.value(0).toString());
            if (!s.produttori.contains(k)) s.produttori.insert(k, p.value(1).toInt());
        }
        QSqlQuery c = a.esegui(QStringLiteral("SELECT \"%1\", \"%2\" FROM %3 ORDER BY \"%2\"")
                                   .arg(Cat::Categoria, Cat::Id, a.nomeQualificato(Definizioni::Categorie)));
        while (c.next()) {
            s.idMassimoCategorie = std::max(s.idMassimoCategorie, c.value(1).toInt());
            const QString k = ChiaveNome(c.value(0).toString());
            if (!s.categorie.contains(k)) s.categorie.insert(k, c.value(1).toInt());
        }
    }
    return s;
}

bool LibroVuoto(TArchivio& a) {
    return a.valoreSingolo(QStringLiteral("SELECT count(*) FROM %1").arg(a.nomeQualificato(Definizioni::Prodotti))).toInt() == 0 &&
           a.valoreSingolo(QStringLiteral("SELECT count(*) FROM %1").arg(a.nomeQualificato(Definizioni::Storico))).toInt() == 0;
}

QString Colonna(const TSorgente& s, int i) {
    const QString n = i < s.intestazioni.size() ? s.intestazioni[i] : QString();
    return n.isEmpty() ? QStringLiteral("colonna %1").arg(i + 1) : n;
}

QString Riga(int n) { return FormattaNumero(n, 0); }

}  // namespace

// ---------------------------------------------------------------------------

QVector<TDestinazione> Destinazioni(TTipoImportazione tipo) {
    QVector<TDestinazione> r;
    for (const TVoce& v : Voci(tipo)) {
        const bool campo = !v.chiave.startsWith(QLatin1Char('@'));
        r.append({v.chiave, campo ? QStringLiteral("%1 (%2)").arg(v.etichetta, v.chiave) : v.etichetta});
    }
    return r;
}

QString EtichettaDestinazione(TTipoImportazione tipo, const QString& chiave) {
    for (const TDestinazione& d : Destinazioni(tipo))
        if (d.chiave == chiave) return d.etichetta;
    return QStringLiteral("(non importare)");
}

QStringList ProponiDestinazioni(TTipoImportazione tipo, const QStringList& intestazioni) {
    const QVector<TVoce> voci = Voci(tipo);
    QStringList r;
    QSet<QString> usate;
    for (const QString& h : intestazioni) {
        QString scelta;
        // A header that is the field's own name (as our export writes it) goes to that field.
        for (const TVoce& v : voci)
            if (!v.chiave.startsWith(QLatin1Char('@')) && h.trimmed() == v.chiave) scelta = v.chiave;
        if (scelta.isEmpty()) {
            const QString n = Normalizza(h);
            for (const TVoce& v : voci)
                if (v.alias.contains(n) || (!v.chiave.startsWith(QLatin1Char('@')) && n == Normalizza(v.etichetta))) {
                    scelta = v.chiave;
                    break;
                }
        }
        if (usate.contains(scelta)) scelta.clear();
        if (!scelta.isEmpty()) usate.insert(scelta);
        r << scelta;
    }
    return r;
}

QString ControllaDestinazioni(TArchivio& a, const TOpzioniImportazione& o, int colonne) {
    QHash<QString, int> prima;
    const auto etichetta = [&](const QString& k) { return EtichettaDestinazione(o.tipo, k); };
    bool contatori = false;
    QSet<QString> usate;
    for (int i = 0; i < o.destinazioni.size() && i < colonne; ++i) {
        const QString& k = o.destinazioni[i];
        if (k.isEmpty()) continue;
        if (prima.contains(k))
            return QStringLiteral("Le colonne %1 e %2 vanno entrambe in «%3»: ogni campo può ricevere una sola "
                                  "colonna. Scegliere «(non importare)» per una delle due.")
                .arg(prima.value(k) + 1)
                .arg(i + 1)
                .arg(etichetta(k));
        prima.insert(k, i);
        usate.insert(k);
        if (Contatore(k)) contatori = true;
    }
    if (!usate.contains(CampoChiave(o.tipo)))
        return QStringLiteral("Nessuna colonna va in «%1»: è il campo con cui ogni riga viene riconosciuta, "
                              "sceglierlo per una colonna.")
            .arg(etichetta(CampoChiave(o.tipo)));
    if (o.tipo != TTipoImportazione::Prodotti) return QString();
    if (usate.contains(Prodotti::IdProduttore) && usate.contains(D::NomeProduttore))
        return QStringLiteral("Il produttore è indicato due volte, per codice e per nome: importare una sola delle "
                              "due colonne.");
    if (usate.contains(Prodotti::IdCategoria) && usate.contains(D::NomeCategoria))
        return QStringLiteral("La categoria è indicata due volte, per codice e per nome: importare una sola delle "
                              "due colonne.");
    if (contatori && usate.contains(D::CaricoIniziale))
        return QStringLiteral("Le quantità vanno o nei contatori o nel carico iniziale, non in entrambi.");
    if (contatori && !LibroVuoto(a))
        return QStringLiteral("Le colonne dei contatori (carichi, scarichi, quantità, totali) si importano così "
                              "come sono solo in un archivio senza prodotti e senza storico, come copia di "
                              "un'esportazione. Qui le quantità vanno in «Quantità (carico iniziale)», che le "
                              "registra come carichi.");
    return QString();
}

TAnalisiImportazione AnalizzaImportazione(TArchivio& a, const TSorgente& s, const TOpzioniImportazione& o) {
    TAnalisiImportazione r;
    const int colonne = int(s.intestazioni.size());
    r.errore = ControllaDestinazioni(a, o, colonne);
    if (!r.errore.isEmpty()) return r;
    const QVector<TDefCampo> campi = CampiTabella(o.tipo);
    const QString chiave = CampoChiave(o.tipo), campoId = CampoId(o.tipo);
    TStatoLibro stato = LeggiStato(a, o.tipo);

    // Each column's field (-1: a destination that is no field, -2: not imported).
    QVector<int> campoDi(colonne, -2);
    QVector<TDefCampo> defDi(colonne);
    int colChiave = -1, colId = -1, colProd = -1, colCat = -1, colCarico = -1;
    for (int i = 0; i < colonne && i < o.destinazioni.size(); ++i) {
        const QString& k = o.destinazioni[i];
        if (k.isEmpty()) continue;
        for (int f = 0; f < campi.size(); ++f)
            if (campi[f].nome == k) {
                campoDi[i] = f;
                defDi[i] = campi[f];
            }
        if (k == D::NomeProduttore) {
            campoDi[i] = -1;
            defDi[i] = {k, TTipoCampo::String, 100, false};
            colProd = i;
        } else if (k == D::NomeCategoria) {
            campoDi[i] = -1;
            defDi[i] = {k, TTipoCampo::String, 30, false};
            colCat = i;
        } else if (k == D::CaricoIniziale) {
            campoDi[i] = -1;
            defDi[i] = {k, TTipoCampo::Integer, 0, false};
            colCarico = i;
        }
        if (k == chiave) colChiave = i;
        if (k == campoId) colId = i;
    }

    // The keys that appear more than once in the file refuse every row that has them.
    const auto testoChiave = [&](const TRigaImportata& riga) {
        const QString t = riga.valori[colChiave].toString().trimmed();
        return o.tipo == TTipoImportazione::Prodotti ? t : ChiaveNome(t);
    };
    TMappaTesti<int> primaRiga;
    primaRiga.reserve(size_t(s.righe.size()));
    QSet<QString> doppie;
    r.righe.resize(s.righe.size());
    const qint64 totale = s.righe.size();
    for (int n = 0; n < s.righe.size(); ++n) {
        if (n % 2000 == 0 && o.avanzamento && !o.avanzamento(n, totale * 2)) {
            r.interrotta = true;
            return r;
        }
        const QVector<TCella>& celle = s.righe[n];
        TRigaImportata& riga = r.righe[n];
        riga.valori.resize(colonne);
        bool rifiutata = false;
        for (int i = colonne; i < celle.size(); ++i)
            if (!celle[i].vuota()) {
                riga.motivi << QStringLiteral("la riga ha %1 colonne, l'intestazione %2").arg(celle.size()).arg(colonne);
                rifiutata = true;
                break;
            }
        for (int i = 0; i < colonne && i < celle.size(); ++i) {
            if (campoDi[i] == -2) continue;
            QString motivo;
            bool tagliato = false;
            QVariant v = ValoreCella(celle[i], defDi[i], &motivo, &tagliato);
            if (motivo.isEmpty() && !v.isNull()) {
                if (Prezzo(defDi[i].nome) && v.toDouble() < 0) motivo = QStringLiteral("prezzo negativo");
                if (i == colCarico && v.toInt() < 0) motivo = QStringLiteral("quantità negativa");
            }
            if (!motivo.isEmpty()) {
                riga.motivi << Colonna(s, i) + QStringLiteral(": ") + motivo;
                riga.colonneRifiutate << i;
                rifiutata = true;
                continue;
            }
            if (tagliato) ++r.valoriTagliati;
            riga.valori[i] = v;
        }
        if (!rifiutata && testoChiave(riga).isEmpty()) {
            riga.motivi << Colonna(s, colChiave) + QStringLiteral(": manca il valore, che riconosce la riga");
            riga.colonneRifiutate << colChiave;
            rifiutata = true;
        }
        riga.esito = rifiutata ? TEsitoRiga::Rifiutato : TEsitoRiga::Nuovo;
        if (!rifiutata) {
            if (!primaRiga.try_emplace(testoChiave(riga), n).second) doppie.insert(testoChiave(riga));
        }
    }

    QSet<int> idUsati = stato.id;
    QHash<QString, int> produttoriNuovi, categorieNuove;
    TMappaTesti<int> produttoriVisti, categorieViste;
    for (int n = 0; n < r.righe.size(); ++n) {
        if (n % 2000 == 0 && o.avanzamento && !o.avanzamento(totale + n, totale * 2)) {
            r.interrotta = true;
            return r;
        }
        TRigaImportata& riga = r.righe[n];
        if (riga.esito == TEsitoRiga::Rifiutato) {
            ++r.rifiutati;
            continue;
        }
        const QString k = testoChiave(riga);
        if (doppie.contains(k)) {
            riga.motivi << QStringLiteral("%1: «%2» compare più volte nel file (righe %3 e altre)")
                               .arg(Colonna(s, colChiave), k.left(40), Riga(s.numeriRiga[primaRiga.at(k)]));
            riga.colonneRifiutate << colChiave;
            riga.esito = TEsitoRiga::Rifiutato;
            ++r.rifiutati;
            continue;
        }
        const auto esistente = stato.chiavi.isEmpty() ? stato.chiavi.constEnd() : stato.chiavi.constFind(k);
        if (esistente != stato.chiavi.constEnd()) {
            riga.idEsistente = esistente.value();
            riga.esito = o.aggiornaEsistenti ? TEsitoRiga::Aggiornato : TEsitoRiga::Saltato;
        } else if (colId >= 0 && !riga.valori[colId].isNull()) {
            const int id = riga.valori[colId].toInt();
            if (idUsati.contains(id)) {
                riga.motivi << QStringLiteral("%1: il numero %2 è già usato da un'altra riga").arg(Colonna(s, colId)).arg(id);
                riga.colonneRifiutate << colId;
                riga.esito = TEsitoRiga::Rifiutato;
                ++r.rifiutati;
                continue;
            }
            idUsati.insert(id);
        }
        if (riga.esito == TEsitoRiga::Saltato) {
            ++r.saltati;
            continue;
        }
        riga.esito == TEsitoRiga::Nuovo ? ++r.nuovi : ++r.aggiornati;
        // The same name comes back on many rows: each text is folded once, and
        // the row keeps the text's index for the write.
        const auto nome = [&](int col, const QHash<QString, int>& esistenti, QHash<QString, int>& nuovi, QStringList& elenco,
                              TMappaTesti<int>& visti, QStringList& testi) -> int {
            if (col < 0 || riga.valori[col].isNull()) return -1;
            const QString grezzo = riga.valori[col].toString();
            const auto [it, primo] = visti.try_emplace(grezzo, int(testi.size()));
            if (!primo) return it->second;
            testi << grezzo;
            const QString t = grezzo.trimmed();
            const QString c = ChiaveNome(t);
            if (!c.isEmpty() && !esistenti.contains(c) && !nuovi.contains(c)) {
                nuovi.insert(c, int(elenco.size()));
                elenco << t;
            }
            return it->second;
        };
        riga.nomeProduttore = nome(colProd, stato.produttori, produttoriNuovi, r.produttoriNuovi, produttoriVisti, r.nomiProduttori);
        riga.nomeCategoria = nome(colCat, stato.categorie, categorieNuove, r.categorieNuove, categorieViste, r.nomiCategorie);
        if (o.carichiIniziali && colCarico >= 0 && riga.esito == TEsitoRiga::Nuovo && riga.valori[colCarico].toInt() > 0)
            ++r.carichi;
    }
    r.produttoriDaCreare = int(r.produttoriNuovi.size());
    r.categorieDaCreare = int(r.categorieNuove.size());
    return r;
}

QString RiepilogoAnalisi(const TAnalisiImportazione& a) {
    QStringList l;
    l << QStringLiteral("Nuovi: %1").arg(Riga(a.nuovi));
    l << QStringLiteral("Aggiornati: %1").arg(Riga(a.aggiornati));
    l << QStringLiteral("Saltati (già presenti): %1").arg(Riga(a.saltati));
    l << QStringLiteral("Rifiutati: %1").arg(Riga(a.rifiutati));
    l << QStringLiteral("Produttori da creare: %1").arg(Riga(a.produttoriDaCreare));
    l << QStringLiteral("Categorie da creare: %1").arg(Riga(a.categorieDaCreare));
    l << QStringLiteral("Carichi iniziali: %1").arg(Riga(a.carichi));
    l << QStringLiteral("Valori tagliati alla misura del campo: %1").arg(Riga(a.valoriTagliati));
    return l.join(QLatin1Char('\n'));
}

QString SalvaRifiutati(const TSorgente& s, const TAnalisiImportazione& a, const QString& percorso) {
    const auto campo = [](QString t) {
        if (t.contains(QLatin1Char(';')) || t.contains(QLatin1Char('"')) || t.contains(QLatin1Char('\n')) ||
            t.contains(QLatin1Char('\r')))
            t = QLatin1Char('"') + t.replace(QLatin1Char('"'), QStringLiteral("\"\"")) + QLatin1Char('"');
        return t;
    };
    QByteArray out("\xEF\xBB\xBF");
    QStringList h;
    h << QStringLiteral("Riga");
    for (const QString& t : s.intestazioni) h << campo(t);
    h << QStringLiteral("Motivo");
    out += h.join(QLatin1Char(';')).toUtf8() + "\r\n";
    for (int n = 0; n < a.righe.size() && n < s.righe.size(); ++n) {
        if (a.righe[n].esito != TEsitoRiga::Rifiutato) continue;
        QStringList r;
        r << QString::number(s.numeriRiga[n]);
        for (const TCella& c : s.righe[n]) r << campo(c.comeTesto());
        while (r.size() < s.intestazioni.size() + 1) r << QString();
        r << campo(a.righe[n].motivi.join(QStringLiteral("; ")));
        out += r.join(QLatin1Char(';')).toUtf8() + "\r\n";
    }
    QFile f(percorso);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(out) != out.size() || !f.flush())
        return QStringLiteral("Impossibile scrivere il file %1: %2").arg(QDir::toNativeSeparators(percorso), f.errorString());
    f.close();
    return QString();
}

TEsitoImportazione EseguiImportazione(TArchivio& a, const TSorgente& s, const TOpzioniImportazione& o) {
    TEsitoImportazione e;
    e.analisi = AnalizzaImportazione(a, s, o);
    if (!e.analisi.errore.isEmpty()) {
        e.errore = e.analisi.errore;
        return e;
    }
    if (e.analisi.interrotta) {
        e.interrotta = true;
        return e;
    }
    const TAnalisiImportazione& an = e.analisi;
    if (an.daScrivere() == 0) {
        e.errore = QStringLiteral("Nessuna riga da importare: l'archivio non è stato modificato.");
        return e;
    }
    // The tables are attached first: a file cannot be attached inside a transaction.
    const QStringList tabelle = {Definizioni::Prodotti, Definizioni::Produttori, Definizioni::Categorie, Definizioni::Storico};
    for (const QString& t : tabelle) a.assicuraCollegata(t);

    // The backup into today's folder, through the backup's own copy.
    const QString cartella = a.cartella().endsWith(QLatin1Char('/')) ? a.cartella() : a.cartella() + QLatin1Char('/');
    const QString giorno = CopiaDati::CartellaBackup(cartella) + CopiaDati::NomeCartellaGiorno(Oggi()) + QLatin1Char('/');
    if (!QDir().mkpath(giorno)) {
        e.errore = QStringLiteral("Impossibile creare la cartella di backup %1: l'importazione non è stata eseguita.")
                       .arg(QDir::toNativeSeparators(giorno));
        return e;
    }
    for (const QString& f : CopiaDati::FileDaSalvare(cartella)) {
        const QString errore = CopiaDati::SalvaFile(&a, cartella + f, giorno + f);
        if (!errore.isEmpty()) {
            e.errore = QStringLiteral("Il backup prima dell'importazione non è riuscito (%1): l'archivio non è stato "
                                      "modificato.")
                           .arg(errore);
            return e;
        }
    }
    e.cartellaBackup = giorno;

    const QVector<TDefCampo> campi = CampiTabella(o.tipo);
    const int colonne = int(s.intestazioni.size());
    const QString campoId = CampoId(o.tipo);
    // The fields the file gives, with their column.
    QVector<QPair<QString, int>> mappati;
    int colProd = -1, colCat = -1, colCarico = -1;
    for (int i = 0; i < colonne && i < o.destinazioni.size(); ++i) {
        const QString& k = o.destinazioni[i];
        if (k == D::NomeProduttore) colProd = i;
        else if (k == D::NomeCategoria) colCat = i;
        else if (k == D::CaricoIniziale) colCarico = i;
        else if (!k.isEmpty()) mappati.append({k, i});
    }

    try {
        TTransazione t(a);
        sqlite3* h = a.handle();
        const TStatoLibro stato = LeggiStato(a, o.tipo);
        QHash<QString, int> produttori = stato.produttori, categorie = stato.categorie;
        if (o.tipo == TTipoImportazione::Prodotti) {
            int id = stato.idMassimoProduttori;
            TIstruzione p(h, QStringLiteral("INSERT INTO %1 (\"%2\", \"%3\", \"%4\") VALUES (?, ?, ?)")
                                 .arg(a.nomeQualificato(Definizioni::Produttori), Produttori::Id, Produttori::Nome, Produttori::Cognome));
            for (const QString& n : an.produttoriNuovi) {
                p.lega({++id, n, QString()});
                p.esegui();
                produttori.insert(ChiaveNome(n), id);
            }
            id = stato.idMassimoCategorie;
            TIstruzione c(h, QStringLiteral("INSERT INTO %1 (\"%2\", \"%3\") VALUES (?, ?)")
                                 .arg(a.nomeQualificato(Definizioni::Categorie), Cat::Id, Cat::Categoria));
            for (const QString& n : an.categorieNuove) {
                c.lega({++id, n});
                c.esegui();
                categorie.insert(ChiaveNome(n), id);
            }
        }

        // A new record: the fields the file gives, the name lookups, and the
        // defaults a new product gets in its window for the fields it does not give.
        QStringList nomiNuovo;
        for (const TDefCampo& c : campi) nomiNuovo << QLatin1Char('"') + c.nome + QLatin1Char('"');
        QStringList segni;
        for (int i = 0; i < campi.size(); ++i) segni << QStringLiteral("?");
        const QString tabella = a.nomeQualificato(FileTabella(o.tipo));
        TIstruzione inserisci(h, QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                     .arg(tabella, nomiNuovo.join(QLatin1Char(',')), segni.join(QLatin1Char(','))));
        // An update: only the fields the file gives (never the ID).
        QStringList assegna;
        QVector<int> colonneAggiornate;
        for (const auto& [k, i] : mappati)
            if (k != campoId) {
                assegna << QStringLiteral("\"%1\" = ?").arg(k);
                colonneAggiornate << i;
            }
        if (colProd >= 0) assegna << QStringLiteral("\"%1\" = ?").arg(Prodotti::IdProduttore);
        if (colCat >= 0) assegna << QStringLiteral("\"%1\" = ?").arg(Prodotti::IdCategoria);
        std::optional<TIstruzione> aggiorna;
        if (!assegna.isEmpty())
            aggiorna.emplace(h, QStringLiteral("UPDATE %1 SET %2 WHERE \"%3\" = ?").arg(tabella, assegna.join(QStringLiteral(", ")), campoId));

        QVector<int> colonnaDi(campi.size(), -1);
        for (const auto& [k, i] : mappati)
            for (int f = 0; f < campi.size(); ++f)
                if (campi[f].nome == k) colonnaDi[f] = i;
        int idNuovo = stato.idMassimo;
        QSet<int> idPresi = stato.id;
        for (const TRigaImportata& r : an.righe)
            if (r.esito == TEsitoRiga::Nuovo && colonnaDi[0] >= 0 && !r.valori[colonnaDi[0]].isNull())
                idPresi.insert(r.valori[colonnaDi[0]].toInt());
        // The ID of each name text the analysis found, looked up once; a row reads it by index.
        const auto idNomi = [](const QHash<QString, int>& m, const QStringList& testi) {
            QVector<int> id;
            id.reserve(testi.size());
            for (const QString& t : testi) id << m.value(ChiaveNome(t), 0);
            return id;
        };
        const QVector<int> idProduttoreDi = idNomi(produttori, an.nomiProduttori);
        const QVector<int> idCategoriaDi = idNomi(categorie, an.nomiCategorie);
        const auto idNome = [](const QVector<int>& id, int indice) -> QVariant { return indice < 0 ? 0 : id[indice]; };
        const QString oggiIso = Oggi().toString(Qt::ISODate);
        QVector<QPair<int, TRigaImportata const*>> carichi;
        const qint64 totale = an.righe.size() + an.carichi;
        QVariantList valori;
        // What a new record gets in a field the file does not give, decided once per field.
        enum Predefinito { Nulla, IdDelProduttore, IdDellaCategoria, Zero, DataDiOggi };
        QVector<Predefinito> predefinito(campi.size(), Nulla);
        if (o.tipo == TTipoImportazione::Prodotti)
            for (int f = 0; f < campi.size(); ++f) {
                const QString& nome = campi[f].nome;
                if (nome == Prodotti::IdProduttore) predefinito[f] = colProd >= 0 ? IdDelProduttore : Zero;
                else if (nome == Prodotti::IdCategoria) predefinito[f] = colCat >= 0 ? IdDellaCategoria : Zero;
                else if (nome == Prodotti::GiacenzaMax || nome == Prodotti::Carichi || nome == Prodotti::Scarichi ||
                         nome == Prodotti::Quantita || nome == Prodotti::Prezzo || nome == Prodotti::Prezzo2)
                    predefinito[f] = Zero;
                else if (nome == Prodotti::DataOggi) predefinito[f] = DataDiOggi;
            }
        for (int n = 0; n < an.righe.size(); ++n) {
            if (n % 1000 == 0 && o.avanzamento && !o.avanzamento(n, totale)) throw Interrotta();
            const TRigaImportata& r = an.righe[n];
            if (r.esito == TEsitoRiga::Nuovo) {
                int id = 0;
                valori.clear();
                for (int f = 0; f < campi.size(); ++f) {
                    QVariant v;
                    if (colonnaDi[f] >= 0) v = r.valori[colonnaDi[f]];
                    else switch (predefinito[f]) {
                        case Nulla: break;
                        case IdDelProduttore: v = idNome(idProduttoreDi, r.nomeProduttore); break;
                        case IdDellaCategoria: v = idNome(idCategoriaDi, r.nomeCategoria); break;
                        case Zero: v = 0; break;
                        case DataDiOggi: v = oggiIso; break;
                        }
                    if (f == 0) {
                        if (v.isNull()) {
                            while (idPresi.contains(++idNuovo)) {}
                            v = idNuovo;
                        }
                        id = v.toInt();
                    }
                    valori << v;
                }
                inserisci.lega(valori);
                inserisci.esegui();
                if (colCarico >= 0 && o.carichiIniziali && r.valori[colCarico].toInt() > 0) carichi.append({id, &r});
            } else if (r.esito == TEsitoRiga::Aggiornato && aggiorna) {
                valori.clear();
                for (int i : colonneAggiornate) valori << r.valori[i];
                if (colProd >= 0) valori << idNome(idProduttoreDi, r.nomeProduttore);
                if (colCat >= 0) valori << idNome(idCategoriaDi, r.nomeCategoria);
                valori << r.idEsistente;
                aggiorna->lega(valori);
                aggiorna->esegui();
            }
        }
        // Opening loads: ordinary loads of the movement routine, inside this transaction.
        const int colPrezzo = [&] {
            for (const auto& [k, i] : mappati)
                if (k == Prodotti::Prezzo) return i;
            return -1;
        }();
        const int colPrezzo2 = [&] {
            for (const auto& [k, i] : mappati)
                if (k == Prodotti::Prezzo2) return i;
            return -1;
        }();
        for (int n = 0; n < carichi.size(); ++n) {
            if (n % 200 == 0 && o.avanzamento && !o.avanzamento(an.righe.size() + n, totale)) throw Interrotta();
            const TRigaImportata& r = *carichi[n].second;
            TDatiMovimento d;
            d.quantita = r.valori[colCarico].toInt();
            d.prezzoAcq = colPrezzo >= 0 ? r.valori[colPrezzo].toDouble() : 0;
            d.prezzoVen = colPrezzo2 >= 0 ? r.valori[colPrezzo2].toDouble() : 0;
            TOpzioniMovimento om;
            om.registraStorico = true;
            EseguiMovimento(Azioni::Carico, carichi[n].first, d, om);
        }
        if (o.avanzamento && !o.avanzamento(totale, totale)) throw Interrotta();
        t.conferma();
    } catch (const Interrotta&) {
        e.interrotta = true;
    } catch (const ErroreArchivio& x) {
        e.errore = QStringLiteral("Importazione non eseguita, l'archivio non è stato modificato: %1").arg(x.testo());
    }
    return e;
}
