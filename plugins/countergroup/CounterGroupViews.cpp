#include "plugins/countergroup/CounterGroupViews.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QScrollArea>
#include <QScrollBar>

#include <cstdio>

#include "mibcore/agent/AppConstants.h"
#include "mibcore/engine/CSnmpBerList.h"
#include "mibcore/platform/Language.h"
#include "mibcore/platform/Placement.h"
#include "mibcore/platform/Profile.h"
#include "mibcore/platform/Resources.h"
#include "mibcore/registry/MIB.h"
#include "mibcore/widgets/CLineColorDlg.h"
#include "mibcore/platform/Language.h"

namespace countergroup {

namespace {

constexpr int kColumnCount = 3;
const char* const kColumnTitles[kColumnCount] = {QT_TRANSLATE_NOOP("Quillon", "オブジェクト識別子"),
                                                  QT_TRANSLATE_NOOP("Quillon", "値"),
                                                  QT_TRANSLATE_NOOP("Quillon", "エラー内容")};
const int kColumnDefaults[kColumnCount] = {120, 60, 60};

// Checks the timer entry of the current choice, in sub-menus too. Colour
// and timer need a row (a user window may have none): without one their
// items, and a sub-menu holding timer items, are disabled. Returns whether
// the menu holds a timer item.
bool CheckTimerItems(QMenu* menu, int timeId, bool rows)
{
    bool timers = false;
    for (QAction* a : menu->actions()) {
        if (a->menu()) {
            if (CheckTimerItems(a->menu(), timeId, rows))
                a->setEnabled(rows);
            continue;
        }
        int id = platform::CommandId(a);
        if (id >= kCmdTimerFirst && id <= kCmdTimerLast) {
            a->setCheckable(true);
            a->setChecked(id == timeId);
            timers = true;
        }
        if (id == kCmdColourChange || (id >= kCmdTimerFirst && id <= kCmdTimerLast))
            a->setEnabled(rows);
    }
    return timers;
}

void EnsureIniDir(const std::string& path)
{
    platform::CreateDirectoryPath(path.substr(0, path.find_last_of('/')));
}

}  // namespace

// ---------------------------------------------------------------------------
// List pane

CCounterGroupListView::CCounterGroupListView(QWidget* parent) : CListViewEx(parent)
{
    GetListCtrl().setIconSize(QSize(48, 16));
    GetListCtrl().setSelectionMode(QAbstractItemView::ExtendedSelection);
    AddCommand(kCmdColourChange, [this] { ChangeColour(); });
    AddCommandRange(kCmdTimerFirst, kCmdTimerLast, [this](int id) { ChangeInterval(id); });
    // Colour and timer need a row (a user window may have none).
    AddCommandUIRange(kCmdTimerFirst, kCmdTimerLast, [this](platform::CmdUI& ui) {
        CCounterGroupDoc* doc = GetDocument();
        ui.Enable(GetListCtrl().GetItemCount() > 0);
        ui.SetCheck(doc && doc->getTimeId() == ui.GetId() ? 1 : 0);
    });
    AddCommandUI(kCmdColourChange, [this](platform::CmdUI& ui) { ui.Enable(GetListCtrl().GetItemCount() > 0); });
}

CCounterGroupListView::~CCounterGroupListView()
{
    KillTimer(kTimerPoll);
    const std::string& path = m_iniPath;
    if (path.empty())
        return;
    EnsureIniDir(path);
    const CListCtrlEx& list = GetListCtrl();
    for (int i = 0; i < list.GetColumnCount(); ++i)
        platform::WritePrivateProfileString("list", CListViewEx::ColumnKey(i), std::to_string(list.GetColumnWidth(i)), path);
}

CCounterGroupDoc* CCounterGroupListView::GetDocument() const
{
    return qobject_cast<CCounterGroupDoc*>(platform::View::GetDocument());
}

void CCounterGroupListView::OnInitialUpdate()
{
    CListCtrlEx& list = GetListCtrl();
    m_iniPath = MIB::IniPathOf(MIB::FindView(metaObject()));
    if (list.GetColumnCount() == 0) {
        for (int i = 0; i < kColumnCount; ++i) {
            const char* title = kColumnTitles[i];
            if (i == 0 && GetDocument())
                title = GetDocument()->FirstColumnTitle();
            InsertColumnFromSettings(i, Quillon::tr(title), kColumnDefaults[i], m_iniPath);
        }
    }
}

void CCounterGroupListView::OnUpdate(platform::View* sender, long hint, QObject* hintObj)
{
    switch (hint) {
    case kHintStart:
        StartPolling(hintObj == nullptr);
        break;
    case kHintNewData:
    case kHintCursorMoved:
        RefreshTexts();
        // Every window shows its own cursor time, active or not.
        if (auto* frame = qobject_cast<CCounterGroupFrame*>(GetParentFrame()))
            frame->UpdateTimePane();
        break;
    default:
        break;
    }
}

void CCounterGroupListView::StartPolling(bool rebuild)
{
    CCounterGroupDoc* doc = GetDocument();
    if (!doc)
        return;
    if (rebuild) {
        KillTimer(kTimerPoll);
        BuildRows();
    }
    const std::string title = doc->FrameTitle();
    platform::ChildFrame* frame = GetParentFrame();
    if (frame && !title.empty())
        frame->SetTitle(title);
    // A window without series sends nothing and keeps no timer.
    if (doc->getObjectCount() == 0)
        return;
    doc->StartPollCycle(this);
    SetTimer(kTimerPoll, int(doc->getInterval()));
}

void CCounterGroupListView::OnTimer(int id)
{
    // The cycle runs in the background; the window stays usable.
    if (CCounterGroupDoc* doc = GetDocument(); doc && id == kTimerPoll)
        doc->StartPollCycle(this);
}

void CCounterGroupListView::Poll()
{
    CCounterGroupDoc* doc = GetDocument();
    if (!doc || m_polling)
        return;
    m_polling = true;
    doc->PollCycle(this);
    m_polling = false;
}

QPixmap CCounterGroupListView::LineSample(const QPen& pen, const QColor& background)
{
    QPixmap pm(48, 16);
    pm.fill(background);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRect(0, 0, 47, 15));
    p.drawLine(0, 8, 48, 8);
    p.end();
    return pm;
}

void CCounterGroupListView::BuildRows()
{
    CCounterGroupDoc* doc = GetDocument();
    if (!doc)
        return;
    CListCtrlEx& list = GetListCtrl();
    list.DeleteAllItems();
    const QColor bg = palette().color(QPalette::Base);
    for (int i = 0; i < doc->getObjectCount(); ++i) {
        OidVal* s = doc->getSeries(i);
        QPixmap line = LineSample(*s->getPen(), bg);
        *s->getLine() = line.toImage();
        list.InsertItem(i, QString::fromStdString(doc->SeriesLabel(i)), line);
    }
}

void CCounterGroupListView::RefreshTexts()
{
    CCounterGroupDoc* doc = GetDocument();
    if (!doc)
        return;
    CListCtrlEx& list = GetListCtrl();
    const int cursor = doc->getCursor();
    const int rows = std::min(list.GetItemCount(), doc->getObjectCount());
    for (int i = 0; i < rows; ++i) {
        const ValatTime& v = doc->getSeries(i)->getValatTime()[cursor];
        // The label names the object polled (a 64-bit one once learnt).
        const QString label = QString::fromStdString(doc->SeriesLabel(i));
        if (list.GetItemText(i, 0) != label)
            list.SetItemText(i, 0, label);
        char buf[32];
        std::snprintf(buf, sizeof buf, "%llu", static_cast<unsigned long long>(v.getVal()));
        list.SetItemText(i, 1, QString::fromLatin1(buf));
        std::snprintf(buf, sizeof buf, "%d", v.getErrIdx());
        list.SetItemText(i, 2,
                         QString::fromLatin1(buf) + u'(' + platform::TrText(QString::fromUtf8(CSnmpBerList::ErrMsg(v.getErrIdx()))) + u')');
    }
}

void CCounterGroupListView::ChangeColour()
{
    CCounterGroupDoc* doc = GetDocument();
    if (!doc)
        return;
    CListCtrlEx& list = GetListCtrl();
    std::vector<int> rows = list.GetSelectedRows();
    if (rows.empty())
        return;
    int last = *std::max_element(rows.begin(), rows.end());
    if (last >= doc->getObjectCount())
        return;
    platform::LogPen lp = doc->getSeries(last)->getLogPen();
    CLineColorDlg dlg(this);
    dlg.setLogPen(&lp);
    if (dlg.DoModal() == 1) {
        const platform::LogPen chosen = *dlg.getLogPen();
        const QColor bg = palette().color(QPalette::Base);
        for (int r : rows) {
            if (r < 0 || r >= doc->getObjectCount())
                continue;
            OidVal* s = doc->getSeries(r);
            s->setPen(&chosen);
            QPixmap line = LineSample(*s->getPen(), bg);
            *s->getLine() = line.toImage();
            list.SetItemImage(r, line);
        }
        if (doc->constants().saveOnColourChange)
            doc->SaveSettings();
    }
    doc->UpdateAllViews(nullptr, kHintNewData);
    update();
}

void CCounterGroupListView::ChangeInterval(int id)
{
    CCounterGroupDoc* doc = GetDocument();
    if (!doc || id == doc->getTimeId())
        return;
    KillTimer(kTimerPoll);
    doc->setInterval(long(AppConstants::getInstance()->getInterval(unsigned(id))));
    doc->setTimeId(id);
    SetTimer(kTimerPoll, int(doc->getInterval()));
}

void CCounterGroupListView::contextMenuEvent(QContextMenuEvent* event)
{
    // From the keyboard the point is inside anyway; a point outside the
    // client area opens nothing.
    if (!rect().contains(mapFromGlobal(event->globalPos())))
        return;
    QMenu* menu = platform::LoadPopupMenu(SetupMenuName(), 0, this);
    if (!menu)
        return;
    CheckTimerItems(menu, GetDocument() ? GetDocument()->getTimeId() : 0, GetListCtrl().GetItemCount() > 0);
    platform::TrackPopupMenu(menu, event->globalPos(), this);
    delete menu;
    event->accept();
}

// ---------------------------------------------------------------------------
// Graph pane

CGraphCanvas::CGraphCanvas(CCounterGroupHisView* owner) : QWidget(nullptr), m_owner(owner)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFixedSize(kAreaWidth, kAreaHeight);
}

void CGraphCanvas::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    QImage img = m_owner->renderer().Composed();
    const QRect& a = m_owner->renderer().area();
    const QRect drawn(0, 0, a.left() + a.width(), a.top() + a.height());
    // The image's margin beyond the area is not part of the graph.
    p.fillRect(QRegion(rect()).subtracted(drawn).boundingRect(), palette().color(QPalette::Window));
    if (!img.isNull())
        p.drawImage(QPoint(0, 0), img, drawn);
}

void CGraphCanvas::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        m_owner->setDragging(true);  // the press grabs the mouse until release
        m_owner->MoveCursorTo(event->position().toPoint());
    } else if (event->button() == Qt::RightButton) {
        m_owner->ResetCursor();
    }
}

void CGraphCanvas::mouseMoveEvent(QMouseEvent* event)
{
    if (m_owner->isDragging())
        m_owner->MoveCursorTo(event->position().toPoint());
}

void CGraphCanvas::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        m_owner->setDragging(false);
}

CCounterGroupHisView::CCounterGroupHisView(QWidget* parent) : platform::View(parent)
{
    m_scroll = new QScrollArea(this);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setWidgetResizable(false);
    m_canvas = new CGraphCanvas(this);
    m_scroll->setWidget(m_canvas);
}

CCounterGroupHisView::~CCounterGroupHisView() = default;

CCounterGroupDoc* CCounterGroupHisView::GetDocument() const
{
    return qobject_cast<CCounterGroupDoc*>(platform::View::GetDocument());
}

void CCounterGroupHisView::OnInitialUpdate()
{
    m_ready = true;
    Render();
}

void CCounterGroupHisView::OnUpdate(platform::View* sender, long hint, QObject* hintObj)
{
    if (hint == kHintNewData)
        Render();
}

void CCounterGroupHisView::Render()
{
    CCounterGroupDoc* doc = GetDocument();
    if (!doc)
        return;
    // The pane's own size: the scroll area's viewport may not have followed
    // a resize yet (hidden, maximised before it was shown).
    m_renderer.Render(doc->Snapshot(), QRect(QPoint(0, 0), size()), doc->resources());
    const QRect& a = m_renderer.area();
    const QSize want(a.left() + a.width(), a.top() + a.height());
    if (m_canvas->size() != want)
        m_canvas->setFixedSize(want);
    RenderOverlay();
}

void CCounterGroupHisView::RenderOverlay()
{
    CCounterGroupDoc* doc = GetDocument();
    if (!doc)
        return;
    // An empty window shows no cursor either.
    const int cursor = doc->getObjectCount() > 0 ? doc->getCursor() : -1;
    m_renderer.RenderOverlay(cursor, doc->resources(), doc->getHistoryLength());
    m_canvas->update();
}

void CCounterGroupHisView::MoveCursorTo(QPoint canvasPoint)
{
    CCounterGroupDoc* doc = GetDocument();
    if (!doc)
        return;
    // Canvas coordinates already include the scroll position.
    int idx = CursorFromPoint(canvasPoint, doc->getHistoryLength());
    if (idx < 0)
        return;
    doc->setCursor(idx);
    doc->UpdateAllViews(this, kHintCursorMoved);
    RenderOverlay();
}

void CCounterGroupHisView::ResetCursor()
{
    CCounterGroupDoc* doc = GetDocument();
    if (!doc)
        return;
    doc->setCursor(doc->getHistoryLength() - 1);
    doc->UpdateAllViews(this, kHintCursorMoved);
    RenderOverlay();
}

void CCounterGroupHisView::resizeEvent(QResizeEvent* event)
{
    platform::View::resizeEvent(event);
    m_scroll->setGeometry(rect());
    if (m_ready)
        Render();
}

void CCounterGroupHisView::showEvent(QShowEvent* event)
{
    platform::View::showEvent(event);
    m_scroll->setGeometry(rect());
    if (m_ready)
        Render();
}

void CCounterGroupHisView::moveEvent(QMoveEvent* event)
{
    platform::View::moveEvent(event);
    if (m_ready)
        Render();
}

// ---------------------------------------------------------------------------
// Frame

CCounterGroupFrame::CCounterGroupFrame(QWidget* parent) : platform::ChildFrame(parent)
{
    AddCommand(kCmdSaveFile, [this] {
        if (CCounterGroupDoc* doc = document())
            doc->ExportCsv();
    });
    AddCommandUI(kCmdSaveFile, [](platform::CmdUI& ui) { ui.Enable(true); });
    // The application menu's colour and timer commands go to the list pane.
    AddCommand(kCmdColourChange, [this] {
        if (CCounterGroupListView* v = listView())
            v->ChangeColour();
    });
    AddCommandRange(kCmdTimerFirst, kCmdTimerLast, [this](int id) {
        if (CCounterGroupListView* v = listView())
            v->ChangeInterval(id);
    });
    AddCommandUIRange(kCmdTimerFirst, kCmdTimerLast, [this](platform::CmdUI& ui) {
        CCounterGroupDoc* doc = document();
        ui.Enable(doc != nullptr);
        ui.SetCheck(doc && doc->getTimeId() == ui.GetId() ? 1 : 0);
    });
    AddCommandUI(kStatusPaneTime, [this](platform::CmdUI& ui) { ui.SetText(TimePaneText()); });
}

CCounterGroupFrame::~CCounterGroupFrame()
{
    SaveWindowSettings();
}

std::string CCounterGroupFrame::TimePaneText() const
{
    CCounterGroupDoc* doc = document();
    if (!doc || doc->getObjectCount() == 0)
        return {};
    long t = doc->getSeries(0)->getValatTime()[doc->getCursor()].getTime();
    return t != 0 ? FormatTime(t, "%Y/%m/%d %H:%M:%S") : std::string();
}

void CCounterGroupFrame::UpdateTimePane()
{
    platform::StatusBar* bar = GetStatusBar();
    if (!bar)
        return;
    const int idx = bar->CommandToIndex(kStatusPaneTime);
    if (idx >= 0)
        bar->SetPaneText(idx, TimePaneText());
}

CCounterGroupDoc* CCounterGroupFrame::document() const
{
    return qobject_cast<CCounterGroupDoc*>(GetActiveDocument());
}

CCounterGroupListView* CCounterGroupFrame::listView() const
{
    return FindView<CCounterGroupListView>();
}

CCounterGroupHisView* CCounterGroupFrame::graphView() const
{
    return FindView<CCounterGroupHisView>();
}

bool CCounterGroupFrame::OnCreate()
{
    MIB* mib = MIB::FindFrame(metaObject());
    m_iniPath = MIB::IniPathOf(mib);
    MIB::ApplyIcon(this, mib);
    platform::StatusBar* bar = CreateStatusBar(MIB::m_graphStatusBarMenu, 3);
    if (bar)
        bar->SetPaneWidthForText(2, "0000/00/00 00:00:00");
    return true;
}

bool CCounterGroupFrame::OnCreateClient(platform::CreateContext& ctx)
{
    const std::string& path = m_iniPath;
    if (!path.empty()) {
        platform::WindowPlacement wp;
        if (platform::GetProfileRecord("window", "frame", wp, path))
            SetPlacement(wp);
    }
    MIB* mib = MIB::FindFrame(metaObject());
    const QMetaObject* graphClass = mib ? mib->getSubViewClass() : nullptr;

    // The pane widths are applied once the frame has its final size (see
    // ApplyPaneWidths); until then the panes share the width 3:1.
    if (!path.empty()) {
        platform::Rect32 r;
        if (platform::GetProfileRecord("window", "graphview", r, path))
            m_savedGraph = r.Width();
        if (platform::GetProfileRecord("window", "listview", r, path))
            m_savedList = r.Width();
    }
    m_splitter = CreateSplitter(1, 2);
    if (graphClass)
        m_splitter->CreateView(0, 0, graphClass, ctx, 300);
    m_splitter->CreateView(0, 1, ctx.viewClass, ctx, 100);
    return true;
}

bool CCounterGroupFrame::ApplyPaneWidths()
{
    if (m_panesApplied || !m_splitter || !m_splitter->isVisible() || m_splitter->count() < 2)
        return false;
    const int total = m_splitter->width();
    const int room = total - m_splitter->handleWidth();
    if (room <= 1)
        return false;
    m_panesApplied = true;
    // The graph pane gets its saved width exactly and the list the rest, so
    // a window closed and opened again keeps its panes. A width that does
    // not fit the window is ignored.
    int graph = -1;
    if (m_savedGraph > 0 && m_savedGraph < room)
        graph = m_savedGraph;
    else if (m_savedList > 0 && m_savedList < room)
        graph = room - m_savedList;
    if (graph < 0)
        graph = total * 3 / 4;
    m_splitter->setSizes({graph, room - graph});
    return true;
}

void CCounterGroupFrame::showEvent(QShowEvent* event)
{
    platform::ChildFrame::showEvent(event);
    ApplyPaneWidths();
}

void CCounterGroupFrame::resizeEvent(QResizeEvent* event)
{
    platform::ChildFrame::resizeEvent(event);
    ApplyPaneWidths();
}

void CCounterGroupFrame::SaveWindowSettings()
{
    if (m_saved)
        return;
    m_saved = true;
    const std::string& path = m_iniPath;
    if (path.empty())
        return;
    EnsureIniDir(path);
    platform::WriteProfileRecord("window", "frame", GetPlacement(), path);
    if (CCounterGroupHisView* g = graphView())
        platform::WriteProfileRecord("window", "graphview", platform::Rect32::FromQRect(g->rect()), path);
    if (CCounterGroupListView* l = listView())
        platform::WriteProfileRecord("window", "listview", platform::Rect32::FromQRect(l->rect()), path);
}

}  // namespace countergroup

// This library's English texts.
static const platform::CatalogueRegistration g_catalogue("counters");
