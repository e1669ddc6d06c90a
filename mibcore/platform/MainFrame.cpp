#include "mibcore/platform/MainFrame.h"

#include "mibcore/platform/ChildFrame.h"
#include "mibcore/platform/DocTemplate.h"
#include "mibcore/platform/DocView.h"
#include "mibcore/platform/Resources.h"

#include <QCloseEvent>

#include <algorithm>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QStyle>
#include <QStyleOption>
#include <QTimer>
#include <QToolBar>

namespace platform {
namespace {

MainFrame* g_main = nullptr;

std::vector<std::unique_ptr<MultiDocTemplate>>& Templates()
{
    static std::vector<std::unique_ptr<MultiDocTemplate>> t;
    return t;
}

}  // namespace

MainFrame::MainFrame(QWidget* parent) : QMainWindow(parent), m_mdi(new QMdiArea(this)), m_idle(new QTimer(this))
{
    setCentralWidget(m_mdi);
    if (!g_main)
        g_main = this;
    connect(m_mdi, &QMdiArea::subWindowActivated, this, &MainFrame::OnChildActivated);
    connect(m_idle, &QTimer::timeout, this, &MainFrame::UpdateCmdUI);
    m_idle->start(250);

    AddCommand(ID_VIEW_TOOLBAR, [this] {
        for (QToolBar* b : findChildren<QToolBar*>(Qt::FindDirectChildrenOnly))
            b->setVisible(!b->isVisible());
    });
    AddCommandUI(ID_VIEW_TOOLBAR, [this](CmdUI& ui) {
        QList<QToolBar*> bars = findChildren<QToolBar*>(Qt::FindDirectChildrenOnly);
        ui.Enable(!bars.isEmpty());
        ui.SetCheck(!bars.isEmpty() && bars.first()->isVisible());
    });
    AddCommand(ID_VIEW_STATUS_BAR, [this] {
        if (m_statusBar)
            m_statusBar->setVisible(!m_statusBar->isVisible());
    });
    AddCommandUI(ID_VIEW_STATUS_BAR, [this](CmdUI& ui) {
        ui.Enable(m_statusBar != nullptr);
        ui.SetCheck(m_statusBar && m_statusBar->isVisible());
    });
    AddCommand(ID_WINDOW_CASCADE, [this] { CascadeChildFrames(); });
    AddCommand(ID_WINDOW_TILE_HORZ, [this] { m_mdi->tileSubWindows(); });
    AddCommand(ID_WINDOW_ARRANGE, [] {});  // the MDI area keeps minimised frames arranged itself
    AddCommand(ID_APP_EXIT, [this] { close(); });
}

MainFrame::~MainFrame()
{
    // The MDI area and the timer outlive this part of the frame: children go
    // in QWidget's destructor, and the area reports the last activation as
    // its sub-windows go.
    disconnect(m_mdi, nullptr, this, nullptr);
    m_idle->stop();
    disconnect(m_idle, nullptr, this, nullptr);
    if (g_main == this)
        g_main = nullptr;
}

void MainFrame::SetTitle(const QString& title)
{
    m_title = title;
    setWindowTitle(title);
}

void MainFrame::changeEvent(QEvent* e)
{
    // A maximised child appends " - [its title]" to the frame's title; the
    // frame keeps its own.
    if (e->type() == QEvent::WindowTitleChange && !m_title.isNull() && windowTitle() != m_title &&
        !m_restoringTitle) {
        m_restoringTitle = true;
        setWindowTitle(m_title);
        m_restoringTitle = false;
    }
    QMainWindow::changeEvent(e);
}

ChildFrame* MainFrame::MDIGetActive() const
{
    QMdiSubWindow* w = m_mdi->activeSubWindow();
    if (!w)
        w = m_mdi->currentSubWindow();
    return qobject_cast<ChildFrame*>(w);
}

void MainFrame::MDIActivate(ChildFrame* frame)
{
    if (!frame)
        return;
    m_mdi->setActiveSubWindow(frame);
    OnChildActivated(frame);
}

QList<ChildFrame*> MainFrame::GetChildFrames() const
{
    QList<ChildFrame*> out;
    for (QMdiSubWindow* w : m_mdi->subWindowList(QMdiArea::CreationOrder))
        if (ChildFrame* f = qobject_cast<ChildFrame*>(w))
            out << f;
    return out;
}

void MainFrame::CascadeChildFrames()
{
    // QMdiArea's own cascade shrinks every frame to its size hint, a few
    // hundred pixels, and the frames then save that size.
    ChildFrame* active = MDIGetActive();
    QList<ChildFrame*> frames;
    for (QMdiSubWindow* w : m_mdi->subWindowList(QMdiArea::StackingOrder))
        if (ChildFrame* f = qobject_cast<ChildFrame*>(w); f && !f->isHidden() && !f->isMinimized())
            frames << f;
    if (active && frames.removeOne(active))
        frames << active;
    const QSize room = m_mdi->viewport()->size();
    QStyleOptionTitleBar opt;
    const int step = std::max(12, style()->pixelMetric(QStyle::PM_TitleBarHeight, &opt, m_mdi) +
                                      style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, m_mdi));
    QPoint pos(0, 0);
    for (ChildFrame* f : frames) {
        if (f->isMaximized())
            f->showNormal();
        const QSize size = f->DefaultSize().boundedTo(room).expandedTo(f->minimumSizeHint());
        // Back to the top left once the next frame would leave the area.
        if (pos.x() + size.width() > room.width() || pos.y() + size.height() > room.height())
            pos = QPoint(0, 0);
        f->setGeometry(QRect(pos, size));
        f->raise();
        pos += QPoint(step, step);
    }
    if (active)
        MDIActivate(active);
}

void MainFrame::SetMenus(const std::string& noChildMenu, const std::string& childMenu)
{
    m_noChildMenu = noChildMenu;
    m_childMenu = childMenu;
    m_shownMenu.clear();
    OnChildActivated(m_mdi->activeSubWindow());
}

void MainFrame::ShowMenu(const std::string& name)
{
    if (name == m_shownMenu)
        return;
    m_shownMenu = name;
    menuBar()->clear();
    if (!LoadMenuBar(menuBar(), name))
        return;
    AttachCommands(menuBar(), this);
    if (QMenu* m = WindowMenu())
        connect(m, &QMenu::aboutToShow, this, [this, m] { FillWindowList(m); });
}

QMenu* MainFrame::WindowMenu() const
{
    for (QAction* top : menuBar()->actions())
        if (QMenu* m = top->menu())
            for (QAction* a : m->actions()) {
                const int id = CommandId(a);
                if (id == ID_WINDOW_CASCADE || id == ID_WINDOW_TILE_HORZ || id == ID_WINDOW_ARRANGE)
                    return m;
            }
    return nullptr;
}

void MainFrame::FillWindowList(QMenu* menu)
{
    // A frame hidden behind others is brought back from here: "1 title",
    // "2 title", ..., the active one checked, below the menu's own items.
    static const char* const kListed = "quillonWindowList";
    for (QAction* a : menu->actions())
        if (a->property(kListed).toBool())
            delete a;
    QList<ChildFrame*> frames;
    for (ChildFrame* f : GetChildFrames())
        if (!f->isHidden())
            frames << f;
    if (frames.isEmpty())
        return;
    menu->addSeparator()->setProperty(kListed, true);
    ChildFrame* active = MDIGetActive();
    int n = 0;
    for (ChildFrame* f : frames) {
        ++n;
        QString title = f->windowTitle();
        title.replace(QLatin1Char('&'), QStringLiteral("&&"));
        // Keys 1 to 9 pick a window; later ones are listed without a key.
        const QString key = n <= 9 ? QStringLiteral("&") : QString();
        QAction* a = menu->addAction(QStringLiteral("%1%2 %3").arg(key, QString::number(n), title));
        a->setProperty(kListed, true);
        a->setCheckable(true);
        a->setChecked(f == active);
        QPointer<ChildFrame> target(f);
        connect(a, &QAction::triggered, this, [this, target] {
            if (!target)
                return;
            if (target->isMinimized())
                target->showNormal();
            MDIActivate(target);
        });
    }
}

void MainFrame::OnChildActivated(QMdiSubWindow* w)
{
    ChildFrame* f = qobject_cast<ChildFrame*>(w);
    if (!f) {
        if (!m_mdi->currentSubWindow())
            ShowMenu(m_noChildMenu);
        return;
    }
    std::string menu = m_childMenu;
    if (f->GetDocTemplate()) {
        std::string own = std::to_string(f->GetDocTemplate()->GetResourceId());
        if (HasMenu(own))
            menu = own;
    }
    ShowMenu(menu);
}

StatusBar* MainFrame::CreateStatusBar(const unsigned int* ids, int count)
{
    StatusBar* sb = new StatusBar;
    sb->SetIndicators(ids, count);
    setStatusBar(sb);
    m_statusBar = sb;
    return sb;
}

QToolBar* MainFrame::AddToolBar(const std::string& resource, int* result)
{
    QToolBar* bar = new QToolBar(this);
    int r = LoadToolBar(bar, resource);
    if (result)
        *result = r;
    AddToolBar(bar);
    return bar;
}

void MainFrame::AddToolBar(QToolBar* bar, Qt::ToolBarArea area)
{
    if (!bar)
        return;
    addToolBar(area, bar);
    AttachCommands(bar, this);
}

bool MainFrame::SendCommand(int id) { return ExecuteCommand(this, id); }

void MainFrame::UpdateCmdUI()
{
    for (QToolBar* bar : findChildren<QToolBar*>(Qt::FindDirectChildrenOnly))
        UpdateActions(bar, this);
    if (m_statusBar)
        m_statusBar->UpdatePanes(this);
    // Every shown frame, not only the active one: each keeps its own panes
    // (a time, a row count) current while another window has the focus.
    for (ChildFrame* f : GetChildFrames())
        if (f->isVisible() && !f->isMinimized())
            f->UpdateCmdUI();
}

void MainFrame::closeEvent(QCloseEvent* e)
{
    App::CloseAllDocuments();
    QMainWindow::closeEvent(e);
}

MultiDocTemplate* App::AddDocTemplate(MultiDocTemplate* tmpl)
{
    if (tmpl)
        Templates().emplace_back(tmpl);
    return tmpl;
}

std::vector<MultiDocTemplate*> App::GetDocTemplates()
{
    std::vector<MultiDocTemplate*> out;
    for (auto& t : Templates())
        out.push_back(t.get());
    return out;
}

MainFrame* App::GetMainFrame() { return g_main; }

void App::SetMainFrame(MainFrame* frame) { g_main = frame; }

void App::CloseAllDocuments()
{
    for (auto& t : Templates()) {
        QList<Document*> docs = t->GetDocuments();
        for (Document* d : docs)
            if (t->GetDocuments().contains(d))
                d->OnCloseDocument();
    }
}

void App::Shutdown()
{
    CloseAllDocuments();
    Templates().clear();
}

}  // namespace platform
