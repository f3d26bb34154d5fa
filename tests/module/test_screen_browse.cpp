// The journal-entry screen's frame: company context and options, the filter on leaving the company, the
// button rules of each mode, the list and its refresh, the entry opened on the form tab, the header's
// document and date, the side flags and Ctrl+Delete. Driven through the control model (focus, typing,
// clicks, keys) with the headless UI services, against a real application server.
#include "tests/module/screen_fixture.h"

namespace ctb::ctb10000 {
namespace {

using namespace screentest;
using ui::vk::Back;
using ui::vk::Delete;
using ui::vk::Insert;

constexpr ui::ShiftState kCtrl{true, false};

const char* const kPerDev = "Período do filtro deve ser informado. Informe o filtro dos lançamentos.";

QString text(const char* t) {
    return QString::fromUtf8(t);
}

// The list rows' display texts of one field, in order.
QStringList column(const ClientDataSet& t, const char* field) {
    QStringList out;
    const int index = t.fieldByName(QString::fromLatin1(field)).index();
    for (int r = 0; r < t.viewRowCount(); ++r)
        out << t.displayTextAt(r, index);
    return out;
}

bool enabledWithMenu(const ui::Control& button, const ui::MenuItem& item) {
    EXPECT_EQ(button.enabled(), item.enabled()) << button.name().toStdString();
    return button.enabled();
}

// ================================================================ company

TEST_F(ScreenFixture, OneCharacterCompanyIsStoredInTwoAndLookedUpSo) {
    TfrmLancamento& f = screen();
    ASSERT_TRUE(user::type(f.edtCdEmpresa, QStringLiteral("7")));
    nextDialogCancels();
    ASSERT_TRUE(toList());
    EXPECT_EQ(f.edtCdEmpresa.text(), QStringLiteral("07"));
    EXPECT_EQ(f.edtNmEmpresa.text(), QStringLiteral("Navega Sete Ltda"));
    EXPECT_TRUE(ui_.messages().empty()) << nextMessage().toStdString();
    // Rewritten before the lookup: the rewrite is a change, so the dialog is the new company's.
    EXPECT_TRUE(f.FFiltroCriado);
    EXPECT_EQ(&frmLancFiltro->target(), static_cast<FilterTarget*>(&f));
}

struct CompanyError {
    const char* typed;
    const char* message;
};

class CompanyCheck : public ScreenFixture, public ::testing::WithParamInterface<CompanyError> {};

TEST_P(CompanyCheck, FailsWithTheFocusKeptOnTheCodeAndNoDialog) {
    TfrmLancamento& f = screen();
    ASSERT_TRUE(user::type(f.edtCdEmpresa, text(GetParam().typed)));
    EXPECT_FALSE(toList());
    EXPECT_EQ(nextMessage(), text(GetParam().message));
    EXPECT_TRUE(ui_.messages().empty());
    EXPECT_EQ(f.activeControl(), &f.edtCdEmpresa);
    EXPECT_TRUE(f.edtNmEmpresa.text().isEmpty());
    // The check ended the move: the panel was not left, no dialog, no list.
    EXPECT_FALSE(f.FFiltroCriado);
    EXPECT_EQ(frmLancFiltro, nullptr);
    EXPECT_FALSE(f.cdsLancCont.active());
    EXPECT_FALSE(f.FNavegacao);
}

INSTANTIATE_TEST_SUITE_P(EmptyAndUnknown, CompanyCheck,
                         ::testing::Values(CompanyError{"", "Empresa deve ser informada."},
                                           CompanyError{"  ", "Empresa deve ser informada."},
                                           CompanyError{"77", "Empresa não cadastrada."},
                                           CompanyError{"9", "Empresa não cadastrada."}));

struct PanelCase {
    const char* company;
    bool commercial;
    bool managerial;
};

class CompanyOptions : public ScreenFixture, public ::testing::WithParamInterface<PanelCase> {};

TEST_P(CompanyOptions, ShowTheCommercialAndManagerialPanelsEachTimeTheCompanyIsChecked) {
    TfrmLancamento& f = screen();
    // Start from the opposite of what is expected, so that the check has to set both.
    f.panComercial.setVisible(!GetParam().commercial);
    f.panGerencial.setVisible(!GetParam().managerial);
    ASSERT_TRUE(user::type(f.edtCdEmpresa, text(GetParam().company)));
    nextDialogCancels();
    ASSERT_TRUE(toList());
    EXPECT_EQ(f.panComercial.visible(), GetParam().commercial);
    EXPECT_EQ(f.panGerencial.visible(), GetParam().managerial);
    EXPECT_EQ(f.FIdContGere == u"S", GetParam().managerial);
}

INSTANTIATE_TEST_SUITE_P(ByCompany, CompanyOptions,
                         ::testing::Values(PanelCase{"01", true, true},
                                           PanelCase{"02", false, false},  // no CONTOPECTBL row
                                           PanelCase{"03", false, false}, PanelCase{"04", true, false},
                                           PanelCase{"05", false, true}));

TEST_F(ScreenFixture, CreationKeepsTheDesignedPanels) {
    TfrmLancamento& f = screen();
    EXPECT_TRUE(f.panComercial.visible());
    EXPECT_TRUE(f.panGerencial.visible());
    EXPECT_FALSE(f.panLancamentoGerencial.visible());
}

TEST_F(ScreenFixture, FilterButtonChecksTheCompanyFirst) {
    TfrmLancamento& f = listed();
    TfrmLancFiltro* first = frmLancFiltro;
    // A code set from outside the panel: the filter button brings it to width and checks it.
    f.edtCdEmpresa.setText(QStringLiteral("4"));
    nextDialogCancels();
    ASSERT_TRUE(user::click(f.spbFiltro));
    EXPECT_EQ(f.edtCdEmpresa.text(), QStringLiteral("04"));
    EXPECT_EQ(f.edtNmEmpresa.text(), QStringLiteral("Navega Quatro Ltda"));
    EXPECT_TRUE(f.panComercial.visible());
    EXPECT_FALSE(f.panGerencial.visible());
    EXPECT_NE(frmLancFiltro, first);  // another company: another dialog
    // An unknown code: the dialog does not open.
    f.edtCdEmpresa.setText(QStringLiteral("88"));
    EXPECT_FALSE(user::click(f.spbFiltro));
    EXPECT_EQ(nextMessage(), QStringLiteral("Empresa não cadastrada."));
    EXPECT_EQ(f.activeControl(), &f.edtCdEmpresa);
}

TEST_F(ScreenFixture, CompanyLookupListsEveryCompanyAndFillsCodeAndName) {
    TfrmLancamento& f = listed();
    ASSERT_TRUE(user::focus(f.edtCdEmpresa));
    ui_.queuePick({QStringLiteral("03")});
    ASSERT_TRUE(user::click(f.btnEmpresa));
    EXPECT_EQ(f.qryEmpresa.recordCount(), 7);  // every company, whatever the code
    EXPECT_EQ(f.edtCdEmpresa.text(), QStringLiteral("03"));
    EXPECT_EQ(f.edtNmEmpresa.text(), QStringLiteral("Navega Três Ltda"));
    // The pick changed the code: the list is gone and the next leave makes a new dialog.
    EXPECT_FALSE(f.FFiltroCriado);
    EXPECT_FALSE(f.cdsLancCont.active());
    nextDialogConfirms();
    ASSERT_TRUE(toList());
    EXPECT_FALSE(f.panComercial.visible());
    EXPECT_EQ(f.cdsLancCont.recordCount(), 2);
    EXPECT_EQ(f.cdsLancCont.fieldByName(u"CDEMPRESA").asString(), QStringLiteral("03"));
}

TEST_F(ScreenFixture, LookupPickedNothingChangesNothing) {
    TfrmLancamento& f = listed();
    ASSERT_TRUE(user::focus(f.edtCdEmpresa));
    ui_.queuePickNone();
    ASSERT_TRUE(user::click(f.btnEmpresa));
    EXPECT_EQ(f.edtCdEmpresa.text(), QStringLiteral("01"));
    EXPECT_TRUE(f.FFiltroCriado);
    EXPECT_EQ(f.cdsLancCont.recordCount(), 7);
}

// ================================================================ company edits and the list

TEST_F(ScreenFixture, FirstKeystrokeInTheCodeEmptiesAndClosesTheList) {
    TfrmLancamento& f = listed();
    TfrmLancFiltro* first = frmLancFiltro;
    ASSERT_TRUE(f.FFiltroCriado);
    ASSERT_TRUE(user::key(f.edtCdEmpresa, Back));
    EXPECT_EQ(f.edtCdEmpresa.text(), QStringLiteral("0"));
    EXPECT_FALSE(f.cdsLancCont.active());
    EXPECT_EQ(f.cdsLancCont.recordCount(), 0);
    EXPECT_TRUE(f.edtNmEmpresa.text().isEmpty());
    EXPECT_FALSE(f.FFiltroCriado);
    // Leaving opens a new dialog, with nothing remembered, before anything is listed.
    ASSERT_TRUE(user::typeChar(f.edtCdEmpresa, u'3'));
    bool asked = false;
    nextDialog([&](TfrmLancFiltro& d) {
        asked = true;
        EXPECT_FALSE(f.cdsLancCont.active());
        EXPECT_FALSE(d.FCriterios.hasPeriod());
        EXPECT_EQ(d.depIni.text(), QStringLiteral("08/12/2026"));
        user::click(d.sbtCancel);
    });
    ASSERT_TRUE(toList());
    EXPECT_TRUE(asked);
    EXPECT_NE(frmLancFiltro, first);
    EXPECT_EQ(f.edtNmEmpresa.text(), QStringLiteral("Navega Três Ltda"));
    // Cancelled: the list is created empty.
    EXPECT_TRUE(f.cdsLancCont.active());
    EXPECT_EQ(f.cdsLancCont.recordCount(), 0);
}

TEST_F(ScreenFixture, SameCodeAgainIsNoChange) {
    TfrmLancamento& f = listed();
    f.edtCdEmpresa.setText(QStringLiteral("01"));
    EXPECT_TRUE(f.FFiltroCriado);
    EXPECT_EQ(f.cdsLancCont.recordCount(), 7);
    EXPECT_EQ(f.edtNmEmpresa.text(), QStringLiteral("Navega Um Ltda"));
}

TEST_F(ScreenFixture, LeavingTheCompanyAgainReusesTheDialogWithoutShowingIt) {
    TfrmLancamento& f = listed();
    TfrmLancFiltro* first = frmLancFiltro;
    ASSERT_TRUE(user::focus(f.edtCdEmpresa));
    EXPECT_FALSE(f.FNavegacao);
    ASSERT_TRUE(toList());  // no dialog queued: the fixture would report one that opened
    EXPECT_EQ(frmLancFiltro, first);
    EXPECT_TRUE(f.FNavegacao);
    EXPECT_EQ(f.cdsLancCont.recordCount(), 7);
    EXPECT_EQ(calls("getLancamentos").size(), 1u);
}

TEST_F(ScreenFixture, CancelledFirstFilterLeavesAnEmptyListAndTheBrowseButtons) {
    TfrmLancamento& f = screen();
    nextDialogCancels();
    ASSERT_TRUE(toList());
    EXPECT_TRUE(f.cdsLancCont.active());
    EXPECT_EQ(f.cdsLancCont.state(), DataSetState::Browse);
    EXPECT_EQ(f.cdsLancCont.recordCount(), 0);
    EXPECT_TRUE(f.FNavegacao);
    EXPECT_TRUE(calls("getLancamentos").empty());
    // The browse rule: open and browsing, but no rows and the list tab showing.
    EXPECT_TRUE(enabledWithMenu(f.sbtIncluir, f.mnuIncluir));
    EXPECT_TRUE(enabledWithMenu(f.sbtVerificar, f.mnuVerificar));
    EXPECT_TRUE(enabledWithMenu(f.spbFiltro, f.mnuFiltrar));
    EXPECT_FALSE(enabledWithMenu(f.sbtImprimir, f.mnuImprimir));
    EXPECT_FALSE(enabledWithMenu(f.sbtAlterar, f.mnuAlterar));
    EXPECT_FALSE(enabledWithMenu(f.sbtExcluir, f.mnuExcluir));
    EXPECT_FALSE(f.tshFormulario.enabled());
}

// ================================================================ browse mode and its buttons

TEST_F(ScreenFixture, ConfirmedFilterPutsTheScreenInBrowseMode) {
    TfrmLancamento& f = listed();
    EXPECT_TRUE(f.FNavegacao);
    EXPECT_TRUE(f.tshFormulario.enabled());
    EXPECT_TRUE(enabledWithMenu(f.sbtIncluir, f.mnuIncluir));
    EXPECT_TRUE(enabledWithMenu(f.sbtVerificar, f.mnuVerificar));
    EXPECT_TRUE(enabledWithMenu(f.sbtImprimir, f.mnuImprimir));
    EXPECT_TRUE(enabledWithMenu(f.spbFiltro, f.mnuFiltrar));
    // Alter and delete need the form tab.
    EXPECT_FALSE(enabledWithMenu(f.sbtAlterar, f.mnuAlterar));
    EXPECT_FALSE(enabledWithMenu(f.sbtExcluir, f.mnuExcluir));
    EXPECT_FALSE(enabledWithMenu(f.sbtConfirmar, f.mnuConfirmar));
    EXPECT_FALSE(enabledWithMenu(f.sbtCancelar, f.mnuCancelar));
    EXPECT_TRUE(f.edtCdEmpresa.enabled());
    EXPECT_TRUE(f.btnEmpresa.enabled());
    EXPECT_TRUE(f.lblEmpresa.enabled());
    EXPECT_TRUE(f.tshFolhaDados.enabled());
}

TEST_F(ScreenFixture, EnteringTheCompanyPanelSwitchesTheBrowseActionsOff) {
    TfrmLancamento& f = listed();
    ASSERT_TRUE(user::focus(f.edtCdEmpresa));
    EXPECT_FALSE(f.FNavegacao);
    const std::vector<std::pair<ui::Control*, ui::MenuItem*>> off = {{&f.sbtIncluir, &f.mnuIncluir},
                                                                     {&f.sbtAlterar, &f.mnuAlterar},
                                                                     {&f.sbtExcluir, &f.mnuExcluir},
                                                                     {&f.sbtImprimir, &f.mnuImprimir},
                                                                     {&f.sbtVerificar, &f.mnuVerificar}};
    for (auto [button, item] : off) {
        EXPECT_FALSE(button->enabled()) << button->name().toStdString();
        EXPECT_FALSE(item->enabled()) << item->name().toStdString();
    }
    EXPECT_FALSE(f.tshFormulario.enabled());
    // Leaving with the same company: the browse rule again, no dialog.
    ASSERT_TRUE(toList());
    EXPECT_TRUE(f.sbtIncluir.enabled());
    EXPECT_TRUE(f.sbtVerificar.enabled());
    EXPECT_TRUE(f.sbtImprimir.enabled());
    EXPECT_TRUE(f.tshFormulario.enabled());  // the grid's enter: the list has rows
}

TEST_F(ScreenFixture, EnteringTheCompanyPanelFromTheFormTabShowsTheListWithoutReloading) {
    TfrmLancamento& f = opened(1);
    proxy_->clear();
    f.edtCdEmpresa.setEnabled(true);  // the form rule keeps it off on the form tab; reached from code
    ASSERT_TRUE(user::focus(f.edtCdEmpresa));
    EXPECT_EQ(f.pgcPadrao.activePage(), &f.tshFolhaDados);
    EXPECT_FALSE(f.tshFormulario.enabled());
    EXPECT_TRUE(proxy_->calls().empty());  // shown from code: no tab change ran
}

TEST_F(ScreenFixture, GridEnterEnablesTheFormTabByTheListRows) {
    TfrmLancamento& f = listed();
    f.tshFormulario.setEnabled(false);
    f.dbgPadraoEnter();
    EXPECT_TRUE(f.tshFormulario.enabled());
    f.cdsLancCont.emptyDataSet();
    f.dbgPadraoEnter();
    EXPECT_FALSE(f.tshFormulario.enabled());
    // A closed list is created empty.
    f.cdsLancCont.close();
    f.tshFormulario.setEnabled(true);
    f.dbgPadraoEnter();
    EXPECT_TRUE(f.cdsLancCont.active());
    EXPECT_EQ(f.cdsLancCont.recordCount(), 0);
    EXPECT_FALSE(f.tshFormulario.enabled());
}

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

// ================================================================ opening an entry

TEST_F(ScreenFixture, OpeningAnEntryCallsTheServerInOrderAndFillsTheForm) {
    TfrmLancamento& f = listed();
    proxy_->clear();
    ASSERT_TRUE(user::selectRow(f.dbgPadrao, 2));
    ASSERT_TRUE(user::click(f.tshFormulario));
    EXPECT_TRUE(ui_.messages().empty()) << nextMessage().toStdString();
    EXPECT_EQ(methods(),
              (std::vector<std::string>{"getLancFiltrado", "getDebitos", "getCreditos", "GetLancCCusto"}));
    const std::vector<Value> key{Value::fromString(u"01"), Value::fromString(u"202612000001")};
    for (const Call& c : proxy_->calls())
        EXPECT_EQ(c.args, key) << c.method;

    EXPECT_EQ(f.FNrLancCont, QStringLiteral("202612000001"));
    EXPECT_EQ(f.cdsLancFiltrado.recordCount(), 2);
    EXPECT_EQ(f.cdsDebito.recordCount(), 1);
    EXPECT_EQ(f.cdsCredito.recordCount(), 1);
    EXPECT_EQ(f.cdsDebito.fieldByName(u"CDCONTREDU").asString(), QStringLiteral("50"));
    EXPECT_EQ(f.cdsCredito.fieldByName(u"CDCONTCOME").asString(), QStringLiteral("B01"));
    EXPECT_EQ(f.cdsLancCCusto.recordCount(), 3);
    EXPECT_EQ(f.cdsLancCCustoEspelho.recordCount(), 3);
    EXPECT_EQ(f.edtDocumento.text(), QStringLiteral("NF100"));
    EXPECT_EQ(f.FDocumento, QStringLiteral("NF100"));
    EXPECT_EQ(f.depData.text(), QStringLiteral("01/12/2026"));
    EXPECT_EQ(f.FDtLancCont, QDate(2026, 12, 1));

    EXPECT_FALSE(f.FCarregando);
    EXPECT_FALSE(f.FIncluindo);
    EXPECT_TRUE(f.FConfirmado);
    EXPECT_FALSE(f.FAlterado);
    EXPECT_TRUE(f.FLadoDebito);
    EXPECT_FALSE(f.FLadoCredito);
    EXPECT_FALSE(f.FNavegacao);
    EXPECT_EQ(f.activeControl(), &f.dbgDebito);
    ASSERT_NE(f.dbgDebito.selectedField(), nullptr);
    EXPECT_EQ(f.dbgDebito.selectedField()->fieldName(), QStringLiteral("CDCONTREDU"));
    for (ClientDataSet* t : {&f.cdsDebito, &f.cdsCredito, &f.cdsLancCCusto})
        EXPECT_FALSE(t->controlsDisabled()) << t->name().toStdString();

    // The form rule on the debit lines of a loaded, unchanged entry.
    EXPECT_TRUE(enabledWithMenu(f.sbtIncluir, f.mnuIncluir));
    EXPECT_TRUE(enabledWithMenu(f.sbtAlterar, f.mnuAlterar));
    EXPECT_TRUE(enabledWithMenu(f.sbtExcluir, f.mnuExcluir));
    EXPECT_FALSE(enabledWithMenu(f.sbtVerificar, f.mnuVerificar));
    EXPECT_FALSE(enabledWithMenu(f.sbtImprimir, f.mnuImprimir));
    EXPECT_FALSE(enabledWithMenu(f.spbFiltro, f.mnuFiltrar));
    EXPECT_FALSE(enabledWithMenu(f.sbtConfirmar, f.mnuConfirmar));
    EXPECT_FALSE(enabledWithMenu(f.sbtCancelar, f.mnuCancelar));
    EXPECT_FALSE(f.edtCdEmpresa.enabled());
    EXPECT_FALSE(f.btnEmpresa.enabled());
    EXPECT_FALSE(f.lblEmpresa.enabled());
    EXPECT_TRUE(f.tshFolhaDados.enabled());
    EXPECT_FALSE(f.edtDocumento.enabled());
    EXPECT_FALSE(f.depData.enabled());

    // Totals are recounted for the entry opened.
    EXPECT_DOUBLE_EQ(f.nedDebito.GetNumber(), 1000.0);
    EXPECT_DOUBLE_EQ(f.nedCredito.GetNumber(), 1000.0);
    EXPECT_EQ(f.lblValorDiferenca.caption(), QStringLiteral("Diferença: 0,00"));
}

TEST_F(ScreenFixture, OpenedEntryStandsOnItsFirstDebitWithTheAllocationsOfItsFirstLine) {
    TfrmLancamento& f = opened(4);  // entry 2: a credit line comes first
    ASSERT_EQ(f.cdsLancFiltrado.fieldByName(u"IDTIPOLANC").asString(), QStringLiteral("C"));
    EXPECT_EQ(f.cdsDebito.recordCount(), 2);
    EXPECT_EQ(f.cdsDebito.recNo(), 1);
    EXPECT_EQ(f.cdsDebito.fieldByName(u"NRSEQLANC").asString(), QStringLiteral("00002"));
    EXPECT_EQ(f.cdsCredito.recNo(), 1);
    // Only the allocations of the entry's first line as the server returned it (the credit line).
    EXPECT_EQ(f.cdsLancCCusto.filter(),
              QStringLiteral("NRLANCCONT = '202612000002' AND CDEMPRESA  = '01' AND NRSEQLANC  = '00001'"));
    EXPECT_TRUE(f.cdsLancCCusto.filtered());
    EXPECT_EQ(f.cdsLancCCusto.recordCount(), 2);
    EXPECT_EQ(column(f.cdsLancCCusto, "NRSEQLANC"),
              (QStringList{QStringLiteral("00001"), QStringLiteral("00001")}));
    // The copy holds every allocation of the entry.
    EXPECT_EQ(f.cdsLancCCustoEspelho.recordCount(), 4);
    EXPECT_FALSE(f.cdsLancCCustoEspelho.filtered());
    EXPECT_DOUBLE_EQ(f.nedDebito.GetNumber(), 300.0);
    EXPECT_DOUBLE_EQ(f.nedCredito.GetNumber(), 300.0);
}

TEST_F(ScreenFixture, EntryOfACompanyWithoutManagerialLinesLeavesTheAllocationsAlone) {
    TfrmLancamento& f = opened(1);
    ASSERT_EQ(f.cdsLancCCusto.recordCount(), 3);
    const QString filter = f.cdsLancCCusto.filter();
    ASSERT_TRUE(user::click(f.tshFolhaDados));
    // Company 03 keeps no managerial lines.
    ASSERT_TRUE(user::type(f.edtCdEmpresa, QStringLiteral("03")));
    nextDialogConfirms();
    ASSERT_TRUE(toList());
    ASSERT_EQ(f.cdsLancCont.recordCount(), 2);
    proxy_->clear();
    ASSERT_TRUE(user::click(f.tshFormulario));
    EXPECT_EQ(methods(), (std::vector<std::string>{"getLancFiltrado", "getDebitos", "getCreditos"}));
    EXPECT_EQ(f.cdsDebito.fieldByName(u"CDEMPRESA").asString(), QStringLiteral("03"));
    EXPECT_EQ(f.cdsLancCCusto.filter(), filter);
    EXPECT_TRUE(f.cdsLancCCusto.filtered());
    EXPECT_EQ(f.cdsLancCCusto.recordCount(), 3);
    EXPECT_EQ(f.cdsLancCCustoEspelho.recordCount(), 3);
}

TEST_F(ScreenFixture, DocumentOfTheEntryOpenedIsShownEvenWhenItHasNone) {
    TfrmLancamento& f = opened(1);
    ASSERT_EQ(f.edtDocumento.text(), QStringLiteral("NF100"));
    ASSERT_TRUE(user::click(f.tshFolhaDados));
    ASSERT_TRUE(user::selectRow(f.dbgPadrao, 3));
    ASSERT_TRUE(user::click(f.tshFormulario));
    EXPECT_TRUE(f.edtDocumento.text().isEmpty());
    EXPECT_TRUE(f.FDocumento.isEmpty());
    EXPECT_EQ(f.depData.text(), QStringLiteral("05/12/2026"));
    EXPECT_FALSE(f.FAlterado);  // filled while loading: no change of the entry
    EXPECT_TRUE(f.FConfirmado);
}

TEST_F(ScreenFixture, FailedLoadEndsWithTheTablesShownAndLoadingOver) {
    TfrmLancamento& f = listed();
    proxy_->failNext("getCreditos");
    ASSERT_TRUE(user::selectRow(f.dbgPadrao, 1));
    EXPECT_FALSE(user::click(f.tshFormulario));
    EXPECT_EQ(nextMessage(), QStringLiteral("Falha simulada no servidor."));
    EXPECT_FALSE(f.FCarregando);
    for (ClientDataSet* t : {&f.cdsDebito, &f.cdsCredito, &f.cdsLancCCusto})
        EXPECT_FALSE(t->controlsDisabled()) << t->name().toStdString();
    // As far as it was filled: the debit lines came, the credit lines did not.
    EXPECT_EQ(f.cdsDebito.recordCount(), 1);
    EXPECT_EQ(f.cdsCredito.recordCount(), 0);
    EXPECT_TRUE(calls("GetLancCCusto").empty());
}

// ================================================================ back to the list

TEST_F(ScreenFixture, BrowseTabReloadsTheListOnceWithTheStoredCriteria) {
    TfrmLancamento& f = opened(1);
    f.panLancamentoGerencial.setVisible(true);
    proxy_->clear();
    ASSERT_TRUE(user::click(f.tshFolhaDados));
    EXPECT_TRUE(ui_.messages().empty()) << nextMessage().toStdString();
    const auto sent = calls("getLancamentos");
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0].args, frmLancFiltro->FCriterios.toArgs(QStringLiteral("01")));
    EXPECT_EQ(f.pgcPadrao.activePage(), &f.tshFolhaDados);
    EXPECT_TRUE(f.FNavegacao);
    EXPECT_EQ(f.cdsLancCont.recordCount(), 7);
    EXPECT_TRUE(f.tshFormulario.enabled());
    EXPECT_FALSE(f.panLancamentoGerencial.visible());
    EXPECT_TRUE(enabledWithMenu(f.spbFiltro, f.mnuFiltrar));
    EXPECT_TRUE(enabledWithMenu(f.sbtVerificar, f.mnuVerificar));
    EXPECT_TRUE(f.edtCdEmpresa.enabled());
    EXPECT_FALSE(enabledWithMenu(f.sbtConfirmar, f.mnuConfirmar));
}

TEST_F(ScreenFixture, ChangedEntryKeepsTheBrowseTabClosed) {
    TfrmLancamento& f = opened(3);  // no document: it may be typed
    ASSERT_TRUE(f.edtDocumento.enabled());
    ASSERT_TRUE(user::type(f.edtDocumento, QStringLiteral("X1")));
    EXPECT_TRUE(f.FAlterado);
    EXPECT_FALSE(f.FConfirmado);
    EXPECT_FALSE(f.tshFolhaDados.enabled());
    EXPECT_TRUE(enabledWithMenu(f.sbtConfirmar, f.mnuConfirmar));
    EXPECT_TRUE(enabledWithMenu(f.sbtCancelar, f.mnuCancelar));
    proxy_->clear();
    user::click(f.tshFolhaDados);
    EXPECT_EQ(f.pgcPadrao.activePage(), &f.tshFormulario);
    EXPECT_TRUE(proxy_->calls().empty());
}

TEST_F(ScreenFixture, LineBeingEditedKeepsTheBrowseTabClosed) {
    TfrmLancamento& f = opened(1);
    f.cdsDebito.edit();
    f.ControlaBotoesFormulario(f.cdsDebito);
    EXPECT_FALSE(f.tshFolhaDados.enabled());
    EXPECT_FALSE(f.sbtIncluir.enabled());
    EXPECT_TRUE(f.sbtConfirmar.enabled());
    f.cdsDebito.cancel();
    f.ControlaBotoesFormulario(f.cdsDebito);
    EXPECT_TRUE(f.tshFolhaDados.enabled());
}

// ================================================================ header: document and date

TEST_F(ScreenFixture, DocumentAndDateEditsFollowTheEntry) {
    TfrmLancamento& f = opened(1);  // a saved entry with a document
    EXPECT_FALSE(f.edtDocumento.enabled());
    EXPECT_FALSE(f.depData.enabled());
    ASSERT_TRUE(user::click(f.tshFolhaDados));
    ASSERT_TRUE(user::selectRow(f.dbgPadrao, 3));
    ASSERT_TRUE(user::click(f.tshFormulario));  // a saved entry without one
    EXPECT_TRUE(f.edtDocumento.enabled());
    EXPECT_FALSE(f.depData.enabled());
    // A new entry (nothing loaded): both may be typed.
    f.cdsLancFiltrado.emptyDataSet();
    f.ControlaBotoesFormulario(f.cdsDebito);
    EXPECT_TRUE(f.edtDocumento.enabled());
    EXPECT_TRUE(f.depData.enabled());
    // The rule leaves them alone on the browse tab.
    ASSERT_TRUE(user::click(f.tshFolhaDados));
    f.edtDocumento.setEnabled(false);
    f.ControlaBotoesFormulario(f.cdsLancCont);
    EXPECT_FALSE(f.edtDocumento.enabled());
}

TEST_F(ScreenFixture, LeavingTheDocumentStoresItsText) {
    TfrmLancamento& f = opened(3);
    ASSERT_TRUE(user::type(f.edtDocumento, QStringLiteral("NF77")));
    EXPECT_TRUE(f.FDocumento.isEmpty());
    ASSERT_TRUE(user::focus(f.dbgDebito));
    EXPECT_EQ(f.FDocumento, QStringLiteral("NF77"));
}

TEST_F(ScreenFixture, DateExitRefusesAnInvalidDateAndFillsAnEmptyOne) {
    TfrmLancamento& f = opened(1);
    f.depData.setEnabled(true);  // as on a new entry
    ASSERT_TRUE(user::type(f.depData, QStringLiteral("31/02/2026")));
    EXPECT_FALSE(user::focus(f.dbgDebito));
    EXPECT_EQ(nextMessage(), QStringLiteral("Data inválida: 31/02/2026."));
    EXPECT_EQ(f.activeControl(), &f.depData);
    // Emptied: the loaded entry's date comes back.
    ASSERT_TRUE(user::type(f.depData, QString()));
    ASSERT_TRUE(user::focus(f.dbgDebito));
    EXPECT_EQ(f.depData.text(), QStringLiteral("01/12/2026"));
    EXPECT_TRUE(ui_.messages().empty()) << nextMessage().toStdString();
}

TEST_F(ScreenFixture, LeavingTheHeaderTakesTheTypedDate) {
    TfrmLancamento& f = opened(1);
    f.depData.setEnabled(true);
    ASSERT_TRUE(user::type(f.depData, QStringLiteral("07/12/2026")));
    ASSERT_TRUE(user::focus(f.dbgDebito));
    EXPECT_EQ(f.FDtLancCont, QDate(2026, 12, 7));
}

TEST_F(ScreenFixture, LeavingTheHeaderWithoutADateWhileALineIsEditedAsksForIt) {
    TfrmLancamento& f = opened(3);
    f.depData.setEnabled(true);  // as on a new entry, so that the focus can go there
    ASSERT_TRUE(user::focus(f.edtDocumento));
    f.depData.SetDate(QDate());
    f.cdsDebito.edit();
    EXPECT_FALSE(user::focus(f.dbgCredito));
    EXPECT_EQ(nextMessage(), QStringLiteral("Data do lançamento contábil deve ser informada."));
    EXPECT_EQ(f.activeControl(), &f.depData);
    EXPECT_EQ(f.FDtLancCont, QDate(2026, 12, 5));
    f.cdsDebito.cancel();
}

TEST_F(ScreenFixture, LeavingTheHeaderWithoutADateOtherwiseShowsTodayButKeepsTheEntryDate) {
    TfrmLancamento& f = opened(3);
    ASSERT_TRUE(user::focus(f.edtDocumento));
    f.depData.SetDate(QDate());
    ASSERT_TRUE(user::focus(f.dbgCredito));
    EXPECT_TRUE(ui_.messages().empty()) << nextMessage().toStdString();
    EXPECT_EQ(f.depData.text(), QStringLiteral("08/12/2026"));
    EXPECT_EQ(f.FDtLancCont, QDate(2026, 12, 5));
}

// ================================================================ side flags

TEST_F(ScreenFixture, PanelsEnteredSetTheCurrentSide) {
    TfrmLancamento& f = opened(3);
    f.panLancamentoGerencial.setVisible(true);

    ASSERT_TRUE(user::focus(f.dbgCredito));
    EXPECT_TRUE(f.FLadoCredito);
    EXPECT_FALSE(f.FLadoDebito);
    EXPECT_FALSE(f.FAreaGerencial);

    ASSERT_TRUE(user::focus(f.dbgLancCCusto));
    EXPECT_TRUE(f.FAreaGerencial);
    EXPECT_TRUE(f.FLadoCredito);  // the sides stay as they were
    EXPECT_FALSE(f.FLadoDebito);
    EXPECT_FALSE(f.FNavegacao);

    // The header makes the debit side current without leaving the credit side.
    ASSERT_TRUE(user::focus(f.edtDocumento));
    EXPECT_TRUE(f.FLadoDebito);
    EXPECT_TRUE(f.FLadoCredito);
    EXPECT_TRUE(f.FAreaGerencial);

    ASSERT_TRUE(user::focus(f.dbgDebito));
    EXPECT_TRUE(f.FLadoDebito);
    EXPECT_FALSE(f.FLadoCredito);
    EXPECT_FALSE(f.FAreaGerencial);
}

// ================================================================ Ctrl+Delete

TEST_F(ScreenFixture, CtrlDeleteOnADebitLineDeletesItsThreeAllocationsAndItAfterOneYes) {
    TfrmLancamento& f = opened(1);
    ASSERT_EQ(f.cdsLancCCusto.recordCount(), 3);
    proxy_->clear();
    ui_.queueAnswer(true);
    ASSERT_TRUE(user::key(f.dbgDebito, Delete, kCtrl));
    const auto m = ui_.takeMessage();
    ASSERT_TRUE(m.has_value());
    EXPECT_EQ(m->kind, ui::MessageKind::Question);
    EXPECT_EQ(m->text, QStringLiteral("Deseja excluir a partida de débito?"));
    EXPECT_TRUE(ui_.messages().empty()) << nextMessage().toStdString();  // asked once
    EXPECT_EQ(f.cdsDebito.recordCount(), 0);
    EXPECT_EQ(f.cdsLancCCusto.recordCount(), 0);
    f.cdsLancCCusto.setFiltered(false);
    EXPECT_EQ(f.cdsLancCCusto.recordCount(), 0);
    EXPECT_EQ(f.cdsCredito.recordCount(), 1);
    EXPECT_TRUE(f.FAlterado);
    EXPECT_FALSE(f.FConfirmado);
    // A credit line is left: the entry stays in the form, the list tab locked.
    EXPECT_EQ(f.pgcPadrao.activePage(), &f.tshFormulario);
    EXPECT_FALSE(f.tshFolhaDados.enabled());
    EXPECT_TRUE(proxy_->calls().empty());  // nothing is stored before a confirm
}

TEST_F(ScreenFixture, CtrlDeleteAnsweredNoDeletesNothing) {
    TfrmLancamento& f = opened(1);
    ui_.queueAnswer(false);
    ASSERT_TRUE(user::key(f.dbgDebito, Delete, kCtrl));
    EXPECT_EQ(nextMessage(), QStringLiteral("Deseja excluir a partida de débito?"));
    EXPECT_TRUE(ui_.messages().empty()) << nextMessage().toStdString();
    EXPECT_EQ(f.cdsDebito.recordCount(), 1);
    EXPECT_EQ(f.cdsLancCCusto.recordCount(), 3);
    EXPECT_FALSE(f.FAlterado);
    EXPECT_EQ(f.pgcPadrao.activePage(), &f.tshFormulario);
}

TEST_F(ScreenFixture, CtrlDeleteOfALineTakesOnlyItsOwnAllocations) {
    TfrmLancamento& f = opened(4);  // entry 2: the allocation table shows the credit line's two
    ASSERT_TRUE(user::focus(f.dbgDebito));
    ui_.queueAnswer(true);
    ASSERT_TRUE(user::key(f.dbgDebito, Delete, kCtrl));  // the first debit line, sequence 00002
    EXPECT_EQ(nextMessage(), QStringLiteral("Deseja excluir a partida de débito?"));
    EXPECT_EQ(f.cdsDebito.recordCount(), 1);
    f.cdsLancCCusto.setFiltered(false);
    EXPECT_EQ(column(f.cdsLancCCusto, "NRSEQLANC"),
              (QStringList{QStringLiteral("00001"), QStringLiteral("00001"), QStringLiteral("00003")}));
}

TEST_F(ScreenFixture, CtrlDeleteOfTheLastLinesGoesBackToTheListReloadedOnce) {
    TfrmLancamento& f = opened(6);  // entry 3: one debit, one credit
    ui_.queueAnswer(true);
    ASSERT_TRUE(user::key(f.dbgDebito, Delete, kCtrl));
    EXPECT_EQ(nextMessage(), QStringLiteral("Deseja excluir a partida de débito?"));
    ASSERT_EQ(f.pgcPadrao.activePage(), &f.tshFormulario);
    proxy_->clear();
    ui_.queueAnswer(true);
    ASSERT_TRUE(user::key(f.dbgCredito, Delete, kCtrl));
    EXPECT_EQ(nextMessage(), QStringLiteral("Deseja excluir a partida de crédito?"));
    EXPECT_TRUE(ui_.messages().empty()) << nextMessage().toStdString();
    EXPECT_EQ(f.pgcPadrao.activePage(), &f.tshFolhaDados);
    EXPECT_FALSE(f.FAlterado);
    EXPECT_TRUE(f.tshFolhaDados.enabled());
    EXPECT_TRUE(f.FNavegacao);
    // Shown from code and reloaded by one run of the tab change.
    EXPECT_EQ(methods(), (std::vector<std::string>{"getLancamentos"}));
    EXPECT_EQ(f.cdsLancCont.recordCount(), 7);  // nothing was stored
    // Entering the list tab again marks the (now absent) entry as confirmed.
    EXPECT_FALSE(f.FConfirmado);
    ASSERT_TRUE(user::focus(f.dbgPadrao));
    EXPECT_TRUE(f.FConfirmado);
}

TEST_F(ScreenFixture, CtrlDeleteAnsweredNoStillGoesBackWhenNoLineIsLeft) {
    TfrmLancamento& f = opened(1);
    // The lines are gone (as after earlier deletes); allocations are still listed.
    f.cdsDebito.emptyDataSet();
    f.cdsCredito.emptyDataSet();
    f.FAlterado = true;
    f.panLancamentoGerencial.setVisible(true);
    ASSERT_TRUE(user::focus(f.dbgLancCCusto));
    ASSERT_TRUE(f.FAreaGerencial);
    proxy_->clear();
    ui_.queueAnswer(false);
    ASSERT_TRUE(user::key(f.dbgLancCCusto, Delete, kCtrl));
    EXPECT_EQ(nextMessage(), QStringLiteral("Deseja excluir a partida gerencial?"));
    EXPECT_EQ(f.cdsLancCCusto.recordCount(), 3);
    EXPECT_EQ(f.pgcPadrao.activePage(), &f.tshFolhaDados);
    EXPECT_FALSE(f.FAlterado);
    EXPECT_EQ(methods(), (std::vector<std::string>{"getLancamentos"}));
}

TEST_F(ScreenFixture, CtrlDeleteInTheAllocationAreaDeletesTheCurrentAllocationOnly) {
    TfrmLancamento& f = opened(1);
    f.panLancamentoGerencial.setVisible(true);
    ASSERT_TRUE(user::selectRow(f.dbgLancCCusto, 2));  // branch 0001, cost centre 0020
    ui_.queueAnswer(true);
    ASSERT_TRUE(user::key(f.dbgLancCCusto, Delete, kCtrl));
    EXPECT_EQ(nextMessage(), QStringLiteral("Deseja excluir a partida gerencial?"));
    EXPECT_TRUE(ui_.messages().empty()) << nextMessage().toStdString();
    EXPECT_EQ(column(f.cdsLancCCusto, "CDFILIAL"),
              (QStringList{QStringLiteral("0001"), QStringLiteral("0002")}));
    EXPECT_EQ(column(f.cdsLancCCusto, "CDCENTCUST"),
              (QStringList{QStringLiteral("0010"), QStringLiteral("0020")}));
    EXPECT_EQ(f.cdsDebito.recordCount(), 1);
    EXPECT_EQ(f.cdsCredito.recordCount(), 1);
    EXPECT_TRUE(f.FAlterado);
    EXPECT_FALSE(f.tshFolhaDados.enabled());
}

TEST_F(ScreenFixture, CtrlDeleteWithBothSidesCurrentActsOnTheDebitSide) {
    TfrmLancamento& f = opened(3);
    ASSERT_TRUE(user::focus(f.dbgCredito));
    ASSERT_TRUE(user::focus(f.edtDocumento));  // the header: debit current, credit not cleared
    ASSERT_TRUE(f.FLadoDebito && f.FLadoCredito);
    ui_.queueAnswer(false);
    ASSERT_TRUE(user::key(f.edtDocumento, Delete, kCtrl));
    EXPECT_EQ(nextMessage(), QStringLiteral("Deseja excluir a partida de débito?"));
}

TEST_F(ScreenFixture, CtrlDeleteWhileTheDebitGridInsertsDeletesNothing) {
    TfrmLancamento& f = opened(1);
    ASSERT_TRUE(user::key(f.dbgDebito, Insert));
    ASSERT_EQ(f.cdsDebito.state(), DataSetState::Insert);
    ASSERT_TRUE(user::key(f.dbgDebito, Delete, kCtrl));
    EXPECT_TRUE(ui_.messages().empty()) << nextMessage().toStdString();
    EXPECT_EQ(f.cdsDebito.state(), DataSetState::Insert);
    EXPECT_EQ(f.cdsDebito.recordCount(), 1);
    EXPECT_EQ(f.cdsLancCCusto.recordCount(), 3);
    f.cdsDebito.cancel();
}

TEST_F(ScreenFixture, CtrlDeleteOnAFirstLineBeingTypedKeepsTheForm) {
    TfrmLancamento& f = opened(1);
    // As a new entry: no stored line yet, the first debit line being typed.
    f.cdsDebito.emptyDataSet();
    f.cdsCredito.emptyDataSet();
    ASSERT_TRUE(user::key(f.dbgDebito, Insert));
    ASSERT_EQ(f.cdsDebito.state(), DataSetState::Insert);
    proxy_->clear();
    ASSERT_TRUE(user::key(f.dbgDebito, Delete, kCtrl));
    EXPECT_TRUE(ui_.messages().empty()) << nextMessage().toStdString();
    EXPECT_EQ(f.pgcPadrao.activePage(), &f.tshFormulario);
    EXPECT_EQ(f.cdsDebito.state(), DataSetState::Insert);
    EXPECT_TRUE(proxy_->calls().empty());
    f.cdsDebito.cancel();
}

TEST_F(ScreenFixture, CtrlDeleteOnTheBrowseTabDoesNothing) {
    TfrmLancamento& f = listed();
    proxy_->clear();
    ASSERT_TRUE(user::key(f.dbgPadrao, Delete, kCtrl));
    EXPECT_TRUE(ui_.messages().empty()) << nextMessage().toStdString();
    EXPECT_EQ(f.cdsLancCont.recordCount(), 7);
    EXPECT_EQ(f.pgcPadrao.activePage(), &f.tshFolhaDados);
    EXPECT_TRUE(proxy_->calls().empty());
}

TEST_F(ScreenFixture, OtherKeysAreLeftToTheControls) {
    TfrmLancamento& f = opened(1);
    int key = Delete;
    f.FormKeyDown(key, ui::ShiftState{});
    EXPECT_EQ(key, Delete);
    key = ui::vk::KeyA;
    f.FormKeyDown(key, kCtrl);
    EXPECT_EQ(key, ui::vk::KeyA);
    EXPECT_TRUE(ui_.messages().empty());
}

}  // namespace
}  // namespace ctb::ctb10000
