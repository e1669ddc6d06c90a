#include "mibcore/platform/DocTemplate.h"

#include "mibcore/platform/ChildFrame.h"
#include "mibcore/platform/DocView.h"
#include "mibcore/platform/Language.h"
#include "mibcore/platform/MainFrame.h"
#include "mibcore/platform/MessageBox.h"
#include "mibcore/platform/Resources.h"

#include <QMdiArea>
#include <QMetaObject>

#include <algorithm>

namespace platform {
namespace {

// A frame that its own creation did not size (no saved placement), or sized
// too small to show its contents (a placement saved after some squeeze),
// comes up at its default size, as far as the work area allows.
void SizeNewFrame(ChildFrame* frame)
{
    if (frame->windowState() & Qt::WindowMaximized)
        return;
    if (frame->testAttribute(Qt::WA_Resized) && frame->IsUsableSize(frame->size()))
        return;
    QSize size = frame->DefaultSize();
    if (QMdiArea* area = frame->mdiArea(); area && area->isVisible())
        size = size.boundedTo(area->viewport()->size());
    frame->resize(size.expandedTo(frame->minimumSizeHint()));
}

// A shown frame lies inside the visible work area where it fits (a saved
// placement may come from a larger main window).
void KeepInsideWorkArea(ChildFrame* frame)
{
    QMdiArea* area = frame->mdiArea();
    if (!area || !area->isVisible() || (frame->windowState() & (Qt::WindowMaximized | Qt::WindowMinimized)))
        return;
    const QRect room = area->viewport()->rect();
    QRect g = frame->geometry();
    if (g.right() > room.right())
        g.moveLeft(std::max(0, room.right() - g.width() + 1));
    if (g.bottom() > room.bottom())
        g.moveTop(std::max(0, room.bottom() - g.height() + 1));
    if (g.topLeft() != frame->pos())
        frame->move(g.topLeft());
}

}  // namespace

MultiDocTemplate::MultiDocTemplate(int resourceId, const QMetaObject* docClass, const QMetaObject* frameClass,
                                   const QMetaObject* viewClass)
    : m_resourceId(resourceId), m_docClass(docClass), m_frameClass(frameClass), m_viewClass(viewClass)
{
}

MultiDocTemplate::~MultiDocTemplate()
{
    for (Document* d : m_documents)
        d->m_template = nullptr;
}

std::string MultiDocTemplate::GetDocString(int index) const
{
    std::string s = LoadString(m_resourceId);
    for (int i = 0; i < index; ++i) {
        std::size_t nl = s.find('\n');
        if (nl == std::string::npos)
            return {};
        s.erase(0, nl + 1);
    }
    return s.substr(0, s.find('\n'));
}

void MultiDocTemplate::AddDocument(Document* doc)
{
    if (!doc || m_documents.contains(doc))
        return;
    if (doc->m_template && doc->m_template != this)
        doc->m_template->RemoveDocument(doc);
    doc->m_template = this;
    m_documents.append(doc);
}

void MultiDocTemplate::RemoveDocument(Document* doc)
{
    if (!doc)
        return;
    m_documents.removeAll(doc);
    if (doc->m_template == this)
        doc->m_template = nullptr;
}

Document* MultiDocTemplate::CreateNewDocument()
{
    Document* doc = NewObjectOf<Document>(m_docClass);
    if (!doc)
        return nullptr;
    AddDocument(doc);
    return doc;
}

ChildFrame* MultiDocTemplate::CreateNewFrame(Document* doc)
{
    ChildFrame* frame = NewObjectOf<ChildFrame>(m_frameClass);
    if (!frame)
        return nullptr;
    frame->m_template = this;
    if (doc) {
        frame->m_document = doc;
        doc->m_frames.append(frame);
    }
    if (MainFrame* main = App::GetMainFrame()) {
        main->MdiArea()->addSubWindow(frame);
        // The area sized the still empty frame; only a size the frame gives
        // itself while it builds (a saved placement) counts.
        frame->setAttribute(Qt::WA_Resized, false);
    }
    CreateContext ctx{m_viewClass, doc, this};
    if (!frame->LoadFrame(ctx)) {
        delete frame;
        return nullptr;
    }
    return frame;
}

void MultiDocTemplate::SetDefaultTitle(Document* doc)
{
    std::string name = GetDocString(1);
    if (name.empty())
        name = Quillon::Tr("無題");
    doc->SetTitle(name + std::to_string(++m_untitledCount));
}

void MultiDocTemplate::InitialUpdateFrame(ChildFrame* frame, Document* doc, bool makeVisible)
{
    if (!frame)
        return;
    QList<View*> views = frame->GetViews();
    if (!frame->GetActiveView() && !views.isEmpty())
        frame->SetActiveView(views.first(), false);
    for (View* v : views)
        v->OnInitialUpdate();
    frame->OnUpdateFrameTitle();
    if (!makeVisible)
        return;
    SizeNewFrame(frame);
    frame->show();
    KeepInsideWorkArea(frame);
    if (MainFrame* main = App::GetMainFrame())
        main->MDIActivate(frame);
    if (View* v = frame->GetActiveView())
        v->setFocus();
}

Document* MultiDocTemplate::OpenDocumentFile()
{
    Document* doc = CreateNewDocument();
    if (!doc) {
        MessageBox(QT_TRANSLATE_NOOP("Quillon", "空のドキュメントを作成できませんでした。"), MB_ICONERROR);
        return nullptr;
    }
    ChildFrame* frame = CreateNewFrame(doc);
    if (!frame) {
        // The frame tells the operator why it failed (its tool bars, ...).
        delete doc;
        return nullptr;
    }
    SetDefaultTitle(doc);
    if (!doc->OnNewDocument()) {
        doc->OnCloseDocument();
        return nullptr;
    }
    InitialUpdateFrame(frame, doc, true);
    return doc;
}

}  // namespace platform
