// ctb-uiscript: runs UI scripts against the journal-entry module, headless or in real Qt windows.

#include "tools/uiscript/main_support.h"
#include "tools/uiscript/module_app.h"
#include "tools/uiscript/qt_script_backend.h"

int main(int argc, char** argv) {
    ctb::uiscript::ApplicationRegistry apps;
    apps.add(QStringLiteral("module"), [] { return ctb::uiscript::makeModuleApplication(); });
    std::map<QString, ctb::uiscript::BackendChoice> backends{
        {QStringLiteral("headless"), ctb::uiscript::headlessChoice()},
        {QStringLiteral("qt"), ctb::uiscript::qtChoice()}};
    return ctb::uiscript::runMain(argc, argv, apps, QStringLiteral("module"), backends);
}
