// Display texts: tag names, value texts in both modes, SEQUENCE and PDU
// dumps, and received elements that do not fit their buffer.

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "snmpval/CSnmpBer.h"
#include "snmpval/CSnmpString.h"
#include "snmpval/Cp932.h"
#include "tests/snmpval/GuardedBuffer.h"

namespace {

using Bytes = std::vector<unsigned char>;

std::string Show(const Bytes& element, int mode = 0)
{
    GuardedBuffer g(element);
    return CSnmpBer::GetDisplayString(g.data(), g.size(), mode).GetStr();
}

std::string Show(const CSnmpBer& b, int mode = 0) { return b.GetString(mode).GetStr(); }

CSnmpBer Oid(const std::vector<unsigned long>& arcs)
{
    CSnmpBer b;
    b.SetOid(arcs.data(), int(arcs.size()));
    return b;
}

CSnmpBer Seq(unsigned char tag, std::initializer_list<CSnmpBer> members)
{
    CSnmpBer s;
    s.SetTag(tag);
    for (const CSnmpBer& m : members)
        s.AddBer(m);
    return s;
}

CSnmpBer Int(long v)
{
    CSnmpBer b;
    b.SetLong(v);
    return b;
}

CSnmpBer Unsigned(unsigned long v, unsigned char tag)
{
    CSnmpBer b;
    b.SetULong(v, tag);
    return b;
}

CSnmpBer Element(unsigned char tag, const Bytes& content)
{
    CSnmpBer b;
    b.Set(tag, int(content.size()), content.data());
    return b;
}

CSnmpBer Octets(const Bytes& bytes) { return Element(CSnmpBer::TagOctetString, bytes); }

Bytes SjisBytes(const char* utf8)
{
    std::string s = cp932::FromUtf8(utf8);
    return Bytes(s.begin(), s.end());
}

}  // namespace

TEST(TagNames, TablesAndTheTagTypeText)
{
    int named = 0;
    for (const std::string& t : CSnmpBer::m_strTag)
        named += !t.empty();
    EXPECT_EQ(named, 15);
    EXPECT_EQ(CSnmpBer::m_strTag[0x44], "Opaque");
    EXPECT_EQ(CSnmpBer::m_strTag[0xA1], "SNMP GetNextRequest");
    EXPECT_EQ(CSnmpBer::m_strTag[0xA4], "SNMP Trap");
    EXPECT_EQ(CSnmpBer::m_strTrapMsg[0], "coldStart");
    EXPECT_EQ(CSnmpBer::m_strTrapMsg[4], "authenticationFailure");
    EXPECT_EQ(CSnmpBer::m_strTrapMsg[5], "egpNeiborLoss");
    EXPECT_EQ(CSnmpBer::m_strTrapMsg[6], "enterpriseSpecific");

    std::string text;
    Int(1).GetTagType(text);
    EXPECT_EQ(text, "INTEGER(0x02)");
    Unsigned(1, 0x41).GetTagType(text);
    EXPECT_EQ(text, "Counter(0x41)");
    CSnmpBer().GetTagType(text);
    EXPECT_EQ(text, "NULL(0x05)");
    CSnmpBer unnamed = Element(0x07, {});
    unnamed.GetTagType(text);
    EXPECT_EQ(text, "(0x07)");
    Seq(0xA2, {}).GetTagType(text);
    EXPECT_EQ(text, "SNMP GetResponse(0xa2)");
    Oid({1, 3}).GetTagType(text);
    EXPECT_EQ(text, "OBJECT IDENTIFIER(0x06)");
}

TEST(ValueText, NumbersAddressesAndTicks)
{
    EXPECT_EQ(Show(Int(-1)), "-1");
    EXPECT_EQ(Show(Int(40000)), "40000");
    EXPECT_EQ(Show(Int(-2147483647L - 1)), "-2147483648");
    EXPECT_EQ(Show(Bytes{0x02, 0x00}), "0");
    EXPECT_EQ(Show(Unsigned(4294967295UL, 0x41)), "4294967295");
    EXPECT_EQ(Show(Unsigned(3000000000UL, 0x42)), "3000000000");
    EXPECT_EQ(Show(Bytes{0x40, 0x04, 192, 0, 2, 254}), "192.0.2.254");
    EXPECT_EQ(Show(Bytes{0x40, 0x02, 10, 1}), "(null)") << "too short for an address";

    EXPECT_EQ(Show(Unsigned(8640000, 0x43)), "24:00:00.00");
    EXPECT_EQ(Show(Unsigned(123456, 0x43)), "0:20:34.56");
    EXPECT_EQ(Show(Unsigned(0, 0x43)), "0:00:00.00");
    EXPECT_EQ(Show(Unsigned(100, 0x43)), "0:00:01.00");
    EXPECT_EQ(Show(Unsigned(4294967295UL, 0x43)), "11930:27:52.95");

    EXPECT_EQ(Show(CSnmpBer()), "(null)");
    EXPECT_EQ(Show(Bytes{0x05, 0x00}), "(null)");
    EXPECT_EQ(Show(Bytes{0x44, 0x02, 0x01, 0x02}), "(null)");
    EXPECT_EQ(Show(Bytes{0x07, 0x00}), "(null)");
    EXPECT_EQ(CSnmpBer::GetDisplayString(nullptr, 0).GetStr(), std::string("(null)"));
    EXPECT_EQ(CSnmpBer::GetDisplayString(nullptr, 100, 1).GetStr(), std::string("(null)"));
}

TEST(ValueText, OctetStringsAsTextOrHex)
{
    EXPECT_EQ(Show(Octets({0x00, 0x1A, 0x2B}), 1), "00:1a:2b");
    EXPECT_EQ(Show(Octets({0x00, 0x1A, 0x2B}), 0), "");
    EXPECT_EQ(Show(Octets({'a', 'b', 0x00, 'c'}), 0), "ab");
    EXPECT_EQ(Show(Octets({'a', 'b', 0x00, 'c'}), 1), "61:62:00:63");
    EXPECT_EQ(Show(Octets({'a', '\t', 'b'}), 0), "a\tb");
    EXPECT_EQ(Show(Octets({0xFF, 0x7F, ' '}), 1), "\xFF\x7F ") << "0x80 and above count as text";
    EXPECT_EQ(Show(Octets({}), 1), "");
    EXPECT_EQ(Show(Octets({0x00, 0x50, 0x56, 0xC0, 0x00, 0x08}), 1), "00:50:56:c0:00:08");

    // Shift_JIS text shows as text in both modes, and reads as Unicode.
    Bytes sjis = SjisBytes("東京都のルーター");
    for (int mode : {0, 1}) {
        CSnmpString s = Octets(sjis).GetString(mode);
        EXPECT_EQ(std::string(s.GetStr()), std::string(sjis.begin(), sjis.end()));
        EXPECT_EQ(std::u16string(s.GetWStr()), u"東京都のルーター");
        EXPECT_EQ(s.GetUtf8(), "東京都のルーター");
    }

    // Octets that are no CP932 show as a replacement character.
    CSnmpString bad = Octets({'x', 0x81, 0xFF, 0xA0, 'y'}).GetString(0);
    std::u16string w = bad.GetWStr();
    EXPECT_EQ(w.front(), u'x');
    EXPECT_EQ(w.back(), u'y');
    EXPECT_NE(w.find(u'\uFFFD'), std::u16string::npos);
}

TEST(ValueText, ObjectIdentifiers)
{
    EXPECT_EQ(Show(Oid({1, 3, 6, 1, 2, 1, 1, 3, 0})), "1.3.6.1.2.1.1.3.0");
    EXPECT_EQ(Show(Oid({1, 3, 6, 1, 4, 1, 4294967295UL})), "1.3.6.1.4.1.4294967295");
    EXPECT_EQ(Show(Oid({2, 39})), "2.39");
    EXPECT_EQ(Show(Bytes{0x06, 0x03, 0x2B, 0x06, 0x81}), "(null)") << "ends inside an arc";
    EXPECT_EQ(Show(Bytes{0x06, 0x07, 0x2B, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F}), "(null)") << "arc over 32 bits";
    EXPECT_EQ(Show(Bytes{0x06, 0x00}), "(null)");
    // The first sub-identifier in base 128: arcs under 2 beyond 39.
    EXPECT_EQ(Show(Bytes{0x06, 0x03, 0x88, 0x37, 0x01}), "2.999.1");
    EXPECT_EQ(Show(Bytes{0x06, 0x05, 0x90, 0x80, 0x80, 0x80, 0x4F}), "2.4294967295");
    EXPECT_EQ(Show(Bytes{0x06, 0x01, 0x88}), "(null)") << "ends inside the first sub-identifier";

    // 200 arcs: the first 128 and then "...".
    std::vector<unsigned long> many{1, 3};
    for (int i = 0; i < 198; ++i)
        many.push_back(unsigned(i % 10));
    std::string text = Show(Oid(many));
    ASSERT_GE(text.size(), 3u);
    EXPECT_EQ(text.substr(text.size() - 3), "...");
    std::string arcsPart = text.substr(0, text.size() - 3);
    EXPECT_EQ(std::count(arcsPart.begin(), arcsPart.end(), '.'), 127);
    EXPECT_EQ(arcsPart.substr(0, 12), "1.3.0.1.2.3.");

    // Exactly 128 arcs fit without a mark.
    std::vector<unsigned long> exact(many.begin(), many.begin() + 128);
    std::string fits = Show(Oid(exact));
    EXPECT_EQ(std::count(fits.begin(), fits.end(), '.'), 127);
    EXPECT_EQ(fits.find("..."), std::string::npos);

    // Wide arcs hit the character limit before the arc limit.
    std::vector<unsigned long> wide{1, 3};
    for (int i = 0; i < 120; ++i)
        wide.push_back(4000000000UL);
    std::string cut = Show(Oid(wide));
    EXPECT_LE(cut.size(), size_t(CSnmpBer::MaxDisplayChars));
    EXPECT_EQ(cut.substr(cut.size() - 3), "...");
    EXPECT_EQ(cut.substr(0, 15), "1.3.4000000000.");
    EXPECT_NE(cut[cut.size() - 4], '.') << "cut at an arc boundary";
}

TEST(Dumps, BindingsSequencesAndPdus)
{
    CSnmpBer binding = Seq(0x30, {Oid({1, 3, 6, 1, 2, 1, 1, 3, 0}), Unsigned(100, 0x43)});
    EXPECT_EQ(Show(binding), "{\n1.3.6.1.2.1.1.3.0\n0:00:01.00\n}");

    CSnmpBer pdu = Seq(0xA2, {Int(7), Int(0), Int(0), Seq(0x30, {})});
    EXPECT_EQ(Show(pdu), "PDU{\n7\n0\n0\n{\n}\n}");

    // A whole reply: nested members always in mode 1.
    CSnmpBer mac = Octets({0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x5E});
    CSnmpBer reply =
        Seq(0x30, {Int(0), Octets({'c', 'e', 'd', 'r', 'u', 's'}),
                   Seq(0xA2, {Int(42), Int(0), Int(0),
                              Seq(0x30, {Seq(0x30, {Oid({1, 3, 6, 1, 2, 1, 2, 2, 1, 6, 2}), mac}),
                                         Seq(0x30, {Oid({1, 3, 6, 1, 2, 1, 4, 20, 1, 1, 192, 0, 2, 1}),
                                                    CSnmpBer(Bytes{0x40, 0x04, 192, 0, 2, 1}.data(), 6)})})})});
    EXPECT_EQ(Show(reply, 0),
              "{\n0\ncedrus\nPDU{\n42\n0\n0\n{\n"
              "{\n1.3.6.1.2.1.2.2.1.6.2\n00:1a:2b:3c:4d:5e\n}\n"
              "{\n1.3.6.1.2.1.4.20.1.1.192.0.2.1\n192.0.2.1\n}\n"
              "}\n}\n}");
    // The top element follows the caller's mode; members do not.
    EXPECT_EQ(Show(mac, 0), "");

    EXPECT_EQ(Show(Seq(0xA0, {Int(1)})), "PDU{\n1\n}");
    EXPECT_EQ(Show(Seq(0xA1, {})), "PDU{\n}");
    EXPECT_EQ(Show(Seq(0xA3, {Int(1)})), "PDU{\n1\n}");
    EXPECT_EQ(Show(Seq(0xA4, {Int(1)})), "(null)") << "traps are not dumped";
    EXPECT_EQ(Show(Seq(0x30, {CSnmpBer()})), "{\n(null)\n}");
}

TEST(Dumps, ShiftJisInsideASequenceStaysText)
{
    Bytes sjis = SjisBytes("本社サーバ室");
    CSnmpBer seq = Seq(0x30, {Oid({1, 3, 6, 1, 2, 1, 1, 6, 0}), Octets(sjis)});
    CSnmpString s = seq.GetString(1);
    EXPECT_EQ(std::u16string(s.GetWStr()), u"{\n1.3.6.1.2.1.1.6.0\n本社サーバ室\n}");
}

TEST(ReceivedText, ElementsThatDoNotFitTheirBuffer)
{
    // Header claims more than there is.
    EXPECT_EQ(Show(Bytes{0x04, 0x10, 'a', 'b'}), "(null)");
    EXPECT_EQ(Show(Bytes{0x04}), "(null)");
    EXPECT_EQ(Show(Bytes{0x02, 0x82, 0x01}), "(null)");
    EXPECT_EQ(Show(Bytes{0x30, 0x84, 0x7F, 0xFF, 0xFF, 0xFF}), "(null)");

    // A member running past its container shows once, and the dump stops.
    EXPECT_EQ(Show(Bytes{0x30, 0x05, 0x02, 0x01, 0x07, 0x04, 0x09}), "{\n7\n(null)\n}");
    EXPECT_EQ(Show(Bytes{0x30, 0x04, 0x02, 0x01, 0x07, 0x02}), "{\n7\n(null)\n}");
    // A container whose content is cut inside a member header.
    EXPECT_EQ(Show(Bytes{0xA2, 0x03, 0x02, 0x81, 0x05}), "PDU{\n(null)\n}");

    // A datagram cut short: the object holds fewer octets than its header says.
    Bytes full{0x30, 0x06, 0x02, 0x01, 0x05, 0x04, 0x01, 'x'};
    CSnmpBer cut(full.data(), 6);
    EXPECT_EQ(Show(cut), "(null)");
    CSnmpBer whole(full.data(), int(full.size()));
    EXPECT_EQ(Show(whole), "{\n5\nx\n}");

    // The avail argument bounds the read even when the header is fine.
    GuardedBuffer g(full);
    EXPECT_EQ(std::string(CSnmpBer::GetDisplayString(g.data(), 7, 0).GetStr()), "(null)");
    EXPECT_EQ(std::string(CSnmpBer::GetDisplayString(g.data(), 0).GetStr()), "{\n5\nx\n}");
}

TEST(ReceivedText, DeepNestingIsShownWithoutRecursingWithoutEnd)
{
    // 20000 nested SEQUENCEs around one INTEGER, as a hostile datagram could hold.
    Bytes e{0x02, 0x01, 0x01};
    for (int i = 0; i < 20000; ++i) {
        size_t n = e.size();
        Bytes h{0x30};
        if (n < 0x80) {
            h.push_back((unsigned char)n);
        } else if (n <= 0xFF) {
            h.push_back(0x81);
            h.push_back((unsigned char)n);
        } else if (n <= 0xFFFF) {
            h.push_back(0x82);
            h.push_back((unsigned char)(n >> 8));
            h.push_back((unsigned char)n);
        } else {
            h.push_back(0x83);
            h.push_back((unsigned char)(n >> 16));
            h.push_back((unsigned char)(n >> 8));
            h.push_back((unsigned char)n);
        }
        e.insert(e.begin(), h.begin(), h.end());
    }
    std::string text = Show(e);
    EXPECT_EQ(text.substr(0, 4), "{\n{\n");
    EXPECT_NE(text.find("{...}"), std::string::npos);
    EXPECT_LT(text.size(), 1000u);

    // Ordinary nesting is shown in full.
    CSnmpBer nested = Seq(0x30, {Seq(0x30, {Seq(0x30, {Int(3)})})});
    EXPECT_EQ(Show(nested), "{\n{\n{\n3\n}\n}\n}");
}

TEST(ReceivedText, LongOctetStringsAndManyMembers)
{
    Bytes big(60000, 0x01);
    CSnmpBer b = Octets(big);
    std::string hex = Show(b, 1);
    EXPECT_EQ(hex.size(), 60000u * 3 - 1);
    EXPECT_EQ(hex.substr(0, 6), "01:01:");

    CSnmpBer list;
    list.SetTag(0x30);
    for (int i = 0; i < 3000; ++i)
        list.AddBer(CSnmpBer());
    std::string text = Show(list);
    EXPECT_EQ(text.size(), 2 + 3000 * 7 + 1);
}
