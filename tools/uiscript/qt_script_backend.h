#pragma once

// The --qt backend of the script runner: the script's verbs go through the real widgets (offscreen)
// of a host-like main window, every dialog is answered from the script's queues.

#include "tools/uiscript/backend.h"
#include "tools/uiscript/main_support.h"

#include <memory>

namespace ctb::uiscript {

// Needs a QApplication.
[[nodiscard]] std::unique_ptr<Backend> makeQtScriptBackend();

// `--qt`: a QApplication (offscreen unless QT_QPA_PLATFORM says otherwise) and the backend above.
[[nodiscard]] BackendChoice qtChoice();

}  // namespace ctb::uiscript
