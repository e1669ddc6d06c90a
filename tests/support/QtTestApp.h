#pragma once
// One QApplication for the whole test program, on the offscreen platform
// unless the caller chose another (screenshots under Xvfb), and waiting for
// a condition while its event loop runs, or timing its stalls.

#include <QApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QTimer>

#include <algorithm>

#include <functional>

namespace harness {

inline QApplication* EnsureApp()
{
    if (auto* app = qobject_cast<QApplication*>(QCoreApplication::instance()))
        return app;
    // Run by hand as well as under CTest: never look for a display.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "quillon-tests";
    static char* argv[] = {name, nullptr};
    return new QApplication(argc, argv);
}

// Runs the event loop until pred holds or ms passed.
inline bool SpinUntil(const std::function<bool()>& pred, int ms)
{
    QDeadlineTimer deadline(ms);
    while (!pred()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

// Longest gap between the ticks of a 10 ms timer on this thread.
class StallProbe {
public:
    StallProbe()
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            const qint64 now = m_clock.elapsed();
            m_longest = std::max(m_longest, now - m_last);
            m_last = now;
        });
        m_clock.start();
        m_timer.start(10);
    }
    qint64 longest() const { return m_longest; }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
    qint64 m_longest = 0;
};

}  // namespace harness
