// The language menu: a choice is kept in quillon.ini for the next start and
// said so once; choosing what is chosen does nothing; a new start follows the
// setting, and "the desktop's" follows the desktop's variables.

#include "app/AppIds.h"
#include "app/CAgentDlg.h"
#include "app/CMainFrame.h"
#include "mibcore/agent/AppConstants.h"
#include "mibcore/platform/Language.h"
#include "mibcore/platform/Profile.h"
#include "mibcore/platform/Resources.h"
#include "tests/app/AppHarness.h"
#include "tests/support/UiTexts.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include <gtest/gtest.h>

using apptest::MessageRecorder;
using apptest::StartDir;

namespace {

// The language variables of the desktop, put back when the test ends.
class DesktopLang {
public:
    DesktopLang()
    {
        for (const char* v : kVars)
            m_saved.push_back(qgetenv(v));
    }
    ~DesktopLang()
    {
        for (std::size_t i = 0; i < std::size(kVars); ++i)
            qputenv(kVars[i], m_saved[i]);
    }
    void Set(const char* lang)
    {
        for (const char* v : kVars)
            qputenv(v, "");
        qputenv("LANG", lang);
    }

private:
    static constexpr const char* kVars[] = {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"};
    std::vector<QByteArray> m_saved;
};

QAction* FindCommand(QWidget* root, int id)
{
    for (QAction* a : root->findChildren<QAction*>())
        if (a->data().toInt() == id && !a->menu())
            return a;
    return nullptr;
}

class LanguageMenuTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        apptest::EnsureApp();
        app::RegisterAppResources();
        AppConstants::getInstance()->setStartDir(m_dir.Path());
    }
    void TearDown() override { platform::SetLanguage(platform::Language::English); }

    std::string Ini() const { return AppConstants::getInstance()->getIniPath("quillon.ini"); }
    std::string Kept() const { return platform::GetPrivateProfileString("Settings", "Language", "?", Ini()); }

    StartDir m_dir;
};

}  // namespace

TEST_F(LanguageMenuTest, ChoosingKeepsTheSettingAndSaysItIsForTheNextStart)
{
    platform::SetLanguage(platform::Language::English);
    CMainFrame frame;
    ASSERT_TRUE(frame.LoadFrame());
    frame.SetMenus("128", "129");
    MessageRecorder msgs;
    const struct {
        int id;
        const char* kept;
    } cases[] = {
        {app::ID_LANGUAGE_ENGLISH, "en"},
        {app::ID_LANGUAGE_JAPANESE, "ja"},
        {app::ID_LANGUAGE_DESKTOP, ""},
        {app::ID_LANGUAGE_ENGLISH, "en"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kept);
        msgs.Clear();
        ASSERT_TRUE(frame.SendCommand(c.id));
        EXPECT_EQ(Kept(), c.kept);
        ASSERT_EQ(msgs.Messages().size(), 1u);
        const platform::MessageRequest m = msgs.Messages().front();
        EXPECT_EQ(m.type & 0xF0, static_cast<unsigned>(platform::MB_ICONINFORMATION));
        EXPECT_NE(QString::fromStdString(m.text).indexOf("next start", 0, Qt::CaseInsensitive), -1) << m.text;
        EXPECT_FALSE(platform::HasJapanese(QString::fromStdString(m.text))) << m.text;

        // The item of the choice is checked, the others not.
        QAction* chosen = FindCommand(&frame, c.id);
        ASSERT_NE(chosen, nullptr);
        if (auto* menu = qobject_cast<QMenu*>(chosen->parent()))
            emit menu->aboutToShow();
        for (int id : {app::ID_LANGUAGE_DESKTOP, app::ID_LANGUAGE_JAPANESE, app::ID_LANGUAGE_ENGLISH}) {
            QAction* a = FindCommand(&frame, id);
            ASSERT_NE(a, nullptr) << id;
            EXPECT_EQ(a->isChecked(), id == c.id) << id;
        }

        // The same choice again: no message, the file stays as it is.
        const std::string before = m_dir.Read("etc/ini/quillon.ini");
        msgs.Clear();
        ASSERT_TRUE(frame.SendCommand(c.id));
        EXPECT_TRUE(msgs.Messages().empty());
        EXPECT_EQ(m_dir.Read("etc/ini/quillon.ini"), before);
    }
}

TEST_F(LanguageMenuTest, TheMenuIsInTheViewMenuOfEveryFrameInBothLanguages)
{
    const struct {
        platform::Language language;
        const char* title;
        QStringList items;
    } cases[] = {
        {platform::Language::English, "Language", {"日本語", "English", "Desktop language"}},
        {platform::Language::Japanese, "言語", {"日本語", "English", "デスクトップの言語"}},
    };
    for (const auto& c : cases) {
        platform::SetLanguage(c.language);
        for (const char* menuId : {"128", "129"}) {
            SCOPED_TRACE(std::string(c.title) + " " + menuId);
            QMenuBar bar;
            ASSERT_TRUE(platform::LoadMenuBar(&bar, menuId));
            QAction* language = nullptr;
            for (QAction* a : bar.findChildren<QAction*>())
                if (a->menu() && a->menu()->title() == c.title)
                    language = a;
            ASSERT_NE(language, nullptr);
            QStringList items;
            for (QAction* a : language->menu()->actions())
                items << a->text();
            EXPECT_EQ(items, c.items);
        }
    }
}

TEST_F(LanguageMenuTest, ANewStartFollowsTheSettingAndTheDesktop)
{
    DesktopLang desktop;
    const struct {
        const char* kept;  // nullptr: no quillon.ini at all
        const char* lang;
        platform::Language expected;
    } cases[] = {
        {"en", "ja_JP.UTF-8", platform::Language::English},
        {"ja", "en_US.UTF-8", platform::Language::Japanese},
        // How each desktop value maps is the platform's LanguageTest.
        {"", "en_US.UTF-8", platform::Language::English},
        {"", "C.UTF-8", platform::Language::Japanese},
        {nullptr, "fr_FR.UTF-8", platform::Language::English},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.kept ? c.kept : "(none)") + " " + c.lang);
        std::filesystem::remove_all(m_dir.File("etc/ini"));
        if (c.kept)
            m_dir.Write("etc/ini/quillon.ini", std::string("[Settings]\r\nLanguage=") + c.kept + "\r\n");
        desktop.Set(c.lang);
        EXPECT_EQ(app::ApplyLanguage(), c.expected);
        EXPECT_EQ(platform::CurrentLanguage(), c.expected);
        // The first window of a start speaks that language.
        CAgentDlg d;
        const std::string japanese = harness::JapaneseUiTexts(&d);
        if (c.expected == platform::Language::English)
            EXPECT_EQ(japanese, "");
        else
            EXPECT_NE(japanese, "");
    }
}
