#include "platform/sql/query.h"

#include <QLocale>
#include <QSqlError>
#include <QSqlField>
#include <QSqlQuery>
#include <QSqlRecord>

#include <algorithm>

namespace ctb::sql {
namespace {

QString driverMessage(const QSqlError& e) {
    QString text = e.databaseText().trimmed();
    if (text.isEmpty())
        text = e.driverText().trimmed();
    return text;
}

// The first line of a query text, short enough for a message box.
QString sqlHead(const QString& sql) {
    QString head = sql.simplified();
    if (head.size() > 80)
        head = head.left(77) + QStringLiteral("...");
    return head;
}

QString trimRight(const QString& s) {
    qsizetype n = s.size();
    while (n > 0 && s.at(n - 1) == u' ')
        --n;
    return n == s.size() ? s : s.left(n);
}

QDateTime parseDateTime(const QString& text) {
    const QString s = text.trimmed();
    if (s.isEmpty())
        return {};
    if (s.size() == 10) {
        const QDate d = QDate::fromString(s, Qt::ISODate);
        return d.isValid() ? QDateTime(d, QTime(0, 0)) : QDateTime();
    }
    QString iso = s;
    if (iso.size() > 10 && iso.at(10) == u' ')
        iso[10] = u'T';
    QDateTime dt = QDateTime::fromString(iso, Qt::ISODateWithMs);
    if (!dt.isValid())
        dt = QDateTime::fromString(iso, Qt::ISODate);
    if (!dt.isValid())
        return {};
    // Stored date-times carry no zone: keep the wall time.
    return QDateTime(dt.date(), dt.time());
}

QDateTime toDateTime(const QVariant& v) {
    switch (v.metaType().id()) {
        case QMetaType::QDateTime: {
            const QDateTime dt = v.toDateTime();
            return QDateTime(dt.date(), dt.time());
        }
        case QMetaType::QDate:
            return QDateTime(v.toDate(), QTime(0, 0));
        default:
            return parseDateTime(v.toString());
    }
}

std::optional<FieldType> typeFromMeta(int id) {
    switch (id) {
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::Bool:
            return FieldType::Integer;
        case QMetaType::Double:
        case QMetaType::Float:
            return FieldType::Float;
        case QMetaType::QDate:
        case QMetaType::QDateTime:
            return FieldType::DateTime;
        default:
            return std::nullopt;
    }
}

// Converts a driver value to the field's type; texts lose their blank padding.
QVariant convert(const QVariant& v, const FieldInfo& f) {
    if (v.isNull() || !v.isValid())
        return {};
    switch (f.type) {
        case FieldType::String: {
            QString s = v.metaType().id() == QMetaType::QDate       ? v.toDate().toString(Qt::ISODate)
                        : v.metaType().id() == QMetaType::QDateTime ? v.toDateTime().toString(Qt::ISODate)
                                                                    : trimRight(v.toString());
            if (f.declared && f.size > 0 && s.size() > f.size)
                s.truncate(f.size);
            return s;
        }
        case FieldType::Float: {
            bool ok = false;
            const double d = v.toDouble(&ok);
            return ok ? QVariant(d) : QVariant();
        }
        case FieldType::Integer: {
            if (v.metaType().id() == QMetaType::Double)
                return QVariant(qRound64(v.toDouble()));
            bool ok = false;
            const qlonglong i = v.toLongLong(&ok);
            if (ok)
                return QVariant(i);
            const double d = v.toDouble(&ok);
            return ok ? QVariant(qRound64(d)) : QVariant();
        }
        case FieldType::DateTime: {
            const QDateTime dt = toDateTime(v);
            return dt.isValid() ? QVariant(dt) : QVariant();
        }
    }
    return {};
}

const QVariant kNull;

}  // namespace

// ---- Field -------------------------------------------------------------------------------------

const FieldInfo& Field::info() const {
    return query_->fields_[static_cast<std::size_t>(index_)];
}

QVariant Field::value() const {
    return query_->cell(index_);
}

bool Field::isNull() const {
    return query_->cell(index_).isNull();
}

QString Field::asString() const {
    const QVariant& v = query_->cell(index_);
    if (v.isNull())
        return {};
    switch (v.metaType().id()) {
        case QMetaType::QDateTime: {
            const QDateTime dt = v.toDateTime();
            return dt.time() == QTime(0, 0) ? dt.date().toString(Qt::ISODate)
                                            : dt.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"));
        }
        case QMetaType::Double:
            return QString::number(v.toDouble(), 'g', 15);
        default:
            return v.toString();
    }
}

double Field::asFloat() const {
    const QVariant& v = query_->cell(index_);
    if (v.isNull())
        return 0.0;
    bool ok = false;
    const double d = v.toDouble(&ok);
    if (ok)
        return d;
    return QLocale::c().toDouble(v.toString().trimmed(), &ok);
}

qint64 Field::asInteger() const {
    const QVariant& v = query_->cell(index_);
    if (v.isNull())
        return 0;
    if (v.metaType().id() == QMetaType::Double)
        return qRound64(v.toDouble());
    bool ok = false;
    const qlonglong i = v.toLongLong(&ok);
    if (ok)
        return i;
    return qRound64(asFloat());
}

QDateTime Field::asDateTime() const {
    const QVariant& v = query_->cell(index_);
    if (v.isNull())
        return {};
    return toDateTime(v);
}

// ---- Query -------------------------------------------------------------------------------------

Query::Query(const QSqlDatabase& db, const QString& sql) : connectionName_(db.connectionName()) {
    setSql(sql);
}

Query::Query(const Database& db, const QString& sql) : connectionName_(db.connectionName()) {
    setSql(sql);
}

void Query::setConnection(const QSqlDatabase& db) {
    close();
    connectionName_ = db.connectionName();
}

void Query::setSql(const QString& sql) {
    close();
    sql_ = sql;
    parsed_ = toPositional(sql);
    std::vector<Param> params;
    params.reserve(static_cast<std::size_t>(parsed_.names.size()));
    for (const QString& name : parsed_.names) {
        const Param* old = findParam(name);
        params.push_back(old ? *old : Param(name));
    }
    params_ = std::move(params);
}

Param* Query::findParam(QStringView name) {
    for (Param& p : params_)
        if (p.name().compare(name, Qt::CaseInsensitive) == 0)
            return &p;
    return nullptr;
}

Param& Query::paramByName(QStringView name) {
    if (Param* p = findParam(name))
        return *p;
    throw SqlError(QStringLiteral("Parâmetro %1 não existe na consulta.").arg(name.toString()));
}

FieldInfo* Query::declared(const QString& name) {
    for (FieldInfo& f : declared_)
        if (f.name.compare(name, Qt::CaseInsensitive) == 0)
            return &f;
    return nullptr;
}

void Query::declareField(const QString& name, FieldType type, int size, const QString& label, bool visible) {
    FieldInfo info{name.toUpper(), type, size, label, visible, QString(), true};
    if (FieldInfo* f = declared(name))
        *f = info;
    else
        declared_.push_back(info);
    if (!open_)
        fields_ = declared_;
}

namespace {
FieldInfo* findInfo(std::vector<FieldInfo>& list, const QString& name) {
    for (FieldInfo& f : list)
        if (f.name.compare(name, Qt::CaseInsensitive) == 0)
            return &f;
    return nullptr;
}
}  // namespace

void Query::setEditMask(const QString& fieldName, const QString& mask) {
    if (FieldInfo* f = declared(fieldName))
        f->editMask = mask;
    if (FieldInfo* f = findInfo(fields_, fieldName))
        f->editMask = mask;
}

void Query::setLabel(const QString& fieldName, const QString& label) {
    if (FieldInfo* f = declared(fieldName))
        f->label = label;
    if (FieldInfo* f = findInfo(fields_, fieldName))
        f->label = label;
}

void Query::setVisible(const QString& fieldName, bool visible) {
    if (FieldInfo* f = declared(fieldName))
        f->visible = visible;
    if (FieldInfo* f = findInfo(fields_, fieldName))
        f->visible = visible;
}

void Query::close() {
    open_ = false;
    rows_.clear();
    current_ = 0;
    fields_ = declared_;
}

void Query::open() {
    close();
    QSqlDatabase db = QSqlDatabase::database(connectionName_, false);
    if (!db.isValid() || !db.isOpen())
        throw SqlError(QStringLiteral("Conexão com o banco de dados não está aberta."));
    if (sql_.trimmed().isEmpty())
        throw SqlError(QStringLiteral("Consulta sem texto SQL."));

    QSqlQuery q(db);
    q.setForwardOnly(true);
    const QString failed = QStringLiteral("Erro ao executar a consulta: %1").arg(sqlHead(sql_));
    if (!q.prepare(parsed_.text))
        throw SqlError(failed, driverMessage(q.lastError()));
    for (const QString& name : parsed_.occurrences) {
        const Param& p = paramByName(name);
        q.addBindValue(p.isNull() ? QVariant(QMetaType::fromType<QString>()) : QVariant(p.asString()));
    }
    if (!q.exec())
        throw SqlError(failed, driverMessage(q.lastError()));
    if (!q.isSelect())
        throw SqlError(failed, QStringLiteral("a instrução não devolve linhas"));

    // Field layout: declared fields first, then the remaining result columns.
    const QSqlRecord rec = q.record();
    const int columns = rec.count();
    std::vector<FieldInfo> fields = declared_;
    std::vector<int> source(fields.size(), -1);
    std::vector<int> sqlLength;
    for (int c = 0; c < columns; ++c) {
        const QSqlField sf = rec.field(c);
        const QString name = sf.name().toUpper();
        const auto it =
            std::find_if(fields.begin(), fields.end(), [&](const FieldInfo& f) { return f.name == name; });
        if (it != fields.end()) {
            auto& src = source[static_cast<std::size_t>(it - fields.begin())];
            if (src < 0)
                src = c;
            continue;
        }
        FieldInfo info;
        info.name = name;
        info.type = typeFromMeta(sf.metaType().id()).value_or(FieldType::String);
        info.size = sf.length() > 0 && info.type == FieldType::String ? sf.length() : 0;
        fields.push_back(info);
        source.push_back(c);
    }
    for (std::size_t f = 0; f < fields.size(); ++f)
        if (source[f] < 0)
            throw SqlError(failed,
                           QStringLiteral("campo %1 não encontrado no resultado").arg(fields[f].name));

    // Raw rows first: an undeclared text column of SQLite may hold numbers only (NUMERIC affinity).
    std::vector<std::vector<QVariant>> raw;
    while (q.next()) {
        std::vector<QVariant> row(static_cast<std::size_t>(columns));
        for (int c = 0; c < columns; ++c)
            row[static_cast<std::size_t>(c)] = q.value(c);
        raw.push_back(std::move(row));
    }
    if (q.lastError().isValid())
        throw SqlError(failed, driverMessage(q.lastError()));

    for (std::size_t f = declared_.size(); f < fields.size(); ++f) {
        FieldInfo& info = fields[f];
        const auto col = static_cast<std::size_t>(source[f]);
        if (info.type == FieldType::String &&
            rec.field(static_cast<int>(col)).metaType().id() != QMetaType::QString) {
            for (const auto& row : raw)
                if (!row[col].isNull()) {
                    info.type = typeFromMeta(row[col].metaType().id()).value_or(FieldType::String);
                    break;
                }
        }
    }

    rows_.reserve(raw.size());
    for (const auto& r : raw) {
        std::vector<QVariant> row(fields.size());
        for (std::size_t f = 0; f < fields.size(); ++f)
            row[f] = convert(r[static_cast<std::size_t>(source[f])], fields[f]);
        rows_.push_back(std::move(row));
    }
    for (std::size_t f = 0; f < fields.size(); ++f) {
        FieldInfo& info = fields[f];
        if (info.type != FieldType::String || info.size > 0)
            continue;
        int longest = 1;
        for (const auto& row : rows_)
            longest = std::max(longest, static_cast<int>(row[f].toString().size()));
        info.size = longest;
    }
    fields_ = std::move(fields);
    current_ = 0;
    open_ = true;
}

const QVariant& Query::cell(int field) const {
    if (!open_ || current_ >= recordCount() || field < 0 || field >= fieldCount())
        return kNull;
    return rows_[static_cast<std::size_t>(current_)][static_cast<std::size_t>(field)];
}

int Query::fieldIndex(QStringView name) const {
    for (int i = 0; i < fieldCount(); ++i)
        if (fields_[static_cast<std::size_t>(i)].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

Field Query::field(int index) const {
    if (index < 0 || index >= fieldCount())
        throw SqlError(QStringLiteral("Campo número %1 não existe na consulta.").arg(index));
    return Field(this, index);
}

std::optional<Field> Query::findField(QStringView name) const {
    const int i = fieldIndex(name);
    if (i < 0)
        return std::nullopt;
    return Field(this, i);
}

Field Query::fieldByName(QStringView name) const {
    const int i = fieldIndex(name);
    if (i < 0)
        throw SqlError(QStringLiteral("Campo %1 não encontrado na consulta.").arg(name.toString()));
    return Field(this, i);
}

DataPacket Query::toPacket() const {
    DataPacket packet;
    if (!open_)
        return packet;
    packet.fields.reserve(fields_.size());
    for (const FieldInfo& f : fields_)
        packet.fields.push_back(FieldDef{f.name, f.type, f.type == FieldType::String ? f.size : 0});
    packet.rows.reserve(rows_.size());
    for (const auto& r : rows_) {
        Row row(fieldCount());
        for (int f = 0; f < fieldCount(); ++f) {
            const QVariant& v = r[static_cast<std::size_t>(f)];
            if (v.isNull())
                continue;
            switch (fields_[static_cast<std::size_t>(f)].type) {
                case FieldType::String:
                    row.setText(f, v.toString());
                    break;
                case FieldType::Float:
                    row.setNumber(f, v.toDouble());
                    break;
                case FieldType::Integer:
                    row.setInteger(f, v.toLongLong());
                    break;
                case FieldType::DateTime: {
                    const QDateTime dt = v.toDateTime();
                    row.setMsecs(f, QDateTime(dt.date(), dt.time(), Qt::UTC).toMSecsSinceEpoch());
                    break;
                }
            }
        }
        packet.rows.push_back(std::move(row));
    }
    return packet;
}

}  // namespace ctb::sql
