#pragma once

#include "platform/sql/database.h"

#include <QDate>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariant>

#include <memory>
#include <optional>
#include <stdexcept>
#include <unordered_map>

namespace ctb::server {

// A database failure. Retryable ones (SQLite busy/locked, PostgreSQL serialization failure,
// deadlock or a unique-key race) are worth running the whole transaction again.
class DbError : public std::runtime_error {
  public:
    DbError(const QString& message, bool retryable)
        : std::runtime_error(message.toStdString()), message_(message), retryable_(retryable) {}
    [[nodiscard]] const QString& message() const { return message_; }
    [[nodiscard]] bool retryable() const { return retryable_; }

  private:
    QString message_;
    bool retryable_;
};

// One database connection, owned and used by exactly one thread, with its prepared statements.
class Storage {
  public:
    // Throws sql::SqlError when the database cannot be opened.
    explicit Storage(const QString& url);
    ~Storage();
    Storage(const Storage&) = delete;
    Storage& operator=(const Storage&) = delete;

    [[nodiscard]] QSqlDatabase db() const { return db_->handle(); }
    [[nodiscard]] sql::Backend backend() const { return db_->backend(); }
    [[nodiscard]] bool isPostgres() const { return backend() == sql::Backend::PostgreSQL; }
    // SQLite: the history-text trigram table of the schema is present.
    [[nodiscard]] bool hasHistoryIndex();

    // A prepared statement, kept for the life of the connection; bound values are cleared.
    [[nodiscard]] QSqlQuery& prepare(const QString& sql);
    // Executes, throwing DbError with what the statement was for.
    void exec(QSqlQuery& query);
    void execText(const QString& sql);  // a statement without parameters

  private:
    std::unique_ptr<sql::Database> db_;
    std::unordered_map<QString, std::unique_ptr<QSqlQuery>> cache_;
    std::optional<bool> historyIndex_;
};

// A write transaction as a scope: commit() explicitly, rolled back when left otherwise. On SQLite
// the write lock is taken at the start (BEGIN IMMEDIATE) so two writers never deadlock on upgrade.
class Transaction {
  public:
    explicit Transaction(Storage& storage);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void commit();

  private:
    Storage& storage_;
    bool open_ = true;
};

// Runs body (which opens its own Transaction) again while it fails with a retryable DbError.
template <class F>
auto withRetry(F&& body) -> decltype(body()) {
    for (int attempt = 0;; ++attempt) {
        try {
            return body();
        } catch (const DbError& e) {
            if (!e.retryable() || attempt >= 50)
                throw;
        }
    }
}

[[nodiscard]] QString textOf(const QVariant& v);
// A DATE column as read from either backend (a date, a timestamp or ISO text); nullopt when absent.
[[nodiscard]] std::optional<QDate> dateOf(const QVariant& v);

}  // namespace ctb::server
