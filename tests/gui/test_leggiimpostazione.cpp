// Settings read for a window: the text of a field, a report's font size,
// and the error box of a failed read.

#include "AmbienteTest.h"

#include "data/engine/Archivio.h"
#include "gui/Interazione.h"
#include "gui/LeggiImpostazione.h"

class TestLeggiImpostazione : public QObject {
    Q_OBJECT
private slots:
    void leggiImpostazione();
    void leggiCarattereStampa_data();
    void leggiCarattereStampa();
};

void TestLeggiImpostazione::leggiImpostazione() {
    TAmbienteTest amb;
    QCOMPARE(LeggiImpostazione(QStringLiteral("CAR_STAMPA_STORICO")), QStringLiteral("10"));
    QCOMPARE(LeggiImpostazione(QStringLiteral("ORD_PRODOTTI_STANDARD")), QStringLiteral("False"));
    QCOMPARE(LeggiImpostazione(QStringLiteral("DATAINGRESSO_AUTOMATICA")), QStringLiteral("True"));
    TArchivio::corrente().esegui(QStringLiteral("update %1 set CAR_STAMPA_LISTINO = null")
                                     .arg(TArchivio::corrente().nomeQualificato(QStringLiteral("impostazioni"))));
    QCOMPARE(LeggiImpostazione(QStringLiteral("CAR_STAMPA_LISTINO")), QString());
    ZR_VERIFICA_RISPOSTE(amb);

    amb.risposte.attendi(TTipoMessaggio::Errore,
                         QStringLiteral("Errore di lettura in parametri di impostazione, campo: NONESISTE"));
    QCOMPARE(LeggiImpostazione(QStringLiteral("NONESISTE")), QString());
    ZR_VERIFICA_RISPOSTE(amb);

    // No settings table at all.
    TArchivio::corrente().eliminaTabella(QStringLiteral("impostazioni"));
    amb.risposte.attendi(TTipoMessaggio::Errore,
                         QStringLiteral("Errore di lettura in parametri di impostazione, campo: CAR_STAMPA_STORICO"));
    QCOMPARE(LeggiImpostazione(QStringLiteral("CAR_STAMPA_STORICO")), QString());
    ZR_VERIFICA_RISPOSTE(amb);
}

// A report's font size: the stored whole number; an empty or non-numeric
// setting is a conversion error, after the read's own box when the field is missing.
void TestLeggiImpostazione::leggiCarattereStampa_data() {
    QTest::addColumn<QString>("campo");
    QTest::addColumn<QVariant>("valore");  // stored as is; an invalid one leaves the default
    QTest::addColumn<int>("atteso");        // -1: the conversion error
    QTest::addColumn<QString>("box");       // the error box shown before, if any
    QTest::newRow("valore iniziale") << "CAR_STAMPA_STORICO" << QVariant() << 10 << "";
    QTest::newRow("valore scelto") << "CAR_STAMPA_INVENTARIO" << QVariant(7) << 7 << "";
    QTest::newRow("campo vuoto") << "CAR_STAMPA_LISTINO" << QVariant(QMetaType(QMetaType::Int)) << -1 << "";
    QTest::newRow("testo non numerico") << "CAR_STAMPA_PRODOTTI" << QVariant(QStringLiteral("dieci")) << -1 << "";
    QTest::newRow("campo inesistente") << "NONESISTE" << QVariant() << -1
                                       << "Errore di lettura in parametri di impostazione, campo: NONESISTE";
}

void TestLeggiImpostazione::leggiCarattereStampa() {
    QFETCH(QString, campo);
    QFETCH(QVariant, valore);
    QFETCH(int, atteso);
    QFETCH(QString, box);
    TAmbienteTest amb;
    if (valore.isValid())
        TArchivio::corrente().esegui(QStringLiteral("update %1 set \"%2\" = ?")
                                         .arg(TArchivio::corrente().nomeQualificato(QStringLiteral("impostazioni")), campo),
                                     {valore});
    if (!box.isEmpty()) amb.risposte.attendi(TTipoMessaggio::Errore, box);
    if (atteso < 0) {
        try {
            LeggiCarattereStampa(campo);
            QFAIL("nessun errore");
        } catch (const ErroreArchivio& e) {
            QCOMPARE(e.contestoAiuto(), int(ErroreArchivio::CtxConversione));
        }
    } else {
        QCOMPARE(LeggiCarattereStampa(campo), atteso);
    }
    ZR_VERIFICA_RISPOSTE(amb);
}

QTEST_MAIN(TestLeggiImpostazione)
#include "test_leggiimpostazione.moc"
