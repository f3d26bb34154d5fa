#pragma once

#include "platform/qt/view_context.h"
#include "platform/ui/data_controls.h"

#include <QObject>

#include <vector>

class QTableView;

namespace ctb::qt {

class DataSetTableModel;

// Binds a control-model grid to its QTableView: a DataSetTableModel over the grid's table, the
// grid's visible columns as view columns (widths that show their contents), the current cell both
// ways, and the cell edits and ellipsis button turned into the grid's user entry points.
class GridBinding : public QObject {
  public:
    // Owned by the view widget; deleted early when the grid goes away first.
    GridBinding(ui::DBGrid& grid, QTableView& view, ViewContext& context);
    ~GridBinding() override;

    [[nodiscard]] DataSetTableModel* model() const { return model_; }
    [[nodiscard]] QTableView* view() const { return view_; }
    // The grid's columns, table or read-only flags changed.
    void rebuildColumns();
    // Text columns widened to what the loaded rows show.
    void fitTextColumns();
    // The view's current cell follows the table's current row and the grid's selected column.
    void refreshSelection();

  private:
    // The field name of a view column, empty when the view has no such column.
    [[nodiscard]] QString fieldOfViewColumn(int viewColumn) const;

    ui::DBGrid* grid_;
    QTableView* view_;
    ViewContext& context_;
    DataSetTableModel* model_ = nullptr;
    std::vector<int> gridColumnOfView_;  // effectiveColumns index per view column
};

// Ctrl+C on a grid: the selected cells (the current one when none is) as tab-separated text, as
// they show.
void copySelectedCells(const QTableView& view);

// A column width that shows the field's declared size (long texts capped), its title and its button;
// a money column shows -999.999.999,99 whole.
[[nodiscard]] int columnWidthFor(const QTableView& view, const Field* field, const QString& title,
                                 bool button);
// The least a declared width may be: a money value or a date whole, the title, the button.
[[nodiscard]] int minimumColumnWidth(const QTableView& view, const Field* field, const QString& title,
                                     bool button);
[[nodiscard]] int titleWidth(const QTableView& view, const QString& title);

}  // namespace ctb::qt
