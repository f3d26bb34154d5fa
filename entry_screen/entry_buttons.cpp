// The browse and form button rules of the journal-entry screen, and their application to the controls.
#include "entry_screen/entry_buttons.h"

#include "entry_screen/cli_ctb10000.h"

namespace ctb::ctb10000 {

FormButtonStates formButtonRule(const FormButtonInputs& in) {
    FormButtonStates out;
    const bool browse = in.tableOpen && !in.tableEditing;
    // 1. Include.
    out.include = browse;
    // 2. Alter and delete: a loaded entry on the form tab, or an entry with changes.
    out.alterDelete = (browse && in.tableRows > 0 && in.FConfirmado && !in.onBrowseTab) ||
                      (in.FAlterado && in.tableRows >= 1 && browse);
    // 3. Check, fifth button and the company: only while browsing the list.
    out.navigation = in.onBrowseTab && in.FNavegacao;
    // 4. Filter.
    out.filter = in.onBrowseTab;
    // 5. Confirm and cancel: off when there is nothing to confirm.
    out.confirmCancel = !(browse && (in.FConfirmado || in.onBrowseTab) && !in.FAlterado);
    // 6. The list tab: not while the entry holds unconfirmed changes or a line is being edited.
    out.browseTab = !in.FAlterado && (in.onBrowseTab || (!in.linesEditing && in.FConfirmado));
    // 7. Header of the entry on the form tab: a saved entry keeps its date, and its document once it
    // has one.
    if (!in.onBrowseTab) {
        out.document = in.newEntry || in.documentEmpty;
        out.date = in.newEntry;
    }
    return out;
}

BrowseButtonStates browseButtonRule(bool listEditing, int listRows, bool formTabShowing) {
    BrowseButtonStates out;
    const bool browse = !listEditing;
    out.include = browse;
    out.check = browse;
    out.filter = browse;
    out.fifth = browse && listRows > 0;
    out.alterDelete = browse && listRows > 0 && formTabShowing;
    return out;
}

namespace {

void enable(ui::Control& button, ui::MenuItem& item, bool on) {
    button.setEnabled(on);
    item.setEnabled(on);
}

}  // namespace

void TfrmLancamento::ControlaBotoesNavegacao() {
    if (!cdsLancCont.active())
        return;
    const BrowseButtonStates b = browseButtonRule(editing(cdsLancCont), cdsLancCont.recordCount(),
                                                  pgcPadrao.activePage() == &tshFormulario);
    enable(sbtIncluir, mnuIncluir, b.include);
    enable(sbtVerificar, mnuVerificar, b.check);
    enable(spbFiltro, mnuFiltrar, b.filter);
    enable(sbtImprimir, mnuImprimir, b.fifth);
    enable(sbtAlterar, mnuAlterar, b.alterDelete);
    enable(sbtExcluir, mnuExcluir, b.alterDelete);
}

void TfrmLancamento::ControlaBotoesFormulario(ClientDataSet& table) {
    FormButtonInputs in;
    in.tableOpen = table.active();
    in.tableEditing = editing(table);
    in.tableRows = table.active() ? table.recordCount() : 0;
    in.onBrowseTab = abaDadosAtiva();
    in.FNavegacao = FNavegacao;
    in.FConfirmado = FConfirmado;
    in.FAlterado = FAlterado;
    in.linesEditing = editing(cdsDebito) || editing(cdsCredito) || editing(cdsLancCCusto);
    in.newEntry = !cdsLancFiltrado.active() || cdsLancFiltrado.isEmpty();
    in.documentEmpty = FDocumento.isEmpty();
    const FormButtonStates b = formButtonRule(in);
    enable(sbtIncluir, mnuIncluir, b.include);
    enable(sbtAlterar, mnuAlterar, b.alterDelete);
    enable(sbtExcluir, mnuExcluir, b.alterDelete);
    enable(sbtVerificar, mnuVerificar, b.navigation);
    enable(sbtImprimir, mnuImprimir, b.navigation);
    lblEmpresa.setEnabled(b.navigation);
    edtCdEmpresa.setEnabled(b.navigation);
    btnEmpresa.setEnabled(b.navigation);
    enable(spbFiltro, mnuFiltrar, b.filter);
    enable(sbtConfirmar, mnuConfirmar, b.confirmCancel);
    enable(sbtCancelar, mnuCancelar, b.confirmCancel);
    tshFolhaDados.setEnabled(b.browseTab);
    if (b.document)
        edtDocumento.setEnabled(*b.document);
    if (b.date)
        depData.setEnabled(*b.date);
}

}  // namespace ctb::ctb10000
