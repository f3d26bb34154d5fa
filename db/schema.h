#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

namespace ctb::db {

// The schema version this library creates (table SCHEMAVERSAO).
inline constexpr int kSchemaVersion = 1;

enum class SchemaResult { Created, AlreadyCurrent };

// Creates every table, index and search structure in one transaction. On a database that already holds
// this schema version it does nothing (AlreadyCurrent). Throws sql::SqlError, with a Portuguese message,
// for a database holding another version or tables of its own without a version (nothing is changed).
SchemaResult createSchema(QSqlDatabase& db);

// The schema version stored in the database; 0 when there is none.
[[nodiscard]] int storedSchemaVersion(const QSqlDatabase& db);

// The embedded SQL texts (portable part, then the backend's own part) and their split statements.
[[nodiscard]] QString portableSchemaSql();
[[nodiscard]] QString backendSchemaSql(const QSqlDatabase& db);
[[nodiscard]] QStringList splitStatements(const QString& script);

// Runs one statement; throws sql::SqlError with the driver's message on failure.
void execute(const QSqlDatabase& db, const QString& statement);

}  // namespace ctb::db
