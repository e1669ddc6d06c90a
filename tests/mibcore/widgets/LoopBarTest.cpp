// The activity bar: the radar thread's life cycle, the radar's drawing, the
// edit boxes' Enter command and the tool bar resource loading, inside a real
// child frame.

#include "mibcore/platform/ChildFrame.h"
#include "mibcore/platform/Resources.h"
#include "mibcore/widgets/CLoopBar.h"
#include "mibcore/widgets/CRadarWnd.h"
#include "mibcore/widgets/WidgetResources.h"
#include "tests/mibcore/widgets/WidgetTestApp.h"

#include <QAction>
#include <QElapsedTimer>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

// A child frame that records the commands reaching it.
class RecordingFrame : public platform::ChildFrame {
public:
    RecordingFrame()
    {
        for (int id : {1026, 1027, 1028, 33002})
            AddCommand(id, [this, id] { commands.push_back(id); });
    }
    std::vector<int> commands;
};

class LoopBarTest : public ::testing::Test {
protected:
    void SetUp() override { widgettest::EnsureApp(); }
};

TEST_F(LoopBarTest, StartTwiceLeavesOneRadarThreadAndEndStopsIt)
{
    {
        CLoopBar bar;
        ASSERT_TRUE(bar.CreateRader(QRect(0, 0, 20, 20), 1028));
        EXPECT_EQ(bar.getThread(), nullptr);
        bar.StartProc();
        bar.StartProc();
        EXPECT_EQ(bar.getRepeat(), 1);
        ASSERT_NE(bar.getThread(), nullptr);
        QTRY_COMPARE(CLoopBar::liveRadarThreads(), 1);
        // The sweep turns.
        QTRY_VERIFY(bar.getRadar()->getAngle() != 0);
        bar.EndProc();
        EXPECT_EQ(CLoopBar::liveRadarThreads(), 0);
        EXPECT_EQ(bar.getThread(), nullptr);
        EXPECT_EQ(bar.getRepeat(), 0);

        // An immediate stop after a start never waits for a thread that has
        // not yet seen the stop.
        for (int i = 0; i < 200; ++i) {
            bar.StartProc();
            bar.EndProc();
        }
        EXPECT_EQ(CLoopBar::liveRadarThreads(), 0);
        // Destroying a running bar waits for its thread.
        bar.StartProc();
    }
    EXPECT_EQ(CLoopBar::liveRadarThreads(), 0);
}

// Counts the paint events a widget receives.
class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

TEST_F(LoopBarTest, SweepRepaintsNoFasterThanTheScreen)
{
    // The thread draws a frame every 5 ms; repainting each one would keep
    // the user-interface thread busy for nothing the screen can show.
    CLoopBar bar;
    ASSERT_TRUE(bar.CreateRader(QRect(0, 0, 20, 20), 1028));
    bar.show();
    PaintCounter counter;
    bar.getRadar()->installEventFilter(&counter);
    QElapsedTimer clock;
    clock.start();
    bar.StartProc();
    QTRY_VERIFY_WITH_TIMEOUT(counter.paints >= 10, 10000);  // it still turns on screen
    const int paints = counter.paints;
    const qint64 ms = clock.elapsed();
    bar.EndProc();
    EXPECT_LE(paints, ms / 16 + 3) << ms << " ms";
}

// Whether colour c appears within one pixel of pt (a line's pixels may lie
// one pixel beside the exact point).
bool Near(const QImage& img, QPoint pt, const QColor& c)
{
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (img.valid(pt.x() + dx, pt.y() + dy) && img.pixelColor(pt.x() + dx, pt.y() + dy) == c)
                return true;
    return false;
}

TEST_F(LoopBarTest, RadarDrawsTheDiscTheCrossAndAClockwiseFadingSweep)
{
    CRadarWnd radar;
    radar.resize(260, 200);  // wider than high: a centred 200 x 200 square
    radar.InitRadar();
    EXPECT_EQ(radar.getSquare(), QRect(30, 0, 200, 200));
    EXPECT_EQ(radar.getRadius(), 100);
    EXPECT_EQ(radar.getCenter(), QPoint(130, 100));
    EXPECT_EQ(radar.getAngle(), 0);

    radar.DrawBG();
    QImage img = radar.snapshot();
    const QColor green(0, 255, 0), black(0, 0, 0), white(255, 255, 255);
    EXPECT_EQ(img.pixelColor(130, 40), green);   // vertical scale line
    EXPECT_EQ(img.pixelColor(180, 100), green);  // horizontal scale line
    EXPECT_EQ(img.pixelColor(100, 60), black);   // inside the disc
    EXPECT_TRUE(Near(img, QPoint(130 - 99, 100 - 20), black));
    // The ring: the row through y 60 turns green near x = 130 -+ 91.6.
    int greenRuns = 0;
    for (int x = 31; x < 229; ++x)
        if (img.pixelColor(x, 60) == green && img.pixelColor(x - 1, 60) != green)
            ++greenRuns;
    EXPECT_EQ(greenRuns, 3);  // left ring, vertical line, right ring

    const double pi = std::acos(-1.0);
    auto along = [&](int deg) {
        const double rad = deg * pi / 180.0;
        return QPoint(static_cast<int>(130 + 70 * std::cos(rad)), static_cast<int>(100 - 70 * std::sin(rad)));
    };

    // One frame: the angle goes from 0 to 359; the leading (white) line lies
    // at 359 + 10 = 9 degrees, the fifth (0x808080) at 49 and the last
    // (black) at 89.
    radar.DrawRadar();
    EXPECT_EQ(radar.getAngle(), 359);
    img = radar.snapshot();
    EXPECT_TRUE(Near(img, along(9), white));
    EXPECT_TRUE(Near(img, along(49), QColor(0x80, 0x80, 0x80)));
    EXPECT_FALSE(Near(img, along(29), white));
    EXPECT_FALSE(Near(img, along(300), white));

    // Ten frames later the white line is at 359 degrees and the line at 9
    // degrees has the second colour: the trail turns clockwise and fades.
    for (int i = 0; i < 10; ++i)
        radar.DrawRadar();
    EXPECT_EQ(radar.getAngle(), 349);
    img = radar.snapshot();
    EXPECT_TRUE(Near(img, along(359), white));
    EXPECT_TRUE(Near(img, along(9), QColor(0xE0, 0xE0, 0xE0)));

    // What the widget paints is that image.
    radar.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&radar));
    QImage shown = radar.grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_TRUE(Near(shown, along(9), QColor(0xE0, 0xE0, 0xE0)));
    EXPECT_EQ(shown.pixelColor(130, 40), green);

    // After whole turns the ring is still there all round: as many green
    // pixels on the rim as on the idle disc.
    auto rimGreen = [&](const QImage& im) {
        int n = 0;
        for (int y = 0; y < 200; ++y)
            for (int x = 30; x < 230; ++x) {
                const double r = std::hypot(x - 130, y - 100);
                n += r >= 96 && r <= 101 && im.pixelColor(x, y) == green;
            }
        return n;
    };
    radar.DrawBG();
    const int idle = rimGreen(radar.snapshot());
    ASSERT_GT(idle, 500);
    for (int i = 0; i < 400; ++i)
        radar.DrawRadar();
    EXPECT_GE(rimGreen(radar.snapshot()), idle - 8);
}

TEST_F(LoopBarTest, EnterInAnEditBoxReachesTheFrameOnce)
{
    RecordingFrame frame;
    auto* bar = new CLoopBar;
    frame.AddToolBar(bar);
    ASSERT_TRUE(bar->CreateEdit(0, QRect(0, 0, 200, 22), 33001, QFont()));
    ASSERT_TRUE(bar->CreateEdit(1, QRect(0, 0, 100, 22), 33003, QFont()));
    EXPECT_FALSE(bar->CreateEdit(2, QRect(0, 0, 100, 22), 33004, QFont()));
    EXPECT_EQ(widgets::GetCtrlId(bar->getEdit(0)), 33001);
    EXPECT_EQ(bar->getEdit(0)->width(), 200);
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));

    QTest::keyClicks(bar->getEdit(0), "mgmt.mib-2.system");
    QTest::keyClick(bar->getEdit(0), Qt::Key_Return);
    EXPECT_EQ(frame.commands, std::vector<int>{1026});
    QTest::keyClick(bar->getEdit(1), Qt::Key_Enter);
    EXPECT_EQ(frame.commands, (std::vector<int>{1026, 1026}));
    // Other keys are plain editing.
    EXPECT_EQ(bar->getEdit(0)->text(), QString("mgmt.mib-2.system"));
}

TEST_F(LoopBarTest, ToolBarResourceGivesButtonsThatCommandTheFrame)
{
    platform::RegisterToolBar("IDR_WIDGETTEST_TOOLBAR", {"IDB_NO_SUCH_BITMAP", 16, 15, {1026, 1027, 33002, 0, 0, 0, 0}});
    RecordingFrame frame;
    auto* bar = new CLoopBar(&frame);
    EXPECT_FALSE(bar->LoadToolBar("IDR_NO_SUCH_TOOLBAR"));
    ASSERT_TRUE(bar->LoadToolBar("IDR_WIDGETTEST_TOOLBAR"));
    ASSERT_EQ(bar->actions().size(), 7);
    frame.AddToolBar(bar);

    // Placeholders at 4 (text box) and 6 (radar), as the browser lays out.
    bar->SetButtonInfo(4, 33001, 200);
    bar->SetButtonInfo(6, 1028, 20);
    ASSERT_TRUE(bar->CreateEdit(0, QRect(0, 0, 200, 20), 33001, QFont()));
    ASSERT_TRUE(bar->CreateRader(QRect(0, 0, 20, 20), 1028));
    const QList<QAction*> items = bar->actions();
    ASSERT_EQ(items.size(), 7);
    EXPECT_EQ(bar->widgetForAction(items[4]), bar->getEdit(0));
    EXPECT_EQ(bar->widgetForAction(items[6]), bar->getRadar());
    EXPECT_TRUE(items[3]->isSeparator());

    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    QAction* stop = bar->commandAction(1027);
    ASSERT_NE(stop, nullptr);
    stop->trigger();
    bar->commandAction(33002)->trigger();
    EXPECT_EQ(frame.commands, (std::vector<int>{1027, 33002}));
    // The controls stay usable whatever the command updates decide.
    frame.UpdateCmdUI();
    EXPECT_TRUE(bar->getEdit(0)->isEnabled());
}

}  // namespace
