#pragma once

// The one error policy of the screens: a failing check shows its message and throws AbortAction,
// which ends the whole user action. Every entry point the UI calls for one user action runs the
// action through runUserAction, which catches it; nothing crosses into the toolkit.

#include "platform/export.h"

#include <QString>

#include <cstdint>
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

// Names the stretch of one user action the caller is in: 0 outside every action, and a new number
// whenever an action starts or ends (a nested action, such as a modal dialog's, starts a new stretch, and
// so does the outer action going on after it). What was read in one stretch may be reused in it only.
[[nodiscard]] CTB_PLATFORM_EXPORT std::uint64_t userActionSerial() noexcept;

}  // namespace ctb::ui
