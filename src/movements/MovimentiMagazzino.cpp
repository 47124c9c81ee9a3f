#include "movements/MovimentiMagazzino.h"

#include "data/Convenzioni.h"
#include "data/engine/Definizioni.h"
#include "gui/Gestori.h"
#include "gui/Messaggi.h"
#include "gui/TastoEsc.h"
#include "movements/Movimenti.h"
#include "ui_MovimentiMagazzino.h"

#include <QHeaderView>

namespace {

QString TestoTipo(const QString& azione) {
    if (azione == Azioni::Carico) return QStringLiteral("Carico");
    if (azione == Azioni::Scarico) return QStringLiteral("Scarico");
    if (azione == Azioni::Aggiustamento) return QStringLiteral("Aggiustamento");
    if (azione == Azioni::Inventario) return QStringLiteral("Differenza inventario");
    return azione;
}

QString Importo(const QVariant& v) { return v.isNull() ? QString() : FormattaNumero(v.toDouble(), 2); }

// The kinds of the combo box, in its order.
const QStringList& AzioniTipo() {
    static const QStringList l = {QString(), Azioni::Carico, Azioni::Scarico, Azioni::Aggiustamento, Azioni::Inventario};
    return l;
}

// A typed date, completed as the other date boxes complete it; an empty box
// gives an invalid date (no limit), a text that is no date an error.
QDate LeggiData(const QString& testo, const QString& nome) {
    if (testo.trimmed().isEmpty()) return {};
    const QString completa = DataCompletata(testo.trimmed());
    const QDate d = QDate::fromString(completa, FormatoData);
    if (!d.isValid())
        throw ErroreArchivio(QStringLiteral("La data '%1' (%2) non è valida: scriverla come gg/mm/aaaa.").arg(testo, nome),
                             ErroreArchivio::CtxConversione);
    return d;
}

}  // namespace

// ---------------------------------------------------------------------------
// The model

void TModelloMovimenti::imposta(TArchivio& a, const TFiltroStorico& filtro) {
    beginResetModel();
    m_righe.clear();
    m_lettore = std::make_unique<TLettoreStorico>(a, filtro);
    m_righe = m_lettore->prossime(PrimaSchermata);
    endResetModel();
}

void TModelloMovimenti::svuota() {
    beginResetModel();
    m_righe.clear();
    m_lettore.reset();
    endResetModel();
}

int TModelloMovimenti::rowCount(const QModelIndex& g) const { return g.isValid() ? 0 : int(m_righe.size()); }
int TModelloMovimenti::columnCount(const QModelIndex& g) const { return g.isValid() ? 0 : NumColonne; }

bool TModelloMovimenti::canFetchMore(const QModelIndex& g) const {
    return !g.isValid() && m_lettore && !m_lettore->finito();
}

void TModelloMovimenti::fetchMore(const QModelIndex& g) {
    if (!canFetchMore(g)) return;
    QVector<TRigaMovimento> nuove;
    EseguiMostrandoErrori([&] { nuove = m_lettore->prossime(RighePerVolta); });
    if (nuove.isEmpty()) return;
    beginInsertRows({}, int(m_righe.size()), int(m_righe.size() + nuove.size() - 1));
    m_righe += nuove;
    endInsertRows();
}

QVariant TModelloMovimenti::data(const QModelIndex& i, int ruolo) const {
    if (!i.isValid() || i.row() >= m_righe.size()) return {};
    const TRigaMovimento& r = m_righe[i.row()];
    if (ruolo == Qt::TextAlignmentRole) {
        switch (i.column()) {
        case ColId: case ColQuantita: case ColAcquisto: case ColVendita: case ColSaldo:
            return int(Qt::AlignRight | Qt::AlignVCenter);
        default: return int(Qt::AlignLeft | Qt::AlignVCenter);
        }
    }
    if (ruolo != Qt::DisplayRole) return {};
    switch (i.column()) {
    case ColId: return QString::number(r.id);
    case ColData: return r.data.toString(FormatoData);
    case ColTipo: return TestoTipo(r.azione);
    case ColCodice: return r.nome;
    case ColDescrizione: return r.descrizione;
    case ColQuantita: return FormattaNumero(r.quantita, 0);
    case ColAcquisto: return Importo(r.prezzoAcq);
    case ColVendita: return Importo(r.prezzoVen);
    case ColSaldo: return r.saldo.isNull() ? QString() : FormattaNumero(r.saldo.toDouble(), 0);
    case ColNote:
        if (!r.storna.isNull()) return QStringLiteral("Storno del n. %1").arg(r.storna.toInt());
        if (!r.stornatoDa.isNull()) return QStringLiteral("Stornato dal n. %1").arg(r.stornatoDa.toInt());
        return QString();
    default: return {};
    }
}

QVariant TModelloMovimenti::headerData(int s, Qt::Orientation o, int ruolo) const {
    if (o != Qt::Horizontal || ruolo != Qt::DisplayRole) return QAbstractTableModel::headerData(s, o, ruolo);
    static const QStringList titoli = {QStringLiteral("N."),        QStringLiteral("Data"),
                                       QStringLiteral("Tipo"),      QStringLiteral("Codice"),
                                       QStringLiteral("Descrizione"), QStringLiteral("Q.tà"),
                                       QStringLiteral("Importo acq."), QStringLiteral("Importo ven."),
                                       QStringLiteral("Saldo"),     QStringLiteral("Note")};
    return s >= 0 && s < titoli.size() ? titoli[s] : QVariant();
}

// ---------------------------------------------------------------------------
// The window

TfrmMovimentiMagazzino::TfrmMovimentiMagazzino(QWidget* genitore)
    : QDialog(genitore), m_ui(std::make_unique<Ui::TfrmMovimentiMagazzino>()) {
    m_ui->setupUi(this);
    m_modello = new TModelloMovimenti(this);
    m_ui->grMovimenti->setModel(m_modello);
    m_ui->grMovimenti->verticalHeader()->hide();
    m_ui->grMovimenti->verticalHeader()->setDefaultSectionSize(m_ui->grMovimenti->fontMetrics().height() + 6);
    // The description takes the width left over, so that with the balance
    // column shown the notes still fit the window and need no scrolling.
    // The number, the kind and the notes are as wide as their longest texts
    // (numbers of seven digits: a history of millions of rows).
    const QFontMetrics fm(m_ui->grMovimenti->font());
    const int larghezze[] = {fm.horizontalAdvance(QStringLiteral("0000000")) + 12, 80,
                             fm.horizontalAdvance(QStringLiteral("Differenza inventario")) + 12, 80, 0, 55, 95, 95, 60,
                             fm.horizontalAdvance(QStringLiteral("Stornato dal n. 0000000")) + 12};
    static_assert(std::size(larghezze) == TModelloMovimenti::NumColonne);
    for (int c = 0; c < int(std::size(larghezze)); ++c)
        if (c != TModelloMovimenti::ColDescrizione) m_ui->grMovimenti->setColumnWidth(c, larghezze[c]);
    m_ui->grMovimenti->horizontalHeader()->setSectionResizeMode(TModelloMovimenti::ColDescrizione, QHeaderView::Stretch);
    connect(m_ui->btnCerca, &QPushButton::clicked, this, Gestore(this, &TfrmMovimentiMagazzino::btnCercaClick));
    connect(m_ui->btnStorna, &QPushButton::clicked, this, Gestore(this, &TfrmMovimentiMagazzino::btnStornaClick));
    connect(m_ui->btnEsci, &QPushButton::clicked, this, Gestore(this, &TfrmMovimentiMagazzino::btnEsciClick));
    for (QLineEdit* e : {m_ui->edProdotto, m_ui->edDa, m_ui->edA})
        connect(e, &QLineEdit::returnPressed, this, Gestore(this, &TfrmMovimentiMagazzino::btnCercaClick));
    connect(m_ui->grMovimenti->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] { AggiornaPulsanti(); });
    EscComeEsci(this, [this] { btnEsciClick(); });
    resize(1000, 600);
    btnCercaClick();
}

TfrmMovimentiMagazzino::~TfrmMovimentiMagazzino() = default;

void TfrmMovimentiMagazzino::btnCercaClick() {
    TFiltroStorico f;
    f.prodotto = m_ui->edProdotto->text();
    f.da = LeggiData(m_ui->edDa->text(), QStringLiteral("Dal"));
    f.a = LeggiData(m_ui->edA->text(), QStringLiteral("Al"));
    f.azione = AzioniTipo().value(m_ui->cbTipo->currentIndex());
    m_modello->imposta(TArchivio::corrente(), f);
    const TLettoreStorico* l = m_modello->lettore();
    m_ui->grMovimenti->setColumnHidden(TModelloMovimenti::ColSaldo, l->idProdotto() == 0);
    if (l->idProdotto() != 0) {
        const TRecord p = LeggiProdotto(l->idProdotto());
        m_ui->lblSaldo->setText(QStringLiteral("Saldo attuale del prodotto '%1': %2. La colonna Saldo mostra il saldo "
                                               "dopo ogni movimento.")
                                    .arg(l->nomeProdotto(), FormattaNumero(p.intero(Prodotti::Quantita), 0)));
    } else {
        m_ui->lblSaldo->setText(QStringLiteral("Scrivere il codice esatto di un prodotto per vederne il saldo dopo ogni "
                                               "movimento."));
    }
    if (m_modello->rowCount() > 0) m_ui->grMovimenti->selectRow(0);
    AggiornaPulsanti();
}

void TfrmMovimentiMagazzino::AggiornaPulsanti() {
    const int r = m_ui->grMovimenti->currentIndex().row();
    bool stornabile = false;
    if (r >= 0 && r < m_modello->rowCount()) {
        const TRigaMovimento& m = m_modello->riga(r);
        stornabile = m.azione == Azioni::Carico || m.azione == Azioni::Scarico || m.azione == Azioni::Aggiustamento;
    }
    m_ui->btnStorna->setEnabled(stornabile);
}

void TfrmMovimentiMagazzino::btnStornaClick() {
    const int r = m_ui->grMovimenti->currentIndex().row();
    if (r < 0 || r >= m_modello->rowCount()) {
        MostraAttenzione(QStringLiteral("Selezionare nell'elenco il movimento da stornare."));
        return;
    }
    // Read again: the row shown may have been reversed since it was read.
    const TRigaMovimento m = LeggiMovimento(TArchivio::corrente(), m_modello->riga(r).id);
    if (m.id == 0) {
        MostraAttenzione(QStringLiteral("Il movimento n. %1 non è più presente nello storico.").arg(m_modello->riga(r).id));
        return;
    }
    const QString rifiuto = ControllaStorno(TArchivio::corrente(), m.id);
    if (!rifiuto.isEmpty()) {
        MostraAttenzione(rifiuto);
        return;
    }
    if (!ChiediConferma(DomandaStorno(m))) return;
    int nuovo = 0;
    try {
        nuovo = StornaMovimento(TArchivio::corrente(), m.id);
    } catch (const ErroreStorno& e) {
        MostraAttenzione(e.testo());
        return;
    } catch (const ErroreLimiteContatori& e) {
        MostraAttenzione(e.testo());
        return;
    }
    btnCercaClick();
    MostraMessaggio(QStringLiteral("Movimento n. %1 stornato: lo storno è registrato nello storico con il n. %2.")
                        .arg(m.id)
                        .arg(nuovo));
}

void TfrmMovimentiMagazzino::btnEsciClick() { close(); }
