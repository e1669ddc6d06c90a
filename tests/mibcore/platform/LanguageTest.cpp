// The language choice: which desktop settings pick English, and the choice
// kept in the settings file.
#include "mibcore/platform/Language.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <unistd.h>
#include <string>

namespace {

using platform::Language;
using platform::LanguageChoice;

struct EnvCase {
    const char* language;
    const char* lcAll;
    const char* lcMessages;
    const char* lang;
    Language expected;
};

void Put(const char* name, const char* value)
{
    if (value)
        ::setenv(name, value, 1);
    else
        ::unsetenv(name);
}

TEST(LanguageTest, DesktopLanguageFollowsTheFirstSetVariable)
{
    const EnvCase cases[] = {
        {nullptr, nullptr, nullptr, nullptr, Language::Japanese},  // nothing set: the design's texts
        {nullptr, nullptr, nullptr, "C", Language::Japanese},
        {nullptr, nullptr, nullptr, "POSIX", Language::Japanese},
        {nullptr, nullptr, nullptr, "C.UTF-8", Language::Japanese},
        {nullptr, nullptr, nullptr, "ja_JP.UTF-8", Language::Japanese},
        {nullptr, nullptr, nullptr, "ja", Language::Japanese},
        {nullptr, nullptr, nullptr, "en_US.UTF-8", Language::English},
        {nullptr, nullptr, nullptr, "de_DE.UTF-8", Language::English},
        {nullptr, nullptr, "ja_JP.UTF-8", "en_US.UTF-8", Language::Japanese},
        {nullptr, "en_GB.UTF-8", "ja_JP.UTF-8", "ja_JP.UTF-8", Language::English},
        {"ja:en", "en_GB.UTF-8", nullptr, nullptr, Language::Japanese},
        {"fr:ja", nullptr, nullptr, "ja_JP.UTF-8", Language::English},
        {"", "", "", "en_US.UTF-8", Language::English},  // empty counts as unset
        {":ja", nullptr, nullptr, "en_US.UTF-8", Language::English},
    };
    for (const EnvCase& c : cases) {
        Put("LANGUAGE", c.language);
        Put("LC_ALL", c.lcAll);
        Put("LC_MESSAGES", c.lcMessages);
        Put("LANG", c.lang);
        EXPECT_EQ(platform::DesktopLanguage(), c.expected)
            << "LANGUAGE=" << (c.language ? c.language : "-") << " LC_ALL=" << (c.lcAll ? c.lcAll : "-")
            << " LC_MESSAGES=" << (c.lcMessages ? c.lcMessages : "-") << " LANG=" << (c.lang ? c.lang : "-");
        EXPECT_EQ(platform::Resolve(LanguageChoice::Japanese), Language::Japanese);
        EXPECT_EQ(platform::Resolve(LanguageChoice::English), Language::English);
        EXPECT_EQ(platform::Resolve(LanguageChoice::Desktop), c.expected);
    }
}

TEST(LanguageTest, ChoiceIsKeptInTheSettingsFile)
{
    const auto dir = std::filesystem::temp_directory_path() / ("quillon-lang-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    const std::string ini = (dir / "quillon.ini").string();

    EXPECT_EQ(platform::ReadLanguageChoice(ini), LanguageChoice::Desktop);  // no file yet
    for (LanguageChoice c : {LanguageChoice::English, LanguageChoice::Japanese, LanguageChoice::Desktop}) {
        ASSERT_TRUE(platform::WriteLanguageChoice(ini, c));
        EXPECT_EQ(platform::ReadLanguageChoice(ini), c);
    }
    // A value this program did not write means the desktop's language.
    std::ofstream(ini, std::ios::trunc) << "[Settings]\r\nLanguage=klingon\r\n";
    EXPECT_EQ(platform::ReadLanguageChoice(ini), LanguageChoice::Desktop);
    std::filesystem::remove_all(dir);
}

TEST(LanguageTest, KanaAndKanjiAreJapanese)
{
    EXPECT_TRUE(platform::HasJapanese(QString::fromUtf8("インターフェース")));
    EXPECT_TRUE(platform::HasJapanese(QString::fromUtf8("Time 時刻")));
    EXPECT_TRUE(platform::HasJapanese(QString::fromUtf8("ｶﾅ")));  // half-width kana
    EXPECT_FALSE(platform::HasJapanese(QString::fromUtf8("Time-out (µs) — ifHCInOctets ±5 °C")));
}

}  // namespace
