// The window after a walk of mib-2, grabbed into
// build/tests/screenshots/treeplug.png for a look by eye; the test checks
// what the picture must show: both panes filled, the count in the status
// bar, the radar at rest.

#include <QDir>
#include <QImage>
#include <QTreeWidget>

#include "tests/plugins/treeplug/TreeHarness.h"

using namespace treetest;

namespace {
class TreeShot : public TreeTest {};
}  // namespace

TEST_F(TreeShot, AfterMib2Walk)
{
    QUILLON_REQUIRE_NETNS();
    UseAgent(harness::kAgentV4);
    Window w = Open();
    ASSERT_TRUE(w);
    w.frame->showNormal();
    w.frame->setGeometry(0, 0, 1040, 620);
    ASSERT_TRUE(Walk(w, "mgmt.mib-2"));
    QTreeWidget* tree = w.tree->GetTreeCtrl();
    ASSERT_GT(tree->topLevelItemCount(), 0);
    EXPECT_EQ(tree->topLevelItem(0)->text(0).toStdString(), "mib-2(1.3.6.1.2.1)");
    // Show the interface table in both panes.
    QList<QTreeWidgetItem*> found = tree->findItems(QString::fromUtf8("ifDescr("),
                                                    Qt::MatchStartsWith | Qt::MatchRecursive);
    ASSERT_FALSE(found.isEmpty());
    // An object holding instances starts folded; expanded, it shows them
    // in walk order, and a leaf selects its own row.
    QTreeWidgetItem* ifDescr = found.first();
    EXPECT_FALSE(ifDescr->isExpanded());
    ASSERT_GT(ifDescr->childCount(), 0);
    tree->expandItem(ifDescr);
    const CListCtrlEx& list = w.list->GetListCtrl();
    int firstRow = -1;
    for (int r = 0; r < list.GetItemCount() && firstRow < 0; ++r)
        if (list.GetItemText(r, 3).startsWith(QStringLiteral("1.3.6.1.2.1.2.2.1.2.")))
            firstRow = r;
    ASSERT_GE(firstRow, 0);
    for (int k = 0; k < ifDescr->childCount(); ++k)
        EXPECT_EQ(ifDescr->child(k)->text(0),
                  list.GetItemText(firstRow + k, 3).mid(QStringLiteral("1.3.6.1.2.1.2.2.1.2.").size()) + u'(' +
                      list.GetItemText(firstRow + k, 3) + u')')
            << k;
    tree->setCurrentItem(ifDescr->child(0));
    EXPECT_EQ(list.GetSelectedRows(), std::vector<int>{firstRow});
    tree->setCurrentItem(found.first());
    tree->scrollToItem(found.first(), QAbstractItemView::PositionAtTop);
    w.frame->UpdateCmdUI();
    EXPECT_EQ(w.frame->GetStatusBar()->GetPaneText(2),
              "アイテム数：" + std::to_string(w.list->GetListCtrl().GetItemCount()));
    SpinUntil([] { return false; }, 300);

    const QImage shot = platform::App::GetMainFrame()->grab().toImage();
    ASSERT_FALSE(shot.isNull());
    const QString dir = QString::fromStdString(harness::BuildDir()) + "/tests/screenshots";
    QDir().mkpath(dir);
    EXPECT_TRUE(shot.save(dir + "/treeplug.png"));
    EXPECT_FALSE(w.list->GetListCtrl().GetSelectedRows().empty());
    EXPECT_FALSE(RadarRunning(w));
}
