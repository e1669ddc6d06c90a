// The tables window against the namespace snmpd: every table equals what
// net-snmp's snmpwalk reports, although this snmpd lacks some of the
// address and route columns; RMON rows come from the extension helper.

#include <QDir>
#include <QLineEdit>
#include <QMenu>

#include <map>
#include <sstream>

#include "mibcore/platform/CmdTarget.h"
#include "mibcore/platform/Profile.h"
#include "mibcore/platform/Resources.h"
#include "mibcore/engine/MIBBasicItem.h"
#include "mibcore/engine/SnmpData.h"
#include "mibcore/tables/Int2CStringTable.h"
#include "plugins/countergroup/CounterLogic.h"
#include "plugins/ifplug/IfTraffic.h"
#include "snmpval/Cp932.h"
#include "mibcore/engine/CSnmpBerList.h"
#include "mibcore/agent/MIBAgent.h"
#include "tests/plugins/ifplug/IfHarness.h"
#include "tests/support/AgentProcess.h"

using namespace iftest;

namespace {

// One column of the agent by snmpwalk: instance suffix -> value text
// (quotes removed; -Ox shows strings as hex octets).
std::map<std::string, std::string> Column(const std::string& column, const std::string& agent = harness::kAgentV4,
                                          bool hex = false)
{
    std::map<std::string, std::string> out;
    const std::string prefix = "." + column + ".";
    for (const std::string& line :
         harness::Lines(harness::SnmpTool(hex ? "snmpwalk -Ox" : "snmpwalk", column, agent))) {
        if (line.rfind(prefix, 0) != 0)
            continue;
        size_t eq = line.find(" = ");
        std::string suffix = line.substr(prefix.size(), eq - prefix.size());
        std::string value = line.substr(eq + 3);
        size_t colon = value.find(": ");
        value = colon == std::string::npos ? std::string() : value.substr(colon + 2);
        if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
            value = value.substr(1, value.size() - 2);
        out[suffix] = value;
    }
    return out;
}

// A hardware address given as hex octets, as the table shows it: hex pairs
// with ':' whatever the octets are (as text some would read as kana).
std::string MacText(const std::string& hexOctets)
{
    std::istringstream in(hexOctets);
    unsigned v;
    std::string pairs;
    while (in >> std::hex >> v) {
        char buf[4];
        std::snprintf(buf, sizeof buf, "%02x", v);
        pairs += (pairs.empty() ? "" : ":") + std::string(buf);
    }
    return pairs;
}

std::string Enum(const Int2CStringList* t, const std::string& v)
{
    const std::string* text = t->findVal(std::stoi(v));
    return text ? *text + "(" + v + ")" : v;
}

const std::vector<std::string>* RowOf(const std::vector<std::vector<std::string>>& rows, size_t col,
                                      const std::string& text)
{
    for (const auto& r : rows)
        if (col < r.size() && r[col] == text)
            return &r;
    return nullptr;
}

using IfAgentTest = IfSnmpdTest;

TEST_F(IfAgentTest, InterfaceTableEqualsTheAgent)
{
    TablesWindow w = Open();
    ASSERT_TRUE(w);
    EXPECT_TRUE(messages.Texts().empty());
    EXPECT_EQ(w.view->currentTable(), ifplug::kCmdIfTable);
    const auto rows = Shown(w);
    const auto descr = Column("1.3.6.1.2.1.2.2.1.2");
    const auto type = Column("1.3.6.1.2.1.2.2.1.3");
    const auto mtu = Column("1.3.6.1.2.1.2.2.1.4");
    const auto mac = Column("1.3.6.1.2.1.2.2.1.6", harness::kAgentV4, true);
    const auto oper = Column("1.3.6.1.2.1.2.2.1.8");
    const auto qlen = Column("1.3.6.1.2.1.2.2.1.21");
    ASSERT_GE(descr.size(), 5u);  // lo and the two veth pairs
    ASSERT_EQ(rows.size(), descr.size());
    int previous = 0;
    for (const auto& [index, name] : descr) {
        SCOPED_TRACE(name);
        const auto* r = RowOf(rows, 0, index);
        ASSERT_NE(r, nullptr);
        ASSERT_EQ(r->size(), 8u);
        EXPECT_EQ((*r)[1], name);
        EXPECT_EQ((*r)[2], name == "lo" ? "softwareLoopback(24)" : "ethernet-csmacd(6)");
        EXPECT_EQ((*r)[2], Enum(IfTypeList::getInstance(), type.at(index)));
        EXPECT_EQ((*r)[3], mtu.at(index));
        EXPECT_EQ((*r)[5], MacText(mac.count(index) ? mac.at(index) : ""));
        EXPECT_EQ((*r)[6], Enum(IfOperStatusList::getInstance(), oper.at(index).substr(0, oper.at(index).find('('))));
        EXPECT_EQ((*r)[7], qlen.at(index));
    }
    // Shown in ifIndex order.
    for (const auto& r : rows) {
        EXPECT_GT(std::stoi(r[0]), previous);
        previous = std::stoi(r[0]);
    }
    EXPECT_EQ(w.view->data().interfaces.size(), descr.size());
}

TEST_F(IfAgentTest, AddressTableListsEveryAddressWithoutTheMissingColumn)
{
    TablesWindow w = Open();
    ASSERT_TRUE(w);
    w.frame->SendCommand(ifplug::kCmdAddrTable);
    EXPECT_EQ(w.frame->toolBar()->field()->text().toStdString(), "ipAddrTable");
    const auto rows = Shown(w);
    const auto ifIndex = Column("1.3.6.1.2.1.4.20.1.2");
    const auto mask = Column("1.3.6.1.2.1.4.20.1.3");
    const auto bcast = Column("1.3.6.1.2.1.4.20.1.4");
    ASSERT_GE(ifIndex.size(), 5u);  // 127.0.0.1 and the four veth addresses
    ASSERT_EQ(rows.size(), ifIndex.size());
    for (const auto& [addr, idx] : ifIndex) {
        SCOPED_TRACE(addr);
        const auto* r = RowOf(rows, 1, addr);
        ASSERT_NE(r, nullptr);
        EXPECT_EQ((*r)[0], idx);
        EXPECT_EQ((*r)[2], mask.at(addr));
        EXPECT_EQ((*r)[3], bcast.at(addr));
        EXPECT_EQ((*r)[4], "");  // ipAdEntReasmMaxSize: this agent has none
    }
}

TEST_F(IfAgentTest, RouteTableListsEveryRouteIncludingAddedOnes)
{
    int rc = -1;
    harness::Run("ip route replace 203.0.113.128/25 via 198.51.100.254 dev qv2 2>&1", &rc);
    ASSERT_EQ(rc, 0);
    struct Cleanup {
        ~Cleanup() { harness::Run("ip route del 203.0.113.128/25 2>&1"); }
    } cleanup;
    // snmpd reads the kernel's routes when it starts: an agent of its own.
    harness::AgentProcess agent("");
    ASSERT_TRUE(agent.running()) << agent.error();
    UseAgent(agent.address());
    const std::string a = agent.address();

    TablesWindow w = Open();
    ASSERT_TRUE(w);
    w.frame->SendCommand(ifplug::kCmdRouteTable);
    const auto rows = Shown(w);
    const auto ifIndex = Column("1.3.6.1.2.1.4.21.1.2", a);
    const auto hop = Column("1.3.6.1.2.1.4.21.1.7", a);
    const auto mask = Column("1.3.6.1.2.1.4.21.1.11", a);
    const auto type = Column("1.3.6.1.2.1.4.21.1.8", a);
    const auto proto = Column("1.3.6.1.2.1.4.21.1.9", a);
    const auto metric1 = Column("1.3.6.1.2.1.4.21.1.3", a);
    ASSERT_TRUE(hop.count("203.0.113.128"));
    ASSERT_EQ(rows.size(), hop.size());
    for (const auto& [dest, next] : hop) {
        SCOPED_TRACE(dest);
        const auto* r = RowOf(rows, 1, dest);
        ASSERT_NE(r, nullptr);
        ASSERT_EQ(r->size(), 12u);
        EXPECT_EQ((*r)[0], ifIndex.at(dest));
        EXPECT_EQ((*r)[2], next);
        EXPECT_EQ((*r)[3], mask.at(dest));
        EXPECT_EQ((*r)[4], Enum(IpRouteTypeList::getInstance(), type.at(dest).substr(0, type.at(dest).find('('))));
        EXPECT_EQ((*r)[5], Enum(IpRouteProtoList::getInstance(), proto.at(dest).substr(0, proto.at(dest).find('('))));
        EXPECT_EQ((*r)[7], metric1.at(dest));
        // ipRouteAge and metrics 2..5: this agent has none.
        for (int c : {6, 8, 9, 10, 11})
            EXPECT_EQ((*r)[size_t(c)], "") << c;
    }
    const auto* added = RowOf(rows, 1, "203.0.113.128");
    ASSERT_NE(added, nullptr);
    EXPECT_EQ((*added)[2], "198.51.100.254");
    EXPECT_EQ((*added)[3], "255.255.255.128");
    EXPECT_EQ((*added)[4], "indirect(4)");
}

TEST_F(IfAgentTest, HistoryControlRowsAndEtherStatsFromTheHelper)
{
    TablesWindow w = Open();
    ASSERT_TRUE(w);
    std::map<std::string, int> byName;
    for (const auto& e : w.view->data().interfaces)
        byName[e.ifDescr] = e.ifIndex;
    EXPECT_TRUE(w.view->data().etherStats);
    for (const auto& e : w.view->data().interfaces) {
        // stats 1 lo, stats 2 qv0, stats 3 qv2
        const int want = e.ifDescr == "lo" ? 1 : e.ifDescr == "qv0" ? 2 : e.ifDescr == "qv2" ? 3 : 0;
        EXPECT_EQ(e.etherStatsIndex, want) << e.ifDescr;
    }
    ASSERT_EQ(Select(w, {std::to_string(byName["qv0"])}), 1);
    QMenu* menu = w.view->CreateContextMenu();
    ASSERT_NE(menu, nullptr);
    bool found = false;
    for (QAction* a : menu->actions())
        if (platform::CommandId(a) == ifplug::kCmdEtherStats) {
            found = true;
            EXPECT_TRUE(a->isEnabled());
        }
    EXPECT_TRUE(found);
    EXPECT_EQ(menu->actions().size(), 14);  // 13004, 11 counters, separator, 13016
    delete menu;

    w.frame->SendCommand(ifplug::kCmdHistoryTable);
    // The longest name fits its field.
    const QLineEdit* field = w.frame->toolBar()->field();
    EXPECT_GE(field->width() - 8, field->fontMetrics().horizontalAdvance(field->text()));
    const std::vector<std::vector<std::string>> want = {
        {"1", std::to_string(byName["qv0"]), "2", "50"},
        {"2", std::to_string(byName["qv2"]), "2", "50"},
        {"3", std::to_string(byName["lo"]), "30", "40"},
    };
    EXPECT_EQ(Shown(w), want);
    ASSERT_EQ(Select(w, {"1"}), 1);
    menu = w.view->CreateContextMenu();
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(menu->actions().size(), 1);
    EXPECT_EQ(platform::CommandId(menu->actions()[0]), ifplug::kCmdHistory);
    delete menu;

    // Rows of another interval and size: the message, and nothing opens.
    ASSERT_EQ(Select(w, {"1", "3"}), 2);
    const int frames = int(platform::App::GetMainFrame()->GetChildFrames().size());
    platform::ExecuteCommand(w.view, ifplug::kCmdHistory);
    ASSERT_EQ(messages.Texts().size(), 1u);
    EXPECT_EQ(messages.Texts()[0], "サンプル間隔とサンプル数が同じデータを選択してください。");
    EXPECT_EQ(int(platform::App::GetMainFrame()->GetChildFrames().size()), frames);
}

TEST_F(IfAgentTest, EtherStatsRefusesInterfacesWithoutARow)
{
    TablesWindow w = Open();
    ASSERT_TRUE(w);
    std::map<std::string, int> byName;
    for (const auto& e : w.view->data().interfaces)
        byName[e.ifDescr] = e.ifIndex;
    ASSERT_EQ(Select(w, {std::to_string(byName["qv1"]), std::to_string(byName["qv3"])}), 2);
    platform::ExecuteCommand(w.view, ifplug::kCmdEtherStats);
    ASSERT_EQ(messages.Texts().size(), 1u);
    EXPECT_EQ(messages.Texts()[0], "[" + std::to_string(byName["qv1"]) + "]qv1\n[" + std::to_string(byName["qv3"]) +
                               "]qv3\nは、etherStatsTable情報を取得できません。");
    // With the icon of the walk's failure message.
    EXPECT_EQ(messages.Types()[0], unsigned(platform::MB_OK | platform::MB_ICONWARNING));
}

TEST_F(IfAgentTest, AgentWithoutRmonGreysEtherStats)
{
    harness::AgentProcess agent("");
    ASSERT_TRUE(agent.running()) << agent.error();
    UseAgent(agent.address());
    TablesWindow w = Open();
    ASSERT_TRUE(w);
    EXPECT_FALSE(w.view->data().etherStats);
    EXPECT_FALSE(w.view->data().interfaces.empty());
    ASSERT_EQ(Select(w, {"1"}), 1);
    QMenu* menu = w.view->CreateContextMenu();
    ASSERT_NE(menu, nullptr);
    for (QAction* a : menu->actions()) {
        if (platform::CommandId(a) == ifplug::kCmdEtherStats) {
            EXPECT_FALSE(a->isEnabled());
        }
    }
    delete menu;
    w.frame->SendCommand(ifplug::kCmdHistoryTable);
    EXPECT_TRUE(Shown(w).empty());
}

TEST_F(IfAgentTest, AgentWithoutTheIfIndexColumnGivesTheRealCause)
{
    // A community whose view lacks ifIndex: the interface walk's first
    // reply for that column leaves it.
    harness::AgentProcess agent("", "",
                                "view noidx included .1\n"
                                "view noidx excluded .1.3.6.1.2.1.2.2.1.1\n"
                                "rocommunity noidx default -V noidx");
    ASSERT_TRUE(agent.running()) << agent.error();
    UseAgent(agent.address());
    MIBAgent::getInstance()->setReadCommunity("noidx");
    TablesWindow w = Open();
    ASSERT_TRUE(w);
    ASSERT_FALSE(messages.Texts().empty());
    EXPECT_EQ(messages.Texts()[0],
              std::string("interfaces情報を取得できませんでした。理由は⇒") + CSnmpBerList::ErrMsg(22));
    EXPECT_TRUE(Shown(w).empty());
}

TEST_F(IfAgentTest, ColumnWidthsAreKeptPerTable)
{
    TablesWindow w = Open();
    ASSERT_TRUE(w);
    CListCtrlEx& list = w.view->GetListCtrl();
    EXPECT_GE(list.GetColumnWidth(0), 40);
    list.SetColumnWidth(0, 123);
    w.frame->SendCommand(ifplug::kCmdRouteTable);
    EXPECT_EQ(list.GetColumnCount(), 12);
    list.SetColumnWidth(2, 77);
    w.frame->SendCommand(ifplug::kCmdIfTable);
    const std::string ini = IniPath("if.ini");
    EXPECT_EQ(platform::GetPrivateProfileInt("ifTable", "column.0", 0, ini), 123);
    EXPECT_EQ(platform::GetPrivateProfileInt("ipRouteTable", "column.2", 0, ini), 77);
    EXPECT_GE(platform::GetPrivateProfileInt("ipRouteTable", "column.0", 0, ini), 80);
    EXPECT_EQ(list.GetColumnWidth(0), 123);
    // The table already shown is rebuilt without saving.
    list.SetColumnWidth(0, 99);
    w.frame->SendCommand(ifplug::kCmdIfTable);
    EXPECT_EQ(platform::GetPrivateProfileInt("ifTable", "column.0", 0, ini), 123);
    EXPECT_EQ(list.GetColumnWidth(0), 123);
}

TEST_F(IfAgentTest, RouteTableCsvAndItemCount)
{
    TablesWindow w = Open();
    ASSERT_TRUE(w);
    w.frame->SendCommand(ifplug::kCmdRouteTable);
    const size_t routes = Shown(w).size();
    w.frame->UpdateCmdUI();
    platform::StatusBar* bar = w.frame->GetStatusBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->GetPaneText(bar->CommandToIndex(ifplug::kStatusPaneItems)),
              "アイテム数：" + std::to_string(routes));

    const std::string path = m_startDir.path().toStdString() + "/routes.csv";
    fileAnswer = path;
    w.frame->SendCommand(ifplug::kCmdSaveFile);
    const std::string bytes = ReadFile(path);
    EXPECT_EQ(bytes.find('\r'), std::string::npos);
    const auto lines = harness::Lines(bytes);
    ASSERT_EQ(lines.size(), routes + 1);
    EXPECT_EQ(cp932::ToUtf8(lines[0]),
              "ifIndex,目的地のIPアドレス,Gateway,マスク値,ルートの種類,ルーティング・プロトコル,"
              "このルートが更新されてからの経過秒数,RouteMetric1,RouteMetric2,RouteMetric3,RouteMetric4,"
              "RouteMetric5");
    for (size_t i = 1; i < lines.size(); ++i)
        EXPECT_EQ(std::count(lines[i].begin(), lines[i].end(), ','), 11) << lines[i];
}

// Each table grabbed into build/tests/screenshots/if-<table>.png for a look
// by eye; the pictures must show rows.
TEST_F(IfAgentTest, ScreenshotsOfEveryTable)
{
    TablesWindow w = Open();
    ASSERT_TRUE(w);
    w.frame->resize(900, 360);
    const QString dir = QString::fromStdString(harness::BuildDir()) + "/tests/screenshots";
    QDir().mkpath(dir);
    for (int command : {ifplug::kCmdIfTable, ifplug::kCmdAddrTable, ifplug::kCmdRouteTable, ifplug::kCmdHistoryTable}) {
        w.frame->SendCommand(command);
        w.frame->UpdateCmdUI();
        EXPECT_FALSE(Shown(w).empty()) << command;
        QImage shot = w.frame->grab().toImage();
        ASSERT_FALSE(shot.isNull());
        EXPECT_TRUE(shot.save(dir + "/if-" + QString::fromUtf8(ifplug::FindTable(command)->section) + ".png"));
    }
}

// ifInOctets of lo and qv0: each sample is the increase the agent itself
// reports between the window's two cycles.
TEST_F(IfAgentTest, OneCounterSamplesAreTheAgentsIncreases)
{
    TablesWindow w = Open();
    ASSERT_TRUE(w);
    ASSERT_EQ(Select(w, {"lo", "qv0"}, 1), 2);
    platform::ExecuteCommand(w.view, ifplug::kCmdCounterFirst);
    auto* graph = qobject_cast<countergroup::CCounterGroupFrame*>(platform::App::GetMainFrame()->MDIGetActive());
    ASSERT_NE(graph, nullptr);
    countergroup::CCounterGroupDoc* doc = graph->document();
    ASSERT_EQ(doc->getObjectCount(), 2);
    doc->FinishPollCycle();
    MIBBasicItem oracleItem;
    auto oracle = [&] {
        std::vector<uint32_t> v;
        for (int j = 0; j < 2; ++j) {
            std::vector<unsigned long> oid = doc->constants().oidOf(j);
            CSnmpBer b = countergroup::MakeRequestBindings(oid.data(), int(oid.size()));
            int keep = 1;
            EXPECT_EQ(SnmpData(MIBAgent::getInstance(), &oracleItem, b, 0xA0, &keep), 0);
            CSnmpBer value;
            EXPECT_EQ(countergroup::TakeReplyValue(b, oid.data(), int(oid.size()), value), 0);
            v.push_back(uint32_t(value.GetULong()));
        }
        return v;
    };
    std::vector<uint32_t> a1;
    for (int j = 0; j < 2; ++j)
        a1.push_back(uint32_t(doc->state().current[size_t(j)].GetULong()));
    const std::vector<uint32_t> s1 = oracle();
    graph->listView()->Poll();
    const std::vector<uint32_t> s2 = oracle();
    for (int j = 0; j < 2; ++j) {
        const uint32_t a2 = uint32_t(doc->state().current[size_t(j)].GetULong());
        EXPECT_LE(a1[size_t(j)], s1[size_t(j)]);
        EXPECT_LE(s1[size_t(j)], a2);
        EXPECT_LE(a2, s2[size_t(j)]);
        EXPECT_EQ(doc->getSeries(j)->getValatTime()[60].getVal(), a2 - a1[size_t(j)]);
        EXPECT_EQ(doc->getSeries(j)->getValatTime()[60].getErrIdx(), 0);
    }
}

// Both graph windows after a few cycles of the agent, grabbed for a look by
// eye into build/tests/screenshots.
TEST_F(IfAgentTest, ScreenshotsOfTheGraphWindows)
{
    TablesWindow w = Open();
    ASSERT_TRUE(w);
    const QString dir = QString::fromStdString(harness::BuildDir()) + "/tests/screenshots";
    QDir().mkpath(dir);
    struct Shot {
        std::vector<std::string> rows;
        int command;
        const char* file;
    } shots[] = {{{"lo"}, ifplug::kCmdTraffic, "/if-traffic.png"},
                 {{"lo", "qv0", "qv2"}, ifplug::kCmdCounterFirst + 6, "/if-counter.png"}};
    for (const Shot& s : shots) {
        ASSERT_EQ(Select(w, s.rows, 1), int(s.rows.size()));
        platform::ExecuteCommand(w.view, s.command);
        auto* graph = qobject_cast<countergroup::CCounterGroupFrame*>(platform::App::GetMainFrame()->MDIGetActive());
        ASSERT_NE(graph, nullptr);
        graph->resize(900, 430);
        for (int c = 0; c < 4; ++c) {
            harness::Run("sleep 0.3");
            graph->listView()->Poll();
        }
        graph->UpdateCmdUI();
        EXPECT_EQ(graph->listView()->GetListCtrl().GetItemCount(), s.command == ifplug::kCmdTraffic ? 11 : 3);
        QImage shot = graph->grab().toImage();
        ASSERT_FALSE(shot.isNull());
        EXPECT_TRUE(shot.save(dir + s.file));
        platform::App::GetMainFrame()->MDIActivate(w.frame);
    }
}

}  // namespace

namespace {

// Counter64 values of objects by net-snmp's snmpget over v2c, in order.
std::vector<uint64_t> SnmpgetV2c(const std::vector<std::string>& oids)
{
    std::string args;
    for (const std::string& o : oids)
        args += " " + o;
    std::vector<uint64_t> out;
    for (const std::string& line : harness::Lines(harness::Run(std::string("snmpget -v2c -c ") +
                                                               harness::kReadCommunity + " -On -M /dev/null -m '' " +
                                                               harness::kAgentV4 + args + " 2>&1"))) {
        const size_t colon = line.find("Counter64: ");
        EXPECT_NE(colon, std::string::npos) << line;
        if (colon != std::string::npos)
            out.push_back(std::stoull(line.substr(colon + 11)));
    }
    EXPECT_EQ(out.size(), oids.size());
    return out;
}

}  // namespace

// Over v2c the one-interface window of lo polls ifXTable's 64-bit counters
// (the non-unicast series as multicast plus broadcast where snmpd has both),
// names them, and each sample is the increase between its two cycles, which
// snmpget -v2c brackets (snmpd caches the counters a few seconds, so the
// increase may well be what snmpget saw: zero).
TEST_F(IfAgentTest, TrafficOverV2cPollsTheHcCountersLikeSnmpget)
{
    MIBAgent::getInstance()->setVersion(MIBAgent::Version::V2c);
    TablesWindow w = Open();
    ASSERT_TRUE(w);
    ASSERT_EQ(Select(w, {"lo"}, 1), 1);
    const std::vector<std::vector<std::string>> rows = Shown(w);
    const std::vector<std::string>* loRow = RowOf(rows, 1, "lo");
    ASSERT_NE(loRow, nullptr);
    const std::string lo = (*loRow)[0];
    platform::ExecuteCommand(w.view, ifplug::kCmdTraffic);
    auto* graph = qobject_cast<countergroup::CCounterGroupFrame*>(platform::App::GetMainFrame()->MDIGetActive());
    ASSERT_NE(graph, nullptr);
    countergroup::CCounterGroupDoc* doc = graph->document();
    doc->FinishPollCycle();
    ASSERT_EQ(doc->getObjectCount(), 11);

    // What the agent has decides which series go 64-bit.
    const std::string x = "1.3.6.1.2.1.31.1.1.1.";
    auto has = [&](int column) {
        return harness::Run(std::string("snmpget -v2c -c ") + harness::kReadCommunity +
                            " -On -M /dev/null -m '' " + harness::kAgentV4 + " " + x + std::to_string(column) + "." +
                            lo + " 2>&1")
                   .find("Counter64: ") != std::string::npos;
    };
    struct Hc {
        int series;
        std::vector<int> columns;
        const char* label;
    };
    const Hc hcs[] = {{0, {6}, "ifHCInOctets"},
                      {1, {7}, "ifHCInUcastPkts"},
                      {2, {8, 9}, "ifHCInMulticastPkts+ifHCInBroadcastPkts"},
                      {6, {10}, "ifHCOutOctets"},
                      {7, {11}, "ifHCOutUcastPkts"},
                      {8, {12, 13}, "ifHCOutMulticastPkts+ifHCOutBroadcastPkts"}};
    std::vector<const Hc*> used;
    for (const Hc& h : hcs) {
        bool all = true;
        for (int c : h.columns)
            all = all && has(c);
        SCOPED_TRACE(h.label);
        EXPECT_EQ(doc->UsesAlternative(h.series), all);
        EXPECT_EQ(graph->listView()->GetListCtrl().GetItemText(h.series, 0).toStdString(),
                  all ? h.label : std::string(ifplug::kCounterNames[h.series]));
        if (all)
            used.push_back(&h);
    }
    ASSERT_GE(used.size(), 2u);  // octets at least: the veth and lo rows have them
    for (int s : {3, 4, 5, 9, 10})
        EXPECT_FALSE(doc->UsesAlternative(s));

    // The sum the window takes for each 64-bit series, by snmpget.
    auto oracle = [&] {
        std::vector<std::string> oids;
        for (const Hc* h : used)
            for (int c : h->columns)
                oids.push_back(x + std::to_string(c) + "." + lo);
        std::vector<uint64_t> v = SnmpgetV2c(oids), sums;
        size_t k = 0;
        for (const Hc* h : used) {
            uint64_t sum = 0;
            for (size_t c = 0; c < h->columns.size() && k < v.size(); ++c)
                sum += v[k++];
            sums.push_back(sum);
        }
        return sums;
    };
    auto window = [&] {
        std::vector<uint64_t> v;
        for (const Hc* h : used) {
            const CSnmpBer& b = doc->state().current[size_t(h->series)];
            EXPECT_EQ(b.GetTagType(), CSnmpBer::TagCounter64) << h->label;
            v.push_back(b.GetULong64());
        }
        return v;
    };
    const std::vector<uint64_t> a1 = window();
    const std::vector<uint64_t> s1 = oracle();
    graph->listView()->Poll();
    doc->FinishPollCycle();
    const std::vector<uint64_t> a2 = window();
    const std::vector<uint64_t> s2 = oracle();
    ASSERT_EQ(s1.size(), used.size());
    ASSERT_EQ(s2.size(), used.size());
    for (size_t i = 0; i < used.size(); ++i) {
        SCOPED_TRACE(used[i]->label);
        EXPECT_LE(a1[i], s1[i]);
        EXPECT_LE(s1[i], a2[i]);
        EXPECT_LE(a2[i], s2[i]);
        const ValatTime& slot = doc->getSeries(used[i]->series)->getValatTime()[60];
        EXPECT_EQ(slot.getErrIdx(), 0);
        EXPECT_EQ(slot.getVal(), a2[i] - a1[i]);
    }
}
