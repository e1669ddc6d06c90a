#pragma once
// The document of a counter-group window: the object table's series with
// their sample histories, the poll state, the interval choice and the
// drawing resources. Each plug-in derives its own document class from it
// and calls Initialize() at the end of its constructor, when the runtime
// class that finds the registry entry is complete.
//
// Other graphing windows are instances of the same document through its
// hooks: CreateSeries (series from the document's own data), RequestOid,
// KeepsTimerAndPens, SeriesLabel, CsvFirstLine, FirstColumnTitle and
// FrameTitle; series may be
// added and removed at run time and the history length chosen while the
// document has no series.

#include <memory>
#include <mutex>
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

// Whether a poll cycle for item may start on cycle now. While one is in
// flight the request is kept in pending, for the done handler to start
// next; otherwise the item's frame (when it is a view) shows the busy
// cursor while the cycle about to start runs.
bool AdmitPollCycle(snmpengine::BackgroundCycle& cycle, MIBBasicItem* item, std::unique_ptr<MIBBasicItem>& pending);

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
    // Ends the cycle in flight (nothing of it is applied) and forgets the
    // one asked for meanwhile.
    void StopPollCycle();
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
        {
            std::lock_guard<std::recursive_mutex> hold(m_lock);
            std::vector<ValatTime*> h = histories();
            Tick(m_state, h.data(), m_historyLength, now);
        }
        UpdateAllViews(nullptr, kHintNewData);
    }

    // Settings: timeId, interval and every pen (nothing for a document
    // that does not keep them).
    void SaveSettings();

    // --- Hooks of the windows built on this document -------------------
    // Creates the series when the document initialises; the default makes
    // one per row of the constants' table, pens from the settings file.
    virtual void CreateSeries();
    // Full OID asked for series j; the default is the constants' prefix,
    // the series' sub-identifier and the instance suffix.
    virtual std::vector<unsigned long> RequestOid(int j);
    // Objects a window polls instead where the agent has them (the traffic
    // windows' 64-bit ifHC* counters over v2c): per series the OIDs whose
    // values add up to the series' counter (one, or several asked in one
    // request and summed modulo 2^64) and its name, no OID for none. Asked
    // for once, in the first cycle over a v2c agent; a series uses its
    // alternative when every answer is a Counter64.
    struct Alternative {
        std::vector<std::vector<unsigned long>> oids;
        std::string name;
    };
    void SetAlternatives(std::vector<Alternative> alternatives);
    bool UsesAlternative(int i) const { return size_t(i) < m_useAlt.size() && m_useAlt[size_t(i)]; }
    const Alternative* AlternativeOf(int i) const
    {
        return size_t(i) < m_alt.size() ? &m_alt[size_t(i)] : nullptr;
    }
    // Whether timeId, interval and pens live in the settings file.
    virtual bool KeepsTimerAndPens() const { return true; }
    // The window title the frame takes when polling starts (empty: keep).
    virtual std::string FrameTitle() { return {}; }

    // --- Series at run time (under the lock) ---------------------------
    // Appends a series; its history is made here (historyLength slots, all
    // (0, 0, 16)). Returns its index.
    int AddSeries(std::unique_ptr<OidVal> series);
    // Removes series i; the others keep their order, state and history.
    void RemoveSeries(int i);
    void RemoveAllSeries();
    // Samples per series; only while there are no series (false then).
    // Lengths below 2 are refused; the cursor moves to the newest slot.
    bool SetHistoryLength(int nslots);
    // The lock that add, remove, tick and CSV export hold.
    std::recursive_mutex& lock() { return m_lock; }

    int getObjectCount() const { return int(m_series.size()); }
    OidVal* getSeries(int i) { return m_series[size_t(i)].get(); }
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
    int getHistoryLength() const { return m_historyLength; }

    const GraphResources& resources() const { return m_resources; }

    // What the graph and the CSV export read.
    GraphData Snapshot();
    std::string CsvBytes();
    // CSV export with the file chooser; false when cancelled or failed.
    bool ExportCsv();

    // Hooks for windows whose series come from their own data (see also
    // CreateSeries and the others above).
    // Text of series i in the list and in the CSV header (its name).
    virtual std::string SeriesLabel(int i);
    // A line written before the CSV header; none when empty.
    virtual std::string CsvFirstLine() const { return {}; }
    // Title of the list's first column.
    virtual const char* FirstColumnTitle() const { return QT_TRANSLATE_NOOP("Quillon", "オブジェクト識別子"); }

protected:
    // A history of historyLength slots, all (0, 0, 16).
    ValatTime* NewHistory() const;

private:
    std::vector<ValatTime*> histories();
    // The state a background cycle returns, matched to the series as they
    // are now (polled: the serials the cycle was started with).
    void TakeCycle(PollState st, const std::vector<std::uint64_t>& polled);

    const GroupConstants& m_c;
    bool m_initialised = false;
    std::string m_iniPath;
    PollState m_state;
    std::vector<Alternative> m_alt;
    std::vector<char> m_useAlt;
    bool m_altLearnt = false;
    std::vector<std::unique_ptr<OidVal>> m_series;
    std::vector<std::uint64_t> m_seriesIds;  // serial of each series, in order
    std::uint64_t m_lastSeriesId = 0;
    int m_historyLength = kHistoryLength;
    int m_timeId = kCmdTimerDefault;
    long m_interval = 15000;
    int m_cursor = kHistoryLength - 1;
    GraphResources m_resources;
    std::recursive_mutex m_lock;
    // The socket for the cycle asked for while one was in flight.
    std::unique_ptr<MIBBasicItem> m_pendingItem;
    // Last: destroyed, and so stopped, before anything its handler uses.
    snmpengine::BackgroundCycle m_cycle{this};
};

}  // namespace countergroup
