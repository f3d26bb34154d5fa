// Opening an entry on the form tab, and going back to the list.
#include "tests/module/screen_fixture.h"

namespace ctb::ctb10000 {
namespace {

using namespace screentest;

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
    EXPECT_EQ(f.lblValorDiferenca.caption(), QStringLiteral("0,00"));
}

TEST_F(ScreenFixture, OpenedEntryStandsOnItsFirstDebitWithTheAllocationsOfThatLine) {
    TfrmLancamento& f = opened(4);  // entry 2: a credit line comes first
    ASSERT_EQ(f.cdsLancFiltrado.fieldByName(u"IDTIPOLANC").asString(), QStringLiteral("C"));
    EXPECT_EQ(f.cdsDebito.recordCount(), 2);
    EXPECT_EQ(f.cdsDebito.recNo(), 1);
    EXPECT_EQ(f.cdsDebito.fieldByName(u"NRSEQLANC").asString(), QStringLiteral("00002"));
    EXPECT_EQ(f.cdsCredito.recNo(), 1);
    // The allocation table follows the current line: going to the first debit line (after the first
    // credit line) filters it to that line's allocations.
    EXPECT_EQ(f.cdsLancCCusto.filter(),
              QStringLiteral("NRLANCCONT = '202612000002' AND CDEMPRESA  = '01' AND NRSEQLANC  = '00002'"));
    EXPECT_TRUE(f.cdsLancCCusto.filtered());
    EXPECT_EQ(column(f.cdsLancCCusto, "NRSEQLANC"), (QStringList{QStringLiteral("00002")}));
    EXPECT_EQ(f.dbeCdHistPadr.dataSource(), &f.dtsDebito);
    // The copy holds every allocation of the entry.
    EXPECT_EQ(f.cdsLancCCustoEspelho.recordCount(), 4);
    EXPECT_FALSE(f.cdsLancCCustoEspelho.filtered());
    EXPECT_DOUBLE_EQ(f.nedDebito.GetNumber(), 300.0);
    EXPECT_DOUBLE_EQ(f.nedCredito.GetNumber(), 300.0);
}

TEST_F(ScreenFixture, EntryOfACompanyWithoutManagerialLinesDoesNotReloadTheAllocations) {
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
    // Not reloaded; filtered to the current line like every line that becomes current, so no
    // allocation of the entry shown before stays on show.
    EXPECT_NE(f.cdsLancCCusto.filter(), filter);
    EXPECT_TRUE(f.cdsLancCCusto.filtered());
    EXPECT_EQ(f.cdsLancCCusto.recordCount(), 0);
    EXPECT_EQ(f.cdsLancCCusto.data().rows.size(), 3u);
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

}  // namespace
}  // namespace ctb::ctb10000
