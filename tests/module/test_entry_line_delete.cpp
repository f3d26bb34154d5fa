// Ctrl+Delete: one question, the allocations first, back to the list when no line is left.
#include "tests/module/screen_fixture.h"

namespace ctb::ctb10000 {
namespace {

using namespace screentest;
using ui::vk::Delete;
using ui::vk::Insert;

constexpr ui::ShiftState kCtrl{true, false};

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
    // The period guard before the key does anything and before each row goes (three allocations, the
    // line); nothing is stored before a confirm.
    EXPECT_EQ(methods(), std::vector<std::string>(5, "ValidaPeriodoContabil"));
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
    // Company 07's entry: a credit line with two allocations first, then two debit lines with one each.
    TfrmLancamento& f = openedOf("07", 1);
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
    // The guards of the key and of the deleted line, then the list shown from code and reloaded by
    // one run of the tab change.
    EXPECT_EQ(methods(),
              (std::vector<std::string>{"ValidaPeriodoContabil", "ValidaPeriodoContabil", "getLancamentos"}));
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
    f.panLancamentoGerencial.setEnabled(true);  // as the last line's account left it
    f.cdsLancCCusto.setFiltered(false);         // the allocations shown as when a line was current
    ASSERT_TRUE(user::focus(f.dbgLancCCusto));
    ASSERT_TRUE(f.FAreaGerencial);
    proxy_->clear();
    ui_.queueAnswer(false);
    ASSERT_TRUE(user::key(f.dbgLancCCusto, Delete, kCtrl));
    EXPECT_EQ(nextMessage(), QStringLiteral("Deseja excluir a partida gerencial?"));
    EXPECT_EQ(f.cdsLancCCusto.recordCount(), 3);
    EXPECT_EQ(f.pgcPadrao.activePage(), &f.tshFolhaDados);
    EXPECT_FALSE(f.FAlterado);
    EXPECT_EQ(methods(), (std::vector<std::string>{"ValidaPeriodoContabil", "getLancamentos"}));
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
    TfrmLancamento& f = opened(6);    // an entry of no lot
    f.edtDocumento.setEnabled(true);  // as on an entry without a document, so the header takes the focus
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
    EXPECT_EQ(f.cdsLancCCusto.data().rows.size(), 3u);  // shown: the new line's, none
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
    EXPECT_EQ(methods(), (std::vector<std::string>{"ValidaPeriodoContabil"}));  // the key's guard only
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
