#pragma once

// A throwaway database per test (SQLite file or PostgreSQL database of the test cluster) with a small,
// known set of reference rows, and an application server on a free loopback port in front of it.

#include "db/schema.h"
#include "platform/net/http_client.h"
#include "platform/net/wire.h"
#include "platform/sql/database.h"
#include "server/http_server.h"
#include "tests/support/pg_cluster.h"

#include <QSqlError>
#include <QSqlQuery>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace ctb::test {

inline const char* kModule = "CTB10000.rdmLancamento";
inline const char* kMaps = "Ctb11000.rdmLancamentos";

inline QString freshDatabase(const std::string& backend) {
    if (backend == "postgres")
        return PgCluster::instance().createDatabase();
    return tempSqlitePath(QStringLiteral("server"));
}

inline void execOrFail(QSqlDatabase& db, const QString& sql) {
    QSqlQuery q(db);
    ASSERT_TRUE(q.exec(sql)) << sql.toStdString() << "\n" << q.lastError().text().toStdString();
}

inline void createSchema(QSqlDatabase& db) {
    db::createSchema(db);
}

// Reference rows every server test relies on. Company 01 keeps managerial and commercial lines,
// company 02 has no accounting options, company 03 has a period closed before 2026-06-01.
inline void loadReference(QSqlDatabase& db) {
    const char* rows[] = {
        "INSERT INTO EMPRESA (CDEMPRESA, NMEMPRESA) VALUES ('T1', 'Empresa de teste 1')",
        "INSERT INTO EMPRESA (CDEMPRESA, NMEMPRESA) VALUES ('T2', 'Empresa de teste 2')",
        "INSERT INTO EMPRESA (CDEMPRESA, NMEMPRESA) VALUES ('T3', 'Empresa de teste 3')",
        "INSERT INTO CONTOPECTBL (CDEMPRESA, IDCONTGERE, IDCONTCOME, IDMSMCONTADBCR, DTINICLANC, DTFINALANC) "
        "VALUES ('T1', 'S', 'S', 'N', '2026-01-01', '2026-12-31')",
        "INSERT INTO CONTOPECTBL (CDEMPRESA, IDCONTGERE, IDCONTCOME, IDMSMCONTADBCR, DTINICLANC, DTFINALANC) "
        "VALUES ('T3', 'N', 'N', 'S', '2026-06-01', '2026-12-31')",
        "INSERT INTO HISTPADR (CDHISTPADR, DSHISTPADR) VALUES ('T001', 'Pagamento')",
        "INSERT INTO HISTPADR (CDHISTPADR, DSHISTPADR) VALUES ('T002', 'Recebimento')",
        "INSERT INTO FILIAL (CDFILIAL, NMFILIAL) VALUES ('T101', 'Filial Um')",
        "INSERT INTO FILIAL (CDFILIAL, NMFILIAL) VALUES ('T102', 'Filial Dois')",
        "INSERT INTO FILIAL (CDFILIAL, NMFILIAL) VALUES ('T199', 'Filial de outra empresa')",
        "INSERT INTO EMPRFILIAL (CDEMPRESA, CDFILIAL) VALUES ('T1', 'T101')",
        "INSERT INTO EMPRFILIAL (CDEMPRESA, CDFILIAL) VALUES ('T1', 'T102')",
        "INSERT INTO EMPRFILIAL (CDEMPRESA, CDFILIAL) VALUES ('T2', 'T199')",
        "INSERT INTO CENTCUST (CDCENTCUST, NMCENTCUST) VALUES ('T501', 'Administração')",
        "INSERT INTO CENTCUST (CDCENTCUST, NMCENTCUST) VALUES ('T502', 'Vendas')",
        "INSERT INTO CENTCUSTFIL (CDFILIAL, CDCENTCUST) VALUES ('T101', 'T501')",
        "INSERT INTO CENTCUSTFIL (CDFILIAL, CDCENTCUST) VALUES ('T101', 'T502')",
        "INSERT INTO CENTCUSTFIL (CDFILIAL, CDCENTCUST) VALUES ('T102', 'T502')",
        "INSERT INTO CENTCUSTFIL (CDFILIAL, CDCENTCUST) VALUES ('T199', 'T501')",
        "INSERT INTO CONTCTBL (CDCONTCTBL, CDCONTREDU, NMCONTCTBL, IDTIPOCONT, IDCONTCCUS, IDTIPOCOME) "
        "VALUES ('8', NULL, 'Ativo teste', 'S', NULL, NULL)",
        "INSERT INTO CONTCTBL (CDCONTCTBL, CDCONTREDU, NMCONTCTBL, IDTIPOCONT, IDCONTCCUS, IDTIPOCOME) "
        "VALUES ('8.1.01.001', '9001', 'Caixa teste', 'A', NULL, NULL)",
        "INSERT INTO CONTCTBL (CDCONTCTBL, CDCONTREDU, NMCONTCTBL, IDTIPOCONT, IDCONTCCUS, IDTIPOCOME) "
        "VALUES ('8.1.01.002', '9002', 'Clientes teste', 'A', NULL, 'C')",
        "INSERT INTO CONTCTBL (CDCONTCTBL, CDCONTREDU, NMCONTCTBL, IDTIPOCONT, IDCONTCCUS, IDTIPOCOME) "
        "VALUES ('8.2.01.001', '9003', 'Fornecedores teste', 'A', NULL, 'F')",
        "INSERT INTO CONTCTBL (CDCONTCTBL, CDCONTREDU, NMCONTCTBL, IDTIPOCONT, IDCONTCCUS, IDTIPOCOME) "
        "VALUES ('8.3.01.001', '9004', 'Despesa gerencial', 'A', 'G', NULL)",
        "INSERT INTO CONTCTBL (CDCONTCTBL, CDCONTREDU, NMCONTCTBL, IDTIPOCONT, IDCONTCCUS, IDTIPOCOME) "
        "VALUES ('8.3.01.002', '9005', 'Despesa livre', 'A', 'L', NULL)",
        "INSERT INTO CONTCTBL (CDCONTCTBL, CDCONTREDU, NMCONTCTBL, IDTIPOCONT, IDCONTCCUS, IDTIPOCOME) "
        "VALUES ('8.4.01.001', '9006', 'Banco teste', 'A', NULL, 'B')",
    };
    for (const char* s : rows)
        execOrFail(db, QString::fromUtf8(s));
}

// Parameter: "sqlite" or "postgres".
class ServerTest : public ::testing::TestWithParam<std::string> {
  protected:
    void SetUp() override {
        url_ = freshDatabase(GetParam());
        database_ = sql::openDatabase(url_, {}, sql::OpenMode::CreateIfMissing);
        QSqlDatabase db = database_->handle();
        createSchema(db);
        if (HasFatalFailure())
            return;
        loadReference(db);
        if (HasFatalFailure())
            return;
        // June and July 2026 numbers count as handed out, so tests that are not about numbering store
        // entries under numbers of their choosing (a new entry's number must be one the server gave).
        for (const char* handedOut :
             {"('T1', '202606', 990000)", "('T1', '202607', 990000)", "('T3', '202606', 990000)"})
            execOrFail(db, QStringLiteral("INSERT INTO NUMLANC (CDEMPRESA, ANOMES, ULTIMO) VALUES %1")
                               .arg(QLatin1String(handedOut)));
        if (HasFatalFailure())
            return;
        server::ServerOptions o = serverOptions();
        server_ = std::make_unique<server::AppServer>(o);
        server_->start();
        client_ = std::make_unique<net::HttpClient>("127.0.0.1", server_->port());
    }
    // The options of the fixture's server; tests may start more servers with them.
    virtual server::ServerOptions serverOptions() {
        server::ServerOptions o;
        o.databaseUrl = url_;
        o.threads = 10;
        o.logRequests = false;
        o.rowLimit = rowLimit_;
        o.maxBodyBytes = 4u * 1024u * 1024u;
        return o;
    }
    void TearDown() override {
        client_.reset();
        server_.reset();
        database_.reset();
    }

    QSqlDatabase db() { return database_->handle(); }
    void exec(const QString& sql) {
        QSqlDatabase d = db();
        execOrFail(d, sql);
    }
    long long count(const QString& sql) {
        QSqlQuery q(db());
        if (!q.exec(sql) || !q.next()) {
            ADD_FAILURE() << sql.toStdString() << ": " << q.lastError().text().toStdString();
            return -1;
        }
        return q.value(0).toLongLong();
    }

    net::CallResult call(const char* method, std::vector<wire::Value> args, const net::Headers& headers = {},
                         const char* module = kModule) {
        return client_->call(module, method, args, headers);
    }

    QString url_;
    int rowLimit_ = 100000;
    std::unique_ptr<sql::Database> database_;
    std::unique_ptr<server::AppServer> server_;
    std::unique_ptr<net::HttpClient> client_;
};

inline std::string backendName(const ::testing::TestParamInfo<std::string>& info) {
    return info.param;
}

}  // namespace ctb::test
