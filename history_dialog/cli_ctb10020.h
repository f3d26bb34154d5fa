#pragma once

// `TfrmHistLanc`: the long-history dialog "Histórico do Lancamento Contábil" (CTB11030), the editor of
// `DSHISTLANC` of the journal-entry screen's current line.

#include "contracts/host_view.h"
#include "history_dialog/hist_lanc_decl.h"

namespace ctb::ctb10000 {

class TfrmLancamento;

class TfrmHistLanc : public TfrmRotiGeral {
  public:
    // `screen` is null when the host opens the dialog with no journal-entry screen: the memo stays empty.
    explicit TfrmHistLanc(TfrmLancamento* screen);

    void create() { FormCreate(); }

  private:
    const bool controlsBuilt_;

  public:
    ui::Panel& panDescricao;
    ui::Memo& memDesc;

    void FormCreate() override;

  private:
    TfrmLancamento* screen_;
};

}  // namespace ctb::ctb10000
