#include "mibcore/platform/DocView.h"

#include "mibcore/platform/ChildFrame.h"
#include "mibcore/platform/DocTemplate.h"

#include <QPointer>
#include <QTimer>

namespace platform {

Document::Document() = default;

Document::~Document()
{
    if (m_template)
        m_template->RemoveDocument(this);
    for (View* v : m_views)
        v->m_document = nullptr;
    for (ChildFrame* f : m_frames)
        f->m_document = nullptr;
}

bool Document::OnNewDocument() { return true; }

void Document::OnCloseDocument()
{
    if (m_closing)
        return;
    m_closing = true;
    // Frames first: their destructors and their views' may still use the
    // document.
    while (!m_frames.isEmpty())
        delete m_frames.takeFirst();
    delete this;
}

void Document::UpdateAllViews(View* sender, long hint, QObject* hintObj)
{
    // A view may open or close views while it updates.
    QList<QPointer<View>> views;
    for (View* v : m_views)
        views << v;
    for (const QPointer<View>& v : views)
        if (v && v != sender && v->m_document == this)
            v->OnUpdate(sender, hint, hintObj);
}

void Document::AddView(View* view)
{
    if (!view || view->m_document == this)
        return;
    if (view->m_document)
        view->m_document->RemoveView(view);
    view->m_document = this;
    m_views.append(view);
}

void Document::RemoveView(View* view)
{
    if (!view || view->m_document != this)
        return;
    m_views.removeAll(view);
    view->m_document = nullptr;
}

void Document::SetTitle(const std::string& title)
{
    m_title = title;
    for (ChildFrame* f : m_frames)
        f->OnUpdateFrameTitle();
}

View::View(QWidget* parent) : QWidget(parent) { setFocusPolicy(Qt::StrongFocus); }

View::~View()
{
    for (auto& [id, t] : m_timers)
        t->stop();
    if (m_document)
        m_document->RemoveView(this);
}

ChildFrame* View::GetParentFrame() const
{
    for (QWidget* w = parentWidget(); w; w = w->parentWidget())
        if (ChildFrame* f = qobject_cast<ChildFrame*>(w))
            return f;
    return nullptr;
}

void View::OnInitialUpdate() { OnUpdate(nullptr, 0, nullptr); }

void View::OnUpdate(View*, long, QObject*) { update(); }

void View::OnActivateView(bool) {}

void View::SetTimer(int id, int ms)
{
    QTimer*& t = m_timers[id];
    if (!t) {
        t = new QTimer(this);
        connect(t, &QTimer::timeout, this, [this, id] { OnTimer(id); });
    }
    t->start(ms < 0 ? 0 : ms);
}

void View::KillTimer(int id)
{
    auto it = m_timers.find(id);
    if (it != m_timers.end())
        it->second->stop();
}

bool View::IsTimerActive(int id) const
{
    auto it = m_timers.find(id);
    return it != m_timers.end() && it->second->isActive();
}

void View::OnTimer(int) {}

}  // namespace platform
