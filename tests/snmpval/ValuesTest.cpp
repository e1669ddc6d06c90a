// The value family: serialised blocks, reading them back, the array's
// storage rules, text forms and packed local times.

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "snmpval/CSnmpValues.h"
#include "snmpval/Cp932.h"
#include "tests/snmpval/GuardedBuffer.h"

namespace {

using Bytes = std::vector<unsigned char>;

Bytes Serialise(const CSnmpData& v)
{
    Bytes out(size_t(v.DataSize()));
    int n = v.DataTo(out.data());
    EXPECT_EQ(n, v.DataSize());
    return out;
}

// Read a value back through the factory, bounded by the block's size.
std::unique_ptr<CSnmpData> Read(const Bytes& block, const std::string& sig, int* used, const char** end = nullptr)
{
    const char* cur = sig.c_str();
    std::unique_ptr<CSnmpData> v(CSnmpData::CreateFromData(block.data(), int(block.size()), cur, used));
    if (end)
        *end = cur;
    return v;
}

std::string Sjis(const char* utf8) { return cp932::FromUtf8(utf8); }

// Run a test body under a given time zone and restore the old one.
class ZoneGuard {
public:
    explicit ZoneGuard(const char* tz)
    {
        const char* old = std::getenv("TZ");
        m_had = old != nullptr;
        if (old)
            m_old = old;
        ::setenv("TZ", tz, 1);
        ::tzset();
    }
    ~ZoneGuard()
    {
        if (m_had)
            ::setenv("TZ", m_old.c_str(), 1);
        else
            ::unsetenv("TZ");
        ::tzset();
    }

private:
    bool m_had = false;
    std::string m_old;
};

}  // namespace

TEST(SerialisedForm, BlocksAndSignaturesOfEachClass)
{
    CSnmpString ab("ab");
    EXPECT_STREQ(ab.TypeStr(), "s");
    EXPECT_EQ(Serialise(ab), (Bytes{0x02, 0x00, 0x61, 0x00, 0x62, 0x00}));

    EXPECT_EQ(Serialise(CSnmpString()), (Bytes{0x00, 0x00}));
    EXPECT_EQ(Serialise(CSnmpBinary()), (Bytes{0x00, 0x00, 0x00, 0x00}));

    const unsigned char raw[] = {0xDE, 0xAD, 0xBE};
    CSnmpBinary bin(raw, 3);
    EXPECT_STREQ(bin.TypeStr(), "b");
    EXPECT_EQ(Serialise(bin), (Bytes{0x03, 0x00, 0x00, 0x00, 0xDE, 0xAD, 0xBE}));

    CSnmpArray arr;
    arr.Add(CSnmpLong(5L));
    arr.Add(CSnmpLong(7UL));
    EXPECT_STREQ(arr.TypeStr(), "alu");
    EXPECT_EQ(Serialise(arr), (Bytes{0x02, 0, 0, 0, 0x05, 0, 0, 0, 0x07, 0, 0, 0}));

    CSnmpLong neg(-2L);
    EXPECT_EQ(Serialise(neg), (Bytes{0xFE, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(Serialise(CSnmpDouble(1.0)), (Bytes{0, 0, 0, 0, 0, 0, 0xF0, 0x3F}));
    EXPECT_STREQ(CSnmpDouble().TypeStr(), "d");

    CSnmpTime t(2004, 12, 31, 23, 59);
    EXPECT_STREQ(t.TypeStr(), "t");
    uint32_t packed = (2004u << 20) | (12u << 16) | (31u << 11) | (23u << 6) | 59u;
    EXPECT_EQ((unsigned long)t, packed);
    EXPECT_EQ(Serialise(t), (Bytes{Bytes::value_type(packed), Bytes::value_type(packed >> 8),
                                   Bytes::value_type(packed >> 16), Bytes::value_type(packed >> 24)}));

    CSnmpBer empty;
    EXPECT_STREQ(empty.TypeStr(), "r");
    EXPECT_EQ(Serialise(empty), (Bytes{0x05, 0x00}));
}

TEST(SerialisedForm, NestedTreeRoundTripsThroughTheFactory)
{
    CSnmpArray inner;
    inner.Add(CSnmpString(u"日本語テキスト"));
    inner.Add(CSnmpTime(2010, 6, 15, 8, 30));
    CSnmpArray outer;
    outer << CSnmpLong(-123456L) << CSnmpLong(4000000000UL) << CSnmpDouble(-2.5) << inner;
    const unsigned char raw[] = {1, 0, 2, 0, 0xFF};
    outer.Add(new CSnmpBinary(raw, 5));
    outer.Add(new CSnmpArray);
    outer.Add(new CSnmpString(Sjis("半角ｶﾅと全角").c_str()));

    std::string sig = outer.TypeStr();
    EXPECT_EQ(sig, "aluda" "st" "bas");
    Bytes block = Serialise(outer);

    int used = 0;
    const char* end = nullptr;
    auto back = Read(block, sig, &used, &end);
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(used, int(block.size()));
    EXPECT_EQ(*end, '\0');  // the whole signature was consumed
    auto* arr = dynamic_cast<CSnmpArray*>(back.get());
    ASSERT_NE(arr, nullptr);
    ASSERT_EQ(arr->GetSize(), 7);
    EXPECT_EQ(dynamic_cast<CSnmpLong*>(arr->Get(0))->GetLong(), -123456L);
    EXPECT_EQ(dynamic_cast<CSnmpLong*>(arr->Get(1))->GetULong(), 4000000000UL);
    EXPECT_EQ(dynamic_cast<CSnmpLong*>(arr->Get(1))->GetKind(), 'u');
    EXPECT_EQ(double(*dynamic_cast<CSnmpDouble*>(arr->Get(2))), -2.5);
    auto* in = dynamic_cast<CSnmpArray*>(arr->Get(3));
    ASSERT_NE(in, nullptr);
    EXPECT_EQ(std::u16string(dynamic_cast<CSnmpString*>(in->Get(0))->GetWStr()), u"日本語テキスト");
    EXPECT_EQ(dynamic_cast<CSnmpTime*>(in->Get(1))->GetMinute(), 30);
    auto* b = dynamic_cast<CSnmpBinary*>(arr->Get(4));
    ASSERT_EQ(b->GetLen(), 5);
    EXPECT_EQ(Bytes(b->GetData(), b->GetData() + 5), Bytes(raw, raw + 5));
    EXPECT_EQ(dynamic_cast<CSnmpArray*>(arr->Get(5))->GetSize(), 0);
    EXPECT_EQ(std::string(dynamic_cast<CSnmpString*>(arr->Get(6))->GetStr()), Sjis("半角ｶﾅと全角"));

    // The serialised form of the copy is byte for byte the original's.
    EXPECT_EQ(Serialise(*arr), block);
    EXPECT_STREQ(arr->TypeStr(), sig.c_str());
}

TEST(SerialisedForm, FactoryRefusesUnknownMarkersAndLeavesCountAlone)
{
    Bytes block{0x05, 0x00};
    for (const char* sig : {"r", "x", "", "L", "?"}) {
        int used = 12345;
        const char* cur = sig;
        EXPECT_EQ(CSnmpData::CreateFromData(block.data(), 2, cur, &used), nullptr) << sig;
        EXPECT_EQ(used, 12345) << sig;
        EXPECT_EQ(cur, sig) << sig;
    }
    const char* none = nullptr;
    EXPECT_EQ(CSnmpData::CreateFromData(block.data(), none), nullptr);

    // The BER element reads itself without advancing the signature.
    CSnmpBer ber;
    const char* r = "r";
    EXPECT_EQ(ber.DataFrom(block.data(), r), 2);
    EXPECT_EQ(r[0], 'r');
    EXPECT_EQ(ber.GetTagType(), 0x05);
}

TEST(SerialisedForm, MarkerMismatchConsumesNothing)
{
    Bytes four{1, 0, 0, 0};
    const char* sig = "x";
    CSnmpString s;
    CSnmpBinary b;
    CSnmpArray a;
    CSnmpDouble d;
    CSnmpLong l;
    CSnmpTime t(1UL);
    Bytes eight(8, 0);
    EXPECT_EQ(s.DataFrom(four.data(), 4, sig), -1);
    EXPECT_EQ(b.DataFrom(four.data(), 4, sig), -1);
    EXPECT_EQ(a.DataFrom(four.data(), 4, sig), -1);
    EXPECT_EQ(d.DataFrom(eight.data(), 8, sig), -1);
    // A kind other than l/u would not read back, so it is refused too.
    EXPECT_EQ(l.DataFrom(four.data(), 4, sig), -1);
    EXPECT_EQ(t.DataFrom(four.data(), 4, sig), -1);
    EXPECT_EQ(*sig, 'x');
    const char* end = "";
    EXPECT_EQ(l.DataFrom(four.data(), 4, end), -1);
    EXPECT_EQ((unsigned long)t, 1UL);

    const char* u = "u";
    EXPECT_EQ(l.DataFrom(four.data(), 4, u), 4);
    EXPECT_EQ(l.GetKind(), 'u');
    EXPECT_STREQ(l.TypeStr(), "u");
    EXPECT_EQ(*u, '\0');
}

TEST(SerialisedForm, EveryCutOfAValidBlockFailsWithoutReadingPastIt)
{
    CSnmpArray inner;
    inner << CSnmpString("xyz") << CSnmpBinary(reinterpret_cast<const unsigned char*>("\1\2\3\4"), 4);
    CSnmpArray outer;
    outer << CSnmpLong(1L) << CSnmpDouble(3.0) << inner << CSnmpTime(2020, 1, 1, 0, 0);
    std::string sig = outer.TypeStr();
    Bytes block = Serialise(outer);
    for (size_t cut = 0; cut < block.size(); ++cut) {
        GuardedBuffer g(Bytes(block.begin(), block.begin() + long(cut)));
        const char* cur = sig.c_str();
        int used = 0;
        std::unique_ptr<CSnmpData> v(CSnmpData::CreateFromData(g.data(), g.size(), cur, &used));
        ASSERT_NE(v, nullptr);
        EXPECT_EQ(used, -1) << "cut at " << cut;
        EXPECT_EQ(cur, sig.c_str()) << "a failed read leaves the cursor";
        EXPECT_EQ(dynamic_cast<CSnmpArray*>(v.get())->GetSize(), 0);
    }
    GuardedBuffer whole(block);
    const char* cur = sig.c_str();
    int used = 0;
    std::unique_ptr<CSnmpData> v(CSnmpData::CreateFromData(whole.data(), whole.size(), cur, &used));
    EXPECT_EQ(used, int(block.size()));
}

TEST(SerialisedForm, InconsistentCountsAreRefused)
{
    struct Case {
        const char* name;
        Bytes block;
        const char* sig;
    } cases[] = {
        {"negative string count", {0xFF, 0xFF, 0x41, 0x00}, "s"},
        {"string count past the block", {0x10, 0x00, 0x41, 0x00}, "s"},
        {"negative binary length", {0xFF, 0xFF, 0xFF, 0xFF, 0x00}, "b"},
        {"binary length past the block", {0xFF, 0xFF, 0xFF, 0x7F, 0x00}, "b"},
        {"huge array count", {0xFF, 0xFF, 0xFF, 0x7F, 1, 0, 0, 0}, "al"},
        {"more elements than markers", {0x03, 0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0}, "all"},
        {"element of unknown type", {0x01, 0, 0, 0, 0x05, 0x00}, "ar"},
        {"short double", {0, 0, 0, 0, 0, 0, 0}, "d"},
        {"short long", {0, 0, 0}, "l"},
    };
    for (const Case& c : cases) {
        GuardedBuffer g(c.block);
        const char* cur = c.sig;
        int used = 0;
        std::unique_ptr<CSnmpData> v(CSnmpData::CreateFromData(g.data(), g.size(), cur, &used));
        ASSERT_NE(v, nullptr) << c.name;
        EXPECT_EQ(used, -1) << c.name;
    }
}

TEST(SerialisedForm, DeeplyNestedArraysAreRefusedNotRecursedInto)
{
    const int depth = 100000;
    std::string sig(size_t(depth), 'a');
    Bytes block;
    for (int i = 0; i < depth; ++i)
        block.insert(block.end(), {1, 0, 0, 0});
    const char* cur = sig.c_str();
    int used = 0;
    std::unique_ptr<CSnmpData> v(CSnmpData::CreateFromData(block.data(), int(block.size()), cur, &used));
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(used, -1);

    // Reasonable nesting still reads.
    std::string ok(10, 'a');
    ok += 'l';
    Bytes okBlock;
    for (int i = 0; i < 10; ++i)
        okBlock.insert(okBlock.end(), {1, 0, 0, 0});
    okBlock.insert(okBlock.end(), {9, 0, 0, 0});
    auto w = Read(okBlock, ok, &used);
    EXPECT_EQ(used, int(okBlock.size()));
}

TEST(SerialisedForm, UnboundedFormsReadWhatTheyWrote)
{
    CSnmpString s(u"αβγ");
    Bytes block = Serialise(s);
    const char* sig = "s";
    int used = 0;
    std::unique_ptr<CSnmpData> v(CSnmpData::CreateFromData(block.data(), sig, &used));
    EXPECT_EQ(used, 8);
    EXPECT_EQ(std::u16string(dynamic_cast<CSnmpString*>(v.get())->GetWStr()), u"αβγ");

    CSnmpString empty("tmp");
    const char* s2 = "s";
    Bytes zero{0, 0};
    EXPECT_EQ(empty.DataFrom(zero.data(), s2), 2);
    EXPECT_STREQ(empty.GetStr(), "");
    EXPECT_EQ(empty.GetWLen(), 0);
}

TEST(SnmpString, NarrowAndWideFormsConvertThroughCp932)
{
    std::string sjis = Sjis("エージェントの設定");
    CSnmpString s(sjis.c_str());
    EXPECT_EQ(std::u16string(s.GetWStr()), u"エージェントの設定");
    EXPECT_EQ(s.GetWLen(), 9);
    EXPECT_EQ(s.GetLen(), 18);
    EXPECT_EQ(s.GetUtf8(), "エージェントの設定");

    CSnmpString w(u"ｶﾅ漢字abc");
    EXPECT_EQ(std::string(w.GetStr()), Sjis("ｶﾅ漢字abc"));
    EXPECT_EQ(w.GetLen(), 9);
    EXPECT_EQ(CSnmpString::FromUtf8("設定").GetWLen(), 2);

    // Octets that are not CP932 become a replacement character, never a failure.
    CSnmpString bad("\x81\xFF" "ok\xA0\xFD");
    std::u16string wide = bad.GetWStr();
    EXPECT_NE(wide.find(u'\uFFFD'), std::u16string::npos);
    EXPECT_NE(wide.find(u"ok"), std::u16string::npos);

    // Characters CP932 lacks survive in UTF-8 straight from the wide form.
    CSnmpString emoji(u"a\U0001F600b");
    EXPECT_EQ(emoji.GetUtf8(), "a\U0001F600b");

    // Every octet below 0x80 is the same character in CP932 and Unicode,
    // the yen and overline positions 0x5C and 0x7E included.
    std::string ascii;
    std::u16string asciiWide;
    for (int c = 1; c < 0x80; ++c) {
        ascii += char(c);
        asciiWide += char16_t(c);
    }
    EXPECT_EQ(cp932::ToUtf8(ascii), ascii);
    EXPECT_EQ(cp932::FromUtf8(ascii), ascii);
    EXPECT_EQ(cp932::ToUtf16(ascii), asciiWide);
    EXPECT_EQ(cp932::FromUtf16(asciiWide), ascii);
    EXPECT_EQ(cp932::ToUtf8(ascii + "\x82\xA0"), ascii + "あ");
    EXPECT_EQ(cp932::FromUtf16(asciiWide + u"あ"), ascii + "\x82\xA0");

    EXPECT_STREQ(CSnmpString().GetStr(), "");
    EXPECT_EQ(std::u16string(CSnmpString().GetWStr()), u"");
    EXPECT_STREQ(CSnmpString(static_cast<const char*>(nullptr)).GetStr(), "");
}

TEST(SnmpString, AppendAssignAndClearKeepTheRightForm)
{
    CSnmpString s("abc");
    s.Append(u"日本");
    EXPECT_EQ(std::u16string(s.GetWStr()), u"abc日本");
    s.Clear(CSnmpString::ClearNarrow);  // the wide form alone is left
    EXPECT_EQ(std::string(s.GetStr()), Sjis("abc日本"));
    s.Append("!");
    s.Clear(CSnmpString::ClearWide);
    EXPECT_EQ(std::string(s.GetStr()), Sjis("abc日本") + "!");

    CSnmpString wideOnly(u"xy");
    CSnmpString t("12");
    t += wideOnly;
    t += "3";
    t += u"4";
    EXPECT_EQ(t.GetUtf8(), "12xy34");
    t += t;
    EXPECT_EQ(t.GetUtf8(), "12xy3412xy34");

    // Assigning a text that lives inside the object itself.
    CSnmpString self("self");
    self = self.GetStr();
    EXPECT_STREQ(self.GetStr(), "self");
    self = static_cast<const char*>(self) + 1;
    EXPECT_STREQ(self.GetStr(), "elf");
    self = self;
    EXPECT_STREQ(self.GetStr(), "elf");

    CSnmpString copy(wideOnly);
    EXPECT_EQ(std::u16string(copy.GetWStr()), u"xy");
    std::unique_ptr<CSnmpData> dump(t.Dump());
    EXPECT_EQ(dynamic_cast<CSnmpString*>(dump.get())->GetUtf8(), "12xy3412xy34");
    CSnmpString target("old");
    target.CopyFrom(static_cast<const CSnmpData*>(&wideOnly));
    EXPECT_STREQ(target.GetStr(), "xy");

    s.Clear();
    EXPECT_TRUE(s.IsEmpty());
}

TEST(SnmpString, SetTakesATextThatLivesInsideTheObject)
{
    // Each form is converted on demand, so GetStr/GetWStr may point into
    // storage that Set is about to replace.
    CSnmpString fromWide(u"long enough to leave the small-block cache");
    fromWide.Set(fromWide.GetStr());
    EXPECT_STREQ(fromWide.GetStr(), "long enough to leave the small-block cache");

    CSnmpString fromNarrow("abcdefgh");
    fromNarrow.Set(fromNarrow.GetWStr() + 2);
    EXPECT_EQ(std::u16string(fromNarrow.GetWStr()), u"cdefgh");

    CSnmpString part("0123456789");
    part.Set(part.GetStr() + 3, 4);
    EXPECT_STREQ(part.GetStr(), "3456");
}

TEST(SnmpString, TextsBeyondTheSixteenBitCountSerialiseTheirFirst32767Units)
{
    std::u16string big(40000, u'あ');
    CSnmpString s(big.c_str());
    EXPECT_EQ(s.DataSize(), 2 + 2 * 32767);
    Bytes block = Serialise(s);
    EXPECT_EQ(block[0], 0xFF);
    EXPECT_EQ(block[1], 0x7F);
    int used = 0;
    auto back = Read(block, "s", &used);
    EXPECT_EQ(used, int(block.size()));
    EXPECT_EQ(dynamic_cast<CSnmpString*>(back.get())->GetWLen(), 32767);

    // A surrogate pair straddling the limit is not cut in half.
    std::u16string pairs(32766, u'x');
    pairs += u"\U0001F600\U0001F600";
    CSnmpString p(pairs.c_str());
    EXPECT_EQ(p.DataSize(), 2 + 2 * 32766);
}

TEST(SnmpLong, KeepsThirtyTwoBitsAndItsKind)
{
    CSnmpLong l(-1L);
    EXPECT_EQ(l.GetLong(), -1L);
    EXPECT_EQ(l.GetULong(), 0xFFFFFFFFUL);
    EXPECT_STREQ(l.TypeStr(), "l");
    CSnmpLong u(0xFFFFFFFFUL);
    EXPECT_EQ(long(u), -1L);
    EXPECT_EQ((unsigned long)u, 0xFFFFFFFFUL);
    EXPECT_STREQ(u.TypeStr(), "u");
    u = 3L;
    EXPECT_EQ(u.GetKind(), 'l');
    CSnmpLong big(0x1234567890UL);  // wider than 32 bits: the low 32 are kept
    EXPECT_EQ(big.GetULong(), 0x34567890UL);
    CSnmpLong c(u);
    EXPECT_EQ(c.GetLong(), 3L);
    EXPECT_EQ(CSnmpLong().GetLong(), 0L);
    EXPECT_EQ(CSnmpLong().GetKind(), 'l');
}

TEST(SnmpArray, StorageRules)
{
    CSnmpArray a;
    EXPECT_EQ(a.Set(0, CSnmpLong(1L)), -1) << "Set at index count fails";
    EXPECT_EQ(a.Insert(0, CSnmpLong(10L)), 0) << "Insert at count appends";
    EXPECT_EQ(a.Insert(1, CSnmpLong(30L)), 1);
    EXPECT_EQ(a.Insert(1, CSnmpLong(20L)), 1);
    EXPECT_EQ(a.Insert(4, CSnmpLong(99L)), -1);
    EXPECT_EQ(a.Insert(-1, CSnmpLong(99L)), -1);
    EXPECT_EQ(a.Add(static_cast<CSnmpData*>(nullptr)), -1);
    ASSERT_EQ(a.GetSize(), 3);
    auto at = [&](int i) { return dynamic_cast<CSnmpLong*>(a[i])->GetLong(); };
    EXPECT_EQ(at(0), 10);
    EXPECT_EQ(at(1), 20);
    EXPECT_EQ(at(2), 30);
    EXPECT_EQ(a.Get(3), nullptr);
    EXPECT_EQ(a.Get(-1), nullptr);

    EXPECT_EQ(a.Set(1, new CSnmpLong(21L)), 1);
    EXPECT_EQ(at(1), 21);
    a.Del(0);
    a.Del(5);
    a.Del(-1);
    ASSERT_EQ(a.GetSize(), 2);
    EXPECT_EQ(at(0), 21);

    // Growing well past the first block of slots keeps the order.
    for (long i = 0; i < 50; ++i)
        a.Insert(a.GetSize() / 2, CSnmpLong(i));
    EXPECT_EQ(a.GetSize(), 52);
    EXPECT_EQ(at(0), 21);
    EXPECT_EQ(at(51), 30);

    // Copies are deep.
    CSnmpArray copy(a);
    dynamic_cast<CSnmpLong*>(a[0])->Set(-5L);
    EXPECT_EQ(dynamic_cast<CSnmpLong*>(copy[0])->GetLong(), 21);
    CSnmpArray assigned;
    assigned.Add(CSnmpString("gone"));
    assigned = a;
    EXPECT_EQ(assigned.GetSize(), 52);
    EXPECT_EQ(dynamic_cast<CSnmpLong*>(assigned[0])->GetLong(), -5);
    assigned = assigned;
    EXPECT_EQ(assigned.GetSize(), 52);

    a.Clear();
    EXPECT_EQ(a.GetSize(), 0);
    EXPECT_EQ(a.Get(0), nullptr);
    EXPECT_STREQ(a.TypeStr(), "a");
    EXPECT_EQ(a.Add(CSnmpTime(5UL)), 0);
    EXPECT_STREQ(a.TypeStr(), "at");
}

TEST(SnmpTime, CalendarArithmeticRollsOver)
{
    ZoneGuard zone("JST-9");
    CSnmpTime late(2004, 12, 31, 23, 59);
    CSnmpTime next = late + 1;
    EXPECT_EQ(next.GetYear(), 2005);
    EXPECT_EQ(next.GetMonth(), 1);
    EXPECT_EQ(next.GetDay(), 1);
    EXPECT_EQ(next.GetHour(), 0);
    EXPECT_EQ(next.GetMinute(), 0);
    EXPECT_EQ(next - late, 1);
    EXPECT_EQ(late - next, -1);
    EXPECT_EQ(late - late, 0);

    CSnmpTime leap = CSnmpTime(2004, 2, 28, 23, 59) + 1;
    EXPECT_EQ(leap.GetMonth(), 2);
    EXPECT_EQ(leap.GetDay(), 29);
    CSnmpTime year = CSnmpTime(2004, 3, 1, 12, 0) + 365L * 1440;
    EXPECT_EQ(year.GetYear(), 2005);
    EXPECT_EQ(year.GetMonth(), 3);
    EXPECT_EQ(year.GetDay(), 1);
    CSnmpTime back = CSnmpTime(2005, 1, 1, 0, 0) + (-1L);
    EXPECT_EQ((unsigned long)back, (unsigned long)late);

    // Absurd amounts leave the time as it was.
    CSnmpTime t(2004, 12, 31, 23, 59);
    t += LONG_MAX;
    EXPECT_EQ((unsigned long)t, (unsigned long)late);
    t += LONG_MIN;
    EXPECT_EQ((unsigned long)t, (unsigned long)late);
    CSnmpTime edge(4095, 12, 31, 23, 59);
    edge += 1;
    EXPECT_EQ(edge.GetYear(), 4095);
}

TEST(SnmpTime, SummerTimeDoesNotShiftTheHour)
{
    ZoneGuard zone("CET-1CEST,M3.5.0,M10.5.0/3");
    CSnmpTime summer(2021, 7, 1, 12, 0);
    CSnmpTime later = summer + 1;
    EXPECT_EQ(later.GetHour(), 12);
    EXPECT_EQ(later.GetMinute(), 1);
    EXPECT_EQ(later - summer, 1);

    // Across the spring change 01:59 is followed by 03:00, one minute later.
    CSnmpTime before(2021, 3, 28, 1, 59);
    CSnmpTime after = before + 1;
    EXPECT_EQ(after.GetHour(), 3);
    EXPECT_EQ(after.GetMinute(), 0);
    EXPECT_EQ(after - before, 1);
}

TEST(SnmpTime, DefaultIsTheCurrentLocalMinute)
{
    std::time_t now = std::time(nullptr);
    std::tm tm{};
    localtime_r(&now, &tm);
    CSnmpTime t;
    CSnmpTime expect(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min);
    long diff = t - expect;
    EXPECT_GE(diff, 0);
    EXPECT_LE(diff, 1);
    EXPECT_LE(CSnmpTime(CSnmpTime::GetTime()) - expect, 1);
}
