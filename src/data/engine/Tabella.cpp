#include "data/engine/Tabella.h"

#include "data/engine/Record.h"

#include <QSqlRecord>

// ---------------------------------------------------------------------------
// TRecord

TRecord::TRecord(const QVector<TDefCampo>& campi) : m_campi(campi), m_valori(campi.size()) {}

int TRecord::indice(const QString& nome) const {
    for (int i = 0; i < m_campi.size(); ++i)
        if (m_campi[i].nome.compare(nome, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

int TRecord::richiedi(const QString& nome) const {
    const int i = indice(nome);
    if (i < 0) throw ErroreArchivio(QStringLiteral("Campo inesistente: %1").arg(nome), ErroreArchivio::CtxStruttura);
    return i;
}

QVariant TRecord::valore(const QString& nome) const { return m_valori[richiedi(nome)]; }
bool TRecord::nullo(const QString& nome) const { return m_valori[richiedi(nome)].isNull(); }
int TRecord::intero(const QString& nome) const { return m_valori[richiedi(nome)].toInt(); }
double TRecord::reale(const QString& nome) const { return m_valori[richiedi(nome)].toDouble(); }
QDate TRecord::data(const QString& nome) const { return m_valori[richiedi(nome)].toDate(); }
bool TRecord::booleano(const QString& nome) const { return m_valori[richiedi(nome)].toBool(); }

QString TRecord::testo(const QString& nome) const {
    const QVariant& v = m_valori[richiedi(nome)];
    return v.isNull() ? QString() : v.toString();
}

QString TRecord::comeTesto(const QString& nome) const {
    const int i = richiedi(nome);
    const QVariant& v = m_valori[i];
    if (v.isNull()) return QString();
    switch (m_campi[i].tipo) {
    case TTipoCampo::Boolean: return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case TTipoCampo::Date: return v.toDate().toString(QStringLiteral("dd/MM/yyyy"));
    case TTipoCampo::Float: return TestoNumeroGenerale(v.toDouble());
    default: return v.toString();
    }
}

void TRecord::imposta(const QString& nome, const QVariant& valore) {
    const int i = richiedi(nome);
    m_valori[i] = LeggiDaCampo(m_campi[i], ConvertiPerCampo(m_campi[i], valore));
}

void TRecord::svuota() {
    for (QVariant& v : m_valori) v = QVariant();
}

// ---------------------------------------------------------------------------
// TTabella

TTabella::TTabella(TArchivio& archivio, const QString& nomeTabella) : m_archivio(archivio), m_nome(nomeTabella) {}

TTabella::~TTabella() {
    try {
        chiudi();
    } catch (...) {
    }
}

void TTabella::impostaFiltro(const QString& condizione, const QVariantList& parametri) {
    m_condizione = condizione;
    m_parametri = parametri;
}

void TTabella::impostaOrdine(const QString& ordine) { m_ordine = ordine; }

void TTabella::controllaAperta() const {
    if (m_stato == Stato::Chiusa)
        throw ErroreArchivio(QStringLiteral("Tabella %1 non aperta").arg(m_nome), ErroreArchivio::CtxStato);
}

void TTabella::impostaStato(Stato s) {
    if (m_stato == s) return;
    m_stato = s;
    if (cambioStato) cambioStato();
}

void TTabella::apri() {
    if (aperta()) return;
    m_qualificato = m_archivio.nomeQualificato(m_nome);
    m_struttura = m_archivio.leggiStruttura(m_nome);
    m_ordineChiave = QStringLiteral("rowid");
    m_campoRowid.clear();
    for (const TDefIndice& ix : m_struttura.indici) {
        if (!(ix.opzioni & ixPrimario)) continue;
        const bool aliasRowid = ix.campi.size() == 1 && m_struttura.indiceCampo(ix.campi[0]) >= 0 &&
                                m_struttura.campi[m_struttura.indiceCampo(ix.campi[0])].tipo == TTipoCampo::Integer;
        if (aliasRowid) {
            m_campoRowid = ix.campi[0];
        } else {
            QStringList q;
            for (const QString& c : ix.campi) q << QLatin1Char('"') + c + QLatin1Char('"');
            m_ordineChiave = q.join(QLatin1Char(','));
        }
    }
    m_record = TRecord(m_struttura.campi);
    m_stato = Stato::Consultazione;
    caricaChiavi();
    posiziona(m_chiavi.isEmpty() ? -1 : 0);
    if (cambioStato) cambioStato();
}

void TTabella::chiudi() {
    if (!aperta()) return;
    m_chiavi.clear();
    m_posizione = -1;
    m_record = TRecord();
    m_inserimento.reset();
    m_stato = Stato::Chiusa;
}

QString TTabella::sqlChiavi(const QString& altraCondizione) const {
    QString sql = QStringLiteral("SELECT rowid FROM ") + m_qualificato;
    QStringList condizioni;
    if (!m_condizione.isEmpty()) condizioni << QLatin1Char('(') + m_condizione + QLatin1Char(')');
    if (!altraCondizione.isEmpty()) condizioni << altraCondizione;
    if (!condizioni.isEmpty()) sql += QStringLiteral(" WHERE ") + condizioni.join(QStringLiteral(" AND "));
    sql += QStringLiteral(" ORDER BY ") + (m_ordine.isEmpty() ? m_ordineChiave : m_ordine + QStringLiteral(", ") + m_ordineChiave);
    return sql;
}

void TTabella::caricaChiavi() {
    m_chiavi.clear();
    QSqlQuery q = m_archivio.esegui(sqlChiavi(), m_parametri);
    while (q.next()) m_chiavi << q.value(0).toLongLong();
}

qint64 TTabella::chiaveCorrente() const {
    return (m_posizione >= 0 && m_posizione < m_chiavi.size()) ? m_chiavi[m_posizione] : -1;
}

void TTabella::leggiCorrente() {
    m_record.svuota();
    if (m_posizione < 0) return;
    QSqlQuery q = m_archivio.esegui(QStringLiteral("SELECT * FROM %1 WHERE rowid = ?").arg(m_qualificato),
                                    {m_chiavi[m_posizione]});
    if (!q.next()) return;
    const QSqlRecord r = q.record();
    for (int i = 0; i < m_struttura.campi.size() && i < r.count(); ++i)
        m_record.impostaGrezzo(i, LeggiDaCampo(m_struttura.campi[i], q.value(i)));
}

void TTabella::posiziona(int indice, bool notifica) {
    if (m_chiavi.isEmpty()) {
        m_posizione = -1;
        m_bof = m_eof = true;
    } else {
        m_posizione = std::clamp(indice, 0, static_cast<int>(m_chiavi.size()) - 1);
        m_bof = m_eof = false;
    }
    leggiCorrente();
    if (notifica && dopoScorrimento) dopoScorrimento();
}

void TTabella::vaiA(int numero) {
    controllaAperta();
    if (inModifica()) registra();
    posiziona(numero - 1);
}

void TTabella::primo() {
    controllaAperta();
    if (inModifica()) registra();
    posiziona(0);
    m_bof = true;
}

void TTabella::ultimo() {
    controllaAperta();
    if (inModifica()) registra();
    posiziona(static_cast<int>(m_chiavi.size()) - 1);
    m_eof = true;
}

void TTabella::successivo() {
    controllaAperta();
    if (inModifica()) registra();
    if (m_posizione + 1 >= m_chiavi.size()) {
        m_eof = true;
        return;
    }
    posiziona(m_posizione + 1);
}

void TTabella::precedente() {
    controllaAperta();
    if (inModifica()) registra();
    if (m_posizione <= 0) {
        m_bof = true;
        return;
    }
    posiziona(m_posizione - 1);
}

bool TTabella::trova(const QString& campo, const QVariant& valore) {
    controllaAperta();
    const int i = m_struttura.indiceCampo(campo);
    if (i < 0) throw ErroreArchivio(QStringLiteral("Campo inesistente: %1").arg(campo), ErroreArchivio::CtxStruttura);
    const QVariant v = ConvertiPerCampo(m_struttura.campi[i], valore);
    // The first record in the cursor's order whose field holds the value.
    QVariantList p = m_parametri;
    p << v;
    QSqlQuery q = m_archivio.esegui(
        sqlChiavi(QStringLiteral("\"%1\" = ?").arg(m_struttura.campi[i].nome)) + QStringLiteral(" LIMIT 1"), p);
    if (!q.next()) return false;
    const int pos = m_chiavi.indexOf(q.value(0).toLongLong());
    if (pos < 0) return false;
    if (inModifica()) registra();
    posiziona(pos);
    return true;
}

void TTabella::aggiorna() {
    controllaAperta();
    const qint64 chiave = chiaveCorrente();
    const int prima = m_posizione;
    caricaChiavi();
    const int pos = chiave >= 0 ? m_chiavi.indexOf(chiave) : -1;
    posiziona(pos >= 0 ? pos : prima);
}

void TTabella::imposta(const QString& nome, const QVariant& valore) {
    controllaAperta();
    if (!inModifica())
        throw ErroreArchivio(QStringLiteral("La tabella %1 non è in modifica").arg(m_nome), ErroreArchivio::CtxStato);
    m_record.imposta(nome, valore);
}

void TTabella::inserisci() {
    controllaAperta();
    if (inModifica()) registra();
    m_salvato = m_record;
    m_posizionePrima = m_posizione;
    m_record.svuota();
    impostaStato(Stato::Inserimento);
    if (dopoInserimento) dopoInserimento();
}

void TTabella::modifica() {
    controllaAperta();
    if (inModifica()) return;
    if (m_posizione < 0) {
        inserisci();
        return;
    }
    m_salvato = m_record;
    impostaStato(Stato::Modifica);
}

void TTabella::registra() {
    controllaAperta();
    if (!inModifica()) return;
    if (primaDiRegistrare) primaDiRegistrare();
    // The record holds the table's fields in their order.
    QVariantList valori = ValoriDaScrivere(m_record);
    qint64 chiave = -1;
    if (m_stato == Stato::Inserimento) {
        if (!m_inserimento) {
            m_inserimento = std::make_unique<QSqlQuery>(m_archivio.db());
            if (!m_inserimento->prepare(SqlInserimento(m_qualificato, m_struttura.campi)))
                TArchivio::sollevaErrore(*m_inserimento);
        }
        for (int i = 0; i < valori.size(); ++i) m_inserimento->bindValue(i, valori[i]);
        if (!m_inserimento->exec()) TArchivio::sollevaErrore(*m_inserimento);
        chiave = m_inserimento->lastInsertId().toLongLong();
        m_inserimento->finish();
        if (m_accoda) {
            m_chiavi << chiave;
            m_posizione = static_cast<int>(m_chiavi.size()) - 1;
            m_bof = m_eof = false;
            impostaStato(Stato::Consultazione);
            if (dopoRegistrazione) dopoRegistrazione();
            return;
        }
    } else {
        QStringList assegna;
        for (const TDefCampo& c : m_struttura.campi) assegna << QLatin1Char('"') + c.nome + QStringLiteral("\" = ?");
        valori << chiaveCorrente();
        m_archivio.esegui(QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?").arg(m_qualificato, assegna.join(QLatin1Char(','))),
                          valori);
        // An integer key is the row's own number: a changed key moves the row.
        chiave = m_campoRowid.isEmpty() ? chiaveCorrente() : m_record.intero(m_campoRowid);
    }
    impostaStato(Stato::Consultazione);
    caricaChiavi();
    const int pos = m_chiavi.indexOf(chiave);
    posiziona(pos >= 0 ? pos : m_posizione, true);
    if (dopoRegistrazione) dopoRegistrazione();
}

void TTabella::annulla() {
    controllaAperta();
    if (!inModifica()) return;
    const bool inserimento = m_stato == Stato::Inserimento;
    m_record = m_salvato;
    impostaStato(Stato::Consultazione);
    if (inserimento) posiziona(m_posizionePrima);
}

void TTabella::elimina() {
    controllaAperta();
    if (m_stato == Stato::Inserimento) {
        annulla();
        return;
    }
    if (m_posizione < 0)
        throw ErroreArchivio(QStringLiteral("Nessun record da eliminare in %1").arg(m_nome), ErroreArchivio::CtxStato);
    if (primaDiEliminare) primaDiEliminare();
    m_archivio.esegui(QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(m_qualificato), {chiaveCorrente()});
    impostaStato(Stato::Consultazione);
    m_chiavi.removeAt(m_posizione);
    posiziona(m_posizione);
    if (dopoEliminazione) dopoEliminazione();
}
