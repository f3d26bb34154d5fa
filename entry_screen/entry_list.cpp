// The list of the browse tab: its repeat query, its coded columns, the check button and the tab change.
#include "entry_screen/cli_ctb10000.h"

namespace ctb::ctb10000 {

QString TfrmLancamento::perDevText() const {
    // No catalog carries this key; the user still needs to know what to do.
    return msgPadrao.contains(QStringLiteral("PER_DEV"))
               ? msgPadrao.Msg(QStringLiteral("PER_DEV"))
               : QStringLiteral("Período do filtro deve ser informado. Informe o filtro dos lançamentos.");
}

void TfrmLancamento::getLancCont() {
    auto criteria = [this]() -> const LancFilterArgs* {
        const LancFilterArgs* c = dialogs_.criterios ? dialogs_.criterios() : nullptr;
        return c != nullptr && c->hasPeriod() ? c : nullptr;
    };
    if (criteria() == nullptr) {
        services()->showInformation(perDevText());
        spbFiltro.doClick();
        if (criteria() == nullptr) {
            edtCdEmpresa.setFocus();
            throw ui::AbortAction();
        }
    }
    ShowAviScope avi(services(), 6);
    cdsLancCont.setFiltered(false);
    EntryList list = rdmLancamento.getLancamentos(edtCdEmpresa.text(), *criteria());
    CarregaResultado(list);
}

void TfrmLancamento::CarregaResultado(EntryList& list) {
    if (list.refusal)
        MensErro(services(), *list.refusal);
    cdsLancCont.setData(std::move(list.lines));
    cdsCentCustFil.setData(std::move(list.costCentres));
}

void TfrmLancamento::loadList(EntryList& list) {
    CarregaResultado(list);
    FNavegacao = true;
    ControlaBotoesFormulario(cdsLancCont);
    tshFormulario.setEnabled(cdsLancCont.active() && !cdsLancCont.isEmpty());
}

void TfrmLancamento::sbtVerificarClick() {
    getLancCont();
    if (cdsLancCont.active())
        ControlaBotoesNavegacao();
    tshFormulario.setEnabled(cdsLancCont.active() && !cdsLancCont.isEmpty());
}

void TfrmLancamento::dbgPadraoEnter() {
    if (cdsLancCont.active()) {
        tshFormulario.setEnabled(!cdsLancCont.isEmpty());
    } else {
        cdsLancCont.createDataSet();
        tshFormulario.setEnabled(false);
    }
}

void TfrmLancamento::tshFolhaDadosEnter() {
    FConfirmado = true;
}

void TfrmLancamento::pgcPadraoChange() {
    TfrmPadrao::pgcPadraoChange();
    const bool browseTab = abaDadosAtiva();
    spbFiltro.setEnabled(browseTab);
    mnuFiltrar.setEnabled(browseTab);
    // The opened entry's own items.
    for (const char* item : {"mnuEstornar", "mnuHistAlteracoes"})
        control<ui::MenuItem>(*this, item).setEnabled(!browseTab);
    if (browseTab) {
        cdsLancCont.setFiltered(false);
        FNavegacao = true;
        getLancCont();
        tshFormulario.setEnabled(cdsLancCont.active() && !cdsLancCont.isEmpty());
        ControlaBotoesFormulario(cdsLancCont);
        panLancamentoGerencial.setVisible(false);
        return;
    }
    carregaLancamento();
}

void TfrmLancamento::cdsLancContIDLANCINTEGetText(QString& text) {
    // Also what the mirror's origin type shows: always the list's current row.
    text = cdsLancCont.active() && !cdsLancCont.isEmpty()
               ? msgPadrao.Msg(cdsLancCont.fieldByName(u"IDLANCINTE").asString())
               : QString();
}

void TfrmLancamento::cdsLancContIDSISTEMAGetText(QString& text) {
    const QString code = cdsLancCont.fieldByName(u"IDSISTEMA").asString();
    text.clear();
    for (const CatalogEntry& e : sistemaTexts())
        if (code == QString::fromUtf8(e.key)) {
            text = QString::fromUtf8(e.text);
            return;
        }
}

}  // namespace ctb::ctb10000
