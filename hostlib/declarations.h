#pragma once

// What a screen declares about its data and controls, as plain data: the field lists of its
// in-memory tables and queries, the lookup SQL, the grids' columns, the controls' limits and texts,
// and its message catalog. The screens build their objects from these tables, and the tests check
// the tables once, row by row, instead of one test per field.

#include "hostlib/export.h"
#include "platform/dataset/packet.h"
#include "platform/ui/controls.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace ctb::hostlib {

using ui::Align;
using ui::ControlKind;

// One declared field. Texts are UTF-8; an empty label means the field name is shown.
struct FieldDecl {
    const char* name;
    FieldType type;
    int size = 0;  // characters, String fields only
    const char* label = "";
    bool visible = true;
    const char* displayFormat = "";
    const char* editMask = "";
};

struct TableDecl {
    const char* name;
    std::vector<FieldDecl> fields;
    const char* indexFieldNames = "";
};

// A read-only lookup query: its text exactly as the screen carries it, its parameters (all texts) and
// its declared result fields in order.
struct QueryDecl {
    const char* name;
    const char* dataSource;  // "" when no data source shows it
    const char* sql;
    std::vector<const char*> params;
    std::vector<FieldDecl> fields;
};

struct GridColumnDecl {
    const char* field;
    bool lookupButton = false;
    bool readOnly = false;
};

struct GridDecl {
    const char* name;
    const char* table;
    const char* dataSource;
    std::vector<GridColumnDecl> columns;
    bool editing = false;  // in-place editing, tabbing between cells, delete confirmation
};

// A control with the limits and texts that the screen fixes, of a kind of the control model (lookup
// buttons, numeric and date edits are built as the host library's). Layout is not part of it.
struct ControlDecl {
    const char* name;
    ControlKind kind;
    const char* parent = "";   // container control; "" for the form itself
    const char* caption = "";  // caption or initial text
    int maxLength = 0;         // 0: no limit
    const char* hint = "";
    const char* editMask = "";
    const char* dataField = "";  // data-bound edits
    bool enabled = true;
    bool visible = true;
    bool readOnly = false;  // display only
    bool checked = false;   // radio buttons
    int decimals = -1;      // numeric edits
    const char* displayFormat = "";
    const char* shortcut = "";  // menu items, as "Ctrl+L"
    bool tabStop = true;
};

// Where a control sits, as the form designer places it: aligned to a side of its container (filling
// it in that direction; siblings on one side stack from the outside in by position), or at its own
// position inside the container's client area. Sizes in pixels; for an aligned control only the
// size across its side counts, and a container's size is also the size its children were placed
// for. `anchors` names the sides ("LTRB") a placed control keeps its distance to when its container
// grows; "" is left and top. A row named after the form sizes the form; a row named "GRID.FIELD"
// gives the width of that grid's column.
struct LayoutDecl {
    const char* name;
    Align align = Align::None;
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    const char* anchors = "";
};

// Settings of a host lookup button (the single-pick dialog over a data source).
struct LookupDecl {
    const char* button;
    const char* dataSource;
    const char* codeField;
    const char* nameField;
    const char* title;
    const char* emptyMessage;  // "" when the screen gives none
    const char* levelField = "";
};

struct CatalogEntry {
    const char* key;
    const char* text;
};

struct FormDecl {
    const char* name;
    const char* caption;
    const char* screenCode;
    int helpContext = 0;
    const char* activeControl = "";  // the control that has the focus when the form first shows
};

// The catalog as the host's message component reads it: one line of key, "|", text per entry.
[[nodiscard]] CTB_HOSTLIB_EXPORT QStringList catalogLines(const std::vector<CatalogEntry>& entries);

[[nodiscard]] inline QString u8(const char* text) {
    return QString::fromUtf8(text);
}

// Looks a declaration up by name; nullptr when absent.
[[nodiscard]] CTB_HOSTLIB_EXPORT const TableDecl* findTable(const std::vector<TableDecl>& tables,
                                                            const QString& name);
[[nodiscard]] CTB_HOSTLIB_EXPORT const QueryDecl* findQuery(const std::vector<QueryDecl>& queries,
                                                            const QString& name);
[[nodiscard]] CTB_HOSTLIB_EXPORT const ControlDecl* findControl(const std::vector<ControlDecl>& controls,
                                                                const QString& name);

}  // namespace ctb::hostlib
