#include "mibcore/platform/ChildFrame.h"

#include "mibcore/platform/DocTemplate.h"
#include "mibcore/platform/DocView.h"
#include "mibcore/platform/MainFrame.h"
#include "mibcore/platform/Placement.h"
#include "mibcore/platform/Resources.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMainWindow>
#include <QMdiArea>
#include <QMenu>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleOptionTitleBar>
#include <QToolBar>

namespace platform {

View* CreateViewOf(const QMetaObject* cls, CreateContext& ctx, QWidget* parent)
{
    View* view = NewObjectOf<View>(cls);
    if (!view)
        return nullptr;
    view->setParent(parent);
    if (ctx.document)
        ctx.document->AddView(view);
    return view;
}

// ---- Splitter

Splitter::Splitter(int rows, int cols, QWidget* parent)
    : QSplitter(rows > 1 ? Qt::Vertical : Qt::Horizontal, parent), m_rows(rows < 1 ? 1 : rows),
      m_cols(cols < 1 ? 1 : cols)
{
    setChildrenCollapsible(false);
    for (int r = 0; r < m_rows; ++r) {
        QSplitter* row = this;
        if (m_rows > 1) {
            row = new QSplitter(Qt::Horizontal, this);
            row->setChildrenCollapsible(false);
            addWidget(row);
        }
        for (int c = 0; c < m_cols; ++c)
            row->addWidget(new QWidget(row));  // placeholder until a pane is set
    }
}

QSplitter* Splitter::Row(int row) const
{
    if (m_rows == 1)
        return const_cast<Splitter*>(this);
    return qobject_cast<QSplitter*>(widget(row));
}

void Splitter::SetPane(int row, int col, QWidget* w)
{
    if (row < 0 || row >= m_rows || col < 0 || col >= m_cols || !w)
        return;
    QSplitter* r = Row(row);
    QList<int> sizes = r->sizes();
    QWidget* old = r->replaceWidget(col, w);
    if (old && old != w)
        old->deleteLater();
    r->setSizes(sizes);
}

QWidget* Splitter::GetPane(int row, int col) const
{
    if (row < 0 || row >= m_rows || col < 0 || col >= m_cols)
        return nullptr;
    QSplitter* r = Row(row);
    return r ? r->widget(col) : nullptr;
}

View* Splitter::CreateView(int row, int col, const QMetaObject* cls, CreateContext& ctx, int width)
{
    if (row < 0 || row >= m_rows || col < 0 || col >= m_cols)
        return nullptr;
    View* v = CreateViewOf(cls, ctx, nullptr);
    if (!v)
        return nullptr;
    SetPane(row, col, v);
    if (width > 0)
        SetColumnWidth(col, width);
    return v;
}

void Splitter::SetColumnWidth(int col, int width)
{
    for (int r = 0; r < m_rows; ++r) {
        QSplitter* s = Row(r);
        QList<int> sizes = s->sizes();
        if (sizes.size() != m_cols || sizes == QList<int>(m_cols, 0))
            sizes = QList<int>(m_cols, 1);
        if (col >= 0 && col < sizes.size())
            sizes[col] = width;
        s->setSizes(sizes);
    }
}

// ---- StatusBar

StatusBar::StatusBar(QWidget* parent) : QStatusBar(parent) {}

bool StatusBar::SetIndicators(const unsigned int* ids, int count)
{
    for (QLabel* l : m_panes) {
        removeWidget(l);
        delete l;
    }
    m_panes.clear();
    m_ids.clear();
    if (!ids || count <= 0)
        return false;
    for (int i = 0; i < count; ++i) {
        QLabel* l = new QLabel(this);
        l->setObjectName(QStringLiteral("pane%1").arg(i));
        if (ids[i] != 0 && HasString(static_cast<int>(ids[i])))
            l->setText(QString::fromStdString(LoadString(static_cast<int>(ids[i]))));
        if (i == 0)
            addWidget(l, 1);  // the message pane: prompts temporarily replace it
        else
            addPermanentWidget(l);
        m_ids.push_back(ids[i]);
        m_panes.push_back(l);
    }
    return true;
}

unsigned int StatusBar::GetItemID(int index) const
{
    return index >= 0 && index < GetCount() ? m_ids[static_cast<std::size_t>(index)] : 0;
}

int StatusBar::CommandToIndex(unsigned int id) const
{
    for (int i = 0; i < GetCount(); ++i)
        if (m_ids[static_cast<std::size_t>(i)] == id)
            return i;
    return -1;
}

void StatusBar::SetPaneText(int index, const std::string& text)
{
    if (index >= 0 && index < GetCount())
        m_panes[static_cast<std::size_t>(index)]->setText(QString::fromStdString(text));
}

std::string StatusBar::GetPaneText(int index) const
{
    return index >= 0 && index < GetCount() ? m_panes[static_cast<std::size_t>(index)]->text().toStdString()
                                            : std::string();
}

void StatusBar::SetPaneWidthForText(int index, const std::string& text)
{
    if (index < 0 || index >= GetCount())
        return;
    QLabel* l = m_panes[static_cast<std::size_t>(index)];
    int margins = l->contentsMargins().left() + l->contentsMargins().right() + 2 * l->margin() + 8;
    l->setFixedWidth(l->fontMetrics().horizontalAdvance(QString::fromStdString(text)) + margins);
}

void StatusBar::UpdatePanes(QWidget* origin)
{
    for (int i = 0; i < GetCount(); ++i) {
        unsigned int id = m_ids[static_cast<std::size_t>(i)];
        if (id == 0)
            continue;
        CmdUI ui(static_cast<int>(id));
        if (UpdateCommand(origin, ui) && ui.IsTextSet())
            SetPaneText(i, ui.GetText());
    }
}

// ---- ChildFrame

ChildFrame::ChildFrame(QWidget* parent) : QMdiSubWindow(parent)
{
    m_inner = new QMainWindow(nullptr, Qt::Widget);
    setWidget(m_inner);
    if (auto* app = qobject_cast<QApplication*>(QCoreApplication::instance())) {
        // The active view follows the keyboard focus.
        connect(app, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
            for (QWidget* w = now; w; w = w->parentWidget()) {
                if (View* v = qobject_cast<View*>(w)) {
                    if (v->GetParentFrame() == this)
                        SetActiveView(v, false);
                    return;
                }
            }
        });
    }
}

ChildFrame::~ChildFrame()
{
    if (m_document)
        m_document->m_frames.removeAll(this);
}

bool ChildFrame::LoadFrame(CreateContext& ctx)
{
    if (!OnCreate())
        return false;
    return OnCreateClient(ctx);
}

bool ChildFrame::OnCreate() { return true; }

bool ChildFrame::OnCreateClient(CreateContext& ctx) { return CreateView(ctx.viewClass, ctx) != nullptr; }

void ChildFrame::SetClient(QWidget* w) { m_inner->setCentralWidget(w); }

QWidget* ChildFrame::GetClient() const { return m_inner->centralWidget(); }

View* ChildFrame::CreateView(const QMetaObject* cls, CreateContext& ctx)
{
    View* v = CreateViewOf(cls, ctx, nullptr);
    if (v)
        SetClient(v);
    return v;
}

Splitter* ChildFrame::CreateSplitter(int rows, int cols)
{
    Splitter* s = new Splitter(rows, cols);
    SetClient(s);
    return s;
}

StatusBar* ChildFrame::CreateStatusBar(const unsigned int* ids, int count)
{
    StatusBar* sb = new StatusBar;
    sb->SetIndicators(ids, count);
    m_inner->setStatusBar(sb);
    m_statusBar = sb;
    return sb;
}

void ChildFrame::AddToolBar(QToolBar* bar, Qt::ToolBarArea area)
{
    if (!bar)
        return;
    m_inner->addToolBar(area, bar);
    AttachCommands(bar, this);
}

QToolBar* ChildFrame::AddToolBar(const std::string& resource, int* result)
{
    QToolBar* bar = new QToolBar;
    int r = LoadToolBar(bar, resource);
    if (result)
        *result = r;
    AddToolBar(bar);
    return bar;
}

View* ChildFrame::GetActiveView() const { return m_activeView.data(); }

void ChildFrame::SetActiveView(View* view, bool focus)
{
    if (view == m_activeView)
        return;
    View* old = m_activeView;
    m_activeView = view;
    if (old)
        old->OnActivateView(false);
    if (view) {
        view->OnActivateView(true);
        if (focus)
            view->setFocus();
    }
}

namespace {

// Views in pane order: splitters by pane index, other widgets by child order.
void CollectViews(QWidget* w, QList<View*>& out)
{
    if (!w)
        return;
    if (View* v = qobject_cast<View*>(w)) {
        out << v;
        return;
    }
    if (QSplitter* s = qobject_cast<QSplitter*>(w)) {
        for (int i = 0; i < s->count(); ++i)
            CollectViews(s->widget(i), out);
        return;
    }
    for (QObject* c : w->children())
        if (c->isWidgetType())
            CollectViews(static_cast<QWidget*>(c), out);
}

}  // namespace

QList<View*> ChildFrame::GetViews() const
{
    QList<View*> out;
    CollectViews(m_inner->centralWidget(), out);
    // Views elsewhere in the frame (in a tool bar, say) come last.
    for (View* v : m_inner->findChildren<View*>())
        if (!out.contains(v))
            out << v;
    return out;
}

void ChildFrame::SetTitle(const std::string& title)
{
    m_title = title;
    setWindowTitle(QString::fromStdString(title));
}

std::string ChildFrame::GetTitle() const { return windowTitle().toStdString(); }

void ChildFrame::OnUpdateFrameTitle()
{
    if (m_showDocName && m_document)
        setWindowTitle(QString::fromStdString(m_document->GetTitle()));
    else
        setWindowTitle(QString::fromStdString(m_title));
}

namespace {

// The title bar of a frame the operator cannot close: the styles draw the
// close box whenever the system menu is there, so the box is taken out of
// what is drawn and of what a click can hit, and the menu keeps the rest.
class NoCloseBoxStyle : public QProxyStyle {
public:
    void drawComplexControl(ComplexControl cc, const QStyleOptionComplex* opt, QPainter* p,
                            const QWidget* w) const override
    {
        if (cc == CC_TitleBar) {
            if (const auto* tb = qstyleoption_cast<const QStyleOptionTitleBar*>(opt)) {
                QStyleOptionTitleBar copy(*tb);
                copy.subControls &= ~SC_TitleBarCloseButton;
                if (copy.activeSubControls & SC_TitleBarCloseButton)
                    copy.activeSubControls = SC_None;
                QProxyStyle::drawComplexControl(cc, &copy, p, w);
                return;
            }
        }
        QProxyStyle::drawComplexControl(cc, opt, p, w);
    }
    QRect subControlRect(ComplexControl cc, const QStyleOptionComplex* opt, SubControl sc,
                         const QWidget* w) const override
    {
        if (cc == CC_TitleBar && sc == SC_TitleBarCloseButton)
            return {};
        return QProxyStyle::subControlRect(cc, opt, sc, w);
    }
    SubControl hitTestComplexControl(ComplexControl cc, const QStyleOptionComplex* opt, const QPoint& pt,
                                     const QWidget* w) const override
    {
        SubControl sc = QProxyStyle::hitTestComplexControl(cc, opt, pt, w);
        return cc == CC_TitleBar && sc == SC_TitleBarCloseButton ? SC_TitleBarLabel : sc;
    }
};

QStyle* NoCloseBox()
{
    // One for every such frame, alive as long as the application.
    static QPointer<QStyle> style;
    if (!style) {
        style = new NoCloseBoxStyle;
        style->setParent(QCoreApplication::instance());
    }
    return style;
}

}  // namespace

void ChildFrame::SetClosable(bool on)
{
    m_closable = on;
    Qt::WindowFlags f = windowFlags();
    // The MDI area gives every button back to a frame without any hint.
    f |= Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint;
    f.setFlag(Qt::WindowCloseButtonHint, on);
    bool shown = isVisible();
    setStyle(on ? nullptr : NoCloseBox());
    setWindowFlags(f);
    HideCloseItem();
    if (!m_systemMenuWatched && systemMenu()) {
        m_systemMenuWatched = true;
        // The frame puts the item back whenever its state changes.
        connect(systemMenu(), &QMenu::aboutToShow, this, [this] { HideCloseItem(); });
    }
    if (shown)
        show();
}

QAction* ChildFrame::CloseItem() const
{
    // The system menu's last item closes the frame.
    QMenu* menu = systemMenu();
    if (!menu)
        return nullptr;
    const QList<QAction*> items = menu->actions();
    for (auto it = items.rbegin(); it != items.rend(); ++it)
        if (!(*it)->isSeparator())
            return *it;
    return nullptr;
}

void ChildFrame::HideCloseItem()
{
    if (QAction* a = CloseItem()) {
        a->setVisible(m_closable);
        a->setEnabled(m_closable);
    }
}

void ChildFrame::DestroyFrame()
{
    Document* doc = m_document;
    if (doc && !doc->m_closing && doc->m_frames.size() == 1 && doc->m_frames.first() == this) {
        doc->OnCloseDocument();
        return;
    }
    delete this;
}

void ChildFrame::closeEvent(QCloseEvent* e)
{
    // Destroying a widget inside its own close handling is not safe: the
    // frame goes once the event has been handled.
    e->ignore();
    if (!m_closable)
        return;
    QPointer<ChildFrame> self(this);
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [self] {
            if (self)
                self->DestroyFrame();
        },
        Qt::QueuedConnection);
}

void ChildFrame::moveEvent(QMoveEvent* e)
{
    QMdiSubWindow::moveEvent(e);
    if (!(windowState() & (Qt::WindowMaximized | Qt::WindowMinimized)))
        m_normal = geometry();
}

void ChildFrame::resizeEvent(QResizeEvent* e)
{
    QMdiSubWindow::resizeEvent(e);
    if (!(windowState() & (Qt::WindowMaximized | Qt::WindowMinimized)))
        m_normal = geometry();
}

QSize ChildFrame::DefaultSize() const
{
    // Room for a graph and its list.
    return sizeHint().expandedTo(QSize(720, 420));
}

bool ChildFrame::IsUsableSize(const QSize& size) const
{
    const QSize least = (DefaultSize() / 2).expandedTo(minimumSizeHint());
    return size.width() >= least.width() && size.height() >= least.height();
}

QRect ChildFrame::NormalGeometry() const { return m_normal.isValid() ? m_normal : geometry(); }

WindowPlacement ChildFrame::GetPlacement() const { return GetWindowPlacement(this); }

bool ChildFrame::SetPlacement(const WindowPlacement& wp) { return SetWindowPlacement(this, wp); }

bool ChildFrame::SendCommand(int id) { return ExecuteCommand(this, id); }

void ChildFrame::UpdateCmdUI()
{
    for (QToolBar* bar : m_inner->findChildren<QToolBar*>(Qt::FindDirectChildrenOnly))
        UpdateActions(bar, this);
    if (m_statusBar)
        m_statusBar->UpdatePanes(this);
}

}  // namespace platform
