#pragma once

// The --qt backend of the script runner: the script's verbs go through the real widgets (offscreen)
// of a host-like main window, every dialog is answered from the script's queues.

#include "tools/uiscript/backend.h"

#include <memory>

namespace ctb::uiscript {

// Needs a QApplication.
[[nodiscard]] std::unique_ptr<Backend> makeQtScriptBackend();

}  // namespace ctb::uiscript
