// The manual in both languages: the help command opens the program's language,
// the English manual mirrors the Japanese one page for page, names every window
// and links only to files that exist.

#include "app/CLoader.h"
#include "app/CMainFrame.h"
#include "mibcore/agent/AppConstants.h"
#include "mibcore/platform/Language.h"
#include "tests/app/AppHarness.h"

#include <QRegularExpression>
#include <QString>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

const std::string kBuiltHelp = harness::BuildDir() + "/doc/help/";

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class HelpLanguageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        apptest::EnsureApp();
        AppConstants::getInstance()->setStartDir(m_dir.Path());
    }
    void TearDown() override { platform::SetLanguage(platform::Language::English); }
    apptest::StartDir m_dir;
};

TEST_F(HelpLanguageTest, HelpOpensTheManualOfTheProgramsLanguage)
{
    struct Case {
        platform::Language language;
        bool englishPage;
        const char* opens;
    } cases[] = {
        {platform::Language::English, true, "doc/help/en/index.html"},
        {platform::Language::English, false, "doc/help/index.html"},  // no English manual: the Japanese one
        {platform::Language::Japanese, true, "doc/help/index.html"},
    };
    m_dir.Write("doc/help/index.html", "<html><body>Quillon</body></html>");
    for (const Case& c : cases) {
        std::filesystem::remove_all(m_dir.File("doc/help/en"));
        if (c.englishPage)
            m_dir.Write("doc/help/en/index.html", "<html><body>Quillon</body></html>");
        platform::SetLanguage(c.language);
        const std::string path = CMainFrame::HelpIndexPath();
        EXPECT_EQ(std::filesystem::weakly_canonical(path), std::filesystem::weakly_canonical(m_dir.File(c.opens)))
            << c.opens;
    }
}

// Page for page the Japanese manual's, no Japanese but the language menu's
// "日本語", and every window and command named somewhere.
TEST_F(HelpLanguageTest, TheEnglishManualHasEveryPageAndWindowAndNoJapanese)
{
    std::vector<std::string> ja = loader::ListFiles(kBuiltHelp, ".html");
    std::vector<std::string> en = loader::ListFiles(kBuiltHelp + "en/", ".html");
    ASSERT_FALSE(ja.empty()) << "the manual is copied into the start directory";
    std::sort(ja.begin(), ja.end());
    std::sort(en.begin(), en.end());
    EXPECT_EQ(en, ja);
    std::string all;
    for (const std::string& name : en) {
        const std::string page = ReadAll(kBuiltHelp + "en/" + name);
        all += page;
        QString text = QString::fromUtf8(page);
        EXPECT_FALSE(text.isEmpty()) << name;
        EXPECT_FALSE(platform::HasJapanese(text.remove(QStringLiteral("日本語")))) << name;
        EXPECT_TRUE(text.contains("lang=\"en\"")) << name;
    }
    for (const char* title : {"Menu List", "Agent Settings", "MIB Definitions", "IP Statistics", "ICMP Statistics",
                              "TCP Statistics", "UDP Statistics", "SNMP Statistics", "Foundry CPU &amp; Memory",
                              "Cisco CPU &amp; Memory", "Interfaces &amp; Routes", "User-defined Objects", "MIB Tree",
                              "Change Colours", "Change Timer", "Save to File", "Language"})
        EXPECT_NE(all.find(title), std::string::npos) << title;
}

// Every href to a local file (and every stylesheet) of both manuals names a file that is there,
// and an anchor names an id of that page.
TEST_F(HelpLanguageTest, EveryLocalLinkResolves)
{
    static const QRegularExpression href(R"((?:href|src)="([^"#]*)(#[^"]*)?")");
    int links = 0;
    for (const std::string& dir : {kBuiltHelp, kBuiltHelp + "en/"}) {
        for (const std::string& name : loader::ListFiles(dir, ".html")) {
            const QString text = QString::fromUtf8(ReadAll(dir + name));
            for (auto it = href.globalMatch(text); it.hasNext();) {
                const QRegularExpressionMatch m = it.next();
                const QString target = m.captured(1);
                if (target.contains(':'))
                    continue;  // outside addresses
                const std::string file = dir + (target.isEmpty() ? name : target.toStdString());
                ++links;
                ASSERT_TRUE(std::filesystem::is_regular_file(file)) << dir << name << " -> " << target.toStdString();
                const QString anchor = m.captured(2).mid(1);
                if (!anchor.isEmpty())
                    EXPECT_TRUE(QString::fromUtf8(ReadAll(file)).contains("id=\"" + anchor + "\""))
                        << dir << name << " -> " << m.captured(0).toStdString();
            }
        }
    }
    EXPECT_GT(links, 20);
}

}  // namespace
