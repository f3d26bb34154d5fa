#pragma once

// What the long-history dialog reads and writes: the journal-entry screen's debit and credit lines,
// and which side is current. The dialog decides by these which line it edits.

#include "platform/dataset/client_dataset.h"

namespace ctb::ctb10000 {

class HistoryLines {
  public:
    virtual ~HistoryLines() = default;
    // The screen's side flags at this moment (`FLadoCredito`, `FLadoDebito`).
    [[nodiscard]] virtual bool creditSide() const = 0;
    [[nodiscard]] virtual bool debitSide() const = 0;
    [[nodiscard]] virtual ClientDataSet& creditLines() = 0;
    [[nodiscard]] virtual ClientDataSet& debitLines() = 0;
};

}  // namespace ctb::ctb10000
