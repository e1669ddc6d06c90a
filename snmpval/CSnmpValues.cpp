// The plain members of the value family: integers, doubles, byte buffers,
// packed times and arrays.

#include <cstdint>
#include <cstring>
#include <ctime>
#include <utility>

#include "snmpval/CSnmpValues.h"

namespace {

uint32_t Read32(const unsigned char* p)
{
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

void Write32(unsigned char* p, uint32_t v)
{
    p[0] = (unsigned char)(v & 0xFF);
    p[1] = (unsigned char)((v >> 8) & 0xFF);
    p[2] = (unsigned char)((v >> 16) & 0xFF);
    p[3] = (unsigned char)(v >> 24);
}

bool Marker(const char* sig, char want) { return sig && *sig == want; }

}  // namespace

// --- CSnmpLong -----------------------------------------------------------

void CSnmpLong::CopyFrom(const CSnmpData* src)
{
    if (auto s = dynamic_cast<const CSnmpLong*>(src))
        CopyFrom(*s);
}

int CSnmpLong::DataFrom(const unsigned char* data, int len, const char*& sig)
{
    // The marker is the kind; anything else would not read back.
    if (!sig || (*sig != 'l' && *sig != 'u') || !data || len < 4)
        return -1;
    m_kind = *sig++;
    m_value = Read32(data);
    return 4;
}

int CSnmpLong::DataTo(unsigned char* out) const
{
    Write32(out, m_value);
    return 4;
}

// --- CSnmpDouble ---------------------------------------------------------

void CSnmpDouble::CopyFrom(const CSnmpData* src)
{
    if (auto s = dynamic_cast<const CSnmpDouble*>(src))
        m_value = s->m_value;
}

int CSnmpDouble::DataFrom(const unsigned char* data, int len, const char*& sig)
{
    if (!Marker(sig, 'd') || !data || len < 8)
        return -1;
    uint64_t bits = uint64_t(Read32(data)) | (uint64_t(Read32(data + 4)) << 32);
    std::memcpy(&m_value, &bits, 8);
    ++sig;
    return 8;
}

int CSnmpDouble::DataTo(unsigned char* out) const
{
    uint64_t bits;
    std::memcpy(&bits, &m_value, 8);
    Write32(out, uint32_t(bits));
    Write32(out + 4, uint32_t(bits >> 32));
    return 8;
}

// --- CSnmpBinary ---------------------------------------------------------

CSnmpBinary::CSnmpBinary(CSnmpBinary&& src) noexcept
    : CSnmpData(), m_data(std::exchange(src.m_data, nullptr)), m_len(std::exchange(src.m_len, 0))
{
}

CSnmpBinary& CSnmpBinary::operator=(const CSnmpBinary& src)
{
    if (&src != this)
        CopyFrom(src);
    return *this;
}

CSnmpBinary& CSnmpBinary::operator=(CSnmpBinary&& src) noexcept
{
    if (&src != this) {
        Clear();
        m_data = std::exchange(src.m_data, nullptr);
        m_len = std::exchange(src.m_len, 0);
    }
    return *this;
}

void CSnmpBinary::Set(const unsigned char* data, int len)
{
    if (data && data == m_data && len <= m_len) {
        // Setting from our own buffer: keep the bytes alive while copying.
        CSnmpBinary tmp(data, len);
        *this = std::move(tmp);
        return;
    }
    Clear();
    if (data && len > 0) {
        m_data = new unsigned char[size_t(len)];
        std::memcpy(m_data, data, size_t(len));
        m_len = len;
    }
}

void CSnmpBinary::Clear()
{
    delete[] m_data;
    m_data = nullptr;
    m_len = 0;
}

void CSnmpBinary::CopyFrom(const CSnmpBinary& src)
{
    if (&src != this)
        Set(src.m_data, src.m_len);
}

void CSnmpBinary::CopyFrom(const CSnmpData* src)
{
    if (auto s = dynamic_cast<const CSnmpBinary*>(src))
        CopyFrom(*s);
}

int CSnmpBinary::DataFrom(const unsigned char* data, int len, const char*& sig)
{
    if (!Marker(sig, 'b') || !data || len < 4)
        return -1;
    int32_t n = int32_t(Read32(data));
    if (n < 0 || n > len - 4)
        return -1;
    Set(data + 4, n);
    ++sig;
    return 4 + n;
}

int CSnmpBinary::DataTo(unsigned char* out) const
{
    Write32(out, uint32_t(m_len));
    if (m_len > 0)
        std::memcpy(out + 4, m_data, size_t(m_len));
    return 4 + m_len;
}

// --- CSnmpTime -----------------------------------------------------------

namespace {

// Seconds since the epoch of a packed local time; false when the C
// library cannot represent it. The daylight-saving flag is left to the
// library so that summer times do not shift by an hour.
bool ToEpoch(uint32_t packed, time_t& out)
{
    std::tm tm{};
    tm.tm_year = int(packed >> 20) - 1900;
    tm.tm_mon = int((packed >> 16) & 0x0F) - 1;
    tm.tm_mday = int((packed >> 11) & 0x1F);
    tm.tm_hour = int((packed >> 6) & 0x1F);
    tm.tm_min = int(packed & 0x3F);
    tm.tm_sec = 0;
    tm.tm_isdst = -1;
    time_t t = std::mktime(&tm);
    if (t == time_t(-1))
        return false;
    out = t;
    return true;
}

bool FromEpoch(time_t t, uint32_t& packed)
{
    std::tm tm{};
    if (!localtime_r(&t, &tm))
        return false;
    int year = tm.tm_year + 1900;
    if (year < 0 || year > 0xFFF)
        return false;
    packed = CSnmpTime::Pack(year, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min);
    return true;
}

}  // namespace

CSnmpTime::CSnmpTime() : CSnmpData(), m_time(uint32_t(GetTime())) {}

uint32_t CSnmpTime::Pack(int year, int month, int day, int hour, int minute)
{
    return (uint32_t(year & 0xFFF) << 20) | (uint32_t(month & 0x0F) << 16) | (uint32_t(day & 0x1F) << 11)
        | (uint32_t(hour & 0x1F) << 6) | uint32_t(minute & 0x3F);
}

unsigned long CSnmpTime::GetTime()
{
    uint32_t packed = 0;
    FromEpoch(std::time(nullptr), packed);
    return packed;
}

long CSnmpTime::operator-(const CSnmpTime& b) const
{
    if (m_time == b.m_time)
        return 0;
    time_t ta, tb;
    if (!ToEpoch(m_time, ta) || !ToEpoch(b.m_time, tb))
        return 0;
    return long((ta - tb) / 60);
}

CSnmpTime& CSnmpTime::operator+=(long minutes)
{
    if (minutes == 0)
        return *this;
    time_t t;
    long seconds;
    time_t sum;
    if (!ToEpoch(m_time, t) || __builtin_mul_overflow(minutes, 60L, &seconds)
        || __builtin_add_overflow(t, time_t(seconds), &sum))
        return *this;
    uint32_t packed;
    if (FromEpoch(sum, packed))
        m_time = packed;
    return *this;
}

void CSnmpTime::CopyFrom(const CSnmpData* src)
{
    if (auto s = dynamic_cast<const CSnmpTime*>(src))
        m_time = s->m_time;
}

int CSnmpTime::DataFrom(const unsigned char* data, int len, const char*& sig)
{
    if (!Marker(sig, 't') || !data || len < 4)
        return -1;
    m_time = Read32(data);
    ++sig;
    return 4;
}

int CSnmpTime::DataTo(unsigned char* out) const
{
    Write32(out, m_time);
    return 4;
}

// --- CSnmpArray ----------------------------------------------------------

CSnmpArray::CSnmpArray(CSnmpArray&& src) noexcept
    : CSnmpData(),
      m_slots(std::exchange(src.m_slots, nullptr)),
      m_count(std::exchange(src.m_count, 0)),
      m_capacity(std::exchange(src.m_capacity, 0))
{
}

CSnmpArray& CSnmpArray::operator=(CSnmpArray&& src) noexcept
{
    if (&src != this) {
        Clear();
        m_slots = std::exchange(src.m_slots, nullptr);
        m_count = std::exchange(src.m_count, 0);
        m_capacity = std::exchange(src.m_capacity, 0);
    }
    return *this;
}

CSnmpData* CSnmpArray::Get(int index) const
{
    if (index < 0 || index >= m_count)
        return nullptr;
    return m_slots[index];
}

int CSnmpArray::Insert(int index, CSnmpData* value)
{
    if (!value)
        return -1;
    if (index < 0 || index > m_count || value == this) {
        if (value != this)
            delete value;
        return -1;
    }
    if (m_count == m_capacity) {
        int grown = m_capacity + 8;
        CSnmpData** slots = new CSnmpData*[size_t(grown)];
        if (m_count > 0)
            std::memcpy(slots, m_slots, sizeof(CSnmpData*) * size_t(m_count));
        delete[] m_slots;
        m_slots = slots;
        m_capacity = grown;
    }
    for (int i = m_count; i > index; --i)
        m_slots[i] = m_slots[i - 1];
    m_slots[index] = value;
    ++m_count;
    return index;
}

int CSnmpArray::Set(int index, CSnmpData* value)
{
    if (!value)
        return -1;
    if (index < 0 || index >= m_count || value == this) {
        if (value != this)
            delete value;
        return -1;
    }
    if (m_slots[index] != value) {
        delete m_slots[index];
        m_slots[index] = value;
    }
    return index;
}

void CSnmpArray::Del(int index)
{
    if (index < 0 || index >= m_count)
        return;
    delete m_slots[index];
    for (int i = index; i + 1 < m_count; ++i)
        m_slots[i] = m_slots[i + 1];
    --m_count;
}

void CSnmpArray::Clear()
{
    for (int i = 0; i < m_count; ++i)
        delete m_slots[i];
    delete[] m_slots;
    m_slots = nullptr;
    m_count = 0;
    m_capacity = 0;
}

void CSnmpArray::CopyFrom(const CSnmpArray& src)
{
    if (&src == this)
        return;
    Clear();
    if (src.m_count <= 0)
        return;
    m_slots = new CSnmpData*[size_t(src.m_count)];
    m_capacity = src.m_count;
    for (int i = 0; i < src.m_count; ++i)
        m_slots[m_count++] = src.m_slots[i]->Dump();
}

void CSnmpArray::CopyFrom(const CSnmpData* src)
{
    if (auto s = dynamic_cast<const CSnmpArray*>(src))
        CopyFrom(*s);
}

const char* CSnmpArray::TypeStr() const
{
    std::string sig = "a";
    for (int i = 0; i < m_count; ++i)
        sig += m_slots[i]->TypeStr();
    m_sig.Set(sig.c_str());
    return m_sig.GetStr();
}

int CSnmpArray::DataSize() const
{
    int size = 4;
    for (int i = 0; i < m_count; ++i)
        size += m_slots[i]->DataSize();
    return size;
}

int CSnmpArray::DataTo(unsigned char* out) const
{
    Write32(out, uint32_t(m_count));
    int used = 4;
    for (int i = 0; i < m_count; ++i)
        used += m_slots[i]->DataTo(out + used);
    return used;
}

int CSnmpArray::DataFrom(const unsigned char* data, int len, const char*& sig)
{
    if (!Marker(sig, 'a') || !data || len < 4)
        return -1;
    // Nesting comes from the signature; bound it so no input exhausts the stack.
    static thread_local int depth = 0;
    if (depth >= MaxNesting)
        return -1;
    int32_t count = int32_t(Read32(data));
    const char* cur = sig + 1;
    Clear();
    if (count <= 0) {
        sig = cur;
        return 4;
    }
    // Each element needs its own marker and at least two bytes, so a count
    // beyond either is inconsistent (and must not size an allocation).
    if (size_t(count) > std::strlen(cur) || count > (len - 4) / 2)
        return -1;
    m_slots = new CSnmpData*[size_t(count)];
    m_capacity = count;
    struct Nest {
        int& d;
        explicit Nest(int& x) : d(x) { ++d; }
        ~Nest() { --d; }
    } nest(depth);
    int used = 4;
    for (int i = 0; i < count; ++i) {
        int n = -1;
        CSnmpData* e = CSnmpData::CreateFromData(data + used, len - used, cur, &n);
        if (!e || n < 0) {
            delete e;
            Clear();
            return -1;
        }
        m_slots[m_count++] = e;
        used += n;
    }
    sig = cur;
    return used;
}
