#pragma once
// What the request engine keeps per agent for SNMPv3 with the user-based
// security model, and the steps of an exchange as methods without I/O:
//
//   1. DiscoveryProbe -> send; Receive the answer (a Report, usually
//      UnknownEngineId) -> LearnEngine. The keys are localised here, once
//      per engine ID.
//   2. BuildRequest -> send; Receive the answer. A Response is the reply;
//      an authenticated NotInTimeWindow report has already resynchronised
//      boots and time (send once more); other reports are the agent's
//      refusal; a Stray is discarded and the attempt keeps its deadline.
//
// The caller owns the socket, deadlines, retries and msgID/request-id
// numbering. Passphrases are used once to make the master keys and are
// not kept; keys stay in memory (usm::Key) and are wiped when replaced or
// when the object is destroyed. Not thread-safe: one exchange at a time.

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "mibcore/engine/SnmpReply.h"
#include "mibcore/engine/usm/UsmCrypto.h"
#include "mibcore/engine/usm/UsmMessage.h"

namespace snmpengine::usm {

using Clock = std::chrono::steady_clock;

// Seconds a reply may lag behind the agent's clock as we estimate it.
inline constexpr long TimeWindowSeconds = 150;
// msgMaxSize we announce: what the engine's receive buffer holds.
inline constexpr long DefaultMaxSize = 8192;

// The user's settings (nothing secret).
struct UserSettings {
    std::string userName;
    SecurityLevel level = SecurityLevel::AuthPriv;
    AuthProtocol auth = AuthProtocol::Sha256;
    PrivProtocol priv = PrivProtocol::Aes128;
    std::string contextName;
};

enum class CredentialsResult {
    Ok,
    UserNameInvalid,          // empty or longer than 32 octets
    AuthPassphraseTooShort,   // under MinPassphraseLength
    PrivPassphraseTooShort,
    ProtocolMissing,          // the level needs a protocol that is None
};

// What a received datagram turned out to be.
enum class Outcome {
    Response,  // an accepted reply: pdu is valid
    Report,    // an accepted report: report and pdu are valid
    // Strays: discarded, nothing in them was used.
    Malformed,              // not a v3 USM message or no readable PDU
    WrongMsgId,             // not the answer to this request
    BadSecurityParameters,  // security parameters cut, oversized or of the wrong length
    WrongDigest,            // authentication failed
    WrongEngine,            // authenticated by another engine ID or user
    OutsideTimeWindow,      // authenticated but stale
    DecryptionFailed,       // salt missing or plaintext not a scoped PDU
    WrongLevel,             // a response below the level of the request
};
inline bool IsStray(Outcome o) { return o != Outcome::Response && o != Outcome::Report; }
const char* OutcomeName(Outcome o);

struct Received {
    Outcome outcome = Outcome::Malformed;
    ReportKind report = ReportKind::None;
    bool authenticated = false;  // digest verified with our key
    Reply pdu;                   // version 3; valid for Response and Report
    Header header;               // as read (trust only when authenticated)
};

class UsmSecurity {
public:
    UsmSecurity();
    ~UsmSecurity();
    UsmSecurity(const UsmSecurity&) = delete;
    UsmSecurity& operator=(const UsmSecurity&) = delete;

    // New settings and passphrases (ignored where the level needs none).
    // Makes the master keys (1 MiB hash each); on failure every key is
    // wiped and the object refuses to build requests. Forgets the engine.
    CredentialsResult SetCredentials(const UserSettings& user, std::string_view authPassphrase,
                                     std::string_view privPassphrase);
    // Wipe every key and forget the engine.
    void Clear();

    const UserSettings& User() const { return m_user; }
    bool HasCredentials() const { return m_ready; }

    // --- discovery ---------------------------------------------------------
    // The unauthenticated probe: empty engine ID and user, reportable, a
    // GetRequest without bindings.
    static std::vector<unsigned char> DiscoveryProbe(long msgId, long requestId);
    // Adopt the engine ID (and its boots and time) of a received message,
    // typically the probe's UnknownEngineId report; localises the keys
    // when the engine ID changes. False for an empty or oversized ID.
    bool LearnEngine(const Header& header, Clock::time_point now = Clock::now());
    bool KnowsEngine() const { return !m_engineId.empty(); }
    const std::string& EngineId() const { return m_engineId; }
    long Boots() const { return m_boots; }
    // The agent's engine time as we estimate it now.
    long EstimatedTime(Clock::time_point now = Clock::now()) const;

    // --- requests and replies ----------------------------------------------
    // A request PDU of the given type (errorStatus/errorIndex carry
    // nonRepeaters/maxRepetitions for GetBulk), signed and encrypted as the
    // level says. False without credentials or engine ID.
    bool BuildRequest(long msgId, unsigned char pduType, long requestId, long errorStatus, long errorIndex,
                      const CSnmpBer& bindings, std::vector<unsigned char>& out,
                      Clock::time_point now = Clock::now(), long maxSize = DefaultMaxSize);
    // Judge a datagram received for the request with msgId. The digest is
    // checked before any other field is believed; an authenticated message
    // moves our notion of boots/time forward (an authenticated
    // NotInTimeWindow report sets them outright).
    Received Receive(const unsigned char* data, int len, long msgId, Clock::time_point now = Clock::now());

    // The time-window rule for an authenticated message's boots and time.
    bool InTimeWindow(long boots, long time, Clock::time_point now = Clock::now()) const;

    // The localised keys (for tests comparing with other derivations).
    const Key& AuthKey() const { return m_authKul; }
    const Key& PrivKey() const { return m_aesKey; }

private:
    bool Localise();
    void Synchronise(long boots, long time, Clock::time_point now);
    bool Decrypt(const Header& h, const unsigned char* data, std::vector<unsigned char>& plain);

    UserSettings m_user;
    bool m_ready = false;
    Key m_authKu, m_privKu;    // master keys
    Key m_authKul, m_aesKey;   // localised for m_engineId
    std::string m_engineId;
    long m_boots = 0;
    long m_time = 0;           // latest received engine time
    Clock::time_point m_timeRef{};
    std::uint64_t m_salt = 0;
};

}  // namespace snmpengine::usm
