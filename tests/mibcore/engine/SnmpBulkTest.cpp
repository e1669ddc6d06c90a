// Walks over v2c against the scripted peer: GetBulk requests, the rows they
// give equal the v1 walk's, and what a misbehaving agent can do to them.

#include <sys/socket.h>

#include <string>
#include <vector>

#include "mibcore/engine/SnmpWalk.h"
#include "snmpval/CSnmpString.h"
#include "tests/mibcore/engine/EngineFixture.h"

using namespace faultpeer;
using enginetest::Arcs;

namespace {

const char* const kEntry = "1.3.6.1.4.1.9999.1.1";
constexpr int kRows = 40;

// A three-column table of kRows rows, with an object behind it unless the
// table is the end of the agent's MIB.
std::shared_ptr<Mib> TableMib(bool objectBehind = true)
{
    auto mib = std::make_shared<Mib>();
    for (std::uint32_t col = 1; col <= 3; ++col)
        for (std::uint32_t r = 1; r <= kRows; ++r)
            mib->set(append(parseOid(kEntry), {col, r}), integer(long(col * 1000 + r)));
    if (objectBehind)
        mib->set(parseOid("1.3.6.1.4.1.9999.2.0"), octets("after"));
    return mib;
}

// Every row of a walk as bytes, to compare walks exactly.
std::vector<std::string> RowBytes(CSnmpBerList& rows, int n)
{
    std::vector<std::string> out;
    int i = 0;
    for (CSnmpBerList* r = &rows; r && i < n; r = r->getnext(), ++i)
        out.emplace_back(reinterpret_cast<const char*>(r->Get().GetAllData()), size_t(r->Get().GetBufferSize()));
    return out;
}

class BulkWalk : public enginetest::AgentSettings {
protected:
    void SetUp() override
    {
        AgentSettings::SetUp();
        if (!harness::InNetns())
            GTEST_SKIP() << "needs the private network namespace: run ./test.sh";
    }

    struct Result {
        int count = 0;
        int lastError = 0;
        std::vector<std::string> rows;
    };
    Result Walk(FaultAgent& peer, MIBAgent::Version version, std::vector<unsigned long> columns = {1, 2, 3})
    {
        MIBAgent* a = Use(peer);
        a->setVersion(version);
        MIBBasicItem item;
        CSnmpBerList rows;
        std::vector<unsigned long> base = Arcs(kEntry);
        int failures = 0, running = 1;
        Result r;
        r.count = SnmpDynamicList(a, &item, &rows, base.data(), int(base.size()), columns.data(),
                                  int(columns.size()), &failures, -1, 0xA1, &running, 3, &r.lastError);
        r.rows = RowBytes(rows, r.count);
        return r;
    }
    // The v1 walk of the same peer, the reference of every v2c walk.
    Result V1Walk(FaultAgent& peer, std::shared_ptr<Mib> mib)
    {
        peer.setScript(serve(mib));
        Result r = Walk(peer, MIBAgent::Version::V1);
        peer.clearRequests();
        return r;
    }
};

// A GetBulk answer of the peer's MIB, bent by a fault.
using Bend = std::function<std::vector<Send>(const Request&, std::vector<Binding>&, int bulkIndex)>;

Script BulkScript(std::shared_ptr<Mib> mib, Bend bend)
{
    auto bulks = std::make_shared<int>(0);
    Script plain = serve(mib);
    return [=](const Request& req, int index) {
        if (!req.decoded || req.pduType != 0xA5)
            return plain(req, index);
        std::vector<Binding> out = answer(*mib, req);
        std::vector<Send> special = bend(req, out, (*bulks)++);
        return special.empty() ? Reply(response(req, 0, 0, out)) : special;
    };
}

TEST_F(BulkWalk, V2cMessagesAreGetBulkWithTheReadCommunity)
{
    FaultAgent peer;
    auto mib = TableMib();
    peer.setScript(serve(mib));
    Result r = Walk(peer, MIBAgent::Version::V2c);
    EXPECT_EQ(r.count, kRows);
    EXPECT_EQ(r.lastError, 0);
    const std::vector<Request> sent = peer.requests();
    ASSERT_FALSE(sent.empty());
    for (const Request& q : sent) {
        EXPECT_EQ(q.version, 1);
        EXPECT_EQ(q.pduType, 0xA5);
        EXPECT_EQ(q.community, harness::kReadCommunity);
        EXPECT_EQ(q.errorStatus, 0);  // non-repeaters
        EXPECT_EQ(q.errorIndex, snmpengine::BulkBindings / 3);  // max-repetitions
        ASSERT_EQ(q.bindings.size(), 3u);
        for (const Binding& b : q.bindings)
            EXPECT_EQ(b.value, null());
    }
    // 16 rows per request: three requests for 40 rows.
    EXPECT_EQ(sent.size(), size_t((kRows + 15) / 16));
}

TEST_F(BulkWalk, FaultsGiveTheRowsOfTheV1Walk)
{
    struct Case {
        const char* name;
        int family;
        bool objectBehind;
        Bend bend;
        long secondMaxRepetitions;  // 0: not checked
    };
    const Case cases[] = {
        {"plain", AF_INET, true, [](const Request&, std::vector<Binding>&, int) { return std::vector<Send>{}; }, 0},
        {"table at the end of the MIB (endOfMibView)", AF_INET, false,
         [](const Request&, std::vector<Binding>&, int) { return std::vector<Send>{}; }, 0},
        {"tooBig halves max-repetitions", AF_INET, true,
         [](const Request& req, std::vector<Binding>&, int i) {
             return i == 0 ? Reply(response(req, 1, 0, req.bindings)) : std::vector<Send>{};
         },
         8},
        {"reply stops mid-table and mid-row", AF_INET, true,
         [](const Request&, std::vector<Binding>& out, int) {
             if (out.size() > 7)
                 out.resize(7);  // two rows and a part of the third
             return std::vector<Send>{};
         },
         0},
        {"reply without one whole row", AF_INET, true,
         [](const Request& req, std::vector<Binding>& out, int i) {
             if (i == 0)
                 return Reply(response(req, 0, 0, {out.begin(), out.begin() + 2}));
             return std::vector<Send>{};
         },
         8},
        {"oversize reply over IPv6", AF_INET6, true,
         [](const Request& req, std::vector<Binding>& out, int i) {
             if (i != 0)
                 return std::vector<Send>{};
             // Larger than any IPv4 datagram, as only IPv6 can carry.
             auto build = [&](size_t pad) {
                 return response(req, 0, 0, {{parseOid("1.3.6.1.4.1.9999.1.1.1.1"), octets(std::string(pad, 'x'))}});
             };
             Bytes m = build(65400);
             return Reply(build(65400 + (65515 - m.size())));
         },
         8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FaultAgent peer(c.family);
        auto mib = TableMib(c.objectBehind);
        const Result v1 = V1Walk(peer, mib);
        ASSERT_EQ(v1.count, kRows);
        peer.setScript(BulkScript(mib, c.bend));
        const Result v2 = Walk(peer, MIBAgent::Version::V2c);
        EXPECT_EQ(v2.count, v1.count);
        EXPECT_EQ(v2.rows, v1.rows);
        EXPECT_EQ(v2.lastError, 0);
        const std::vector<Request> sent = peer.requests();
        if (c.secondMaxRepetitions) {
            ASSERT_GE(sent.size(), 2u);
            EXPECT_EQ(sent[1].errorIndex, c.secondMaxRepetitions);
            EXPECT_EQ(sent[1].bindings[0].oid, sent[0].bindings[0].oid);  // the same rows asked again
        }
    }
}

TEST_F(BulkWalk, AnAgentThatRepeatsOrGoesBackEndsTheWalkWithItsRows)
{
    const std::pair<const char*, Bend> cases[] = {
        {"repeats its first row", [](const Request&, std::vector<Binding>& out, int i) {
             if (i == 1)
                 for (size_t k = 3; k < out.size(); ++k)
                     out[k] = out[k % 3];
             return std::vector<Send>{};
         }},
        {"goes backwards", [](const Request&, std::vector<Binding>& out, int i) {
             if (i == 1)
                 for (std::uint32_t col = 1; col <= 3; ++col)
                     out[col - 1] = {append(parseOid(kEntry), {col, 1}), integer(long(col * 1000 + 1))};
             return std::vector<Send>{};
         }},
    };
    for (const auto& [name, bend] : cases) {
        SCOPED_TRACE(name);
        FaultAgent peer;
        auto mib = TableMib();
        const Result v1 = V1Walk(peer, mib);
        peer.setScript(BulkScript(mib, bend));
        const Result v2 = Walk(peer, MIBAgent::Version::V2c);
        // The first reply's 16 rows, and the second's first row when it
        // still moves forward.
        ASSERT_GE(v2.count, 16);
        ASSERT_LE(v2.count, 17);
        EXPECT_EQ(v2.rows, std::vector<std::string>(v1.rows.begin(), v1.rows.begin() + v2.count));
        EXPECT_EQ(v2.lastError, snmpengine::OutOfSubtree);
        EXPECT_EQ(peer.requestCount(), 2u);
    }
}

TEST_F(BulkWalk, ExceptionsAndV2ErrorStatuses)
{
    FaultAgent peer;
    auto mib = TableMib();
    peer.setScript(serve(mib));
    MIBAgent* a = Use(peer);
    a->setVersion(MIBAgent::Version::V2c);
    MIBBasicItem item;
    // A missing instance is a value, not an error, over v2c.
    CSnmpBer b = enginetest::Bindings({"1.3.6.1.4.1.9999.1.1.1.999", "1.3.6.1.4.1.9999.1.1.1.1"});
    ASSERT_EQ(SnmpData(a, &item, b, 0xA0, nullptr), 0);
    EXPECT_EQ(enginetest::Member(b, 0, 1).GetTagType(), CSnmpBer::TagNoSuchObject);
    EXPECT_EQ(enginetest::Member(b, 0, 1).GetString(1).GetUtf8(), "noSuchObject");
    EXPECT_EQ(enginetest::Member(b, 1, 1).GetLong(), 1001);

    // Statuses 6..18 get their own codes and texts; others read as genErr.
    const std::pair<int, int> statuses[] = {{6, 106}, {17, 117}, {18, 118}, {19, 5}, {2, 2}};
    for (auto [status, code] : statuses) {
        SCOPED_TRACE(status);
        peer.setScript([status](const Request& req, int) { return Reply(response(req, status, 1, req.bindings)); });
        CSnmpBer q = enginetest::Bindings({"1.3.6.1.4.1.9999.2.0"});
        EXPECT_EQ(SnmpData(a, &item, q, 0xA3, nullptr), code);
    }
    EXPECT_STREQ(CSnmpBerList::ErrMsg(117), "notWritable-書き込みできないオブジェクトです");
    EXPECT_STREQ(CSnmpBerList::ErrMsg(106), "noAccess-アクセスできないオブジェクトです");
    EXPECT_STREQ(CSnmpBerList::ErrMsg(119), "");

    // A v1 reply does not answer a v2c request (nor the other way round).
    peer.setScript([](const Request& req, int) {
        return Reply(message(0, req.community, 0xA2, req.requestId, 0, 0, req.bindings));
    });
    CSnmpBer q = enginetest::Bindings({"1.3.6.1.4.1.9999.2.0"});
    EXPECT_EQ(SnmpData(a, &item, q, 0xA0, nullptr), snmpengine::RecvTimeout);
}

}  // namespace
