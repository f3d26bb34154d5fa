#pragma once

// The data model of the audit-trail dialog "Histórico de alterações": the list of what was done to
// one entry (who, when, what, lines, total), newest first, plus the base dialog's buttons.

#include "contracts/host_library.h"

#include <vector>

namespace ctb::ctb10000 {

[[nodiscard]] const FormDecl& auditTrailForm();
[[nodiscard]] const TableDecl& auditTrailTable();
[[nodiscard]] const std::vector<GridDecl>& auditTrailGrids();
[[nodiscard]] const std::vector<ControlDecl>& auditTrailControls();
[[nodiscard]] const std::vector<LayoutDecl>& auditTrailLayout();

}  // namespace ctb::ctb10000
