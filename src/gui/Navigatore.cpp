#include "gui/Navigatore.h"

#include "gui/Gestori.h"
#include "data/Convenzioni.h"
#include "data/engine/Tabella.h"
#include "gui/Inserimento.h"
#include "gui/Messaggi.h"

#include <QClipboard>
#include <QDropEvent>
#include <QGridLayout>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

// ---------------------------------------------------------------------------
// TCampiCollegati

namespace {
// Tells the user why a pasted or dropped text does not reach a numeric box
// (the box's validator refuses it without a word).
class TAvvisoIncollaNumerico : public QObject {
public:
    TAvvisoIncollaNumerico(QLineEdit* box, const QString& campo) : QObject(box), m_campo(campo) {}

protected:
    bool eventFilter(QObject* oggetto, QEvent* evento) override {
        QString testo;
        bool incolla = false;
        if (evento->type() == QEvent::KeyPress) {
            auto* k = static_cast<QKeyEvent*>(evento);
            if (k->matches(QKeySequence::Paste)) {
                incolla = true;
                testo = QGuiApplication::clipboard()->text();
            }
        } else if (evento->type() == QEvent::Drop) {
            incolla = true;
            testo = static_cast<QDropEvent*>(evento)->mimeData()->text();
        }
        if (incolla && !TestoNumericoAmmesso(testo)) {
            MostraErrore(QStringLiteral("Il testo \"%1\" non è un numero: nel campo %2 si possono inserire solo cifre "
                                        "e la virgola.")
                             .arg(TestoSinistro(testo, 40), m_campo));
            return true;
        }
        return QObject::eventFilter(oggetto, evento);
    }

private:
    QString m_campo;
};
}  // namespace

void TCampiCollegati::collegaNumerico(QLineEdit* box, const QString& campo) {
    ImpostaFiltroNumerico(box);  // before the binding: a number keeps the box's own length
    collega(box, campo);
    box->installEventFilter(new TAvvisoIncollaNumerico(box, campo));
}

void TCampiCollegati::collega(QLineEdit* box, const QString& campo, bool solaLettura) {
    const int indice = static_cast<int>(m_legami.size());
    m_legami.push_back({box, campo, solaLettura});
    box->setReadOnly(solaLettura);
    // The box's length, set to its field's size, counts characters as the
    // field does, so that an emoji at the limit is not cut in half.
    if (!solaLettura && !box->validator() && box->maxLength() < 32767) LimitaCaratteri(box, box->maxLength());
    if (!solaLettura) QObject::connect(box, &QLineEdit::textEdited, box, Gestore([this, indice] { digitato(indice); }));
}

QLineEdit* TCampiCollegati::box(const QString& campo) const {
    for (const Legame& l : m_legami)
        if (l.campo.compare(campo, Qt::CaseInsensitive) == 0) return l.box;
    return nullptr;
}

bool TCampiCollegati::modificato() const {
    for (const Legame& l : m_legami)
        if (l.modificato) return true;
    return false;
}

bool TCampiCollegati::modificato(const QString& campo) const {
    for (const Legame& l : m_legami)
        if (l.campo.compare(campo, Qt::CaseInsensitive) == 0) return l.modificato;
    return false;
}

void TCampiCollegati::digitato(int indice) {
    if (m_mostrando || !m_tabella->aperta()) return;
    if (!m_tabella->inModifica()) {
        // Entering the edit state repaints the boxes from the record: keep
        // what the user just typed.
        m_mostrando = true;
        const QString testo = m_legami[indice].box->text();
        const int cursore = m_legami[indice].box->cursorPosition();
        EseguiMostrandoErrori([this] { m_tabella->modifica(); });
        m_mostrando = false;
        if (!m_tabella->inModifica()) return;
        if (m_legami[indice].box->text() != testo) {
            m_legami[indice].box->setText(testo);
            m_legami[indice].box->setCursorPosition(cursore);
        }
    }
    m_legami[indice].modificato = true;
}

void TCampiCollegati::mostra() {
    if (m_mostrando) return;
    m_mostrando = true;
    for (Legame& l : m_legami) {
        const QString t = m_tabella->aperta() ? m_tabella->record().comeTesto(l.campo) : QString();
        if (l.box->text() != t) {
            l.box->setText(t);
            l.box->setCursorPosition(0);
        }
        l.modificato = false;
    }
    m_mostrando = false;
}

void TCampiCollegati::scrivi() {
    if (!m_tabella->inModifica()) return;
    for (Legame& l : m_legami) {
        if (!l.modificato) continue;
        const QString testo = l.box->text();
        try {
            m_tabella->imposta(l.campo, testo);
        } catch (const ErroreArchivio&) {
            const int i = m_tabella->record().indice(l.campo);
            const TTipoCampo tipo = i >= 0 ? m_tabella->campi()[i].tipo : TTipoCampo::String;
            QString perche;
            switch (tipo) {
            case TTipoCampo::Integer: perche = QStringLiteral("non è un numero intero"); break;
            case TTipoCampo::Float: perche = QStringLiteral("non è un numero (usare la virgola per i decimali)"); break;
            case TTipoCampo::Date: perche = QStringLiteral("non è una data valida (gg/mm/aaaa)"); break;
            default: perche = QStringLiteral("non è un valore valido"); break;
            }
            MostraErrore(QStringLiteral("Il valore \"%1\" del campo %2 %3: correggerlo.").arg(testo, l.campo, perche));
            l.box->setFocus();
            l.box->selectAll();
            throw InterrompiOperazione();
        }
        l.modificato = false;
    }
}

// ---------------------------------------------------------------------------
// TNavigatore

TNavigatore::TNavigatore(QWidget* genitore) : QWidget(genitore) {
    auto* griglia = new QGridLayout(this);
    griglia->setContentsMargins(0, 0, 0, 0);
    griglia->setHorizontalSpacing(1);
    griglia->setVerticalSpacing(1);
    const QStringList simboli = {QStringLiteral("◀"), QStringLiteral("▶"), QStringLiteral("+"),
                                 QStringLiteral("−"), QStringLiteral("✓"), QStringLiteral("✗")};
    const QStringList nomi = {QStringLiteral("btnPrecedente"), QStringLiteral("btnSuccessivo"),
                              QStringLiteral("btnInserisci"),  QStringLiteral("btnElimina"),
                              QStringLiteral("btnConferma"),   QStringLiteral("btnAnnulla")};
    for (int i = 0; i < simboli.size(); ++i) {
        auto* etichetta = new QLabel(this);
        etichetta->setAlignment(Qt::AlignCenter);
        etichetta->setVisible(false);
        griglia->addWidget(etichetta, 0, i);
        m_didascalie << etichetta;
        auto* b = new QToolButton(this);
        b->setObjectName(nomi[i]);
        b->setText(simboli[i]);
        b->setMinimumSize(64, 26);
        b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        griglia->addWidget(b, 1, i);
        m_pulsanti << b;
        connect(b, &QToolButton::clicked, this, Gestore([this, i] { esegui(static_cast<Pulsante>(i)); }));
    }
    aggiorna();
}

void TNavigatore::collega(TTabella* tabella, TCampiCollegati* campi) {
    m_tabella = tabella;
    m_campi = campi;
    aggiorna();
}

void TNavigatore::impostaDidascalie(const QStringList& didascalie) {
    for (int i = 0; i < m_didascalie.size() && i < didascalie.size(); ++i) {
        m_didascalie[i]->setText(didascalie[i]);
        m_didascalie[i]->setVisible(true);
    }
}

void TNavigatore::impostaSuggerimenti(const QStringList& suggerimenti) {
    for (int i = 0; i < m_pulsanti.size() && i < suggerimenti.size(); ++i) m_pulsanti[i]->setToolTip(suggerimenti[i]);
}

void TNavigatore::aggiorna() {
    const bool aperta = m_tabella && m_tabella->aperta();
    const bool modifica = aperta && m_tabella->inModifica();
    const int n = aperta ? m_tabella->conteggio() : 0;
    const int corrente = aperta ? m_tabella->numeroRecord() : 0;
    m_pulsanti[Precedente]->setEnabled(aperta && n > 0 && (corrente > 1 || modifica));
    m_pulsanti[Successivo]->setEnabled(aperta && n > 0 && (corrente < n || modifica));
    m_pulsanti[Inserisci]->setEnabled(aperta);
    m_pulsanti[Elimina]->setEnabled(aperta && (n > 0 || modifica));
    m_pulsanti[Conferma]->setEnabled(modifica);
    m_pulsanti[Annulla]->setEnabled(modifica);
}

void TNavigatore::esegui(Pulsante p) {
    if (!m_tabella || !m_tabella->aperta()) return;
    EseguiMostrandoErrori([this, p] {
        const bool registra = p == Precedente || p == Successivo || p == Inserisci || p == Conferma;
        if (registra && m_campi && m_tabella->inModifica()) m_campi->scrivi();
        switch (p) {
        case Precedente: m_tabella->precedente(); break;
        case Successivo: m_tabella->successivo(); break;
        case Inserisci: m_tabella->inserisci(); break;
        case Elimina:
            if (ChiediConferma(QStringLiteral("Delete record?"))) m_tabella->elimina();
            break;
        case Conferma: m_tabella->registra(); break;
        case Annulla:
            m_tabella->annulla();
            if (m_campi) m_campi->mostra();
            break;
        }
    });
    aggiorna();
    emit cliccato(p);
}
