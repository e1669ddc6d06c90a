#pragma once
// The system's only way to talk to the agent: one SNMPv1 exchange, and a
// walk of table columns built on it.
//
// Result codes (texts in CSnmpBerList::m_ErrMsg): 0 success, 1..5 the
// agent's error-status (v2c statuses 6..18 as 106..118, see SnmpMessage.h),
// 17 base OID unusable, 18 no agent address, 19 the
// address is not numeric in the configured family, 20 send failed, 21 no
// matching reply in time, 22 the walk's first reply left the subtree,
// 201..209 SNMPv3 refusals (below).

#include "snmpval/CSnmpBer.h"

class MIBAgent;
class MIBBasicItem;
class CSnmpBerList;

namespace snmpengine {
enum Result : int {
    Ok = 0,
    TooBig = 1,
    NoSuchName = 2,
    BadValue = 3,
    ReadOnly = 4,
    GenErr = 5,
    CounterInit = 16,
    BufferError = 17,
    NoAddress = 18,
    BadAddress = 19,
    SendError = 20,
    RecvTimeout = 21,
    OutOfSubtree = 22,
    Skipped = 23,
    // A walk stopped at the caller's row limit (no text of its own: the
    // caller's message names the limit).
    RowLimit = 24,
    // SNMPv3: the agent's reports and what the engine concludes, apart from
    // every other range (texts in CSnmpBerList::m_ErrMsgV3).
    V3UnknownUserName = 201,
    V3UnsupportedSecLevel = 202,
    V3WrongDigest = 203,
    V3DecryptionError = 204,
    V3UnknownEngineId = 205,
    V3NotInTimeWindow = 206,
    V3PrivacyTimeout = 207,  // silence after discovery at authPriv
    V3NoKeys = 208,          // no keys for the user settings
    V3OtherReport = 209,
};
// Size of the arc buffers of the walk, and of the receive buffer: room for
// any UDP reply over IPv4.
inline constexpr int MaxOidArcs = 8192;
inline constexpr int RecvBufferSize = 65507;
// UDP port of the agent: 161, or QUILLON_SNMP_PORT when it names a valid
// port (read once, for the demo).
int AgentPort();

// One GetBulkRequest exchange, as SnmpData does a Get: for agents that
// speak v2c (the message carries the agent's version). A reply too large
// for the receive buffer gives TooBig, like the agent's own tooBig.
int SnmpBulk(MIBAgent* agent, MIBBasicItem* item, CSnmpBer& bindings, int nonRepeaters, int maxRepetitions,
             void* keepRunning);
}  // namespace snmpengine

// One exchange: wrap bindings into a request of pduType (0xA0, 0xA1, 0xA3),
// (over v3: discovery first when the session has not met this agent;
// replies are authenticated and decrypted before anything is believed;
// notInTimeWindow and unknownEngineID repeat the request once),
// send it once from item's socket and wait up to RecvErrCnt + 1 time-outs
// for the GetResponse of the agent's version from the agent's port with the same request
// id; other datagrams are discarded without extending or ending a wait. On
// 0 from a reply, bindings holds the reply's variable-bindings. keepRunning
// (an int*, may be null) at 0 stops the wait and returns 0 with the
// bindings unchanged; so does a stop of the BackgroundCycle running it.
int SnmpData(MIBAgent* agent, MIBBasicItem* item, CSnmpBer& bindings, unsigned char pduType,
             void* keepRunning);

// Walk columns of a table with GetNextRequests (pduType 0xA1; any other
// type makes one exchange). Each stored row is the complete bindings of one
// reply, one binding per column in column order. Returns the row count, or
// -1 (lastError 18 or 17) when no request could be built. rowLimit > 0
// bounds the rows stored: a further row ends the walk with lastError 24.
int SnmpDynamicList(MIBAgent* agent, MIBBasicItem* item, CSnmpBerList* rows, unsigned long* base,
                    int baseLength, unsigned long* columns, int columnCount, int* failureCounter,
                    int columnPosition, unsigned char pduType, void* keepRunning, int failureBudget,
                    int* lastError, int rowLimit = 0);
