// Layout of `PastePreviewDialog`: the summary line over the grid that fills the dialog, the copy
// button beside the screen code.

#include "paste_dialog/paste_preview_decl.h"

namespace ctb::ctb10000 {

const std::vector<LayoutDecl>& pastePreviewLayout() {
    using A = Align;
    static const std::vector<LayoutDecl> layout = {
        {"frmPastePreview", A::None, 0, 0, 1180, 480},   {"panResumo", A::Top, 0, 0, 1160, 28},
        {"lblResumo", A::None, 8, 6, 1140, 17, "LTR"},   {"dbgPreview", A::Client},
        {"sbtCopiar", A::None, 90, 6, 130, 28},          {"dbgPreview.LINE", A::None, 0, 0, 44},
        {"dbgPreview.ACCOUNT", A::None, 0, 0, 84},       {"dbgPreview.ACCOUNT_NAME", A::None, 0, 0, 150},
        {"dbgPreview.VALUE", A::None, 0, 0, 90},         {"dbgPreview.HISTORY", A::None, 0, 0, 40},
        {"dbgPreview.HISTORY_TEXT", A::None, 0, 0, 170}, {"dbgPreview.COMMERCIAL", A::None, 0, 0, 92},
        {"dbgPreview.STATUS", A::None, 0, 0, 340},
    };
    return layout;
}

}  // namespace ctb::ctb10000
