// ctb-dbgen DB [--schema] [--demo] [--entries N] [--seed S] [--today YYYY-MM-DD]
// Creates the schema, loads the demo data and/or adds generated entries, printing how long each took.
#include "db/demo.h"
#include "db/schema.h"
#include "platform/sql/database.h"
#include "platform/sql/error.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QStringList>

#include <cstdio>
#include <ctime>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty() || args.first().startsWith(QStringLiteral("--"))) {
        std::fprintf(
            stderr,
            "uso: ctb-dbgen BANCO [--schema] [--demo] [--entries N] [--seed S] [--today AAAA-MM-DD]\n");
        return 2;
    }
    bool schema = false, demo = false;
    int entries = 0;
    qulonglong seed = 1;
    QDate today = QDate::currentDate();
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        const QString value = i + 1 < args.size() ? args[i + 1] : QString();
        if (a == QStringLiteral("--schema")) {
            schema = true;
        } else if (a == QStringLiteral("--demo")) {
            demo = true;
        } else if (a == QStringLiteral("--entries")) {
            entries = value.toInt();
            ++i;
        } else if (a == QStringLiteral("--seed")) {
            seed = value.toULongLong();
            ++i;
        } else if (a == QStringLiteral("--today")) {
            today = QDate::fromString(value, Qt::ISODate);
            ++i;
        } else {
            std::fprintf(stderr, "opção desconhecida: %s\n", qPrintable(a));
            return 2;
        }
    }
    try {
        auto db = ctb::sql::openDatabase(
            args.first(), {}, schema ? ctb::sql::OpenMode::CreateIfMissing : ctb::sql::OpenMode::MustExist);
        QSqlDatabase handle = db->handle();
        QElapsedTimer timer;
        if (schema) {
            timer.start();
            const bool created = ctb::db::createSchema(handle) == ctb::db::SchemaResult::Created;
            std::printf("esquema: %s em %.2f s\n", created ? "criado" : "já existente",
                        timer.elapsed() / 1000.0);
        }
        if (demo) {
            timer.start();
            const auto s = ctb::db::loadDemo(handle, today);
            std::printf("demonstração: %lld lançamentos, %lld partidas, %lld rateios em %.2f s\n",
                        static_cast<long long>(s.entries), static_cast<long long>(s.lines),
                        static_cast<long long>(s.allocations), timer.elapsed() / 1000.0);
        }
        if (entries > 0) {
            timer.start();
            const std::clock_t cpu = std::clock();
            const auto s = ctb::db::generateEntries(handle, entries, seed, today);
            const double seconds = timer.elapsed() / 1000.0;
            // Processor time of this process only (a PostgreSQL server's own work is not in it).
            const double cpuSeconds = static_cast<double>(std::clock() - cpu) / CLOCKS_PER_SEC;
            std::printf(
                "gerados: %lld lançamentos, %lld partidas, %lld rateios em %.2f s (%.2f s de CPU deste "
                "processo; %.0f partidas/s)\n",
                static_cast<long long>(s.entries), static_cast<long long>(s.lines),
                static_cast<long long>(s.allocations), seconds, cpuSeconds,
                static_cast<double>(s.lines) / seconds);
        }
    } catch (const ctb::sql::SqlError& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    return 0;
}
