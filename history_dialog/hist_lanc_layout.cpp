// Layout of `TfrmHistLanc`: the title bar over the memo that fills the dialog.

#include "history_dialog/hist_lanc_decl.h"

namespace ctb::ctb10000 {

const std::vector<LayoutDecl>& histLancLayout() {
    using A = Align;
    static const std::vector<LayoutDecl> layout = {
        {"frmHistLanc", A::None, 0, 0, 560, 320},
        {"panDescricao", A::Top, 0, 0, 540, 24},
        {"memDesc", A::Client},
    };
    return layout;
}

}  // namespace ctb::ctb10000
