#pragma once
// The two RMON windows: Ethernet history buckets read once at open, and
// Ethernet statistics polled on a timer. Both share one three-pane layout
// (graph pane with page tabs, legend pane, list pane) and differ in their
// value table and in how their samples arrive.

#include <QWidget>

#include <memory>
#include <string>
#include <vector>

#include "mibcore/engine/BackgroundCycle.h"
#include "mibcore/engine/MIBBasicItem.h"
#include "mibcore/platform/ChildFrame.h"
#include "mibcore/platform/DocView.h"
#include "mibcore/widgets/CListViewEx.h"
#include "plugins/countergroup/CounterLogic.h"
#include "plugins/ifplug/IfPlug.h"
#include "plugins/ifplug/RmonLayout.h"

class MIBAgent;
class QScrollArea;

namespace ifplug {

// ---------------------------------------------------------------------------
// Documents

class CRmonDoc : public platform::Document {
    Q_OBJECT
public:
    explicit CRmonDoc(const RmonTable& table);
    ~CRmonDoc() override;

    const RmonTable& table() const { return m_table; }
    std::vector<RmonSeries>& series() { return m_series; }
    const std::vector<RmonSeries>& series() const { return m_series; }
    const RmonResources& resources() const { return m_resources; }
    int getCursor() const { return m_cursor; }
    void setCursor(int c);
    int getPage() const { return m_page; }
    void setPage(int p);
    // What the renderers read.
    RmonView View(int pressedTab = -1) const;

    std::string iniPath() const;
    // Pens of every series from "logpen.%d" (or the default pens).
    void LoadPens();
    void SavePens();
    // What closing and a confirmed colour change write: the pens, and the
    // timer keys of a polling window.
    virtual void SaveSettings() { SavePens(); }
    void OnCloseDocument() override;

    // The list pane's hint 1026: read or start polling.
    virtual void Start(MIBBasicItem* item) = 0;
    // Whether the list shows rows (the history's time base was read).
    virtual bool ShowsRows() const { return true; }
    // Timer menu (polling windows only).
    virtual bool Polls() const { return false; }
    virtual int getTimeId() const { return 0; }
    virtual long getInterval() const { return 0; }
    virtual void setTimer(int, long) {}

protected:
    void MakeSeries(int count);

private:
    const RmonTable& m_table;
    std::vector<RmonSeries> m_series;
    int m_cursor;
    int m_page = 0;
    RmonResources m_resources;
};

// What the history window reads at open.
struct HistoryReading {
    bool timeRead = false;
    int32_t bootTime = 0;
    // Per control row: its samples (at most 41, the newest) and the walk's
    // last error (0 when no exchange failed).
    std::vector<std::vector<RmonSample>> samples;
    // Control rows whose walk went past kMaxHistoryRows.
    std::vector<int32_t> cut;
    // The agent did not answer: the walks after the failing exchange did
    // not run.
    bool agentDown = false;
};
// Buckets one control row's walk reads at most: as many as a control row
// can grant (historyControlBucketsGranted is at most 65535).
inline constexpr int kMaxHistoryRows = 65535;
// The sysUpTime time base and one etherHistoryEntry walk per control row,
// in list order. now: this computer's clock in seconds since 1970.
HistoryReading ReadHistoryBuckets(MIBAgent* agent, MIBBasicItem* item, const std::vector<int32_t>& controlIndexes,
                                  long now, int* keepRunning);

class CHistoryMIBMenuDoc : public CRmonDoc, public HistoryListTarget {
    Q_OBJECT
public:
    Q_INVOKABLE CHistoryMIBMenuDoc();
    ~CHistoryMIBMenuDoc() override;
    void SetHistories(const std::vector<HistoryControlEntry>& list) override;
    const std::vector<HistoryControlEntry>& histories() const { return m_list; }
    int32_t getBootTime() const { return m_bootTime; }

    // Starts the reading with item's socket on a worker thread (the frame
    // shows the busy cursor meanwhile); it is applied on this thread when
    // it ends. Ignored while a reading is in flight.
    void Start(MIBBasicItem* item) override;
    bool ShowsRows() const override { return m_timeRead; }
    // The reading handed to the document: message, samples, hint 33011.
    void ApplyReading(HistoryReading reading);
    bool ReadingInFlight() const { return m_cycle.Busy(); }
    // Waits for the reading in flight and applies it (tests).
    bool FinishReading() { return m_cycle.Finish(); }
    void OnCloseDocument() override;

private:
    std::vector<HistoryControlEntry> m_list;
    int32_t m_bootTime = 0;
    bool m_timeRead = false;
    // Last: destroyed, and so stopped, before anything its handler uses.
    snmpengine::BackgroundCycle m_cycle{this};
};

// The 16 etherStatsEntry counters of one etherStatsIndex in one request:
// bindings of a GetRequest for 1.3.6.1.2.1.16.1.1.1.<4..19>.<index>.
CSnmpBer EtherStatsBindings(long etherStatsIndex);
// Sends it; on 0 value holds the reply's bindings (each name checked: 22
// for a reply naming other objects).
int RequestEtherStats(MIBAgent* agent, MIBBasicItem* item, long etherStatsIndex, CSnmpBer& value, int* keepRunning);

class CStaticMIBMenuDoc : public CRmonDoc, public InterfaceListTarget {
    Q_OBJECT
public:
    Q_INVOKABLE CStaticMIBMenuDoc();
    ~CStaticMIBMenuDoc() override;
    void SetInterfaces(const std::vector<InterfaceEntry>& list, int column) override;
    const std::vector<InterfaceEntry>& interfaces() const { return m_list; }

    void Start(MIBBasicItem* item) override;
    bool Polls() const override { return true; }
    int getTimeId() const override { return m_timeId; }
    long getInterval() const override { return m_interval; }
    void setTimer(int id, long ms) override;

    // One poll cycle with item's socket on a worker thread: one 16-varbind
    // request per interface; the tick and hint 33011 follow on this thread
    // when it ends. A cycle asked for while one is in flight runs right
    // after it (once, however many ticks came meanwhile).
    void StartPollCycle(MIBBasicItem* item);
    // The synchronous form (tests, benchmarks): finishes what is in flight,
    // then runs one cycle and waits for it.
    void PollCycle(MIBBasicItem* item);
    template <class Request>
    void PollCycleWith(Request&& request, long now)
    {
        countergroup::RunRequests(m_state, request);
        std::vector<RmonSample*> h;
        for (RmonSeries& s : series())
            h.push_back(s.samples.data());
        countergroup::TickCounter(m_state, h.data(), kRmonSlots, now);
        UpdateAllViews(nullptr, kHintRmonNewData);
    }
    bool PollInFlight() const { return m_cycle.Busy(); }
    // Waits for the cycle in flight and the one asked for meanwhile, and
    // applies them; false when none was in flight.
    bool FinishPollCycle();
    const countergroup::PollState& state() const { return m_state; }
    void SaveSettings() override;
    void OnCloseDocument() override;

private:
    std::vector<InterfaceEntry> m_list;
    countergroup::PollState m_state;
    int m_timeId;
    long m_interval;
    // The socket for the cycle asked for while one was in flight.
    std::unique_ptr<MIBBasicItem> m_pendingItem;
    // Last: destroyed, and so stopped, before anything its handler uses.
    snmpengine::BackgroundCycle m_cycle{this};
};

// ---------------------------------------------------------------------------
// Panes

class CRmonListView : public CListViewEx, public MIBBasicItem {
    Q_OBJECT
public:
    explicit CRmonListView(QWidget* parent = nullptr);
    ~CRmonListView() override;
    CRmonDoc* GetDocument() const;

    void OnInitialUpdate() override;
    void OnUpdate(platform::View* sender, long hint, QObject* hintObj) override;
    void OnTimer(int id) override;

    void RefreshTexts();
    void ChangeColour();
    void ChangeInterval(int id);
    // The pop-up menu as the right button shows it; the caller owns it.
    QMenu* CreateSetupMenu();

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void BuildRows();
    std::string m_iniPath;
};

class CRmonCanvas;

// The graph pane and the legend pane: a scrolling canvas with the rendered
// page; both switch pages with their tabs.
class CRmonPane : public platform::View {
    Q_OBJECT
public:
    explicit CRmonPane(bool legend, QWidget* parent = nullptr);
    ~CRmonPane() override;
    CRmonDoc* GetDocument() const;

    void OnInitialUpdate() override;
    void OnUpdate(platform::View* sender, long hint, QObject* hintObj) override;
    void Render();
    const QImage& image() const { return m_image; }
    const std::vector<RmonCellScale>& scales() const { return m_scales; }
    CRmonCanvas* canvas() const { return m_canvas; }
    bool isLegend() const { return m_legend; }
    int offset() const { return m_offset; }

    // Mouse input in canvas coordinates.
    void Press(QPoint p, Qt::MouseButton button);
    void Move(QPoint p);
    void Release(QPoint p);

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void MoveCursorTo(QPoint p);
    bool m_legend;
    QScrollArea* m_scroll;
    CRmonCanvas* m_canvas;
    QImage m_image;
    std::vector<RmonCellScale> m_scales;
    bool m_down = false;
    int m_pressedTab = -1;
    int m_offset = 0;      // legend rows scrolled by the drag
    int m_dragStartY = 0;
    int m_dragStartOffset = 0;
    bool m_ready = false;
};

class CRmonCanvas : public QWidget {
    Q_OBJECT
public:
    explicit CRmonCanvas(CRmonPane* owner);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    CRmonPane* m_owner;
};

class CRmonFrame : public platform::ChildFrame {
    Q_OBJECT
public:
    explicit CRmonFrame(QWidget* parent = nullptr);
    ~CRmonFrame() override;
    bool OnCreate() override;
    bool OnCreateClient(platform::CreateContext& ctx) override;

    CRmonDoc* document() const;
    CRmonListView* listView() const { return FindView<CRmonListView>(); }
    CRmonPane* graphView() const;
    CRmonPane* legendView() const;
    void SaveWindowSettings();

protected:
    virtual const QMetaObject* legendClass() const = 0;

private:
    std::string m_iniPath;
    bool m_saved = false;
};

// ---------------------------------------------------------------------------
// The classes the registry names

class CHistoryMIBMenuView : public CRmonListView {
    Q_OBJECT
public:
    Q_INVOKABLE explicit CHistoryMIBMenuView(QWidget* parent = nullptr) : CRmonListView(parent) {}
};
class CHistoryMIBMenuHisView : public CRmonPane {
    Q_OBJECT
public:
    Q_INVOKABLE explicit CHistoryMIBMenuHisView(QWidget* parent = nullptr) : CRmonPane(false, parent) {}
};
class CHistoryMIBMenuMarkView : public CRmonPane {
    Q_OBJECT
public:
    Q_INVOKABLE explicit CHistoryMIBMenuMarkView(QWidget* parent = nullptr) : CRmonPane(true, parent) {}
};
class CHistoryMIBMenuFrame : public CRmonFrame {
    Q_OBJECT
public:
    Q_INVOKABLE explicit CHistoryMIBMenuFrame(QWidget* parent = nullptr) : CRmonFrame(parent) {}

protected:
    const QMetaObject* legendClass() const override { return &CHistoryMIBMenuMarkView::staticMetaObject; }
};

class CStaticMIBMenuView : public CRmonListView {
    Q_OBJECT
public:
    Q_INVOKABLE explicit CStaticMIBMenuView(QWidget* parent = nullptr) : CRmonListView(parent) {}
};
class CStaticMIBMenuHisView : public CRmonPane {
    Q_OBJECT
public:
    Q_INVOKABLE explicit CStaticMIBMenuHisView(QWidget* parent = nullptr) : CRmonPane(false, parent) {}
};
class CStaticMIBMenuMarkView : public CRmonPane {
    Q_OBJECT
public:
    Q_INVOKABLE explicit CStaticMIBMenuMarkView(QWidget* parent = nullptr) : CRmonPane(true, parent) {}
};
class CStaticMIBMenuFrame : public CRmonFrame {
    Q_OBJECT
public:
    Q_INVOKABLE explicit CStaticMIBMenuFrame(QWidget* parent = nullptr) : CRmonFrame(parent) {}

protected:
    const QMetaObject* legendClass() const override { return &CStaticMIBMenuMarkView::staticMetaObject; }
};

}  // namespace ifplug
