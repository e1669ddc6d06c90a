#pragma once
// The SNMPv3 state of one user towards one agent: the keys made from the
// passphrases (memory only, wiped when the last holder lets go) and what
// discovery learned (engine ID, boots, time). Every MIBAgent copy made
// from the settings shares one session, so the windows' timers and the
// tree browser's worker discover once and keep one clock; the lock guards
// it, and is held only while a message is built or judged and during a
// discovery, never during an ordinary wait.

#include <mutex>
#include <string>
#include <string_view>

#include "mibcore/engine/usm/UsmSecurity.h"

namespace snmpengine {

class V3Session {
public:
    // Makes the keys (1 MiB hash per passphrase); the passphrases are not kept.
    usm::CredentialsResult SetCredentials(const usm::UserSettings& user, std::string_view authPassphrase,
                                          std::string_view privPassphrase)
    {
        std::lock_guard<std::recursive_mutex> g(m_lock);
        m_peer.clear();
        m_confirmed = false;
        return m_security.SetCredentials(user, authPassphrase, privPassphrase);
    }
    // Whether the keys were made for exactly these settings.
    bool Serves(const usm::UserSettings& user)
    {
        std::lock_guard<std::recursive_mutex> g(m_lock);
        const usm::UserSettings& u = m_security.User();
        return m_security.HasCredentials() && u.userName == user.userName && u.level == user.level &&
               u.contextName == user.contextName &&
               (user.level == usm::SecurityLevel::NoAuthNoPriv || u.auth == user.auth) &&
               (user.level != usm::SecurityLevel::AuthPriv || u.priv == user.priv);
    }

    std::recursive_mutex& Lock() { return m_lock; }
    // Below: only with Lock() held.
    usm::UsmSecurity& Security() { return m_security; }
    // The agent ("address port") the engine was discovered at; empty: not yet.
    std::string& Peer() { return m_peer; }
    // Whether an authenticated response has come since discovery (a later
    // silence is then the network's, not a wrong privacy passphrase).
    bool& Confirmed() { return m_confirmed; }

private:
    std::recursive_mutex m_lock;
    usm::UsmSecurity m_security;
    std::string m_peer;
    bool m_confirmed = false;
};

}  // namespace snmpengine
