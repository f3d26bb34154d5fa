#pragma once

#include <QSqlDatabase>
#include <QString>

#include <atomic>
#include <chrono>
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

// SQLite: new lines reach the history search index in batches after their commit (see the schema),
// at most one batch per interval whatever the number of writers; thread-safe.
class HistoryIndexSchedule {
  public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::milliseconds kInterval{250};

    // True for the one caller that should index now (and it then owns this interval).
    bool claim(Clock::time_point now = Clock::now());
    // When the next batch may run.
    [[nodiscard]] Clock::time_point next() const;
    // Indexes the waiting lines on db when claim() allows; a failure (a busy database) leaves them
    // waiting for the next batch, searches reading them meanwhile.
    void runIfDue(const QSqlDatabase& db);

  private:
    std::atomic<Clock::rep> last_{0};
};

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
    // True when at least one call of the batch stored its changes.
    bool runBatch(std::deque<Call*>& batch);
    void indexHistory(bool now = false);  // now: whatever the schedule says

    QString url_;
    int rowLimit_;
    std::mutex mutex_;
    std::condition_variable wake_, done_;
    std::deque<Call*> queue_;
    bool stopping_ = false;
    bool indexDue_ = true;  // lines an earlier run left waiting are indexed at the first quiet moment
    HistoryIndexSchedule indexSchedule_;
    std::unique_ptr<Storage> storage_;
    std::unique_ptr<LancamentoService> service_;
    std::thread thread_;
};

}  // namespace ctb::server
