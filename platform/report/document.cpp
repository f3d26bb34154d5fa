#include "platform/report/document.h"

#include <QStringList>

namespace ctb::report {

QString pageLabel(int page, int pageCount) {
    return QStringLiteral("Página %1 de %2").arg(page).arg(pageCount);
}

namespace {

void appendRow(QString& out, const std::vector<QString>& cells) {
    QStringList parts;
    for (const QString& cell : cells) {
        parts << cell;
    }
    out += parts.join(QStringLiteral(" | "));
    out += u'\n';
}

}  // namespace

QString plainText(const Document& document) {
    QString out;
    out += document.title + u'\n';
    if (!document.subtitle.isEmpty()) {
        out += document.subtitle + u'\n';
    }
    for (const auto& [label, value] : document.criteria) {
        out += label + QStringLiteral(": ") + value + u'\n';
    }
    for (const Section& section : document.sections) {
        out += u'\n';
        if (!section.heading.isEmpty()) {
            out += section.heading + u'\n';
        }
        for (const auto& [label, value] : section.fields) {
            out += label + QStringLiteral(": ") + value + u'\n';
        }
        if (section.hasTable()) {
            std::vector<QString> titles;
            for (const Column& column : section.table.columns) {
                titles.push_back(column.title);
            }
            appendRow(out, titles);
            for (const auto& row : section.table.rows) {
                appendRow(out, row);
            }
            if (!section.table.totals.empty()) {
                appendRow(out, section.table.totals);
            }
        }
    }
    if (!document.footer.isEmpty()) {
        out += u'\n' + document.footer + u'\n';
    }
    return out;
}

}  // namespace ctb::report
