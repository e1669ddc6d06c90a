// Counter-group windows polling the namespace snmpd: the samples are the
// differences of the agent's own counters, read by an independent request
// context around each cycle, and the vendor gauges come from the extension
// helper from the first cycle on.

#include <ctime>

#include "mibcore/engine/CSnmpBerList.h"
#include "mibcore/engine/MIBBasicItem.h"
#include "mibcore/engine/SnmpData.h"
#include "plugins/countergroup/CounterLogic.h"
#include "tests/plugins/countergroup/WindowHarness.h"

using namespace cgtest;

namespace {

class CounterAgentTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        if (HasFatalFailure())
            return;
        QUILLON_REQUIRE_NETNS();
        UseAgent(harness::kAgentV4, 2, 3, 3, 500000);
    }

    // The agent's values of every object of the window, read with a request
    // context of the test's own.
    std::vector<uint32_t> Oracle(const countergroup::GroupConstants& c)
    {
        std::vector<uint32_t> v;
        for (int j = 0; j < c.objectCount(); ++j) {
            std::vector<unsigned long> oid = c.oidOf(j);
            CSnmpBer b = countergroup::MakeRequestBindings(oid.data(), int(oid.size()));
            int keep = 1;
            int rc = SnmpData(MIBAgent::getInstance(), &m_oracle, b, 0xA0, &keep);
            EXPECT_EQ(rc, 0) << c.objects[size_t(j)].name;
            CSnmpBer value;
            EXPECT_EQ(countergroup::TakeReplyValue(b, oid.data(), int(oid.size()), value), 0);
            v.push_back(uint32_t(value.GetULong()));
        }
        return v;
    }

    // minFirst: the least increase of the first object between the cycles.
    void CheckTwoCycles(const std::string& name, uint32_t minFirst)
    {
        Window w = Open(name, false);
        ASSERT_TRUE(w);
        const countergroup::GroupConstants& c = w.doc->constants();
        const int n = c.objectCount();

        std::vector<uint32_t> s0 = Oracle(c);
        w.doc->UpdateAllViews(nullptr, countergroup::kHintStart);  // cycle 1
        w.doc->FinishPollCycle();
        std::vector<uint32_t> a1;
        for (int j = 0; j < n; ++j)
            a1.push_back(uint32_t(w.doc->state().current[size_t(j)].GetULong()));
        std::vector<uint32_t> s1 = Oracle(c);
        const long t1 = long(std::time(nullptr));
        w.list->Poll();  // cycle 2
        const long t2 = long(std::time(nullptr));
        std::vector<uint32_t> s2 = Oracle(c);

        for (int j = 0; j < n; ++j) {
            SCOPED_TRACE(c.objects[size_t(j)].name);
            const uint32_t a2 = uint32_t(w.doc->state().current[size_t(j)].GetULong());
            // Counters only grow: each answer lies between the readings
            // taken around its cycle.
            EXPECT_LE(s0[size_t(j)], a1[size_t(j)]);
            EXPECT_LE(a1[size_t(j)], s1[size_t(j)]);
            EXPECT_LE(s1[size_t(j)], a2);
            EXPECT_LE(a2, s2[size_t(j)]);
            const ValatTime& slot = w.doc->getSeries(j)->getValatTime()[60];
            EXPECT_EQ(slot.getVal(), a2 - a1[size_t(j)]);
            EXPECT_EQ(slot.getErrIdx(), 0);
            EXPECT_GE(slot.getTime(), t1);
            EXPECT_LE(slot.getTime(), t2);
            const ValatTime& before = w.doc->getSeries(j)->getValatTime()[59];
            EXPECT_EQ(before.getTime(), 0);
            EXPECT_EQ(before.getErrIdx(), 16);
            EXPECT_EQ(w.list->GetListCtrl().GetItemText(j, 0).toStdString(), c.objects[size_t(j)].name);
            EXPECT_EQ(w.list->GetListCtrl().GetItemText(j, 1).toStdString(), std::to_string(a2 - a1[size_t(j)]));
            EXPECT_EQ(w.list->GetListCtrl().GetItemText(j, 2).toStdString(), "0(エラーなし)");
        }
        EXPECT_GE(w.doc->getSeries(0)->getValatTime()[60].getVal(), minFirst);
        // The first slot with a time shows in the status bar.
        platform::CmdUI ui(countergroup::kStatusPaneTime);
        platform::UpdateCommand(w.frame, ui);
        EXPECT_EQ(ui.GetText().size(), 19u);
    }

    MIBBasicItem m_oracle;
};

}  // namespace

TEST_F(CounterAgentTest, UdpWindowSamplesAreIncreasesOfTheAgentsCounters)
{
    // The agent caches its UDP statistics for a few seconds, so they need
    // not move between two quick cycles.
    CheckTwoCycles("UDP情報", 0);
}

TEST_F(CounterAgentTest, SnmpWindowSamplesAreIncreasesOfTheAgentsCounters)
{
    // snmpInPkts counts at least our own requests between the two reads of
    // it: 26 of the first cycle, 27 of the oracle and the next one.
    CheckTwoCycles("SNMP情報", 26 + 27 + 1);
}

TEST_F(CounterAgentTest, VendorGaugesFromTheFirstCycle)
{
    for (const char* name : {"CISCO情報", "Foundry情報"}) {
        SCOPED_TRACE(name);
        Window w = Open(name);
        ASSERT_TRUE(w);
        for (int i = 0; i < w.doc->getObjectCount(); ++i) {
            const ValatTime& s = w.doc->getSeries(i)->getValatTime()[60];
            EXPECT_EQ(s.getErrIdx(), 0) << i;
            EXPECT_LE(s.getVal(), 100u) << i;
            EXPECT_NE(s.getTime(), 0) << i;
            EXPECT_EQ(w.list->GetListCtrl().GetItemText(i, 1).toStdString(), std::to_string(s.getVal()));
        }
        // The oracle agrees on the kind of value: net-snmp reads a Gauge32.
        std::vector<unsigned long> oid = w.doc->constants().oidOf(0);
        std::string dotted;
        for (unsigned long a : oid)
            dotted += "." + std::to_string(a);
        std::string out = harness::SnmpTool("snmpget", dotted);
        EXPECT_NE(out.find("Gauge32"), std::string::npos) << out;
        Close(w);
    }
}
