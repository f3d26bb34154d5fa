// Navigation, locate, filter, index order and row reading for grids.

#include "platform/dataset/client_dataset.h"

#include "platform/dataset/dataset_internal.h"
#include "platform/dataset/field_format.h"
#include "platform/dataset/row_filter.h"

#include <algorithm>
#include <numeric>

namespace ctb {

using detail::compareCells;
using detail::splitNames;
using detail::tableLabel;

// ---------------------------------------------------------------------------------------------------
// navigation

int ClientDataSet::recordCount() const {
    return active() ? visibleCount() : 0;
}

int ClientDataSet::recNo() const {
    if (!active() || d_->cur < 0)
        return 0;
    return d_->cur + 1;
}

void ClientDataSet::moveTo(int viewRow) {
    d_->cur = viewRow;
    notifyCurrent();
}

void ClientDataSet::first() {
    checkActive();
    checkBrowseMode();
    fire(beforeScroll);
    const int n = visibleCount();
    moveTo(n > 0 ? 0 : -1);
    bof_ = true;
    eof_ = n == 0;
    fire(afterScroll);
}

void ClientDataSet::last() {
    checkActive();
    checkBrowseMode();
    fire(beforeScroll);
    const int n = visibleCount();
    moveTo(n - 1);
    eof_ = true;
    bof_ = n == 0;
    fire(afterScroll);
}

void ClientDataSet::next() {
    checkActive();
    checkBrowseMode();
    if (eof_)
        return;
    const int n = visibleCount();
    if (d_->cur + 1 >= n) {
        eof_ = true;
        return;
    }
    fire(beforeScroll);
    moveTo(std::min(d_->cur + 1, visibleCount() - 1));
    bof_ = eof_ = false;
    fire(afterScroll);
}

void ClientDataSet::prior() {
    checkActive();
    checkBrowseMode();
    if (bof_)
        return;
    if (d_->cur <= 0) {
        bof_ = true;
        return;
    }
    fire(beforeScroll);
    moveTo(std::max(d_->cur - 1, visibleCount() > 0 ? 0 : -1));
    bof_ = eof_ = false;
    fire(afterScroll);
}

void ClientDataSet::setRecNo(int recNo) {
    checkActive();
    if (visibleCount() == 0 || std::clamp(recNo, 1, visibleCount()) - 1 == d_->cur)
        return;
    checkBrowseMode();  // a post may hide or move rows: count again
    const int n = visibleCount();
    if (n == 0)
        return;
    const int target = std::clamp(recNo, 1, n) - 1;
    if (target == d_->cur)
        return;
    fire(beforeScroll);
    moveTo(std::clamp(target, 0, visibleCount() - 1));
    bof_ = eof_ = false;
    fire(afterScroll);
}

// One key of a locate, prepared once for a scan over many rows.
struct ClientDataSet::LocateKey {
    int field = 0;
    FieldType type = FieldType::String;
    bool null = false;
    std::string utf8;  // exact text, or case-folded text
    QString text;
    bool ascii = true;
    double number = 0;
    std::int64_t integer = 0;
};

bool ClientDataSet::locate(QStringView keyFields, const QVariant& value, LocateOptions options) {
    return locate(keyFields, QVariantList{value}, options);
}

bool ClientDataSet::locate(QStringView keyFields, const QVariantList& values, LocateOptions options) {
    checkActive();
    const std::vector<int> fields = resolveFieldList(keyFields, "localizar");
    if (fields.empty())
        throw DataSetError(QStringLiteral("Localizar sem campos na tabela %1.").arg(tableLabel(name_)));
    if (static_cast<std::size_t>(values.size()) != fields.size())
        throw DataSetError(QStringLiteral("Localizar na tabela %1: %2 campos e %3 valores.")
                               .arg(tableLabel(name_))
                               .arg(fields.size())
                               .arg(values.size()));
    std::vector<LocateKey> keys;
    for (std::size_t k = 0; k < fields.size(); ++k) {
        LocateKey key;
        key.field = fields[k];
        const Field& f = *fields_[static_cast<std::size_t>(key.field)];
        key.type = f.dataType();
        const QVariant& v = values[static_cast<qsizetype>(k)];
        key.null = !v.isValid() || v.isNull() || (v.typeId() == QMetaType::QString && v.toString().isEmpty());
        if (!key.null) {
            switch (key.type) {
                case FieldType::String:
                    key.text = v.toString();
                    key.utf8 =
                        options.caseInsensitive ? textmatch::foldUtf8(key.text) : key.text.toStdString();
                    key.ascii = textmatch::isAscii(key.utf8);
                    break;
                case FieldType::Float:
                case FieldType::Integer: {
                    std::optional<double> d;
                    if (v.typeId() == QMetaType::QString)
                        d = format::parseNumber(v.toString(), locale_);
                    else if (v.canConvert<double>())
                        d = v.toDouble();
                    if (!d)
                        return false;  // not a number: nothing can match
                    key.number = *d;
                    key.integer = static_cast<std::int64_t>(std::llround(*d));
                    break;
                }
                case FieldType::DateTime: {
                    std::optional<std::int64_t> ms;
                    if (v.typeId() == QMetaType::QDate)
                        ms = format::toNaiveMsecs(v.toDate(), QTime(0, 0));
                    else if (v.typeId() == QMetaType::QDateTime)
                        ms = format::toNaiveMsecs(v.toDateTime());
                    else
                        ms = format::parseDateTime(v.toString(), locale_);
                    if (!ms)
                        return false;
                    key.integer = *ms;
                    break;
                }
            }
        }
        keys.push_back(std::move(key));
    }

    checkBrowseMode();
    fire(beforeScroll);
    const int n = visibleCount();
    const int probe = keys.front().field;
    for (int v = 0; v < n; ++v) {
        if (v + detail::kPrefetchDistance < n)
            detail::prefetchRow(d_->rows[physOf(v + detail::kPrefetchDistance)], probe);
        if (rowMatches(d_->rows[physOf(v)], keys, options)) {
            moveTo(v);
            bof_ = eof_ = false;
            fire(afterScroll);
            return true;
        }
    }
    return false;
}

bool ClientDataSet::rowMatches(const Row& row, const std::vector<LocateKey>& keys,
                               LocateOptions options) const {
    for (const LocateKey& k : keys) {
        const CellKind kind = row.kind(k.field);
        if (k.null) {
            if (kind == CellKind::Null)
                continue;
            if (kind == CellKind::Text && row.utf8(k.field).empty())
                continue;
            return false;
        }
        switch (k.type) {
            case FieldType::String: {
                if (kind != CellKind::Text)
                    return false;
                const std::string_view cell = row.utf8(k.field);
                if (options.caseInsensitive) {
                    if (!textmatch::equalsIgnoreCase(cell, k.utf8, k.ascii, k.text, options.partialKey))
                        return false;
                } else if (options.partialKey ? !cell.starts_with(k.utf8) : cell != k.utf8) {
                    return false;
                }
                break;
            }
            case FieldType::Float:
                if ((kind != CellKind::Number && kind != CellKind::Integer) ||
                    row.number(k.field) != k.number)
                    return false;
                break;
            case FieldType::Integer:
                if ((kind != CellKind::Number && kind != CellKind::Integer) ||
                    row.integer(k.field) != k.integer)
                    return false;
                break;
            case FieldType::DateTime:
                if (kind != CellKind::DateTime || row.msecs(k.field) != k.integer)
                    return false;
                break;
        }
    }
    return true;
}

// ---------------------------------------------------------------------------------------------------
// filter and index

void ClientDataSet::applyFilterChange(ParsedFilter parsed, std::unique_ptr<RowFilter> bound, bool on,
                                      bool caseInsensitive) {
    const bool refresh = active() && (on || filtered_);
    if (refresh) {
        checkBrowseMode();
        fire(beforeScroll);
        notify([](DataSetObserver& o) { o.aboutToReset(); });
    }
    d_->parsedFilter = std::move(parsed);
    d_->boundFilter = std::move(bound);
    filtered_ = on;
    filterCaseInsensitive_ = caseInsensitive;
    if (!refresh)
        return;
    rebuildView();
    const int n = visibleCount();
    d_->cur = n > 0 ? 0 : -1;
    bof_ = true;
    eof_ = n == 0;
    notify([](DataSetObserver& o) { o.reset(); });
    notifyCurrent();
    fire(afterScroll);
}

std::unique_ptr<RowFilter> ClientDataSet::makeFilter(const ParsedFilter& parsed, bool caseInsensitive) const {
    if (parsed.terms().empty() || fields_.empty())
        return nullptr;
    return std::make_unique<RowFilter>(parsed, fieldDefs(), tableLabel(name_), caseInsensitive);
}

void ClientDataSet::setFilter(const QString& text) {
    ParsedFilter parsed = ParsedFilter::parse(text);
    auto bound = makeFilter(parsed, filterCaseInsensitive_);
    const QString old = filterText_;
    filterText_ = text;
    try {
        applyFilterChange(std::move(parsed), std::move(bound), filtered_, filterCaseInsensitive_);
    } catch (...) {
        filterText_ = old;
        throw;
    }
}

void ClientDataSet::setFiltered(bool on) {
    if (on == filtered_)
        return;
    ParsedFilter parsed = d_->parsedFilter ? *d_->parsedFilter : ParsedFilter::parse(filterText_);
    std::unique_ptr<RowFilter> bound;
    if (on) {
        if (active() && fields_.empty())
            throw DataSetError(QStringLiteral("A tabela %1 não tem campos.").arg(tableLabel(name_)));
        bound = makeFilter(parsed, filterCaseInsensitive_);
    } else if (d_->boundFilter) {
        bound = makeFilter(parsed, filterCaseInsensitive_);
    }
    applyFilterChange(std::move(parsed), std::move(bound), on, filterCaseInsensitive_);
}

void ClientDataSet::setFilterCaseInsensitive(bool on) {
    if (on == filterCaseInsensitive_)
        return;
    ParsedFilter parsed = d_->parsedFilter ? *d_->parsedFilter : ParsedFilter::parse(filterText_);
    auto bound = makeFilter(parsed, on);
    applyFilterChange(std::move(parsed), std::move(bound), filtered_, on);
}

void ClientDataSet::setIndexFieldNames(const QString& names) {
    std::vector<int> index;
    if (!fields_.empty())
        index = resolveFieldList(names, "índice");
    if (active())
        checkBrowseMode();
    indexFieldNames_ = names;
    d_->indexFields = std::move(index);
    if (!active() || d_->indexFields.empty())
        return;
    notify([](DataSetObserver& o) { o.aboutToReset(); });
    // Sort a permutation so that the cursor can follow its record.
    auto& rows = d_->rows;
    std::vector<std::uint32_t> order(rows.size());
    std::iota(order.begin(), order.end(), 0U);
    std::stable_sort(order.begin(), order.end(),
                     [&](std::uint32_t a, std::uint32_t b) { return rowLess(rows[a], rows[b]); });
    const std::size_t curPhys = d_->cur >= 0 ? physOf(d_->cur) : rows.size();
    std::vector<Row> sorted;
    sorted.reserve(rows.size());
    std::size_t newCurPhys = rows.size();
    for (std::size_t i = 0; i < order.size(); ++i) {
        if (order[i] == curPhys)
            newCurPhys = i;
        sorted.push_back(std::move(rows[order[i]]));
    }
    rows = std::move(sorted);
    rebuildView();
    d_->cur = newCurPhys < rows.size() ? viewOf(newCurPhys) : (visibleCount() > 0 ? 0 : -1);
    notify([](DataSetObserver& o) { o.reset(); });
    notifyCurrent();
}

// ---------------------------------------------------------------------------------------------------
// view rows for grids

int ClientDataSet::viewRowCount() const {
    if (!active())
        return 0;
    return visibleCount() + (state_ == DataSetState::Insert ? 1 : 0);
}

bool ClientDataSet::isPendingRow(int viewRow) const {
    return state_ == DataSetState::Insert && viewRow == d_->cur;
}

const Row* ClientDataSet::viewRowData(int viewRow) const {
    if (!active() || viewRow < 0 || viewRow >= viewRowCount())
        return nullptr;
    if (isEditing() && viewRow == d_->cur && d_->buffer)
        return &*d_->buffer;
    int v = viewRow;
    if (state_ == DataSetState::Insert && viewRow > d_->cur)
        --v;
    return &d_->rows[physOf(v)];
}

namespace {
// Makes the fields read one given row while a grid asks for its texts.
class ReadOverride {
  public:
    ReadOverride(const Row*& slot, const Row* row) : slot_(slot), saved_(slot) { slot_ = row; }
    ~ReadOverride() { slot_ = saved_; }
    ReadOverride(const ReadOverride&) = delete;
    ReadOverride& operator=(const ReadOverride&) = delete;

  private:
    const Row*& slot_;
    const Row* saved_;
};
}  // namespace

QString ClientDataSet::displayTextAt(int viewRow, int fieldIndex) const {
    const Row* r = viewRowData(viewRow);
    if (r == nullptr)
        return {};
    ReadOverride over(d_->readOverride, r);
    return field(fieldIndex).displayText();
}

QString ClientDataSet::textAt(int viewRow, int fieldIndex) const {
    const Row* r = viewRowData(viewRow);
    if (r == nullptr)
        return {};
    ReadOverride over(d_->readOverride, r);
    return field(fieldIndex).text();
}

QVariant ClientDataSet::valueAt(int viewRow, int fieldIndex) const {
    const Row* r = viewRowData(viewRow);
    if (r == nullptr)
        return {};
    ReadOverride over(d_->readOverride, r);
    return field(fieldIndex).value();
}

// ---------------------------------------------------------------------------------------------------
// data source

DataSource::DataSource(ClientDataSet* dataSet, QString name) : name_(std::move(name)) {
    setDataSet(dataSet);
}

DataSource::~DataSource() {
    setDataSet(nullptr);
}

void DataSource::setDataSet(ClientDataSet* dataSet) {
    if (dataSet == dataSet_)
        return;
    if (dataSet_ != nullptr)
        std::erase(dataSet_->d_->sources, this);
    dataSet_ = dataSet;
    if (dataSet_ != nullptr)
        dataSet_->d_->sources.push_back(this);
}

DataSetState DataSource::state() const {
    return dataSet_ ? dataSet_->state() : DataSetState::Inactive;
}

void DataSource::edit() {
    if (dataSet_ != nullptr && dataSet_->state() == DataSetState::Browse)
        dataSet_->edit();
}

}  // namespace ctb
