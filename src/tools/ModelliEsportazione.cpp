#include "tools/ModelliEsportazione.h"

#include "data/engine/Definizioni.h"
#include "data/engine/Record.h"
#include "data/engine/Tabella.h"

TModelloEsportazione LeggiModello(const TTabella& t) {
    TModelloEsportazione m;
    m.descr = t.testo(TabExport::Descr);
    m.campi = t.testo(TabExport::Campi);
    m.tabelle = t.testo(TabExport::Tabelle);
    m.condizione = t.testo(TabExport::Condizione);
    m.ordinamento = t.testo(TabExport::Ordinamento);
    m.nomeFile = t.testo(TabExport::NomeFile);
    m.nomeFoglio = t.testo(TabExport::NomeFoglioExcel);
    m.formattazione = t.testo(TabExport::Formattazione);
    m.campoData = t.testo(TabExport::CampoData);
    m.txtOxls = t.nullo(TabExport::TxtOXls) ? -1 : t.intero(TabExport::TxtOXls);
    return m;
}

int ProssimoProgressivo() {
    return ProssimaChiave(TArchivio::corrente(), Definizioni::TabExport, TabExport::Progr);
}

void ScriviModello(TTabella& t, const TModelloEsportazione& m) {
    if (t.stato() == TTabella::Stato::Inserimento) t.imposta(TabExport::Descr, m.descr);
    if (t.intero(TabExport::Progr) == 0) t.imposta(TabExport::Progr, ProssimoProgressivo());
    t.imposta(TabExport::Campi, m.campi);
    t.imposta(TabExport::Tabelle, m.tabelle);
    t.imposta(TabExport::Condizione, m.condizione);
    t.imposta(TabExport::Ordinamento, m.ordinamento);
    t.imposta(TabExport::Formattazione, m.formattazione);
    t.imposta(TabExport::CampoData, m.campoData);
    t.imposta(TabExport::NomeFile, m.nomeFile);
    t.imposta(TabExport::NomeFoglioExcel, m.nomeFoglio);
    t.imposta(TabExport::TxtOXls, m.txtOxls);
}
