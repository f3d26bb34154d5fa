#include "platform/qt/grid_binding.h"

#include "platform/dataset/client_dataset.h"
#include "platform/qt/dataset_model.h"
#include "platform/qt/grid_delegate.h"
#include "platform/qt/key_codes.h"
#include "platform/report/table_text.h"
#include "platform/ui/user_input.h"

#include <QApplication>
#include <QClipboard>
#include <QFontMetrics>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QTableView>

#include <algorithm>

namespace ctb::qt {

int columnWidthFor(const QTableView& view, const Field* field, const QString& title, bool button) {
    const QFontMetrics metrics = view.fontMetrics();
    int chars = 12;
    QString widest;
    if (field != nullptr) {
        switch (field->dataType()) {
            case FieldType::String:
                chars = std::clamp(field->size(), 2, 40);
                break;
            case FieldType::Float:
                widest = QStringLiteral("-999.999.999,99");
                break;
            case FieldType::Integer:
                chars = 8;
                break;
            case FieldType::DateTime:
                widest = QStringLiteral("00/00/0000");
                break;
        }
    }
    const int content =
        metrics.horizontalAdvance(widest.isEmpty() ? QString(chars, QLatin1Char('0')) : widest);
    return std::max(content + 12, titleWidth(view, title)) + (button ? 20 : 0);
}

int titleWidth(const QTableView& view, const QString& title) {
    return view.horizontalHeader()->fontMetrics().horizontalAdvance(title) + 16;
}

int minimumColumnWidth(const QTableView& view, const Field* field, const QString& title, bool button) {
    int content = 0;
    if (field != nullptr && field->dataType() == FieldType::Float) {
        content = view.fontMetrics().horizontalAdvance(QStringLiteral("-999.999.999,99")) + 12;
    } else if (field != nullptr && field->dataType() == FieldType::DateTime) {
        content = view.fontMetrics().horizontalAdvance(QStringLiteral("00/00/0000")) + 12;
    }
    return std::max(content, titleWidth(view, title)) + (button ? 20 : 0);
}

GridBinding::GridBinding(ui::DBGrid& grid, QTableView& view, ViewContext& context)
    : QObject(&view), grid_(&grid), view_(&view), context_(context) {
    model_ = new DataSetTableModel(grid.dataSet(), {}, view_);
    view_->setModel(model_);
    auto* delegate = new GridDelegate(view_);
    view_->setItemDelegate(delegate);
    view_->setSelectionBehavior(QAbstractItemView::SelectItems);
    // A block of cells can be selected (shift-click) and copied.
    view_->setSelectionMode(QAbstractItemView::ContiguousSelection);
    // Typing goes to the model cell by cell; a double click or F2 opens Qt's editor.
    view_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
    view_->verticalHeader()->setDefaultSectionSize(22);
    view_->verticalHeader()->setFixedWidth(22);
    view_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    rebuildColumns();

    model_->setCellEditedHandler([this](int /*row*/, int column, const QString& text) {
        const bool ok = ui::user::editCell(*grid_, fieldOfViewColumn(column), text);
        context_.afterAction(grid_);
        return ok;
    });
    connect(model_, &DataSetTableModel::tableCursorMoved, this, [this](int) { refreshSelection(); });
    connect(model_, &QAbstractItemModel::modelReset, this, [this] { fitTextColumns(); });
    connect(view_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current, const QModelIndex& previous) {
                if (context_.applyingModel() || !current.isValid() || model_->followingTable()) {
                    return;
                }
                if (current.column() != previous.column() &&
                    current.column() < static_cast<int>(gridColumnOfView_.size())) {
                    ui::user::selectColumn(*grid_, fieldOfViewColumn(current.column()));
                }
                ClientDataSet* table = grid_->dataSet();
                if (table != nullptr && current.row() != table->currentViewRow()) {
                    ui::user::selectRow(*grid_, current.row() + 1);
                }
                context_.afterAction(grid_);
            });
    delegate->setLeavingKeyHandler([this, delegate](QWidget* editor, QKeyEvent* event) {
        // Leaving the cell by the keyboard: the text goes to the model, then the model's own key
        // handling moves on (posting, next column, next row) as it does without an editor.
        emit delegate->commitData(editor);
        emit delegate->closeEditor(editor, QAbstractItemDelegate::NoHint);
        const VirtualKeyPress press = virtualKeyFromQt(event->key(), event->modifiers());
        const ui::Form* form = grid_->form();
        if (press.code != 0 && form != nullptr && form->activeControl() == grid_) {
            ui::user::key(*grid_, press.code, ui::ShiftState{press.ctrl, press.shift});
        }
        context_.afterAction(grid_);
        return true;
    });
    connect(delegate, &GridDelegate::editButtonClicked, this, [this](const QModelIndex& /*index*/) {
        ui::user::editButton(*grid_);
        context_.afterAction(grid_);
    });
}

GridBinding::~GridBinding() {
    // The model outlives this binding inside the view: it must not call back into it.
    model_->setCellEditedHandler({});
}

QString GridBinding::fieldOfViewColumn(int viewColumn) const {
    if (viewColumn < 0 || viewColumn >= static_cast<int>(gridColumnOfView_.size())) {
        return {};
    }
    const auto cols = grid_->effectiveColumns();
    const int gridColumn = gridColumnOfView_[static_cast<std::size_t>(viewColumn)];
    return cols.at(static_cast<std::size_t>(gridColumn)).fieldName;
}

void GridBinding::rebuildColumns() {
    std::vector<GridColumnSpec> specs;
    gridColumnOfView_.clear();
    const auto cols = grid_->effectiveColumns();
    for (std::size_t i = 0; i < cols.size(); ++i) {
        if (!cols[i].visible) {
            continue;
        }
        GridColumnSpec spec;
        spec.fieldName = cols[i].fieldName;
        spec.title = cols[i].title;
        spec.readOnly = cols[i].readOnly || grid_->readOnly();
        spec.lookupButton = cols[i].hasButton;
        spec.width = cols[i].width;
        const ClientDataSet* table = grid_->dataSet();
        const Field* field = table != nullptr ? table->findField(spec.fieldName) : nullptr;
        const QString title =
            !spec.title.isEmpty() ? spec.title : (field != nullptr ? field->displayLabel() : spec.fieldName);
        // A declared width is kept unless it would cut a value, a date or the title.
        spec.width = spec.width <= 0
                         ? columnWidthFor(*view_, field, title, spec.lookupButton)
                         : std::max(spec.width, minimumColumnWidth(*view_, field, title, spec.lookupButton));
        specs.push_back(spec);
        gridColumnOfView_.push_back(static_cast<int>(i));
    }
    ViewContext::Applying guard(context_);
    if (model_->dataSet() != grid_->dataSet()) {
        model_->setDataSet(grid_->dataSet());
    }
    model_->setColumns(specs);
    for (std::size_t i = 0; i < specs.size(); ++i) {
        if (specs[i].width > 0) {
            view_->setColumnWidth(static_cast<int>(i), specs[i].width);
        }
    }
    fitTextColumns();
    refreshSelection();
}

void GridBinding::fitTextColumns() {
    // Names and histories as wide as the loaded rows need (the first rows tell), never narrower than
    // declared and never past a screenful: the user can still drag a column.
    constexpr int kRowsMeasured = 200;
    const QFontMetrics metrics = view_->fontMetrics();
    const int cap = std::max(300, view_->viewport()->width() * 3 / 4);
    const int rows = std::min(model_->rowCount(), kRowsMeasured);
    for (int column = 0; column < model_->columnCount(); ++column) {
        const ClientDataSet* table = model_->dataSet();
        const Field* field =
            table != nullptr ? table->findField(model_->columns()[static_cast<std::size_t>(column)].fieldName)
                             : nullptr;
        if (field == nullptr || field->dataType() != FieldType::String) {
            continue;
        }
        int needed = 0;
        for (int row = 0; row < rows; ++row) {
            needed = std::max(needed,
                              metrics.horizontalAdvance(model_->index(row, column).data().toString()) + 12);
        }
        if (model_->columns()[static_cast<std::size_t>(column)].lookupButton) {
            needed += 20;
        }
        needed = std::min(needed, cap);
        if (needed > view_->columnWidth(column)) {
            view_->setColumnWidth(column, needed);
        }
    }
}

void GridBinding::refreshSelection() {
    ClientDataSet* table = grid_->dataSet();
    const int row = table != nullptr && table->active() ? table->currentViewRow() : -1;
    int viewColumn = 0;
    for (std::size_t i = 0; i < gridColumnOfView_.size(); ++i) {
        if (gridColumnOfView_[i] == grid_->selectedIndex()) {
            viewColumn = static_cast<int>(i);
        }
    }
    ViewContext::Applying guard(context_);
    const auto behaviour =
        grid_->rowSelect() ? QAbstractItemView::SelectRows : QAbstractItemView::SelectItems;
    if (view_->selectionBehavior() != behaviour) {
        view_->setSelectionBehavior(behaviour);
    }
    const QModelIndex target = model_->index(row, viewColumn);
    if (target.isValid() && view_->currentIndex() != target) {
        // The model moved the cursor: the cell alone is selected, whatever keys are held (Ctrl still
        // down after Ctrl+V or Ctrl+Delete would otherwise add every cell the cursor passes).
        if (QItemSelectionModel* selection = view_->selectionModel()) {
            selection->setCurrentIndex(target, QItemSelectionModel::ClearAndSelect);
        } else {
            view_->setCurrentIndex(target);
        }
    }
    if (target.isValid() && grid_->rowSelect()) {
        view_->selectRow(row);
    }
    view_->viewport()->update();
}

void copySelectedCells(const QTableView& view) {
    const QModelIndexList selected =
        view.selectionModel() != nullptr ? view.selectionModel()->selectedIndexes() : QModelIndexList{};
    QModelIndexList cells =
        selected.isEmpty() && view.currentIndex().isValid() ? QModelIndexList{view.currentIndex()} : selected;
    if (cells.isEmpty()) {
        return;
    }
    int top = cells.front().row();
    int bottom = top;
    int left = cells.front().column();
    int right = left;
    for (const QModelIndex& cell : cells) {
        top = std::min(top, cell.row());
        bottom = std::max(bottom, cell.row());
        left = std::min(left, cell.column());
        right = std::max(right, cell.column());
    }
    std::vector<std::vector<QString>> rows(static_cast<std::size_t>(bottom - top + 1),
                                           std::vector<QString>(static_cast<std::size_t>(right - left + 1)));
    for (const QModelIndex& cell : cells) {
        rows[static_cast<std::size_t>(cell.row() - top)][static_cast<std::size_t>(cell.column() - left)] =
            cell.data(Qt::DisplayRole).toString();
    }
    QApplication::clipboard()->setText(report::tabSeparated(rows));
}

}  // namespace ctb::qt
