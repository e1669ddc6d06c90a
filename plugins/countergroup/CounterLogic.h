#pragma once
// The poll cycle and the derivation of samples, free of any window: the
// document binds the request seam to the request engine, the tests bind it
// to whatever peer they need. Histories are arrays of sample slots with the
// accessors of the series records (getVal/setVal, getTime/setTime,
// getErrIdx/setErrIdx), oldest first, newest at the last index.

#include <cstdint>
#include <vector>

#include "plugins/countergroup/GroupConstants.h"
#include "snmpval/CSnmpBer.h"

namespace countergroup {

// Result codes that the poller itself produces.
enum : int {
    kNoSuchName = 2,           // the agent has no such object (exception values)
    kBadValue = 3,             // a value of a kind the series cannot sample
    kCounterInitialised = 16,  // no comparable base value yet
    kWrongObject = 22,         // the reply named another object
    kSkippedAfterFailures = 23,
};

inline constexpr int kHistoryLength = 61;

struct PollState {
    ValueKind kind = ValueKind::Counter;
    bool firstCycle = true;
    int errorBudget = 3;
    std::vector<CSnmpBer> current;
    std::vector<CSnmpBer> previous;
    std::vector<int> lastResult;
    std::vector<unsigned char> tag;  // tag of each object's latest good answer (0 none yet)
    // Answers whose value the kind cannot sample fail (CheckValueKind);
    // off for pollers whose "value" is a whole reply of their own.
    bool checkValueKind = false;
    // Counter series that may be Counter64 objects (the traffic windows'
    // ifHC* counters) take those too.
    bool counter64 = false;

    PollState() = default;
    PollState(ValueKind k, int objectCount, int budget)
        : kind(k), errorBudget(budget), current(size_t(objectCount)), previous(size_t(objectCount)),
          lastResult(size_t(objectCount), 0), tag(size_t(objectCount), 0)
    {
    }
    int objectCount() const { return int(current.size()); }

    // Objects added and removed at run time; the others keep their state.
    void Append()
    {
        current.emplace_back();
        previous.emplace_back();
        lastResult.push_back(0);
        tag.push_back(0);
    }
    void Erase(int j)
    {
        if (j < 0 || j >= objectCount())
            return;
        current.erase(current.begin() + j);
        previous.erase(previous.begin() + j);
        lastResult.erase(lastResult.begin() + j);
        tag.erase(tag.begin() + j);
    }
};

// A good sample slot: errIdx 0 or "counter initialised". Anything else is a
// failed interval (bands in the graph, stale base for the next increase).
inline bool IsGoodErrIdx(int errIdx) { return errIdx == 0 || errIdx == kCounterInitialised; }

// Whether a received value can be sampled by a series of this kind: 0, or
// the failure it counts as. Counters take Counter32 only, gauges Gauge32 and
// INTEGER; the exceptions of later SNMP versions (noSuchObject,
// noSuchInstance) read as noSuchName, every other tag (NULL, strings,
// Counter64, endOfMibView, ...) as badValue. Series sampled by tag take any
// value.
int CheckValueKind(ValueKind kind, const CSnmpBer& value, bool counter64 = false);

// Ask for every object in table order. request(j, value) returns the result
// code and, on 0, stores the received value. More failures than the budget
// end the cycle: the remaining objects are marked 23 and left untouched.
template <class Request>
void RunRequests(PollState& st, Request&& request)
{
    const int n = st.objectCount();
    int failures = 0;
    for (int j = 0; j < n; ++j) {
        st.previous[size_t(j)] = st.current[size_t(j)];
        CSnmpBer value;
        int rc = request(j, value);
        if (rc == 0 && st.checkValueKind)
            rc = CheckValueKind(st.kind, value, st.counter64);
        st.lastResult[size_t(j)] = rc;
        if (rc != 0) {
            if (++failures > st.errorBudget) {
                for (int k = j + 1; k < n; ++k)
                    st.lastResult[size_t(k)] = kSkippedAfterFailures;
                break;
            }
            continue;
        }
        st.tag[size_t(j)] = value.GetTagType();
        st.current[size_t(j)] = std::move(value);
    }
}

// A value as a 32-bit sample: INTEGERs sign-extended, so -1 reads
// 4294967295 (two's complement), not 255.
inline uint32_t SampleValue(const CSnmpBer& v)
{
    return v.GetTagType() == CSnmpBer::TagInteger ? uint32_t(v.GetLong()) : uint32_t(v.GetULong());
}

// Drop the oldest slot; the newest is rewritten by the caller.
template <class Slot>
void ShiftHistory(Slot* h, int len)
{
    for (int k = 0; k + 1 < len; ++k)
        h[k] = h[k + 1];
}

// Hooks of the counter tick. Windows whose samples hold several values
// overload these for their slot type (found by argument-dependent lookup).
// The sample after a failed one: 0, "counter initialised".
template <class Slot>
void RestartSample(Slot& slot)
{
    slot.setVal(0);
    slot.setErrIdx(kCounterInitialised);
}
// Whether both answers are Counter64: their increase is taken modulo 2^64.
inline bool BothCounter64(const CSnmpBer& current, const CSnmpBer& previous)
{
    return current.GetTagType() == CSnmpBer::TagCounter64 && previous.GetTagType() == CSnmpBer::TagCounter64;
}

// The increase since the previous answer, modulo 2^32 (2^64 for Counter64).
template <class Slot>
void SetIncrease(Slot& slot, const CSnmpBer& current, const CSnmpBer& previous)
{
    if (BothCounter64(current, previous))
        slot.setVal64(current.GetULong64() - previous.GetULong64());
    else
        slot.setVal(uint32_t(uint32_t(current.GetULong()) - uint32_t(previous.GetULong())));
    slot.setErrIdx(0);
}

// Counter kind. The first cycle only provides base values: it marks the
// newest slot and stamps nothing.
template <class Slot>
void TickCounter(PollState& st, Slot* const* histories, int len, long now)
{
    const int n = st.objectCount();
    if (st.firstCycle) {
        for (int i = 0; i < n; ++i) {
            int r = st.lastResult[size_t(i)];
            histories[i][len - 1].setErrIdx(r == 0 ? kCounterInitialised : r);
        }
        st.firstCycle = false;
        return;
    }
    for (int j = 0; j < n; ++j) {
        Slot* h = histories[j];
        ShiftHistory(h, len);
        Slot& slot = h[len - 1];
        int r = st.lastResult[size_t(j)];
        if (r <= 0) {
            if (!IsGoodErrIdx(h[len - 2].getErrIdx())) {
                // The previous request failed, so the base is not the value
                // of the previous interval.
                RestartSample(slot);
            } else {
                SetIncrease(slot, st.current[size_t(j)], st.previous[size_t(j)]);
            }
        } else {
            slot.setVal(0);
            slot.setErrIdx(r);
        }
        slot.setTime(now);
    }
}

// Gauge kind: every cycle stores the values received.
template <class Slot>
void TickGauge(PollState& st, Slot* const* histories, int len, long now)
{
    const int n = st.objectCount();
    for (int j = 0; j < n; ++j) {
        Slot* h = histories[j];
        ShiftHistory(h, len);
        Slot& slot = h[len - 1];
        int r = st.lastResult[size_t(j)];
        if (r < 1) {
            slot.setVal(SampleValue(st.current[size_t(j)]));
            slot.setErrIdx(0);
        } else {
            slot.setVal(0);
            slot.setErrIdx(r);
        }
        slot.setTime(now);
    }
}

// Each series by the tag of its latest good answer: Counter32 increases
// (the first good answer, or one after a failure, gives (0, 16)), Gauge32
// and INTEGER the value (negative integers as their two's complement), any
// other tag (0, 0). There is no first-cycle step.
template <class Slot>
void TickByTag(PollState& st, Slot* const* histories, int len, long now)
{
    const int n = st.objectCount();
    for (int j = 0; j < n; ++j) {
        Slot* h = histories[j];
        ShiftHistory(h, len);
        Slot& slot = h[len - 1];
        const int r = st.lastResult[size_t(j)];
        slot.setVal(0);
        slot.setErrIdx(0);
        if (r > 0) {
            slot.setErrIdx(r);
        } else if (st.tag[size_t(j)] == CSnmpBer::TagCounter || st.tag[size_t(j)] == CSnmpBer::TagCounter64) {
            const Slot& prevSlot = h[len - 2];
            if (!IsGoodErrIdx(prevSlot.getErrIdx()) || prevSlot.getTime() == 0) {
                slot.setErrIdx(kCounterInitialised);
            } else if (BothCounter64(st.current[size_t(j)], st.previous[size_t(j)])) {
                slot.setVal64(st.current[size_t(j)].GetULong64() - st.previous[size_t(j)].GetULong64());
            } else {
                uint32_t cur = uint32_t(st.current[size_t(j)].GetULong());
                uint32_t prev = uint32_t(st.previous[size_t(j)].GetULong());
                slot.setVal(uint32_t(cur - prev));
            }
        } else if (st.tag[size_t(j)] == CSnmpBer::TagGauge || st.tag[size_t(j)] == CSnmpBer::TagInteger) {
            slot.setVal(SampleValue(st.current[size_t(j)]));
        }
        slot.setTime(now);
    }
}

template <class Slot>
void Tick(PollState& st, Slot* const* histories, int len, long now)
{
    switch (st.kind) {
    case ValueKind::Counter: TickCounter(st, histories, len, now); break;
    case ValueKind::Gauge: TickGauge(st, histories, len, now); break;
    case ValueKind::ByTag: TickByTag(st, histories, len, now); break;
    }
}

// Low 32 bits of the current time, as the sample slots keep it.
long NowSeconds();

// The variable-bindings of a GetRequest for one object: a SEQUENCE of one
// SEQUENCE (the OID, NULL).
CSnmpBer MakeRequestBindings(const unsigned long* oid, int count);
// The same for several objects, one binding each, in order.
CSnmpBer MakeRequestBindings(const std::vector<std::vector<unsigned long>>& oids);

// The value of a reply's first binding into value. A reply without that
// binding, or naming another object than oid, is refused with 22 (the
// wrong object returned); 0 otherwise.
int TakeReplyValue(const CSnmpBer& bindings, const unsigned long* oid, int count, CSnmpBer& value,
                   int position = 0);

// The value of a reply to MakeRequestBindings(oids), as TakeReplyValue
// takes one: with several objects, the sum modulo 2^64 of their values
// when every one is a Counter64 (a counter split over objects, like
// ifHCInMulticastPkts + ifHCInBroadcastPkts), otherwise the first value
// that is not, for the kind check to refuse.
int TakeReplySum(const CSnmpBer& bindings, const std::vector<std::vector<unsigned long>>& oids, CSnmpBer& value);

}  // namespace countergroup
