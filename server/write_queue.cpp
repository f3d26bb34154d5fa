#include "server/write_queue.h"

#include "platform/sql/error.h"
#include "server/service.h"
#include "server/storage.h"

namespace ctb::server {

namespace {
// Calls per transaction: enough to amortise a disk flush, few enough to answer the first soon.
constexpr std::size_t kMaxBatch = 64;
}  // namespace

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
            wake_.wait(lock, [&] { return stopping_ || !queue_.empty(); });
            if (queue_.empty())
                break;
            while (!queue_.empty() && batch.size() < kMaxBatch) {
                batch.push_back(queue_.front());
                queue_.pop_front();
            }
        }
        runBatch(batch);
        {
            std::lock_guard lock(mutex_);
            for (Call* c : batch)
                c->done = true;
        }
        done_.notify_all();
    }
    // The connection belongs to this thread: closed here.
    service_.reset();
    storage_.reset();
}

void WriteQueue::runBatch(std::deque<Call*>& batch) {
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
            return;  // a single failed call is rolled back by tx
        } catch (const DbError& e) {
            if (e.retryable() && attempt < 50)
                continue;
            for (Call* c : batch)
                c->error = nullptr;
            failAll(std::current_exception());
            return;
        } catch (...) {
            for (Call* c : batch)
                c->error = nullptr;
            failAll(std::current_exception());
            return;
        }
    }
}

}  // namespace ctb::server
