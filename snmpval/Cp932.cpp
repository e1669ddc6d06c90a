#include "snmpval/Cp932.h"

#include <iconv.h>

#include <cerrno>
#include <cstring>
#include <type_traits>
#include <vector>

namespace cp932 {
namespace {

// Convert with iconv; an invalid or cut sequence is replaced by repl (in the
// target encoding) and skipped by skip input octets.
std::string Convert(const char* to, const char* from, const char* in, size_t inLen,
                    const std::string& repl, size_t skip)
{
    std::string out;
    if (inLen == 0)
        return out;
    iconv_t cd = iconv_open(to, from);
    if (cd == (iconv_t)-1)
        return out;
    std::vector<char> buf(inLen * 4 + 16);
    char* src = const_cast<char*>(in);
    size_t left = inLen;
    while (left > 0) {
        char* dst = buf.data();
        size_t room = buf.size();
        size_t r = iconv(cd, &src, &left, &dst, &room);
        out.append(buf.data(), dst - buf.data());
        if (r == (size_t)-1) {
            if (errno == E2BIG)
                continue;
            // EILSEQ or EINVAL: replace and move on.
            out += repl;
            size_t n = skip < left ? skip : left;
            src += n;
            left -= n;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
        }
    }
    iconv_close(cd);
    return out;
}

// CP932 keeps every octet below 0x80 as the same code point (0x5C and 0x7E
// included), so pure ASCII needs no converter: the common case of
// communities, addresses and numbers.
template <typename Text>
bool IsAscii(const Text& s)
{
    for (auto c : s)
        if (static_cast<std::make_unsigned_t<decltype(c)>>(c) >= 0x80)
            return false;
    return true;
}

}  // namespace

std::u16string ToUtf16(const std::string& s)
{
    if (IsAscii(s))
        return std::u16string(s.begin(), s.end());
    static const std::string repl("\xFD\xFF", 2);  // U+FFFD, little endian
    std::string bytes = Convert("UTF-16LE", "CP932", s.data(), s.size(), repl, 1);
    std::u16string out(bytes.size() / 2, u'\0');
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = char16_t((unsigned char)bytes[2 * i] | ((unsigned char)bytes[2 * i + 1] << 8));
    return out;
}

std::string FromUtf16(const std::u16string& text)
{
    if (IsAscii(text))
        return std::string(text.begin(), text.end());
    std::string bytes(text.size() * 2, '\0');
    for (size_t i = 0; i < text.size(); ++i) {
        bytes[2 * i] = char(text[i] & 0xFF);
        bytes[2 * i + 1] = char(text[i] >> 8);
    }
    return Convert("CP932", "UTF-16LE", bytes.data(), bytes.size(), "?", 2);
}

std::string ToUtf8(const std::string& s)
{
    if (IsAscii(s))
        return s;
    return Convert("UTF-8", "CP932", s.data(), s.size(), "\xEF\xBF\xBD", 1);
}

std::string FromUtf8(const std::string& s)
{
    if (IsAscii(s))
        return s;
    return Convert("CP932", "UTF-8", s.data(), s.size(), "?", 1);
}

}  // namespace cp932
