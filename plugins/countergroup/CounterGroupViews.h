#pragma once
// The two panes and the frame of a counter-group window. Each plug-in
// derives its own classes from these (the registry compares runtime
// classes), with a Q_INVOKABLE default constructor.

#include <QPixmap>
#include <QWidget>

#include "mibcore/engine/MIBBasicItem.h"
#include "mibcore/platform/ChildFrame.h"
#include "mibcore/platform/DocView.h"
#include "mibcore/widgets/CListViewEx.h"
#include "plugins/countergroup/CounterGroupDoc.h"
#include "plugins/countergroup/GraphRender.h"

class QScrollArea;

namespace countergroup {

// The list pane: one row per series with the value and result at the
// cursor; it owns the poll timer and the request context.
class CCounterGroupListView : public CListViewEx, public MIBBasicItem {
    Q_OBJECT
public:
    explicit CCounterGroupListView(QWidget* parent = nullptr);
    ~CCounterGroupListView() override;

    CCounterGroupDoc* GetDocument() const;

    void OnInitialUpdate() override;
    void OnUpdate(platform::View* sender, long hint, QObject* hintObj) override;
    void OnTimer(int id) override;

    // Hint 1026: without a hint object the rows are rebuilt first (and the
    // timer stopped); then, if there are series, one cycle and the timer.
    void StartPolling(bool rebuild);
    // One poll cycle (never two at once).
    void Poll();
    // Texts of every row at the cursor.
    void RefreshTexts();
    // "カラー変更" on the selected rows; dialogResult scripts the dialog in
    // tests (null: the operator answers).
    void ChangeColour();
    // Timer menu command 33225..33229.
    void ChangeInterval(int id);

    // The 48 x 16 line sample of a pen.
    static QPixmap LineSample(const QPen& pen, const QColor& background);

    // Rows and their line samples from the document's series.
    void BuildRows();

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    // The menu resource of the context menu (its first sub-menu is shown).
    virtual const char* SetupMenuName() const { return "IDR_SETUP_MENU"; }

private:
    bool m_polling = false;
    // Found while the runtime class is complete; destructors run as the base.
    std::string m_iniPath;
};

// The canvas of the graph pane: paints the rendered graph with the cursor
// overlay and turns mouse input into cursor moves.
class CGraphCanvas : public QWidget {
    Q_OBJECT
public:
    explicit CGraphCanvas(class CCounterGroupHisView* owner);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    CCounterGroupHisView* m_owner;
};

// The graph pane: a scrolling view of the 480 x 340 graph.
class CCounterGroupHisView : public platform::View {
    Q_OBJECT
public:
    explicit CCounterGroupHisView(QWidget* parent = nullptr);
    ~CCounterGroupHisView() override;

    CCounterGroupDoc* GetDocument() const;

    void OnInitialUpdate() override;
    void OnUpdate(platform::View* sender, long hint, QObject* hintObj) override;

    // Renders the graph for the current pane size and repaints.
    void Render();
    // Moves the cursor to a point of the canvas (scroll position included);
    // ignored outside the plot.
    void MoveCursorTo(QPoint canvasPoint);
    // Right button: back to the newest slot.
    void ResetCursor();
    bool isDragging() const { return m_dragging; }
    void setDragging(bool on) { m_dragging = on; }

    const GraphRenderer& renderer() const { return m_renderer; }
    CGraphCanvas* canvas() const { return m_canvas; }
    QScrollArea* scrollArea() const { return m_scroll; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

private:
    void RenderOverlay();
    QScrollArea* m_scroll;
    CGraphCanvas* m_canvas;
    GraphRenderer m_renderer;
    bool m_dragging = false;
    bool m_ready = false;
};

// The frame: graph pane and list pane side by side, a status bar with the
// time of the cursor, "ファイルへ保存", and its placement in the settings.
class CCounterGroupFrame : public platform::ChildFrame {
    Q_OBJECT
public:
    explicit CCounterGroupFrame(QWidget* parent = nullptr);
    ~CCounterGroupFrame() override;

    bool OnCreate() override;
    bool OnCreateClient(platform::CreateContext& ctx) override;

    CCounterGroupDoc* document() const;
    CCounterGroupListView* listView() const;
    CCounterGroupHisView* graphView() const;
    // Writes frame, graphview and listview.
    void SaveWindowSettings();
    // The status pane's time of the cursor ("" without one), and setting it
    // now (every window, not only the active one).
    std::string TimePaneText() const;
    void UpdateTimePane();
    // Saved pane widths (or 3/4 : 1/4) once the frame has its size; true
    // when applied by this call.
    bool ApplyPaneWidths();

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    platform::Splitter* m_splitter = nullptr;
    int m_savedGraph = -1;
    int m_savedList = -1;
    bool m_panesApplied = false;
    std::string m_iniPath;
    bool m_saved = false;
};

}  // namespace countergroup
