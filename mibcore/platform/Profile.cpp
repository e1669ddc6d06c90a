#include "mibcore/platform/Profile.h"

#include "snmpval/Cp932.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <optional>
#include <sstream>
#include <string_view>
#include <vector>

namespace platform {
namespace {

std::mutex g_fileMutex;

bool IsLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

// ASCII letters fold; double-byte characters compare exactly, so that a
// trail byte in the ASCII range is never folded.
bool SameName(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        unsigned char x = a[i], y = b[i];
        if (IsLeadByte(x) && i + 1 < a.size()) {
            if (x != y || a[i + 1] != b[i + 1])
                return false;
            ++i;
            continue;
        }
        if (x >= 'A' && x <= 'Z')
            x = x - 'A' + 'a';
        if (y >= 'A' && y <= 'Z')
            y = y - 'A' + 'a';
        if (x != y)
            return false;
    }
    return true;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && (IsBlank(s.front()) || s.front() == '\r'))
        s.remove_prefix(1);
    while (!s.empty() && (IsBlank(s.back()) || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

struct Line {
    std::size_t begin = 0;     // first byte of the line
    std::size_t end = 0;       // end of its content (before CR LF)
    std::size_t next = 0;      // first byte after its terminator
    enum Kind { Other, Section, Entry } kind = Other;
    std::string_view name;     // section or key name, trimmed
    std::string_view value;    // entry value, trimmed
};

// The file split into lines; views point into text.
struct Parsed {
    std::string text;
    std::vector<Line> lines;
    std::string eol = "\r\n";
};

void Parse(Parsed& p)
{
    const std::string& t = p.text;
    std::size_t pos = 0;
    bool eolKnown = false;
    while (pos < t.size()) {
        Line ln;
        ln.begin = pos;
        std::size_t nl = t.find('\n', pos);
        if (nl == std::string::npos) {
            ln.end = ln.next = t.size();
        } else {
            ln.next = nl + 1;
            ln.end = (nl > pos && t[nl - 1] == '\r') ? nl - 1 : nl;
            if (!eolKnown) {
                p.eol = (nl > pos && t[nl - 1] == '\r') ? "\r\n" : "\n";
                eolKnown = true;
            }
        }
        std::string_view s = Trim(std::string_view(t).substr(ln.begin, ln.end - ln.begin));
        if (!s.empty() && s.front() == '[') {
            s.remove_prefix(1);
            std::size_t close = s.find(']');
            ln.kind = Line::Section;
            ln.name = Trim(close == std::string_view::npos ? s : s.substr(0, close));
        } else if (!s.empty() && s.front() != ';') {
            std::size_t eq = s.find('=');
            if (eq != std::string_view::npos && eq > 0) {
                ln.kind = Line::Entry;
                ln.name = Trim(s.substr(0, eq));
                ln.value = Trim(s.substr(eq + 1));
            }
        }
        p.lines.push_back(ln);
        pos = ln.next;
    }
}

bool ReadFile(const std::string& file, std::string& out)
{
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream ss;
    ss << in.rdbuf();
    out = ss.str();
    return true;
}

// Index of the first line of the first section with this name, or -1.
long FindSection(const Parsed& p, std::string_view section)
{
    for (std::size_t i = 0; i < p.lines.size(); ++i)
        if (p.lines[i].kind == Line::Section && SameName(p.lines[i].name, section))
            return static_cast<long>(i);
    return -1;
}

// The entry line of key in the section starting at line sec, or -1; *last
// gets the last non-blank line of the section.
long FindKey(const Parsed& p, long sec, std::string_view key, long* last = nullptr)
{
    if (last)
        *last = sec;
    for (std::size_t i = sec + 1; i < p.lines.size(); ++i) {
        const Line& ln = p.lines[i];
        if (ln.kind == Line::Section)
            break;
        if (last && !Trim(std::string_view(p.text).substr(ln.begin, ln.end - ln.begin)).empty())
            *last = static_cast<long>(i);
        if (ln.kind == Line::Entry && SameName(ln.name, key))
            return static_cast<long>(i);
    }
    return -1;
}

// The raw (CP932) value of a key, if present.
std::optional<std::string> Lookup(const std::string& section, const std::string& key, const std::string& file)
{
    Parsed p;
    {
        std::lock_guard<std::mutex> lock(g_fileMutex);
        if (!ReadFile(file, p.text))
            return std::nullopt;
    }
    Parse(p);
    std::string sec = cp932::FromUtf8(std::string(Trim(section)));
    std::string k = cp932::FromUtf8(std::string(Trim(key)));
    long s = FindSection(p, sec);
    if (s < 0)
        return std::nullopt;
    long e = FindKey(p, s, k);
    if (e < 0)
        return std::nullopt;
    std::string_view v = p.lines[e].value;
    if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.substr(1, v.size() - 2);
    return std::string(v);
}

bool WriteAtomically(const std::string& file, const std::string& data)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path target(file);
    if (fs::is_symlink(target, ec)) {
        fs::path resolved = fs::weakly_canonical(target, ec);
        if (!ec)
            target = resolved;
    }
    mode_t mode = 0644;
    struct stat st;
    if (::stat(target.c_str(), &st) == 0)
        mode = st.st_mode & 07777;
    std::string tmp = target.string() + ".XXXXXX";
    int fd = ::mkstemp(tmp.data());
    if (fd < 0)
        return false;
    bool ok = true;
    std::size_t done = 0;
    while (ok && done < data.size()) {
        ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            ok = false;
        else
            done += static_cast<std::size_t>(n);
    }
    ok = ok && ::fchmod(fd, mode) == 0;
    ok = ::close(fd) == 0 && ok;
    if (ok && std::rename(tmp.c_str(), target.c_str()) != 0)
        ok = false;
    if (!ok)
        ::unlink(tmp.c_str());
    return ok;
}

bool HasLineBreak(const std::string& s) { return s.find_first_of(std::string("\r\n\0", 3)) != std::string::npos; }

}  // namespace

long ParseLeadingInt(const std::string& text)
{
    std::size_t i = 0;
    while (i < text.size() && (IsBlank(text[i]) || text[i] == '\r' || text[i] == '\n'))
        ++i;
    bool neg = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        neg = text[i++] == '-';
    long long v = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
        v = v * 10 + (text[i++] - '0');
        if (v > static_cast<long long>(INT_MAX) + 1)
            v = static_cast<long long>(INT_MAX) + 1;
    }
    if (neg)
        v = -v;
    if (v > INT_MAX)
        v = INT_MAX;
    return static_cast<long>(v);
}

std::string GetPrivateProfileString(const std::string& section, const std::string& key,
                                    const std::string& defaultValue, const std::string& file)
{
    std::optional<std::string> v = Lookup(section, key, file);
    return v ? cp932::ToUtf8(*v) : defaultValue;
}

int GetPrivateProfileInt(const std::string& section, const std::string& key, int defaultValue,
                         const std::string& file)
{
    std::optional<std::string> v = Lookup(section, key, file);
    if (!v || v->empty())
        return defaultValue;
    return static_cast<int>(ParseLeadingInt(*v));
}

bool WritePrivateProfileString(const std::string& section, const std::string& key, const std::string& value,
                               const std::string& file)
{
    std::string sec = cp932::FromUtf8(std::string(Trim(section)));
    std::string k = cp932::FromUtf8(std::string(Trim(key)));
    std::string v = cp932::FromUtf8(value);
    if (sec.empty() || k.empty() || HasLineBreak(sec) || HasLineBreak(k) || HasLineBreak(v) ||
        sec.find(']') != std::string::npos || k.find('=') != std::string::npos || k.front() == '[' ||
        k.front() == ';')
        return false;

    std::lock_guard<std::mutex> lock(g_fileMutex);
    Parsed p;
    if (!ReadFile(file, p.text)) {
        std::error_code ec;
        if (std::filesystem::exists(file, ec))
            return false;  // present but unreadable: never replace it blindly
        p.text.clear();
    }
    Parse(p);
    const std::string& eol = p.eol;
    std::string out;
    long s = FindSection(p, sec);
    if (s < 0) {
        out = p.text;
        if (!out.empty() && out.back() != '\n')
            out += eol;
        out += "[" + sec + "]" + eol + k + "=" + v + eol;
    } else {
        long last = s;
        long e = FindKey(p, s, k, &last);
        if (e >= 0) {
            const Line& ln = p.lines[e];
            // Keep the file's spelling of the key and the line's terminator.
            std::size_t nameAt = static_cast<std::size_t>(ln.name.data() - p.text.data());
            out = p.text.substr(0, ln.begin) + p.text.substr(nameAt, ln.name.size()) + "=" + v +
                  p.text.substr(ln.end);
        } else {
            const Line& ln = p.lines[last];
            std::string head = p.text.substr(0, ln.next);
            if (ln.next == ln.end)  // last line of the file without a terminator
                head += eol;
            out = head + k + "=" + v + eol + p.text.substr(ln.next);
        }
    }
    return WriteAtomically(file, out);
}

bool GetPrivateProfileStruct(const std::string& section, const std::string& key, void* data, std::size_t size,
                             const std::string& file)
{
    std::optional<std::string> v = Lookup(section, key, file);
    if (!v || !data || v->size() != 2 * (size + 1))
        return false;
    auto hex = [](char c) -> int {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        return -1;
    };
    std::string bytes(size + 1, '\0');
    for (std::size_t i = 0; i <= size; ++i) {
        int hi = hex((*v)[2 * i]), lo = hex((*v)[2 * i + 1]);
        if (hi < 0 || lo < 0)
            return false;
        bytes[i] = static_cast<char>(hi * 16 + lo);
    }
    unsigned sum = 0;
    for (std::size_t i = 0; i < size; ++i)
        sum += static_cast<unsigned char>(bytes[i]);
    if ((sum & 0xFF) != static_cast<unsigned char>(bytes[size]))
        return false;
    std::copy(bytes.begin(), bytes.begin() + static_cast<long>(size), static_cast<char*>(data));
    return true;
}

bool WritePrivateProfileStruct(const std::string& section, const std::string& key, const void* data,
                               std::size_t size, const std::string& file)
{
    if (!data && size)
        return false;
    static const char kHex[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(2 * (size + 1));
    unsigned sum = 0;
    const unsigned char* b = static_cast<const unsigned char*>(data);
    for (std::size_t i = 0; i < size; ++i) {
        sum += b[i];
        text += kHex[b[i] >> 4];
        text += kHex[b[i] & 15];
    }
    text += kHex[(sum >> 4) & 15];
    text += kHex[sum & 15];
    return WritePrivateProfileString(section, key, text, file);
}

bool CreateDirectoryPath(const std::string& path)
{
    if (path.empty())
        return false;
    std::error_code ec;
    std::filesystem::create_directories(path, ec);
    return std::filesystem::is_directory(path, ec);
}

}  // namespace platform
