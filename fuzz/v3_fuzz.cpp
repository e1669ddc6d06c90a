// libFuzzer target over the SNMPv3 receiving side. The first octet picks
// where the rest goes:
//   0: a whole datagram, judged as a reply (header, security parameters,
//      digest, decryption);
//   1: the encrypted payload of a correctly signed authPriv reply (junk to
//      decrypt and read as a scoped PDU);
//   2: the contents of a plaintext scoped PDU in a signed reply;
//   3: the security parameters of an otherwise sound message.
// A correct digest cannot be forged by the fuzzer, so modes 1-3 sign what
// they build: the code behind the digest check gets exercised too.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "mibcore/engine/usm/UsmSecurity.h"

using namespace snmpengine::usm;

namespace {

constexpr long kMsgId = 4242;
const std::string kEngine("\x80\x00\x1f\x88\x80\x51\x55\x49\x4c\x4c\x4f\x4e", 12);

struct State {
    UsmSecurity sec;
    Header engine;
    State()
    {
        UserSettings user{"fuzzer", SecurityLevel::AuthPriv, AuthProtocol::Sha256, PrivProtocol::Aes128, ""};
        sec.SetCredentials(user, "fuzz-auth-passphrase", "fuzz-priv-passphrase");
        engine.security.engineId = kEngine;
        engine.security.boots = 3;
        engine.security.time = 500;
    }
};

State& Shared()
{
    static State s;
    return s;
}

// A message around msgData (and security parameter octets when given),
// signed with the shared user's key.
std::vector<unsigned char> Signed(State& s, unsigned char flags, const CSnmpBer& msgData, const std::string& salt)
{
    SecurityParameters p;
    p.engineId = kEngine;
    p.boots = 3;
    p.time = 510;
    p.userName = "fuzzer";
    p.authParams.assign(static_cast<std::size_t>(MacLength(AuthProtocol::Sha256)), '\0');
    p.privParams = salt;
    std::vector<unsigned char> out;
    int at = -1;
    if (EncodeMessage(kMsgId, 65507, flags, p, msgData, out, &at))
        Mac(AuthProtocol::Sha256, s.sec.AuthKey(), out.data(), out.size(), out.data() + at);
    return out;
}

void Judge(State& s, const std::vector<unsigned char>& datagram)
{
    // Exactly the datagram's size, so reads past it trip the sanitizer.
    const std::vector<unsigned char> exact(datagram);
    const Received r = s.sec.Receive(exact.data(), static_cast<int>(exact.size()), kMsgId);
    if (!IsStray(r.outcome)) {
        unsigned long arcs[64];
        for (int k = 0; k < 64 && snmpengine::BindingName(r.pdu.bindings, k, arcs, 64) >= 0; ++k) {
        }
        (void)ClassifyReport(r.pdu);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1 || size > 8192)
        return 0;
    State& s = Shared();
    s.sec.LearnEngine(s.engine);
    const unsigned char mode = data[0] & 3;
    const unsigned char* body = data + 1;
    const int len = static_cast<int>(size - 1);

    switch (mode) {
    case 0:
        Judge(s, std::vector<unsigned char>(body, body + len));
        break;
    case 1: {
        const std::string salt = len >= 8 ? std::string(reinterpret_cast<const char*>(body), 8) : std::string(8, 's');
        const int skip = len >= 8 ? 8 : 0;
        Judge(s, Signed(s, FlagAuth | FlagPriv, OctetString(body + skip, len - skip), salt));
        break;
    }
    case 2: {
        CSnmpBer scoped;
        scoped.Set(CSnmpBer::TagSequence, len, body);
        Judge(s, Signed(s, FlagAuth, scoped, ""));
        snmpengine::Reply reply;
        (void)ParseScopedPdu(scoped.GetAllData(), scoped.GetBufferSize(), reply);
        break;
    }
    case 3: {
        // version, global data, then the fuzzer's security parameters.
        static const unsigned char head[] = {0x02, 0x01, 0x03, 0x30, 0x0d, 0x02, 0x02, 0x10, 0x92, 0x02, 0x03,
                                             0x00, 0xff, 0xe3, 0x04, 0x01, 0x03, 0x02, 0x01, 0x03};
        static const unsigned char tail[] = {0x30, 0x08, 0x04, 0x00, 0x04, 0x00, 0xa2, 0x02, 0x02, 0x00};
        CSnmpBer msg;
        msg.SetTag(CSnmpBer::TagSequence);
        std::vector<unsigned char> contents(head, head + sizeof head);
        CSnmpBer security = OctetString(body, len);
        contents.insert(contents.end(), security.GetAllData(), security.GetAllData() + security.GetBufferSize());
        contents.insert(contents.end(), tail, tail + sizeof tail);
        msg.Set(CSnmpBer::TagSequence, static_cast<int>(contents.size()), contents.data());
        Judge(s, std::vector<unsigned char>(msg.GetAllData(), msg.GetAllData() + msg.GetBufferSize()));
        Header h;
        if (ParseHeader(msg.GetAllData(), msg.GetBufferSize(), h) == HeaderResult::Ok)
            s.sec.LearnEngine(h);
        break;
    }
    }
    return 0;
}
