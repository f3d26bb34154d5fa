#include "platform/report/grid_export.h"

#include "platform/dataset/client_dataset.h"
#include "platform/report/table_text.h"
#include "platform/ui/data_controls.h"

#include <QDateTime>

#include <algorithm>

namespace ctb::report {

namespace {

struct ExportColumn {
    int fieldIndex = -1;
    QString title;
    FieldType type = FieldType::String;
    int decimals = 2;
    int size = 10;
    bool formatted = false;  // a display handler decides the text
};

std::vector<ExportColumn> columnsOf(const ui::DBGrid& grid) {
    std::vector<ExportColumn> out;
    const ClientDataSet* table = grid.dataSet();
    if (table == nullptr) {
        return out;
    }
    for (const ui::GridColumn& column : grid.effectiveColumns()) {
        if (!column.visible) {
            continue;
        }
        const Field* field = table->findField(column.fieldName);
        if (field == nullptr) {
            continue;
        }
        ExportColumn c;
        c.fieldIndex = field->index();
        c.title = column.title.isEmpty() ? field->displayLabel() : column.title;
        c.type = field->dataType();
        c.size = field->size();
        c.formatted = static_cast<bool>(field->onGetText);
        out.push_back(c);
    }
    return out;
}

int charsOf(const ExportColumn& column) {
    switch (column.type) {
        case FieldType::String:
            return std::clamp(column.size, 4, 40);
        case FieldType::Float:
            return 14;  // 999.999.999,99
        case FieldType::Integer:
            return 8;
        case FieldType::DateTime:
            return 10;
    }
    return 10;
}

}  // namespace

Table gridTable(const ui::DBGrid& grid) {
    Table out;
    const ClientDataSet* table = grid.dataSet();
    const std::vector<ExportColumn> columns = columnsOf(grid);
    for (const ExportColumn& column : columns) {
        const bool number = column.type == FieldType::Float || column.type == FieldType::Integer;
        out.columns.push_back(Column{column.title, number ? Align::Right : Align::Left,
                                     std::max(charsOf(column), static_cast<int>(column.title.size()))});
    }
    if (table == nullptr || !table->active()) {
        return out;
    }
    const int rows = table->viewRowCount();
    out.rows.reserve(static_cast<std::size_t>(rows));
    for (int row = 0; row < rows; ++row) {
        if (table->isPendingRow(row)) {
            continue;
        }
        std::vector<QString> cells;
        cells.reserve(columns.size());
        for (const ExportColumn& column : columns) {
            cells.push_back(table->displayTextAt(row, column.fieldIndex));
        }
        out.rows.push_back(std::move(cells));
    }
    return out;
}

bool writeGridCsv(const ui::DBGrid& grid, QIODevice& device) {
    CsvWriter csv(device);
    const ClientDataSet* table = grid.dataSet();
    const std::vector<ExportColumn> columns = columnsOf(grid);
    for (const ExportColumn& column : columns) {
        csv.text(column.title);
    }
    csv.endRow();
    const int rows = table != nullptr && table->active() ? table->viewRowCount() : 0;
    for (int row = 0; row < rows; ++row) {
        if (table->isPendingRow(row)) {
            continue;
        }
        for (const ExportColumn& column : columns) {
            if (column.formatted) {
                csv.text(table->displayTextAt(row, column.fieldIndex));
                continue;
            }
            const QVariant value = table->valueAt(row, column.fieldIndex);
            if (value.isNull()) {
                csv.empty();
                continue;
            }
            switch (column.type) {
                case FieldType::Float:
                    csv.number(value.toDouble(), column.decimals);
                    break;
                case FieldType::Integer:
                    csv.integer(value.toLongLong());
                    break;
                case FieldType::DateTime:
                    csv.date(value.toDateTime().date().isValid() ? value.toDateTime().date()
                                                                 : value.toDate());
                    break;
                case FieldType::String:
                    csv.text(value.toString());
                    break;
            }
        }
        csv.endRow();
    }
    return csv.finish();
}

}  // namespace ctb::report
