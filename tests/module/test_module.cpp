// The module's launchers and state: one journal-entry screen per load, shown again on every call, its
// creation steps with the session's company, its connections closed by a close and working again on
// first use, and every entry point reachable by name in the built shared library.
#include "entry_screen/cli_ctb10000.h"
#include "filter_dialog/cli_ctb10010.h"
#include "history_dialog/cli_ctb10020.h"
#include "module/pkg_ctb10000.h"
#include "platform/ui/services.h"
#include "tests/support/core_app.h"
#include "tests/support/loopback_server.h"
#include "tests/support/pg_cluster.h"

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlQuery>

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <httplib.h>

#include <atomic>
#include <thread>

namespace ctb::ctb10000 {
namespace {

// A reference database with just what the screen's creation reads.
QString referenceDatabase() {
    static const QString connection = [] {
        ctb::test::ensureCoreApplication();
        const QString name = QStringLiteral("ctb10000_module_test");
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(ctb::test::tempSqlitePath(QStringLiteral("module")));
        EXPECT_TRUE(db.open());
        QSqlQuery q(db);
        for (const char* sql :
             {"CREATE TABLE EMPRESA (CDEMPRESA VARCHAR(2) PRIMARY KEY, NMEMPRESA VARCHAR(40))",
              "CREATE TABLE CONTOPECTBL (CDEMPRESA VARCHAR(2) PRIMARY KEY, IDCONTGERE VARCHAR(1), IDCONTCOME "
              "VARCHAR(1), IDMSMCONTADBCR VARCHAR(1), DTINICLANC DATE, DTFINALANC DATE)",
              "INSERT INTO EMPRESA VALUES ('01', 'Comercial Araújo Ltda.')",
              "INSERT INTO EMPRESA VALUES ('02', 'Indústria São João S.A.')",
              "INSERT INTO CONTOPECTBL VALUES ('01', 'S', 'S', 'N', '2026-01-01', '2026-12-31')"})
            EXPECT_TRUE(q.exec(QString::fromUtf8(sql))) << sql;
        return name;
    }();
    return connection;
}

// A stand-in application server: answers the health probe and one method, counting requests.
class FakeServer {
  public:
    FakeServer() {
        http_.routes().Get("/health", [this](const httplib::Request&, httplib::Response& res) {
            ++probes;
            res.set_content(R"({"ok": true})", "application/json");
        });
        http_.routes().Post("/rdm/CTB10000.rdmLancamento/getProximoNRLANCCONT",
                            [this](const httplib::Request&, httplib::Response& res) {
                                ++calls;
                                res.set_content(R"({"ok": true, "result": "202612000001"})",
                                                "application/json");
                            });
        http_.routes().set_keep_alive_max_count(1);  // no kept-alive connection holds up stop()
        http_.start();
    }
    [[nodiscard]] int port() const { return http_.port(); }
    std::atomic<int> calls{0};
    std::atomic<int> probes{0};  // one per connection attempt

  private:
    ctb::test::LoopbackServer http_;  // after the counters its handlers use
};

// Counts every show, where the headless services list each form once.
class CountingUi : public ui::HeadlessUi {
  public:
    void showForm(ui::Form& form) override {
        ++shows;
        HeadlessUi::showForm(form);
    }
    int shows = 0;
};

class ModuleTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Initialize();
        setSession("01", 0);
    }
    void TearDown() override { Finalize(); }

    void setSession(const char* company, int port) {
        const QByteArray connection = referenceDatabase().toUtf8();
        CtbSessao s{};
        s.size = sizeof(CtbSessao);
        s.company = company;
        s.user = "OPER";
        s.serverHost = "127.0.0.1";
        s.serverPort = port;
        s.dbConnection = connection.constData();
        s.today = "2026-12-08";
        s.uiServices = &ui_;
        ASSERT_EQ(SetSessao(&s), 0);
    }

    CountingUi ui_;
};

TEST_F(ModuleTest, IniProcTwiceCreatesOneScreenAndShowsItTwice) {
    IniProc();
    TfrmLancamento* first = frmLancamento;
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(boCriado);
    IniProc();
    EXPECT_EQ(frmLancamento, first);
    EXPECT_EQ(ui_.shows, 2);
    ASSERT_EQ(ui_.shownForms().size(), 1u);
    EXPECT_EQ(ui_.shownForms()[0], first);
    EXPECT_TRUE(ui_.messages().empty())
        << (ui_.messages().empty() ? std::string() : ui_.messages().front().text.toStdString());
    // The hourglass was on while the screen was created, and is off again.
    EXPECT_GE(ui_.busyTotal(), 1);
    EXPECT_EQ(ui_.busyDepth(), 0);
}

TEST_F(ModuleTest, CreationPutsTheSessionCompanyWithItsNameAndPreparesTheTables) {
    IniProc();
    TfrmLancamento& f = *frmLancamento;
    EXPECT_EQ(f.edtCdEmpresa.text(), QStringLiteral("01"));
    EXPECT_EQ(f.edtNmEmpresa.text(), QStringLiteral("Comercial Araújo Ltda."));
    EXPECT_EQ(f.activeControl(), &f.edtCdEmpresa);  // the first control to have the focus
    EXPECT_EQ(f.lblCodTela.caption(), QStringLiteral("CTB10000"));
    EXPECT_EQ(f.caption(), QStringLiteral("Lançamentos Contábeis"));
    // Set by the creation, cleared again as the focus enters the company panel.
    EXPECT_FALSE(f.FNavegacao);
    EXPECT_FALSE(f.FFiltroCriado);
    // Created empty at creation: the six working tables; the list and the server's tables are not.
    for (ClientDataSet* t : {&f.cdsDebito, &f.cdsCredito, &f.cdsLancCCusto, &f.cdsLancContEspelho,
                             &f.cdsLancFiltrado, &f.cdsLancCCustoEspelho})
        EXPECT_TRUE(t->active() && t->isEmpty()) << t->name().toStdString();
    for (ClientDataSet* t : {&f.cdsLancCont, &f.cdsCentCustFil, &f.cdsMapaApurac})
        EXPECT_FALSE(t->active()) << t->name().toStdString();
    // The account-code picture on the account fields, but not on the mirror's.
    const QString mask = QStringLiteral("9.9.99.999;1; ");
    for (ClientDataSet* t :
         {static_cast<ClientDataSet*>(&f.qryContCtbl), &f.cdsLancCont, &f.cdsDebito, &f.cdsCredito})
        EXPECT_EQ(t->fieldByName(u"CDCONTCTBL").editMask(), mask) << t->name().toStdString();
    EXPECT_TRUE(f.cdsLancContEspelho.fieldByName(u"CDCONTCTBL").editMask().isEmpty());
    EXPECT_FALSE(f.depData.enabled());
    EXPECT_FALSE(f.panLancamentoGerencial.visible());
    EXPECT_EQ(f.edtCdEmpresa.maxLength(), 2);
    EXPECT_EQ(f.dbeDsHistLanc.maxLength(), 600);
    EXPECT_EQ(f.btnAlteraHistorico.hint(), QStringLiteral("Visualizar/Alterar descrição"));
    EXPECT_EQ(f.mnuFiltrar.shortcutText(), QStringLiteral("Ctrl+L"));
    EXPECT_EQ(f.btnEmpresa.dataSource(), &f.dtsEmpresa);
    EXPECT_EQ(f.btnEmpresa.title, QStringLiteral("Empresa"));
    EXPECT_EQ(f.btnEmpresa.notFoundText, QStringLiteral("Não há empresa cadastrada."));
    EXPECT_EQ(f.btnHistorico.dataSource(), &f.dtsHistPadr);
    EXPECT_EQ(f.dtsPadrao.dataSet(), &f.cdsLancCont);
}

TEST_F(ModuleTest, CompanyNotFoundAtCreationShowsEmpNAndLeavesTheCodeWithoutName) {
    setSession("99", 0);
    IniProc();
    ASSERT_NE(frmLancamento, nullptr);
    auto message = ui_.takeMessage();
    ASSERT_TRUE(message.has_value());
    EXPECT_EQ(message->kind, ui::MessageKind::Error);
    EXPECT_EQ(message->text, QStringLiteral("Empresa não cadastrada."));
    EXPECT_FALSE(ui_.takeMessage().has_value());
    EXPECT_EQ(frmLancamento->edtCdEmpresa.text(), QStringLiteral("99"));
    EXPECT_EQ(frmLancamento->activeControl(), &frmLancamento->edtCdEmpresa);
    EXPECT_TRUE(frmLancamento->edtNmEmpresa.text().isEmpty());
    // The screen still opens, and the check ended the creation only after the tables were made.
    EXPECT_EQ(ui_.shownForms().size(), 1u);
    EXPECT_TRUE(frmLancamento->cdsDebito.active());
}

TEST_F(ModuleTest, ClosedScreenComesBackAsTheSameObjectAndReconnectsOnFirstUse) {
    FakeServer server;
    setSession("01", server.port());
    CriaLancamentos();
    TfrmLancamento* screen = frmLancamento;
    ASSERT_TRUE(screen->netLancamento.connected());
    ASSERT_TRUE(screen->NetLanccontabil.connected());
    EXPECT_EQ(screen->netLancamento.ServerName, QStringLiteral("CTB10000.rdmLancamento"));
    EXPECT_EQ(screen->NetLanccontabil.ServerName, QStringLiteral("Ctb11000.rdmLancamentos"));

    screen->close();
    EXPECT_FALSE(screen->netLancamento.connected());
    EXPECT_FALSE(screen->NetLanccontabil.connected());

    CriaLancamentos();
    EXPECT_EQ(frmLancamento, screen);
    EXPECT_FALSE(screen->netLancamento.connected());  // nothing reopens them on show...
    const net::CallResult r =
        screen->netLancamento.call(QStringLiteral("getProximoNRLANCCONT"),
                                   {wire::Value::fromString(u"01"), wire::Value::fromString(u"202612")});
    EXPECT_TRUE(r.ok) << r.error.toStdString();  // ...the first call does
    EXPECT_EQ(r.value.toString(), QStringLiteral("202612000001"));
    EXPECT_TRUE(screen->netLancamento.connected());
    EXPECT_EQ(server.probes.load(), 3);  // both at creation, then netLancamento again
    EXPECT_EQ(server.calls.load(), 1);
}

TEST_F(ModuleTest, BeforeConnectTakesTheSessionServerAtEachAttempt) {
    IniProc();  // no server: the connections stay closed and nothing is raised
    TfrmLancamento* screen = frmLancamento;
    EXPECT_FALSE(screen->netLancamento.connected());
    EXPECT_TRUE(ui_.messages().empty());
    FakeServer server;
    setSession("01", server.port());
    const net::CallResult r = screen->NetLanccontabil.call(QStringLiteral("ValidaMapa"), {});
    EXPECT_TRUE(screen->NetLanccontabil.connected());
    EXPECT_EQ(screen->NetLanccontabil.Port, server.port());
    EXPECT_FALSE(r.ok);  // the stand-in server knows only one method
}

TEST_F(ModuleTest, FilterLauncherCreatesPerCompanyAndReusesInBetween) {
    IniProc();
    ui_.queueModalHandler([](ui::Form& f) { f.close(); });
    CriaLancFiltro();
    TfrmLancFiltro* first = frmLancFiltro;
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(frmLancamento->FFiltroCriado);
    ui_.queueModalHandler([](ui::Form& f) { f.close(); });
    CriaLancFiltro();
    EXPECT_EQ(frmLancFiltro, first);
    frmLancamento->FFiltroCriado = false;  // what a change of company does
    ui_.queueModalHandler([](ui::Form& f) { f.close(); });
    CriaLancFiltro();
    EXPECT_NE(frmLancFiltro, first);
}

TEST_F(ModuleTest, HistoryLauncherCreatesOnce) {
    IniProc();
    CriaHistorico();
    TfrmHistLanc* first = frmHistLanc;
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(boIdCriado);
    CriaHistorico();
    EXPECT_EQ(frmHistLanc, first);
    EXPECT_FALSE(boFrmClose);
}

// Every entry point and state variable is found by name in the built library.
TEST(ModuleLibrary, ExportsEveryEntryPointByName) {
    void* lib = dlopen(CTB10000_MODULE_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(lib, nullptr) << dlerror();
    for (const char* name : {"IniProc", "CriaLancamentos", "CriaLancFiltro", "CriaHistorico", "frmLancamento",
                             "boCriado", "frmLancFiltro", "frmHistLanc", "boIdCriado", "boFrmClose",
                             "GetPackageInfoTable", "Initialize", "Finalize", "SetSessao"})
        EXPECT_NE(dlsym(lib, name), nullptr) << name;
    auto info = reinterpret_cast<const CtbPackageInfo* (*)()>(dlsym(lib, "GetPackageInfoTable"));
    ASSERT_NE(info, nullptr);
    QStringList units;
    for (const char* const* u = info()->units; *u != nullptr; ++u)
        units << QString::fromUtf8(*u);
    EXPECT_EQ(units, (QStringList{QStringLiteral("Pkg_ctb10000"), QStringLiteral("Cli_ctb10020"),
                                  QStringLiteral("Cli_ctb10000"), QStringLiteral("Cli_ctb10010")}));
    EXPECT_FALSE(*static_cast<bool*>(dlsym(lib, "boCriado")));
    EXPECT_EQ(*static_cast<TfrmLancamento**>(dlsym(lib, "frmLancamento")), nullptr);
    // A hidden internal symbol stays hidden.
    EXPECT_EQ(dlsym(lib, "_ZN3ctb8ctb100007sessionEv"), nullptr);
    dlclose(lib);
}

}  // namespace
}  // namespace ctb::ctb10000
