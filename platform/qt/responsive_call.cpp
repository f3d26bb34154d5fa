#include "platform/qt/responsive_call.h"

#include "platform/qt/busy_indicator.h"

#include <QEventLoop>
#include <QThread>

#include <exception>
#include <memory>

namespace ctb::qt {

void runResponsive(const std::function<void()>& work, BusyIndicator* busy) {
    std::exception_ptr failure;
    QEventLoop loop;
    std::unique_ptr<QThread> worker(QThread::create([&work, &failure] {
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
    }));
    QObject::connect(worker.get(), &QThread::finished, &loop, &QEventLoop::quit, Qt::QueuedConnection);
    if (busy != nullptr) {
        busy->on();
    }
    worker->start();
    // The finished signal is queued to this thread, so it cannot be lost before exec() starts.
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    worker->wait();
    if (busy != nullptr) {
        busy->off();
    }
    if (failure) {
        std::rethrow_exception(failure);
    }
}

}  // namespace ctb::qt
