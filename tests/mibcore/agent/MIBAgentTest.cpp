// Agent settings, application constants and the agent probe.

#include <string>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <vector>

#include "mibcore/agent/AgentPort.h"
#include "mibcore/agent/AppConstants.h"
#include "tests/mibcore/engine/EngineFixture.h"

using namespace faultpeer;

namespace {

void Scramble(MIBAgent* a)
{
    a->setAddr("2001:db8::9");
    a->setReadCommunity("r-x");
    a->setWriteCommunity("w-x");
    a->setSendErrCnt(11);
    a->setRecvErrCnt(12);
    a->setTvSec(13);
    a->setTvUSec(14);
    a->setNetworkLayerType(23);
}

class Probe : public enginetest::AgentSettings {
protected:
    void SetUp() override
    {
        AgentSettings::SetUp();
        if (!harness::InNetns())
            GTEST_SKIP() << "needs the private network namespace: run ./test.sh";
    }
};

}  // namespace

// Each test runs in its own process, so this sees the library's start state.
TEST(MIBAgent, DefaultsOfBothInstances)
{
    for (MIBAgent* a : {MIBAgent::getInstance(), MIBAgent::getOldInstance()}) {
        EXPECT_EQ(a->getAddr(), "");
        EXPECT_EQ(a->getReadCommunity(), "cedrus");
        EXPECT_EQ(a->getWriteCommunity(), "cedrus");
        EXPECT_EQ(a->getSendErrCnt(), 3);
        EXPECT_EQ(a->getRecvErrCnt(), 3);
        EXPECT_EQ(a->getTvSec(), 0);
        EXPECT_EQ(a->getTvUSec(), 500000);
        EXPECT_EQ(a->getNetworkLayerType(), 2);
    }
    EXPECT_NE(MIBAgent::getInstance(), MIBAgent::getOldInstance());
    EXPECT_EQ(MIBAgent::getInstance(), MIBAgent::getInstance());
}

TEST(MIBAgent, SnapshotAndRestoreCoverEveryField)
{
    MIBAgent* now = MIBAgent::getInstance();
    Scramble(now);
    MIBAgent::copyNow2OldInstance();
    MIBAgent* old = MIBAgent::getOldInstance();
    EXPECT_EQ(old->getAddr(), "2001:db8::9");
    EXPECT_EQ(old->getNetworkLayerType(), 23);

    now->setAddr("10.0.0.1");
    now->setReadCommunity("a");
    now->setWriteCommunity("b");
    now->setSendErrCnt(0);
    now->setRecvErrCnt(0);
    now->setTvSec(0);
    now->setTvUSec(0);
    now->setNetworkLayerType(2);
    MIBAgent::copyOld2NowInstance();
    EXPECT_EQ(now->getAddr(), "2001:db8::9");
    EXPECT_EQ(now->getReadCommunity(), "r-x");
    EXPECT_EQ(now->getWriteCommunity(), "w-x");
    EXPECT_EQ(now->getSendErrCnt(), 11);
    EXPECT_EQ(now->getRecvErrCnt(), 12);
    EXPECT_EQ(now->getTvSec(), 13);
    EXPECT_EQ(now->getTvUSec(), 14);
    EXPECT_EQ(now->getNetworkLayerType(), 23);

    // The copies are independent, and text getters hand out the field.
    now->getAddr() = "changed";
    EXPECT_EQ(now->getAddr(), "changed");
    EXPECT_EQ(old->getAddr(), "2001:db8::9");
    *old = *now;
    EXPECT_EQ(old->getAddr(), "changed");
}

TEST(MIBAgent, NumbersStayIn32Bits)
{
    MIBAgent* a = MIBAgent::getInstance();
    a->setTvSec(0x100000005L);
    EXPECT_EQ(a->getTvSec(), 5);
    a->setTvUSec(-1);
    EXPECT_EQ(a->getTvUSec(), -1);
}

TEST(AppConstants, IntervalsByTimerCommand)
{
    AppConstants* c = AppConstants::getInstance();
    ASSERT_EQ(c, AppConstants::getInstance());
    const unsigned long expected[] = {5000, 15000, 30000, 60000, 300000};
    for (unsigned i = 0; i < 5; ++i) {
        EXPECT_EQ(AppConstants::m_menuList[i], 33225u + i);
        EXPECT_EQ(AppConstants::m_timeList[i], expected[i]);
        EXPECT_EQ(c->getInterval(33225 + i), expected[i]);
    }
    // Outside the menu: the default command's 15 s, never a read past the table.
    for (unsigned id : {0u, 33224u, 33230u, 4294967295u, 1u})
        EXPECT_EQ(c->getInterval(id), 15000u) << id;
}

TEST(AppConstants, StartDirectory)
{
    AppConstants* c = AppConstants::getInstance();
    EXPECT_EQ(c->getStartDir(), "");
    c->setStartDir("/opt/クイロン");
    EXPECT_EQ(AppConstants::getInstance()->getStartDir(), "/opt/クイロン");
}

// An installed copy is recognised by where its program lies; its folders
// follow the XDG variables only when they hold absolute paths.
TEST(AppConstants, LayoutFollowsWhereTheProgramLies)
{
    namespace fs = std::filesystem;
    const fs::path tmp = fs::temp_directory_path() / ("quillon-layout-" + std::to_string(::getpid()));
    fs::create_directories(tmp / "usr" / "bin");
    fs::create_directories(tmp / "usr" / "lib" / "quillon");
    fs::create_directories(tmp / "opt" / "bin");  // no lib/quillon beside it
    fs::create_directories(tmp / "build" / "lib");
    const std::string usr = (tmp / "usr").string();

    struct Case {
        std::string program;
        std::string prefix;
    };
    const Case cases[] = {
        {usr + "/bin/quillon", usr},
        {(tmp / "opt" / "bin" / "quillon").string(), ""},
        {(tmp / "build" / "quillon").string(), ""},
        {usr + "/lib/quillon/quillon", ""},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(AppConstants::InstallPrefixOf(c.program), c.prefix) << c.program;

    AppConstants* c = AppConstants::getInstance();
    const std::string savedStart = c->getStartDir();
    auto keep = [](const char* n) { const char* v = std::getenv(n); return v ? std::optional<std::string>(v) : std::nullopt; };
    const auto home = keep("HOME"), config = keep("XDG_CONFIG_HOME"), data = keep("XDG_DATA_HOME");

    ::setenv("HOME", "/home/op", 1);
    ::setenv("XDG_CONFIG_HOME", "/xdg/config", 1);
    ::setenv("XDG_DATA_HOME", "relative/data", 1);  // not absolute: ignored
    EXPECT_TRUE(c->setLayoutFor(usr + "/bin/quillon", "/work/dir"));
    EXPECT_TRUE(c->isInstalled());
    EXPECT_EQ(c->getStartDir(), "/work/dir");
    EXPECT_EQ(c->getIniPath("agent.ini"), "/xdg/config/quillon/agent.ini");
    EXPECT_EQ(c->getMibDirs(), (std::vector<std::string>{usr + "/share/quillon/mib", "/home/op/.local/share/quillon/mib"}));
    EXPECT_EQ(c->getUserMibDir(), "/home/op/.local/share/quillon/mib");
    EXPECT_EQ(c->getPluginDir(), usr + "/lib/quillon/plugins");
    EXPECT_EQ(c->getHelpDir(), usr + "/share/quillon/help");
    EXPECT_EQ(c->getFileDir(), "/home/op");

    ::unsetenv("XDG_CONFIG_HOME");
    ::setenv("XDG_DATA_HOME", "/xdg/data", 1);
    c->setInstalled(usr + "/");
    EXPECT_EQ(c->getIniDir(), "/home/op/.config/quillon");
    EXPECT_EQ(c->getMibDirs().back(), "/xdg/data/quillon/mib");
    EXPECT_EQ(c->getPluginDir(), usr + "/lib/quillon/plugins");

    // A build tree: everything below the working directory, as always.
    EXPECT_FALSE(c->setLayoutFor((tmp / "build" / "quillon").string(), "/work/dir"));
    EXPECT_FALSE(c->isInstalled());
    EXPECT_EQ(c->getIniPath("agent.ini"), "/work/dir/etc/ini/agent.ini");
    EXPECT_EQ(c->getMibDirs(), std::vector<std::string>{"/work/dir/etc/mib"});
    EXPECT_EQ(c->getPluginDir(), "/work/dir/lib");
    EXPECT_EQ(c->getHelpDir(), "/work/dir/doc/help");
    EXPECT_EQ(c->getFileDir(), "");

    auto restore = [](const char* n, const std::optional<std::string>& v) {
        v ? ::setenv(n, v->c_str(), 1) : ::unsetenv(n);
    };
    restore("HOME", home);
    restore("XDG_CONFIG_HOME", config);
    restore("XDG_DATA_HOME", data);
    c->setStartDir(savedStart);
    fs::remove_all(tmp);
}

// The demo's port is for the demo agent on loopback; a device elsewhere is
// asked on 161 in the same run. (ctest runs each test in a process of its
// own, so the variable is read here first.)
TEST(AgentPort, DemoPortOnlyForLoopbackAddresses)
{
    ::setenv("QUILLON_SNMP_PORT", "1161", 1);
    const struct {
        const char* addr;
        int port;
    } cases[] = {
        {"127.0.0.1", 1161}, {"127.1.2.3", 1161},   {"::1", 1161},       {"::ffff:127.0.0.1", 1161},
        {"192.0.2.7", 161},  {"2001:db8::1", 161},  {"128.0.0.1", 161},  {"::ffff:192.0.2.1", 161},
        {"", 161},           {"localhost", 161},    {"::2", 161},        {"126.255.255.255", 161},
    };
    for (const auto& c : cases)
        EXPECT_EQ(agentport::PortFor(c.addr), c.port) << c.addr;
}

TEST_F(Probe, AnswersOverIPv4AndIPv6)
{
    Use(harness::kAgentV4, 2, 1000000, 1);
    EXPECT_EQ(checkAgent(), 0);
    Use(harness::kAgentV6, 23, 1000000, 1);
    EXPECT_EQ(checkAgent(), 0);  // a fresh context: the socket follows the family
}

TEST_F(Probe, FailuresComeBackAsCodes)
{
    Use("");
    EXPECT_EQ(checkAgent(), 18);
    Use("agent.example");
    EXPECT_EQ(checkAgent(), 19);
    // snmpd ignores a v1 request with an unknown community: a time-out.
    MIBAgent* a = Use(harness::kAgentV4, 2, 200000, 1);
    a->setReadCommunity("not-the-community");
    EXPECT_EQ(checkAgent(), 21);
}

TEST_F(Probe, SendsOneGetForSysDescrAndTakesNoSuchName)
{
    FaultAgent peer;
    peer.setScript([](const Request& r, int) { return Reply(response(r, 2, 1, r.bindings)); });
    Use(peer, 300000, 3);
    EXPECT_EQ(checkAgent(), 2);
    const auto reqs = peer.requests();
    ASSERT_EQ(reqs.size(), 1u);
    ASSERT_TRUE(reqs[0].decoded);
    EXPECT_EQ(reqs[0].pduType, 0xA0);
    EXPECT_EQ(reqs[0].community, "cedrus");
    ASSERT_EQ(reqs[0].bindings.size(), 1u);
    EXPECT_EQ(formatOid(reqs[0].bindings[0].oid), "1.3.6.1.2.1.1.1.0");
    EXPECT_EQ(reqs[0].bindings[0].value, null());

    // Silence: RecvErrCnt + 1 waits, one datagram, code 21.
    peer.setScript(silent());
    peer.clearRequests();
    Use(peer, 100000, 3);
    EXPECT_EQ(checkAgent(), 21);
    EXPECT_EQ(peer.requestCount(), 1u);
}
