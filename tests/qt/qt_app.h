#pragma once

#include <QApplication>

namespace ctb::qt::test {

// One QApplication for the whole test binary, created on first use.
inline QApplication& app() {
    static int argc = 1;
    static char name[] = "test_qt";
    static char* argv[] = {name, nullptr};
    static QApplication* instance = new QApplication(argc, argv);
    return *instance;
}

}  // namespace ctb::qt::test

namespace ctb::qt::test {

// Base of fixtures whose members are widgets: the application exists before any member.
struct WithApp {
    WithApp() { app(); }
};

}  // namespace ctb::qt::test
