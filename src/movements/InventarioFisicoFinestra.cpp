#include "movements/InventarioFisicoFinestra.h"

#include "data/Convenzioni.h"
#include "data/Orologio.h"
#include "data/engine/Definizioni.h"
#include "gui/Gestori.h"
#include "gui/Messaggi.h"
#include "gui/OperazioneInCorso.h"
#include "gui/TastoEsc.h"
#include "movements/Movimenti.h"
#include "ui_InventarioFisico.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QSqlQuery>
#include <cmath>

// ---------------------------------------------------------------------------
// The grid

void TModelloConteggio::imposta(QVector<TRigaConteggio> righe) {
    beginResetModel();
    m_righe = std::move(righe);
    endResetModel();
}

int TModelloConteggio::rigaDi(int id) const {
    for (int i = 0; i < m_righe.size(); ++i)
        if (m_righe[i].id == id) return i;
    return -1;
}

void TModelloConteggio::aggiornaConteggio(int r, bool contato, qint64 quantita) {
    m_righe[r].contato = contato;
    m_righe[r].quantita = contato ? quantita : 0;
    emit dataChanged(index(r, ColContato), index(r, ColValore));
}

QVariant TModelloConteggio::data(const QModelIndex& i, int ruolo) const {
    if (!i.isValid() || i.row() >= m_righe.size()) return {};
    const TRigaConteggio& r = m_righe[i.row()];
    if (ruolo == Qt::TextAlignmentRole)
        return int((i.column() >= ColLibro ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
    if (ruolo != Qt::DisplayRole && ruolo != Qt::EditRole) return {};
    switch (i.column()) {
    case ColCategoria: return r.categoria;
    case ColCodice: return r.nome;
    case ColDescrizione: return r.descrizione;
    case ColLibro: return FormattaNumero(double(r.libro), 0);
    case ColContato: return r.contato ? QString::number(r.quantita) : QString();
    case ColDifferenza: return r.contato ? FormattaNumero(double(r.differenza()), 0) : QString();
    case ColValore: return r.contato ? FormattaNumero(r.valore(), 2) : QString();
    default: return {};
    }
}

QVariant TModelloConteggio::headerData(int s, Qt::Orientation o, int ruolo) const {
    if (o != Qt::Horizontal || ruolo != Qt::DisplayRole) return QAbstractTableModel::headerData(s, o, ruolo);
    static const QStringList t = {QStringLiteral("Categoria"), QStringLiteral("Codice"),  QStringLiteral("Descrizione"),
                                  QStringLiteral("Q.tà libro"), QStringLiteral("Contata"), QStringLiteral("Differenza"),
                                  QStringLiteral("Valore diff.")};
    return t.value(s);
}

Qt::ItemFlags TModelloConteggio::flags(const QModelIndex& i) const {
    Qt::ItemFlags f = QAbstractTableModel::flags(i);
    if (i.column() == ColContato) f |= Qt::ItemIsEditable;
    return f;
}

bool TModelloConteggio::setData(const QModelIndex& i, const QVariant& v, int ruolo) {
    if (ruolo != Qt::EditRole || i.column() != ColContato) return false;
    const QString t = v.toString().trimmed();
    int q = 0;
    if (!t.isEmpty() && !LeggiQuantita(t, &q)) {
        MostraAttenzione(QStringLiteral("La quantità contata non è valida: inserire un numero intero di unità."));
        return false;
    }
    if (contatoModificato) EseguiMostrandoErrori([&] { contatoModificato(m_righe[i.row()].id, t.isEmpty() ? -1 : q); });
    return true;
}

// ---------------------------------------------------------------------------
// The window

namespace {

void RiempiScelte(QComboBox* c, const QString& tutte, const QString& sql) {
    c->clear();
    c->addItem(tutte, 0);
    TArchivio& a = TArchivio::corrente();
    QSqlQuery q = a.esegui(sql);
    while (q.next()) c->addItem(q.value(1).toString().trimmed(), q.value(0).toInt());
}

}  // namespace

TfrmInventarioFisico::TfrmInventarioFisico(QWidget* genitore, std::function<void(const QDate&)> stampaInventario,
                                           TStampaFoglioConteggioRif* foglio)
    : QDialog(genitore),
      m_ui(std::make_unique<Ui::TfrmInventarioFisico>()),
      m_stampaInventario(std::move(stampaInventario)),
      m_foglio(foglio) {
    m_ui->setupUi(this);
    m_modello = new TModelloConteggio(this);
    m_modello->contatoModificato = [this](int id, qint64 q) { ContatoModificato(id, q); };
    m_ui->grConteggio->setModel(m_modello);
    m_ui->grConteggio->verticalHeader()->hide();
    m_ui->grConteggio->verticalHeader()->setDefaultSectionSize(m_ui->grConteggio->fontMetrics().height() + 6);
    m_ui->grConteggio->horizontalHeader()->setStretchLastSection(true);
    const int larghezze[] = {120, 100, 280, 80, 80, 80};
    for (int c = 0; c < int(std::size(larghezze)); ++c) m_ui->grConteggio->setColumnWidth(c, larghezze[c]);
    TArchivio& a = TArchivio::corrente();
    if (a.esisteTabella(Definizioni::Categorie))
        RiempiScelte(m_ui->cbCategoria, QStringLiteral("Tutte"),
                     QStringLiteral("SELECT %1, %2 FROM %3 ORDER BY %2").arg(Cat::Id, Cat::Categoria, a.nomeQualificato(Definizioni::Categorie)));
    if (a.esisteTabella(Definizioni::Produttori))
        RiempiScelte(m_ui->cbProduttore, QStringLiteral("Tutti"),
                     QStringLiteral("SELECT %1, coalesce(%2, '') || ' ' || coalesce(%3, '') FROM %4 ORDER BY 2")
                         .arg(Produttori::Id, Produttori::Nome, Produttori::Cognome, a.nomeQualificato(Definizioni::Produttori)));
    connect(m_ui->btnInizia, &QPushButton::clicked, this, Gestore(this, &TfrmInventarioFisico::btnIniziaClick));
    connect(m_ui->edCodice, &QLineEdit::returnPressed, this, Gestore(this, &TfrmInventarioFisico::edCodiceInvio));
    connect(m_ui->edQuantita, &QLineEdit::returnPressed, this, Gestore(this, &TfrmInventarioFisico::edCodiceInvio));
    connect(m_ui->btnFoglio, &QPushButton::clicked, this, Gestore(this, &TfrmInventarioFisico::btnFoglioClick));
    connect(m_ui->btnDifferenze, &QPushButton::clicked, this, Gestore(this, &TfrmInventarioFisico::btnDifferenzeClick));
    connect(m_ui->btnRegistra, &QPushButton::clicked, this, Gestore(this, &TfrmInventarioFisico::btnRegistraClick));
    connect(m_ui->btnStop, &QPushButton::clicked, this, Gestore(this, &TfrmInventarioFisico::btnStopClick));
    connect(m_ui->btnAnnulla, &QPushButton::clicked, this, Gestore(this, &TfrmInventarioFisico::btnAnnullaClick));
    connect(m_ui->btnEsci, &QPushButton::clicked, this, Gestore(this, &TfrmInventarioFisico::btnEsciClick));
    EscComeEsci(this, [this] { btnEsciClick(); });
    resize(900, 620);

    m_ui->edData->setText(Oggi().toString(FormatoData));
    if (LeggiBozzaInventario(a.cartella(), &m_bozza)) {
        // The count left open is taken up where it stopped.
        m_attivo = true;
        m_ui->edData->setText(m_bozza.data.toString(FormatoData));
        m_ui->cbCategoria->setCurrentIndex(std::max(0, m_ui->cbCategoria->findData(m_bozza.idCategoria)));
        m_ui->cbProduttore->setCurrentIndex(std::max(0, m_ui->cbProduttore->findData(m_bozza.idProduttore)));
        CaricaElenco();
    }
    AggiornaStato();
}

TfrmInventarioFisico::~TfrmInventarioFisico() = default;

void TfrmInventarioFisico::Salva() { SalvaBozzaInventario(TArchivio::corrente().cartella(), m_bozza); }

void TfrmInventarioFisico::CaricaElenco() {
    const TCursoreOccupato cursore;
    if (m_ui->btnDifferenze->isChecked()) m_modello->imposta(DifferenzeInventario(TArchivio::corrente(), m_bozza));
    else m_modello->imposta(ProdottiDaContare(TArchivio::corrente(), m_bozza));
}

void TfrmInventarioFisico::AggiornaStato() {
    for (QWidget* w : {static_cast<QWidget*>(m_ui->edData), static_cast<QWidget*>(m_ui->cbCategoria),
                       static_cast<QWidget*>(m_ui->cbProduttore), static_cast<QWidget*>(m_ui->btnInizia)})
        w->setEnabled(!m_attivo);
    for (QWidget* w : {static_cast<QWidget*>(m_ui->edCodice), static_cast<QWidget*>(m_ui->edQuantita),
                       static_cast<QWidget*>(m_ui->btnDifferenze), static_cast<QWidget*>(m_ui->btnRegistra),
                       static_cast<QWidget*>(m_ui->btnAnnulla)})
        w->setEnabled(m_attivo);
    m_ui->btnFoglio->setEnabled(m_attivo && m_foglio);
    if (!m_attivo) {
        m_ui->lblStato->setText(QStringLiteral("Indicare la data del conteggio ed eventualmente categoria e produttore, "
                                               "poi premere \"Inizia conteggio\"."));
        return;
    }
    const int contati = int(m_bozza.contati.size());
    m_ui->lblStato->setText(QStringLiteral("Conteggio del %1: %2. Il conteggio è salvato a ogni modifica e resta aperto "
                                           "anche chiudendo il programma.")
                                .arg(m_bozza.data.toString(FormatoData),
                                     contati == 1 ? QStringLiteral("1 prodotto contato")
                                                  : QStringLiteral("%1 prodotti contati").arg(contati)));
}

void TfrmInventarioFisico::btnIniziaClick() {
    const QDate data = QDate::fromString(DataCompletata(m_ui->edData->text().trimmed()), FormatoData);
    if (!data.isValid()) {
        MostraAttenzione(QStringLiteral("La data del conteggio non è valida: scriverla come gg/mm/aaaa."));
        return;
    }
    m_bozza = TBozzaInventario();
    m_bozza.data = data;
    m_bozza.idCategoria = m_ui->cbCategoria->currentData().toInt();
    m_bozza.idProduttore = m_ui->cbProduttore->currentData().toInt();
    Salva();
    m_attivo = true;
    CaricaElenco();
    AggiornaStato();
    m_ui->edCodice->setFocus();
}

void TfrmInventarioFisico::btnFoglioClick() {
    if (!m_attivo || !m_foglio) return;
    // Every product of the count in shelf order, whatever the grid shows.
    QVector<TRigaFoglioConteggio> righe;
    {
        const TCursoreOccupato cursore;
        const QVector<TRigaConteggio> prodotti = ProdottiDaContare(TArchivio::corrente(), m_bozza);
        righe.reserve(prodotti.size());
        for (const TRigaConteggio& p : prodotti) righe.append({p.categoria, p.nome, p.descrizione});
    }
    QStringList ambito;
    if (m_bozza.idCategoria != 0) ambito << QStringLiteral("Categoria: ") + m_ui->cbCategoria->currentText();
    if (m_bozza.idProduttore != 0) ambito << QStringLiteral("Produttore: ") + m_ui->cbProduttore->currentText().trimmed();
    m_foglio->Anteprima(m_bozza.data, ambito.isEmpty() ? QStringLiteral("Tutti i prodotti") : ambito.join(QStringLiteral(" - ")),
                        righe);
}

void TfrmInventarioFisico::ContatoModificato(int id, qint64 quantita) {
    if (quantita < 0) m_bozza.contati.remove(id);
    else m_bozza.contati.insert(id, quantita);
    Salva();
    const int r = m_modello->rigaDi(id);
    if (r >= 0) m_modello->aggiornaConteggio(r, quantita >= 0, quantita);
    AggiornaStato();
}

void TfrmInventarioFisico::edCodiceInvio() {
    if (!m_attivo) return;
    const QString codice = m_ui->edCodice->text().trimmed();
    if (codice.isEmpty()) return;
    const int id = TrovaProdottoInventario(TArchivio::corrente(), m_bozza, codice);
    if (id == 0) {
        MostraAttenzione(QStringLiteral("Nessun prodotto con codice '%1' tra quelli del conteggio.").arg(codice));
        m_ui->edCodice->selectAll();
        return;
    }
    qint64 quantita = m_bozza.contati.value(id, 0) + 1;
    const QString testo = m_ui->edQuantita->text().trimmed();
    if (!testo.isEmpty()) {
        int q = 0;
        if (!LeggiQuantita(testo, &q)) {
            MostraAttenzione(QStringLiteral("La quantità contata non è valida: inserire un numero intero di unità."));
            return;
        }
        quantita = q;
    }
    ContatoModificato(id, quantita);
    const int r = m_modello->rigaDi(id);
    if (r >= 0) m_ui->grConteggio->selectRow(r);
    m_ui->edCodice->clear();
    m_ui->edQuantita->clear();
    m_ui->edCodice->setFocus();
}

void TfrmInventarioFisico::btnDifferenzeClick() { CaricaElenco(); }

void TfrmInventarioFisico::btnRegistraClick() {
    const QVector<TRigaConteggio> d = DifferenzeInventario(TArchivio::corrente(), m_bozza);
    double valore = 0;
    for (const TRigaConteggio& r : d) valore += r.valore();
    if (d.isEmpty()) {
        if (!ChiediConferma(QStringLiteral("Le quantità contate coincidono con quelle in magazzino: non c'è nessuna "
                                           "differenza da registrare. Chiudere il conteggio?")))
            return;
    } else if (!ChiediConferma(QStringLiteral("Registrare le differenze di %1 (valore %2 al prezzo di acquisto) alla data "
                                              "del %3? I saldi dei prodotti diventeranno le quantità contate.")
                                   .arg(d.size() == 1 ? QStringLiteral("1 prodotto")
                                                      : QStringLiteral("%1 prodotti").arg(d.size()),
                                        FormattaNumero(valore, 2), m_bozza.data.toString(FormatoData)))) {
        return;
    }
    int registrati = 0;
    {
        const TOperazioneInCorso operazione(this, m_inCorso,
                                            {m_ui->btnRegistra, m_ui->btnAnnulla, m_ui->btnEsci, m_ui->btnDifferenze,
                                             m_ui->edCodice, m_ui->edQuantita, m_ui->grConteggio},
                                            [this] {
                                                m_ui->btnStop->setEnabled(false);
                                                m_ui->PrgBar->setValue(0);
                                            });
        m_stop = false;
        m_ui->btnStop->setEnabled(true);
        QElapsedTimer ridisegno;
        ridisegno.start();
        registrati = RegistraInventario(TArchivio::corrente(), m_bozza, [&](int fatti, int totale) {
            m_ui->PrgBar->setMaximum(totale);
            m_ui->PrgBar->setValue(fatti);
            if (ridisegno.elapsed() >= 30 || fatti == totale) {
                QCoreApplication::processEvents();
                ridisegno.start();
            }
            return !m_stop;
        });
    }
    if (registrati < 0) {
        MostraMessaggio(QStringLiteral("Registrazione interrotta: nessuna differenza è stata registrata."));
        return;
    }
    const QDate data = m_bozza.data;
    m_registrato = true;
    EliminaBozzaInventario(TArchivio::corrente().cartella());
    m_bozza = TBozzaInventario();
    m_attivo = false;
    m_modello->imposta({});
    AggiornaStato();
    MostraMessaggio(registrati == 0 ? QStringLiteral("Conteggio chiuso: nessuna differenza registrata.")
                    : registrati == 1 ? QStringLiteral("Inventario registrato: 1 prodotto portato alla quantità contata.")
                                      : QStringLiteral("Inventario registrato: %1 prodotti portati alla quantità contata.")
                                            .arg(registrati));
    if (m_stampaInventario &&
        ChiediConferma(QStringLiteral("Stampare l'inventario valorizzato alla data del %1?").arg(data.toString(FormatoData))))
        m_stampaInventario(data);
}

void TfrmInventarioFisico::btnStopClick() { m_stop = true; }

void TfrmInventarioFisico::btnAnnullaClick() {
    if (!ChiediConferma(QStringLiteral("Annullare il conteggio in corso? Le quantità contate andranno perse.")))
        return;
    EliminaBozzaInventario(TArchivio::corrente().cartella());
    m_bozza = TBozzaInventario();
    m_attivo = false;
    m_modello->imposta({});
    AggiornaStato();
}

void TfrmInventarioFisico::btnEsciClick() { close(); }
