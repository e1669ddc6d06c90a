// One exchange and the walk against the namespace snmpd, with net-snmp's
// own tools as the oracle.

#include <algorithm>
#include <string>
#include <vector>

#include "tests/mibcore/engine/EngineFixture.h"

using enginetest::Arcs;
using enginetest::Bindings;
using enginetest::Member;
using enginetest::NameOf;
using enginetest::OctetsOf;

namespace {

class AgentExchange : public enginetest::AgentSettings {
protected:
    void SetUp() override
    {
        AgentSettings::SetUp();
        if (!harness::InNetns())
            GTEST_SKIP() << "needs the private network namespace: run ./test.sh";
    }
};

// The value part of "OID = TYPE: value" as snmpget prints it.
std::string OracleValue(const std::string& line)
{
    auto colon = line.find(": ");
    if (colon == std::string::npos)
        return {};
    std::string v = line.substr(colon + 2);
    while (!v.empty() && (v.back() == '\n' || v.back() == '\r'))
        v.pop_back();
    if (v.size() >= 2 && v.front() == '"' && v.back() == '"')
        v = v.substr(1, v.size() - 2);
    return v;
}

std::string OracleName(const std::string& line)
{
    std::string n = line.substr(0, line.find(' '));
    return n.empty() || n[0] != '.' ? n : n.substr(1);
}

CSnmpBer SetBinding(const std::string& name, const std::string& text)
{
    std::vector<unsigned long> arcs = Arcs(name);
    CSnmpBer oid, value, binding, list;
    oid.SetOid(arcs.data(), static_cast<int>(arcs.size()));
    value.SetString(text.c_str());
    binding.SetTag(CSnmpBer::TagSequence);
    binding.AddBer(oid);
    binding.AddBer(value);
    list.SetTag(CSnmpBer::TagSequence);
    list.AddBer(binding);
    return list;
}

}  // namespace

TEST_F(AgentExchange, GetOverIPv4AndIPv6MatchesSnmpget)
{
    const std::string expected = OracleValue(harness::SnmpTool("snmpget", "1.3.6.1.2.1.1.1.0"));
    ASSERT_FALSE(expected.empty());
    for (auto [address, family] : {std::pair{harness::kAgentV4, 2}, std::pair{harness::kAgentV6, 23}}) {
        SCOPED_TRACE(address);
        MIBAgent* a = Use(address, family, 1000000, 1);
        MIBBasicItem item;
        CSnmpBer b = Bindings({"1.3.6.1.2.1.1.1.0", "1.3.6.1.2.1.1.5.0"});
        int running = 1;
        ASSERT_EQ(SnmpData(a, &item, b, 0xA0, &running), 0);
        EXPECT_EQ(NameOf(b, 0), "1.3.6.1.2.1.1.1.0");
        EXPECT_EQ(OctetsOf(b, 0), expected);
        EXPECT_EQ(NameOf(b, 1), "1.3.6.1.2.1.1.5.0");
        EXPECT_EQ(OctetsOf(b, 1), OracleValue(harness::SnmpTool("snmpget", "1.3.6.1.2.1.1.5.0", address)));
    }
}

TEST_F(AgentExchange, GetNextNamesTheSuccessor)
{
    MIBAgent* a = Use(harness::kAgentV4, 2, 1000000, 1);
    MIBBasicItem item;
    for (const char* start : {"1.3.6.1.2.1.1", "1.3.6.1.2.1.1.1.0", "1.3.6.1.2.1.2.2.1.2"}) {
        SCOPED_TRACE(start);
        CSnmpBer b = Bindings({start});
        ASSERT_EQ(SnmpData(a, &item, b, 0xA1, nullptr), 0);
        EXPECT_EQ(NameOf(b, 0), OracleName(harness::SnmpTool("snmpgetnext", start)));
    }
}

TEST_F(AgentExchange, MissingObjectGivesNoSuchNameAndKeepsBindings)
{
    MIBAgent* a = Use(harness::kAgentV4, 2, 1000000, 1);
    MIBBasicItem item;
    CSnmpBer b = Bindings({"1.3.6.1.2.1.1.99.0"});
    const CSnmpBer sent = b;
    EXPECT_EQ(SnmpData(a, &item, b, 0xA0, nullptr), 2);
    ASSERT_EQ(b.DataSize(), sent.DataSize());
    EXPECT_TRUE(std::equal(b.GetAllData(), b.GetAllData() + b.DataSize(), sent.GetAllData()));
}

TEST_F(AgentExchange, SetUsesTheWriteCommunity)
{
    MIBAgent* a = Use(harness::kAgentV4, 2, 1000000, 1);
    MIBBasicItem item;
    const std::string text = "quillon-engine-" + std::to_string(::getpid());

    // sysLocation is writable with the write community.
    CSnmpBer b = SetBinding("1.3.6.1.2.1.1.6.0", text);
    ASSERT_EQ(SnmpData(a, &item, b, 0xA3, nullptr), 0);
    EXPECT_EQ(OctetsOf(b, 0), text);
    EXPECT_EQ(OracleValue(harness::SnmpTool("snmpget", "1.3.6.1.2.1.1.6.0")), text);

    // The read community must not be the one a Set carries: with the roles
    // swapped the agent refuses (v1 agents say noSuchName).
    a->setWriteCommunity(harness::kReadCommunity);
    CSnmpBer refused = SetBinding("1.3.6.1.2.1.1.6.0", "not-me");
    EXPECT_EQ(SnmpData(a, &item, refused, 0xA3, nullptr), 2);
    a->setWriteCommunity(harness::kWriteCommunity);
    a->setReadCommunity(harness::kWriteCommunity);  // Get must use the read one
    CSnmpBer get = Bindings({"1.3.6.1.2.1.1.6.0"});
    EXPECT_EQ(SnmpData(a, &item, get, 0xA0, nullptr), 0);
    EXPECT_EQ(OctetsOf(get, 0), text);
    a->setReadCommunity(harness::kReadCommunity);

    // Read-only and missing objects: snmpd's v1 answer is noSuchName.
    CSnmpBer readOnly = SetBinding("1.3.6.1.2.1.1.1.0", "x");
    EXPECT_EQ(SnmpData(a, &item, readOnly, 0xA3, nullptr), 2);
    CSnmpBer missing = SetBinding("1.3.6.1.2.1.1.99.0", "x");
    EXPECT_EQ(SnmpData(a, &item, missing, 0xA3, nullptr), 2);
}

TEST_F(AgentExchange, BadAddressesAndFamilies)
{
    MIBBasicItem item;  // IPv4 context
    CSnmpBer b = Bindings({"1.3.6.1.2.1.1.1.0"});
    EXPECT_EQ(SnmpData(Use(""), &item, b, 0xA0, nullptr), 18);
    EXPECT_EQ(SnmpData(Use("localhost"), &item, b, 0xA0, nullptr), 19);  // no name lookup
    EXPECT_EQ(SnmpData(Use("127.0.0.256"), &item, b, 0xA0, nullptr), 19);
    EXPECT_EQ(SnmpData(Use("::1", 2), &item, b, 0xA0, nullptr), 19);        // not IPv4
    EXPECT_EQ(SnmpData(Use("127.0.0.1", 23), &item, b, 0xA0, nullptr), 19); // not IPv6
    EXPECT_EQ(SnmpData(Use("127.0.0.1", 7), &item, b, 0xA0, nullptr), 19);  // no such family
    // A context made for IPv4 cannot reach an IPv6 agent.
    EXPECT_EQ(SnmpData(Use("::1", 23), &item, b, 0xA0, nullptr), 20);
    MIBBasicItem v6item;  // made while the settings say IPv6
    EXPECT_EQ(SnmpData(MIBAgent::getInstance(), &v6item, b, 0xA0, nullptr), 0);
}

TEST_F(AgentExchange, WalkOfIfTableMatchesSnmpwalk)
{
    const auto descr = harness::Lines(harness::SnmpTool("snmpwalk", "1.3.6.1.2.1.2.2.1.2"));
    const auto octets = harness::Lines(harness::SnmpTool("snmpwalk", "1.3.6.1.2.1.2.2.1.10"));
    ASSERT_FALSE(descr.empty());
    ASSERT_EQ(descr.size(), octets.size());
    const std::string interfaces = harness::Run("ip -o link show | wc -l");
    EXPECT_EQ(descr.size(), static_cast<size_t>(std::stoi(interfaces)));

    MIBAgent* a = Use(harness::kAgentV4, 2, 1000000, 1);
    MIBBasicItem item;
    CSnmpBerList rows;
    std::vector<unsigned long> base = Arcs("1.3.6.1.2.1.2.2.1");
    unsigned long columns[] = {2, 10};
    int failures = 0, lastError = 0, running = 1;
    const int n = SnmpDynamicList(a, &item, &rows, base.data(), 9, columns, 2, &failures, -1, 0xA1, &running, 3,
                                  &lastError);
    ASSERT_EQ(n, static_cast<int>(descr.size()));
    EXPECT_EQ(lastError, 0);
    EXPECT_EQ(failures, 0);
    EXPECT_EQ(rows.getCount(), n);
    int r = 0;
    for (CSnmpBerList* row = &rows; row; row = row->getnext(), ++r) {
        SCOPED_TRACE(r);
        const CSnmpBer& b = row->Get();
        EXPECT_EQ(NameOf(b, 0), OracleName(descr[r]));
        EXPECT_EQ(OctetsOf(b, 0), OracleValue(descr[r]));
        EXPECT_EQ(NameOf(b, 1), OracleName(octets[r]));
        // ifInOctets of a live interface moves; the oracle read it a moment
        // earlier, so ours is the same or later.
        EXPECT_EQ(Member(b, 1, 1).GetTagType(), CSnmpBer::TagCounter);
        EXPECT_GE(Member(b, 1, 1).GetULong(), std::stoul(OracleValue(octets[r])));
    }
}

TEST_F(AgentExchange, WalkOfAnAbsentTableGivesNoRowsAnd22)
{
    // The agent has nothing under bgpPeerTable, but objects after it.
    const std::string next = harness::SnmpTool("snmpgetnext", "1.3.6.1.2.1.15.3.1.2");
    ASSERT_EQ(next.rfind(".1.3.6.1.2.1.15.3.1", 0), std::string::npos) << next;
    ASSERT_EQ(next.find("noSuchName"), std::string::npos) << next;

    MIBAgent* a = Use(harness::kAgentV4, 2, 1000000, 1);
    MIBBasicItem item;
    CSnmpBerList rows;
    std::vector<unsigned long> base = Arcs("1.3.6.1.2.1.15.3.1");
    unsigned long columns[] = {2, 3};
    int failures = 0, lastError = 0, running = 1;
    EXPECT_EQ(SnmpDynamicList(a, &item, &rows, base.data(), 9, columns, 2, &failures, -1, 0xA1, &running, 3,
                              &lastError),
              0);
    EXPECT_EQ(lastError, 22);
    EXPECT_EQ(rows.getCount(), 1);  // the untouched head
}

TEST_F(AgentExchange, SingleGetThroughTheWalkStoresTheHead)
{
    MIBAgent* a = Use(harness::kAgentV4, 2, 1000000, 1);
    MIBBasicItem item;
    CSnmpBerList rows;
    std::vector<unsigned long> base = Arcs("1.3.6.1.2.1.1");
    // Column at arc 7 of 1.3.6.1.2.1.1.x.0: sysDescr.0 and sysName.0.
    base.push_back(0);
    base.push_back(0);
    unsigned long columns[] = {1, 5};
    int failures = 0, lastError = 0, running = 1;
    EXPECT_EQ(SnmpDynamicList(a, &item, &rows, base.data(), 9, columns, 2, &failures, 7, 0xA0, &running, 3,
                              &lastError),
              1);
    EXPECT_EQ(lastError, 0);
    EXPECT_EQ(NameOf(rows.Get(), 0), "1.3.6.1.2.1.1.1.0");
    EXPECT_EQ(NameOf(rows.Get(), 1), "1.3.6.1.2.1.1.5.0");
    EXPECT_EQ(OctetsOf(rows.Get(), 1), OracleValue(harness::SnmpTool("snmpget", "1.3.6.1.2.1.1.5.0")));
    EXPECT_EQ(rows.getnext(), nullptr);
}
