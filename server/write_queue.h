#pragma once

#include <QString>

#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace ctb::server {

class LancamentoService;
class Storage;

// Group commit: write calls of all request threads run on one connection, owned by one thread, and
// the calls queued while a commit is on disk share the next transaction. Each call still succeeds or
// fails on its own (a savepoint each) and returns only once its transaction is durable. One writer
// also keeps that connection's page cache warm and its writers from waiting on each other's locks.
class WriteQueue {
  public:
    using Job = std::function<void(LancamentoService&)>;

    WriteQueue(QString databaseUrl, int rowLimit);
    ~WriteQueue();  // finishes the queued calls, then stops
    WriteQueue(const WriteQueue&) = delete;
    WriteQueue& operator=(const WriteQueue&) = delete;

    // Runs job inside a write transaction; rethrows what it threw (its changes then undone).
    void run(Job job);

  private:
    struct Call {
        Job job;
        std::exception_ptr error;
        bool done = false;
    };
    void loop();
    void runBatch(std::deque<Call*>& batch);

    QString url_;
    int rowLimit_;
    std::mutex mutex_;
    std::condition_variable wake_, done_;
    std::deque<Call*> queue_;
    bool stopping_ = false;
    std::unique_ptr<Storage> storage_;
    std::unique_ptr<LancamentoService> service_;
    std::thread thread_;
};

}  // namespace ctb::server
