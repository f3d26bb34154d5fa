#pragma once

// `TfrmHistLanc`: the long-history dialog "Histórico do Lancamento Contábil" (CTB11030), the editor of
// `DSHISTLANC` of the journal-entry screen's current line.

#include "contracts/host_library.h"
#include "history_dialog/hist_lanc_decl.h"
#include "history_dialog/history_lines.h"

namespace ctb::ctb10000 {

class TfrmHistLanc : public TfrmRotiGeral {
  public:
    // `lines` is null when the host opens the dialog with no journal-entry screen: the memo stays empty.
    TfrmHistLanc(Session& session, HistoryLines* lines);

    void create() { FormCreate(); }

  private:
    const bool controlsBuilt_;

  public:
    ui::Panel& panDescricao;
    ui::Memo& memDesc;

    void FormCreate() override;
    void sbtConfirmaClick();

  private:
    // The line the dialog reads and writes: the current credit line when the credit side is current,
    // else the current debit line when the debit side is, else none.
    [[nodiscard]] ClientDataSet* linha() const;
    HistoryLines* lines_;
};

}  // namespace ctb::ctb10000
