// The request engine over SNMPv3 against the namespace snmpd: every user
// of the test agent through the probe, a Get and a table walk (compared
// with snmpget/snmpbulkwalk -v3), the refusals as their result codes, the
// discovery shared by threads, and an agent restarted with boots + 1.

#include <chrono>
#include <thread>
#include <vector>

#include "mibcore/agent/MIBAgent.h"
#include "mibcore/engine/CSnmpBerList.h"
#include "mibcore/engine/MIBBasicItem.h"
#include "mibcore/engine/SnmpData.h"
#include "mibcore/engine/V3Session.h"
#include "snmpval/VarBind.h"
#include "tests/mibcore/usm/UsmUsers.h"
#include "tests/support/AgentProcess.h"
#include "tests/support/Harness.h"

using namespace usmtest;

namespace {

const unsigned long kSysDescr[] = {1, 3, 6, 1, 2, 1, 1, 1, 0};

// Settings of a v3 user at the given level, with keys from the passphrases.
MIBAgent V3Agent(const User& u, const char* authPass, const char* privPass, SecurityLevel level,
                 const std::string& address = harness::kAgentV4, int recvErrCnt = 1)
{
    MIBAgent a(*MIBAgent::getInstance());
    a.setAddr(address);
    a.setNetworkLayerType(MIBAgent::FamilyIPv4);
    a.setRecvErrCnt(recvErrCnt);
    a.setTvSec(0);
    a.setTvUSec(500000);
    EXPECT_TRUE(UseV3(a, u, authPass, privPass, level)) << u.name;
    return a;
}

int Get(MIBAgent& a, CSnmpBer& bindings)
{
    CSnmpBer name;
    name.SetOid(kSysDescr, 9);
    bindings = MakeVarBindList(name);
    MIBBasicItem item;
    int running = 1;
    return SnmpData(&a, &item, bindings, CSnmpBer::TagGetRequest, &running);
}

std::string ValueText(const CSnmpBer& row, int k)
{
    const int path[] = {k, 1, -1};
    const unsigned char* p = row.GetSequence(path);
    if (!p)
        return {};
    CSnmpBer v(p);
    return std::string(reinterpret_cast<const char*>(v.GetData()), static_cast<size_t>(v.GetDataLen()));
}

// net-snmp's view of a value, as -Oqv prints it.
std::vector<std::string> Oracle(const char* tool, const User& u, const char* oid)
{
    return harness::Lines(harness::Run(std::string(tool) + " -Oqv -M /dev/null -m '' -t 2 -r 1 " + OracleArgs(u) +
                                       " " + harness::kAgentV4 + " " + oid + " 2>&1"));
}

std::string Unquoted(const std::string& s)
{
    return s.size() >= 2 && s.front() == '"' && s.back() == '"' ? s.substr(1, s.size() - 2) : s;
}

class V3Engine : public ::testing::Test {
protected:
    void SetUp() override { QUILLON_REQUIRE_NETNS(); }
};

TEST_F(V3Engine, EveryUserProbesGetsAndWalksWhatNetSnmpReads)
{
    for (const User& u : kUsers) {
        SCOPED_TRACE(u.name);
        MIBAgent a = V3Agent(u, u.authPass, u.privPass, u.level);
        EXPECT_EQ(checkAgent(&a), 0);

        CSnmpBer got;
        ASSERT_EQ(Get(a, got), 0);
        const auto descr = Oracle("snmpget", u, "1.3.6.1.2.1.1.1.0");
        ASSERT_EQ(descr.size(), 1u);
        EXPECT_EQ(ValueText(got, 0), Unquoted(descr[0]));

        // ifDescr by GetBulk, as every table window walks.
        unsigned long base[] = {1, 3, 6, 1, 2, 1, 2, 2, 1};
        unsigned long columns[] = {2};
        CSnmpBerList rows;
        MIBBasicItem item;
        int failures = 0, running = 1, lastError = 0;
        const int n = SnmpDynamicList(&a, &item, &rows, base, 9, columns, 1, &failures, -1, CSnmpBer::TagGetNextRequest,
                                      &running, 3, &lastError);
        const auto oracle = Oracle("snmpbulkwalk", u, "1.3.6.1.2.1.2.2.1.2");
        ASSERT_EQ(n, static_cast<int>(oracle.size())) << "last error " << lastError;
        int k = 0;
        for (CSnmpBerList* r = &rows; r && k < n; r = r->getnext(), ++k)
            EXPECT_EQ(ValueText(r->Get(), 0), Unquoted(oracle[static_cast<size_t>(k)])) << "row " << k;
    }
}

// What the operator gets wrong, each with its own code and text, and
// none retried beyond the request's time-outs.
TEST_F(V3Engine, RefusalsGiveTheirResultCodes)
{
    const User& md5 = kUsers[1];
    for (const Refusal& c : Refusals(kUsers[7])) {
        SCOPED_TRACE(c.what);
        MIBAgent a = V3Agent(c.user, c.authPass, c.privPass, c.level, harness::kAgentV4, 0);
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(checkAgent(&a), c.code);
        CSnmpBer got;
        EXPECT_EQ(Get(a, got), c.code);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
        EXPECT_NE(std::string(CSnmpBerList::ErrMsg(c.code)), "");
    }
    // Settings changed after the keys were made: no request goes out with them.
    MIBAgent a = V3Agent(md5, md5.authPass, "", SecurityLevel::AuthNoPriv);
    a.setUserName("quillon-sha1");
    EXPECT_FALSE(a.hasV3Keys());
    EXPECT_EQ(checkAgent(&a), snmpengine::V3NoKeys);
}

// Copies of one agent's settings on several threads discover once and
// keep one clock.
TEST_F(V3Engine, ThreadsShareOneDiscovery)
{
    const User& u = kUsers[8];
    const MIBAgent shared = V3Agent(u, u.authPass, u.privPass, u.level);
    std::vector<std::thread> threads;
    std::vector<int> failures(4, 0);
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&, t] {
            MIBAgent mine(shared);
            for (int i = 0; i < 15; ++i) {
                CSnmpBer got;
                if (Get(mine, got) != 0)
                    ++failures[static_cast<size_t>(t)];
            }
        });
    for (auto& th : threads)
        th.join();
    EXPECT_EQ(failures, std::vector<int>(4, 0));
    snmpengine::V3Session* s = shared.getV3Session();
    std::lock_guard<std::recursive_mutex> g(s->Lock());
    EXPECT_TRUE(s->Security().KnowsEngine());
}

// snmpd restarted: same engine, boots + 1, time from 0. The first request
// gets notInTimeWindow, resynchronises by itself and succeeds.
TEST_F(V3Engine, RestartedAgentIsResynchronised)
{
    harness::AgentProcess agent("");
    ASSERT_TRUE(agent.running()) << agent.error();
    const User& u = kUsers[7];
    MIBAgent a = V3Agent(u, u.authPass, u.privPass, u.level, agent.address());
    CSnmpBer got;
    ASSERT_EQ(Get(a, got), 0);
    long boots = 0;
    std::string engine;
    {
        std::lock_guard<std::recursive_mutex> g(a.getV3Session()->Lock());
        boots = a.getV3Session()->Security().Boots();
        engine = a.getV3Session()->Security().EngineId();
    }
    ASSERT_TRUE(agent.Restart()) << agent.error();
    EXPECT_EQ(Get(a, got), 0);
    std::lock_guard<std::recursive_mutex> g(a.getV3Session()->Lock());
    EXPECT_EQ(a.getV3Session()->Security().EngineId(), engine);
    EXPECT_EQ(a.getV3Session()->Security().Boots(), boots + 1);
}

}  // namespace
