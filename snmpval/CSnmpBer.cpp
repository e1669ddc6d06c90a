#include "snmpval/CSnmpBer.h"

#include <cstdint>
#include <cstring>

namespace {

// Header of the element at p within avail octets: header size and content
// length. False when the header is cut or its length cannot be an int.
[[gnu::always_inline]] inline bool ParseHeader(const unsigned char* p, int avail, int& hdr, int& content)
{
    if (!p || avail < 2)
        return false;
    unsigned char first = p[1];
    if (first < 0x80) {
        hdr = 2;
        content = first;
        return true;
    }
    int n = first & 0x7F;
    if (n > avail - 2)
        return false;
    uint64_t len = 0;
    for (int i = 0; i < n; ++i) {
        len = (len << 8) | p[2 + i];
        if (len > INT32_MAX)
            return false;
    }
    hdr = 2 + n;
    content = int(len);
    return true;
}

// Total length of the element at p when its header is complete and it fits
// in avail octets; otherwise -1.
[[gnu::always_inline]] inline int TotalLen(const unsigned char* p, int avail)
{
    int hdr, content;
    if (!ParseHeader(p, avail, hdr, content) || content > avail - hdr)
        return -1;
    return hdr + content;
}

// Member by path inside the complete element at p of total octets: every
// member stepped over or into must lie inside its container.
[[gnu::always_inline]] inline const unsigned char* Walk(const unsigned char* p, int total, const int* path)
{
    for (; *path >= 0; ++path) {
        const unsigned char tag = p[0];
        if (tag != CSnmpBer::TagSequence && tag < 0xA0)
            return nullptr;
        int hdr = 0, content = 0;
        ParseHeader(p, total, hdr, content);  // complete: checked when p was reached
        const unsigned char* q = p + hdr;
        int remaining = content;
        for (int i = 0;; ++i) {
            if (remaining <= 0)
                return nullptr;  // index past the last member
            const int m = TotalLen(q, remaining);
            if (m < 0)
                return nullptr;
            if (i == *path) {
                p = q;
                total = m;
                break;
            }
            q += m;
            remaining -= m;
        }
    }
    return p;
}

// Octets of a header for content of len octets.
inline int HeaderSize(uint32_t len)
{
    return len < 0x80 ? 2 : len <= 0xFF ? 3 : len <= 0xFFFF ? 4 : len <= 0xFFFFFF ? 5 : 6;
}

// Length octets as this codec writes them.
[[gnu::always_inline]] inline int PutLength(unsigned char* out, uint32_t len)
{
    if (len < 0x80) {
        out[0] = (unsigned char)len;
        return 1;
    }
    if (len <= 0xFF) {
        out[0] = 0x81;
        out[1] = (unsigned char)len;
        return 2;
    }
    if (len <= 0xFFFF) {
        out[0] = 0x82;
        out[1] = (unsigned char)(len >> 8);
        out[2] = (unsigned char)len;
        return 3;
    }
    // Longer contents never occur in SNMP messages; write them correctly
    // rather than keep only the low 16 bits.
    if (len <= 0xFFFFFF) {
        out[0] = 0x83;
        out[1] = (unsigned char)(len >> 16);
        out[2] = (unsigned char)(len >> 8);
        out[3] = (unsigned char)len;
        return 4;
    }
    out[0] = 0x84;
    out[1] = (unsigned char)(len >> 24);
    out[2] = (unsigned char)(len >> 16);
    out[3] = (unsigned char)(len >> 8);
    out[4] = (unsigned char)len;
    return 5;
}

const unsigned char kNull[2] = {0x05, 0x00};

// memcpy for the few octets most elements hold, without a library call.
inline void CopyOctets(unsigned char* to, const unsigned char* from, int n)
{
    if (n >= 8 && n <= 16) {
        uint64_t a, b;
        std::memcpy(&a, from, 8);
        std::memcpy(&b, from + n - 8, 8);
        std::memcpy(to, &a, 8);
        std::memcpy(to + n - 8, &b, 8);
    } else if (n >= 4 && n < 8) {
        uint32_t a, b;
        std::memcpy(&a, from, 4);
        std::memcpy(&b, from + n - 4, 4);
        std::memcpy(to, &a, 4);
        std::memcpy(to + n - 4, &b, 4);
    } else if (n >= 2 && n < 4) {
        uint16_t a, b;
        std::memcpy(&a, from, 2);
        std::memcpy(&b, from + n - 2, 2);
        std::memcpy(to, &a, 2);
        std::memcpy(to + n - 2, &b, 2);
    } else if (n == 1) {
        to[0] = from[0];
    } else if (n > 16) {
        std::memcpy(to, from, size_t(n));
    }
}

}  // namespace

// --- storage ------------------------------------------------------------------

[[gnu::always_inline]] inline bool CSnmpBer::Content(int& hdr, int& content) const
{
    return ParseHeader(m_data, m_size, hdr, content) && content <= m_size - hdr;
}

bool CSnmpBer::Owns(const unsigned char* p) const
{
    const unsigned char* b = Storage();
    return p >= b && p < b + m_cap;
}

unsigned char* CSnmpBer::Room(int n)
{
    Forget();
    if (n > m_cap) {
        delete[] m_heap;
        m_heap = nullptr;
        m_cap = LocalSize;
        m_heap = new unsigned char[size_t(n)];
        m_cap = n;
    }
    return Storage();
}

// --- construction -----------------------------------------------------------

CSnmpBer::CSnmpBer(const unsigned char* element)
{
    Set(element);
}

CSnmpBer::CSnmpBer(const unsigned char* raw, int len)
{
    Set(raw, len);
}

CSnmpBer::CSnmpBer(const CSnmpBer& src) : CSnmpData(src)
{
    CopyFrom(src);
}

CSnmpBer::CSnmpBer(CSnmpBer&& src) noexcept
{
    *this = std::move(src);
}

CSnmpBer& CSnmpBer::operator=(const CSnmpBer& src)
{
    if (this != &src)
        CopyFrom(src);
    return *this;
}

CSnmpBer& CSnmpBer::operator=(CSnmpBer&& src) noexcept
{
    if (this == &src)
        return *this;
    Clear();
    if (src.m_heap) {
        m_heap = src.m_heap;
        m_cap = src.m_cap;
        m_data = src.m_data;
        src.m_heap = nullptr;
        src.m_cap = LocalSize;
    } else if (src.m_data) {
        std::memcpy(m_local, src.m_data, size_t(src.m_size));
        m_data = m_local;
    }
    m_size = src.m_size;
    src.m_data = nullptr;
    src.m_size = 0;
    src.Forget();
    return *this;
}

CSnmpBer& CSnmpBer::operator=(const unsigned char* element)
{
    Set(element);
    return *this;
}

void CSnmpBer::CopyFrom(const CSnmpBer& src)
{
    if (this == &src)
        return;
    Set(src.m_data, src.m_size);
}

void CSnmpBer::Clear()
{
    delete[] m_heap;
    m_heap = nullptr;
    m_cap = LocalSize;
    m_data = nullptr;
    m_size = 0;
    Forget();
}

// --- building ---------------------------------------------------------------

void CSnmpBer::Set(const unsigned char* element)
{
    Set(element, GetTotalLen(element));
}

void CSnmpBer::Set(const unsigned char* raw, int len)
{
    if (!raw || len <= 0) {
        Clear();
        return;
    }
    if (Owns(raw)) {
        if (len > m_cap - int(raw - Storage())) {
            const std::string copy(reinterpret_cast<const char*>(raw), size_t(len));
            Set(reinterpret_cast<const unsigned char*>(copy.data()), len);
            return;
        }
        // A part of our own element: it already fits the storage.
        Forget();
        std::memmove(Storage(), raw, size_t(len));
    } else {
        CopyOctets(Room(len), raw, len);
    }
    m_data = Storage();
    m_size = len;
}

void CSnmpBer::Set(unsigned char tag, int len, const unsigned char* content)
{
    if (len < 0 || (!content && len > 0))
        len = 0;
    if (len > 0 && Owns(content)) {
        const std::string copy(reinterpret_cast<const char*>(content), size_t(len));
        Put(tag, len, reinterpret_cast<const unsigned char*>(copy.data()));
        return;
    }
    Put(tag, len, content);
}

void CSnmpBer::Put(unsigned char tag, int len, const unsigned char* content)
{
    const int hdr = HeaderSize(uint32_t(len));
    unsigned char* buf = Room(hdr + len);
    buf[0] = tag;
    PutLength(buf + 1, uint32_t(len));
    CopyOctets(buf + hdr, content, len);
    m_data = buf;
    m_size = hdr + len;
}

void CSnmpBer::SetTag(unsigned char tag)
{
    // Contents will follow: keep room for the header to grow in front.
    unsigned char* buf = Room(HeaderRoom);
    m_data = buf + HeaderRoom - 2;
    m_data[0] = tag;
    m_data[1] = 0;
    m_size = 2;
}

void CSnmpBer::SetLong(long value)
{
    int32_t v = int32_t(uint32_t(value));
    unsigned char c[4];
    int n;
    if (v >= -128 && v <= 127)
        n = 1;
    else if (v >= -32768 && v <= 32767)
        n = 2;
    else
        n = 4;
    uint32_t u = uint32_t(v);
    for (int i = 0; i < n; ++i)
        c[i] = (unsigned char)(u >> (8 * (n - 1 - i)));
    Put(TagInteger, n, c);
}

void CSnmpBer::SetULong(unsigned long value, unsigned char tag)
{
    uint32_t v = uint32_t(value);
    int n = v <= 0xFF ? 1 : v <= 0xFFFF ? 2 : v <= 0xFFFFFF ? 3 : 4;
    unsigned char c[5];
    int k = 0;
    if ((v >> (8 * (n - 1))) & 0x80)
        c[k++] = 0x00;
    for (int i = n - 1; i >= 0; --i)
        c[k++] = (unsigned char)(v >> (8 * i));
    Put(tag, k, c);
}

void CSnmpBer::SetULong64(std::uint64_t value, unsigned char tag)
{
    int n = 1;
    while (n < 8 && (value >> (8 * n)) != 0)
        ++n;
    unsigned char c[9];
    int k = 0;
    if ((value >> (8 * (n - 1))) & 0x80)
        c[k++] = 0x00;
    for (int i = n - 1; i >= 0; --i)
        c[k++] = (unsigned char)(value >> (8 * i));
    Put(tag, k, c);
}

void CSnmpBer::SetOid(const unsigned long* arcs, int count)
{
    if (!ValidOid(arcs, count)) {
        Clear();
        return;
    }
    // Straight into the storage when even five octets per arc fit behind a
    // short header; otherwise through a buffer of the longest content.
    unsigned char local[MaxOidContent];
    const bool direct = count <= 27 && 2 + 1 + 5 * (count - 2) <= m_cap;
    unsigned char* buf = direct ? Storage() + 2 : local;
    int k = 0;
    // The first sub-identifier joins the first two arcs (2.999 is 1079,
    // 88 37); it is written in base 128 like every other.
    const uint64_t first = uint64_t(arcs[0]) * 40 + uint64_t(arcs[1]);
    for (int i = 1; i < count; ++i) {
        const uint64_t arc = i == 1 ? first : uint64_t(uint32_t(arcs[i]));
        if (arc < 0x80 && k < MaxOidContent) {
            buf[k++] = (unsigned char)arc;
            continue;
        }
        int need = 1;
        for (int shift = 28; shift > 0; shift -= 7)
            if (arc >> shift)
                ++need;
        if (k + need > MaxOidContent) {
            // Does not fit the content buffer: leave the object empty.
            Clear();
            return;
        }
        for (int shift = 28; shift > 0; shift -= 7)
            if (arc >> shift)
                buf[k++] = (unsigned char)(((arc >> shift) & 0x7F) | 0x80);
        buf[k++] = (unsigned char)(arc & 0x7F);
    }
    if (!direct) {
        Put(TagOid, k, local);
        return;
    }
    Forget();
    m_data = Storage();
    m_data[0] = TagOid;
    m_data[1] = (unsigned char)k;
    m_size = 2 + k;
}

bool CSnmpBer::ValidOid(const unsigned long* arcs, int count)
{
    if (!arcs || count < 2 || arcs[0] > 2 || (arcs[0] < 2 && arcs[1] > 39))
        return false;
    for (int i = 1; i < count; ++i)
        if (arcs[i] > 0xFFFFFFFFul)
            return false;
    return true;
}

void CSnmpBer::SetString(const char* text)
{
    int len = text ? int(std::strlen(text)) : 0;
    Set(TagOctetString, len, reinterpret_cast<const unsigned char*>(text));
}

void CSnmpBer::AddBer(const CSnmpBer& child)
{
    if (&child == this) {
        AddCopyOfSelf();
        return;
    }
    const unsigned char* add = child.m_data ? child.m_data : kNull;
    const int addLen = child.m_data ? child.m_size : 2;

    const unsigned char tag = GetTagType();
    int hdr = 0, oldLen = 0;
    if (!Content(hdr, oldLen))
        oldLen = 0;
    const int len = oldLen + addLen;
    const int newHdr = HeaderSize(uint32_t(len));

    // The contents stay where they are while the header fits in front and
    // the child fits behind; otherwise they move once into a larger block
    // (at least twice the old one, so a list of n members costs O(n)).
    unsigned char* buf = Storage();
    unsigned char* content = m_data ? m_data + hdr : nullptr;
    if (!content || content - buf < newHdr || (content - buf) + len > m_cap) {
        const int need = HeaderRoom + len;
        if (need <= m_cap) {
            if (oldLen)
                std::memmove(buf + HeaderRoom, content, size_t(oldLen));
        } else {
            int cap = m_cap * 2 > 256 ? m_cap * 2 : 256;
            if (cap < need)
                cap = need;
            unsigned char* grown = new unsigned char[size_t(cap)];
            if (oldLen)
                std::memcpy(grown + HeaderRoom, content, size_t(oldLen));
            delete[] m_heap;
            m_heap = grown;
            m_cap = cap;
            buf = grown;
        }
        content = buf + HeaderRoom;
    }
    CopyOctets(content + oldLen, add, addLen);
    m_data = content - newHdr;
    m_data[0] = tag;
    PutLength(m_data + 1, uint32_t(len));
    m_size = newHdr + len;
    Forget();
}

[[gnu::noinline]] void CSnmpBer::AddCopyOfSelf()
{
    const CSnmpBer copy(*this);
    AddBer(copy);
}

// --- reading ----------------------------------------------------------------


unsigned char* CSnmpBer::GetAddr() const
{
    // One buffer shared by every object of a thread; the next call overwrites it.
    static thread_local unsigned char addr[4];
    if (GetTagType() != TagIpAddress)
        return nullptr;
    std::memset(addr, 0, sizeof addr);
    const unsigned char* d = GetData();
    int n = GetDataLen();
    if (d)
        std::memcpy(addr, d, n < 4 ? n : 4);
    return addr;
}

int CSnmpBer::GetDataLen() const
{
    int hdr, content;
    return Content(hdr, content) ? content : 0;
}

const unsigned char* CSnmpBer::GetData() const
{
    int hdr, content;
    return Content(hdr, content) ? m_data + hdr : nullptr;
}

long CSnmpBer::GetLong() const
{
    int hdr, n;
    if (GetTagType() != TagInteger || !Content(hdr, n) || n <= 0)
        return 0;
    const unsigned char* d = m_data + hdr;
    uint32_t v = 0;
    for (int i = 0; i < n; ++i)
        v = (v << 8) | d[i];
    if (n < 4 && (d[0] & 0x80))
        v |= ~uint32_t(0) << (8 * n);  // sign-extend short contents
    return long(int32_t(v));
}

std::uint64_t CSnmpBer::GetULong64() const
{
    int hdr, n;
    if (!Content(hdr, n))
        return 0;
    const unsigned char* d = m_data + hdr;
    switch (m_data[0]) {
    case TagCounter64: {
        // More than eight value octets do not fit: undecodable.
        if (n > 9 || (n == 9 && d[0] != 0))
            return 0;
        std::uint64_t v = 0;
        for (int i = 0; i < n; ++i)
            v = (v << 8) | d[i];
        return v;
    }
    case TagCounter:
    case TagGauge:
    case TagTimeTicks:
        return GetULong();
    case TagInteger:
        return std::uint32_t(GetLong());
    default:
        return 0;
    }
}

unsigned long CSnmpBer::GetULong() const
{
    int hdr, n;
    if (!Content(hdr, n))
        return 0;
    const unsigned char* d = m_data + hdr;
    switch (m_data[0]) {
    case TagInteger:
    case TagCounter:
    case TagGauge:
    case TagTimeTicks: {
        uint32_t v = 0;
        for (int i = 0; i < n; ++i)
            v = (v << 8) | d[i];
        return v;
    }
    case TagIpAddress: {
        // Wire order into memory order: the first octet is the low byte.
        uint32_t v = 0;
        for (int i = 0; i < n && i < 4; ++i)
            v |= uint32_t(d[i]) << (8 * i);
        return v;
    }
    default:
        return 0;
    }
}

int CSnmpBer::GetOid(unsigned long* out, int capacity) const
{
    return GetOid(m_data, m_size, out, capacity);
}

const unsigned char* CSnmpBer::GetSequence(const int* path) const
{
    if (!m_data || !path || *path < 0)
        return m_data ? GetSeqData(m_data, m_size, path) : nullptr;
    int hdr, content;
    const unsigned char tag = m_data[0];
    if (!Content(hdr, content) || (tag != TagSequence && tag < 0xA0))
        return nullptr;
    // Members before the remembered one were checked when it was entered,
    // and the element has not changed since.
    const unsigned char* q = m_data + hdr;
    int i = 0;
    const uint64_t cursor = m_cursor.load(std::memory_order_relaxed);
    if (cursor && int(cursor >> 32) - 1 <= *path) {
        i = int(cursor >> 32) - 1;
        q = m_data + uint32_t(cursor);
    }
    const unsigned char* end = m_data + hdr + content;
    int m;
    for (;; ++i) {
        if (q >= end)
            return nullptr;  // index past the last member
        m = TotalLen(q, int(end - q));
        if (m < 0)
            return nullptr;
        if (i == *path)
            break;
        q += m;
    }
    m_cursor.store((uint64_t(uint32_t(i) + 1) << 32) | uint32_t(q - m_data), std::memory_order_relaxed);
    return Walk(q, m, path + 1);
}

// --- raw encoded data ---------------------------------------------------------

int CSnmpBer::GetTotalLen(const unsigned char* element)
{
    if (!element)
        return 0;
    const int64_t total = 2 + ((element[1] & 0x80) ? (element[1] & 0x7F) : 0) + int64_t(GetDataLen(element + 1));
    return total > INT32_MAX ? 0 : int(total);  // no element can be that long
}

int CSnmpBer::GetDataLen(const unsigned char* lengthOctets)
{
    if (!lengthOctets)
        return 0;
    unsigned char first = lengthOctets[0];
    if (first < 0x80)
        return first;
    int n = first & 0x7F;
    uint32_t len = 0;
    for (int i = 0; i < n; ++i)
        len = (len << 8) | lengthOctets[1 + i];
    return int(len & 0x7FFFFFFF);
}

int CSnmpBer::CheckedTotalLen(const unsigned char* p, int avail)
{
    return TotalLen(p, avail);
}

int CSnmpBer::FirstTwoArcs(const unsigned char* content, int n, unsigned long* two)
{
    // Base 128 like every other sub-identifier; below 40 it lies under arc
    // 0, below 80 under 1, the rest under 2.
    uint64_t v = 0;
    for (int i = 0; i < n; ++i) {
        v = (v << 7) | (content[i] & 0x7F);
        if (v > 0xFFFFFFFFull + 80)
            return -1;
        if (!(content[i] & 0x80)) {
            two[0] = v < 40 ? 0 : v < 80 ? 1 : 2;
            two[1] = (unsigned long)(v - 40 * two[0]);
            return i + 1;
        }
    }
    return -1;  // the content ends inside it
}

int CSnmpBer::GetOid(const unsigned char* element, int avail, unsigned long* out, int capacity)
{
    int hdr, n;
    if (!out || capacity < 2 || !ParseHeader(element, avail, hdr, n) || n > avail - hdr || element[0] != TagOid ||
        n <= 0)
        return -1;
    const unsigned char* d = element + hdr;
    int i = FirstTwoArcs(d, n, out);
    if (i < 0)
        return -1;
    int count = 2;
    uint64_t arc = 0;
    bool open = false;
    for (; i < n; ++i) {
        if (!open && d[i] < 0x80) {  // a one-octet arc
            if (count >= capacity)
                return -1;
            out[count++] = d[i];
            continue;
        }
        arc = (arc << 7) | (d[i] & 0x7F);
        if (arc > 0xFFFFFFFFull)
            return -1;
        if (d[i] & 0x80) {
            open = true;
            continue;
        }
        if (count >= capacity)
            return -1;
        out[count++] = (unsigned long)arc;
        arc = 0;
        open = false;
    }
    if (open)
        return -1;  // content ends inside an arc
    return count;
}

const unsigned char* CSnmpBer::GetSeqData(const unsigned char* element, const int* path)
{
    if (!element)
        return nullptr;
    // Trust the element's own header for the outer bound.
    return GetSeqData(element, GetTotalLen(element), path);
}

const unsigned char* CSnmpBer::GetSeqData(const unsigned char* element, int avail, const int* path)
{
    if (!element || !path)
        return nullptr;
    const int total = TotalLen(element, avail);
    return total < 0 ? nullptr : Walk(element, total, path);
}

// --- value family slots -------------------------------------------------------

CSnmpData* CSnmpBer::Dump() const
{
    return new CSnmpBer(*this);
}

void CSnmpBer::CopyFrom(const CSnmpData* src)
{
    if (const CSnmpBer* ber = dynamic_cast<const CSnmpBer*>(src))
        CopyFrom(*ber);
}

int CSnmpBer::DataSize() const
{
    return m_data ? m_size : 2;
}

int CSnmpBer::DataFrom(const unsigned char* data, int len, const char*& sig)
{
    if (!sig || *sig != 'r' || !data)
        return -1;
    int total = TotalLen(data, len);
    if (total < 0)
        return -1;
    Set(data, total);
    return total;
}

int CSnmpBer::DataTo(unsigned char* out) const
{
    if (!m_data) {
        out[0] = kNull[0];
        out[1] = kNull[1];
        return 2;
    }
    std::memcpy(out, m_data, m_size);
    return m_size;
}
