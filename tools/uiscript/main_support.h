#pragma once

// The command line of ctb-uiscript: `[--qt] [--app NAME] SCRIPT`. The executable is a thin shell
// that registers the applications and the backends it links and calls runMain.

#include "tools/uiscript/backend.h"

#include <QCoreApplication>

#include <map>
#include <memory>

namespace ctb::uiscript {

struct BackendChoice {
    // Creates the Qt application object the backend needs (QCoreApplication, QApplication).
    std::function<std::unique_ptr<QCoreApplication>(int& argc, char** argv)> makeApp;
    std::function<std::unique_ptr<Backend>()> makeBackend;
};

// The headless backend with a QCoreApplication.
[[nodiscard]] BackendChoice headlessChoice();

// Backends by option name: "headless" (the default) and e.g. "qt" for `--qt`. Prints the failure
// (line, expected, seen) on stderr and returns 1 when the script fails, 2 for a bad command line.
int runMain(int argc, char** argv, const ApplicationRegistry& apps, const QString& defaultApp,
            const std::map<QString, BackendChoice>& backends);

}  // namespace ctb::uiscript
