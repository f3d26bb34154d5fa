#include "server/storage.h"

#include <QDateTime>
#include <QSqlError>

#include <chrono>
#include <random>
#include <thread>

namespace ctb::server {

namespace {

bool isRetryable(const QSqlError& e, bool postgres) {
    const QString code = e.nativeErrorCode();
    if (postgres)
        return code == QLatin1String("40001") || code == QLatin1String("40P01") ||
               code == QLatin1String("23505") || code == QLatin1String("55P03");
    // SQLITE_BUSY (5), SQLITE_LOCKED (6), including their extended codes.
    bool ok = false;
    const int n = code.toInt(&ok);
    if (ok && ((n & 0xff) == 5 || (n & 0xff) == 6))
        return true;
    const QString text = e.databaseText();
    return text.contains(QLatin1String("database is locked")) ||
           text.contains(QLatin1String("database is busy"));
}

void backOff() {
    thread_local std::minstd_rand rng{std::random_device{}()};
    std::this_thread::sleep_for(std::chrono::microseconds(200 + rng() % 2000));
}

}  // namespace

Storage::Storage(const QString& url) : db_(sql::openDatabase(url)) {
    if (backend() == sql::Backend::SQLite) {
        // Every confirmed entry must survive a power cut.
        execText(QStringLiteral("PRAGMA synchronous=FULL"));
        // Savepoint journals and temporary tables only, never the database: memory is enough.
        execText(QStringLiteral("PRAGMA temp_store=MEMORY"));
    }
}

Storage::~Storage() {
    cache_.clear();
}

QSqlQuery& Storage::prepare(const QString& sql) {
    auto it = cache_.find(sql);
    if (it == cache_.end()) {
        if (cache_.size() > 256)
            cache_.clear();  // dynamic list queries vary; keep the cache bounded
        auto q = std::make_unique<QSqlQuery>(db());
        // PostgreSQL: Qt reads a forward-only result one row per round of the client library;
        // a whole result arrives at once otherwise, much faster for a list of a thousand lines.
        q->setForwardOnly(!isPostgres());
        if (!q->prepare(sql))
            throw DbError(
                QStringLiteral("Erro ao preparar comando no banco de dados: %1").arg(q->lastError().text()),
                isRetryable(q->lastError(), isPostgres()));
        it = cache_.emplace(sql, std::move(q)).first;
    }
    it->second->finish();
    return *it->second;
}

void Storage::exec(QSqlQuery& query) {
    if (query.exec())
        return;
    const QSqlError e = query.lastError();
    const bool retry = isRetryable(e, isPostgres());
    if (retry)
        backOff();
    throw DbError(QStringLiteral("Erro no banco de dados: %1").arg(e.text()), retry);
}

void Storage::execText(const QString& sql) {
    QSqlQuery q(db());
    if (q.exec(sql))
        return;
    const QSqlError e = q.lastError();
    const bool retry = isRetryable(e, isPostgres());
    if (retry)
        backOff();
    throw DbError(QStringLiteral("Erro no banco de dados: %1").arg(e.text()), retry);
}

Transaction::Transaction(Storage& storage) : storage_(storage) {
    storage_.execText(storage_.isPostgres() ? QStringLiteral("BEGIN") : QStringLiteral("BEGIN IMMEDIATE"));
}

Transaction::~Transaction() {
    if (!open_)
        return;
    QSqlQuery q(storage_.db());
    q.exec(QStringLiteral("ROLLBACK"));
}

void Transaction::commit() {
    storage_.execText(QStringLiteral("COMMIT"));
    open_ = false;
}

bool Storage::hasHistoryIndex() {
    if (!historyIndex_) {
        QSqlQuery q(db());
        historyIndex_ = !isPostgres() &&
                        q.exec(QStringLiteral("SELECT 1 FROM sqlite_master WHERE name = 'LANCCONT_FTS'")) &&
                        q.next();
    }
    return *historyIndex_;
}

std::optional<QDate> dateOf(const QVariant& v) {
    if (v.isNull())
        return std::nullopt;
    if (v.metaType().id() == QMetaType::QDate)
        return v.toDate();
    if (v.metaType().id() == QMetaType::QDateTime)
        return v.toDateTime().date();
    const QDate d = QDate::fromString(v.toString().left(10), Qt::ISODate);
    if (!d.isValid())
        return std::nullopt;
    return d;
}

QString textOf(const QVariant& v) {
    return v.isNull() ? QString() : v.toString();
}

}  // namespace ctb::server
