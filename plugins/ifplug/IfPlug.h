#pragma once
// The interface tables window ("インターフェース&経路情報") and what it hands
// to the windows it opens: the traffic of one interface, one counter
// across interfaces, RMON statistics and RMON history.

#include <string>
#include <vector>

#include <QToolBar>

#include "mibcore/engine/BackgroundCycle.h"
#include "mibcore/engine/MIBBasicItem.h"
#include "mibcore/platform/ChildFrame.h"
#include "mibcore/platform/Language.h"
#include "mibcore/platform/DocView.h"
#include "mibcore/platform/MessageBox.h"
#include "mibcore/widgets/CFlatToolBar.h"
#include "mibcore/widgets/CListViewEx.h"
#include "plugins/ifplug/IfTables.h"

class QLineEdit;
class QMenu;

namespace ifplug {

// Commands and resources of the window.
enum : int {
    kCmdSaveFile = 32775,
    kFieldTable = 13003,
    kCmdTraffic = 13004,
    kCmdCounterFirst = 13005,  // ifInOctets
    kCmdCounterLast = 13015,   // ifOutErrors
    kCmdEtherStats = 13016,
    kCmdHistory = 13017,
    kStatusPaneItems = 1128,
    kHintStart = 1026,
};

// The ifEntry traffic counters (sub-identifier 10 + i); their names are
// also the captions of the counter commands.
extern const char* const kCounterNames[11];

// The first status pane of a window while it reads from the agent.
inline constexpr const char* kReadingText = QT_TRANSLATE_NOOP("Quillon", "エージェントから読み込んでいます...");
void ShowReading(QWidget* frame, bool reading);

// "[n]": how windows and series name an interface or history row.
std::string Bracketed(long n);

// Documents of the windows opened from the tables window take their data
// through these before they get hint 1026.
class InterfaceListTarget {
public:
    virtual ~InterfaceListTarget() = default;
    // The interfaces in selection order and, for the one-counter window,
    // the ifEntry column of the counter; then the settings are read.
    virtual void SetInterfaces(const std::vector<InterfaceEntry>& list, int column) = 0;
};
class SingleInterfaceTarget {
public:
    virtual ~SingleInterfaceTarget() = default;
    virtual void SetInterface(int ifIndex, const std::string& ifDescr) = 0;
};
class HistoryListTarget {
public:
    virtual ~HistoryListTarget() = default;
    virtual void SetHistories(const std::vector<HistoryControlEntry>& list) = 0;
};

class CIfMIBMenuDoc : public platform::Document {
    Q_OBJECT
public:
    Q_INVOKABLE CIfMIBMenuDoc();
};

class CIfMIBMenuView : public CListViewEx, public MIBBasicItem {
    Q_OBJECT
public:
    Q_INVOKABLE explicit CIfMIBMenuView(QWidget* parent = nullptr);
    ~CIfMIBMenuView() override;

    void OnInitialUpdate() override;

    // Starts the five walks on a worker thread (the window shows the busy
    // cursor meanwhile) and shows the interface table when they end.
    void LoadTables();
    // The walks have not ended yet: the table commands wait for them.
    bool LoadingInFlight() const { return m_cycle.Busy(); }
    // Waits for the walks in flight and applies them (tests, benchmarks);
    // false when none were in flight.
    bool FinishLoading();
    // Rows of the table shown that are still to be added to the list.
    bool Filling() const { return m_fillPos < m_fillOrder.size(); }
    // Takes the walks' results: the failure message, then the interface table.
    void ApplyTables(IfTablesData data);
    // Shows one of the four tables (33030..33033).
    void ShowTable(int command);
    int currentTable() const { return m_current; }
    const IfTablesData& data() const { return m_data; }

    // The context menu for the current selection, or null when none
    // applies; the caller owns it.
    QMenu* CreateContextMenu();

    // The commands of the context menu, on the current selection.
    void OnTraffic();
    void OnCounter(int command);
    void OnEtherStats();
    void OnHistory();

    // Every header and row text, for the CSV export.
    std::vector<std::string> Headers() const;
    std::vector<std::vector<std::string>> Rows() const;

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void SaveColumnWidths();
    std::vector<int> SelectedRows() const;  // top to bottom
    int ColumnNumber(int row, int col) const;
    const InterfaceEntry* FindInterface(int ifIndex) const;
    // The ifIndex of a list row of the interface, address or route table,
    // 0 when the agent sent no usable one there.
    int32_t RowIfIndex(int row) const;
    // Adds the next rows of the table shown: at least a few hundred, then
    // more while the slice lasts; schedules the next slice.
    void FillSlice();
    // The text of a cell of the table shown (row as in the cells).
    QString CellText(int row, int col) const;
    static constexpr int kFillSlice = 16384;
    // Tells the refused rows: "[text]descr\n..." + "は、<what>を取得できません。".
    void Refuse(const std::string& refused, const std::string& what, unsigned type = platform::MB_OK) const;

    IfTablesData m_data;
    // Rows of the table shown in display order (list row i is data row
    // m_fillOrder[i]); rows before m_fillPos are in the list.
    std::vector<int> m_fillOrder;
    size_t m_fillPos = 0;
    unsigned m_fillSerial = 0;
    int m_current = 0;
    bool m_loaded = false;
    std::string m_iniPath;
    // Last: destroyed, and so stopped, before anything its handler uses.
    snmpengine::BackgroundCycle m_cycle{this};
};

// The tool bar with the read-only field that names the table shown.
class CIfToolBar : public CFlatToolBar {
    Q_OBJECT
public:
    explicit CIfToolBar(QWidget* parent = nullptr);
    QLineEdit* field() const { return m_field; }
    // Adds the field in the placeholder of id 13003.
    void CreateField(int width);

private:
    QLineEdit* m_field = nullptr;
};

class CIfMIBMenuFrame : public platform::ChildFrame {
    Q_OBJECT
public:
    Q_INVOKABLE explicit CIfMIBMenuFrame(QWidget* parent = nullptr);

    bool OnCreate() override;
    CIfMIBMenuView* view() const { return FindView<CIfMIBMenuView>(); }
    CIfToolBar* toolBar() const { return m_toolBar; }
    // "ファイルへ保存": the list shown, as CSV; false when cancelled or failed.
    bool ExportCsv();

private:
    CIfToolBar* m_toolBar = nullptr;
};

// Opens a window of a registry entry titled title, or activates the open
// one with that title. give hands the data to the new document before its
// views get hint 1026. Returns the frame, or null when the entry has no
// window classes.
platform::ChildFrame* OpenIfWindow(double no, const std::string& title,
                                   const std::function<void(platform::Document*)>& give);

}  // namespace ifplug
