#pragma once

#include "platform/dataset/packet.h"

#include <vector>

namespace ctb::server {

// Field lists of the packets the screens bind, in their declared order.
[[nodiscard]] const std::vector<FieldDef>& lancContFields();    // cdsLancCont (18 fields)
[[nodiscard]] const std::vector<FieldDef>& entryLineFields();   // cdsLancFiltrado, cdsDebito, cdsCredito (17)
[[nodiscard]] const std::vector<FieldDef>& allocationFields();  // cdsLancCCusto (11)
[[nodiscard]] const std::vector<FieldDef>& centCustFilFields();  // cdsCentCustFil (3)
[[nodiscard]] const std::vector<FieldDef>& mapaApuracFields();   // cdsMapaApurac (3)

}  // namespace ctb::server
