#pragma once

#include <QDate>
#include <QSqlDatabase>

#include <cstdint>

namespace ctb::db {

struct DataSummary {
    qint64 entries = 0;
    qint64 lines = 0;
    qint64 allocations = 0;
};

// Loads the deterministic demo data into a database that holds the schema and no companies yet: four
// companies (01 with commercial and managerial options, 02 without accounting options, 03 with "N"/"N"/"S",
// 04 commercial only), their open periods around `today`, the chart of accounts, standard histories,
// branches and cost centres, clients, suppliers, banks and bank accounts, and about two years of
// balanced entries up to `today` (allocations, lots, assessment maps, every origin system).
// One transaction; throws sql::SqlError (Portuguese message) and leaves the database unchanged on failure.
DataSummary loadDemo(QSqlDatabase& db, QDate today);

// Adds `entries` generated entries (about four lines each) spread over the 24 months before `today`, for
// benchmarks. Loads the reference data first when the database has none. One transaction; same seed,
// same data.
DataSummary generateEntries(QSqlDatabase& db, int entries, std::uint64_t seed,
                            QDate today = QDate::currentDate());

}  // namespace ctb::db
