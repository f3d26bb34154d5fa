#include "hostlib/declarations.h"

namespace ctb::hostlib {

QStringList catalogLines(const std::vector<CatalogEntry>& entries) {
    QStringList lines;
    lines.reserve(static_cast<qsizetype>(entries.size()));
    for (const CatalogEntry& e : entries)
        lines << u8(e.key) + QLatin1Char('|') + u8(e.text);
    return lines;
}

namespace {
template <typename T>
const T* findByName(const std::vector<T>& items, const QString& name) {
    for (const T& item : items)
        if (name.compare(u8(item.name), Qt::CaseInsensitive) == 0)
            return &item;
    return nullptr;
}
}  // namespace

const TableDecl* findTable(const std::vector<TableDecl>& tables, const QString& name) {
    return findByName(tables, name);
}
const QueryDecl* findQuery(const std::vector<QueryDecl>& queries, const QString& name) {
    return findByName(queries, name);
}
const ControlDecl* findControl(const std::vector<ControlDecl>& controls, const QString& name) {
    return findByName(controls, name);
}

}  // namespace ctb::hostlib
