#pragma once

// The module against a real application server on a throwaway SQLite database with reference rows of
// the test's own, and a proxy between the module and the server that keeps every call (method and
// arguments) and can fail the next call of a chosen method.

#include "db/schema.h"
#include "entry_screen/cli_ctb10000.h"
#include "filter_dialog/cli_ctb10010.h"
#include "module/pkg_ctb10000.h"
#include "platform/net/wire.h"
#include "server/http_server.h"
#include "tests/support/core_app.h"
#include "tests/support/loopback_server.h"
#include "tests/support/pg_cluster.h"

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

#include <gtest/gtest.h>
#include <httplib.h>

#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <ostream>
#include <set>
#include <string>
#include <thread>
#include <vector>

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}
QT_END_NAMESPACE

namespace ctb::ctb10000::moduletest {

using wire::Value;

// One call that reached the server.
struct Call {
    std::string method;
    std::vector<Value> args;
    // The request's own headers (X-Ctb-*), as the server received them.
    std::map<std::string, std::string> headers;
};

// Forwards every request to the application server, keeping each call; fails the next call of a chosen
// method instead of forwarding it.
class RecordingProxy {
  public:
    explicit RecordingProxy(int backendPort) : backend_("127.0.0.1", backendPort) {
        http_.routes().Get("/health", [this](const httplib::Request&, httplib::Response& res) {
            forward(backend_.Get("/health"), res);
        });
        http_.routes().Post(
            R"(/rdm/([^/]+)/([^/]+))", [this](const httplib::Request& req, httplib::Response& res) {
                const std::string method = req.matches[2];
                httplib::Headers forwarded;
                std::map<std::string, std::string> own;
                for (const auto& [name, value] : req.headers)
                    if (isOwnHeader(name)) {
                        forwarded.emplace(name, value);
                        own.emplace(name, value);
                    }
                {
                    std::lock_guard lock(mutex_);
                    calls_.push_back(Call{method, wire::decodeRequest(req.body), std::move(own)});
                    if (failing_.erase(method) > 0) {
                        res.set_content(R"({"ok": false, "error": "Falha simulada no servidor."})",
                                        "application/json");
                        return;
                    }
                }
                forward(backend_.Post(req.path, forwarded, req.body, "application/json; charset=utf-8"), res);
            });
        http_.routes().set_keep_alive_max_count(1);
        http_.start();
    }
    RecordingProxy(const RecordingProxy&) = delete;
    RecordingProxy& operator=(const RecordingProxy&) = delete;

    [[nodiscard]] int port() const { return http_.port(); }
    [[nodiscard]] std::vector<Call> calls() {
        std::lock_guard lock(mutex_);
        return calls_;
    }
    // The arguments of every call of one method, in order.
    [[nodiscard]] std::vector<std::vector<Value>> argsOf(const std::string& method) {
        std::lock_guard lock(mutex_);
        std::vector<std::vector<Value>> out;
        for (const Call& c : calls_)
            if (c.method == method)
                out.push_back(c.args);
        return out;
    }
    void clear() {
        std::lock_guard lock(mutex_);
        calls_.clear();
    }
    void failNext(const std::string& method) {
        std::lock_guard lock(mutex_);
        failing_.insert(method);
    }

  private:
    // The protocol's headers (version, reversal, operator) go both ways, as between client and server.
    static bool isOwnHeader(const std::string& name) {
        return name.size() > 6 && (name.compare(0, 6, "X-Ctb-") == 0 || name.compare(0, 6, "x-ctb-") == 0);
    }
    static void forward(const httplib::Result& r, httplib::Response& res) {
        if (!r) {
            res.status = 502;
            return;
        }
        for (const auto& [name, value] : r->headers)
            if (isOwnHeader(name))
                res.set_header(name, value);
        res.status = r->status;
        res.set_content(r->body, "application/json; charset=utf-8");
    }
    httplib::Client backend_;
    std::mutex mutex_;
    std::vector<Call> calls_;
    std::set<std::string> failing_;
    ctb::test::LoopbackServer http_;  // last: stopped before the members its handlers use go
};

// The module's session on the database rows a derived fixture gives (databaseRows), with `Ui` as the UI
// services and company 01 in the session.
template <typename Ui>
class ModuleFixture : public ::testing::Test {
  protected:
    explicit ModuleFixture(QString name)
        : connection_(name + QStringLiteral("_test")), name_(std::move(name)) {}

    // Every row the test's database holds besides the schema, as INSERT statements.
    [[nodiscard]] virtual QStringList databaseRows() const = 0;

    void SetUp() override {
        ctb::test::ensureCoreApplication();
        path_ = test::tempSqlitePath(name_);
        {
            QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connection_);
            db.setDatabaseName(path_);
            ASSERT_TRUE(db.open()) << db.lastError().text().toStdString();
            db::createSchema(db);
            QSqlQuery q(db);
            ASSERT_TRUE(db.transaction());  // one sync for all rows, not one per row
            for (const QString& sql : databaseRows())
                ASSERT_TRUE(q.exec(sql)) << sql.toStdString() << ": " << q.lastError().text().toStdString();
            ASSERT_TRUE(db.commit());
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

    // The screen, opened by the host's launcher on first use (the focus then rests on the company).
    TfrmLancamento& screen() {
        if (frmLancamento == nullptr)
            IniProc();
        return *frmLancamento;
    }

    QString connection_;
    QString path_;
    int rowLimit_ = 100000;
    std::unique_ptr<server::AppServer> server_;
    std::unique_ptr<RecordingProxy> proxy_;
    Ui ui_;

  private:
    QString name_;
};

}  // namespace ctb::ctb10000::moduletest
