// SetLancamento: every rule again on the server, then the whole entry replaced in one transaction.

#include "server/entry_rules.h"
#include "server/errors.h"
#include "server/service.h"

#include <QHash>
#include <QSet>
#include <QStringList>

#include <algorithm>

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
    QString managerial;
    OpenPeriod period;
    bool exists = false;
    std::int64_t version = 0;
    QString storedSystem;
    {
        QSqlQuery& q = storage_.prepare(QStringLiteral(
            "SELECT S.*, E.CDEMPRESA, C.IDCONTGERE, C.CDEMPRESA, C.DTINICLANC, C.DTFINALANC FROM ("
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
        managerial = textOf(q.value(8)).trimmed();
        period.bounded = !q.value(9).isNull();
        period.from = dateOf(q.value(10));
        period.to = dateOf(q.value(11));
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

    // Accounts: known and analytic, read a few at a time.
    QHash<QString, AccountInfo> accounts;
    {
        QStringList wanted;
        QSet<QString> seen;
        for (const EntryLine& l : e.lines)
            if (!seen.contains(l.account)) {
                seen.insert(l.account);
                wanted << l.account;
            }
        constexpr qsizetype kChunk = 16;
        for (qsizetype from = 0; from < wanted.size(); from += kChunk) {
            const qsizetype n = std::min(kChunk, wanted.size() - from);
            QString sql = QStringLiteral(
                "SELECT CDCONTCTBL, IDTIPOCONT, IDCONTCCUS FROM CONTCTBL WHERE CDCONTCTBL IN (:A0");
            for (qsizetype i = 1; i < n; ++i)
                sql += QStringLiteral(", :A%1").arg(i);
            sql += u')';
            QSqlQuery& q = storage_.prepare(sql);
            for (qsizetype i = 0; i < n; ++i)
                q.bindValue(static_cast<int>(i), wanted[from + i]);
            storage_.exec(q);
            while (q.next()) {
                AccountInfo info;
                info.analytic = textOf(q.value(1)).trimmed() == QLatin1String("A");
                info.allocationFlag = textOf(q.value(2)).trimmed().left(1).toUpper();
                accounts.insert(textOf(q.value(0)), info);
            }
            q.finish();
        }
        for (const EntryLine& l : e.lines)
            if (!accounts.value(l.account).analytic)
                throw Refusal(QStringLiteral("Conta Contábil não cadastrada. (partida %1, conta %2)")
                                  .arg(l.seq, l.account));
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
    // Several lines per statement: one round trip for a usual entry on PostgreSQL. Qt's SQLite
    // driver binds in time growing with the square of the parameters, so smaller statements there.
    const std::size_t chunk = storage_.isPostgres() ? 32 : 8;
    const QString sysFallback = storedSystem;
    for (std::size_t from = 0; from < e.lines.size(); from += chunk) {
        const std::size_t n = std::min(chunk, e.lines.size() - from);
        QString sql = QStringLiteral(
            "INSERT INTO LANCCONT (CDEMPRESA, NRLANCCONT, NRSEQLANC, CDCONTCTBL, DTLANCCONT, VRLANCAMENT, "
            "CDDOCUCONT, DSHISTLANC, CDCONTCOME, IDLANCINTE, IDTIPOLANC, CDHISTPADR, IDLANCCOME, IDSISTEMA, "
            "CDOPERADOR) VALUES ");
        for (std::size_t r = 0; r < n; ++r) {
            sql += r ? QStringLiteral(", (") : QStringLiteral("(");
            for (int c = 0; c < 15; ++c)
                sql += QStringLiteral("%1:r%2c%3").arg(c ? QStringLiteral(", ") : QString()).arg(r).arg(c);
            sql += u')';
        }
        QSqlQuery& ins = storage_.prepare(sql);
        int i = 0;
        for (std::size_t r = from; r < from + n; ++r) {
            const EntryLine& l = e.lines[r];
            ins.bindValue(i++, e.company);
            ins.bindValue(i++, e.number);
            ins.bindValue(i++, l.seq);
            ins.bindValue(i++, l.account.left(20));
            ins.bindValue(i++, dateValue(storage_, l.date));
            ins.bindValue(i++, amountParam(storage_, l.cents));
            ins.bindValue(i++, textOrNull(l.document, 20));
            ins.bindValue(i++, textOrNull(l.history, 600));
            ins.bindValue(i++, textOrNull(l.commercialCode, 21));
            ins.bindValue(i++, textOrNull(l.origin.isEmpty() ? QStringLiteral("M") : l.origin, 1));
            ins.bindValue(i++, l.side);
            ins.bindValue(i++, textOrNull(l.historyCode, 4));
            ins.bindValue(i++, textOrNull(l.commercialKind, 1));
            ins.bindValue(i++, textOrNull(packetHasSystem ? l.system : sysFallback, 3));
            ins.bindValue(i++, textOrNull(user, 20));
        }
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
