#pragma once
// The current selection: what the selection lists last picked, held by the
// main window for the whole run and read by the window that opened a list.

#include <QString>

struct TSelezioneCorrente {
    int IdProduttoreScelto = 0;
    QString NomeProduttoreScelto;
    QString CognomeProduttoreScelto;
    int IdCategoriaScelta = 0;
    QString CategoriaScelta;
    QString NomeProdottoScelto;
};

// The main window's selection (a program-wide one when no main window exists,
// as in the tests of a single window).
TSelezioneCorrente& SelezioneCorrente();
void ImpostaSelezioneCorrente(TSelezioneCorrente* selezione);
