// The event index of the journal-entry screen: which handler runs on which event of which control or
// table. The handlers themselves live in the file of their concern (see cli_ctb10000.h).
#include "entry_screen/cli_ctb10000.h"

namespace ctb::ctb10000 {

void TfrmLancamento::wireHandlers() {
    keyPreview = true;
    onKeyDown = [this](ui::Control&, int& key, ui::ShiftState shift) { FormKeyDown(key, shift); };
    panEmpresa.onEnter = [this](ui::Control&) { panEmpresaEnter(); };
    panEmpresa.onExit = [this](ui::Control&) { panEmpresaExit(); };
    edtCdEmpresa.onChange = [this](ui::Control&) { edtCdEmpresaChange(); };
    edtCdEmpresa.onExit = [this](ui::Control&) { edtCdEmpresaExit(); };
    btnEmpresa.BeforePesq = [this](ui::Control&, bool& allow) { btnEmpresaBeforePesq(allow); };
    btnEmpresa.AfterPesq = [this](ui::Control&) { btnEmpresaAfterPesq(); };
    spbFiltro.onClick = [this](ui::Control&) { spbFiltroClick(); };
    mnuFiltrar.onClick = [this](ui::Control&) {
        if (spbFiltro.effectivelyEnabled())
            spbFiltro.doClick();
    };
    tshFolhaDados.onEnter = [this](ui::Control&) { tshFolhaDadosEnter(); };
    panCabecalho.onEnter = [this](ui::Control&) { panCabecalhoEnter(); };
    panCabecalho.onExit = [this](ui::Control&) { panCabecalhoExit(); };
    edtDocumento.onChange = [this](ui::Control&) { edtDocumentoChange(); };
    edtDocumento.onExit = [this](ui::Control&) { edtDocumentoExit(); };
    depData.onExit = [this](ui::Control&) { depDataExit(); };
    panDebito.onEnter = [this](ui::Control&) { panDebitoEnter(); };
    panCredito.onEnter = [this](ui::Control&) { panCreditoEnter(); };
    panLancamentoGerencial.onEnter = [this](ui::Control&) { panLancamentoGerencialEnter(); };
    sbtVerificar.onClick = [this](ui::Control&) { sbtVerificarClick(); };
    sbtImprimir.onClick = [this](ui::Control&) { sbtImprimirClick(); };
    control<ui::MenuItem>(*this, "mnuImprimirLancamento").onClick = [this](ui::Control&) {
        mnuImprimirLancamentoClick();
    };
    control<ui::MenuItem>(*this, "mnuExportar").onClick = [this](ui::Control&) { mnuExportarClick(); };
    control<ui::MenuItem>(*this, "mnuEstornar").onClick = [this](ui::Control&) { mnuEstornarClick(); };
    control<ui::MenuItem>(*this, "mnuHistAlteracoes").onClick = [this](ui::Control&) {
        mnuHistAlteracoesClick();
    };
    dbgPadrao.onEnter = [this](ui::Control&) { dbgPadraoEnter(); };

    // Record actions of the tool buttons (confirm and cancel are bound by the base form).
    sbtIncluir.onClick = [this](ui::Control&) { sbtIncluirClick(); };
    sbtAlterar.onClick = [this](ui::Control&) { sbtAlterarClick(); };
    sbtExcluir.onClick = [this](ui::Control&) { sbtExcluirClick(); };

    // Debit and credit lines: the tables, their data sources and their grids.
    cdsDebito.beforeInsert = [this](ClientDataSet&) { cdsDebitoBeforeInsert(); };
    cdsCredito.beforeInsert = [this](ClientDataSet&) { cdsCreditoBeforeInsert(); };
    cdsDebito.afterInsert = [this](ClientDataSet&) { cdsDebitoAfterInsert(); };
    cdsCredito.afterInsert = [this](ClientDataSet&) { cdsCreditoAfterInsert(); };
    cdsDebito.beforeEdit = [this](ClientDataSet&) { cdsDebitoBeforeEdit(); };
    cdsCredito.beforeEdit = [this](ClientDataSet&) { cdsCreditoBeforeEdit(); };
    cdsDebito.beforeDelete = [this](ClientDataSet&) { cdsDebitoBeforeDelete(); };
    cdsCredito.beforeDelete = [this](ClientDataSet&) { cdsCreditoBeforeDelete(); };
    cdsDebito.beforePost = [this](ClientDataSet&) { cdsDebitoBeforePost(); };
    cdsCredito.beforePost = [this](ClientDataSet&) { cdsCreditoBeforePost(); };
    cdsDebito.afterPost = [this](ClientDataSet&) { cdsDebitoAfterPost(); };
    cdsCredito.afterPost = [this](ClientDataSet&) { cdsCreditoAfterPost(); };
    cdsDebito.afterDelete = [this](ClientDataSet&) { cdsDebitoAfterDelete(); };
    cdsCredito.afterDelete = [this](ClientDataSet&) { cdsCreditoAfterDelete(); };
    cdsDebito.afterCancel = [this](ClientDataSet&) { cdsDebitoAfterCancel(); };
    cdsCredito.afterCancel = [this](ClientDataSet&) { cdsCreditoAfterCancel(); };
    cdsDebito.afterScroll = [this](ClientDataSet&) { cdsDebitoAfterScroll(); };
    cdsCredito.afterScroll = [this](ClientDataSet&) { cdsCreditoAfterScroll(); };
    dtsDebito.onStateChange = [this](DataSource&) { dtsDebitoStateChange(); };
    dtsCredito.onStateChange = [this](DataSource&) { dtsCreditoStateChange(); };
    dbgDebito.onColExit = [this](ui::Control&) { dbgDebitoColExit(); };
    dbgCredito.onColExit = [this](ui::Control&) { dbgCreditoColExit(); };
    dbgDebito.onEditButtonClick = [this](ui::Control&) { dbgDebitoEditButtonClick(); };
    dbgCredito.onEditButtonClick = [this](ui::Control&) { dbgCreditoEditButtonClick(); };
    dbgDebito.onKeyDown = [this](ui::Control&, int& key, ui::ShiftState shift) {
        dbgDebitoKeyDown(key, shift);
    };
    dbgCredito.onKeyDown = [this](ui::Control&, int& key, ui::ShiftState shift) {
        dbgCreditoKeyDown(key, shift);
    };
    dbgDebito.onEnter = [this](ui::Control&) { dbgDebitoEnter(); };
    dbgCredito.onEnter = [this](ui::Control&) { dbgCreditoEnter(); };

    // The history of the current line.
    dbeCdHistPadr.onExit = [this](ui::Control&) { dbeCdHistPadrExit(); };
    btnHistorico.BeforePesq = [this](ui::Control&, bool& allow) { btnHistoricoBeforePesq(allow); };
    btnHistorico.AfterPesq = [this](ui::Control&) { btnHistoricoAfterPesq(); };
    dbeDsHistLanc.onExit = [this](ui::Control&) { dbeDsHistLancExit(); };
    btnAlteraHistorico.onClick = [this](ui::Control&) { btnAlteraHistoricoClick(); };

    // The commercial account of the current line.
    dbeCdContCome.onEnter = [this](ui::Control&) { dbeCdContComeEnter(); };
    dbeCdContCome.onKeyDown = [this](ui::Control&, int& key, ui::ShiftState shift) {
        dbeCdContComeKeyDown(key, shift);
    };
    dbeCdContCome.onExit = [this](ui::Control&) { dbeCdContComeExit(); };
    btnComercial.BeforePesq = [this](ui::Control&, bool& allow) { btnComercialBeforePesq(allow); };
    btnComercial.AfterPesq = [this](ui::Control&) { btnComercialAfterPesq(); };

    // Allocations.
    cdsLancCCusto.beforeDelete = [this](ClientDataSet&) { cdsLancCCustoBeforeDelete(); };
    cdsLancCCusto.afterDelete = [this](ClientDataSet&) { cdsLancCCustoAfterDelete(); };
    cdsLancCCusto.onNewRecord = [this](ClientDataSet&) { cdsLancCCustoNewRecord(); };
    cdsLancCCusto.afterEdit = [this](ClientDataSet&) { cdsLancCCustoAfterEdit(); };
    cdsLancCCusto.beforePost = [this](ClientDataSet&) { cdsLancCCustoBeforePost(); };
    cdsLancCCusto.afterPost = [this](ClientDataSet&) { cdsLancCCustoAfterPost(); };
    cdsLancCCusto.fieldByName(u"CDFILIAL").onChange = [this](Field&) { cdsLancCCustoCDFILIALChange(); };
    cdsLancCCusto.fieldByName(u"CDCENTCUST").onChange = [this](Field&) { cdsLancCCustoCDCENTCUSTChange(); };
    dtsLancCCusto.onStateChange = [this](DataSource&) { dtsLancCCustoStateChange(); };
    btnGerencial.onClick = [this](ui::Control&) { btnGerencialClick(); };
    panLancamentoGerencial.onExit = [this](ui::Control&) { AlteraCoresGridPosicionado(); };
    panLancamentoOficial.onEnter = [this](ui::Control&) { AlteraCoresGridPosicionado(); };
    dbgLancCCusto.onEnter = [this](ui::Control&) { AlteraCoresGridPosicionado(); };
    dbgLancCCusto.onExit = [this](ui::Control&) { dbgLancCCustoExit(); };
    dbgLancCCusto.onColExit = [this](ui::Control&) { dbgLancCCustoColExit(); };
    dbgLancCCusto.onEditButtonClick = [this](ui::Control&) { dbgLancCCustoEditButtonClick(); };

    // Coded columns of the list shown as texts; the mirror's origin type reads the list's row.
    cdsLancCont.fieldByName(u"IDLANCINTE").onGetText = [this](Field&, QString& text, bool) {
        cdsLancContIDLANCINTEGetText(text);
    };
    cdsLancContEspelho.fieldByName(u"IDLANCINTE").onGetText = [this](Field&, QString& text, bool) {
        cdsLancContIDLANCINTEGetText(text);
    };
    cdsLancCont.fieldByName(u"IDSISTEMA").onGetText = [this](Field&, QString& text, bool) {
        cdsLancContIDSISTEMAGetText(text);
    };
    cdsLancCont.fieldByName(u"IDLANCCOME").onGetText = [this](Field&, QString& text, bool) {
        cdsLancContIDLANCCOMEGetText(text);
    };
    qryCliente.fieldByName(u"NRINSJURCLIE").onGetText = [this](Field&, QString& text, bool display) {
        if (display)
            qryClienteNRINSJURCLIEGetText(text);
    };
    qryFornecedor.fieldByName(u"NRINSJURFORN").onGetText = [this](Field&, QString& text, bool display) {
        if (display)
            qryFornecedorNRINSJURFORNGetText(text);
    };
}

}  // namespace ctb::ctb10000
