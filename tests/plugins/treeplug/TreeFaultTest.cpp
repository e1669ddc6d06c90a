// What a well-behaved agent never does, through the fault agent: silence,
// an agent that does not move forward, slow replies to stop, close or quit
// in the middle of; and start objects that must send nothing at all.

#include <QElapsedTimer>
#include <QMimeData>

#include "mibcore/engine/CSnmpBerList.h"
#include "mibcore/widgets/CMIBOleDropTarget.h"
#include "tests/plugins/treeplug/TreeHarness.h"
#include "tests/support/faultpeer/FaultAgent.h"

using namespace treetest;
namespace fp = faultpeer;

namespace {

class TreeFaultTest : public TreeTest {
protected:
    // n objects below system (1.3.6.1.2.1.1.k.0), each reply delayMs late.
    static fp::Script SlowSystem(int n, int delayMs)
    {
        auto mib = std::make_shared<fp::Mib>();
        for (int k = 1; k <= n; ++k)
            mib->set(fp::parseOid("1.3.6.1.2.1.1." + std::to_string(k) + ".0"), fp::integer(k));
        fp::Script serve = fp::serve(mib);
        return [serve, delayMs](const fp::Request& r, int i) {
            std::vector<fp::Send> s = serve(r, i);
            for (fp::Send& x : s)
                x.delayMs = delayMs;
            return s;
        };
    }
    static bool Enabled(CTreeMIBMenuFrame* f, int id)
    {
        platform::CmdUI ui(id);
        platform::UpdateCommand(f, ui);
        return ui.IsEnabled();
    }
};

TEST_F(TreeFaultTest, EmptyOrInvalidStartObjectSendsNothing)
{
    QUILLON_REQUIRE_NETNS();
    fp::FaultAgent peer;
    peer.setScript(fp::echo());
    UseAgent(peer.address(), 2, 3, 0, 100000);
    Window w = Open();
    ASSERT_TRUE(w);
    struct Case {
        const char* box;
        const char* address;
        int result;
    } cases[] = {
        {"", nullptr, 19},
        {"abc", nullptr, 19},
        {"mgmt.mib-2.0x", nullptr, 19},
        {"mgmt.mib-2.system", "", 18},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.box);
        if (c.address)
            MIBAgent::getInstance()->setAddr(c.address);
        ASSERT_TRUE(Walk(w, c.box));
        EXPECT_EQ(w.tree->getResult(), c.result);
        EXPECT_TRUE(Rows(w).empty());
        EXPECT_EQ(w.tree->GetTreeCtrl()->topLevelItemCount(), 0);
        EXPECT_FALSE(RadarRunning(w));
    }
    EXPECT_EQ(peer.requestCount(), 0u);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(TreeFaultTest, FailuresBeyondBudgetGiveOneMessageWithTheOid)
{
    QUILLON_REQUIRE_NETNS();
    fp::FaultAgent peer;
    // Two silent requests are within a budget of 2; the third answers.
    fp::Script serve = SlowSystem(3, 0);
    peer.setScript([serve](const fp::Request& r, int i) { return i < 2 ? std::vector<fp::Send>{} : serve(r, i); });
    UseAgent(peer.address(), 2, 2, 0, 100000);
    Window w = Open();
    ASSERT_TRUE(w);
    ASSERT_TRUE(Walk(w, "mgmt.mib-2.system"));
    EXPECT_EQ(Rows(w).size(), 3u);
    EXPECT_TRUE(Messages().empty());
    std::vector<fp::Request> sent = peer.requests();
    ASSERT_GE(sent.size(), 3u);
    // A failed request goes out again unchanged.
    EXPECT_EQ(fp::formatOid(sent[2].bindings.at(0).oid), "1.3.6.1.2.1.1");

    peer.setScript(fp::silent());
    peer.clearRequests();
    ASSERT_TRUE(Walk(w, "mgmt.mib-2.system"));
    EXPECT_EQ(peer.requestCount(), 3u);
    EXPECT_TRUE(Rows(w).empty());
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0], std::string(CSnmpBerList::m_ErrMsg[21]) + "\n1.3.6.1.2.1.1");
    EXPECT_FALSE(RadarRunning(w));
}

TEST_F(TreeFaultTest, AgentThatDoesNotMoveForwardEndsTheWalk)
{
    QUILLON_REQUIRE_NETNS();
    fp::FaultAgent peer;
    // The first answer is the successor, then the agent repeats it.
    peer.setScript([](const fp::Request& r, int i) {
        fp::Oid name = fp::parseOid("1.3.6.1.2.1.1.1.0");
        return fp::Reply(fp::response(r, 0, 0, {{name, fp::octets("again")}}));
    });
    UseAgent(peer.address(), 2, 3, 0, 100000);
    Window w = Open();
    ASSERT_TRUE(w);
    ASSERT_TRUE(Walk(w, "mgmt.mib-2.system"));
    EXPECT_EQ(Rows(w).size(), 1u);
    EXPECT_EQ(peer.requestCount(), 2u);
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0], std::string(CSnmpBerList::m_ErrMsg[22]) + "\n1.3.6.1.2.1.1.1.0");
}

TEST_F(TreeFaultTest, StopKeepsTheRowsAndFreesTheButtons)
{
    QUILLON_REQUIRE_NETNS();
    fp::FaultAgent peer;
    peer.setScript(SlowSystem(5000, 5));
    UseAgent(peer.address(), 2, 3, 0, 500000);
    Window w = Open();
    ASSERT_TRUE(w);
    ASSERT_TRUE(Walk(w, "mgmt.mib-2.system", false));
    ASSERT_TRUE(SpinUntil([&] { return w.list->GetListCtrl().GetItemCount() >= 20; }));
    EXPECT_TRUE(RadarRunning(w));
    EXPECT_FALSE(Enabled(w.frame, treeplug::kCmdStart));
    EXPECT_TRUE(Enabled(w.frame, treeplug::kCmdStop));
    EXPECT_FALSE(Enabled(w.frame, treeplug::kCmdOption));

    widgets::SendCommand(w.frame, treeplug::kCmdStop);
    ASSERT_TRUE(SpinUntil([&] { return !w.tree->IsWalking(); }, 2000));
    const size_t rows = Rows(w).size();
    EXPECT_GE(rows, 20u);
    EXPECT_LT(rows, 5000u);
    EXPECT_TRUE(Enabled(w.frame, treeplug::kCmdStart));
    EXPECT_FALSE(Enabled(w.frame, treeplug::kCmdStop));
    SpinUntil([] { return false; }, 200);
    EXPECT_EQ(Rows(w).size(), rows);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(TreeFaultTest, ClosingOrQuittingDuringAWalkEndsPromptly)
{
    QUILLON_REQUIRE_NETNS();
    // A silent agent with a 5 s time-out and three retries (the walk alone
    // would wait 20 s for the first answer), and one whose rows are still
    // flowing into the panes.
    for (bool silent : {true, false}) {
        for (bool quit : {false, true}) {
            SCOPED_TRACE(std::string(silent ? "silent, " : "flowing, ") + (quit ? "quit" : "close"));
            fp::FaultAgent peer;
            if (!silent)
                peer.setScript(SlowSystem(5000, 1));
            UseAgent(peer.address(), 2, 3, 3, 5000000);
            Window w = Open();
            ASSERT_TRUE(w);
            ASSERT_TRUE(Walk(w, "mgmt.mib-2.system", false));
            if (silent)
                ASSERT_TRUE(peer.waitForRequests(1, 5000));
            else
                ASSERT_TRUE(SpinUntil([&] { return w.list->GetListCtrl().GetItemCount() >= 10; }));
            QElapsedTimer t;
            t.start();
            if (quit)
                platform::App::CloseAllDocuments();
            else
                w.doc->OnCloseDocument();
            EXPECT_LT(t.elapsed(), 2000);
            EXPECT_TRUE(platform::App::GetMainFrame()->GetChildFrames().isEmpty());
            // Whatever the walk had queued for the window finds it gone.
            SpinUntil([] { return false; }, 100);
            EXPECT_TRUE(Messages().empty());
        }
    }
}

TEST_F(TreeFaultTest, DroppedNameStartsAWalkAndDragsWaitForIt)
{
    QUILLON_REQUIRE_NETNS();
    fp::FaultAgent peer;
    peer.setScript(SlowSystem(4, 200));
    UseAgent(peer.address(), 2, 3, 0, 1000000);
    Window w = Open();
    ASSERT_TRUE(w);
    CMIBOleDropTarget* drop = w.tree->dropTarget();
    QMimeData name;
    name.setText("sysUpTime");
    EXPECT_EQ(drop->OnDragOver(w.tree, &name, Qt::NoModifier), Qt::MoveAction);
    EXPECT_EQ(drop->OnDragOver(w.tree, &name, Qt::ControlModifier), Qt::CopyAction);
    ASSERT_TRUE(drop->OnDrop(w.tree, &name, Qt::MoveAction));
    EXPECT_TRUE(RadarRunning(w));
    EXPECT_EQ(w.tree->getRootText(), "iso.org.dod.internet.mgmt.mib-2.system.sysUpTime");
    EXPECT_EQ(drop->OnDragOver(w.tree, &name, Qt::NoModifier), Qt::IgnoreAction);
    ASSERT_TRUE(SpinUntil([&] { return !w.tree->IsWalking(); }));
    EXPECT_EQ(Rows(w).size(), 1u);
    EXPECT_EQ(Rows(w)[0][0], "sysUpTime.0");
    EXPECT_EQ(drop->OnDragOver(w.tree, &name, Qt::NoModifier), Qt::MoveAction);
    EXPECT_FALSE(RadarRunning(w));
}

}  // namespace

namespace {
// An agent without end: every answer names the instance after the one
// asked for, below system.
fp::Script Endless()
{
    return [](const fp::Request& r, int) {
        fp::Oid name = r.bindings.at(0).oid;
        if (name.size() == 9)
            ++name.back();
        else
            name = fp::parseOid("1.3.6.1.2.1.1.9.1");
        return fp::Reply(fp::response(r, 0, 0, {{name, fp::integer(1)}}));
    };
}
}  // namespace

TEST_F(TreeFaultTest, EndlessAgentWaitsForThePanesAndStopDropsTheQueue)
{
    QUILLON_REQUIRE_NETNS();
    fp::FaultAgent peer;
    peer.setScript(Endless());
    UseAgent(peer.address(), 2, 3, 0, 500000);
    Window w = Open();
    ASSERT_TRUE(w);
    ASSERT_TRUE(Walk(w, "mgmt.mib-2.system", false));
    // The worker never runs further ahead of the panes than the queue and
    // the slice in hand.
    const size_t ahead = 2 * treeplug::kQueueRows + 2;
    EXPECT_FALSE(SpinUntil(
        [&] {
            return peer.requestCount() > size_t(w.list->GetListCtrl().GetItemCount()) + ahead ||
                   w.tree->QueuedRows() > ahead;
        },
        3000));
    ASSERT_TRUE(w.tree->IsWalking());

    widgets::SendCommand(w.frame, treeplug::kCmdStop);
    ASSERT_TRUE(SpinUntil([&] { return !w.tree->IsWalking(); }, 1000));
    // Nothing queued before the stop shows afterwards.
    const int rows = w.list->GetListCtrl().GetItemCount();
    SpinUntil([] { return false; }, 300);
    EXPECT_EQ(w.list->GetListCtrl().GetItemCount(), rows);
    EXPECT_EQ(w.tree->QueuedRows(), 0u);
    EXPECT_TRUE(Messages().empty());
}

TEST_F(TreeFaultTest, NameTooLongForTheNextRequestStopsAtOnce)
{
    QUILLON_REQUIRE_NETNS();
    fp::FaultAgent peer;
    // 600 arcs of two octets each: more than a request can carry.
    fp::Oid longName = fp::parseOid("1.3.6.1.2.1.1.1");
    longName.insert(longName.end(), 600, 200u);
    peer.setScript([longName](const fp::Request& r, int) {
        return fp::Reply(fp::response(r, 0, 0, {{longName, fp::integer(1)}}));
    });
    UseAgent(peer.address(), 2, 3, 0, 100000);
    Window w = Open();
    ASSERT_TRUE(w);
    ASSERT_TRUE(Walk(w, "mgmt.mib-2.system"));
    EXPECT_EQ(peer.requestCount(), 1u);
    EXPECT_EQ(Rows(w).size(), 1u);
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0], "オブジェクト識別子が長すぎるため、次の要求を送れません。\n" + fp::formatOid(longName));
}

TEST_F(TreeFaultTest, InstanceLimitEndsTheWalkWithAMessageNamingIt)
{
    QUILLON_REQUIRE_NETNS();
    fp::FaultAgent peer;
    peer.setScript(Endless());
    UseAgent(peer.address(), 2, 3, 0, 500000);
    MIBBasicItem item;
    item.setRepeat(1);
    treeplug::WalkChannel channel([] {});
    std::thread reader([&] {
        bool ended = false;
        while (!ended) {
            channel.Take(&ended, nullptr);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    });
    treeplug::RunWalk(MIBAgent::getInstance(), &item, {1, 3, 6, 1, 2, 1, 1}, channel, 50);
    reader.join();
    bool ended = false;
    treeplug::WalkEnd end;
    channel.Take(&ended, &end);
    EXPECT_EQ(end.rows, 50);
    EXPECT_TRUE(end.message);
    EXPECT_EQ(end.text, "インスタンス数が上限の50件に達したため、取得を終了しました。");
    EXPECT_EQ(peer.requestCount(), 51u);
}

// A reply's rows go over in one hand-over: in order, one wake; a stopped
// walk or a discarded queue takes none of them and leaves the queue bounded.
TEST(TreeWalkChannel, PushAllHandsOverAReplyAtOnceOrDropsIt)
{
    struct Case {
        const char* name;
        size_t capacity;
        size_t queuedBefore;
        int keepRunning;
        bool discard;
        bool accepted;
    };
    const Case cases[] = {
        {"room", 16, 0, 1, false, true},
        {"room after queued rows", 16, 3, 1, false, true},
        {"full and stopped", 4, 4, 0, false, false},
        {"discarded", 16, 0, 1, true, false},
    };
    auto rowNamed = [](int i) {
        treeplug::InstanceRow row;
        row.text = QString::number(i);
        row.ends[0] = row.ends[1] = row.ends[2] = row.ends[3] = row.ends[4] = int(row.text.size());
        return row;
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        int wakes = 0;
        treeplug::WalkChannel channel([&wakes] { ++wakes; }, c.capacity);
        int next = 0;
        for (size_t i = 0; i < c.queuedBefore; ++i)
            ASSERT_TRUE(channel.Push(rowNamed(next++)));
        if (c.discard)
            channel.Discard();
        std::vector<treeplug::InstanceRow> reply;
        for (int i = 0; i < 5; ++i)
            reply.push_back(rowNamed(next++));
        const int wakesBefore = wakes;
        EXPECT_EQ(channel.PushAll(reply, &c.keepRunning), c.accepted);
        EXPECT_TRUE(reply.empty());
        const std::vector<treeplug::InstanceRow> taken = channel.Take(nullptr, nullptr).ToVector();
        if (!c.accepted) {
            EXPECT_EQ(taken.size(), c.discard ? 0u : c.queuedBefore);
            continue;
        }
        // The wake of earlier rows is still pending: none more is needed.
        EXPECT_EQ(wakes - wakesBefore, c.queuedBefore ? 0 : 1);
        ASSERT_EQ(taken.size(), c.queuedBefore + 5);
        for (size_t i = 0; i < taken.size(); ++i)
            EXPECT_EQ(taken[i].text, QString::number(int(i)));
    }
}
