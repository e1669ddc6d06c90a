// User-defined objects over SNMPv3 (SHA-512 at authNoPriv): Counter32,
// Counter64, Gauge32 and TimeTicks objects sampled by their tag, each
// answer bracketed by or equal to what snmpget -v3 reads as the same user.

#include "mibcore/engine/CSnmpBerList.h"
#include "tests/mibcore/usm/UsmUsers.h"
#include "tests/plugins/userplug/UserHarness.h"

using namespace usertest;

namespace {

class UserV3Test : public UserWindowTest {
protected:
    void SetUp() override
    {
        UserWindowTest::SetUp();
        if (HasFatalFailure())
            return;
        QUILLON_REQUIRE_NETNS();
        UseAgent(harness::kAgentV4, 2, 3, 1, 500000);
    }
};

TEST_F(UserV3Test, ObjectsAreSampledLikeSnmpgetV3Reads)
{
    const usmtest::User& u = usmtest::UserNamed("quillon-sha512");
    ASSERT_TRUE(usmtest::UseV3(*MIBAgent::getInstance(), u));
    UserWindow w = OpenUser();
    ASSERT_TRUE(w);
    struct Object {
        const char* text;
        const char* oid;
        int tag;
    } const objects[] = {{"ifInOctets.1", "1.3.6.1.2.1.2.2.1.10.1", CSnmpBer::TagCounter},
                         {"1.3.6.1.2.1.31.1.1.1.6.1", "1.3.6.1.2.1.31.1.1.1.6.1", CSnmpBer::TagCounter64},
                         {"ifSpeed.1", "1.3.6.1.2.1.2.2.1.5.1", CSnmpBer::TagGauge},
                         {"sysUpTime.0", "1.3.6.1.2.1.1.3.0", CSnmpBer::TagTimeTicks}};
    std::vector<std::string> counters = {objects[0].oid, objects[1].oid};
    auto oracle = [&] {
        std::vector<uint64_t> v;
        for (const std::string& l : usmtest::OracleValues(u, harness::kAgentV4, counters))
            v.push_back(std::stoull(l));
        EXPECT_EQ(v.size(), 2u);
        v.resize(2);
        return v;
    };
    auto answers = [&] {
        std::vector<uint64_t> v;
        for (int i = 0; i < 2; ++i) {
            const CSnmpBer& b = w.doc->state().current[size_t(i)];
            v.push_back(i == 0 ? b.GetULong() : b.GetULong64());
        }
        return v;
    };
    for (const Object& o : objects)
        ASSERT_TRUE(Add(w, o.text)) << o.text;
    w.list->Poll();  // every object's first answer: its base
    const std::vector<uint64_t> a1 = answers();
    const std::vector<uint64_t> s1 = oracle();
    w.list->Poll();
    const std::vector<uint64_t> a2 = answers();
    const std::vector<uint64_t> s2 = oracle();
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(objects[i].text);
        EXPECT_EQ(int(w.doc->getUserSeries(i)->getTagType()), objects[i].tag);
        EXPECT_EQ(w.doc->getSeries(i)->getValatTime()[60].getErrIdx(), 0);
        EXPECT_EQ(Cell(w, i, 2), std::string("0(") + CSnmpBerList::ErrMsg(0) + ")");
    }
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(objects[i].text);
        EXPECT_LE(a1[size_t(i)], s1[size_t(i)]);
        EXPECT_LE(s1[size_t(i)], a2[size_t(i)]);
        EXPECT_LE(a2[size_t(i)], s2[size_t(i)]);
        EXPECT_EQ(w.doc->getSeries(i)->getValatTime()[60].getVal(), a2[size_t(i)] - a1[size_t(i)]);
    }
    const std::vector<std::string> speed = usmtest::OracleValues(u, harness::kAgentV4, {objects[2].oid});
    ASSERT_EQ(speed.size(), 1u);
    EXPECT_EQ(std::to_string(w.doc->getSeries(2)->getValatTime()[60].getVal()), speed[0]);
    EXPECT_TRUE(messages.Texts().empty());
}

}  // namespace
