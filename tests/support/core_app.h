#pragma once

#include <QCoreApplication>

namespace ctb::test {

// QtSql loads its drivers as plugins and the module posts events: both need an application object,
// one per test process, made on first use.
inline void ensureCoreApplication() {
    if (QCoreApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "ctb_test";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
}

}  // namespace ctb::test
