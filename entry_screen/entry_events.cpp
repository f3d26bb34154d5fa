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
    dbgPadrao.onEnter = [this](ui::Control&) { dbgPadraoEnter(); };

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
}

}  // namespace ctb::ctb10000
