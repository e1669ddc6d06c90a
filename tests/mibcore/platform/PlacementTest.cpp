// Window placements of real widgets through settings files: MDI frames and
// top-level windows come back where they were, damaged records change
// nothing.

#include "QtApp.h"
#include "mibcore/platform/ChildFrame.h"
#include "mibcore/platform/MainFrame.h"
#include "mibcore/platform/Placement.h"
#include "mibcore/platform/Profile.h"

#include <QGuiApplication>
#include <QMdiArea>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

namespace fs = std::filesystem;
using namespace platform;

namespace {

class PlacementTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platformtest::EnsureApp();
        std::string tmpl = (fs::temp_directory_path() / "quillon-placement-XXXXXX").string();
        ASSERT_NE(::mkdtemp(tmpl.data()), nullptr);
        dir = tmpl;
        file = (dir / "win.ini").string();
        main = new MainFrame;
        main->resize(1000, 700);
        main->show();
    }
    void TearDown() override
    {
        delete main;
        fs::remove_all(dir);
    }
    ChildFrame* NewFrame()
    {
        auto* f = new ChildFrame;
        main->MdiArea()->addSubWindow(f);
        f->show();
        return f;
    }

    fs::path dir;
    std::string file;
    MainFrame* main = nullptr;
};

TEST_F(PlacementTest, MdiFramesComeBackWhereTheyWere)
{
    ChildFrame* f = NewFrame();
    f->setGeometry(40, 30, 420, 260);
    ASSERT_TRUE(SaveWindowPlacement(f, "window", "frame", file));
    delete f;

    ChildFrame* g = NewFrame();
    g->setGeometry(0, 0, 200, 150);
    ASSERT_TRUE(LoadWindowPlacement(g, "window", "frame", file));
    EXPECT_EQ(g->geometry(), QRect(40, 30, 420, 260));
    WindowPlacement wp = g->GetPlacement();
    EXPECT_EQ(wp.showCmd, SW_SHOWNORMAL);
    EXPECT_EQ(wp.normal, (Rect32{40, 30, 460, 290}));
    EXPECT_EQ(wp.length, 44u);
}

TEST_F(PlacementTest, MaximisedFramesKeepTheirNormalRectangle)
{
    ChildFrame* f = NewFrame();
    f->setGeometry(50, 60, 300, 200);
    f->showMaximized();
    QCoreApplication::processEvents();
    ASSERT_TRUE(f->isMaximized());
    WindowPlacement wp = f->GetPlacement();
    EXPECT_EQ(wp.showCmd, SW_SHOWMAXIMIZED);
    EXPECT_EQ(wp.normal, (Rect32{50, 60, 350, 260}));
    ASSERT_TRUE(SaveWindowPlacement(f, "window", "frame", file));
    delete f;

    ChildFrame* g = NewFrame();
    ASSERT_TRUE(LoadWindowPlacement(g, "window", "frame", file));
    QCoreApplication::processEvents();
    EXPECT_TRUE(g->isMaximized());
    EXPECT_EQ(g->GetPlacement().normal, (Rect32{50, 60, 350, 260}));
    g->showNormal();
    QCoreApplication::processEvents();
    EXPECT_EQ(g->geometry(), QRect(50, 60, 300, 200));
}

TEST_F(PlacementTest, TopLevelWindowsRoundTrip)
{
    MainFrame* w = new MainFrame;
    w->setGeometry(120, 80, 640, 480);
    WindowPlacement wp = GetWindowPlacement(w);
    EXPECT_EQ(wp.normal, (Rect32{120, 80, 760, 560}));
    ASSERT_TRUE(SaveWindowPlacement(w, "window", "frame", file));
    delete w;

    MainFrame* again = new MainFrame;
    ASSERT_TRUE(LoadWindowPlacement(again, "window", "frame", file));
    EXPECT_EQ(again->geometry(), QRect(120, 80, 640, 480));
    delete again;
}

TEST_F(PlacementTest, InvalidPlacementsChangeNothing)
{
    ChildFrame* f = NewFrame();
    f->setGeometry(10, 10, 300, 200);
    const QRect before = f->geometry();
    WindowPlacement wp;
    wp.normal = {0, 0, 100, 100};

    WindowPlacement bad = wp;
    bad.length = 40;
    EXPECT_FALSE(SetWindowPlacement(f, bad));
    bad = wp;
    bad.normal = {100, 100, 100, 300};  // empty
    EXPECT_FALSE(SetWindowPlacement(f, bad));
    bad.normal = {300, 100, 100, 300};  // inverted
    EXPECT_FALSE(SetWindowPlacement(f, bad));
    bad.normal = {0, 0, 2000000000, 100};  // absurd
    EXPECT_FALSE(SetWindowPlacement(f, bad));
    bad.normal = {-2147483647 - 1, 0, 2147483647, 10};  // overflowing width
    EXPECT_FALSE(SetWindowPlacement(f, bad));
    bad = wp;
    bad.showCmd = 99;
    EXPECT_FALSE(SetWindowPlacement(f, bad));
    EXPECT_FALSE(SetWindowPlacement(nullptr, wp));
    EXPECT_EQ(f->geometry(), before);

    // A record that fails its check byte is missing: the frame stays as it is.
    ASSERT_TRUE(WritePrivateProfileString("window", "frame", std::string(90, '0'), file));
    EXPECT_FALSE(LoadWindowPlacement(f, "window", "frame", file));
    EXPECT_FALSE(LoadWindowPlacement(f, "window", "missing", file));
    EXPECT_EQ(f->geometry(), before);
}

TEST_F(PlacementTest, WindowsOutsideEveryScreenComeBackOnScreen)
{
    QScreen* screen = QGuiApplication::primaryScreen();
    ASSERT_NE(screen, nullptr);
    MainFrame* w = new MainFrame;
    WindowPlacement wp;
    wp.normal = {20000, 20000, 20640, 20480};
    ASSERT_TRUE(SetWindowPlacement(w, wp));
    EXPECT_TRUE(screen->availableGeometry().intersects(w->geometry()));
    EXPECT_EQ(w->geometry().size(), QSize(640, 480));
    delete w;
}

}  // namespace
