#pragma once
// The application's main window with its MDI area, and the application-wide
// state of the document/view layer: the document templates (owned here) and
// the one main frame.

#include "mibcore/platform/CmdTarget.h"

#include <QMainWindow>
#include <QString>

#include <memory>
#include <string>
#include <vector>

class QMdiArea;
class QMenu;
class QMdiSubWindow;
class QTimer;
class QToolBar;

namespace platform {

class ChildFrame;
class Document;
class MultiDocTemplate;
class StatusBar;

// Frame commands that the main frame handles itself.
enum : int {
    ID_VIEW_TOOLBAR = 59392,
    ID_VIEW_STATUS_BAR = 59393,
    ID_WINDOW_ARRANGE = 57649,
    ID_WINDOW_CASCADE = 57650,
    ID_WINDOW_TILE_HORZ = 57651,
    ID_APP_EXIT = 57665,
};

class MainFrame : public QMainWindow, public CmdTarget {
    Q_OBJECT
public:
    explicit MainFrame(QWidget* parent = nullptr);
    ~MainFrame() override;

    QMdiArea* MdiArea() const { return m_mdi; }
    ChildFrame* MDIGetActive() const;
    void MDIActivate(ChildFrame* frame);
    // Child frames in creation order.
    QList<ChildFrame*> GetChildFrames() const;
    // "重ねて表示": the shown frames one title bar apart, each at its default
    // size as far as the work area allows, the active one in front.
    void CascadeChildFrames();

    // Menu resources shown while no child frame is active and while one is
    // (a child whose template's resource id names a menu shows that one).
    void SetMenus(const std::string& noChildMenu, const std::string& childMenu);
    StatusBar* CreateStatusBar(const unsigned int* ids, int count);
    StatusBar* GetStatusBar() const { return m_statusBar; }
    // A tool bar from a tool bar resource, or any tool bar, sending its
    // commands along the main frame's route.
    QToolBar* AddToolBar(const std::string& resource, int* result = nullptr);
    void AddToolBar(QToolBar* bar, Qt::ToolBarArea area = Qt::TopToolBarArea);

    // The frame's title; it stays so while a child frame is maximised.
    void SetTitle(const QString& title);

    // Routing from the menu bar and the main tool bar.
    bool SendCommand(int id);
    // Enables and checks tool bar buttons and fills status panes of this
    // frame and of every shown child frame; runs on a short timer.
    void UpdateCmdUI();

    // The menu bar's window menu (the one holding the window arrangement
    // commands), or null; it lists the open child frames while it opens.
    QMenu* WindowMenu() const;

protected:
    void closeEvent(QCloseEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    void OnChildActivated(QMdiSubWindow* w);
    void ShowMenu(const std::string& name);
    void FillWindowList(QMenu* menu);

    QMdiArea* m_mdi;
    StatusBar* m_statusBar = nullptr;
    QTimer* m_idle;
    std::string m_noChildMenu = "128";
    std::string m_childMenu = "129";
    std::string m_shownMenu;
    QString m_title;
    bool m_restoringTitle = false;
};

class App {
public:
    // Takes ownership of the template.
    static MultiDocTemplate* AddDocTemplate(MultiDocTemplate* tmpl);
    static std::vector<MultiDocTemplate*> GetDocTemplates();
    static MainFrame* GetMainFrame();
    static void SetMainFrame(MainFrame* frame);
    // Closes every document (each saves its settings as it closes).
    static void CloseAllDocuments();
    // Closes every document and deletes the templates; call before the
    // Qt application object goes away.
    static void Shutdown();
};

}  // namespace platform
