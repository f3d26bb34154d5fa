#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

namespace ctb::db {

// The schema version this library creates (table SCHEMAVERSAO).
// 2: SQLite indexes the history text of new lines after their commit (LANCCONT_FTS_PEND).
// 3: the audit trail numbers its rows and names versions and reversals; reversals (LANCESTORNO).
inline constexpr int kSchemaVersion = 3;

enum class SchemaResult { Created, AlreadyCurrent, Upgraded };

// Creates every table, index and search structure in one transaction. On a database that already holds
// this schema version it does nothing (AlreadyCurrent); one of an earlier version is brought up to date
// (Upgraded). Throws sql::SqlError, with a Portuguese message, for a database holding a later version or
// tables of its own without a version (nothing is changed).
SchemaResult createSchema(QSqlDatabase& db);

// Brings a database of an earlier schema version up to this one in one transaction (createSchema does
// it too); returns false when it already was. Throws sql::SqlError for a later or missing version.
bool upgradeSchema(QSqlDatabase& db);

// SQLite: moves the lines waiting for the history search index (LANCCONT_FTS_PEND) into it, in a write
// transaction of its own; returns how many. Nothing to do on PostgreSQL, whose index the database keeps.
// Throws sql::SqlError (a busy database included; the lines then simply wait for the next call).
qint64 indexPendingHistory(const QSqlDatabase& db);

// The schema version stored in the database; 0 when there is none.
[[nodiscard]] int storedSchemaVersion(const QSqlDatabase& db);

// The embedded SQL texts (portable part, then the backend's own part) and their split statements.
[[nodiscard]] QString portableSchemaSql();
[[nodiscard]] QString backendSchemaSql(const QSqlDatabase& db);
[[nodiscard]] QStringList splitStatements(const QString& script);

namespace detail {
// indexPendingHistory's work inside the caller's transaction (SQLite; nothing on PostgreSQL).
qint64 indexQueuedHistory(const QSqlDatabase& db);
}  // namespace detail

// Runs one statement; throws sql::SqlError with the driver's message on failure.
void execute(const QSqlDatabase& db, const QString& statement);

}  // namespace ctb::db
