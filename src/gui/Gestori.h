#pragma once
// The wrapper every handler's body runs through: an error it raises is shown
// in the general error display and goes no further, so nothing is thrown
// through Qt's signal and event frames.

#include <functional>

// Runs an action, showing any error it raises in the general error display;
// false when it raised one (or a hook abandoned the operation).
bool EseguiMostrandoErrori(const std::function<void()>& azione);

namespace GestoriDettaglio {

template <class F, class R, class C, class... A>
auto Avvolgi(F f, R (C::*)(A...) const) {
    return [f = std::move(f)](A... argomenti) { EseguiMostrandoErrori([&] { f(argomenti...); }); };
}
template <class F, class R, class C, class... A>
auto Avvolgi(F f, R (C::*)(A...)) {
    return [f = std::move(f)](A... argomenti) mutable { EseguiMostrandoErrori([&] { f(argomenti...); }); };
}

}  // namespace GestoriDettaglio

// A handler to connect to a signal: it calls oggetto->metodo with the
// signal's arguments through EseguiMostrandoErrori. It takes exactly the
// method's parameters, so Qt drops the signal's extra ones as it does for the
// method itself:
//     connect(m_ui->sbEsci, &QPushButton::clicked, this, Gestore(this, &TFrmX::sbEsciClick));
template <class Classe, class Base, class R, class... A>
auto Gestore(Classe* oggetto, R (Base::*metodo)(A...)) {
    return [oggetto, metodo](A... argomenti) {
        EseguiMostrandoErrori([&] { (oggetto->*metodo)(argomenti...); });
    };
}

// The same for a lambda (one with a single, non-template call operator).
template <class F>
auto Gestore(F f) {
    return GestoriDettaglio::Avvolgi(std::move(f), &F::operator());
}
