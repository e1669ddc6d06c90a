#include "mibcore/agent/AppConstants.h"

AppConstants AppConstants::m_AppConstants;

const std::uint32_t AppConstants::m_timeList[TimerCount] = {5000, 15000, 30000, 60000, 300000};
const std::uint32_t AppConstants::m_menuList[TimerCount] = {33225, 33226, 33227, 33228, 33229};

AppConstants* AppConstants::getInstance()
{
    return &m_AppConstants;
}

unsigned long AppConstants::getInterval(unsigned id) const
{
    // Unsigned arithmetic: ids below the first wrap to a huge offset.
    unsigned offset = id - FirstTimerId;
    if (offset >= TimerCount)
        offset = DefaultTimerId - FirstTimerId;
    return m_timeList[offset];
}
