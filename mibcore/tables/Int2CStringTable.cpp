#include "mibcore/tables/Int2CStringTable.h"

Int2CStringList::~Int2CStringList()
{
    while (!m_list.empty()) {
        delete m_list.front();
        m_list.pop_front();
    }
}

const std::string* Int2CStringList::findVal(int key) const
{
    for (const Int2CStringTable* row : m_list)
        if (row->getKey() == key)
            return &row->getVal();
    return nullptr;
}

void Int2CStringList::AppendNumbered(const char* const* texts, int count)
{
    for (int p = 0; p < count; ++p)
        m_list.push_back(new Int2CStringTable(p + 1, texts[p]));
}

void Int2CStringList::AppendKeyed(const int* keys, const char* const* texts, int count)
{
    for (int p = 0; p < count; ++p)
        m_list.push_back(new Int2CStringTable(keys[p], texts[p]));
}

IfTypeList IfTypeList::m_ifTypeList;

void IfTypeList::Initialize()
{
    static const char* const texts[] = {
        "other", "regular1822", "hdh1822", "ddn-x25", "rfc877-x25", "ethernet-csmacd",
        "iso88023-csmacd", "iso88024-tokenBus", "iso88025-tokenRing", "iso88026-man", "starLan",
        "proteon-10Mbit", "proteon-80Mbit", "hyperchannel", "fddi", "lapb", "sdlc", "ds1", "e1",
        "basicISDN", "primaryISDN", "propPointToPointSerial", "ppp", "softwareLoopback", "eon",
        "ethernet-3Mbit", "nsip", "slip", "ultra", "ds3", "sip", "frame-relay",
    };
    AppendNumbered(texts, int(sizeof texts / sizeof texts[0]));
}

IfOperStatusList IfOperStatusList::m_ifOperStatusList;

void IfOperStatusList::Initialize()
{
    static const char* const texts[] = {
        "up", "down", "testing",
    };
    AppendNumbered(texts, int(sizeof texts / sizeof texts[0]));
}

IpNetToMediaTypeList IpNetToMediaTypeList::m_IpNetToMediaTypeList;

void IpNetToMediaTypeList::Initialize()
{
    static const char* const texts[] = {
        "other", "invalid", "dynamic", "static",
    };
    AppendNumbered(texts, int(sizeof texts / sizeof texts[0]));
}

IpRouteProtoList IpRouteProtoList::m_IpRouteProtoList;

void IpRouteProtoList::Initialize()
{
    static const char* const texts[] = {
        "other", "local", "netmgt", "icmp", "egp", "ggp", "hello", "rip", "is-is", "es-is",
        "ciscoigrp", "bbnSpfigp", "ospf", "bgp",
    };
    AppendNumbered(texts, int(sizeof texts / sizeof texts[0]));
}

IpRouteTypeList IpRouteTypeList::m_IpRouteTypeList;

void IpRouteTypeList::Initialize()
{
    static const char* const texts[] = {
        "other", "invalid", "direct", "indirect",
    };
    AppendNumbered(texts, int(sizeof texts / sizeof texts[0]));
}

TcpConnStateList TcpConnStateList::m_TcpConnStateList;

void TcpConnStateList::Initialize()
{
    static const char* const texts[] = {
        "closed", "listen", "synSent", "SynReceived", "established", "finWait1", "finWait2",
        "closeWait", "LastAck", "closing", "timeWait", "deleteTCB",
    };
    AppendNumbered(texts, int(sizeof texts / sizeof texts[0]));
}

TcpRtoAlgorithmList TcpRtoAlgorithmList::m_TcpRtoAlgorithmList;

void TcpRtoAlgorithmList::Initialize()
{
    static const char* const texts[] = {
        "other", "constant", "MIL-STD-1778", "Van Jacobson",
    };
    AppendNumbered(texts, int(sizeof texts / sizeof texts[0]));
}

TcpPortList TcpPortList::m_TcpPortList;

void TcpPortList::Initialize()
{
    static const int keys[] = {
        7, 9, 11, 13, 17, 19, 20, 21, 23, 25, 37, 42, 43, 70, 79, 80, 88, 101, 102, 107, 109, 110,
        111, 113, 117, 119, 135, 137, 139, 143, 158, 170, 179, 194, 389, 443, 445, 464, 512, 513,
        514, 515, 520, 526, 530, 531, 532, 540, 543, 544, 556, 636, 666, 749, 1109, 1433, 1434,
        1512, 1524, 1723, 2053, 9535,
    };
    static const char* const texts[] = {
        "echo", "discard", "systat", "daytime", "qotd", "chargen", "ftp-data", "ftp", "telnet",
        "smtp", "time", "nameserver", "nicname", "gopher", "finger", "http", "kerberos", "hostname",
        "iso-tsap", "rtelnet", "pop2", "pop3", "sunrpc", "auth", "uucp-path", "nntp", "epmap",
        "netbios-ns", "netbios-ssn", "imap", "pcmail-srv", "print-srv", "bgp", "irc", "ldap",
        "https", "microsoft-ds", "kpasswd", "exec", "login", "cmd", "printer", "efs", "tempo",
        "courier", "conference", "netnews", "uucp", "klogin", "kshell", "remotefs", "ldaps", "doom",
        "kerberos-adm", "kpop", "ms-sql-s", "ms-sql-m", "wins", "ingreslock", "pptp", "knetd",
        "man",
    };
    static_assert(sizeof keys / sizeof keys[0] == sizeof texts / sizeof texts[0]);
    AppendKeyed(keys, texts, int(sizeof keys / sizeof keys[0]));
}

UdpPortList UdpPortList::m_UdpPortList;

void UdpPortList::Initialize()
{
    static const int keys[] = {
        7, 9, 13, 17, 19, 37, 39, 42, 53, 67, 68, 69, 88, 111, 123, 135, 137, 138, 161, 162, 213,
        443, 445, 464, 500, 512, 513, 514, 517, 518, 520, 525, 533, 550, 560, 561, 666, 749, 750,
        1167, 1433, 1434, 1512, 1701, 1812, 1813, 2049,
    };
    static const char* const texts[] = {
        "echo", "discard", "daytime", "qotd", "chargen", "time", "rlp", "nameserver", "domain",
        "bootps", "bootpc", "tftp", "kerberos", "sunrpc", "ntp", "epmap", "netbios-ns",
        "netbios-dgm", "snmp", "snmptrap", "ipx", "https", "microsoft-ds", "kpasswd", "isakmp",
        "biff", "who", "syslog", "talk", "ntalk", "router", "timed", "netwall", "new-rwho",
        "rmonitor", "monitor", "doom", "kerberos-adm", "kerberos-iv", "phone", "ms-sql-s",
        "ms-sql-m", "wins", "l2tp", "radius", "radacct", "nfsd",
    };
    static_assert(sizeof keys / sizeof keys[0] == sizeof texts / sizeof texts[0]);
    AppendKeyed(keys, texts, int(sizeof keys / sizeof keys[0]));
}
