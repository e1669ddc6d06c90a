#pragma once
// Owned byte buffer with a 32-bit length.

#include "snmpval/CSnmpData.h"

class CSnmpBinary : public CSnmpData {
public:
    CSnmpBinary() = default;
    CSnmpBinary(const unsigned char* data, int len) { Set(data, len); }
    CSnmpBinary(const CSnmpBinary& src) : CSnmpData() { CopyFrom(src); }
    CSnmpBinary(CSnmpBinary&& src) noexcept;
    ~CSnmpBinary() override { Clear(); }

    CSnmpBinary& operator=(const CSnmpBinary& src);
    CSnmpBinary& operator=(CSnmpBinary&& src) noexcept;

    // Frees the old buffer; copies the bytes when data is non-null and
    // len > 0, otherwise leaves the object empty.
    void Set(const unsigned char* data, int len);
    void Clear();

    const unsigned char* GetData() const { return m_data; }
    int GetLen() const { return m_len; }
    operator const unsigned char*() const { return m_data; }
    operator int() const { return m_len; }

    void CopyFrom(const CSnmpBinary& src);

    CSnmpData* Dump() const override { return new CSnmpBinary(*this); }
    void CopyFrom(const CSnmpData* src) override;
    const char* TypeStr() const override { return "b"; }
    int DataSize() const override { return 4 + m_len; }
    using CSnmpData::DataFrom;
    int DataFrom(const unsigned char* data, int len, const char*& sig) override;
    int DataTo(unsigned char* out) const override;

private:
    unsigned char* m_data = nullptr;
    int m_len = 0;
};
