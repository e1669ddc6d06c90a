#include "plugins/ifplug/RmonWindows.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QScrollArea>
#include <QScrollBar>

#include <algorithm>
#include <cstdio>

#include "mibcore/agent/AppConstants.h"
#include "mibcore/agent/MIBAgent.h"
#include "mibcore/engine/CSnmpBerList.h"
#include "mibcore/engine/SnmpData.h"
#include "mibcore/platform/Language.h"
#include "mibcore/platform/MessageBox.h"
#include "mibcore/platform/Placement.h"
#include "mibcore/platform/Profile.h"
#include "mibcore/platform/Resources.h"
#include "mibcore/registry/MIB.h"
#include "mibcore/widgets/CLineColorDlg.h"
#include "plugins/countergroup/CounterGroupDoc.h"
#include "plugins/countergroup/CounterGroupViews.h"
#include "snmpval/VarBind.h"

namespace ifplug {

namespace {

using countergroup::kCmdColourChange;
using countergroup::kCmdTimerDefault;
using countergroup::kCmdTimerFirst;
using countergroup::kCmdTimerLast;
using countergroup::kStatusPaneTime;
using countergroup::kTimerPoll;

std::string Key(const char* format, int i)
{
    char key[32];
    std::snprintf(key, sizeof key, format, i);
    return key;
}

void EnsureIniDir(const std::string& path)
{
    platform::CreateDirectoryPath(path.substr(0, path.find_last_of('/')));
}

const std::vector<unsigned long> kSysUpTime = {1, 3, 6, 1, 2, 1, 1, 3, 0};
const std::vector<unsigned long> kEtherStatsEntry = {1, 3, 6, 1, 2, 1, 16, 1, 1, 1};
// etherHistoryEntry.0.<control>: the column goes at arc 11.
const std::vector<unsigned long> kEtherHistoryEntry = {1, 3, 6, 1, 2, 1, 16, 2, 2, 1};
constexpr int kHistoryColumnPosition = 10;
const unsigned long kHistoryColumns[] = {5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 3};
constexpr int kHistoryColumnCount = 12;

uint32_t UnsignedAt(const CSnmpBer& bindings, int k)
{
    const int path[] = {k, 1, -1};
    const unsigned char* p = bindings.GetSequence(path);
    return p ? uint32_t(CSnmpBer(p).GetULong()) : 0;
}

}  // namespace

// ---------------------------------------------------------------------------
// Shared document

CRmonDoc::CRmonDoc(const RmonTable& table) : m_table(table), m_cursor(table.initialCursor) {}

CRmonDoc::~CRmonDoc() = default;

void CRmonDoc::setCursor(int c) { m_cursor = std::clamp(c, 0, kRmonSlots - 1); }

void CRmonDoc::setPage(int p) { m_page = std::clamp(p, 0, kRmonPages - 1); }

RmonView CRmonDoc::View(int pressedTab) const
{
    RmonView v;
    v.table = &m_table;
    v.series = &m_series;
    v.page = m_page;
    v.cursor = m_cursor;
    v.pressedTab = pressedTab;
    return v;
}

std::string CRmonDoc::iniPath() const { return MIB::IniPathOf(MIB::FindDocument(metaObject())); }

void CRmonDoc::MakeSeries(int count)
{
    m_series.assign(size_t(std::max(count, 0)), RmonSeries());
}

void CRmonDoc::LoadPens()
{
    const std::string path = iniPath();
    for (size_t i = 0; i < m_series.size(); ++i) {
        platform::LogPen lp;
        if (path.empty() || !platform::GetProfileRecord("pen", Key("logpen.%d", int(i)), lp, path))
            lp = platform::LogPenFromPen(countergroup::GraphResources::DefaultPen(int(i)));
        m_series[i].pen = platform::PenFromLogPen(lp);
    }
}

void CRmonDoc::SavePens()
{
    const std::string path = iniPath();
    if (path.empty() || m_series.empty())
        return;
    EnsureIniDir(path);
    for (size_t i = 0; i < m_series.size(); ++i)
        platform::WriteProfileRecord("pen", Key("logpen.%d", int(i)), platform::LogPenFromPen(m_series[i].pen), path);
}

void CRmonDoc::OnCloseDocument()
{
    SaveSettings();
    platform::Document::OnCloseDocument();
}

// ---------------------------------------------------------------------------
// History

HistoryReading ReadHistoryBuckets(MIBAgent* agent, MIBBasicItem* item, const std::vector<int32_t>& controlIndexes,
                                  long now, int* keepRunning)
{
    HistoryReading out;
    {
        CSnmpBer bindings = countergroup::MakeRequestBindings(kSysUpTime.data(), int(kSysUpTime.size()));
        CSnmpBer value;
        int rc = SnmpData(agent, item, bindings, CSnmpBer::TagGetRequest, keepRunning);
        if (rc == 0)
            rc = countergroup::TakeReplyValue(bindings, kSysUpTime.data(), int(kSysUpTime.size()), value);
        if (rc == 0 && value.GetTagType() == CSnmpBer::TagTimeTicks) {
            out.timeRead = true;
            out.bootTime = int32_t(now - long(uint32_t(value.GetULong()) / 100));
        }
        // Every walk would wait out the same time-outs before the window
        // could say anything.
        if (AgentUnreachable(rc)) {
            out.agentDown = true;
            return out;
        }
    }
    for (int32_t control : controlIndexes) {
        std::vector<unsigned long> base = kEtherHistoryEntry;
        base.push_back(0);
        base.push_back((unsigned long)(uint32_t(control)));
        std::vector<unsigned long> columns(kHistoryColumns, kHistoryColumns + kHistoryColumnCount);
        CSnmpBerList rows;
        int failures = 0;
        int lastError = 0;
        int n = SnmpDynamicList(agent, item, &rows, base.data(), int(base.size()), columns.data(),
                                kHistoryColumnCount, &failures, kHistoryColumnPosition, CSnmpBer::TagGetNextRequest,
                                keepRunning, agent ? agent->getSendErrCnt() : 0, &lastError, kMaxHistoryRows);
        if (lastError == snmpengine::RowLimit) {
            out.cut.push_back(control);
            lastError = 0;
        }
        std::vector<RmonSample> samples;
        // Keep the newest buckets: the operator watching a link wants the
        // latest intervals, in ascending order.
        const int first = std::max(0, n - kRmonSlots);
        int j = 0;
        for (CSnmpBerList* row = &rows; row && j < n; row = row->getnext(), ++j) {
            if (j < first)
                continue;
            const CSnmpBer& b = row->Get();
            RmonSample s;
            for (int k = 0; k < 11; ++k)
                s.val[size_t(k)] = UnsignedAt(b, k);
            s.time = int32_t(out.bootTime + long(UnsignedAt(b, 11) / 100));
            s.errIdx = lastError;
            samples.push_back(s);
        }
        out.samples.push_back(std::move(samples));
        if (n <= 0 && AgentUnreachable(lastError)) {
            out.agentDown = true;
            break;
        }
    }
    return out;
}

CHistoryMIBMenuDoc::CHistoryMIBMenuDoc() : CRmonDoc(kHistoryValues) {}

CHistoryMIBMenuDoc::~CHistoryMIBMenuDoc() = default;

void CHistoryMIBMenuDoc::SetHistories(const std::vector<HistoryControlEntry>& list)
{
    m_list = list;
    MakeSeries(int(list.size()));
    for (size_t i = 0; i < list.size(); ++i) {
        series()[i].name = Bracketed(list[i].historyControlIndex);
        series()[i].id = list[i].historyControlIndex;
    }
    LoadPens();
}

void CHistoryMIBMenuDoc::Start(MIBBasicItem* item)
{
    if (!item || m_cycle.Busy())
        return;
    if (auto* view = dynamic_cast<platform::View*>(item)) {
        m_cycle.SetBusyCursor(view->GetParentFrame());
        ShowReading(view->GetParentFrame(), true);
    }
    std::vector<int32_t> indexes;
    for (const HistoryControlEntry& h : m_list)
        indexes.push_back(h.historyControlIndex);
    // The worker gets copies: the settings as they are now and the socket.
    auto agent = std::make_shared<MIBAgent>(*MIBAgent::getInstance());
    auto socket = std::make_shared<MIBBasicItem>(*item);
    const long now = countergroup::NowSeconds();
    m_cycle.Start<HistoryReading>(
        [agent, socket, indexes, now](int* keepRunning) {
            return ReadHistoryBuckets(agent.get(), socket.get(), indexes, now, keepRunning);
        },
        [this](HistoryReading reading) { ApplyReading(std::move(reading)); });
}

void CHistoryMIBMenuDoc::ApplyReading(HistoryReading reading)
{
    m_timeRead = reading.timeRead;
    m_bootTime = reading.bootTime;
    for (platform::ChildFrame* f : GetFrames())
        ShowReading(f, false);
    if (!reading.timeRead)
        platform::MessageBox(QT_TRANSLATE_NOOP("Quillon", "時刻データの取得に失敗しました。再試行してください。"));
    if (!reading.cut.empty()) {
        std::string rows;
        for (int32_t c : reading.cut)
            rows += Bracketed(c);
        platform::MessageBox(Quillon::tr("history情報%1は上限の%2行に達したため、それ以降のサンプルを取得していません。")
                                 .arg(QString::fromStdString(rows))
                                 .arg(kMaxHistoryRows)
                                 .toStdString(),
                             platform::MB_OK | platform::MB_ICONWARNING);
    }
    for (size_t i = 0; i < series().size() && i < reading.samples.size(); ++i) {
        std::vector<RmonSample>& samples = series()[i].samples;
        std::fill(samples.begin(), samples.end(), RmonSample());
        std::copy(reading.samples[i].begin(), reading.samples[i].end(), samples.begin());
    }
    UpdateAllViews(nullptr, kHintRmonNewData);
}

void CHistoryMIBMenuDoc::OnCloseDocument()
{
    m_cycle.Stop();  // a reading in flight ends here, unapplied
    CRmonDoc::OnCloseDocument();
}

// ---------------------------------------------------------------------------
// Statistics

CSnmpBer EtherStatsBindings(long etherStatsIndex)
{
    CSnmpBer list;
    list.SetTag(CSnmpBer::TagSequence);
    std::vector<unsigned long> oid = kEtherStatsEntry;
    oid.push_back(0);
    oid.push_back((unsigned long)(uint32_t(etherStatsIndex)));
    for (unsigned long c = 4; c <= 19; ++c) {
        oid[10] = c;
        CSnmpBer name;
        name.SetOid(oid.data(), int(oid.size()));
        list.AddBer(MakeVarBind(name));
    }
    return list;
}

int RequestEtherStats(MIBAgent* agent, MIBBasicItem* item, long etherStatsIndex, CSnmpBer& value, int* keepRunning)
{
    CSnmpBer bindings = EtherStatsBindings(etherStatsIndex);
    const CSnmpBer sent = bindings;
    int rc = SnmpData(agent, item, bindings, CSnmpBer::TagGetRequest, keepRunning);
    if (rc != 0)
        return rc;
    unsigned long want[32], got[32];
    for (int k = 0; k < kRmonMaxValues; ++k) {
        const int path[] = {k, 0, -1};
        const unsigned char* a = sent.GetSequence(path);
        const unsigned char* b = bindings.GetSequence(path);
        const int n = a ? CSnmpBer(a).GetOid(want, 32) : -1;
        const int m = b ? CSnmpBer(b).GetOid(got, 32) : -2;
        if (n != m || !std::equal(want, want + n, got))
            return countergroup::kWrongObject;
    }
    value = std::move(bindings);
    return 0;
}

CStaticMIBMenuDoc::CStaticMIBMenuDoc() : CRmonDoc(kStatisticsValues), m_timeId(kCmdTimerDefault), m_interval(15000)
{
}

CStaticMIBMenuDoc::~CStaticMIBMenuDoc() = default;

void CStaticMIBMenuDoc::SetInterfaces(const std::vector<InterfaceEntry>& list, int)
{
    m_list = list;
    MakeSeries(int(list.size()));
    for (size_t i = 0; i < list.size(); ++i) {
        series()[i].name = Bracketed(list[i].ifIndex) + list[i].ifDescr;
        series()[i].id = list[i].etherStatsIndex;
    }
    LoadPens();
    m_state = countergroup::PollState(countergroup::ValueKind::Counter, int(list.size()),
                                      MIBAgent::getInstance()->getSendErrCnt());

    AppConstants* app = AppConstants::getInstance();
    const std::string path = iniPath();
    m_timeId = kCmdTimerDefault;
    m_interval = long(app->getInterval(unsigned(m_timeId)));
    if (!path.empty()) {
        m_timeId = int(platform::ParseLeadingInt(
            platform::GetPrivateProfileString("timer", "timeId", std::to_string(kCmdTimerDefault), path)));
        if (m_timeId < kCmdTimerFirst || m_timeId > kCmdTimerLast)
            m_timeId = kCmdTimerDefault;
        const long byId = long(app->getInterval(unsigned(m_timeId)));
        m_interval =
            platform::ParseLeadingInt(platform::GetPrivateProfileString("timer", "interval", std::to_string(byId), path));
        // A period of zero or less would poll without pause.
        if (m_interval <= 0)
            m_interval = byId;
    }
}

void CStaticMIBMenuDoc::setTimer(int id, long ms)
{
    m_timeId = id;
    m_interval = ms;
}

void CStaticMIBMenuDoc::Start(MIBBasicItem* item) { StartPollCycle(item); }

void CStaticMIBMenuDoc::StartPollCycle(MIBBasicItem* item)
{
    if (!countergroup::AdmitPollCycle(m_cycle, item, m_pendingItem))
        return;
    // The worker gets copies: the settings as they are now, the socket
    // (copies share it), the etherStatsIndex of each series and the poll
    // state.
    auto agent = std::make_shared<MIBAgent>(*MIBAgent::getInstance());
    auto socket = std::make_shared<MIBBasicItem>(*item);
    std::vector<long> ids;
    for (const RmonSeries& s : series())
        ids.push_back(s.id);
    const long now = countergroup::NowSeconds();
    m_cycle.Start<countergroup::PollState>(
        [agent, socket, ids, st = m_state](int* keepRunning) mutable {
            countergroup::RunRequests(st, [&](int j, CSnmpBer& value) {
                return RequestEtherStats(agent.get(), socket.get(), ids[size_t(j)], value, keepRunning);
            });
            return std::move(st);
        },
        [this, now](countergroup::PollState st) {
            m_state = std::move(st);
            std::vector<RmonSample*> h;
            for (RmonSeries& s : series())
                h.push_back(s.samples.data());
            countergroup::TickCounter(m_state, h.data(), kRmonSlots, now);
            UpdateAllViews(nullptr, kHintRmonNewData);
            if (std::unique_ptr<MIBBasicItem> next = std::move(m_pendingItem))
                StartPollCycle(next.get());
        });
}

bool CStaticMIBMenuDoc::FinishPollCycle() { return m_cycle.FinishAll(); }

void CStaticMIBMenuDoc::PollCycle(MIBBasicItem* item)
{
    FinishPollCycle();
    StartPollCycle(item);
    FinishPollCycle();
}

void CStaticMIBMenuDoc::SaveSettings()
{
    const std::string path = iniPath();
    if (!path.empty()) {
        EnsureIniDir(path);
        platform::WritePrivateProfileString("timer", "timeId", std::to_string(m_timeId), path);
        platform::WritePrivateProfileString("timer", "interval", std::to_string(m_interval), path);
    }
    SavePens();
}

void CStaticMIBMenuDoc::OnCloseDocument()
{
    m_cycle.Stop();  // a cycle in flight ends here, unapplied
    m_pendingItem.reset();
    CRmonDoc::OnCloseDocument();
}

// ---------------------------------------------------------------------------
// List pane

CRmonListView::CRmonListView(QWidget* parent) : CListViewEx(parent)
{
    GetListCtrl().setIconSize(QSize(48, 16));
    GetListCtrl().setSelectionMode(QAbstractItemView::ExtendedSelection);
    AddCommand(kCmdColourChange, [this] { ChangeColour(); });
    AddCommandRange(kCmdTimerFirst, kCmdTimerLast, [this](int id) { ChangeInterval(id); });
    AddCommandUIRange(kCmdTimerFirst, kCmdTimerLast, [this](platform::CmdUI& ui) {
        CRmonDoc* doc = GetDocument();
        ui.Enable(doc && doc->Polls());
        ui.SetCheck(doc && doc->Polls() && doc->getTimeId() == ui.GetId() ? 1 : 0);
    });
}

CRmonListView::~CRmonListView()
{
    KillTimer(kTimerPoll);
    if (m_iniPath.empty())
        return;
    EnsureIniDir(m_iniPath);
    const CListCtrlEx& list = GetListCtrl();
    for (int i = 0; i < list.GetColumnCount(); ++i)
        platform::WritePrivateProfileString("list", Key("column.%d", i), std::to_string(list.GetColumnWidth(i)),
                                            m_iniPath);
}

CRmonDoc* CRmonListView::GetDocument() const { return qobject_cast<CRmonDoc*>(platform::View::GetDocument()); }

void CRmonListView::OnInitialUpdate()
{
    CRmonDoc* doc = GetDocument();
    CListCtrlEx& list = GetListCtrl();
    m_iniPath = MIB::IniPathOf(MIB::FindView(metaObject()));
    if (!doc || list.GetColumnCount() != 0)
        return;
    const RmonTable& t = doc->table();
    for (int i = 0; i < t.valueCount + 2; ++i) {
        const char* title = i == 0 ? t.idColumn : i <= t.valueCount ? t.names[i - 1] : QT_TRANSLATE_NOOP("Quillon", "エラー内容");
        InsertColumnFromSettings(i, Quillon::tr(title), i == 0 ? 120 : 60, m_iniPath);
    }
}

void CRmonListView::OnUpdate(platform::View*, long hint, QObject*)
{
    CRmonDoc* doc = GetDocument();
    if (!doc)
        return;
    switch (hint) {
    case kHintStart:
        BuildRows();
        doc->Start(this);
        if (doc->Polls())
            SetTimer(kTimerPoll, int(doc->getInterval()));
        break;
    case kHintRmonNewData:
    case kHintRmonCursor:
        if (GetListCtrl().GetItemCount() != (doc->ShowsRows() ? int(doc->series().size()) : 0))
            BuildRows();
        RefreshTexts();
        break;
    default:
        break;
    }
}

void CRmonListView::OnTimer(int id)
{
    if (id != kTimerPoll)
        return;
    if (auto* doc = qobject_cast<CStaticMIBMenuDoc*>(GetDocument()))
        doc->StartPollCycle(this);
}

void CRmonListView::BuildRows()
{
    CRmonDoc* doc = GetDocument();
    CListCtrlEx& list = GetListCtrl();
    list.DeleteAllItems();
    if (!doc || !doc->ShowsRows())
        return;
    const QColor bg = palette().color(QPalette::Base);
    for (size_t i = 0; i < doc->series().size(); ++i) {
        const RmonSeries& s = doc->series()[i];
        list.InsertItem(int(i), QString::fromStdString(s.name),
                        countergroup::CCounterGroupListView::LineSample(s.pen, bg));
    }
}

void CRmonListView::RefreshTexts()
{
    CRmonDoc* doc = GetDocument();
    if (!doc)
        return;
    CListCtrlEx& list = GetListCtrl();
    const int n = doc->table().valueCount;
    const int rows = std::min(list.GetItemCount(), int(doc->series().size()));
    for (int i = 0; i < rows; ++i) {
        const RmonSample& s = doc->series()[size_t(i)].samples[size_t(doc->getCursor())];
        char buf[32];
        for (int k = 0; k < n; ++k) {
            std::snprintf(buf, sizeof buf, "%u", unsigned(s.val[size_t(k)]));
            list.SetItemText(i, k + 1, QString::fromLatin1(buf));
        }
        std::snprintf(buf, sizeof buf, "%d", s.errIdx);
        list.SetItemText(i, n + 1,
                         QString::fromLatin1(buf) + u'(' + platform::TrText(QString::fromUtf8(CSnmpBerList::ErrMsg(s.errIdx))) + u')');
    }
}

void CRmonListView::ChangeColour()
{
    CRmonDoc* doc = GetDocument();
    if (!doc)
        return;
    CListCtrlEx& list = GetListCtrl();
    std::vector<int> rows = list.GetSelectedRows();
    if (rows.empty())
        return;
    const int last = *std::max_element(rows.begin(), rows.end());
    if (last < 0 || last >= int(doc->series().size()))
        return;
    platform::LogPen lp = platform::LogPenFromPen(doc->series()[size_t(last)].pen);
    CLineColorDlg dlg(this);
    dlg.setLogPen(&lp);
    if (dlg.DoModal() == 1) {
        const QPen chosen = platform::PenFromLogPen(*dlg.getLogPen());
        const QColor bg = palette().color(QPalette::Base);
        for (int r : rows) {
            if (r < 0 || r >= int(doc->series().size()))
                continue;
            doc->series()[size_t(r)].pen = chosen;
            list.SetItemImage(r, countergroup::CCounterGroupListView::LineSample(chosen, bg));
        }
        doc->SaveSettings();
    }
    doc->UpdateAllViews(nullptr, kHintRmonNewData);
}

void CRmonListView::ChangeInterval(int id)
{
    CRmonDoc* doc = GetDocument();
    if (!doc || !doc->Polls() || id == doc->getTimeId())
        return;
    KillTimer(kTimerPoll);
    doc->setTimer(id, long(AppConstants::getInstance()->getInterval(unsigned(id))));
    SetTimer(kTimerPoll, int(doc->getInterval()));
}

QMenu* CRmonListView::CreateSetupMenu()
{
    QMenu* menu = platform::LoadPopupMenu("IDR_SETUP_MENU", 0, this);
    if (!menu)
        return nullptr;
    CRmonDoc* doc = GetDocument();
    const QList<QAction*> items = menu->actions();
    for (QAction* a : items) {
        if (!a->menu())
            continue;
        if (!doc || !doc->Polls()) {
            a->setEnabled(false);  // "タイマー変更": this window reads once
            continue;
        }
        for (QAction* t : a->menu()->actions()) {
            const int id = platform::CommandId(t);
            t->setCheckable(true);
            t->setChecked(id == doc->getTimeId());
        }
    }
    return menu;
}

void CRmonListView::contextMenuEvent(QContextMenuEvent* event)
{
    if (!rect().contains(mapFromGlobal(event->globalPos())))
        return;
    QMenu* menu = CreateSetupMenu();
    if (!menu)
        return;
    platform::TrackPopupMenu(menu, event->globalPos(), this);
    delete menu;
    event->accept();
}

// ---------------------------------------------------------------------------
// Graph and legend panes

CRmonCanvas::CRmonCanvas(CRmonPane* owner) : QWidget(nullptr), m_owner(owner)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CRmonCanvas::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    if (m_owner->image().isNull())
        p.fillRect(rect(), palette().color(QPalette::Window));
    else
        p.drawImage(0, 0, m_owner->image());
}

void CRmonCanvas::mousePressEvent(QMouseEvent* e) { m_owner->Press(e->position().toPoint(), e->button()); }
void CRmonCanvas::mouseMoveEvent(QMouseEvent* e) { m_owner->Move(e->position().toPoint()); }
void CRmonCanvas::mouseReleaseEvent(QMouseEvent* e)
{
    if (e->button() == Qt::LeftButton)
        m_owner->Release(e->position().toPoint());
}

CRmonPane::CRmonPane(bool legend, QWidget* parent) : platform::View(parent), m_legend(legend)
{
    m_scroll = new QScrollArea(this);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setWidgetResizable(false);
    m_canvas = new CRmonCanvas(this);
    m_scroll->setWidget(m_canvas);
    // The picture follows the viewport, whose size is only known once the
    // scroll area has laid itself out (after this pane's own resize when
    // the window is laid out before it shows).
    m_scroll->viewport()->installEventFilter(this);
}

CRmonPane::~CRmonPane() = default;

CRmonDoc* CRmonPane::GetDocument() const { return qobject_cast<CRmonDoc*>(platform::View::GetDocument()); }

void CRmonPane::OnInitialUpdate()
{
    m_ready = true;
    Render();
}

void CRmonPane::OnUpdate(platform::View*, long hint, QObject*)
{
    if (hint == kHintRmonNewData || hint == kHintRmonCursor || hint == kHintRmonPages)
        Render();
}

void CRmonPane::Render()
{
    CRmonDoc* doc = GetDocument();
    if (!doc || !m_ready)
        return;
    const QSize vp = m_scroll->viewport()->size();
    if (m_legend)
        m_image = RenderRmonLegend(doc->View(m_pressedTab), vp, m_offset, doc->resources());
    else
        m_image = RenderRmonGraph(doc->View(m_pressedTab), vp, doc->resources(), &m_scales);
    if (m_canvas->size() != m_image.size())
        m_canvas->setFixedSize(m_image.size());
    m_canvas->update();
}

void CRmonPane::MoveCursorTo(QPoint p)
{
    CRmonDoc* doc = GetDocument();
    if (!doc || m_legend)
        return;
    const int idx = RmonCursorFromPoint(p, doc->table().pages[doc->getPage()].count, doc->resources());
    if (idx < 0)
        return;
    doc->setCursor(idx);
    doc->UpdateAllViews(nullptr, kHintRmonCursor);
}

void CRmonPane::Press(QPoint p, Qt::MouseButton button)
{
    CRmonDoc* doc = GetDocument();
    if (!doc)
        return;
    if (button == Qt::RightButton) {
        if (!m_legend) {
            doc->setCursor(doc->table().rightButtonSlot);
            doc->UpdateAllViews(nullptr, kHintRmonCursor);
        }
        return;
    }
    if (button != Qt::LeftButton)
        return;
    m_down = true;
    m_canvas->grabMouse();
    const int tab = RmonTabAt(p, doc->resources());
    if (tab >= 0) {
        m_pressedTab = tab;
        if (tab != doc->getPage()) {
            doc->setPage(tab);
            doc->UpdateAllViews(nullptr, kHintRmonPages);
            doc->UpdateAllViews(nullptr, kHintRmonNewData);
        } else {
            doc->UpdateAllViews(nullptr, kHintRmonPages);
        }
    }
    m_dragStartY = p.y();
    m_dragStartOffset = m_offset;
    MoveCursorTo(p);
}

void CRmonPane::Move(QPoint p)
{
    if (!m_down)
        return;
    if (m_legend) {
        CRmonDoc* doc = GetDocument();
        const int total = doc ? RmonLegendRowsHeight(int(doc->series().size()), doc->resources()) : 0;
        if (total > 0 && m_pressedTab < 0) {
            m_offset = (((m_dragStartOffset - (p.y() - m_dragStartY)) % total) + total) % total;
            Render();
        }
        return;
    }
    MoveCursorTo(p);
}

void CRmonPane::Release(QPoint)
{
    if (!m_down)
        return;
    m_down = false;
    m_pressedTab = -1;
    m_canvas->releaseMouse();
    if (CRmonDoc* doc = GetDocument()) {
        doc->UpdateAllViews(nullptr, kHintRmonPages);
        doc->UpdateAllViews(nullptr, kHintRmonNewData);
    }
}

void CRmonPane::resizeEvent(QResizeEvent* event)
{
    platform::View::resizeEvent(event);
    m_scroll->setGeometry(rect());
    Render();
}

bool CRmonPane::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_scroll->viewport() && event->type() == QEvent::Resize)
        Render();
    return platform::View::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------
// Frame

CRmonFrame::CRmonFrame(QWidget* parent) : platform::ChildFrame(parent)
{
    AddCommand(kCmdColourChange, [this] {
        if (CRmonListView* v = listView())
            v->ChangeColour();
    });
    AddCommandRange(kCmdTimerFirst, kCmdTimerLast, [this](int id) {
        if (CRmonListView* v = listView())
            v->ChangeInterval(id);
    });
    AddCommandUIRange(kCmdTimerFirst, kCmdTimerLast, [this](platform::CmdUI& ui) {
        CRmonDoc* doc = document();
        ui.Enable(doc && doc->Polls());
        ui.SetCheck(doc && doc->Polls() && doc->getTimeId() == ui.GetId() ? 1 : 0);
    });
    AddCommandUI(kStatusPaneTime, [this](platform::CmdUI& ui) {
        CRmonDoc* doc = document();
        std::string text;
        if (doc && !doc->series().empty()) {
            const long t = doc->series()[0].samples[size_t(doc->getCursor())].time;
            if (t != 0)
                text = countergroup::FormatTime(t, "%Y/%m/%d %H:%M:%S");
        }
        ui.SetText(text);
    });
}

CRmonFrame::~CRmonFrame() { SaveWindowSettings(); }

CRmonDoc* CRmonFrame::document() const { return qobject_cast<CRmonDoc*>(GetActiveDocument()); }

CRmonPane* CRmonFrame::graphView() const
{
    return FindView<CRmonPane>([](const CRmonPane* g) { return !g->isLegend(); });
}

CRmonPane* CRmonFrame::legendView() const
{
    return FindView<CRmonPane>([](const CRmonPane* g) { return g->isLegend(); });
}

bool CRmonFrame::OnCreate()
{
    MIB* mib = MIB::FindFrame(metaObject());
    m_iniPath = MIB::IniPathOf(mib);
    MIB::ApplyIcon(this, mib);
    if (platform::StatusBar* bar = CreateStatusBar(MIB::m_graphStatusBarMenu, 3))
        bar->SetPaneWidthForText(2, "0000/00/00 00:00:00");
    return true;
}

bool CRmonFrame::OnCreateClient(platform::CreateContext& ctx)
{
    if (!m_iniPath.empty()) {
        platform::WindowPlacement wp;
        if (platform::GetProfileRecord("window", "frame", wp, m_iniPath))
            SetPlacement(wp);
    }
    MIB* mib = MIB::FindFrame(metaObject());
    const int third = std::max(width(), 3) / 3;
    int widths[3] = {third, third, third};
    const char* keys[3] = {"graphview", "markview", "listview"};
    for (int i = 0; i < 3 && !m_iniPath.empty(); ++i) {
        platform::Rect32 r;
        if (platform::GetProfileRecord("window", keys[i], r, m_iniPath) && r.Width() > 0)
            widths[i] = r.Width();
    }
    platform::Splitter* splitter = CreateSplitter(1, 3);
    if (mib && mib->getSubViewClass())
        splitter->CreateView(0, 0, mib->getSubViewClass(), ctx, widths[0]);
    splitter->CreateView(0, 1, legendClass(), ctx, widths[1]);
    splitter->CreateView(0, 2, ctx.viewClass, ctx, widths[2]);
    return true;
}

void CRmonFrame::SaveWindowSettings()
{
    if (m_saved)
        return;
    m_saved = true;
    if (m_iniPath.empty())
        return;
    EnsureIniDir(m_iniPath);
    platform::WriteProfileRecord("window", "frame", GetPlacement(), m_iniPath);
    if (CRmonPane* g = graphView())
        platform::WriteProfileRecord("window", "graphview", platform::Rect32::FromQRect(g->rect()), m_iniPath);
    if (CRmonPane* m = legendView())
        platform::WriteProfileRecord("window", "markview", platform::Rect32::FromQRect(m->rect()), m_iniPath);
    if (CRmonListView* l = listView())
        platform::WriteProfileRecord("window", "listview", platform::Rect32::FromQRect(l->rect()), m_iniPath);
}

}  // namespace ifplug
