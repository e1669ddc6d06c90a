#include "tests/support/faultpeer/MiniBer.h"

namespace faultpeer::ber {

Bytes Length(std::size_t n)
{
    if (n < 0x80)
        return {static_cast<std::uint8_t>(n)};
    Bytes octets;
    while (n) {
        octets.insert(octets.begin(), static_cast<std::uint8_t>(n & 0xFF));
        n >>= 8;
    }
    octets.insert(octets.begin(), static_cast<std::uint8_t>(0x80 | octets.size()));
    return octets;
}

Bytes Tlv(std::uint8_t tag, const Bytes& content)
{
    Bytes out{tag};
    Bytes len = Length(content.size());
    out.insert(out.end(), len.begin(), len.end());
    out.insert(out.end(), content.begin(), content.end());
    return out;
}

Bytes Integer(long value)
{
    // Minimal two's complement of the 32-bit value.
    const std::int32_t v = static_cast<std::int32_t>(value);
    Bytes content;
    for (int shift = 24; shift >= 0; shift -= 8)
        content.push_back(static_cast<std::uint8_t>((static_cast<std::uint32_t>(v) >> shift) & 0xFF));
    while (content.size() > 1 &&
           ((content[0] == 0x00 && !(content[1] & 0x80)) || (content[0] == 0xFF && (content[1] & 0x80))))
        content.erase(content.begin());
    return Tlv(0x02, content);
}

Bytes Unsigned(std::uint8_t tag, std::uint32_t value)
{
    Bytes content;
    for (int shift = 24; shift >= 0; shift -= 8)
        content.push_back(static_cast<std::uint8_t>((value >> shift) & 0xFF));
    while (content.size() > 1 && content[0] == 0)
        content.erase(content.begin());
    if (content[0] & 0x80)
        content.insert(content.begin(), 0x00);
    return Tlv(tag, content);
}

Bytes Octets(const std::string& text)
{
    return Tlv(0x04, Bytes(text.begin(), text.end()));
}

Bytes ObjectId(const Oid& arcs)
{
    // Sub-identifiers: the first joins the first two arcs (one arc: n.0).
    std::vector<std::uint64_t> subs;
    if (!arcs.empty())
        subs.push_back(std::uint64_t(arcs[0]) * 40 + (arcs.size() > 1 ? arcs[1] : 0));
    for (std::size_t i = 2; i < arcs.size(); ++i)
        subs.push_back(arcs[i]);
    Bytes content;
    for (std::uint64_t arc : subs) {
        Bytes groups{static_cast<std::uint8_t>(arc & 0x7F)};
        arc >>= 7;
        while (arc) {
            groups.insert(groups.begin(), static_cast<std::uint8_t>(0x80 | (arc & 0x7F)));
            arc >>= 7;
        }
        content.insert(content.end(), groups.begin(), groups.end());
    }
    return Tlv(0x06, content);
}

Bytes Null()
{
    return {0x05, 0x00};
}

Bytes Concat(const std::vector<Bytes>& parts)
{
    Bytes out;
    for (const Bytes& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

bool Read(const std::uint8_t* p, std::size_t avail, Element& out)
{
    if (!p || avail < 2)
        return false;
    std::size_t header = 2;
    std::size_t length = p[1];
    if (length & 0x80) {
        const std::size_t n = length & 0x7F;
        if (n == 0 || n > 4 || avail < 2 + n)
            return false;
        length = 0;
        for (std::size_t i = 0; i < n; ++i)
            length = (length << 8) | p[2 + i];
        header += n;
    }
    if (length > avail - header)
        return false;
    out.tag = p[0];
    out.content = p + header;
    out.length = length;
    out.total = header + length;
    return true;
}

bool Members(const Element& e, std::vector<Element>& out)
{
    out.clear();
    std::size_t pos = 0;
    while (pos < e.length) {
        Element m;
        if (!Read(e.content + pos, e.length - pos, m))
            return false;
        out.push_back(m);
        pos += m.total;
    }
    return true;
}

bool ToInteger(const Element& e, long& value)
{
    if (e.tag != 0x02 || e.length < 1 || e.length > 4)
        return false;
    std::int32_t v = (e.content[0] & 0x80) ? -1 : 0;
    for (std::size_t i = 0; i < e.length; ++i)
        v = static_cast<std::int32_t>((static_cast<std::uint32_t>(v) << 8) | e.content[i]);
    value = v;
    return true;
}

bool ToOid(const Element& e, Oid& arcs)
{
    arcs.clear();
    if (e.tag != 0x06 || e.length < 1)
        return false;
    std::uint64_t arc = 0;
    bool open = false;
    for (std::size_t i = 0; i < e.length; ++i) {
        arc = (arc << 7) | (e.content[i] & 0x7F);
        // The first sub-identifier holds two arcs, the second up to 2^32 - 1.
        if (arc > 0xFFFFFFFFull + (arcs.empty() ? 80 : 0))
            return false;
        open = e.content[i] & 0x80;
        if (open)
            continue;
        if (arcs.empty()) {
            const std::uint32_t top = arc < 40 ? 0 : arc < 80 ? 1 : 2;
            arcs.push_back(top);
            arcs.push_back(static_cast<std::uint32_t>(arc - 40 * top));
        } else {
            arcs.push_back(static_cast<std::uint32_t>(arc));
        }
        arc = 0;
    }
    return !open;
}

}  // namespace faultpeer::ber
