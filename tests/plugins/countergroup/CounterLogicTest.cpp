// The poll cycle and the sample rules over a scripted request seam: each
// cycle gets a list of answers (a value, or a result code) per object.

#include <gtest/gtest.h>

#include <vector>

#include "mibcore/series/ValatTime.h"
#include "plugins/countergroup/CounterLogic.h"

using namespace countergroup;

namespace {

struct Answer {
    int rc;
    unsigned long value;
};
Answer Good(unsigned long v) { return {0, v}; }
Answer Fail(int rc) { return {rc, 0}; }

class Poller {
public:
    Poller(ValueKind kind, int n, int budget) : st(kind, n, budget), hist(size_t(n))
    {
        for (auto& h : hist) {
            h.assign(kHistoryLength, ValatTime(0, 0, 16));
            ptrs.push_back(h.data());
        }
    }
    // One cycle; returns which objects were asked.
    std::vector<int> Cycle(const std::vector<Answer>& answers, long now)
    {
        std::vector<int> asked;
        RunRequests(st, [&](int j, CSnmpBer& value) {
            asked.push_back(j);
            const Answer& a = answers[size_t(j)];
            if (a.rc == 0)
                value.SetULong(a.value, st.kind == ValueKind::Gauge ? CSnmpBer::TagGauge : CSnmpBer::TagCounter);
            return a.rc;
        });
        Tick(st, ptrs.data(), kHistoryLength, now);
        return asked;
    }
    const ValatTime& Slot(int series, int k) const { return hist[size_t(series)][size_t(k)]; }

    PollState st;
    std::vector<std::vector<ValatTime>> hist;
    std::vector<ValatTime*> ptrs;
};

void ExpectSlot(const ValatTime& s, unsigned long val, long time, int err)
{
    EXPECT_EQ(s.getVal(), val);
    EXPECT_EQ(s.getTime(), time);
    EXPECT_EQ(s.getErrIdx(), err);
}

}  // namespace

TEST(CounterTick, FirstCycleOnlyProvidesTheBaseThenIncreasesFollow)
{
    Poller p(ValueKind::Counter, 2, 3);
    p.Cycle({Good(100), Fail(2)}, 1000);
    for (int k = 0; k < kHistoryLength; ++k)
        EXPECT_EQ(p.Slot(0, k).getTime(), 0) << k;
    ExpectSlot(p.Slot(0, 60), 0, 0, 16);
    ExpectSlot(p.Slot(1, 60), 0, 0, 2);  // the failure is kept in the newest slot
    EXPECT_FALSE(p.st.firstCycle);

    p.Cycle({Good(130), Good(7)}, 1015);
    ExpectSlot(p.Slot(0, 60), 30, 1015, 0);
    ExpectSlot(p.Slot(0, 59), 0, 0, 16);
    // Object 1 failed in the first cycle: its base is stale.
    ExpectSlot(p.Slot(1, 60), 0, 1015, 16);
    ExpectSlot(p.Slot(1, 59), 0, 0, 2);

    p.Cycle({Good(130), Good(19)}, 1030);
    ExpectSlot(p.Slot(0, 60), 0, 1030, 0);
    ExpectSlot(p.Slot(1, 60), 12, 1030, 0);
    // Every series shares the times slot by slot.
    EXPECT_EQ(p.Slot(0, 59).getTime(), p.Slot(1, 59).getTime());
}

TEST(CounterTick, WrapTimeoutAndStaleBase)
{
    Poller p(ValueKind::Counter, 1, 3);
    p.Cycle({Good(4294967290UL)}, 10);
    p.Cycle({Good(5)}, 20);
    ExpectSlot(p.Slot(0, 60), 11, 20, 0);  // wrapped once modulo 2^32

    p.Cycle({Fail(21)}, 30);
    p.Cycle({Good(40)}, 40);
    p.Cycle({Good(45)}, 50);
    ExpectSlot(p.Slot(0, 58), 0, 30, 21);
    ExpectSlot(p.Slot(0, 59), 0, 40, 16);
    ExpectSlot(p.Slot(0, 60), 5, 50, 0);
}

TEST(CounterTick, HistoryKeepsTheLast61Samples)
{
    Poller p(ValueKind::Counter, 1, 3);
    unsigned long v = 0;
    for (int c = 0; c < 70; ++c) {
        p.Cycle({Good(v)}, 100 + c);
        v += unsigned(c);
    }
    // Cycle c (c >= 1) stored the increase c - 1 stamped 100 + c.
    for (int k = 0; k < kHistoryLength; ++k) {
        int c = 69 - (60 - k);
        ExpectSlot(p.Slot(0, k), unsigned(c - 1), 100 + c, 0);
    }
}

TEST(PollCycle, ErrorBudgetEndsTheCycleAndMarksTheRest)
{
    {
        Poller p(ValueKind::Counter, 6, 3);
        auto asked = p.Cycle(std::vector<Answer>(6, Fail(21)), 1);
        EXPECT_EQ(asked, (std::vector<int>{0, 1, 2, 3}));  // the fourth failure ends it
        EXPECT_EQ(p.st.lastResult, (std::vector<int>{21, 21, 21, 21, 23, 23}));
    }
    {
        Poller p(ValueKind::Counter, 4, 0);
        auto asked = p.Cycle({Good(1), Fail(2), Good(3), Good(4)}, 1);
        EXPECT_EQ(asked, (std::vector<int>{0, 1}));
        EXPECT_EQ(p.st.lastResult, (std::vector<int>{0, 2, 23, 23}));
    }
    {
        // Failures are counted per cycle, not carried over.
        Poller p(ValueKind::Counter, 3, 1);
        p.Cycle({Fail(21), Good(1), Good(1)}, 1);
        auto asked = p.Cycle({Fail(21), Good(2), Good(2)}, 2);
        EXPECT_EQ(asked.size(), 3u);
    }
}

TEST(PollCycle, SkippedObjectsKeepTheirValuesAndRestartFromAFreshBase)
{
    Poller p(ValueKind::Counter, 3, 0);
    p.Cycle({Good(10), Good(20), Good(30)}, 1);
    p.Cycle({Fail(21), Good(99), Good(99)}, 2);
    ExpectSlot(p.Slot(1, 60), 0, 2, 23);
    EXPECT_EQ(p.st.current[1].GetULong(), 20u);
    // Untouched when skipped: still what it was when object 1 was last asked.
    EXPECT_EQ(p.st.previous[1].GetDataLen(), 0);
    p.Cycle({Good(11), Good(25), Good(36)}, 3);
    ExpectSlot(p.Slot(0, 60), 0, 3, 16);
    ExpectSlot(p.Slot(1, 60), 0, 3, 16);
    p.Cycle({Good(12), Good(27), Good(39)}, 4);
    ExpectSlot(p.Slot(0, 60), 1, 4, 0);
    ExpectSlot(p.Slot(1, 60), 2, 4, 0);
    ExpectSlot(p.Slot(2, 60), 3, 4, 0);
}

TEST(GaugeTick, ValuesFromTheFirstCycleAndFailuresInBetween)
{
    Poller p(ValueKind::Gauge, 2, 3);
    p.Cycle({Good(42), Fail(2)}, 500);
    ExpectSlot(p.Slot(0, 60), 42, 500, 0);
    ExpectSlot(p.Slot(1, 60), 0, 500, 2);
    p.Cycle({Fail(21), Good(7)}, 515);
    ExpectSlot(p.Slot(0, 60), 0, 515, 21);
    ExpectSlot(p.Slot(1, 60), 7, 515, 0);  // taken unchanged after a failure
    p.Cycle({Good(40), Good(8)}, 530);
    ExpectSlot(p.Slot(0, 60), 40, 530, 0);
}

TEST(PollCycle, AnswersOfAnotherTypeNeverBreakTheTick)
{
    // An agent answering a string where a counter belongs: a failed sample
    // (badValue), never a spike.
    PollState st(ValueKind::Counter, 1, 3);
    st.checkValueKind = true;
    std::vector<ValatTime> h(kHistoryLength, ValatTime(0, 0, 16));
    ValatTime* ptr = h.data();
    for (int c = 0; c < 2; ++c) {
        RunRequests(st, [](int, CSnmpBer& v) {
            v.SetString("not a counter");
            return 0;
        });
        Tick(st, &ptr, kHistoryLength, 77);
    }
    EXPECT_EQ(h[60].getVal(), 0u);
    EXPECT_EQ(h[60].getErrIdx(), kBadValue);
}

TEST(TagTick, EachSeriesBySampledTag)
{
    // One object per kind of answer, three cycles, no first-cycle step.
    struct Case {
        const char* what;
        std::vector<CSnmpBer> answers;  // per cycle; an empty one times out (21)
        std::vector<std::pair<unsigned long, int>> samples;
    };
    auto val = [](unsigned long v, unsigned char tag) {
        CSnmpBer b;
        if (tag == CSnmpBer::TagInteger)
            b.SetLong(long(v));
        else
            b.SetULong(v, tag);
        return b;
    };
    const CSnmpBer none{};
    const Case cases[] = {
        {"counter", {val(100, 0x41), val(130, 0x41), val(5, 0x41)}, {{0, 16}, {30, 0}, {4294967171u, 0}}},
        {"counter after a failure", {val(100, 0x41), none, val(150, 0x41)}, {{0, 16}, {0, 21}, {0, 16}}},
        {"gauge", {val(7, 0x42), none, val(9, 0x42)}, {{7, 0}, {0, 21}, {9, 0}}},
        {"negative integer", {val(-1L, 0x02), val(3, 0x02), val(-2L, 0x02)},
         {{4294967295u, 0}, {3, 0}, {4294967294u, 0}}},
        {"timeticks", {val(500, 0x43), val(600, 0x43), none}, {{0, 0}, {0, 0}, {0, 21}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PollState st(ValueKind::ByTag, 1, 3);
        std::vector<ValatTime> h(kHistoryLength, ValatTime(0, 0, 16));
        ValatTime* ptr = h.data();
        for (size_t k = 0; k < c.answers.size(); ++k) {
            RunRequests(st, [&](int, CSnmpBer& v) {
                if (c.answers[k].GetBufferSize() <= 2 && c.answers[k].GetTagType() == CSnmpBer::TagNull)
                    return 21;
                v = c.answers[k];
                return 0;
            });
            Tick(st, &ptr, kHistoryLength, 100 + long(k));
            ExpectSlot(h[60], c.samples[k].first, 100 + long(k), c.samples[k].second);
        }
    }
}

TEST(TagTick, ObjectsAddedAndRemovedKeepTheOthersState)
{
    PollState st(ValueKind::ByTag, 0, 3);
    for (int i = 0; i < 3; ++i)
        st.Append();
    for (int i = 0; i < 3; ++i) {
        st.current[size_t(i)].SetULong(10u * unsigned(i + 1), CSnmpBer::TagGauge);
        st.tag[size_t(i)] = CSnmpBer::TagGauge;
    }
    st.Erase(1);
    st.Erase(7);  // nothing
    ASSERT_EQ(st.objectCount(), 2);
    EXPECT_EQ(st.current[1].GetULong(), 30u);
    EXPECT_EQ(st.lastResult.size(), 2u);
    EXPECT_EQ(st.tag.size(), 2u);
}

TEST(ReplyValue, RequestShapeAndRefusedReplies)
{
    const unsigned long oid[] = {1, 3, 6, 1, 2, 1, 7, 1, 0};
    CSnmpBer req = MakeRequestBindings(oid, 9);
    // 30 0E 30 0C 06 08 2B 06 01 02 01 07 01 00 05 00
    const unsigned char expected[] = {0x30, 0x0E, 0x30, 0x0C, 0x06, 0x08, 0x2B, 0x06, 0x01, 0x02,
                                      0x01, 0x07, 0x01, 0x00, 0x05, 0x00};
    ASSERT_EQ(req.GetBufferSize(), int(sizeof expected));
    EXPECT_EQ(std::vector<unsigned char>(req.GetAllData(), req.GetAllData() + req.GetBufferSize()),
              std::vector<unsigned char>(expected, expected + sizeof expected));

    auto reply = [](const unsigned long* arcs, int n, bool withValue) {
        CSnmpBer name;
        name.SetOid(arcs, n);
        CSnmpBer v;
        v.SetULong(77, CSnmpBer::TagCounter);
        CSnmpBer b;
        b.SetTag(CSnmpBer::TagSequence);
        b.AddBer(name);
        if (withValue)
            b.AddBer(v);
        CSnmpBer l;
        l.SetTag(CSnmpBer::TagSequence);
        l.AddBer(b);
        return l;
    };
    CSnmpBer value;
    EXPECT_EQ(TakeReplyValue(reply(oid, 9, true), oid, 9, value), 0);
    EXPECT_EQ(value.GetULong(), 77u);

    const unsigned long other[] = {1, 3, 6, 1, 2, 1, 7, 2, 0};
    CSnmpBer untouched;
    EXPECT_EQ(TakeReplyValue(reply(other, 9, true), oid, 9, untouched), 22);
    EXPECT_EQ(TakeReplyValue(reply(oid, 8, true), oid, 9, untouched), 22);
    EXPECT_EQ(TakeReplyValue(reply(oid, 9, false), oid, 9, untouched), 22);
    CSnmpBer empty;
    empty.SetTag(CSnmpBer::TagSequence);
    EXPECT_EQ(TakeReplyValue(empty, oid, 9, untouched), 22);
    EXPECT_EQ(TakeReplyValue(CSnmpBer(), oid, 9, untouched), 22);
    EXPECT_EQ(untouched.GetBufferSize(), 0);
}
