#include "gui/Inserimento.h"

#include "data/Convenzioni.h"
#include "data/engine/Archivio.h"
#include "gui/Messaggi.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QValidator>

#include <algorithm>

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

bool CompletaData(QString& testo) {
    const QString completata = DataCompletata(testo);
    if (completata.isEmpty()) {
        MostraErrore(QStringLiteral("Data non corretta!"));
        return false;
    }
    testo = completata;
    return true;
}
