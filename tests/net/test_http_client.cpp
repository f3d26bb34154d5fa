// The client against a tiny in-process server on 127.0.0.1: answers, refusals, transport failures.

#include "platform/net/http_client.h"
#include "tests/support/loopback_server.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <thread>

using namespace ctb;
using namespace ctb::net;
using namespace std::chrono_literals;

namespace {

class TinyServer {
  public:
    TinyServer() {
        http_.routes().set_tcp_nodelay(true);
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
        http_.routes().Post("/rdm/Srv/slow", [](const httplib::Request&, httplib::Response& res) {
            std::this_thread::sleep_for(1500ms);
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

  private:
    ctb::test::LoopbackServer http_;
};

// A port with nothing listening: bound for a moment by a socket that is closed again.
int closedPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&addr), len) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len) != 0)
        return 1;
    ::close(fd);
    return ntohs(addr.sin_port);
}

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
    const auto started = std::chrono::steady_clock::now();
    const CallResult r = impatient.call("Srv", "slow", {});
    EXPECT_LT(std::chrono::steady_clock::now() - started, 1400ms);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.transportFailed);
    EXPECT_EQ(r.error,
              QStringLiteral("O servidor de aplicação 127.0.0.1:%1 não respondeu em 0,3 segundos. Tente de "
                             "novo; se persistir, avise o responsável pelo servidor.")
                  .arg(server.port()));
    // The same client works again afterwards.
    EXPECT_TRUE(impatient.call("Srv", "echo", {}).ok);
}

TEST_F(HttpClientTest, KeptAliveCallsAreQuick) {
    // Without TCP_NODELAY each answer would stall ~40 ms.
    const auto started = std::chrono::steady_clock::now();
    for (int i = 0; i < 100; ++i)
        ASSERT_TRUE(client.call("Srv", "echo", {wire::Value::fromNumber(i)}).ok);
    EXPECT_LT(std::chrono::steady_clock::now() - started, 3s);
}

TEST_F(HttpClientTest, CallableFromAWorkerThread) {
    CallResult r;
    std::thread worker([&] { r = client.call("Srv", "echo", {wire::Value::fromBool(true)}); });
    worker.join();
    EXPECT_TRUE(r.ok);
    EXPECT_TRUE(client.call("Srv", "echo", {}).ok);
}

TEST(HttpClientTransport, ConnectionRefusedGivesAFailedResultWithAMessage) {
    const int port = closedPort();
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
    HttpClient client("127.0.0.1", closedPort(), ClientOptions{500ms, 2000ms, 2000ms});
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
