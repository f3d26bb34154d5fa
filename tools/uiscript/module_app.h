#pragma once

// The journal-entry module as a script application: `open` opens the session's database, hands the
// module its session and calls IniProc, as the host does; tables and flags of the module's screens
// are reachable by name for the expectations.

#include "tools/uiscript/backend.h"

namespace ctb::uiscript {

[[nodiscard]] std::unique_ptr<Application> makeModuleApplication();

}  // namespace ctb::uiscript
