// The entry header: document, date and the header panel.
#include "entry_screen/cli_ctb10000.h"

namespace ctb::ctb10000 {

void TfrmLancamento::panCabecalhoEnter() {
    FLadoDebito = true;
    FNavegacao = false;
}

void TfrmLancamento::edtDocumentoChange() {
    if (!FCarregando) {
        FAlterado = true;
        FConfirmado = false;
    }
    ControlaBotoesFormulario(cdsDebito);
}

void TfrmLancamento::edtDocumentoExit() {
    FDocumento = edtDocumento.text();
}

void TfrmLancamento::depDataExit() {
    depData.CheckValidDate();
    if (depData.isEmpty() && cdsLancFiltrado.active() && !cdsLancFiltrado.isEmpty())
        depData.SetDate(cdsLancFiltrado.fieldByName(u"DTLANCCONT").asDate());
}

void TfrmLancamento::panCabecalhoExit() {
    const QDate typed = depData.GetDate();
    if (typed.isValid()) {
        FDtLancCont = typed;
        return;
    }
    if (editing(cdsDebito) || editing(cdsCredito)) {
        depData.setFocus();
        MensErro(services(), msgPadrao.Msg(QStringLiteral("Data_Dev")));
    }
    if (depData.isEmpty())
        depData.SetDate(session.currentDate());
}

}  // namespace ctb::ctb10000
