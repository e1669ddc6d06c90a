#include "mibcore/widgets/CMIBOleDropTarget.h"

#include "mibcore/mibtree/MIBTree.h"
#include "mibcore/platform/ChildFrame.h"
#include "mibcore/platform/DocView.h"
#include "mibcore/widgets/WidgetResources.h"

#include <QAbstractScrollArea>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>

namespace {

// Dragged names may come with the terminating zero of a C string and, from
// other programs, with surrounding white space or a line end.
std::string DroppedName(const QString& text)
{
    QString t = text;
    const qsizetype nul = t.indexOf(QChar(0));
    if (nul >= 0)
        t.truncate(nul);
    return t.trimmed().toStdString();
}

Qt::DropAction Allowed(Qt::DropAction wanted, Qt::DropActions possible)
{
    if (possible & wanted)
        return wanted;
    if (possible & Qt::CopyAction)
        return Qt::CopyAction;
    if (possible & Qt::MoveAction)
        return Qt::MoveAction;
    return wanted;
}

}  // namespace

CNamePathHint::CNamePathHint(const std::string& path) : m_path(path)
{
    setObjectName(QString::fromStdString(path));
}

CMIBOleDropTarget::CMIBOleDropTarget(QObject* parent) : QObject(parent) {}

CMIBOleDropTarget::~CMIBOleDropTarget() { Revoke(); }

bool CMIBOleDropTarget::Register(QWidget* wnd)
{
    if (!wnd)
        return false;
    Revoke();
    m_wnd = wnd;
    wnd->setAcceptDrops(true);
    wnd->installEventFilter(this);
    // Item views take their drags on the viewport.
    if (auto* area = qobject_cast<QAbstractScrollArea*>(wnd)) {
        m_viewport = area->viewport();
        m_viewport->setAcceptDrops(true);
        m_viewport->installEventFilter(this);
    }
    return true;
}

void CMIBOleDropTarget::Revoke()
{
    if (m_viewport) {
        m_viewport->removeEventFilter(this);
        m_viewport->setAcceptDrops(false);
    }
    if (m_wnd) {
        m_wnd->removeEventFilter(this);
        m_wnd->setAcceptDrops(false);
    }
    m_viewport = nullptr;
    m_wnd = nullptr;
}

Qt::DropAction CMIBOleDropTarget::effectFor(const QMimeData* data, Qt::KeyboardModifiers keys) const
{
    if (!data || !data->hasText())
        return Qt::IgnoreAction;
    if (m_canDrop && !m_canDrop())
        return Qt::IgnoreAction;
    return (keys & Qt::ControlModifier) ? Qt::CopyAction : Qt::MoveAction;
}

Qt::DropAction CMIBOleDropTarget::OnDragEnter(QWidget*, const QMimeData* data, Qt::KeyboardModifiers keys)
{
    return effectFor(data, keys);
}

Qt::DropAction CMIBOleDropTarget::OnDragOver(QWidget*, const QMimeData* data, Qt::KeyboardModifiers keys)
{
    return effectFor(data, keys);
}

bool CMIBOleDropTarget::OnDrop(QWidget* wnd, const QMimeData* data, Qt::DropAction)
{
    auto* view = qobject_cast<platform::View*>(wnd);
    QWidget* frame = view ? static_cast<QWidget*>(view->GetParentFrame()) : widgets::GetParentFrame(wnd);
    // Whatever runs in the window stops before the drop is looked at.
    widgets::SendCommand(frame, ID_DROP_START);
    widgets::SendCommand(wnd, ID_DROP_START);

    if (!data || !data->hasText())
        return false;
    const std::string name = DroppedName(data->text());

    std::string path;
    MIBTree* top = MIBTree::gettop();
    if (name.empty() || !top || !top->GetAllString(path, name))
        return true;

    widgets::SendCommand(frame, ID_DROP_FOUND);
    if (view && view->GetDocument()) {
        CNamePathHint hint(path);
        view->GetDocument()->UpdateAllViews(nullptr, HINT_DROP_PATH, &hint);
    }
    return true;
}

bool CMIBOleDropTarget::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_wnd && watched != m_viewport)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* e = static_cast<QDragMoveEvent*>(event);
        const Qt::DropAction effect = event->type() == QEvent::DragEnter
                                          ? OnDragEnter(m_wnd, e->mimeData(), e->modifiers())
                                          : OnDragOver(m_wnd, e->mimeData(), e->modifiers());
        if (effect == Qt::IgnoreAction) {
            e->ignore();
        } else {
            e->setDropAction(Allowed(effect, e->possibleActions()));
            e->accept();
        }
        return true;
    }
    case QEvent::DragLeave:
        return true;
    case QEvent::Drop: {
        auto* e = static_cast<QDropEvent*>(event);
        const Qt::DropAction effect = effectFor(e->mimeData(), e->modifiers());
        if (effect == Qt::IgnoreAction) {
            e->ignore();
            return true;
        }
        const Qt::DropAction action = Allowed(effect, e->possibleActions());
        // The window may go away while the views update: keep what we need.
        QPointer<QWidget> wnd = m_wnd;
        if (OnDrop(wnd, e->mimeData(), action)) {
            e->setDropAction(action);
            e->accept();
        } else {
            e->ignore();
        }
        return true;
    }
    default:
        return QObject::eventFilter(watched, event);
    }
}
