#pragma once

#include <functional>

namespace ctb::qt {

class BusyIndicator;

// Runs `work` on a worker thread and returns when it is done, rethrowing what it threw. Meanwhile a
// local event loop keeps the windows painting (and the busy indicator turning) but holds back user
// input, so the call stays synchronous for the caller. `busy` may be null (no indicator shown).
// Must be called on the GUI thread; `work` must not touch widgets.
void runResponsive(const std::function<void()>& work, BusyIndicator* busy);

}  // namespace ctb::qt
