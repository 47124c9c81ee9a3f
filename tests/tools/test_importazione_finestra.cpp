// The window "Importazione dati" driven as the user does: a file chosen
// through the desktop seam, the proposed fields, the preview with its
// refused cell, the dry run, the saved refused rows and the import, with
// every message answered through the test's responder.

#include "AmbienteTest.h"
#include "data/engine/Archivio.h"
#include "data/engine/Definizioni.h"
#include "tools/ImportazioneDati.h"
#include "ui_ImportazioneDati.h"

#include <QComboBox>
#include <QFile>
#include <QSqlQuery>

class TestImportazioneFinestra : public TProvaConAmbiente {
    Q_OBJECT
private slots:
    void provaEImporta();
    void colonnaDueVolteFermaLaProva();
};

namespace {

void Scrivi(const QString& percorso, const QByteArray& byte) {
    QFile f(percorso);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(byte);
}

QComboBox* Campo(TFrmImportazioneDati& w, int riga) {
    return qobject_cast<QComboBox*>(w.ui()->GridColonne->cellWidget(riga, 2));
}

}  // namespace

void TestImportazioneFinestra::provaEImporta() {
    // Saved by a spreadsheet in Italy: ";" and Windows-1252, with "€" and accents.
    const QString csv = m_amb->file(QStringLiteral("listino.csv"));
    Scrivi(csv, "Codice;Descrizione;Prezzo di vendita;Fornitore\r\n"
                "C1;Caff\xE8 \x80 1;1.234,50;Bianchi\r\n"
                "C2;Tazza;due euro;Bianchi\r\n");
    TFrmImportazioneDati w;
    m_amb->risposte.fileDaScegliere.enqueue(csv);
    w.ui()->BTSsfoglia->click();
    QCOMPARE(w.ui()->GridColonne->rowCount(), 4);
    QCOMPARE(Campo(w, 0)->currentData().toString(), Prodotti::Nome);
    QCOMPARE(Campo(w, 2)->currentData().toString(), Prodotti::Prezzo2);
    QCOMPARE(Campo(w, 3)->currentData().toString(), DestinazioniImport::NomeProduttore);
    QVERIFY(w.ui()->cbCodifica->itemText(0).contains(QLatin1String("Windows-1252")));
    // The preview: the first row as stored, the refused price with its reason.
    QTableWidget* a = w.ui()->GridAnteprima;
    QCOMPARE(a->rowCount(), 2);
    QCOMPARE(a->item(0, 3)->text(), QString::fromUtf8("Caffè € 1"));
    QCOMPARE(a->item(0, 4)->text(), QStringLiteral("1234,5"));
    QCOMPARE(a->item(1, 1)->text(), QStringLiteral("rifiutato"));
    QVERIFY(a->item(1, 4)->text().contains(QStringLiteral("«due euro» non è un numero")));
    QVERIFY(!w.ui()->BTSimporta->isEnabled());  // only after the dry run

    w.ui()->BTSprova->click();
    QVERIFY(w.ui()->LabelRiepilogo->text().contains(QLatin1String("Nuovi: 1")));
    QVERIFY(w.ui()->LabelRiepilogo->text().contains(QLatin1String("Rifiutati: 1")));
    QVERIFY(w.ui()->LabelRiepilogo->text().contains(QLatin1String("Produttori da creare: 1")));

    m_amb->risposte.cartelleDaScegliere.enqueue(m_amb->cartella());
    m_amb->risposte.attendi(TTipoMessaggio::Messaggio, QStringLiteral("listino_rifiutate.csv"), true, true);
    w.ui()->BTSrifiutati->click();
    QVERIFY(QFile::exists(m_amb->file(QStringLiteral("listino_rifiutate.csv"))));

    m_amb->risposte.attendi(TTipoMessaggio::Domanda, QStringLiteral("Importare 1 righe"), true, true);
    m_amb->risposte.attendi(TTipoMessaggio::Messaggio, QStringLiteral("Importazione completata."), true, true);
    w.ui()->BTSimporta->click();
    ZR_VERIFICA_RISPOSTE(*m_amb);
    TArchivio& ar = TArchivio::corrente();
    QCOMPARE(ar.valoreSingolo(QStringLiteral("select DESCRIZIONE || '|' || PREZZO2 from %1").arg(ar.nomeQualificato(Definizioni::Prodotti)))
                 .toString(),
             QString::fromUtf8("Caffè € 1|1234.5"));
    QVERIFY(!w.ui()->BTSimporta->isEnabled());
}

void TestImportazioneFinestra::colonnaDueVolteFermaLaProva() {
    const QString csv = m_amb->file(QStringLiteral("d.csv"));
    Scrivi(csv, "Codice;Altro\nA;B\n");
    TFrmImportazioneDati w;
    w.caricaFile(csv);
    QComboBox* c = Campo(w, 1);
    c->setCurrentIndex(c->findData(Prodotti::Nome));
    emit c->activated(c->currentIndex());
    QVERIFY(w.ui()->LabelRiepilogo->text().contains(QStringLiteral("vanno entrambe in")));
    m_amb->risposte.attendi(TTipoMessaggio::Errore, QStringLiteral("vanno entrambe in"), true, true);
    w.ui()->BTSprova->click();
    QVERIFY(!w.ui()->BTSimporta->isEnabled());
}

QTEST_MAIN(TestImportazioneFinestra)
#include "test_importazione_finestra.moc"
