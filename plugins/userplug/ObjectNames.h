#pragma once
// Object identifiers as the operator types them: dotted numbers, dotted
// names from a root of the MIB tree, mixed forms, and names that start
// below the roots ("sysUpTime.0").

#include <string>

namespace userplug {

// Parses text into at most capacity sub-identifiers; their count, or 0 when
// the text is empty, names something the tree does not hold, has more
// components than fit, is no OID a request can carry (one arc, a first
// arc over 2, a second over 39 under 0 or 1), or holds a character that a
// CP932 file cannot keep. A first component that is neither a root nor a
// number names the first node of that name in the tree (depth first, in
// ascending order of sub-identifiers, so of a name defined twice the one
// with the smaller OID wins); the rest continue below it.
int ResolveObjectId(const std::string& text, unsigned long* out, int capacity);

}  // namespace userplug
