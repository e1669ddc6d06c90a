// The user-defined objects window in English against the namespace snmpd:
// no Japanese in the window, its dialog or its messages; its CSV is UTF-8
// with a byte-order mark and holds the Japanese file's values.

#include <QApplication>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QTimer>

#include "mibcore/platform/FileDialog.h"
#include "tests/plugins/EnglishChecks.h"
#include "tests/plugins/userplug/UserHarness.h"
#include "tests/support/UiTexts.h"

using namespace usertest;

namespace {

class UserEnglishTest : public UserWindowTest {
protected:
    void SetUp() override
    {
        UserWindowTest::SetUp();
        if (HasFatalFailure())
            return;
        QUILLON_REQUIRE_NETNS();
        platform::SetLanguage(platform::Language::English);
        UseAgent(harness::kAgentV4, 2, 3, 3, 500000);
    }

    std::string Export(const UserWindow& u, const std::string& name)
    {
        const std::string path = m_startDir.path().toStdString() + "/" + name;
        platform::SetFileHook([path](const platform::FileRequest&) { return std::optional<std::string>(path); });
        EXPECT_TRUE(u.frame->SendCommand(countergroup::kCmdSaveFile));
        platform::SetFileHook({});
        return ReadFile(path);
    }
};

TEST_F(UserEnglishTest, WindowDialogAndMessagesShowNoJapanese)
{
    UserWindow u = OpenUser();
    ASSERT_TRUE(u);
    u.frame->SetTitle(Quillon::Tr("ユーザ定義情報"));
    ASSERT_TRUE(Add(u, "sysUpTime.0"));
    ASSERT_TRUE(Add(u, "ifInOctets.1"));
    u.list->Poll();
    u.frame->UpdateCmdUI();
    EXPECT_EQ(harness::JapaneseUiTexts(u.frame), "");

    // The set-up menu of a right click.
    std::string menuTexts = "no menu";
    QTimer::singleShot(0, [&] {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            menuTexts = harness::JapaneseUiTexts(menu);
            menu->close();
        }
    });
    QContextMenuEvent ev(QContextMenuEvent::Mouse, QPoint(20, 20), u.list->mapToGlobal(QPoint(20, 20)));
    QApplication::sendEvent(u.list, &ev);
    EXPECT_EQ(menuTexts, "");

    CUserOidDlg dialog(u.frame);
    EXPECT_EQ(harness::JapaneseUiTexts(&dialog), "");
    english::EnglishShot(u.frame, "user");
    dialog.adjustSize();
    english::EnglishShot(&dialog, "user-dialog");

    // Texts that name nothing are refused with a message each.
    auto* edit = dialog.findChild<QLineEdit*>();
    ASSERT_NE(edit, nullptr);
    for (const char* text : {"", "noSuchObjectAnywhere"}) {
        edit->setText(QString::fromUtf8(text));
        dialog.accept();
    }
    EXPECT_EQ(messages.Texts().size(), 2u);
    EXPECT_EQ(english::JapaneseAmong(messages.Texts()), "");
}

TEST_F(UserEnglishTest, CsvIsUtf8WithEnglishHeadersAndTheJapaneseValues)
{
    UserWindow u = OpenUser();
    ASSERT_TRUE(u);
    ASSERT_TRUE(Add(u, "sysUpTime.0"));
    u.list->Poll();
    const english::Csv en = english::ReadCsv(Export(u, "en.csv"), true);
    platform::SetLanguage(platform::Language::Japanese);
    const english::Csv ja = english::ReadCsv(Export(u, "ja.csv"), false);

    EXPECT_TRUE(en.bom);
    EXPECT_FALSE(ja.bom);
    ASSERT_EQ(en.header.size(), 2u);
    EXPECT_EQ(en.header[0], "Time");
    EXPECT_EQ(ja.header[0], "時刻");
    EXPECT_EQ(en.header[1], ja.header[1]);
    ASSERT_FALSE(en.rows.empty());
    EXPECT_EQ(en.rows, ja.rows);
}

}  // namespace
