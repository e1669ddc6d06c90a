// The seven counter-group windows in English against the namespace snmpd:
// the window after a cycle, its context menu and its messages show no
// Japanese; the CSV export is UTF-8 with a byte-order mark and holds the
// Japanese file's values under English headers.

#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QTimer>

#include "mibcore/platform/FileDialog.h"
#include "tests/plugins/EnglishChecks.h"
#include "tests/plugins/countergroup/WindowHarness.h"
#include "tests/support/UiTexts.h"

using namespace cgtest;

namespace {

const char* const kGroups[] = {"IP情報",  "ICMP情報",    "TCP情報",  "UDP情報",
                               "SNMP情報", "Foundry情報", "CISCO情報"};

class CounterEnglishTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        if (HasFatalFailure())
            return;
        QUILLON_REQUIRE_NETNS();
        platform::SetLanguage(platform::Language::English);
        UseAgent(harness::kAgentV4, 2, 3, 3, 500000);
    }

    // The Japanese texts of the context menu, opened as a right click does.
    static std::string MenuTexts(const Window& w)
    {
        std::string found = "no menu";
        QTimer::singleShot(0, [&] {
            if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
                found = harness::JapaneseUiTexts(menu);
                menu->close();
            }
        });
        QContextMenuEvent ev(QContextMenuEvent::Mouse, QPoint(20, 20), w.list->mapToGlobal(QPoint(20, 20)));
        QApplication::sendEvent(w.list, &ev);
        return found;
    }

    std::string Export(const Window& w, const std::string& name)
    {
        const std::string path = m_startDir.path().toStdString() + "/" + name;
        platform::SetFileHook([path](const platform::FileRequest&) { return std::optional<std::string>(path); });
        EXPECT_TRUE(w.frame->SendCommand(countergroup::kCmdSaveFile));
        platform::SetFileHook({});
        return ReadFile(path);
    }

    harness::MessageLog m_messages;
};

TEST_F(CounterEnglishTest, EveryGroupWindowAndMenuShowsNoJapanese)
{
    for (const char* name : kGroups) {
        SCOPED_TRACE(name);
        Window w = Open(name);
        ASSERT_TRUE(w);
        // The launcher shows the entry's name in the program's language.
        w.frame->SetTitle(Quillon::Tr(name));
        w.frame->UpdateCmdUI();
        EXPECT_EQ(harness::JapaneseUiTexts(w.frame), "");
        english::EnglishShot(w.frame, std::string("group-") + w.doc->constants().iniFile);
        EXPECT_EQ(MenuTexts(w), "");
        Close(w);
    }
    EXPECT_EQ(english::JapaneseAmong(m_messages.Texts()), "");
}

TEST_F(CounterEnglishTest, CsvIsUtf8WithEnglishHeadersAndTheJapaneseValues)
{
    Window w = Open("CISCO情報");
    ASSERT_TRUE(w);
    w.list->Poll();
    const english::Csv en = english::ReadCsv(Export(w, "en.csv"), true);
    platform::SetLanguage(platform::Language::Japanese);
    const english::Csv ja = english::ReadCsv(Export(w, "ja.csv"), false);

    EXPECT_TRUE(en.bom);
    EXPECT_FALSE(ja.bom);
    EXPECT_EQ(en.header,
              (std::vector<std::string>{"Time", "CPU usage (5 s)", "CPU usage (1 min)", "CPU usage (5 min)"}));
    EXPECT_EQ(ja.header, (std::vector<std::string>{"時刻", "5秒間のCPU使用率", "1分間のCPU使用率", "5分間のCPU使用率"}));
    ASSERT_FALSE(en.rows.empty());
    EXPECT_EQ(en.rows, ja.rows);
}

}  // namespace
