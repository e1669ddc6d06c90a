#pragma once
// The request context every polling view inherits: its own UDP socket and
// the state of the view's request loop. The engine itself uses only the
// socket; the other fields belong to the view that runs the loop.

#include <cstdint>

#include "mibcore/engine/InetUdp.h"

class MIBBasicItem {
public:
    MIBBasicItem();
    // Copies share the socket and copy the loop state.
    MIBBasicItem(const MIBBasicItem& src);
    MIBBasicItem& operator=(const MIBBasicItem& src);
    virtual ~MIBBasicItem();

    InetUdp* getInetUdp() { return &m_inetUdp; }

    // Handle of the view's worker thread; 0 when none.
    std::uintptr_t getThread() const { return m_thread; }
    void setThread(std::uintptr_t thread) { m_thread = thread; }

    // Keep-running flag of the loop. It is written by the controlling
    // thread and read by the requesting one, so both sides go through
    // atomic accesses; getRepeatFlag() is what the engine's keep-running
    // argument takes.
    int getRepeat() const;
    void setRepeat(int repeat);
    int* getRepeatFlag() { return &m_repeat; }

    long getStartTime() const { return m_startTime; }
    void setStartTime(long t) { m_startTime = static_cast<std::int32_t>(t); }
    long getLastTime() const { return m_lastTime; }
    void setLastTime(long t) { m_lastTime = static_cast<std::int32_t>(t); }
    // Failed requests since the last success.
    int getErrCnt() const { return m_errCnt; }
    void setErrCnt(int n) { m_errCnt = n; }
    // A second failure count, kept by the view.
    int getFailCnt() const { return m_failCnt; }
    void setFailCnt(int n) { m_failCnt = n; }
    // Last result code of the engine.
    int getResult() const { return m_result; }
    void setResult(int r) { m_result = r; }

protected:
    InetUdp m_inetUdp;
    std::uintptr_t m_thread = 0;
    int m_repeat = 0;
    std::int32_t m_startTime = 0;
    std::int32_t m_lastTime = 0;
    std::int32_t m_errCnt = 0;
    std::int32_t m_failCnt = 0;
    std::int32_t m_result = 0;
};
