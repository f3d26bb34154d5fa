// Catalog, MensErro, ValidEx, CheckResultServ, TNetConnection, lookups and edits of the host library.

#include "hostlib/host.h"
#include "platform/ui/user_input.h"
#include "tests/support/loopback_server.h"

#include <gtest/gtest.h>

using namespace ctb;
using namespace ctb::hostlib;

namespace {

struct MsgCase {
    const char* key;
    const char* text;
};
class MsgRule : public ::testing::TestWithParam<MsgCase> {};
TEST_P(MsgRule, TextOfTheKey) {
    TMessages msg(QStringList{QStringLiteral("Data_Dev|Data do lançamento contábil deve ser informada."),
                              QStringLiteral("COM_BARRA|a|b"), QStringLiteral("sem separador"),
                              QStringLiteral(" ESPACO |texto")});
    EXPECT_EQ(msg.Msg(QString::fromUtf8(GetParam().key)), QString::fromUtf8(GetParam().text));
}
INSTANTIATE_TEST_SUITE_P(
    Cases, MsgRule,
    ::testing::Values(MsgCase{"Data_Dev", "Data do lançamento contábil deve ser informada."},
                      MsgCase{"DATA_DEV", "Data do lançamento contábil deve ser informada."},
                      MsgCase{"COM_BARRA", "a|b"}, MsgCase{"ESPACO", "texto"},
                      MsgCase{"FALTA", "Mensagem não cadastrada: FALTA"},
                      MsgCase{"", "Mensagem não cadastrada: "}));

TEST(MensErroRule, ShowsThenEndsTheActionAtTheBoundary) {
    ui::HeadlessUi services;
    bool after = false;
    EXPECT_FALSE(ui::runUserAction(&services, [&] {
        MensErro(&services, QStringLiteral("Erro de teste."));
        after = true;
    }));
    EXPECT_FALSE(after);
    ASSERT_EQ(services.messages().size(), 1u);
    EXPECT_EQ(services.messages().front().kind, ui::MessageKind::Error);
    EXPECT_EQ(services.messages().front().text, QStringLiteral("Erro de teste."));
}

struct ValidExCase {
    const char* code;
    const char* result;  // nullptr: reported and aborted
};
class ValidExRule : public ::testing::TestWithParam<ValidExCase> {};
TEST_P(ValidExRule, NormalisesOrReports) {
    ui::HeadlessUi services;
    Session session;
    session.services = &services;
    QString code = QString::fromUtf8(GetParam().code);
    const bool completed = ui::runUserAction(&services, [&] { ValidEx(session, nullptr, ptContCtbl, code); });
    if (GetParam().result == nullptr) {
        EXPECT_FALSE(completed);
        ASSERT_EQ(services.messages().size(), 1u);
        EXPECT_EQ(services.messages().front().text,
                  QStringLiteral("Conta contábil inválida: %1. Formato: 9.9.99.999.")
                      .arg(QString::fromUtf8(GetParam().code).trimmed()));
    } else {
        EXPECT_TRUE(completed);
        EXPECT_EQ(code, QString::fromUtf8(GetParam().result));
        EXPECT_TRUE(services.messages().empty());
    }
}
INSTANTIATE_TEST_SUITE_P(Cases, ValidExRule,
                         ::testing::Values(ValidExCase{"1.1.1.1", "1.1.01.001"},
                                           ValidExCase{"1.1.01", "1.1.01"}, ValidExCase{"", ""},
                                           ValidExCase{" . .  .   ", " . .  .   "},
                                           ValidExCase{"9.9.99.9999", nullptr}, ValidExCase{"x", nullptr}));

TEST(CheckResultServRule, PayloadOrReportedFailure) {
    ui::HeadlessUi services;
    net::CallResult ok;
    ok.ok = true;
    ok.value = wire::Value::fromString(u"202612000001");
    EXPECT_EQ(CheckResultServ(&services, ok).toString(), QStringLiteral("202612000001"));
    net::CallResult failed;
    failed.error = QStringLiteral("Lançamento não encontrado.");
    EXPECT_FALSE(
        ui::runUserAction(&services, [&] { static_cast<void>(CheckResultServ(&services, failed)); }));
    ASSERT_EQ(services.messages().size(), 1u);
    EXPECT_EQ(services.messages().front().text, QStringLiteral("Lançamento não encontrado."));
}

TEST(NetConnectionRule, FailedConnectionRaisesNothingAndCallsComeBackFailed) {
    ui::HeadlessUi services;
    Session session;
    session.services = &services;
    ASSERT_TRUE(session.setServer(QStringLiteral("127.0.0.1:1")));  // nothing listens on port 1
    TNetConnection net(QStringLiteral("netLancamento"), QStringLiteral("CTB10000.rdmLancamento"));
    int beforeConnect = 0;
    net.onBeforeConnect = [&](TNetConnection& c) {
        ++beforeConnect;
        c.Host = session.WebURL;
        c.Port = session.WebPort;
    };
    EXPECT_NO_THROW(EXPECT_FALSE(net.open()));
    EXPECT_EQ(beforeConnect, 1);
    net::CallResult r = net.call(QStringLiteral("getLancFiltrado"), {});
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(beforeConnect, 2);  // each attempt runs the handler again
    EXPECT_FALSE(ui::runUserAction(&services, [&] { static_cast<void>(CheckResultServ(&services, r)); }));
    ASSERT_EQ(services.messages().size(), 1u);
    EXPECT_TRUE(services.messages().front().text.startsWith(QStringLiteral("Não foi possível conectar")));
}

// Requests go through the services' blocking runner, so a window can keep painting meanwhile.
TEST(NetConnectionRule, RequestsRunThroughTheSessionsBlockingRunner) {
    struct CountingUi : ui::HeadlessUi {
        int blocking = 0;
        void runBlocking(const std::function<void()>& work) override {
            ++blocking;
            work();
        }
    } services;
    Session session;
    session.services = &services;
    ASSERT_TRUE(session.setServer(QStringLiteral("127.0.0.1:1")));
    TNetConnection net(QStringLiteral("netLancamento"), QStringLiteral("CTB10000.rdmLancamento"));
    net.onBeforeConnect = [&](TNetConnection& c) {
        c.Host = session.WebURL;
        c.Port = session.WebPort;
    };
    EXPECT_FALSE(net.open());
    EXPECT_EQ(services.blocking, 0);  // not bound to a session yet: inline
    net.session = &session;
    EXPECT_FALSE(net.open());
    EXPECT_FALSE(net.call(QStringLiteral("getLancFiltrado"), {}).ok);
    EXPECT_EQ(services.blocking, 2);  // the health probe of each attempt
}

TEST(NetConnectionRule, TheSessionsTokenGoesWithEveryCall) {
    test::LoopbackServer server;
    server.routes().Get("/health", [](const httplib::Request&, httplib::Response& res) {
        res.set_content(R"({"ok": true})", "application/json");
    });
    server.routes().Post(
        "/rdm/CTB10000.rdmLancamento/quem", [](const httplib::Request& req, httplib::Response& res) {
            res.set_content(wire::encodeOk(wire::Value::fromUtf8(req.get_header_value("Authorization"))),
                            "application/json");
        });
    server.start();
    Session session;
    session.token = QStringLiteral("token-da-ana-0123456789");
    TNetConnection net(QStringLiteral("netLancamento"), QStringLiteral("CTB10000.rdmLancamento"));
    net.session = &session;
    net.onBeforeConnect = [&](TNetConnection& c) {
        c.Host = QStringLiteral("127.0.0.1");
        c.Port = server.port();
    };
    EXPECT_EQ(net.call(QStringLiteral("quem"), {}).value.toString(),
              QStringLiteral("Bearer token-da-ana-0123456789"));
    // Without a token (the embedded default) no credentials are sent.
    session.token.clear();
    net.close();
    EXPECT_EQ(net.call(QStringLiteral("quem"), {}).value.toString(), QString());
}

TEST(SessionRule, ServerAddress) {
    Session s;
    EXPECT_TRUE(s.setServer(QStringLiteral("10.0.0.5:8080")));
    EXPECT_EQ(s.WebURL, QStringLiteral("10.0.0.5"));
    EXPECT_EQ(s.WebPort, 8080);
    EXPECT_FALSE(s.setServer(QStringLiteral("semporta")));
    EXPECT_FALSE(s.setServer(QStringLiteral("h:0")));
    EXPECT_EQ(s.WebPort, 8080);
}

struct LookupFixture {
    ui::HeadlessUi services;
    ClientDataSet cds{QStringLiteral("qryEmpresa")};
    DataSource dts{&cds, QStringLiteral("dtsEmpresa")};
    LookupFixture() {
        cds.addStringField(QStringLiteral("CDEMPRESA"), 4);
        cds.addStringField(QStringLiteral("NMEMPRESA"), 20);
        cds.createDataSet();
        for (const char* k : {"01", "O'K", "03"}) {
            cds.append();
            cds.fieldByName(u"CDEMPRESA").setAsString(QString::fromUtf8(k));
            cds.post();
        }
    }
};

TEST(PesquisarRule, PickedRowBecomesCurrent) {
    LookupFixture f;
    f.services.queuePick({QStringLiteral("03")});
    EXPECT_TRUE(Pesquisar(&f.services, &f.dts, QStringLiteral("Empresas|Não há empresa."), false, true,
                          QStringLiteral("CDEMPRESA")));
    EXPECT_EQ(f.cds.fieldByName(u"CDEMPRESA").asString(), QStringLiteral("03"));
    f.services.queuePickNone();
    EXPECT_FALSE(Pesquisar(&f.services, &f.dts, QStringLiteral("Empresas|Não há empresa.")));
    f.cds.emptyDataSet();
    EXPECT_FALSE(Pesquisar(&f.services, &f.dts, QStringLiteral("Empresas|Não há empresa.")));
    ASSERT_EQ(f.services.messages().size(), 1u);
    EXPECT_EQ(f.services.messages().front().text, QStringLiteral("Não há empresa."));
}

TEST(PesquisaListaRule, QuotedListWithDoubledQuotes) {
    LookupFixture f;
    f.services.queuePick({QStringLiteral("O'K"), QStringLiteral("01")});
    QString out;
    EXPECT_EQ(PesquisaLista(&f.services, &f.dts, QStringLiteral("CDEMPRESA"),
                            QStringLiteral("Empresas|Nada."), out),
              QStringLiteral("'01','O''K'"));
    EXPECT_EQ(out, QStringLiteral("'01','O''K'"));
    f.services.queuePickNone();
    EXPECT_EQ(PesquisaLista(&f.services, &f.dts, QStringLiteral("CDEMPRESA"),
                            QStringLiteral("Empresas|Nada."), out),
              QString());
    EXPECT_EQ(quotedList({}), QString());
}

TEST(BtnPesquisaRule, BeforePesqMayRefuseAndAfterPesqRunsAfterAPick) {
    LookupFixture f;
    ui::Form form(QStringLiteral("f"), &f.services);
    auto& btn = form.add<TBtnPesquisa>(QStringLiteral("btnEmpresa"));
    btn.SetDataSource(&f.dts);
    btn.keyField = QStringLiteral("CDEMPRESA");
    bool allow = false;
    int after = 0;
    btn.BeforePesq = [&](ui::Control&, bool& a) { a = allow; };
    btn.AfterPesq = [&](ui::Control&) { ++after; };
    f.services.queuePick({QStringLiteral("01")});
    ui::user::click(btn);
    EXPECT_EQ(after, 0);
    EXPECT_EQ(f.services.pendingPicks(), 1u);
    allow = true;
    ui::user::click(btn);
    EXPECT_EQ(after, 1);
    f.services.queuePickNone();
    ui::user::click(btn);
    EXPECT_EQ(after, 1);
}

TEST(DateEditPlusRule, InvalidDateIsReportedWithTheFocusOnTheEdit) {
    ui::HeadlessUi services;
    ui::Form form(QStringLiteral("f"), &services);
    auto& other = form.add<ui::Edit>(QStringLiteral("edt"));
    auto& dep = form.add<TDateEditPlus>(QStringLiteral("depData"));
    dep.onExit = [&dep](ui::Control&) { dep.CheckValidDate(); };
    ui::user::type(dep, QStringLiteral("32012026"));
    ui::user::focus(other);
    EXPECT_TRUE(dep.focused());
    ASSERT_EQ(services.messages().size(), 1u);
    EXPECT_EQ(services.messages().front().text, QStringLiteral("Data inválida: 32/01/2026."));
    ui::user::type(dep, QString());
    ui::user::focus(other);
    EXPECT_TRUE(other.focused());
    EXPECT_FALSE(dep.GetDate().isValid());
}

TEST(SetChildEnabledRule, EveryControlInsideButNotTheContainer) {
    ui::HeadlessUi services;
    ui::Form form(QStringLiteral("f"), &services);
    auto& pan = form.add<ui::Panel>(QStringLiteral("pan"));
    auto& inner = pan.add<ui::Panel>(QStringLiteral("inner"));
    auto& e = inner.add<ui::Edit>(QStringLiteral("e"));
    SetChildEnabled(pan, false);
    EXPECT_TRUE(pan.enabled());
    EXPECT_FALSE(inner.enabled());
    EXPECT_FALSE(e.enabled());
    SetChildEnabled(pan, true);
    EXPECT_TRUE(e.effectivelyEnabled());
}

TEST(BaseForms, ToolButtonsMenuItemsAndTabs) {
    ui::HeadlessUi services;
    Session session;
    session.services = &services;
    TfrmPadrao form(QStringLiteral("frmTeste"), QStringLiteral("Teste"), QStringLiteral("TST0001"), session);
    int includes = 0;
    form.sbtIncluir.onClick = [&](ui::Control&) { ++includes; };
    ui::user::click(form.mnuIncluir);
    EXPECT_EQ(includes, 1);
    form.sbtIncluir.setEnabled(false);
    ui::user::click(form.mnuIncluir);
    EXPECT_EQ(includes, 1);
    EXPECT_EQ(form.lblCodTela.text(), QStringLiteral("TST0001"));
    EXPECT_EQ(form.pgcPadrao.activePage(), &form.tshFolhaDados);
    EXPECT_NE(form.findControl(u"dbgPadrao"), nullptr);

    TfrmRotiGeral dialog(QStringLiteral("frmDlg"), QStringLiteral("Dlg"), QStringLiteral("TST0002"), session);
    services.queueModalHandler([&](ui::Form&) { ui::user::click(dialog.sbtCancel); });
    EXPECT_EQ(dialog.showModal(), ui::ModalResult::Cancel);
}

TEST(BusyAnimation, NestedOnOff) {
    ui::HeadlessUi services;
    ActiveShowAvi(&services, 1);
    ActiveShowAvi(&services, 6);
    DeactiveShowAvi(&services);
    EXPECT_EQ(services.busyDepth(), 1);
    DeactiveShowAvi(&services);
    DeactiveShowAvi(&services);
    EXPECT_EQ(services.busyDepth(), 0);
}

}  // namespace
