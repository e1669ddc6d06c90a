#include "mibcore/engine/InetUdp.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>

#include "mibcore/agent/MIBAgent.h"
#include "mibcore/platform/Language.h"
#include "mibcore/platform/MessageBox.h"

InetUdp::Handle::~Handle()
{
    if (fd >= 0)
        ::close(fd);
}

InetUdp::InetUdp()
{
    createSocket();
}

void InetUdp::createSocket()
{
    createSocket(MIBAgent::getInstance()->getNetworkLayerType());
}

void InetUdp::createSocket(int stored)
{
    // Other copies keep the old socket until they let go of it.
    m_socket.reset();

    int family = stored;
    if (stored == MIBAgent::FamilyIPv4)
        family = AF_INET;
    else if (stored == MIBAgent::FamilyIPv6)
        family = AF_INET6;

    const int fd = ::socket(family, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        platform::MessageBox(QT_TRANSLATE_NOOP("Quillon", "socketエラー"), platform::MB_OK);
        return;
    }
    auto handle = std::make_shared<Handle>();
    handle->fd = fd;
    handle->family = family;
    m_socket = handle;

    if (family == AF_INET) {
        sockaddr_in sa;
        std::memset(&sa, 0, sizeof sa);
        sa.sin_family = AF_INET;
        sa.sin_addr.s_addr = htonl(INADDR_ANY);
        sa.sin_port = 0;
        if (::bind(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0)
            platform::MessageBox(QT_TRANSLATE_NOOP("Quillon", "bind IPv4エラー"), platform::MB_OK);
    } else if (family == AF_INET6) {
        sockaddr_in6 sa;
        std::memset(&sa, 0, sizeof sa);
        sa.sin6_family = AF_INET6;
        sa.sin6_addr = in6addr_any;
        sa.sin6_port = 0;
        if (::bind(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0)
            platform::MessageBox(QT_TRANSLATE_NOOP("Quillon", "bind IPv6エラー"), platform::MB_OK);
    }
    // Any other family stays unbound.
}

unsigned InetUdp::getSocket() const
{
    return m_socket ? static_cast<unsigned>(m_socket->fd) : NoSocket;
}

int InetUdp::getFamily() const
{
    return m_socket ? m_socket->family : 0;
}
