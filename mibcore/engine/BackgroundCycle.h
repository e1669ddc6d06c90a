#pragma once
// Runs a window's network work (a poll cycle, a walk, any blocking
// SnmpData/SnmpDynamicList calls) on a worker thread and hands the result
// back to the user-interface thread, so the program never freezes waiting
// for an agent.
//
// One job at a time per instance: Start() refuses while a job is in flight
// (the caller decides whether to skip or to remember the request and start
// again from its done handler). done runs on the thread that created the
// BackgroundCycle, from its event loop, and only while the owner QObject
// still exists and the job was not stopped.
//
//   // a member of the window's document or view (declared after the data
//   // the handlers use, so it is destroyed, and stopped, first):
//   snmpengine::BackgroundCycle m_cycle{this};
//
//   void CMyDoc::Refresh(MIBBasicItem* item)
//   {
//       if (m_cycle.Busy())
//           return;                                    // one job in flight
//       // The worker gets copies: the settings as they are now and the
//       // socket (copies of a MIBBasicItem share it).
//       auto agent = std::make_shared<MIBAgent>(*MIBAgent::getInstance());
//       MIBBasicItem socket(*item);
//       m_cycle.Start<Rows>(
//           [agent, socket](int* keepRunning) mutable {   // worker thread
//               Rows rows;
//               SnmpDynamicList(agent.get(), &socket, ..., keepRunning, ...);
//               return rows;
//           },
//           [this](Rows rows) { Show(rows); });             // UI thread
//   }
//   void CMyDoc::OnCloseDocument() { m_cycle.Stop(); ... }
//
// The work function must not touch widgets or the document: it runs beside
// the event loop. Pass keepRunning on to every SnmpData/SnmpDynamicList
// call. Stop() (and the destructor) drops it and wakes the worker at once,
// even in the middle of a long receive time-out; the exchange then returns
// without a result, and Stop() returns when the work has returned, so after
// Stop() nothing of the job runs any more (work's captures are destroyed on
// the worker before that). Delivery never waits for the worker thread.
//
// Finish() is the synchronous form for tests and benchmarks: it waits for
// the job in flight and runs its done handler before returning.
//
// SetBusyCursor(widget) makes the widget (and its children that have no
// cursor of their own) show Qt::BusyCursor while a job has been in flight
// longer than a moment; the rest of the program keeps its cursor and stays
// usable.

#include <QCursor>
#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>
#include <utility>

class QTimer;
class QWidget;

namespace snmpengine {

class BackgroundCycle {
public:
    // owner: done handlers run only while it exists (may be null).
    explicit BackgroundCycle(QObject* owner);
    ~BackgroundCycle();
    BackgroundCycle(const BackgroundCycle&) = delete;
    BackgroundCycle& operator=(const BackgroundCycle&) = delete;

    // work(keepRunning) on a new worker thread, then done() on this
    // object's thread. False, and nothing started, while a job is in flight.
    bool Start(std::function<void(int* keepRunning)> work, std::function<void()> done);

    // The same with a result handed from work to done (Result: default
    // constructible and movable; it never crosses threads while in use).
    template <class Result, class Work, class Done>
    bool Start(Work work, Done done)
    {
        auto result = std::make_shared<Result>();
        return Start([result, w = std::move(work)](int* keepRunning) mutable { *result = w(keepRunning); },
                     [result, d = std::move(done)]() mutable { d(std::move(*result)); });
    }

    // A job was started and its done handler has not run yet.
    bool Busy() const { return m_job != nullptr; }

    // End the job in flight without its done handler; returns when its
    // work has returned (at once: the wait is woken).
    void Stop();

    // Wait for the job in flight and run its done handler now. False when
    // there was none.
    bool Finish();
    // Finish() until no job is left (a done handler may start the next one).
    // False when there was none.
    bool FinishAll();

    // The widget that shows the busy cursor while a job runs (null: none).
    void SetBusyCursor(QWidget* widget, int delayMs = 200);

    // Jobs of every instance in flight in this process (tests, benchmarks).
    static int InFlight();

private:
    struct Job;
    void Deliver(const std::shared_ptr<Job>& job);
    void EndCursor();

    QPointer<QObject> m_owner;
    bool m_hasOwner;
    std::unique_ptr<QObject> m_receiver;  // queued deliveries go through it
    std::shared_ptr<Job> m_job;
    QPointer<QWidget> m_cursorWidget;
    int m_cursorDelay = 200;
    QTimer* m_cursorTimer = nullptr;      // child of m_receiver
    bool m_cursorShown = false;
    bool m_hadOwnCursor = false;
    QCursor m_oldCursor;
};

}  // namespace snmpengine
