// Include, confirm, cancel and delete of the entry, and the checks that guard every change.
#include "entry_screen/cli_ctb10000.h"

namespace ctb::ctb10000 {

void TfrmLancamento::ValidaPeriodoContabil() {
    // Hook for the period and lot check: it will ask the server and end the action on a date outside
    // the open period. Until then it passes; the server still refuses such an entry when it is stored.
}

}  // namespace ctb::ctb10000
