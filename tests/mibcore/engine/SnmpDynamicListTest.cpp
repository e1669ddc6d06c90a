// The table walk against the fault agent's small MIB: rows, the end of the
// subtree, the failure budget, stops, and arguments it cannot use.

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "tests/mibcore/engine/EngineFixture.h"

using enginetest::Arcs;
using enginetest::Member;
using enginetest::NameOf;
using namespace faultpeer;

namespace {

const char* kIfEntry = "1.3.6.1.2.1.2.2.1";

class Walk : public enginetest::AgentSettings {
protected:
    void SetUp() override
    {
        AgentSettings::SetUp();
        if (!harness::InNetns())
            GTEST_SKIP() << "needs the private network namespace: run ./test.sh";
        mib = std::make_shared<Mib>();
    }

    // ifTable with n rows: ifDescr (2) and ifInOctets (10), plus objects
    // after the table so the walk has somewhere to leave to.
    void Interfaces(int n)
    {
        for (int i = 1; i <= n; ++i) {
            mib->set(append(parseOid(kIfEntry), {2, std::uint32_t(i)}), octets("eth" + std::to_string(i)));
            mib->set(append(parseOid(kIfEntry), {10, std::uint32_t(i)}), counter(1000u * i));
        }
        mib->set(parseOid("1.3.6.1.2.1.4.1.0"), integer(2));
    }

    int RunWalk(FaultAgent& peer, const std::string& base, std::vector<unsigned long> columns, int position = -1,
                unsigned char pdu = 0xA1, int budget = 3, int rowLimit = 0)
    {
        MIBAgent* a = Use(peer, 200000, 0);
        MIBBasicItem item;
        baseArcs = Arcs(base);
        failures = 0;
        lastError = 0;
        int running = 1;
        return SnmpDynamicList(a, &item, &rows, baseArcs.data(), static_cast<int>(baseArcs.size()), columns.data(),
                               static_cast<int>(columns.size()), &failures, position, pdu, &running, budget,
                               &lastError, rowLimit);
    }

    std::shared_ptr<Mib> mib;
    CSnmpBerList rows;
    std::vector<unsigned long> baseArcs;
    int failures = 0;
    int lastError = 0;
};

}  // namespace

TEST_F(Walk, OneRowPerInstanceInColumnOrder)
{
    FaultAgent peer;
    peer.setScript(serve(mib));
    Interfaces(3);
    ASSERT_EQ(RunWalk(peer, kIfEntry, {2, 10}), 3);
    EXPECT_EQ(lastError, 0);
    EXPECT_EQ(failures, 0);
    ASSERT_EQ(rows.getCount(), 3);
    for (int r = 0; r < 3; ++r) {
        const CSnmpBer& b = rows.Get(r)->Get();
        EXPECT_EQ(NameOf(b, 0), std::string(kIfEntry) + ".2." + std::to_string(r + 1));
        EXPECT_EQ(NameOf(b, 1), std::string(kIfEntry) + ".10." + std::to_string(r + 1));
        EXPECT_EQ(Member(b, 1, 1).GetULong(), 1000u * (r + 1));
    }
    // Three rows and the fourth reply that names the next column.
    const auto reqs = peer.requests();
    ASSERT_EQ(reqs.size(), 4u);
    // Each request re-sends the previous reply's bindings, values included.
    EXPECT_EQ(formatOid(reqs[1].bindings[1].oid), std::string(kIfEntry) + ".10.1");
    EXPECT_EQ(reqs[1].bindings[1].value, counter(1000));
    EXPECT_EQ(reqs[0].bindings[0].value, null());
}

TEST_F(Walk, EmptyTableGivesZeroAnd22)
{
    FaultAgent peer;
    peer.setScript(serve(mib));
    Interfaces(0);
    EXPECT_EQ(RunWalk(peer, kIfEntry, {2, 10}), 0);
    EXPECT_EQ(lastError, 22);
    EXPECT_EQ(rows.Get().GetAllData(), nullptr);  // the head stays empty
}

TEST_F(Walk, UnreachableAgentMakesBudgetPlusOneExchanges)
{
    FaultAgent peer;  // silent
    EXPECT_EQ(RunWalk(peer, kIfEntry, {2, 10}), 0);
    EXPECT_EQ(lastError, 21);
    EXPECT_EQ(failures, 4);
    EXPECT_EQ(peer.requestCount(), 4u);
    // The same request each time, under a new request id.
    const auto reqs = peer.requests();
    for (size_t i = 1; i < reqs.size(); ++i) {
        EXPECT_EQ(reqs[i].bindings.size(), 2u);
        EXPECT_EQ(formatOid(reqs[i].bindings[0].oid), std::string(kIfEntry) + ".2");
        EXPECT_NE(reqs[i].requestId, reqs[i - 1].requestId);
    }
}

TEST_F(Walk, FailuresInTheMiddleAreRetriedAndKeepRows)
{
    FaultAgent peer;
    Interfaces(3);
    auto answer = serve(mib);
    // Requests 1 and 2 (the second row) go unanswered, then all is well.
    // Scripts keep copies: they run on the peer's thread until the peer
    // goes, after the locals declared below it.
    peer.setScript([answer](const Request& r, int index) {
        return index == 1 || index == 2 ? std::vector<Send>{} : answer(r, index);
    });
    EXPECT_EQ(RunWalk(peer, kIfEntry, {2, 10}), 3);
    EXPECT_EQ(failures, 0);
    EXPECT_EQ(lastError, 21);  // the last failure stays reported
    EXPECT_EQ(peer.requestCount(), 6u);
}

TEST_F(Walk, BudgetSpentMidTableKeepsTheRows)
{
    FaultAgent peer;
    Interfaces(5);
    auto answer = serve(mib);
    peer.setScript([answer](const Request& r, int index) { return index < 2 ? answer(r, index) : std::vector<Send>{}; });
    EXPECT_EQ(RunWalk(peer, kIfEntry, {2}, -1, 0xA1, 1), 2);
    EXPECT_EQ(lastError, 21);
    EXPECT_EQ(rows.getCount(), 2);
}

TEST_F(Walk, EndOfTheAgentsViewIsAFailureLikeAnyOther)
{
    FaultAgent peer;
    // Only the table, nothing after it: v1 agents answer noSuchName.
    for (int i = 1; i <= 2; ++i)
        mib->set(append(parseOid(kIfEntry), {2, std::uint32_t(i)}), octets("x"));
    peer.setScript(serve(mib));
    EXPECT_EQ(RunWalk(peer, kIfEntry, {2}), 2);
    EXPECT_EQ(lastError, 2);
    EXPECT_EQ(peer.requestCount(), 2u + 4u);
}

TEST_F(Walk, FirstReplyOutsideTheSubtree)
{
    FaultAgent peer;
    peer.setScript([](const Request& r, int) {
        return Reply(response(r, 0, 0, {{parseOid("1.3.6.1.2.1.2.2.1.3.1"), integer(6)}}));
    });
    EXPECT_EQ(RunWalk(peer, kIfEntry, {2}), 0);
    EXPECT_EQ(lastError, 22);
    // Leaving later is the normal end: no error.
    Interfaces(2);
    peer.setScript(serve(mib));
    rows = CSnmpBerList();
    EXPECT_EQ(RunWalk(peer, kIfEntry, {2}), 2);
    EXPECT_EQ(lastError, 0);
}

TEST_F(Walk, ColumnPlacedInsideTheBaseStaysInItsControlRow)
{
    // etherHistoryEntry.column.control.bucket with the column at arc 10.
    FaultAgent peer;
    for (std::uint32_t control : {3u, 4u})
        for (std::uint32_t bucket = 1; bucket <= (control == 3 ? 4u : 2u); ++bucket)
            for (std::uint32_t column : {5u, 6u})
                mib->set(parseOid("1.3.6.1.2.1.16.2.2.1." + std::to_string(column) + "." + std::to_string(control) +
                                  "." + std::to_string(bucket)),
                         counter(control * 100 + bucket));
    peer.setScript(serve(mib));
    ASSERT_EQ(RunWalk(peer, "1.3.6.1.2.1.16.2.2.1.0.3", {5, 6}, 10), 4);
    EXPECT_EQ(lastError, 0);
    for (int r = 0; r < 4; ++r) {
        EXPECT_EQ(NameOf(rows.Get(r)->Get(), 1), "1.3.6.1.2.1.16.2.2.1.6.3." + std::to_string(r + 1));
        EXPECT_EQ(Member(rows.Get(r)->Get(), 0, 1).GetULong(), 301u + r);
    }
    const auto reqs = peer.requests();
    EXPECT_EQ(formatOid(reqs[0].bindings[0].oid), "1.3.6.1.2.1.16.2.2.1.5.3");
}

TEST_F(Walk, AnAgentThatDoesNotMoveForwardEndsTheWalk)
{
    FaultAgent peer;
    // Always the same instance, inside the subtree: without a check the
    // walk would store rows until memory runs out.
    peer.setScript([](const Request& r, int) {
        return Reply(response(r, 0, 0, {{parseOid("1.3.6.1.2.1.2.2.1.2.7"), octets("again")}}));
    });
    EXPECT_EQ(RunWalk(peer, kIfEntry, {2}), 1);
    EXPECT_EQ(lastError, 22);
    EXPECT_EQ(peer.requestCount(), 2u);

    // Going backwards is no better.
    auto n = std::make_shared<std::atomic<int>>(0);
    peer.setScript([n](const Request& r, int) {
        const std::uint32_t i = (*n)++ == 0 ? 9 : 3;
        return Reply(response(r, 0, 0, {{append(parseOid(kIfEntry), {2, i}), octets("back")}}));
    });
    rows = CSnmpBerList();
    EXPECT_EQ(RunWalk(peer, kIfEntry, {2}), 1);
    EXPECT_EQ(lastError, 22);
}

TEST_F(Walk, RowLimitEndsAnEndlessWalkWith24)
{
    FaultAgent peer;
    // Always the next instance: a table without end.
    peer.setScript([](const Request& r, int) {
        Oid name = r.bindings.at(0).oid;
        if (name.size() == 11)
            ++name.back();
        else
            name = append(parseOid(kIfEntry), {2, 1});
        return Reply(response(r, 0, 0, {{name, octets("more")}}));
    });
    EXPECT_EQ(RunWalk(peer, kIfEntry, {2}, -1, 0xA1, 3, 50), 50);
    EXPECT_EQ(lastError, snmpengine::RowLimit);
    EXPECT_EQ(peer.requestCount(), 51u);
    EXPECT_EQ(rows.Get(50), nullptr);

    // A table of exactly the limit ends as usual.
    Interfaces(5);
    peer.setScript(serve(mib));
    rows = CSnmpBerList();
    EXPECT_EQ(RunWalk(peer, kIfEntry, {2}, -1, 0xA1, 3, 5), 5);
    EXPECT_EQ(lastError, 0);
}

TEST_F(Walk, StopDuringTheFirstExchangeStoresNothing)
{
    FaultAgent peer;  // silent
    MIBAgent* a = Use(peer, 3000000, 0);
    MIBBasicItem item;
    item.setRepeat(1);
    std::thread stopper([&] {
        peer.waitForRequests(1, 5000);
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        item.setRepeat(0);
    });
    baseArcs = Arcs(kIfEntry);
    unsigned long columns[] = {2};
    const int n = SnmpDynamicList(a, &item, &rows, baseArcs.data(), 9, columns, 1, &failures, -1, 0xA1,
                                  item.getRepeatFlag(), 3, &lastError);
    stopper.join();
    // The stopped exchange handed back the request itself: not a row.
    EXPECT_EQ(n, 0);
    EXPECT_EQ(lastError, 0);  // a stop is no failure
    EXPECT_EQ(rows.Get().GetAllData(), nullptr);
    EXPECT_EQ(peer.requestCount(), 1u);

    // A flag that is 0 from the start sends nothing.
    int stopped = 0;
    EXPECT_EQ(SnmpDynamicList(a, &item, &rows, baseArcs.data(), 9, columns, 1, &failures, -1, 0xA1, &stopped, 3,
                              &lastError),
              0);
    EXPECT_EQ(peer.requestCount(), 1u);
}

TEST_F(Walk, ArgumentsItCannotUse)
{
    FaultAgent peer;
    peer.setScript(serve(mib));
    MIBAgent* a = Use(peer);
    MIBBasicItem item;
    std::vector<unsigned long> base = Arcs(kIfEntry);
    unsigned long columns[] = {2};
    int failures = 0, running = 1;
    auto walk = [&](unsigned long* b, int len, unsigned long* cols, int ncols, int pos) {
        CSnmpBerList list;
        int err = 0;
        int n = SnmpDynamicList(a, &item, &list, b, len, cols, ncols, &failures, pos, 0xA1, &running, 3, &err);
        return std::pair{n, err};
    };
    EXPECT_EQ(walk(base.data(), 8192, columns, 1, -1), (std::pair{-1, 17}));
    EXPECT_EQ(walk(base.data(), -1, columns, 1, -1), (std::pair{-1, 17}));
    EXPECT_EQ(walk(base.data(), 9, columns, 0, -1), (std::pair{-1, 17}));     // no column: endless
    EXPECT_EQ(walk(base.data(), 9, columns, 1, 9), (std::pair{-1, 17}));      // position past the base
    EXPECT_EQ(walk(base.data(), 9, columns, 1, -2), (std::pair{-1, 17}));
    EXPECT_EQ(walk(base.data(), 1, columns, 1, 0), (std::pair{-1, 17}));      // a one-arc OID
    EXPECT_EQ(walk(nullptr, 9, columns, 1, -1), (std::pair{-1, 17}));
    EXPECT_EQ(walk(base.data(), 9, nullptr, 1, -1), (std::pair{-1, 17}));
    // 8191 arcs fit the arc buffer but not an OID element.
    std::vector<unsigned long> huge(8191, 200000);
    huge[0] = 1;
    huge[1] = 3;
    EXPECT_EQ(walk(huge.data(), 8191, columns, 1, -1), (std::pair{-1, 17}));
    EXPECT_EQ(peer.requestCount(), 0u);

    a->setAddr("");
    EXPECT_EQ(walk(base.data(), 9, columns, 1, -1), (std::pair{-1, 18}));
    CSnmpBer b = enginetest::Bindings({"1.3.6.1.2.1.1.1.0"});
    EXPECT_EQ(SnmpData(a, &item, b, 0xA0, nullptr), 18);
}
