#pragma once
// The document of a counter-group window: the object table's series with
// their 61-sample histories, the poll state, the interval choice and the
// drawing resources. Each plug-in derives its own document class from it
// and calls Initialize() at the end of its constructor, when the runtime
// class that finds the registry entry is complete.

#include <memory>
#include <string>
#include <vector>

#include "mibcore/engine/BackgroundCycle.h"
#include "mibcore/engine/MIBBasicItem.h"
#include "mibcore/platform/DocView.h"
#include "mibcore/series/OidVal.h"
#include "plugins/countergroup/CounterLogic.h"
#include "plugins/countergroup/GraphRender.h"
#include "plugins/countergroup/GroupConstants.h"

class MIB;

namespace countergroup {

// Update hints and commands of the counter windows.
enum : int {
    kHintStart = 1026,
    kHintNewData = 33011,
    kHintCursorMoved = 33012,
    kTimerPoll = 1026,
    kCmdSaveFile = 32775,
    kCmdColourChange = 33014,
    kCmdTimerFirst = 33225,
    kCmdTimerLast = 33229,
    kCmdTimerDefault = 33226,
    kStatusPaneTime = 1127,
};

class CCounterGroupDoc : public platform::Document {
    Q_OBJECT
public:
    explicit CCounterGroupDoc(const GroupConstants& constants);
    ~CCounterGroupDoc() override;

    // Reads the settings and creates the series; idempotent.
    void Initialize();

    bool OnNewDocument() override;
    // Writes timeId, interval and the pens, then closes.
    void OnCloseDocument() override;

    const GroupConstants& constants() const { return m_c; }
    // The registry entry of this document's class (null when unregistered).
    MIB* descriptor() const;
    const std::string& iniPath() const { return m_iniPath; }

    // One poll cycle through the request engine with item's socket on a
    // worker thread; the tick and hint 33011 follow on this thread when it
    // ends. A cycle asked for while one is in flight runs right after it
    // (once, however many ticks came meanwhile), as a blocked timer did.
    void StartPollCycle(MIBBasicItem* item);
    bool PollInFlight() const { return m_cycle.Busy(); }
    // Waits for the cycle in flight and the one asked for meanwhile, and
    // applies them; false when none was in flight.
    bool FinishPollCycle();
    // The synchronous form (tests, benchmarks): finishes what is in flight,
    // then runs one cycle and waits for it.
    void PollCycle(MIBBasicItem* item);
    // The same with any request seam (request(j, value) -> result code).
    template <class Request>
    void PollCycleWith(Request&& request, long now)
    {
        RunRequests(m_state, request);
        std::vector<ValatTime*> h = histories();
        Tick(m_state, h.data(), kHistoryLength, now);
        UpdateAllViews(nullptr, kHintNewData);
    }

    // Settings: timeId, interval and every pen.
    void SaveSettings();

    int getObjectCount() const { return m_c.objectCount(); }
    OidVal* getSeries(int i) { return &m_series[size_t(i)]; }
    const PollState& state() const { return m_state; }
    PollState& state() { return m_state; }
    int getLastResult(int i) const { return m_state.lastResult[size_t(i)]; }
    int getErrorBudget() const { return m_state.errorBudget; }

    int getTimeId() const { return m_timeId; }
    void setTimeId(int id) { m_timeId = id; }
    long getInterval() const { return m_interval; }
    void setInterval(long ms) { m_interval = ms; }

    int getCursor() const { return m_cursor; }
    void setCursor(int c);
    int getHistoryLength() const { return kHistoryLength; }

    const GraphResources& resources() const { return m_resources; }

    // What the graph and the CSV export read.
    GraphData Snapshot();
    std::string CsvBytes();
    // CSV export with the file chooser; false when cancelled or failed.
    bool ExportCsv();

    // Hooks for windows whose series come from their own data.
    // Text of series i in the list and in the CSV header (its name).
    virtual std::string SeriesLabel(int i);
    // A line written before the CSV header; none when empty.
    virtual std::string CsvFirstLine() const { return {}; }
    // Title of the list's first column.
    virtual const char* FirstColumnTitle() const { return "オブジェクト識別子"; }

private:
    std::vector<ValatTime*> histories();

    const GroupConstants& m_c;
    bool m_initialised = false;
    std::string m_iniPath;
    PollState m_state;
    std::unique_ptr<OidVal[]> m_series;
    int m_timeId = kCmdTimerDefault;
    long m_interval = 15000;
    int m_cursor = kHistoryLength - 1;
    GraphResources m_resources;
    // The socket for the cycle asked for while one was in flight.
    std::unique_ptr<MIBBasicItem> m_pendingItem;
    // Last: destroyed, and so stopped, before anything its handler uses.
    snmpengine::BackgroundCycle m_cycle{this};
};

}  // namespace countergroup
