#pragma once

// Data-bound controls: an edit bound to a field of a data source, and a grid over a data source.

#include "platform/export.h"
#include "platform/ui/controls.h"

#include <memory>
#include <utility>
#include <vector>

namespace ctb {
class DataSetObserver;
}

namespace ctb::ui {

// An edit that shows a field of the data source's current row and writes what is typed back into
// it: the first change puts the table in edit (DataSource::edit: insert on an empty table) and
// every change is stored in the field at once. Re-bindable at run time.
class CTB_PLATFORM_EXPORT DBEdit : public Edit {
  public:
    explicit DBEdit(QString name);
    ~DBEdit() override;

    [[nodiscard]] DataSource* dataSource() const { return dataSource_; }
    [[nodiscard]] const QString& dataField() const { return dataField_; }
    void setDataBinding(DataSource* source, const QString& fieldName);
    void setDataSource(DataSource* source) { setDataBinding(source, dataField_); }
    void setDataField(const QString& fieldName) { setDataBinding(dataSource_, fieldName); }
    // The bound field, or nullptr when unbound, closed or unknown.
    [[nodiscard]] Field* field() const;

    [[nodiscard]] QString text() const override;
    void setText(const QString& text) override;
    bool typeChar(QChar ch) override;
    void backspace() override;
    // Typed text goes to the field (the table enters edit state), as typeChar does.
    void typeText(const QString& text) override;
    // Re-reads the field (the renderer never needs to: changes come as Change::Text).
    void refresh();
    // Shows a text in the box without writing the field (until the field is read again).
    void showText(const QString& text) { setTextSilently(text); }

  private:
    class Link;
    void store(const QString& text);
    DataSource* dataSource_ = nullptr;
    QString dataField_;
    std::unique_ptr<Link> link_;
};

// One grid column bound to a field.
struct CTB_PLATFORM_EXPORT GridColumn {
    QString fieldName;
    QString title;  // the field's display label when empty
    int width = 0;  // pixels; 0: wide enough for the field's declared size and the title
    bool readOnly = false;
    bool hasButton = false;  // an ellipsis button in the current cell runs onEditButtonClick
    bool visible = true;
};

// A grid over a data source. Rows are the table's view rows (ClientDataSet::viewRowCount); the
// current row is the table's current row. Behaviour:
// - selecting another column runs onColExit (the selected field is still the old one), then
//   selects it, then runs onColEnter;
// - editing a cell selects its column, puts the table in edit (insert on an empty table) and
//   stores the text in the field;
// - moving to another row lets the table end the pending edit (posted when modified, else
//   cancelled), except that a new row no one typed into is dropped; Down on the last row appends a
//   row (unless readOnly or !allowAppend), Insert inserts;
// - leaving the grid cancels an appended or inserted row that was left untouched;
// - Ctrl+Delete in browse state asks "Excluir registro?" and deletes on Yes (unless a key handler
//   swallowed the key or confirmDelete is off).
class CTB_PLATFORM_EXPORT DBGrid : public Control {
  public:
    explicit DBGrid(QString name);
    ~DBGrid() override;
    [[nodiscard]] bool focusable() const override { return true; }

    [[nodiscard]] DataSource* dataSource() const { return dataSource_; }
    void setDataSource(DataSource* source);
    [[nodiscard]] ClientDataSet* dataSet() const;

    // No columns: one per visible field of the table.
    [[nodiscard]] const std::vector<GridColumn>& columns() const { return columns_; }
    [[nodiscard]] std::vector<GridColumn> effectiveColumns() const;
    void setColumns(std::vector<GridColumn> columns);
    GridColumn& addColumn(const QString& fieldName, const QString& title = {}, int width = 0);
    [[nodiscard]] int columnIndex(QStringView fieldName) const;  // among effectiveColumns, -1 absent
    // A column width by field, kept across setColumns (layout data): the column of that field takes
    // it when it has no width of its own.
    void setFieldWidth(const QString& fieldName, int width);

    [[nodiscard]] int selectedIndex() const { return selectedIndex_; }
    // From code as well as from the user: runs onColExit / onColEnter when it changes.
    void setSelectedIndex(int index);
    [[nodiscard]] Field* selectedField() const;
    void setSelectedField(const QString& fieldName);

    [[nodiscard]] bool readOnly() const { return readOnly_; }
    void setReadOnly(bool on);
    // The current row is shown selected as a whole instead of its current cell.
    [[nodiscard]] bool rowSelect() const { return rowSelect_; }
    void setRowSelect(bool on);
    bool allowAppend = true;
    bool confirmDelete = true;
    bool cancelOnExit = true;
    QString deleteQuestion = QStringLiteral("Excluir registro?");
    [[nodiscard]] bool editorMode() const { return editorMode_; }  // a cell is being typed into

    // ---- user actions (called through user_input.h; AbortAction propagates) ----
    void goToRow(int row1);  // 1-based among the view rows
    void editCell(const QString& fieldName, const QString& text);
    // Types one character into the selected cell's editor; the text goes into the field when the
    // editor is committed (another column or row, Enter, Tab, leaving the grid, commitEditor).
    void typeChar(QChar ch);
    void commitEditor();
    [[nodiscard]] const QString& editorText() const { return editorText_; }
    void clickEditButton();
    // Default handling of a key the handlers left alone (arrows, Tab between cells, Insert, Delete).
    void defaultKey(int key, ShiftState shift);

    NotifyEvent onColExit;
    NotifyEvent onColEnter;
    NotifyEvent onEditButtonClick;
    NotifyEvent onCellClick;

  protected:
    void leaving() override;

  private:
    class Link;
    void ensureEditing();
    DataSource* dataSource_ = nullptr;
    std::vector<GridColumn> columns_;
    std::vector<std::pair<QString, int>> fieldWidths_;
    int selectedIndex_ = 0;
    bool readOnly_ = false;
    bool rowSelect_ = false;
    bool editorMode_ = false;
    bool inColExit_ = false;
    QString editorText_;
    std::unique_ptr<Link> link_;
};

}  // namespace ctb::ui
