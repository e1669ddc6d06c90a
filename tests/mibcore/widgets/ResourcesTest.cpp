// The resources the core library supplies by name, as a plug-in finds them.

#include "mibcore/platform/Resources.h"
#include "mibcore/widgets/CLineColorDlg.h"
#include "mibcore/widgets/CSearchMIBTreeDlg.h"
#include "mibcore/widgets/WidgetResources.h"
#include "tests/mibcore/widgets/WidgetTestApp.h"

#include <QAction>
#include <QMenu>

#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

namespace {

std::vector<std::pair<int, std::string>> Items(const QMenu* menu)
{
    std::vector<std::pair<int, std::string>> out;
    for (const QAction* a : menu->actions())
        out.emplace_back(platform::CommandId(a), a->isSeparator() ? "-" : a->text().toStdString());
    return out;
}

TEST(WidgetResourcesTest, MenusStringsAndDialogsAreFoundByName)
{
    widgettest::EnsureApp();
    QWidget owner;

    std::unique_ptr<QMenu> tree(platform::LoadPopupMenu("IDR_MIBTREE_MENU", 0, nullptr));
    ASSERT_NE(tree, nullptr);
    EXPECT_EQ(tree->title().toStdString(), "MIBツリー");
    EXPECT_EQ(Items(tree.get()), (std::vector<std::pair<int, std::string>>{
                                     {7006, "検索"},
                                     {0, "-"},
                                     {7007, "オブジェクト識別子(数値)をコピー"},
                                     {7008, "オブジェクト識別子(文字)をコピー"}}));

    std::unique_ptr<QMenu> setup(platform::LoadPopupMenu("IDR_SETUP_MENU", 0, nullptr));
    ASSERT_NE(setup, nullptr);
    EXPECT_EQ(setup->title().toStdString(), "設定");
    const QList<QAction*> items = setup->actions();
    ASSERT_EQ(items.size(), 2);
    EXPECT_EQ(platform::CommandId(items[0]), 33014);
    EXPECT_EQ(items[0]->text().toStdString(), "カラー変更");
    EXPECT_EQ(items[0]->statusTip().toStdString(), "カラー変更");  // from string 33014
    ASSERT_NE(items[1]->menu(), nullptr);
    EXPECT_EQ(items[1]->menu()->title().toStdString(), "タイマー変更");
    EXPECT_EQ(Items(items[1]->menu()), (std::vector<std::pair<int, std::string>>{
                                           {33225, "5秒"}, {33226, "15秒"}, {33227, "30秒"}, {33228, "1分"},
                                           {33229, "5分"}}));

    EXPECT_EQ(platform::LoadString(33014), "カラー変更\nカラー変更");

    std::unique_ptr<QDialog> color(widgets::CreateDialogResource("IDD_COLOR_DIALOG", &owner));
    EXPECT_NE(qobject_cast<CLineColorDlg*>(color.get()), nullptr);
    std::unique_ptr<QDialog> search(widgets::CreateDialogResource("IDD_SEARCH_MIBTREE_DIALOG", &owner));
    ASSERT_NE(qobject_cast<CSearchMIBTreeDlg*>(search.get()), nullptr);
    EXPECT_NE(widgets::GetDlgItem(search.get(), 7004), nullptr);
    EXPECT_NE(widgets::GetDlgItem(search.get(), 7005), nullptr);
    EXPECT_EQ(widgets::CreateDialogResource("IDD_NO_SUCH_DIALOG", &owner), nullptr);
    EXPECT_EQ(widgets::GetDlgItem(search.get(), 4711), nullptr);
}

}  // namespace
