// SetLancamento: every rule again on the server, then the whole entry replaced in one transaction.

#include "server/audit_trail.h"
#include "server/entry_checks.h"
#include "server/entry_rules.h"
#include "server/errors.h"
#include "server/json_params.h"
#include "server/service.h"

#include <QSet>

namespace ctb::server {

void LancamentoService::storeEntry(const DataPacket& linesPacket, const DataPacket& allocationsPacket,
                                   const QString& user, CallContext& ctx) {
    const QString acting = actingUser(user, ctx);
    const Entry e = readEntry(linesPacket, allocationsPacket);
    const bool packetHasSystem = linesPacket.fieldIndex(u"IDSISTEMA") >= 0;
    inWriteTransaction([&](LancamentoService& s) { s.writeEntry(e, packetHasSystem, acting, ctx); });
}

void LancamentoService::writeEntry(const Entry& e, bool packetHasSystem, const QString& user,
                                   CallContext& ctx) {
    // Raising the version first locks the entry's version row, so concurrent writers of one entry
    // queue here on PostgreSQL (SQLite already holds the write lock); a refusal rolls it back.
    const std::int64_t bumped = bumpVersion(storage_, e.company, e.number);

    // Then one read: the company with its options and open period, and the stored entry with its
    // lines' period and origin, its lot and its assessment maps.
    CompanyOptions options;
    OpenPeriod period;
    bool exists = false;
    std::int64_t version = 0;
    QString storedSystem;
    {
        QSqlQuery& q = storage_.prepare(QStringLiteral(
            "SELECT S.*, E.CDEMPRESA, C.IDCONTGERE, C.CDEMPRESA, C.DTINICLANC, C.DTFINALANC, C.IDCONTCOME, "
            "C.IDMSMCONTADBCR FROM ("
            "SELECT MIN(L.DTLANCCONT) AS D1, MAX(L.DTLANCCONT) AS D2, COUNT(*) AS N, MAX(L.IDSISTEMA) AS "
            "SYS, "
            "SUM(CASE WHEN L.IDLANCINTE = 'L' THEN 1 ELSE 0 END) AS NL, "
            "(SELECT MAX(CDLOTE) FROM LOTELANC WHERE CDEMPRESA = :E2 AND NRLANCCONT = :N2) AS LOTE, "
            "(SELECT COUNT(*) FROM MAPAAPURLANC WHERE CDEMPRESA = :E3 AND NRLANCCONT = :N3) AS NM "
            "FROM LANCCONT L WHERE L.CDEMPRESA = :E AND L.NRLANCCONT = :N) S "
            "LEFT JOIN EMPRESA E ON E.CDEMPRESA = :E4 LEFT JOIN CONTOPECTBL C ON C.CDEMPRESA = E.CDEMPRESA"));
        for (const QString& suffix : {QString(), QStringLiteral("2"), QStringLiteral("3")}) {
            q.bindValue(QStringLiteral(":E") + suffix, e.company);
            q.bindValue(QStringLiteral(":N") + suffix, e.number);
        }
        q.bindValue(QStringLiteral(":E4"), e.company);
        storage_.exec(q);
        q.next();
        const auto first = dateOf(q.value(0)), last = dateOf(q.value(1));
        exists = q.value(2).toLongLong() > 0;
        storedSystem = textOf(q.value(3));
        const bool linesByLot = q.value(4).toLongLong() > 0;
        const QVariant lot = q.value(5);
        const bool tiedToMap = q.value(6).toLongLong() > 0;
        const bool known = !q.value(7).isNull();
        options.managerial = textOf(q.value(8)).trimmed();
        period.bounded = !q.value(9).isNull();
        period.from = dateOf(q.value(10));
        period.to = dateOf(q.value(11));
        options.commercial = textOf(q.value(12)).trimmed();
        options.sameAccount = textOf(q.value(13)).trimmed();
        q.finish();
        if (!known)
            throw Refusal(QStringLiteral("Empresa não cadastrada."));
        // Without a version (or with 0) the confirm is for a new entry; with one, for the entry loaded at
        // that version. Either way nothing is overwritten that the client did not see.
        const VersionStep v = settleVersion(e.company, e.number, bumped, exists);
        version = v.next;
        const std::int64_t expected = ctx.expectedVersion.value_or(0);
        if (expected == 0 && exists)
            throw Refusal(
                QStringLiteral("Já existe um lançamento contábil com o número %1. Nada foi gravado: "
                               "abra o lançamento para alterá-lo ou inclua um lançamento novo.")
                    .arg(e.number));
        if (expected != v.stored)
            throw Refusal(staleVersionMessage(e.number));
        if (!exists && expected == 0)
            guardHandedOut(e.company, e.number);
        if (exists) {
            // An entry already in a closed period may not be changed, not even moved out of it.
            for (const auto& d : {first, last})
                if (d)
                    guardPeriod(*d, period);
        }
        if (!lot.isNull() || linesByLot)
            throw Refusal(lotMessage(textOf(lot)));
        if (tiedToMap)
            guardEntry(e.company, e.number);  // builds the message naming the map
    }

    QSet<QDate> dates;
    for (const EntryLine& l : e.lines)
        dates.insert(l.date);
    for (const QDate& d : dates)
        guardPeriod(d, period);

    // The line checks, in the order the screen runs them on a line.
    EntryChecks checks(storage_, e, options);
    checks.accounts();
    checks.histories();
    checks.sameAccount();
    checks.commercial();
    checks.allocations();

    std::optional<ReversalStep> reversal;
    if (ctx.reverses)
        reversal = guardReversal(e, *ctx.reverses, exists);

    // Replace the entry. A new entry on PostgreSQL has nothing to delete: allocations cannot outlive
    // their lines there (cascading foreign key).
    if (exists || !storage_.isPostgres()) {
        for (const char* table : {"LANCCCUSTO", "LANCCONT"}) {
            QSqlQuery& d =
                storage_.prepare(QStringLiteral("DELETE FROM %1 WHERE CDEMPRESA = :E AND NRLANCCONT = :N")
                                     .arg(QLatin1String(table)));
            d.bindValue(QStringLiteral(":E"), e.company);
            d.bindValue(QStringLiteral(":N"), e.number);
            storage_.exec(d);
        }
    }
    insertLines(e, checks, packetHasSystem ? std::nullopt : std::optional<QString>(storedSystem), user);
    insertAllocations(e);

    ctx.version = version;
    std::int64_t debitCents = 0;
    for (const EntryLine& l : e.lines)
        if (l.cents < 0)
            debitCents -= l.cents;
    AuditRow audit{e.company,  e.number, exists ? kAuditChange : kAuditInclusion,
                   user,       version,  static_cast<qlonglong>(e.lines.size()),
                   debitCents, {}};
    if (reversal && reversal->isNew) {
        recordReversal(e, *reversal, user);
        audit.action = kAuditReversal;
        audit.reference = reversal->original;
    }
    writeAudit(storage_, audit);
}

// One statement for all the lines, whatever their number: the rows travel as one JSON parameter that
// the database unpacks (docs/http-api.md on sizes).
void LancamentoService::insertLines(const Entry& e, const EntryChecks& checks,
                                    const std::optional<QString>& storedSystem, const QString& user) {
    JsonRows rows;
    for (const EntryLine& l : e.lines) {
        rows.beginRow();
        rows.text(l.seq);
        rows.text(QStringView(l.account).left(20));
        rows.text(l.date.toString(Qt::ISODate));
        rows.integer(l.cents);
        rows.textOrNull(l.document, 20);
        rows.textOrNull(l.history, 600);
        rows.textOrNull(l.commercialCode, 21);
        rows.textOrNull(l.origin.isEmpty() ? QStringLiteral("M") : l.origin, 1);
        rows.text(l.side);
        rows.textOrNull(l.historyCode, 4);
        rows.textOrNull(checks.kindToStore(l), 1);
        rows.textOrNull(storedSystem ? *storedSystem : l.system, 3);
        rows.endRow();
    }
    const bool pg = storage_.isPostgres();
    QSqlQuery& ins = storage_.prepare(
        QStringLiteral(
            "INSERT INTO LANCCONT (CDEMPRESA, NRLANCCONT, NRSEQLANC, CDCONTCTBL, DTLANCCONT, VRLANCAMENT, "
            "CDDOCUCONT, DSHISTLANC, CDCONTCOME, IDLANCINTE, IDTIPOLANC, CDHISTPADR, IDLANCCOME, IDSISTEMA, "
            "CDOPERADOR) SELECT :E, :N, X.C0, X.C1, %1, %2, X.C4, X.C5, X.C6, X.C7, X.C8, X.C9, X.C10, "
            "X.C11, "
            ":U FROM %3 X")
            .arg(pg ? QStringLiteral("CAST(X.C2 AS DATE)") : QStringLiteral("X.C2"),
                 pg ? QStringLiteral("CAST(X.C3 AS NUMERIC(17, 0)) / 100") : QStringLiteral("X.C3 / 100.0"),
                 jsonRowTable(storage_, QStringLiteral(":J"), 12)));
    ins.bindValue(QStringLiteral(":E"), e.company);
    ins.bindValue(QStringLiteral(":N"), e.number);
    ins.bindValue(QStringLiteral(":U"),
                  user.isEmpty() ? QVariant(QMetaType(QMetaType::QString)) : QVariant(user.left(20)));
    ins.bindValue(QStringLiteral(":J"), rows.take());
    storage_.exec(ins);
}

void LancamentoService::insertAllocations(const Entry& e) {
    if (e.allocations.empty())
        return;
    JsonRows rows;
    for (const EntryAllocation& a : e.allocations) {
        rows.beginRow();
        rows.text(a.seq);
        rows.text(a.branch);
        rows.text(a.costCentre);
        if (a.date.isValid())
            rows.text(a.date.toString(Qt::ISODate));
        else
            rows.null();
        rows.integer(a.cents);
        rows.endRow();
    }
    const bool pg = storage_.isPostgres();
    QSqlQuery& ins = storage_.prepare(
        QStringLiteral("INSERT INTO LANCCCUSTO (CDEMPRESA, NRLANCCONT, NRSEQLANC, CDFILIAL, CDCENTCUST, "
                       "DTCOMPCUSTO, VRLANCCUST) SELECT :E, :N, X.C0, X.C1, X.C2, %1, %2 FROM %3 X")
            .arg(pg ? QStringLiteral("CAST(X.C3 AS DATE)") : QStringLiteral("X.C3"),
                 pg ? QStringLiteral("CAST(X.C4 AS NUMERIC(17, 0)) / 100") : QStringLiteral("X.C4 / 100.0"),
                 jsonRowTable(storage_, QStringLiteral(":J"), 5)));
    ins.bindValue(QStringLiteral(":E"), e.company);
    ins.bindValue(QStringLiteral(":N"), e.number);
    ins.bindValue(QStringLiteral(":J"), rows.take());
    storage_.exec(ins);
}

}  // namespace ctb::server
