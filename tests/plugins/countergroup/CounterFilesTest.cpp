// What a counter-group window writes and reads: the CSV export, the
// settings file with its seven kinds of keys, the interval and pen records
// at start-up, the colour change, and the cursor driven by the mouse.

#include <QAbstractButton>
#include <QContextMenuEvent>
#include <QMenu>
#include <QSplitter>
#include <QTest>
#include <QTimer>

#include <ctime>
#include <functional>

#include "mibcore/platform/FileDialog.h"
#include "mibcore/platform/MessageBox.h"
#include "mibcore/platform/Profile.h"
#include "mibcore/platform/Records.h"
#include "mibcore/platform/Resources.h"
#include "mibcore/widgets/CLineColorDlg.h"
#include "tests/plugins/countergroup/LocalStamp.h"
#include "tests/plugins/countergroup/WindowHarness.h"
#include "tests/support/faultpeer/FaultAgent.h"

using namespace cgtest;
namespace fp = faultpeer;

namespace {

const fp::Oid kUdp = {1, 3, 6, 1, 2, 1, 7};
fp::Oid Scalar(uint32_t sub) { return fp::append(kUdp, {sub, 0}); }

// Answers the next modal line dialog with a pen (or cancels it).
void AnswerLineDialog(const platform::LogPen* pen)
{
    QTimer::singleShot(0, [pen] {
        auto* dlg = qobject_cast<CLineColorDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        if (pen) {
            *dlg->getLogPen() = *pen;
            dlg->accept();
        } else {
            dlg->reject();
        }
    });
}

class CounterFilesTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        if (HasFatalFailure())
            return;
        if (harness::InNetns()) {
            peer = std::make_unique<fp::FaultAgent>();
            mib = std::make_shared<fp::Mib>();
            for (uint32_t s = 1; s <= 4; ++s)
                mib->set(Scalar(s), fp::counter(100 * s));
            peer->setScript(fp::serve(mib));
            UseAgent(peer->address(), 2, 3);
        } else {
            // No agent to talk to: an unroutable address fails at once (19).
            UseAgent("not-an-address", 2, 3);
        }
    }
    void TearDown() override
    {
        WindowTest::TearDown();
        platform::SetFileHook({});
        peer.reset();
    }

    std::unique_ptr<fp::FaultAgent> peer;
    std::shared_ptr<fp::Mib> mib;
};

}  // namespace

// The fault agent needs the namespace; the skip must leave the test body.
#define REQUIRE_AGENT()                                                              \
    do {                                                                             \
        if (!peer)                                                                   \
            GTEST_SKIP() << "needs the private network namespace: run ./test.sh";    \
    } while (0)

TEST_F(CounterFilesTest, CsvExportInCp932WithLineFeeds)
{
    REQUIRE_AGENT();
    Window w = Open("UDP情報");
    ASSERT_TRUE(w);
    const std::string path = m_startDir.path().toStdString() + "/export";
    platform::FileRequest seen;
    platform::SetFileHook([&](const platform::FileRequest& r) -> std::optional<std::string> {
        seen = r;
        return platform::WithDefaultExt(path, r.defaultExt);
    });
    const std::string header = "\x8e\x9e\x8d\x8f,udpInDatagrams,udpNoPorts,udpInErrors,udpOutDatagrams\n";

    ASSERT_TRUE(w.frame->SendCommand(countergroup::kCmdSaveFile));
    EXPECT_FALSE(seen.open) << "a chooser that saves";
    EXPECT_EQ(seen.filter, "csv files(.csv)|*.csv||");
    EXPECT_EQ(seen.defaultExt, ".csv");
    EXPECT_EQ(ReadFile(path + ".csv"), header);  // after the first poll: the header only

    mib->set(Scalar(1), fp::counter(105));
    mib->set(Scalar(4), fp::counter(400 + 118));
    w.list->Poll();
    // The file exists now: replacing it is asked first.
    std::vector<std::string> asked;
    auto before = platform::SetMessageHook([&](const platform::MessageRequest& m) {
        asked.push_back(m.text);
        return platform::IDYES;
    });
    ASSERT_TRUE(w.frame->SendCommand(countergroup::kCmdSaveFile));
    platform::SetMessageHook(before);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0], path + ".csv は既に存在します。\n上書きしますか？");
    const long t = w.doc->getSeries(0)->getValatTime()[60].getTime();
    EXPECT_EQ(ReadFile(path + ".csv"), header + LocalStamp(t) + ",5,0,0,118\n");

    // A cancelled chooser writes nothing; an unwritable path is reported.
    platform::SetFileHook([](const platform::FileRequest&) { return std::optional<std::string>(); });
    EXPECT_FALSE(w.doc->ExportCsv());
    std::vector<std::string> messages;
    auto old = platform::SetMessageHook([&](const platform::MessageRequest& m) {
        messages.push_back(m.text);
        return platform::IDOK;
    });
    platform::SetFileHook([&](const platform::FileRequest&) {
        return std::optional<std::string>(path + "/no/such/dir/x.csv");
    });
    EXPECT_FALSE(w.doc->ExportCsv());
    platform::SetMessageHook(old);
    EXPECT_EQ(messages.size(), 1u);
    EXPECT_EQ(ReadFile(path + ".csv"), header + LocalStamp(t) + ",5,0,0,118\n");
}

TEST_F(CounterFilesTest, FirstCloseWritesAllSevenKindsOfKeys)
{
    Window w = Open("UDP情報");
    ASSERT_TRUE(w);
    Close(w);
    const std::string ini = IniPath("udp.ini");
    auto has = [&](const char* section, const std::string& key) {
        return !platform::GetPrivateProfileString(section, key, "", ini).empty();
    };
    EXPECT_EQ(platform::GetPrivateProfileString("timer", "timeId", "", ini), "33226");
    EXPECT_EQ(platform::GetPrivateProfileString("timer", "interval", "", ini), "15000");
    for (int i = 0; i < 4; ++i) {
        platform::LogPen lp;
        ASSERT_TRUE(platform::GetProfileRecord("pen", "logpen." + std::to_string(i), lp, ini)) << i;
        EXPECT_EQ(lp.style, platform::PS_SOLID);
        EXPECT_EQ(lp.widthX, 2);
        EXPECT_EQ(lp.color, countergroup::GraphResources::kSeriesColours[i]);
    }
    platform::WindowPlacement wp;
    EXPECT_TRUE(platform::GetProfileRecord("window", "frame", wp, ini));
    platform::Rect32 r;
    EXPECT_TRUE(platform::GetProfileRecord("window", "graphview", r, ini));
    EXPECT_GT(r.Width(), 0);
    EXPECT_TRUE(platform::GetProfileRecord("window", "listview", r, ini));
    EXPECT_GT(r.Width(), 0);
    // The design's widths, scaled to the font and grown to the values.
    EXPECT_GE(platform::GetPrivateProfileInt("list", "column.0", 0, ini), 120);
    EXPECT_GE(platform::GetPrivateProfileInt("list", "column.1", 0, ini), 60);
    EXPECT_TRUE(has("list", "column.2"));
    EXPECT_FALSE(has("list", "column.3"));
}

TEST_F(CounterFilesTest, IntervalKeyOverridesTheTimerChoice)
{
    REQUIRE_AGENT();
    const std::string ini = IniPath("udp.ini");
    ASSERT_TRUE(platform::WritePrivateProfileString("timer", "timeId", "33226", ini));
    ASSERT_TRUE(platform::WritePrivateProfileString("timer", "interval", "1000", ini));
    Window w = Open("UDP情報");
    ASSERT_TRUE(w);
    EXPECT_EQ(w.doc->getTimeId(), 33226);
    EXPECT_EQ(w.doc->getInterval(), 1000);
    EXPECT_TRUE(w.list->IsTimerActive(countergroup::kTimerPoll));
    // The menu shows "15秒" checked.
    platform::CmdUI ui(33226);
    platform::UpdateCommand(w.frame, ui);
    EXPECT_EQ(ui.GetCheck(), 1);
    platform::CmdUI other(33225);
    platform::UpdateCommand(w.frame, other);
    EXPECT_EQ(other.GetCheck(), 0);
    // It polls every second, not every 15 s.
    const size_t before = peer->requestCount();
    QTest::qWait(3500);
    EXPECT_GE(peer->requestCount(), before + 8);
}

TEST_F(CounterFilesTest, BrokenSettingsFallBackToDefaults)
{
    const std::string ini = IniPath("udp.ini");
    // logpen.0: a dashed blue pen of width 1, stored correctly.
    platform::LogPen custom{platform::PS_DASH, 1, 0, 0xFF0000};
    ASSERT_TRUE(platform::WriteProfileRecord("pen", "logpen.0", custom, ini));
    // logpen.1: the same bytes with a wrong check byte.
    std::string good = platform::GetPrivateProfileString("pen", "logpen.0", "", ini);
    ASSERT_EQ(good.size(), 34u);
    std::string bad = good.substr(0, 32) + (good.substr(32) == "00" ? "01" : "00");
    ASSERT_TRUE(platform::WritePrivateProfileString("pen", "logpen.1", bad, ini));
    // logpen.2: too short.
    ASSERT_TRUE(platform::WritePrivateProfileString("pen", "logpen.2", "0000", ini));
    ASSERT_TRUE(platform::WritePrivateProfileString("timer", "timeId", "garbage", ini));
    ASSERT_TRUE(platform::WritePrivateProfileString("timer", "interval", "-5", ini));

    Window w = Open("UDP情報", false);
    ASSERT_TRUE(w);
    EXPECT_EQ(w.doc->getSeries(0)->getLogPen(), custom);
    for (int i = 1; i <= 2; ++i) {
        platform::LogPen lp = w.doc->getSeries(i)->getLogPen();
        EXPECT_EQ(lp.style, platform::PS_SOLID) << i;
        EXPECT_EQ(lp.widthX, 2) << i;
        EXPECT_EQ(lp.color, countergroup::GraphResources::kSeriesColours[i]) << i;
    }
    EXPECT_EQ(w.doc->getTimeId(), 33226);
    EXPECT_EQ(w.doc->getInterval(), 15000);
}

TEST_F(CounterFilesTest, ColourChangeSavesAtOnceExceptCisco)
{
    const platform::LogPen chosen{platform::PS_DOT, 1, 0, 0x123456};
    for (const char* name : {"UDP情報", "CISCO情報"}) {
        SCOPED_TRACE(name);
        Window w = Open(name);
        ASSERT_TRUE(w);
        const std::string ini = w.doc->iniPath();
        CListCtrlEx& list = w.list->GetListCtrl();
        // Nothing selected: nothing happens, no dialog.
        for (int r = 0; r < list.GetItemCount(); ++r)
            list.SetItemState(r, false);
        EXPECT_TRUE(w.frame->SendCommand(countergroup::kCmdColourChange));

        list.SetItemState(0, true);
        list.SetItemState(2, true);
        AnswerLineDialog(&chosen);
        EXPECT_TRUE(w.frame->SendCommand(countergroup::kCmdColourChange));
        EXPECT_EQ(w.doc->getSeries(0)->getLogPen(), chosen);
        EXPECT_EQ(w.doc->getSeries(2)->getLogPen(), chosen);
        EXPECT_NE(w.doc->getSeries(1)->getLogPen(), chosen);
        platform::LogPen stored;
        bool saved = platform::GetProfileRecord("pen", "logpen.2", stored, ini);
        if (std::string(name) == "UDP情報") {
            ASSERT_TRUE(saved);
            EXPECT_EQ(stored, chosen);
        } else {
            EXPECT_FALSE(saved);
        }
        // A dotted pen shows in the line sample image of the row.
        QImage line = *w.doc->getSeries(0)->getLine();
        ASSERT_EQ(line.size(), QSize(48, 16));
        EXPECT_EQ(line.pixelColor(0, 0), platform::ToQColor(0x123456));

        // Cancelled: the pens stay.
        AnswerLineDialog(nullptr);
        list.SetItemState(0, false);
        list.SetItemState(1, true);
        EXPECT_TRUE(w.frame->SendCommand(countergroup::kCmdColourChange));
        EXPECT_NE(w.doc->getSeries(1)->getLogPen(), chosen);
        Close(w);
        ASSERT_TRUE(platform::GetProfileRecord("pen", "logpen.2", stored, ini));
        EXPECT_EQ(stored, chosen);
    }
}

TEST_F(CounterFilesTest, MouseMovesTheCursorAndTheListFollows)
{
    REQUIRE_AGENT();
    Window w = Open("UDP情報");
    ASSERT_TRUE(w);
    mib->set(Scalar(1), fp::counter(142));
    w.list->Poll();
    QWidget* canvas = w.graph->canvas();
    struct Case {
        int x;
        int cursor;
    } cases[] = {{100, 10}, {29, 0}, {36, 0}, {443, 59}, {449, 59}, {450, 60}, {451, 60}, {37, 1}};
    for (const Case& c : cases) {
        QTest::mouseClick(canvas, Qt::LeftButton, {}, QPoint(c.x, 150));
        EXPECT_EQ(w.doc->getCursor(), c.cursor) << c.x;  // 451 lies outside: unchanged
    }
    EXPECT_EQ(w.list->GetListCtrl().GetItemText(0, 1).toStdString(), "0");
    EXPECT_EQ(w.list->GetListCtrl().GetItemText(0, 2).toStdString(), "16(SNMPカウンター初期化)");
    platform::CmdUI ui(countergroup::kStatusPaneTime);
    platform::UpdateCommand(w.frame, ui);
    EXPECT_EQ(ui.GetText(), "");  // slot 1 has no time yet

    // Dragging moves it along; the right button goes back to the newest.
    QTest::mousePress(canvas, Qt::LeftButton, {}, QPoint(200, 150));
    QMouseEvent move(QEvent::MouseMove, QPointF(300, 150), canvas->mapToGlobal(QPointF(300, 150)), Qt::NoButton,
                     Qt::LeftButton, {});
    QApplication::sendEvent(canvas, &move);
    EXPECT_EQ(w.doc->getCursor(), (300 - 30) / 7);
    QTest::mouseRelease(canvas, Qt::LeftButton, {}, QPoint(300, 150));
    QTest::mouseClick(canvas, Qt::RightButton, {}, QPoint(100, 100));
    EXPECT_EQ(w.doc->getCursor(), 60);
    EXPECT_EQ(w.list->GetListCtrl().GetItemText(0, 1).toStdString(), "42");
    platform::UpdateCommand(w.frame, ui);
    EXPECT_EQ(ui.GetText(), LocalStamp(w.doc->getSeries(0)->getValatTime()[60].getTime()));
    // The overlay shows the cursor line at the newest slot.
    EXPECT_NE(w.graph->renderer().overlay().pixel(450, 150) & 0xFFFFFF, 0u);
}

TEST_F(CounterFilesTest, TimerCommandsChangeTheInterval)
{
    Window w = Open("UDP情報");
    ASSERT_TRUE(w);
    EXPECT_TRUE(w.frame->SendCommand(33228));
    EXPECT_EQ(w.doc->getTimeId(), 33228);
    EXPECT_EQ(w.doc->getInterval(), 60000);
    EXPECT_TRUE(w.list->IsTimerActive(countergroup::kTimerPoll));
    EXPECT_TRUE(w.frame->SendCommand(33228));  // the same choice: nothing changes
    EXPECT_EQ(w.doc->getInterval(), 60000);
    Close(w);
    EXPECT_EQ(platform::GetPrivateProfileString("timer", "timeId", "", IniPath("udp.ini")), "33228");
    EXPECT_EQ(platform::GetPrivateProfileString("timer", "interval", "", IniPath("udp.ini")), "60000");
}

TEST_F(CounterFilesTest, ContextMenuShowsTheSetupMenuWithTheChoiceChecked)
{
    Window w = Open("UDP情報");
    ASSERT_TRUE(w);
    std::vector<std::string> seen;
    bool checked15 = false;
    QTimer::singleShot(0, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(menu, nullptr);
        std::function<void(QMenu*)> walk = [&](QMenu* m) {
            for (QAction* a : m->actions()) {
                if (a->menu()) {
                    seen.push_back(a->text().toStdString());
                    walk(a->menu());
                    continue;
                }
                seen.push_back(a->text().toStdString());
                const int id = platform::CommandId(a);
                if (id == 33226) {
                    checked15 = a->isChecked();
                } else if (id >= 33225 && id <= 33229) {
                    EXPECT_FALSE(a->isChecked()) << a->text().toStdString();
                }
            }
        };
        walk(menu);
        menu->close();  // dismissed: nothing is chosen
    });
    QContextMenuEvent ev(QContextMenuEvent::Mouse, QPoint(20, 20), w.list->mapToGlobal(QPoint(20, 20)));
    QApplication::sendEvent(w.list, &ev);
    EXPECT_TRUE(checked15);
    for (const char* text : {"カラー変更", "タイマー変更", "5秒", "15秒", "30秒", "1分", "5分"})
        EXPECT_NE(std::find(seen.begin(), seen.end(), text), seen.end()) << text;
    EXPECT_EQ(w.doc->getTimeId(), 33226);
    EXPECT_EQ(w.doc->getInterval(), 15000);
}

TEST_F(CounterFilesTest, PaneWidthsComeBackAsTheyWereClosed)
{
    // No settings file: 3/4 and 1/4 of the client width.
    Window w = Open("UDP情報", false);
    ASSERT_TRUE(w);
    QApplication::processEvents();
    auto* split = qobject_cast<QSplitter*>(w.frame->GetClient());
    ASSERT_NE(split, nullptr);
    const int total = split->width();
    EXPECT_EQ(w.graph->width(), total * 3 / 4);
    EXPECT_EQ(w.list->width(), total - total * 3 / 4 - split->handleWidth());
    // Drag the divider, close, and open it eight times: no drift.
    split->setSizes({total / 2, total - total / 2 - split->handleWidth()});
    const int graph = w.graph->width(), list = w.list->width();
    Close(w);
    for (int i = 0; i < 8; ++i) {
        w = Open("UDP情報", false);
        ASSERT_TRUE(w);
        QApplication::processEvents();
        EXPECT_EQ(w.graph->width(), graph) << i;
        EXPECT_EQ(w.list->width(), list) << i;
        Close(w);
    }
    // Widths that make no sense (left = INT_MIN, or wider than the window)
    // fall back to the default split.
    const std::string ini = IniPath("udp.ini");
    for (platform::Rect32 bad : {platform::Rect32{INT32_MIN, 0, 1, 300}, platform::Rect32{0, 0, 100000, 300}}) {
        ASSERT_TRUE(platform::WriteProfileRecord("window", "graphview", bad, ini));
        ASSERT_TRUE(platform::WriteProfileRecord("window", "listview", bad, ini));
        ASSERT_TRUE(platform::WritePrivateProfileString("list", "column.0", "2147483647", ini));
        w = Open("UDP情報", false);
        ASSERT_TRUE(w);
        QApplication::processEvents();
        split = qobject_cast<QSplitter*>(w.frame->GetClient());
        EXPECT_EQ(w.graph->width(), split->width() * 3 / 4);
        EXPECT_GE(w.list->GetListCtrl().GetColumnWidth(0), 120);
        EXPECT_LE(w.list->GetListCtrl().GetColumnWidth(0), 400);
        Close(w);
    }
}

TEST_F(CounterFilesTest, PenRecordsAreBroughtIntoTheDialogsRange)
{
    const std::string ini = IniPath("udp.ini");
    ASSERT_TRUE(platform::WriteProfileRecord("pen", "logpen.0", platform::LogPen{platform::PS_DASH, 99, 7, 0xFF}, ini));
    ASSERT_TRUE(platform::WriteProfileRecord("pen", "logpen.1", platform::LogPen{77, -4, 0, 0xFF00}, ini));
    ASSERT_TRUE(platform::WriteProfileRecord("pen", "logpen.2", platform::LogPen{platform::PS_NULL, 0, 0, 0xFF0000}, ini));
    Window w = Open("UDP情報", false);
    ASSERT_TRUE(w);
    EXPECT_EQ(w.doc->getSeries(0)->getLogPen(), (platform::LogPen{platform::PS_DASH, 3, 0, 0xFF}));
    EXPECT_EQ(w.doc->getSeries(1)->getLogPen(), (platform::LogPen{platform::PS_SOLID, 1, 0, 0xFF00}));
    EXPECT_EQ(w.doc->getSeries(2)->getLogPen(), (platform::LogPen{platform::PS_NULL, 1, 0, 0xFF0000}));
}

TEST_F(CounterFilesTest, EveryWindowShowsItsOwnCursorTime)
{
    REQUIRE_AGENT();
    Window a = Open("UDP情報");
    Window b = Open("UDP情報");
    ASSERT_TRUE(a);
    ASSERT_TRUE(b);
    ASSERT_EQ(platform::App::GetMainFrame()->MDIGetActive(), b.frame);
    a.list->Poll();  // the inactive window gets its first sample
    platform::StatusBar* bar = a.frame->GetStatusBar();
    ASSERT_NE(bar, nullptr);
    const int pane = bar->CommandToIndex(countergroup::kStatusPaneTime);
    EXPECT_EQ(bar->GetPaneText(pane), LocalStamp(a.doc->getSeries(0)->getValatTime()[60].getTime()));
    a.doc->setCursor(10);
    a.doc->UpdateAllViews(nullptr, countergroup::kHintCursorMoved);
    EXPECT_EQ(bar->GetPaneText(pane), "");
}

TEST_F(CounterFilesTest, GraphFollowsItsPaneAtOnce)
{
    Window w = Open("UDP情報");
    ASSERT_TRUE(w);
    QApplication::processEvents();
    auto areaMatchesPane = [&] {
        const QRect& a = w.graph->renderer().area();
        return a.width() == w.graph->width() && a.height() == w.graph->height();
    };
    for (QSize s : {QSize(980, 600), QSize(760, 500)}) {
        w.frame->resize(s);
        EXPECT_TRUE(areaMatchesPane()) << s.width();
    }
    w.frame->showMaximized();
    EXPECT_TRUE(areaMatchesPane());
    w.frame->showNormal();
    EXPECT_TRUE(areaMatchesPane());
    // The canvas is the drawing area itself: no black strip at its edges.
    QImage shot = w.graph->canvas()->grab().toImage();
    const int right = shot.width() - 1;
    EXPECT_EQ(shot.width(), w.graph->width());
    for (int y : {5, 100, shot.height() - 5})
        EXPECT_NE(shot.pixel(right, y) & 0xFFFFFF, 0u) << y;
    // A pane too small for the plot scrolls over the default area only.
    w.frame->resize(400, 300);
    EXPECT_EQ(w.graph->canvas()->size(), QSize(countergroup::kAreaWidth, countergroup::kAreaHeight));
}
