#include "platform/dataset/client_dataset.h"
#include "platform/dataset/edit_mask.h"
#include "platform/dataset/field_format.h"

#include <cmath>

namespace ctb {

namespace {

[[noreturn]] void invalidValue(const Field& f, const QString& text) {
    throw DataSetError(
        QStringLiteral("'%1' não é um valor válido para o campo %2.").arg(text, f.displayLabel()));
}

[[noreturn]] void wrongType(const Field& f, const char* what) {
    throw DataSetError(
        QStringLiteral("O campo %1 não aceita %2.").arg(f.displayLabel(), QLatin1String(what)));
}

}  // namespace

Field::Field(ClientDataSet& owner, int index, FieldDef def)
    : owner_(&owner), index_(index), def_(std::move(def)) {}

const QString& Field::displayLabel() const {
    return label_.isEmpty() ? def_.name : label_;
}

// ---- reading ----

bool Field::isNull() const {
    const Row* r = owner_->readRow();
    return r == nullptr || r->isNull(index_);
}

QString Field::asString() const {
    const Row* r = owner_->readRow();
    if (r == nullptr)
        return {};
    return format::cellText(*r, index_, def_.type, owner_->locale());
}

double Field::asFloat() const {
    const Row* r = owner_->readRow();
    if (r == nullptr)
        return 0.0;
    switch (r->kind(index_)) {
        case CellKind::Null:
            return 0.0;
        case CellKind::Text: {
            const QString t = r->text(index_);
            if (t.trimmed().isEmpty())
                return 0.0;
            if (const auto v = format::parseNumber(t, owner_->locale()))
                return *v;
            invalidValue(*this, t);
        }
        case CellKind::Number:
        case CellKind::Integer:
            return r->number(index_);
        case CellKind::DateTime:
            return static_cast<double>(r->msecs(index_));
    }
    return 0.0;
}

qint64 Field::asInteger() const {
    const Row* r = owner_->readRow();
    if (r == nullptr)
        return 0;
    switch (r->kind(index_)) {
        case CellKind::Null:
            return 0;
        case CellKind::Text: {
            const QString t = r->text(index_);
            if (t.trimmed().isEmpty())
                return 0;
            if (const auto v = format::parseInteger(t, owner_->locale()))
                return *v;
            invalidValue(*this, t);
        }
        case CellKind::Number:
            return static_cast<qint64>(std::llround(r->number(index_)));
        case CellKind::Integer:
        case CellKind::DateTime:
            return r->integer(index_);
    }
    return 0;
}

QDateTime Field::asDateTime() const {
    const Row* r = owner_->readRow();
    if (r == nullptr)
        return {};
    switch (r->kind(index_)) {
        case CellKind::DateTime:
            return format::fromNaiveMsecs(r->msecs(index_));
        case CellKind::Text: {
            const QString t = r->text(index_);
            if (t.trimmed().isEmpty())
                return {};
            if (const auto v = format::parseDateTime(t, owner_->locale()))
                return format::fromNaiveMsecs(*v);
            invalidValue(*this, t);
        }
        default:
            return {};
    }
}

QDate Field::asDate() const {
    return asDateTime().date();
}

QVariant Field::value() const {
    const Row* r = owner_->readRow();
    if (r == nullptr)
        return {};
    switch (r->kind(index_)) {
        case CellKind::Null:
            return {};
        case CellKind::Text:
            return r->text(index_);
        case CellKind::Number:
            return r->number(index_);
        case CellKind::Integer:
            if (def_.type == FieldType::Float)
                return r->number(index_);
            return QVariant::fromValue<qlonglong>(r->integer(index_));
        case CellKind::DateTime:
            return format::fromNaiveMsecs(r->msecs(index_));
    }
    return {};
}

// ---- writing ----

void Field::setAsString(const QString& text) {
    switch (def_.type) {
        case FieldType::String: {
            if (text.isEmpty()) {
                clear();
                return;
            }
            const QByteArray bytes = text.toUtf8();
            std::string_view v(bytes.constData(), static_cast<std::size_t>(bytes.size()));
            v = v.substr(0, format::utf8PrefixBytes(v, def_.size));
            Row& r = owner_->beginWrite(*this);
            const bool changed = r.kind(index_) != CellKind::Text || r.utf8(index_) != v;
            if (changed)
                r.setUtf8(index_, v);
            owner_->endWrite(*this, changed);
            return;
        }
        case FieldType::Float: {
            if (text.trimmed().isEmpty()) {
                clear();
                return;
            }
            const auto v = format::parseNumber(text, owner_->locale());
            if (!v)
                invalidValue(*this, text);
            setAsFloat(*v);
            return;
        }
        case FieldType::Integer: {
            if (text.trimmed().isEmpty()) {
                clear();
                return;
            }
            const auto v = format::parseInteger(text, owner_->locale());
            if (!v)
                invalidValue(*this, text);
            setAsInteger(*v);
            return;
        }
        case FieldType::DateTime: {
            if (text.trimmed().isEmpty()) {
                clear();
                return;
            }
            const auto v = format::parseDateTime(text, owner_->locale());
            if (!v)
                invalidValue(*this, text);
            Row& r = owner_->beginWrite(*this);
            const bool changed = r.kind(index_) != CellKind::DateTime || r.msecs(index_) != *v;
            if (changed)
                r.setMsecs(index_, *v);
            owner_->endWrite(*this, changed);
            return;
        }
    }
}

void Field::setAsFloat(double value) {
    switch (def_.type) {
        case FieldType::String:
            setAsString(format::numberText(value, owner_->locale()));
            return;
        case FieldType::Float: {
            if (!std::isfinite(value))
                invalidValue(*this, QString::number(value));
            Row& r = owner_->beginWrite(*this);
            const bool changed = r.kind(index_) != CellKind::Number || r.number(index_) != value;
            if (changed)
                r.setNumber(index_, value);
            owner_->endWrite(*this, changed);
            return;
        }
        case FieldType::Integer:
            if (!std::isfinite(value))
                invalidValue(*this, QString::number(value));
            setAsInteger(static_cast<qint64>(std::llround(value)));
            return;
        case FieldType::DateTime:
            wrongType(*this, "um número");
    }
}

void Field::setAsInteger(qint64 value) {
    switch (def_.type) {
        case FieldType::String:
            setAsString(QString::number(value));
            return;
        case FieldType::Float:
            setAsFloat(static_cast<double>(value));
            return;
        case FieldType::Integer: {
            Row& r = owner_->beginWrite(*this);
            const bool changed = r.kind(index_) != CellKind::Integer || r.integer(index_) != value;
            if (changed)
                r.setInteger(index_, value);
            owner_->endWrite(*this, changed);
            return;
        }
        case FieldType::DateTime:
            wrongType(*this, "um número");
    }
}

void Field::setAsDateTime(const QDateTime& value) {
    if (!value.isValid()) {
        clear();
        return;
    }
    switch (def_.type) {
        case FieldType::String:
            setAsString(format::dateTimeText(format::toNaiveMsecs(value), owner_->locale()));
            return;
        case FieldType::DateTime: {
            const std::int64_t ms = format::toNaiveMsecs(value);
            Row& r = owner_->beginWrite(*this);
            const bool changed = r.kind(index_) != CellKind::DateTime || r.msecs(index_) != ms;
            if (changed)
                r.setMsecs(index_, ms);
            owner_->endWrite(*this, changed);
            return;
        }
        default:
            wrongType(*this, "uma data");
    }
}

void Field::setAsDate(const QDate& value) {
    if (!value.isValid()) {
        clear();
        return;
    }
    if (def_.type != FieldType::DateTime) {
        setAsDateTime(QDateTime(value, QTime(0, 0)));
        return;
    }
    const std::int64_t ms = format::toNaiveMsecs(value, QTime(0, 0));
    Row& r = owner_->beginWrite(*this);
    const bool changed = r.kind(index_) != CellKind::DateTime || r.msecs(index_) != ms;
    if (changed)
        r.setMsecs(index_, ms);
    owner_->endWrite(*this, changed);
}

void Field::setValue(const QVariant& value) {
    if (!value.isValid() || value.isNull()) {
        clear();
        return;
    }
    switch (value.typeId()) {
        case QMetaType::QDateTime:
            setAsDateTime(value.toDateTime());
            return;
        case QMetaType::QDate:
            setAsDate(value.toDate());
            return;
        case QMetaType::Double:
        case QMetaType::Float:
            setAsFloat(value.toDouble());
            return;
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Long:
        case QMetaType::ULong:
        case QMetaType::Short:
        case QMetaType::UShort:
            setAsInteger(value.toLongLong());
            return;
        case QMetaType::Bool:
            setAsInteger(value.toBool() ? 1 : 0);
            return;
        default:
            setAsString(value.toString());
    }
}

void Field::clear() {
    Row& r = owner_->beginWrite(*this);
    const bool changed = !r.isNull(index_);
    if (changed)
        r.setNull(index_);
    owner_->endWrite(*this, changed);
}

// ---- texts ----

QString Field::defaultText(bool display) const {
    const Row* r = owner_->readRow();
    if (r == nullptr || r->isNull(index_))
        return {};
    if (!display)
        return asString();
    const QLocale& loc = owner_->locale();
    switch (def_.type) {
        case FieldType::Float:
        case FieldType::Integer:
            if (!displayFormat_.isEmpty() && r->kind(index_) != CellKind::Text)
                return format::formatNumber(r->number(index_), displayFormat_, loc);
            return asString();
        case FieldType::DateTime:
            if (!displayFormat_.isEmpty() && r->kind(index_) == CellKind::DateTime)
                return loc.toString(format::fromNaiveMsecs(r->msecs(index_)),
                                    displayFormat_);  // rare: custom
            return asString();
        case FieldType::String:
            if (!editMask_.isEmpty() && !EditMask::parse(editMask_).saveLiterals)
                return formatMaskText(editMask_, r->text(index_));
            return asString();
    }
    return asString();
}

QString Field::text() const {
    if (onGetText) {
        QString t;
        onGetText(const_cast<Field&>(*this), t, false);
        return t;
    }
    return defaultText(false);
}

QString Field::displayText() const {
    if (onGetText) {
        QString t;
        onGetText(const_cast<Field&>(*this), t, true);
        return t;
    }
    return defaultText(true);
}

void Field::focusControl() {
    owner_->requestFocus(*this);
}

}  // namespace ctb
