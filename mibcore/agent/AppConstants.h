#pragma once
// Process-wide constants: where the program keeps things, and the timer
// menu's polling intervals.
//
// Two layouts, decided once at start-up and asked by every window:
//   start directory (a build tree, the default): everything below the
//     directory the program was started from: etc/ini, etc/mib, lib,
//     doc/help; file choosers open in the working directory.
//   installed (<prefix>/bin/quillon beside <prefix>/lib/quillon): INI files in
//     $XDG_CONFIG_HOME/quillon, MIB modules from <prefix>/share/quillon/mib
//     then $XDG_DATA_HOME/quillon/mib, plug-ins from
//     <prefix>/lib/quillon/plugins, help in <prefix>/share/quillon/help, file
//     choosers open in $HOME.

#include <cstdint>
#include <string>
#include <vector>

class AppConstants {
public:
    static AppConstants* getInstance();

    // The start-directory layout below dir (this is also what a fresh
    // process has, with the working directory as dir).
    void setStartDir(const std::string& dir);
    const std::string& getStartDir() const { return m_startDir; }

    // The installed layout of prefix, with the user's folders taken from
    // the environment (XDG base directories; relative values are ignored).
    void setInstalled(const std::string& prefix);
    bool isInstalled() const { return m_installed; }

    // Where settings files go (no trailing slash) and the full path of one.
    const std::string& getIniDir() const { return m_iniDir; }
    std::string getIniPath(const std::string& file) const { return m_iniDir + "/" + file; }
    // MIB module folders in load order; the first holds mib-2.mib.
    const std::vector<std::string>& getMibDirs() const { return m_mibDirs; }
    // The folder the operator adds modules to (the last of getMibDirs).
    const std::string& getUserMibDir() const { return m_mibDirs.back(); }
    const std::string& getPluginDir() const { return m_pluginDir; }
    const std::string& getHelpDir() const { return m_helpDir; }
    // Where file choosers open; empty: the working directory.
    const std::string& getFileDir() const { return m_fileDir; }

    // The one decision, made at start-up: the installed layout when
    // programPath lies in an installed copy, else the start directory
    // workingDir. True for an installed copy.
    bool setLayoutFor(const std::string& programPath, const std::string& workingDir);

    // The prefix of an installed copy whose program is exePath
    // (<prefix>/bin/<name> with the folder <prefix>/lib/quillon), or empty.
    static std::string InstallPrefixOf(const std::string& exePath);
    // The running program's own path (/proc/self/exe), or empty.
    static std::string ProgramPath();

    // Polling interval in ms for a timer command id (33225..33229). Any
    // other id gives the interval of the default command 33226.
    unsigned long getInterval(unsigned id) const;

    enum : unsigned { TimerCount = 5, FirstTimerId = 33225, DefaultTimerId = 33226 };
    // Intervals in ms, paired by position with the command ids.
    static const std::uint32_t m_timeList[TimerCount];
    // Command ids of the timer menu "5秒", "15秒", "30秒", "1分", "5分".
    static const std::uint32_t m_menuList[TimerCount];

    AppConstants(const AppConstants&) = delete;
    AppConstants& operator=(const AppConstants&) = delete;

private:
    AppConstants();
    ~AppConstants() = default;

    static AppConstants m_AppConstants;
    std::string m_startDir;
    bool m_installed = false;
    std::string m_iniDir;
    std::vector<std::string> m_mibDirs;
    std::string m_pluginDir;
    std::string m_helpDir;
    std::string m_fileDir;
};
