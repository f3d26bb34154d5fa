#pragma once

// What a printed report holds, independent of how it is drawn: the Qt layer paints it on pages
// (preview, printer, PDF); tests and the headless backend read its text. Screens build one from
// their tables; nothing here knows a widget.

#include "platform/export.h"

#include <QString>

#include <utility>
#include <vector>

namespace ctb::report {

enum class Align { Left, Right };

struct CTB_PLATFORM_EXPORT Column {
    QString title;
    Align align = Align::Left;
    int chars = 10;  // the width it needs, in average characters (the painter scales to the page)
};

// A table: its columns, its rows of cell texts, and optionally a totals row (same column count;
// empty cells allowed) printed under a rule.
struct CTB_PLATFORM_EXPORT Table {
    std::vector<Column> columns;
    std::vector<std::vector<QString>> rows;
    std::vector<QString> totals;
};

// A labelled block: an optional heading, "label: value" pairs, then an optional table.
struct CTB_PLATFORM_EXPORT Section {
    QString heading;
    std::vector<std::pair<QString, QString>> fields;
    Table table;
    [[nodiscard]] bool hasTable() const { return !table.columns.empty(); }
};

struct CTB_PLATFORM_EXPORT Document {
    QString title;                                      // on every page
    QString subtitle;                                   // on every page, under the title (the company)
    std::vector<std::pair<QString, QString>> criteria;  // on the first page (filter, period...)
    std::vector<Section> sections;
    QString footer;  // on every page, beside the page number ("Emitido por ... em ...")
    bool landscape = false;
};

// "Página N de M", as every page says.
[[nodiscard]] CTB_PLATFORM_EXPORT QString pageLabel(int page, int pageCount);

// The document as plain text, one line per header line, field and table row, cells separated by
// " | " (the headless backend's print, and what tests read).
[[nodiscard]] CTB_PLATFORM_EXPORT QString plainText(const Document& document);

}  // namespace ctb::report
