#pragma once
// Root of the self-describing value family: every value clones itself,
// names its type with a signature marker and reads/writes a flat
// little-endian data block.

#include <climits>

class CSnmpData {
public:
    virtual ~CSnmpData() = default;

    // New heap copy of the same concrete class; the caller owns it.
    virtual CSnmpData* Dump() const = 0;
    // Replace this value's content with src's; src is of the same class.
    virtual void CopyFrom(const CSnmpData* src) = 0;
    // Type signature of this value (pre-order markers).
    virtual const char* TypeStr() const = 0;
    // Bytes DataTo writes.
    virtual int DataSize() const = 0;
    // Read this value from at most len bytes of data, consuming its
    // marker(s) from sig. Returns bytes consumed, or -1 when the marker does
    // not match or the block is short or inconsistent.
    virtual int DataFrom(const unsigned char* data, int len, const char*& sig) = 0;
    // Unbounded form, for callers that serialised the block themselves.
    int DataFrom(const unsigned char* data, const char*& sig) { return DataFrom(data, INT_MAX, sig); }
    // Write the data block; returns bytes written.
    virtual int DataTo(unsigned char* out) const = 0;

    // Create the value named by the marker under sig and read it from data.
    // Returns null (count untouched) for an unknown marker; otherwise the
    // object (owned by the caller, also when its read failed) with the
    // DataFrom result stored through used when given.
    static CSnmpData* CreateFromData(const unsigned char* data, const char*& sig, int* used = nullptr);
    static CSnmpData* CreateFromData(const unsigned char* data, int len, const char*& sig, int* used = nullptr);

protected:
    CSnmpData() = default;
    CSnmpData(const CSnmpData&) {}
    CSnmpData& operator=(const CSnmpData&) { return *this; }
};
