#pragma once

#include <QDialog>
#include <QStringList>

#include <vector>

class QTableWidget;

namespace ctb::qt {

// What a lookup dialog lists: column titles and the displayed rows; `keyColumn` names the column
// whose text identifies a row (what scripts pick by).
struct LookupRows {
    QString title;
    QStringList headers;
    std::vector<QStringList> rows;
    int keyColumn = 0;
    QStringList keys;       // one per row when the key is not among the columns; else keyColumn's text
    QStringList shownKeys;  // the key as displayed, also accepted when picking by key
};

// The lookup dialog: a list of rows to pick one (double click or Enter) or several (check marks),
// with "OK" and "Cancelar".
class LookupDialog : public QDialog {
    Q_OBJECT
  public:
    LookupDialog(const LookupRows& rows, bool multiple, QWidget* parent);

    // Indices of the picked rows, in list order; empty when nothing was picked or cancelled.
    [[nodiscard]] std::vector<int> pickedRows() const;
    // Selects the rows whose key is among `keys`; false when some key is not listed.
    bool selectKeys(const QStringList& keys);
    [[nodiscard]] QTableWidget* table() const { return table_; }
    [[nodiscard]] bool isMultiple() const { return multiple_; }

  private:
    [[nodiscard]] QString keyOf(int row) const;

    QTableWidget* table_;
    int keyColumn_;
    QStringList keys_;
    QStringList shownKeys_;
    bool multiple_;
};

}  // namespace ctb::qt
