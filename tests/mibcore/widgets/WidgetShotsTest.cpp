// Not a check: with QUILLON_WIDGET_SHOTS=<dir> set, renders the dialogs and
// the activity bar into PNG files there, for a look at the layouts.

#include "mibcore/platform/ChildFrame.h"
#include "mibcore/platform/Resources.h"
#include "mibcore/widgets/CLineColorDlg.h"
#include "mibcore/widgets/CListViewEx.h"
#include "mibcore/widgets/CLoopBar.h"
#include "mibcore/widgets/CRadarWnd.h"
#include "mibcore/widgets/CSearchMIBTreeDlg.h"
#include "mibcore/widgets/WidgetResources.h"
#include "tests/mibcore/widgets/WidgetTestApp.h"

#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

void Save(QWidget* w, const QString& dir, const char* name)
{
    w->show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(w));
    QCoreApplication::processEvents();
    EXPECT_TRUE(w->grab().save(dir + "/" + name));
}

TEST(WidgetShots, RenderDialogsWhenAsked)
{
    const char* dir = std::getenv("QUILLON_WIDGET_SHOTS");
    if (!dir)
        GTEST_SKIP() << "QUILLON_WIDGET_SHOTS not set";
    widgettest::EnsureApp();
    const QString out = QString::fromLocal8Bit(dir);

    CLineColorDlg color;
    platform::LogPen pen;
    pen.style = platform::PS_DASHDOT;
    pen.color = 0x0000FF;
    color.setLogPen(&pen);
    Save(&color, out, "line-color-dialog.png");
    color.styleList()->showPopup();
    QCoreApplication::processEvents();
    if (QWidget* popup = color.styleList()->view()->window())
        popup->grab().save(out + "/line-style-list.png");
    color.styleList()->hidePopup();

    CSearchMIBTreeDlg search;
    search.textEdit()->setText("sysUpTime");
    Save(&search, out, "search-dialog.png");

    CListViewEx list;
    list.resize(420, 160);
    CListCtrlEx& l = list.GetListCtrl();
    l.InsertColumn(0, QString::fromUtf8("オブジェクト識別子"), LVCFMT_LEFT, 120);
    l.InsertColumn(1, QString::fromUtf8("値"), LVCFMT_RIGHT, 60);
    l.InsertColumn(2, QString::fromUtf8("エラー内容"), LVCFMT_LEFT, 120);
    const char* rows[][3] = {{"udpInDatagrams", "120", "0(正常終了)"},
                             {"udpNoPorts", "1234567890123", "0(正常終了)"},
                             {"udpInErrors", "0", "19(タイムアウトが発生しました)"}};
    for (int i = 0; i < 3; ++i) {
        l.InsertItem(i, QString::fromUtf8(rows[i][0]));
        l.SetItemText(i, 1, QString::fromUtf8(rows[i][1]));
        l.SetItemText(i, 2, QString::fromUtf8(rows[i][2]));
    }
    list.SetFullRowSel(true);
    l.SetShowSelAlways(true);
    l.SetItemState(1, true);
    Save(&list, out, "list-view.png");

    platform::ChildFrame frame;
    auto* bar = new CLoopBar;
    frame.AddToolBar(bar);
    bar->CreateEdit(0, QRect(0, 0, 200, 22), 33001, QFont());
    bar->getEdit(0)->setText("mgmt.mib-2.system");
    bar->CreateRader(QRect(0, 0, 20, 20), 1028);
    frame.resize(400, 120);
    bar->StartProc();
    QTest::qWait(200);
    Save(&frame, out, "loop-bar.png");
    bar->EndProc();

    CRadarWnd radar;
    radar.resize(120, 120);
    radar.InitRadar();
    radar.DrawBG();
    for (int i = 0; i < 120; ++i)
        radar.DrawRadar();
    Save(&radar, out, "radar.png");

    QWidget host;
    QMenu* setup = platform::LoadPopupMenu("IDR_SETUP_MENU", 0, &host);
    ASSERT_NE(setup, nullptr);
    setup->popup(QPoint(0, 0));
    QCoreApplication::processEvents();
    setup->grab().save(out + "/setup-menu.png");
}

}  // namespace
