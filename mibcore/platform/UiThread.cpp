#include "mibcore/platform/UiThread.h"

#include <QCoreApplication>
#include <QThread>

#include <atomic>

namespace platform {

bool IsUiThread()
{
    QCoreApplication* app = QCoreApplication::instance();
    return !app || QThread::currentThread() == app->thread();
}

void RunOnUiThread(const std::function<void()>& fn)
{
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || QThread::currentThread() == app->thread()) {
        fn();
        return;
    }
    // Qt's semaphore orders the two threads; the atomic says so in a form
    // ThreadSanitizer sees (Qt is not instrumented), both ways.
    std::atomic<int> handOff{0};
    handOff.store(1, std::memory_order_release);
    QMetaObject::invokeMethod(
        app,
        [&] {
            (void)handOff.load(std::memory_order_acquire);
            fn();
            handOff.store(2, std::memory_order_release);
        },
        Qt::BlockingQueuedConnection);
    (void)handOff.load(std::memory_order_acquire);
}

}  // namespace platform
