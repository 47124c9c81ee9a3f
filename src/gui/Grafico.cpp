#include "gui/Grafico.h"

#include "data/Convenzioni.h"
#include "data/Orologio.h"
#include "data/engine/Archivio.h"
#include "gui/Finestre.h"
#include "gui/Gestori.h"
#include "gui/Interazione.h"
#include "gui/Avanzamento.h"
#include "gui/LavoroLungo.h"
#include "gui/Messaggi.h"
#include "gui/OperazioneInCorso.h"
#include "ui_Grafico.h"

#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDateTimeAxis>
#include <QDir>
#include <QFileInfo>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QImage>
#include <QLegend>
#include <QLineSeries>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRegularExpression>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

namespace {

// Pages and pictures are drawn at 96 dots per inch, the screen's: the
// chart's fonts, given in points, then come out as large as on screen.
const int DpiGrafico = 96;
// An A4 landscape sheet at that resolution, the PNG's size.
const int LarghezzaFoglio = 1123, AltezzaFoglio = 794;
// With more points than this a line shows no dot per point.
const int PuntiConSegno = 120;

QString Moneta(double v) { return FormattaNumero(v, 2) + QStringLiteral(" €"); }
QString Quantita(qint64 q) { return FormattaNumero(static_cast<double>(q), 0); }
qreal Istante(const QDate& d) { return static_cast<qreal>(d.startOfDay().toMSecsSinceEpoch()); }

QString TitoloAsseTempo(TRaggruppamento r) {
    switch (r) {
    case TRaggruppamento::Giorno: return QStringLiteral("Giorno");
    case TRaggruppamento::Settimana: return QStringLiteral("Settimana (dal lunedì)");
    case TRaggruppamento::Mese: return QStringLiteral("Mese (dal giorno 1)");
    }
    return {};
}

// A round step (1, 2 or 5 times a power of ten) that cuts the range into
// about six parts; never under minimo.
double PassoRotondo(double ampiezza, double minimo) {
    const double grezzo = ampiezza / 6;
    if (!(grezzo > 0)) return std::max(minimo, 1.0);
    const double scala = std::pow(10.0, std::floor(std::log10(grezzo)));
    for (const double m : {1.0, 2.0, 5.0, 10.0})
        if (m * scala >= grezzo) return std::max(minimo, m * scala);
    return std::max(minimo, 10 * scala);
}

}  // namespace

TDatiGrafico LeggiDatiGrafico(TArchivio& a, const TParametriGrafico& p) {
    TDatiGrafico dati;
    if (p.tipo == TParametriGrafico::Tipo::Flussi) dati.flussi = FlussiPerGiorno(a, p.da, p.a, p.azione);
    else dati.prodotto = AndamentoProdotto(a, p.idProdotto);
    return dati;
}

TDatiGrafico LeggiDatiGraficoInDisparte(QWidget* proprietario, const TParametriGrafico& parametri) {
    const QString cartella = TArchivio::corrente().cartella();
    bool inCorso = false;
    const TOperazioneInCorso guardia(proprietario, inCorso, {proprietario});
    TCursoreOccupato occupato;
    TLavoroLungo lavoro(proprietario, QStringLiteral("Lettura dello storico per il grafico"));
    lavoro.senzaStop();
    return lavoro.calcola<TDatiGrafico>([&](TContestoLavoro&) {
        TArchivio archivio(cartella);
        return LeggiDatiGrafico(archivio, parametri);
    });
}

TFrmGrafico::TFrmGrafico(const TParametriGrafico& parametri, QWidget* genitore)
    : TFrmGrafico(parametri, TDatiGrafico{}, genitore) {
    EseguiMostrandoErrori([this] {
        TCursoreOccupato occupato;
        m_dati = LeggiDatiGrafico(TArchivio::corrente(), m_parametri);
        prepara();
    });
}

TFrmGrafico::TFrmGrafico(const TParametriGrafico& parametri, TDatiGrafico dati, QWidget* genitore)
    : QDialog(genitore), m_ui(std::make_unique<Ui::TFrmGrafico>()), m_parametri(parametri), m_dati(std::move(dati)) {
    m_ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    m_vista = new QChartView(m_ui->pnlGrafico);
    m_vista->setRenderHint(QPainter::Antialiasing);
    m_ui->pnlGrafico->layout()->addWidget(m_vista);
    QFont grassetto = m_ui->LabTitolo->font();
    grassetto.setBold(true);
    m_ui->LabTitolo->setFont(grassetto);

    const bool flussi = m_parametri.tipo == TParametriGrafico::Tipo::Flussi;
    QList<TRaggruppamento> scelte{TRaggruppamento::Settimana, TRaggruppamento::Mese};
    if (flussi) scelte.prepend(TRaggruppamento::Giorno);
    for (const TRaggruppamento r : scelte) m_ui->cbRaggruppamento->addItem(NomeRaggruppamento(r), static_cast<int>(r));
    m_raggruppamento = scelte.first();
    setWindowTitle(flussi ? QStringLiteral("Grafico flussi") : QStringLiteral("Grafico prodotto"));

    connect(m_ui->cbRaggruppamento, &QComboBox::currentIndexChanged, this,
            Gestore(this, &TFrmGrafico::cbRaggruppamentoChange));
    connect(m_ui->BTStampa, &QPushButton::clicked, this, Gestore(this, &TFrmGrafico::BTStampaClick));
    connect(m_ui->BTSalvaPng, &QPushButton::clicked, this, Gestore(this, &TFrmGrafico::BTSalvaPngClick));
    connect(m_ui->BTSalvaPdf, &QPushButton::clicked, this, Gestore(this, &TFrmGrafico::BTSalvaPdfClick));
    connect(m_ui->sbEsci, &QPushButton::clicked, this, Gestore(this, &TFrmGrafico::sbEsciClick));
    EseguiMostrandoErrori([this] { prepara(); });
    CentraSulloSchermo(this);
}

TFrmGrafico::~TFrmGrafico() = default;

void TFrmGrafico::prepara() {
    if (m_parametri.tipo == TParametriGrafico::Tipo::Flussi) {
        m_titolo = QStringLiteral("Flussi dal %1 al %2")
                       .arg(m_parametri.da.toString(FormatoData), m_parametri.a.toString(FormatoData));
        if (!m_parametri.descrizioneAzioni.isEmpty()) m_titolo += QStringLiteral(" - ") + m_parametri.descrizioneAzioni;
    } else {
        m_titolo = QStringLiteral("Prodotto ") +
                   (m_dati.prodotto.nome.isEmpty() ? QStringLiteral("n. %1").arg(m_parametri.idProdotto) : m_dati.prodotto.nome);
        if (!m_dati.prodotto.descrizione.isEmpty()) m_titolo += QStringLiteral(" - ") + m_dati.prodotto.descrizione;
    }
    m_ui->LabTitolo->setText(m_titolo);
    aggiorna();
}

void TFrmGrafico::aggiorna() {
    QChart* vecchio = m_vista->chart();
    m_vista->setChart(creaGrafico());
    delete vecchio;
    m_ui->LabTotali->setText(testoTotali());
}

QString TFrmGrafico::testoTotali() const {
    if (m_parametri.tipo == TParametriGrafico::Tipo::Flussi) {
        if (m_dati.flussi.isEmpty()) return QStringLiteral("Nessuna operazione effettuata nel periodo selezionato.");
        const TTotaliFlussi t = TotaliFlussi(m_dati.flussi);
        return QStringLiteral("Totale acquisti: %1    Totale vendite: %2    Differenza: %3")
            .arg(Moneta(t.acquisti), Moneta(t.vendite), Moneta(t.differenza()));
    }
    QString testo = QStringLiteral("Giacenza attuale: ") + Quantita(m_dati.prodotto.saldoAttuale);
    if (m_dati.prodotto.giorni.isEmpty()) return testo + QStringLiteral("    Nessun movimento nello storico per questo prodotto.");
    qint64 carichi = 0, scarichi = 0, rettifiche = 0;
    for (const TMovimentiGiorno& g : m_dati.prodotto.giorni) {
        carichi += g.carichi;
        scarichi += g.scarichi;
        rettifiche += g.rettifiche;
    }
    return testo + QStringLiteral("    Carichi: %1    Scarichi: %2    Rettifiche: %3")
                       .arg(Quantita(carichi), Quantita(scarichi), Quantita(rettifiche));
}

QChart* TFrmGrafico::creaGrafico() const {
    auto* grafico = new QChart;
    grafico->setLocalizeNumbers(true);
    grafico->setLocale(LocaleItaliano());
    grafico->setBackgroundRoundness(0);
    grafico->legend()->setAlignment(Qt::AlignBottom);
    auto* asseTempo = new QDateTimeAxis;
    asseTempo->setFormat(FormatoData);
    asseTempo->setTitleText(TitoloAsseTempo(m_raggruppamento));
    asseTempo->setTickCount(7);
    auto* asseValori = new QValueAxis;
    grafico->addAxis(asseTempo, Qt::AlignBottom);
    grafico->addAxis(asseValori, Qt::AlignLeft);

    double minimo = 0, massimo = 0;
    auto aggiungi = [&](const QString& nome, const QColor& colore, qreal spessore, const QList<QPointF>& punti) {
        auto* s = new QLineSeries;
        s->setName(nome);
        QPen penna(colore);
        penna.setWidthF(spessore);
        s->setPen(penna);
        s->append(punti);
        s->setPointsVisible(punti.size() <= PuntiConSegno);
        grafico->addSeries(s);
        s->attachAxis(asseTempo);
        s->attachAxis(asseValori);
        for (const QPointF& p : punti) {
            minimo = std::min(minimo, p.y());
            massimo = std::max(massimo, p.y());
        }
    };

    QDate primo, ultimo;
    double passoMinimo = 0;
    if (m_parametri.tipo == TParametriGrafico::Tipo::Flussi) {
        QList<QPointF> acquisti, vendite, differenza;
        for (const TFlussiGiorno& g : RaggruppaFlussi(m_dati.flussi, m_raggruppamento)) {
            const qreal t = Istante(g.giorno);
            acquisti << QPointF(t, g.acquisti);
            vendite << QPointF(t, g.vendite);
            differenza << QPointF(t, g.differenza());
        }
        aggiungi(QStringLiteral("Acquisti"), QColor(0xc0, 0x39, 0x2b), 2, acquisti);
        aggiungi(QStringLiteral("Vendite"), QColor(0x1e, 0x84, 0x49), 2, vendite);
        aggiungi(QStringLiteral("Differenza"), QColor(0x1f, 0x5f, 0xa8), 2.5, differenza);
        asseValori->setTitleText(QStringLiteral("Importo (€)"));
        asseValori->setLabelFormat(QStringLiteral("%.2f €"));
        primo = InizioGruppo(m_parametri.da, m_raggruppamento);
        ultimo = InizioGruppo(m_parametri.a, m_raggruppamento);
        passoMinimo = 0.01;
    } else {
        QList<QPointF> saldo, carichi, scarichi, rettifiche;
        const QVector<TMovimentiGiorno> gruppi = RaggruppaMovimenti(m_dati.prodotto.giorni, m_raggruppamento);
        for (const TMovimentiGiorno& g : gruppi) {
            const qreal t = Istante(g.giorno);
            saldo << QPointF(t, g.saldo);
            carichi << QPointF(t, g.carichi);
            scarichi << QPointF(t, g.scarichi);
            rettifiche << QPointF(t, g.rettifiche);
        }
        aggiungi(QStringLiteral("Giacenza"), QColor(0x1f, 0x3a, 0x93), 3, saldo);
        aggiungi(QStringLiteral("Carichi"), QColor(0x1e, 0x84, 0x49), 1.5, carichi);
        aggiungi(QStringLiteral("Scarichi"), QColor(0xc0, 0x39, 0x2b), 1.5, scarichi);
        aggiungi(QStringLiteral("Rettifiche"), QColor(0xd3, 0x84, 0x00), 1.5, rettifiche);
        asseValori->setTitleText(QStringLiteral("Quantità"));
        asseValori->setLabelFormat(QStringLiteral("%.0f"));
        if (gruppi.isEmpty()) {
            ultimo = Oggi();
            primo = InizioGruppo(ultimo.addMonths(-1), m_raggruppamento);
        } else {
            primo = gruppi.first().giorno;
            ultimo = gruppi.last().giorno;
        }
        passoMinimo = 1;
    }
    if (primo >= ultimo) {
        primo = primo.addDays(-1);
        ultimo = ultimo.addDays(1);
    }
    asseTempo->setRange(primo.startOfDay(), ultimo.startOfDay());
    // Round ticks from a multiple of the step, 0 always inside.
    const double passo = PassoRotondo(massimo - minimo, passoMinimo);
    double basso = std::floor(minimo / passo) * passo, alto = std::ceil(massimo / passo) * passo;
    if (alto <= basso) alto = basso + passo;
    asseValori->setRange(basso, alto);
    asseValori->setTickType(QValueAxis::TicksDynamic);
    asseValori->setTickAnchor(0);
    asseValori->setTickInterval(passo);
    return grafico;
}

QChart* TFrmGrafico::grafico() const { return m_vista->chart(); }

QLineSeries* TFrmGrafico::serie(const QString& nome) const {
    for (QAbstractSeries* s : m_vista->chart()->series())
        if (s->name() == nome) return qobject_cast<QLineSeries*>(s);
    return nullptr;
}

void TFrmGrafico::impostaRaggruppamento(TRaggruppamento r) {
    const int i = m_ui->cbRaggruppamento->findData(static_cast<int>(r));
    if (i >= 0) m_ui->cbRaggruppamento->setCurrentIndex(i);
}

void TFrmGrafico::cbRaggruppamentoChange() {
    m_raggruppamento = static_cast<TRaggruppamento>(m_ui->cbRaggruppamento->currentData().toInt());
    aggiorna();
}

void TFrmGrafico::dipingi(QPainter& p, const QRectF& area) const {
    const double altezzaTitolo = 32, altezzaTotali = 44;
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    QFont carattere(QStringLiteral("DejaVu Sans"));
    carattere.setPixelSize(17);
    carattere.setBold(true);
    p.setFont(carattere);
    p.setPen(Qt::black);
    p.drawText(QRectF(area.left(), area.top(), area.width(), altezzaTitolo), Qt::AlignLeft | Qt::AlignVCenter, m_titolo);

    // A chart of its own at the size of the page's area, so the page never
    // depends on the window's size.
    const QRectF zona(area.left(), area.top() + altezzaTitolo, area.width(),
                      std::max(50.0, area.height() - altezzaTitolo - altezzaTotali));
    {
        QGraphicsScene scena;
        QChart* c = creaGrafico();
        scena.addItem(c);
        c->setGeometry(QRectF(QPointF(0, 0), zona.size()));
        if (c->layout()) c->layout()->activate();
        scena.setSceneRect(QRectF(QPointF(0, 0), zona.size()));
        scena.render(&p, zona, scena.sceneRect());
    }

    carattere.setPixelSize(13);
    carattere.setBold(false);
    p.setFont(carattere);
    p.drawText(QRectF(area.left(), zona.bottom() + 4, area.width(), altezzaTotali - 4),
               Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, testoTotali());
    p.restore();
}

bool TFrmGrafico::salvaPng(const QString& file) const {
    QImage immagine(LarghezzaFoglio, AltezzaFoglio, QImage::Format_RGB32);
    const int puntiPerMetro = qRound(DpiGrafico / 0.0254);
    immagine.setDotsPerMeterX(puntiPerMetro);
    immagine.setDotsPerMeterY(puntiPerMetro);
    immagine.fill(Qt::white);
    {
        QPainter p(&immagine);
        dipingi(p, QRectF(20, 16, LarghezzaFoglio - 40, AltezzaFoglio - 32));
    }
    return immagine.save(file, "PNG");
}

bool TFrmGrafico::salvaPdf(const QString& file) const {
    QPdfWriter documento(file);
    documento.setResolution(DpiGrafico);
    documento.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(10, 10, 10, 10),
                                        QPageLayout::Millimeter));
    documento.setTitle(m_titolo);
    documento.setCreator(QStringLiteral("Zerired"));
    QPainter p;
    if (!p.begin(&documento)) return false;
    dipingi(p, QRectF(0, 0, documento.width(), documento.height()));
    return p.end();
}

void TFrmGrafico::stampaSu(QPrinter& stampante) const {
    QPainter p;
    if (!p.begin(&stampante)) {
        MostraErrore(QStringLiteral("Impossibile stampare il grafico."));
        return;
    }
    const QRect area = stampante.pageLayout().paintRectPixels(stampante.resolution());
    dipingi(p, QRectF(0, 0, area.width(), area.height()));
    p.end();
}

void TFrmGrafico::BTStampaClick() {
    QPrinter stampante(QPrinter::ScreenResolution);
    stampante.setResolution(DpiGrafico);
    stampante.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(10, 10, 10, 10),
                                        QPageLayout::Millimeter));
    // The document's name also names the file of "Stampa su file": no "/" of the title's dates in it.
    stampante.setDocName(QFileInfo(nomeFileProposto(QStringLiteral("pdf"))).completeBaseName());
    QPrintDialog dialogo(&stampante, this);
    if (dialogo.exec() != QDialog::Accepted) return;
    stampaSu(stampante);
}

QString TFrmGrafico::nomeFileProposto(const QString& estensione) const {
    QString nome;
    if (m_parametri.tipo == TParametriGrafico::Tipo::Flussi)
        nome = QStringLiteral("grafico_flussi_%1_%2")
                   .arg(m_parametri.da.toString(QStringLiteral("yyyyMMdd")), m_parametri.a.toString(QStringLiteral("yyyyMMdd")));
    else
        nome = QStringLiteral("grafico_") + (m_dati.prodotto.nome.isEmpty() ? QString::number(m_parametri.idProdotto) : m_dati.prodotto.nome);
    // A product's code may hold characters a file name must not.
    nome.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9_-]")), QStringLiteral("_"));
    return QDir::home().filePath(nome + QLatin1Char('.') + estensione);
}

namespace {

// The chosen name with the extension added when it has another one or none.
QString ConEstensione(QString file, const QString& estensione) {
    if (QFileInfo(file).suffix().compare(estensione, Qt::CaseInsensitive) != 0) file += QLatin1Char('.') + estensione;
    return file;
}

}  // namespace

void TFrmGrafico::BTSalvaPngClick() {
    const QString scelto = Interazione().scegliFileDaSalvare(QStringLiteral("Salva il grafico come immagine PNG"),
                                                             nomeFileProposto(QStringLiteral("png")),
                                                             QStringLiteral("Immagini PNG (*.png)"));
    if (scelto.isEmpty()) return;
    const QString file = ConEstensione(scelto, QStringLiteral("png"));
    if (!salvaPng(file))
        MostraErrore(QStringLiteral("Impossibile salvare il grafico nel file ") + QDir::toNativeSeparators(file) +
                     QLatin1Char('.'));
}

void TFrmGrafico::BTSalvaPdfClick() {
    const QString scelto = Interazione().scegliFileDaSalvare(QStringLiteral("Salva il grafico come documento PDF"),
                                                             nomeFileProposto(QStringLiteral("pdf")),
                                                             QStringLiteral("Documenti PDF (*.pdf)"));
    if (scelto.isEmpty()) return;
    const QString file = ConEstensione(scelto, QStringLiteral("pdf"));
    if (!salvaPdf(file))
        MostraErrore(QStringLiteral("Impossibile salvare il grafico nel file ") + QDir::toNativeSeparators(file) +
                     QLatin1Char('.'));
}

void TFrmGrafico::sbEsciClick() { close(); }

void MostraGraficoProdotto(QWidget* proprietario, qint64 idProdotto) {
    TParametriGrafico p;
    p.tipo = TParametriGrafico::Tipo::Prodotto;
    p.idProdotto = idProdotto;
    TFrmGrafico finestra(p, LeggiDatiGraficoInDisparte(proprietario, p), proprietario);
    finestra.exec();
}

void MostraGraficoFlussi(QWidget* proprietario, const QDate& da, const QDate& a, const QString& azione,
                         const QString& descrizioneAzioni) {
    TParametriGrafico p;
    p.tipo = TParametriGrafico::Tipo::Flussi;
    p.da = da;
    p.a = a;
    p.azione = azione;
    p.descrizioneAzioni = descrizioneAzioni;
    TFrmGrafico finestra(p, LeggiDatiGraficoInDisparte(proprietario, p), proprietario);
    finestra.exec();
}
