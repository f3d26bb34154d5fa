#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace ctb::test {

// One thread waits until another says that something happened: how a test waits for an event rather
// than for a time. The deadline only ends a wait for an event that never comes (the test then fails on
// wait()'s result instead of hanging).
class Latch {
  public:
    void release() {
        const std::lock_guard lock(m_);
        released_ = true;
        cv_.notify_all();
    }
    [[nodiscard]] bool released() {
        const std::lock_guard lock(m_);
        return released_;
    }
    [[nodiscard]] bool wait(std::chrono::seconds deadline = std::chrono::seconds(60)) {
        std::unique_lock lock(m_);
        return cv_.wait_for(lock, deadline, [this] { return released_; });
    }

  private:
    std::mutex m_;
    std::condition_variable cv_;
    bool released_ = false;
};

}  // namespace ctb::test
