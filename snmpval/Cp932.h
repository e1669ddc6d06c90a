#pragma once
// Conversions between the narrow code page (CP932, Shift_JIS) and Unicode,
// through glibc iconv. Octets that are not valid CP932 become U+FFFD (or
// "?" when written back as CP932); no input makes them fail.

#include <string>

namespace cp932 {

std::u16string ToUtf16(const std::string& cp932);
std::string FromUtf16(const std::u16string& text);
std::string ToUtf8(const std::string& cp932);
std::string FromUtf8(const std::string& utf8);

}  // namespace cp932
