#include "mibcore/agent/MIBAgent.h"

#include "mibcore/engine/MIBBasicItem.h"
#include "mibcore/engine/SnmpData.h"
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
    return *this;
}

MIBAgent::Version MIBAgent::VersionFromNumber(long n)
{
    // v3 is not spoken yet: a file naming it falls back to v1.
    return n == static_cast<long>(Version::V2c) ? Version::V2c : Version::V1;
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
