#pragma once
// Settings of the one SNMP agent every view polls. Two instances exist: the
// current settings and a saved copy that the agent dialog snapshots before
// editing, so a cancelled edit can be rolled back.

#include <cstdint>
#include <memory>
#include <string>

#include "mibcore/engine/usm/UsmSecurity.h"

namespace snmpengine {
class V3Session;
}

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
    // Copies the settings; a copy shares the SNMPv3 session (keys and
    // discovery) instead of holding secrets of its own.
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

    // SNMPv3 user settings (nothing secret; stored in agent.ini).
    std::string& getUserName() { return m_userName; }
    void setUserName(const std::string& n) { m_userName = n; }
    snmpengine::usm::SecurityLevel getSecurityLevel() const { return m_level; }
    void setSecurityLevel(snmpengine::usm::SecurityLevel l) { m_level = l; }
    snmpengine::usm::AuthProtocol getAuthProtocol() const { return m_auth; }
    void setAuthProtocol(snmpengine::usm::AuthProtocol p) { m_auth = p; }
    snmpengine::usm::PrivProtocol getPrivProtocol() const { return m_priv; }
    void setPrivProtocol(snmpengine::usm::PrivProtocol p) { m_priv = p; }
    std::string& getContextName() { return m_contextName; }
    void setContextName(const std::string& n) { m_contextName = n; }
    snmpengine::usm::UserSettings getUserSettings() const;

    // Makes the keys of the current user settings from the passphrases (a
    // new session: engine discovered afresh). The passphrases are not kept;
    // the previous keys are wiped once no copy uses them.
    snmpengine::usm::CredentialsResult setV3Passphrases(const std::string& auth, const std::string& priv);
    // Whether keys exist for exactly the current user settings.
    bool hasV3Keys() const;
    // Drops this copy's hold on the keys (wiped with the last holder).
    void clearV3Keys() { m_v3.reset(); }
    // The session the engine uses; null before setV3Passphrases.
    snmpengine::V3Session* getV3Session() const { return m_v3.get(); }

    // Names as agent.ini stores them and the dialog shows them.
    static const char* LevelName(snmpengine::usm::SecurityLevel l);
    static const char* AuthName(snmpengine::usm::AuthProtocol p);
    static const char* PrivName(snmpengine::usm::PrivProtocol p);
    // The value of a stored name; fallback when unknown.
    static snmpengine::usm::SecurityLevel LevelFromName(const std::string& s, snmpengine::usm::SecurityLevel fallback);
    static snmpengine::usm::AuthProtocol AuthFromName(const std::string& s, snmpengine::usm::AuthProtocol fallback);
    static snmpengine::usm::PrivProtocol PrivFromName(const std::string& s, snmpengine::usm::PrivProtocol fallback);

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
    std::string m_userName;
    snmpengine::usm::SecurityLevel m_level = snmpengine::usm::SecurityLevel::AuthPriv;
    snmpengine::usm::AuthProtocol m_auth = snmpengine::usm::AuthProtocol::Sha256;
    snmpengine::usm::PrivProtocol m_priv = snmpengine::usm::PrivProtocol::Aes128;
    std::string m_contextName;
    std::shared_ptr<snmpengine::V3Session> m_v3;
};

// Probe the current agent with one GetRequest for sysDescr.0 on a fresh
// request context. 0: the agent answered with error-status 0; otherwise the
// engine's result code or the agent's error-status.
int checkAgent();
// The same for any settings (a copy being edited); thread-safe for a copy
// no other thread touches.
int checkAgent(MIBAgent* agent);
