#include "db/demo.h"

#include "db/batch_insert.h"
#include "db/entry_builder.h"
#include "db/reference_data.h"
#include "db/schema.h"
#include "platform/sql/database.h"
#include "platform/sql/error.h"

#include <QSqlError>
#include <QSqlQuery>

#include <algorithm>

namespace ctb::db {
namespace {

using detail::Company;
using detail::EntryDraft;
using detail::Template;

qint64 countRows(const QSqlDatabase& db, const QString& table) {
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("SELECT COUNT(*) FROM %1").arg(table)) || !q.next())
        throw sql::SqlError(QStringLiteral("Erro ao ler a tabela %1.").arg(table), q.lastError().text());
    return q.value(0).toLongLong();
}

void requireSchema(const QSqlDatabase& db) {
    if (!db.isOpen())
        throw sql::SqlError(QStringLiteral("Conexão com o banco de dados não está aberta."));
    if (storedSchemaVersion(db) != kSchemaVersion)
        throw sql::SqlError(
            QStringLiteral("O banco de dados não tem o esquema dos lançamentos contábeis (versão %1).")
                .arg(kSchemaVersion));
}

// Sorted random days of one month, never after today.
std::vector<QDate> daysOf(detail::Rng& rng, QDate monthStart, QDate today, int count) {
    const QDate monthEnd = monthStart.addMonths(1).addDays(-1);
    const QDate last = std::min(monthEnd, today);
    std::vector<QDate> days;
    for (int i = 0; i < count; ++i)
        days.push_back(monthStart.addDays(rng.between(0, monthStart.daysTo(last))));
    std::sort(days.begin(), days.end());
    return days;
}

DataSummary summaryOf(const detail::WriteStats& s) {
    return {s.entries, s.lines, s.allocations};
}

QString backendStatement(const QSqlDatabase& db, const QString& marker) {
    for (const QString& st : splitStatements(backendSchemaSql(db)))
        if (st.contains(marker) && st.startsWith(QStringLiteral("CREATE")))
            return st;
    throw sql::SqlError(QStringLiteral("Instrução do esquema não encontrada: %1.").arg(marker));
}

// A generation's whole transaction fits in SQLite's page cache, so pages are written once at commit
// rather than spilled to the log as the transaction grows.
class LargeCache {
  public:
    explicit LargeCache(const QSqlDatabase& db)
        : db_(db), active_(sql::backendOf(db) == sql::Backend::SQLite) {
        if (!active_)
            return;
        QSqlQuery q(db_);
        if (q.exec(QStringLiteral("PRAGMA cache_size")) && q.next())
            previous_ = q.value(0).toLongLong();
        q.exec(QStringLiteral("PRAGMA cache_size = -524288"));
    }
    ~LargeCache() {
        if (!active_)
            return;
        QSqlQuery q(db_);
        q.exec(QStringLiteral("PRAGMA cache_size = %1").arg(previous_));
    }
    LargeCache(const LargeCache&) = delete;
    LargeCache& operator=(const LargeCache&) = delete;

  private:
    QSqlDatabase db_;
    bool active_;
    qint64 previous_ = -2000;
};

// A large generation builds the history search index once at the end instead of row by row
// (inside the caller's transaction, so a failure restores the index with everything else).
class SearchIndexPause {
  public:
    SearchIndexPause(const QSqlDatabase& db, bool active) : db_(db), active_(active) {
        if (!active_)
            return;
        execute(db_, postgres() ? QStringLiteral("DROP INDEX LANCCONT_DSHISTLANC_TRGM")
                                : QStringLiteral("DROP TRIGGER LANCCONT_FTS_AI"));
    }
    void resume() {
        if (!active_)
            return;
        if (postgres()) {
            execute(db_, backendStatement(db_, QStringLiteral("LANCCONT_DSHISTLANC_TRGM")));
        } else {
            // The rebuild indexes every line, the queued ones too.
            execute(db_, QStringLiteral("INSERT INTO LANCCONT_FTS (LANCCONT_FTS) VALUES ('rebuild')"));
            execute(db_, QStringLiteral("DELETE FROM LANCCONT_FTS_PEND"));
            execute(db_, backendStatement(db_, QStringLiteral("LANCCONT_FTS_AI")));
        }
    }

  private:
    bool postgres() const { return sql::backendOf(db_) == sql::Backend::PostgreSQL; }
    QSqlDatabase db_;
    bool active_;
};

}  // namespace

DataSummary loadDemo(QSqlDatabase& db, QDate today) {
    requireSchema(db);
    if (!today.isValid())
        throw sql::SqlError(QStringLiteral("Data de referência inválida para os dados de demonstração."));
    if (countRows(db, QStringLiteral("EMPRESA")) > 0)
        throw sql::SqlError(QStringLiteral(
            "O banco de dados já contém empresas; os dados de demonstração não foram carregados."));

    Transaction tx(db);
    detail::insertReferenceData(db, today);
    detail::EntryFactory factory(20240101);
    detail::EntryWriter writer(db, factory.rng(), true);
    const QDate thisMonth(today.year(), today.month(), 1);
    for (const Company& company : detail::companies()) {
        int cycled = 0;  // the first entries of each company go through every template once
        for (int back = 23; back >= 0; --back) {
            const QDate month = thisMonth.addMonths(-back);
            const int count = static_cast<int>(factory.rng().between(company.monthlyMin, company.monthlyMax));
            std::vector<QDate> days = daysOf(factory.rng(), month, today, count);
            const bool yearEnd = month.month() == 12 && month.addMonths(1).addDays(-1) <= today;
            for (const QDate& day : days) {
                Template kind = factory.pick(company, false);
                while (back < 12 && cycled < static_cast<int>(Template::Count)) {
                    const auto next = static_cast<Template>(cycled++);
                    if (!detail::EntryFactory::allows(next, company))
                        continue;
                    kind = next;
                    break;
                }
                writer.write(factory.make(kind, company, day));
            }
            if (yearEnd)
                writer.write(factory.closing(company, month.addMonths(1).addDays(-1)));
        }
    }
    writer.finish();
    detail::indexQueuedHistory(db);  // a fresh database has nothing waiting for the search index
    tx.commit();
    return summaryOf(writer.stats());
}

DataSummary generateEntries(QSqlDatabase& db, int entries, std::uint64_t seed, QDate today) {
    requireSchema(db);
    if (entries < 0)
        throw sql::SqlError(QStringLiteral("Quantidade de lançamentos inválida."));
    const LargeCache cache(db);
    Transaction tx(db);
    if (countRows(db, QStringLiteral("EMPRESA")) == 0)
        detail::insertReferenceData(db, today);
    {
        QSqlQuery q(db);
        if (!q.exec(QStringLiteral(
                "SELECT COUNT(*) FROM CONTCTBL WHERE CDCONTCTBL IN ('1.1.02.001', '4.2.01.006', "
                "'2.1.03.001')")) ||
            !q.next() || q.value(0).toInt() != 3)
            throw sql::SqlError(
                QStringLiteral("O plano de contas não é o dos dados de demonstração; os lançamentos não "
                               "foram gerados."));
    }
    SearchIndexPause pause(db, entries >= 5000);
    detail::EntryFactory factory(seed);
    detail::EntryWriter writer(db, factory.rng(), false);
    std::vector<const Company*> weighted;
    int totalWeight = 0;
    for (const Company& c : detail::companies())
        if (c.generatorWeight > 0) {
            weighted.push_back(&c);
            totalWeight += c.generatorWeight;
        }
    const QDate thisMonth(today.year(), today.month(), 1);
    // Entries are spread evenly over company and month buckets so numbering follows dates.
    const int buckets = 24;
    int written = 0;
    for (std::size_t ci = 0; ci < weighted.size(); ++ci) {
        const Company& company = *weighted[ci];
        const int share = ci + 1 == weighted.size()
                              ? entries - written
                              : static_cast<int>(qint64(entries) * company.generatorWeight / totalWeight);
        written += share;
        for (int b = 0; b < buckets; ++b) {
            const int count = share / buckets + (b < share % buckets ? 1 : 0);
            const QDate month = thisMonth.addMonths(-(buckets - 1 - b));
            for (const QDate& day : daysOf(factory.rng(), month, today, count))
                writer.write(factory.make(factory.pick(company, true), company, day));
        }
    }
    writer.finish();
    pause.resume();
    detail::indexQueuedHistory(db);
    tx.commit();
    return summaryOf(writer.stats());
}

}  // namespace ctb::db
