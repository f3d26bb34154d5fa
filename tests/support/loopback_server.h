#pragma once

#include <httplib.h>

#include <chrono>
#include <thread>

namespace ctb::test {

// An HTTP server of a test on a free loopback port, serving from a thread of its own until destroyed.
// Routes go on routes() before start().
class LoopbackServer {
  public:
    LoopbackServer() = default;
    ~LoopbackServer() {
        if (!thread_.joinable())
            return;
        server_.stop();
        thread_.join();
    }
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;

    [[nodiscard]] httplib::Server& routes() { return server_; }
    void start() {
        port_ = server_.bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { server_.listen_after_bind(); });
        // stop() is a no-op before the accept loop runs, so wait for it.
        while (!server_.is_running())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    [[nodiscard]] int port() const { return port_; }

  private:
    httplib::Server server_;
    std::thread thread_;
    int port_ = 0;
};

}  // namespace ctb::test
