#pragma once

// The data model of `PastePreviewDialog`: the pasted rows as they will be stored, each with what the
// line checks say of it, in one grid above a summary line, plus the base dialog's Confirm and Cancel
// and a button that copies the refused rows back out.

#include "contracts/host_library.h"

#include <vector>

namespace ctb::ctb10000 {

[[nodiscard]] const FormDecl& pastePreviewForm();
[[nodiscard]] const TableDecl& pastePreviewTable();
[[nodiscard]] const GridDecl& pastePreviewGrid();
[[nodiscard]] const std::vector<ControlDecl>& pastePreviewControls();
[[nodiscard]] const std::vector<LayoutDecl>& pastePreviewLayout();

// What the status column says of a row that passes every check.
inline constexpr const char* kPasteRowReady = "OK";

}  // namespace ctb::ctb10000
