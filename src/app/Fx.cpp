#include "app/Fx.h"

#include "data/Costanti.h"
#include "gui/Interazione.h"
#include "data/engine/Archivio.h"
#include "data/engine/Definizioni.h"
#include "data/engine/Tabella.h"

#include <QAbstractButton>
#include <QAction>
#include <QCoreApplication>
#include <QCursor>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QProcess>
#include <QRegularExpressionValidator>
#include <QValidator>
#include <QSaveFile>
#include <QSqlQuery>
#include <QWidget>

#include <algorithm>
#include <limits>
#include <sys/stat.h>

namespace {
TPeriodoSQL g_periodo;
QString g_cartella;
QDateTime g_orologio;
qint64 g_scostamentoMs = 0;
}  // namespace

void MostraMessaggio(const QString& testo) {
    Interazione().messaggio(TTipoMessaggio::Messaggio, QStringLiteral("Messaggio."), testo);
}

void MostraAttenzione(const QString& testo) {
    Interazione().messaggio(TTipoMessaggio::Attenzione, QStringLiteral("Attenzione."), testo);
}

void MostraErrore(const QString& testo) {
    Interazione().messaggio(TTipoMessaggio::Errore, QStringLiteral("Errore"), testo);
}

bool ChiediConferma(const QString& testo) {
    return Interazione().messaggio(TTipoMessaggio::Domanda, QStringLiteral("Richiesta."), testo);
}

void MostraAvviso(const QString& testo) {
    Interazione().messaggio(TTipoMessaggio::Avviso, Costanti::TitoloApplicazione, testo);
}

void MostraErroreGenerale(const QString& testo) {
    Interazione().messaggio(TTipoMessaggio::ErroreGenerale, Costanti::TitoloApplicazione, testo);
}

QString CartellaProgramma() {
    if (g_cartella.isEmpty()) {
        const QString dir = QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QDir::currentPath();
        g_cartella = QDir::cleanPath(dir) + QLatin1Char('/');
    }
    return g_cartella;
}

void ImpostaCartellaProgramma(const QString& cartella) {
    g_cartella = cartella.isEmpty() ? QString() : QDir::cleanPath(cartella) + QLatin1Char('/');
}

QDateTime Adesso() {
    if (g_orologio.isValid()) return QDateTime::currentDateTime().addMSecs(g_scostamentoMs);
    return QDateTime::currentDateTime();
}

QDate Oggi() { return Adesso().date(); }

void ImpostaOrologio(const QDateTime& momento) {
    g_orologio = momento;
    g_scostamentoMs = momento.isValid() ? QDateTime::currentDateTime().msecsTo(momento) : 0;
}

const QLocale& LocaleItaliano() {
    static const QLocale l(QLocale::Italian, QLocale::Italy);
    return l;
}

QString FormattaNumero(double valore, int decimali) {
    return LocaleItaliano().toString(valore, 'f', decimali);
}

TCursoreOccupato::TCursoreOccupato() { QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
TCursoreOccupato::~TCursoreOccupato() { QGuiApplication::restoreOverrideCursor(); }

TOperazioneInCorso::TOperazioneInCorso(bool& inCorso, QList<QWidget*> bloccati, std::function<void()> allaFine)
    : m_inCorso(inCorso), m_allaFine(std::move(allaFine)) {
    m_inCorso = true;
    for (QWidget* w : bloccati) {
        w->setEnabled(false);
        m_bloccati << w;
    }
}

TOperazioneInCorso::~TOperazioneInCorso() {
    m_inCorso = false;
    for (const QPointer<QWidget>& w : m_bloccati)
        if (w) w->setEnabled(true);
    if (m_allaFine) m_allaFine();
}

// ---------------------------------------------------------------------------
// Shell and processes

void ApriDocumento(const QString& testo) {
    if (testo.isEmpty()) return;
    // A web or mail address keeps its scheme; anything else is a file path.
    const QUrl url(testo, QUrl::StrictMode);
    const bool indirizzo = url.isValid() && url.scheme().size() > 1 &&
                           (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https") ||
                            url.scheme() == QLatin1String("mailto") || url.scheme() == QLatin1String("ftp") ||
                            url.scheme() == QLatin1String("file"));
    Interazione().apriUrl(indirizzo ? url : QUrl::fromLocalFile(testo));
}

QUrl LinkMail(const QString& indirizzo, const QString& oggetto, const QString& corpo) {
    // toPercentEncoding leaves only the unreserved characters as they are:
    // "&", "#", "%", "?", "=", "+", blanks and line breaks are all encoded.
    const QByteArray link = QByteArrayLiteral("mailto:") + QUrl::toPercentEncoding(indirizzo, "@") +
                            QByteArrayLiteral("?subject=") + QUrl::toPercentEncoding(oggetto) +
                            QByteArrayLiteral("&body=") + QUrl::toPercentEncoding(corpo);
    return QUrl::fromEncoded(link, QUrl::StrictMode);
}

void InviaMail(const QString& indirizzo, const QString& oggetto, const QString& corpo) {
    Interazione().apriUrl(LinkMail(indirizzo, oggetto, corpo));
}

void Verifica(bool condizione, const QString& testo) {
    if (!condizione) throw ErroreProgramma(testo);
}

int EseguiEAttendi(const QString& programma, const QStringList& argomenti) {
    QProcess processo;
    processo.setProcessChannelMode(QProcess::ForwardedChannels);
    processo.setStandardInputFile(QProcess::nullDevice());
    processo.start(programma, argomenti);
    Verifica(processo.waitForStarted(-1), QStringLiteral("Error during CreateProcess"));
    // The window waits without processing events until the tool ends.
    Verifica(processo.waitForFinished(-1), QStringLiteral("Error in WaitForSingleObject"));
    // A program that crashed has no exit code of its own.
    Verifica(processo.exitStatus() == QProcess::NormalExit, QStringLiteral("Error in GetExitCodeProcess"));
    // An exit status is one byte: 254 is the -2 the program passed to exit().
    return static_cast<int>(static_cast<qint8>(processo.exitCode() & 0xFF));
}

// ---------------------------------------------------------------------------
// Texts and input

QChar FiltraTastoNumerico(QChar carattere) {
    const char16_t c = carattere.unicode();
    if ((c >= u'0' && c <= u'9') || c == 8 || c == 13 || c == u',') return carattere;
    return QChar(0);
}

bool TestoNumericoAmmesso(const QString& testo) {
    for (const QChar c : testo)
        if (FiltraTastoNumerico(c).isNull() || c.unicode() == 8 || c.unicode() == 13) return false;
    return true;
}

namespace {

// The key filter of a numeric box: a typed character that FiltraTastoNumerico
// turns into 0 is swallowed. Editing and navigation keys (arrows, delete,
// tab, the shortcuts for copy and paste) carry no printable text and pass.
class TFiltroNumerico : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* oggetto, QEvent* evento) override {
        if (evento->type() != QEvent::KeyPress) return QObject::eventFilter(oggetto, evento);
        const auto* tasto = static_cast<QKeyEvent*>(evento);
        if (tasto->modifiers() & (Qt::ControlModifier | Qt::MetaModifier)) return false;
        for (const QChar c : tasto->text())
            if (c.isPrint() && FiltraTastoNumerico(c).isNull()) return true;
        return false;
    }
};

}  // namespace

void ImpostaFiltroNumerico(QLineEdit* edit) {
    if (!edit) return;
    edit->installEventFilter(new TFiltroNumerico(edit));
    // Pasted or dropped text goes through the validator: a text with any
    // character a key could not type is refused as a whole.
    edit->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9,]*")), edit));
}

namespace {

// Cuts what is typed or pasted to n characters, an emoji counting as one and
// never split: QLineEdit's own limit counts UTF-16 units.
class TLimiteCaratteri : public QValidator {
public:
    TLimiteCaratteri(int n, QObject* genitore) : QValidator(genitore), m_n(n) {}
    State validate(QString& testo, int& posizione) const override {
        const QString tagliato = PrimiCaratteri(testo, m_n);
        if (tagliato.size() != testo.size()) {
            testo = tagliato;
            posizione = std::min(posizione, static_cast<int>(testo.size()));
        }
        return Acceptable;
    }

private:
    int m_n;
};

}  // namespace

void LimitaCaratteri(QLineEdit* edit, int n) {
    if (!edit || n <= 0) return;
    // Twice the units: n characters of two units each fit, and a pair is never
    // cut by the box before the validator has cut at a whole character.
    edit->setMaxLength(2 * n);
    edit->setValidator(new TLimiteCaratteri(n, edit));
}

QString TestoDestro(const QString& testo, int n) { return UltimiCaratteri(testo, n); }

QString TestoSinistro(const QString& testo, int n) { return PrimiCaratteri(testo, n); }

QChar UltimoCarattere(const QString& testo) { return testo.isEmpty() ? QChar(0) : testo.back(); }

bool CompletaData(QString& testo) {
    const QString s = QStringLiteral("/");
    const QString t = Oggi().toString(FormatoData);
    const QString m = t.mid(3, 2);
    const QString y = t.mid(6, 4);
    QString d;
    for (const QChar c : testo)
        if (c >= u'0' && c <= u'9') d += c;
    QString candidato;
    switch (d.size()) {
    case 0: candidato = t; break;
    case 1: candidato = QStringLiteral("0") + d + s + m + s + y; break;
    case 2: candidato = d + s + m + s + y; break;
    case 3: candidato = d.left(2) + s + QStringLiteral("0") + d.mid(2, 1) + s + y; break;
    case 4: candidato = d.left(2) + s + d.mid(2, 2) + s + y; break;
    case 5: candidato = d.left(2) + s + d.mid(2, 2) + s + y.left(3) + d.mid(4, 1); break;
    case 6: candidato = d.left(2) + s + d.mid(2, 2) + s + y.left(2) + d.mid(4, 2); break;
    case 7: candidato = d.left(2) + s + d.mid(2, 2) + s + y.left(1) + d.mid(4, 3); break;
    case 8:
    case 9:
    case 10: candidato = d.left(2) + s + d.mid(2, 2) + s + d.mid(4, 4); break;
    default: candidato = d; break;
    }
    // A day or month out of range is refused, never carried over (31/04 does
    // not become 01/05).
    const QDate data = QDate::fromString(candidato, FormatoData);
    if (!data.isValid() || data.toString(FormatoData) != candidato) {
        MostraErrore(QStringLiteral("Data non corretta!"));
        return false;
    }
    testo = data.toString(FormatoData);
    return true;
}

namespace {

QDate LeggiData(const QString& testo) {
    const QString t = testo.trimmed();
    QDate data = QDate::fromString(t, QStringLiteral("d/M/yyyy"));
    if (!data.isValid()) throw ErroreProgramma(QStringLiteral("'%1' non è una data valida").arg(testo));
    return data;
}

QString TestoSQL(const QDate& data) {
    return TestoDestro(QStringLiteral("0") + QString::number(data.month()), 2) + QLatin1Char('/') +
           TestoDestro(QStringLiteral("0") + QString::number(data.day()), 2) + QLatin1Char('/') +
           QString::number(data.year());
}

}  // namespace

TPeriodoSQL PeriodoSQL(const QString& primo, const QString& secondo) {
    TPeriodoSQL p;
    p.dataPrimo = LeggiData(primo);
    p.dataSecondo = LeggiData(secondo);
    p.primo = TestoSQL(p.dataPrimo);
    p.secondo = TestoSQL(p.dataSecondo);
    g_periodo = p;
    return p;
}

const TPeriodoSQL& UltimoPeriodoSQL() { return g_periodo; }

QString GiornoOggi() { return Oggi().toString(QStringLiteral("dd")); }
QString MeseOggi() { return Oggi().toString(QStringLiteral("MM")); }
QString AnnoOggi() { return QString::number(Oggi().year()); }

// ---------------------------------------------------------------------------
// Files and settings

namespace {

// True when both paths name one existing file (same text, a link, "a/../b").
bool StessoFile(const QString& a, const QString& b) {
    if (a == b) return true;
    struct stat sa {}, sb {};
    if (::stat(QFile::encodeName(a).constData(), &sa) != 0) return false;
    if (::stat(QFile::encodeName(b).constData(), &sb) != 0) return false;
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

}  // namespace

bool CopiaFile(const QString& sorgente, const QString& destinazione) {
    if (sorgente.isEmpty() || destinazione.isEmpty() || StessoFile(sorgente, destinazione)) return false;
    QFile da(sorgente);
    if (!da.open(QIODevice::ReadOnly)) return false;
    const QDateTime modificato = da.fileTime(QFileDevice::FileModificationTime);
    // The permission bits as stored (QFile's "User" flags report what the
    // running user may do, which for root is everything).
    struct stat st {};
    if (::fstat(da.handle(), &st) != 0) return false;
    const mode_t permessi = st.st_mode & 07777;
    // The copy is written beside the destination and takes its name only
    // when complete, so a failed copy leaves no partial file behind.
    QSaveFile a(destinazione);
    a.setDirectWriteFallback(false);
    if (!a.open(QIODevice::WriteOnly)) return false;
    // Reads until the end of the file, not up to the size taken at the
    // start: a read that fails or a write that falls short stops the copy,
    // and the unfinished copy is discarded when `a` goes out of scope.
    char blocco[2048];
    for (;;) {
        const qint64 letti = da.read(blocco, sizeof blocco);
        if (letti < 0) return false;
        if (letti == 0) break;
        if (a.write(blocco, letti) != letti) return false;
    }
    if (!a.flush()) return false;
    a.setFileTime(modificato, QFileDevice::FileModificationTime);
    if (!a.commit()) return false;
    // The committed file keeps the permissions of the file it replaced: give
    // it the source's, and its time once more (a rename may touch it).
    const QByteArray nome = QFile::encodeName(destinazione);
    ::chmod(nome.constData(), permessi | S_IWUSR);
    QFile fatto(destinazione);
    if (fatto.open(QIODevice::ReadOnly) && fatto.fileTime(QFileDevice::FileModificationTime) != modificato)
        fatto.setFileTime(modificato, QFileDevice::FileModificationTime);
    fatto.close();
    ::chmod(nome.constData(), permessi);
    return true;
}

TRecord LeggiImpostazioni() {
    TTabella impostazioni(TArchivio::corrente(), Definizioni::Impostazioni);
    impostazioni.apri();
    if (impostazioni.vuota()) return TRecord();
    impostazioni.primo();
    TRecord r = impostazioni.record();
    impostazioni.chiudi();
    return r;
}

QString LeggiImpostazione(const QString& nome) {
    try {
        const TRecord impostazioni = LeggiImpostazioni();
        if (impostazioni.campi().isEmpty())
            throw ErroreArchivio(QStringLiteral("Nessun record di impostazione"), ErroreArchivio::CtxStato);
        return impostazioni.comeTesto(nome);
    } catch (const std::exception&) {
        MostraErrore(QStringLiteral("Errore di lettura in parametri di impostazione, campo: ") + nome);
        return QString();
    }
}

int ImpostazioneIntera(const QString& testo) {
    bool ok = false;
    const int v = testo.trimmed().toInt(&ok);
    if (!ok) throw ErroreArchivio(QStringLiteral("'%1' non è un valore intero valido").arg(testo), ErroreArchivio::CtxConversione);
    return v;
}

int LeggiCarattereStampa(const QString& campo) {
    QString testo = LeggiImpostazione(campo);
    // The stored text itself: a text the whole-number field cannot hold reads
    // back blank through the record, and the message shows what is stored.
    try {
        TArchivio& a = TArchivio::corrente();
        const QVariant grezzo = a.valoreSingolo(
            QStringLiteral("select \"%1\" from %2 limit 1").arg(campo, a.nomeQualificato(Definizioni::Impostazioni)));
        if (!grezzo.isNull()) testo = grezzo.toString();
    } catch (const ErroreArchivio&) {
        // Already reported by LeggiImpostazione.
    }
    bool ok = false;
    const qlonglong n = testo.trimmed().toLongLong(&ok);
    if (!ok) throw ErroreArchivio(QStringLiteral("'%1' non è un valore intero valido").arg(testo), ErroreArchivio::CtxConversione);
    // A size beyond any int is the largest: the report then takes its bound.
    return static_cast<int>(std::clamp<qlonglong>(n, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

QString TestoDettagliProduttore(const QVariant& idProduttore) {
    if (idProduttore.isNull() || idProduttore.toString().isEmpty()) return QStringLiteral("Dettagli:");
    return QStringLiteral("Dettagli: ") + NomeCognomeProduttore(idProduttore);
}

QString NomeCognomeProduttore(const QVariant& idProduttore) {
    TArchivio& a = TArchivio::corrente();
    QSqlQuery q = a.esegui(QStringLiteral("select ") + Produttori::Nome + QStringLiteral(", ") + Produttori::Cognome +
                               QStringLiteral(" from ") + a.nomeQualificato(Definizioni::Produttori) +
                               QStringLiteral(" where ") + Produttori::Id + QStringLiteral(" = ?"),
                           {idProduttore});
    QString nome, cognome;
    if (q.next()) {
        nome = q.value(0).toString();
        cognome = q.value(1).toString();
    }
    return nome + QLatin1Char(' ') + cognome;
}

QString NomeCategoria(const QVariant& idCategoria) {
    TArchivio& a = TArchivio::corrente();
    return a
        .valoreSingolo(QStringLiteral("select ") + Cat::Categoria + QStringLiteral(" from ") +
                           a.nomeQualificato(Definizioni::Categorie) + QStringLiteral(" where ") + Cat::Id +
                           QStringLiteral(" = ?"),
                       {idCategoria})
        .toString();
}

// ---------------------------------------------------------------------------
// Interface translation

QString Traduci(const QString& testo, const QString& lingua) {
    QString pulito = testo;
    if (pulito.startsWith(QLatin1Char('&'))) pulito.remove(0, 1);
    pulito.remove(QLatin1Char('\''));
    TArchivio& archivio = TArchivio::corrente();
    const QString tabella = archivio.nomeQualificato(Definizioni::Lingua);
    // The language names a column: it is looked up among the table's columns,
    // never put into the SQL as typed.
    QString colonna;
    QSqlQuery info = archivio.esegui(QStringLiteral("PRAGMA \"%1\".table_info(\"%1\")").arg(TArchivio::schemaDi(Definizioni::Lingua)));
    while (info.next()) {
        const QString c = info.value(1).toString();
        if (c.compare(lingua, Qt::CaseInsensitive) == 0) {
            colonna = c;
            break;
        }
    }
    info.finish();
    if (colonna.isEmpty())
        throw ErroreArchivio(QStringLiteral("Campo sconosciuto: %1 nella tabella lingua").arg(lingua),
                             ErroreArchivio::CtxStruttura);
    colonna.replace(QLatin1Char('"'), QLatin1String("\"\""));
    QSqlQuery q = archivio.esegui(
        QStringLiteral("select \"%1\" from %2 where %3 = ? limit 1").arg(colonna, tabella, Lingua::Italiano), {pulito});
    QString risultato = pulito;
    if (q.next()) risultato = q.value(0).isNull() ? QString() : q.value(0).toString();
    q.finish();
    return risultato;
}

namespace {

// A control's caption, read and written the way its kind holds it.
QString Didascalia(QObject* o) {
    if (auto* w = qobject_cast<QWidget*>(o); w && w->isWindow()) return w->windowTitle();
    if (auto* l = qobject_cast<QLabel*>(o)) return l->text();
    if (auto* b = qobject_cast<QAbstractButton*>(o)) return b->text();
    if (auto* g = qobject_cast<QGroupBox*>(o)) return g->title();
    if (auto* a = qobject_cast<QAction*>(o)) return a->text();
    if (auto* w = qobject_cast<QWidget*>(o)) return w->windowTitle();
    return QString();
}

void ImpostaDidascalia(QObject* o, const QString& testo) {
    if (auto* w = qobject_cast<QWidget*>(o); w && w->isWindow()) w->setWindowTitle(testo);
    else if (auto* l = qobject_cast<QLabel*>(o)) l->setText(testo);
    else if (auto* b = qobject_cast<QAbstractButton*>(o)) b->setText(testo);
    else if (auto* g = qobject_cast<QGroupBox*>(o)) g->setTitle(testo);
    else if (auto* a = qobject_cast<QAction*>(o)) a->setText(testo);
    else if (auto* w = qobject_cast<QWidget*>(o)) w->setWindowTitle(testo);
}

}  // namespace

void TraduciControlli(const QList<QObject*>& controlli) {
    if (!QFileInfo::exists(CartellaProgramma() + Definizioni::Lingua)) return;
    const QString lingua = LeggiImpostazione(Impostazioni::Lingua);
    if (lingua.isEmpty() || lingua == QLatin1String("Italiano")) return;
    try {
        for (QObject* o : controlli) {
            if (!o) continue;
            ImpostaDidascalia(o, Traduci(Didascalia(o), lingua));
        }
    } catch (const ErroreArchivio& e) {
        QGuiApplication::restoreOverrideCursor();
        MostraErroreGenerale(e.testo());
    } catch (const std::exception& e) {
        QGuiApplication::restoreOverrideCursor();
        MostraErroreGenerale(QString::fromUtf8(e.what()));
    }
}

namespace {

// Fits a window to the desktop's free area and puts it in the middle: a
// window larger than the area is shrunk to it (its layout's minimum
// permitting), one smaller keeps its size.
void Centra(QWidget* finestra) {
    const QScreen* s = finestra->screen() ? finestra->screen() : QGuiApplication::primaryScreen();
    if (!s) return;
    const QRect area = s->availableGeometry();
    // The frame the window system adds is known only once the window is
    // mapped; before that, leave room for a title bar and borders.
    const QRect cornice = finestra->frameGeometry();
    const QSize bordo = finestra->isVisible() ? cornice.size() - finestra->size() : QSize(8, 32);
    // Never smaller than its content: a size or minimum written in the form
    // may be below what the layout needs, and a label that wraps its words
    // needs more height at the window's width than the layout's minimum says.
    QSize dimensione = finestra->size().expandedTo(finestra->minimumSizeHint());
    if (const QLayout* l = finestra->layout(); l && l->hasHeightForWidth())
        dimensione.setHeight(std::max(dimensione.height(), l->totalMinimumHeightForWidth(dimensione.width())));
    if (dimensione != finestra->size()) finestra->resize(dimensione);
    const QSize massimo = (area.size() - bordo).expandedTo(finestra->minimumSize());
    if (finestra->width() > massimo.width() || finestra->height() > massimo.height())
        finestra->resize(finestra->size().boundedTo(massimo));
    const QSize tutta = finestra->size() + bordo;
    QPoint angolo(area.x() + (area.width() - tutta.width()) / 2, area.y() + (area.height() - tutta.height()) / 2);
    angolo.setX(std::max(angolo.x(), area.x()));
    angolo.setY(std::max(angolo.y(), area.y()));
    finestra->move(angolo);
}

// Centres a window once, when it is shown: a window built in its
// constructor gets its final size from its layout only then.
class TCentraAlloShow : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* oggetto, QEvent* evento) override {
        if (evento->type() == QEvent::Show && oggetto == parent()) {
            Centra(static_cast<QWidget*>(oggetto));
            deleteLater();
            oggetto->removeEventFilter(this);
        }
        return false;
    }
};

}  // namespace

void CentraSulloSchermo(QWidget* finestra) {
    Centra(finestra);
    if (!finestra->isVisible()) finestra->installEventFilter(new TCentraAlloShow(finestra));
}

void ColoraTesto(QWidget* w, const QColor& colore) {
    QPalette p = w->palette();
    for (const QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive}) {
        p.setColor(g, QPalette::WindowText, colore);
        p.setColor(g, QPalette::ButtonText, colore);
    }
    w->setPalette(p);
}
