// The security core against the namespace snmpd: raw UDP exchanges from a
// small test socket (discovery, then a signed/encrypted GetRequest) for
// every v3 user of the test agent, compared with snmpget -v3.

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <optional>

#include "mibcore/engine/usm/UsmSecurity.h"
#include "tests/mibcore/usm/UsmTestSupport.h"
#include "tests/mibcore/usm/UsmUsers.h"
#include "tests/support/Harness.h"

using namespace usmtest;

namespace {

const std::vector<unsigned long> kSysDescr = {1, 3, 6, 1, 2, 1, 1, 1, 0};
const std::vector<unsigned long> kSysUpTime = {1, 3, 6, 1, 2, 1, 1, 3, 0};

// A UDP socket connected to the agent's port 161.
class Udp {
public:
    Udp()
    {
        m_fd = ::socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_port = htons(161);
        ::inet_pton(AF_INET, harness::kAgentV4, &to.sin_addr);
        ::connect(m_fd, reinterpret_cast<sockaddr*>(&to), sizeof to);
    }
    ~Udp() { ::close(m_fd); }
    void Send(const std::vector<unsigned char>& d) { ASSERT_EQ(::send(m_fd, d.data(), d.size(), 0), static_cast<ssize_t>(d.size())); }
    // The next datagram within ms milliseconds.
    std::optional<std::vector<unsigned char>> Receive(int ms)
    {
        pollfd p{m_fd, POLLIN, 0};
        if (::poll(&p, 1, ms) != 1)
            return std::nullopt;
        std::vector<unsigned char> buf(8192);
        const ssize_t n = ::recv(m_fd, buf.data(), buf.size(), 0);
        if (n < 0)
            return std::nullopt;
        buf.resize(static_cast<size_t>(n));
        return buf;
    }

private:
    int m_fd = -1;
};

// One v3 conversation with the agent, the way the request engine will
// hold it: discovery, then requests with their msgIDs; strays are skipped
// until the deadline.
class Conversation {
public:
    explicit Conversation(UsmSecurity& sec) : m_sec(sec) {}

    std::optional<Received> Await(long msgId)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        while (std::chrono::steady_clock::now() < deadline) {
            auto d = m_udp.Receive(200);
            if (!d)
                continue;
            Received r = m_sec.Receive(d->data(), static_cast<int>(d->size()), msgId);
            if (!IsStray(r.outcome))
                return r;
        }
        return std::nullopt;
    }

    bool Discover()
    {
        const long id = ++m_msgId;
        m_udp.Send(UsmSecurity::DiscoveryProbe(id, id));
        auto r = Await(id);
        return r && r->outcome == Outcome::Report && r->report == ReportKind::UnknownEngineId &&
               m_sec.LearnEngine(r->header);
    }

    // A GetRequest; one resend after a NotInTimeWindow report.
    std::optional<Received> Get(const CSnmpBer& bindings)
    {
        for (int attempt = 0; attempt < 2; ++attempt) {
            const long id = ++m_msgId;
            std::vector<unsigned char> req;
            if (!m_sec.BuildRequest(id, CSnmpBer::TagGetRequest, id, 0, 0, bindings, req))
                return std::nullopt;
            m_udp.Send(req);
            auto r = Await(id);
            if (!r || r->report != ReportKind::NotInTimeWindow)
                return r;
        }
        return std::nullopt;
    }

private:
    UsmSecurity& m_sec;
    Udp m_udp;
    long m_msgId = std::rand() % 100000;
};

class UsmAgent : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!harness::InNetns())
            GTEST_SKIP() << "needs the private network namespace: run ./test.sh";
    }

    static std::optional<Received> GetAs(const User& u, const char* authPass, const char* privPass,
                                         SecurityLevel level, const CSnmpBer& bindings)
    {
        UsmSecurity sec;
        UserSettings s{u.name, level, u.auth, u.priv, ""};
        if (sec.SetCredentials(s, authPass, privPass) != CredentialsResult::Ok)
            return std::nullopt;
        Conversation c(sec);
        if (!c.Discover())
            return std::nullopt;
        return c.Get(bindings);
    }
};

std::string OctetText(const CSnmpBer& bindings, int k)
{
    const int path[] = {k, 1, -1};
    const unsigned char* p = bindings.GetSequence(path);
    if (!p)
        return {};
    CSnmpBer v(p);
    return std::string(reinterpret_cast<const char*>(v.GetData()), static_cast<size_t>(v.GetDataLen()));
}

TEST_F(UsmAgent, EveryUserReadsWhatSnmpgetReads)
{
    const CSnmpBer bindings = BindingList({{kSysDescr, CSnmpBer()}, {kSysUpTime, CSnmpBer()}});
    for (const User& u : kUsers) {
        SCOPED_TRACE(u.name);
        const auto r = GetAs(u, u.authPass, u.privPass, u.level, bindings);
        ASSERT_TRUE(r.has_value()) << "no answer";
        ASSERT_EQ(r->outcome, Outcome::Response) << ReportName(r->report);
        EXPECT_EQ(r->authenticated, u.level != SecurityLevel::NoAuthNoPriv);
        EXPECT_EQ(r->pdu.errorStatus, 0);

        const std::vector<std::string> lines = harness::Lines(harness::Run(
            "snmpget -On -Ot -M /dev/null -m '' -t 2 -r 1 " + OracleArgs(u) + " " + harness::kAgentV4 +
            " 1.3.6.1.2.1.1.1.0 1.3.6.1.2.1.1.3.0 2>&1"));
        ASSERT_EQ(lines.size(), 2u) << (lines.empty() ? "" : lines[0]);
        EXPECT_EQ(lines[0], ".1.3.6.1.2.1.1.1.0 = STRING: \"" + OctetText(r->pdu.bindings, 0) + "\"");

        const int path[] = {1, 1, -1};
        CSnmpBer upTime(r->pdu.bindings.GetSequence(path));
        ASSERT_EQ(upTime.GetTagType(), CSnmpBer::TagTimeTicks);
        const long oracle = std::atol(lines[1].substr(lines[1].find(" = ") + 3).c_str());
        EXPECT_NEAR(static_cast<double>(upTime.GetULong()), static_cast<double>(oracle), 500.0)
            << "sysUpTime in hundredths";
    }
}

TEST_F(UsmAgent, RefusalsComeBackAsTheirReports)
{
    const CSnmpBer bindings = BindingList({{kSysDescr, CSnmpBer()}});
    const User& md5 = kUsers[1];
    const User& aes = kUsers[7];
    const User nobody{"quillon-nobody", SecurityLevel::AuthNoPriv, AuthProtocol::Sha256, "SHA-256", "sha256-auth-pass",
                      PrivProtocol::None, "", ""};
    User md5Priv = md5;
    md5Priv.priv = PrivProtocol::Aes128;
    struct Case {
        const char* what;
        const User& user;
        const char* authPass;
        SecurityLevel level;
        ReportKind expected;
    };
    const Case cases[] = {
        {"wrong authentication passphrase", md5, "not-the-passphrase", SecurityLevel::AuthNoPriv,
         ReportKind::WrongDigest},
        {"unknown user", nobody, nobody.authPass, SecurityLevel::AuthNoPriv, ReportKind::UnknownUserName},
        {"level the user lacks", md5Priv, md5.authPass, SecurityLevel::AuthPriv, ReportKind::UnsupportedSecLevel},
    };
    for (const Case& c : cases) {
        const auto r = GetAs(c.user, c.authPass, "some-priv-pass", c.level, bindings);
        ASSERT_TRUE(r.has_value()) << c.what << ": no answer";
        EXPECT_EQ(r->outcome, Outcome::Report) << c.what;
        EXPECT_EQ(r->report, c.expected) << c.what << ": " << ReportName(r->report);
        EXPECT_FALSE(r->authenticated) << c.what;
    }
    // snmpd cannot tell a wrong privacy passphrase: the decrypted scoped
    // PDU does not parse and it drops the request without a report.
    EXPECT_FALSE(GetAs(aes, aes.authPass, "not-the-priv-pass", SecurityLevel::AuthPriv, bindings).has_value());
}

// A request stamped with a stale time gets the authenticated
// NotInTimeWindow report, which resynchronises; the resend succeeds.
TEST_F(UsmAgent, StaleTimeResynchronisesOnce)
{
    const User& u = kUsers[7];
    UsmSecurity sec;
    ASSERT_EQ(sec.SetCredentials({u.name, u.level, u.auth, u.priv, ""}, u.authPass, u.privPass), CredentialsResult::Ok);
    Conversation c(sec);
    ASSERT_TRUE(c.Discover());
    Header stale;
    stale.security.engineId = sec.EngineId();
    stale.security.boots = 0;
    stale.security.time = 0;
    ASSERT_TRUE(sec.LearnEngine(stale));
    const auto r = c.Get(BindingList({{kSysDescr, CSnmpBer()}}));
    ASSERT_TRUE(r.has_value());
    EXPECT_EQ(r->outcome, Outcome::Response) << ReportName(r->report);
    EXPECT_GE(sec.Boots(), 1);
}

}  // namespace
