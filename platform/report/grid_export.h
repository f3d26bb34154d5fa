#pragma once

// A grid's rows as the user sees them (its visible columns and titles, its table's rows as
// filtered) turned into a report table or a CSV file.

#include "platform/export.h"
#include "platform/report/document.h"

class QIODevice;

namespace ctb::ui {
class DBGrid;
}

namespace ctb::report {

// The grid's visible columns over its table's rows as filtered (not the pending row of an insert),
// each cell as the grid shows it; number columns right-aligned.
[[nodiscard]] CTB_PLATFORM_EXPORT Table gridTable(const ui::DBGrid& grid);

// Streams the same rows to CSV: the column titles, then one record per row, numbers with a decimal
// comma and no thousands points, dates dd/mm/yyyy, other cells as the grid shows them (a coded
// column reads as its text). False when the device refused to be written.
[[nodiscard]] CTB_PLATFORM_EXPORT bool writeGridCsv(const ui::DBGrid& grid, QIODevice& device);

}  // namespace ctb::report
