#pragma once
// A small BER encoder/decoder of the fault agent's own, written apart from
// the system's codec so that a fault there cannot hide itself in the tests.
// Lengths up to four octets are read; integers and arcs up to 32 bits.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace faultpeer {

using Bytes = std::vector<std::uint8_t>;
using Oid = std::vector<std::uint32_t>;

namespace ber {

Bytes Length(std::size_t n);
Bytes Tlv(std::uint8_t tag, const Bytes& content);
Bytes Integer(long value);
Bytes Unsigned(std::uint8_t tag, std::uint32_t value);
Bytes Octets(const std::string& text);
Bytes ObjectId(const Oid& arcs);
Bytes Null();
Bytes Concat(const std::vector<Bytes>& parts);

// One decoded element header inside a buffer.
struct Element {
    std::uint8_t tag = 0;
    const std::uint8_t* content = nullptr;
    std::size_t length = 0;  // content octets
    std::size_t total = 0;   // header + content
};

// Element at p when it fits in avail octets.
bool Read(const std::uint8_t* p, std::size_t avail, Element& out);
// Members of a constructed element, in order; false when they do not tile
// its contents exactly.
bool Members(const Element& e, std::vector<Element>& out);
bool ToInteger(const Element& e, long& value);
bool ToOid(const Element& e, Oid& arcs);

}  // namespace ber
}  // namespace faultpeer
