// The store alone: built against the store library and Qt Core, Sql and Test
// only, it opens a store, writes a category through a transaction and a
// record cursor, reads it back, and checks that no widget library was loaded.

#include "data/engine/Archivio.h"
#include "data/engine/Definizioni.h"
#include "data/engine/Tabella.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TestStratoArchivio : public QObject {
    Q_OBJECT
private slots:
    void archivioSenzaWidget() {
        QTemporaryDir cartella;
        QVERIFY(cartella.isValid());
        {
            TArchivio archivio(cartella.path());
            TStrutturaTabella s;
            s.campi = Definizioni::CampiCategorie();
            s.indici = {Definizioni::IndicePrimario(Cat::Id)};
            archivio.creaTabella(Definizioni::Categorie, s);
            {
                TTransazione t(archivio);
                TTabella tab(archivio, Definizioni::Categorie);
                tab.apri();
                tab.inserisci();
                tab.imposta(Cat::Id, 1);
                tab.imposta(Cat::Categoria, QStringLiteral("Città è più"));
                tab.registra();
                t.conferma();
            }
            QCOMPARE(archivio.valoreSingolo(QStringLiteral("SELECT %1 FROM %2 WHERE %3 = 1")
                                                .arg(Cat::Categoria, archivio.nomeQualificato(Definizioni::Categorie), Cat::Id))
                         .toString(),
                     QStringLiteral("Città è più"));
        }
        QFile mappe(QStringLiteral("/proc/self/maps"));
        QVERIFY(mappe.open(QIODevice::ReadOnly));
        const QByteArray caricate = mappe.readAll();
        QVERIFY(caricate.contains("libQt6Sql"));
        QVERIFY2(!caricate.contains("libQt6Widgets"), "the store loaded Qt Widgets");
        QVERIFY2(!caricate.contains("libQt6Gui"), "the store loaded Qt Gui");
    }
};

QTEST_GUILESS_MAIN(TestStratoArchivio)
#include "strato_archivio.moc"
