// ctb-uiscript: runs UI scripts against the applications this executable knows.

#include "tools/uiscript/main_support.h"

int main(int argc, char** argv) {
    ctb::uiscript::ApplicationRegistry apps;  // the module registers itself here once it is wired
    std::map<QString, ctb::uiscript::BackendChoice> backends{
        {QStringLiteral("headless"), ctb::uiscript::headlessChoice()}};
    return ctb::uiscript::runMain(argc, argv, apps, QStringLiteral("module"), backends);
}
