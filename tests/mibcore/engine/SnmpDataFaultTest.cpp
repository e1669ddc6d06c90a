// One exchange against the fault agent: what a well-behaved agent never
// does. Every case here is a real UDP peer on loopback.

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "snmpval/Cp932.h"
#include "tests/mibcore/engine/EngineFixture.h"

using enginetest::Bindings;
using enginetest::Member;
using enginetest::NameOf;
using enginetest::OctetsOf;
using namespace faultpeer;

namespace {

class FaultExchange : public enginetest::AgentSettings {
protected:
    void SetUp() override
    {
        AgentSettings::SetUp();
        if (!harness::InNetns())
            GTEST_SKIP() << "needs the private network namespace: run ./test.sh";
    }
};

const Oid kSysDescr = parseOid("1.3.6.1.2.1.1.1.0");

// A reply to req whose first binding carries text.
Bytes Answer(const Request& req, const std::string& text, long requestId)
{
    return message(0, req.community, 0xA2, requestId, 0, 0, {{kSysDescr, octets(text)}});
}

bool SameBytes(const CSnmpBer& a, const CSnmpBer& b)
{
    return a.DataSize() == b.DataSize() && std::equal(a.GetAllData(), a.GetAllData() + a.DataSize(), b.GetAllData());
}

}  // namespace

TEST_F(FaultExchange, RequestLayoutAndCommunities)
{
    FaultAgent peer;
    peer.setScript(echo());
    MIBAgent* a = Use(peer);
    a->setReadCommunity("読み");      // sent in the narrow code page
    a->setWriteCommunity("write-c");
    MIBBasicItem item;
    const std::vector<std::pair<unsigned char, std::string>> cases = {
        {0xA0, cp932::FromUtf8("読み")}, {0xA1, cp932::FromUtf8("読み")}, {0xA3, "write-c"}, {0xA4, ""}};
    for (auto& [pdu, community] : cases) {
        CSnmpBer b = Bindings({"1.3.6.1.2.1.1.1.0", "1.3.6.1.2.1.1.5.0"});
        const CSnmpBer sent = b;
        EXPECT_EQ(SnmpData(a, &item, b, pdu, nullptr), 0);
        EXPECT_TRUE(SameBytes(b, sent));  // echoed unchanged
        const Request req = peer.requests().back();
        ASSERT_TRUE(req.decoded);
        EXPECT_EQ(req.version, 0);
        EXPECT_EQ(req.community, community);
        EXPECT_EQ(req.pduType, pdu);
        EXPECT_GE(req.requestId, 1);
        EXPECT_LE(req.requestId, 255);
        EXPECT_EQ(req.errorStatus, 0);
        EXPECT_EQ(req.errorIndex, 0);
        ASSERT_EQ(req.bindings.size(), 2u);
        EXPECT_EQ(formatOid(req.bindings[1].oid), "1.3.6.1.2.1.1.5.0");
        EXPECT_EQ(req.bindings[1].value, null());
    }
    // Exactly one datagram per exchange.
    EXPECT_EQ(peer.requestCount(), cases.size());
}

TEST_F(FaultExchange, IPv6Peer)
{
    FaultAgent peer(AF_INET6);
    peer.setScript([](const Request& r, int) { return Reply(Answer(r, "six", r.requestId)); });
    MIBAgent* a = Use(peer);
    EXPECT_EQ(a->getNetworkLayerType(), 23);
    MIBBasicItem item;
    CSnmpBer b = Bindings({"1.3.6.1.2.1.1.1.0"});
    ASSERT_EQ(SnmpData(a, &item, b, 0xA0, nullptr), 0);
    EXPECT_EQ(OctetsOf(b, 0), "six");
}

TEST_F(FaultExchange, ErrorStatusIsTheResultAndBindingsStay)
{
    FaultAgent peer;
    const std::vector<long> statuses = {1, 2, 3, 4, 5, 17, 21, -1, 300};
    // The script runs on the peer's thread until the peer goes, after the
    // locals declared below it: it keeps copies.
    peer.setScript([statuses](const Request& r, int index) {
        return Reply(message(0, r.community, 0xA2, r.requestId, statuses[size_t(index) % statuses.size()], 1,
                             {{kSysDescr, octets("x")}}));
    });
    MIBAgent* a = Use(peer);
    MIBBasicItem item;
    for (long status : statuses) {
        SCOPED_TRACE(status);
        CSnmpBer b = Bindings({"1.3.6.1.2.1.1.1.0"});
        const CSnmpBer sent = b;
        const int result = SnmpData(a, &item, b, 0xA0, nullptr);
        // Codes outside the agent's 1..5 would pose as engine codes (21
        // would read as a time-out) or fall off the message table.
        EXPECT_EQ(result, status >= 1 && status <= 5 ? status : 5);
        EXPECT_TRUE(SameBytes(b, sent));
    }
}

TEST_F(FaultExchange, RequestIdRunsOneTo255AndWraps)
{
    FaultAgent peer;
    peer.setScript(echo());
    MIBAgent* a = Use(peer);
    MIBBasicItem item;
    for (int i = 0; i < 300; ++i) {
        CSnmpBer b = Bindings({"1.3.6.1.2.1.1.1.0"});
        ASSERT_EQ(SnmpData(a, &item, b, 0xA0, nullptr), 0) << i;
    }
    const auto reqs = peer.requests();
    ASSERT_EQ(reqs.size(), 300u);
    int wraps = 0;
    for (size_t i = 1; i < reqs.size(); ++i) {
        EXPECT_EQ(reqs[i].requestId, reqs[i - 1].requestId % 255 + 1) << i;
        if (reqs[i - 1].requestId == 255) {
            EXPECT_EQ(reqs[i].requestId, 1);
            ++wraps;
        }
    }
    EXPECT_GE(wraps, 1);
}

TEST_F(FaultExchange, RequestIdsAreUniqueAcrossThreads)
{
    FaultAgent peer;
    peer.setScript(echo());
    MIBAgent* a = Use(peer);
    std::atomic<int> failures{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&] {
            MIBBasicItem item;  // one context per thread
            for (int i = 0; i < 50; ++i) {
                CSnmpBer b = Bindings({"1.3.6.1.2.1.1.1.0"});
                if (SnmpData(a, &item, b, 0xA0, nullptr) != 0)
                    ++failures;
            }
        });
    for (auto& t : threads)
        t.join();
    EXPECT_EQ(failures.load(), 0);
    // 200 requests under one counter: any 200 consecutive ids are distinct.
    std::vector<int> seen(256, 0);
    for (const Request& r : peer.requests())
        ++seen[r.requestId];
    for (int id = 1; id <= 255; ++id)
        EXPECT_LE(seen[id], 1) << id;
}

TEST_F(FaultExchange, StrayDatagramsNeitherProlongNorEndTheWait)
{
    using Clock = std::chrono::steady_clock;
    const auto stale = [](const Request& r) { return r.requestId == 1 ? 255 : r.requestId - 1; };
    struct Case {
        const char* what;
        long timeoutUs;
        int recvErrCnt;
        Script script;
        int result;
        int maxMs;  // the wait ends by its deadline, not later
    };
    const std::vector<Case> cases = {
        // The stale reply at 0.6 s does not restart the 1 s wait: the right
        // one at 1.4 s comes too late.
        {"stale then late", 1000000, 0,
         [=](const Request& r, int) {
             std::vector<Send> out = Reply(Answer(r, "stale", stale(r)), 600);
             out.push_back(Reply(Answer(r, "fresh", r.requestId), 1400)[0]);
             return out;
         },
         21, 1300},
        // A steady stream of stale replies cannot hold the exchange.
        {"stale flood", 300000, 0,
         [=](const Request& r, int) {
             std::vector<Send> out;
             for (int i = 0; i < 40; ++i)
                 out.push_back(Reply(Answer(r, "stale", stale(r)), 50 * i)[0]);
             return out;
         },
         21, 1000},
        // Junk from another port uses up no attempt: the reply that follows
        // is taken.
        {"other port then reply", 500000, 3,
         [=](const Request& r, int) {
             std::vector<Send> out;
             for (int i = 0; i < 4; ++i)
                 out.push_back(Reply(Answer(r, "junk", r.requestId), 0, true)[0]);
             out.push_back(Reply(Answer(r, "fresh", r.requestId), 150)[0]);
             return out;
         },
         0, 1000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FaultAgent peer;
        peer.setScript(c.script);
        MIBAgent* a = Use(peer, c.timeoutUs, c.recvErrCnt);
        MIBBasicItem item;
        CSnmpBer b = Bindings({"1.3.6.1.2.1.1.1.0"});
        const auto t0 = Clock::now();
        const int rc = SnmpData(a, &item, b, 0xA0, nullptr);
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t0).count();
        EXPECT_EQ(rc, c.result);
        if (rc == 0) {
            EXPECT_EQ(OctetsOf(b, 0), "fresh");
        }
        EXPECT_LT(ms, c.maxMs);
        EXPECT_EQ(peer.requestCount(), 1u);
    }
}

TEST_F(FaultExchange, WithoutStrayTrafficEveryAttemptWaitsItsFullTimeOut)
{
    FaultAgent peer;  // silent
    MIBAgent* a = Use(peer, 200000, 2);
    MIBBasicItem item;
    CSnmpBer b = Bindings({"1.3.6.1.2.1.1.1.0"});
    const auto t0 = std::chrono::steady_clock::now();
    EXPECT_EQ(SnmpData(a, &item, b, 0xA0, nullptr), 21);
    EXPECT_GE(std::chrono::steady_clock::now() - t0, std::chrono::milliseconds(600));
    EXPECT_EQ(peer.requestCount(), 1u);
}

TEST_F(FaultExchange, OnlyAVersion0GetResponseAnswers)
{
    FaultAgent peer;
    peer.setScript([](const Request& r, int) {
        const std::vector<Binding> nulls = r.bindings;  // the request's own NULLs
        const std::vector<Binding> wrong = {{kSysDescr, octets("wrong")}};
        std::vector<Send> out;
        for (std::uint8_t pdu : {0xA0, 0xA1, 0xA3, 0xA4})
            out.push_back(Reply(message(0, r.community, pdu, r.requestId, 0, 0, pdu == 0xA0 ? nulls : wrong))[0]);
        out.push_back(Reply(message(1, r.community, 0xA2, r.requestId, 0, 0, wrong))[0]);   // SNMPv2c
        out.push_back(Reply(message(3, r.community, 0xA2, r.requestId, 2, 1, wrong))[0]);   // not v1 either
        out.push_back(Reply(Answer(r, "fresh", r.requestId), 100)[0]);
        return out;
    });
    MIBAgent* a = Use(peer, 500000, 0);
    MIBBasicItem item;
    CSnmpBer b = Bindings({"1.3.6.1.2.1.1.1.0"});
    ASSERT_EQ(SnmpData(a, &item, b, 0xA0, nullptr), 0);
    EXPECT_EQ(OctetsOf(b, 0), "fresh");
}

TEST_F(FaultExchange, StaleRepliesAloneTimeOut)
{
    FaultAgent peer;
    peer.setScript([](const Request& r, int) {
        std::vector<Send> out;
        for (int i = 0; i < 3; ++i)
            out.push_back(Reply(Answer(r, "old", r.requestId % 255 + 1), 50 * i)[0]);
        return out;
    });
    MIBAgent* a = Use(peer, 200000, 1);
    MIBBasicItem item;
    CSnmpBer b = Bindings({"1.3.6.1.2.1.1.1.0"});
    EXPECT_EQ(SnmpData(a, &item, b, 0xA0, nullptr), 21);
    EXPECT_EQ(peer.requestCount(), 1u);  // never sent again
}

TEST_F(FaultExchange, LateReplyIsTakenByALaterAttempt)
{
    FaultAgent peer;
    peer.setScript([](const Request& r, int) { return Reply(Answer(r, "late", r.requestId), 450); });
    MIBAgent* a = Use(peer, 300000, 1);
    MIBBasicItem item;
    CSnmpBer b = Bindings({"1.3.6.1.2.1.1.1.0"});
    ASSERT_EQ(SnmpData(a, &item, b, 0xA0, nullptr), 0);
    EXPECT_EQ(OctetsOf(b, 0), "late");
    EXPECT_EQ(peer.requestCount(), 1u);

    // With no attempt to spare the same reply is a time-out, and it must not
    // be mistaken for the answer of the next request.
    a->setRecvErrCnt(0);
    EXPECT_EQ(SnmpData(a, &item, b, 0xA0, nullptr), 21);
    peer.setScript([](const Request& r, int) { return Reply(Answer(r, "prompt", r.requestId)); });
    std::this_thread::sleep_for(std::chrono::milliseconds(300));  // the late one lands meanwhile
    CSnmpBer c = Bindings({"1.3.6.1.2.1.1.1.0"});
    ASSERT_EQ(SnmpData(a, &item, c, 0xA0, nullptr), 0);
    EXPECT_EQ(OctetsOf(c, 0), "prompt");
}

TEST_F(FaultExchange, RepliesFromAnotherPortAreIgnored)
{
    FaultAgent peer;
    peer.setScript([](const Request& r, int) {
        std::vector<Send> out = Reply(Answer(r, "wrong-port", r.requestId), 0, true);
        out.push_back(Reply(Answer(r, "right-port", r.requestId), 100)[0]);
        return out;
    });
    MIBAgent* a = Use(peer, 300000, 1);
    MIBBasicItem item;
    CSnmpBer b = Bindings({"1.3.6.1.2.1.1.1.0"});
    ASSERT_EQ(SnmpData(a, &item, b, 0xA0, nullptr), 0);
    EXPECT_EQ(OctetsOf(b, 0), "right-port");

    // The wrong port uses up the attempt: alone it ends in a time-out.
    peer.setScript([](const Request& r, int) { return Reply(Answer(r, "wrong-port", r.requestId), 0, true); });
    a->setRecvErrCnt(0);
    CSnmpBer c = Bindings({"1.3.6.1.2.1.1.1.0"});
    EXPECT_EQ(SnmpData(a, &item, c, 0xA0, nullptr), 21);
    EXPECT_EQ(NameOf(c, 0), "1.3.6.1.2.1.1.1.0");
    EXPECT_EQ(Member(c, 0, 1).GetTagType(), CSnmpBer::TagNull);
}

TEST_F(FaultExchange, MalformedRepliesAreDiscarded)
{
    FaultAgent peer;
    peer.setScript([](const Request& r, int) {
        const Bytes good = Answer(r, "good", r.requestId);
        const std::uint8_t id = static_cast<std::uint8_t>(r.requestId);
        std::vector<Bytes> bad = {
            {0x30},                                             // cut header
            {0x30, 0x84, 0x7F, 0xFF, 0xFF, 0xFF, 0x02, 0x01},   // length far past the datagram
            {0x30, 0x83, 0x01, 0x00},                           // long form, nothing behind
            {0x30, 0x80, 0x02, 0x01, 0x00},                     // indefinite length
            Bytes(good.begin(), good.begin() + good.size() / 2),  // cut in half
            // PDU claims more than the message holds
            {0x30, 0x0B, 0x02, 0x01, 0x00, 0x04, 0x00, 0xA2, 0x7F, 0x02, 0x01, id, 0x02},
            // the right id but no bindings at all
            {0x30, 0x10, 0x02, 0x01, 0x00, 0x04, 0x00, 0xA2, 0x09, 0x02, 0x01, id, 0x02, 0x01, 0x00, 0x02, 0x01,
             0x00},
            // the right id, bindings that are not a SEQUENCE
            {0x30, 0x12, 0x02, 0x01, 0x00, 0x04, 0x00, 0xA2, 0x0B, 0x02, 0x01, id, 0x02, 0x01, 0x00, 0x02, 0x01,
             0x00, 0x04, 0x00},
            // request id as an OCTET STRING
            {0x30, 0x12, 0x02, 0x01, 0x00, 0x04, 0x00, 0xA2, 0x0B, 0x04, 0x01, id, 0x02, 0x01, 0x00, 0x02, 0x01,
             0x00, 0x30, 0x00},
            // not even BER
            Bytes(64, 0xFF),
            Bytes(9000, 0x30),  // longer than the receive buffer
        };
        std::vector<Send> out;
        for (Bytes& b : bad)
            out.push_back(Reply(std::move(b))[0]);
        out.push_back(Reply(good, 150)[0]);
        return out;
    });
    MIBAgent* a = Use(peer, 500000, 0);
    MIBBasicItem item;
    CSnmpBer b = Bindings({"1.3.6.1.2.1.1.1.0"});
    ASSERT_EQ(SnmpData(a, &item, b, 0xA0, nullptr), 0);
    EXPECT_EQ(OctetsOf(b, 0), "good");
}

TEST_F(FaultExchange, EmptyDatagramUsesUpTheAttempt)
{
    FaultAgent peer;
    peer.setScript([](const Request& r, int) {
        std::vector<Send> out = Reply(Bytes{});
        out.push_back(Reply(Answer(r, "after", r.requestId), 100)[0]);
        return out;
    });
    MIBAgent* a = Use(peer, 500000, 0);
    MIBBasicItem item;
    CSnmpBer b = Bindings({"1.3.6.1.2.1.1.1.0"});
    EXPECT_EQ(SnmpData(a, &item, b, 0xA0, nullptr), 21);
    a->setRecvErrCnt(1);
    CSnmpBer c = Bindings({"1.3.6.1.2.1.1.1.0"});
    EXPECT_EQ(SnmpData(a, &item, c, 0xA0, nullptr), 0);
    EXPECT_EQ(OctetsOf(c, 0), "after");
}

TEST_F(FaultExchange, StopFlagEndsTheWait)
{
    FaultAgent peer;  // silent
    MIBAgent* a = Use(peer, 5000000, 3);
    MIBBasicItem item;
    item.setRepeat(1);
    std::thread stopper([&] {
        peer.waitForRequests(1, 5000);
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        item.setRepeat(0);
    });
    CSnmpBer b = Bindings({"1.3.6.1.2.1.1.1.0"});
    const CSnmpBer sent = b;
    EXPECT_EQ(SnmpData(a, &item, b, 0xA0, item.getRepeatFlag()), 0);
    stopper.join();
    EXPECT_TRUE(SameBytes(b, sent));
    EXPECT_EQ(peer.requestCount(), 1u);
}

TEST_F(FaultExchange, AbsurdTimeoutsAndRetryCounts)
{
    FaultAgent peer;  // silent
    MIBAgent* a = Use(peer, 100000, -5);  // negative: one wait
    a->setTvSec(-3);
    a->setTvUSec(-1);  // negative time-out: no wait at all
    MIBBasicItem item;
    CSnmpBer b = Bindings({"1.3.6.1.2.1.1.1.0"});
    EXPECT_EQ(SnmpData(a, &item, b, 0xA0, nullptr), 21);
    peer.setScript(echo());
    a->setTvSec(2);
    a->setTvUSec(0);
    a->setRecvErrCnt(2147483647);  // the +1 must not overflow
    EXPECT_EQ(SnmpData(a, &item, b, 0xA0, nullptr), 0);
}
