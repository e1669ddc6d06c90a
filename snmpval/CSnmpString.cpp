#include "snmpval/CSnmpString.h"

#include <cstring>
#include <string>
#include <utility>

#include "snmpval/Cp932.h"

namespace {

size_t WideLen(const char16_t* s)
{
    size_t n = 0;
    while (s[n])
        ++n;
    return n;
}

char* DupNarrow(const char* s, size_t n)
{
    char* p = new char[n + 1];
    std::memcpy(p, s, n);
    p[n] = '\0';
    return p;
}

char16_t* DupWide(const char16_t* s, size_t n)
{
    char16_t* p = new char16_t[n + 1];
    std::memcpy(p, s, n * sizeof(char16_t));
    p[n] = u'\0';
    return p;
}

// Conversions stop at an embedded zero, as the NUL-terminated forms do.
char* NarrowFrom(const std::string& s) { return DupNarrow(s.c_str(), std::strlen(s.c_str())); }
char16_t* WideFrom(const std::u16string& s) { return DupWide(s.c_str(), WideLen(s.c_str())); }

}  // namespace

CSnmpString::CSnmpString(const char* narrow) { Set(narrow); }
CSnmpString::CSnmpString(const char16_t* wide) { Set(wide); }

CSnmpString::CSnmpString(const CSnmpString& src) : CSnmpData() { CopyFrom(src); }

CSnmpString::CSnmpString(CSnmpString&& src) noexcept
    : CSnmpData(), m_str(std::exchange(src.m_str, nullptr)), m_wstr(std::exchange(src.m_wstr, nullptr))
{
}

CSnmpString::~CSnmpString() { Clear(); }

CSnmpString CSnmpString::FromUtf8(const std::string& utf8)
{
    CSnmpString s;
    s.Set(cp932::FromUtf8(utf8).c_str());
    return s;
}

std::string CSnmpString::GetUtf8() const
{
    if (m_wstr && !m_str) {
        // Straight from UTF-16 so that characters CP932 lacks survive.
        std::string out;
        const char16_t* w = m_wstr;
        for (size_t i = 0; w[i]; ++i) {
            char32_t c = w[i];
            if (c >= 0xD800 && c <= 0xDBFF && w[i + 1] >= 0xDC00 && w[i + 1] <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (w[i + 1] - 0xDC00);
                ++i;
            } else if (c >= 0xD800 && c <= 0xDFFF) {
                c = 0xFFFD;
            }
            if (c < 0x80) {
                out += char(c);
            } else if (c < 0x800) {
                out += char(0xC0 | (c >> 6));
                out += char(0x80 | (c & 0x3F));
            } else if (c < 0x10000) {
                out += char(0xE0 | (c >> 12));
                out += char(0x80 | ((c >> 6) & 0x3F));
                out += char(0x80 | (c & 0x3F));
            } else {
                out += char(0xF0 | (c >> 18));
                out += char(0x80 | ((c >> 12) & 0x3F));
                out += char(0x80 | ((c >> 6) & 0x3F));
                out += char(0x80 | (c & 0x3F));
            }
        }
        return out;
    }
    return cp932::ToUtf8(GetStr());
}

// The copy is taken before the old forms go: the text may be one of them.
void CSnmpString::Set(const char* narrow)
{
    char* copy = narrow ? DupNarrow(narrow, std::strlen(narrow)) : nullptr;
    Clear();
    m_str = copy;
}

void CSnmpString::Set(const char16_t* wide)
{
    char16_t* copy = wide ? DupWide(wide, WideLen(wide)) : nullptr;
    Clear();
    m_wstr = copy;
}

void CSnmpString::Set(const char* narrow, int len)
{
    char* copy = nullptr;
    if (narrow && len >= 0) {
        const void* zero = std::memchr(narrow, 0, size_t(len));
        copy = DupNarrow(narrow, zero ? size_t(static_cast<const char*>(zero) - narrow) : size_t(len));
    }
    Clear();
    m_str = copy;
}

const char* CSnmpString::GetStr() const
{
    if (!m_str) {
        if (!m_wstr)
            return "";
        m_str = NarrowFrom(cp932::FromUtf16(std::u16string(m_wstr)));
    }
    return m_str;
}

const char16_t* CSnmpString::GetWStr() const
{
    if (!m_wstr) {
        if (!m_str)
            return u"";
        m_wstr = WideFrom(cp932::ToUtf16(std::string(m_str)));
    }
    return m_wstr;
}

int CSnmpString::GetLen() const
{
    if (!m_str && !m_wstr)
        return 0;
    return int(std::strlen(GetStr()));
}

int CSnmpString::GetWLen() const
{
    if (!m_str && !m_wstr)
        return 0;
    return int(WideLen(GetWStr()));
}

void CSnmpString::Append(const char* narrow)
{
    std::string s = GetStr();
    if (narrow)
        s += narrow;
    Clear();
    m_str = DupNarrow(s.data(), s.size());
}

void CSnmpString::Append(const char16_t* wide)
{
    std::u16string s = GetWStr();
    if (wide)
        s += wide;
    Clear();
    m_wstr = DupWide(s.data(), s.size());
}

CSnmpString& CSnmpString::operator+=(const char* narrow)
{
    Append(narrow);
    return *this;
}

CSnmpString& CSnmpString::operator+=(const char16_t* wide)
{
    Append(wide);
    return *this;
}

CSnmpString& CSnmpString::operator+=(const CSnmpString& src)
{
    if (&src == this) {
        CSnmpString copy(src);
        return *this += copy;
    }
    if (src.m_str)
        Append(src.m_str);
    else if (src.m_wstr)
        Append(src.m_wstr);
    else
        Append(static_cast<const char*>(nullptr));
    return *this;
}

CSnmpString& CSnmpString::operator=(const char* narrow)
{
    if (narrow != m_str) {
        CSnmpString tmp(narrow);  // narrow may point into this object
        *this = std::move(tmp);
    }
    return *this;
}

CSnmpString& CSnmpString::operator=(const char16_t* wide)
{
    if (wide != m_wstr) {
        CSnmpString tmp(wide);
        *this = std::move(tmp);
    }
    return *this;
}

CSnmpString& CSnmpString::operator=(const CSnmpString& src)
{
    if (&src != this)
        CopyFrom(src);
    return *this;
}

CSnmpString& CSnmpString::operator=(CSnmpString&& src) noexcept
{
    if (&src != this) {
        Clear();
        m_str = std::exchange(src.m_str, nullptr);
        m_wstr = std::exchange(src.m_wstr, nullptr);
    }
    return *this;
}

void CSnmpString::Clear(int flags)
{
    if (flags & ClearNarrow) {
        delete[] m_str;
        m_str = nullptr;
    }
    if (flags & ClearWide) {
        delete[] m_wstr;
        m_wstr = nullptr;
    }
}

void CSnmpString::CopyFrom(const CSnmpString& src)
{
    if (&src == this)
        return;
    if (src.m_str)
        Set(src.m_str);
    else if (src.m_wstr)
        Set(src.m_wstr);
    else
        Clear();
}

CSnmpData* CSnmpString::Dump() const { return new CSnmpString(*this); }

void CSnmpString::CopyFrom(const CSnmpData* src)
{
    if (auto s = dynamic_cast<const CSnmpString*>(src))
        CopyFrom(*s);
}

int CSnmpString::SerialChars() const
{
    int n = GetWLen();
    if (n <= MaxSerialChars)
        return n;
    n = MaxSerialChars;
    // Do not cut a surrogate pair in half.
    char16_t last = GetWStr()[n - 1];
    if (last >= 0xD800 && last <= 0xDBFF)
        --n;
    return n;
}

int CSnmpString::DataSize() const { return 2 + 2 * SerialChars(); }

int CSnmpString::DataTo(unsigned char* out) const
{
    int n = SerialChars();
    const char16_t* w = GetWStr();
    out[0] = (unsigned char)(n & 0xFF);
    out[1] = (unsigned char)((n >> 8) & 0xFF);
    for (int i = 0; i < n; ++i) {
        out[2 + 2 * i] = (unsigned char)(w[i] & 0xFF);
        out[3 + 2 * i] = (unsigned char)(w[i] >> 8);
    }
    return 2 + 2 * n;
}

int CSnmpString::DataFrom(const unsigned char* data, int len, const char*& sig)
{
    if (!sig || *sig != 's' || !data || len < 2)
        return -1;
    int n = int(short(data[0] | (data[1] << 8)));
    if (n < 0 || n > (len - 2) / 2)
        return -1;
    std::u16string w(size_t(n), u'\0');
    for (int i = 0; i < n; ++i)
        w[size_t(i)] = char16_t(data[2 + 2 * i] | (data[3 + 2 * i] << 8));
    Clear();
    m_wstr = DupWide(w.data(), w.size());  // an embedded zero ends the text
    ++sig;
    return 2 + 2 * n;
}
