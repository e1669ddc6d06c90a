#include "mibcore/engine/BackgroundCycle.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <QMetaObject>
#include <QTimer>
#include <QWidget>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <cstdint>
#include <thread>

#include "mibcore/engine/WorkerStop.h"

namespace snmpengine {

namespace {

thread_local int* t_flag = nullptr;
thread_local int t_wakeFd = -1;

std::atomic<int> g_inFlight{0};

}  // namespace

void SetWorkerStop(int* flag, int wakeFd)
{
    t_flag = flag;
    t_wakeFd = wakeFd;
}

bool WorkerStopped()
{
    return t_flag && std::atomic_ref<int>(*t_flag).load(std::memory_order_acquire) == 0;
}

int WorkerWakeFd() { return t_wakeFd; }

// Shared by the owner's thread and the worker, which is detached: the
// owner never joins it, it waits only for the end of the work itself.
struct BackgroundCycle::Job {
    int keepRunning = 1;  // atomic_ref access: read by the worker
    int wakeFd = -1;
    std::function<void(int*)> work;
    std::function<void()> done;
    bool completed = false;  // work returned normally (read after ended)

    std::mutex mutex;
    std::condition_variable cv;
    bool ended = false;      // the worker is past work and its delivery
    bool cancelled = false;  // stopped: nothing is delivered

    Job() : wakeFd(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}
    ~Job()
    {
        if (wakeFd >= 0)
            ::close(wakeFd);
    }
    void WaitEnded()
    {
        std::unique_lock<std::mutex> lock(mutex);
        cv.wait(lock, [this] { return ended; });
    }
};

BackgroundCycle::BackgroundCycle(QObject* owner)
    : m_owner(owner), m_hasOwner(owner != nullptr), m_receiver(std::make_unique<QObject>())
{
    m_cursorTimer = new QTimer(m_receiver.get());
    m_cursorTimer->setSingleShot(true);
    QObject::connect(m_cursorTimer, &QTimer::timeout, m_receiver.get(), [this] {
        QWidget* w = m_cursorWidget;
        if (!m_job || !w || m_cursorShown)
            return;
        m_hadOwnCursor = w->testAttribute(Qt::WA_SetCursor);
        m_oldCursor = w->cursor();
        w->setCursor(Qt::BusyCursor);
        m_cursorShown = true;
    });
}

BackgroundCycle::~BackgroundCycle()
{
    Stop();
    // Deliveries still queued for the receiver are dropped with it.
}

bool BackgroundCycle::Start(std::function<void(int*)> work, std::function<void()> done)
{
    if (m_job || !work)
        return false;
    auto job = std::make_shared<Job>();
    job->work = std::move(work);
    job->done = std::move(done);
    m_job = job;
    g_inFlight.fetch_add(1);
    QObject* receiver = m_receiver.get();
    // The worker posts the delivery under the job's lock and only while the
    // job is not stopped; Stop() waits for that point, so the worker never
    // touches this object or the receiver after Stop() returned. Nobody
    // joins the thread: the owner's thread never waits for it to exit.
    std::thread([this, receiver, job] {
        SetWorkerStop(&job->keepRunning, job->wakeFd);
        try {
            job->work(&job->keepRunning);
            job->completed = true;
        } catch (...) {
            // A job that throws ends without a result.
        }
        SetWorkerStop(nullptr, -1);
        job->work = nullptr;  // its captures go here, not on the owner's thread
        {
            std::lock_guard<std::mutex> lock(job->mutex);
            if (!job->cancelled) {
                std::weak_ptr<Job> keep = job;
                QMetaObject::invokeMethod(
                    receiver,
                    [this, keep] {
                        if (std::shared_ptr<Job> j = keep.lock())
                            Deliver(j);
                    },
                    Qt::QueuedConnection);
            }
            job->ended = true;
        }
        job->cv.notify_all();
    }).detach();
    if (m_cursorWidget)
        m_cursorTimer->start(m_cursorDelay);
    return true;
}

void BackgroundCycle::Deliver(const std::shared_ptr<Job>& job)
{
    // A stopped or already finished job, or a later one than this call's.
    if (job != m_job)
        return;
    m_job.reset();
    g_inFlight.fetch_sub(1);
    EndCursor();
    std::function<void()> done = std::move(job->done);
    if (job->completed && done && (!m_hasOwner || m_owner))
        done();
}

void BackgroundCycle::Stop()
{
    std::shared_ptr<Job> job = std::move(m_job);
    if (!job)
        return;
    std::atomic_ref<int>(job->keepRunning).store(0, std::memory_order_release);
    if (job->wakeFd >= 0) {
        const std::uint64_t one = 1;
        [[maybe_unused]] ssize_t n = ::write(job->wakeFd, &one, sizeof one);
    }
    {
        std::unique_lock<std::mutex> lock(job->mutex);
        job->cancelled = true;
        job->cv.wait(lock, [&] { return job->ended; });
    }
    job->done = nullptr;
    g_inFlight.fetch_sub(1);
    EndCursor();
}

bool BackgroundCycle::Finish()
{
    std::shared_ptr<Job> job = m_job;
    if (!job)
        return false;
    job->WaitEnded();
    Deliver(job);
    return true;
}

bool BackgroundCycle::FinishAll()
{
    bool any = false;
    while (Finish())
        any = true;
    return any;
}

void BackgroundCycle::SetBusyCursor(QWidget* widget, int delayMs)
{
    EndCursor();
    m_cursorWidget = widget;
    m_cursorDelay = delayMs < 0 ? 0 : delayMs;
}

void BackgroundCycle::EndCursor()
{
    m_cursorTimer->stop();
    if (!m_cursorShown)
        return;
    m_cursorShown = false;
    if (QWidget* w = m_cursorWidget) {
        if (m_hadOwnCursor)
            w->setCursor(m_oldCursor);
        else
            w->unsetCursor();
    }
}

int BackgroundCycle::InFlight() { return g_inFlight.load(); }

}  // namespace snmpengine
