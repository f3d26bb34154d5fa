#pragma once

#include <QString>

namespace ctb::server {

// Creates the schema (db/) and, when asked, the demo data (demoSize > 0 adds that many generated
// entries) in a SQLite file or a PostgreSQL database. Throws std::runtime_error (Portuguese message).
void initDatabase(const QString& url, bool demo, long long demoSize);

// Fails (std::runtime_error) when the database cannot be opened or lacks the tables the server uses.
void checkDatabase(const QString& url);

}  // namespace ctb::server
