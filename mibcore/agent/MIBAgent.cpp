#include "mibcore/agent/MIBAgent.h"

#include "mibcore/engine/MIBBasicItem.h"
#include "mibcore/engine/SnmpData.h"
#include "mibcore/engine/V3Session.h"
#include "snmpval/CSnmpBer.h"
#include "snmpval/VarBind.h"

MIBAgent MIBAgent::m_MibAgent;
MIBAgent MIBAgent::m_oldMibAgent;

MIBAgent::MIBAgent() = default;

MIBAgent::MIBAgent(const MIBAgent& src)
{
    *this = src;
}

MIBAgent& MIBAgent::operator=(const MIBAgent& src)
{
    if (this == &src)
        return *this;
    m_addr = src.m_addr;
    m_readCommunity = src.m_readCommunity;
    m_writeCommunity = src.m_writeCommunity;
    m_sendErrCnt = src.m_sendErrCnt;
    m_recvErrCnt = src.m_recvErrCnt;
    m_tvSec = src.m_tvSec;
    m_tvUSec = src.m_tvUSec;
    m_networkLayerType = src.m_networkLayerType;
    m_version = src.m_version;
    m_userName = src.m_userName;
    m_level = src.m_level;
    m_auth = src.m_auth;
    m_priv = src.m_priv;
    m_contextName = src.m_contextName;
    m_v3 = src.m_v3;
    return *this;
}

MIBAgent::Version MIBAgent::VersionFromNumber(long n)
{
    if (n == static_cast<long>(Version::V2c))
        return Version::V2c;
    if (n == static_cast<long>(Version::V3))
        return Version::V3;
    return Version::V1;
}

using namespace snmpengine::usm;

namespace {
const struct {
    SecurityLevel value;
    const char* name;
} kLevels[] = {{SecurityLevel::NoAuthNoPriv, "noAuthNoPriv"},
               {SecurityLevel::AuthNoPriv, "authNoPriv"},
               {SecurityLevel::AuthPriv, "authPriv"}};
const struct {
    AuthProtocol value;
    const char* name;
} kAuths[] = {{AuthProtocol::Md5, "MD5"},         {AuthProtocol::Sha1, "SHA-1"},
              {AuthProtocol::Sha224, "SHA-224"}, {AuthProtocol::Sha256, "SHA-256"},
              {AuthProtocol::Sha384, "SHA-384"}, {AuthProtocol::Sha512, "SHA-512"}};
const struct {
    PrivProtocol value;
    const char* name;
} kPrivs[] = {{PrivProtocol::Aes128, "AES-128"}, {PrivProtocol::Aes192, "AES-192"}, {PrivProtocol::Aes256, "AES-256"}};

template <class Table, class T>
const char* NameOf(const Table& table, T v)
{
    for (const auto& e : table)
        if (e.value == v)
            return e.name;
    return "";
}
template <class Table, class T>
T ValueOf(const Table& table, const std::string& s, T fallback)
{
    for (const auto& e : table)
        if (s == e.name)
            return e.value;
    return fallback;
}
}  // namespace

const char* MIBAgent::LevelName(SecurityLevel l) { return NameOf(kLevels, l); }
const char* MIBAgent::AuthName(AuthProtocol p) { return NameOf(kAuths, p); }
const char* MIBAgent::PrivName(PrivProtocol p) { return NameOf(kPrivs, p); }
SecurityLevel MIBAgent::LevelFromName(const std::string& s, SecurityLevel f) { return ValueOf(kLevels, s, f); }
AuthProtocol MIBAgent::AuthFromName(const std::string& s, AuthProtocol f) { return ValueOf(kAuths, s, f); }
PrivProtocol MIBAgent::PrivFromName(const std::string& s, PrivProtocol f) { return ValueOf(kPrivs, s, f); }

UserSettings MIBAgent::getUserSettings() const
{
    return UserSettings{m_userName, m_level, m_auth, m_priv, m_contextName};
}

CredentialsResult MIBAgent::setV3Passphrases(const std::string& auth, const std::string& priv)
{
    auto session = std::make_shared<snmpengine::V3Session>();
    const CredentialsResult r = session->SetCredentials(getUserSettings(), auth, priv);
    // A refused set leaves no keys at all: the old ones belong to other settings.
    m_v3 = r == CredentialsResult::Ok ? std::move(session) : nullptr;
    return r;
}

bool MIBAgent::hasV3Keys() const
{
    return m_v3 && m_v3->Serves(getUserSettings());
}

MIBAgent* MIBAgent::getInstance()
{
    return &m_MibAgent;
}

MIBAgent* MIBAgent::getOldInstance()
{
    return &m_oldMibAgent;
}

void MIBAgent::copyNow2OldInstance()
{
    m_oldMibAgent = m_MibAgent;
}

void MIBAgent::copyOld2NowInstance()
{
    m_MibAgent = m_oldMibAgent;
}

int checkAgent()
{
    return checkAgent(MIBAgent::getInstance());
}

int checkAgent(MIBAgent* agent)
{
    static const unsigned long sysDescr[] = {1, 3, 6, 1, 2, 1, 1, 1, 0};
    CSnmpBer name;
    name.SetOid(sysDescr, 9);
    CSnmpBer bindings = MakeVarBindList(name);

    // A fresh context so the socket matches the family of the settings probed.
    MIBBasicItem item;
    if (agent != MIBAgent::getInstance())
        item.getInetUdp()->createSocket(agent->getNetworkLayerType());
    int running = 1;
    return SnmpData(agent, &item, bindings, CSnmpBer::TagGetRequest, &running);
}
