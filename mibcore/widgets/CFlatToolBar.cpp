#include "mibcore/widgets/CFlatToolBar.h"

#include "mibcore/platform/ChildFrame.h"
#include "mibcore/platform/CmdTarget.h"
#include "mibcore/platform/Resources.h"
#include "mibcore/widgets/WidgetResources.h"

#include <QAction>
#include <QWidgetAction>

#include <algorithm>
#include <string>

namespace {

const char* const kPlaceholderId = "quillonPlaceholderId";
const char* const kControlId = "quillonControlId";

}  // namespace

CFlatToolBar::CFlatToolBar(QWidget* parent) : QToolBar(parent)
{
    setMovable(false);
    setFloatable(false);
}

CFlatToolBar::~CFlatToolBar() = default;

bool CFlatToolBar::LoadToolBar(int id) { return LoadToolBar(std::to_string(id)); }

bool CFlatToolBar::LoadToolBar(const std::string& name)
{
    const QList<QAction*> old = actions();
    if (platform::LoadToolBar(this, name) == platform::ToolBarNoResource)
        return false;
    for (QAction* a : old) {
        removeAction(a);
        if (a->parent() == this)
            a->deleteLater();
    }
    // Buttons go along the frame's route; a bar not yet in its frame gets
    // them bound when the frame adds it.
    if (auto* frame = qobject_cast<platform::ChildFrame*>(widgets::GetParentFrame(this)))
        platform::AttachCommands(this, frame);
    setToolButtonStyle(Qt::ToolButtonIconOnly);
    return true;
}

void CFlatToolBar::SetButtonInfo(int index, int id, int width)
{
    const QList<QAction*> items = actions();
    if (index < 0 || index > items.size())
        return;
    auto* spacer = new QWidget(this);
    spacer->setFixedWidth(std::max(0, width));
    spacer->setProperty(kPlaceholderId, id);
    QAction* before = index < items.size() ? items[index] : nullptr;
    // Controls carry their id only as a property: an action id would let
    // the command updates disable them.
    QAction* placeholder = insertWidget(before, spacer);
    placeholder->setProperty(kPlaceholderId, id);
    if (before) {
        removeAction(before);
        before->deleteLater();
    }
}

QRect CFlatToolBar::GetItemRect(int index) const
{
    const QList<QAction*> items = actions();
    if (index < 0 || index >= items.size())
        return QRect();
    return actionGeometry(items[index]);
}

QAction* CFlatToolBar::commandAction(int id) const
{
    for (QAction* a : actions())
        if (!a->isSeparator() && platform::CommandId(a) == id)
            return a;
    return nullptr;
}

QWidget* CFlatToolBar::commandTarget() const
{
    if (QWidget* frame = widgets::GetParentFrame(this))
        return frame;
    return parentWidget();
}

bool CFlatToolBar::OnCmdMsg(int id)
{
    QWidget* target = commandTarget();
    return target && widgets::SendCommand(target, id);
}

void CFlatToolBar::placeControl(QWidget* w, int id, const QSize& size)
{
    if (size.width() > 0 && size.height() > 0)
        w->setFixedSize(size);
    else if (size.width() > 0)
        w->setFixedWidth(size.width());
    const QList<QAction*> items = actions();
    for (QAction* a : items) {
        QVariant v = a->property(kPlaceholderId);
        if (v.isValid() && v.toInt() == id) {
            QAction* action = insertWidget(a, w);
            action->setProperty(kControlId, id);
            removeAction(a);
            a->deleteLater();
            return;
        }
    }
    QAction* action = addWidget(w);
    action->setProperty(kControlId, id);
}
