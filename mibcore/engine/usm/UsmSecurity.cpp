#include "mibcore/engine/usm/UsmSecurity.h"

#include <openssl/crypto.h>
#include <openssl/rand.h>

#include <cstring>

namespace snmpengine::usm {
namespace {

constexpr long kMaxBoots = 2147483647;

bool NeedsAuth(SecurityLevel l) { return l != SecurityLevel::NoAuthNoPriv; }
bool NeedsPriv(SecurityLevel l) { return l == SecurityLevel::AuthPriv; }

// Wipes a plaintext buffer when it goes.
struct WipedBuffer {
    std::vector<unsigned char> bytes;
    ~WipedBuffer()
    {
        if (!bytes.empty())
            OPENSSL_cleanse(bytes.data(), bytes.size());
    }
};

}  // namespace

const char* OutcomeName(Outcome o)
{
    switch (o) {
    case Outcome::Response: return "response";
    case Outcome::Report: return "report";
    case Outcome::Malformed: return "malformed";
    case Outcome::WrongMsgId: return "wrong msgID";
    case Outcome::BadSecurityParameters: return "bad security parameters";
    case Outcome::WrongDigest: return "wrong digest";
    case Outcome::WrongEngine: return "wrong engine";
    case Outcome::OutsideTimeWindow: return "outside the time window";
    case Outcome::DecryptionFailed: return "decryption failed";
    case Outcome::WrongLevel: return "wrong security level";
    }
    return "malformed";
}

UsmSecurity::UsmSecurity()
{
    // The salt only has to differ between messages under one key; a random
    // start keeps restarts of the program from repeating it.
    if (RAND_bytes(reinterpret_cast<unsigned char*>(&m_salt), sizeof m_salt) != 1)
        m_salt = static_cast<std::uint64_t>(Clock::now().time_since_epoch().count());
}

UsmSecurity::~UsmSecurity() { Clear(); }

void UsmSecurity::Clear()
{
    m_authKu.Clear();
    m_privKu.Clear();
    m_authKul.Clear();
    m_aesKey.Clear();
    m_ready = false;
    m_engineId.clear();
    m_boots = 0;
    m_time = 0;
    m_timeRef = {};
}

CredentialsResult UsmSecurity::SetCredentials(const UserSettings& user, std::string_view authPassphrase,
                                              std::string_view privPassphrase)
{
    Clear();
    m_user = user;
    if (user.userName.empty() || user.userName.size() > static_cast<std::size_t>(MaxUserNameLength))
        return CredentialsResult::UserNameInvalid;
    if (NeedsAuth(user.level)) {
        if (user.auth == AuthProtocol::None || (NeedsPriv(user.level) && user.priv == PrivProtocol::None))
            return CredentialsResult::ProtocolMissing;
        if (PasswordToKey(user.auth, authPassphrase, m_authKu) != PassphraseResult::Ok)
            return CredentialsResult::AuthPassphraseTooShort;
        if (NeedsPriv(user.level) && PasswordToKey(user.auth, privPassphrase, m_privKu) != PassphraseResult::Ok) {
            m_authKu.Clear();
            return CredentialsResult::PrivPassphraseTooShort;
        }
    }
    m_ready = true;
    return CredentialsResult::Ok;
}

std::vector<unsigned char> UsmSecurity::DiscoveryProbe(long msgId, long requestId)
{
    std::vector<unsigned char> out;
    const CSnmpBer scoped = ScopedPdu({}, {}, Pdu(CSnmpBer::TagGetRequest, requestId, 0, 0, CSnmpBer()));
    EncodeMessage(msgId, DefaultMaxSize, FlagReportable, SecurityParameters{}, scoped, out, nullptr);
    return out;
}

bool UsmSecurity::Localise()
{
    m_authKul.Clear();
    m_aesKey.Clear();
    if (!NeedsAuth(m_user.level))
        return true;
    const auto* id = reinterpret_cast<const unsigned char*>(m_engineId.data());
    const int idLen = static_cast<int>(m_engineId.size());
    if (!LocalizeKey(m_user.auth, m_authKu, id, idLen, m_authKul))
        return false;
    if (!NeedsPriv(m_user.level))
        return true;
    Key privKul;
    return LocalizeKey(m_user.auth, m_privKu, id, idLen, privKul) &&
           PrivacyKey(m_user.auth, m_user.priv, privKul, m_aesKey);
}

bool UsmSecurity::LearnEngine(const Header& header, Clock::time_point now)
{
    const std::string& id = header.security.engineId;
    if (id.empty() || id.size() > static_cast<std::size_t>(MaxEngineIdLength))
        return false;
    if (id != m_engineId) {
        m_engineId = id;
        if (m_ready && !Localise())
            return false;
    }
    m_boots = header.security.boots;
    m_time = header.security.time;
    m_timeRef = now;
    return true;
}

long UsmSecurity::EstimatedTime(Clock::time_point now) const
{
    const long long elapsed =
        now > m_timeRef ? std::chrono::duration_cast<std::chrono::seconds>(now - m_timeRef).count() : 0;
    const long long t = static_cast<long long>(m_time) + elapsed;
    return t > kMaxBoots ? kMaxBoots : static_cast<long>(t);
}

bool UsmSecurity::InTimeWindow(long boots, long time, Clock::time_point now) const
{
    if (boots >= kMaxBoots || boots < m_boots)
        return false;
    return boots > m_boots || time >= EstimatedTime(now) - TimeWindowSeconds;
}

void UsmSecurity::Synchronise(long boots, long time, Clock::time_point now)
{
    // Only forward: a later boot, or a later time in the same boot.
    if (boots > m_boots || (boots == m_boots && time > m_time)) {
        m_boots = boots;
        m_time = time;
        m_timeRef = now;
    }
}

bool UsmSecurity::BuildRequest(long msgId, unsigned char pduType, long requestId, long errorStatus,
                               long errorIndex, const CSnmpBer& bindings, std::vector<unsigned char>& out,
                               Clock::time_point now, long maxSize)
{
    out.clear();
    if (!m_ready || m_engineId.empty())
        return false;
    const bool auth = NeedsAuth(m_user.level);
    const bool priv = NeedsPriv(m_user.level);
    if ((auth && m_authKul.empty()) || (priv && m_aesKey.empty()))
        return false;

    SecurityParameters s;
    s.engineId = m_engineId;
    s.boots = m_boots;
    s.time = EstimatedTime(now);
    s.userName = m_user.userName;
    if (auth)
        s.authParams.assign(static_cast<std::size_t>(MacLength(m_user.auth)), '\0');

    const CSnmpBer scoped =
        ScopedPdu(m_engineId, m_user.contextName, Pdu(pduType, requestId, errorStatus, errorIndex, bindings));
    CSnmpBer data;
    if (priv) {
        unsigned char salt[SaltLength];
        const std::uint64_t v = ++m_salt;
        for (int i = 0; i < SaltLength; ++i)
            salt[i] = static_cast<unsigned char>(v >> (56 - 8 * i));
        s.privParams.assign(reinterpret_cast<const char*>(salt), SaltLength);
        unsigned char iv[16];
        AesIv(s.boots, s.time, salt, iv);
        WipedBuffer cipher;
        cipher.bytes.resize(static_cast<std::size_t>(scoped.GetBufferSize()));
        if (!AesCfb(true, m_aesKey, iv, scoped.GetAllData(), scoped.GetBufferSize(), cipher.bytes.data()))
            return false;
        data = OctetString(cipher.bytes.data(), static_cast<int>(cipher.bytes.size()));
    } else {
        data = scoped;
    }

    const unsigned char flags = FlagReportable | (auth ? FlagAuth : 0) | (priv ? FlagPriv : 0);
    int authOffset = -1;
    if (!EncodeMessage(msgId, maxSize, flags, s, data, out, auth ? &authOffset : nullptr)) {
        out.clear();
        return false;
    }
    if (auth && !Mac(m_user.auth, m_authKul, out.data(), out.size(), out.data() + authOffset)) {
        out.clear();
        return false;
    }
    return true;
}

bool UsmSecurity::Decrypt(const Header& h, const unsigned char* data, std::vector<unsigned char>& plain)
{
    const SecurityParameters& s = h.security;
    if (m_aesKey.empty() || s.privParams.size() != static_cast<std::size_t>(SaltLength))
        return false;
    const unsigned char* element = data + h.dataOffset;
    if (element[0] != CSnmpBer::TagOctetString)
        return false;
    const int hdr = 2 + ((element[1] & 0x80) ? (element[1] & 0x7F) : 0);
    const int len = h.dataLength - hdr;
    if (len < 2)
        return false;
    unsigned char iv[16];
    AesIv(s.boots, s.time, reinterpret_cast<const unsigned char*>(s.privParams.data()), iv);
    plain.resize(static_cast<std::size_t>(len));
    return AesCfb(false, m_aesKey, iv, element + hdr, len, plain.data());
}

Received UsmSecurity::Receive(const unsigned char* data, int len, long msgId, Clock::time_point now)
{
    Received r;
    switch (ParseHeader(data, len, r.header)) {
    case HeaderResult::Ok: break;
    case HeaderResult::BadSecurityParameters: r.outcome = Outcome::BadSecurityParameters; return r;
    default: r.outcome = Outcome::Malformed; return r;
    }
    const Header& h = r.header;
    if (h.securityModel != SecurityModelUsm || ((h.flags & FlagPriv) && !(h.flags & FlagAuth))) {
        r.outcome = Outcome::Malformed;
        return r;
    }
    if (h.msgId != msgId) {
        r.outcome = Outcome::WrongMsgId;
        return r;
    }

    const bool authenticated = (h.flags & FlagAuth) != 0;
    if (authenticated) {
        if (!m_ready || !NeedsAuth(m_user.level) || m_authKul.empty()) {
            r.outcome = Outcome::WrongLevel;
            return r;
        }
        if (h.security.authParams.size() != static_cast<std::size_t>(MacLength(m_user.auth))) {
            r.outcome = Outcome::BadSecurityParameters;
            return r;
        }
        if (h.security.engineId != m_engineId || h.security.userName != m_user.userName) {
            r.outcome = Outcome::WrongEngine;
            return r;
        }
        unsigned char mac[MaxMacLength];
        const int macLen = MacLength(m_user.auth);
        if (!Mac(m_user.auth, m_authKul, data, static_cast<std::size_t>(len), mac,
                 static_cast<std::size_t>(h.authOffset), static_cast<std::size_t>(macLen)) ||
            !SameOctets(mac, data + h.authOffset, macLen)) {
            r.outcome = Outcome::WrongDigest;
            return r;
        }
        r.authenticated = true;
    }

    // From here on the message is ours (or an unauthenticated report).
    WipedBuffer plain;
    const unsigned char* scoped = data + h.dataOffset;
    int scopedLen = h.dataLength;
    if (h.flags & FlagPriv) {
        if (!Decrypt(h, data, plain.bytes)) {
            r.outcome = m_aesKey.empty() ? Outcome::WrongLevel : Outcome::DecryptionFailed;
            return r;
        }
        scoped = plain.bytes.data();
        scopedLen = static_cast<int>(plain.bytes.size());
    } else if (scoped[0] != CSnmpBer::TagSequence) {
        r.outcome = Outcome::Malformed;
        return r;
    }
    if (!ParseScopedPdu(scoped, scopedLen, r.pdu)) {
        r.pdu = Reply{};
        r.outcome = (h.flags & FlagPriv) ? Outcome::DecryptionFailed : Outcome::Malformed;
        return r;
    }
    const bool isReport = r.pdu.pduType == TagReport;
    if (!isReport && r.pdu.pduType != CSnmpBer::TagGetResponse) {
        r.pdu = Reply{};
        r.outcome = Outcome::Malformed;
        return r;
    }
    r.report = ClassifyReport(r.pdu);

    if (authenticated) {
        if (isReport && r.report == ReportKind::NotInTimeWindow) {
            // The agent tells its boots and time under our key: adopt them.
            m_boots = h.security.boots;
            m_time = h.security.time;
            m_timeRef = now;
        } else if (!InTimeWindow(h.security.boots, h.security.time, now)) {
            r.pdu = Reply{};
            r.report = ReportKind::None;
            r.outcome = Outcome::OutsideTimeWindow;
            return r;
        } else {
            Synchronise(h.security.boots, h.security.time, now);
        }
    }

    // A response carries the level of the request; only reports may be lower.
    const bool levelMatches = authenticated == NeedsAuth(m_user.level) &&
                              ((h.flags & FlagPriv) != 0) == NeedsPriv(m_user.level);
    if (!isReport && !levelMatches) {
        r.pdu = Reply{};
        r.report = ReportKind::None;
        r.outcome = Outcome::WrongLevel;
        return r;
    }
    r.outcome = isReport ? Outcome::Report : Outcome::Response;
    return r;
}

}  // namespace snmpengine::usm
