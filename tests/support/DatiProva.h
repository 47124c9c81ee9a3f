#pragma once
// Rows and settings a test writes straight into the program's tables before
// it drives a window or a routine, and the windows shown the way tests need.

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QVariant>

class QWidget;

// A product row; a field left null is stored as NULL, a date as ISO text.
struct TRigaProdotto {
    QVariant id, nome, descrizione, carichi, scarichi, quantita, totaleAcquisti, totaleVendite, prezzo, prezzo2,
        idCategoria, idProduttore, dataOggi, dataDistinta, numDistinta, giacenzaMax, qtaAlert, foto;
};
void InserisciProdotto(const TRigaProdotto& p);
void InserisciProduttore(int id, const QString& nome, const QString& cognome);
void InserisciCategoria(int id, const QString& categoria);

// Sets one field of the settings record (a switch given as true / false is stored as 1 / 0).
void ImpostaImpostazione(const QString& campo, const QVariant& valore);
// Gives the settings record the LINGUA field that names the interface's language.
void ImpostaLingua(const QString& lingua);

// Shows a window and waits until it is on screen; the test fails when it does not appear.
void Mostra(QWidget& finestra);
// Shows a window and makes it the active one, so that focus and Tab work.
bool MostraAttiva(QWidget* finestra);

// Every file of the folder (tables, journals, hidden ones too) with the
// digest of its bytes, to show that a step left them all as they were.
QMap<QString, QByteArray> Impronte(const QString& cartella);

// The text of a PDF file as pdftotext lays it out.
QString Pdftotext(const QString& pdf);
