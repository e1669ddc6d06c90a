#pragma once
// The cryptography of the user-based security model: password-to-key,
// key localisation, the HMAC of a message and AES in CFB mode. Everything
// goes through OpenSSL's libcrypto.
//
// Keys live only in Key objects: in memory, never logged, wiped with
// OPENSSL_cleanse when replaced or destroyed.

#include <cstddef>
#include <string_view>

namespace snmpengine::usm {

enum class AuthProtocol { None, Md5, Sha1, Sha224, Sha256, Sha384, Sha512 };
// AES-192 and AES-256 extend a localised key shorter than the cipher key
// the way net-snmp's "AES-192"/"AES-256" do (hash of the key so far
// appended until long enough).
enum class PrivProtocol { None, Aes128, Aes192, Aes256 };
enum class SecurityLevel { NoAuthNoPriv, AuthNoPriv, AuthPriv };

// Shortest passphrase the model accepts.
inline constexpr int MinPassphraseLength = 8;
// Longest HMAC and digest of the protocols above.
inline constexpr int MaxMacLength = 48;
inline constexpr int MaxDigestLength = 64;
inline constexpr int SaltLength = 8;

// Octets of the protocol's digest (the length of its keys), 0 for None.
int DigestLength(AuthProtocol p);
// Octets of msgAuthenticationParameters: 12, 12, 16, 24, 32, 48; 0 for None.
int MacLength(AuthProtocol p);
// Octets of the AES key: 16, 24, 32; 0 for None.
int PrivKeyLength(PrivProtocol p);

// A secret of at most Capacity octets, wiped when replaced or destroyed.
class Key {
public:
    static constexpr int Capacity = 64;

    Key() = default;
    Key(const unsigned char* bytes, int len) { Assign(bytes, len); }
    Key(const Key& other) { Assign(other.m_bytes, other.m_size); }
    Key& operator=(const Key& other);
    ~Key() { Clear(); }

    // False (and empty) when len is outside 0..Capacity.
    bool Assign(const unsigned char* bytes, int len);
    void Clear();
    const unsigned char* data() const { return m_bytes; }
    int size() const { return m_size; }
    bool empty() const { return m_size == 0; }
    bool operator==(const Key& other) const;

private:
    unsigned char m_bytes[Capacity] = {};
    int m_size = 0;
};

// Why a passphrase cannot make a key.
enum class PassphraseResult { Ok, TooShort, NoProtocol };

// RFC 3414 A.2: the master key Ku of a passphrase (the passphrase repeated
// over 1 MiB and hashed). Passphrases under MinPassphraseLength octets are
// refused (TooShort) and leave ku empty.
PassphraseResult PasswordToKey(AuthProtocol p, std::string_view passphrase, Key& ku);

// Kul = H(Ku | engineID | Ku). False when the protocol is None or ku does
// not have the protocol's digest length.
bool LocalizeKey(AuthProtocol p, const Key& ku, const unsigned char* engineId, int engineIdLen, Key& kul);

// The AES key from a localised privacy key: its first PrivKeyLength octets,
// extended first when it is shorter (Kul | H(Kul) | H(Kul | H(Kul)) ...).
bool PrivacyKey(AuthProtocol a, PrivProtocol p, const Key& kul, Key& aesKey);

// HMAC of msg with the localised key, truncated to MacLength into out.
// The holeLength octets at holeOffset count as zeros (the message's own
// authentication field). False for None.
bool Mac(AuthProtocol p, const Key& kul, const unsigned char* msg, std::size_t len, unsigned char* out,
         std::size_t holeOffset = 0, std::size_t holeLength = 0);

// AES-CFB128 of len octets with a 16-octet IV; out may equal in.
bool AesCfb(bool encrypt, const Key& aesKey, const unsigned char* iv, const unsigned char* in, int len,
            unsigned char* out);

// IV of RFC 3826: boots | time | salt, each big-endian.
void AesIv(long boots, long time, const unsigned char* salt, unsigned char* iv);

// Constant-time equality of n octets.
bool SameOctets(const unsigned char* a, const unsigned char* b, int n);

}  // namespace snmpengine::usm
