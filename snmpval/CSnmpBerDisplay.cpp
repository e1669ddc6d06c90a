// Display texts of BER elements: tag names, value texts and the
// unindented dumps of SEQUENCEs and PDUs that the views show.
//
// Everything here reads received data, so every read is bounded by the
// octets the caller says are there; an element that does not fit shows as
// "(null)".

#include <array>
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <string>

#include "snmpval/CSnmpBer.h"
#include "snmpval/CSnmpString.h"

const std::string CSnmpBer::m_strTag[256] = {
    /* 0x00 */ "", "", "INTEGER", "", "OCTET STRING", "NULL", "OBJECT IDENTIFIER", "",
    /* 0x08 */ "", "", "", "", "", "", "", "",
    /* 0x10 */ "", "", "", "", "", "", "", "",
    /* 0x18 */ "", "", "", "", "", "", "", "",
    /* 0x20 */ "", "", "", "", "", "", "", "",
    /* 0x28 */ "", "", "", "", "", "", "", "",
    /* 0x30 */ "SEQUENCE", "", "", "", "", "", "", "",
    /* 0x38 */ "", "", "", "", "", "", "", "",
    /* 0x40 */ "IpAddress", "Counter", "Gauge", "TimeTicks", "Opaque", "", "", "",
    /* 0x48 */ "", "", "", "", "", "", "", "",
    /* 0x50 */ "", "", "", "", "", "", "", "",
    /* 0x58 */ "", "", "", "", "", "", "", "",
    /* 0x60 */ "", "", "", "", "", "", "", "",
    /* 0x68 */ "", "", "", "", "", "", "", "",
    /* 0x70 */ "", "", "", "", "", "", "", "",
    /* 0x78 */ "", "", "", "", "", "", "", "",
    /* 0x80 */ "", "", "", "", "", "", "", "",
    /* 0x88 */ "", "", "", "", "", "", "", "",
    /* 0x90 */ "", "", "", "", "", "", "", "",
    /* 0x98 */ "", "", "", "", "", "", "", "",
    /* 0xA0 */ "SNMP GetRequest", "SNMP GetNextRequest", "SNMP GetResponse", "SNMP SetRequest", "SNMP Trap", "", "", "",
    /* 0xA8 */ "", "", "", "", "", "", "", "",
    /* 0xB0 */ "", "", "", "", "", "", "", "",
    /* 0xB8 */ "", "", "", "", "", "", "", "",
    /* 0xC0 */ "", "", "", "", "", "", "", "",
    /* 0xC8 */ "", "", "", "", "", "", "", "",
    /* 0xD0 */ "", "", "", "", "", "", "", "",
    /* 0xD8 */ "", "", "", "", "", "", "", "",
    /* 0xE0 */ "", "", "", "", "", "", "", "",
    /* 0xE8 */ "", "", "", "", "", "", "", "",
    /* 0xF0 */ "", "", "", "", "", "", "", "",
    /* 0xF8 */ "", "", "", "", "", "", "", "",
};

const std::string CSnmpBer::m_strTrapMsg[7] = {
    "coldStart", "warmStart", "linkDown", "linkUp", "authenticationFailure", "egpNeiborLoss", "enterpriseSpecific",
};

namespace {

// Containers nested deeper than this show as "..." rather than recurse on.
constexpr int kMaxDepth = 64;
const char kNullText[] = "(null)";

uint32_t Unsigned32(const unsigned char* d, int n)
{
    uint32_t v = 0;
    for (int i = 0; i < n; ++i)
        v = (v << 8) | d[i];
    return v;
}

int32_t Signed32(const unsigned char* d, int n)
{
    if (n <= 0)
        return 0;
    uint32_t v = Unsigned32(d, n);
    if (n < 4 && (d[0] & 0x80))
        v |= ~uint32_t(0) << (8 * n);
    return int32_t(v);
}

void AppendOid(std::string& out, const unsigned char* d, int n)
{
    if (n <= 0) {
        out += kNullText;
        return;
    }
    std::string text;
    char num[32];
    unsigned long two[2];
    int i = CSnmpBer::FirstTwoArcs(d, n, two);
    if (i < 0) {
        out += kNullText;
        return;
    }
    std::snprintf(num, sizeof num, "%lu.%lu", two[0], two[1]);
    text += num;
    int arcs = 2;
    size_t fitted = text.size();  // length that still leaves room for "..."
    bool cut = false;
    uint64_t arc = 0;
    bool open = false;
    for (; i < n; ++i) {
        arc = (arc << 7) | (d[i] & 0x7F);
        if (arc > 0xFFFFFFFFull) {
            out += kNullText;  // an arc wider than 32 bits: not an OID we can read
            return;
        }
        open = (d[i] & 0x80) != 0;
        if (open)
            continue;
        if (!cut) {
            if (arcs >= CSnmpBer::MaxDisplayArcs) {
                cut = true;
            } else {
                int k = std::snprintf(num, sizeof num, ".%" PRIu32, uint32_t(arc));
                if (text.size() + size_t(k) > size_t(CSnmpBer::MaxDisplayChars)) {
                    cut = true;
                } else {
                    text.append(num, size_t(k));
                    ++arcs;
                    if (text.size() + 3 <= size_t(CSnmpBer::MaxDisplayChars))
                        fitted = text.size();
                }
            }
        }
        arc = 0;
    }
    if (open) {
        out += kNullText;  // the content ends inside an arc
        return;
    }
    if (cut) {
        text.resize(fitted);
        text += "...";
    }
    out += text;
}

void AppendHex(std::string& out, const unsigned char* d, int n)
{
    static const char digits[] = "0123456789abcdef";
    out.reserve(out.size() + size_t(n) * 3);
    for (int i = 0; i < n; ++i) {
        if (i)
            out += ':';
        out += digits[d[i] >> 4];
        out += digits[d[i] & 0x0F];
    }
}

void AppendElement(std::string& out, const unsigned char* p, int avail, int mode, int depth);

// Members of a container, each in mode 1 on its own line.
void AppendMembers(std::string& out, const unsigned char* d, int n, int depth)
{
    int remaining = n;
    while (remaining > 0) {
        int m = CSnmpBer::CheckedTotalLen(d, remaining);
        if (m < 0) {
            // The rest does not hold a whole element: show it once and stop.
            out += kNullText;
            out += '\n';
            return;
        }
        AppendElement(out, d, m, 1, depth + 1);
        out += '\n';
        d += m;
        remaining -= m;
    }
}

void AppendElement(std::string& out, const unsigned char* p, int avail, int mode, int depth)
{
    int total = p ? CSnmpBer::CheckedTotalLen(p, avail) : -1;
    if (total < 0) {
        out += kNullText;
        return;
    }
    int hdr = 2 + ((p[1] & 0x80) ? (p[1] & 0x7F) : 0);
    const unsigned char* d = p + hdr;
    int n = total - hdr;
    char num[48];
    switch (p[0]) {
    case CSnmpBer::TagInteger:
        std::snprintf(num, sizeof num, "%" PRId32, Signed32(d, n));
        out += num;
        break;
    case CSnmpBer::TagOctetString: {
        bool control = false;
        if (mode == 1)
            for (int i = 0; i < n && !control; ++i)
                control = d[i] < 0x20;
        if (control) {
            AppendHex(out, d, n);
        } else {
            int k = 0;
            while (k < n && d[k] != 0)
                ++k;  // an embedded zero ends the text
            out.append(reinterpret_cast<const char*>(d), size_t(k));
        }
        break;
    }
    case CSnmpBer::TagOid:
        AppendOid(out, d, n);
        break;
    case CSnmpBer::TagSequence:
    case CSnmpBer::TagGetRequest:
    case CSnmpBer::TagGetNextRequest:
    case CSnmpBer::TagGetResponse:
    case CSnmpBer::TagSetRequest:
    case CSnmpBer::TagGetBulkRequest:
        if (p[0] != CSnmpBer::TagSequence)
            out += "PDU";
        if (depth >= kMaxDepth) {
            out += "{...}";
            break;
        }
        out += "{\n";
        AppendMembers(out, d, n, depth);
        out += '}';
        break;
    case CSnmpBer::TagIpAddress:
        if (n < 4) {
            out += kNullText;
        } else {
            std::snprintf(num, sizeof num, "%d.%d.%d.%d", d[0], d[1], d[2], d[3]);
            out += num;
        }
        break;
    case CSnmpBer::TagCounter:
    case CSnmpBer::TagGauge:
        std::snprintf(num, sizeof num, "%" PRIu32, Unsigned32(d, n));
        out += num;
        break;
    case CSnmpBer::TagTimeTicks: {
        uint32_t t = Unsigned32(d, n);
        std::snprintf(num, sizeof num, "%u:%02u:%02u.%02u", unsigned(t / 360000), unsigned((t / 6000) % 60),
                      unsigned((t / 100) % 60), unsigned(t % 100));
        out += num;
        break;
    }
    case CSnmpBer::TagCounter64: {
        // Up to eight value octets (a ninth, leading zero keeps it positive).
        uint64_t v = 0;
        bool fits = n >= 1 && n <= 9 && (n < 9 || d[0] == 0);
        for (int i = 0; fits && i < n; ++i)
            v = (v << 8) | d[i];
        if (fits) {
            std::snprintf(num, sizeof num, "%" PRIu64, v);
            out += num;
        } else {
            out += kNullText;
        }
        break;
    }
    case CSnmpBer::TagNoSuchObject:
    case CSnmpBer::TagNoSuchInstance:
    case CSnmpBer::TagEndOfMibView:
        // The exception's own name stands where the value would.
        out += CSnmpBer::TagName(p[0]);
        break;
    default:  // NULL, Opaque, Trap and every unnamed tag
        out += kNullText;
        break;
    }
}

}  // namespace

const std::string& CSnmpBer::TagName(unsigned char tag)
{
    // The SNMPv2 types beside the SNMPv1 table.
    static const std::string counter64 = "Counter64", noSuchObject = "noSuchObject",
                             noSuchInstance = "noSuchInstance", endOfMibView = "endOfMibView",
                             getBulk = "SNMP GetBulkRequest";
    switch (tag) {
    case TagCounter64: return counter64;
    case TagNoSuchObject: return noSuchObject;
    case TagNoSuchInstance: return noSuchInstance;
    case TagEndOfMibView: return endOfMibView;
    case TagGetBulkRequest: return getBulk;
    default: return m_strTag[tag];
    }
}

const std::string& CSnmpBer::TagTypeText(unsigned char tag)
{
    static const std::array<std::string, 256> texts = [] {
        std::array<std::string, 256> t;
        for (int i = 0; i < 256; ++i) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "(0x%02x)", i);
            t[size_t(i)] = TagName((unsigned char)i) + hex;
        }
        return t;
    }();
    return texts[tag];
}

void CSnmpBer::GetTagType(std::string& text) const { text = TagTypeText(GetTagType()); }

void CSnmpBer::AppendDisplayString(std::string& out, const unsigned char* element, int avail, int mode)
{
    if (!element)
        out += kNullText;
    else
        AppendElement(out, element, avail, mode, 0);
}

CSnmpString CSnmpBer::GetString(int mode) const
{
    if (!m_data)
        return CSnmpString(kNullText);
    return GetDisplayString(m_data, GetBufferSize(), mode);
}

CSnmpString CSnmpBer::GetDisplayString(const unsigned char* element, int mode)
{
    if (!element)
        return CSnmpString(kNullText);
    return GetDisplayString(element, GetTotalLen(element), mode);
}

CSnmpString CSnmpBer::GetDisplayString(const unsigned char* element, int avail, int mode)
{
    std::string out;
    AppendDisplayString(out, element, avail, mode);
    CSnmpString text;
    text.Set(out.data(), int(out.size()));
    return text;
}
