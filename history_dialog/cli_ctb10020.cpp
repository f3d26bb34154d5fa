#include "history_dialog/cli_ctb10020.h"

namespace ctb::ctb10000 {

TfrmHistLanc::TfrmHistLanc(Session& s, HistoryLines* lines)
    : TfrmRotiGeral(u8(histLancForm().name), u8(histLancForm().caption), u8(histLancForm().screenCode), s),
      controlsBuilt_((buildControls(*this, histLancControls()), true)),
      panDescricao(dynamic_cast<ui::Panel&>(*findControl(u"panDescricao"))),
      memDesc(dynamic_cast<ui::Memo&>(*findControl(u"memDesc"))),
      lines_(lines) {
    applyLayout(*this, histLancLayout());
    panDescricao.setAlign(ui::Align::Top);
    memDesc.setAlign(ui::Align::Client);
    sbtConfirma.onClick = [this](ui::Control&) { sbtConfirmaClick(); };
}

ClientDataSet* TfrmHistLanc::linha() const {
    if (lines_ == nullptr)
        return nullptr;
    // The credit side is looked at first.
    return lines_->creditSide()  ? &lines_->creditLines()
           : lines_->debitSide() ? &lines_->debitLines()
                                 : nullptr;
}

void TfrmHistLanc::FormCreate() {
    TfrmRotiGeral::FormCreate();
    ClientDataSet* line = linha();
    // The current line, also one still being typed.
    if (line == nullptr || !line->active() || line->viewRowCount() == 0)
        return;
    memDesc.setText(line->fieldByName(u"DSHISTLANC").asString().left(kHistoryLength));
}

void TfrmHistLanc::sbtConfirmaClick() {
    if (ClientDataSet* line = linha(); line != nullptr && line->active()) {
        // Left in edit: the screen stores the line later, through its own checks.
        line->edit();
        Field& text = line->fieldByName(u"DSHISTLANC");
        text.setAsString(memDesc.text());
        text.setAsString(text.asString().left(kHistoryLength));
    }
    setModalResult(ui::ModalResult::Ok);
}

}  // namespace ctb::ctb10000
