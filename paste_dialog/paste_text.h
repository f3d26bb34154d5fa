#pragma once

// Lines pasted from a spreadsheet: the text a spreadsheet puts on the clipboard when cells are copied
// (one row a line, cells separated by tabs, a cell holding a tab, a line break or a quote quoted with
// its quotes doubled), or a CSV file as a Brazilian spreadsheet saves it (semicolons). The columns are
// those of an entry line: account (reduced or full code), value, standard-history code, and optionally
// the history text and the commercial code.

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace ctb::ctb10000 {

// One pasted row, its cells trimmed.
struct PastedRow {
    int line = 0;  // 1-based line of the text where the row begins
    QString account;
    QString valueText;            // the value cell as written
    std::optional<double> value;  // nullopt when the cell holds no readable amount
    QString history;
    QString historyText;
    QString commercial;
    // The row's first five cells as tab-separated text, quoted where needed: what copying it back
    // out gives, and what pasting that again reads the same.
    QString source;
};

struct PastedText {
    std::vector<PastedRow> rows;  // blank rows and a header row left out
    bool headerSkipped = false;
    QChar separator = u'\t';
};

// The rows of the text. The cells are separated by tabs when the text holds one anywhere (a
// semicolon is then text like any other); a text without any tab but with semicolons is read as a
// semicolon-separated CSV file. Line ends may be CRLF, LF or CR; a leading byte-order mark, blank
// rows and the empty line after the last row are dropped. The first row is a header (and left out)
// when its account cell holds no digit and its value cell is no amount.
[[nodiscard]] PastedText parsePastedText(const QString& text);

// An amount as a person or a spreadsheet writes it: "1.234,56", "1234,56", "1234.56", "1,234.56",
// "R$ 1.234,56", "-10,00", "(10,00)" (negative). With both marks the last one is the decimal one; a
// single dot followed by exactly three digits is a thousands dot ("1.234" is 1234). nullopt for an
// empty cell, anything else, or more than 13 digits before the decimal mark.
[[nodiscard]] std::optional<double> parsePastedValue(const QString& text);

}  // namespace ctb::ctb10000
