// The button rules of the journal-entry screen: as truth tables over flags and table states, and as the
// screen applies them in browse mode.
#include "entry_screen/entry_buttons.h"
#include "tests/module/screen_fixture.h"

namespace ctb::ctb10000 {
namespace {

using namespace screentest;

// ================================================================ the form button rule as a truth table

// One row: the inputs that matter, then the expected states. Unnamed inputs stay false.
struct FormRow {
    const char* name;
    bool open, editing;
    int rows;
    bool browseTab, navegacao, confirmado, alterado, linesEditing, newEntry, documentEmpty;
    bool include, alterDelete, navigation, filter, confirmCancel, listTab;
    int document, date;  // 1 enabled, 0 disabled, -1 not touched (browse tab)
};

class FormRule : public ::testing::TestWithParam<FormRow> {};

TEST_P(FormRule, GivesEachButtonItsState) {
    const FormRow& r = GetParam();
    FormButtonInputs in;
    in.tableOpen = r.open;
    in.tableEditing = r.editing;
    in.tableRows = r.rows;
    in.onBrowseTab = r.browseTab;
    in.FNavegacao = r.navegacao;
    in.FConfirmado = r.confirmado;
    in.FAlterado = r.alterado;
    in.linesEditing = r.linesEditing;
    in.newEntry = r.newEntry;
    in.documentEmpty = r.documentEmpty;
    const FormButtonStates out = formButtonRule(in);
    EXPECT_EQ(out.include, r.include);
    EXPECT_EQ(out.alterDelete, r.alterDelete);
    EXPECT_EQ(out.navigation, r.navigation);
    EXPECT_EQ(out.filter, r.filter);
    EXPECT_EQ(out.confirmCancel, r.confirmCancel);
    EXPECT_EQ(out.browseTab, r.listTab);
    auto tri = [](const std::optional<bool>& v) { return v ? (*v ? 1 : 0) : -1; };
    EXPECT_EQ(tri(out.document), r.document);
    EXPECT_EQ(tri(out.date), r.date);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Rows, FormRule, ::testing::Values(
    //       name                           open   edit  rows browse nav    conf   alt    lines  new    docE   | incl   altDel nav    filt   confC  list   doc date
    FormRow{"ClosedTable",                  false, false, 0, true,  true,  false, false, false, false, false,   false, false, true,  true,  true,  true,  -1, -1},
    FormRow{"ListBrowsing",                 true,  false, 3, true,  true,  true,  false, false, false, false,   true,  false, true,  true,  false, true,  -1, -1},
    FormRow{"ListWithoutNavigation",        true,  false, 3, true,  false, true,  false, false, false, false,   true,  false, false, true,  false, true,  -1, -1},
    FormRow{"LoadedEntryOnTheForm",         true,  false, 2, false, false, true,  false, false, false, false,   true,  true,  false, false, false, true,   0,  0},
    FormRow{"LoadedEntryWithoutDocument",   true,  false, 2, false, false, true,  false, false, false, true,    true,  true,  false, false, false, true,   1,  0},
    FormRow{"LoadedEntryNoLineLeft",        true,  false, 0, false, false, true,  false, false, false, false,   true,  false, false, false, false, true,   0,  0},
    FormRow{"ChangedEntry",                 true,  false, 2, false, false, false, true,  false, false, false,   true,  true,  false, false, true,  false,  0,  0},
    FormRow{"ChangedEntryWithoutRows",      true,  false, 0, false, false, false, true,  false, false, false,   true,  false, false, false, true,  false,  0,  0},
    FormRow{"LineBeingTyped",               true,  true,  1, false, false, true,  false, true,  false, false,   false, false, false, false, true,  false,  0,  0},
    FormRow{"OtherTableEditing",            true,  false, 1, false, false, true,  false, true,  false, false,   true,  true,  false, false, false, false,  0,  0},
    FormRow{"NewEntryFirstLine",            true,  true,  0, false, false, false, false, true,  true,  true,    false, false, false, false, true,  false,  1,  1},
    FormRow{"NewEntryStoredLines",          true,  false, 2, false, false, false, true,  false, true,  false,   true,  true,  false, false, true,  false,  1,  1},
    FormRow{"ConfirmedNewEntry",            true,  false, 2, false, false, true,  false, false, true,  false,   true,  true,  false, false, false, true,   1,  1},
    FormRow{"UnconfirmedUnchangedOnForm",   true,  false, 2, false, false, false, false, false, false, false,   true,  false, false, false, true,  false,  0,  0},
    FormRow{"ChangedWhileOnTheListTab",     true,  false, 2, true,  true,  false, true,  false, false, false,   true,  true,  true,  true,  true,  false, -1, -1}),
    [](const ::testing::TestParamInfo<FormRow>& info) { return std::string(info.param.name); });
// clang-format on

struct BrowseRow {
    const char* name;
    bool editing;
    int rows;
    bool formTab;
    bool include, check, filter, fifth, alterDelete;
};

class BrowseRule : public ::testing::TestWithParam<BrowseRow> {};

TEST_P(BrowseRule, GivesEachButtonItsState) {
    const BrowseRow& r = GetParam();
    const BrowseButtonStates out = browseButtonRule(r.editing, r.rows, r.formTab);
    EXPECT_EQ(out.include, r.include);
    EXPECT_EQ(out.check, r.check);
    EXPECT_EQ(out.filter, r.filter);
    EXPECT_EQ(out.fifth, r.fifth);
    EXPECT_EQ(out.alterDelete, r.alterDelete);
}

// clang-format off
INSTANTIATE_TEST_SUITE_P(Rows, BrowseRule, ::testing::Values(
    //         name               edit   rows form   | incl   check  filt   fifth  altDel
    BrowseRow{"EmptyList",        false, 0,   false,   true,  true,  true,  false, false},
    BrowseRow{"ListWithRows",     false, 4,   false,   true,  true,  true,  true,  false},
    BrowseRow{"RowsOnTheFormTab", false, 4,   true,    true,  true,  true,  true,  true},
    BrowseRow{"EmptyOnTheFormTab",false, 0,   true,    true,  true,  true,  false, false},
    BrowseRow{"ListBeingEdited",  true,  4,   true,    false, false, false, false, false}),
    [](const ::testing::TestParamInfo<BrowseRow>& info) { return std::string(info.param.name); });
// clang-format on

// ================================================================ the rules as the screen applies them

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

}  // namespace
}  // namespace ctb::ctb10000
