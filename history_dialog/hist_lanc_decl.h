#pragma once

// The data model of `TfrmHistLanc` ("Histórico do Lancamento Contábil", CTB11030): one memo under a
// title bar, plus the base dialog's Confirm and Cancel buttons.

#include "contracts/host_library.h"

#include <vector>

namespace ctb::ctb10000 {

[[nodiscard]] const FormDecl& histLancForm();
[[nodiscard]] const std::vector<LayoutDecl>& histLancLayout();
[[nodiscard]] const std::vector<ControlDecl>& histLancControls();

inline constexpr int kHistoryLength = 600;

}  // namespace ctb::ctb10000
