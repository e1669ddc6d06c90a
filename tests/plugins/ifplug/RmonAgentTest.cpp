// The RMON history and statistics windows against the namespace snmpd and
// its extension helper (history rows 1 and 2: 2 s buckets; etherStatsTable
// rows 1..3), opened from the interface tables window.

#include <QDir>
#include <QMenu>
#include <QTest>

#include <chrono>
#include <ctime>
#include <sstream>
#include <thread>

#include "mibcore/engine/CSnmpBerList.h"
#include "mibcore/platform/CmdTarget.h"
#include "mibcore/platform/MainFrame.h"
#include "mibcore/platform/Profile.h"
#include "mibcore/widgets/CLineColorDlg.h"
#include "plugins/countergroup/CounterGroupDoc.h"
#include "plugins/countergroup/GraphRender.h"
#include "plugins/ifplug/RmonWindows.h"
#include "tests/plugins/ifplug/IfHarness.h"

using namespace iftest;
using namespace ifplug;

namespace {

// etherHistoryEntry column c of control row `row`: sample index -> value.
std::map<uint32_t, uint32_t> HistoryColumn(int column, int row)
{
    std::map<uint32_t, uint32_t> out;
    const std::string prefix = ".1.3.6.1.2.1.16.2.2.1." + std::to_string(column) + "." + std::to_string(row) + ".";
    for (const std::string& line : harness::Lines(harness::SnmpTool("snmpwalk", prefix.substr(1, prefix.size() - 2)))) {
        if (line.rfind(prefix, 0) != 0)
            continue;
        const size_t eq = line.find(" = ");
        const uint32_t sample = uint32_t(std::stoul(line.substr(prefix.size(), eq - prefix.size())));
        std::string value = line.substr(line.find(": ", eq) + 2);
        if (value.front() == '(')  // Timeticks: (1234) 0:00:12.34
            value = value.substr(1);
        out[sample] = uint32_t(std::stoul(value));
    }
    return out;
}

uint32_t GetCounter(const std::string& oid)
{
    const std::string text = harness::SnmpTool("snmpget", oid);
    const size_t colon = text.rfind(": ");
    return colon == std::string::npos ? 0 : uint32_t(std::stoul(text.substr(colon + 2)));
}

class RmonAgentTest : public IfSnmpdTest {
protected:
    template <class Frame>
    Frame* OpenFromTables(int table, const std::vector<std::string>& rows, int command)
    {
        m_tables = Open();
        if (!m_tables)
            return nullptr;
        m_tables.frame->SendCommand(table);
        EXPECT_EQ(Select(m_tables, rows), int(rows.size()));
        platform::ExecuteCommand(m_tables.view, command);
        auto* f = qobject_cast<Frame*>(platform::App::GetMainFrame()->MDIGetActive());
        if (f)
            f->resize(1400, 560);
        return f;
    }

    static QString ShotDir()
    {
        const QString dir = QString::fromStdString(harness::BuildDir()) + "/tests/screenshots";
        QDir().mkpath(dir);
        return dir;
    }

    TablesWindow m_tables;
};

TEST_F(RmonAgentTest, HistorySlotsAreTheHelpersBucketsInAscendingOrder)
{
    // The helper's first buckets appear two seconds after the agent starts.
    for (int i = 0; i < 40 && HistoryColumn(5, 2).size() < 3; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(250));
    auto* f = OpenFromTables<CHistoryMIBMenuFrame>(kCmdHistoryTable, {"1", "2"}, kCmdHistory);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->GetTitle(), "history情報-[1][2]");
    auto* doc = qobject_cast<CHistoryMIBMenuDoc*>(f->document());
    ASSERT_NE(doc, nullptr);
    doc->FinishReading();
    EXPECT_TRUE(messages.Texts().empty());
    ASSERT_EQ(doc->series().size(), 2u);
    // bootTime is now - sysUpTime; the agent started moments ago.
    EXPECT_NEAR(double(doc->getBootTime()), double(std::time(nullptr)), 600.0);

    for (int s = 0; s < 2; ++s) {
        const int row = s + 1;
        EXPECT_EQ(doc->series()[size_t(s)].id, row);
        std::map<int, std::map<uint32_t, uint32_t>> cols;
        for (int c = 3; c <= 15; ++c)
            cols[c] = HistoryColumn(c, row);
        const auto& samples = doc->series()[size_t(s)].samples;
        // The slots hold a run of consecutive buckets, oldest first.
        std::vector<uint32_t> order;
        for (auto& [index, start] : cols[3])
            order.push_back(index);
        int filled = 0;
        while (filled < kRmonSlots && samples[size_t(filled)].time != 0)
            ++filled;
        ASSERT_GE(filled, 3) << row;
        auto first = std::find_if(order.begin(), order.end(), [&](uint32_t idx) {
            return cols[5][idx] == samples[0].val[0] && doc->getBootTime() + long(cols[3][idx] / 100) == samples[0].time;
        });
        ASSERT_NE(first, order.end()) << row;
        for (int j = 0; j < filled; ++j) {
            ASSERT_LT(first + j, order.end());
            const uint32_t idx = *(first + j);
            EXPECT_EQ(samples[size_t(j)].time, doc->getBootTime() + long(cols[3][idx] / 100)) << row << "/" << j;
            for (int k = 0; k < 11; ++k)
                EXPECT_EQ(samples[size_t(j)].val[size_t(k)], cols[5 + k][idx]) << row << "/" << j << "/" << k;
            EXPECT_EQ(samples[size_t(j)].errIdx, 0);
        }
        for (int j = filled; j < kRmonSlots; ++j)
            EXPECT_EQ(samples[size_t(j)].errIdx, 16);
    }

    // The list: 13 columns, the error text of index 0 after a good walk.
    CListCtrlEx& list = f->listView()->GetListCtrl();
    EXPECT_EQ(list.GetColumnCount(), 13);
    ASSERT_EQ(list.GetItemCount(), 2);
    EXPECT_EQ(list.GetItemText(0, 0).toStdString(), "[1]");
    EXPECT_EQ(list.GetItemText(0, 12).toStdString(), std::string("0(") + CSnmpBerList::ErrMsg(0) + ")");
    EXPECT_EQ(list.GetItemText(1, 1).toStdString(), std::to_string(doc->series()[1].samples[0].val[0]));

    // Pop-up menu: the timer sub-menu greyed, the colour command enabled.
    std::unique_ptr<QMenu> menu(f->listView()->CreateSetupMenu());
    ASSERT_NE(menu, nullptr);
    ASSERT_GE(menu->actions().size(), 2);
    EXPECT_TRUE(menu->actions()[0]->isEnabled());
    EXPECT_FALSE(menu->actions()[1]->isEnabled());
}

// Every page of both windows grabbed into build/tests/screenshots for a
// look by eye; the graphs must show lines.
TEST_F(RmonAgentTest, ScreenshotsOfEveryPage)
{
    for (int i = 0; i < 40 && HistoryColumn(5, 1).size() < 12; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(250));
    auto* h = OpenFromTables<CHistoryMIBMenuFrame>(kCmdHistoryTable, {"1", "2"}, kCmdHistory);
    ASSERT_NE(h, nullptr);
    qobject_cast<CHistoryMIBMenuDoc*>(h->document())->FinishReading();
    h->document()->setCursor(5);
    for (int page = 0; page < kRmonPages; ++page) {
        h->document()->setPage(page);
        h->document()->UpdateAllViews(nullptr, kHintRmonNewData);
        QApplication::processEvents();
        ASSERT_EQ(int(h->graphView()->scales().size()), h->document()->table().pages[page].count);
        if (page == 0) {  // octets grow in every bucket
            EXPECT_GT(h->graphView()->scales()[0].top, 100.0);
        }
        EXPECT_TRUE(h->grab().toImage().save(ShotDir() + QString("/rmon-history-%1.png").arg(page)));
    }

    auto* s = OpenFromTables<CStaticMIBMenuFrame>(kCmdIfTable, {"1", "2", "3"}, kCmdEtherStats);
    ASSERT_NE(s, nullptr);
    auto* doc = qobject_cast<CStaticMIBMenuDoc*>(s->document());
    for (int i = 0; i < 6; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        doc->PollCycle(s->listView());
    }
    doc->FinishPollCycle();
    for (int page = 0; page < kRmonPages; ++page) {
        doc->setPage(page);
        doc->UpdateAllViews(nullptr, kHintRmonNewData);
        QApplication::processEvents();
        ASSERT_EQ(int(s->graphView()->scales().size()), doc->table().pages[page].count);
        if (page == 0) {
            EXPECT_GT(s->graphView()->scales()[0].top, 100.0);
        }
        EXPECT_TRUE(s->grab().toImage().save(ShotDir() + QString("/rmon-statistics-%1.png").arg(page)));
    }
}

// Two cycles: every value is the agent's increase between them, read with
// snmpget just before and after each cycle.
TEST_F(RmonAgentTest, StatisticsSamplesAreTheAgentsIncreases)
{
    auto* f = OpenFromTables<CStaticMIBMenuFrame>(kCmdIfTable, {"1"}, kCmdEtherStats);
    ASSERT_NE(f, nullptr);
    auto* doc = qobject_cast<CStaticMIBMenuDoc*>(f->document());
    ASSERT_NE(doc, nullptr);
    doc->FinishPollCycle();
    ASSERT_EQ(doc->series().size(), 1u);
    const long index = doc->series()[0].id;
    EXPECT_EQ(doc->series()[0].name, "[1]lo");
    auto read = [&] {
        std::vector<uint32_t> v;
        for (int c = 4; c <= 19; ++c)
            v.push_back(GetCounter("1.3.6.1.2.1.16.1.1.1." + std::to_string(c) + "." + std::to_string(index)));
        return v;
    };
    // The window polled once at open: the newest slot is marked, no value.
    EXPECT_EQ(doc->series()[0].samples[40].errIdx, 16);
    std::this_thread::sleep_for(std::chrono::milliseconds(1100));
    const auto before1 = read();
    doc->PollCycle(f->listView());
    doc->FinishPollCycle();
    const auto after1 = read();
    std::this_thread::sleep_for(std::chrono::milliseconds(1100));
    const auto before2 = read();
    doc->PollCycle(f->listView());
    doc->FinishPollCycle();
    const auto after2 = read();
    const RmonSample& s = doc->series()[0].samples[40];
    EXPECT_EQ(s.errIdx, 0);
    EXPECT_NE(s.time, 0);
    EXPECT_EQ(doc->series()[0].samples[39].errIdx, 0);
    for (int k = 0; k < 16; ++k) {
        EXPECT_GE(s.val[size_t(k)], before2[size_t(k)] - after1[size_t(k)]) << k;
        EXPECT_LE(s.val[size_t(k)], after2[size_t(k)] - before1[size_t(k)]) << k;
    }
    EXPECT_GT(s.val[1], 0u);  // lo sees packets every second

    // Interval commands: the frame checks the chosen entry; closing keeps
    // it and the window keys in statistic.ini.
    f->SendCommand(33225);
    EXPECT_EQ(doc->getTimeId(), 33225);
    EXPECT_EQ(doc->getInterval(), 5000);
    std::unique_ptr<QMenu> menu(f->listView()->CreateSetupMenu());
    ASSERT_NE(menu, nullptr);
    QAction* five = menu->actions()[1]->menu()->actions()[0];
    EXPECT_TRUE(five->isChecked());
    EXPECT_FALSE(menu->actions()[1]->menu()->actions()[1]->isChecked());
    menu.reset();  // a child of the list pane
    EXPECT_EQ(f->listView()->GetListCtrl().GetColumnCount(), 18);
    platform::App::CloseAllDocuments();
    const std::string ini = IniPath("statistic.ini");
    EXPECT_EQ(platform::GetPrivateProfileString("timer", "timeId", "", ini), "33225");
    EXPECT_EQ(platform::GetPrivateProfileString("timer", "interval", "", ini), "5000");
    for (const char* key : {"frame", "graphview", "markview", "listview"})
        EXPECT_FALSE(platform::GetPrivateProfileString("window", key, "", ini).empty()) << key;
    EXPECT_FALSE(platform::GetPrivateProfileString("pen", "logpen.0", "", ini).empty());
    EXPECT_FALSE(platform::GetPrivateProfileString("list", "column.17", "", ini).empty());
}

TEST_F(RmonAgentTest, AWindowBehindAnotherKeepsItsTimePaneCurrent)
{
    auto* f = OpenFromTables<CStaticMIBMenuFrame>(kCmdIfTable, {"1"}, kCmdEtherStats);
    ASSERT_NE(f, nullptr);
    auto* doc = qobject_cast<CStaticMIBMenuDoc*>(f->document());
    ASSERT_NE(doc, nullptr);
    doc->FinishPollCycle();
    // The tables window in front; the statistics window polls on behind it.
    platform::MainFrame* main = platform::App::GetMainFrame();
    main->MDIActivate(m_tables.frame);
    ASSERT_NE(main->MDIGetActive(), f);
    platform::StatusBar* bar = f->GetStatusBar();
    ASSERT_NE(bar, nullptr);
    const int pane = bar->CommandToIndex(countergroup::kStatusPaneTime);
    ASSERT_GE(pane, 0);
    for (int cycle = 0; cycle < 2; ++cycle) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1100));
        doc->PollCycle(f->listView());
        doc->FinishPollCycle();
        const long t = doc->series()[0].samples[40].time;
        ASSERT_NE(t, 0);
        const std::string want = countergroup::FormatTime(t, "%Y/%m/%d %H:%M:%S");
        EXPECT_TRUE(harness::SpinUntil([&] { return bar->GetPaneText(pane) == want; }, 3000))
            << bar->GetPaneText(pane) << " instead of " << want;
    }
    EXPECT_NE(main->MDIGetActive(), f);
}

TEST_F(RmonAgentTest, ColourChangeWritesTheTimerBesideThePens)
{
    auto* f = OpenFromTables<CStaticMIBMenuFrame>(kCmdIfTable, {"1"}, kCmdEtherStats);
    ASSERT_NE(f, nullptr);
    auto* doc = qobject_cast<CStaticMIBMenuDoc*>(f->document());
    ASSERT_NE(doc, nullptr);
    doc->FinishPollCycle();
    const std::string ini = IniPath("statistic.ini");
    f->SendCommand(33228);  // 1 min: kept in memory until something writes
    EXPECT_EQ(platform::GetPrivateProfileString("timer", "timeId", "", ini), "");

    const platform::LogPen chosen{platform::PS_DASH, 1, 0, 0x204080};
    f->listView()->GetListCtrl().SetItemState(0, true);
    QTimer::singleShot(0, [&] {
        auto* dlg = qobject_cast<CLineColorDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        *dlg->getLogPen() = chosen;
        dlg->accept();
    });
    f->SendCommand(countergroup::kCmdColourChange);
    EXPECT_EQ(platform::GetPrivateProfileString("timer", "timeId", "", ini), "33228");
    EXPECT_EQ(platform::GetPrivateProfileString("timer", "interval", "", ini), "60000");
    platform::LogPen stored;
    ASSERT_TRUE(platform::GetProfileRecord("pen", "logpen.0", stored, ini));
    EXPECT_EQ(stored, chosen);
}

}  // namespace
