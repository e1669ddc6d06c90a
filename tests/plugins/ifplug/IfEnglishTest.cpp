// The interface windows in English against the namespace snmpd: the tables
// window with its tables and context menus, the traffic, counter,
// statistics and history windows, and their messages show no Japanese; the
// route table's CSV holds the Japanese file's values under English headers.

#include <QMenu>

#include "mibcore/platform/CmdTarget.h"
#include "mibcore/platform/MainFrame.h"
#include "tests/plugins/EnglishChecks.h"
#include "tests/plugins/ifplug/IfHarness.h"
#include "tests/support/UiTexts.h"

using namespace iftest;
using namespace ifplug;

namespace {

class IfEnglishTest : public IfSnmpdTest {
protected:
    void SetUp() override
    {
        IfSnmpdTest::SetUp();
        platform::SetLanguage(platform::Language::English);
    }

    static QWidget* Active() { return platform::App::GetMainFrame()->MDIGetActive(); }

    static std::string MenuTexts(const TablesWindow& w)
    {
        QMenu* menu = w.view->CreateContextMenu();
        EXPECT_NE(menu, nullptr);
        const std::string found = menu ? harness::JapaneseUiTexts(menu) : std::string();
        delete menu;
        return found;
    }

    std::string Csv(const TablesWindow& w, const std::string& name)
    {
        fileAnswer = m_startDir.path().toStdString() + "/" + name;
        w.frame->SendCommand(kCmdSaveFile);
        return ReadFile(*fileAnswer);
    }
};

TEST_F(IfEnglishTest, EveryWindowMenuAndMessageShowsNoJapanese)
{
    if (!Ready())
        return;
    TablesWindow w = Open();
    ASSERT_TRUE(w);
    w.frame->SetTitle(Quillon::Tr("インターフェース&経路情報"));
    for (int table : {kCmdAddrTable, kCmdRouteTable, kCmdHistoryTable, kCmdIfTable}) {
        w.frame->SendCommand(table);
        w.frame->UpdateCmdUI();
        EXPECT_EQ(harness::JapaneseUiTexts(w.frame), "") << table;
        english::EnglishShot(w.frame, "if-" + std::to_string(table));
    }
    ASSERT_GE(Select(w, {"1"}), 1);
    EXPECT_EQ(MenuTexts(w), "");

    // One graph window of each kind, opened as the operator does.
    struct Case {
        int table;
        std::vector<std::string> rows;
        int command;
    } cases[] = {{kCmdIfTable, {"1"}, kCmdTraffic},
                 {kCmdIfTable, {"1", "2"}, kCmdCounterFirst},
                 {kCmdIfTable, {"1", "2", "3"}, kCmdEtherStats},
                 {kCmdHistoryTable, {"1", "2"}, kCmdHistory}};
    for (const Case& c : cases) {
        w.frame->SendCommand(c.table);
        ASSERT_EQ(Select(w, c.rows), int(c.rows.size()));
        if (c.table == kCmdHistoryTable)
            EXPECT_EQ(MenuTexts(w), "");
        platform::ExecuteCommand(w.view, c.command);
        QWidget* frame = Active();
        ASSERT_NE(frame, w.frame) << c.command;
        EXPECT_EQ(harness::JapaneseUiTexts(frame), "") << c.command;
        frame->resize(1200, 560);
        english::EnglishShot(frame, "if-window-" + std::to_string(c.command));
        EXPECT_FALSE(platform::HasJapanese(frame->windowTitle())) << frame->windowTitle().toStdString();
        platform::App::GetMainFrame()->MDIActivate(w.frame);
    }

    // Rows of another interval and size are refused with a message.
    w.frame->SendCommand(kCmdHistoryTable);
    ASSERT_EQ(Select(w, {"1", "3"}), 2);
    platform::ExecuteCommand(w.view, kCmdHistory);
    ASSERT_FALSE(messages.Texts().empty());
    EXPECT_EQ(english::JapaneseAmong(messages.Texts()), "");
}

TEST_F(IfEnglishTest, RouteCsvIsUtf8WithEnglishHeadersAndTheJapaneseValues)
{
    if (!Ready())
        return;
    TablesWindow w = Open();
    ASSERT_TRUE(w);
    w.frame->SendCommand(kCmdRouteTable);
    const english::Csv en = english::ReadCsv(Csv(w, "en.csv"), true);
    platform::SetLanguage(platform::Language::Japanese);
    w.frame->SendCommand(kCmdIfTable);
    w.frame->SendCommand(kCmdRouteTable);
    const english::Csv ja = english::ReadCsv(Csv(w, "ja.csv"), false);

    EXPECT_TRUE(en.bom);
    EXPECT_FALSE(ja.bom);
    EXPECT_EQ(en.header.size(), ja.header.size());
    EXPECT_EQ(en.header[1], "Destination");
    EXPECT_EQ(ja.header[1], "目的地のIPアドレス");
    EXPECT_EQ(english::JapaneseAmong(en.header), "");
    ASSERT_FALSE(en.rows.empty());
    EXPECT_EQ(en.rows, ja.rows);
}

}  // namespace
