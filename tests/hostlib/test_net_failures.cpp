// Every way a server call fails as the user meets it, through TNetConnection and CheckResultServ:
// one message, read once (the server named once), saying what happened and what to do.

#include "hostlib/host.h"
#include "platform/net/wire.h"
#include "tests/support/loopback_server.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <functional>
#include <memory>

using namespace ctb;
using namespace ctb::hostlib;

namespace {

const char* const kRdm = "CTB10000.rdmLancamento";

std::unique_ptr<test::LoopbackServer> startServer() {
    auto server = std::make_unique<test::LoopbackServer>();
    auto& r = server->routes();
    // A server stopped with the client's connection still open waits this long for it.
    r.set_keep_alive_timeout(1);
    r.Get("/health", [](const httplib::Request&, httplib::Response& res) {
        res.set_content(R"({"ok": true})", "application/json");
    });
    r.Post("/rdm/CTB10000.rdmLancamento/getLancFiltrado",
           [](const httplib::Request&, httplib::Response& res) {
               res.set_content(wire::encodeOk(wire::Value()), "application/json");
           });
    r.Post("/rdm/CTB10000.rdmLancamento/SetLancamento", [](const httplib::Request&, httplib::Response& res) {
        res.set_content(wire::encodeError(u"O lançamento foi alterado por outro usuário. Abra-o de novo."),
                        "application/json");
    });
    r.Post("/rdm/CTB10000.rdmLancamento/getDebitos",
           [](const httplib::Request&, httplib::Response& res) { res.status = 500; });
    r.Post("/rdm/CTB10000.rdmLancamento/getCreditos", [](const httplib::Request&, httplib::Response& res) {
        res.set_content("<html>proxy</html>", "text/html");
    });
    r.Post("/rdm/CTB10000.rdmLancamento/getNada", [](const httplib::Request&, httplib::Response& res) {
        res.set_content(R"({"ok": false, "error": ""})", "application/json");
    });
    server->start();
    return server;
}

struct World {
    ui::HeadlessUi services;
    Session session;
    TNetConnection net{QStringLiteral("netLancamento"), QString::fromLatin1(kRdm)};
    std::unique_ptr<test::LoopbackServer> server = startServer();
    ~World() {
        // Closed first: a server stopping with a kept-alive connection open waits for it to time out.
        net.close();
        server.reset();
    }
    World(const World&) = delete;
    World& operator=(const World&) = delete;
    World() {
        session.services = &services;
        net.session = &session;
        net.Host = QStringLiteral("127.0.0.1");
        net.Port = server->port();
    }
    // One user action calling `method`; the messages it showed.
    QStringList act(const char* method) {
        services.messages().clear();
        (void)ui::runUserAction(&services, [&] {
            static_cast<void>(CheckResultServ(&services, net.call(QString::fromLatin1(method), {})));
        });
        QStringList out;
        for (const auto& m : services.messages())
            out << m.text;
        return out;
    }
    [[nodiscard]] QString where() const { return QStringLiteral("127.0.0.1:%1").arg(net.Port); }
};

struct FailureCase {
    const char* name;
    // Puts the world in the failing state; returns the method to call.
    std::function<const char*(World&)> arrange;
    std::function<QString(World&)> expected;
};

void PrintTo(const FailureCase& c, std::ostream* os) {
    *os << c.name;
}

QString connectText(World& w) {
    return QStringLiteral(
               "Não foi possível conectar ao servidor de aplicação %1. Verifique se ele está em execução "
               "e tente de novo.")
        .arg(w.where());
}

class CallFailure : public ::testing::TestWithParam<FailureCase> {};

TEST_P(CallFailure, IsReadOnceAndSaysWhatToDo) {
    World w;
    const char* method = GetParam().arrange(w);
    const QStringList shown = w.act(method);
    ASSERT_EQ(shown.size(), 1) << shown.join(u'\n').toStdString();
    EXPECT_EQ(shown.front(), GetParam().expected(w));
    EXPECT_LE(shown.front().count(QStringLiteral("servidor de aplicação")), 1) << shown.front().toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    EveryWay, CallFailure,
    ::testing::Values(
        FailureCase{"ServerDownAtStart",
                    [](World& w) {
                        w.net.Port = test::closedPort();
                        return "getLancFiltrado";
                    },
                    connectText},
        FailureCase{"ServerStoppedWhileTheScreenIsOpen",
                    [](World& w) {
                        EXPECT_TRUE(w.act("getLancFiltrado").isEmpty());
                        w.server.reset();
                        return "getLancFiltrado";
                    },
                    connectText},
        FailureCase{"RefusedByTheServer", [](World&) { return "SetLancamento"; },
                    [](World&) {
                        return QStringLiteral("O lançamento foi alterado por outro usuário. Abra-o de novo.");
                    }},
        FailureCase{"RefusedWithoutAReason", [](World&) { return "getNada"; },
                    [](World&) {
                        return QStringLiteral(
                            "O servidor de aplicação recusou o pedido sem dizer o motivo. Avise o "
                            "responsável pelo servidor.");
                    }},
        FailureCase{"InternalServerError", [](World&) { return "getDebitos"; },
                    [](World& w) {
                        return QStringLiteral(
                                   "O servidor de aplicação %1 respondeu com o código HTTP 500. Tente de "
                                   "novo; se persistir, avise o responsável pelo servidor.")
                            .arg(w.where());
                    }},
        FailureCase{"UnknownMethodOfAnotherVersion", [](World&) { return "getMetodoNovo"; },
                    [](World& w) {
                        return QStringLiteral(
                                   "O servidor de aplicação %1 respondeu com o código HTTP 404. Confira se "
                                   "o endereço configurado está correto.")
                            .arg(w.where());
                    }},
        FailureCase{"NotTheApplicationServer", [](World&) { return "getCreditos"; },
                    [](World& w) {
                        const QString shown =
                            w.services.messages().empty() ? QString() : w.services.messages().front().text;
                        // The codec's own reason sits in the middle; the start and the advice are fixed.
                        const QString start =
                            QStringLiteral("Resposta inválida do servidor de aplicação %1: ").arg(w.where());
                        const QString end =
                            QStringLiteral(". Confira se o endereço configurado está correto.");
                        return shown.startsWith(start) && shown.endsWith(end)
                                   ? shown
                                   : start + QStringLiteral("…") + end;
                    }},
        FailureCase{"NoServerConfigured",
                    [](World& w) {
                        w.net.Port = 0;
                        return "getLancFiltrado";
                    },
                    [](World&) {
                        return QStringLiteral(
                            "O servidor de aplicação não está configurado (falta o endereço ou a "
                            "porta). Informe-o ao iniciar o sistema (--server ENDEREÇO:PORTA).");
                    }}),
    [](const auto& info) { return std::string(info.param.name); });

// Once the server answers again, the same connection works without the user doing anything else.
TEST(CallFailureRecovery, TheNextCallAfterTheServerIsBackSucceeds) {
    World w;
    const int port = w.net.Port;
    w.net.Port = test::closedPort();
    ASSERT_EQ(w.act("getLancFiltrado").size(), 1);
    w.net.Port = port;
    EXPECT_TRUE(w.act("getLancFiltrado").isEmpty());
}

}  // namespace
