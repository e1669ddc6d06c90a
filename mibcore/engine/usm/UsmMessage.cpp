#include "mibcore/engine/usm/UsmMessage.h"

#include <cstring>

namespace snmpengine::usm {
namespace {

// One element inside [p, p + avail): tag, contents and total size.
struct Tlv {
    unsigned char tag = 0;
    const unsigned char* content = nullptr;
    int length = 0;
    int total = 0;
};

bool Read(const unsigned char* p, int avail, Tlv& t)
{
    const int total = CSnmpBer::CheckedTotalLen(p, avail);
    if (total < 2)
        return false;
    const int hdr = 2 + ((p[1] & 0x80) ? (p[1] & 0x7F) : 0);
    if (hdr > total)
        return false;
    t.tag = p[0];
    t.content = p + hdr;
    t.length = total - hdr;
    t.total = total;
    return true;
}

// Walks the members of a constructed element in order.
class Members {
public:
    explicit Members(const Tlv& parent) : m_p(parent.content), m_end(parent.content + parent.length) {}
    bool Next(Tlv& t)
    {
        if (m_p >= m_end || !Read(m_p, static_cast<int>(m_end - m_p), t))
            return false;
        m_p += t.total;
        return true;
    }
    bool AtEnd() const { return m_p == m_end; }

private:
    const unsigned char* m_p;
    const unsigned char* m_end;
};

// A non-negative INTEGER that fits 31 bits.
bool ReadUnsigned31(const Tlv& t, long& value)
{
    if (t.tag != CSnmpBer::TagInteger || t.length < 1 || t.length > 5 || (t.content[0] & 0x80))
        return false;
    unsigned long long v = 0;
    for (int i = 0; i < t.length; ++i)
        v = (v << 8) | t.content[i];
    if (v > 0x7FFFFFFFULL)
        return false;
    value = static_cast<long>(v);
    return true;
}

bool ReadOctets(const Tlv& t, int maxLength, std::string& out)
{
    if (t.tag != CSnmpBer::TagOctetString || t.length > maxLength)
        return false;
    out.assign(reinterpret_cast<const char*>(t.content), static_cast<std::size_t>(t.length));
    return true;
}

HeaderResult ParseSecurity(const Tlv& outer, const unsigned char* base, Header& h)
{
    Tlv seq;
    if (outer.tag != CSnmpBer::TagOctetString || !Read(outer.content, outer.length, seq) ||
        seq.total != outer.length || seq.tag != CSnmpBer::TagSequence)
        return HeaderResult::BadSecurityParameters;
    Members m(seq);
    Tlv engine, boots, time, user, auth, priv;
    SecurityParameters& s = h.security;
    if (!m.Next(engine) || !m.Next(boots) || !m.Next(time) || !m.Next(user) || !m.Next(auth) || !m.Next(priv) ||
        !m.AtEnd() || !ReadOctets(engine, MaxEngineIdLength, s.engineId) || !ReadUnsigned31(boots, s.boots) ||
        !ReadUnsigned31(time, s.time) || !ReadOctets(user, MaxUserNameLength, s.userName) ||
        !ReadOctets(auth, 64, s.authParams) || !ReadOctets(priv, 32, s.privParams))
        return HeaderResult::BadSecurityParameters;
    h.authOffset = static_cast<int>(auth.content - base);
    return HeaderResult::Ok;
}

CSnmpBer Integer(long v)
{
    CSnmpBer b;
    b.SetLong(v);
    return b;
}

CSnmpBer Octets(const std::string& s)
{
    return OctetString(reinterpret_cast<const unsigned char*>(s.data()), static_cast<int>(s.size()));
}

}  // namespace

HeaderResult ParseHeader(const unsigned char* data, int len, Header& h)
{
    h = Header{};
    Tlv msg, version, global, security, scoped;
    if (!data || len < 2 || !Read(data, len, msg) || msg.tag != CSnmpBer::TagSequence)
        return HeaderResult::NotV3;
    Members m(msg);
    long v = 0;
    if (!m.Next(version) || !ReadUnsigned31(version, v) || v != 3)
        return HeaderResult::NotV3;

    if (!m.Next(global) || global.tag != CSnmpBer::TagSequence)
        return HeaderResult::Malformed;
    Members g(global);
    Tlv id, maxSize, flags, model;
    if (!g.Next(id) || !g.Next(maxSize) || !g.Next(flags) || !g.Next(model) || !g.AtEnd() ||
        !ReadUnsigned31(id, h.msgId) || !ReadUnsigned31(maxSize, h.maxSize) ||
        flags.tag != CSnmpBer::TagOctetString || flags.length != 1 || !ReadUnsigned31(model, h.securityModel))
        return HeaderResult::Malformed;
    h.flags = flags.content[0];

    if (!m.Next(security))
        return HeaderResult::BadSecurityParameters;
    if (h.securityModel == SecurityModelUsm) {
        const HeaderResult r = ParseSecurity(security, data, h);
        if (r != HeaderResult::Ok)
            return r;
    }

    if (!m.Next(scoped) || !m.AtEnd() ||
        (scoped.tag != CSnmpBer::TagSequence && scoped.tag != CSnmpBer::TagOctetString))
        return HeaderResult::Malformed;
    h.dataOffset = static_cast<int>(scoped.content - (scoped.total - scoped.length) - data);
    h.dataLength = scoped.total;
    return HeaderResult::Ok;
}

CSnmpBer OctetString(const unsigned char* data, int len)
{
    CSnmpBer b;
    b.Set(CSnmpBer::TagOctetString, len, data);
    return b;
}

CSnmpBer ScopedPdu(const std::string& contextEngineId, const std::string& contextName, const CSnmpBer& pdu)
{
    CSnmpBer s;
    s.SetTag(CSnmpBer::TagSequence);
    s.AddBer(Octets(contextEngineId));
    s.AddBer(Octets(contextName));
    s.AddBer(pdu);
    return s;
}

CSnmpBer Pdu(unsigned char type, long requestId, long errorStatus, long errorIndex, const CSnmpBer& bindings)
{
    CSnmpBer p;
    p.SetTag(type);
    p.AddBer(Integer(requestId));
    p.AddBer(Integer(errorStatus));
    p.AddBer(Integer(errorIndex));
    if (bindings.GetBufferSize() > 0) {
        p.AddBer(bindings);
    } else {
        CSnmpBer empty;
        empty.SetTag(CSnmpBer::TagSequence);
        p.AddBer(empty);
    }
    return p;
}

bool EncodeMessage(long msgId, long maxSize, unsigned char flags, const SecurityParameters& s,
                   const CSnmpBer& msgData, std::vector<unsigned char>& out, int* authOffset)
{
    out.clear();
    if (s.engineId.size() > static_cast<std::size_t>(MaxEngineIdLength) ||
        s.userName.size() > static_cast<std::size_t>(MaxUserNameLength) || msgData.GetBufferSize() < 2)
        return false;

    CSnmpBer global;
    global.SetTag(CSnmpBer::TagSequence);
    global.AddBer(Integer(msgId));
    global.AddBer(Integer(maxSize));
    global.AddBer(OctetString(&flags, 1));
    global.AddBer(Integer(SecurityModelUsm));

    CSnmpBer usm;
    usm.SetTag(CSnmpBer::TagSequence);
    usm.AddBer(Octets(s.engineId));
    usm.AddBer(Integer(s.boots));
    usm.AddBer(Integer(s.time));
    usm.AddBer(Octets(s.userName));
    usm.AddBer(Octets(s.authParams));
    usm.AddBer(Octets(s.privParams));

    CSnmpBer msg;
    msg.SetTag(CSnmpBer::TagSequence);
    msg.AddBer(Integer(3));
    msg.AddBer(global);
    msg.AddBer(OctetString(usm.GetAllData(), usm.GetBufferSize()));
    msg.AddBer(msgData);
    out.assign(msg.GetAllData(), msg.GetAllData() + msg.GetBufferSize());

    if (authOffset) {
        Header h;
        if (ParseHeader(out.data(), static_cast<int>(out.size()), h) != HeaderResult::Ok)
            return false;
        *authOffset = h.authOffset;
    }
    return true;
}

bool ParseScopedPdu(const unsigned char* data, int len, Reply& reply, std::string* contextEngineId)
{
    reply = Reply{};
    Tlv scoped, engine, name, pdu;
    if (!data || !Read(data, len, scoped) || scoped.tag != CSnmpBer::TagSequence)
        return false;
    Members m(scoped);
    if (!m.Next(engine) || !m.Next(name) || !m.Next(pdu) || engine.tag != CSnmpBer::TagOctetString ||
        name.tag != CSnmpBer::TagOctetString || (pdu.tag & 0xE0) != 0xA0)
        return false;
    // The scoped PDU has the PDU where a community message has it, so the
    // engine's reader applies; its first member is not an INTEGER.
    if (!ParseReply(data, scoped.total, reply))
        return false;
    reply.version = 3;
    if (contextEngineId)
        contextEngineId->assign(reinterpret_cast<const char*>(engine.content), static_cast<std::size_t>(engine.length));
    return true;
}

ReportKind ClassifyReport(const Reply& reply)
{
    if (reply.pduType != TagReport)
        return ReportKind::None;
    unsigned long arcs[16];
    const int n = BindingName(reply.bindings, 0, arcs, 16);
    // usmStats: 1.3.6.1.6.3.15.1.1.<n>
    static const unsigned long usmStats[] = {1, 3, 6, 1, 6, 3, 15, 1, 1};
    if (n < 10 || CompareOid(arcs, 9, usmStats, 9) != 0)
        return ReportKind::Other;
    switch (arcs[9]) {
    case 1: return ReportKind::UnsupportedSecLevel;
    case 2: return ReportKind::NotInTimeWindow;
    case 3: return ReportKind::UnknownUserName;
    case 4: return ReportKind::UnknownEngineId;
    case 5: return ReportKind::WrongDigest;
    case 6: return ReportKind::DecryptionError;
    default: return ReportKind::Other;
    }
}

const char* ReportName(ReportKind kind)
{
    switch (kind) {
    case ReportKind::None: return "none";
    case ReportKind::UnsupportedSecLevel: return "unsupported security level";
    case ReportKind::NotInTimeWindow: return "not in time window";
    case ReportKind::UnknownUserName: return "unknown user name";
    case ReportKind::UnknownEngineId: return "unknown engine ID";
    case ReportKind::WrongDigest: return "wrong digest";
    case ReportKind::DecryptionError: return "decryption error";
    case ReportKind::Other: return "other report";
    }
    return "other report";
}

}  // namespace snmpengine::usm
