// ctb-uiscript with the sample application, so the sample scripts run through the command line.

#include "tests/ui/sample_app.h"
#include "tools/uiscript/main_support.h"
#include "tools/uiscript/qt_script_backend.h"

int main(int argc, char** argv) {
    ctb::uiscript::ApplicationRegistry apps;
    apps.add(QStringLiteral("sample"), [] { return std::make_unique<ctb::sample::SampleApp>(); });
    std::map<QString, ctb::uiscript::BackendChoice> backends{
        {QStringLiteral("headless"), ctb::uiscript::headlessChoice()},
        {QStringLiteral("qt"), ctb::uiscript::qtChoice()}};
    return ctb::uiscript::runMain(argc, argv, apps, QStringLiteral("sample"), backends);
}
