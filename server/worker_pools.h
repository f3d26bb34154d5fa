#pragma once

#include "server/service.h"

#include <httplib.h>

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace ctb::server {

// The threads that serve client connections (one connection each, for its whole keep-alive life).
// Grown on demand up to a maximum and retired after a quiet minute, so idle keep-alive connections
// never make a new client wait while the maximum is not reached. They hold no database connection.
class ConnectionThreads : public httplib::TaskQueue {
  public:
    explicit ConnectionThreads(int maxThreads);
    ~ConnectionThreads() override;
    void enqueue(std::function<void()> fn) override;
    void shutdown() override;

  private:
    void loop();
    void reapLocked();

    const std::size_t max_;
    std::mutex mutex_;
    std::condition_variable cond_;
    std::deque<std::function<void()>> jobs_;
    std::vector<std::thread> threads_;
    std::vector<std::thread::id> finished_;
    std::size_t idle_ = 0;
    bool shutdown_ = false;
};

// A fixed number of threads, each owning one database connection (a QtSql connection belongs to the
// thread that opened it), running the service calls that the connection threads hand them.
class DatabaseWorkers {
  public:
    using Job = std::function<void(LancamentoService&)>;
    DatabaseWorkers(QString databaseUrl, ServiceOptions service, int threads);
    ~DatabaseWorkers();  // finishes the queued calls
    DatabaseWorkers(const DatabaseWorkers&) = delete;
    DatabaseWorkers& operator=(const DatabaseWorkers&) = delete;

    // Runs job on a worker and waits; rethrows what it threw. After a database failure that worker
    // opens a new connection for its next call.
    void run(const Job& job);

  private:
    struct Call;
    void loop();

    QString url_;
    ServiceOptions service_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<Call*> queue_;
    std::vector<std::thread> threads_;
    bool stopping_ = false;
};

}  // namespace ctb::server
