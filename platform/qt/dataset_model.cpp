#include "platform/qt/dataset_model.h"

#include "platform/qt/formats.h"

namespace ctb::qt {

DataSetTableModel::DataSetTableModel(ClientDataSet* dataSet, std::vector<GridColumnSpec> columns,
                                     QObject* parent)
    : QAbstractTableModel(parent), columns_(std::move(columns)) {
    setDataSet(dataSet);
}

DataSetTableModel::~DataSetTableModel() {
    if (dataSet_ != nullptr) {
        dataSet_->removeObserver(this);
    }
}

void DataSetTableModel::setDataSet(ClientDataSet* dataSet) {
    beginResetModel();
    if (dataSet_ != nullptr) {
        dataSet_->removeObserver(this);
    }
    dataSet_ = dataSet;
    if (dataSet_ != nullptr) {
        dataSet_->addObserver(this);
    }
    bindColumns();
    endResetModel();
}

void DataSetTableModel::setColumns(std::vector<GridColumnSpec> columns) {
    beginResetModel();
    columns_ = std::move(columns);
    bindColumns();
    endResetModel();
}

void DataSetTableModel::bindColumns() {
    fieldIndexes_.clear();
    for (const GridColumnSpec& column : columns_) {
        Field* field = dataSet_ != nullptr ? dataSet_->findField(column.fieldName) : nullptr;
        fieldIndexes_.push_back(field != nullptr ? field->index() : -1);
    }
}

int DataSetTableModel::columnOf(QStringView fieldName) const {
    for (std::size_t i = 0; i < columns_.size(); ++i) {
        if (columns_[i].fieldName.compare(fieldName, Qt::CaseInsensitive) == 0) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

Field* DataSetTableModel::fieldOf(int column) const {
    if (dataSet_ == nullptr || column < 0 || column >= static_cast<int>(fieldIndexes_.size())) {
        return nullptr;
    }
    const int index = fieldIndexes_[static_cast<std::size_t>(column)];
    return index >= 0 && index < dataSet_->fieldCount() ? &dataSet_->field(index) : nullptr;
}

int DataSetTableModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() || dataSet_ == nullptr || !dataSet_->active()) {
        return 0;
    }
    return dataSet_->viewRowCount();
}

int DataSetTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant DataSetTableModel::data(const QModelIndex& index, int role) const {
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) {
        return {};
    }
    Field* field = fieldOf(index.column());
    switch (role) {
        case Qt::DisplayRole:
            return field != nullptr ? dataSet_->displayTextAt(index.row(), field->index()) : QString();
        case Qt::EditRole:
            return field != nullptr ? dataSet_->textAt(index.row(), field->index()) : QString();
        case Qt::TextAlignmentRole:
            if (field != nullptr &&
                (field->dataType() == FieldType::Float || field->dataType() == FieldType::Integer)) {
                return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
            }
            return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
        case InputMaskRole:
            return field != nullptr ? qtInputMask(field->editMask()) : QString();
        case LookupButtonRole:
            return columns_[static_cast<std::size_t>(index.column())].lookupButton;
        default:
            return {};
    }
}

bool DataSetTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || !checkIndex(index, CheckIndexOption::IndexIsValid) || !cellEdited_) {
        return false;
    }
    const bool accepted = cellEdited_(index.row(), index.column(), value.toString());
    if (accepted && index.row() < rowCount()) {
        emit dataChanged(index, index);
    }
    return accepted;
}

QVariant DataSetTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) {
        return {};
    }
    if (orientation == Qt::Vertical) {
        return section + 1;
    }
    if (section < 0 || section >= static_cast<int>(columns_.size())) {
        return {};
    }
    const GridColumnSpec& column = columns_[static_cast<std::size_t>(section)];
    if (!column.title.isEmpty()) {
        return column.title;
    }
    Field* field = fieldOf(section);
    return field != nullptr ? field->displayLabel() : column.fieldName;
}

Qt::ItemFlags DataSetTableModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) {
        return Qt::NoItemFlags;
    }
    Qt::ItemFlags result = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    const GridColumnSpec& column = columns_[static_cast<std::size_t>(index.column())];
    Field* field = fieldOf(index.column());
    if (editable_ && cellEdited_ && !column.readOnly && field != nullptr && !field->readOnly() &&
        !dataSet_->readOnly()) {
        result |= Qt::ItemIsEditable;
    }
    return result;
}

void DataSetTableModel::aboutToReset() {
    if (!resetting_) {
        resetting_ = true;
        ++following_;
        beginResetModel();
    }
}

void DataSetTableModel::reset() {
    if (!resetting_) {
        ++following_;
        beginResetModel();
    }
    // Fields may have been declared or replaced.
    bindColumns();
    resetting_ = false;
    endResetModel();
    --following_;
}

void DataSetTableModel::rowAboutToBeInserted(int row) {
    pendingInsert_ = row;
    ++following_;
    beginInsertRows({}, row, row);
}

void DataSetTableModel::rowInserted(int /*row*/) {
    if (pendingInsert_ >= 0) {
        pendingInsert_ = -1;
        endInsertRows();
        --following_;
    }
}

void DataSetTableModel::rowAboutToBeRemoved(int row) {
    pendingRemove_ = row;
    ++following_;
    beginRemoveRows({}, row, row);
}

void DataSetTableModel::rowRemoved(int /*row*/) {
    if (pendingRemove_ >= 0) {
        pendingRemove_ = -1;
        endRemoveRows();
        --following_;
    }
}

void DataSetTableModel::rowChanged(int row) {
    if (row >= 0 && row < rowCount() && columnCount() > 0) {
        emit dataChanged(index(row, 0), index(row, columnCount() - 1));
    }
}

void DataSetTableModel::currentRowChanged(int row) {
    emit tableCursorMoved(row);
}

void DataSetTableModel::dataSetDestroyed() {
    beginResetModel();
    dataSet_ = nullptr;
    fieldIndexes_.assign(columns_.size(), -1);
    endResetModel();
}

}  // namespace ctb::qt
