// The BER element: encodings checked octet for octet against hand-encoded
// vectors, decoding back, navigation of an SNMP message, and received data
// that lies about its lengths.

#include <gtest/gtest.h>

#include <atomic>
#include <climits>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "snmpval/CSnmpBer.h"
#include "snmpval/VarBind.h"
#include "tests/snmpval/GuardedBuffer.h"

namespace {

using Bytes = std::vector<unsigned char>;

Bytes Of(const CSnmpBer& b)
{
    if (!b.GetAllData())
        return {};
    return Bytes(b.GetAllData(), b.GetAllData() + b.GetBufferSize());
}

Bytes Long(long v)
{
    CSnmpBer b;
    b.SetLong(v);
    return Of(b);
}

Bytes ULong(unsigned long v, unsigned char tag)
{
    CSnmpBer b;
    b.SetULong(v, tag);
    return Of(b);
}

Bytes Oid(std::vector<unsigned long> arcs)
{
    CSnmpBer b;
    b.SetOid(arcs.data(), int(arcs.size()));
    return Of(b);
}

CSnmpBer Raw(Bytes bytes) { return CSnmpBer(bytes.data(), int(bytes.size())); }

// GetRequest for one OID with NULL, built the way every request is.
CSnmpBer Message(unsigned char pdu, const char* community, long id, const std::vector<unsigned long>& oid)
{
    CSnmpBer name;
    name.SetOid(oid.data(), int(oid.size()));
    CSnmpBer list = MakeVarBindList(name);

    CSnmpBer version, comm, reqId, status, index, body, msg;
    version.SetLong(0);
    comm.SetString(community);
    reqId.SetLong(id);
    status.SetLong(0);
    index.SetLong(0);
    body.SetTag(pdu);
    body.AddBer(reqId);
    body.AddBer(status);
    body.AddBer(index);
    body.AddBer(list);
    msg.SetTag(CSnmpBer::TagSequence);
    msg.AddBer(version);
    msg.AddBer(comm);
    msg.AddBer(body);
    return msg;
}

}  // namespace

TEST(BerEncoding, IntegersTakeOneTwoOrFourOctets)
{
    EXPECT_EQ(Long(0), (Bytes{0x02, 0x01, 0x00}));
    EXPECT_EQ(Long(-1), (Bytes{0x02, 0x01, 0xFF}));
    EXPECT_EQ(Long(127), (Bytes{0x02, 0x01, 0x7F}));
    EXPECT_EQ(Long(-128), (Bytes{0x02, 0x01, 0x80}));
    EXPECT_EQ(Long(128), (Bytes{0x02, 0x02, 0x00, 0x80}));
    EXPECT_EQ(Long(255), (Bytes{0x02, 0x02, 0x00, 0xFF}));
    EXPECT_EQ(Long(-129), (Bytes{0x02, 0x02, 0xFF, 0x7F}));
    EXPECT_EQ(Long(-32768), (Bytes{0x02, 0x02, 0x80, 0x00}));
    EXPECT_EQ(Long(32767), (Bytes{0x02, 0x02, 0x7F, 0xFF}));
    EXPECT_EQ(Long(32768), (Bytes{0x02, 0x04, 0x00, 0x00, 0x80, 0x00}));
    EXPECT_EQ(Long(40000), (Bytes{0x02, 0x04, 0x00, 0x00, 0x9C, 0x40}));
    EXPECT_EQ(Long(-32769), (Bytes{0x02, 0x04, 0xFF, 0xFF, 0x7F, 0xFF}));
    EXPECT_EQ(Long(8388607), (Bytes{0x02, 0x04, 0x00, 0x7F, 0xFF, 0xFF}));
    EXPECT_EQ(Long(2147483647), (Bytes{0x02, 0x04, 0x7F, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(Long(-2147483647L - 1), (Bytes{0x02, 0x04, 0x80, 0x00, 0x00, 0x00}));
}

TEST(BerEncoding, IntegersDecodeSignExtendedToThirtyTwoBits)
{
    EXPECT_EQ(Raw({0x02, 0x02, 0xFF, 0x38}).GetLong(), -200);
    EXPECT_EQ(Raw({0x02, 0x01, 0x80}).GetLong(), -128);
    EXPECT_EQ(Raw({0x02, 0x03, 0xFE, 0x79, 0x60}).GetLong(), -100000);
    EXPECT_EQ(Raw({0x02, 0x03, 0x01, 0x86, 0xA0}).GetLong(), 100000);
    EXPECT_EQ(Raw({0x02, 0x04, 0xFF, 0xFF, 0xFF, 0xFF}).GetLong(), -1);
    EXPECT_EQ(Raw({0x02, 0x05, 0x00, 0x80, 0x00, 0x00, 0x00}).GetLong(), -2147483647L - 1);
    EXPECT_EQ(Raw({0x02, 0x05, 0x01, 0x00, 0x00, 0x00, 0x05}).GetLong(), 5);
    EXPECT_EQ(Raw({0x41, 0x01, 0x05}).GetLong(), 0) << "GetLong reads INTEGER only";
    for (long v : {0L, 1L, -1L, 127L, 128L, -129L, 40000L, -100000L, 2147483647L, -2147483647L - 1}) {
        CSnmpBer b;
        b.SetLong(v);
        EXPECT_EQ(b.GetLong(), v);
    }
}

TEST(BerEncoding, UnsignedValuesNeverReadAsNegative)
{
    EXPECT_EQ(ULong(200, 0x41), (Bytes{0x41, 0x02, 0x00, 0xC8}));
    EXPECT_EQ(ULong(0, 0x42), (Bytes{0x42, 0x01, 0x00}));
    EXPECT_EQ(ULong(0x7F, 0x42), (Bytes{0x42, 0x01, 0x7F}));
    EXPECT_EQ(ULong(0x100, 0x43), (Bytes{0x43, 0x02, 0x01, 0x00}));
    EXPECT_EQ(ULong(0x8000, 0x43), (Bytes{0x43, 0x03, 0x00, 0x80, 0x00}));
    EXPECT_EQ(ULong(0x123456, 0x41), (Bytes{0x41, 0x03, 0x12, 0x34, 0x56}));
    EXPECT_EQ(ULong(0x7FFFFFFF, 0x41), (Bytes{0x41, 0x04, 0x7F, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(ULong(4294967295UL, 0x41), (Bytes{0x41, 0x05, 0x00, 0xFF, 0xFF, 0xFF, 0xFF}));

    EXPECT_EQ(Raw({0x43, 0x01, 0xC8}).GetULong(), 200u);
    EXPECT_EQ(Raw({0x41, 0x05, 0x00, 0xFF, 0xFF, 0xFF, 0xFF}).GetULong(), 4294967295UL);
    EXPECT_EQ(Raw({0x02, 0x01, 0xFF}).GetULong(), 255u);
    EXPECT_EQ(Raw({0x42, 0x06, 0x01, 0x00, 0x00, 0x00, 0x00, 0x07}).GetULong(), 7u) << "low 32 bits kept";
    // IpAddress: the first address octet is the least significant byte.
    EXPECT_EQ(Raw({0x40, 0x04, 0xC0, 0x00, 0x02, 0x01}).GetULong(), 0x010200C0UL);
    EXPECT_EQ(Raw({0x06, 0x01, 0x2B}).GetULong(), 0u);
    EXPECT_EQ(Raw({0x04, 0x01, 0x41}).GetULong(), 0u);
    for (unsigned long v : {0UL, 1UL, 127UL, 128UL, 255UL, 256UL, 65535UL, 65536UL, 16777215UL, 16777216UL,
                            2147483648UL, 4294967295UL}) {
        CSnmpBer b;
        b.SetULong(v, CSnmpBer::TagCounter);
        EXPECT_EQ(b.GetULong(), v);
    }
}

TEST(BerEncoding, IpAddressOctetsAreCopiedOut)
{
    CSnmpBer a = Raw({0x40, 0x04, 192, 0, 2, 7});
    const unsigned char* addr = a.GetAddr();
    ASSERT_NE(addr, nullptr);
    EXPECT_EQ(Bytes(addr, addr + 4), (Bytes{192, 0, 2, 7}));
    EXPECT_EQ(Raw({0x04, 0x04, 1, 2, 3, 4}).GetAddr(), nullptr);
    EXPECT_EQ(CSnmpBer().GetAddr(), nullptr);
}

TEST(BerEncoding, ObjectIdentifiersInBase128)
{
    EXPECT_EQ(Oid({1, 3, 6, 1, 2, 1, 1, 1, 0}), (Bytes{0x06, 0x08, 0x2B, 0x06, 0x01, 0x02, 0x01, 0x01, 0x01, 0x00}));
    EXPECT_EQ(Oid({1, 3, 128}), (Bytes{0x06, 0x03, 0x2B, 0x81, 0x00}));
    EXPECT_EQ(Oid({1, 3, 16384}), (Bytes{0x06, 0x04, 0x2B, 0x81, 0x80, 0x00}));
    EXPECT_EQ(Oid({1, 3, 127}), (Bytes{0x06, 0x02, 0x2B, 0x7F}));
    EXPECT_EQ(Oid({1, 3, 4294967295UL}), (Bytes{0x06, 0x06, 0x2B, 0x8F, 0xFF, 0xFF, 0xFF, 0x7F}));
    EXPECT_EQ(Oid({0, 0}), (Bytes{0x06, 0x01, 0x00}));

    std::vector<unsigned long> arcs{1, 3, 6, 1, 4, 1, 9, 9, 109, 1, 1, 1, 1, 5, 0, 128, 16383, 16384, 2097151,
                                    2097152, 268435455, 268435456, 4294967295UL};
    CSnmpBer b;
    b.SetOid(arcs.data(), int(arcs.size()));
    unsigned long out[64];
    ASSERT_EQ(b.GetOid(out, 64), int(arcs.size()));
    EXPECT_EQ(std::vector<unsigned long>(out, out + arcs.size()), arcs);
    EXPECT_EQ(Raw({0x02, 0x01, 0x00}).GetOid(out, 64), -1);
}

TEST(BerEncoding, FirstSubIdentifierJoinsTwoArcsInBase128)
{
    struct Case {
        std::vector<unsigned long> arcs;
        Bytes content;  // empty: no OID, the object stays empty
    } cases[] = {
        {{0, 39}, {0x27}},
        {{1, 0}, {0x28}},
        {{1, 39, 5}, {0x4F, 0x05}},
        {{2, 0}, {0x50}},
        {{2, 47}, {0x7F}},
        {{2, 48}, {0x81, 0x00}},
        {{2, 999, 1}, {0x88, 0x37, 0x01}},
        {{2, 4294967295UL}, {0x90, 0x80, 0x80, 0x80, 0x4F}},
        {{2, 4294967296UL}, {}},
        {{3, 1}, {}},
        {{5, 1}, {}},
        {{1, 40}, {}},
        {{0, 40, 1}, {}},
        {{1, 3, 4294967296UL}, {}},
        {{1}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.arcs));
        Bytes want;
        if (!c.content.empty()) {
            want = {0x06, (unsigned char)c.content.size()};
            want.insert(want.end(), c.content.begin(), c.content.end());
        }
        EXPECT_EQ(Oid(c.arcs), want);
        EXPECT_EQ(CSnmpBer::ValidOid(c.arcs.data(), int(c.arcs.size())), !want.empty());
        if (want.empty())
            continue;
        unsigned long out[8];
        ASSERT_EQ(Raw(want).GetOid(out, 8), int(c.arcs.size()));
        EXPECT_EQ(std::vector<unsigned long>(out, out + c.arcs.size()), c.arcs);
    }
    unsigned long out[8];
    // A first sub-identifier cut off, or beyond 2.(2^32 - 1).
    EXPECT_EQ(Raw({0x06, 0x01, 0x88}).GetOid(out, 8), -1);
    EXPECT_EQ(Raw({0x06, 0x05, 0x90, 0x80, 0x80, 0x81, 0x00}).GetOid(out, 8), -1);
}

TEST(BerEncoding, MalformedObjectIdentifiersAreRefused)
{
    unsigned long out[16];
    // Five octets whose value needs more than 32 bits.
    EXPECT_EQ(Raw({0x06, 0x06, 0x2B, 0x90, 0x80, 0x80, 0x80, 0x00}).GetOid(out, 16), -1);
    EXPECT_EQ(Raw({0x06, 0x07, 0x2B, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F}).GetOid(out, 16), -1);
    // The largest arc that fits is still read.
    EXPECT_EQ(Raw({0x06, 0x06, 0x2B, 0x8F, 0xFF, 0xFF, 0xFF, 0x7F}).GetOid(out, 16), 3);
    EXPECT_EQ(out[2], 4294967295UL);
    // The content ends inside an arc.
    EXPECT_EQ(Raw({0x06, 0x03, 0x2B, 0x06, 0x81}).GetOid(out, 16), -1);
    // More arcs than the caller has room for; exactly as many is fine.
    CSnmpBer nine = Raw({0x06, 0x08, 0x2B, 0x06, 0x01, 0x02, 0x01, 0x01, 0x01, 0x00});
    EXPECT_EQ(nine.GetOid(out, 8), -1);
    EXPECT_EQ(nine.GetOid(out, 9), 9);
    // A length past the buffer.
    EXPECT_EQ(Raw({0x06, 0x09, 0x2B, 0x06, 0x01}).GetOid(out, 16), -1);
}

TEST(BerEncoding, LengthOctetsShortAndLongForms)
{
    auto header = [](int n) {
        std::string text(size_t(n), 'x');
        CSnmpBer b;
        b.SetString(text.c_str());
        Bytes all = Of(b);
        EXPECT_EQ(b.GetDataLen(), n);
        EXPECT_EQ(CSnmpBer::GetTotalLen(b.GetAllData()), b.GetBufferSize());
        return Bytes(all.begin(), all.end() - n);
    };
    EXPECT_EQ(header(0), (Bytes{0x04, 0x00}));
    EXPECT_EQ(header(127), (Bytes{0x04, 0x7F}));
    EXPECT_EQ(header(128), (Bytes{0x04, 0x81, 0x80}));
    EXPECT_EQ(header(200), (Bytes{0x04, 0x81, 0xC8}));
    EXPECT_EQ(header(255), (Bytes{0x04, 0x81, 0xFF}));
    EXPECT_EQ(header(256), (Bytes{0x04, 0x82, 0x01, 0x00}));
    EXPECT_EQ(header(300), (Bytes{0x04, 0x82, 0x01, 0x2C}));
    EXPECT_EQ(header(65535), (Bytes{0x04, 0x82, 0xFF, 0xFF}));

    Bytes lenOctets{0x82, 0x01, 0x2C};
    EXPECT_EQ(CSnmpBer::GetDataLen(lenOctets.data()), 300);
    Bytes shortLen{0x05};
    EXPECT_EQ(CSnmpBer::GetDataLen(shortLen.data()), 5);
    EXPECT_EQ(CSnmpBer::GetTotalLen(nullptr), 0);
}

TEST(BerEncoding, ContainersAndTheEmptyObject)
{
    CSnmpBer seq, empty;
    seq.SetTag(CSnmpBer::TagSequence);
    EXPECT_EQ(Of(seq), (Bytes{0x30, 0x00}));
    seq.AddBer(empty);
    EXPECT_EQ(Of(seq), (Bytes{0x30, 0x02, 0x05, 0x00}));

    EXPECT_EQ(empty.GetTagType(), 5);
    EXPECT_EQ(empty.GetDataLen(), 0);
    EXPECT_EQ(empty.GetData(), nullptr);
    EXPECT_EQ(empty.DataSize(), 2);
    unsigned char out[2] = {0xAA, 0xAA};
    EXPECT_EQ(empty.DataTo(out), 2);
    EXPECT_EQ(Bytes(out, out + 2), (Bytes{0x05, 0x00}));
    const int path[] = {0, -1};
    EXPECT_EQ(empty.GetSequence(path), nullptr);

    // A container grows past the short length form as members arrive.
    CSnmpBer big;
    big.SetTag(CSnmpBer::TagSequence);
    for (int i = 0; i < 50; ++i) {
        CSnmpBer m;
        m.SetLong(1000 + i);
        big.AddBer(m);
    }
    EXPECT_EQ(Bytes(big.GetAllData(), big.GetAllData() + 3), (Bytes{0x30, 0x81, 0xC8}));
    const int p49[] = {49, -1};
    CSnmpBer last(big.GetSequence(p49));
    EXPECT_EQ(last.GetLong(), 1049);

    // Copies and assignment copy the element.
    CSnmpBer copy(big);
    EXPECT_EQ(Of(copy), Of(big));
    CSnmpBer assigned;
    assigned = big.GetAllData();
    EXPECT_EQ(Of(assigned), Of(big));
    assigned = static_cast<const unsigned char*>(nullptr);
    EXPECT_EQ(assigned.GetAllData(), nullptr);
    CSnmpBer fromEmpty(empty);
    EXPECT_EQ(fromEmpty.GetAllData(), nullptr);

    // A container may take a copy of itself as its next member.
    CSnmpBer self;
    self.SetTag(CSnmpBer::TagSequence);
    CSnmpBer one;
    one.SetLong(1);
    self.AddBer(one);
    self.AddBer(self);
    EXPECT_EQ(Of(self), (Bytes{0x30, 0x08, 0x02, 0x01, 0x01, 0x30, 0x03, 0x02, 0x01, 0x01}));
}

TEST(BerMessage, RequestMatchesTheHandEncodedDatagram)
{
    CSnmpBer msg = Message(CSnmpBer::TagGetRequest, "public", 1, {1, 3, 6, 1, 2, 1, 1, 1, 0});
    Bytes expect{0x30, 0x26, 0x02, 0x01, 0x00, 0x04, 0x06, 'p',  'u',  'b',  'l',  'i',  'c',  0xA0,
                 0x19, 0x02, 0x01, 0x01, 0x02, 0x01, 0x00, 0x02, 0x01, 0x00, 0x30, 0x0E, 0x30, 0x0C,
                 0x06, 0x08, 0x2B, 0x06, 0x01, 0x02, 0x01, 0x01, 0x01, 0x00, 0x05, 0x00};
    EXPECT_EQ(Of(msg), expect);

    auto get = [&](std::initializer_list<int> path) {
        std::vector<int> p(path);
        p.push_back(-1);
        return msg.GetSequence(p.data());
    };
    EXPECT_EQ(CSnmpBer(get({0})).GetLong(), 0);
    EXPECT_EQ(CSnmpBer(get({1})).GetDataLen(), 6);
    EXPECT_EQ(CSnmpBer(get({2})).GetTagType(), 0xA0);
    EXPECT_EQ(CSnmpBer(get({2, 0})).GetLong(), 1);
    EXPECT_EQ(CSnmpBer(get({2, 1})).GetLong(), 0);
    EXPECT_EQ(CSnmpBer(get({2, 2})).GetLong(), 0);
    CSnmpBer list(get({2, 3}));
    const int name[] = {0, 0, -1};
    const int value[] = {0, 1, -1};
    const int past[] = {1, 0, -1};
    CSnmpBer oid(list.GetSequence(name));
    unsigned long arcs[16];
    EXPECT_EQ(oid.GetOid(arcs, 16), 9);
    EXPECT_EQ(CSnmpBer(list.GetSequence(value)).GetTagType(), 5);
    EXPECT_EQ(list.GetSequence(past), nullptr);

    EXPECT_EQ(get({3}), nullptr) << "past the last member";
    EXPECT_EQ(get({0, 0}), nullptr) << "INTEGER is no container";
    EXPECT_EQ(get({2, 4}), nullptr);
    const int none[] = {-1};
    EXPECT_EQ(msg.GetSequence(none), msg.GetAllData());
    EXPECT_EQ(CSnmpBer::GetSeqData(msg.GetAllData(), none), msg.GetAllData());
    const int third[] = {2, -1};
    EXPECT_EQ(CSnmpBer::GetSeqData(msg.GetAllData(), third), get({2}));
}

TEST(BerMessage, MembersAreCountedNotOverrun)
{
    CSnmpBer seq;
    seq.SetTag(CSnmpBer::TagSequence);
    for (long v : {10L, 20L, 30L}) {
        CSnmpBer m;
        m.SetLong(v);
        seq.AddBer(m);
    }
    const int p3[] = {3, -1};
    const int p2[] = {2, -1};
    EXPECT_EQ(seq.GetSequence(p3), nullptr);
    ASSERT_NE(seq.GetSequence(p2), nullptr);
    EXPECT_EQ(CSnmpBer(seq.GetSequence(p2)).GetLong(), 30);
}

TEST(BerReceived, CutHeadersAndLengthsPastTheBuffer)
{
    const int first[] = {0, -1};
    struct Case {
        const char* name;
        Bytes bytes;
    } cases[] = {
        {"tag only", {0x30}},
        {"long form cut", {0x30, 0x82, 0x01}},
        {"length past the buffer", {0x30, 0x10, 0x02, 0x01, 0x00}},
        {"member past the container", {0x30, 0x03, 0x02, 0x05, 0x00}},
        {"member header cut", {0x30, 0x01, 0x02}},
        {"member length past the container", {0x30, 0x04, 0x02, 0x81, 0xFF, 0x00}},
        {"length wider than int", {0x30, 0x85, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}},
        {"four length octets past", {0x30, 0x84, 0x7F, 0xFF, 0xFF, 0xFF, 0x00}},
    };
    for (const Case& c : cases) {
        GuardedBuffer g(c.bytes);
        EXPECT_EQ(CSnmpBer::GetSeqData(g.data(), g.size(), first), nullptr) << c.name;
        CSnmpBer b(g.data(), g.size());
        EXPECT_EQ(b.GetSequence(first), nullptr) << c.name;
    }

    // Typed getters give their neutral values on an element that does not fit.
    unsigned long arcs[8];
    EXPECT_EQ(Raw({0x02, 0x04, 0x01}).GetLong(), 0);
    EXPECT_EQ(Raw({0x41, 0x04, 0x01}).GetULong(), 0u);
    EXPECT_EQ(Raw({0x06, 0x04, 0x2B}).GetOid(arcs, 8), -1);
    EXPECT_EQ(Raw({0x02, 0x84, 0x7F}).GetLong(), 0);
    EXPECT_EQ(Raw({0x04, 0x05, 'a'}).GetDataLen(), 0);
    EXPECT_EQ(Raw({0x04, 0x05, 'a'}).GetData(), nullptr);

    GuardedBuffer ok({0x30, 0x03, 0x02, 0x01, 0x07});
    EXPECT_EQ(CSnmpBer::CheckedTotalLen(ok.data(), ok.size()), 5);
    EXPECT_EQ(CSnmpBer::CheckedTotalLen(ok.data(), 4), -1);
    EXPECT_EQ(CSnmpBer::CheckedTotalLen(ok.data(), 1), -1);
    EXPECT_EQ(CSnmpBer::CheckedTotalLen(nullptr, 10), -1);
    const unsigned char* member = CSnmpBer::GetSeqData(ok.data(), ok.size(), first);
    ASSERT_NE(member, nullptr);
    EXPECT_EQ(member, ok.data() + 2);
}

TEST(BerReceived, TotalsBeyondAnIntReadAsNoElement)
{
    GuardedBuffer largest({0x04, 0x84, 0x7F, 0xFF, 0xFF, 0xF9});
    EXPECT_EQ(CSnmpBer::GetTotalLen(largest.data()), INT_MAX);
    for (Bytes huge : {Bytes{0x04, 0x84, 0x7F, 0xFF, 0xFF, 0xFA}, Bytes{0x04, 0x84, 0x7F, 0xFF, 0xFF, 0xFF},
                       Bytes{0x30, 0x84, 0xFF, 0xFF, 0xFF, 0xFF}}) {
        GuardedBuffer g(huge);
        EXPECT_EQ(CSnmpBer::GetTotalLen(g.data()), 0);
        EXPECT_EQ(CSnmpBer(g.data()).GetAllData(), nullptr);
    }
}

TEST(BerReceived, ValueFamilySlotsReadOneElementWithinTheBlock)
{
    CSnmpBer b;
    b.SetLong(-5);
    Bytes block(size_t(b.DataSize()));
    b.DataTo(block.data());
    const char* sig = "r";
    CSnmpBer back;
    GuardedBuffer g(block);
    EXPECT_EQ(back.DataFrom(g.data(), g.size(), sig), int(block.size()));
    EXPECT_EQ(back.GetLong(), -5);
    for (int cut = 0; cut < int(block.size()); ++cut) {
        GuardedBuffer c(Bytes(block.begin(), block.begin() + cut));
        CSnmpBer x;
        EXPECT_EQ(x.DataFrom(c.data(), c.size(), sig), -1) << cut;
    }
    std::unique_ptr<CSnmpData> dump(b.Dump());
    EXPECT_EQ(dynamic_cast<CSnmpBer*>(dump.get())->GetLong(), -5);
}

namespace {

// The element with this tag and content, encoded independently of the codec.
Bytes Tlv(unsigned char tag, const Bytes& content)
{
    Bytes out{tag};
    const size_t n = content.size();
    if (n < 0x80) {
        out.push_back((unsigned char)n);
    } else {
        Bytes len;
        for (size_t v = n; v; v >>= 8)
            len.insert(len.begin(), (unsigned char)v);
        out.push_back((unsigned char)(0x80 | len.size()));
        out.insert(out.end(), len.begin(), len.end());
    }
    out.insert(out.end(), content.begin(), content.end());
    return out;
}

// Member i of a growing list: sizes vary so that the list crosses every
// storage and length form at different points.
CSnmpBer Member(int i)
{
    CSnmpBer m;
    switch (i % 3) {
    case 0:
        m.SetLong(i);
        break;
    case 1: {
        std::vector<unsigned long> arcs{1, 3, 6, 1, 4, 1, 9999, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
        arcs.resize(size_t(2 + i % 23));
        m.SetOid(arcs.data(), int(arcs.size()));
        break;
    }
    default:
        m.SetString(std::string(size_t(i % 300), char('a' + i % 26)).c_str());
    }
    return m;
}

}  // namespace

TEST(BerStorage, ContainersGrowThroughEveryLengthFormOctetForOctet)
{
    // Started by SetTag, from raw octets, from a leaf and from nothing: the
    // contents may start anywhere in the storage.
    CSnmpBer seq, raw(Bytes{0x30, 0x03, 0x02, 0x01, 0x07}.data(), 5), leaf, none;
    seq.SetTag(CSnmpBer::TagSequence);
    leaf.SetLong(-1);
    Bytes seqContent, rawContent{0x02, 0x01, 0x07}, leafContent{0xFF}, noneContent;
    for (int i = 0; seqContent.size() < 70000; ++i) {
        const CSnmpBer m = Member(i);
        const Bytes mb = Of(m);
        for (auto [b, c] : {std::pair{&seq, &seqContent}, {&raw, &rawContent}, {&leaf, &leafContent},
                            {&none, &noneContent}}) {
            b->AddBer(m);
            c->insert(c->end(), mb.begin(), mb.end());
        }
        if (i < 40 || i % 97 == 0 || seqContent.size() >= 70000) {
            ASSERT_EQ(Of(seq), Tlv(0x30, seqContent)) << i;
            ASSERT_EQ(Of(raw), Tlv(0x30, rawContent)) << i;
            ASSERT_EQ(Of(leaf), Tlv(0x02, leafContent)) << i;
            ASSERT_EQ(Of(none), Tlv(0x05, noneContent)) << i;
        }
    }
    EXPECT_EQ(seq.GetAllData()[1], 0x83);
}

TEST(BerStorage, NavigationFollowsTheCurrentContents)
{
    auto list = [](int first, int count) {
        CSnmpBer l;
        l.SetTag(CSnmpBer::TagSequence);
        for (int i = first; i < first + count; ++i)
            l.AddBer(Member(i));
        return l;
    };
    auto at = [](const CSnmpBer& b, int k) {
        const int path[] = {k, -1};
        const unsigned char* p = b.GetSequence(path);
        return p ? Bytes(p, p + CSnmpBer::GetTotalLen(p)) : Bytes{};
    };

    // Forwards, backwards, repeated and past the end, against a fresh copy
    // that has never been navigated.
    CSnmpBer b = list(0, 20);
    for (int k : {5, 5, 6, 19, 20, 3, 0, 12, 25, 13})
        EXPECT_EQ(at(b, k), k < 20 ? Of(Member(k)) : Bytes{}) << k;

    // Every change of contents starts navigation afresh.
    at(b, 15);
    b.AddBer(Member(20));
    EXPECT_EQ(at(b, 20), Of(Member(20)));
    b = list(100, 18);
    EXPECT_EQ(at(b, 16), Of(Member(116)));
    CSnmpBer small = list(200, 2);
    at(small, 1);
    small = std::move(b);
    EXPECT_EQ(at(small, 17), Of(Member(117)));
    EXPECT_EQ(b.GetAllData(), nullptr);
    const unsigned char* inner = small.GetSequence(std::vector<int>{4, -1}.data());
    small.Set(inner);  // a member of its own element
    EXPECT_EQ(Of(small), Of(Member(104)));
    small.Set(CSnmpBer::TagSequence, small.GetDataLen(), small.GetData());
    const Bytes m104 = Of(Member(104));
    EXPECT_EQ(Of(small), Tlv(0x30, Bytes(m104.begin() + 2, m104.end())));
    CSnmpBer moved(list(0, 2));
    EXPECT_EQ(at(moved, 1), Of(Member(1)));
}

TEST(BerStorage, ReadersOnSeveralThreadsAgree)
{
    CSnmpBer b;
    b.SetTag(CSnmpBer::TagSequence);
    std::vector<Bytes> members;
    for (int i = 0; i < 64; ++i) {
        b.AddBer(Member(i));
        members.push_back(Of(Member(i)));
    }
    std::atomic<int> wrong{0};
    auto reader = [&](int seed) {
        for (int n = 0; n < 20000; ++n) {
            const int k = (n * 7 + seed) % 64;
            const int path[] = {k, -1};
            const unsigned char* p = b.GetSequence(path);
            if (!p || Bytes(p, p + CSnmpBer::GetTotalLen(p)) != members[size_t(k)])
                ++wrong;
        }
    };
    std::thread t1(reader, 0), t2(reader, 31);
    t1.join();
    t2.join();
    EXPECT_EQ(wrong.load(), 0);
}
