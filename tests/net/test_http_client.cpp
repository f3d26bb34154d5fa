// The client against a tiny in-process server on 127.0.0.1: answers, refusals, transport failures.

#include "platform/net/http_client.h"
#include "tests/support/loopback_server.h"

#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <httplib.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <set>
#include <thread>

using namespace ctb;
using namespace ctb::net;
using namespace std::chrono_literals;

namespace {

// Holds an answer back until the test lets it go: a handler waits on it, the test opens it.
class Gate {
  public:
    void open() {
        const std::lock_guard lock(m_);
        open_ = true;
        cv_.notify_all();
    }
    // The deadline only ends a wait that would otherwise never end (the test failed elsewhere).
    void wait() {
        std::unique_lock lock(m_);
        cv_.wait_for(lock, 60s, [this] { return open_; });
    }

  private:
    std::mutex m_;
    std::condition_variable cv_;
    bool open_ = false;
};

class TinyServer {
  public:
    ~TinyServer() { slowGate.open(); }  // a held answer must not keep the server from stopping
    TinyServer() {
        http_.routes().set_tcp_nodelay(true);
        http_.routes().set_keep_alive_max_count(1000);  // the default closes after 5 requests
        http_.routes().Post("/rdm/Srv/echo", [](const httplib::Request& req, httplib::Response& res) {
            try {
                auto args = wire::decodeRequest(req.body);
                res.set_header("X-Row-Version", req.get_header_value("X-Row-Version") + "-seen");
                res.set_content(wire::encodeOk(wire::Value::fromArray(std::move(args))), "application/json");
            } catch (const wire::WireError& e) {
                res.status = 400;
                res.set_content(wire::encodeError(e.message()), "application/json");
            }
        });
        http_.routes().Post("/rdm/Srv/fail", [](const httplib::Request&, httplib::Response& res) {
            res.set_content(wire::encodeError(u"Data fora do período contábil."), "application/json");
        });
        http_.routes().Post("/rdm/Srv/refuse", [](const httplib::Request&, httplib::Response& res) {
            res.status = 400;
            res.set_content(wire::encodeError(u"Pedido inválido: faltam argumentos."), "application/json");
        });
        http_.routes().Post("/rdm/Srv/garbage", [](const httplib::Request&, httplib::Response& res) {
            res.set_content("<html>proxy</html>", "text/html");
        });
        http_.routes().Post("/rdm/Srv/slow", [this](const httplib::Request&, httplib::Response& res) {
            slowGate.wait();
            res.set_content(wire::encodeOk(wire::Value()), "application/json");
        });
        http_.routes().Post("/rdm/Srv/peer", [this](const httplib::Request& req, httplib::Response& res) {
            {
                const std::lock_guard lock(peersMutex_);
                peers_.insert(req.remote_port);
            }
            res.set_content(wire::encodeOk(wire::Value()), "application/json");
        });
        http_.routes().Post("/rdm/Srv/path", [](const httplib::Request& req, httplib::Response& res) {
            res.set_content(wire::encodeOk(wire::Value::fromUtf8(req.path)), "application/json");
        });
        http_.routes().Get("/health", [](const httplib::Request&, httplib::Response& res) {
            res.set_content(R"({"ok": true})", "application/json");
        });
        http_.start();
    }
    [[nodiscard]] int port() const { return http_.port(); }
    // The client ports the `peer` calls came from: one per connection.
    [[nodiscard]] std::set<int> peers() {
        const std::lock_guard lock(peersMutex_);
        return peers_;
    }

    Gate slowGate;

  private:
    std::mutex peersMutex_;
    std::set<int> peers_;
    ctb::test::LoopbackServer http_;
};

class HttpClientTest : public testing::Test {
  protected:
    TinyServer server;
    HttpClient client{"127.0.0.1", server.port(), ClientOptions{1000ms, 5000ms, 5000ms}};
};

}  // namespace

TEST_F(HttpClientTest, OkAnswerGivesTheResultAndHeaders) {
    const CallResult r =
        client.call("Srv", "echo", {wire::Value::fromString(u"01"), wire::Value::fromNumber(2.5)},
                    {{"X-Row-Version", "7"}});
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(r.httpStatus, 200);
    EXPECT_FALSE(r.transportFailed);
    ASSERT_TRUE(r.value.isArray());
    EXPECT_EQ(r.value.array().at(0).toString(), QStringLiteral("01"));
    EXPECT_EQ(r.value.array().at(1).toNumber(), 2.5);
    EXPECT_EQ(r.header("x-row-version"), "7-seen");
    EXPECT_EQ(r.header("X-Absent"), "");
}

TEST_F(HttpClientTest, PacketsTravelBothWays) {
    DataPacket p;
    p.fields = {FieldDef{QStringLiteral("DSHISTLANC"), FieldType::String, 600}};
    Row row(1);
    row.setText(0, QString(600, QChar(u'ç')));
    p.rows = {row, Row(1)};
    const CallResult r = client.call("Srv", "echo", {wire::Value::fromPacket(p)});
    ASSERT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(r.value.array().at(0), wire::Value::fromPacket(p));
}

TEST_F(HttpClientTest, ServerFailureCarriesItsMessage) {
    const CallResult r = client.call("Srv", "fail", {});
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.httpStatus, 200);
    EXPECT_FALSE(r.transportFailed);
    EXPECT_EQ(r.error, QStringLiteral("Data fora do período contábil."));
}

TEST_F(HttpClientTest, RefusedRequestGivesTheServersMessage) {
    const CallResult r = client.call("Srv", "refuse", {});
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.httpStatus, 400);
    EXPECT_EQ(r.error, QStringLiteral("Pedido inválido: faltam argumentos."));
}

TEST_F(HttpClientTest, UnknownMethodGives404WithAMessage) {
    const CallResult r = client.call("Srv", "nope", {});
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.httpStatus, 404);
    EXPECT_EQ(r.error,
              QStringLiteral("O servidor de aplicação 127.0.0.1:%1 respondeu com o código HTTP 404. Confira "
                             "se o endereço configurado está correto.")
                  .arg(server.port()));
}

TEST_F(HttpClientTest, AnswerThatIsNotJsonIsAFailure) {
    const CallResult r = client.call("Srv", "garbage", {});
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.error.startsWith(QStringLiteral("Resposta inválida do servidor de aplicação")))
        << r.error.toStdString();
}

TEST_F(HttpClientTest, NamesAreEscapedInThePath) {
    const CallResult r = client.call("Srv", "path", {});
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.value.utf8(), "/rdm/Srv/path");
    const CallResult odd = client.call("Srv/../x", "path", {});
    EXPECT_EQ(odd.httpStatus, 404);  // the slash cannot reach another route
}

TEST_F(HttpClientTest, ArgumentsThatCannotTravelFailBeforeSending) {
    const CallResult r = client.call("Srv", "echo", {wire::Value::fromNumber(std::nan(""))});
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.httpStatus, 0);
    EXPECT_TRUE(r.error.contains(QStringLiteral("Número não finito"))) << r.error.toStdString();
}

TEST_F(HttpClientTest, HealthProbe) {
    const CallResult r = client.health();
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.httpStatus, 200);
}

TEST_F(HttpClientTest, ReadTimeoutGivesAFailedResult) {
    HttpClient impatient("127.0.0.1", server.port(), ClientOptions{1000ms, 300ms, 1000ms});
    // The server holds the answer until the client has returned: the client gave up on its own.
    const CallResult r = impatient.call("Srv", "slow", {});
    server.slowGate.open();
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.transportFailed);
    EXPECT_EQ(r.error,
              QStringLiteral("O servidor de aplicação 127.0.0.1:%1 não respondeu em 0,3 segundos. Tente de "
                             "novo; se persistir, avise o responsável pelo servidor.")
                  .arg(server.port()));
    // The same client works again afterwards.
    EXPECT_TRUE(impatient.call("Srv", "echo", {}).ok);
}

TEST_F(HttpClientTest, CallsShareOneKeptAliveConnection) {
    // One connection for many calls (the speed this gives is measured in bench/, not here).
    for (int i = 0; i < 100; ++i)
        ASSERT_TRUE(client.call("Srv", "peer", {wire::Value::fromNumber(i)}).ok);
    EXPECT_EQ(server.peers().size(), 1u);
}

TEST_F(HttpClientTest, CallableFromAWorkerThread) {
    CallResult r;
    std::thread worker([&] { r = client.call("Srv", "echo", {wire::Value::fromBool(true)}); });
    worker.join();
    EXPECT_TRUE(r.ok);
    EXPECT_TRUE(client.call("Srv", "echo", {}).ok);
}

TEST(HttpClientTransport, ConnectionRefusedGivesAFailedResultWithAMessage) {
    const int port = test::closedPort();
    HttpClient client("127.0.0.1", port, ClientOptions{500ms, 500ms, 500ms});
    const CallResult r = client.call("CTB10000.rdmLancamento", "getLancamentos", {});
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.transportFailed);
    EXPECT_EQ(r.httpStatus, 0);
    EXPECT_EQ(r.error,
              QStringLiteral(
                  "Não foi possível conectar ao servidor de aplicação 127.0.0.1:%1. Verifique se ele está "
                  "em execução e tente de novo.")
                  .arg(port));
    EXPECT_FALSE(client.health().ok);
}

TEST(HttpClientTransport, EndpointCanChangeBetweenCalls) {
    TinyServer server;
    HttpClient client("127.0.0.1", test::closedPort(), ClientOptions{500ms, 2000ms, 2000ms});
    EXPECT_FALSE(client.call("Srv", "echo", {}).ok);
    client.setEndpoint("127.0.0.1", server.port());
    EXPECT_TRUE(client.call("Srv", "echo", {}).ok);
    EXPECT_EQ(client.port(), server.port());
}

TEST(HttpClientTransport, ServerRestartIsSurvivedByTheNextCall) {
    HttpClient client("127.0.0.1", 0, ClientOptions{500ms, 2000ms, 2000ms});
    {
        TinyServer first;
        client.setEndpoint("127.0.0.1", first.port());
        EXPECT_TRUE(client.call("Srv", "echo", {}).ok);
    }
    // The kept-alive connection is dead now; the call fails cleanly rather than hanging.
    const CallResult r = client.call("Srv", "echo", {});
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.transportFailed);
}

// --- credentials and HTTPS ---

TEST(HttpClientCredentials, TheTokenGoesWithEveryCallButNotTheProbe) {
    test::LoopbackServer s;
    std::string seenOnProbe = "unset";
    s.routes().Post("/rdm/Srv/who", [](const httplib::Request& req, httplib::Response& res) {
        res.set_content(wire::encodeOk(wire::Value::fromUtf8(req.get_header_value("Authorization"))),
                        "application/json");
    });
    s.routes().Get("/health", [&](const httplib::Request& req, httplib::Response& res) {
        seenOnProbe = req.get_header_value("Authorization");
        res.set_content(R"({"ok": true})", "application/json");
    });
    s.start();
    HttpClient client("127.0.0.1", s.port());
    client.setBearerToken("token-da-ana-0123456789");
    EXPECT_EQ(client.call("Srv", "who", {}).value.toString(),
              QStringLiteral("Bearer token-da-ana-0123456789"));
    EXPECT_TRUE(client.health().ok);
    EXPECT_EQ(seenOnProbe, "");
    client.setBearerToken("outro-token-0000000000");
    EXPECT_EQ(client.call("Srv", "who", {}).value.toString(),
              QStringLiteral("Bearer outro-token-0000000000"));
}

TEST(HttpClientCredentials, RefusedCredentialsAreToldInPlainWords) {
    test::LoopbackServer s;
    s.routes().Post("/rdm/Srv/x", [](const httplib::Request&, httplib::Response& res) {
        res.status = 401;
        res.set_content(wire::encodeError(u"Credenciais ausentes ou inválidas."), "application/json");
    });
    s.start();
    HttpClient client("127.0.0.1", s.port());
    const CallResult r = client.call("Srv", "x", {});
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.httpStatus, 401);
    EXPECT_TRUE(r.error.contains(QStringLiteral("recusou as credenciais"))) << r.error.toStdString();
    EXPECT_TRUE(r.error.contains(QStringLiteral("--token-file"))) << r.error.toStdString();
}

TEST(HttpClientCredentials, HttpsWithAThrowawaySelfSignedCertificate) {
    QTemporaryDir dir;
    const QString cert = dir.filePath(QStringLiteral("cert.pem")),
                  key = dir.filePath(QStringLiteral("key.pem"));
    QProcess openssl;
    openssl.start(
        QStringLiteral("openssl"),
        {QStringLiteral("req"), QStringLiteral("-x509"), QStringLiteral("-newkey"), QStringLiteral("ec"),
         QStringLiteral("-pkeyopt"), QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes"),
         QStringLiteral("-days"), QStringLiteral("1"), QStringLiteral("-subj"),
         QStringLiteral("/CN=127.0.0.1"), QStringLiteral("-addext"),
         QStringLiteral("subjectAltName=IP:127.0.0.1"), QStringLiteral("-keyout"), key,
         QStringLiteral("-out"), cert});
    ASSERT_TRUE(openssl.waitForFinished(60000) && openssl.exitCode() == 0);

    httplib::SSLServer tls(cert.toLocal8Bit().constData(), key.toLocal8Bit().constData());
    ASSERT_TRUE(tls.is_valid());
    tls.Post("/rdm/Srv/echo", [](const httplib::Request& req, httplib::Response& res) {
        res.set_content(wire::encodeOk(wire::Value::fromArray(wire::decodeRequest(req.body))),
                        "application/json");
    });
    const int port = tls.bind_to_any_port("127.0.0.1");
    std::thread serving([&] { tls.listen_after_bind(); });
    while (!tls.is_running())
        std::this_thread::sleep_for(1ms);

    HttpClient client("https://127.0.0.1", port);
    client.setTrustedCertificates(cert.toStdString());
    const CallResult r = client.call("Srv", "echo", {wire::Value::fromString(u"seguro")});
    EXPECT_TRUE(r.ok) << r.error.toStdString();
    EXPECT_EQ(r.value.array().at(0).toString(), QStringLiteral("seguro"));
    // Without trusting that certificate the call is refused, and says why.
    HttpClient stranger("HTTPS://127.0.0.1", port);
    stranger.setTrustedCertificates(dir.filePath(QStringLiteral("absent.pem")).toStdString());
    const CallResult refused = stranger.call("Srv", "echo", {});
    EXPECT_FALSE(refused.ok);
    EXPECT_TRUE(refused.transportFailed);
    EXPECT_TRUE(refused.error.contains(QStringLiteral("HTTPS"))) << refused.error.toStdString();
    tls.stop();
    serving.join();
}
