// The export models in tabexport.db: numbers allocated as the highest plus
// one (reused after the highest is deleted), texts stored whole, and the
// start-up rebuild that widens the period and ordering fields keeps them.

#include "AmbienteTest.h"
#include "data/CreaTabelleGenerali.h"
#include "data/engine/Archivio.h"
#include "data/engine/Definizioni.h"
#include "data/engine/Tabella.h"
#include "tools/ModelliEsportazione.h"

namespace {

int Aggiungi(TTabella& t, const QString& descr, const QString& campoData = {}) {
    TModelloEsportazione m;
    m.descr = descr;
    m.campi = QStringLiteral("prodotti.db.\"NOME\"");
    m.tabelle = QStringLiteral("prodotti.db");
    m.campoData = campoData;
    m.formattazione = QStringLiteral("LUNGHEZZA NOME=10\r\nSEPDEC PREZZO=.");
    t.ultimo();
    t.inserisci();
    ScriviModello(t, m);
    t.registra();
    return t.intero(TabExport::Progr);
}

}  // namespace

class TestModelliEsportazione : public TProvaConAmbiente {
    Q_OBJECT
private slots:
    void vitaDiUnModello();
    void ricostruzioneConservaIModelli();
};

void TestModelliEsportazione::vitaDiUnModello() {
    TTabella t(TArchivio::corrente(), Definizioni::TabExport);
    t.apri();
    QCOMPARE(Aggiungi(t, QStringLiteral("Primo")), 1);
    const QString campoData = QStringLiteral("storico.db.\"DATAOGGI\"");
    QCOMPARE(campoData.size(), 21);
    QCOMPARE(Aggiungi(t, QStringLiteral("Secondo"), campoData), 2);

    // Read back as stored: the 21-character period field whole, the
    // formatting lines with their line ends, no output type chosen.
    t.vaiA(2);
    TModelloEsportazione m = LeggiModello(t);
    QCOMPARE(m.campoData, campoData);
    QCOMPARE(m.formattazione, QStringLiteral("LUNGHEZZA NOME=10\r\nSEPDEC PREZZO=."));
    QCOMPARE(m.txtOxls, -1);
    QCOMPARE(m.descr, QStringLiteral("Secondo"));

    // Changing keeps the description and the number.
    m.descr = QStringLiteral("ignorata");
    m.ordinamento = QStringLiteral("storico.db.\"DATAOGGI\", storico.db.\"NOME\"");
    m.txtOxls = 1;
    t.modifica();
    ScriviModello(t, m);
    t.registra();
    t.aggiorna();
    t.vaiA(2);
    QCOMPARE(t.testo(TabExport::Descr), QStringLiteral("Secondo"));
    QCOMPARE(t.intero(TabExport::Progr), 2);
    QCOMPARE(LeggiModello(t).ordinamento, m.ordinamento);
    QCOMPARE(LeggiModello(t).txtOxls, 1);

    // Deleting the highest frees its number for the next model.
    t.elimina();
    QCOMPARE(Aggiungi(t, QStringLiteral("Terzo")), 2);
    QCOMPARE(Sqlite3(m_amb->file(Definizioni::TabExport), QStringLiteral("select PROGR, DESCR from tabexport order by PROGR")),
             QStringLiteral("1|Primo\n2|Terzo"));
}

void TestModelliEsportazione::ricostruzioneConservaIModelli() {
    // A tabexport.db of the earlier layout (period field 20, ordering 30).
    TArchivio& a = TArchivio::corrente();
    a.eliminaTabella(Definizioni::TabExport);
    TStrutturaTabella vecchia = Definizioni::Definizione(Definizioni::TabExport).struttura;
    for (TDefCampo& c : vecchia.campi) {
        if (c.nome == TabExport::CampoData) c.dimensione = 20;
        if (c.nome == TabExport::Ordinamento) c.dimensione = 30;
    }
    a.creaTabella(Definizioni::TabExport, vecchia);
    a.esegui(QStringLiteral("INSERT INTO %1 (%2, %3, %4) VALUES (7, 'Vecchio', 'storico.db.\"DATAOG')")
                 .arg(a.nomeQualificato(Definizioni::TabExport), TabExport::Progr, TabExport::Descr, TabExport::CampoData));
    a.scollegaTutte();

    CreaTabelleGenerali();
    QCOMPARE(Sqlite3(m_amb->file(Definizioni::TabExport),
                     QStringLiteral("select type from pragma_table_info('tabexport') where name in ('CAMPODATA', 'ORDINAMENTO') order by name")),
             QStringLiteral("VARCHAR(100)\nVARCHAR(250)"));
    QCOMPARE(Sqlite3(m_amb->file(Definizioni::TabExport), QStringLiteral("select PROGR, DESCR, CAMPODATA from tabexport")),
             QStringLiteral("7|Vecchio|storico.db.\"DATAOG"));
}

QTEST_MAIN(TestModelliEsportazione)
#include "test_modelliesportazione.moc"
