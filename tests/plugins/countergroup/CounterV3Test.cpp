// Counter-group windows over SNMPv3: each answer lies between what
// snmpget -v3 (same user) and snmpget -v2c read around its cycle, the
// refusals of a wrong passphrase, an unknown user or a level the user lacks
// show their texts in the open window without holding its next tick, and a
// window polling an snmpd that restarts goes on after it.

#include <chrono>

#include "mibcore/engine/CSnmpBerList.h"
#include "mibcore/engine/SnmpData.h"
#include "mibcore/engine/V3Session.h"
#include "tests/mibcore/usm/UsmUsers.h"
#include "tests/plugins/countergroup/WindowHarness.h"
#include "tests/support/AgentProcess.h"

using namespace cgtest;

namespace {

std::vector<std::string> Dotted(const countergroup::GroupConstants& c)
{
    std::vector<std::string> out;
    for (int j = 0; j < c.objectCount(); ++j) {
        std::string d;
        for (unsigned long a : c.oidOf(j))
            d += (d.empty() ? "" : ".") + std::to_string(a);
        out.push_back(d);
    }
    return out;
}

std::vector<uint32_t> Numbers(const std::vector<std::string>& lines)
{
    std::vector<uint32_t> v;
    for (const std::string& l : lines)
        v.push_back(uint32_t(std::stoul(l)));
    return v;
}

std::vector<uint32_t> ViaV2c(const std::vector<std::string>& oids, const std::string& address)
{
    std::string cmd = std::string("snmpget -v2c -c ") + harness::kReadCommunity + " -Oqv -M /dev/null -m '' " + address;
    for (const std::string& o : oids)
        cmd += " " + o;
    return Numbers(harness::Lines(harness::Run(cmd + " 2>/dev/null")));
}

std::vector<uint32_t> Answers(const Window& w)
{
    std::vector<uint32_t> v;
    for (int j = 0; j < w.doc->getObjectCount(); ++j)
        v.push_back(uint32_t(w.doc->state().current[size_t(j)].GetULong()));
    return v;
}

// Datagrams the agent has taken in (snmpInPkts), read over v2c: one
// datagram for the read itself, which the callers take off.
uint32_t AgentPackets(const std::string& address)
{
    const std::vector<uint32_t> v = ViaV2c({"1.3.6.1.2.1.11.1.0"}, address);
    return v.size() == 1 ? v[0] : 0;
}

// Datagrams one tick of the window sends to the agent.
uint32_t TickPackets(Window& w, const std::string& address)
{
    const uint32_t before = AgentPackets(address);
    w.list->Poll();
    return AgentPackets(address) - before - 1;
}

std::string ErrText(int code) { return std::to_string(code) + "(" + CSnmpBerList::ErrMsg(code) + ")"; }

class CounterV3Test : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        if (HasFatalFailure())
            return;
        QUILLON_REQUIRE_NETNS();
        UseAgent(harness::kAgentV4, 2, 3, 1, 500000);
    }
    harness::MessageLog messages;
};

// One user per window, so two levels cost two windows.
TEST_F(CounterV3Test, SamplesLieBetweenSnmpgetV3AndV2c)
{
    struct Case {
        const char* window;
        const char* user;
    } const cases[] = {{"SNMP情報", "quillon-none"}, {"UDP情報", "quillon-sha512-aes256"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.user);
        const usmtest::User& u = usmtest::UserNamed(c.user);
        ASSERT_TRUE(usmtest::UseV3(*MIBAgent::getInstance(), u));
        Window w = Open(c.window, false);
        ASSERT_TRUE(w);
        const std::vector<std::string> oids = Dotted(w.doc->constants());
        const size_t n = oids.size();

        const std::vector<uint32_t> s0 = Numbers(usmtest::OracleValues(u, harness::kAgentV4, oids));
        w.doc->UpdateAllViews(nullptr, countergroup::kHintStart);
        w.doc->FinishPollCycle();
        const std::vector<uint32_t> a1 = Answers(w);
        const std::vector<uint32_t> s1 = ViaV2c(oids, harness::kAgentV4);
        w.list->Poll();
        const std::vector<uint32_t> a2 = Answers(w);
        const std::vector<uint32_t> s2 = Numbers(usmtest::OracleValues(u, harness::kAgentV4, oids));
        ASSERT_EQ(s0.size(), n);
        ASSERT_EQ(s1.size(), n);
        ASSERT_EQ(s2.size(), n);
        for (size_t j = 0; j < n; ++j) {
            SCOPED_TRACE(oids[j]);
            EXPECT_LE(s0[j], a1[j]);
            EXPECT_LE(a1[j], s1[j]);
            EXPECT_LE(s1[j], a2[j]);
            EXPECT_LE(a2[j], s2[j]);
            const ValatTime& slot = w.doc->getSeries(int(j))->getValatTime()[60];
            EXPECT_EQ(slot.getErrIdx(), 0);
            EXPECT_EQ(slot.getVal(), a2[j] - a1[j]);
            EXPECT_EQ(w.list->GetListCtrl().GetItemText(int(j), 2).toStdString(), ErrText(0));
        }
        Close(w);
    }
    EXPECT_TRUE(messages.Texts().empty());
}

// Each refusal in the list pane of an open window, on the first object and
// the next ones up to the budget (3), the rest skipped; a second tick ends
// as soon and says the same.
TEST_F(CounterV3Test, RefusalsShowTheirTextsAndTheNextTickEnds)
{
    const std::vector<usmtest::Refusal> cases = usmtest::Refusals(usmtest::UserNamed("quillon-sha256-aes128"));
    // Time-outs of 0.3 s, one attempt: a silent cycle is 4 requests, 1.2 s.
    UseAgent(harness::kAgentV4, 2, 3, 0, 300000);
    for (const usmtest::Refusal& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(usmtest::UseV3(*MIBAgent::getInstance(), c.user, c.authPass, c.privPass, c.level));
        Window w = Open("SNMP情報");
        ASSERT_TRUE(w);
        const int n = w.doc->getObjectCount();
        for (int cycle = 0; cycle < 2; ++cycle) {
            if (cycle == 1) {
                const auto start = std::chrono::steady_clock::now();
                w.list->Poll();
                EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(4));
            }
            for (int j = 0; j < n; ++j) {
                const int want = j <= 3 ? c.code : countergroup::kSkippedAfterFailures;
                EXPECT_EQ(w.doc->getSeries(j)->getValatTime()[60].getErrIdx(), want) << j;
                EXPECT_EQ(w.list->GetListCtrl().GetItemText(j, 2).toStdString(), ErrText(want)) << j;
            }
        }
        EXPECT_NE(std::string(CSnmpBerList::ErrMsg(c.code)), "");
        Close(w);
    }
    EXPECT_TRUE(messages.Texts().empty());
}

// An snmpd that restarts (same engine, boots + 1, its clock from 0) while
// the window polls: the first tick after it resynchronises by itself and
// every later sample is good again, the extra datagrams paid once; an
// agent away for a few ticks gives plain time-outs meanwhile, each tick
// bounded, then a new base and good samples. The engine ends with the new
// boots and the new clock.
TEST_F(CounterV3Test, WindowGoesOnAfterTheAgentRestarts)
{
    const usmtest::User& u = usmtest::UserNamed("quillon-sha512-aes256");
    const char* const bootsOid = "1.3.6.1.6.3.10.2.1.2.0";
    const char* const timeOid = "1.3.6.1.6.3.10.2.1.3.0";
    for (const int ticksAway : {0, 2}) {
        SCOPED_TRACE(ticksAway);
        harness::AgentProcess agent("");
        ASSERT_TRUE(agent.running()) << agent.error();
        // Time-outs of 0.3 s, one attempt: a silent tick stays short.
        UseAgent(agent.address(), 2, 3, 0, 300000);
        ASSERT_TRUE(usmtest::UseV3(*MIBAgent::getInstance(), u));
        // Kernel UDP counters: they go on rising across the agent's restart.
        Window w = Open("UDP情報", false);
        ASSERT_TRUE(w);
        const int n = w.doc->getObjectCount();
        w.doc->UpdateAllViews(nullptr, countergroup::kHintStart);
        w.doc->FinishPollCycle();
        w.list->Poll();
        const uint32_t steady = TickPackets(w, agent.address());
        ASSERT_GT(steady, 0u);
        const std::vector<std::string> boots0 = usmtest::OracleValues(u, agent.address(), {bootsOid});
        ASSERT_EQ(boots0.size(), 1u);

        agent.Halt();
        for (int t = 0; t < ticksAway; ++t) {
            const auto start = std::chrono::steady_clock::now();
            w.list->Poll();
            EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(4));
            // A plain time-out: the window does not blame the passphrase.
            for (int j = 0; j < n; ++j)
                EXPECT_EQ(w.doc->getSeries(j)->getValatTime()[60].getErrIdx(), snmpengine::RecvTimeout);
            EXPECT_EQ(w.list->GetListCtrl().GetItemText(0, 2).toStdString(), ErrText(snmpengine::RecvTimeout));
        }
        ASSERT_TRUE(agent.Resume()) << agent.error();

        // After failed ticks the first good one only lays a new base.
        const std::vector<std::string> oids = Dotted(w.doc->constants());
        for (int tick = 0; tick < 2; ++tick) {
            const int want = tick == 0 && ticksAway > 0 ? countergroup::kCounterInitialised : 0;
            const std::vector<uint32_t> before = Numbers(usmtest::OracleValues(u, agent.address(), oids));
            // The first tick pays once for finding the agent again (a
            // discovery probe and one resent request at most); the next
            // one costs what a tick cost before the restart.
            const uint32_t sent = TickPackets(w, agent.address());
            if (tick == 0)
                EXPECT_LE(sent, steady + 2);
            else
                EXPECT_EQ(sent, steady);
            const std::vector<uint32_t> got = Answers(w);
            const std::vector<uint32_t> after = Numbers(usmtest::OracleValues(u, agent.address(), oids));
            ASSERT_EQ(before.size(), size_t(n));
            ASSERT_EQ(after.size(), size_t(n));
            for (int j = 0; j < n; ++j) {
                SCOPED_TRACE(oids[size_t(j)]);
                EXPECT_EQ(w.doc->getSeries(j)->getValatTime()[60].getErrIdx(), want) << "tick " << tick;
                EXPECT_EQ(w.list->GetListCtrl().GetItemText(j, 2).toStdString(), ErrText(want));
                EXPECT_LE(before[size_t(j)], got[size_t(j)]);
                EXPECT_LE(got[size_t(j)], after[size_t(j)]);
            }
        }
        const std::vector<std::string> boots1 = usmtest::OracleValues(u, agent.address(), {bootsOid});
        ASSERT_EQ(boots1.size(), 1u);
        EXPECT_EQ(std::stol(boots1[0]), std::stol(boots0[0]) + 1);
        {
            snmpengine::V3Session* s = MIBAgent::getInstance()->getV3Session();
            ASSERT_NE(s, nullptr);
            std::lock_guard<std::recursive_mutex> g(s->Lock());
            EXPECT_EQ(s->Security().Boots(), std::stol(boots1[0]));
            // Its clock follows the new one, started near 0, not the old.
            const std::vector<std::string> time1 = usmtest::OracleValues(u, agent.address(), {timeOid});
            ASSERT_EQ(time1.size(), 1u);
            EXPECT_NEAR(double(s->Security().EstimatedTime()), double(std::stol(time1[0])), 3.0);
            EXPECT_LT(s->Security().EstimatedTime(), 60);
        }
        Close(w);
    }
    EXPECT_TRUE(messages.Texts().empty());
}

}  // namespace
