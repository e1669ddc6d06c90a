// The tree browser over SNMPv3: for every user of the namespace snmpd the
// walk shows the instances snmpbulkwalk -v3 reads, and a refusal shows its
// text instead of a timeout.

#include "mibcore/engine/CSnmpBerList.h"
#include "mibcore/engine/SnmpData.h"
#include "tests/mibcore/usm/UsmUsers.h"
#include "tests/plugins/treeplug/TreeHarness.h"

using namespace treetest;

namespace {

class TreeV3Test : public TreeTest {
protected:
    void SetUp() override
    {
        TreeTest::SetUp();
        UseAgent(harness::kAgentV4);
    }
};

// The numeric names snmpbulkwalk -v3 prints for a subtree.
std::vector<std::string> OracleOids(const usmtest::User& u, const char* oid)
{
    std::vector<std::string> out;
    for (const std::string& l : harness::Lines(harness::Run("snmpbulkwalk -On -M /dev/null -m '' " +
                                                            usmtest::OracleArgs(u) + " " + harness::kAgentV4 +
                                                            " " + oid + " 2>&1"))) {
        const auto eq = l.find(" = ");
        if (!l.empty() && l[0] == '.' && eq != std::string::npos)
            out.push_back(l.substr(1, eq - 1));
    }
    return out;
}

TEST_F(TreeV3Test, EveryUserWalksWhatSnmpbulkwalkReads)
{
    QUILLON_REQUIRE_NETNS();
    Window w = Open();
    ASSERT_TRUE(w);
    for (const usmtest::User& u : usmtest::kUsers) {
        SCOPED_TRACE(u.name);
        ASSERT_TRUE(usmtest::UseV3(*MIBAgent::getInstance(), u));
        ASSERT_TRUE(Walk(w, "mgmt.mib-2.system"));
        const std::vector<Row> rows = Rows(w);
        const std::vector<std::string> want = OracleOids(u, "1.3.6.1.2.1.1");
        ASSERT_FALSE(want.empty());
        ASSERT_EQ(rows.size(), want.size());
        for (size_t i = 0; i < rows.size(); ++i)
            EXPECT_EQ(rows[i][3], want[i]);
        EXPECT_TRUE(Messages().empty()) << Messages().front();
    }
}

TEST_F(TreeV3Test, WrongPassphraseShowsItsMessage)
{
    QUILLON_REQUIRE_NETNS();
    UseAgent(harness::kAgentV4, 2, 1, 0, 300000);
    Window w = Open();
    ASSERT_TRUE(w);
    const usmtest::User& md5 = usmtest::kUsers[1];
    ASSERT_TRUE(usmtest::UseV3(*MIBAgent::getInstance(), md5, "not-the-passphrase", "", md5.level));
    ASSERT_TRUE(Walk(w, "mgmt.mib-2.system"));
    EXPECT_TRUE(Rows(w).empty());
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0], std::string(CSnmpBerList::ErrMsg(snmpengine::V3WrongDigest)) + "\n1.3.6.1.2.1.1");
}

}  // namespace
