// harness::AgentProcess: extra agents with chosen rows, started and stopped
// by tests.

#include "tests/support/AgentProcess.h"
#include "tests/support/Harness.h"

#include <signal.h>

#include <chrono>
#include <thread>

namespace {

std::string Get(const std::string& oid, const std::string& agent)
{
    return harness::Run(std::string("snmpget -v1 -c ") + harness::kReadCommunity +
                        " -On -M /dev/null -m '' -t 0.3 -r 1 " + agent + " " + oid + " 2>&1");
}

}  // namespace

TEST(AgentProcess, ServesTheChosenRowsOnAnAddressOfItsOwn)
{
    QUILLON_REQUIRE_NETNS();
    harness::AgentProcess agent("stats 7 lo\nhistory 9 lo 1 10 owner=probe\ncisco 4 level=77 swing=0\n");
    ASSERT_TRUE(agent.running()) << agent.error();
    EXPECT_EQ(agent.address().rfind("127.0.1.", 0), 0u) << agent.address();
    EXPECT_NE(agent.address(), harness::kAgentV4);

    EXPECT_NE(Get("1.3.6.1.2.1.16.1.1.1.1.7", agent.address()).find("INTEGER: 7"), std::string::npos);
    EXPECT_NE(Get("1.3.6.1.2.1.16.2.1.1.6.9", agent.address()).find("STRING: \"probe\""), std::string::npos);
    EXPECT_NE(Get("1.3.6.1.4.1.9.9.109.1.1.1.1.4.4", agent.address()).find("Gauge32: 77"), std::string::npos);
    // None of the suite agent's rows, and no Foundry objects.
    EXPECT_NE(Get("1.3.6.1.2.1.16.1.1.1.1.1", agent.address()).find("noSuchName"), std::string::npos);
    EXPECT_NE(Get("1.3.6.1.4.1.1991.1.1.2.1.50.0", agent.address()).find("noSuchName"), std::string::npos);
    // Same communities as the suite's agent.
    int status = -1;
    harness::Run(std::string("snmpset -v1 -c ") + harness::kWriteCommunity + " -t 1 -r 0 -On -M /dev/null -m '' " +
                     agent.address() + " 1.3.6.1.2.1.1.6.0 s shelf >/dev/null 2>&1",
                 &status);
    EXPECT_EQ(status, 0);

    // One-second buckets appear while it runs.
    std::this_thread::sleep_for(std::chrono::milliseconds(2100));
    EXPECT_NE(Get("1.3.6.1.2.1.16.2.2.1.2.9.2", agent.address()).find("INTEGER: 2"), std::string::npos);
}

TEST(AgentProcess, SeveralRunSideBySideAndStopCompletely)
{
    QUILLON_REQUIRE_NETNS();
    pid_t firstPid = -1;
    std::string firstAddress;
    {
        harness::AgentProcess a("stats 1 lo\n");
        harness::AgentProcess b("stats 2 lo\n", "127.0.1.250");
        ASSERT_TRUE(a.running()) << a.error();
        ASSERT_TRUE(b.running()) << b.error();
        EXPECT_EQ(b.address(), "127.0.1.250");
        EXPECT_NE(a.address(), b.address());
        EXPECT_NE(Get("1.3.6.1.2.1.16.1.1.1.1.1", a.address()).find("INTEGER: 1"), std::string::npos);
        EXPECT_NE(Get("1.3.6.1.2.1.16.1.1.1.1.2", b.address()).find("INTEGER: 2"), std::string::npos);

        // The address is taken now: a second agent on it reports why it cannot start.
        harness::AgentProcess clash("stats 3 lo\n", "127.0.1.250");
        EXPECT_FALSE(clash.running());
        EXPECT_NE(clash.error().find("127.0.1.250"), std::string::npos) << clash.error();

        firstPid = a.pid();
        firstAddress = a.address();
    }
    EXPECT_NE(::kill(firstPid, 0), 0) << "snmpd is gone after the destructor";
    EXPECT_NE(Get("1.3.6.1.2.1.1.3.0", firstAddress).find("Timeout"), std::string::npos);
}

TEST(AgentProcess, ListensOnAnIpv6AddressSetAsideForIt)
{
    QUILLON_REQUIRE_NETNS();
    harness::AgentProcess agent("foundry level=12 swing=0\n", "2001:db8:fffe::3");
    ASSERT_TRUE(agent.running()) << agent.error();
    EXPECT_NE(Get("1.3.6.1.4.1.1991.1.1.2.1.52.0", "udp6:[2001:db8:fffe::3]").find("Gauge32: 12"), std::string::npos);
    EXPECT_NE(harness::SnmpTool("snmpget", "1.3.6.1.4.1.1991.1.1.2.1.52.0", agent.address()).find("Gauge32: 12"),
              std::string::npos);
}

TEST(AgentProcess, ABrokenConfigurationIsReportedNotStarted)
{
    QUILLON_REQUIRE_NETNS();
    harness::AgentProcess agent("stats 1 lo\nhistory 2 no-such-interface 10 10\n");
    EXPECT_FALSE(agent.running());
    EXPECT_NE(agent.error().find("line 2"), std::string::npos) << agent.error();
    EXPECT_NE(agent.error().find("no-such-interface"), std::string::npos) << agent.error();

    harness::AgentProcess nowhere("stats 1 lo\n", "192.0.2.77");  // not an address of the namespace
    EXPECT_FALSE(nowhere.running());
    EXPECT_FALSE(nowhere.error().empty());
}

TEST(Namespace, HasTheAddressesTheSuiteUses)
{
    QUILLON_REQUIRE_NETNS();
    std::string lo = harness::Run("ip -o addr show dev lo");
    for (const char* a : {"127.0.0.1/8", "::1/128", "2001:db8:ffff::1/128", "2001:db8:ffff::10/128",
                          "2001:db8:ffff::16/128"})
        EXPECT_NE(lo.find(a), std::string::npos) << a << " in\n" << lo;
    std::string links = harness::Run("ip -o link");
    for (const char* dev : {"qv0", "qv1", "qv2", "qv3"})
        EXPECT_NE(links.find(std::string(dev) + "@"), std::string::npos) << dev;
    // Setting the network up again changes nothing and fails nothing.
    int status = -1;
    harness::Run("bash " + harness::SourceDir() + "/tests/support/agent/netsetup.sh 2>&1", &status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(harness::Run("ip -o addr show dev lo"), lo);
}
