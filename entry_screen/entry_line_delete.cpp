// Deleting the current line: Ctrl+Delete, and the delete button on a new entry.
#include "entry_screen/cli_ctb10000.h"

namespace ctb::ctb10000 {
namespace {

// No stored line and none being typed: a line still in insert counts as a line, so a Ctrl+Delete that
// deleted nothing never sends a half-typed first line back to the list.
bool semLinhas(const ClientDataSet& t) {
    return !t.active() || (t.isEmpty() && t.state() != DataSetState::Insert);
}

}  // namespace

void TfrmLancamento::excluiPartida(ClientDataSet& side, const char* questionKey) {
    if (!side.active() || side.isEmpty() || editing(side))
        return;
    if (!services()->askYesNo(msgPadrao.Msg(QString::fromLatin1(questionKey))))
        return;
    // The allocations first: leaving the line would re-filter them to the next one. The table is put
    // on this line's allocations before, so that nothing but them goes, whichever line it showed.
    if (cdsLancCCusto.active()) {
        filtraRateiosDaLinha(side);
        while (!cdsLancCCusto.isEmpty()) {
            cdsLancCCusto.first();
            cdsLancCCusto.remove();
        }
    }
    side.remove();
}

void TfrmLancamento::excluiLinhaAtual() {
    if (FAreaGerencial) {
        if (cdsLancCCusto.active() && !cdsLancCCusto.isEmpty() && !editing(cdsLancCCusto) &&
            services()->askYesNo(msgPadrao.Msg(QStringLiteral("EXCLUIR_GER"))))
            cdsLancCCusto.remove();
    } else if (FLadoDebito) {
        excluiPartida(cdsDebito, debit_.deleteQuestionKey);
    } else if (FLadoCredito) {
        excluiPartida(cdsCredito, credit_.deleteQuestionKey);
    }
}

void TfrmLancamento::ExcluiLinhaCorrente() {
    excluiLinhaAtual();
    if (semLinhas(cdsDebito) && semLinhas(cdsCredito)) {
        tshFolhaDados.setEnabled(true);
        FAlterado = false;
        // Shown from code, which runs no change handler: the reload below is its one run.
        pgcPadrao.setActivePage(&tshFolhaDados);
        pgcPadraoChange();
    }
}

void TfrmLancamento::FormKeyDown(int& key, ui::ShiftState shift) {
    if (pgcPadrao.activePage() != &tshFormulario)
        return;
    if (key == ui::vk::F1 + 5 && !shift.ctrl && !shift.shift) {
        // F6 goes from one line grid to the other: the credit grid is no tab stop, and the keyboard
        // must reach it too.
        key = 0;
        if (dbgDebito.focused())
            dbgCredito.setFocus();
        else
            dbgDebito.setFocus();
        return;
    }
    if (key == ui::vk::KeyA + ('V' - 'A') && shift.ctrl && !shift.shift &&
        (dbgDebito.focused() || dbgCredito.focused())) {
        key = 0;
        colaLinhas(dbgCredito.focused());
        return;
    }
    if (key != ui::vk::Delete || !shift.ctrl)
        return;
    // The form sees the key before the focused control (key preview); taking it here keeps a grid's own
    // Ctrl+Delete from asking and deleting a second time for the same keystroke.
    key = 0;
    ValidaPeriodoContabil();
    ExcluiLinhaCorrente();
}

}  // namespace ctb::ctb10000
