#pragma once
// What differs between the protocol versions, in one place: how a request
// message is built for the agent's version, whether a received datagram
// answers the request in flight, and what its error-status means. The
// exchange (SnmpData) and the walks call only these, so windows never look
// at the version.

#include "mibcore/agent/MIBAgent.h"
#include "snmpval/CSnmpBer.h"

namespace snmpengine {

struct Reply;

// The PDU of one request. For GetBulk, field1/field2 are non-repeaters and
// max-repetitions; for the other types error-status and error-index (0).
struct RequestPdu {
    unsigned char type = CSnmpBer::TagGetRequest;
    int requestId = 0;
    long field1 = 0;
    long field2 = 0;
};

// The version field of the agent's messages (v1 0, v2c 1, v3 3).
long VersionField(const MIBAgent& agent);

// The community of a request: the read community for Get, GetNext and
// GetBulk, the write community for Set, empty for anything else. UTF-8.
const std::string& CommunityFor(MIBAgent& agent, unsigned char pduType);

// The whole request message for the agent's version: SEQUENCE { version,
// community (CP932 on the wire), PDU { request-id, field1, field2,
// bindings } }.
void BuildRequest(MIBAgent& agent, const RequestPdu& pdu, const CSnmpBer& bindings, CSnmpBer& message);

// Whether a decoded datagram is the answer to the request with this id: a
// GetResponse of the agent's version carrying that id.
bool AnswersRequest(const MIBAgent& agent, const Reply& reply, int requestId);

// The result code of an answer's non-zero error-status. v1: 1..5 as they
// are, anything else genErr (5). v2c: 1..5 as they are, 6..18 (noAccess ..
// inconsistentName) as AgentStatusBase + status (106..118, well apart
// from the engine's own codes 16..23), anything else genErr.
inline constexpr int AgentStatusBase = 100;
int ResultOfStatus(const MIBAgent& agent, long errorStatus);

// Whether the agent's version knows GetBulk and the v2 exceptions (v2c, v3).
bool SpeaksBulk(const MIBAgent& agent);

}  // namespace snmpengine
