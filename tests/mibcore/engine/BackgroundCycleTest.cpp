// Background jobs against a real UDP peer: the event loop keeps running
// while an exchange waits, the result comes back on the owner's thread, and
// stopping or losing the owner ends everything at once.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

#include <chrono>
#include <memory>
#include <thread>
#include <vector>

#include "mibcore/engine/BackgroundCycle.h"
#include "tests/mibcore/engine/EngineFixture.h"
#include "tests/support/QtTestApp.h"

using enginetest::Bindings;
using snmpengine::BackgroundCycle;
using namespace faultpeer;

namespace {

class BackgroundCycleTest : public enginetest::AgentSettings {
protected:
    void SetUp() override
    {
        AgentSettings::SetUp();
        harness::EnsureApp();
        if (!harness::InNetns())
            GTEST_SKIP() << "needs the private network namespace: run ./test.sh";
    }

    // Process events until pred holds or ms pass.
    static bool SpinUntil(const std::function<bool()>& pred, int ms)
    {
        QElapsedTimer t;
        t.start();
        while (!pred() && t.elapsed() < ms)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        return pred();
    }

    // One GetRequest for sysDescr through the worker's copies.
    static std::function<int(int*)> Exchange()
    {
        auto agent = std::make_shared<MIBAgent>(*MIBAgent::getInstance());
        auto item = std::make_shared<MIBBasicItem>();
        return [agent, item](int* keepRunning) {
            CSnmpBer b = Bindings({"1.3.6.1.2.1.1.1.0"});
            return SnmpData(agent.get(), item.get(), b, 0xA0, keepRunning);
        };
    }
};

}  // namespace

TEST_F(BackgroundCycleTest, SilentAgentLeavesTheEventLoopRunningAndTheResultComesBackOnItsThread)
{
    FaultAgent peer;  // silent
    Use(peer, 300000, 2);  // three waits of 0.3 s
    QObject owner;
    BackgroundCycle cycle(&owner);
    int ticks = 0;
    QTimer probe;
    QObject::connect(&probe, &QTimer::timeout, [&] { ++ticks; });
    probe.start(10);

    int result = -1;
    std::thread::id doneThread;
    ASSERT_TRUE(cycle.Start<int>(Exchange(), [&](int rc) {
        result = rc;
        doneThread = std::this_thread::get_id();
    }));
    EXPECT_TRUE(cycle.Busy());
    EXPECT_FALSE(cycle.Start([](int*) {}, [] {}));  // one job at a time
    ASSERT_TRUE(SpinUntil([&] { return !cycle.Busy(); }, 5000));
    EXPECT_EQ(result, 21);
    EXPECT_EQ(doneThread, std::this_thread::get_id());
    // A blocking exchange would have let the probe tick at most once.
    EXPECT_GT(ticks, 20);
    EXPECT_EQ(peer.requestCount(), 1u);
    EXPECT_EQ(BackgroundCycle::InFlight(), 0);
}

TEST_F(BackgroundCycleTest, StopEndsALongWaitAtOnceWithoutItsHandler)
{
    FaultAgent peer;  // silent
    Use(peer, 5000000, 3);  // 20 s in all
    QObject owner;
    BackgroundCycle cycle(&owner);
    bool done = false;
    ASSERT_TRUE(cycle.Start<int>(Exchange(), [&](int) { done = true; }));
    ASSERT_TRUE(peer.waitForRequests(1, 5000));
    QElapsedTimer t;
    t.start();
    cycle.Stop();
    EXPECT_LT(t.elapsed(), 1000);  // woken, not waiting out the time-out
    EXPECT_FALSE(cycle.Busy());
    SpinUntil([] { return false; }, 100);
    EXPECT_FALSE(done);
    // A new job may start right away.
    peer.setScript(echo());
    int result = -1;
    ASSERT_TRUE(cycle.Start<int>(Exchange(), [&](int rc) { result = rc; }));
    ASSERT_TRUE(cycle.Finish());
    EXPECT_EQ(result, 0);
    EXPECT_FALSE(cycle.Finish());
    // A handler that starts the next job: FinishAll waits for the chain.
    std::vector<int> ran;
    ASSERT_TRUE(cycle.Start([](int*) {}, [&] {
        ran.push_back(1);
        cycle.Start([](int*) {}, [&] { ran.push_back(2); });
    }));
    EXPECT_TRUE(cycle.FinishAll());
    EXPECT_EQ(ran, (std::vector<int>{1, 2}));
    EXPECT_FALSE(cycle.FinishAll());
}

TEST_F(BackgroundCycleTest, NothingRunsForADestroyedOwnerOrCycle)
{
    FaultAgent peer;
    peer.setScript([](const Request& r, int) { return Reply(response(r, 0, 0, r.bindings), 150); });
    Use(peer, 2000000, 0);
    int calls = 0;
    {
        // The owner goes while the reply is on its way.
        auto owner = std::make_unique<QObject>();
        BackgroundCycle cycle(owner.get());
        ASSERT_TRUE(cycle.Start<int>(Exchange(), [&](int) { ++calls; }));
        owner.reset();
        SpinUntil([&] { return !cycle.Busy(); }, 3000);
        EXPECT_FALSE(cycle.Busy());
    }
    {
        // The cycle itself goes mid-wait, and its result is queued after.
        auto cycle = std::make_unique<BackgroundCycle>(nullptr);
        ASSERT_TRUE(cycle->Start<int>(Exchange(), [&](int) { ++calls; }));
        ASSERT_TRUE(peer.waitForRequests(2, 3000));
        cycle.reset();
        SpinUntil([] { return false; }, 300);
    }
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(BackgroundCycle::InFlight(), 0);
}

TEST_F(BackgroundCycleTest, BusyCursorOnlyOnItsWidgetAndOnlyWhileInFlight)
{
    FaultAgent peer;  // silent
    Use(peer, 400000, 0);
    QObject owner;
    QWidget window, other;
    window.setCursor(Qt::CrossCursor);
    BackgroundCycle cycle(&owner);
    cycle.SetBusyCursor(&window, 0);
    ASSERT_TRUE(cycle.Start<int>(Exchange(), [](int) {}));
    ASSERT_TRUE(SpinUntil([&] { return window.cursor().shape() == Qt::BusyCursor; }, 300));
    EXPECT_EQ(other.cursor().shape(), Qt::ArrowCursor);
    ASSERT_TRUE(SpinUntil([&] { return !cycle.Busy(); }, 3000));
    EXPECT_EQ(window.cursor().shape(), Qt::CrossCursor);
}
