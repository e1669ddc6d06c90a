// Private-profile files on disk: exact bytes after writes, files written on
// Windows, damaged files, structure entries and directory creation.

#include "mibcore/platform/Profile.h"
#include "mibcore/platform/Records.h"
#include "snmpval/Cp932.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace fs = std::filesystem;
using namespace platform;

namespace {

class ProfileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string tmpl = (fs::temp_directory_path() / "quillon-profile-XXXXXX").string();
        ASSERT_NE(::mkdtemp(tmpl.data()), nullptr);
        dir = tmpl;
        file = (dir / "test.ini").string();
    }
    void TearDown() override { fs::remove_all(dir); }

    void Put(const std::string& bytes)
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out << bytes;
    }
    std::string Bytes() const
    {
        std::ifstream in(file, std::ios::binary);
        std::ostringstream ss;
        ss << in.rdbuf();
        return ss.str();
    }

    fs::path dir;
    std::string file;
};

TEST_F(ProfileTest, ExactTextAfterASequenceOfWrites)
{
    ASSERT_TRUE(WritePrivateProfileString("timer", "timeId", "33226", file));
    EXPECT_EQ(Bytes(), "[timer]\r\ntimeId=33226\r\n");
    ASSERT_TRUE(WritePrivateProfileString("timer", "interval", "15000", file));
    EXPECT_EQ(Bytes(), "[timer]\r\ntimeId=33226\r\ninterval=15000\r\n");
    ASSERT_TRUE(WritePrivateProfileString("list", "column.0", "120", file));
    EXPECT_EQ(Bytes(), "[timer]\r\ntimeId=33226\r\ninterval=15000\r\n[list]\r\ncolumn.0=120\r\n");
    // Replacing keeps the key's place; names match in any letter case and the
    // file's spelling of the key stays.
    ASSERT_TRUE(WritePrivateProfileString("TIMER", "TIMEID", "33228", file));
    EXPECT_EQ(Bytes(), "[timer]\r\ntimeId=33228\r\ninterval=15000\r\n[list]\r\ncolumn.0=120\r\n");
    // A new key of an earlier section goes at the end of that section.
    ASSERT_TRUE(WritePrivateProfileString("timer", "extra", "", file));
    EXPECT_EQ(Bytes(), "[timer]\r\ntimeId=33228\r\ninterval=15000\r\nextra=\r\n[list]\r\ncolumn.0=120\r\n");
    ASSERT_TRUE(WritePrivateProfileString("list", "column.1", "60", file));
    EXPECT_EQ(Bytes(),
              "[timer]\r\ntimeId=33228\r\ninterval=15000\r\nextra=\r\n[list]\r\ncolumn.0=120\r\ncolumn.1=60\r\n");

    EXPECT_EQ(GetPrivateProfileString("timer", "timeid", "x", file), "33228");
    EXPECT_EQ(GetPrivateProfileString("timer", "extra", "x", file), "");
    EXPECT_EQ(GetPrivateProfileString("timer", "missing", "dflt", file), "dflt");
    EXPECT_EQ(GetPrivateProfileString("nosection", "timeId", "dflt", file), "dflt");
}

TEST_F(ProfileTest, FilesWrittenOnWindows)
{
    // CRLF, mixed case, blanks around "=", a quoted value, a comment and a
    // blank line between sections.
    const std::string windows =
        "; settings\r\n[Community]\r\nRead = public \r\nWRITE=\"private\"\r\n\r\n[Socket]\r\nSendErrCnt=5\r\n"
        "tv_usec=250000\r\n";
    Put(windows);
    EXPECT_EQ(GetPrivateProfileString("community", "read", "cedrus", file), "public");
    EXPECT_EQ(GetPrivateProfileString("community", "write", "cedrus", file), "private");
    EXPECT_EQ(GetPrivateProfileInt("socket", "sendErrCnt", 3, file), 5);
    EXPECT_EQ(GetPrivateProfileInt("socket", "RecvErrCnt", 3, file), 3);
    EXPECT_EQ(GetPrivateProfileString("; settings", "x", "d", file), "d");

    // A new key lands after the section's last line, before the blank line.
    ASSERT_TRUE(WritePrivateProfileString("community", "extra", "1", file));
    EXPECT_EQ(Bytes(),
              "; settings\r\n[Community]\r\nRead = public \r\nWRITE=\"private\"\r\nextra=1\r\n\r\n[Socket]\r\n"
              "SendErrCnt=5\r\ntv_usec=250000\r\n");
    ASSERT_TRUE(WritePrivateProfileString("socket", "tv_usec", "500000", file));
    EXPECT_EQ(Bytes(),
              "; settings\r\n[Community]\r\nRead = public \r\nWRITE=\"private\"\r\nextra=1\r\n\r\n[Socket]\r\n"
              "SendErrCnt=5\r\ntv_usec=500000\r\n");
}

TEST_F(ProfileTest, UnixLineEndsAndAMissingFinalNewlineAreKept)
{
    Put("[window]\nframe=00\n[list]\ncolumn.0=99");
    EXPECT_EQ(GetPrivateProfileInt("list", "column.0", 120, file), 99);
    ASSERT_TRUE(WritePrivateProfileString("list", "column.1", "70", file));
    EXPECT_EQ(Bytes(), "[window]\nframe=00\n[list]\ncolumn.0=99\ncolumn.1=70\n");

    Put("[list]\ncolumn.0=99");
    ASSERT_TRUE(WritePrivateProfileString("pen", "x", "1", file));
    EXPECT_EQ(Bytes(), "[list]\ncolumn.0=99\n[pen]\nx=1\n");

    Put("[list]\ncolumn.0=99");
    ASSERT_TRUE(WritePrivateProfileString("list", "column.0", "5", file));
    EXPECT_EQ(Bytes(), "[list]\ncolumn.0=5");
}

TEST_F(ProfileTest, DuplicatesFirstOccurrenceWins)
{
    Put("[a]\r\nk=1\r\nk=2\r\n[A]\r\nk=3\r\nm=4\r\n");
    EXPECT_EQ(GetPrivateProfileString("a", "k", "", file), "1");
    // Only the first section is looked at.
    EXPECT_EQ(GetPrivateProfileString("a", "m", "none", file), "none");
    ASSERT_TRUE(WritePrivateProfileString("a", "K", "9", file));
    EXPECT_EQ(Bytes(), "[a]\r\nk=9\r\nk=2\r\n[A]\r\nk=3\r\nm=4\r\n");
}

TEST_F(ProfileTest, GarbageIsReadWithoutHarmAndKeptOnWrite)
{
    std::string garbage("\x00\xff\xfe[\r\r=\n==\n[]\n[x\n\x81\x40=\x82\xa0\n\r\n", 24);
    for (int i = 0; i < 256; ++i)
        garbage += static_cast<char>((i * 37) & 0xFF);
    Put(garbage);
    EXPECT_EQ(GetPrivateProfileString("window", "frame", "d", file), "d");
    EXPECT_EQ(GetPrivateProfileInt("x", "y", 7, file), 7);
    ASSERT_TRUE(WritePrivateProfileString("window", "frame", "01", file));
    std::string after = Bytes();
    ASSERT_GE(after.size(), garbage.size());
    EXPECT_EQ(after.substr(0, garbage.size()), garbage);
    EXPECT_EQ(GetPrivateProfileString("window", "frame", "d", file), "01");
}

TEST_F(ProfileTest, ValuesAreCp932InTheFile)
{
    ASSERT_TRUE(WritePrivateProfileString("ユーザ", "名前", "ユーザ定義情報", file));
    EXPECT_EQ(Bytes(), cp932::FromUtf8("[ユーザ]\r\n名前=ユーザ定義情報\r\n"));
    EXPECT_EQ(GetPrivateProfileString("ユーザ", "名前", "", file), "ユーザ定義情報");
    // "ア" is 83 41 and "ヂ" is 83 61: folding the trail byte as if it were
    // an ASCII letter would make them one name.
    ASSERT_TRUE(WritePrivateProfileString("option", "ア", "1", file));
    ASSERT_TRUE(WritePrivateProfileString("option", "ヂ", "2", file));
    ASSERT_TRUE(WritePrivateProfileString("option", "ソ", "3", file));  // 83 5C
    EXPECT_EQ(GetPrivateProfileString("option", "ア", "", file), "1");
    EXPECT_EQ(GetPrivateProfileString("option", "ヂ", "", file), "2");
    EXPECT_EQ(GetPrivateProfileString("option", "ソ", "", file), "3");
}

TEST_F(ProfileTest, WritesThatWouldBreakTheFileAreRefused)
{
    ASSERT_TRUE(WritePrivateProfileString("s", "k", "v", file));
    const std::string before = Bytes();
    EXPECT_FALSE(WritePrivateProfileString("s", "k", "two\r\nlines", file));
    EXPECT_FALSE(WritePrivateProfileString("s", "k", "nl\n[evil]", file));
    EXPECT_FALSE(WritePrivateProfileString("s", "a=b", "v", file));
    EXPECT_FALSE(WritePrivateProfileString("s]x", "k", "v", file));
    EXPECT_FALSE(WritePrivateProfileString("", "k", "v", file));
    EXPECT_FALSE(WritePrivateProfileString("s", "", "v", file));
    EXPECT_FALSE(WritePrivateProfileString("s", "k", std::string("a\0b", 3), file));
    EXPECT_EQ(Bytes(), before);

    // No directory, no file: the write fails and creates nothing.
    std::string nowhere = (dir / "missing" / "x.ini").string();
    EXPECT_FALSE(WritePrivateProfileString("s", "k", "v", nowhere));
    EXPECT_FALSE(fs::exists(dir / "missing"));
    // A directory where the file should be is not replaced.
    fs::create_directory(dir / "isdir.ini");
    EXPECT_FALSE(WritePrivateProfileString("s", "k", "v", (dir / "isdir.ini").string()));
    EXPECT_TRUE(fs::is_directory(dir / "isdir.ini"));
    EXPECT_EQ(GetPrivateProfileString("s", "k", "d", (dir / "isdir.ini").string()), "d");
    // No temporary files are left behind.
    int entries = 0;
    for (auto& e : fs::directory_iterator(dir))
        (void)e, ++entries;
    EXPECT_EQ(entries, 2);
}

TEST_F(ProfileTest, IntegersUseLeadingDigits)
{
    Put("[n]\r\na=15000abc\r\nb=abc\r\nc=\r\nd=-5\r\ne= 42 \r\nf=99999999999999\r\ng=+7\r\n");
    EXPECT_EQ(GetPrivateProfileInt("n", "a", 1, file), 15000);
    EXPECT_EQ(GetPrivateProfileInt("n", "b", 1, file), 0);
    EXPECT_EQ(GetPrivateProfileInt("n", "c", 1, file), 1);
    EXPECT_EQ(GetPrivateProfileInt("n", "d", 1, file), -5);
    EXPECT_EQ(GetPrivateProfileInt("n", "e", 1, file), 42);
    EXPECT_EQ(GetPrivateProfileInt("n", "f", 1, file), 2147483647);
    EXPECT_EQ(GetPrivateProfileInt("n", "g", 1, file), 7);
    EXPECT_EQ(GetPrivateProfileInt("n", "zz", 33226, file), 33226);
    EXPECT_EQ(GetPrivateProfileInt("n", "a", 33226, (dir / "none.ini").string()), 33226);
    EXPECT_EQ(ParseLeadingInt("-99999999999"), -2147483648L);
    EXPECT_EQ(ParseLeadingInt(""), 0);
}

TEST_F(ProfileTest, StructureEntries)
{
    LogPen pen{PS_SOLID, 2, 0, 0x0000FF};
    ASSERT_TRUE(WriteProfileRecord("pen", "logpen.0", pen, file));
    // 00 00 00 00 | 02 00 00 00 | 00 00 00 00 | FF 00 00 00, sum 0x101 -> 01
    EXPECT_EQ(Bytes(), std::string("[pen]\r\nlogpen.0=") + "00000000" "02000000" "00000000" "FF000000" "01" "\r\n");
    LogPen back;
    ASSERT_TRUE(GetProfileRecord("pen", "logpen.0", back, file));
    EXPECT_EQ(back, pen);

    Rect32 r{0, 0, 360, 300};
    ASSERT_TRUE(WriteProfileRecord("window", "graphview", r, file));
    Rect32 rb;
    ASSERT_TRUE(GetProfileRecord("window", "graphview", rb, file));
    EXPECT_EQ(rb, r);

    WindowPlacement wp;
    wp.showCmd = SW_SHOWMAXIMIZED;
    wp.normal = {10, 20, 650, 500};
    ASSERT_TRUE(WriteProfileRecord("window", "frame", wp, file));
    EXPECT_EQ(GetPrivateProfileString("window", "frame", "", file).size(), 90u);
    WindowPlacement wb;
    ASSERT_TRUE(GetProfileRecord("window", "frame", wb, file));
    EXPECT_EQ(wb, wp);
    EXPECT_EQ(wb.length, 44u);

    // Written on Windows in lower case: still read.
    Put("[pen]\r\nlogpen.0=000000000200000000000000ff00000001\r\n");
    ASSERT_TRUE(GetProfileRecord("pen", "logpen.0", back, file));
    EXPECT_EQ(back, pen);
}

TEST_F(ProfileTest, RectangleSizesFromAnyEdgesDoNotOverflow)
{
    // The reproducer: left = INT_MIN, right = 1 (and the mirror image).
    Put("[window]\r\ngraphview=0000008000000000010000002C010000AE\r\n");
    Rect32 r;
    ASSERT_TRUE(GetProfileRecord("window", "graphview", r, file));
    EXPECT_EQ(r.left, INT32_MIN);
    EXPECT_EQ(r.Width(), INT32_MAX);
    EXPECT_EQ((Rect32{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN}).Width(), INT32_MIN);
    EXPECT_EQ((Rect32{0, INT32_MIN, 0, INT32_MAX}).Height(), INT32_MAX);
    EXPECT_EQ(r.ToQRect().width(), INT32_MAX);
}

TEST_F(ProfileTest, DamagedStructureEntriesCountAsMissing)
{
    const std::string good = "000000000200000000000000FF00000001";
    auto readable = [&](const std::string& value) {
        Put("[pen]\r\nlogpen.0=" + value + "\r\n");
        LogPen lp{PS_DOT, 9, 9, 9};
        bool ok = GetProfileRecord("pen", "logpen.0", lp, file);
        if (!ok) {
            EXPECT_EQ(lp, (LogPen{PS_DOT, 9, 9, 9})) << "a refused record must not be half-filled";
        }
        return ok;
    };
    EXPECT_TRUE(readable(good));
    EXPECT_FALSE(readable("000000000200000000000000FF00000002"));  // check byte
    EXPECT_FALSE(readable("000000000200000000000000FE00000001"));  // a byte changed
    EXPECT_FALSE(readable(good.substr(0, good.size() - 2)));        // too short
    EXPECT_FALSE(readable(good + "00"));                            // too long
    EXPECT_FALSE(readable("000000000200000000000000GF00000001"));  // not hex
    EXPECT_FALSE(readable(""));

    // A 16-byte record where 44 bytes are expected.
    Put("[window]\r\nframe=" + good + "\r\n");
    WindowPlacement wp;
    EXPECT_FALSE(GetProfileRecord("window", "frame", wp, file));
}

TEST_F(ProfileTest, DirectoryPathsWithAllMissingLevels)
{
    fs::path deep = dir / "start" / "etc" / "ini";
    EXPECT_TRUE(CreateDirectoryPath(deep.string()));
    EXPECT_TRUE(fs::is_directory(deep));
    EXPECT_TRUE(CreateDirectoryPath(deep.string()));  // already there
    EXPECT_TRUE(WritePrivateProfileString("community", "read", "cedrus", (deep / "agent.ini").string()));

    std::ofstream(dir / "plain") << "x";
    EXPECT_FALSE(CreateDirectoryPath((dir / "plain" / "sub").string()));
    EXPECT_FALSE(CreateDirectoryPath(""));
}

}  // namespace
