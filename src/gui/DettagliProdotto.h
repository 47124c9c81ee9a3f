#pragma once
// The details of one product, as the check windows show them under their
// list: name, balance, loads and unloads, description, prices and discounts,
// list number and dates, days of stock and producer code, each in a read-only
// box with its caption.

#include <QString>
#include <QWidget>

#include <functional>
#include <memory>

namespace Ui {
class TDettagliProdotto;
}
class QLineEdit;
class TRecord;

class TDettagliProdotto : public QWidget {
    Q_OBJECT
public:
    explicit TDettagliProdotto(QWidget* genitore = nullptr);
    ~TDettagliProdotto() override;

    // The product's fields as the store writes them as text (dates
    // dd/MM/yyyy, numbers with a decimal comma).
    void mostra(const TRecord& prodotto);
    // The text of each field from a row's values: testo gives it for a
    // field name of the products' table.
    void mostra(const std::function<QString(const QString& campo)>& testo);
    // Every box blank: no product.
    void svuota();

    // The box showing a field of the products' table; nullptr for a field
    // that is not shown.
    QLineEdit* box(const QString& campo) const;
    // The fields shown, in the order the boxes are read (left to right,
    // top to bottom).
    static const QStringList& Campi();

private:
    std::unique_ptr<Ui::TDettagliProdotto> m_ui;
    QList<QLineEdit*> m_box;  // in the order of Campi()
};
