#pragma once
// Private-profile (INI) files with the semantics of the Windows profile
// functions, so that settings files move between the two platforms:
// - section and key names match case-insensitively; the first occurrence
//   of a duplicated section or key wins;
// - CRLF and LF line ends both read; a write keeps the file's own line end
//   (CRLF for a new file) and every line it does not replace, byte for byte;
// - a write creates the file and the section when missing, but not the
//   directory (see CreateDirectoryPath);
// - values are CP932 bytes in the file and UTF-8 text in this interface;
// - structure entries are the record's bytes as upper-case hexadecimal pairs
//   followed by a check byte (sum of the bytes modulo 256); a value whose
//   length or check byte does not match counts as missing.
// A file is replaced atomically (written beside it, then renamed), so a
// failed write never leaves a truncated settings file behind.

#include <cstddef>
#include <string>

namespace platform {

std::string GetPrivateProfileString(const std::string& section, const std::string& key,
                                    const std::string& defaultValue, const std::string& file);

// Leading decimal digits (optional sign) of the value; text without digits
// gives 0; a missing key or an empty value gives the default.
int GetPrivateProfileInt(const std::string& section, const std::string& key, int defaultValue,
                         const std::string& file);

// False when the file cannot be written or a name or value cannot be stored
// without breaking the file (line breaks, "=" in a key, "]" in a section).
bool WritePrivateProfileString(const std::string& section, const std::string& key, const std::string& value,
                               const std::string& file);

bool GetPrivateProfileStruct(const std::string& section, const std::string& key, void* data, std::size_t size,
                             const std::string& file);
bool WritePrivateProfileStruct(const std::string& section, const std::string& key, const void* data,
                               std::size_t size, const std::string& file);

// Records with ToBytes/FromBytes (LogPen, Rect32, WindowPlacement).
template <class Record>
bool GetProfileRecord(const std::string& section, const std::string& key, Record& rec, const std::string& file)
{
    std::string bytes(Record::kSize, '\0');
    if (!GetPrivateProfileStruct(section, key, bytes.data(), bytes.size(), file))
        return false;
    return rec.FromBytes(bytes);
}

template <class Record>
bool WriteProfileRecord(const std::string& section, const std::string& key, const Record& rec,
                        const std::string& file)
{
    std::string bytes = rec.ToBytes();
    return WritePrivateProfileStruct(section, key, bytes.data(), bytes.size(), file);
}

// Leading-digits conversion used for every decimal setting: optional
// whitespace and sign, then digits; no digits gives 0; clamped to 32 bits.
long ParseLeadingInt(const std::string& text);

// Creates the directory with every missing level; true if it exists after.
bool CreateDirectoryPath(const std::string& path);

}  // namespace platform
