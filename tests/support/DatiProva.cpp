#include "DatiProva.h"

#include "data/engine/Archivio.h"
#include "data/engine/Definizioni.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QDate>
#include <QProcess>
#include <QWidget>
#include <QtTest>

namespace {
QVariant Data(const QVariant& v) {
    return v.typeId() == QMetaType::QDate ? QVariant(v.toDate().toString(Qt::ISODate)) : v;
}

// One row of a table with the given fields.
void Inserisci(const QString& tabella, const QStringList& campi, const QVariantList& valori) {
    TArchivio& a = TArchivio::corrente();
    a.esegui(QStringLiteral("insert into %1 (%2) values (%3)")
                 .arg(a.nomeQualificato(tabella), campi.join(QLatin1Char(',')),
                      QStringList(campi.size(), QStringLiteral("?")).join(QLatin1Char(','))),
             valori);
}

}  // namespace

void InserisciProdotto(const TRigaProdotto& p) {
    using namespace Prodotti;
    const QStringList campi = {Id,          Nome,         Descrizione,  Carichi, Scarichi,    Quantita,
                               TotaleAcquisti, TotaleVendite, Prezzo,   Prezzo2, IdCategoria, IdProduttore,
                               DataOggi,    DataDistinta, NumDistinta,  GiacenzaMax, QtaAlert, Foto};
    const QVariantList valori = {p.id, p.nome, p.descrizione, p.carichi, p.scarichi, p.quantita, p.totaleAcquisti,
                                 p.totaleVendite, p.prezzo, p.prezzo2, p.idCategoria, p.idProduttore,
                                 Data(p.dataOggi), Data(p.dataDistinta), p.numDistinta, p.giacenzaMax, p.qtaAlert,
                                 p.foto};
    Inserisci(Definizioni::Prodotti, campi, valori);
}

void InserisciProduttore(int id, const QString& nome, const QString& cognome) {
    Inserisci(Definizioni::Produttori, {Produttori::Id, Produttori::Nome, Produttori::Cognome}, {id, nome, cognome});
}

void InserisciCategoria(int id, const QString& categoria) {
    Inserisci(Definizioni::Categorie, {Cat::Id, Cat::Categoria}, {id, categoria});
}

void ImpostaImpostazione(const QString& campo, const QVariant& valore) {
    TArchivio& a = TArchivio::corrente();
    const QVariant v = valore.typeId() == QMetaType::Bool ? QVariant(valore.toBool() ? 1 : 0) : valore;
    a.esegui(QStringLiteral("update %1 set %2 = ?").arg(a.nomeQualificato(Definizioni::Impostazioni), campo), {v});
}

void ImpostaLingua(const QString& lingua) {
    TArchivio& a = TArchivio::corrente();
    a.esegui(QStringLiteral("alter table %1 add column LINGUA VARCHAR(20)")
                 .arg(a.nomeQualificato(Definizioni::Impostazioni)));
    ImpostaImpostazione(QStringLiteral("LINGUA"), lingua);
}

void Mostra(QWidget& finestra) {
    finestra.show();
    QVERIFY(QTest::qWaitForWindowExposed(&finestra));
}

bool MostraAttiva(QWidget* finestra) {
    finestra->show();
    QApplication::setActiveWindow(finestra);
    finestra->activateWindow();
    return QTest::qWaitForWindowActive(finestra);
}

QMap<QString, QByteArray> Impronte(const QString& cartella) {
    QMap<QString, QByteArray> m;
    for (const QFileInfo& f : QDir(cartella).entryInfoList(QDir::Files | QDir::Hidden)) {
        QFile file(f.filePath());
        if (file.open(QIODevice::ReadOnly)) m.insert(f.fileName(), QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256));
    }
    return m;
}

QString Pdftotext(const QString& pdf) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    p.waitForFinished(30000);
    // Compatibility form: the typeface's ligatures ("ﬀ") read as their letters.
    return QString::fromUtf8(p.readAllStandardOutput()).normalized(QString::NormalizationForm_KC);
}
