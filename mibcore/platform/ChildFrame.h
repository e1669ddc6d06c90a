#pragma once
// MDI child frames and what they host: tool bars, a status bar with panes
// by id, and views, alone or in the panes of a splitter.
//
// A frame subclass builds its bars in OnCreate and its views in
// OnCreateClient (the default makes one view of the template's view class):
//
//   bool CFooFrame::OnCreate() {
//       CreateStatusBar(MIB::m_graphStatusBarMenu, 3);
//       return true;
//   }
//   bool CFooFrame::OnCreateClient(platform::CreateContext& ctx) {
//       platform::Splitter* s = CreateSplitter(1, 2);
//       s->CreateView(0, 0, &CFooHisView::staticMetaObject, ctx, 360);
//       s->CreateView(0, 1, ctx.viewClass, ctx, 120);
//       return true;
//   }

#include "mibcore/platform/CmdTarget.h"
#include "mibcore/platform/Records.h"

#include <QMdiSubWindow>
#include <QPointer>
#include <QSplitter>
#include <QStatusBar>

#include <string>
#include <vector>

class QLabel;
class QMainWindow;
class QToolBar;

namespace platform {

class Document;
class MultiDocTemplate;
class View;

// What a frame needs to build its views.
struct CreateContext {
    const QMetaObject* viewClass = nullptr;  // the template's view class
    Document* document = nullptr;
    MultiDocTemplate* docTemplate = nullptr;
};

// Creates a view of a runtime class, attached to the context's document;
// null when the class cannot be instantiated as a View.
View* CreateViewOf(const QMetaObject* cls, CreateContext& ctx, QWidget* parent);

// A static splitter of rows x columns panes.
class Splitter : public QSplitter {
    Q_OBJECT
public:
    Splitter(int rows, int cols, QWidget* parent = nullptr);
    int GetRowCount() const { return m_rows; }
    int GetColumnCount() const { return m_cols; }
    // Creates a view in a pane; width (or height for a column of rows)
    // is the pane's initial size when positive.
    View* CreateView(int row, int col, const QMetaObject* cls, CreateContext& ctx, int width = 0);
    // Puts any widget in a pane.
    void SetPane(int row, int col, QWidget* w);
    QWidget* GetPane(int row, int col) const;
    void SetColumnWidth(int col, int width);

private:
    QSplitter* Row(int row) const;
    int m_rows, m_cols;
};

// Status bar panes by id: id 0 is a plain pane (the first one stretches and
// shows prompts), other ids are panes whose text comes from an update
// handler for that id (CmdUI::SetText) or from SetPaneText.
class StatusBar : public QStatusBar {
    Q_OBJECT
public:
    explicit StatusBar(QWidget* parent = nullptr);
    bool SetIndicators(const unsigned int* ids, int count);
    int GetCount() const { return static_cast<int>(m_ids.size()); }
    unsigned int GetItemID(int index) const;
    int CommandToIndex(unsigned int id) const;  // -1 when absent
    void SetPaneText(int index, const std::string& text);
    std::string GetPaneText(int index) const;
    // Fixes a pane's width to what the text needs.
    void SetPaneWidthForText(int index, const std::string& text);
    // Asks the route from origin for the text of every pane with an id.
    void UpdatePanes(QWidget* origin);

private:
    std::vector<unsigned int> m_ids;
    std::vector<QLabel*> m_panes;
};

class ChildFrame : public QMdiSubWindow, public CmdTarget {
    Q_OBJECT
public:
    Q_INVOKABLE explicit ChildFrame(QWidget* parent = nullptr);
    ~ChildFrame() override;

    // Creation, called by the template: OnCreate, then OnCreateClient.
    bool LoadFrame(CreateContext& ctx);
    virtual bool OnCreate();
    virtual bool OnCreateClient(CreateContext& ctx);

    // The frame's client: a view, a splitter or any widget.
    void SetClient(QWidget* w);
    QWidget* GetClient() const;
    View* CreateView(const QMetaObject* cls, CreateContext& ctx);
    Splitter* CreateSplitter(int rows, int cols);

    // Bars. Tool bars added here send their commands along this frame's route.
    QMainWindow* Inner() const { return m_inner; }
    StatusBar* CreateStatusBar(const unsigned int* ids, int count);
    StatusBar* GetStatusBar() const { return m_statusBar; }
    void AddToolBar(QToolBar* bar, Qt::ToolBarArea area = Qt::TopToolBarArea);
    // A tool bar from a tool bar resource; result gets the ToolBarResult.
    QToolBar* AddToolBar(const std::string& resource, int* result = nullptr);

    Document* GetActiveDocument() const { return m_document; }
    MultiDocTemplate* GetDocTemplate() const { return m_template; }
    View* GetActiveView() const;
    void SetActiveView(View* view, bool focus = true);
    // Every view in the frame, in pane order.
    QList<View*> GetViews() const;
    // The first view of class T (and accepted by pred), in pane order; null
    // when there is none.
    template <class T>
    T* FindView() const
    {
        return FindView<T>([](const T*) { return true; });
    }
    template <class T, class Pred>
    T* FindView(Pred pred) const
    {
        for (View* v : GetViews())
            if (T* t = qobject_cast<T*>(v); t && pred(t))
                return t;
        return nullptr;
    }

    // Title: the document's title while the frame shows the document name,
    // otherwise the frame's own. SetTitle always shows the new title.
    void SetTitle(const std::string& title);
    std::string GetTitle() const;
    void SetShowDocName(bool on) { m_showDocName = on; }
    bool GetShowDocName() const { return m_showDocName; }
    virtual void OnUpdateFrameTitle();

    // A frame that cannot be closed by the operator (the launcher) has no
    // close box and a system menu without the close item, and is still
    // destroyed when its document closes or the application ends.
    void SetClosable(bool on);
    bool IsClosable() const { return m_closable; }
    // The system menu's item that closes the frame.
    QAction* CloseItem() const;
    // Destroys the frame now; closes the document when it is its last frame.
    void DestroyFrame();

    // Routing from this frame (active view, document, frame, main frame).
    bool SendCommand(int id);
    // Enables and checks the buttons of the frame's tool bars and fills its
    // status panes; the main frame calls it periodically for the active frame.
    void UpdateCmdUI();

    // The size the frame opens at without a saved placement: what its
    // contents ask for, at least 720×420 (the work area may bound it).
    QSize DefaultSize() const;
    // Whether a saved size can show the frame's contents: at least their
    // minimum and half the default size each way.
    bool IsUsableSize(const QSize& size) const;

    // Geometry in the normal state (kept while maximised or minimised).
    QRect NormalGeometry() const;
    WindowPlacement GetPlacement() const;
    bool SetPlacement(const WindowPlacement& wp);

protected:
    void closeEvent(QCloseEvent* e) override;
    void moveEvent(QMoveEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    void HideCloseItem();
    friend class Document;
    friend class MultiDocTemplate;
    QMainWindow* m_inner = nullptr;
    StatusBar* m_statusBar = nullptr;
    Document* m_document = nullptr;
    MultiDocTemplate* m_template = nullptr;
    QPointer<View> m_activeView;
    std::string m_title;
    bool m_showDocName = true;
    bool m_closable = true;
    bool m_systemMenuWatched = false;
    QRect m_normal;
};

}  // namespace platform
