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
}

void TfrmHistLanc::FormCreate() {
    TfrmRotiGeral::FormCreate();
    if (lines_ == nullptr)
        return;
    // The credit side is looked at first.
    ClientDataSet* line = lines_->creditSide()  ? &lines_->creditLines()
                          : lines_->debitSide() ? &lines_->debitLines()
                                                : nullptr;
    if (line == nullptr || !line->active() || line->isEmpty())
        return;
    memDesc.setText(line->fieldByName(u"DSHISTLANC").asString().left(kHistoryLength));
}

}  // namespace ctb::ctb10000
