// The tables window against peers snmpd cannot play: chosen ifSpeed and
// ifType rows, an agent that answers every walk with an error, and a
// silent one.

#include "mibcore/engine/CSnmpBerList.h"
#include "mibcore/platform/CmdTarget.h"
#include "plugins/ifplug/IfRegistry.h"
#include "plugins/ifplug/IfTraffic.h"
#include "plugins/ifplug/RmonWindows.h"
#include "snmpval/Cp932.h"
#include "tests/plugins/ifplug/IfHarness.h"
#include "tests/support/faultpeer/FaultAgent.h"

using namespace iftest;
using namespace faultpeer;

namespace {

class IfFaultTest : public IfNetnsTest {
protected:
    // An interface table of one row per speed; whatever follows the table
    // lies outside every walked subtree.
    static std::shared_ptr<Mib> Interfaces(const std::vector<uint32_t>& speeds, long unknownType)
    {
        auto mib = std::make_shared<Mib>();
        const Oid entry = parseOid("1.3.6.1.2.1.2.2.1");
        for (uint32_t i = 1; i <= speeds.size(); ++i) {
            auto col = [&](uint32_t c) { return append(append(entry, {c}), {i}); };
            mib->set(col(1), integer(i));
            mib->set(col(2), octets("if" + std::to_string(i)));
            mib->set(col(3), integer(i == 1 ? unknownType : 6));
            mib->set(col(4), integer(1500));
            mib->set(col(5), gauge(speeds[i - 1]));
            // The last address holds no control octet, so as text it would
            // read as kana.
            mib->set(col(6), i == speeds.size() ? octets("\x2a\x5f\xc1\xb3\x4d\x6e")
                                                : octets(std::string("\x02\x00\x5e\x00\x53", 5) + char(i)));
            mib->set(col(8), integer(i == 2 ? 2 : 1));
            mib->set(col(21), gauge(0));
        }
        mib->set(parseOid("1.3.6.1.2.1.99.0"), integer(0));
        return mib;
    }
};

TEST_F(IfFaultTest, SpeedTypeAndStatusTexts)
{
    FaultAgent peer;
    peer.setScript(serve(Interfaces({0, 1000000, 1000001, 10000000, 4294967295u}, 9999)));
    UseAgent(peer.address(), peer.settingsFamily(), 3, 200000);
    TablesWindow w = Open();
    ASSERT_TRUE(w);
    EXPECT_TRUE(messages.Texts().empty());
    const std::vector<std::vector<std::string>> want = {
        {"1", "if1", "9999", "1500", "0.0kbps", "02:00:5e:00:53:01", "up(1)", "0"},
        {"2", "if2", "ethernet-csmacd(6)", "1500", "1000.0kbps", "02:00:5e:00:53:02", "down(2)", "0"},
        {"3", "if3", "ethernet-csmacd(6)", "1500", "1.0Mbps", "02:00:5e:00:53:03", "up(1)", "0"},
        {"4", "if4", "ethernet-csmacd(6)", "1500", "10.0Mbps", "02:00:5e:00:53:04", "up(1)", "0"},
        {"5", "if5", "ethernet-csmacd(6)", "1500", "4295.0Mbps", "2a:5f:c1:b3:4d:6e", "up(1)", "0"},
    };
    EXPECT_EQ(Shown(w), want);
}

TEST_F(IfFaultTest, FailingAgentGivesTheEngineErrorAndAnEmptyWindow)
{
    struct Case {
        const char* name;
        Script script;
        int error;
    };
    const Case cases[] = {
        {"genErr", [](const Request& r, int) { return Reply(response(r, 5, 1, r.bindings)); }, 5},
        {"silent", silent(), 21},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        messages.Clear();
        FaultAgent peer;
        peer.setScript(c.script);
        UseAgent(peer.address(), peer.settingsFamily(), 0, 50000);
        TablesWindow w = Open();
        ASSERT_TRUE(w);
        ASSERT_EQ(messages.Texts().size(), 1u);
        EXPECT_EQ(messages.Texts()[0], std::string("interfaces情報を取得できませんでした。理由は⇒") + CSnmpBerList::ErrMsg(c.error));
        EXPECT_EQ(w.view->currentTable(), ifplug::kCmdIfTable);
        EXPECT_TRUE(Shown(w).empty());
        EXPECT_TRUE(w.frame->isVisible());
        // An agent that answers: the four walks that do not need interfaces
        // were tried, each giving up after its first failure. A silent one:
        // the message comes right after the interface walk, and no other
        // walk waits out its time-outs.
        EXPECT_EQ(peer.requestCount(), c.error == 21 ? 1u : 4u);
        platform::App::CloseAllDocuments();
    }
}

// The names of the binding of every GetRequest that arrived.
std::vector<std::string> GetNames(const FaultAgent& peer)
{
    std::vector<std::string> out;
    for (const Request& r : peer.requests())
        if (r.decoded && r.pduType == 0xA0 && !r.bindings.empty())
            out.push_back(formatOid(r.bindings[0].oid));
    return out;
}

// The active graph window, once its first poll cycle (in the background)
// has ended.
countergroup::CCounterGroupFrame* ActiveGraph()
{
    auto* f = qobject_cast<countergroup::CCounterGroupFrame*>(platform::App::GetMainFrame()->MDIGetActive());
    if (f && f->document())
        f->document()->FinishPollCycle();
    return f;
}

TEST_F(IfFaultTest, OneCounterWindowForTheSelectionAndReopening)
{
    FaultAgent peer;
    auto mib = Interfaces({10000000, 10000000, 10000000}, 6);
    for (uint32_t i : {2u, 3u})
        mib->set(parseOid("1.3.6.1.2.1.2.2.1.10." + std::to_string(i)), counter(1000 * i));
    peer.setScript(serve(mib));
    UseAgent(peer.address(), peer.settingsFamily(), 3, 200000);
    TablesWindow w = Open();
    ASSERT_TRUE(w);
    ASSERT_EQ(Select(w, {"3", "2"}), 2);
    peer.clearRequests();
    platform::ExecuteCommand(w.view, ifplug::kCmdCounterFirst);  // ifInOctets
    countergroup::CCounterGroupFrame* graph = ActiveGraph();
    ASSERT_NE(graph, nullptr);
    EXPECT_EQ(graph->GetTitle(), "ifInOctets[2][3]");
    auto* doc = qobject_cast<ifplug::CIfMultiMIBMenuDoc*>(graph->document());
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(GetNames(peer), (std::vector<std::string>{"1.3.6.1.2.1.2.2.1.10.2", "1.3.6.1.2.1.2.2.1.10.3"}));
    EXPECT_EQ(graph->listView()->GetListCtrl().GetItemText(1, 0).toStdString(), "[3]if3");
    EXPECT_EQ(graph->listView()->GetListCtrl().headerItem()->text(0).toStdString(), "オブジェクト識別子");

    mib->set(parseOid("1.3.6.1.2.1.2.2.1.10.2"), counter(2500));
    graph->listView()->Poll();
    EXPECT_EQ(doc->getSeries(0)->getValatTime()[60].getVal(), 500);
    const std::string lines = cp932::ToUtf8(doc->CsvBytes());
    EXPECT_EQ(lines.substr(0, lines.find('\n', lines.find('\n') + 1)), "ifInOctets\n時刻,[2]if2,[3]if3");

    // The same selection again: that window comes to the front.
    const auto frames = platform::App::GetMainFrame()->GetChildFrames().size();
    platform::MainFrame* main = platform::App::GetMainFrame();
    main->MDIActivate(w.frame);
    platform::ExecuteCommand(w.view, ifplug::kCmdCounterFirst);
    EXPECT_EQ(main->GetChildFrames().size(), frames);
    EXPECT_EQ(ActiveGraph(), graph);
}

TEST_F(IfFaultTest, SingleInterfaceWindowAndTheErrorBudget)
{
    FaultAgent peer;
    auto mib = Interfaces({1, 1, 1, 1, 1}, 6);
    for (uint32_t c = 10; c <= 20; ++c)
        mib->set(parseOid("1.3.6.1.2.1.2.2.1." + std::to_string(c) + ".5"), counter(c));
    peer.setScript(serve(mib));
    UseAgent(peer.address(), peer.settingsFamily(), 3, 100000);
    TablesWindow w = Open();
    ASSERT_TRUE(w);
    ASSERT_EQ(Select(w, {"5"}), 1);
    peer.clearRequests();
    platform::ExecuteCommand(w.view, ifplug::kCmdTraffic);
    countergroup::CCounterGroupFrame* graph = ActiveGraph();
    ASSERT_NE(graph, nullptr);
    EXPECT_EQ(graph->GetTitle(), "ifIndex[5]-if5");
    EXPECT_EQ(graph->listView()->GetListCtrl().headerItem()->text(0).toStdString(), "インターフェース");
    std::vector<std::string> want;
    for (int c = 10; c <= 20; ++c)
        want.push_back("1.3.6.1.2.1.2.2.1." + std::to_string(c) + ".5");
    EXPECT_EQ(GetNames(peer), want);
    const std::string csv = cp932::ToUtf8(graph->document()->CsvBytes());
    EXPECT_EQ(csv.substr(0, csv.find('\n')),
              "時刻,ifInOctets,ifInUcastPkts,ifInNUcastPkts,ifInDiscards,ifInErrors,ifInUnknownProtos,"
              "ifOutOctets,ifOutUcastPkts,ifOutNUcastPkts,ifOutDiscards,ifOutErrors");

    // A silent agent with budget 3: four requests, the other seven skipped.
    peer.setScript(silent());
    peer.clearRequests();
    graph->listView()->Poll();
    EXPECT_EQ(peer.requestCount(), 4u);
    countergroup::CCounterGroupDoc* doc = graph->document();
    for (int i = 0; i < 11; ++i)
        EXPECT_EQ(doc->getLastResult(i), i < 4 ? 21 : 23) << i;
}

TEST_F(IfFaultTest, OneCounterWindowWithoutInterfaces)
{
    FaultAgent peer;
    peer.setScript(serve(Interfaces({1}, 6)));
    UseAgent(peer.address(), peer.settingsFamily(), 3, 100000);
    peer.clearRequests();
    platform::ChildFrame* f = ifplug::OpenIfWindow(ifplug::kEntryCounter, "ifOutErrors", [](platform::Document* d) {
        dynamic_cast<ifplug::InterfaceListTarget*>(d)->SetInterfaces({}, 20);
    });
    auto* graph = qobject_cast<countergroup::CCounterGroupFrame*>(f);
    ASSERT_NE(graph, nullptr);
    EXPECT_EQ(graph->document()->getObjectCount(), 0);
    graph->listView()->Poll();
    EXPECT_EQ(peer.requestCount(), 0u);
    graph->UpdateCmdUI();
    platform::StatusBar* bar = graph->GetStatusBar();
    EXPECT_EQ(bar->GetPaneText(bar->CommandToIndex(1127)), "");
    EXPECT_EQ(cp932::ToUtf8(graph->document()->CsvBytes()), "ifOutErrors\n時刻\n");
}

// A history control row whose data source names no interface of the table
// is skipped; with every selected row skipped "history情報" still opens
// "history情報-", with an empty list.
TEST_F(IfFaultTest, HistoryWithEverySelectedRowSkippedOpensAnEmptyWindow)
{
    FaultAgent peer;
    std::shared_ptr<Mib> mib = Interfaces({1}, 6);
    const Oid control = parseOid("1.3.6.1.2.1.16.2.1.1");
    mib->set(append(control, {2, 1}), oid(parseOid("1.3.6.1.2.1.2.2.1.1.7")));  // ifIndex 7: not in the table
    mib->set(append(control, {4, 1}), integer(50));
    mib->set(append(control, {5, 1}), integer(30));
    peer.setScript(serve(mib));
    UseAgent(peer.address(), peer.settingsFamily(), 3, 100000);
    TablesWindow w = Open();
    ASSERT_TRUE(w);
    w.frame->SendCommand(ifplug::kCmdHistoryTable);
    ASSERT_EQ(Select(w, {"1"}), 1);
    platform::ExecuteCommand(w.view, ifplug::kCmdHistory);
    platform::ChildFrame* f = platform::App::GetMainFrame()->MDIGetActive();
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->GetTitle(), "history情報-");
    auto* doc = qobject_cast<ifplug::CHistoryMIBMenuDoc*>(f->GetActiveDocument());
    ASSERT_NE(doc, nullptr);
    doc->FinishReading();
    EXPECT_TRUE(doc->series().empty());
    auto* list = f->FindView<ifplug::CRmonListView>();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->GetListCtrl().GetItemCount(), 0);
}

}  // namespace

TEST_F(IfFaultTest, StatusPaneSaysSoWhileTheWindowReads)
{
    FaultAgent peer;  // silent
    UseAgent(peer.address(), peer.settingsFamily(), 0, 300000);
    TablesWindow w = Open(false);
    ASSERT_TRUE(w);
    platform::StatusBar* bar = w.frame->GetStatusBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->GetPaneText(0), ifplug::kReadingText);
    w.view->FinishLoading();
    EXPECT_EQ(bar->GetPaneText(0), "");
}

// ifIndex values no request may carry: the rows show what the agent sent,
// but open no window, and nothing asks the agent for such an index.
TEST_F(IfFaultTest, UnusableIfIndexRowsAreShownButOpenNoWindow)
{
    namespace ber = faultpeer::ber;
    auto mib = std::make_shared<Mib>();
    const Oid entry = parseOid("1.3.6.1.2.1.2.2.1");
    const std::vector<Bytes> indexes = {
        octets("3"),
        null(),
        ber::Tlv(0x80, {}),  // noSuchObject
        oid(parseOid("1.3.6.1.2.1.2.2.1.1.3")),
        integer(4294967295L),
        ber::Tlv(0x02, {0x01, 0, 0, 0, 0, 0, 0, 0, 0x03}),  // nine octets
        integer(3),  // the one good row
    };
    for (uint32_t i = 1; i <= indexes.size(); ++i) {
        auto col = [&](uint32_t c) { return append(append(entry, {c}), {i}); };
        mib->set(col(1), indexes[i - 1]);
        mib->set(col(2), octets("if" + std::to_string(i)));
        for (uint32_t c : {3u, 4u, 5u, 8u, 21u})
            mib->set(col(c), integer(1));
        mib->set(col(6), octets(""));
    }
    // etherStats names every interface instance, so only the index decides.
    for (uint32_t i = 1; i <= indexes.size(); ++i)
        mib->set(parseOid("1.3.6.1.2.1.16.1.1.1.2." + std::to_string(i)),
                 oid(parseOid("1.3.6.1.2.1.2.2.1.1." + std::to_string(i))));
    mib->set(parseOid("1.3.6.1.2.1.99.0"), integer(0));
    FaultAgent peer;
    peer.setScript(serve(mib));
    UseAgent(peer.address(), peer.settingsFamily(), 0, 200000);
    TablesWindow w = Open();
    ASSERT_TRUE(w);
    ASSERT_EQ(Shown(w).size(), indexes.size());
    CListCtrlEx& list = w.view->GetListCtrl();
    const int framesBefore = int(platform::App::GetMainFrame()->GetChildFrames().size());
    int refusedRows = 0;
    for (int r = 0; r < list.GetItemCount(); ++r) {
        const std::string descr = list.GetItemText(r, 1).toStdString();
        if (descr == "if7")
            continue;
        SCOPED_TRACE(descr + " [" + list.GetItemText(r, 0).toStdString() + "]");
        ++refusedRows;
        for (int command : {ifplug::kCmdTraffic, ifplug::kCmdCounterFirst, ifplug::kCmdEtherStats}) {
            list.clearSelection();
            list.SetItemState(r, true);
            messages.Clear();
            platform::ExecuteCommand(w.view, command);
            ASSERT_EQ(messages.Texts().size(), 1u) << command;
            EXPECT_NE(messages.Texts()[0].find("を取得できません。"), std::string::npos);
            EXPECT_EQ(int(platform::App::GetMainFrame()->GetChildFrames().size()), framesBefore);
        }
    }
    EXPECT_EQ(refusedRows, 6);

    // The good row opens its window, which polls ifIndex 3 only.
    peer.clearRequests();
    list.clearSelection();
    for (int r = 0; r < list.GetItemCount(); ++r)
        if (list.GetItemText(r, 1) == "if7")
            list.SetItemState(r, true);
    messages.Clear();
    platform::ExecuteCommand(w.view, ifplug::kCmdTraffic);
    EXPECT_TRUE(messages.Texts().empty());
    ASSERT_NE(ActiveGraph(), nullptr);
    const std::vector<std::string> names = GetNames(peer);
    ASSERT_FALSE(names.empty());
    for (const std::string& n : names)
        EXPECT_EQ(n.substr(n.rfind('.')), ".3") << n;
}

// A table far larger than one slice reaches the list in slices, whole and
// in order, while the event loop runs.
TEST_F(IfFaultTest, LargeTableArrivesInSlicesSorted)
{
    FaultAgent peer;  // silent: the rows are handed over directly
    UseAgent(peer.address(), peer.settingsFamily(), 0, 10000);
    TablesWindow w = Open();
    ASSERT_TRUE(w);
    constexpr int kRows = 60000;
    ifplug::IfTablesData d;
    for (int r = 0; r < kRows; ++r) {
        const int index = (r * 7919) % kRows + 1;
        for (const std::string& c : {std::to_string(index), "eth" + std::to_string(index), std::string("6"),
                                     std::string("1500"), std::string("1.0Mbps"), std::string(""),
                                     std::string("up(1)"), std::string("0")})
            d.ifCells.push_back(c);
        d.ifRowIndex.push_back(index);
        d.interfaces.push_back({index, 0, "eth" + std::to_string(index)});
    }
    ifplug::SortTables(d);
    messages.Clear();
    w.view->ApplyTables(std::move(d));
    CListCtrlEx& list = w.view->GetListCtrl();
    EXPECT_GT(list.GetItemCount(), 0);
    EXPECT_LT(list.GetItemCount(), kRows);
    EXPECT_TRUE(w.view->Filling());
    ASSERT_TRUE(harness::SpinUntil([&] { return !w.view->Filling(); }, 60000));
    ASSERT_EQ(list.GetItemCount(), kRows);
    for (int r = 0; r < kRows; ++r)
        ASSERT_EQ(list.GetItemText(r, 0).toInt(), r + 1) << r;
    EXPECT_EQ(list.GetItemText(kRows - 1, 1).toStdString(), "eth" + std::to_string(kRows));
    EXPECT_EQ(w.view->Rows().size(), size_t(kRows));
}

// Over v2c the one-interface window polls the ifHC* counters the peer has,
// sums multicast and broadcast for the non-unicast series, keeps the 32-bit
// object where one of the pair is missing, and takes every increase
// modulo 2^64 across a wrap.
TEST_F(IfFaultTest, TrafficOverV2cWrapsTheHcCountersModulo2To64)
{
    FaultAgent peer;
    auto mib = Interfaces({1}, 6);
    const Oid entry = parseOid("1.3.6.1.2.1.2.2.1"), xEntry = parseOid("1.3.6.1.2.1.31.1.1.1");
    for (uint32_t c = 10; c <= 20; ++c)
        mib->set(append(entry, {c, 1}), counter(c));
    // ifXTable without ifHCOutBroadcastPkts (13).
    for (uint32_t c = 6; c <= 12; ++c)
        mib->set(append(xEntry, {c, 1}), counter64(UINT64_MAX - 99 + c));
    peer.setScript(serve(mib));
    UseAgent(peer.address(), peer.settingsFamily(), 3, 200000);
    MIBAgent::getInstance()->setVersion(MIBAgent::Version::V2c);
    TablesWindow w = Open();
    ASSERT_TRUE(w);
    ASSERT_EQ(Select(w, {"1"}), 1);
    platform::ExecuteCommand(w.view, ifplug::kCmdTraffic);
    countergroup::CCounterGroupFrame* graph = ActiveGraph();
    ASSERT_NE(graph, nullptr);
    countergroup::CCounterGroupDoc* doc = graph->document();
    const std::map<int, std::string> hc = {{0, "ifHCInOctets"},
                                           {1, "ifHCInUcastPkts"},
                                           {2, "ifHCInMulticastPkts+ifHCInBroadcastPkts"},
                                           {6, "ifHCOutOctets"},
                                           {7, "ifHCOutUcastPkts"}};
    for (int i = 0; i < 11; ++i) {
        EXPECT_EQ(doc->UsesAlternative(i), hc.count(i) == 1) << i;
        EXPECT_EQ(graph->listView()->GetListCtrl().GetItemText(i, 0).toStdString(),
                  hc.count(i) ? hc.at(i) : std::string(ifplug::kCounterNames[i]));
    }

    // Every 64-bit counter passes 2^64; the 32-bit ones grow by 5.
    for (uint32_t c = 6; c <= 12; ++c)
        mib->set(append(xEntry, {c, 1}), counter64(1000 * c));
    for (uint32_t c = 10; c <= 20; ++c)
        mib->set(append(entry, {c, 1}), counter(c + 5));
    peer.clearRequests();
    graph->listView()->Poll();
    doc->FinishPollCycle();
    auto increase = [](uint32_t c) { return 1000 * c + 100 - c; };  // from 2^64 - 99 + c to 1000 c
    const std::map<int, uint64_t> want = {{0, increase(6)},
                                          {1, increase(7)},
                                          {2, increase(8) + increase(9)},
                                          {6, increase(10)},
                                          {7, increase(11)}};
    for (int i = 0; i < 11; ++i) {
        const ValatTime& slot = doc->getSeries(i)->getValatTime()[60];
        EXPECT_EQ(slot.getErrIdx(), 0) << i;
        EXPECT_EQ(slot.getVal(), want.count(i) ? want.at(i) : 5u) << i;
    }
    // One request per series, the pair in one; all v2c.
    std::vector<size_t> bindings;
    for (const Request& r : peer.requests()) {
        EXPECT_EQ(r.version, 1);
        bindings.push_back(r.bindings.size());
    }
    EXPECT_EQ(bindings, (std::vector<size_t>{1, 1, 2, 1, 1, 1, 1, 1, 1, 1, 1}));
    const std::string csv = cp932::ToUtf8(doc->CsvBytes());
    EXPECT_EQ(csv.substr(0, csv.find('\n')),
              "時刻,ifHCInOctets,ifHCInUcastPkts,ifHCInMulticastPkts+ifHCInBroadcastPkts,ifInDiscards,ifInErrors,"
              "ifInUnknownProtos,ifHCOutOctets,ifHCOutUcastPkts,ifOutNUcastPkts,ifOutDiscards,ifOutErrors");
    EXPECT_NE(csv.find("," + std::to_string(increase(6)) + "," + std::to_string(increase(7)) + "," +
                       std::to_string(increase(8) + increase(9)) + ",5,5,5,"),
              std::string::npos)
        << csv;
}
