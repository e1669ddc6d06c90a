// The interface windows wait for the agent beside the event loop: the
// tables window's walks, the RMON history reading and the RMON statistics
// and traffic cycles send what the blocking calls sent, the program keeps
// running whatever the agent does, and closing or quitting mid-exchange
// ends it at once without touching the closed window.

#include <QElapsedTimer>
#include <QFileInfo>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <functional>

#include "mibcore/engine/BackgroundCycle.h"
#include "mibcore/engine/CSnmpBerList.h"
#include "mibcore/platform/CmdTarget.h"
#include "plugins/countergroup/CounterGroupViews.h"
#include "plugins/ifplug/IfRegistry.h"
#include "plugins/ifplug/IfTraffic.h"
#include "plugins/ifplug/RmonWindows.h"
#include "tests/plugins/ifplug/IfHarness.h"
#include "tests/support/faultpeer/FaultAgent.h"

using namespace iftest;
using namespace faultpeer;
using namespace ifplug;

namespace {

using harness::StallProbe;

// Runs the event loop until busy() turns false; false on time-out.
bool SpinWhile(const std::function<bool()>& busy, int ms)
{
    return harness::SpinUntil([&] { return !busy(); }, ms);
}

// What went out, with the ids as steps from the first one.
struct Sent {
    int pduType;
    std::vector<Oid> names;
    long idStep;
    bool operator==(const Sent&) const = default;
};
std::vector<Sent> Capture(const FaultAgent& peer)
{
    std::vector<Sent> out;
    const std::vector<Request> reqs = peer.requests();
    for (const Request& r : reqs) {
        Sent s{r.pduType, {}, (r.requestId - reqs[0].requestId + 255) % 255};
        for (const Binding& b : r.bindings)
            s.names.push_back(b.oid);
        out.push_back(std::move(s));
    }
    return out;
}

class IfBackgroundTest : public IfNetnsTest {
protected:
    platform::ChildFrame* OpenStatistics(const std::vector<InterfaceEntry>& list)
    {
        return OpenIfWindow(kEntryStatistics, "etherStatsTable情報-bg", [&](platform::Document* d) {
            dynamic_cast<InterfaceListTarget*>(d)->SetInterfaces(list, 0);
        });
    }
    platform::ChildFrame* OpenHistory(const std::vector<HistoryControlEntry>& list)
    {
        return OpenIfWindow(kEntryHistory, "history情報-bg", [&](platform::Document* d) {
            dynamic_cast<HistoryListTarget*>(d)->SetHistories(list);
        });
    }
    platform::ChildFrame* OpenTraffic(int ifIndex)
    {
        return OpenIfWindow(kEntryTraffic, "ifIndex[" + std::to_string(ifIndex) + "]-bg",
                            [&](platform::Document* d) {
                                dynamic_cast<SingleInterfaceTarget*>(d)->SetInterface(ifIndex, "bg");
                            });
    }

    FaultAgent peer;
};

}  // namespace

TEST_F(IfBackgroundTest, ASilentAgentNeverHoldsTheEventLoop)
{
    peer.setScript(silent());
    // Only the interface walk runs against a silent agent: two time-outs
    // of 250 ms keep it in flight past the checks below.
    UseAgent(peer.address(), peer.settingsFamily(), 1, 250000);
    StallProbe probe;
    TablesWindow w = Open(false);
    ASSERT_TRUE(w);
    auto* stats = qobject_cast<CStaticMIBMenuFrame*>(OpenStatistics({{1, 1, "a"}, {2, 2, "b"}, {3, 3, "c"}}));
    auto* traffic = qobject_cast<countergroup::CCounterGroupFrame*>(OpenTraffic(1));
    ASSERT_TRUE(stats && traffic);
    auto* statsDoc = qobject_cast<CStaticMIBMenuDoc*>(stats->document());
    countergroup::CCounterGroupDoc* trafficDoc = traffic->document();
    EXPECT_TRUE(w.view->LoadingInFlight());
    EXPECT_TRUE(statsDoc->PollInFlight());
    EXPECT_TRUE(trafficDoc->PollInFlight());

    // While the walks run: the busy cursor on that window only, the table
    // commands and the export wait, the columns are there.
    QTest::qWait(300);
    ASSERT_TRUE(w.view->LoadingInFlight());
    EXPECT_EQ(w.frame->cursor().shape(), Qt::BusyCursor);
    EXPECT_NE(platform::App::GetMainFrame()->cursor().shape(), Qt::BusyCursor);
    EXPECT_EQ(w.view->GetListCtrl().GetColumnCount(), 8);
    platform::CmdUI ui(kCmdRouteTable);
    platform::UpdateCommand(w.view, ui);
    EXPECT_FALSE(ui.IsEnabled());
    platform::ExecuteCommand(w.view, kCmdRouteTable);
    EXPECT_EQ(w.view->currentTable(), kCmdIfTable);
    fileAnswer = IniPath("during.csv");
    EXPECT_FALSE(w.frame->ExportCsv());
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(*fileAnswer)));
    EXPECT_TRUE(messages.Texts().empty());
    // A look by eye: the columns without rows, the table buttons greyed.
    w.frame->resize(900, 300);
    w.frame->UpdateCmdUI();
    const QString dir = QString::fromStdString(harness::BuildDir()) + "/tests/screenshots";
    QDir().mkpath(dir);
    EXPECT_TRUE(w.frame->grab().toImage().save(dir + "/if-loading.png"));

    ASSERT_TRUE(SpinWhile(
        [&] { return w.view->LoadingInFlight() || statsDoc->PollInFlight() || trafficDoc->PollInFlight(); }, 10000));
    EXPECT_LT(probe.longest(), 1000);  // only a freeze; the benchmark measures stalls

    // The outcome is the blocking one's: the message after the walks, the
    // budget of one spent on two requests, the rest skipped.
    ASSERT_EQ(messages.Texts().size(), 1u);
    EXPECT_EQ(messages.Texts()[0], std::string("interfaces情報を取得できませんでした。理由は⇒") + CSnmpBerList::ErrMsg(21));
    EXPECT_NE(w.frame->cursor().shape(), Qt::BusyCursor);
    EXPECT_EQ(statsDoc->state().lastResult, (std::vector<int>{21, 21, 23}));
    for (int i = 0; i < trafficDoc->getObjectCount(); ++i)
        EXPECT_EQ(trafficDoc->getLastResult(i), i < 2 ? 21 : 23) << i;
    platform::UpdateCommand(w.view, ui);
    EXPECT_TRUE(ui.IsEnabled());
    platform::ExecuteCommand(w.view, kCmdRouteTable);
    EXPECT_EQ(w.view->currentTable(), kCmdRouteTable);
}

TEST_F(IfBackgroundTest, CloseOrQuitDuringTheExchangesEndsThemAtOnce)
{
    peer.setScript(silent());
    UseAgent(peer.address(), peer.settingsFamily(), 3, 0);
    MIBAgent::getInstance()->setTvSec(5);
    MIBAgent::getInstance()->setRecvErrCnt(3);  // 20 s per request
    using Finish = std::function<void(const std::vector<platform::Document*>&)>;
    const std::vector<std::pair<const char*, Finish>> cases = {
        {"close", [](const std::vector<platform::Document*>& docs) { for (auto* d : docs) d->OnCloseDocument(); }},
        {"quit", [](const std::vector<platform::Document*>&) { platform::App::CloseAllDocuments(); }},
    };
    for (const auto& [what, finish] : cases) {
        SCOPED_TRACE(what);
        peer.clearRequests();
        TablesWindow w = Open(false);
        ASSERT_TRUE(w);
        platform::ChildFrame* stats = OpenStatistics({{1, 1, "a"}});
        platform::ChildFrame* history = OpenHistory({{1, 2, 50, {1, 0, "a"}}});
        ASSERT_TRUE(stats && history);
        const std::vector<platform::Document*> docs = {w.view->GetDocument(), stats->GetActiveDocument(),
                                                       history->GetActiveDocument()};
        ASSERT_TRUE(peer.waitForRequests(3, 3000));
        EXPECT_EQ(snmpengine::BackgroundCycle::InFlight(), 3);
        QElapsedTimer t;
        t.start();
        finish(docs);
        EXPECT_LT(t.elapsed(), 1000);
        EXPECT_EQ(snmpengine::BackgroundCycle::InFlight(), 0);
        // Nothing more goes out, and no late delivery finds a window.
        QTest::qWait(200);
        EXPECT_EQ(peer.requestCount(), 3u);
        EXPECT_TRUE(messages.Texts().empty());
        EXPECT_TRUE(platform::App::GetMainFrame()->GetChildFrames().isEmpty());
    }
}

TEST_F(IfBackgroundTest, TheWindowsSendWhatTheBlockingCallsSent)
{
    auto mib = std::make_shared<Mib>();
    const Oid ifEntry = parseOid("1.3.6.1.2.1.2.2.1");
    for (uint32_t i = 1; i <= 2; ++i) {
        for (uint32_t c : {1u, 3u, 4u, 8u, 21u})
            mib->set(append(ifEntry, {c, i}), integer(i));
        mib->set(append(ifEntry, {2, i}), octets("if" + std::to_string(i)));
        mib->set(append(ifEntry, {5, i}), gauge(1000));
        mib->set(append(ifEntry, {6, i}), octets(""));
        mib->set(append(ifEntry, {10, i}), counter(100 * i));
        mib->set(parseOid("1.3.6.1.2.1.16.1.1.1.2." + std::to_string(i)), oid(append(ifEntry, {1, i})));
        for (uint32_t col = 3; col <= 19; ++col)
            mib->set(parseOid("1.3.6.1.2.1.16.1.1.1." + std::to_string(col) + "." + std::to_string(i)),
                     counter(col));
    }
    mib->set(parseOid("1.3.6.1.2.1.1.3.0"), timeticks(100000));
    for (uint32_t s = 1; s <= 3; ++s) {
        mib->set(parseOid("1.3.6.1.2.1.16.2.2.1.3.1." + std::to_string(s)), timeticks(200 * s));
        for (uint32_t col = 5; col <= 15; ++col)
            mib->set(append(parseOid("1.3.6.1.2.1.16.2.2.1"), {col, 1, s}), counter(10 * s + col));
    }
    mib->set(parseOid("1.3.6.1.2.1.99.0"), integer(0));
    peer.setScript(serve(mib));
    UseAgent(peer.address(), peer.settingsFamily(), 3, 200000);

    struct Case {
        const char* name;
        std::function<void()> blocking;
        std::function<void()> window;  // returns with the exchange in flight
        std::function<bool()> busy;
    };
    TablesWindow tables;
    CHistoryMIBMenuDoc* history = nullptr;
    CStaticMIBMenuDoc* stats = nullptr;
    CStaticMIBMenuFrame* statsFrame = nullptr;
    IfTablesData walked;
    MIBBasicItem item;
    const std::vector<Case> cases = {
        {"tables", [&] { walked = ReadIfTables(MIBAgent::getInstance(), &item); },
         [&] { tables = Open(false); }, [&] { return tables.view->LoadingInFlight(); }},
        {"history",
         [&] {
             int one = 1;
             ReadHistoryBuckets(MIBAgent::getInstance(), &item, {1}, 0, &one);
         },
         [&] {
             history = qobject_cast<CHistoryMIBMenuDoc*>(
                 OpenHistory({{1, 2, 50, {1, 0, "if1"}}})->GetActiveDocument());
         },
         [&] { return history->ReadingInFlight(); }},
        // Two cycles of the statistics window; the timer ticks during the
        // first fold into the second.
        {"statistics",
         [&] {
             int one = 1;
             for (int cycle = 0; cycle < 2; ++cycle)
                 for (long index : {2, 1}) {
                     CSnmpBer value;
                     RequestEtherStats(MIBAgent::getInstance(), &item, index, value, &one);
                 }
         },
         [&] {
             statsFrame = qobject_cast<CStaticMIBMenuFrame*>(OpenStatistics({{2, 2, "if2"}, {1, 1, "if1"}}));
             stats = qobject_cast<CStaticMIBMenuDoc*>(statsFrame->document());
             for (int i = 0; i < 3; ++i)
                 statsFrame->listView()->OnTimer(countergroup::kTimerPoll);
         },
         [&] { return stats->PollInFlight(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        peer.clearRequests();
        c.blocking();
        const std::vector<Sent> before = Capture(peer);
        ASSERT_FALSE(before.empty());
        peer.clearRequests();
        c.window();
        EXPECT_TRUE(c.busy());
        ASSERT_TRUE(SpinWhile(c.busy, 5000));
        EXPECT_EQ(Capture(peer), before);
    }
    EXPECT_TRUE(messages.Texts().empty());
    EXPECT_EQ(tables.view->data().ifCells, walked.ifCells);
    EXPECT_EQ(tables.view->data().interfaces.size(), 2u);
    EXPECT_TRUE(tables.view->data().etherStats);
    EXPECT_EQ(history->series()[0].samples[2].val[0], 35u);
    EXPECT_EQ(stats->series()[0].samples[40].errIdx, 0);
}
