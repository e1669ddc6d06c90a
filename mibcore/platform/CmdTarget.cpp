#include "mibcore/platform/CmdTarget.h"

#include "mibcore/platform/ChildFrame.h"
#include "mibcore/platform/DocView.h"
#include "mibcore/platform/MainFrame.h"
#include "mibcore/platform/Resources.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QToolBar>

namespace platform {

void CmdUI::Apply(QAction* action) const
{
    if (!action)
        return;
    action->setEnabled(m_enabled);
    if (m_checkSet) {
        action->setCheckable(true);
        action->setChecked(m_check != 0);
    }
    if (m_textSet)
        action->setText(QString::fromStdString(m_text));
}

CmdTarget::~CmdTarget() = default;

bool CmdTarget::OnCmdMsg(int id)
{
    for (const Handler& h : m_commands)
        if (id >= h.first && id <= h.last) {
            // Copy: the handler may destroy this target.
            std::function<void(int)> fn = h.fn;
            fn(id);
            return true;
        }
    return false;
}

bool CmdTarget::OnUpdateCmdUI(CmdUI& ui)
{
    for (const UiHandler& h : m_updates)
        if (ui.GetId() >= h.first && ui.GetId() <= h.last) {
            h.fn(ui);
            return true;
        }
    return false;
}

bool CmdTarget::HasCommandHandler(int id) const
{
    for (const Handler& h : m_commands)
        if (id >= h.first && id <= h.last)
            return true;
    return false;
}

void CmdTarget::AddCommand(int id, std::function<void()> fn)
{
    m_commands.push_back({id, id, [fn = std::move(fn)](int) { fn(); }});
}

void CmdTarget::AddCommandRange(int first, int last, std::function<void(int)> fn)
{
    m_commands.push_back({first, last, std::move(fn)});
}

void CmdTarget::AddCommandUI(int id, std::function<void(CmdUI&)> fn) { m_updates.push_back({id, id, std::move(fn)}); }

void CmdTarget::AddCommandUIRange(int first, int last, std::function<void(CmdUI&)> fn)
{
    m_updates.push_back({first, last, std::move(fn)});
}

std::vector<CmdTarget*> CommandRoute(QWidget* origin)
{
    View* view = nullptr;
    ChildFrame* frame = nullptr;
    MainFrame* main = nullptr;
    for (QWidget* w = origin; w; w = w->parentWidget()) {
        if (!view && !frame)
            if (View* v = qobject_cast<View*>(w))
                view = v;
        if (!frame)
            if (ChildFrame* f = qobject_cast<ChildFrame*>(w))
                frame = f;
        if (MainFrame* m = qobject_cast<MainFrame*>(w)) {
            main = m;
            break;
        }
    }
    if (!main)
        main = App::GetMainFrame();
    if (!frame && !view && main)
        frame = main->MDIGetActive();
    if (!view && frame)
        view = frame->GetActiveView();

    std::vector<CmdTarget*> route;
    if (view) {
        route.push_back(view);
        if (view->GetDocument())
            route.push_back(view->GetDocument());
    } else if (frame && frame->GetActiveDocument()) {
        route.push_back(frame->GetActiveDocument());
    }
    if (frame)
        route.push_back(frame);
    if (main)
        route.push_back(main);
    return route;
}

bool ExecuteCommand(QWidget* origin, int id)
{
    for (CmdTarget* t : CommandRoute(origin))
        if (t->OnCmdMsg(id))
            return true;
    return false;
}

bool UpdateCommand(QWidget* origin, CmdUI& ui)
{
    std::vector<CmdTarget*> route = CommandRoute(origin);
    for (CmdTarget* t : route)
        if (t->OnUpdateCmdUI(ui))
            return true;
    for (CmdTarget* t : route)
        if (t->HasCommandHandler(ui.GetId())) {
            ui.Enable(true);
            return true;
        }
    ui.Enable(false);
    return false;
}

namespace {

void UpdateAction(QAction* a, QWidget* origin)
{
    int id = CommandId(a);
    if (id == 0)
        return;
    CmdUI ui(id);
    UpdateCommand(origin, ui);
    ui.Apply(a);
}

// Only this menu's own items: a submenu updates its items when it opens.
void UpdateMenu(QMenu* menu, QWidget* origin)
{
    for (QAction* a : menu->actions())
        UpdateAction(a, origin);
}

void Bind(QAction* a, QWidget* origin)
{
    if (CommandId(a) == 0 || a->property("quillonBound").toBool())
        return;
    a->setProperty("quillonBound", true);
    QPointer<QWidget> o(origin);
    QObject::connect(a, &QAction::triggered, a, [a, o] {
        if (o)
            ExecuteCommand(o, CommandId(a));
    });
}

void AttachMenu(QMenu* menu, QWidget* origin)
{
    QPointer<QWidget> o(origin);
    QObject::connect(menu, &QMenu::aboutToShow, menu, [menu, o] {
        if (o)
            UpdateMenu(menu, o);
    });
    for (QAction* a : menu->actions()) {
        if (a->menu())
            AttachMenu(a->menu(), origin);
        else
            Bind(a, origin);
    }
}

}  // namespace

void AttachCommands(QWidget* container, QWidget* origin)
{
    if (!container)
        return;
    if (QMenu* m = qobject_cast<QMenu*>(container)) {
        AttachMenu(m, origin);
        return;
    }
    for (QAction* a : container->actions()) {
        if (a->menu())
            AttachMenu(a->menu(), origin);
        else
            Bind(a, origin);
    }
}

void UpdateActions(QWidget* container, QWidget* origin)
{
    if (!container)
        return;
    for (QAction* a : container->actions()) {
        if (QMenu* m = a->menu())
            UpdateActions(m, origin);
        else
            UpdateAction(a, origin);
    }
}

int TrackPopupMenu(QMenu* menu, const QPoint& globalPos, QWidget* owner, bool autoUpdate)
{
    if (!menu)
        return 0;
    if (autoUpdate)
        UpdateActions(menu, owner);
    QPointer<QWidget> o(owner);
    // exec() only returns an item picked with the mouse or the keys; one
    // triggered otherwise (a shortcut, a program) is the choice as well and
    // closes the menu.
    QPointer<QAction> triggered;
    std::vector<QMetaObject::Connection> links;
    std::function<void(QMenu*)> watch = [&](QMenu* m) {
        links.push_back(QObject::connect(m, &QMenu::triggered, menu, [&triggered, menu](QAction* a) {
            if (!triggered)
                triggered = a;
            menu->hide();
        }));
        for (QAction* a : m->actions())
            if (a->menu())
                watch(a->menu());
    };
    watch(menu);
    QAction* chosen = menu->exec(globalPos);
    for (const QMetaObject::Connection& c : links)
        QObject::disconnect(c);
    if (!chosen)
        chosen = triggered;
    int id = CommandId(chosen);
    if (id != 0 && o)
        ExecuteCommand(o, id);
    return id;
}

}  // namespace platform
