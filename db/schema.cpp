#include "db/schema.h"

#include "db/batch_insert.h"

#include "platform/sql/database.h"
#include "platform/sql/error.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace ctb::db {
namespace detail {
extern const char* const k_schema;
extern const char* const k_schema_sqlite;
extern const char* const k_schema_postgres;
}  // namespace detail

namespace {

// Tables this schema owns; any of them without a version row means a database we did not set up.
const char* const kOwnTables[] = {"EMPRESA",      "CONTOPECTBL", "HISTPADR",   "FILIAL",     "CONTCTBL",
                                  "CLIENTE",      "FORNECEDOR",  "CONTCORR",   "BANCO",      "CENTCUST",
                                  "EMPRFILIAL",   "CENTCUSTFIL", "LANCCONT",   "LANCCCUSTO", "LOTELANC",
                                  "MAPAAPURLANC", "NUMLANC",     "LANCVERSAO", "LANCAUDIT",  "LANCESTORNO"};

bool hasTable(const QStringList& tables, const QString& name) {
    for (const QString& t : tables)
        if (t.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

void recordVersion(const QSqlDatabase& db, int version, const QString& description) {
    QSqlQuery q(db);
    q.prepare(QStringLiteral("INSERT INTO SCHEMAVERSAO (VERSAO, DSVERSAO) VALUES (?, ?)"));
    q.addBindValue(version);
    q.addBindValue(description);
    if (!q.exec())
        throw sql::SqlError(QStringLiteral("Erro ao registrar a versão do esquema."), q.lastError().text());
}

}  // namespace

QString portableSchemaSql() {
    return QString::fromUtf8(detail::k_schema);
}

QString backendSchemaSql(const QSqlDatabase& db) {
    return QString::fromUtf8(sql::backendOf(db) == sql::Backend::PostgreSQL ? detail::k_schema_postgres
                                                                            : detail::k_schema_sqlite);
}

QStringList splitStatements(const QString& script) {
    // Statements end with ';' at the end of a line; a trigger ends at its "END;" line.
    QStringList out;
    QString current;
    bool inTrigger = false;
    for (const QString& raw : script.split(u'\n')) {
        const QString line = raw.trimmed();
        if (current.isEmpty() && (line.isEmpty() || line.startsWith(QStringLiteral("--"))))
            continue;
        if (current.isEmpty())
            inTrigger = line.startsWith(QStringLiteral("CREATE TRIGGER"), Qt::CaseInsensitive);
        current += raw + u'\n';
        const bool ends =
            inTrigger ? line.compare(QStringLiteral("END;"), Qt::CaseInsensitive) == 0 : line.endsWith(u';');
        if (ends) {
            QString statement = current.trimmed();
            statement.chop(1);
            out << statement.trimmed();
            current.clear();
        }
    }
    if (!current.trimmed().isEmpty())
        out << current.trimmed();
    return out;
}

void execute(const QSqlDatabase& db, const QString& statement) {
    QSqlQuery q(db);
    if (!q.exec(statement)) {
        const QString head = statement.simplified().left(80);
        throw sql::SqlError(
            QStringLiteral("Erro ao criar o esquema do banco de dados: %1").arg(head),
            q.lastError().databaseText().isEmpty() ? q.lastError().text() : q.lastError().databaseText());
    }
}

int storedSchemaVersion(const QSqlDatabase& db) {
    if (!hasTable(db.tables(), QStringLiteral("SCHEMAVERSAO")))
        return 0;
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("SELECT MAX(VERSAO) FROM SCHEMAVERSAO")) || !q.next())
        return 0;
    return q.value(0).toInt();
}

bool upgradeSchema(QSqlDatabase& db) {
    const int version = storedSchemaVersion(db);
    if (version == kSchemaVersion)
        return false;
    if (version < 1 || version > kSchemaVersion)
        throw sql::SqlError(
            QStringLiteral("O banco de dados está na versão %1 do esquema e este programa usa a versão "
                           "%2; o esquema não foi alterado.")
                .arg(version)
                .arg(kSchemaVersion));
    Transaction tx(db);
    const bool sqlite = sql::backendOf(db) == sql::Backend::SQLite;
    if (version < 2) {
        if (sqlite) {
            // 1 -> 2: the text index triggers now queue lines; every line of version 1 is indexed.
            for (const char* trigger : {"LANCCONT_FTS_AI", "LANCCONT_FTS_AD", "LANCCONT_FTS_AU"})
                execute(db, QStringLiteral("DROP TRIGGER IF EXISTS %1").arg(QLatin1String(trigger)));
            for (const QString& s : splitStatements(backendSchemaSql(db)))
                if (!s.startsWith(QStringLiteral("CREATE VIRTUAL TABLE"), Qt::CaseInsensitive))
                    execute(db, s);
        }
        recordVersion(db, 2, QStringLiteral("Índice de históricos após a gravação"));
    }
    if (version < 3) {
        // 2 -> 3: as in schema.sql; steps already there are left alone.
        // SQLite has no ADD COLUMN IF NOT EXISTS; PostgreSQL's record() misses the folded names.
        const QSqlRecord audit = db.record(QStringLiteral("LANCAUDIT"));
        for (const char* column : {"NRSEQAUDIT INTEGER DEFAULT NULL", "NRVERSAO INTEGER DEFAULT NULL",
                                   "NRLANCREF VARCHAR(12) DEFAULT NULL"}) {
            const QString c = QString::fromLatin1(column);
            if (!sqlite)
                execute(db, QStringLiteral("ALTER TABLE LANCAUDIT ADD COLUMN IF NOT EXISTS %1").arg(c));
            else if (!audit.contains(c.section(u' ', 0, 0)))
                execute(db, QStringLiteral("ALTER TABLE LANCAUDIT ADD COLUMN %1").arg(c));
        }
        // The rows so far, numbered per entry in the order they were written.
        execute(db,
                sqlite
                    ? QStringLiteral(
                          "UPDATE LANCAUDIT SET NRSEQAUDIT = X.RN FROM (SELECT rowid AS R, ROW_NUMBER() "
                          "OVER (PARTITION BY CDEMPRESA, NRLANCCONT ORDER BY rowid) AS RN FROM LANCAUDIT) X "
                          "WHERE LANCAUDIT.rowid = X.R AND LANCAUDIT.NRSEQAUDIT IS NULL")
                    : QStringLiteral(
                          "UPDATE LANCAUDIT A SET NRSEQAUDIT = X.RN FROM (SELECT ctid AS R, ROW_NUMBER() "
                          "OVER (PARTITION BY CDEMPRESA, NRLANCCONT ORDER BY DTHORA, ctid) AS RN FROM "
                          "LANCAUDIT) X WHERE A.ctid = X.R AND A.NRSEQAUDIT IS NULL"));
        execute(db, QStringLiteral("DROP INDEX IF EXISTS LANCAUDIT_LANC"));
        execute(db,
                QStringLiteral(
                    "CREATE UNIQUE INDEX IF NOT EXISTS LANCAUDIT_SEQ ON LANCAUDIT (CDEMPRESA, NRLANCCONT, "
                    "NRSEQAUDIT)"));
        execute(db,
                QStringLiteral("CREATE TABLE IF NOT EXISTS LANCESTORNO (CDEMPRESA VARCHAR(2) NOT NULL, "
                               "NRLANCCONT VARCHAR(12) NOT NULL, NRLANCORIG VARCHAR(12) NOT NULL, CDOPERADOR "
                               "VARCHAR(20), DTHORA TIMESTAMP DEFAULT CURRENT_TIMESTAMP, PRIMARY KEY "
                               "(CDEMPRESA, NRLANCCONT))"));
        execute(db, QStringLiteral("CREATE UNIQUE INDEX IF NOT EXISTS LANCESTORNO_ORIGEM ON LANCESTORNO "
                                   "(CDEMPRESA, NRLANCORIG)"));
        recordVersion(db, 3, QStringLiteral("Trilha de auditoria numerada e estornos"));
    }
    tx.commit();
    return true;
}

namespace detail {
qint64 indexQueuedHistory(const QSqlDatabase& db) {
    if (sql::backendOf(db) != sql::Backend::SQLite)
        return 0;
    QSqlQuery q(db);
    auto run = [&](const QString& statement) {
        if (!q.exec(statement))
            throw sql::SqlError(
                QStringLiteral("Erro ao atualizar o índice de históricos."),
                q.lastError().databaseText().isEmpty() ? q.lastError().text() : q.lastError().databaseText());
    };
    run(
        QStringLiteral("INSERT INTO LANCCONT_FTS (rowid, DSHISTLANC) SELECT L.rowid, L.DSHISTLANC "
                       "FROM LANCCONT_FTS_PEND P CROSS JOIN LANCCONT L ON L.rowid = P.ROWIDLANC"));
    const qint64 indexed = q.numRowsAffected();
    run(QStringLiteral("DELETE FROM LANCCONT_FTS_PEND"));
    return indexed;
}
}  // namespace detail

qint64 indexPendingHistory(const QSqlDatabase& db) {
    if (sql::backendOf(db) != sql::Backend::SQLite)
        return 0;
    // BEGIN IMMEDIATE: the lines read are the lines dequeued, whatever other writers do.
    execute(db, QStringLiteral("BEGIN IMMEDIATE"));
    try {
        const qint64 indexed = detail::indexQueuedHistory(db);
        execute(db, QStringLiteral("COMMIT"));
        return indexed;
    } catch (...) {
        QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
        throw;
    }
}

SchemaResult createSchema(QSqlDatabase& db) {
    if (!db.isOpen())
        throw sql::SqlError(QStringLiteral("Conexão com o banco de dados não está aberta."));
    const QStringList tables = db.tables();
    if (hasTable(tables, QStringLiteral("SCHEMAVERSAO"))) {
        if (storedSchemaVersion(db) == kSchemaVersion)
            return SchemaResult::AlreadyCurrent;
        (void)upgradeSchema(db);
        return SchemaResult::Upgraded;
    }
    QStringList found;
    for (const char* t : kOwnTables)
        if (hasTable(tables, QString::fromLatin1(t)))
            found << QString::fromLatin1(t);
    if (!found.isEmpty())
        throw sql::SqlError(
            QStringLiteral("O banco de dados já contém tabelas sem controle de versão (%1); o esquema "
                           "não foi criado.")
                .arg(found.join(QStringLiteral(", "))));

    Transaction tx(db);
    for (const QString& s : splitStatements(portableSchemaSql()))
        execute(db, s);
    for (const QString& s : splitStatements(backendSchemaSql(db)))
        execute(db, s);
    recordVersion(db, kSchemaVersion, QStringLiteral("Lançamentos contábeis"));
    tx.commit();
    return SchemaResult::Created;
}

}  // namespace ctb::db
