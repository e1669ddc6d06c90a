// The interface windows over SNMPv3 against the namespace snmpd, one user
// (and so one level and protocol pair) per window family: the tables equal
// the same window over v2c and snmpbulkwalk -v3, the traffic window polls
// the 64-bit counters, the RMON windows read what snmpget/snmpbulkwalk -v3
// read, and each refusal gives its text once, without every further walk
// waiting out the same time-outs.

#include <chrono>
#include <map>
#include <set>
#include <thread>

#include "mibcore/engine/CSnmpBerList.h"
#include "mibcore/engine/SnmpData.h"
#include "mibcore/platform/CmdTarget.h"
#include "mibcore/platform/MainFrame.h"
#include "plugins/countergroup/CounterGroupDoc.h"
#include "plugins/countergroup/CounterGroupViews.h"
#include "plugins/ifplug/IfTraffic.h"
#include "plugins/ifplug/RmonWindows.h"
#include "tests/mibcore/usm/UsmUsers.h"
#include "tests/plugins/ifplug/IfHarness.h"

using namespace iftest;
using namespace ifplug;

namespace {

using Rows = std::vector<std::vector<std::string>>;
const int kTables[] = {kCmdIfTable, kCmdAddrTable, kCmdRouteTable, kCmdHistoryTable};

// snmpbulkwalk -v3 of a column: instance suffix -> value as -Oqt prints it
// (TimeTicks as plain numbers).
std::map<std::string, std::string> BulkColumn(const usmtest::User& u, const std::string& column)
{
    std::map<std::string, std::string> out;
    const std::string prefix = "." + column + ".";
    for (const std::string& l : harness::Lines(harness::Run("snmpbulkwalk -On -Oqt -M /dev/null -m '' " +
                                                            usmtest::OracleArgs(u) + " " + harness::kAgentV4 +
                                                            " " + column + " 2>&1"))) {
        if (l.rfind(prefix, 0) != 0)
            continue;
        const size_t sp = l.find(' ');
        std::string v = sp == std::string::npos ? std::string() : l.substr(sp + 1);
        if (v.size() >= 2 && v.front() == '"' && v.back() == '"')
            v = v.substr(1, v.size() - 2);
        out[l.substr(prefix.size(), sp - prefix.size())] = v;
    }
    return out;
}

class IfV3Test : public IfSnmpdTest {
protected:
    std::map<int, Rows> ReadTables()
    {
        std::map<int, Rows> out;
        TablesWindow w = Open();
        EXPECT_TRUE(w);
        if (!w)
            return out;
        for (int t : kTables) {
            w.frame->SendCommand(t);
            out[t] = Shown(w);
        }
        platform::App::CloseAllDocuments();
        return out;
    }

    // A window opened from the tables window with the rows whose column 0
    // (or col) reads one of texts selected.
    template <class Frame>
    Frame* OpenFromTables(int table, const std::vector<std::string>& texts, int command, int col = 0)
    {
        m_tables = Open();
        if (!m_tables)
            return nullptr;
        m_tables.frame->SendCommand(table);
        EXPECT_EQ(Select(m_tables, texts, col), int(texts.size()));
        platform::ExecuteCommand(m_tables.view, command);
        return qobject_cast<Frame*>(platform::App::GetMainFrame()->MDIGetActive());
    }

    TablesWindow m_tables;
};

TEST_F(IfV3Test, TablesEqualV2cAndSnmpbulkwalk)
{
    if (!Ready())
        return;
    MIBAgent::getInstance()->setVersion(MIBAgent::Version::V2c);
    const std::map<int, Rows> v2c = ReadTables();
    ASSERT_EQ(v2c.size(), 4u);
    for (int t : kTables)
        ASSERT_FALSE(v2c.at(t).empty()) << t;
    for (const char* name : {"quillon-md5", "quillon-sha1-aes192"}) {
        SCOPED_TRACE(name);
        const usmtest::User& u = usmtest::UserNamed(name);
        ASSERT_TRUE(usmtest::UseV3(*MIBAgent::getInstance(), u));
        const std::map<int, Rows> v3 = ReadTables();
        for (int t : kTables)
            EXPECT_EQ(v3.at(t), v2c.at(t)) << t;
        EXPECT_TRUE(messages.Texts().empty());

        const auto descr = BulkColumn(u, "1.3.6.1.2.1.2.2.1.2");
        ASSERT_EQ(descr.size(), v3.at(kCmdIfTable).size());
        for (const auto& row : v3.at(kCmdIfTable))
            EXPECT_EQ(descr.count(row[0]) ? descr.at(row[0]) : "?", row[1]) << row[0];
        const auto addrIndex = BulkColumn(u, "1.3.6.1.2.1.4.20.1.2");
        ASSERT_EQ(addrIndex.size(), v3.at(kCmdAddrTable).size());
        for (const auto& row : v3.at(kCmdAddrTable))
            EXPECT_EQ(addrIndex.count(row[1]) ? addrIndex.at(row[1]) : "?", row[0]) << row[1];
        const auto nextHop = BulkColumn(u, "1.3.6.1.2.1.4.21.1.7");
        ASSERT_EQ(nextHop.size(), v3.at(kCmdRouteTable).size());
        for (const auto& row : v3.at(kCmdRouteTable))
            EXPECT_EQ(nextHop.count(row[1]) ? nextHop.at(row[1]) : "?", row[2]) << row[1];
    }
}

// The one-interface window of lo as SHA-256 at authNoPriv: the octet series
// poll ifHCInOctets/ifHCOutOctets, and each sample is the increase between
// two answers that snmpget -v3 brackets.
TEST_F(IfV3Test, TrafficPollsTheHcCountersLikeV2c)
{
    if (!Ready())
        return;
    const usmtest::User& u = usmtest::UserNamed("quillon-sha256");
    ASSERT_TRUE(usmtest::UseV3(*MIBAgent::getInstance(), u));
    auto* graph = OpenFromTables<countergroup::CCounterGroupFrame>(kCmdIfTable, {"lo"}, kCmdTraffic, 1);
    ASSERT_NE(graph, nullptr);
    const std::vector<std::string>* loRow = nullptr;
    const Rows rows = Shown(m_tables);
    for (const auto& r : rows)
        if (r[1] == "lo")
            loRow = &r;
    ASSERT_NE(loRow, nullptr);
    const std::string lo = (*loRow)[0];
    countergroup::CCounterGroupDoc* doc = graph->document();
    doc->FinishPollCycle();
    ASSERT_EQ(doc->getObjectCount(), 11);
    struct Hc {
        int series;
        const char* label;
        std::string oid;
    } const hcs[] = {{0, "ifHCInOctets", "1.3.6.1.2.1.31.1.1.1.6." + lo},
                     {6, "ifHCOutOctets", "1.3.6.1.2.1.31.1.1.1.10." + lo}};
    std::vector<std::string> oids;
    for (const Hc& h : hcs) {
        EXPECT_TRUE(doc->UsesAlternative(h.series)) << h.label;
        EXPECT_EQ(graph->listView()->GetListCtrl().GetItemText(h.series, 0).toStdString(), h.label);
        oids.push_back(h.oid);
    }
    auto oracle = [&] {
        std::vector<uint64_t> v;
        for (const std::string& l : usmtest::OracleValues(u, harness::kAgentV4, oids))
            v.push_back(std::stoull(l));
        EXPECT_EQ(v.size(), oids.size());
        v.resize(oids.size());
        return v;
    };
    auto answers = [&] {
        std::vector<uint64_t> v;
        for (const Hc& h : hcs) {
            const CSnmpBer& b = doc->state().current[size_t(h.series)];
            EXPECT_EQ(b.GetTagType(), CSnmpBer::TagCounter64) << h.label;
            v.push_back(b.GetULong64());
        }
        return v;
    };
    const std::vector<uint64_t> a1 = answers();
    const std::vector<uint64_t> s1 = oracle();
    graph->listView()->Poll();
    const std::vector<uint64_t> a2 = answers();
    const std::vector<uint64_t> s2 = oracle();
    for (size_t i = 0; i < oids.size(); ++i) {
        SCOPED_TRACE(hcs[i].label);
        EXPECT_LE(a1[i], s1[i]);
        EXPECT_LE(s1[i], a2[i]);
        EXPECT_LE(a2[i], s2[i]);
        const ValatTime& slot = doc->getSeries(hcs[i].series)->getValatTime()[60];
        EXPECT_EQ(slot.getErrIdx(), 0);
        EXPECT_EQ(slot.getVal(), a2[i] - a1[i]);
    }
    for (int s = 0; s < 11; ++s)
        EXPECT_EQ(doc->getSeries(s)->getValatTime()[60].getErrIdx(), 0) << s;
    EXPECT_TRUE(messages.Texts().empty());
}

// etherStats row 1 as SHA-256 + AES-128: the 16 increases lie between
// snmpget -v3 readings around the cycles.
TEST_F(IfV3Test, StatisticsWindowAtAuthPriv)
{
    if (!Ready())
        return;
    const usmtest::User& u = usmtest::UserNamed("quillon-sha256-aes128");
    ASSERT_TRUE(usmtest::UseV3(*MIBAgent::getInstance(), u));
    auto* f = OpenFromTables<CStaticMIBMenuFrame>(kCmdIfTable, {"1"}, kCmdEtherStats);
    ASSERT_NE(f, nullptr);
    auto* doc = qobject_cast<CStaticMIBMenuDoc*>(f->document());
    ASSERT_NE(doc, nullptr);
    doc->FinishPollCycle();
    ASSERT_EQ(doc->series().size(), 1u);
    std::vector<std::string> oids;
    for (int c = 4; c <= 19; ++c)
        oids.push_back("1.3.6.1.2.1.16.1.1.1." + std::to_string(c) + "." + std::to_string(doc->series()[0].id));
    auto read = [&] {
        std::vector<uint32_t> v;
        for (const std::string& l : usmtest::OracleValues(u, harness::kAgentV4, oids))
            v.push_back(uint32_t(std::stoul(l)));
        EXPECT_EQ(v.size(), 16u);
        v.resize(16);
        return v;
    };
    std::this_thread::sleep_for(std::chrono::milliseconds(1100));
    const auto before1 = read();
    doc->PollCycle(f->listView());
    const auto after1 = read();
    std::this_thread::sleep_for(std::chrono::milliseconds(1100));
    const auto before2 = read();
    doc->PollCycle(f->listView());
    const auto after2 = read();
    const RmonSample& s = doc->series()[0].samples[40];
    EXPECT_EQ(s.errIdx, 0);
    for (int k = 0; k < 16; ++k) {
        EXPECT_GE(s.val[size_t(k)], before2[size_t(k)] - after1[size_t(k)]) << k;
        EXPECT_LE(s.val[size_t(k)], after2[size_t(k)] - before1[size_t(k)]) << k;
    }
    EXPECT_GT(s.val[1], 0u);
    EXPECT_EQ(f->listView()->GetListCtrl().GetItemText(0, 17).toStdString(),
              std::string("0(") + CSnmpBerList::ErrMsg(0) + ")");
    EXPECT_TRUE(messages.Texts().empty());
}

// History row 1 as SHA-1 at authNoPriv: every bucket the window keeps is
// one snmpbulkwalk -v3 reads right after, with the same octets and start.
TEST_F(IfV3Test, HistoryWindowReadsWhatSnmpbulkwalkReads)
{
    if (!Ready())
        return;
    const usmtest::User& u = usmtest::UserNamed("quillon-sha1");
    ASSERT_TRUE(usmtest::UseV3(*MIBAgent::getInstance(), u));
    // The helper's first buckets appear two seconds after the agent starts.
    for (int i = 0; i < 40 && BulkColumn(u, "1.3.6.1.2.1.16.2.2.1.5.1").size() < 3; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(250));
    auto* f = OpenFromTables<CHistoryMIBMenuFrame>(kCmdHistoryTable, {"1"}, kCmdHistory);
    ASSERT_NE(f, nullptr);
    auto* doc = qobject_cast<CHistoryMIBMenuDoc*>(f->document());
    ASSERT_NE(doc, nullptr);
    doc->FinishReading();
    const auto octets = BulkColumn(u, "1.3.6.1.2.1.16.2.2.1.5.1");
    const auto starts = BulkColumn(u, "1.3.6.1.2.1.16.2.2.1.3.1");
    EXPECT_TRUE(messages.Texts().empty());
    ASSERT_EQ(doc->series().size(), 1u);
    std::set<std::pair<uint32_t, long>> buckets;
    for (const auto& [index, value] : octets) {
        ASSERT_TRUE(starts.count(index)) << index;
        const uint32_t ticks = uint32_t(std::stoul(starts.at(index)));
        buckets.insert({uint32_t(std::stoul(value)), doc->getBootTime() + long(ticks / 100)});
    }
    ASSERT_GE(buckets.size(), 3u);
    int filled = 0;
    for (const RmonSample& s : doc->series()[0].samples) {
        if (s.time == 0)
            continue;
        ++filled;
        EXPECT_EQ(s.errIdx, 0);
        EXPECT_TRUE(buckets.count({s.val[0], long(s.time)})) << s.val[0] << " at " << s.time;
    }
    EXPECT_GE(filled, 3);
}

// What the operator gets wrong, in the tables window: the interface walk's
// refusal in its message, nothing shown, and the reading over at once
// rather than after four more walks' time-outs.
TEST_F(IfV3Test, RefusalsGiveOneMessageAndEndTheReading)
{
    if (!Ready())
        return;
    UseAgent(harness::kAgentV4, 2, 3, 300000);
    const std::vector<usmtest::Refusal> cases = usmtest::Refusals(usmtest::UserNamed("quillon-sha512-aes256"));
    for (const usmtest::Refusal& c : cases) {
        SCOPED_TRACE(c.what);
        messages.Clear();
        ASSERT_TRUE(usmtest::UseV3(*MIBAgent::getInstance(), c.user, c.authPass, c.privPass, c.level));
        const auto start = std::chrono::steady_clock::now();
        TablesWindow w = Open();
        ASSERT_TRUE(w);
        // One walk of four silent requests is 1.2 s; five would be 6 s.
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(2500));
        ASSERT_EQ(messages.Texts().size(), 1u);
        EXPECT_EQ(messages.Texts()[0],
                  std::string("interfaces情報を取得できませんでした。理由は⇒") + CSnmpBerList::ErrMsg(c.code));
        for (int t : kTables) {
            w.frame->SendCommand(t);
            EXPECT_TRUE(Shown(w).empty()) << t;
        }
        platform::App::CloseAllDocuments();
    }
}

}  // namespace
