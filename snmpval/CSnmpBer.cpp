#include "snmpval/CSnmpBer.h"

#include <cstdint>
#include <cstring>

namespace {

// Header of the element at p within avail octets: header size and content
// length. False when the header is cut or its length cannot be an int.
bool ParseHeader(const unsigned char* p, int avail, int& hdr, int& content)
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

// Length octets as this codec writes them.
int PutLength(unsigned char* out, uint32_t len)
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

}  // namespace

// --- storage ------------------------------------------------------------------

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

CSnmpBer::CSnmpBer() = default;

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

CSnmpBer::~CSnmpBer()
{
    delete[] m_heap;
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
        std::memcpy(Room(len), raw, size_t(len));
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
        Set(tag, len, reinterpret_cast<const unsigned char*>(copy.data()));
        return;
    }
    unsigned char header[6];
    header[0] = tag;
    const int hdr = 1 + PutLength(header + 1, uint32_t(len));
    unsigned char* buf = Room(hdr + len);
    std::memcpy(buf, header, size_t(hdr));
    if (len > 0)
        std::memcpy(buf + hdr, content, size_t(len));
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
    Set(TagInteger, n, c);
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
    Set(tag, k, c);
}

void CSnmpBer::SetOid(const unsigned long* arcs, int count)
{
    if (!arcs || count < 2) {
        Clear();
        return;
    }
    unsigned char buf[MaxOidContent];
    int k = 0;
    buf[k++] = (unsigned char)(uint32_t(arcs[0]) * 40 + uint32_t(arcs[1]));
    for (int i = 2; i < count; ++i) {
        const uint32_t arc = uint32_t(arcs[i]);
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
    Set(TagOid, k, buf);
}

void CSnmpBer::SetString(const char* text)
{
    int len = text ? int(std::strlen(text)) : 0;
    Set(TagOctetString, len, reinterpret_cast<const unsigned char*>(text));
}

void CSnmpBer::AddBer(const CSnmpBer& child)
{
    if (&child == this) {
        const CSnmpBer copy(*this);
        AddBer(copy);
        return;
    }
    const unsigned char* add = child.m_data ? child.m_data : kNull;
    const int addLen = child.m_data ? child.m_size : 2;

    const unsigned char tag = GetTagType();
    int hdr = 0, oldLen = 0;
    if (!Content(hdr, oldLen))
        oldLen = 0;
    const int len = oldLen + addLen;
    unsigned char header[6];
    header[0] = tag;
    const int newHdr = 1 + PutLength(header + 1, uint32_t(len));

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
    std::memcpy(content + oldLen, add, size_t(addLen));
    m_data = content - newHdr;
    std::memcpy(m_data, header, size_t(newHdr));
    m_size = newHdr + len;
    Forget();
}

// --- reading ----------------------------------------------------------------

bool CSnmpBer::Content(int& hdr, int& content) const
{
    return ParseHeader(m_data, m_size, hdr, content) && content <= m_size - hdr;
}

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

unsigned char CSnmpBer::GetTagType() const
{
    return m_data ? m_data[0] : (unsigned char)TagNull;
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
    if (GetTagType() != TagInteger)
        return 0;
    const unsigned char* d = GetData();
    int n = GetDataLen();
    if (!d || n <= 0)
        return 0;
    uint32_t v = 0;
    for (int i = 0; i < n; ++i)
        v = (v << 8) | d[i];
    if (n < 4 && (d[0] & 0x80))
        v |= ~uint32_t(0) << (8 * n);  // sign-extend short contents
    return long(int32_t(v));
}

unsigned long CSnmpBer::GetULong() const
{
    unsigned char tag = GetTagType();
    const unsigned char* d = GetData();
    int n = GetDataLen();
    if (!d)
        return 0;
    switch (tag) {
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
        m = CheckedTotalLen(q, int(end - q));
        if (m < 0)
            return nullptr;
        if (i == *path)
            break;
        q += m;
    }
    m_cursor.store((uint64_t(uint32_t(i) + 1) << 32) | uint32_t(q - m_data), std::memory_order_relaxed);
    return GetSeqData(q, m, path + 1);
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
    int hdr, content;
    if (!ParseHeader(p, avail, hdr, content))
        return -1;
    if (content > avail - hdr)
        return -1;
    return hdr + content;
}

int CSnmpBer::GetOid(const unsigned char* element, int avail, unsigned long* out, int capacity)
{
    int hdr, n;
    if (!out || capacity < 2 || CheckedTotalLen(element, avail) < 0 || element[0] != TagOid ||
        !ParseHeader(element, avail, hdr, n) || n <= 0)
        return -1;
    const unsigned char* d = element + hdr;
    out[0] = d[0] / 40;
    out[1] = d[0] % 40;
    int count = 2;
    uint64_t arc = 0;
    bool open = false;
    for (int i = 1; i < n; ++i) {
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
    const unsigned char* p = element;
    int total = CheckedTotalLen(p, avail);
    if (total < 0)
        return nullptr;
    for (; *path >= 0; ++path) {
        unsigned char tag = p[0];
        if (tag != TagSequence && tag < 0xA0)
            return nullptr;
        int hdr, content;
        ParseHeader(p, total, hdr, content);
        const unsigned char* q = p + hdr;
        int remaining = content;
        for (int i = 0;; ++i) {
            if (remaining <= 0)
                return nullptr;  // index past the last member
            int m = CheckedTotalLen(q, remaining);
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
    int total = CheckedTotalLen(data, len);
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
