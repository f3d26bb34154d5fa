#include "server/audit_trail.h"

#include "platform/net/wire.h"
#include "server/money.h"
#include "server/schema_names.h"

#include <QDateTime>
#include <QSqlQuery>

namespace ctb::server {

namespace {

QVariant nullText() {
    return QVariant(QMetaType(QMetaType::QString));
}

// The wall time of the server, to the millisecond: the same on both backends (SQLite's own clock
// would give UTC to the second), so rows read back as the user's local time.
QString now() {
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
}

std::optional<QDateTime> timestampOf(const QVariant& v) {
    if (v.isNull())
        return std::nullopt;
    if (v.metaType().id() == QMetaType::QDateTime) {
        const QDateTime t = v.toDateTime();
        return QDateTime(t.date(), t.time());
    }
    QString text = v.toString().left(19);
    text.replace(u' ', u'T');
    const QDateTime t = QDateTime::fromString(text, Qt::ISODate);
    if (!t.isValid())
        return std::nullopt;
    return t;
}

QString actionText(const QString& action, const QString& reference) {
    if (action == kAuditInclusion)
        return QStringLiteral("Inclusão");
    if (action == kAuditChange)
        return QStringLiteral("Alteração");
    if (action == kAuditDeletion)
        return QStringLiteral("Exclusão");
    if (action == kAuditReversal)
        return QStringLiteral("Estorno do lançamento %1").arg(reference);
    if (action == kAuditReversed)
        return QStringLiteral("Estornado pelo lançamento %1").arg(reference);
    return action;
}

}  // namespace

void writeAudit(Storage& storage, const AuditRow& row) {
    const bool pg = storage.isPostgres();
    QSqlQuery& q = storage.prepare(
        QStringLiteral("INSERT INTO " CTB_AUDIT_TABLE
                       " (CDEMPRESA, NRLANCCONT, ACAO, CDOPERADOR, DTHORA, NRLINHAS, VRTOTAL, DSDETALHE, "
                       "NRSEQAUDIT, NRVERSAO, NRLANCREF) VALUES (:E, :N, :A, :U, %1, :L, %2, :D, (SELECT "
                       "COALESCE(MAX(P.NRSEQAUDIT), 0) + 1 FROM " CTB_AUDIT_TABLE
                       " P WHERE P.CDEMPRESA = :E2 AND P.NRLANCCONT = :N2), :V, :R)")
            .arg(pg ? QStringLiteral("CAST(:H AS TIMESTAMP)") : QStringLiteral(":H"),
                 pg ? QStringLiteral("CAST(:T AS NUMERIC(15, 2))") : QStringLiteral(":T")));
    q.bindValue(QStringLiteral(":E"), row.company);
    q.bindValue(QStringLiteral(":N"), row.entry);
    q.bindValue(QStringLiteral(":E2"), row.company);
    q.bindValue(QStringLiteral(":N2"), row.entry);
    q.bindValue(QStringLiteral(":A"), row.action);
    q.bindValue(QStringLiteral(":U"), row.user.isEmpty() ? nullText() : QVariant(row.user.left(20)));
    q.bindValue(QStringLiteral(":H"), now());
    q.bindValue(QStringLiteral(":L"), row.lines);
    q.bindValue(QStringLiteral(":T"),
                pg ? QVariant(decimalText(row.debitCents)) : QVariant(fromCents(row.debitCents)));
    q.bindValue(QStringLiteral(":D"), QStringLiteral("versão %1").arg(row.version));
    q.bindValue(QStringLiteral(":V"), static_cast<qlonglong>(row.version));
    q.bindValue(QStringLiteral(":R"), row.reference.isEmpty() ? nullText() : QVariant(row.reference));
    storage.exec(q);
}

const std::vector<FieldDef>& auditFields() {
    static const std::vector<FieldDef> fields = {{QStringLiteral("DTHORA"), FieldType::DateTime, 0},
                                                 {QStringLiteral("CDOPERADOR"), FieldType::String, 20},
                                                 {QStringLiteral("IDACAO"), FieldType::String, 10},
                                                 {QStringLiteral("DSACAO"), FieldType::String, 60},
                                                 {QStringLiteral("NRLINHAS"), FieldType::Integer, 0},
                                                 {QStringLiteral("VRTOTAL"), FieldType::Float, 0},
                                                 {QStringLiteral("NRVERSAO"), FieldType::Integer, 0},
                                                 {QStringLiteral("NRLANCREF"), FieldType::String, 12}};
    return fields;
}

DataPacket readAudit(Storage& storage, const QString& company, const QString& entry) {
    DataPacket p;
    p.fields = auditFields();
    // Rows of other writers carry no sequence: after the numbered ones, by time.
    QSqlQuery& q = storage.prepare(QStringLiteral(
        "SELECT DTHORA, CDOPERADOR, ACAO, NRLINHAS, VRTOTAL, NRVERSAO, NRLANCREF FROM " CTB_AUDIT_TABLE
        " WHERE CDEMPRESA = :E AND NRLANCCONT = :N ORDER BY COALESCE(NRSEQAUDIT, 0) DESC, DTHORA DESC"));
    q.bindValue(QStringLiteral(":E"), company);
    q.bindValue(QStringLiteral(":N"), entry);
    storage.exec(q);
    while (q.next()) {
        Row r(static_cast<int>(p.fields.size()));
        if (const auto t = timestampOf(q.value(0)))
            r.setMsecs(0, wire::msecsFromDate(t->date()) + t->time().msecsSinceStartOfDay() / 1000 * 1000);
        else
            r.setNull(0);
        auto text = [&](int cell, int column, int size) {
            const QVariant v = q.value(column);
            if (v.isNull())
                r.setNull(cell);
            else
                r.setText(cell, QStringView(textOf(v).trimmed()).left(size));
        };
        text(1, 1, 20);
        text(2, 2, 10);
        const QString reference = textOf(q.value(6)).trimmed();
        r.setText(3, QStringView(actionText(textOf(q.value(2)).trimmed(), reference)).left(60));
        if (q.value(3).isNull())
            r.setNull(4);
        else
            r.setInteger(4, q.value(3).toLongLong());
        if (q.value(4).isNull())
            r.setNull(5);
        else
            r.setNumber(5, fromCents(toCents(q.value(4).toDouble()).value_or(0)));
        if (q.value(5).isNull())
            r.setNull(6);
        else
            r.setInteger(6, q.value(5).toLongLong());
        text(7, 6, 12);
        p.rows.push_back(std::move(r));
    }
    q.finish();
    return p;
}

}  // namespace ctb::server
