#pragma once
// Text with a narrow form (CP932 bytes, NUL-terminated) and a wide form
// (UTF-16, NUL-terminated); each is converted from the other on first use
// and kept. Serialised as a signed 16-bit character count followed by the
// UTF-16 code units of the wide form.

#include <string>

#include "snmpval/CSnmpData.h"

class CSnmpString : public CSnmpData {
public:
    // Longest text the 16-bit count of the data block can carry; longer
    // texts serialise their first MaxSerialChars code units.
    static constexpr int MaxSerialChars = 32767;

    CSnmpString() = default;
    CSnmpString(const char* narrow);
    CSnmpString(const char16_t* wide);
    CSnmpString(const CSnmpString& src);
    CSnmpString(CSnmpString&& src) noexcept;
    ~CSnmpString() override;

    // Narrow (CP932) text from UTF-8, and back.
    static CSnmpString FromUtf8(const std::string& utf8);
    std::string GetUtf8() const;

    // Frees both forms, then stores a copy of the text (null stores nothing).
    void Set(const char* narrow);
    void Set(const char16_t* wide);
    // Narrow form of exactly len bytes (stops at an embedded zero).
    void Set(const char* narrow, int len);

    const char* GetStr() const;
    const char16_t* GetWStr() const;
    int GetLen() const;   // bytes of GetStr()
    int GetWLen() const;  // code units of GetWStr()
    bool IsEmpty() const { return GetLen() == 0 && GetWLen() == 0; }

    // Replace the content by GetStr() + text (narrow form only) or
    // GetWStr() + text (wide form only).
    void Append(const char* narrow);
    void Append(const char16_t* wide);

    CSnmpString& operator+=(const char* narrow);
    CSnmpString& operator+=(const char16_t* wide);
    CSnmpString& operator+=(const CSnmpString& src);
    CSnmpString& operator=(const char* narrow);
    CSnmpString& operator=(const char16_t* wide);
    CSnmpString& operator=(const CSnmpString& src);
    CSnmpString& operator=(CSnmpString&& src) noexcept;

    operator const char*() const { return GetStr(); }
    operator const char16_t*() const { return GetWStr(); }

    enum : int { ClearNarrow = 1, ClearWide = 2, ClearAll = 3 };
    void Clear(int flags = ClearAll);

    // Copies the source's narrow form when it has one, else its wide form.
    void CopyFrom(const CSnmpString& src);

    // --- value family slots -----------------------------------------------
    CSnmpData* Dump() const override;
    void CopyFrom(const CSnmpData* src) override;
    const char* TypeStr() const override { return "s"; }
    int DataSize() const override;
    using CSnmpData::DataFrom;
    int DataFrom(const unsigned char* data, int len, const char*& sig) override;
    int DataTo(unsigned char* out) const override;

private:
    // Code units that DataTo writes.
    int SerialChars() const;

    mutable char* m_str = nullptr;
    mutable char16_t* m_wstr = nullptr;
};
