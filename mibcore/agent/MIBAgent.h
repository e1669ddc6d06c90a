#pragma once
// Settings of the one SNMP agent every view polls. Two instances exist: the
// current settings and a saved copy that the agent dialog snapshots before
// editing, so a cancelled edit can be rolled back.

#include <cstdint>
#include <string>

class MIBAgent {
public:
    // The current settings.
    static MIBAgent* getInstance();
    // The saved copy.
    static MIBAgent* getOldInstance();
    // saved copy := current settings
    static void copyNow2OldInstance();
    // current settings := saved copy
    static void copyOld2NowInstance();

    // A working copy (the agent dialog edits and probes one, and commits it
    // to the current settings only when the agent answered; a background
    // job works on its own, so it never reads settings being written).
    MIBAgent(const MIBAgent& src);
    // Copies exactly the nine settings.
    MIBAgent& operator=(const MIBAgent& src);

    // What the dialog accepts and agent.ini is brought into: enough for a
    // slow link, never a wait of hours for one request.
    enum : int {
        MaxSendErrCnt = 99,
        MaxRecvErrCnt = 10,
        MaxTimeoutUsec = 30000000,  // 30 s
    };

    // Text getters hand out the field itself; setters copy. Nothing is
    // validated here: the transport rejects what it cannot use.
    std::string& getAddr() { return m_addr; }
    void setAddr(const std::string& addr) { m_addr = addr; }
    std::string& getReadCommunity() { return m_readCommunity; }
    void setReadCommunity(const std::string& c) { m_readCommunity = c; }
    std::string& getWriteCommunity() { return m_writeCommunity; }
    void setWriteCommunity(const std::string& c) { m_writeCommunity = c; }

    int getSendErrCnt() const { return m_sendErrCnt; }
    void setSendErrCnt(int n) { m_sendErrCnt = n; }
    int getRecvErrCnt() const { return m_recvErrCnt; }
    void setRecvErrCnt(int n) { m_recvErrCnt = n; }
    long getTvSec() const { return m_tvSec; }
    void setTvSec(long s) { m_tvSec = static_cast<std::int32_t>(s); }
    long getTvUSec() const { return m_tvUSec; }
    void setTvUSec(long us) { m_tvUSec = static_cast<std::int32_t>(us); }
    // 2 = IPv4, 23 = IPv6 (the stored family numbers, mapped by the transport).
    int getNetworkLayerType() const { return m_networkLayerType; }
    void setNetworkLayerType(int type) { m_networkLayerType = type; }

    enum : int { FamilyIPv4 = 2, FamilyIPv6 = 23 };

    // The protocol version; the values are the message's version field.
    enum class Version : int { V1 = 0, V2c = 1, V3 = 3 };
    Version getVersion() const { return m_version; }
    void setVersion(Version v) { m_version = v; }
    // The version named by a stored number; anything unknown reads as v1.
    static Version VersionFromNumber(long n);

private:
    MIBAgent();

    static MIBAgent m_MibAgent;
    static MIBAgent m_oldMibAgent;

    std::string m_addr;
    std::string m_readCommunity = "cedrus";
    std::string m_writeCommunity = "cedrus";
    std::int32_t m_sendErrCnt = 3;
    std::int32_t m_recvErrCnt = 3;
    std::int32_t m_tvSec = 0;
    std::int32_t m_tvUSec = 500000;
    std::int32_t m_networkLayerType = FamilyIPv4;
    Version m_version = Version::V1;
};

// Probe the current agent with one GetRequest for sysDescr.0 on a fresh
// request context. 0: the agent answered with error-status 0; otherwise the
// engine's result code or the agent's error-status.
int checkAgent();
// The same for any settings (a copy being edited); thread-safe for a copy
// no other thread touches.
int checkAgent(MIBAgent* agent);
