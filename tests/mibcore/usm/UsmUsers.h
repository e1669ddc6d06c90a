#pragma once
// The SNMPv3 users of the namespace snmpd (tests/support/agent/snmpd.conf.in)
// and the options that make snmpget/snmpbulkwalk speak as each of them.

#include <string>
#include <vector>

#include "mibcore/agent/MIBAgent.h"
#include "mibcore/engine/SnmpData.h"
#include "mibcore/engine/usm/UsmCrypto.h"
#include "tests/support/Harness.h"

namespace usmtest {

using namespace snmpengine::usm;

struct User {
    const char* name;
    SecurityLevel level;
    AuthProtocol auth;
    const char* authName;  // as snmpget spells it
    const char* authPass;
    PrivProtocol priv;
    const char* privName;
    const char* privPass;
};

inline const User kUsers[] = {
    {"quillon-none", SecurityLevel::NoAuthNoPriv, AuthProtocol::None, "", "", PrivProtocol::None, "", ""},
    {"quillon-md5", SecurityLevel::AuthNoPriv, AuthProtocol::Md5, "MD5", "md5-auth-pass", PrivProtocol::None, "", ""},
    {"quillon-sha1", SecurityLevel::AuthNoPriv, AuthProtocol::Sha1, "SHA-1", "sha1-auth-pass", PrivProtocol::None, "", ""},
    {"quillon-sha224", SecurityLevel::AuthNoPriv, AuthProtocol::Sha224, "SHA-224", "sha224-auth-pass", PrivProtocol::None,
     "", ""},
    {"quillon-sha256", SecurityLevel::AuthNoPriv, AuthProtocol::Sha256, "SHA-256", "sha256-auth-pass", PrivProtocol::None,
     "", ""},
    {"quillon-sha384", SecurityLevel::AuthNoPriv, AuthProtocol::Sha384, "SHA-384", "sha384-auth-pass", PrivProtocol::None,
     "", ""},
    {"quillon-sha512", SecurityLevel::AuthNoPriv, AuthProtocol::Sha512, "SHA-512", "sha512-auth-pass", PrivProtocol::None,
     "", ""},
    {"quillon-sha256-aes128", SecurityLevel::AuthPriv, AuthProtocol::Sha256, "SHA-256", "sha256-auth-pass",
     PrivProtocol::Aes128, "AES", "aes128-priv-pass"},
    {"quillon-sha512-aes256", SecurityLevel::AuthPriv, AuthProtocol::Sha512, "SHA-512", "sha512-auth-pass",
     PrivProtocol::Aes256, "AES-256", "aes256-priv-pass"},
    // The two users whose localised key is shorter than the AES key.
    {"quillon-sha1-aes192", SecurityLevel::AuthPriv, AuthProtocol::Sha1, "SHA-1", "sha1-auth-pass", PrivProtocol::Aes192,
     "AES-192", "aes192-priv-pass"},
    {"quillon-md5-aes256", SecurityLevel::AuthPriv, AuthProtocol::Md5, "MD5", "md5-auth-pass", PrivProtocol::Aes256,
     "AES-256", "aes256-priv-pass"},
};

inline const char* LevelName(SecurityLevel l)
{
    return l == SecurityLevel::NoAuthNoPriv ? "noAuthNoPriv" : l == SecurityLevel::AuthNoPriv ? "authNoPriv" : "authPriv";
}

inline std::string OracleArgs(const User& u)
{
    std::string a = std::string("-v3 -u ") + u.name + " -l " + LevelName(u.level);
    if (u.level != SecurityLevel::NoAuthNoPriv)
        a += std::string(" -a ") + u.authName + " -A " + u.authPass;
    if (u.level == SecurityLevel::AuthPriv)
        a += std::string(" -x ") + u.privName + " -X " + u.privPass;
    return a;
}

inline const User& UserNamed(const std::string& name)
{
    for (const User& u : kUsers)
        if (name == u.name)
            return u;
    return kUsers[0];
}

// A user snmpd does not know, with a passphrase good enough to make keys.
inline const User kNobody{"quillon-nobody", SecurityLevel::AuthNoPriv, AuthProtocol::Sha256, "SHA-256",
                          "sha256-auth-pass", PrivProtocol::None, "", ""};

// The values snmpget -v3 reads as the user, one line each (-Oqv), in the
// order of the objects; fewer lines when it failed.
inline std::vector<std::string> OracleValues(const User& u, const std::string& address,
                                             const std::vector<std::string>& oids)
{
    std::string cmd = "snmpget -Oqv -M /dev/null -m '' -t 2 -r 1 " + OracleArgs(u) + " " + address;
    for (const std::string& o : oids)
        cmd += " " + o;
    std::vector<std::string> out;
    for (const std::string& l : harness::Lines(harness::Run(cmd + " 2>/dev/null")))
        out.push_back(l);
    return out;
}

// Settings speak v3 as the user at the given level, with keys made from
// the passphrases; false when the keys could not be made.
inline bool UseV3(MIBAgent& a, const User& u, const char* authPass, const char* privPass, SecurityLevel level)
{
    a.setVersion(MIBAgent::Version::V3);
    a.setUserName(u.name);
    a.setSecurityLevel(level);
    a.setAuthProtocol(u.auth == AuthProtocol::None ? AuthProtocol::Sha256 : u.auth);
    a.setPrivProtocol(u.priv == PrivProtocol::None ? PrivProtocol::Aes128 : u.priv);
    return a.setV3Passphrases(authPass, privPass) == CredentialsResult::Ok;
}
inline bool UseV3(MIBAgent& a, const User& u) { return UseV3(a, u, u.authPass, u.privPass, u.level); }

// The four ways the agent refuses a v3 request, each with the code the
// operator must see: privUser is a user with privacy (its passphrase is
// replaced). The user that asks for a level it lacks names a privacy
// protocol, as a dialog would.
struct Refusal {
    const char* what;
    User user;
    const char* authPass;
    const char* privPass;
    SecurityLevel level;
    int code;
};
inline std::vector<Refusal> Refusals(const User& privUser)
{
    const User& md5 = UserNamed("quillon-md5");
    User md5Priv = md5;
    md5Priv.priv = PrivProtocol::Aes128;
    return {
        {"wrong authentication passphrase", md5, "not-the-passphrase", "", md5.level, snmpengine::V3WrongDigest},
        {"wrong privacy passphrase", privUser, privUser.authPass, "not-the-priv-pass", privUser.level,
         snmpengine::V3PrivacyTimeout},
        {"unknown user", kNobody, kNobody.authPass, "", kNobody.level, snmpengine::V3UnknownUserName},
        {"level the user lacks", md5Priv, md5.authPass, "aes128-priv-pass", SecurityLevel::AuthPriv,
         snmpengine::V3UnsupportedSecLevel},
    };
}

}  // namespace usmtest
