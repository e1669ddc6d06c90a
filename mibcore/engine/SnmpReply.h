#pragma once
// Reading a received datagram, shared by the exchange and the walk (and by
// the fuzz target, so it exercises exactly this code). Everything here is
// bounded by the real length of the data.

#include "snmpval/CSnmpBer.h"

namespace snmpengine {

struct Reply {
    long version = -1;     // the message's version field
    int pduType = 0;       // tag of the PDU (0xA2 for a GetResponse)
    long requestId = 0;    // 0 when the datagram does not decode
    long errorStatus = 0;
    long errorIndex = 0;
    CSnmpBer bindings;     // the variable-bindings SEQUENCE
};

// Decode a datagram of len octets. False (requestId 0) when it is not a
// message with a PDU holding request-id, error-status, error-index and a
// variable-bindings SEQUENCE.
bool ParseReply(const unsigned char* data, int len, Reply& reply);

// Name of binding k of a reply's bindings decoded into arcs (room for
// capacity arcs): the arc count, or -1 when there is no such binding or its
// name is not a readable OID.
int BindingName(const CSnmpBer& bindings, int k, unsigned long* arcs, int capacity);

// Subtree test of the walk for binding k of a reply's bindings: its name
// agrees with base in the first P arcs (P = columnPosition, or baseLength
// when -1), has column at arc P and the base's last arc at baseLength - 1.
// arcs is scratch room for capacity arcs; *nameLen receives the name's
// length (or -1).
bool InSubtree(const CSnmpBer& bindings, int k, const unsigned long* base, int baseLength,
               unsigned long column, int columnPosition, unsigned long* arcs, int capacity,
               int* nameLen);

// -1, 0, 1 as a is before, equal to or after b in OID order.
int CompareOid(const unsigned long* a, int na, const unsigned long* b, int nb);

}  // namespace snmpengine
