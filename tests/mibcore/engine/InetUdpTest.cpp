// The request context's socket: family from the settings, wildcard bind,
// replacement, sharing between copies, and the failure messages.

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sched.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "mibcore/platform/MessageBox.h"
#include "tests/mibcore/engine/EngineFixture.h"

namespace {

struct Bound {
    int family = 0;
    int port = 0;
    bool wildcard = false;
};

Bound Local(unsigned socket)
{
    Bound b;
    sockaddr_storage sa;
    socklen_t len = sizeof sa;
    if (getsockname(static_cast<int>(socket), reinterpret_cast<sockaddr*>(&sa), &len) != 0)
        return b;
    b.family = sa.ss_family;
    if (sa.ss_family == AF_INET) {
        auto* in = reinterpret_cast<sockaddr_in*>(&sa);
        b.port = ntohs(in->sin_port);
        b.wildcard = in->sin_addr.s_addr == htonl(INADDR_ANY);
    } else if (sa.ss_family == AF_INET6) {
        auto* in6 = reinterpret_cast<sockaddr_in6*>(&sa);
        b.port = ntohs(in6->sin6_port);
        b.wildcard = IN6_IS_ADDR_UNSPECIFIED(&in6->sin6_addr);
    }
    return b;
}

bool IsOpen(unsigned socket)
{
    return fcntl(static_cast<int>(socket), F_GETFD) != -1;
}

// Collects the texts of message boxes.
class Messages {
public:
    Messages()
    {
        old_ = platform::SetMessageHook([this](const platform::MessageRequest& r) {
            texts.push_back(r.text);
            types.push_back(r.type);
            return platform::IDOK;
        });
    }
    ~Messages() { platform::SetMessageHook(old_); }
    std::vector<std::string> texts;
    std::vector<unsigned> types;

private:
    platform::MessageHook old_;
};

class InetUdpTest : public enginetest::AgentSettings {};

}  // namespace

TEST_F(InetUdpTest, FamilyFollowsSettingsAndSocketIsReplaced)
{
    QUILLON_REQUIRE_NETNS();  // IPv6 on loopback
    Messages messages;
    MIBAgent::getInstance()->setNetworkLayerType(2);
    InetUdp udp;
    const unsigned first = udp.getSocket();
    ASSERT_NE(first, InetUdp::NoSocket);
    Bound b4 = Local(first);
    EXPECT_EQ(b4.family, AF_INET);
    EXPECT_TRUE(b4.wildcard);
    EXPECT_NE(b4.port, 0);

    // Same family again: a new socket on a new ephemeral port, old one closed.
    udp.createSocket();
    const unsigned second = udp.getSocket();
    Bound again = Local(second);
    EXPECT_EQ(again.family, AF_INET);
    EXPECT_NE(again.port, b4.port);

    // After the switch to IPv6 the next socket is IPv6 on the wildcard.
    MIBAgent::getInstance()->setNetworkLayerType(23);
    udp.createSocket();
    Bound b6 = Local(udp.getSocket());
    EXPECT_EQ(b6.family, AF_INET6);
    EXPECT_TRUE(b6.wildcard);
    EXPECT_NE(b6.port, 0);
    EXPECT_EQ(udp.getFamily(), AF_INET6);
    EXPECT_TRUE(messages.texts.empty());

    // A context keeps the family it was created with.
    MIBBasicItem item;
    MIBAgent::getInstance()->setNetworkLayerType(2);
    EXPECT_EQ(Local(item.getInetUdp()->getSocket()).family, AF_INET6);
}

TEST_F(InetUdpTest, CopiesShareTheSocketUntilTheLastOneGoes)
{
    MIBAgent::getInstance()->setNetworkLayerType(2);
    auto* original = new MIBBasicItem;
    original->setResult(21);
    original->setErrCnt(2);
    original->setRepeat(1);
    MIBBasicItem copy(*original);
    const unsigned fd = copy.getInetUdp()->getSocket();
    EXPECT_EQ(fd, original->getInetUdp()->getSocket());
    EXPECT_EQ(copy.getResult(), 21);
    EXPECT_EQ(copy.getErrCnt(), 2);
    EXPECT_EQ(copy.getRepeat(), 1);

    // The socket outlives the first owner: the copy can still use it, and
    // the number is not closed twice (it might belong to a new file by then).
    delete original;
    EXPECT_TRUE(IsOpen(fd));
    EXPECT_EQ(Local(fd).family, AF_INET);

    // Assignment drops the target's own socket.
    MIBBasicItem other;
    const unsigned otherFd = other.getInetUdp()->getSocket();
    other = copy;
    EXPECT_EQ(other.getInetUdp()->getSocket(), fd);
    EXPECT_FALSE(IsOpen(otherFd));

    // Replacing the socket of one copy leaves the other's alone.
    other.getInetUdp()->createSocket();
    EXPECT_NE(other.getInetUdp()->getSocket(), fd);
    EXPECT_TRUE(IsOpen(fd));
}

TEST_F(InetUdpTest, UnknownFamilyShowsSocketError)
{
    Messages messages;
    MIBAgent::getInstance()->setNetworkLayerType(99);
    InetUdp udp;
    EXPECT_EQ(udp.getSocket(), InetUdp::NoSocket);
    ASSERT_EQ(messages.texts.size(), 1u);
    EXPECT_EQ(messages.texts[0], "socketエラー");
    EXPECT_EQ(messages.types[0], platform::MB_OK);

    // Requests on a context without a socket fail with the send error.
    MIBBasicItem item;  // made while the family is still 99
    EXPECT_EQ(item.getInetUdp()->getSocket(), InetUdp::NoSocket);
    MIBAgent* a = Use("127.0.0.1");
    CSnmpBer b = enginetest::Bindings({"1.3.6.1.2.1.1.1.0"});
    EXPECT_EQ(SnmpData(a, &item, b, 0xA0, nullptr), 20);
    EXPECT_EQ(SnmpData(a, nullptr, b, 0xA0, nullptr), 20);
}

TEST_F(InetUdpTest, BindFailureIsShownAndSocketStaysOpen)
{
    QUILLON_REQUIRE_NETNS();
    // In a network namespace of its own, narrow the ephemeral range to one
    // port and take it, so binding to port 0 must fail.
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        int code = 0;
        if (unshare(CLONE_NEWNET) != 0)
            _exit(10);
        std::ofstream("/proc/sys/net/ipv4/ip_local_port_range") << "40000 40000";
        int blocker4 = socket(AF_INET, SOCK_DGRAM, 0);
        sockaddr_in sa{};
        sa.sin_family = AF_INET;
        sa.sin_port = htons(40000);
        if (bind(blocker4, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0)
            _exit(11);
        int blocker6 = socket(AF_INET6, SOCK_DGRAM, 0);
        int only = 1;
        setsockopt(blocker6, IPPROTO_IPV6, IPV6_V6ONLY, &only, sizeof only);
        sockaddr_in6 sa6{};
        sa6.sin6_family = AF_INET6;
        sa6.sin6_port = htons(40000);
        if (bind(blocker6, reinterpret_cast<sockaddr*>(&sa6), sizeof sa6) != 0)
            _exit(12);

        std::vector<std::string> seen;
        platform::SetMessageHook([&](const platform::MessageRequest& r) {
            seen.push_back(r.text);
            return platform::IDOK;
        });
        MIBAgent::getInstance()->setNetworkLayerType(2);
        InetUdp v4;
        MIBAgent::getInstance()->setNetworkLayerType(23);
        InetUdp v6;
        if (seen.size() != 2 || seen[0] != "bind IPv4エラー" || seen[1] != "bind IPv6エラー")
            code = 20 + static_cast<int>(seen.size());
        else if (v4.getSocket() == InetUdp::NoSocket || v6.getSocket() == InetUdp::NoSocket)
            code = 30;
        _exit(code);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 10 || WEXITSTATUS(status) == 11)
        GTEST_SKIP() << "cannot narrow the port range here";
    EXPECT_EQ(WEXITSTATUS(status), 0);
}
