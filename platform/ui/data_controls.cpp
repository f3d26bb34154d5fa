#include "platform/ui/data_controls.h"

#include "platform/dataset/client_dataset.h"

#include <algorithm>

namespace ctb::ui {

// ---------------------------------------------------------------- DBEdit

class DBEdit::Link : public DataSetObserver {
  public:
    explicit Link(DBEdit& owner) : owner_(owner) {}
    ~Link() override { detach(); }
    void attach(ClientDataSet* table) {
        if (table == table_)
            return;
        detach();
        table_ = table;
        if (table_ != nullptr)
            table_->addObserver(this);
    }
    void detach() {
        if (table_ != nullptr)
            table_->removeObserver(this);
        table_ = nullptr;
    }
    void reset() override { owner_.refresh(); }
    void rowChanged(int) override { owner_.refresh(); }
    void rowRemoved(int) override { owner_.refresh(); }
    void currentRowChanged(int) override { owner_.refresh(); }
    void stateChanged(DataSetState) override { owner_.refresh(); }
    void focusFieldRequested(Field& field) override {
        if (owner_.field() == &field)
            owner_.setFocus();
    }
    void dataSetDestroyed() override {
        table_ = nullptr;
        owner_.dataSource_ = nullptr;
    }

  private:
    DBEdit& owner_;
    ClientDataSet* table_ = nullptr;
};

DBEdit::DBEdit(QString name)
    : Edit(ControlKind::DBEdit, std::move(name)), link_(std::make_unique<Link>(*this)) {}

DBEdit::~DBEdit() = default;

void DBEdit::setDataBinding(DataSource* source, const QString& fieldName) {
    dataSource_ = source;
    dataField_ = fieldName;
    link_->attach(source != nullptr ? source->dataSet() : nullptr);
    changed(Change::Binding);
    refresh();
}

Field* DBEdit::field() const {
    if (dataSource_ == nullptr || dataSource_->dataSet() == nullptr || dataField_.isEmpty())
        return nullptr;
    ClientDataSet* table = dataSource_->dataSet();
    link_->attach(table);  // the source may have been pointed at another table
    return table->findField(dataField_);
}

QString DBEdit::text() const {
    return Edit::text();
}

void DBEdit::refresh() {
    const Field* f = field();
    setTextSilently(f != nullptr && f->dataSet().active() ? f->text() : QString());
}

void DBEdit::store(const QString& text) {
    Field* f = field();
    if (f == nullptr) {
        Edit::setText(text);
        return;
    }
    if (!f->dataSet().isEditing())
        dataSource_->edit();
    f->setText(text);
    const QString before = Edit::text();
    refresh();
    if (Edit::text() != before || before != text)
        fire(onChange, *this);
}

void DBEdit::setText(const QString& text) {
    Field* f = field();
    if (f == nullptr || !f->dataSet().isEditing()) {
        // From code on a browsing table only the box changes, as the classic control does.
        Edit::setText(text);
        return;
    }
    store(text);
}

bool DBEdit::typeChar(QChar ch) {
    if (readOnly() || ch.isNull())
        return false;
    if (maxLength() > 0 && text().size() >= maxLength())
        return false;
    if (upperCase)
        ch = ch.toUpper();
    store(text() + ch);
    return true;
}

void DBEdit::typeText(const QString& text) {
    if (readOnly())
        return;
    store(text);
}

void DBEdit::backspace() {
    if (readOnly() || text().isEmpty())
        return;
    store(text().chopped(1));
}

// ---------------------------------------------------------------- DBGrid

class DBGrid::Link : public DataSetObserver {
  public:
    explicit Link(DBGrid& owner) : owner_(owner) {}
    ~Link() override { detach(); }
    void attach(ClientDataSet* table) {
        if (table == table_)
            return;
        detach();
        table_ = table;
        if (table_ != nullptr)
            table_->addObserver(this);
    }
    void detach() {
        if (table_ != nullptr)
            table_->removeObserver(this);
        table_ = nullptr;
    }
    void currentRowChanged(int) override { owner_.editorMode_ = false; }
    void stateChanged(DataSetState state) override {
        if (state == DataSetState::Browse)
            owner_.editorMode_ = false;  // posted or cancelled elsewhere: the editor is stale
    }
    void reset() override { owner_.editorMode_ = false; }
    void focusFieldRequested(Field& field) override {
        const int index = owner_.columnIndex(field.fieldName());
        // A held focus keeps the column too: moving it would run the column's exit checks.
        if (index < 0 || (owner_.form() != nullptr && owner_.form()->focusHeld()))
            return;
        owner_.setSelectedIndex(index);
        owner_.setFocus();
    }
    void dataSetDestroyed() override {
        table_ = nullptr;
        owner_.dataSource_ = nullptr;
    }

  private:
    DBGrid& owner_;
    ClientDataSet* table_ = nullptr;
};

DBGrid::DBGrid(QString name)
    : Control(ControlKind::DBGrid, std::move(name)), link_(std::make_unique<Link>(*this)) {}

DBGrid::~DBGrid() = default;

void DBGrid::setDataSource(DataSource* source) {
    dataSource_ = source;
    link_->attach(source != nullptr ? source->dataSet() : nullptr);
    changed(Change::Binding);
}

ClientDataSet* DBGrid::dataSet() const {
    ClientDataSet* table = dataSource_ != nullptr ? dataSource_->dataSet() : nullptr;
    link_->attach(table);
    return table;
}

std::vector<GridColumn> DBGrid::effectiveColumns() const {
    std::vector<GridColumn> out = columns_;
    if (out.empty())
        if (ClientDataSet* table = dataSet())
            for (int i = 0; i < table->fieldCount(); ++i)
                if (table->field(i).visible())
                    out.push_back(GridColumn{table->field(i).fieldName(), table->field(i).displayLabel()});
    for (GridColumn& c : out)
        if (c.width <= 0)
            for (const auto& [field, width] : fieldWidths_)
                if (field.compare(c.fieldName, Qt::CaseInsensitive) == 0)
                    c.width = width;
    return out;
}

void DBGrid::setFieldWidth(const QString& fieldName, int width) {
    auto it = std::find_if(fieldWidths_.begin(), fieldWidths_.end(), [&fieldName](const auto& entry) {
        return entry.first.compare(fieldName, Qt::CaseInsensitive) == 0;
    });
    if (it != fieldWidths_.end())
        it->second = width;
    else
        fieldWidths_.emplace_back(fieldName, width);
    changed(Change::Columns);
}

void DBGrid::setColumns(std::vector<GridColumn> columns) {
    columns_ = std::move(columns);
    changed(Change::Columns);
}

GridColumn& DBGrid::addColumn(const QString& fieldName, const QString& title, int width) {
    columns_.push_back(GridColumn{fieldName, title, width});
    changed(Change::Columns);
    return columns_.back();
}

int DBGrid::columnIndex(QStringView fieldName) const {
    const auto cols = effectiveColumns();
    for (std::size_t i = 0; i < cols.size(); ++i)
        if (cols[i].fieldName.compare(fieldName, Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    return -1;
}

void DBGrid::setSelectedIndex(int index) {
    const int count = static_cast<int>(effectiveColumns().size());
    if (count == 0 || index < 0 || index >= count || index == selectedIndex_)
        return;
    commitEditor();
    // A column exit handler that sends the focus to another column (before it refuses the move) moves
    // the cursor there without leaving a column a second time.
    if (!inColExit_) {
        inColExit_ = true;
        try {
            fire(onColExit, *this);
        } catch (...) {
            inColExit_ = false;
            throw;
        }
        inColExit_ = false;
    }
    selectedIndex_ = index;
    editorMode_ = false;
    changed(Change::SelectedColumn);
    fire(onColEnter, *this);
}

Field* DBGrid::selectedField() const {
    ClientDataSet* table = dataSet();
    const auto cols = effectiveColumns();
    if (table == nullptr || selectedIndex_ < 0 || selectedIndex_ >= static_cast<int>(cols.size()))
        return nullptr;
    return table->findField(cols[static_cast<std::size_t>(selectedIndex_)].fieldName);
}

void DBGrid::setSelectedField(const QString& fieldName) {
    const int index = columnIndex(fieldName);
    if (index >= 0)
        setSelectedIndex(index);
}

void DBGrid::setReadOnly(bool on) {
    readOnly_ = on;
    changed(Change::ReadOnly);
}

void DBGrid::setRowSelect(bool on) {
    if (rowSelect_ == on)
        return;
    rowSelect_ = on;
    changed(Change::SelectedColumn);
}

void DBGrid::goToRow(int row1) {
    ClientDataSet* table = dataSet();
    if (table == nullptr || !table->active())
        return;
    commitEditor();
    // A new row no one typed into is dropped rather than stored, as when the grid is left.
    if (table->state() == DataSetState::Insert && !table->touched())
        table->cancel();
    table->setRecNo(row1);
}

void DBGrid::ensureEditing() {
    ClientDataSet* table = dataSet();
    if (table != nullptr && !table->isEditing())
        dataSource_->edit();
}

void DBGrid::editCell(const QString& fieldName, const QString& text) {
    setSelectedField(fieldName);
    Field* f = selectedField();
    if (f == nullptr || f->fieldName().compare(fieldName, Qt::CaseInsensitive) != 0)
        return;
    if (readOnly_ || effectiveColumns()[static_cast<std::size_t>(selectedIndex_)].readOnly)
        return;
    ensureEditing();
    f->setText(text);
    // The editor now holds this text: a later commit must not bring back what was typed before.
    editorText_ = text;
    editorMode_ = true;
}

void DBGrid::typeChar(QChar ch) {
    Field* f = selectedField();
    if (f == nullptr || ch.isNull() || readOnly_ ||
        effectiveColumns()[static_cast<std::size_t>(selectedIndex_)].readOnly)
        return;
    ensureEditing();
    if (!editorMode_)
        editorText_.clear();  // the first keystroke replaces the cell
    if (ch == QChar(8))
        editorText_.chop(editorText_.isEmpty() ? 0 : 1);
    else
        editorText_ += ch;
    editorMode_ = true;
}

void DBGrid::commitEditor() {
    if (!editorMode_)
        return;
    editorMode_ = false;
    Field* f = selectedField();
    ClientDataSet* table = dataSet();
    if (f == nullptr || table == nullptr || !table->isEditing())
        return;
    f->setText(editorText_);
}

void DBGrid::clickEditButton() {
    fire(onEditButtonClick, *this);
}

void DBGrid::defaultKey(int key, ShiftState shift) {
    ClientDataSet* table = dataSet();
    if (table == nullptr || !table->active())
        return;
    if (key != vk::Escape)
        commitEditor();
    const int columnCount = static_cast<int>(effectiveColumns().size());
    const bool untouchedInsert = table->state() == DataSetState::Insert && !table->touched();
    auto down = [&] {
        if (untouchedInsert)
            return;
        table->next();
        if (table->eof() && allowAppend && !readOnly_ && !table->readOnly())
            table->append();
    };
    switch (key) {
        case vk::Up:
            if (untouchedInsert)
                table->cancel();
            else
                table->prior();
            break;
        case vk::Down:
            down();
            break;
        case vk::Left:
            setSelectedIndex(selectedIndex_ - 1);
            break;
        case vk::Right:
            setSelectedIndex(selectedIndex_ + 1);
            break;
        case vk::Tab:
            if (!shift.shift && selectedIndex_ + 1 < columnCount) {
                setSelectedIndex(selectedIndex_ + 1);
            } else if (shift.shift && selectedIndex_ > 0) {
                setSelectedIndex(selectedIndex_ - 1);
            } else if (!shift.shift) {
                down();
                setSelectedIndex(0);
            }
            break;
        case vk::Home:
            table->first();
            break;
        case vk::End:
            table->last();
            break;
        case vk::Insert:
            if (!readOnly_ && !table->readOnly())
                table->insert();
            break;
        case vk::Escape:
            if (table->isEditing())
                table->cancel();
            editorMode_ = false;
            break;
        case vk::Return:
            editorMode_ = false;
            break;
        case vk::Delete:
            if (shift.ctrl && !readOnly_ && !table->readOnly() && !table->isEmpty()) {
                UiServices* services = form() != nullptr ? form()->services() : nullptr;
                if (!confirmDelete || (services != nullptr && services->askYesNo(deleteQuestion)))
                    table->remove();
            }
            break;
        default:
            break;
    }
}

void DBGrid::leaving() {
    commitEditor();
    ClientDataSet* table = dataSet();
    if (cancelOnExit && table != nullptr && table->state() == DataSetState::Insert && !table->touched())
        table->cancel();
}

}  // namespace ctb::ui
