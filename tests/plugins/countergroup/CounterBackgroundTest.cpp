// Counter-group windows poll beside the event loop: what goes out on the
// wire is what the blocking cycle sent, the user-interface thread keeps
// running whatever the agent does, and closing or quitting mid-cycle ends
// the cycle at once without touching the closed window.

#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <functional>
#include <memory>

#include "mibcore/engine/BackgroundCycle.h"
#include "tests/plugins/countergroup/FaultWindowHarness.h"

using namespace cgtest;

namespace {

using harness::StallProbe;

class CounterBackgroundTest : public FaultWindowTest {
protected:
    // Runs the event loop until every window's cycle has ended.
    static bool SpinUntilIdle(const std::vector<Window*>& windows, int ms)
    {
        auto idle = [&] {
            return std::none_of(windows.begin(), windows.end(), [](Window* w) { return w->doc->PollInFlight(); });
        };
        return harness::SpinUntil(idle, ms);
    }
};

}  // namespace

TEST_F(CounterBackgroundTest, ATimerTickSendsWhatTheBlockingCycleSent)
{
    // udpNoPorts (the second object) is silent; the rest answer.
    auto mib = std::make_shared<fp::Mib>();
    for (uint32_t s : {1u, 2u, 3u, 4u})
        mib->set(Scalar(kUdp, s), fp::counter(100 * s));
    auto serve = fp::serve(mib);
    peer->setScript([=](const fp::Request& r, int i) {
        if (r.decoded && !r.bindings.empty() && r.bindings[0].oid == Scalar(kUdp, 2))
            return std::vector<fp::Send>{};
        return serve(r, i);
    });
    UseAgent(peer->address(), 2, 3, 1, 600000);  // two waits of 0.6 s
    Window w = Open("UDP情報");
    ASSERT_TRUE(w);
    peer->clearRequests();

    StallProbe probe;
    w.list->OnTimer(countergroup::kTimerPoll);
    EXPECT_TRUE(w.doc->PollInFlight());
    ASSERT_TRUE(SpinUntilIdle({&w}, 5000));

    // One datagram per object, in table order, consecutive ids, each sent
    // only when the previous exchange had ended.
    const auto reqs = peer->requests();
    ASSERT_EQ(reqs.size(), 4u);
    for (size_t i = 0; i < reqs.size(); ++i) {
        EXPECT_EQ(reqs[i].bindings.at(0).oid, Scalar(kUdp, uint32_t(i + 1)));
        if (i > 0) {
            EXPECT_EQ(reqs[i].requestId, reqs[i - 1].requestId % 255 + 1);
        }
    }
    // Two full waits of 0.6 s lie between them; the peer's thread notes an
    // arrival a little late now and then, so allow it that much.
    EXPECT_GE(reqs[2].received - reqs[1].received, std::chrono::milliseconds(1150));
    const std::vector<int> codes = {0, 21, 0, 0};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(w.doc->getSeries(i)->getValatTime()[60].getErrIdx(), codes[size_t(i)]) << i;
    // The blocking cycle held the event loop for the whole 1.2 s wait; a
    // busy machine may stall it briefly (the benchmark measures that).
    EXPECT_LT(probe.longest(), 1000);
}

TEST_F(CounterBackgroundTest, FourWindowsOnASilentOrFloodingAgentNeverHoldTheEventLoop)
{
    // TCP objects get a flood of stale replies, the others silence.
    const fp::Oid tcp = {1, 3, 6, 1, 2, 1, 6};
    peer->setScript([=](const fp::Request& r, int) {
        std::vector<fp::Send> out;
        if (!r.decoded || r.bindings.empty() || r.bindings[0].oid.size() <= tcp.size() ||
            !std::equal(tcp.begin(), tcp.end(), r.bindings[0].oid.begin()))
            return out;
        const long stale = r.requestId == 1 ? 255 : r.requestId - 1;
        for (int i = 0; i < 30; ++i)
            out.push_back(fp::Reply(fp::message(0, r.community, 0xA2, stale, 0, 0, r.bindings), 15 * i)[0]);
        return out;
    });
    UseAgent(peer->address(), 2, 1, 0, 200000);
    std::vector<Window> windows;
    for (const char* name : {"UDP情報", "TCP情報", "ICMP情報", "IP情報"}) {
        windows.push_back(Open(name, false));
        ASSERT_TRUE(windows.back()) << name;
    }
    StallProbe probe;
    for (Window& w : windows)
        w.doc->UpdateAllViews(nullptr, countergroup::kHintStart);
    std::vector<Window*> all;
    for (Window& w : windows)
        all.push_back(&w);
    ASSERT_TRUE(SpinUntilIdle(all, 5000));

    // Two failures use up the budget of one; the rest is skipped, as ever.
    for (Window& w : windows) {
        SCOPED_TRACE(w.frame->windowTitle().toStdString());
        for (int i = 0; i < w.doc->getObjectCount(); ++i) {
            const int code = i < 2 ? 21 : 23;
            EXPECT_EQ(w.doc->getLastResult(i), code) << i;
            EXPECT_EQ(w.doc->getSeries(i)->getValatTime()[60].getErrIdx(), code) << i;
        }
    }
    EXPECT_EQ(peer->requestCount(), 8u);
    // Blocking, the four cycles held it 1.6 s in a row.
    EXPECT_LT(probe.longest(), 1000);
}

TEST_F(CounterBackgroundTest, CloseOrQuitDuringACycleEndsItAtOnce)
{
    peer->setScript(fp::silent());
    UseAgent(peer->address(), 2, 3, 3, 0);
    MIBAgent::getInstance()->setTvSec(5);  // 20 s per object
    using Finish = std::function<void(std::vector<Window>&)>;
    const std::vector<std::pair<const char*, Finish>> cases = {
        {"close", [](std::vector<Window>& ws) { for (Window& w : ws) Close(w); }},
        {"quit", [](std::vector<Window>&) { platform::App::CloseAllDocuments(); }},
    };
    for (const auto& [what, finish] : cases) {
        SCOPED_TRACE(what);
        peer->clearRequests();
        std::vector<Window> windows;
        for (const char* name : {"UDP情報", "TCP情報", "SNMP情報"}) {
            windows.push_back(Open(name, false));
            ASSERT_TRUE(windows.back()) << name;
            windows.back().doc->UpdateAllViews(nullptr, countergroup::kHintStart);
        }
        ASSERT_TRUE(peer->waitForRequests(3, 3000));
        EXPECT_EQ(snmpengine::BackgroundCycle::InFlight(), 3);
        QElapsedTimer t;
        t.start();
        finish(windows);
        EXPECT_LT(t.elapsed(), 1000);
        EXPECT_EQ(snmpengine::BackgroundCycle::InFlight(), 0);
        // Nothing more goes out, and no late delivery finds a window.
        QTest::qWait(200);
        EXPECT_EQ(peer->requestCount(), 3u);
    }
}

TEST_F(CounterBackgroundTest, TicksDuringACycleRunOneCycleRightAfterIt)
{
    auto mib = std::make_shared<fp::Mib>();
    for (uint32_t s : {1u, 2u, 3u, 4u})
        mib->set(Scalar(kUdp, s), fp::counter(s));
    auto serve = fp::serve(mib);
    peer->setScript([=](const fp::Request& r, int i) {
        std::vector<fp::Send> out = serve(r, i);
        for (fp::Send& s : out)
            s.delayMs = 100;  // a cycle takes 0.4 s
        return out;
    });
    UseAgent(peer->address(), 2, 3, 0, 500000);
    Window w = Open("UDP情報");
    ASSERT_TRUE(w);
    peer->clearRequests();
    w.list->SetTimer(countergroup::kTimerPoll, 50);  // eight ticks per cycle
    QTest::qWait(1000);
    w.list->KillTimer(countergroup::kTimerPoll);
    ASSERT_TRUE(SpinUntilIdle({&w}, 3000));

    // Whole cycles, one request in flight at a time, back to back: the
    // ticks that came meanwhile were folded into one.
    const auto reqs = peer->requests();
    EXPECT_EQ(reqs.size() % 4, 0u);
    EXPECT_GE(reqs.size(), 8u);
    EXPECT_LE(reqs.size(), 16u);
    for (size_t i = 1; i < reqs.size(); ++i) {
        EXPECT_GE(reqs[i].received - reqs[i - 1].received, std::chrono::milliseconds(90)) << i;
        EXPECT_EQ(reqs[i].bindings.at(0).oid, Scalar(kUdp, uint32_t(i % 4 + 1)));
    }
}
