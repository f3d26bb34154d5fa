#pragma once

// Shared by the translation units of ClientDataSet; not part of the public API.

#include "platform/dataset/client_dataset.h"
#include "platform/dataset/row_filter.h"
#include "platform/export.h"

#include <optional>
#include <vector>

namespace ctb {

struct ClientDataSet::Impl {
    std::vector<Row> rows;            // committed rows, in index order (arrival order without an index)
    std::vector<std::uint32_t> view;  // while filtered: positions in rows that pass, ascending
    int cur = -1;                     // view row of the current record (of the pending row while inserting)
    int savedCur = -1;                // current row before an insert, restored by its cancel
    std::optional<Row> buffer;        // the edit buffer while editing or inserting
    mutable const Row* readOverride = nullptr;
    std::optional<ParsedFilter> parsedFilter;
    std::unique_ptr<RowFilter> boundFilter;
    std::vector<int> indexFields;
    std::vector<DataSetObserver*> observers;
    std::vector<DataSource*> sources;
    bool fieldsFromPacket = false;
};

// Observers are called on a copy of the list: one may leave while notified.
template <typename F>
void ClientDataSet::notify(F&& f) {
    if (disableCount_ > 0 || d_->observers.empty())
        return;
    const auto observers = d_->observers;
    for (DataSetObserver* o : observers)
        f(*o);
}

namespace detail {

inline QString tableLabel(const QString& name) {
    return name.isEmpty() ? QStringLiteral("(sem nome)") : name;
}

// Orders two rows by the index fields: nulls first, texts by code point, numbers and dates by value.
inline int compareCells(const Row& a, const Row& b, int i, FieldType type) {
    const bool an = a.isNull(i);
    const bool bn = b.isNull(i);
    if (an || bn)
        return an == bn ? 0 : (an ? -1 : 1);
    switch (type) {
        case FieldType::String: {
            const int c = a.utf8(i).compare(b.utf8(i));
            return c < 0 ? -1 : (c > 0 ? 1 : 0);
        }
        case FieldType::Float: {
            const double x = a.number(i);
            const double y = b.number(i);
            return x < y ? -1 : (x > y ? 1 : 0);
        }
        case FieldType::Integer:
        case FieldType::DateTime: {
            const auto x = a.integer(i);
            const auto y = b.integer(i);
            return x < y ? -1 : (x > y ? 1 : 0);
        }
    }
    return 0;
}

inline std::vector<QStringView> splitNames(QStringView names) {
    std::vector<QStringView> out;
    for (QStringView part : names.split(u';')) {
        part = part.trimmed();
        if (!part.isEmpty())
            out.push_back(part);
    }
    return out;
}

// Scans over many rows chase two pointers per row (cells, texts); touching a row some steps ahead
// lets those memory loads overlap.
constexpr int kPrefetchDistance = 16;
inline void prefetchRow(const Row& row, int field) {
    row.prefetch(field);
}

}  // namespace detail

}  // namespace ctb
