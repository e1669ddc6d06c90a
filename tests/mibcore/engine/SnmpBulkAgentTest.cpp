// Walks over v2c against the namespace snmpd: the rows equal the v1 walk's
// and net-snmp's snmpbulkwalk, including a table of thousands of rows.

#include <ctime>
#include <string>
#include <vector>

#include "mibcore/engine/SnmpWalk.h"
#include "tests/mibcore/engine/EngineFixture.h"
#include "tests/support/AgentProcess.h"

using enginetest::Arcs;
using enginetest::NameOf;

namespace {

class AgentBulk : public enginetest::AgentSettings {
protected:
    void SetUp() override
    {
        AgentSettings::SetUp();
        if (!harness::InNetns())
            GTEST_SKIP() << "needs the private network namespace: run ./test.sh";
    }

    struct Walked {
        int count = 0;
        int lastError = 0;
        std::vector<std::string> rows;  // every row's octets
        std::vector<std::string> names; // the names of column 0
    };
    Walked Walk(const std::string& address, MIBAgent::Version v, const std::string& entry,
                std::vector<unsigned long> columns)
    {
        MIBAgent* a = Use(address, 2, 2000000, 1);
        a->setVersion(v);
        MIBBasicItem item;
        CSnmpBerList rows;
        std::vector<unsigned long> base = Arcs(entry);
        int failures = 0, running = 1;
        Walked w;
        w.count = SnmpDynamicList(a, &item, &rows, base.data(), int(base.size()), columns.data(),
                                  int(columns.size()), &failures, -1, 0xA1, &running, 3, &w.lastError);
        int i = 0;
        for (CSnmpBerList* r = &rows; r && i < w.count; r = r->getnext(), ++i) {
            w.rows.emplace_back(reinterpret_cast<const char*>(r->Get().GetAllData()),
                                size_t(r->Get().GetBufferSize()));
            w.names.push_back(NameOf(r->Get(), 0));
        }
        return w;
    }
};

// Names of snmpbulkwalk -v2c -On output, without the leading dot.
std::vector<std::string> BulkwalkNames(const std::string& address, const std::string& oid, int reps)
{
    std::vector<std::string> names;
    const std::string out = harness::Run("snmpbulkwalk -v2c -c " + std::string(harness::kReadCommunity) +
                                         " -On -M /dev/null -m '' -Cr" + std::to_string(reps) + " " + address +
                                         " " + oid + " 2>&1");
    for (const std::string& line : harness::Lines(out))
        if (!line.empty() && line[0] == '.')
            names.push_back(line.substr(1, line.find(' ') - 1));
    return names;
}

TEST_F(AgentBulk, TablesOverV2cEqualTheV1WalkAndSnmpbulkwalk)
{
    struct Case {
        const char* entry;
        std::vector<unsigned long> columns;
    };
    // Static columns only: counters move between two walks.
    const Case cases[] = {
        {"1.3.6.1.2.1.2.2.1", {1, 2, 3, 4, 6}},
        {"1.3.6.1.2.1.4.20.1", {2, 1, 3, 4}},
        {"1.3.6.1.2.1.4.21.1", {1, 2, 7, 11, 8}},
        {"1.3.6.1.2.1.16.2.1.1", {2, 5, 4}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.entry);
        const Walked v1 = Walk(harness::kAgentV4, MIBAgent::Version::V1, c.entry, c.columns);
        const Walked v2 = Walk(harness::kAgentV4, MIBAgent::Version::V2c, c.entry, c.columns);
        ASSERT_GT(v1.count, 0);
        EXPECT_EQ(v2.count, v1.count);
        EXPECT_EQ(v2.rows, v1.rows);
        EXPECT_EQ(v2.lastError, 0);
        const std::string first = std::string(c.entry) + "." + std::to_string(c.columns[0]);
        EXPECT_EQ(v2.names, BulkwalkNames(harness::kAgentV4, first, 10));
    }
    // The route table lacks columns on this agent: both walks give nothing
    // for all twelve, the same way.
    const std::vector<unsigned long> route = {2, 1, 7, 11, 8, 9, 10, 3, 4, 5, 6, 12};
    const Walked v1 = Walk(harness::kAgentV4, MIBAgent::Version::V1, "1.3.6.1.2.1.4.21.1", route);
    const Walked v2 = Walk(harness::kAgentV4, MIBAgent::Version::V2c, "1.3.6.1.2.1.4.21.1", route);
    EXPECT_EQ(v2.count, v1.count);
    EXPECT_EQ(v2.rows, v1.rows);
    EXPECT_EQ(v2.lastError, v1.lastError);
}

TEST_F(AgentBulk, ThousandsOfRowsEqualSnmpbulkwalk)
{
    // 3000 history buckets of an hour each, all sampled long ago: the
    // table stands still while the walks run.
    const long origin = long(std::time(nullptr)) - 3600L * 3100;
    harness::AgentProcess agent("origin " + std::to_string(origin) + "\nhistory 7 lo 3600 3000\n");
    ASSERT_TRUE(agent.running()) << agent.error();
    const Walked v2 = Walk(agent.address(), MIBAgent::Version::V2c, "1.3.6.1.2.1.16.2.2.1", {1, 2, 4});
    const Walked v1 = Walk(agent.address(), MIBAgent::Version::V1, "1.3.6.1.2.1.16.2.2.1", {1, 2, 4});
    EXPECT_EQ(v2.count, 3000);
    EXPECT_EQ(v2.rows, v1.rows);
    EXPECT_EQ(v2.names, BulkwalkNames(agent.address(), "1.3.6.1.2.1.16.2.2.1.1", 16));
}

}  // namespace
