#include "mibcore/agent/AgentPort.h"

#include "mibcore/engine/SnmpData.h"

#include <arpa/inet.h>

#include <cstring>

namespace agentport {

bool IsLoopback(const std::string& addr)
{
    in_addr v4{};
    if (::inet_pton(AF_INET, addr.c_str(), &v4) == 1)
        return (ntohl(v4.s_addr) >> 24) == 127;
    in6_addr v6{};
    if (::inet_pton(AF_INET6, addr.c_str(), &v6) != 1)
        return false;
    if (IN6_IS_ADDR_LOOPBACK(&v6))
        return true;
    return IN6_IS_ADDR_V4MAPPED(&v6) && v6.s6_addr[12] == 127;
}

int PortFor(const std::string& addr)
{
    return IsLoopback(addr) ? snmpengine::AgentPort() : 161;
}

}  // namespace agentport
