#include "history_dialog/cli_ctb10020.h"

#include "entry_screen/cli_ctb10000.h"

namespace ctb::ctb10000 {

TfrmHistLanc::TfrmHistLanc(TfrmLancamento* screen)
    : TfrmRotiGeral(u8(histLancForm().name), u8(histLancForm().caption), u8(histLancForm().screenCode),
                    ctb10000::session()),
      controlsBuilt_((buildControls(*this, histLancControls()), true)),
      panDescricao(dynamic_cast<ui::Panel&>(*findControl(u"panDescricao"))),
      memDesc(dynamic_cast<ui::Memo&>(*findControl(u"memDesc"))),
      screen_(screen) {
    applyLayout(*this, histLancLayout());
    panDescricao.setAlign(ui::Align::Top);
    memDesc.setAlign(ui::Align::Client);
}

void TfrmHistLanc::FormCreate() {
    TfrmRotiGeral::FormCreate();
    if (screen_ == nullptr)
        return;
    // The credit side is looked at first.
    ClientDataSet* line = screen_->FLadoCredito  ? &screen_->cdsCredito
                          : screen_->FLadoDebito ? &screen_->cdsDebito
                                                 : nullptr;
    if (line == nullptr || !line->active() || line->isEmpty())
        return;
    memDesc.setText(line->fieldByName(u"DSHISTLANC").asString().left(kHistoryLength));
}

}  // namespace ctb::ctb10000
