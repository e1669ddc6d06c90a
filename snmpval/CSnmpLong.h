#pragma once
// 32-bit integer value, signed (kind 'l') or unsigned (kind 'u'). The
// stored 32 bits are returned unchanged by either getter.

#include <cstdint>

#include "snmpval/CSnmpData.h"

class CSnmpLong : public CSnmpData {
public:
    CSnmpLong() = default;
    CSnmpLong(long value) { Set(value); }
    CSnmpLong(unsigned long value) { Set(value); }
    // Plain int literals pick their signedness without ambiguity.
    CSnmpLong(int value) { Set(long(value)); }
    CSnmpLong(unsigned int value) { Set((unsigned long)value); }
    CSnmpLong(const CSnmpLong& src) : CSnmpData() { CopyFrom(src); }

    void Set(long value)
    {
        m_value = uint32_t(value);
        m_kind = 'l';
    }
    void Set(unsigned long value)
    {
        m_value = uint32_t(value);
        m_kind = 'u';
    }
    CSnmpLong& operator=(long value)
    {
        Set(value);
        return *this;
    }
    CSnmpLong& operator=(unsigned long value)
    {
        Set(value);
        return *this;
    }
    void Set(int value) { Set(long(value)); }
    void Set(unsigned int value) { Set((unsigned long)value); }
    CSnmpLong& operator=(int value)
    {
        Set(long(value));
        return *this;
    }
    CSnmpLong& operator=(unsigned int value)
    {
        Set((unsigned long)value);
        return *this;
    }
    CSnmpLong& operator=(const CSnmpLong& src)
    {
        CopyFrom(src);
        return *this;
    }

    long GetLong() const { return long(int32_t(m_value)); }
    unsigned long GetULong() const { return m_value; }
    operator long() const { return GetLong(); }
    operator unsigned long() const { return GetULong(); }
    // 'l' or 'u'.
    char GetKind() const { return m_kind; }

    void CopyFrom(const CSnmpLong& src)
    {
        m_value = src.m_value;
        m_kind = src.m_kind;
    }

    CSnmpData* Dump() const override { return new CSnmpLong(*this); }
    void CopyFrom(const CSnmpData* src) override;
    const char* TypeStr() const override { return m_kind == 'u' ? "u" : "l"; }
    int DataSize() const override { return 4; }
    using CSnmpData::DataFrom;
    int DataFrom(const unsigned char* data, int len, const char*& sig) override;
    int DataTo(unsigned char* out) const override;

private:
    uint32_t m_value = 0;
    char m_kind = 'l';
};
