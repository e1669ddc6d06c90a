// The walk's texts without a window: start objects, what one instance adds
// to the panes, and the CSV bytes; against the OID tree of etc/mib/mib-2.mib.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "mibcore/mibtree/MIBTree.h"
#include "plugins/treeplug/TreeWalk.h"
#include "snmpval/CSnmpBer.h"
#include "snmpval/Cp932.h"

using namespace treeplug;

namespace {

class TreeWalkTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (!MIBTree::gettop())
            MIBTree::Initialize();
    }
    static std::string Root(const std::string& text)
    {
        unsigned long arcs[kMaxRootArcs];
        int n = ParseRoot(text, arcs, kMaxRootArcs);
        std::string s;
        GetOid2Str(s, arcs, n);
        return n == 0 ? "(invalid)" : s;
    }
};

TEST_F(TreeWalkTest, StartObjectsFromNamesAndNumbers)
{
    std::string arcs64 = "1.3", arcs65;
    for (int i = 2; i < 64; ++i)
        arcs64 += ".7";
    arcs65 = arcs64 + ".7";
    struct Case {
        std::string text, want;
    } cases[] = {
        {RootTextFromBox("iso.org.dod.internet", "mgmt.mib-2.system"), "1.3.6.1.2.1.1"},
        // 4 and 1 match private and enterprises by number; 9999 is unknown.
        {RootTextFromBox("iso.org.dod.internet", "4.1.9999.5"), "1.3.6.1.4.1.9999.5"},
        {"iso.org.dod.internet.mgmt.mib-2.system.sysDescr.0", "1.3.6.1.2.1.1.1.0"},
        {"iso..org.dod", "1.3.6"},
        {RootTextFromBox("iso.org.dod.internet", ""), "(invalid)"},
        {"iso.org.dod.internet.abc", "(invalid)"},
        {"iso.org.dod.internet.4.1.9999.0x", "(invalid)"},
        {"iso.org.dod.internet.4.1.9999.-1", "(invalid)"},
        {"1.3.6.4294967295", "1.3.6.4294967295"},
        {"1.3.6.4294967296", "(invalid)"},
        // Only numbers after the first unknown component.
        {"iso.org.dod.internet.4.1.9999.system", "(invalid)"},
        {arcs64, arcs64},
        {arcs65, "(invalid)"},
        // What the codec cannot put into a request is no start object.
        {"2.999.1", "2.999.1"},
        {"2", "2"},
        {"5.1", "(invalid)"},
        {"5", "(invalid)"},
        {"1.40.1", "(invalid)"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Root(c.text), c.want) << c.text;
}

// The text box: under the prefix as designed when that names an object,
// else a name the MIB modules know or a full dotted number.
TEST_F(TreeWalkTest, TextBoxTakesNamesAndFullNumbersBesideThePrefix)
{
    const struct {
        std::string box, want;
        bool resolved;
    } cases[] = {
        {"mgmt.mib-2.system", "1.3.6.1.2.1.1", true},
        {"4.1.9999.5", "1.3.6.1.4.1.9999.5", true},  // under the prefix, as designed
        {"2.1.1", "1.3.6.1.2.1.1", true},            // mgmt.mib-2.system by number
        {"system", "1.3.6.1.2.1.1", true},
        {"interfaces", "1.3.6.1.2.1.2", true},
        {"ifTable.ifEntry.ifDescr", "1.3.6.1.2.1.2.2.1.2", true},
        {"sysDescr.0", "1.3.6.1.2.1.1.1.0", true},
        {"1.3.6.1.2.1.2", "1.3.6.1.2.1.2", true},
        {"iso.org.dod.internet.mgmt.mib-2.ip", "1.3.6.1.2.1.4", true},
        {"nosuchobject", "(invalid)", false},
        {"system.abc", "(invalid)", false},
        {"", "(invalid)", false},
    };
    for (const auto& c : cases) {
        const StartObject start = ResolveStartObject("iso.org.dod.internet", c.box);
        EXPECT_EQ(Root(start.text), c.want) << c.box;
        EXPECT_EQ(start.resolved, c.resolved) << c.box;
    }
}

TEST_F(TreeWalkTest, InstanceBelowKnownObjectsAndBelowUnknownArcs)
{
    CSnmpBer text;
    text.Set(CSnmpBer::TagOctetString, 5, reinterpret_cast<const unsigned char*>("Linux"));
    const unsigned long system[] = {1, 3, 6, 1, 2, 1, 1};
    const unsigned long sysDescr0[] = {1, 3, 6, 1, 2, 1, 1, 1, 0};
    InstanceRow r = DescribeInstance(system, 7, sysDescr0, 9, text);
    ASSERT_EQ(r.objects.size(), 2u);
    EXPECT_EQ(r.objects[0].text.toStdString(), "system(1.3.6.1.2.1.1)");
    EXPECT_EQ(r.objects[1].text.toStdString(), "sysDescr(1.3.6.1.2.1.1.1)");
    EXPECT_EQ(r.Leaf().toStdString(), "0(1.3.6.1.2.1.1.1.0)");
    EXPECT_EQ(r.Cell(0).toStdString(), "system.sysDescr.0");
    EXPECT_EQ(r.Cell(1).toStdString(), "Linux");
    EXPECT_EQ(r.Cell(2).toStdString(), "OCTET STRING(0x04)");
    EXPECT_EQ(r.Cell(3).toStdString(), "1.3.6.1.2.1.1.1.0");

    // From mib-2 the names start at mib-2; a column of ifTable keeps its
    // index as instance text.
    CSnmpBer n;
    n.SetLong(3);
    const unsigned long mib2[] = {1, 3, 6, 1, 2, 1};
    const unsigned long ifIndex3[] = {1, 3, 6, 1, 2, 1, 2, 2, 1, 1, 3};
    r = DescribeInstance(mib2, 6, ifIndex3, 11, n);
    EXPECT_EQ(r.Cell(0).toStdString(), "mib-2.interfaces.ifTable.ifEntry.ifIndex.3");
    EXPECT_EQ(r.objects.front().text.toStdString(), "mib-2(1.3.6.1.2.1)");
    EXPECT_EQ(r.Leaf().toStdString(), "3(1.3.6.1.2.1.2.2.1.1.3)");
    EXPECT_EQ(r.Cell(2).toStdString(), "INTEGER(0x02)");

    // Below an arc the MIB modules do not define: only a leaf, whose
    // instance text starts at that arc.
    const unsigned long root[] = {1, 3, 6, 1, 4, 1, 9999, 5};
    const unsigned long name[] = {1, 3, 6, 1, 4, 1, 9999, 5, 2, 1};
    r = DescribeInstance(root, 8, name, 10, n);
    EXPECT_TRUE(r.objects.empty());
    EXPECT_EQ(r.Leaf().toStdString(), "9999.5.2.1(1.3.6.1.4.1.9999.5.2.1)");
    EXPECT_EQ(r.Cell(0).toStdString(), "9999.5.2.1");
}

// The rows of one walk in order: each is what DescribeInstance gives alone,
// except that objects equal to the row before are left out and flagged
// (sysObjectID.0 after sysObjectID itself); a row that reaches another
// object (ifIndex.3 then ifDescr.1) carries its objects again. Rows whose
// texts share one string, as a reply's do, read the same.
TEST_F(TreeWalkTest, DescriberLeavesOutOnlyTheObjectsOfTheRowBefore)
{
    CSnmpBer n;
    n.SetLong(7);
    CSnmpBer japanese;
    const std::string sjis = cp932::FromUtf8("東京ルータ");
    japanese.Set(CSnmpBer::TagOctetString, int(sjis.size()), reinterpret_cast<const unsigned char*>(sjis.data()));
    const std::vector<unsigned long> mib2 = {1, 3, 6, 1, 2, 1};
    const std::vector<std::vector<unsigned long>> names = {
        {1, 3, 6, 1, 2, 1, 2, 2, 1, 1, 1},    {1, 3, 6, 1, 2, 1, 2, 2, 1, 1, 3}, {1, 3, 6, 1, 2, 1, 2, 2, 1, 2, 1},
        {1, 3, 6, 1, 2, 1, 2, 2, 1, 2, 2, 5}, {1, 3, 6, 1, 2, 1, 1, 1, 0},       {1, 3, 6, 1, 2, 1, 1, 2},
        {1, 3, 6, 1, 2, 1, 1, 2, 0},          {1, 3, 6, 1, 2, 1, 1, 3, 0},       {1, 3, 6, 1, 2, 1, 1, 3, 0, 1}};
    const bool same[] = {false, true, false, true, false, false, true, false, true};
    InstanceDescriber describer, sharing;
    std::vector<InstanceRow> alone, shared(names.size());
    QString block;
    for (size_t i = 0; i < names.size(); ++i) {
        SCOPED_TRACE(i);
        const int len = int(names[i].size());
        const CSnmpBer& value = i % 2 ? japanese : n;
        alone.push_back(DescribeInstance(mib2.data(), 6, names[i].data(), len, value));
        const InstanceRow row = describer.Describe(6, names[i].data(), len, value);
        sharing.DescribeTo(shared[i], block, 6, names[i].data(), len, value);
        EXPECT_EQ(row.sameObjects, same[i]);
        EXPECT_EQ(row.objects.size(), same[i] ? 0u : alone[i].objects.size());
        for (size_t k = 0; k < row.objects.size(); ++k) {
            EXPECT_EQ(row.objects[k].text, alone[i].objects[k].text);
            EXPECT_EQ(row.objects[k].key, alone[i].objects[k].key);
        }
        EXPECT_EQ(row.Leaf(), alone[i].Leaf());
        for (int c = 0; c < 4; ++c)
            EXPECT_EQ(row.Cell(c), alone[i].Cell(c)) << c;
    }
    EXPECT_EQ(alone[1].Cell(1), QString::fromUtf8("東京ルータ"));
    for (size_t i = 0; i < names.size(); ++i) {
        shared[i].text = block;
        EXPECT_EQ(shared[i].sameObjects, same[i]) << i;
        EXPECT_EQ(shared[i].Leaf(), alone[i].Leaf()) << i;
        for (int c = 0; c < 4; ++c)
            EXPECT_EQ(shared[i].Cell(c), alone[i].Cell(c)) << i << " " << c;
    }
}

// The row store gives back every row's texts as described, across slice
// boundaries: values outside ASCII (whose UTF-16 is shorter than their
// UTF-8), empty values, and names without an instance part (no leaf).
TEST_F(TreeWalkTest, RowStoreGivesBackEveryRowsTexts)
{
    const std::string japanese = "日本語の値";
    const std::string octets = cp932::FromUtf8(japanese);
    CSnmpBer wide, empty, number;
    wide.Set(CSnmpBer::TagOctetString, int(octets.size()), reinterpret_cast<const unsigned char*>(octets.data()));
    empty.Set(CSnmpBer::TagOctetString, 0, reinterpret_cast<const unsigned char*>(""));
    number.SetLong(42);
    const CSnmpBer* values[] = {&wide, &empty, &number};
    const unsigned long mib2[] = {1, 3, 6, 1, 2, 1};
    RowStore store;
    std::vector<InstanceRow> described;
    InstanceDescriber describer;
    const int rows = 2 * RowStore::kSliceRows + 7;
    for (int i = 0; i < rows; ++i) {
        // ifDescr.i, and every 100th row the object sysDescr without instance.
        std::vector<unsigned long> name(mib2, mib2 + 6);
        if (i % 100 == 99)
            name.insert(name.end(), {1, 1});
        else
            name.insert(name.end(), {2, 2, 1, 2, (unsigned long)(i)});
        described.push_back(describer.Describe(6, name.data(), int(name.size()), *values[i % 3]));
        ASSERT_EQ(store.Add(described.back()), i);
    }
    ASSERT_EQ(store.Size(), rows);
    EXPECT_EQ(described[0].Cell(1).toStdString(), japanese);
    EXPECT_TRUE(described[99].Leaf().isEmpty());
    EXPECT_EQ(described[1].Leaf().toStdString(), "1(1.3.6.1.2.1.2.2.1.2.1)");
    for (int i = 0; i < rows; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(store.Leaf(i), described[size_t(i)].Leaf());
        for (int c = 0; c < 4; ++c)
            EXPECT_EQ(store.Cell(i, c), described[size_t(i)].Cell(c)) << c;
    }
    // Outside the rows: nothing.
    EXPECT_TRUE(store.Cell(rows, 0).isEmpty());
    EXPECT_TRUE(store.Cell(-1, 0).isEmpty());
    EXPECT_TRUE(store.Cell(0, 4).isEmpty());
    store.Clear();
    EXPECT_EQ(store.Size(), 0);
    EXPECT_EQ(store.Bytes(), 0u);
}

TEST_F(TreeWalkTest, CsvHeaderRowsNoQuotingLfCp932)
{
    const std::string header = cp932::FromUtf8("インスタンス識別子,値,タイプ,オブジェクト識別子\n");
    EXPECT_EQ(BuildCsv({}), header);
    const std::string bytes = BuildCsv({{"system.sysDescr.0", "a,b \"c\"", "OCTET STRING(0x04)", "1.3.6.1.2.1.1.1.0"},
                                        {"x", "日本", "INTEGER(0x02)", "1.3"}});
    EXPECT_EQ(bytes, header + "system.sysDescr.0,a,b \"c\",OCTET STRING(0x04),1.3.6.1.2.1.1.1.0\n" +
                         cp932::FromUtf8("x,日本,INTEGER(0x02),1.3\n"));
    EXPECT_EQ(bytes.find('\r'), std::string::npos);
}

}  // namespace
