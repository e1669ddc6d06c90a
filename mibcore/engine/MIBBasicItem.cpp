#include "mibcore/engine/MIBBasicItem.h"

#include <atomic>

MIBBasicItem::MIBBasicItem() = default;

MIBBasicItem::MIBBasicItem(const MIBBasicItem& src)
    : m_inetUdp(src.m_inetUdp),
      m_thread(src.m_thread),
      m_repeat(src.getRepeat()),
      m_startTime(src.m_startTime),
      m_lastTime(src.m_lastTime),
      m_errCnt(src.m_errCnt),
      m_failCnt(src.m_failCnt),
      m_result(src.m_result)
{
}

MIBBasicItem& MIBBasicItem::operator=(const MIBBasicItem& src)
{
    if (this == &src)
        return *this;
    m_inetUdp = src.m_inetUdp;
    m_thread = src.m_thread;
    setRepeat(src.getRepeat());
    m_startTime = src.m_startTime;
    m_lastTime = src.m_lastTime;
    m_errCnt = src.m_errCnt;
    m_failCnt = src.m_failCnt;
    m_result = src.m_result;
    return *this;
}

MIBBasicItem::~MIBBasicItem() = default;

int MIBBasicItem::getRepeat() const
{
    return std::atomic_ref<int>(const_cast<int&>(m_repeat)).load(std::memory_order_acquire);
}

void MIBBasicItem::setRepeat(int repeat)
{
    std::atomic_ref<int>(m_repeat).store(repeat, std::memory_order_release);
}
