// Object names as operators type them, against the real MIB modules, and
// the XML file's bytes both ways.

#include <gtest/gtest.h>

#include <unistd.h>

#include "mibcore/mibtree/MIBTree.h"
#include "plugins/userplug/ObjectNames.h"
#include "plugins/userplug/UserXml.h"
#include "snmpval/Cp932.h"
#include "tests/support/Harness.h"

using namespace userplug;

namespace {

class ObjectNamesTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ASSERT_EQ(chdir(harness::BuildDir().c_str()), 0);
        MIBTree::Initialize();
        int show = 0;
        MIBTree::LoadMIBTree(harness::BuildDir() + "/etc/mib/rmon.mib", show);
    }
    static void TearDownTestSuite() { MIBTree::Finalize(); }
    static std::string Resolve(const std::string& text, int capacity = 64)
    {
        unsigned long oid[128];
        int n = ResolveObjectId(text, oid, capacity);
        std::string out;
        for (int i = 0; i < n; ++i)
            out += (i ? "." : "") + std::to_string(oid[i]);
        return out;
    }
};

}  // namespace

TEST_F(ObjectNamesTest, BareFullNumericAndMixedFormsAgree)
{
    struct Case {
        const char* text;
        const char* oid;  // "" refused
    } cases[] = {
        {"sysUpTime.0", "1.3.6.1.2.1.1.3.0"},
        {"iso.org.dod.internet.mgmt.mib-2.system.sysUpTime.0", "1.3.6.1.2.1.1.3.0"},
        {"1.3.6.1.2.1.1.3.0", "1.3.6.1.2.1.1.3.0"},
        {"iso.3.dod.1.mgmt.1.system.3.0", "1.3.6.1.2.1.1.3.0"},
        {"ifInOctets.1", "1.3.6.1.2.1.2.2.1.10.1"},
        {"ifEntry.ifInOctets.7", "1.3.6.1.2.1.2.2.1.10.7"},
        {"system", "1.3.6.1.2.1.1"},
        {"etherStatsPkts.1", "1.3.6.1.2.1.16.1.1.1.5.1"},
        // Below an unknown component only numbers go on.
        {"sysUpTime.0.5", "1.3.6.1.2.1.1.3.0.5"},
        {"sysUpTime.nothing", ""},
        {"noSuchObjectAnywhere.0", ""},
        {"", ""},
        {".", ""},
        {"4294967296.1", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Resolve(c.text), c.oid) << c.text;
    // Capacity holds for bare names too: their path counts.
    EXPECT_EQ(Resolve("sysUpTime.0", 9), "1.3.6.1.2.1.1.3.0");
    EXPECT_EQ(Resolve("sysUpTime.0", 8), "");
}

TEST_F(ObjectNamesTest, ANameDefinedTwiceResolvesToTheSmallerOid)
{
    // A second node named "sysUpTime" further on in the tree.
    unsigned long enterprises[7];
    ASSERT_EQ(GetStr2Oid("1.3.6.1.4.1", enterprises, 7), 6);
    MIBTree* ent = MIBTree::gettop()->Find("enterprises");
    ASSERT_NE(ent, nullptr);
    auto* dup = new MIBTree("sysUpTime", 4242);
    ASSERT_EQ(ent->AddChild(dup), 1);
    EXPECT_EQ(Resolve("sysUpTime.0"), "1.3.6.1.2.1.1.3.0");
}

TEST(UserXml, SaveAndParseAgree)
{
    UserList list;
    list.timeId = 33227;
    list.interval = 30000;
    list.historyNum = 61;
    list.objects = {{"sysUpTime.0", {0, 2, 0, 0x0000FF}},
                    {"利用者の名前", {2, 1, 0, 0x80FF00}}};
    const std::string bytes = BuildUserXml(list);
    EXPECT_EQ(bytes.rfind("<?xml version='1.0' encoding='Shift_JIS'?>", 0), 0u);
    EXPECT_NE(bytes.find(cp932::FromUtf8("<OidName>利用者の名前</OidName>")), std::string::npos);
    EXPECT_NE(bytes.find("<OidPenColor>00FF80</OidPenColor>"), std::string::npos);
    EXPECT_EQ(bytes.find('\n', bytes.find("<Quillon")), std::string::npos);  // no whitespace between elements

    const UserXmlRead r = ParseUserXml(bytes);
    ASSERT_EQ(r.status, UserXmlRead::Ok);
    EXPECT_TRUE(r.hasTimeId);
    EXPECT_EQ(r.timeId, 33227);
    EXPECT_EQ(r.historyNum, 61);
    ASSERT_EQ(r.objects.size(), 2u);
    EXPECT_EQ(r.objects[1].name, "利用者の名前");
    EXPECT_EQ(r.objects[1].pen, list.objects[1].pen);
    EXPECT_TRUE(r.notes.empty());
}

TEST(UserXml, ColourTextsAndPenRanges)
{
    struct Case {
        const char* text;
        bool ok;
        platform::ColorRef colour;
    } cases[] = {
        {"00FF00", true, 0x00FF00}, {"FF0000", true, 0x0000FF}, {" 123456 ", true, 0x563412},
        {"abcdef", true, 0xEFCDAB}, {"zz", false, 0},           {"", false, 0},
    };
    for (const Case& c : cases) {
        platform::ColorRef got = 0;
        EXPECT_EQ(ParseColourText(c.text, got), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(got, c.colour) << c.text;
        }
    }
    // Pens outside what the colour dialog offers are brought into range.
    const UserXmlRead r = ParseUserXml(
        "<Quillon><UserMIB><Oid><OidName>1.3</OidName><OidPen><OidPenStyle>9</OidPenStyle>"
        "<OidPenWidth>99</OidPenWidth><OidPenColor>zzzzzz</OidPenColor></OidPen></Oid></UserMIB></Quillon>");
    ASSERT_EQ(r.objects.size(), 1u);
    EXPECT_EQ(r.objects[0].pen, (platform::LogPen{platform::PS_SOLID, 3, 0, 0x0000FF}));
}
