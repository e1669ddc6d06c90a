#pragma once
// 64-bit IEEE 754 value.

#include "snmpval/CSnmpData.h"

class CSnmpDouble : public CSnmpData {
public:
    CSnmpDouble(double value = 0.0) : m_value(value) {}
    CSnmpDouble(const CSnmpDouble& src) : CSnmpData(), m_value(src.m_value) {}

    void Set(double value) { m_value = value; }
    CSnmpDouble& operator=(double value)
    {
        m_value = value;
        return *this;
    }
    CSnmpDouble& operator=(const CSnmpDouble& src)
    {
        m_value = src.m_value;
        return *this;
    }
    double Get() const { return m_value; }
    operator double() const { return m_value; }

    CSnmpData* Dump() const override { return new CSnmpDouble(*this); }
    void CopyFrom(const CSnmpData* src) override;
    const char* TypeStr() const override { return "d"; }
    int DataSize() const override { return 8; }
    using CSnmpData::DataFrom;
    int DataFrom(const unsigned char* data, int len, const char*& sig) override;
    int DataTo(unsigned char* out) const override;

private:
    double m_value = 0.0;
};
