// The list of the browse tab: the filter button, menu and shortcut, the repeat query and the coded
// columns.
#include "tests/module/screen_fixture.h"

namespace ctb::ctb10000 {
namespace {

using namespace screentest;

QString text(const char* t) {
    return QString::fromUtf8(t);
}

constexpr ui::ShiftState kCtrl{true, false};

const char* const kPerDev = "Período do filtro deve ser informado. Informe o filtro dos lançamentos.";

// ================================================================ filter button, menu and shortcut

TEST_F(ScreenFixture, CtrlLOpensTheSameDialogWithTheConfirmedCriteria) {
    TfrmLancamento& f = listed();
    TfrmLancFiltro* first = frmLancFiltro;
    bool shown = false;
    nextDialog([&](TfrmLancFiltro& d) {
        shown = true;
        EXPECT_EQ(&d, first);
        EXPECT_EQ(d.depIni.text(), QStringLiteral("01/12/2026"));
        user::click(d.sbtCancel);
    });
    ASSERT_TRUE(user::key(f.dbgPadrao, ui::vk::KeyA + ('L' - 'A'), kCtrl));
    EXPECT_TRUE(shown);
    EXPECT_EQ(f.cdsLancCont.recordCount(), 7);
}

TEST_F(ScreenFixture, FilterMenuItemClicksTheFilterButton) {
    TfrmLancamento& f = listed();
    EXPECT_EQ(f.mnuFiltrar.shortcutText(), QStringLiteral("Ctrl+L"));
    nextDialogConfirms("05/12/2026");
    ASSERT_TRUE(user::click(f.mnuFiltrar));
    EXPECT_EQ(f.cdsLancCont.recordCount(), 5);  // entries 2 and 3
}

TEST_F(ScreenFixture, FilterIsOffOnTheFormTab) {
    TfrmLancamento& f = opened(1);
    EXPECT_FALSE(enabledWithMenu(f.spbFiltro, f.mnuFiltrar));
    // No dialog queued: one that opened would be reported by the fixture.
    user::key(f.dbgDebito, ui::vk::KeyA + ('L' - 'A'), kCtrl);
    EXPECT_EQ(f.pgcPadrao.activePage(), &f.tshFormulario);
}

// ================================================================ refreshing the list

TEST_F(ScreenFixture, CheckButtonRepeatsTheStoredQueryWithTheCompanyOfNow) {
    TfrmLancamento& f = listed();
    const auto first = calls("getLancamentos");
    ASSERT_EQ(first.size(), 1u);
    const int busy = ui_.busyTotal();
    ASSERT_TRUE(user::click(f.sbtVerificar));
    EXPECT_TRUE(ui_.messages().empty()) << nextMessage().toStdString();
    const auto all = calls("getLancamentos");
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[1].args, first[0].args) << wire::encodeRequest(all[1].args);
    EXPECT_EQ(all[1].args, frmLancFiltro->FCriterios.toArgs(QStringLiteral("01")));
    EXPECT_EQ(f.cdsLancCont.recordCount(), 7);
    EXPECT_TRUE(f.tshFormulario.enabled());
    EXPECT_TRUE(f.sbtIncluir.enabled());
    EXPECT_GT(ui_.busyTotal(), busy);  // the busy animation was up for the call, and is down again
}

TEST_F(ScreenFixture, RefreshBeforeAnyFilterAsksForItAndACancelEndsSilentlyOnTheCompany) {
    TfrmLancamento& f = screen();
    nextDialogCancels();
    ASSERT_TRUE(toList());
    ASSERT_FALSE(frmLancFiltro->FCriterios.hasPeriod());
    nextDialogCancels();
    EXPECT_FALSE(user::click(f.sbtVerificar));
    const auto m = ui_.takeMessage();
    ASSERT_TRUE(m.has_value());
    EXPECT_EQ(m->kind, ui::MessageKind::Information);
    EXPECT_EQ(m->text, text(kPerDev));
    EXPECT_TRUE(ui_.messages().empty()) << nextMessage().toStdString();
    EXPECT_EQ(f.activeControl(), &f.edtCdEmpresa);
    EXPECT_TRUE(f.cdsLancCont.active());
    EXPECT_EQ(f.cdsLancCont.recordCount(), 0);
    EXPECT_TRUE(calls("getLancamentos").empty());
    // The key is in no catalog, and the catalog stays as it is.
    EXPECT_FALSE(f.msgPadrao.contains(QStringLiteral("PER_DEV")));
    EXPECT_EQ(f.perDevText(), text(kPerDev));
}

TEST_F(ScreenFixture, RefreshBeforeAnyFilterThenConfirmedQueriesWithTheNewPeriod) {
    TfrmLancamento& f = screen();
    nextDialogCancels();
    ASSERT_TRUE(toList());
    nextDialogConfirms();
    ASSERT_TRUE(user::click(f.sbtVerificar));
    EXPECT_EQ(nextMessage(), text(kPerDev));
    EXPECT_TRUE(ui_.messages().empty()) << nextMessage().toStdString();
    // The dialog's own query, then the refresh with the criteria it kept.
    const auto sent = calls("getLancamentos");
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0].args, sent[1].args);
    EXPECT_EQ(f.cdsLancCont.recordCount(), 7);
    EXPECT_TRUE(f.tshFormulario.enabled());
}

TEST_F(ScreenFixture, RefusedRefreshShowsTheServerTextAndKeepsTheList) {
    TfrmLancamento& f = listed();
    // Criteria the server refuses (date from after date to).
    frmLancFiltro->FCriterios.dtIni = QDate(2026, 12, 31);
    EXPECT_FALSE(user::click(f.sbtVerificar));
    const auto m = ui_.takeMessage();
    ASSERT_TRUE(m.has_value());
    EXPECT_EQ(m->kind, ui::MessageKind::Error);
    EXPECT_FALSE(m->text.isEmpty());
    EXPECT_EQ(calls("getLancamentos").size(), 2u);
    EXPECT_EQ(f.cdsLancCont.recordCount(), 7);
    EXPECT_EQ(ui_.busyDepth(), 0);
}

TEST_F(ScreenFixture, FailedRefreshShowsTheServerMessageAndKeepsTheList) {
    TfrmLancamento& f = listed();
    proxy_->failNext("getLancamentos");
    EXPECT_FALSE(user::click(f.sbtVerificar));
    EXPECT_EQ(nextMessage(), QStringLiteral("Falha simulada no servidor."));
    EXPECT_EQ(f.cdsLancCont.recordCount(), 7);
    EXPECT_EQ(ui_.busyDepth(), 0);
}

TEST_F(ScreenFixture, RefreshSwitchesTheListFilterOff) {
    TfrmLancamento& f = listed();
    f.cdsLancCont.setFilter(QStringLiteral("NRLANCCONT = '202612000003'"));
    f.cdsLancCont.setFiltered(true);
    ASSERT_EQ(f.cdsLancCont.recordCount(), 2);
    ASSERT_TRUE(user::click(f.sbtVerificar));
    EXPECT_FALSE(f.cdsLancCont.filtered());
    EXPECT_EQ(f.cdsLancCont.recordCount(), 7);
}

// ================================================================ coded columns

TEST_F(ScreenFixture, OriginSystemAndTypeShowAsTexts) {
    setSession("06");
    TfrmLancamento& f = screen();
    nextDialogConfirms();
    ASSERT_TRUE(toList());
    const auto& cases = systemCases();
    ASSERT_EQ(f.cdsLancCont.recordCount(), static_cast<int>(cases.size()));
    const QStringList systems = column(f.cdsLancCont, "IDSISTEMA");
    const QStringList types = column(f.cdsLancCont, "IDLANCINTE");
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const int r = static_cast<int>(i);
        EXPECT_EQ(systems[r], text(cases[i].systemText)) << (cases[i].code ? cases[i].code : "NULL");
        EXPECT_EQ(types[r], text(cases[i].typeText)) << cases[i].type;
    }
    EXPECT_EQ(f.cdsLancCont.fieldByName(u"IDLANCINTE").displayLabel(), QStringLiteral("Tipo"));
    EXPECT_EQ(f.cdsLancCont.fieldByName(u"IDSISTEMA").displayLabel(), QStringLiteral("Origem"));
}

TEST_F(ScreenFixture, LotLineShowsLoteAndLowerCaseSystemShowsNothing) {
    TfrmLancamento& f = listed();
    ASSERT_TRUE(user::selectRow(f.dbgPadrao, 3));
    EXPECT_EQ(f.cdsLancCont.fieldByName(u"IDLANCINTE").displayText(), QStringLiteral("Lote"));
    EXPECT_EQ(f.cdsLancCont.fieldByName(u"IDSISTEMA").asString(), QStringLiteral("dfs"));
    EXPECT_EQ(f.cdsLancCont.fieldByName(u"IDSISTEMA").displayText(), QString());
    ASSERT_TRUE(user::selectRow(f.dbgPadrao, 1));
    EXPECT_EQ(f.cdsLancCont.fieldByName(u"IDLANCINTE").displayText(), QStringLiteral("Manual"));
    EXPECT_EQ(f.cdsLancCont.fieldByName(u"IDSISTEMA").displayText(),
              QStringLiteral("Documentos Fiscais de Saída"));
}

TEST_F(ScreenFixture, MirrorOriginTypeReadsTheListRow) {
    TfrmLancamento& f = listed();
    ASSERT_TRUE(user::selectRow(f.dbgPadrao, 3));  // a lot line
    f.cdsLancContEspelho.append();
    f.cdsLancContEspelho.fieldByName(u"IDLANCINTE").setAsString(QStringLiteral("E"));
    f.cdsLancContEspelho.post();
    EXPECT_EQ(f.cdsLancContEspelho.fieldByName(u"IDLANCINTE").displayText(), QStringLiteral("Lote"));
    ASSERT_TRUE(user::selectRow(f.dbgPadrao, 6));  // an integration line
    EXPECT_EQ(f.cdsLancContEspelho.fieldByName(u"IDLANCINTE").displayText(), QStringLiteral("Integração"));
}

}  // namespace
}  // namespace ctb::ctb10000
