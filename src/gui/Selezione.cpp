#include "gui/Selezione.h"

namespace {
TSelezioneCorrente g_predefinita;
TSelezioneCorrente* g_attuale = nullptr;
}  // namespace

TSelezioneCorrente& SelezioneCorrente() { return g_attuale ? *g_attuale : g_predefinita; }

void ImpostaSelezioneCorrente(TSelezioneCorrente* selezione) { g_attuale = selezione; }
