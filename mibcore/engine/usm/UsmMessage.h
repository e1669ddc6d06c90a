#pragma once
// The SNMPv3 message with user-based security parameters, built and read
// with CSnmpBer:
//
//   SEQUENCE { msgVersion 3,
//              SEQUENCE { msgID, msgMaxSize, msgFlags (1 octet), msgSecurityModel 3 },
//              OCTET STRING { SEQUENCE { engineID, boots, time, userName,
//                                        authParams, privParams } },
//              ScopedPDU | OCTET STRING (the encrypted ScopedPDU) }
//
// Reading is bounded by the datagram's real length and by the limits of the
// model (engine ID and user name at most 32 octets, privParams 0 or 8).
// Nothing here checks a digest: UsmSecurity does that before it uses any
// field of a received message.

#include <string>
#include <vector>

#include "mibcore/engine/SnmpReply.h"
#include "snmpval/CSnmpBer.h"

namespace snmpengine::usm {

inline constexpr unsigned char FlagAuth = 0x01;
inline constexpr unsigned char FlagPriv = 0x02;
inline constexpr unsigned char FlagReportable = 0x04;
inline constexpr unsigned char TagGetBulkRequest = 0xA5;
inline constexpr unsigned char TagReport = 0xA8;
inline constexpr int MaxEngineIdLength = 32;
inline constexpr int MaxUserNameLength = 32;
inline constexpr long SecurityModelUsm = 3;

// The security parameters of a message.
struct SecurityParameters {
    std::string engineId;    // msgAuthoritativeEngineID
    long boots = 0;          // msgAuthoritativeEngineBoots
    long time = 0;           // msgAuthoritativeEngineTime
    std::string userName;
    std::string authParams;  // the digest (zeros while a message is signed)
    std::string privParams;  // the AES salt
};

// A received message's header, with where its parts lie in the datagram.
struct Header {
    long msgId = 0;
    long maxSize = 0;
    unsigned char flags = 0;
    long securityModel = 0;
    SecurityParameters security;
    int authOffset = -1;  // contents of msgAuthenticationParameters
    int dataOffset = -1;  // the msgData element (ScopedPDU or OCTET STRING)
    int dataLength = 0;
};

enum class HeaderResult {
    Ok,
    NotV3,                  // not a SEQUENCE starting with version 3
    Malformed,              // global data or msgData missing or cut
    BadSecurityParameters,  // USM parameters missing, cut or oversized
};

// Split a datagram of len octets into its header parts.
HeaderResult ParseHeader(const unsigned char* data, int len, Header& header);

// The scoped PDU { contextEngineID, contextName, pdu }.
CSnmpBer ScopedPdu(const std::string& contextEngineId, const std::string& contextName, const CSnmpBer& pdu);
// A PDU of the given tag (errorStatus/errorIndex are nonRepeaters and
// maxRepetitions for GetBulk).
CSnmpBer Pdu(unsigned char type, long requestId, long errorStatus, long errorIndex, const CSnmpBer& bindings);
// An OCTET STRING element.
CSnmpBer OctetString(const unsigned char* data, int len);

// The whole message; *authOffset (when not null) receives the offset of
// the authParams contents in out. False when a field exceeds its limits.
bool EncodeMessage(long msgId, long maxSize, unsigned char flags, const SecurityParameters& security,
                   const CSnmpBer& msgData, std::vector<unsigned char>& out, int* authOffset);

// Read a plaintext scoped PDU of len octets into reply (version 3). False
// when it is not { OCTET STRING, OCTET STRING, PDU } with a full PDU.
bool ParseScopedPdu(const unsigned char* data, int len, Reply& reply, std::string* contextEngineId = nullptr);

// What a Report PDU says, from its first binding's name.
enum class ReportKind {
    None,  // not a report
    UnsupportedSecLevel,  // usmStatsUnsupportedSecLevels: the user lacks that level
    NotInTimeWindow,      // usmStatsNotInTimeWindows
    UnknownUserName,      // usmStatsUnknownUserNames
    UnknownEngineId,      // usmStatsUnknownEngineIDs (also the discovery answer)
    WrongDigest,          // usmStatsWrongDigests: wrong authentication passphrase
    DecryptionError,      // usmStatsDecryptionErrors: wrong privacy passphrase
    Other,                // another counter (snmpInvalidMsgs, snmpUnknownPDUHandlers ...)
};
ReportKind ClassifyReport(const Reply& reply);
// Short English name of a kind, for diagnostics.
const char* ReportName(ReportKind kind);

}  // namespace snmpengine::usm
