#pragma once

#include "platform/dataset/client_dataset.h"

#include <QAbstractTableModel>
#include <QString>

#include <functional>
#include <vector>

namespace ctb::qt {

// One grid column: the field it shows and how its cells behave.
struct GridColumnSpec {
    QString fieldName;
    QString title;  // empty: the field's display label
    bool readOnly = false;
    bool lookupButton = false;  // an ellipsis button in the cell
    int width = 0;              // pixels; 0 lets the view decide
};

// A Qt table model over a table's view rows (those the filter lets through, plus the pending row of
// an insert). It follows the table through DataSetObserver, so every change made by screen code shows.
// Edits do not write the table: they go to `cellEdited`, which owns the grid rules (edit state,
// posting, column events). Without a handler the model is read-only.
class DataSetTableModel : public QAbstractTableModel, private DataSetObserver {
    Q_OBJECT
  public:
    // The column's lookup-button flag, for delegates.
    static constexpr int LookupButtonRole = Qt::UserRole + 1;
    // The Qt input mask for editing the cell ("" for none).
    static constexpr int InputMaskRole = Qt::UserRole + 2;
    // Returns false to refuse the edit (the view keeps the old text).
    using CellEditedHandler = std::function<bool(int row, int column, const QString& text)>;

    DataSetTableModel(ClientDataSet* dataSet, std::vector<GridColumnSpec> columns, QObject* parent = nullptr);
    ~DataSetTableModel() override;

    void setDataSet(ClientDataSet* dataSet);
    [[nodiscard]] ClientDataSet* dataSet() const { return dataSet_; }
    void setColumns(std::vector<GridColumnSpec> columns);
    [[nodiscard]] const std::vector<GridColumnSpec>& columns() const { return columns_; }
    void setCellEditedHandler(CellEditedHandler handler) { cellEdited_ = std::move(handler); }
    void setEditable(bool editable) { editable_ = editable; }
    // The column index of a field name, -1 when no column shows it.
    [[nodiscard]] int columnOf(QStringView fieldName) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // True while the model passes a change of the table on to the view (rows inserted or removed, a
    // reset): a view's current cell that moves meanwhile follows the table and is not a user's move.
    [[nodiscard]] bool followingTable() const { return following_ > 0; }

  signals:
    // The table's cursor moved to `row` (-1: none); the view follows it.
    void tableCursorMoved(int row);

  private:
    void aboutToReset() override;
    void reset() override;
    void rowAboutToBeInserted(int row) override;
    void rowInserted(int row) override;
    void rowAboutToBeRemoved(int row) override;
    void rowRemoved(int row) override;
    void rowChanged(int row) override;
    void currentRowChanged(int row) override;
    void dataSetDestroyed() override;

    [[nodiscard]] Field* fieldOf(int column) const;
    void bindColumns();

    ClientDataSet* dataSet_ = nullptr;
    std::vector<GridColumnSpec> columns_;
    std::vector<int> fieldIndexes_;  // per column, -1 for an unknown field
    CellEditedHandler cellEdited_;
    bool editable_ = true;
    bool resetting_ = false;
    int pendingInsert_ = -1;
    int pendingRemove_ = -1;
    int following_ = 0;
};

}  // namespace ctb::qt
