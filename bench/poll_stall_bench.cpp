// The longest stall of the user-interface thread's event loop while
// counter-group documents poll, measured by a 10 ms timer on that thread:
// with 1, 4 and 10 documents against a silent agent and against a healthy
// one at the 5 s interval, in the background (as the windows poll) and,
// for comparison, with the cycle blocking the event loop (as they polled
// before). Default agent settings: 3 receive retries of 0.5 s, error
// budget 3, so one cycle against a silent agent waits 8 s.
//
//   build/bench/poll_stall_bench            prints ms; takes about 2 min
//   build/bench/poll_stall_bench --quick    0.1 s time-outs, 1 s interval
//
// The agent is a UDP socket on 127.0.0.1 that answers every GetRequest or
// none; the graph's redraw on new data is left out (see countergroup_bench).
// "less CPU wait" is the same gap less the time the thread was runnable but
// had no processor (from /proc/thread-self/schedstat): on a loaded machine
// it is the stall the program itself causes.

#include <QElapsedTimer>
#include <QApplication>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "bench/BenchSupport.h"
#include "bench/SnmpGroup.h"
#include "mibcore/agent/MIBAgent.h"
#include "mibcore/engine/MIBBasicItem.h"
#include "mibcore/platform/DocView.h"
#include "plugins/countergroup/CounterGroupDoc.h"

using namespace benchsupport;
using namespace countergroup;

namespace {

// Counts the new-data hints a document sends at the end of each cycle.
class CycleCounter : public platform::View {
public:
    explicit CycleCounter(int* count) : m_count(count) {}
    void OnUpdate(platform::View*, long hint, QObject*) override
    {
        if (hint == kHintNewData)
            ++*m_count;
    }

private:
    int* m_count;
};

// Time this thread has spent runnable but waiting for a processor (ns), or
// -1 where the kernel does not tell.
long long RunQueueWaitNs()
{
    std::FILE* f = std::fopen("/proc/thread-self/schedstat", "r");
    if (!f)
        return -1;
    unsigned long long run = 0, wait = 0;
    const int n = std::fscanf(f, "%llu %llu", &run, &wait);
    std::fclose(f);
    return n == 2 ? static_cast<long long>(wait) : -1;
}

struct Stall {
    qint64 longest = 0;      // wall-clock gap between probe ticks, ms
    qint64 ownLongest = -1;  // the same less the waits for a processor
};

struct Poller {
    std::unique_ptr<CCounterGroupDoc> doc = std::make_unique<CCounterGroupDoc>(kSnmpGroup);
    std::unique_ptr<CycleCounter> counter;
    MIBBasicItem item;
    QTimer timer;
};

// Longest event-loop gap over runMs with n documents polling every
// intervalMs (the first cycle at once, as a window starts); *cycles: the
// cycles that ended.
Stall LongestStall(int n, bool blocking, int intervalMs, int runMs, int* cycles)
{
    std::vector<std::unique_ptr<Poller>> pollers;
    int done = 0;
    for (int i = 0; i < n; ++i) {
        auto p = std::make_unique<Poller>();
        p->doc->Initialize();
        p->counter = std::make_unique<CycleCounter>(&done);
        p->doc->AddView(p->counter.get());
        p->item.getInetUdp()->createSocket();
        Poller* raw = p.get();
        auto poll = [raw, blocking] {
            if (blocking)
                raw->doc->PollCycle(&raw->item);
            else
                raw->doc->StartPollCycle(&raw->item);
        };
        QObject::connect(&p->timer, &QTimer::timeout, poll);
        p->timer.start(intervalMs);
        QTimer::singleShot(0, poll);
        pollers.push_back(std::move(p));
    }
    QElapsedTimer clock;
    clock.start();
    qint64 last = 0;
    long long lastWait = RunQueueWaitNs();
    Stall stall;
    QTimer probe;
    QObject::connect(&probe, &QTimer::timeout, [&] {
        const qint64 now = clock.elapsed();
        const long long wait = RunQueueWaitNs();
        stall.longest = std::max(stall.longest, now - last);
        if (wait >= 0 && lastWait >= 0)
            stall.ownLongest = std::max(stall.ownLongest, now - last - (wait - lastWait) / 1000000);
        last = now;
        lastWait = wait;
    });
    probe.start(10);
    QEventLoop loop;
    QTimer::singleShot(runMs, &loop, &QEventLoop::quit);
    loop.exec();
    probe.stop();
    *cycles = done;
    for (auto& p : pollers) {
        // A cycle still in flight is stopped with its document.
        p->timer.stop();
        p->doc->RemoveView(p->counter.get());
    }
    return stall;
}

}  // namespace

int main(int argc, char** argv)
{
    const bool quick = argc > 1 && std::strcmp(argv[1], "--quick") == 0;
    LoopbackResponder agent(LoopbackResponder::Bindings::Counter);
    PrepareEnvironment(agent.Port());
    QApplication app(argc, argv);

    MIBAgent* a = MIBAgent::getInstance();
    a->setAddr("127.0.0.1");
    a->setNetworkLayerType(MIBAgent::FamilyIPv4);
    a->setRecvErrCnt(3);
    a->setSendErrCnt(3);
    a->setTvSec(0);
    a->setTvUSec(quick ? 100000 : 500000);
    const int interval = quick ? 1000 : 5000;
    const int silentCycleMs = 4 * 4 * (quick ? 100 : 500);

    std::printf("Longest event-loop stall while counter documents poll (27 objects each)\n");
    std::printf("time-out %d ms x 4 waits, budget 3, interval %d ms\n\n", quick ? 100 : 500, interval);
    std::printf("%-8s %-9s %8s %14s %14s %8s\n", "agent", "cycle", "windows", "longest stall", "less CPU wait",
                "cycles");
    auto row = [interval](const char* agentKind, bool blocking, int n, int runMs) {
        int cycles = 0;
        const Stall s = LongestStall(n, blocking, interval, runMs, &cycles);
        std::printf("%-8s %-9s %8d %11lld ms %11lld ms %8d\n", agentKind, blocking ? "blocking" : "backgr.", n,
                    static_cast<long long>(s.longest), static_cast<long long>(s.ownLongest), cycles);
        std::fflush(stdout);
    };
    agent.SetAnswering(false);
    for (int n : {1, 4, 10})
        row("silent", false, n, silentCycleMs + 500);
    for (int n : {1, 2})
        row("silent", true, n, n * silentCycleMs + 200);
    agent.SetAnswering(true);
    for (int n : {1, 4, 10})
        row("healthy", false, n, 2 * interval + 1500);
    row("healthy", true, 10, 2 * interval + 1500);
    return 0;
}
