// A confirm that reverses another entry (request header X-Ctb-Estorno): the new entry mirrors the
// original, which is never changed, and an entry is reversed once.

#include "server/audit_trail.h"
#include "server/entry_rules.h"
#include "server/errors.h"
#include "server/money.h"
#include "server/schema_names.h"
#include "server/service.h"

#include <QHash>
#include <QStringList>

#include <algorithm>
#include <vector>

namespace ctb::server {

namespace {

const QChar kSep = u'\x1f';
const QChar kAllocSep = u'\x1e';

QString lineKey(const QString& account, std::int64_t cents) {
    return account.toUpper() + kSep + QString::number(cents);
}

QString allocationKey(const QString& branch, const QString& centre, std::int64_t cents) {
    return branch.trimmed().toUpper() + kSep + centre.trimmed().toUpper() + kSep + QString::number(cents);
}

QString withAllocations(const QString& key, QStringList allocations) {
    std::sort(allocations.begin(), allocations.end());
    return key + kAllocSep + allocations.join(kAllocSep);
}

std::int64_t centsOfColumn(const QVariant& v) {
    return toCents(v.toDouble()).value_or(0);
}

}  // namespace

LancamentoService::ReversalStep LancamentoService::guardReversal(const Entry& e, const QString& original,
                                                                 bool exists) {
    ReversalStep step;
    step.original = original;
    auto recorded = [&](const char* column, const char* by, const QString& key) {
        QSqlQuery& q = storage_.prepare(
            QStringLiteral("SELECT MIN(%1) FROM " CTB_REVERSAL_TABLE " WHERE CDEMPRESA = :E AND %2 = :N")
                .arg(QLatin1String(column), QLatin1String(by)));
        q.bindValue(QStringLiteral(":E"), e.company);
        q.bindValue(QStringLiteral(":N"), key);
        storage_.exec(q);
        const QString found = q.next() ? textOf(q.value(0)) : QString();
        q.finish();
        return found;
    };
    if (exists) {
        // The reversal was stored before: a change of it is an ordinary change.
        if (recorded("NRLANCORIG", "NRLANCCONT", e.number) == original)
            return step;
        throw Refusal(
            QStringLiteral("O lançamento contábil %1 já está gravado e não é o estorno do lançamento %2: "
                           "um estorno é gravado como lançamento novo. Nada foi gravado.")
                .arg(e.number, original));
    }
    if (original == e.number)
        throw Refusal(
            QStringLiteral("Um lançamento contábil não pode estornar a si mesmo (%1). Nada foi gravado.")
                .arg(e.number));

    // The original's version row, raised by nothing, is locked so that no one changes the original
    // while its reversal is checked against it (PostgreSQL; SQLite holds the write lock).
    {
        QSqlQuery& q =
            storage_.prepare(QStringLiteral(
                "INSERT INTO " CTB_VERSION_TABLE " (CDEMPRESA, NRLANCCONT, VERSAO) VALUES (:E, :N, 1) "
                "ON CONFLICT (CDEMPRESA, NRLANCCONT) DO UPDATE SET VERSAO = " CTB_VERSION_TABLE ".VERSAO "
                "RETURNING VERSAO"));
        q.bindValue(QStringLiteral(":E"), e.company);
        q.bindValue(QStringLiteral(":N"), original);
        storage_.exec(q);
        step.originalVersion = q.next() ? q.value(0).toLongLong() : 1;
        q.finish();
    }

    struct Line {
        QString seq, account, origin;
        std::int64_t cents = 0;
    };
    std::vector<Line> lines;
    {
        QSqlQuery& q = storage_.prepare(
            QStringLiteral("SELECT NRSEQLANC, CDCONTCTBL, VRLANCAMENT, IDLANCINTE FROM LANCCONT WHERE "
                           "CDEMPRESA = :E AND NRLANCCONT = :N"));
        q.bindValue(QStringLiteral(":E"), e.company);
        q.bindValue(QStringLiteral(":N"), original);
        storage_.exec(q);
        while (q.next())
            lines.push_back({textOf(q.value(0)).trimmed(), textOf(q.value(1)).trimmed(),
                             textOf(q.value(3)).trimmed(), centsOfColumn(q.value(2))});
        q.finish();
    }
    if (lines.empty())
        throw Refusal(
            QStringLiteral("O lançamento contábil %1, a estornar, não existe na empresa %2. Nada foi "
                           "gravado.")
                .arg(original, e.company));
    // A lot's entries change only by reverting the lot, a reversal included.
    {
        QSqlQuery& q = storage_.prepare(
            QStringLiteral("SELECT MAX(CDLOTE) FROM LOTELANC WHERE CDEMPRESA = :E AND NRLANCCONT = :N"));
        q.bindValue(QStringLiteral(":E"), e.company);
        q.bindValue(QStringLiteral(":N"), original);
        storage_.exec(q);
        const QVariant lot = q.next() ? q.value(0) : QVariant();
        q.finish();
        const bool byLot = std::any_of(lines.begin(), lines.end(),
                                       [](const Line& l) { return l.origin == QLatin1String("L"); });
        if (!lot.isNull() || byLot)
            throw Refusal(lotMessage(textOf(lot)));
    }
    if (const QString by = recorded("NRLANCCONT", "NRLANCORIG", original); !by.isEmpty())
        throw Refusal(QStringLiteral("O lançamento contábil %1 já foi estornado pelo lançamento %2. Nada foi "
                                     "gravado: um lançamento é estornado uma vez só.")
                          .arg(original, by));

    // The mirror: the same accounts, each line on the other side at the same value, the allocations
    // with their sign turned. Sequences, texts, codes and dates may differ.
    const QString notMirror = QStringLiteral(
        "O lançamento contábil %1 não é o estorno do lançamento %2: %3. Nada foi gravado: um "
        "estorno tem as contas, os valores e os rateios do lançamento original com os lados "
        "invertidos; refaça o estorno a partir do lançamento %2.");
    if (lines.size() != e.lines.size())
        throw Refusal(notMirror.arg(e.number, original,
                                    QStringLiteral("o estorno tem %1 partidas e o original %2")
                                        .arg(e.lines.size())
                                        .arg(lines.size())));
    QHash<QString, QStringList> originalAllocations;
    {
        QSqlQuery& q = storage_.prepare(
            QStringLiteral("SELECT NRSEQLANC, CDFILIAL, CDCENTCUST, VRLANCCUST FROM LANCCCUSTO WHERE "
                           "CDEMPRESA = :E AND NRLANCCONT = :N"));
        q.bindValue(QStringLiteral(":E"), e.company);
        q.bindValue(QStringLiteral(":N"), original);
        storage_.exec(q);
        while (q.next())
            originalAllocations[textOf(q.value(0)).trimmed()]
                << allocationKey(textOf(q.value(1)), textOf(q.value(2)), -centsOfColumn(q.value(3)));
        q.finish();
    }
    QHash<QString, int> byLine, byLineAndAllocations;
    for (const Line& l : lines) {
        const QString key = lineKey(l.account, -l.cents);
        ++byLine[key];
        ++byLineAndAllocations[withAllocations(key, originalAllocations.value(l.seq))];
        if (l.cents < 0)
            step.originalDebitCents -= l.cents;
    }
    step.originalLines = static_cast<qlonglong>(lines.size());
    std::vector<QStringList> allocations(e.lines.size());
    for (const EntryAllocation& a : e.allocations)
        allocations[a.line] << allocationKey(a.branch, a.costCentre, a.cents);
    for (const EntryLine& l : e.lines)
        if (--byLine[lineKey(l.account, l.cents)] < 0)
            throw Refusal(notMirror.arg(
                e.number, original,
                QStringLiteral("a partida %1 (conta %2, %3 de %4) não corresponde a uma partida do original "
                               "na mesma conta, no lado oposto e com o mesmo valor")
                    .arg(l.seq, l.account.left(20), sideName(l.side).toLower(),
                         formatCents(l.cents < 0 ? -l.cents : l.cents))));
    for (std::size_t i = 0; i < e.lines.size(); ++i) {
        const EntryLine& l = e.lines[i];
        if (--byLineAndAllocations[withAllocations(lineKey(l.account, l.cents), allocations[i])] < 0)
            throw Refusal(notMirror.arg(e.number, original,
                                        QStringLiteral("os rateios da partida %1 não são os da partida "
                                                       "correspondente do original com o sinal invertido")
                                            .arg(l.seq)));
    }
    step.isNew = true;
    return step;
}

void LancamentoService::recordReversal(const Entry& e, const ReversalStep& r, const QString& user) {
    QSqlQuery& q = storage_.prepare(
        QStringLiteral("INSERT INTO " CTB_REVERSAL_TABLE
                       " (CDEMPRESA, NRLANCCONT, NRLANCORIG, CDOPERADOR) VALUES (:E, :N, :O, :U)"));
    q.bindValue(QStringLiteral(":E"), e.company);
    q.bindValue(QStringLiteral(":N"), e.number);
    q.bindValue(QStringLiteral(":O"), r.original);
    q.bindValue(QStringLiteral(":U"),
                user.isEmpty() ? QVariant(QMetaType(QMetaType::QString)) : QVariant(user.left(20)));
    storage_.exec(q);
    // The original's trail tells who reversed it; its lines and version stay as they are.
    writeAudit(storage_, AuditRow{e.company, r.original, kAuditReversed, user, r.originalVersion,
                                  r.originalLines, r.originalDebitCents, e.number});
}

}  // namespace ctb::server
