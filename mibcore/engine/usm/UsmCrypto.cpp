#include "mibcore/engine/usm/UsmCrypto.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>
#include <openssl/core_names.h>
#include <openssl/params.h>

#include <cstring>
#include <memory>

namespace snmpengine::usm {
namespace {

const EVP_MD* Digest(AuthProtocol p)
{
    switch (p) {
    case AuthProtocol::Md5: return EVP_md5();
    case AuthProtocol::Sha1: return EVP_sha1();
    case AuthProtocol::Sha224: return EVP_sha224();
    case AuthProtocol::Sha256: return EVP_sha256();
    case AuthProtocol::Sha384: return EVP_sha384();
    case AuthProtocol::Sha512: return EVP_sha512();
    case AuthProtocol::None: break;
    }
    return nullptr;
}

const EVP_CIPHER* Cipher(int keyLength)
{
    switch (keyLength) {
    case 16: return EVP_aes_128_cfb128();
    case 24: return EVP_aes_192_cfb128();
    case 32: return EVP_aes_256_cfb128();
    default: return nullptr;
    }
}

struct MdCtxFree {
    void operator()(EVP_MD_CTX* c) const { EVP_MD_CTX_free(c); }
};
struct MacCtxFree {
    void operator()(EVP_MAC_CTX* c) const { EVP_MAC_CTX_free(c); }
};
struct CipherCtxFree {
    void operator()(EVP_CIPHER_CTX* c) const { EVP_CIPHER_CTX_free(c); }
};

}  // namespace

int DigestLength(AuthProtocol p)
{
    const EVP_MD* md = Digest(p);
    return md ? EVP_MD_get_size(md) : 0;
}

int MacLength(AuthProtocol p)
{
    switch (p) {
    case AuthProtocol::Md5:
    case AuthProtocol::Sha1: return 12;
    case AuthProtocol::Sha224: return 16;
    case AuthProtocol::Sha256: return 24;
    case AuthProtocol::Sha384: return 32;
    case AuthProtocol::Sha512: return 48;
    case AuthProtocol::None: break;
    }
    return 0;
}

int PrivKeyLength(PrivProtocol p)
{
    switch (p) {
    case PrivProtocol::Aes128: return 16;
    case PrivProtocol::Aes192: return 24;
    case PrivProtocol::Aes256: return 32;
    case PrivProtocol::None: break;
    }
    return 0;
}

// --- Key ------------------------------------------------------------------

Key& Key::operator=(const Key& other)
{
    if (this != &other) {
        Key copy(other);
        Assign(copy.m_bytes, copy.m_size);
    }
    return *this;
}

bool Key::Assign(const unsigned char* bytes, int len)
{
    Clear();
    if (len < 0 || len > Capacity || (len > 0 && !bytes))
        return false;
    if (len > 0)
        std::memcpy(m_bytes, bytes, static_cast<std::size_t>(len));
    m_size = len;
    return true;
}

void Key::Clear()
{
    OPENSSL_cleanse(m_bytes, sizeof m_bytes);
    m_size = 0;
}

bool Key::operator==(const Key& other) const
{
    return m_size == other.m_size && SameOctets(m_bytes, other.m_bytes, m_size);
}

// --- keys -----------------------------------------------------------------

PassphraseResult PasswordToKey(AuthProtocol p, std::string_view passphrase, Key& ku)
{
    ku.Clear();
    const EVP_MD* md = Digest(p);
    if (!md)
        return PassphraseResult::NoProtocol;
    if (passphrase.size() < static_cast<std::size_t>(MinPassphraseLength))
        return PassphraseResult::TooShort;

    std::unique_ptr<EVP_MD_CTX, MdCtxFree> ctx(EVP_MD_CTX_new());
    if (!ctx || EVP_DigestInit_ex(ctx.get(), md, nullptr) != 1)
        return PassphraseResult::NoProtocol;
    // 1 MiB of the passphrase repeated, fed 64 octets at a time.
    constexpr std::size_t kTotal = 1048576;
    unsigned char chunk[64];
    std::size_t index = 0;
    for (std::size_t done = 0; done < kTotal; done += sizeof chunk) {
        for (unsigned char& c : chunk)
            c = static_cast<unsigned char>(passphrase[index++ % passphrase.size()]);
        EVP_DigestUpdate(ctx.get(), chunk, sizeof chunk);
    }
    unsigned char out[MaxDigestLength];
    unsigned int n = 0;
    EVP_DigestFinal_ex(ctx.get(), out, &n);
    ku.Assign(out, static_cast<int>(n));
    OPENSSL_cleanse(chunk, sizeof chunk);
    OPENSSL_cleanse(out, sizeof out);
    return PassphraseResult::Ok;
}

bool LocalizeKey(AuthProtocol p, const Key& ku, const unsigned char* engineId, int engineIdLen, Key& kul)
{
    kul.Clear();
    const EVP_MD* md = Digest(p);
    if (!md || ku.size() != EVP_MD_get_size(md) || engineIdLen < 0 || (engineIdLen > 0 && !engineId))
        return false;
    std::unique_ptr<EVP_MD_CTX, MdCtxFree> ctx(EVP_MD_CTX_new());
    unsigned char out[MaxDigestLength];
    unsigned int n = 0;
    const bool ok = ctx && EVP_DigestInit_ex(ctx.get(), md, nullptr) == 1 &&
                    EVP_DigestUpdate(ctx.get(), ku.data(), static_cast<std::size_t>(ku.size())) == 1 &&
                    EVP_DigestUpdate(ctx.get(), engineId, static_cast<std::size_t>(engineIdLen)) == 1 &&
                    EVP_DigestUpdate(ctx.get(), ku.data(), static_cast<std::size_t>(ku.size())) == 1 &&
                    EVP_DigestFinal_ex(ctx.get(), out, &n) == 1;
    if (ok)
        kul.Assign(out, static_cast<int>(n));
    OPENSSL_cleanse(out, sizeof out);
    return ok;
}

bool PrivacyKey(AuthProtocol a, PrivProtocol p, const Key& kul, Key& aesKey)
{
    aesKey.Clear();
    const EVP_MD* md = Digest(a);
    const int need = PrivKeyLength(p);
    if (!md || need == 0 || kul.size() != EVP_MD_get_size(md))
        return false;
    unsigned char buf[Key::Capacity + MaxDigestLength];
    int have = kul.size();
    std::memcpy(buf, kul.data(), static_cast<std::size_t>(have));
    while (have < need) {
        unsigned int n = 0;
        if (EVP_Digest(buf, static_cast<std::size_t>(have), buf + have, &n, md, nullptr) != 1) {
            OPENSSL_cleanse(buf, sizeof buf);
            return false;
        }
        have += static_cast<int>(n);
    }
    aesKey.Assign(buf, need);
    OPENSSL_cleanse(buf, sizeof buf);
    return true;
}

bool Mac(AuthProtocol p, const Key& kul, const unsigned char* msg, std::size_t len, unsigned char* out,
         std::size_t holeOffset, std::size_t holeLength)
{
    const EVP_MD* md = Digest(p);
    if (!md || kul.empty() || holeOffset > len || holeLength > len - holeOffset || holeLength > MaxDigestLength)
        return false;
    // The HMAC algorithm is fetched once; each call gets its own context.
    static EVP_MAC* const hmac = EVP_MAC_fetch(nullptr, "HMAC", nullptr);
    if (!hmac)
        return false;
    std::unique_ptr<EVP_MAC_CTX, MacCtxFree> ctx(EVP_MAC_CTX_new(hmac));
    if (!ctx)
        return false;
    OSSL_PARAM params[] = {
        OSSL_PARAM_construct_utf8_string(OSSL_MAC_PARAM_DIGEST, const_cast<char*>(EVP_MD_get0_name(md)), 0),
        OSSL_PARAM_construct_end()};
    static const unsigned char zeros[MaxDigestLength] = {};
    unsigned char full[EVP_MAX_MD_SIZE];
    std::size_t n = 0;
    const bool ok = EVP_MAC_init(ctx.get(), kul.data(), static_cast<std::size_t>(kul.size()), params) == 1 &&
                    EVP_MAC_update(ctx.get(), msg, holeOffset) == 1 &&
                    EVP_MAC_update(ctx.get(), zeros, holeLength) == 1 &&
                    EVP_MAC_update(ctx.get(), msg + holeOffset + holeLength, len - holeOffset - holeLength) == 1 &&
                    EVP_MAC_final(ctx.get(), full, &n, sizeof full) == 1;
    if (ok)
        std::memcpy(out, full, static_cast<std::size_t>(MacLength(p)));
    OPENSSL_cleanse(full, sizeof full);
    return ok;
}

bool AesCfb(bool encrypt, const Key& aesKey, const unsigned char* iv, const unsigned char* in, int len,
            unsigned char* out)
{
    const EVP_CIPHER* cipher = Cipher(aesKey.size());
    if (!cipher || len < 0)
        return false;
    std::unique_ptr<EVP_CIPHER_CTX, CipherCtxFree> ctx(EVP_CIPHER_CTX_new());
    int n = 0, tail = 0;
    return ctx && EVP_CipherInit_ex(ctx.get(), cipher, nullptr, aesKey.data(), iv, encrypt ? 1 : 0) == 1 &&
           EVP_CipherUpdate(ctx.get(), out, &n, in, len) == 1 && EVP_CipherFinal_ex(ctx.get(), out + n, &tail) == 1 &&
           n + tail == len;
}

void AesIv(long boots, long time, const unsigned char* salt, unsigned char* iv)
{
    for (int i = 0; i < 4; ++i) {
        iv[i] = static_cast<unsigned char>(static_cast<unsigned long>(boots) >> (24 - 8 * i));
        iv[4 + i] = static_cast<unsigned char>(static_cast<unsigned long>(time) >> (24 - 8 * i));
    }
    std::memcpy(iv + 8, salt, SaltLength);
}

bool SameOctets(const unsigned char* a, const unsigned char* b, int n)
{
    return n <= 0 || CRYPTO_memcmp(a, b, static_cast<std::size_t>(n)) == 0;
}

}  // namespace snmpengine::usm
