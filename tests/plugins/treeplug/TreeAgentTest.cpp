// Walks of the namespace snmpd (and of an extra snmpd with objects of our
// own) through the window, compared with net-snmp's snmpwalk.

#include <QTreeWidget>

#include <regex>

#include "mibcore/platform/CmdTarget.h"
#include "mibcore/platform/Desktop.h"
#include "tests/plugins/treeplug/TreeHarness.h"
#include "tests/support/AgentProcess.h"

using namespace treetest;

namespace {

class TreeAgentTest : public TreeTest {
protected:
    void SetUp() override
    {
        TreeTest::SetUp();
        UseAgent(harness::kAgentV4);
    }

    struct Line {
        std::string oid, type, value;
    };
    // snmpwalk -v1 -On lines: ".1.3.6 = TYPE: value".
    static std::vector<Line> SnmpWalk(const std::string& oid, const std::string& agent = harness::kAgentV4)
    {
        std::vector<Line> out;
        static const std::regex re(R"(^\.([0-9.]+) = ([A-Za-z0-9-]+): ?(.*)$)");
        for (const std::string& l : harness::Lines(harness::SnmpTool("snmpwalk", oid, agent))) {
            std::smatch m;
            if (std::regex_match(l, m, re))
                out.push_back({m[1], m[2], m[3]});
        }
        return out;
    }
};

TEST_F(TreeAgentTest, SystemWalkGivesSnmpwalksRowsAndEndsSilently)
{
    QUILLON_REQUIRE_NETNS();
    Window w = Open();
    ASSERT_TRUE(w);
    ASSERT_TRUE(Walk(w, "mgmt.mib-2.system"));
    const std::vector<Row> rows = Rows(w);
    const std::vector<Line> want = SnmpWalk("1.3.6.1.2.1.1");
    ASSERT_FALSE(want.empty());
    ASSERT_EQ(rows.size(), want.size());
    int compared = 0;
    for (size_t i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE(want[i].oid);
        EXPECT_EQ(rows[i][3], want[i].oid);
        const std::string& t = want[i].type;
        std::string v = want[i].value;
        if (t == "STRING") {
            EXPECT_EQ(rows[i][2], "OCTET STRING(0x04)");
            EXPECT_EQ('"' + rows[i][1] + '"', v);
        } else if (t == "INTEGER") {
            EXPECT_EQ(rows[i][2], "INTEGER(0x02)");
            EXPECT_EQ(rows[i][1], v);
        } else if (t == "OID") {
            EXPECT_EQ(rows[i][2], "OBJECT IDENTIFIER(0x06)");
            EXPECT_EQ("." + rows[i][1], v);
        } else if (t == "Timeticks") {
            EXPECT_EQ(rows[i][2], "TimeTicks(0x43)");
            // "(ticks) h:mm:ss.cc"; sysUpTime moves on between the walks.
            if (want[i].oid != "1.3.6.1.2.1.1.3.0") {
                EXPECT_EQ(v.substr(v.find(')') + 2), rows[i][1]);
            }
        } else {
            continue;
        }
        ++compared;
    }
    EXPECT_EQ(compared, int(rows.size()));
    EXPECT_TRUE(Messages().empty());
    EXPECT_FALSE(RadarRunning(w));
    EXPECT_EQ(w.tree->getRoot(), (std::vector<unsigned long>{1, 3, 6, 1, 2, 1, 1}));
}

TEST_F(TreeAgentTest, SysDescrTreeSelectionMarksRowsAndCopiesBothForms)
{
    QUILLON_REQUIRE_NETNS();
    Window w = Open();
    ASSERT_TRUE(w);
    auto enabled = [&](int id) {
        platform::CmdUI ui(id);
        platform::UpdateCommand(w.tree, ui);
        return ui.IsEnabled();
    };
    EXPECT_FALSE(enabled(widgets::ID_MIBTREE_COPY_NAME));
    ASSERT_TRUE(Walk(w, "mgmt.mib-2.system"));
    for (int id : {widgets::ID_MIBTREE_SEARCH, widgets::ID_MIBTREE_COPY_NUMERIC, widgets::ID_MIBTREE_COPY_NAME})
        EXPECT_TRUE(enabled(id)) << id;
    QTreeWidget* tree = w.tree->GetTreeCtrl();
    ASSERT_EQ(tree->topLevelItemCount(), 1);
    QTreeWidgetItem* system = tree->topLevelItem(0);
    EXPECT_EQ(system->text(0).toStdString(), "system(1.3.6.1.2.1.1)");
    EXPECT_TRUE(system->isExpanded());
    QTreeWidgetItem* sysDescr = system->child(0);
    ASSERT_NE(sysDescr, nullptr);
    EXPECT_EQ(sysDescr->text(0).toStdString(), "sysDescr(1.3.6.1.2.1.1.1)");
    ASSERT_EQ(sysDescr->childCount(), 1);
    QTreeWidgetItem* leaf = sysDescr->child(0);
    EXPECT_EQ(leaf->text(0).toStdString(), "0(1.3.6.1.2.1.1.1.0)");
    EXPECT_EQ(Rows(w)[0][0], "system.sysDescr.0");

    const CListCtrlEx& list = w.list->GetListCtrl();
    auto selected = [&] { return list.GetSelectedRows(); };
    // Copy without a selection is refused.
    ASSERT_TRUE(widgets::SendCommand(w.tree, widgets::ID_MIBTREE_COPY_NUMERIC));
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0], "コピーするアイテムを選択してください。");

    tree->setCurrentItem(system);
    EXPECT_EQ(int(selected().size()), list.GetItemCount());
    tree->setCurrentItem(sysDescr);
    EXPECT_EQ(selected(), std::vector<int>{0});
    tree->setCurrentItem(leaf);
    EXPECT_EQ(selected(), std::vector<int>{0});

    tree->setCurrentItem(sysDescr);
    ASSERT_TRUE(widgets::SendCommand(w.tree, widgets::ID_MIBTREE_COPY_NUMERIC));
    EXPECT_EQ(platform::GetClipboardText(), "1.3.6.1.2.1.1.1");
    ASSERT_TRUE(widgets::SendCommand(w.tree, widgets::ID_MIBTREE_COPY_NAME));
    EXPECT_EQ(platform::GetClipboardText(), "iso.org.dod.internet.mgmt.mib-2.system.sysDescr");
    EXPECT_EQ(Messages().size(), 1u);

    // The search dialog searches this tree.
    ASSERT_TRUE(widgets::SendCommand(w.tree, widgets::ID_MIBTREE_SEARCH));
    ASSERT_NE(w.tree->searchDialog(), nullptr);
    EXPECT_TRUE(w.tree->searchDialog()->isVisible());
    w.tree->searchDialog()->textEdit()->setText("sysName");
    w.tree->searchDialog()->OnClickSearchButton();
    ASSERT_NE(tree->currentItem(), nullptr);
    EXPECT_EQ(tree->currentItem()->text(0).toStdString(), "sysName(1.3.6.1.2.1.1.5)");
}

TEST_F(TreeAgentTest, Mib2WalkHasSnmpwalksRowCountInOrder)
{
    QUILLON_REQUIRE_NETNS();
    Window w = Open();
    ASSERT_TRUE(w);
    ASSERT_TRUE(Walk(w, "mgmt.mib-2"));
    const size_t want = SnmpWalk("1.3.6.1.2.1").size();
    const std::vector<Row> rows = Rows(w);
    // Connection and RMON tables may change between the two walks.
    EXPECT_NEAR(double(rows.size()), double(want), std::max(20.0, want * 0.02));
    EXPECT_GT(rows.size(), 500u);
    EXPECT_TRUE(Messages().empty());
    for (size_t i = 1; i < rows.size(); ++i) {
        unsigned long a[256], b[256];
        int na = GetStr2Oid(rows[i - 1][3], a, 256), nb = GetStr2Oid(rows[i][3], b, 256);
        ASSERT_TRUE(std::lexicographical_compare(a, a + na, b, b + nb)) << rows[i][3];
    }
    // The item count pane tells the rows.
    w.frame->UpdateCmdUI();
    EXPECT_EQ(w.frame->GetStatusBar()->GetPaneText(2), "アイテム数：" + std::to_string(rows.size()));
}

TEST_F(TreeAgentTest, UnknownEnterpriseIsWalkedNumerically)
{
    QUILLON_REQUIRE_NETNS();
    harness::AgentProcess agent("", "",
                                "override .1.3.6.1.4.1.9999.5.1.0 integer 7\n"
                                "override .1.3.6.1.4.1.9999.5.2.1 octet_str quillon\n"
                                "override .1.3.6.1.4.1.9999.5.2.2 timeticks 12345\n"
                                "override .1.3.6.1.4.1.9999.6.0 integer 1\n");
    ASSERT_TRUE(agent.running()) << agent.error();
    UseAgent(agent.address());
    Window w = Open();
    ASSERT_TRUE(w);
    ASSERT_TRUE(Walk(w, "4.1.9999.5"));
    EXPECT_EQ(w.tree->getRoot(), (std::vector<unsigned long>{1, 3, 6, 1, 4, 1, 9999, 5}));
    const std::vector<Row> rows = Rows(w);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0], (Row{"9999.5.1.0", "7", "INTEGER(0x02)", "1.3.6.1.4.1.9999.5.1.0"}));
    EXPECT_EQ(rows[1][0], "9999.5.2.1");
    EXPECT_EQ(rows[1][1], "quillon");
    EXPECT_EQ(rows[2][1], "0:02:03.45");
    QTreeWidget* tree = w.tree->GetTreeCtrl();
    ASSERT_EQ(tree->topLevelItemCount(), 3);
    EXPECT_EQ(tree->topLevelItem(1)->text(0).toStdString(), "9999.5.2.1(1.3.6.1.4.1.9999.5.2.1)");
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(tree->topLevelItem(i)->childCount(), 0);
    EXPECT_TRUE(Messages().empty());
}

// "system", "interfaces" and "1.3.6.1.2.1.2" walk what they name; a text
// that names nothing says so in the status pane, without a message box.
TEST_F(TreeAgentTest, NamesAndFullNumbersWalkWhatTheyName)
{
    QUILLON_REQUIRE_NETNS();
    Window w = Open();
    ASSERT_TRUE(w);
    platform::StatusBar* bar = w.frame->GetStatusBar();
    ASSERT_NE(bar, nullptr);
    const struct {
        const char* box;
        const char* oid;
        const char* firstName;
    } cases[] = {
        {"system", "1.3.6.1.2.1.1", "system.sysDescr.0"},
        {"interfaces", "1.3.6.1.2.1.2", "interfaces.ifNumber.0"},
        {"1.3.6.1.2.1.2", "1.3.6.1.2.1.2", "interfaces.ifNumber.0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.box);
        ASSERT_TRUE(Walk(w, c.box));
        const std::vector<Row> rows = Rows(w);
        const std::vector<Line> want = SnmpWalk(c.oid);
        ASSERT_FALSE(want.empty());
        ASSERT_FALSE(rows.empty());
        EXPECT_EQ(rows[0][0], c.firstName);
        EXPECT_EQ(rows[0][3], want[0].oid);
        for (const Row& r : rows)
            EXPECT_EQ(r[3].rfind(std::string(c.oid) + ".", 0), 0u) << r[3];
        EXPECT_EQ(bar->GetPaneText(0), "");
    }
    ASSERT_TRUE(Walk(w, "nosuchobject"));
    EXPECT_EQ(w.list->GetListCtrl().GetItemCount(), 0);
    EXPECT_EQ(bar->GetPaneText(0), "「nosuchobject」はMIB定義の名前でもOIDでもありません。");
    EXPECT_TRUE(Messages().empty());
    // The next start clears it.
    ASSERT_TRUE(Walk(w, "system"));
    EXPECT_EQ(bar->GetPaneText(0), "");
}

TEST_F(TreeAgentTest, AgentsLastObjectEndsSilentlyOnlyAfterInstances)
{
    QUILLON_REQUIRE_NETNS();
    const std::vector<Line> tail = SnmpWalk("1.3.6.1.6");
    ASSERT_FALSE(tail.empty());
    const std::string last = tail.back().oid;
    ASSERT_NE(harness::SnmpTool("snmpgetnext", last).find("noSuchName"), std::string::npos)
        << last << " is not the agent's last object";
    UseAgent(harness::kAgentV4, 2, 1);
    Window w = Open();
    ASSERT_TRUE(w);
    const std::string parent = last.substr(0, last.rfind('.'));
    // The box holds what follows the prefix iso.org.dod.internet (1.3.6.1).
    ASSERT_TRUE(Walk(w, parent.substr(std::string("1.3.6.1.").size())));
    EXPECT_GE(Rows(w).size(), 1u);
    EXPECT_EQ(Rows(w).back()[3], last);
    EXPECT_TRUE(Messages().empty());

    ASSERT_TRUE(Walk(w, last.substr(std::string("1.3.6.1.").size())));
    EXPECT_TRUE(Rows(w).empty());
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0], "noSuchName-指定のオブジェクトがありません\n" + last);
    EXPECT_FALSE(RadarRunning(w));
}

}  // namespace
