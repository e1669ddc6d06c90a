#pragma once
// Shared by the SNMPv3 tests: hex texts, bindings, and messages as an
// agent would send them, built octet by octet so that hostile variants
// (cut or oversized security parameters, wrong digests, stale times) are
// real datagrams.

#include <string>
#include <vector>

#include "mibcore/engine/usm/UsmCrypto.h"
#include "mibcore/engine/usm/UsmMessage.h"
#include "snmpval/CSnmpBer.h"
#include "snmpval/VarBind.h"

namespace usmtest {

using namespace snmpengine::usm;

inline std::string FromHex(const std::string& hex)
{
    std::string out;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        out.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    return out;
}

inline std::string Hex(const unsigned char* p, int n)
{
    static const char* digits = "0123456789abcdef";
    std::string s;
    for (int i = 0; i < n; ++i) {
        s.push_back(digits[p[i] >> 4]);
        s.push_back(digits[p[i] & 15]);
    }
    return s;
}
inline std::string Hex(const Key& k) { return Hex(k.data(), k.size()); }
inline std::string Hex(const std::vector<unsigned char>& v) { return Hex(v.data(), static_cast<int>(v.size())); }

inline const unsigned char* U(const std::string& s) { return reinterpret_cast<const unsigned char*>(s.data()); }

inline CSnmpBer Oid(std::vector<unsigned long> arcs)
{
    CSnmpBer b;
    b.SetOid(arcs.data(), static_cast<int>(arcs.size()));
    return b;
}

// A list of bindings name = value (NULL when value is empty).
inline CSnmpBer BindingList(const std::vector<std::pair<std::vector<unsigned long>, CSnmpBer>>& items)
{
    CSnmpBer list;
    list.SetTag(CSnmpBer::TagSequence);
    for (const auto& [name, value] : items)
        list.AddBer(MakeVarBind(Oid(name), value));
    return list;
}

inline CSnmpBer Text(const char* s)
{
    CSnmpBer b;
    b.SetString(s);
    return b;
}

inline CSnmpBer Integer(long v)
{
    CSnmpBer b;
    b.SetLong(v);
    return b;
}

// A message as an agent sends it. Fields are free (no limits checked) so
// tests can make them hostile; sign and encrypt follow the flags.
struct AgentMessage {
    long msgId = 1;
    long maxSize = 65507;
    unsigned char flags = FlagAuth;
    std::string engineId;
    long boots = 1;
    long time = 100;
    std::string userName;
    int authLength = -1;  // -1: the protocol's MAC length
    std::string salt = std::string("\x01\x02\x03\x04\x05\x06\x07\x08", 8);
    AuthProtocol auth = AuthProtocol::Sha256;
    Key authKey, aesKey;
    std::string contextEngineId;
    unsigned char pduType = CSnmpBer::TagGetResponse;
    long requestId = 7;
    CSnmpBer bindings;

    std::vector<unsigned char> Build() const
    {
        const CSnmpBer pdu = Pdu(pduType, requestId, 0, 0, bindings);
        const CSnmpBer scoped = ScopedPdu(contextEngineId, "", pdu);
        CSnmpBer data = scoped;
        std::string privParams;
        if (flags & FlagPriv) {
            privParams = salt;
            unsigned char iv[16];
            AesIv(boots, time, U(salt.size() >= 8 ? salt : std::string(8, '\0')), iv);
            std::vector<unsigned char> cipher(static_cast<size_t>(scoped.GetBufferSize()));
            AesCfb(true, aesKey, iv, scoped.GetAllData(), scoped.GetBufferSize(), cipher.data());
            data = OctetString(cipher.data(), static_cast<int>(cipher.size()));
        }
        const int macLen = authLength >= 0 ? authLength : ((flags & FlagAuth) ? MacLength(auth) : 0);

        CSnmpBer global, usm, msg;
        global.SetTag(CSnmpBer::TagSequence);
        global.AddBer(Integer(msgId));
        global.AddBer(Integer(maxSize));
        global.AddBer(OctetString(&flags, 1));
        global.AddBer(Integer(SecurityModelUsm));
        usm.SetTag(CSnmpBer::TagSequence);
        usm.AddBer(OctetString(U(engineId), static_cast<int>(engineId.size())));
        usm.AddBer(Integer(boots));
        usm.AddBer(Integer(time));
        usm.AddBer(OctetString(U(userName), static_cast<int>(userName.size())));
        const std::string zeros(static_cast<size_t>(macLen), '\0');
        usm.AddBer(OctetString(U(zeros), macLen));
        usm.AddBer(OctetString(U(privParams), static_cast<int>(privParams.size())));
        msg.SetTag(CSnmpBer::TagSequence);
        msg.AddBer(Integer(3));
        msg.AddBer(global);
        msg.AddBer(OctetString(usm.GetAllData(), usm.GetBufferSize()));
        msg.AddBer(data);
        std::vector<unsigned char> out(msg.GetAllData(), msg.GetAllData() + msg.GetBufferSize());

        if ((flags & FlagAuth) && macLen == MacLength(auth)) {
            Header h;
            if (ParseHeader(out.data(), static_cast<int>(out.size()), h) == HeaderResult::Ok)
                Mac(auth, authKey, out.data(), out.size(), out.data() + h.authOffset);
        }
        return out;
    }
};

}  // namespace usmtest
