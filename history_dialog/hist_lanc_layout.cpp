// Layout of `TfrmHistLanc`: the title bar over the memo that fills the dialog.

#include "entry_screen/declarations.h"

namespace ctb::ctb10000 {

const std::vector<LayoutDecl>& histLancLayout() {
    using A = LayoutAlign;
    static const std::vector<LayoutDecl> layout = {
        {"frmHistLanc", A::None, 0, 0, 560, 320},
        {"panDescricao", A::Top, 0, 0, 540, 24},
        {"memDesc", A::Client},
    };
    return layout;
}

}  // namespace ctb::ctb10000
