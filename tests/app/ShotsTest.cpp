// Pictures of every window of the program for looking at them, taken on a
// real display when QUILLON_SHOTS_DIR names a directory:
//   scripts/netns.sh bash -c 'Xvfb :99 -screen 0 1280x1024x24 & sleep 1;
//     DISPLAY=:99 QT_QPA_PLATFORM=xcb QUILLON_SHOTS_DIR=/tmp/shots build/tests/app_shots_test'
// (with the namespace agent running). Without it the test is skipped. The
// pictures are in the language the program would start in (LANG=en_US.UTF-8
// for English).

#include "app/AppIds.h"
#include "app/CAboutDlg.h"
#include "app/CAgentDlg.h"
#include "app/CMIBTreeDlg.h"
#include "app/CMainFrame.h"
#include "app/CQuillonApp.h"
#include "app/CQuillonView.h"
#include "app/CSplashWnd.h"
#include "mibcore/registry/MIB.h"
#include "tests/app/AppHarness.h"

#include <QDesktopServices>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTreeWidget>

namespace {

std::string g_dir;

void Shot(QWidget* w, const std::string& name)
{
    apptest::Spin(300);
    w->grab().save(QString::fromStdString(g_dir + "/" + name + ".png"));
}

void ScreenShot(const std::string& name)
{
    apptest::Spin(300);
    QGuiApplication::primaryScreen()->grabWindow(0).save(QString::fromStdString(g_dir + "/" + name + ".png"));
}

}  // namespace

TEST(ShotsTest, EveryWindow)
{
    const char* dir = std::getenv("QUILLON_SHOTS_DIR");
    if (!dir || !*dir)
        GTEST_SKIP() << "set QUILLON_SHOTS_DIR to take pictures";
    g_dir = dir;
    std::filesystem::create_directories(g_dir);
    apptest::EnsureApp();
    app::ApplyLanguage();

    // The build tree is a start directory with the real plug-ins and modules.
    std::filesystem::current_path(harness::BuildDir());
    CQuillonApp app;
    apptest::WhenModal<CAgentDlg>([](CAgentDlg* d) {
        d->Ipv4Field()->SetAddress(127, 0, 0, 1);
        Shot(d, "agent-dialog");
        d->Ipv6Radio()->click();
        d->Ipv6Field()->setText("::1");
        Shot(d, "agent-dialog-ipv6");
        d->Ipv4Radio()->click();
        d->OkButton()->click();
    });
    ASSERT_TRUE(app.InitInstance());
    if (app.GetSplash() && app.GetSplash()->HasBitmap())
        ScreenShot("splash");
    ASSERT_TRUE(app.WaitForLoader(30000));
    CMainFrame* main = app.GetMainFrame();
    main->resize(1000, 720);
    ScreenShot("main-launcher");

    CQuillonView* v = app.GetLauncherView();
    ASSERT_NE(v, nullptr);
    if (MIB::Find("UDP情報")) {
        v->OpenMIB("UDP情報");
        apptest::Spin(2000);
        ScreenShot("udp-window");
    }
    main->SendCommand(32779);
    CMIBTreeDlg* tree = main->GetMIBTreeDlg();
    ASSERT_NE(tree, nullptr);
    QList<QTreeWidgetItem*> f = tree->TreeCtrl()->findItems("sysDescr(1)", Qt::MatchExactly | Qt::MatchRecursive);
    if (!f.isEmpty()) {
        tree->TreeCtrl()->setCurrentItem(f.first());
        tree->TreeCtrl()->scrollToItem(f.first());
    }
    Shot(tree, "mibtree-dialog");
    tree->OnSearch();
    Shot(tree->SearchDlg(), "search-dialog");
    tree->SearchDlg()->hide();
    tree->hide();

    {
        CAboutDlg about(main);
        about.show();
        Shot(&about, "about-dialog");
    }
    main->ShowHelpWindow(QString::fromStdString(CMainFrame::HelpIndexPath()));
    Shot(main->GetHelpWindow(), "help-window");
    main->GetHelpWindow()->setSource(QUrl::fromLocalFile(
        QString::fromStdString(harness::BuildDir() + "/doc/help/counters.html")));
    Shot(main->GetHelpWindow(), "help-counters");
    main->GetHelpWindow()->close();

    // The splash alone, with its eyes looking at the pointer.
    bool done = false;
    auto* splash = new CSplashWnd(harness::BuildDir(), [&] { done = true; });  // deletes itself
    splash->DrawEyes(QPoint(400, 100));
    // At once: the splash goes away by itself when the loader ends.
    splash->grab().save(QString::fromStdString(g_dir + "/splash-window.png"));
    apptest::SpinUntil([&] { return done; }, 30000);
}
