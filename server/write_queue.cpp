#include "server/write_queue.h"

#include "db/schema.h"
#include "platform/sql/error.h"
#include "server/service.h"
#include "server/storage.h"

namespace ctb::server {

namespace {
// Calls per transaction: enough to amortise a disk flush, few enough to answer the first soon.
constexpr std::size_t kMaxBatch = 64;
}  // namespace

bool HistoryIndexSchedule::claim(Clock::time_point now) {
    const Clock::rep nowTicks = now.time_since_epoch().count();
    Clock::rep last = last_.load();
    while (last == 0 || nowTicks - last >= Clock::duration(kInterval).count()) {
        if (last_.compare_exchange_weak(last, nowTicks))
            return true;
    }
    return false;
}

HistoryIndexSchedule::Clock::time_point HistoryIndexSchedule::next() const {
    const Clock::rep last = last_.load();
    if (last == 0)
        return Clock::now();
    return Clock::time_point(Clock::duration(last)) + kInterval;
}

void HistoryIndexSchedule::runIfDue(const QSqlDatabase& db) {
    if (!claim())
        return;
    try {
        (void)db::indexPendingHistory(db);
    } catch (...) {
        // Whatever went wrong, the lines stay queued (and found by searches); the next batch takes them.
    }
}

WriteQueue::WriteQueue(QString databaseUrl, int rowLimit)
    : url_(std::move(databaseUrl)), rowLimit_(rowLimit), thread_([this] { loop(); }) {}

WriteQueue::~WriteQueue() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    thread_.join();
}

void WriteQueue::run(Job job) {
    Call call;
    call.job = std::move(job);
    {
        std::lock_guard lock(mutex_);
        queue_.push_back(&call);
    }
    wake_.notify_one();
    {
        std::unique_lock lock(mutex_);
        done_.wait(lock, [&] { return call.done; });
    }
    if (call.error)
        std::rethrow_exception(call.error);
}

void WriteQueue::loop() {
    for (;;) {
        std::deque<Call*> batch;
        {
            std::unique_lock lock(mutex_);
            auto ready = [&] { return stopping_ || !queue_.empty(); };
            // With lines waiting for the history index, a quiet moment is when they are indexed.
            if (indexDue_)
                wake_.wait_until(lock, indexSchedule_.next(), ready);
            else
                wake_.wait(lock, ready);
            if (queue_.empty() && stopping_)
                break;
            while (!queue_.empty() && batch.size() < kMaxBatch) {
                batch.push_back(queue_.front());
                queue_.pop_front();
            }
        }
        if (!batch.empty()) {
            if (runBatch(batch))
                indexDue_ = true;
            {
                std::lock_guard lock(mutex_);
                for (Call* c : batch)
                    c->done = true;
            }
            done_.notify_all();
        }
        // Under a steady stream of calls the index still follows, one batch per interval.
        if (indexDue_ && HistoryIndexSchedule::Clock::now() >= indexSchedule_.next())
            indexHistory();
    }
    // Nothing is left waiting by a clean stop.
    if (indexDue_)
        indexHistory(true);
    // The connection belongs to this thread: closed here.
    service_.reset();
    storage_.reset();
}

void WriteQueue::indexHistory(bool now) {
    if (!indexSchedule_.claim() && !now)
        return;
    try {
        if (!storage_)
            storage_ = std::make_unique<Storage>(url_);
        (void)db::indexPendingHistory(storage_->db());
        indexDue_ = false;
    } catch (...) {
        // Busy or unreachable: the lines stay queued (and found by searches) until the next interval.
    }
}

bool WriteQueue::runBatch(std::deque<Call*>& batch) {
    const bool several = batch.size() > 1;
    auto failAll = [&](const std::exception_ptr& error) {
        for (Call* c : batch)
            if (!c->error)
                c->error = error;
        // The connection may be broken: the next batch opens a new one.
        service_.reset();
        storage_.reset();
    };
    for (int attempt = 0;; ++attempt) {
        try {
            if (!service_) {
                storage_ = std::make_unique<Storage>(url_);
                // The one writer's page cache holds the index pages every confirm touches (64 MiB).
                if (!storage_->isPostgres())
                    storage_->execText(QStringLiteral("PRAGMA cache_size=-65536"));
                service_ = std::make_unique<LancamentoService>(*storage_, ServiceOptions{rowLimit_, nullptr});
            }
            Transaction tx(*storage_);
            bool stored = false;
            for (Call* c : batch) {
                c->error = nullptr;
                if (several)
                    storage_->execText(QStringLiteral("SAVEPOINT CTB_CALL"));
                try {
                    c->job(*service_);
                    if (several)
                        storage_->execText(QStringLiteral("RELEASE SAVEPOINT CTB_CALL"));
                    stored = true;
                } catch (const DbError& e) {
                    // A lock or serialization conflict: the whole batch runs again.
                    if (e.retryable())
                        throw;
                    c->error = std::current_exception();
                } catch (...) {
                    c->error = std::current_exception();
                }
                if (c->error && several) {
                    storage_->execText(QStringLiteral("ROLLBACK TO SAVEPOINT CTB_CALL"));
                    storage_->execText(QStringLiteral("RELEASE SAVEPOINT CTB_CALL"));
                }
            }
            if (stored)
                tx.commit();
            return stored;  // a single failed call is rolled back by tx
        } catch (const DbError& e) {
            if (e.retryable() && attempt < 50)
                continue;
            for (Call* c : batch)
                c->error = nullptr;
            failAll(std::current_exception());
            return false;
        } catch (...) {
            for (Call* c : batch)
                c->error = nullptr;
            failAll(std::current_exception());
            return false;
        }
    }
}

}  // namespace ctb::server
