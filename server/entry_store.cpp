// SetLancamento: every rule again on the server, then the whole entry replaced in one transaction.

#include "server/entry_rules.h"
#include "server/errors.h"
#include "server/service.h"

#include <QHash>
#include <QSet>

namespace ctb::server {

namespace {

QVariant textOrNull(const QString& s, int size) {
    if (s.isEmpty())
        return QVariant(QMetaType(QMetaType::QString));
    return QVariant(s.left(size));
}

QString decimalText(std::int64_t cents) {
    const bool negative = cents < 0;
    const std::uint64_t a = negative ? static_cast<std::uint64_t>(-cents) : static_cast<std::uint64_t>(cents);
    return QStringLiteral("%1%2.%3")
        .arg(negative ? QStringLiteral("-") : QString())
        .arg(a / 100)
        .arg(static_cast<int>(a % 100), 2, 10, QLatin1Char('0'));
}

QVariant amountParam(const Storage& s, std::int64_t cents) {
    // PostgreSQL gets the exact decimal text; SQLite stores a REAL either way.
    if (s.isPostgres())
        return QVariant(decimalText(cents));
    return QVariant(static_cast<double>(cents) / 100.0);
}

QVariant dateValue(const Storage& s, QDate d) {
    if (!d.isValid())
        return QVariant(QMetaType(QMetaType::QString));
    if (s.isPostgres())
        return QVariant(d);
    return QVariant(d.toString(Qt::ISODate));
}

struct AccountInfo {
    bool analytic = false;
    QString allocationFlag;
};

}  // namespace

void LancamentoService::storeEntry(const DataPacket& linesPacket, const DataPacket& allocationsPacket,
                                   const QString& user, CallContext& ctx) {
    const Entry e = readEntry(linesPacket, allocationsPacket);
    const bool packetHasSystem = linesPacket.fieldIndex(u"IDSISTEMA") >= 0;
    inWriteTransaction([&](LancamentoService& s) { s.writeEntry(e, packetHasSystem, user, ctx); });
}

void LancamentoService::writeEntry(const Entry& e, bool packetHasSystem, const QString& user,
                                   CallContext& ctx) {
    // Company and its options.
    QString managerial;
    {
        QSqlQuery& q =
            storage_.prepare(QStringLiteral("SELECT E.CDEMPRESA, C.IDCONTGERE FROM EMPRESA E LEFT JOIN "
                                            "CONTOPECTBL C ON C.CDEMPRESA = E.CDEMPRESA "
                                            "WHERE E.CDEMPRESA = :E"));
        q.bindValue(QStringLiteral(":E"), e.company);
        storage_.exec(q);
        const bool known = q.next();
        if (known)
            managerial = textOf(q.value(1)).trimmed();
        q.finish();
        if (!known)
            throw Refusal(QStringLiteral("Empresa não cadastrada."));
    }

    // The stored entry: its version, its own period and its origin.
    // Raising the version first locks the entry's version row, so concurrent writers of one entry
    // queue here on PostgreSQL (SQLite already holds the write lock); a refusal rolls it back.
    const std::int64_t version = bumpVersion(storage_, e.company, e.number);
    if (ctx.expectedVersion && *ctx.expectedVersion != version - 1)
        throw Refusal(staleVersionMessage(e.number));
    bool exists = false;
    QString storedSystem;
    {
        QSqlQuery& q = storage_.prepare(
            QStringLiteral("SELECT MIN(DTLANCCONT), MAX(DTLANCCONT), COUNT(*), MAX(IDSISTEMA) FROM LANCCONT "
                           "WHERE CDEMPRESA = :E AND NRLANCCONT = :N"));
        q.bindValue(QStringLiteral(":E"), e.company);
        q.bindValue(QStringLiteral(":N"), e.number);
        storage_.exec(q);
        q.next();
        const QVariant first = q.value(0), last = q.value(1);
        exists = q.value(2).toLongLong() > 0;
        storedSystem = textOf(q.value(3));
        q.finish();
        if (exists) {
            // An entry already in a closed period may not be changed, not even moved out of it.
            for (const QVariant& v : {first, last}) {
                const QDate d = QDate::fromString(textOf(v).left(10), Qt::ISODate);
                if (v.metaType().id() == QMetaType::QDate)
                    guardPeriod(e.company, v.toDate());
                else if (d.isValid())
                    guardPeriod(e.company, d);
            }
        }
    }
    guardEntry(e.company, e.number);

    QSet<QDate> dates;
    for (const EntryLine& l : e.lines)
        dates.insert(l.date);
    for (const QDate& d : dates)
        guardPeriod(e.company, d);

    // Accounts: known and analytic.
    QHash<QString, AccountInfo> accounts;
    for (const EntryLine& l : e.lines) {
        if (accounts.contains(l.account))
            continue;
        QSqlQuery& q = storage_.prepare(
            QStringLiteral("SELECT IDTIPOCONT, IDCONTCCUS FROM CONTCTBL WHERE CDCONTCTBL = :C"));
        q.bindValue(QStringLiteral(":C"), l.account);
        storage_.exec(q);
        AccountInfo info;
        if (q.next()) {
            info.analytic = textOf(q.value(0)).trimmed() == QLatin1String("A");
            info.allocationFlag = textOf(q.value(1)).trimmed().left(1).toUpper();
        }
        q.finish();
        if (!info.analytic)
            throw Refusal(QStringLiteral("Conta Contábil não cadastrada. (partida %1, conta %2)")
                              .arg(l.seq, l.account));
        accounts.insert(l.account, info);
    }

    // Standard histories.
    QSet<QString> histories;
    for (const EntryLine& l : e.lines) {
        if (l.historyCode.isEmpty() || histories.contains(l.historyCode))
            continue;
        QSqlQuery& q = storage_.prepare(QStringLiteral("SELECT 1 FROM HISTPADR WHERE CDHISTPADR = :H"));
        q.bindValue(QStringLiteral(":H"), l.historyCode);
        storage_.exec(q);
        const bool known = q.next();
        q.finish();
        if (!known)
            throw Refusal(QStringLiteral("Histórico Padrão não cadastrado. (partida %1, histórico %2)")
                              .arg(l.seq, l.historyCode));
        histories.insert(l.historyCode);
    }

    // Allocations: branch of the company, cost centre of the branch.
    QSet<QString> branchesOk, pairsOk;
    QHash<QString, std::int64_t> allocatedBySeq;
    QHash<QString, int> allocationCount;
    for (const EntryAllocation& a : e.allocations) {
        if (!branchesOk.contains(a.branch)) {
            if (!getEmprRelac(e.company, a.branch))
                throw Refusal(
                    QStringLiteral("Filial não relacionada à empresa do lançamento contábil. (filial %1)")
                        .arg(a.branch));
            branchesOk.insert(a.branch);
        }
        const QString pair = a.branch + u'\x1f' + a.costCentre;
        if (!pairsOk.contains(pair)) {
            QSqlQuery& q = storage_.prepare(
                QStringLiteral("SELECT 1 FROM CENTCUSTFIL WHERE CDFILIAL = :F AND CDCENTCUST = :C"));
            q.bindValue(QStringLiteral(":F"), a.branch);
            q.bindValue(QStringLiteral(":C"), a.costCentre);
            storage_.exec(q);
            const bool known = q.next();
            q.finish();
            if (!known)
                throw Refusal(QStringLiteral("Centro de Custo não cadastrado para filial informada. "
                                             "(filial %1, centro de custo %2)")
                                  .arg(a.branch, a.costCentre));
            pairsOk.insert(pair);
        }
        allocatedBySeq[a.seq] += a.cents;
        allocationCount[a.seq] += 1;
    }
    if (managerial == QLatin1String("S")) {
        for (const EntryLine& l : e.lines) {
            const QString flag = accounts.value(l.account).allocationFlag;
            if (flag != QLatin1String("G") && flag != QLatin1String("L") && flag != QLatin1String("R"))
                continue;
            const QString sideText =
                l.side == QLatin1String("D") ? QStringLiteral("Débito") : QStringLiteral("Crédito");
            if (allocationCount.value(l.seq) == 0) {
                if (flag == QLatin1String("L"))
                    continue;
                throw Refusal(QStringLiteral("Lançamento gerencial deve ser informado para as contas do tipo "
                                             "Gerencial e/ou Oficial/Gerencial para a partida de ") +
                              sideText);
            }
            if (allocatedBySeq.value(l.seq) != l.cents)
                throw Refusal(QStringLiteral("A soma dos rateios deve ser igual ao valor da partida de %1.")
                                  .arg(sideText));
        }
    }

    // Replace the entry.
    for (const char* table : {"LANCCCUSTO", "LANCCONT"}) {
        QSqlQuery& d =
            storage_.prepare(QStringLiteral("DELETE FROM %1 WHERE CDEMPRESA = :E AND NRLANCCONT = :N")
                                 .arg(QLatin1String(table)));
        d.bindValue(QStringLiteral(":E"), e.company);
        d.bindValue(QStringLiteral(":N"), e.number);
        storage_.exec(d);
    }
    QSqlQuery& ins = storage_.prepare(QStringLiteral(
        "INSERT INTO LANCCONT (CDEMPRESA, NRLANCCONT, NRSEQLANC, CDCONTCTBL, DTLANCCONT, VRLANCAMENT, "
        "CDDOCUCONT, "
        "DSHISTLANC, CDCONTCOME, IDLANCINTE, IDTIPOLANC, CDHISTPADR, IDLANCCOME, IDSISTEMA, CDOPERADOR) "
        "VALUES (:E, :N, :S, :C, :D, :V, :DOC, :H, :CC, :I, :T, :HP, :K, :SYS, :OP)"));
    for (const EntryLine& l : e.lines) {
        ins.bindValue(QStringLiteral(":E"), e.company);
        ins.bindValue(QStringLiteral(":N"), e.number);
        ins.bindValue(QStringLiteral(":S"), l.seq);
        ins.bindValue(QStringLiteral(":C"), l.account.left(20));
        ins.bindValue(QStringLiteral(":D"), dateValue(storage_, l.date));
        ins.bindValue(QStringLiteral(":V"), amountParam(storage_, l.cents));
        ins.bindValue(QStringLiteral(":DOC"), textOrNull(l.document, 20));
        ins.bindValue(QStringLiteral(":H"), textOrNull(l.history, 600));
        ins.bindValue(QStringLiteral(":CC"), textOrNull(l.commercialCode, 21));
        ins.bindValue(QStringLiteral(":I"),
                      textOrNull(l.origin.isEmpty() ? QStringLiteral("M") : l.origin, 1));
        ins.bindValue(QStringLiteral(":T"), l.side);
        ins.bindValue(QStringLiteral(":HP"), textOrNull(l.historyCode, 4));
        ins.bindValue(QStringLiteral(":K"), textOrNull(l.commercialKind, 1));
        ins.bindValue(QStringLiteral(":SYS"), textOrNull(packetHasSystem ? l.system : storedSystem, 3));
        ins.bindValue(QStringLiteral(":OP"), textOrNull(user, 20));
        storage_.exec(ins);
    }
    QSqlQuery& insA = storage_.prepare(
        QStringLiteral("INSERT INTO LANCCCUSTO (CDEMPRESA, NRLANCCONT, NRSEQLANC, CDFILIAL, CDCENTCUST, "
                       "DTCOMPCUSTO, VRLANCCUST) VALUES (:E, :N, :S, :F, :C, :D, :V)"));
    for (const EntryAllocation& a : e.allocations) {
        insA.bindValue(QStringLiteral(":E"), e.company);
        insA.bindValue(QStringLiteral(":N"), e.number);
        insA.bindValue(QStringLiteral(":S"), a.seq);
        insA.bindValue(QStringLiteral(":F"), a.branch);
        insA.bindValue(QStringLiteral(":C"), a.costCentre);
        insA.bindValue(QStringLiteral(":D"), dateValue(storage_, a.date));
        insA.bindValue(QStringLiteral(":V"), amountParam(storage_, a.cents));
        storage_.exec(insA);
    }
    ctx.version = version;
    std::int64_t debitCents = 0;
    for (const EntryLine& l : e.lines)
        if (l.cents < 0)
            debitCents -= l.cents;
    writeAudit(storage_, e.company, e.number,
               exists ? QStringLiteral("ALTERACAO") : QStringLiteral("INCLUSAO"), user, *ctx.version,
               static_cast<qlonglong>(e.lines.size()), debitCents);
}

}  // namespace ctb::server
