// The tables window against peers snmpd cannot play: chosen ifSpeed and
// ifType rows, an agent that answers every walk with an error, and a
// silent one.

#include "mibcore/engine/CSnmpBerList.h"
#include "tests/plugins/ifplug/IfHarness.h"
#include "tests/support/faultpeer/FaultAgent.h"

using namespace iftest;
using namespace faultpeer;

namespace {

class IfFaultTest : public IfWindowTest {
protected:
    void SetUp() override
    {
        IfWindowTest::SetUp();
        if (HasFatalFailure())
            return;
        QUILLON_REQUIRE_NETNS();
    }

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
            mib->set(col(6), octets(std::string("\x02\x00\x5e\x00\x53", 5) + char(i)));
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
    EXPECT_TRUE(messages.empty());
    const std::vector<std::vector<std::string>> want = {
        {"1", "if1", "9999", "1500", "0.0kbps", "02:00:5e:00:53:01", "up(1)", "0"},
        {"2", "if2", "ethernet-csmacd(6)", "1500", "1000.0kbps", "02:00:5e:00:53:02", "down(2)", "0"},
        {"3", "if3", "ethernet-csmacd(6)", "1500", "1.0Mbps", "02:00:5e:00:53:03", "up(1)", "0"},
        {"4", "if4", "ethernet-csmacd(6)", "1500", "10.0Mbps", "02:00:5e:00:53:04", "up(1)", "0"},
        {"5", "if5", "ethernet-csmacd(6)", "1500", "4295.0Mbps", "02:00:5e:00:53:05", "up(1)", "0"},
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
        messages.clear();
        FaultAgent peer;
        peer.setScript(c.script);
        UseAgent(peer.address(), peer.settingsFamily(), 0, 50000);
        TablesWindow w = Open();
        ASSERT_TRUE(w);
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_EQ(messages[0], std::string("interfaces情報を取得できませんでした。理由は⇒") + CSnmpBerList::ErrMsg(c.error));
        EXPECT_EQ(w.view->currentTable(), ifplug::kCmdIfTable);
        EXPECT_TRUE(Shown(w).empty());
        EXPECT_TRUE(w.frame->isVisible());
        // Only the four walks that do not need interfaces were tried, each
        // giving up after its first failure.
        EXPECT_EQ(peer.requestCount(), 4u);
        platform::App::CloseAllDocuments();
    }
}

}  // namespace
