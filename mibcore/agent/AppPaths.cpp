// The two layouts of AppConstants: where INI files, MIB modules, plug-ins,
// help and file choosers are, for a start directory and for an installed copy.
#include "mibcore/agent/AppConstants.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// An XDG variable counts only when it holds an absolute path.
std::string XdgDir(const char* var, const std::string& home, const char* fallback)
{
    const char* v = std::getenv(var);
    if (v && v[0] == '/')
        return v;
    return home + "/" + fallback;
}

std::string HomeDir()
{
    const char* h = std::getenv("HOME");
    if (h && h[0] == '/')
        return h;
    if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir && pw->pw_dir[0] == '/')
        return pw->pw_dir;
    return "/";
}

std::string WithoutTrailingSlash(std::string s)
{
    while (s.size() > 1 && s.back() == '/')
        s.pop_back();
    return s;
}

}  // namespace

AppConstants::AppConstants()
{
    // Until start-up sets the start directory it is empty, as it always was.
    setStartDir("");
}

void AppConstants::setStartDir(const std::string& dir)
{
    m_startDir = dir;
    m_installed = false;
    m_iniDir = dir + "/etc/ini";
    m_mibDirs = {dir + "/etc/mib"};
    m_pluginDir = dir + "/lib";
    m_helpDir = dir + "/doc/help";
    m_fileDir.clear();
}

void AppConstants::setInstalled(const std::string& prefixIn)
{
    const std::string prefix = WithoutTrailingSlash(prefixIn);
    const std::string home = HomeDir();
    m_installed = true;
    m_iniDir = XdgDir("XDG_CONFIG_HOME", home, ".config") + "/quillon";
    m_mibDirs = {prefix + "/share/quillon/mib", XdgDir("XDG_DATA_HOME", home, ".local/share") + "/quillon/mib"};
    m_pluginDir = prefix + "/lib/quillon/plugins";
    m_helpDir = prefix + "/share/quillon/help";
    m_fileDir = home;
}

bool AppConstants::setLayoutFor(const std::string& programPath, const std::string& workingDir)
{
    const std::string prefix = InstallPrefixOf(programPath);
    if (prefix.empty()) {
        setStartDir(workingDir);
        return false;
    }
    setInstalled(prefix);
    m_startDir = workingDir;
    return true;
}

std::string AppConstants::InstallPrefixOf(const std::string& exePath)
{
    if (exePath.empty())
        return {};
    const fs::path bin = fs::path(exePath).parent_path();
    if (bin.filename() != "bin")
        return {};
    const fs::path prefix = bin.parent_path();
    std::error_code ec;
    if (!fs::is_directory(prefix / "lib" / "quillon", ec))
        return {};
    return prefix.string();
}

std::string AppConstants::ProgramPath()
{
    std::error_code ec;
    fs::path p = fs::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : p.string();
}
