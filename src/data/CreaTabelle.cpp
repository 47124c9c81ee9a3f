#include "data/CreaTabelle.h"

#include "data/CartellaProgramma.h"
#include "data/Convenzioni.h"
#include "data/Costanti.h"
#include "data/Orologio.h"

#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QTextStream>
#include <sqlite3.h>

namespace {

bool CampiUguali(const TStrutturaTabella& definita, const TStrutturaTabella& esistente) {
    bool uguale = true;
    for (const TDefCampo& d : definita.campi) {
        const int i = esistente.indiceCampo(d.nome);
        if (i < 0) {
            uguale = false;
            continue;
        }
        const TDefCampo& e = esistente.campi[i];
        if (e.tipo != d.tipo) uguale = false;
        else if (e.tipo != TTipoCampo::Memo && e.dimensione != d.dimensione) uguale = false;
    }
    return uguale;
}

bool StesseOpzioni(int definite, int esistenti) {
    return definite == esistenti || (definite == ixPrimario && esistenti == (ixPrimario | ixUnico));
}

bool StessiCampi(const QStringList& a, const QStringList& b) {
    if (a.size() != b.size()) return false;
    for (int i = 0; i < a.size(); ++i)
        if (a[i].compare(b[i], Qt::CaseInsensitive) != 0) return false;
    return true;
}

bool IndiciUguali(const TStrutturaTabella& definita, const TStrutturaTabella& esistente) {
    if (definita.indici.size() != esistente.indici.size()) return false;
    for (const TDefIndice& d : definita.indici) {
        bool trovato = false;
        for (const TDefIndice& e : esistente.indici) {
            if (StesseOpzioni(d.opzioni, e.opzioni) && d.espressione == e.espressione && StessiCampi(d.campi, e.campi) &&
                d.nome.compare(e.nome, Qt::CaseInsensitive) == 0) {
                trovato = true;
                break;
            }
        }
        if (!trovato) return false;
    }
    return true;
}

// The copy of every old record in one statement. It succeeds only when the
// new structure accepts every record; otherwise it leaves nothing behind and
// the records are copied one by one, so that each refused one is logged.
// Counts the rows the copy reads, for its progress: a function of no
// arguments that is always true, put in the copy's WHERE.
struct TContaRighe {
    const std::function<void(qint64)>* avanzamento;
    qint64 righe = 0;
};

void FunzioneContaRighe(sqlite3_context* contesto, int, sqlite3_value**) {
    auto* c = static_cast<TContaRighe*>(sqlite3_user_data(contesto));
    if (++c->righe % 4096 == 0) (*c->avanzamento)(c->righe);
    sqlite3_result_int(contesto, 1);
}

bool CopiaInBlocco(TArchivio& a, const QString& vecchia, const TStrutturaTabella& vecchiaStruttura,
                   const QString& nuova, const TStrutturaTabella& nuovaStruttura,
                   const std::function<void(qint64)>& avanzamento) {
    QStringList destinazione, sorgente;
    for (const TDefCampo& d : nuovaStruttura.campi) {
        const int i = vecchiaStruttura.indiceCampo(d.nome);
        if (i < 0) continue;
        const TDefCampo& v = vecchiaStruttura.campi[i];
        const QString colonna = QLatin1Char('"') + v.nome + QLatin1Char('"');
        destinazione << QLatin1Char('"') + d.nome + QLatin1Char('"');
        // substr() counts characters (code points), as the store's conversion does.
        if (d.tipo == TTipoCampo::String && (v.tipo == TTipoCampo::String || v.tipo == TTipoCampo::Memo))
            sorgente << QStringLiteral("substr(%1, 1, %2)").arg(colonna).arg(d.dimensione);
        else if (d.tipo == v.tipo)
            sorgente << colonna;
        else
            sorgente << QStringLiteral("zr_conv(%1, %2, %3)").arg(colonna).arg(static_cast<int>(d.tipo)).arg(d.dimensione);
    }
    if (destinazione.isEmpty()) return false;
    // An empty required field must be refused record by record; SQLite would
    // number an empty integer key by itself.
    QStringList vuoti;
    for (const TDefCampo& d : nuovaStruttura.campi) {
        if (!d.richiesto) continue;
        const int i = vecchiaStruttura.indiceCampo(d.nome);
        if (i < 0) return false;
        vuoti << QStringLiteral("\"%1\" IS NULL").arg(vecchiaStruttura.campi[i].nome);
    }
    if (!vuoti.isEmpty() &&
        a.valoreSingolo(QStringLiteral("SELECT count(*) FROM %1 WHERE %2").arg(a.nomeQualificato(vecchia), vuoti.join(QStringLiteral(" OR "))))
                .toInt() > 0)
        return false;
    TContaRighe conta{&avanzamento};
    sqlite3* h = a.handle();
    if (avanzamento)
        sqlite3_create_function_v2(h, "zr_conta_righe", 0, SQLITE_UTF8, &conta, FunzioneContaRighe, nullptr, nullptr, nullptr);
    const auto togli = qScopeGuard([&] {
        if (avanzamento) sqlite3_create_function_v2(h, "zr_conta_righe", 0, SQLITE_UTF8, nullptr, nullptr, nullptr, nullptr, nullptr);
    });
    try {
        TTransazione blocco(a);
        a.esegui(QStringLiteral("INSERT INTO %1 (%2) SELECT %3 FROM %4%5 ORDER BY rowid")
                     .arg(a.nomeQualificato(nuova), destinazione.join(QLatin1Char(',')), sorgente.join(QLatin1Char(',')),
                          a.nomeQualificato(vecchia), avanzamento ? QStringLiteral(" WHERE zr_conta_righe()") : QString()));
        blocco.conferma();
        return true;
    } catch (const ErroreArchivio& e) {
        if (e.guasto()) throw;  // the disk or the engine failed, not a record
        return false;
    }
}

void ScriviRecord(QTextStream& out, const TRecord& r) {
    for (const TDefCampo& c : r.campi()) out << c.nome << ": '" << r.comeTesto(c.nome) << "'\n";
}

void RegistraErrore(const TTabella& sorgente, const TTabella& destinazione, const ErroreArchivio& e) {
    QFile log(CartellaProgramma() + QStringLiteral("dberrori.log"));
    if (log.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text)) {
        QTextStream out(&log);
        const QDateTime ora = Adesso();
        out << "\n";
        out << "data e ora: " << ora.date().toString(FormatoData) << " " << ora.time().toString(QStringLiteral("HH:mm:ss"))
            << "\n";
        out << "Errore: " << e.testo() << " - Help context: " << e.contestoAiuto() << "\n";
        out << "DATI RECORD TABELLA ORIGINE: " << sorgente.nomeTabella() << ", DATABASE: " << "\n";
        ScriviRecord(out, sorgente.record());
        out << "\n";
        out << "DATI RECORD TABELLA DESTINAZIONE:" << destinazione.nomeTabella() << ", DATABASE: " << "\n";
        ScriviRecord(out, destinazione.record());
        out.flush();
        log.close();
    }
}

// What failed, in the words the user reads.
QString CausaGuasto(const ErroreArchivio& e) { return CausaErroreMotore(e.codiceMotore()); }

// The interface language is not among the declared settings: a translated
// installation brings it in its own settings table. When that table is
// rebuilt (a field added to the settings), the field goes along with the
// others, so that the installation keeps its language.
void ConservaLingua(TDefinizioneTabella& definizione) {
    TArchivio& a = TArchivio::corrente();
    if (!a.esisteTabella(definizione.nomeFile)) return;
    const TStrutturaTabella esistente = a.leggiStruttura(definizione.nomeFile);
    const int i = esistente.indiceCampo(Impostazioni::Lingua);
    if (i >= 0 && definizione.struttura.indiceCampo(Impostazioni::Lingua) < 0)
        definizione.struttura.campi << esistente.campi[i];
}

}  // namespace

QString NomeTemporaneo(const QString& nomeFile) {
    const QString estensione = QStringLiteral(".") + QFileInfo(nomeFile).suffix();
    return nomeFile + QStringLiteral("APPOGGIO") + estensione;
}

bool CopiaRecord(TTabella& sorgente, TTabella& destinazione, TResocontoTabelle* resoconto) {
    destinazione.inserisci();
    try {
        for (const TDefCampo& c : sorgente.campi())
            if (destinazione.record().haCampo(c.nome)) destinazione.imposta(c.nome, sorgente.valore(c.nome));
        destinazione.registra();
        return true;
    } catch (const ErroreArchivio& e) {
        if (e.guasto()) {
            // Not a record the new structure refuses: the rebuild stops.
            destinazione.annulla();
            throw;
        }
        RegistraErrore(sorgente, destinazione, e);
        if (resoconto)
            resoconto->append({true, QStringLiteral("Trovati errori in fase di aggiornamento tabella.+#1310+Consultare il file ") +
                                         CartellaProgramma() + QStringLiteral("dberrori.log e contattare ") +
                                         Costanti::NomeProduttore + QStringLiteral(".")});
        destinazione.annulla();
        return false;
    }
}

void AggiornaStrutturaTabella(TDefinizioneTabella& definizione, TResocontoTabelle* resoconto,
                              const TAvanzamentoTabelle& avanzamento) {
    TArchivio& a = TArchivio::corrente();
    const QString n = definizione.nomeFile;
    const QString temporanea = NomeTemporaneo(n);
    struct Svuota {
        TDefinizioneTabella& d;
        QString nome;
        TArchivio& archivio;
        ~Svuota() {
            d.struttura.campi.clear();
            d.struttura.indici.clear();
            d.nomeFile = nome;
            archivio.collocaTabella(NomeTemporaneo(nome), QString());
        }
    } svuota{definizione, n, a};

    // A table file that is a symbolic link is rebuilt where it points: the
    // temporary table is built beside the link's target and renamed over it,
    // so the link stays and the records stay in one file. A link that leads
    // nowhere (a folder not mounted) is left alone: a new empty table in its
    // place would split the books in two.
    const QFileInfo file(a.percorsoFile(n));
    if (file.isSymLink()) {
        if (!file.exists())
            throw ErroreArchivio(QStringLiteral("La tabella '%1' è un collegamento a %2, che non esiste: la tabella non è "
                                                "stata né creata né modificata. Ripristinare il collegamento e riavviare "
                                                "il programma.")
                                     .arg(n, file.symLinkTarget()),
                                 ErroreArchivio::CtxApertura);
        const QFileInfo bersaglio(a.fileReale(n));
        a.collocaTabella(temporanea, bersaglio.absolutePath() + QLatin1Char('/') + NomeTemporaneo(bersaglio.fileName()));
    }

    // A rebuild interrupted before its swap leaves only its temporary table.
    if (a.esisteTabella(temporanea)) a.eliminaTabella(temporanea);

    if (!a.esisteTabella(n)) {
        // Built under the temporary name and renamed complete, so that a
        // table file that exists always holds its table.
        a.creaTabella(temporanea, definizione.struttura);
        a.rinominaTabella(temporanea, n);
        return;
    }

    const TStrutturaTabella esistente = a.leggiStruttura(n);
    if (CampiUguali(definizione.struttura, esistente) && IndiciUguali(definizione.struttura, esistente)) return;

    definizione.nomeFile = temporanea;
    int rifiutati = 0;
    try {
        a.creaTabella(temporanea, definizione.struttura);
        {
            TTabella vecchia(a, n);
            TTabella nuova(a, temporanea);
            nuova.impostaAccodamento(true);
            TTransazione t(a);
            qint64 righe = -1;
            if (avanzamento) {
                righe = a.valoreSingolo(QStringLiteral("SELECT count(*) FROM %1").arg(a.nomeQualificato(n))).toLongLong();
                avanzamento(n, 0, righe);
            }
            const std::function<void(qint64)> copiate =
                avanzamento ? std::function<void(qint64)>([&](qint64 fatte) { avanzamento(n, fatte, righe); })
                            : std::function<void(qint64)>();
            if (!CopiaInBlocco(a, n, esistente, temporanea, definizione.struttura, copiate)) {
                vecchia.apri();
                nuova.apri();
                const int totale = vecchia.conteggio();
                for (int r = 1; r <= totale; ++r) {
                    vecchia.vaiA(r);
                    if (!CopiaRecord(vecchia, nuova, resoconto)) ++rifiutati;
                    if (avanzamento && (r % 1024 == 0 || r == totale)) avanzamento(n, r, totale);
                }
                vecchia.chiudi();
                nuova.chiudi();
            } else if (avanzamento) {
                avanzamento(n, righe, righe);
            }
            t.conferma();
        }
        if (rifiutati > 0 && resoconto)
            resoconto->append({false, QStringLiteral("Attenzione! alla tabella: ") + n + QStringLiteral(" mancano n. ") +
                                          QString::number(rifiutati) + QStringLiteral(" records (righe).")});
        a.rinominaTabella(temporanea, n);
    } catch (const ErroreArchivio& e) {
        // The old table was only read: it stays as it was. The temporary one
        // goes, whatever state the failure left it in.
        try {
            a.eliminaTabella(temporanea);
        } catch (const ErroreArchivio&) {
        }
        if (!e.guasto()) throw;
        throw ErroreArchivio(QStringLiteral("Non riesco ad aggiornare la tabella: '%1' (%2). La tabella è rimasta com'era, "
                                            "con tutti i suoi dati; risolto il problema, riavviare il programma.")
                                 .arg(n, CausaGuasto(e)),
                             e.contestoAiuto(), e.codiceMotore());
    }
}

void CreaTabelle(TResocontoTabelle* resoconto, const TAvanzamentoTabelle& avanzamento) {
    const QString tabelle[] = {Definizioni::Produttori, Definizioni::Prodotti, Definizioni::Storico,
                               Definizioni::Impostazioni, Definizioni::Categorie};
    for (const QString& nome : tabelle) {
        TDefinizioneTabella d = Definizioni::Definizione(nome);
        if (nome == Definizioni::Impostazioni) ConservaLingua(d);
        AggiornaStrutturaTabella(d, resoconto, avanzamento);
        if (nome != Definizioni::Impostazioni) continue;
        TTabella impostazioni(TArchivio::corrente(), nome);
        impostazioni.apri();
        if (impostazioni.vuota()) {
            impostazioni.inserisci();
            for (const QString& campo : {Impostazioni::CarStampaStorico, Impostazioni::CarStampaProduttori,
                                         Impostazioni::CarStampaProdotti, Impostazioni::CarStampaListino,
                                         Impostazioni::CarStampaGiacenze, Impostazioni::CarStampaInventario,
                                         Impostazioni::CarStampaQtaAlert})
                impostazioni.imposta(campo, 10);
            impostazioni.imposta(Impostazioni::OrdProdottiStandard, false);
            impostazioni.imposta(Impostazioni::CancAutomatica, false);
            impostazioni.imposta(Impostazioni::DataIngressoAutomatica, true);
            impostazioni.imposta(Impostazioni::ProponiInsStorico, true);
            impostazioni.imposta(Impostazioni::SovrascriviPrezListino, true);
            impostazioni.imposta(Impostazioni::GiorniPreavvisoScadenza, 0);
            impostazioni.registra();
        }
        impostazioni.chiudi();
    }
}
