#pragma once
// Ordered, owning array of values. Its signature is "a" followed by the
// elements' signatures; its data block is the element count followed by
// the elements' blocks.

#include "snmpval/CSnmpData.h"
#include "snmpval/CSnmpString.h"

class CSnmpArray : public CSnmpData {
public:
    // Arrays nested deeper than this are refused when read from data.
    static constexpr int MaxNesting = 64;

    CSnmpArray() = default;
    CSnmpArray(const CSnmpArray& src) : CSnmpData() { CopyFrom(src); }
    CSnmpArray(CSnmpArray&& src) noexcept;
    ~CSnmpArray() override { Clear(); }

    CSnmpArray& operator=(const CSnmpArray& src)
    {
        if (&src != this)
            CopyFrom(src);
        return *this;
    }
    CSnmpArray& operator=(CSnmpArray&& src) noexcept;

    int GetSize() const { return m_count; }
    // Slot pointer, or null outside 0..count-1.
    CSnmpData* Get(int index) const;
    CSnmpData* operator[](int index) const { return Get(index); }

    // By reference the array stores a Dump() copy; by pointer it takes
    // ownership (also when the call fails, so nothing leaks). Return the
    // index, or -1.
    int Add(const CSnmpData& value) { return Add(value.Dump()); }
    int Add(CSnmpData* value) { return Insert(m_count, value); }
    int Insert(int index, const CSnmpData& value) { return Insert(index, value.Dump()); }
    int Insert(int index, CSnmpData* value);
    int Set(int index, const CSnmpData& value) { return Set(index, value.Dump()); }
    int Set(int index, CSnmpData* value);
    CSnmpArray& operator<<(const CSnmpData& value)
    {
        Add(value);
        return *this;
    }
    CSnmpArray& operator<<(CSnmpData* value)
    {
        Add(value);
        return *this;
    }
    void Del(int index);
    void Clear();

    void CopyFrom(const CSnmpArray& src);

    CSnmpData* Dump() const override { return new CSnmpArray(*this); }
    void CopyFrom(const CSnmpData* src) override;
    // Valid until the next TypeStr call on this array or its destruction.
    const char* TypeStr() const override;
    int DataSize() const override;
    using CSnmpData::DataFrom;
    int DataFrom(const unsigned char* data, int len, const char*& sig) override;
    int DataTo(unsigned char* out) const override;

private:
    CSnmpData** m_slots = nullptr;
    int m_count = 0;
    int m_capacity = 0;
    mutable CSnmpString m_sig;
};
