#pragma once
// Process-wide constants: the start directory (below which etc/ini, etc/mib
// and the help file live) and the timer menu's polling intervals.

#include <cstdint>
#include <string>

class AppConstants {
public:
    static AppConstants* getInstance();

    void setStartDir(const std::string& dir) { m_startDir = dir; }
    const std::string& getStartDir() const { return m_startDir; }

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
    AppConstants() = default;
    ~AppConstants() = default;

    static AppConstants m_AppConstants;
    std::string m_startDir;
};
