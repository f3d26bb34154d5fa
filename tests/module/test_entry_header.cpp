// The entry header (document and date) and the side flags set by the panels.
#include "tests/module/screen_fixture.h"

namespace ctb::ctb10000 {
namespace {

using namespace screentest;

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
    TfrmLancamento& f = opened(6);  // an entry of no lot, so its lines may be changed
    f.depData.setEnabled(true);     // as on a new entry, so that the focus can go there
    ASSERT_TRUE(user::focus(f.edtDocumento));
    ASSERT_TRUE(ui::runUserAction(&ui_, [&] { f.cdsDebito.edit(); }));  // the period guard passes
    f.depData.setEnabled(true);  // the button rule of the edit state turned it off again
    f.depData.SetDate(QDate());
    EXPECT_FALSE(user::focus(f.dbgCredito));
    EXPECT_EQ(nextMessage(), QStringLiteral("Data do lançamento contábil deve ser informada."));
    EXPECT_EQ(f.activeControl(), &f.depData);
    EXPECT_EQ(f.FDtLancCont, QDate(2026, 12, 6));
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
    TfrmLancamento& f = opened(1);  // its debit line's account takes allocations, its credit line's not
    f.panLancamentoGerencial.setVisible(true);
    f.edtDocumento.setEnabled(true);  // as on an entry without a document, so the header takes the focus

    ASSERT_TRUE(user::focus(f.dbgCredito));
    EXPECT_TRUE(f.FLadoCredito);
    EXPECT_FALSE(f.FLadoDebito);
    EXPECT_FALSE(f.FAreaGerencial);
    EXPECT_FALSE(f.panLancamentoGerencial.enabled());  // the credit line's account takes none

    // The header makes the debit side current without leaving the credit side.
    ASSERT_TRUE(user::focus(f.edtDocumento));
    EXPECT_TRUE(f.FLadoDebito);
    EXPECT_TRUE(f.FLadoCredito);

    ASSERT_TRUE(user::focus(f.dbgDebito));
    EXPECT_TRUE(f.FLadoDebito);
    EXPECT_FALSE(f.FLadoCredito);
    EXPECT_TRUE(f.panLancamentoGerencial.enabled());

    ASSERT_TRUE(user::focus(f.dbgLancCCusto));
    EXPECT_TRUE(f.FAreaGerencial);
    EXPECT_TRUE(f.FLadoDebito);  // the sides stay as they were
    EXPECT_FALSE(f.FLadoCredito);
    EXPECT_FALSE(f.FNavegacao);

    ASSERT_TRUE(user::focus(f.dbgCredito));
    EXPECT_TRUE(f.FLadoCredito);
    EXPECT_FALSE(f.FLadoDebito);
    EXPECT_FALSE(f.FAreaGerencial);
}

}  // namespace
}  // namespace ctb::ctb10000
