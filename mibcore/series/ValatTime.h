#pragma once
// One time-stamped sample of a graph series.

#include <cstdint>

class ValatTime {
public:
    ValatTime() = default;
    ValatTime(unsigned long v, long t, int e)
    {
        setVal(v);
        setTime(t);
        setErrIdx(e);
    }

    unsigned long getVal() const { return static_cast<unsigned long>(val); }
    // Samples of 32-bit objects: counters wrap modulo 2^32.
    void setVal(unsigned long v) { val = static_cast<std::uint32_t>(v); }
    // Samples of Counter64 objects keep all 64 bits.
    void setVal64(std::uint64_t v) { val = v; }
    // Seconds since 1970 (low 32 bits); 0 means the slot holds no sample yet.
    long getTime() const { return time; }
    void setTime(long t) { time = static_cast<std::int32_t>(static_cast<std::uint32_t>(t)); }
    // Index into the request engine's error texts; 0 good, 16 no base value yet.
    int getErrIdx() const { return errIdx; }
    void setErrIdx(int e) { errIdx = e; }

private:
    std::uint64_t val = 0;
    std::int32_t time = 0;
    std::int32_t errIdx = 0;
};
