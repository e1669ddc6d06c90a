// Text forms of OIDs against the tree that start-up builds from our
// mib-2.mib, and the token splitter they share.

#include "TreeFixture.h"

#include <list>

using namespace mibtest;

namespace {

class OidTextTest : public MibTreeTest {
protected:
    void SetUp() override
    {
        MibTreeTest::SetUp();
        InitStandard();
        ASSERT_NE(MIBTree::gettop()->Find("sysDescr"), nullptr) << "etc/mib/mib-2.mib not found in the working directory";
    }
    static std::string N2S(const std::string& oid)
    {
        std::string out;
        MIBTree::OidStr2Str(oid, out);
        return out;
    }
    static std::string S2N(const std::string& oid)
    {
        std::string out;
        MIBTree::Str2OidStr(oid, out);
        return out;
    }
    static std::string Names(const std::string& oid)
    {
        std::string out = "stale";
        GetOid2Str(oid, out);
        return out;
    }
    static std::string Rubi(const std::string& oid)
    {
        std::string out = "stale";
        GetOid2StrRubi(oid, out);
        return out;
    }
    static std::vector<unsigned long> Parse(const std::string& text, int capacity = 128)
    {
        std::vector<unsigned long> arcs(capacity + 1, 0xDEADul);
        int n = GetStr2Oid(text, arcs.data(), capacity);
        EXPECT_EQ(arcs[capacity], 0xDEADul) << "wrote past the capacity";
        arcs.resize(n > 0 ? n : 0);
        return arcs;
    }
};

}  // namespace

TEST(StrTokenTest, SplitsAppendsAndCountsTheWholeContainer)
{
    std::list<std::string> list{"kept"};
    EXPECT_EQ(StrToken("..1..3.", ".", list), 3);
    EXPECT_EQ(list, (std::list<std::string>{"kept", "1", "3"}));
    EXPECT_EQ(StrToken("", ".", list), 0);  // empty source: 0, list untouched
    EXPECT_EQ(list.size(), 3u);
    EXPECT_EQ(StrToken("...", ".", list), 3);  // only delimiters: nothing added

    std::vector<std::string> arr;
    EXPECT_EQ(StrToken(" iso org(3)\n}x", " \n()}", arr), 4);
    EXPECT_EQ(arr, (std::vector<std::string>{"iso", "org", "3", "x"}));
    EXPECT_EQ(StrToken("a", "", arr), 5);  // no delimiters: the whole source
    EXPECT_EQ(arr.back(), "a");
}

TEST_F(OidTextTest, NamesAndNumbersConvertBothWays)
{
    EXPECT_EQ(N2S("1.3.6.1.2.1.1.1.0"), "iso.org.dod.internet.mgmt.mib-2.system.sysDescr.0");
    EXPECT_EQ(N2S("1.3.6.1.2.1.2.2.1.10.3"), "iso.org.dod.internet.mgmt.mib-2.interfaces.ifTable.ifEntry.ifInOctets.3");
    EXPECT_EQ(N2S("1..3"), "iso.org");  // empty components disappear
    EXPECT_EQ(N2S("1.3.99.1.2"), "iso.org.99.1.2");  // after an unknown, as written
    EXPECT_EQ(N2S("1.x.6"), "iso.x.6");
    EXPECT_EQ(N2S(""), "");
    std::string appended = "pre:";
    MIBTree::OidStr2Str("1.3", appended);
    EXPECT_EQ(appended, "pre:iso.org");

    EXPECT_EQ(S2N("iso.org.dod"), "1.3.6");
    EXPECT_EQ(S2N("iso.foo.6"), "1.foo.6");
    EXPECT_EQ(S2N("iso.org.dod.internet.mgmt.mib-2.system.sysDescr"), "1.3.6.1.2.1.1.1");
    EXPECT_EQ(S2N("1.3.dod.internet.4.1"), "1.3.6.1.4.1");  // names and numbers mixed
    EXPECT_EQ(S2N("iso.org.Dod"), "1.3.Dod");  // names are case-sensitive

    EXPECT_EQ(Names("1.3.6.1.2.1.1.3.0"), "iso.org.dod.internet.mgmt.mib-2.system.sysUpTime.0");
    EXPECT_EQ(Names("iso.3.dod.1"), "iso.org.dod.internet");
    EXPECT_EQ(Names(""), "");  // emptied first
    EXPECT_EQ(Rubi("1.3.6"), "iso(1).org(3).dod(6)");
    EXPECT_EQ(Rubi("iso.3.6.1.2.1.1.5.0"),
              "iso(iso).org(3).dod(6).internet(1).mgmt(2).mib-2(1).system(1).sysName(5).0");
    EXPECT_EQ(Rubi("1.3.77.1"), "iso(1).org(3).77.1");

    std::string path;
    EXPECT_EQ(MIBTree::gettop()->GetAllString(path, "sysDescr"), 1);
    EXPECT_EQ(path, "iso.org.dod.internet.mgmt.mib-2.system.sysDescr");
    EXPECT_EQ(MIBTree::gettop()->GetAllString(path, "sysUpTime"), 1);
    EXPECT_EQ(path, "iso.org.dod.internet.mgmt.mib-2.system.sysUpTime");
}

TEST_F(OidTextTest, NumericFormOfAnArrayIsUnsignedDecimal)
{
    unsigned long oid[] = {1, 3, 6, 1, 0xFFFFFFFFul};
    std::string out = "stale";
    GetOid2Str(out, oid, 4);
    EXPECT_EQ(out, "1.3.6.1");
    GetOid2Str(out, oid, 5);
    EXPECT_EQ(out, "1.3.6.1.4294967295");
    GetOid2Str(out, oid, 0);
    EXPECT_EQ(out, "");
    out = "stale";
    GetOid2Str(out, nullptr, 3);
    EXPECT_EQ(out, "");
}

TEST_F(OidTextTest, ParsingToSubIdentifiersKnowsNamesNumbersAndItsLimits)
{
    using V = std::vector<unsigned long>;
    EXPECT_EQ(Parse("iso.org.dod.internet.mgmt.mib-2.system.sysDescr.0"), (V{1, 3, 6, 1, 2, 1, 1, 1, 0}));
    EXPECT_EQ(Parse("1.3.6.1.2.1.1.1.0"), (V{1, 3, 6, 1, 2, 1, 1, 1, 0}));
    EXPECT_EQ(Parse("sysDescr"), V{});  // names are read from the roots down
    EXPECT_EQ(Parse("1.3.6.1.4.1.9999.5"), (V{1, 3, 6, 1, 4, 1, 9999, 5}));
    EXPECT_EQ(Parse("1.3.6.1.4.1.9999.12abc"), (V{1, 3, 6, 1, 4, 1, 9999, 12}));  // leading digits
    EXPECT_EQ(Parse("1.3.6.1.4.1.9999.0"), (V{1, 3, 6, 1, 4, 1, 9999, 0}));
    EXPECT_EQ(Parse("iso.3.dod.abc"), V{});  // neither name nor number
    EXPECT_EQ(Parse("iso.3.dod.00"), V{});  // reads as 0 without being "0"
    EXPECT_EQ(Parse("1.3.6.-1"), V{});
    EXPECT_EQ(Parse("1.3.6.4294967295"), (V{1, 3, 6, 4294967295ul}));
    EXPECT_EQ(Parse("1.3.6.4294967296"), V{});  // beyond 32 bits
    EXPECT_EQ(Parse(""), V{});
    EXPECT_EQ(Parse("..."), V{});

    // Never more than the capacity: too many components give 0.
    EXPECT_EQ(Parse("1.2.3.4", 4), (V{1, 2, 3, 4}));
    EXPECT_EQ(Parse("1.2.3.4.5", 4), V{});
    std::string long65 = "1";
    for (int k = 0; k < 64; ++k)
        long65 += ".1";
    EXPECT_EQ(Parse(long65, 64), V{});
    EXPECT_EQ(Parse(long65, 65).size(), 65u);
    unsigned long one[1];
    EXPECT_EQ(GetStr2Oid("1", nullptr, 1), 0);
    EXPECT_EQ(GetStr2Oid("1", one, 0), 0);
}

TEST_F(OidTextTest, WithoutATreeEverythingIsUnknownButNothingBreaks)
{
    MIBTree::Finalize();
    EXPECT_EQ(N2S("1.3.6"), "1.3.6");
    EXPECT_EQ(S2N("iso.3"), "iso.3");
    EXPECT_EQ(Rubi("1.3"), "1.3");
    EXPECT_EQ(Parse("1.3.6"), (std::vector<unsigned long>{1, 3, 6}));
    EXPECT_EQ(Parse("iso.3"), std::vector<unsigned long>{});
    int show = 1;
    TempDir d;
    ScriptedOperator op;
    EXPECT_EQ(MIBTree::LoadMIBTree(d.Write("x.mib", "a OBJECT IDENTIFIER ::= { iso 3 }\n"), show), 0);
    EXPECT_EQ(op.asked.size(), 1u);
}
