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

DataSetError::DataSetError(const QString& message)
    : std::runtime_error(message.toStdString()), message_(message) {}

FilterError::FilterError(const QString& message, int position) : DataSetError(message), position_(position) {}

DataSetError::~DataSetError() = default;
FilterError::~FilterError() = default;

// ---------------------------------------------------------------------------------------------------
// construction, fields

ClientDataSet::ClientDataSet(QString name)
    : name_(std::move(name)), locale_(QLocale::Portuguese, QLocale::Brazil), d_(std::make_unique<Impl>()) {}

DataSetObserver::~DataSetObserver() = default;

ClientDataSet::~ClientDataSet() {
    for (DataSource* s : d_->sources)
        s->dataSet_ = nullptr;
    const auto observers = d_->observers;
    for (DataSetObserver* o : observers)
        o->dataSetDestroyed();
}

Field& ClientDataSet::addField(const QString& name, FieldType type, int size) {
    if (active())
        throw DataSetError(
            QStringLiteral("Não é possível declarar campos com a tabela %1 aberta.").arg(tableLabel(name_)));
    if (name.trimmed().isEmpty())
        throw DataSetError(QStringLiteral("Nome de campo vazio."));
    if (findField(name) != nullptr)
        throw DataSetError(
            QStringLiteral("Campo %1 declarado duas vezes na tabela %2.").arg(name, tableLabel(name_)));
    if (d_->fieldsFromPacket) {
        fields_.clear();
        d_->fieldsFromPacket = false;
    }
    if (type == FieldType::String && size <= 0)
        size = 20;
    if (type != FieldType::String)
        size = 0;
    fields_.push_back(std::unique_ptr<Field>(new Field(*this, fieldCount(), FieldDef{name, type, size})));
    return *fields_.back();
}

void ClientDataSet::clearFields() {
    if (active())
        throw DataSetError(
            QStringLiteral("Não é possível remover campos com a tabela %1 aberta.").arg(tableLabel(name_)));
    fields_.clear();
    d_->fieldsFromPacket = false;
    d_->boundFilter.reset();
    d_->indexFields.clear();
}

Field& ClientDataSet::field(int index) const {
    if (index < 0 || index >= fieldCount())
        throw DataSetError(
            QStringLiteral("Campo de número %1 inexistente na tabela %2.").arg(index).arg(tableLabel(name_)));
    return *fields_[static_cast<std::size_t>(index)];
}

Field* ClientDataSet::findField(QStringView name) const {
    for (const auto& f : fields_)
        if (QStringView(f->fieldName()).compare(name, Qt::CaseInsensitive) == 0)
            return f.get();
    return nullptr;
}

Field& ClientDataSet::fieldByName(QStringView name) const {
    if (Field* f = findField(name))
        return *f;
    throw DataSetError(
        QStringLiteral("Campo %1 não encontrado na tabela %2.").arg(name.toString(), tableLabel(name_)));
}

std::vector<FieldDef> ClientDataSet::fieldDefs() const {
    std::vector<FieldDef> defs;
    defs.reserve(fields_.size());
    for (const auto& f : fields_)
        defs.push_back(f->def());
    return defs;
}

void ClientDataSet::setLocale(const QLocale& locale) {
    locale_ = locale;
    if (active() && d_->boundFilter && filtered_) {
        // Non-text fields compare by their text, which depends on the locale.
        rebuildView();
        d_->cur = std::min(d_->cur, visibleCount() - 1);
    }
    notifyReset();
}

// ---------------------------------------------------------------------------------------------------
// storage helpers

int ClientDataSet::visibleCount() const {
    return static_cast<int>(filtered_ ? d_->view.size() : d_->rows.size());
}

std::size_t ClientDataSet::physOf(int viewRow) const {
    return filtered_ ? d_->view[static_cast<std::size_t>(viewRow)] : static_cast<std::size_t>(viewRow);
}

int ClientDataSet::viewOf(std::size_t phys) const {
    if (!filtered_)
        return static_cast<int>(phys);
    const auto it = std::lower_bound(d_->view.begin(), d_->view.end(), static_cast<std::uint32_t>(phys));
    if (it == d_->view.end() || *it != phys)
        return -1;
    return static_cast<int>(it - d_->view.begin());
}

int ClientDataSet::viewInsertPosition(std::size_t phys) const {
    if (!filtered_)
        return static_cast<int>(phys);
    return static_cast<int>(
        std::lower_bound(d_->view.begin(), d_->view.end(), static_cast<std::uint32_t>(phys)) -
        d_->view.begin());
}

bool ClientDataSet::passes(const Row& row) const {
    return !filtered_ || !d_->boundFilter || d_->boundFilter->matches(row, locale_);
}

void ClientDataSet::rebuildView() {
    d_->view.clear();
    if (!filtered_)
        return;
    const auto& rows = d_->rows;
    const int probe = d_->boundFilter ? d_->boundFilter->firstField() : 0;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (i + detail::kPrefetchDistance < rows.size() && !rows.empty())
            detail::prefetchRow(rows[i + detail::kPrefetchDistance], probe);
        if (passes(rows[i]))
            d_->view.push_back(static_cast<std::uint32_t>(i));
    }
}

// Puts a row into storage at phys; returns its view row, or -1 when the filter hides it.
int ClientDataSet::storeRow(std::size_t phys, Row&& row) {
    const bool visible = passes(row);
    d_->rows.insert(d_->rows.begin() + static_cast<std::ptrdiff_t>(phys), std::move(row));
    if (!filtered_)
        return static_cast<int>(phys);
    auto& v = d_->view;
    const auto at = std::lower_bound(v.begin(), v.end(), static_cast<std::uint32_t>(phys));
    for (auto it = at; it != v.end(); ++it)
        ++*it;
    if (!visible)
        return -1;
    return static_cast<int>(v.insert(at, static_cast<std::uint32_t>(phys)) - v.begin());
}

void ClientDataSet::eraseRow(std::size_t phys) {
    d_->rows.erase(d_->rows.begin() + static_cast<std::ptrdiff_t>(phys));
    if (!filtered_)
        return;
    auto& v = d_->view;
    auto at = std::lower_bound(v.begin(), v.end(), static_cast<std::uint32_t>(phys));
    if (at != v.end() && *at == phys)
        at = v.erase(at);
    for (auto it = at; it != v.end(); ++it)
        --*it;
}

bool ClientDataSet::rowLess(const Row& a, const Row& b) const {
    for (const int f : d_->indexFields) {
        const int c = compareCells(a, b, f, fields_[static_cast<std::size_t>(f)]->dataType());
        if (c != 0)
            return c < 0;
    }
    return false;
}

// Position after every row that does not sort after `row` (equal keys keep arrival order).
std::size_t ClientDataSet::sortedPosition(const Row& row) const {
    const auto it = std::upper_bound(d_->rows.begin(), d_->rows.end(), row,
                                     [this](const Row& a, const Row& b) { return rowLess(a, b); });
    return static_cast<std::size_t>(it - d_->rows.begin());
}

void ClientDataSet::sortRows() {
    if (d_->indexFields.empty())
        return;
    auto& rows = d_->rows;
    if (std::is_sorted(rows.begin(), rows.end(),
                       [this](const Row& a, const Row& b) { return rowLess(a, b); }))
        return;
    std::stable_sort(rows.begin(), rows.end(), [this](const Row& a, const Row& b) { return rowLess(a, b); });
}

std::vector<int> ClientDataSet::resolveFieldList(QStringView names, const char* purpose) const {
    std::vector<int> out;
    for (QStringView n : splitNames(names)) {
        const Field* f = findField(n);
        if (f == nullptr)
            throw DataSetError(QStringLiteral("Campo %1 não encontrado na tabela %2 (%3).")
                                   .arg(n.toString(), tableLabel(name_), QLatin1String(purpose)));
        out.push_back(f->index());
    }
    return out;
}

// ---------------------------------------------------------------------------------------------------
// notifications

void ClientDataSet::fire(const DataSetNotifyEvent& event) {
    if (event)
        event(*this);
}

void ClientDataSet::notifyReset() {
    notify([](DataSetObserver& o) { o.aboutToReset(); });
    notify([](DataSetObserver& o) { o.reset(); });
    notify([this](DataSetObserver& o) { o.currentRowChanged(currentViewRow()); });
    notifyDataChange(nullptr);
}

void ClientDataSet::notifyCurrent() {
    notify([this](DataSetObserver& o) { o.currentRowChanged(currentViewRow()); });
    notifyDataChange(nullptr);
}

void ClientDataSet::notifyDataChange(Field* field) {
    if (disableCount_ > 0)
        return;
    const auto sources = d_->sources;
    for (DataSource* s : sources)
        if (s->onDataChange)
            s->onDataChange(*s, field);
}

void ClientDataSet::changeState(DataSetState state) {
    if (state_ == state)
        return;
    state_ = state;
    announceState();
}

void ClientDataSet::announceState() {
    notify([this](DataSetObserver& o) { o.stateChanged(state_); });
    const auto sources = d_->sources;
    for (DataSource* s : sources)
        if (s->onStateChange)
            s->onStateChange(*s);
}

void ClientDataSet::addObserver(DataSetObserver* observer) {
    if (observer != nullptr &&
        std::find(d_->observers.begin(), d_->observers.end(), observer) == d_->observers.end())
        d_->observers.push_back(observer);
}

void ClientDataSet::removeObserver(DataSetObserver* observer) {
    std::erase(d_->observers, observer);
}

void ClientDataSet::disableControls() {
    ++disableCount_;
}

void ClientDataSet::enableControls() {
    if (disableCount_ == 0)
        return;
    if (--disableCount_ == 0)
        notifyReset();
}

void ClientDataSet::requestFocus(Field& field) {
    const auto observers = d_->observers;
    for (DataSetObserver* o : observers)
        o->focusFieldRequested(field);
}

// ---------------------------------------------------------------------------------------------------
// guards

void ClientDataSet::checkActive() const {
    if (!active())
        throw DataSetError(QStringLiteral("A tabela %1 não está aberta.").arg(tableLabel(name_)));
}

void ClientDataSet::checkCanModify() const {
    if (readOnly_)
        throw DataSetError(QStringLiteral("A tabela %1 é somente para leitura.").arg(tableLabel(name_)));
}

void ClientDataSet::checkBrowseMode() {
    if (!isEditing())
        return;
    if (modified_)
        post();
    else
        cancel();
}

// ---------------------------------------------------------------------------------------------------
// reading and writing the current record

const Row* ClientDataSet::readRow() const {
    if (d_->readOverride != nullptr)
        return d_->readOverride;
    if (d_->buffer)
        return &*d_->buffer;
    if (state_ == DataSetState::Inactive || d_->cur < 0 || d_->cur >= visibleCount())
        return nullptr;
    return &d_->rows[physOf(d_->cur)];
}

Row& ClientDataSet::beginWrite(const Field& field) {
    if (!isEditing() || !d_->buffer)
        throw DataSetError(QStringLiteral("A tabela %1 não está em modo de edição ou inclusão (campo %2).")
                               .arg(tableLabel(name_), field.fieldName()));
    if (field.readOnly())
        throw DataSetError(QStringLiteral("O campo %1 é somente para leitura.").arg(field.displayLabel()));
    return *d_->buffer;
}

void ClientDataSet::endWrite(Field& field, bool changed) {
    modified_ = true;
    if (!changed)
        return;
    touched_ = true;
    const int row = d_->cur;
    notify([row](DataSetObserver& o) { o.rowChanged(row); });
    notifyDataChange(&field);
    if (field.onChange)
        field.onChange(field);
}

// ---------------------------------------------------------------------------------------------------
// open, close, empty

void ClientDataSet::createDataSet() {
    if (fields_.empty())
        throw DataSetError(QStringLiteral("A tabela %1 não tem campos declarados.").arg(tableLabel(name_)));
    std::unique_ptr<RowFilter> filter;
    if (d_->parsedFilter) {
        try {
            filter = makeFilter(*d_->parsedFilter, filterCaseInsensitive_);
        } catch (const FilterError&) {
            if (filtered_)
                throw;
        }
    }
    d_->indexFields = resolveFieldList(indexFieldNames_, "índice");
    const bool wasActive = active();
    notify([](DataSetObserver& o) { o.aboutToReset(); });
    d_->buffer.reset();
    d_->rows.clear();
    d_->rows.shrink_to_fit();
    d_->view.clear();
    d_->boundFilter = std::move(filter);
    d_->cur = -1;
    d_->savedCur = -1;
    bof_ = eof_ = true;
    modified_ = touched_ = false;
    changeCount_ = 0;
    state_ = DataSetState::Browse;
    notify([](DataSetObserver& o) { o.reset(); });
    announceState();
    notifyCurrent();
    if (!wasActive)
        fire(afterOpen);
    fire(afterScroll);
}

void ClientDataSet::open() {
    if (active())
        return;
    createDataSet();
}

void ClientDataSet::close() {
    if (!active())
        return;
    fire(beforeClose);
    notify([](DataSetObserver& o) { o.aboutToReset(); });
    d_->buffer.reset();
    d_->rows.clear();
    d_->rows.shrink_to_fit();
    d_->view.clear();
    d_->cur = -1;
    d_->savedCur = -1;
    bof_ = eof_ = true;
    modified_ = touched_ = false;
    changeCount_ = 0;
    state_ = DataSetState::Inactive;
    notify([](DataSetObserver& o) { o.reset(); });
    announceState();
    notifyCurrent();
}

void ClientDataSet::setActive(bool on) {
    if (on)
        open();
    else
        close();
}

void ClientDataSet::emptyDataSet() {
    checkActive();
    checkBrowseMode();
    notify([](DataSetObserver& o) { o.aboutToReset(); });
    d_->rows.clear();
    d_->view.clear();
    d_->cur = -1;
    bof_ = eof_ = true;
    changeCount_ = 0;
    notify([](DataSetObserver& o) { o.reset(); });
    notifyCurrent();
    fire(afterScroll);
}

// ---------------------------------------------------------------------------------------------------
// data packets

DataPacket ClientDataSet::data() const {
    DataPacket p;
    p.fields = fieldDefs();
    if (active())
        p.rows = d_->rows;
    return p;
}

void ClientDataSet::setData(const DataPacket& packet) {
    DataPacket copy = packet;
    setData(std::move(copy));
}

namespace {

[[noreturn]] void badCell(const QString& table, const FieldDef& f, std::size_t row) {
    throw DataSetError(
        QStringLiteral("Pacote de dados inválido para a tabela %1: valor do campo %2 na linha %3 "
                       "não é do tipo %4.")
            .arg(table, f.name)
            .arg(row + 1)
            .arg(fieldTypeName(f.type)));
}

// Brings one cell to the field's kind and size; throws for a value of another kind.
void conformCell(Row& row, int i, const FieldDef& f, const QString& table, std::size_t rowNo) {
    switch (row.kind(i)) {
        case CellKind::Null:
            return;
        case CellKind::Text:
            if (f.type != FieldType::String)
                badCell(table, f, rowNo);
            {
                const std::string_view t = row.utf8(i);
                if (t.size() > static_cast<std::size_t>(f.size)) {
                    const std::size_t keep = format::utf8PrefixBytes(t, f.size);
                    if (keep < t.size()) {
                        const std::string cut(t.substr(0, keep));
                        row.setUtf8(i, cut);
                    }
                }
            }
            return;
        case CellKind::Number:
            if (f.type == FieldType::Float)
                return;
            if (f.type == FieldType::Integer) {
                row.setInteger(i, static_cast<std::int64_t>(std::llround(row.number(i))));
                return;
            }
            badCell(table, f, rowNo);
        case CellKind::Integer:
            if (f.type == FieldType::Integer)
                return;
            if (f.type == FieldType::Float) {
                row.setNumber(i, static_cast<double>(row.integer(i)));
                return;
            }
            badCell(table, f, rowNo);
        case CellKind::DateTime:
            if (f.type != FieldType::DateTime)
                badCell(table, f, rowNo);
            return;
    }
}

bool compatible(FieldType declared, FieldType sent) {
    if (declared == sent)
        return true;
    const auto numeric = [](FieldType t) { return t == FieldType::Float || t == FieldType::Integer; };
    return numeric(declared) && numeric(sent);
}

}  // namespace

void ClientDataSet::setData(DataPacket&& packet) {
    const QString table = tableLabel(name_);
    std::vector<FieldDef> defs;
    const bool adopt = fields_.empty() || d_->fieldsFromPacket;
    if (adopt) {
        if (packet.fields.empty())
            throw DataSetError(QStringLiteral("Pacote de dados sem campos para a tabela %1.").arg(table));
        defs = packet.fields;
        for (std::size_t i = 0; i < defs.size(); ++i) {
            FieldDef& f = defs[i];
            if (f.name.trimmed().isEmpty())
                throw DataSetError(
                    QStringLiteral("Pacote de dados com campo sem nome para a tabela %1.").arg(table));
            for (std::size_t j = 0; j < i; ++j)
                if (defs[j].name.compare(f.name, Qt::CaseInsensitive) == 0)
                    throw DataSetError(QStringLiteral("Pacote de dados com o campo %1 repetido (tabela %2).")
                                           .arg(f.name, table));
            if (f.type == FieldType::String && f.size <= 0)
                f.size = 20;
            if (f.type != FieldType::String)
                f.size = 0;
        }
    } else {
        defs = fieldDefs();
    }

    // Column of the packet that feeds each field.
    std::vector<int> source(defs.size());
    bool identity = packet.fields.size() == defs.size();
    for (std::size_t i = 0; i < defs.size(); ++i) {
        const int j = adopt ? static_cast<int>(i) : packet.fieldIndex(defs[i].name);
        if (j < 0)
            throw DataSetError(QStringLiteral("O pacote de dados não traz o campo %1 da tabela %2.")
                                   .arg(defs[i].name, table));
        const FieldDef& sent = packet.fields[static_cast<std::size_t>(j)];
        if (!compatible(defs[i].type, sent.type))
            throw DataSetError(
                QStringLiteral("O campo %1 da tabela %2 é do tipo %3, mas o pacote traz %4.")
                    .arg(defs[i].name, table, fieldTypeName(defs[i].type), fieldTypeName(sent.type)));
        source[i] = j;
        if (j != static_cast<int>(i))
            identity = false;
    }

    std::vector<Row> rows;
    const int width = static_cast<int>(defs.size());
    if (identity) {
        rows = std::move(packet.rows);
        for (std::size_t r = 0; r < rows.size(); ++r) {
            Row& row = rows[r];
            if (row.size() != width)
                throw DataSetError(
                    QStringLiteral("Pacote de dados inválido para a tabela %1: a linha %2 tem %3 "
                                   "valores para %4 campos.")
                        .arg(table)
                        .arg(r + 1)
                        .arg(row.size())
                        .arg(width));
            for (int i = 0; i < width; ++i)
                conformCell(row, i, defs[static_cast<std::size_t>(i)], table, r);
        }
    } else {
        rows.reserve(packet.rows.size());
        const int sentWidth = static_cast<int>(packet.fields.size());
        for (std::size_t r = 0; r < packet.rows.size(); ++r) {
            const Row& in = packet.rows[r];
            if (in.size() != sentWidth)
                throw DataSetError(
                    QStringLiteral("Pacote de dados inválido para a tabela %1: a linha %2 tem %3 "
                                   "valores para %4 campos.")
                        .arg(table)
                        .arg(r + 1)
                        .arg(in.size())
                        .arg(sentWidth));
            Row out(width);
            for (int i = 0; i < width; ++i) {
                const int j = source[static_cast<std::size_t>(i)];
                switch (in.kind(j)) {
                    case CellKind::Null:
                        break;
                    case CellKind::Text:
                        out.setUtf8(i, in.utf8(j));
                        break;
                    case CellKind::Number:
                        out.setNumber(i, in.number(j));
                        break;
                    case CellKind::Integer:
                        out.setInteger(i, in.integer(j));
                        break;
                    case CellKind::DateTime:
                        out.setMsecs(i, in.msecs(j));
                        break;
                }
                conformCell(out, i, defs[static_cast<std::size_t>(i)], table, r);
            }
            rows.push_back(std::move(out));
        }
    }

    // Everything that can refuse the packet is checked before the table changes.
    const bool replaceFields = adopt && (fields_.empty() || fieldDefs() != defs);
    std::unique_ptr<RowFilter> filter;
    if (d_->parsedFilter && !d_->parsedFilter->terms().empty()) {
        try {
            filter = std::make_unique<RowFilter>(*d_->parsedFilter, defs, table, filterCaseInsensitive_);
        } catch (const FilterError&) {
            if (filtered_)
                throw;
        }
    }
    std::vector<int> indexFields;
    for (QStringView n : splitNames(indexFieldNames_)) {
        int found = -1;
        for (std::size_t i = 0; i < defs.size(); ++i)
            if (QStringView(defs[i].name).compare(n, Qt::CaseInsensitive) == 0)
                found = static_cast<int>(i);
        if (found < 0)
            throw DataSetError(
                QStringLiteral("Campo %1 não encontrado na tabela %2 (índice).").arg(n.toString(), table));
        indexFields.push_back(found);
    }

    const bool wasActive = active();
    notify([](DataSetObserver& o) { o.aboutToReset(); });
    if (replaceFields) {
        fields_.clear();
        for (std::size_t i = 0; i < defs.size(); ++i)
            fields_.push_back(std::unique_ptr<Field>(new Field(*this, static_cast<int>(i), defs[i])));
        d_->fieldsFromPacket = true;
    }
    d_->buffer.reset();
    d_->rows = std::move(rows);
    d_->boundFilter = std::move(filter);
    d_->indexFields = std::move(indexFields);
    sortRows();
    rebuildView();
    d_->cur = visibleCount() > 0 ? 0 : -1;
    d_->savedCur = -1;
    bof_ = true;
    eof_ = visibleCount() == 0;
    modified_ = touched_ = false;
    changeCount_ = 0;
    const bool stateChanged = state_ != DataSetState::Browse;
    state_ = DataSetState::Browse;
    notify([](DataSetObserver& o) { o.reset(); });
    if (stateChanged)
        announceState();
    notifyCurrent();
    if (!wasActive)
        fire(afterOpen);
    fire(afterScroll);
}

// ---------------------------------------------------------------------------------------------------
// editing

void ClientDataSet::append() {
    startInsert(true);
}
void ClientDataSet::insert() {
    startInsert(false);
}

void ClientDataSet::startInsert(bool atEnd) {
    checkActive();
    checkBrowseMode();
    checkCanModify();
    fire(beforeInsert);
    fire(beforeScroll);
    const int n = visibleCount();
    const int pos = atEnd || d_->cur < 0 ? n : d_->cur;
    notify([pos](DataSetObserver& o) { o.rowAboutToBeInserted(pos); });
    d_->savedCur = d_->cur;
    d_->buffer.emplace(fieldCount());
    d_->cur = pos;
    bof_ = eof_ = false;
    modified_ = touched_ = false;
    state_ = DataSetState::Insert;
    notify([pos](DataSetObserver& o) { o.rowInserted(pos); });
    announceState();
    notifyCurrent();
    try {
        fire(onNewRecord);
    } catch (...) {
        dropInsert();
        throw;
    }
    modified_ = touched_ = false;
    fire(afterInsert);
    // What AfterInsert wrote are defaults: the row is untouched until something else writes to it.
    touched_ = false;
    fire(afterScroll);
}

// Takes the pending row of an insert away and puts the cursor back where it was.
void ClientDataSet::dropInsert() {
    const int pos = d_->cur;
    notify([pos](DataSetObserver& o) { o.rowAboutToBeRemoved(pos); });
    d_->buffer.reset();
    state_ = DataSetState::Browse;
    const int n = visibleCount();
    d_->cur = n == 0 ? -1 : std::clamp(d_->savedCur, 0, n - 1);
    d_->savedCur = -1;
    modified_ = touched_ = false;
    bof_ = eof_ = n == 0;
    notify([pos](DataSetObserver& o) { o.rowRemoved(pos); });
    announceState();
    notifyCurrent();
}

void ClientDataSet::edit() {
    checkActive();
    if (isEditing())
        return;
    if (visibleCount() == 0) {
        insert();
        return;
    }
    checkCanModify();
    fire(beforeEdit);
    d_->buffer = d_->rows[physOf(d_->cur)];
    modified_ = touched_ = false;
    changeState(DataSetState::Edit);
    fire(afterEdit);
}

void ClientDataSet::cancel() {
    if (!isEditing())
        return;
    fire(beforeCancel);
    const bool inserting = state_ == DataSetState::Insert;
    if (inserting) {
        fire(beforeScroll);
        dropInsert();
    } else {
        d_->buffer.reset();
        modified_ = touched_ = false;
        const int row = d_->cur;
        state_ = DataSetState::Browse;
        notify([row](DataSetObserver& o) { o.rowChanged(row); });
        announceState();
        notifyDataChange(nullptr);
    }
    fire(afterCancel);
    if (inserting)
        fire(afterScroll);
}

void ClientDataSet::post() {
    checkActive();
    if (!isEditing())
        return;
    fire(beforePost);
    if (!isEditing() || !d_->buffer)
        return;  // a handler ended the edit itself

    const bool inserting = state_ == DataSetState::Insert;
    const int shownAt = d_->cur;  // where the record shows now
    Row row = std::move(*d_->buffer);
    d_->buffer.reset();
    const bool visible = passes(row);
    const bool indexed = !d_->indexFields.empty();

    int newView = -1;
    if (!inserting && !indexed) {
        // In place: only the filter can take the row out of view.
        const std::size_t p = physOf(shownAt);
        if (visible) {
            d_->rows[p] = std::move(row);
            state_ = DataSetState::Browse;
            notify([shownAt](DataSetObserver& o) { o.rowChanged(shownAt); });
            newView = shownAt;
        } else {
            notify([shownAt](DataSetObserver& o) { o.rowAboutToBeRemoved(shownAt); });
            d_->rows[p] = std::move(row);
            if (filtered_)
                d_->view.erase(d_->view.begin() + shownAt);
            state_ = DataSetState::Browse;
            notify([shownAt](DataSetObserver& o) { o.rowRemoved(shownAt); });
        }
    } else {
        // Where the row goes in storage once the old image (edit) is out.
        std::size_t oldPhys = inserting ? 0 : physOf(shownAt);
        std::size_t target = 0;
        if (indexed) {
            target = sortedPosition(row);
            if (!inserting && oldPhys < target)
                --target;
        } else {
            target = shownAt < visibleCount() ? physOf(shownAt) : d_->rows.size();
        }
        int predicted = -1;  // the record's view row once stored, -1 when the filter hides it
        if (visible) {
            if (!filtered_)
                predicted = static_cast<int>(target);
            else if (!inserting && target >= oldPhys)
                predicted = viewInsertPosition(target + 1) - (viewOf(oldPhys) >= 0 ? 1 : 0);
            else
                predicted = viewInsertPosition(target);
        }
        if (predicted == shownAt) {
            if (!inserting)
                eraseRow(oldPhys);
            newView = storeRow(target, std::move(row));
            state_ = DataSetState::Browse;
            notify([shownAt](DataSetObserver& o) { o.rowChanged(shownAt); });
        } else {
            notify([shownAt](DataSetObserver& o) { o.rowAboutToBeRemoved(shownAt); });
            if (!inserting)
                eraseRow(oldPhys);
            state_ = DataSetState::Browse;  // the pending row is gone from view
            notify([shownAt](DataSetObserver& o) { o.rowRemoved(shownAt); });
            if (visible) {
                const int at = filtered_ ? viewInsertPosition(target) : static_cast<int>(target);
                notify([at](DataSetObserver& o) { o.rowAboutToBeInserted(at); });
                newView = storeRow(target, std::move(row));
                notify([newView](DataSetObserver& o) { o.rowInserted(newView); });
            } else {
                storeRow(target, std::move(row));
            }
        }
    }

    const bool hidden = newView < 0;
    if (hidden) {
        const int n = visibleCount();
        d_->cur = n == 0 ? -1 : std::min(shownAt, n - 1);
    } else {
        d_->cur = newView;
    }
    d_->savedCur = -1;
    bof_ = eof_ = visibleCount() == 0;
    modified_ = touched_ = false;
    ++changeCount_;
    announceState();
    notifyCurrent();
    fire(afterPost);
    if (hidden)
        fire(afterScroll);
}

void ClientDataSet::remove() {
    checkActive();
    if (state_ == DataSetState::Insert) {
        cancel();
        return;
    }
    checkCanModify();
    if (visibleCount() == 0)
        throw DataSetError(
            QStringLiteral("Não há registro para excluir na tabela %1.").arg(tableLabel(name_)));
    fire(beforeDelete);
    fire(beforeScroll);
    const int at = d_->cur;
    notify([at](DataSetObserver& o) { o.rowAboutToBeRemoved(at); });
    eraseRow(physOf(at));
    d_->buffer.reset();
    const bool wasEditing = state_ != DataSetState::Browse;
    state_ = DataSetState::Browse;
    const int n = visibleCount();
    d_->cur = n == 0 ? -1 : std::min(at, n - 1);
    bof_ = eof_ = n == 0;
    modified_ = touched_ = false;
    ++changeCount_;
    notify([at](DataSetObserver& o) { o.rowRemoved(at); });
    if (wasEditing)
        announceState();
    notifyCurrent();
    fire(afterDelete);
    fire(afterScroll);
}

}  // namespace ctb
