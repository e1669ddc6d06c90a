// Keys, cipher and the v3 message codec: known answers, and crafted
// datagrams (good, hostile, stale) fed to the receiving side.

#include <gtest/gtest.h>
#include <openssl/evp.h>

#include <algorithm>
#include <chrono>

#include "mibcore/engine/usm/UsmSecurity.h"
#include "tests/mibcore/usm/UsmTestSupport.h"

using namespace usmtest;

namespace {

const std::string kRfcEngine = FromHex("000000000000000000000002");

// "maplesyrup" with the engine ID of RFC 3414 A.3. MD5 and SHA-1 are the
// RFC's own; the SHA-2 values were derived with Python's hashlib from the
// same algorithm (1 MiB expansion, H(Ku | engineID | Ku)).
struct KnownKey {
    AuthProtocol protocol;
    const char* ku;
    const char* kul;
};
const KnownKey kKnownKeys[] = {
    {AuthProtocol::Md5, "9faf3283884e92834ebc9847d8edd963", "526f5eed9fcce26f8964c2930787d82b"},
    {AuthProtocol::Sha1, "9fb5cc0381497b3793528939ff788d5d79145211", "6695febc9288e36282235fc7151f128497b38f3f"},
    {AuthProtocol::Sha224, "282a5867ee9aac639ad59df9572c7d3ac0fbc13a905b6df07dbbf00b",
     "0bd8827c6e29f8065e08e09237f177e410f69b90e1782be682075674"},
    {AuthProtocol::Sha256, "ab51014d1e077f6017df2b12bee5f5aa72993177e9bb569c4dff5a4ca0b4afac",
     "8982e0e549e866db361a6b625d84cccc11162d453ee8ce3a6445c2d6776f0f8b"},
    {AuthProtocol::Sha384,
     "e06eccdf2c68a06ed034723c9c26e0db3b669e1e2efed49150b55377a2e98f383c86fb836857444654b287c93f51ff64",
     "3b298f16164a11184279d5432bf169e2d2a48307de02b3d3f7e2b4f36eb6f0455a53689a3937eea07319a633d2ccba78"},
    {AuthProtocol::Sha512,
     "7e4396de5aadc77be853819b98c9406265b3a9c37cc3176569847a4e4f6fba63dd3a73d04924d31a63f95a601f9385af6be4ed1b37f87d040"
     "f7c6ed6f8d38a91",
     "22a5a36cedfcc085807a128d7bc6c2382167ad6c0dbc5fdff856740f3d84c099ad1ea87a8db096714d9788bd544047c9021e4229ce27e4c0a"
     "69250adfcffbb0b"},
};

TEST(UsmKeys, PasswordToKeyAndLocalisationMatchKnownAnswers)
{
    for (const KnownKey& k : kKnownKeys) {
        Key ku, kul;
        ASSERT_EQ(PasswordToKey(k.protocol, "maplesyrup", ku), PassphraseResult::Ok);
        EXPECT_EQ(Hex(ku), k.ku);
        ASSERT_TRUE(LocalizeKey(k.protocol, ku, U(kRfcEngine), static_cast<int>(kRfcEngine.size()), kul));
        EXPECT_EQ(Hex(kul), k.kul);
        EXPECT_EQ(kul.size(), DigestLength(k.protocol));
    }
}

TEST(UsmKeys, MacLengthsFollowTheProtocols)
{
    const std::pair<AuthProtocol, int> lengths[] = {{AuthProtocol::None, 0},   {AuthProtocol::Md5, 12},
                                                    {AuthProtocol::Sha1, 12},  {AuthProtocol::Sha224, 16},
                                                    {AuthProtocol::Sha256, 24}, {AuthProtocol::Sha384, 32},
                                                    {AuthProtocol::Sha512, 48}};
    for (auto [p, n] : lengths)
        EXPECT_EQ(MacLength(p), n);
}

TEST(UsmKeys, PrivacyKeyIsTruncatedOrExtendedByHashing)
{
    struct Case {
        AuthProtocol auth;
        PrivProtocol priv;
        const char* key;
    };
    // Extended keys: Kul | H(Kul) (hashlib), cut to the AES key length.
    const Case cases[] = {
        {AuthProtocol::Sha1, PrivProtocol::Aes192, "6695febc9288e36282235fc7151f128497b38f3f505e07eb"},
        {AuthProtocol::Md5, PrivProtocol::Aes256, "526f5eed9fcce26f8964c2930787d82bfa24a92467426c2f4b09192be10dfaec"},
        {AuthProtocol::Sha1, PrivProtocol::Aes256, "6695febc9288e36282235fc7151f128497b38f3f505e07eb9af25568fa1f5dbe"},
        {AuthProtocol::Md5, PrivProtocol::Aes128, "526f5eed9fcce26f8964c2930787d82b"},
        {AuthProtocol::Sha256, PrivProtocol::Aes128, "8982e0e549e866db361a6b625d84cccc"},
    };
    for (const Case& c : cases) {
        Key ku, kul, aes;
        PasswordToKey(c.auth, "maplesyrup", ku);
        LocalizeKey(c.auth, ku, U(kRfcEngine), static_cast<int>(kRfcEngine.size()), kul);
        ASSERT_TRUE(PrivacyKey(c.auth, c.priv, kul, aes));
        EXPECT_EQ(Hex(aes), c.key);
    }
}

TEST(UsmKeys, ShortPassphrasesAreRefused)
{
    Key ku;
    EXPECT_EQ(PasswordToKey(AuthProtocol::Sha256, "1234567", ku), PassphraseResult::TooShort);
    EXPECT_TRUE(ku.empty());
    EXPECT_EQ(PasswordToKey(AuthProtocol::None, "12345678", ku), PassphraseResult::NoProtocol);
    EXPECT_EQ(PasswordToKey(AuthProtocol::Sha256, "12345678", ku), PassphraseResult::Ok);

    UsmSecurity sec;
    UserSettings user{"u", SecurityLevel::AuthPriv, AuthProtocol::Sha256, PrivProtocol::Aes128, ""};
    EXPECT_EQ(sec.SetCredentials(user, "short", "long-enough"), CredentialsResult::AuthPassphraseTooShort);
    EXPECT_EQ(sec.SetCredentials(user, "long-enough", "short"), CredentialsResult::PrivPassphraseTooShort);
    EXPECT_FALSE(sec.HasCredentials());
    // The privacy passphrase does not matter below authPriv.
    user.level = SecurityLevel::AuthNoPriv;
    EXPECT_EQ(sec.SetCredentials(user, "long-enough", ""), CredentialsResult::Ok);
    user.userName = std::string(33, 'u');
    EXPECT_EQ(sec.SetCredentials(user, "long-enough", ""), CredentialsResult::UserNameInvalid);
    EXPECT_FALSE(sec.HasCredentials());
}

// NIST SP 800-38A F.3.13 (CFB128-AES128, first block), the IV layout of
// RFC 3826, and a whole scoped PDU against OpenSSL's EVP calls.
TEST(UsmCipher, AesCfbMatchesTheReferenceAndEvp)
{
    const std::string key = FromHex("2b7e151628aed2a6abf7158809cf4f3c");
    const std::string iv = FromHex("000102030405060708090a0b0c0d0e0f");
    const std::string plain = FromHex("6bc1bee22e409f96e93d7e117393172a");
    const Key k(U(key), 16);
    unsigned char out[16];
    ASSERT_TRUE(AesCfb(true, k, U(iv), U(plain), 16, out));
    EXPECT_EQ(Hex(out, 16), "3b3fd92eb72dad20333449f8e83cfb4a");

    unsigned char ivOut[16];
    AesIv(0x01020304, 0x0A0B0C0D, U(std::string("saltsalt")), ivOut);
    EXPECT_EQ(Hex(ivOut, 16), "010203040a0b0c0d" + Hex(U(std::string("saltsalt")), 8));

    const CSnmpBer scoped = ScopedPdu(
        kRfcEngine, "", Pdu(CSnmpBer::TagGetResponse, 77, 0, 0, BindingList({{{1, 3, 6, 1, 2, 1, 1, 5, 0}, Text("x")}})));
    const int n = scoped.GetBufferSize();
    std::vector<unsigned char> ours(static_cast<size_t>(n)), evp(static_cast<size_t>(n) + 16);
    ASSERT_TRUE(AesCfb(true, k, ivOut, scoped.GetAllData(), n, ours.data()));
    EVP_CIPHER_CTX* ctx = EVP_CIPHER_CTX_new();
    int len = 0, tail = 0;
    ASSERT_EQ(EVP_EncryptInit_ex(ctx, EVP_aes_128_cfb128(), nullptr, U(key), ivOut), 1);
    ASSERT_EQ(EVP_EncryptUpdate(ctx, evp.data(), &len, scoped.GetAllData(), n), 1);
    ASSERT_EQ(EVP_EncryptFinal_ex(ctx, evp.data() + len, &tail), 1);
    EVP_CIPHER_CTX_free(ctx);
    ASSERT_EQ(len + tail, n);
    evp.resize(static_cast<size_t>(n));
    EXPECT_EQ(ours, evp);
    std::vector<unsigned char> back(static_cast<size_t>(n));
    ASSERT_TRUE(AesCfb(false, k, ivOut, ours.data(), n, back.data()));
    EXPECT_TRUE(std::equal(back.begin(), back.end(), scoped.GetAllData()));
}

TEST(UsmKeys, KeysCopyAndWipe)
{
    const std::string bytes = FromHex("00112233445566778899");
    Key a(U(bytes), 10);
    Key b = a;
    EXPECT_TRUE(a == b);
    b.Clear();
    EXPECT_TRUE(b.empty());
    EXPECT_FALSE(a == b);
    EXPECT_FALSE(b.Assign(U(bytes), Key::Capacity + 1));
    EXPECT_TRUE(b.empty());
}

// --- the receiving side with crafted datagrams -------------------------------

const std::string kEngine = FromHex("80001f8880aabbccddeeff0011");
const std::vector<unsigned long> kSysName = {1, 3, 6, 1, 2, 1, 1, 5, 0};

class UsmReceive : public ::testing::Test {
protected:
    using Clock = snmpengine::usm::Clock;

    void SetUp() override { Use(SecurityLevel::AuthPriv); }

    void Use(SecurityLevel level)
    {
        UserSettings user{"operator", level, AuthProtocol::Sha256, PrivProtocol::Aes128, ""};
        ASSERT_EQ(sec.SetCredentials(user, "auth-passphrase", "priv-passphrase"), CredentialsResult::Ok);
        Header h;
        h.security.engineId = kEngine;
        h.security.boots = 5;
        h.security.time = 1000;
        ASSERT_TRUE(sec.LearnEngine(h, t0));
    }

    // The agent's reply to msgID 42, signed (and encrypted) with our keys.
    AgentMessage Reply() const
    {
        AgentMessage m;
        m.msgId = 42;
        m.flags = sec.User().level == SecurityLevel::AuthPriv ? (FlagAuth | FlagPriv) : FlagAuth;
        m.engineId = kEngine;
        m.boots = 5;
        m.time = 1010;
        m.userName = "operator";
        m.authKey = sec.AuthKey();
        m.aesKey = sec.PrivKey();
        m.contextEngineId = kEngine;
        m.bindings = BindingList({{kSysName, Text("quillon-agent")}});
        return m;
    }

    Received Feed(const std::vector<unsigned char>& d, Clock::time_point at)
    {
        return sec.Receive(d.data(), static_cast<int>(d.size()), 42, at);
    }
    Received Feed(const std::vector<unsigned char>& d) { return Feed(d, t0 + std::chrono::seconds(10)); }

    UsmSecurity sec;
    Clock::time_point t0 = Clock::now();
};

TEST_F(UsmReceive, AcceptsTheAgentsReplyAtEveryLevel)
{
    for (SecurityLevel level : {SecurityLevel::AuthPriv, SecurityLevel::AuthNoPriv}) {
        Use(level);
        const Received r = Feed(Reply().Build());
        ASSERT_EQ(r.outcome, Outcome::Response) << OutcomeName(r.outcome);
        EXPECT_TRUE(r.authenticated);
        EXPECT_EQ(r.pdu.version, 3);
        EXPECT_EQ(r.pdu.requestId, 7);
        const int path[] = {0, 1, -1};
        CSnmpBer value(r.pdu.bindings.GetSequence(path));
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(value.GetData()), value.GetDataLen()), "quillon-agent");
    }
    // noAuthNoPriv: a plain response is the answer.
    UserSettings user{"public-user", SecurityLevel::NoAuthNoPriv, AuthProtocol::None, PrivProtocol::None, ""};
    ASSERT_EQ(sec.SetCredentials(user, "", ""), CredentialsResult::Ok);
    AgentMessage m = Reply();
    m.flags = 0;
    m.userName = "public-user";
    EXPECT_EQ(Feed(m.Build()).outcome, Outcome::Response);
}

TEST_F(UsmReceive, DiscardsForgedCutAndForeignReplies)
{
    struct Case {
        const char* what;
        void (*change)(AgentMessage&);
        Outcome expected;
    };
    const Case cases[] = {
        {"other msgID", [](AgentMessage& m) { m.msgId = 43; }, Outcome::WrongMsgId},
        {"other engine ID", [](AgentMessage& m) { m.engineId = FromHex("80001f8880aabbccddeeff0012"); },
         Outcome::WrongEngine},
        {"other user", [](AgentMessage& m) { m.userName = "intruder"; }, Outcome::WrongEngine},
        {"digest of another key", [](AgentMessage& m) { m.authKey = Key(U(std::string(32, 'k')), 32); },
         Outcome::WrongDigest},
        {"short digest", [](AgentMessage& m) { m.authLength = 12; }, Outcome::BadSecurityParameters},
        {"oversized digest", [](AgentMessage& m) { m.authLength = 65; }, Outcome::BadSecurityParameters},
        {"oversized engine ID", [](AgentMessage& m) { m.engineId = std::string(33, 'e'); },
         Outcome::BadSecurityParameters},
        {"oversized user name", [](AgentMessage& m) { m.userName = std::string(33, 'u'); },
         Outcome::BadSecurityParameters},
        {"cut salt", [](AgentMessage& m) { m.salt = "1234567"; }, Outcome::DecryptionFailed},
        {"encrypted with another key", [](AgentMessage& m) { m.aesKey = Key(U(std::string(16, 'k')), 16); },
         Outcome::DecryptionFailed},
        {"stale time", [](AgentMessage& m) { m.time = 1020 - 151; }, Outcome::OutsideTimeWindow},
        {"earlier boot", [](AgentMessage& m) { m.boots = 4; }, Outcome::OutsideTimeWindow},
        {"last boot", [](AgentMessage& m) { m.boots = 2147483647; }, Outcome::OutsideTimeWindow},
        {"response without privacy", [](AgentMessage& m) { m.flags = FlagAuth; }, Outcome::WrongLevel},
        {"unauthenticated response", [](AgentMessage& m) { m.flags = 0; }, Outcome::WrongLevel},
        {"privacy without authentication", [](AgentMessage& m) { m.flags = FlagPriv; }, Outcome::Malformed},
        {"a request instead of a reply", [](AgentMessage& m) { m.pduType = CSnmpBer::TagGetRequest; },
         Outcome::Malformed},
    };
    for (const Case& c : cases) {
        SetUp();
        AgentMessage m = Reply();
        c.change(m);
        const Received r = Feed(m.Build(), t0 + std::chrono::seconds(20));
        EXPECT_EQ(r.outcome, c.expected) << c.what << ": " << OutcomeName(r.outcome);
        EXPECT_TRUE(IsStray(r.outcome)) << c.what;
        EXPECT_EQ(r.pdu.requestId, 0) << c.what;
        EXPECT_EQ(sec.Boots(), 5) << c.what << ": a stray must not move the clock";
    }
    // 20 s after learning time 1000 the agent is at 1020 as we estimate
    // it; 149 s behind that is still inside the window.
    AgentMessage m = Reply();
    m.time = 1020 - 149;
    EXPECT_EQ(Feed(m.Build(), t0 + std::chrono::seconds(20)).outcome, Outcome::Response);
}

TEST_F(UsmReceive, AnyChangedOctetBreaksTheDigest)
{
    const std::vector<unsigned char> good = Reply().Build();
    Header h;
    ASSERT_EQ(ParseHeader(good.data(), static_cast<int>(good.size()), h), HeaderResult::Ok);
    // An octet of the digest, of the encrypted data, and the message's last.
    for (size_t at : {static_cast<size_t>(h.authOffset + 3), static_cast<size_t>(h.dataOffset + 5), good.size() - 1}) {
        std::vector<unsigned char> bad = good;
        bad[at] ^= 0x40;
        EXPECT_EQ(Feed(bad).outcome, Outcome::WrongDigest) << "octet " << at;
    }
}

TEST_F(UsmReceive, CutOrOverlongDatagramsAreRejectedWithinTheirLength)
{
    const std::vector<unsigned char> good = Reply().Build();
    for (size_t cut = 0; cut < good.size(); ++cut) {
        const std::vector<unsigned char> part(good.begin(), good.begin() + static_cast<long>(cut));
        const Received r = sec.Receive(part.data(), static_cast<int>(part.size()), 42, t0);
        ASSERT_TRUE(IsStray(r.outcome)) << "cut at " << cut;
    }
    // Security parameters whose SEQUENCE claims more than its OCTET STRING.
    std::vector<unsigned char> bad = good;
    for (size_t i = 0; i + 3 < bad.size(); ++i) {
        if (bad[i] == CSnmpBer::TagOctetString && bad[i + 2] == CSnmpBer::TagSequence) {
            bad[i + 3] = static_cast<unsigned char>(bad[i + 3] + 1);
            break;
        }
    }
    EXPECT_EQ(Feed(bad).outcome, Outcome::BadSecurityParameters);
}

TEST_F(UsmReceive, ReportsAreRecognisedAndNotInTimeWindowResynchronises)
{
    struct Case {
        unsigned long counter;
        ReportKind kind;
    };
    const Case cases[] = {{1, ReportKind::UnsupportedSecLevel}, {3, ReportKind::UnknownUserName},
                          {4, ReportKind::UnknownEngineId},     {5, ReportKind::WrongDigest},
                          {6, ReportKind::DecryptionError},     {9, ReportKind::Other}};
    for (const Case& c : cases) {
        // The agent cannot authenticate these: they come unauthenticated.
        AgentMessage m = Reply();
        m.flags = 0;
        m.pduType = TagReport;
        m.bindings = BindingList({{{1, 3, 6, 1, 6, 3, 15, 1, 1, c.counter, 0}, Integer(1)}});
        const Received r = Feed(m.Build());
        EXPECT_EQ(r.outcome, Outcome::Report);
        EXPECT_EQ(r.report, c.kind) << ReportName(r.report);
        EXPECT_FALSE(r.authenticated);
    }
    AgentMessage other = Reply();
    other.flags = 0;
    other.pduType = TagReport;
    other.bindings = BindingList({{{1, 3, 6, 1, 6, 3, 11, 2, 1, 2, 0}, Integer(1)}});  // snmpInvalidMsgs
    EXPECT_EQ(Feed(other.Build()).report, ReportKind::Other);

    // The agent restarted: boots + 1, time small, authenticated report.
    AgentMessage late = Reply();
    late.flags = FlagAuth;
    late.pduType = TagReport;
    late.boots = 6;
    late.time = 3;
    late.bindings = BindingList({{{1, 3, 6, 1, 6, 3, 15, 1, 1, 2, 0}, Integer(1)}});
    const Received r = Feed(late.Build());
    EXPECT_EQ(r.outcome, Outcome::Report);
    EXPECT_EQ(r.report, ReportKind::NotInTimeWindow);
    EXPECT_TRUE(r.authenticated);
    EXPECT_EQ(sec.Boots(), 6);
    EXPECT_EQ(sec.EstimatedTime(t0 + std::chrono::seconds(15)), 8);
    // The next request carries them.
    std::vector<unsigned char> req;
    ASSERT_TRUE(sec.BuildRequest(43, CSnmpBer::TagGetRequest, 8, 0, 0, BindingList({{kSysName, CSnmpBer()}}), req,
                                 t0 + std::chrono::seconds(15)));
    Header h;
    ASSERT_EQ(ParseHeader(req.data(), static_cast<int>(req.size()), h), HeaderResult::Ok);
    EXPECT_EQ(h.security.boots, 6);
    EXPECT_EQ(h.security.time, 8);
}

TEST_F(UsmReceive, RequestsAreSignedAndEncryptedForTheAgent)
{
    std::vector<unsigned char> req;
    const CSnmpBer bindings = BindingList({{kSysName, CSnmpBer()}});
    ASSERT_TRUE(sec.BuildRequest(42, CSnmpBer::TagGetRequest, 99, 0, 0, bindings, req, t0 + std::chrono::seconds(30)));
    Header h;
    ASSERT_EQ(ParseHeader(req.data(), static_cast<int>(req.size()), h), HeaderResult::Ok);
    EXPECT_EQ(h.flags, FlagAuth | FlagPriv | FlagReportable);
    EXPECT_EQ(h.security.engineId, kEngine);
    EXPECT_EQ(h.security.userName, "operator");
    EXPECT_EQ(h.security.boots, 5);
    EXPECT_EQ(h.security.time, 1030);
    ASSERT_EQ(h.security.authParams.size(), 24u);
    ASSERT_EQ(h.security.privParams.size(), 8u);

    unsigned char mac[MaxMacLength];
    ASSERT_TRUE(Mac(AuthProtocol::Sha256, sec.AuthKey(), req.data(), req.size(), mac, h.authOffset, 24));
    EXPECT_EQ(Hex(mac, 24), Hex(req.data() + h.authOffset, 24));

    unsigned char iv[16];
    AesIv(5, 1030, U(h.security.privParams), iv);
    const unsigned char* data = req.data() + h.dataOffset;
    ASSERT_EQ(data[0], CSnmpBer::TagOctetString);
    CSnmpBer encrypted(data);
    std::vector<unsigned char> plain(static_cast<size_t>(encrypted.GetDataLen()));
    ASSERT_TRUE(AesCfb(false, sec.PrivKey(), iv, encrypted.GetData(), encrypted.GetDataLen(), plain.data()));
    snmpengine::Reply pdu;
    std::string contextEngine;
    ASSERT_TRUE(ParseScopedPdu(plain.data(), static_cast<int>(plain.size()), pdu, &contextEngine));
    EXPECT_EQ(pdu.pduType, CSnmpBer::TagGetRequest);
    EXPECT_EQ(pdu.requestId, 99);
    EXPECT_EQ(contextEngine, kEngine);
    EXPECT_EQ(Hex(pdu.bindings.GetAllData(), pdu.bindings.GetBufferSize()),
              Hex(bindings.GetAllData(), bindings.GetBufferSize()));

    // Two requests never share a salt.
    std::vector<unsigned char> again;
    sec.BuildRequest(43, CSnmpBer::TagGetRequest, 100, 0, 0, bindings, again, t0);
    Header h2;
    ParseHeader(again.data(), static_cast<int>(again.size()), h2);
    EXPECT_NE(h.security.privParams, h2.security.privParams);
}

TEST(UsmDiscovery, ProbeAndEngineLearning)
{
    const std::vector<unsigned char> probe = UsmSecurity::DiscoveryProbe(9, 10);
    Header h;
    ASSERT_EQ(ParseHeader(probe.data(), static_cast<int>(probe.size()), h), HeaderResult::Ok);
    EXPECT_EQ(h.msgId, 9);
    EXPECT_EQ(h.flags, FlagReportable);
    EXPECT_TRUE(h.security.engineId.empty());
    EXPECT_TRUE(h.security.userName.empty());

    UsmSecurity sec;
    UserSettings user{"operator", SecurityLevel::AuthPriv, AuthProtocol::Sha1, PrivProtocol::Aes192, ""};
    ASSERT_EQ(sec.SetCredentials(user, "maplesyrup", "maplesyrup"), CredentialsResult::Ok);
    std::vector<unsigned char> out;
    EXPECT_FALSE(sec.BuildRequest(1, CSnmpBer::TagGetRequest, 1, 0, 0, CSnmpBer(), out)) << "no engine yet";

    AgentMessage report;
    report.msgId = 9;
    report.flags = 0;
    report.engineId = kRfcEngine;
    report.boots = 3;
    report.time = 77;
    report.pduType = TagReport;
    report.bindings = BindingList({{{1, 3, 6, 1, 6, 3, 15, 1, 1, 4, 0}, Integer(1)}});
    const std::vector<unsigned char> d = report.Build();
    const Received r = sec.Receive(d.data(), static_cast<int>(d.size()), 9);
    ASSERT_EQ(r.outcome, Outcome::Report);
    EXPECT_EQ(r.report, ReportKind::UnknownEngineId);
    ASSERT_TRUE(sec.LearnEngine(r.header));
    EXPECT_EQ(sec.EngineId(), kRfcEngine);
    EXPECT_EQ(sec.Boots(), 3);
    // Localised once, with the engine ID learnt.
    EXPECT_EQ(Hex(sec.AuthKey()), "6695febc9288e36282235fc7151f128497b38f3f");
    EXPECT_EQ(Hex(sec.PrivKey()), "6695febc9288e36282235fc7151f128497b38f3f505e07eb");
    EXPECT_TRUE(sec.BuildRequest(1, CSnmpBer::TagGetRequest, 1, 0, 0, CSnmpBer(), out));

    Header empty;
    EXPECT_FALSE(sec.LearnEngine(empty));
    sec.Clear();
    EXPECT_TRUE(sec.AuthKey().empty());
    EXPECT_TRUE(sec.PrivKey().empty());
    EXPECT_FALSE(sec.KnowsEngine());
}

}  // namespace
