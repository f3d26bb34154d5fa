#pragma once

// The one error policy of the screens: a failing check shows its message and throws AbortAction,
// which ends the whole user action. Every entry point the UI calls for one user action runs the
// action through runUserAction, which catches it; nothing crosses into the toolkit.

#include <QString>

#include <exception>
#include <functional>

namespace ctb::ui {

class UiServices;

// Ends the current user action. The message was already shown by whoever threw it.
class AbortAction : public std::exception {
  public:
    AbortAction() = default;
    [[nodiscard]] const char* what() const noexcept override { return "ação interrompida"; }
};

// Runs one user action. Returns true when it ran to the end, false when it was aborted or failed.
// AbortAction is swallowed silently; any other exception (a refused table operation, a query
// failure...) is shown as an error through `services` (when given) and swallowed too.
bool runUserAction(UiServices* services, const std::function<void()>& action) noexcept;

// How many user actions are running right now (nested ones, e.g. inside a modal dialog, count).
[[nodiscard]] int userActionDepth() noexcept;

}  // namespace ctb::ui
