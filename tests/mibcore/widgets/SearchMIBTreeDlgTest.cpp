// The tree search dialog on real tree widgets: pre-order from the selection,
// climbing to the parents' siblings, the wrap-around question and items that
// disappear between searches.

#include "mibcore/mibtree/MIBTree.h"
#include "mibcore/widgets/CSearchMIBTreeDlg.h"
#include "mibcore/widgets/WidgetResources.h"
#include "tests/mibcore/widgets/WidgetTestApp.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace {

QTreeWidgetItem* Add(QTreeWidget& tree, QTreeWidgetItem* parent, const char* text)
{
    auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(&tree);
    item->setText(0, QString::fromUtf8(text));
    return item;
}

// ccitt(0), iso(1) / org(3) / dod(6) / internet(1) / {directory(1), mgmt(2) /
// mib-2(1) / system(1), private(4) / enterprises(1)}, joint-iso-ccitt(2).
void FillTree(QTreeWidget& tree)
{
    tree.clear();
    Add(tree, nullptr, "ccitt(0)");
    auto* iso = Add(tree, nullptr, "iso(1)");
    auto* org = Add(tree, iso, "org(3)");
    auto* dod = Add(tree, org, "dod(6)");
    auto* internet = Add(tree, dod, "internet(1)");
    Add(tree, internet, "directory(1)");
    auto* mgmt = Add(tree, internet, "mgmt(2)");
    auto* mib2 = Add(tree, mgmt, "mib-2(1)");
    Add(tree, mib2, "system(1)");
    Add(tree, mib2, "interfaces(2)");
    auto* priv = Add(tree, internet, "private(4)");
    Add(tree, priv, "enterprises(1)");
    Add(tree, nullptr, "joint-iso-ccitt(2)");
}

class SearchMIBTreeDlgTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        widgettest::EnsureApp();
        FillTree(tree);
        dlg.setTreeCtrl(&tree);
    }

    QString Current() const { return tree.currentItem() ? tree.currentItem()->text(0) : QString(); }

    QTreeWidget tree;
    CSearchMIBTreeDlg dlg;
};

TEST_F(SearchMIBTreeDlgTest, FindsEveryValOneNodeInTurnThenAsksAndRestartsOnYes)
{
    widgettest::ScriptedAnswers answers({platform::IDYES, platform::IDNO});
    dlg.textEdit()->setText("(1)");
    const char* expected[] = {"iso(1)", "internet(1)", "directory(1)", "mib-2(1)",
                              "system(1)", "enterprises(1)"};
    for (const char* e : expected) {
        QTest::mouseClick(dlg.searchButton(), Qt::LeftButton);
        EXPECT_EQ(Current().toStdString(), e);
        EXPECT_TRUE(answers.asked().empty()) << e;
    }
    // The end: the question, Yes starts again at the top.
    dlg.OnClickSearchButton();
    ASSERT_EQ(answers.asked().size(), 1u);
    EXPECT_EQ(answers.asked()[0].text, "見つかりませんでした。先頭から探しますか？");
    EXPECT_EQ(answers.asked()[0].type & 0x0F, static_cast<unsigned>(platform::MB_YESNO));
    EXPECT_EQ(Current().toStdString(), "iso(1)");
    // The found item was shown: its ancestors are expanded.
    dlg.OnClickSearchButton();
    EXPECT_EQ(Current().toStdString(), "internet(1)");
    EXPECT_TRUE(tree.currentItem()->parent()->isExpanded());
    EXPECT_TRUE(tree.topLevelItem(1)->isExpanded());
}

TEST_F(SearchMIBTreeDlgTest, NoStopsAndEmptyTextDoesNothing)
{
    widgettest::ScriptedAnswers answers({platform::IDNO});
    dlg.textEdit()->setText("");
    dlg.OnClickSearchButton();
    EXPECT_TRUE(answers.asked().empty());
    EXPECT_EQ(tree.currentItem(), nullptr);

    dlg.textEdit()->setText("nosuchnode");
    dlg.OnClickSearchButton();
    EXPECT_EQ(answers.asked().size(), 1u);  // No: asked once
    EXPECT_EQ(dlg.getFoundItem(), nullptr);
}

TEST_F(SearchMIBTreeDlgTest, StartsAtTheSelectionAndClimbsToTheParentsSiblings)
{
    widgettest::ScriptedAnswers answers({platform::IDNO});
    // From interfaces(2), the deepest last child, the next "(4)" lies two
    // levels up: private(4).
    QTreeWidgetItem* interfaces = tree.topLevelItem(1)->child(0)->child(0)->child(0)->child(1)->child(0)->child(1);
    ASSERT_EQ(interfaces->text(0), QString("interfaces(2)"));
    tree.setCurrentItem(interfaces);
    dlg.textEdit()->setText("(4)");
    dlg.OnClickSearchButton();
    EXPECT_EQ(Current(), QString("private(4)"));
    // And from there on to the last top-level item.
    dlg.textEdit()->setText("joint");
    dlg.OnClickSearchButton();
    EXPECT_EQ(Current(), QString("joint-iso-ccitt(2)"));
    EXPECT_TRUE(answers.asked().empty());
    // Case matters.
    dlg.textEdit()->setText("ISO");
    dlg.OnClickSearchButton();
    EXPECT_EQ(answers.asked().size(), 1u);
}

TEST_F(SearchMIBTreeDlgTest, AFoundItemDeletedByARefillIsForgotten)
{
    widgettest::ScriptedAnswers answers({platform::IDNO});
    dlg.textEdit()->setText("(1)");
    dlg.OnClickSearchButton();
    dlg.OnClickSearchButton();
    EXPECT_EQ(Current(), QString("internet(1)"));
    // The tree browser clears and refills its tree for every walk.
    FillTree(tree);
    EXPECT_EQ(dlg.getFoundItem() == nullptr || dlg.getFoundItem()->treeWidget() == &tree, true);
    dlg.OnClickSearchButton();
    EXPECT_EQ(Current(), QString("iso(1)"));
    // An empty tree asks instead of crashing; the dialog can be closed.
    tree.clear();
    dlg.OnClickSearchButton();
    EXPECT_EQ(answers.asked().size(), 1u);
    dlg.show();
    QTest::mouseClick(qobject_cast<QPushButton*>(widgets::GetDlgItem(&dlg, 1)), Qt::LeftButton);
    EXPECT_FALSE(dlg.isVisible());
    EXPECT_EQ(dlg.windowTitle().toStdString(), "検索ダイアログ");
}

// The loaded MIB-II module shown as the MIB tree dialog shows it.
void FillFromMib(QTreeWidget& tree, QTreeWidgetItem* parent, MIBTree* node)
{
    for (; node; node = node->getnext()) {
        const QString text = QString::fromStdString(node->getname()) + "(" + QString::number(node->getval()) + ")";
        auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(&tree);
        item->setText(0, text);
        FillFromMib(tree, item, node->getchild());
    }
}

TEST_F(SearchMIBTreeDlgTest, FindsObjectsOfTheLoadedMibTree)
{
    MIBTree::Initialize();  // etc/mib/mib-2.mib below the build directory
    ASSERT_NE(MIBTree::gettop(), nullptr);
    tree.clear();
    FillFromMib(tree, nullptr, MIBTree::gettop());
    widgettest::ScriptedAnswers answers({platform::IDNO});
    dlg.textEdit()->setText("sysUpTime");
    dlg.OnClickSearchButton();
    ASSERT_NE(tree.currentItem(), nullptr);
    EXPECT_EQ(Current(), QString("sysUpTime(3)"));
    EXPECT_EQ(tree.currentItem()->parent()->text(0), QString("system(1)"));
    dlg.OnClickSearchButton();  // the only one
    EXPECT_EQ(answers.asked().size(), 1u);
    MIBTree::Finalize();
    MIBTree::top = nullptr;
}

}  // namespace
