#include "platform/ui/dispatch.h"

#include "platform/ui/services.h"

#include <QCoreApplication>

namespace ctb::ui {

const char* AbortAction::what() const noexcept {
    return "ação interrompida";
}

namespace {
thread_local int depth = 0;
// Changes whenever an action starts or ends, nested ones included; 0 outside every action.
thread_local std::uint64_t serial = 0;
thread_local std::uint64_t lastSerial = 0;

void report(UiServices* services, const QString& text) noexcept {
    if (services == nullptr)
        return;
    try {
        services->showError(text);
    } catch (...) {
        // the message box itself failed: nothing more can be told
    }
}
}  // namespace

int userActionDepth() noexcept {
    return depth;
}

std::uint64_t userActionSerial() noexcept {
    return serial;
}

bool runUserAction(UiServices* services, const std::function<void()>& action) noexcept {
    struct Depth {
        Depth() {
            ++depth;
            serial = ++lastSerial;
        }
        ~Depth() {
            --depth;
            serial = depth > 0 ? ++lastSerial : 0;
        }
    } guard;
    try {
        if (action)
            action();
        return true;
    } catch (const AbortAction&) {
        return false;
    } catch (const std::exception& e) {
        report(services, QString::fromUtf8(e.what()));
        return false;
    } catch (...) {
        report(services, QStringLiteral("Erro inesperado; a operação foi interrompida."));
        return false;
    }
}

}  // namespace ctb::ui
