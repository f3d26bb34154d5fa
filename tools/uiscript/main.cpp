// ctb-uiscript: runs UI scripts against the journal-entry module, headless or in real Qt windows.

#include "tools/uiscript/main_support.h"
#include "tools/uiscript/module_app.h"
#include "tools/uiscript/qt_script_backend.h"

#include <QApplication>

int main(int argc, char** argv) {
    ctb::uiscript::ApplicationRegistry apps;
    apps.add(QStringLiteral("module"), [] { return ctb::uiscript::makeModuleApplication(); });
    ctb::uiscript::BackendChoice qt{[](int& c, char** v) -> std::unique_ptr<QCoreApplication> {
                                        // Windows without a display unless the caller chose a platform.
                                        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
                                            qputenv("QT_QPA_PLATFORM", "offscreen");
                                        return std::make_unique<QApplication>(c, v);
                                    },
                                    [] { return ctb::uiscript::makeQtScriptBackend(); }};
    std::map<QString, ctb::uiscript::BackendChoice> backends{
        {QStringLiteral("headless"), ctb::uiscript::headlessChoice()}, {QStringLiteral("qt"), qt}};
    return ctb::uiscript::runMain(argc, argv, apps, QStringLiteral("module"), backends);
}
