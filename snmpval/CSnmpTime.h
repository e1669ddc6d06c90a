#pragma once
// Local date and time to the minute, packed into 32 bits:
// bits 20-31 year, 16-19 month 1-12, 11-15 day, 6-10 hour, 0-5 minute.

#include <cstdint>

#include "snmpval/CSnmpData.h"

class CSnmpTime : public CSnmpData {
public:
    // The current local date and time.
    CSnmpTime();
    CSnmpTime(unsigned long packed) : m_time(uint32_t(packed)) {}
    CSnmpTime(int year, int month, int day, int hour, int minute)
        : m_time(Pack(year, month, day, hour, minute)) {}
    CSnmpTime(const CSnmpTime& src) : CSnmpData(), m_time(src.m_time) {}

    CSnmpTime& operator=(unsigned long packed)
    {
        m_time = uint32_t(packed);
        return *this;
    }
    CSnmpTime& operator=(const CSnmpTime& src)
    {
        m_time = src.m_time;
        return *this;
    }
    operator unsigned long() const { return m_time; }

    // Packed current local time.
    static unsigned long GetTime();
    static uint32_t Pack(int year, int month, int day, int hour, int minute);

    int GetYear() const { return int(m_time >> 20); }
    int GetMonth() const { return int((m_time >> 16) & 0x0F); }
    int GetDay() const { return int((m_time >> 11) & 0x1F); }
    int GetHour() const { return int((m_time >> 6) & 0x1F); }
    int GetMinute() const { return int(m_time & 0x3F); }

    // Signed minutes from b to this time (0 when the packed values match).
    long operator-(const CSnmpTime& b) const;
    // Add minutes through the local calendar, so that day, month and year
    // roll over. A result outside the packable years leaves the time as is.
    CSnmpTime& operator+=(long minutes);
    CSnmpTime operator+(long minutes) const
    {
        CSnmpTime t(*this);
        t += minutes;
        return t;
    }
    // Plain int amounts add minutes too, not to the packed value.
    CSnmpTime& operator+=(int minutes) { return *this += long(minutes); }
    CSnmpTime operator+(int minutes) const { return *this + long(minutes); }

    CSnmpData* Dump() const override { return new CSnmpTime(*this); }
    void CopyFrom(const CSnmpData* src) override;
    const char* TypeStr() const override { return "t"; }
    int DataSize() const override { return 4; }
    using CSnmpData::DataFrom;
    int DataFrom(const unsigned char* data, int len, const char*& sig) override;
    int DataTo(unsigned char* out) const override;

private:
    uint32_t m_time = 0;
};
