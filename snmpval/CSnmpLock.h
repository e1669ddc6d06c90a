#pragma once
#include <mutex>

// Recursive lock for the owning thread; never copied.
class CSnmpLock {
public:
    CSnmpLock() = default;
    ~CSnmpLock() = default;
    CSnmpLock(const CSnmpLock&) = delete;
    CSnmpLock& operator=(const CSnmpLock&) = delete;

    void Lock() { m_mutex.lock(); }
    void UnLock() { m_mutex.unlock(); }

private:
    std::recursive_mutex m_mutex;
};
