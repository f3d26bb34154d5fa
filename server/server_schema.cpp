#include "server/server_schema.h"

#include "db/demo.h"
#include "db/schema.h"
#include "platform/sql/database.h"
#include "platform/sql/error.h"
#include "server/schema_names.h"

#include <QDate>
#include <QSqlQuery>

#include <limits>
#include <stdexcept>

namespace ctb::server {

void checkDatabase(const QString& url) {
    try {
        auto database = sql::openDatabase(url);
        QSqlQuery q(database->handle());
        for (const char* table : {"LANCCONT", "LANCCCUSTO", "NUMLANC", CTB_VERSION_TABLE, CTB_AUDIT_TABLE}) {
            if (!q.exec(QStringLiteral("SELECT 1 FROM %1 WHERE 1 = 0").arg(QLatin1String(table))))
                throw std::runtime_error(
                    QStringLiteral("O banco de dados %1 não tem a tabela %2. Crie o esquema com "
                                   "ctb-server --init-db %1.")
                        .arg(database->url().display(), QLatin1String(table))
                        .toStdString());
            q.finish();
        }
        // A database of an earlier version is brought up to date before serving.
        QSqlDatabase handle = database->handle();
        if (db::storedSchemaVersion(handle) != db::kSchemaVersion)
            (void)db::upgradeSchema(handle);
    } catch (const sql::SqlError& e) {
        throw std::runtime_error(e.what());
    }
}

void initDatabase(const QString& url, bool demo, long long demoSize) {
    try {
        auto database = sql::openDatabase(url, {}, sql::OpenMode::CreateIfMissing);
        QSqlDatabase db = database->handle();
        db::createSchema(db);
        const QDate today = QDate::currentDate();
        if (demo)
            (void)db::loadDemo(db, today);
        if (demoSize > 0) {
            if (demoSize > std::numeric_limits<int>::max())
                throw std::runtime_error("--demo-size grande demais.");
            (void)db::generateEntries(db, static_cast<int>(demoSize), 20261208u, today);
        }
    } catch (const sql::SqlError& e) {
        throw std::runtime_error(e.what());
    }
}

}  // namespace ctb::server
