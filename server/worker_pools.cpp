#include "server/worker_pools.h"

#include "platform/sql/error.h"
#include "server/storage.h"

#include <algorithm>
#include <chrono>
#include <exception>

namespace ctb::server {

namespace {
constexpr auto kIdleRetire = std::chrono::seconds(60);
}  // namespace

ConnectionThreads::ConnectionThreads(int maxThreads)
    : max_(static_cast<std::size_t>(std::max(1, maxThreads))) {}

ConnectionThreads::~ConnectionThreads() {
    shutdown();
}

void ConnectionThreads::reapLocked() {
    for (const std::thread::id id : finished_) {
        auto it = std::find_if(threads_.begin(), threads_.end(),
                               [&](const std::thread& t) { return t.get_id() == id; });
        if (it != threads_.end()) {
            it->join();  // it has left its loop already
            threads_.erase(it);
        }
    }
    finished_.clear();
}

void ConnectionThreads::enqueue(std::function<void()> fn) {
    {
        std::lock_guard lock(mutex_);
        jobs_.push_back(std::move(fn));
        reapLocked();
        if (idle_ < jobs_.size() && threads_.size() < max_)
            threads_.emplace_back([this] { loop(); });
    }
    cond_.notify_one();
}

void ConnectionThreads::shutdown() {
    std::vector<std::thread> threads;
    {
        std::lock_guard lock(mutex_);
        if (shutdown_ && threads_.empty())
            return;
        shutdown_ = true;
        threads.swap(threads_);
        finished_.clear();
    }
    cond_.notify_all();
    for (auto& t : threads)
        t.join();
}

void ConnectionThreads::loop() {
    std::unique_lock lock(mutex_);
    for (;;) {
        ++idle_;
        const bool woken = cond_.wait_for(lock, kIdleRetire, [&] { return shutdown_ || !jobs_.empty(); });
        --idle_;
        if (jobs_.empty()) {
            if (shutdown_)
                return;
            if (!woken) {
                finished_.push_back(std::this_thread::get_id());
                return;
            }
            continue;
        }
        std::function<void()> job = std::move(jobs_.front());
        jobs_.pop_front();
        lock.unlock();
        job();
        lock.lock();
    }
}

struct DatabaseWorkers::Call {
    const Job* job;
    std::exception_ptr error;
    bool done = false;
    std::condition_variable finished;
};

DatabaseWorkers::DatabaseWorkers(QString databaseUrl, ServiceOptions service, int threads)
    : url_(std::move(databaseUrl)), service_(service) {
    for (int i = 0; i < std::max(1, threads); ++i)
        threads_.emplace_back([this] { loop(); });
}

DatabaseWorkers::~DatabaseWorkers() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    for (auto& t : threads_)
        t.join();
}

void DatabaseWorkers::run(const Job& job) {
    Call call;
    call.job = &job;
    std::unique_lock lock(mutex_);
    queue_.push_back(&call);
    wake_.notify_one();
    call.finished.wait(lock, [&] { return call.done; });
    lock.unlock();
    if (call.error)
        std::rethrow_exception(call.error);
}

void DatabaseWorkers::loop() {
    // Opened on first use and closed by this thread when it ends.
    std::unique_ptr<Storage> storage;
    std::unique_ptr<LancamentoService> service;
    for (;;) {
        Call* call = nullptr;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [&] { return stopping_ || !queue_.empty(); });
            if (queue_.empty())
                break;
            call = queue_.front();
            queue_.pop_front();
        }
        try {
            if (!service) {
                storage = std::make_unique<Storage>(url_);
                service = std::make_unique<LancamentoService>(*storage, service_);
            }
            (*call->job)(*service);
        } catch (const DbError&) {
            // The connection may be broken: the next call opens a new one.
            call->error = std::current_exception();
            service.reset();
            storage.reset();
        } catch (const sql::SqlError&) {
            call->error = std::current_exception();
            service.reset();
            storage.reset();
        } catch (...) {
            call->error = std::current_exception();
        }
        {
            std::lock_guard lock(mutex_);
            call->done = true;
            // Notified under the lock: the caller's Call lives on its stack and goes once it sees done.
            call->finished.notify_one();
        }
    }
    service.reset();
    storage.reset();
}

}  // namespace ctb::server
