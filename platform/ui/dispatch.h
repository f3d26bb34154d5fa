#pragma once

// The one error policy of the screens: a failing check shows its message and throws AbortAction,
// which ends the whole user action. Every entry point the UI calls for one user action runs the
// action through runUserAction, which catches it; nothing crosses into the toolkit.

#include "platform/export.h"

#include <QString>

#include <exception>
#include <functional>

namespace ctb::ui {

class UiServices;

// Ends the current user action. The message was already shown by whoever threw it.
class CTB_PLATFORM_EXPORT AbortAction : public std::exception {
  public:
    AbortAction() = default;
    // Out of line, so the type's information is emitted once, in the platform library.
    [[nodiscard]] const char* what() const noexcept override;
};

// Runs one user action. Returns true when it ran to the end, false when it was aborted or failed.
// AbortAction is swallowed silently; any other exception (a refused table operation, a query
// failure...) is shown as an error through `services` (when given) and swallowed too.
CTB_PLATFORM_EXPORT bool runUserAction(UiServices* services, const std::function<void()>& action) noexcept;

// How many user actions are running right now (nested ones, e.g. inside a modal dialog, count).
[[nodiscard]] CTB_PLATFORM_EXPORT int userActionDepth() noexcept;

}  // namespace ctb::ui
