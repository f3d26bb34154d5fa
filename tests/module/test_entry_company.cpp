// The company of the journal-entry screen: its check, options, lookup and panel, and what editing the
// code does to the list.
#include "tests/module/screen_fixture.h"

namespace ctb::ctb10000 {
namespace {

using namespace screentest;
using ui::vk::Back;

QString text(const char* t) {
    return QString::fromUtf8(t);
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

}  // namespace
}  // namespace ctb::ctb10000
