#pragma once

// Shared by the filter dialog's tests: a throwaway SQLite database with reference rows of its own, the
// application server on it, and a recording proxy between the module and the server that keeps the
// arguments of every getLancamentos call actually sent.

#include "db/schema.h"
#include "entry_screen/cli_ctb10000.h"
#include "filter_dialog/cli_ctb10010.h"
#include "module/pkg_ctb10000.h"
#include "platform/net/wire.h"
#include "server/http_server.h"
#include "tests/support/pg_cluster.h"

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <gtest/gtest.h>
#include <httplib.h>

#include <memory>
#include <mutex>
#include <ostream>
#include <thread>
#include <vector>

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}
QT_END_NAMESPACE

namespace ctb::ctb10000::filtertest {

using wire::Value;

inline void ensureApplication() {
    if (QCoreApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "test_filter_dialog";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
}

// Companies: 01 commercial and managerial, 02 without accounting options, 03 neither. Lines of 01 on
// 2026-12-08 (two) and 2026-12-01 (two).
inline const char* const kReferenceRows[] = {
    "INSERT INTO EMPRESA (CDEMPRESA, NMEMPRESA) VALUES ('01', 'Filtro Um Ltda')",
    "INSERT INTO EMPRESA (CDEMPRESA, NMEMPRESA) VALUES ('02', 'Filtro Dois S.A.')",
    "INSERT INTO EMPRESA (CDEMPRESA, NMEMPRESA) VALUES ('03', 'Filtro Três Ltda')",
    "INSERT INTO CONTOPECTBL (CDEMPRESA, IDCONTGERE, IDCONTCOME, IDMSMCONTADBCR, DTINICLANC, DTFINALANC) "
    "VALUES ('01', 'S', 'S', 'N', '2026-01-01', '2026-12-31')",
    "INSERT INTO CONTOPECTBL (CDEMPRESA, IDCONTGERE, IDCONTCOME, IDMSMCONTADBCR, DTINICLANC, DTFINALANC) "
    "VALUES ('03', 'N', 'N', 'N', '2026-01-01', '2026-12-31')",
    "INSERT INTO CONTCTBL (CDCONTCTBL, CDCONTREDU, NMCONTCTBL, CDNVCONTCTBL, IDTIPOCONT) "
    "VALUES ('1', NULL, 'ATIVO', '1', 'S')",
    "INSERT INTO CONTCTBL (CDCONTCTBL, CDCONTREDU, NMCONTCTBL, CDNVCONTCTBL, IDTIPOCONT) "
    "VALUES ('1.1', NULL, 'CIRCULANTE', '2', 'S')",
    "INSERT INTO CONTCTBL (CDCONTCTBL, CDCONTREDU, NMCONTCTBL, CDNVCONTCTBL, IDTIPOCONT) "
    "VALUES ('1.1.01', NULL, 'DISPONÍVEL', '3', 'S')",
    "INSERT INTO CONTCTBL (CDCONTCTBL, CDCONTREDU, NMCONTCTBL, CDNVCONTCTBL, IDTIPOCONT) "
    "VALUES ('1.1.01.001', '10', 'CAIXA', '4', 'A')",
    "INSERT INTO CONTCTBL (CDCONTCTBL, CDCONTREDU, NMCONTCTBL, CDNVCONTCTBL, IDTIPOCONT, IDTIPOCOME) "
    "VALUES ('1.1.01.002', '11', 'BANCOS', '4', 'A', 'B')",
    "INSERT INTO CONTCTBL (CDCONTCTBL, CDCONTREDU, NMCONTCTBL, CDNVCONTCTBL, IDTIPOCONT) "
    "VALUES ('2', NULL, 'PASSIVO', '1', 'S')",
    "INSERT INTO CONTCTBL (CDCONTCTBL, CDCONTREDU, NMCONTCTBL, CDNVCONTCTBL, IDTIPOCONT, IDTIPOCOME) "
    "VALUES ('2.1.01.001', '20', 'FORNECEDORES', '4', 'A', 'F')",
    // Codes of an installation whose picture is 99.99.999.
    "INSERT INTO CONTCTBL (CDCONTCTBL, CDCONTREDU, NMCONTCTBL, CDNVCONTCTBL, IDTIPOCONT) "
    "VALUES ('02', NULL, 'GRUPO DOIS', '1', 'S')",
    "INSERT INTO CONTCTBL (CDCONTCTBL, CDCONTREDU, NMCONTCTBL, CDNVCONTCTBL, IDTIPOCONT) "
    "VALUES ('10', NULL, 'GRUPO DEZ', '1', 'S')",
    "INSERT INTO HISTPADR (CDHISTPADR, DSHISTPADR) VALUES ('0001', 'PAGAMENTO')",
    "INSERT INTO HISTPADR (CDHISTPADR, DSHISTPADR) VALUES ('0002', 'RECEBIMENTO')",
    "INSERT INTO CLIENTE (CDCLIENTE, NMRAZSOCCLIE, NRINSJURCLIE, IDTPIJURCLIE) "
    "VALUES ('C001', 'CLIENTE UM', '12345678000190', 'J')",
    "INSERT INTO CLIENTE (CDCLIENTE, NMRAZSOCCLIE, NRINSJURCLIE, IDTPIJURCLIE) "
    "VALUES ('C002', 'CLIENTE DOIS', '12345678901', 'F')",
    "INSERT INTO FORNECEDOR (CDFORNECED, NRINSJURFORN, NMRAZSOCFORN, IDTPIJURFORN) "
    "VALUES ('F001', '98765432000110', 'FORNECEDOR UM', 'J')",
    "INSERT INTO BANCO (CDBANCO, NMBANCO) VALUES ('001', 'BANCO UM')",
    "INSERT INTO CONTCORR (CDEMPRESA, CDBANCO, CDAGENCIA, CDCONTCORR, DSCONTCORR, CDREDUCONT) "
    "VALUES ('01', '001', '0001', '12345', 'CONTA DA 01', 'B01')",
    "INSERT INTO CONTCORR (CDEMPRESA, CDBANCO, CDAGENCIA, CDCONTCORR, DSCONTCORR, CDREDUCONT) "
    "VALUES ('02', '001', '0002', '99999', 'CONTA DA 02', 'B02')",
    "INSERT INTO FILIAL (CDFILIAL, NMFILIAL) VALUES ('0001', 'MATRIZ')",
    "INSERT INTO FILIAL (CDFILIAL, NMFILIAL) VALUES ('0002', 'FILIAL SUL')",
    "INSERT INTO CENTCUST (CDCENTCUST, NMCENTCUST) VALUES ('0010', 'ADMINISTRATIVO')",
    "INSERT INTO CENTCUST (CDCENTCUST, NMCENTCUST) VALUES ('0020', 'COMERCIAL')",
    "INSERT INTO LANCCONT (CDEMPRESA, NRLANCCONT, NRSEQLANC, CDCONTCTBL, DTLANCCONT, VRLANCAMENT, "
    "CDDOCUCONT, "
    "DSHISTLANC, IDLANCINTE, IDTIPOLANC) VALUES ('01', '202612000001', '00001', '1.1.01.001', '2026-12-08', "
    "-100, 'NF1', 'PAGAMENTO DE ALUGUEL', 'M', 'D')",
    "INSERT INTO LANCCONT (CDEMPRESA, NRLANCCONT, NRSEQLANC, CDCONTCTBL, DTLANCCONT, VRLANCAMENT, "
    "CDDOCUCONT, "
    "DSHISTLANC, IDLANCINTE, IDTIPOLANC) VALUES ('01', '202612000001', '00002', '2.1.01.001', '2026-12-08', "
    "100, 'NF1', 'PAGAMENTO DE ALUGUEL', 'M', 'C')",
    "INSERT INTO LANCCONT (CDEMPRESA, NRLANCCONT, NRSEQLANC, CDCONTCTBL, DTLANCCONT, VRLANCAMENT, "
    "CDDOCUCONT, "
    "DSHISTLANC, IDLANCINTE, IDTIPOLANC) VALUES ('01', '202612000002', '00001', '1.1.01.001', '2026-12-01', "
    "-50, 'NF2', 'ENERGIA', 'M', 'D')",
    "INSERT INTO LANCCONT (CDEMPRESA, NRLANCCONT, NRSEQLANC, CDCONTCTBL, DTLANCCONT, VRLANCAMENT, "
    "CDDOCUCONT, "
    "DSHISTLANC, IDLANCINTE, IDTIPOLANC) VALUES ('01', '202612000002', '00002', '2.1.01.001', '2026-12-01', "
    "50, 'NF2', 'ENERGIA', 'M', 'C')",
};

// Forwards every request to the application server and keeps the arguments of each getLancamentos
// call; can answer the next one with a failure instead.
class RecordingProxy {
  public:
    explicit RecordingProxy(int backendPort) : backend_("127.0.0.1", backendPort) {
        server_.Get("/health", [this](const httplib::Request&, httplib::Response& res) {
            auto r = backend_.Get("/health");
            forward(r, res);
        });
        server_.Post(R"(/rdm/([^/]+)/([^/]+))", [this](const httplib::Request& req, httplib::Response& res) {
            if (req.matches[2] == "getLancamentos") {
                std::lock_guard lock(mutex_);
                calls_.push_back(wire::decodeRequest(req.body));
                if (failNext_) {
                    failNext_ = false;
                    res.set_content(R"({"ok": false, "error": "Falha simulada no servidor."})",
                                    "application/json");
                    return;
                }
            }
            auto r = backend_.Post(req.path, req.body, "application/json; charset=utf-8");
            forward(r, res);
        });
        server_.set_keep_alive_max_count(1);
        port_ = server_.bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { server_.listen_after_bind(); });
        while (!server_.is_running())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ~RecordingProxy() {
        server_.stop();
        thread_.join();
    }
    [[nodiscard]] int port() const { return port_; }
    [[nodiscard]] std::vector<std::vector<Value>> calls() {
        std::lock_guard lock(mutex_);
        return calls_;
    }
    void failNext() {
        std::lock_guard lock(mutex_);
        failNext_ = true;
    }

  private:
    static void forward(const httplib::Result& r, httplib::Response& res) {
        if (!r) {
            res.status = 502;
            return;
        }
        res.status = r->status;
        res.set_content(r->body, "application/json; charset=utf-8");
    }
    httplib::Client backend_;
    httplib::Server server_;
    std::thread thread_;
    int port_ = 0;
    std::mutex mutex_;
    std::vector<std::vector<Value>> calls_;
    bool failNext_ = false;
};

inline std::string show(const std::vector<Value>& args) {
    return wire::encodeRequest(args);
}

// The nineteen arguments with every criterion open, for company 01 on the test's today.
inline std::vector<Value> defaultArgs() {
    const QDate today(2026, 12, 8);
    std::vector<Value> a = {Value::fromString(u"01"), Value::fromDate(today),  Value::fromDate(today),
                            Value::fromString(u""),   Value::fromString(u"T"), Value::fromString(u"T"),
                            Value::fromNumber(0),     Value::fromNumber(0)};
    for (int i = 0; i < 10; ++i)
        a.push_back(Value::fromString(u"T"));
    a.push_back(Value::fromString(u""));
    return a;
}

// The module on a throwaway database and a real server behind the recording proxy, with `Ui` as
// the UI services.
template <typename Ui>
class FilterFixtureBase : public ::testing::Test {
  protected:
    void SetUp() override {
        ensureApplication();
        path_ = test::tempSqlitePath(QStringLiteral("filter"));
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection_);
            db.setDatabaseName(path_);
            ASSERT_TRUE(db.open()) << db.lastError().text().toStdString();
            db::createSchema(db);
            QSqlQuery q(db);
            for (const char* sql : kReferenceRows)
                ASSERT_TRUE(q.exec(QString::fromUtf8(sql)))
                    << sql << ": " << q.lastError().text().toStdString();
            for (const QString& sql : extraRows_)
                ASSERT_TRUE(q.exec(sql)) << sql.toStdString() << ": " << q.lastError().text().toStdString();
        }
        server::ServerOptions o;
        o.databaseUrl = path_;
        o.threads = 2;
        o.logRequests = false;
        o.rowLimit = rowLimit_;
        server_ = std::make_unique<server::AppServer>(o);
        server_->start();
        proxy_ = std::make_unique<RecordingProxy>(server_->port());
        Initialize();
        setSession("01");
    }
    void TearDown() override {
        Finalize();
        proxy_.reset();
        server_.reset();
        QSqlDatabase::database(connection_, false).close();
        QSqlDatabase::removeDatabase(connection_);
    }

    // The module's session outlives a test: every field is given again.
    void setSession(const char* company, const char* accountPicture = "9.9.99.999") {
        const QByteArray connection = connection_.toUtf8();
        CtbSessao s{};
        s.size = sizeof(CtbSessao);
        s.company = company;
        s.user = "OPER";
        s.serverHost = "127.0.0.1";
        s.serverPort = proxy_->port();
        s.dbConnection = connection.constData();
        s.today = "2026-12-08";
        s.uiServices = &ui_;
        s.accountPicture = accountPicture;
        ASSERT_EQ(SetSessao(&s), 0);
    }

    TfrmLancamento& screen() {
        if (frmLancamento == nullptr)
            IniProc();
        return *frmLancamento;
    }

    [[nodiscard]] std::vector<std::vector<Value>> sent() { return proxy_->calls(); }

    QString connection_ = QStringLiteral("filter_dialog_test");
    QString path_;
    int rowLimit_ = 100000;
    QStringList extraRows_;
    std::unique_ptr<server::AppServer> server_;
    std::unique_ptr<RecordingProxy> proxy_;
    Ui ui_;
};

}  // namespace ctb::ctb10000::filtertest
