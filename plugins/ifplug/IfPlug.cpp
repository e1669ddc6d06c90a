#include "plugins/ifplug/IfPlug.h"

#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "mibcore/agent/MIBAgent.h"
#include "mibcore/engine/CSnmpBerList.h"
#include "mibcore/platform/Desktop.h"
#include "mibcore/platform/DocTemplate.h"
#include "mibcore/platform/FileDialog.h"
#include "mibcore/platform/MainFrame.h"
#include "mibcore/platform/MessageBox.h"
#include "mibcore/platform/Profile.h"
#include "mibcore/platform/Resources.h"
#include "mibcore/registry/MIB.h"
#include "plugins/ifplug/IfRegistry.h"
#include "mibcore/platform/Language.h"

namespace ifplug {

const char* const kCounterNames[11] = {"ifInOctets",     "ifInUcastPkts",   "ifInNUcastPkts", "ifInDiscards",
                                       "ifInErrors",     "ifInUnknownProtos", "ifOutOctets",  "ifOutUcastPkts",
                                       "ifOutNUcastPkts", "ifOutDiscards",   "ifOutErrors"};

void ShowReading(QWidget* frame, bool reading)
{
    if (auto* f = qobject_cast<platform::ChildFrame*>(frame))
        if (platform::StatusBar* bar = f->GetStatusBar())
            bar->SetPaneText(0, reading ? Quillon::Tr(kReadingText) : std::string());
}

std::string Bracketed(long n)
{
    char buf[32];
    std::snprintf(buf, sizeof buf, "[%ld]", n);
    return buf;
}

namespace {

using platform::MenuItem;

constexpr int kChildResource = 129;  // the application's standard child window
const char* const kToolBar = "IDR_IFTOOLBAR";

void RegisterResources()
{
    std::vector<MenuItem> counters;
    for (int i = 0; i < 11; ++i)
        counters.push_back(MenuItem::Command(kCmdCounterFirst + i, kCounterNames[i]));
    std::vector<MenuItem> only = {MenuItem::Command(kCmdTraffic, QT_TRANSLATE_NOOP("Quillon", "トラフィック全般"))};
    only.insert(only.end(), counters.begin(), counters.end());
    only.push_back(MenuItem::Separator());
    only.push_back(MenuItem::Command(kCmdEtherStats, QT_TRANSLATE_NOOP("Quillon", "etherStatsTable情報")));
    std::vector<MenuItem> multi = counters;
    multi.push_back(MenuItem::Separator());
    multi.push_back(MenuItem::Command(kCmdEtherStats, QT_TRANSLATE_NOOP("Quillon", "etherStatsTable情報")));
    platform::RegisterMenu("IDR_IF_ONLY_MENU", {MenuItem::Popup(QT_TRANSLATE_NOOP("Quillon", "interfacesメニュー１"), only)});
    platform::RegisterMenu("IDR_IF_MULTI_MENU", {MenuItem::Popup(QT_TRANSLATE_NOOP("Quillon", "interfacesメニュー２"), multi)});
    platform::RegisterMenu("IDR_HISTORY_MENU",
                           {MenuItem::Popup(QT_TRANSLATE_NOOP("Quillon", "interfacesその３"), {MenuItem::Command(kCmdHistory, QT_TRANSLATE_NOOP("Quillon", "history情報"))})});

    auto twice = [](const std::string& s) { return s + "\n" + s; };
    platform::RegisterString(kCmdTraffic, QT_TRANSLATE_NOOP("Quillon", "トラフィック全般\nトラフィック全般"));
    for (int i = 0; i < 11; ++i)
        platform::RegisterString(kCmdCounterFirst + i, twice(kCounterNames[i]));
    platform::RegisterString(kCmdEtherStats, QT_TRANSLATE_NOOP("Quillon", "etherStatsTable情報\netherStatsTable情報"));
    platform::RegisterString(kCmdHistory, QT_TRANSLATE_NOOP("Quillon", "history情報\nhistory情報"));
    platform::RegisterString(kCmdIfTable, QT_TRANSLATE_NOOP("Quillon", "interfaces情報を取得する\ninterfaces情報を取得"));
    platform::RegisterString(kCmdAddrTable, QT_TRANSLATE_NOOP("Quillon", "ipAddr情報を取得する\nipAddr情報を取得"));
    platform::RegisterString(kCmdRouteTable, QT_TRANSLATE_NOOP("Quillon", "ipRoute情報を取得する\nipRoute情報を取得"));
    platform::RegisterString(kCmdHistoryTable, QT_TRANSLATE_NOOP("Quillon", "history情報を取得する\nhistory情報を取得"));
    platform::RegisterToolBar(kToolBar, {"IDB_IFTOOLBAR_BITMAP", 16, 16,
                                         {kCmdIfTable, kCmdAddrTable, kCmdRouteTable, kCmdHistoryTable, 0, kFieldTable}});
}

const bool g_registered = (RegisterResources(), true);

std::string NotYet(const char* what)
{
    return QString(Quillon::tr("%1のウィンドウはまだ利用できません。")).arg(Quillon::tr(what)).toStdString();
}

}  // namespace

// ---------------------------------------------------------------------------
// Opening the windows of the other entries

MIB* FindEntry(double no)
{
    for (MIB* m = MIB::gethead(); m; m = m->getnext())
        if (m->getno() == no && m->getIcon() == "IDI_IFMIB_ICON")
            return m;
    return nullptr;
}

platform::ChildFrame* OpenIfWindow(double no, const std::string& title,
                                   const std::function<void(platform::Document*)>& give)
{
    MIB* mib = FindEntry(no);
    if (!mib || !mib->getDocumentClass() || !mib->getFrameClass() || !mib->getViewClass())
        return nullptr;
    platform::MainFrame* main = platform::App::GetMainFrame();
    if (main)
        for (platform::ChildFrame* f : main->GetChildFrames())
            if (f->GetTitle() == title) {
                if (f->isMinimized())
                    f->showNormal();
                main->MDIActivate(f);
                return f;
            }
    platform::MultiDocTemplate* tmpl = mib->getViewDocTemplate(mib->getwview());
    if (!tmpl) {
        tmpl = new platform::MultiDocTemplate(mib->getMenuType() ? mib->getMenuType() : kChildResource,
                                              mib->getDocumentClass(), mib->getFrameClass(), mib->getViewClass());
        mib->setViewDocTemplate(mib->getwview(), tmpl);
        platform::App::AddDocTemplate(tmpl);
    }
    platform::Document* doc = tmpl->OpenDocumentFile();
    if (!doc || doc->GetFrames().isEmpty())
        return nullptr;
    if (give)
        give(doc);
    platform::ChildFrame* frame = doc->GetFrames().last();
    frame->SetTitle(title);
    doc->UpdateAllViews(nullptr, kHintStart);
    return frame;
}

// ---------------------------------------------------------------------------
// Document

CIfMIBMenuDoc::CIfMIBMenuDoc() = default;

// ---------------------------------------------------------------------------
// List view

CIfMIBMenuView::CIfMIBMenuView(QWidget* parent) : CListViewEx(parent)
{
    AddCommand(kCmdTraffic, [this] { OnTraffic(); });
    AddCommandRange(kCmdCounterFirst, kCmdCounterLast, [this](int id) { OnCounter(id); });
    AddCommand(kCmdEtherStats, [this] { OnEtherStats(); });
    AddCommand(kCmdHistory, [this] { OnHistory(); });
    AddCommandUI(kCmdEtherStats, [this](platform::CmdUI& ui) { ui.Enable(m_data.etherStats); });
    // The list keeps no texts of its own: each row is a row of the cells.
    GetListCtrl().SetKeyedText([this](int row, int col) { return CellText(row, col); });
}

CIfMIBMenuView::~CIfMIBMenuView()
{
    m_cycle.Stop();  // walks still running end here, unapplied
    SaveColumnWidths();
}

void CIfMIBMenuView::OnInitialUpdate()
{
    CListCtrlEx& list = GetListCtrl();
    list.SetShowSelAlways(true);
    list.setSelectionMode(QAbstractItemView::ExtendedSelection);
    if (MIB* mib = MIB::FindView(metaObject()))
        mib->getIniFileFullPath(m_iniPath);
    if (!m_loaded)
        LoadTables();
}

void CIfMIBMenuView::LoadTables()
{
    if (m_cycle.Busy())
        return;
    m_loaded = true;
    // The interface table's columns show at once; its rows follow the walks.
    ShowTable(kCmdIfTable);
    m_cycle.SetBusyCursor(GetParentFrame());
    ShowReading(GetParentFrame(), true);
    // The worker gets copies: the settings as they are now and the socket
    // (copies of a MIBBasicItem share it).
    auto agent = std::make_shared<MIBAgent>(*MIBAgent::getInstance());
    auto socket = std::make_shared<MIBBasicItem>(static_cast<const MIBBasicItem&>(*this));
    m_cycle.Start<IfTablesData>(
        [agent, socket](int* keepRunning) { return ReadIfTables(agent.get(), socket.get(), keepRunning); },
        [this](IfTablesData data) { ApplyTables(std::move(data)); });
}

bool CIfMIBMenuView::FinishLoading()
{
    const bool ran = m_cycle.Finish();
    while (Filling())
        FillSlice();
    return ran;
}

void CIfMIBMenuView::ApplyTables(IfTablesData data)
{
    // The rows shown read the cells being replaced.
    GetListCtrl().DeleteAllItems();
    m_fillOrder.clear();
    m_fillPos = 0;
    m_data = std::move(data);
    // Tables built by hand come without their order.
    if (m_data.ifOrder.empty() && m_data.addrOrder.empty() && m_data.routeOrder.empty() &&
        m_data.historyOrder.empty())
        SortTables(m_data);
    ShowReading(GetParentFrame(), false);
    if (m_data.ifFailed)
        platform::MessageBox(Quillon::Tr("interfaces情報を取得できませんでした。理由は⇒") +
                                 platform::TrText(std::string(CSnmpBerList::ErrMsg(m_data.ifError))),
                             platform::MB_OK | platform::MB_ICONWARNING);
    if (!m_data.cut.empty()) {
        std::string names;
        for (const std::string& t : m_data.cut)
            names += (names.empty() ? "" : Quillon::Tr("、")) + t;
        platform::MessageBox(Quillon::tr("%1は上限の%2行に達したため、それ以降の行を取得していません。")
                                 .arg(QString::fromStdString(names))
                                 .arg(kMaxTableRows)
                                 .toStdString(),
                             platform::MB_OK | platform::MB_ICONWARNING);
    }
    ShowTable(kCmdIfTable);
}

void CIfMIBMenuView::SaveColumnWidths()
{
    const TableSpec* t = FindTable(m_current);
    if (!t || m_iniPath.empty())
        return;
    platform::CreateDirectoryPath(m_iniPath.substr(0, m_iniPath.find_last_of('/')));
    const CListCtrlEx& list = GetListCtrl();
    for (int i = 0; i < list.GetColumnCount(); ++i)
        platform::WritePrivateProfileString(t->section, ColumnKey(i), std::to_string(list.GetColumnWidth(i)),
                                            m_iniPath);
}

void CIfMIBMenuView::ShowTable(int command)
{
    const TableSpec* t = FindTable(command);
    const CellStore* cells = m_data.cells(command);
    if (!t || !cells)
        return;
    if (m_current != 0 && m_current != command)
        SaveColumnWidths();
    m_current = command;

    CListCtrlEx& list = GetListCtrl();
    list.setUpdatesEnabled(false);
    list.DeleteAllItems();
    list.setColumnCount(0);
    for (int i = 0; i < t->columns; ++i)
        InsertColumnFromSettings(i, Quillon::tr(t->headers[i]), t->widths[i], m_iniPath, t->section);

    list.setUpdatesEnabled(true);

    // The rows follow in slices, so a table of any size never holds the
    // event loop; the worker has sorted them already.
    const std::vector<int>* order = m_data.order(command);
    m_fillOrder = order && int(order->size()) == RowCount(*cells, t->columns) ? *order
                                                                                : SortedRows(*cells, t->columns);
    m_fillPos = 0;
    ++m_fillSerial;
    FillSlice();
}

QString CIfMIBMenuView::CellText(int row, int col) const
{
    const TableSpec* t = FindTable(m_current);
    const CellStore* cells = m_data.cells(m_current);
    if (!t || !cells || row < 0 || col < 0 || col >= t->columns)
        return QString();
    const size_t i = size_t(row) * size_t(t->columns) + size_t(col);
    if (i >= cells->size())
        return QString();
    const std::string_view text = (*cells)[i];
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

void CIfMIBMenuView::FillSlice()
{
    if (!Filling())
        return;
    // Rows cost one small item each; a slice is bounded so the list's
    // layout after it stays short too.
    const size_t count = std::min(m_fillOrder.size() - m_fillPos, size_t(kFillSlice));
    GetListCtrl().AddKeyedRows(m_fillOrder.data() + m_fillPos, int(count));
    m_fillPos += count;
    if (!Filling())
        return;
    const unsigned serial = m_fillSerial;
    QPointer<CIfMIBMenuView> self(this);
    QTimer::singleShot(1, this, [self, serial] {
        if (self && self->m_fillSerial == serial)
            self->FillSlice();
    });
}

// Nothing is selected while the walks run: the commands on the selection
// then do nothing.
std::vector<int> CIfMIBMenuView::SelectedRows() const
{
    return LoadingInFlight() ? std::vector<int>() : GetListCtrl().GetSelectedRows();
}

int32_t CIfMIBMenuView::RowIfIndex(int row) const
{
    const std::vector<int32_t>* index = m_data.rowIndex(m_current);
    if (!index || row < 0 || size_t(row) >= m_fillOrder.size())
        return 0;
    const int r = m_fillOrder[size_t(row)];
    return r >= 0 && size_t(r) < index->size() ? (*index)[size_t(r)] : 0;
}

void CIfMIBMenuView::Refuse(const std::string& refused, const std::string& what, unsigned type) const
{
    if (!refused.empty())
        platform::MessageBox(Quillon::tr("%1は、%2を取得できません。")
                                 .arg(QString::fromStdString(refused), QString::fromStdString(platform::TrText(what)))
                                 .toStdString(),
                             type);
}

int CIfMIBMenuView::ColumnNumber(int row, int col) const
{
    return std::atoi(GetListCtrl().GetItemText(row, col).toUtf8().constData());
}

const InterfaceEntry* CIfMIBMenuView::FindInterface(int ifIndex) const
{
    if (ifIndex < 1)
        return nullptr;
    for (const InterfaceEntry& e : m_data.interfaces)
        if (e.ifIndex == ifIndex)
            return &e;
    return nullptr;
}

QMenu* CIfMIBMenuView::CreateContextMenu()
{
    if (LoadingInFlight())
        return nullptr;
    const std::vector<int> rows = SelectedRows();
    if (rows.empty())
        return nullptr;
    const char* name = m_current == kCmdHistoryTable ? "IDR_HISTORY_MENU"
                       : rows.size() == 1            ? "IDR_IF_ONLY_MENU"
                                                     : "IDR_IF_MULTI_MENU";
    QMenu* menu = platform::LoadPopupMenu(name, 0, this);
    if (!menu)
        return nullptr;
    for (QAction* a : menu->actions())
        if (platform::CommandId(a) == kCmdEtherStats)
            a->setEnabled(m_data.etherStats);
    return menu;
}

void CIfMIBMenuView::contextMenuEvent(QContextMenuEvent* event)
{
    event->accept();
    if (!rect().contains(mapFromGlobal(event->globalPos())))
        return;
    QMenu* menu = CreateContextMenu();
    if (!menu)
        return;
    platform::TrackPopupMenu(menu, event->globalPos(), this);
    delete menu;
}

void CIfMIBMenuView::OnTraffic()
{
    const std::vector<int> rows = SelectedRows();
    if (rows.size() != 1)
        return;
    const int ifIndex = RowIfIndex(rows[0]);
    const InterfaceEntry* e = FindInterface(ifIndex);
    const std::string descr = e ? e->ifDescr : std::string();
    if (ifIndex == 0) {
        // Never ask for an index the agent did not give.
        Refuse("[" + GetListCtrl().GetItemText(rows[0], 0).toStdString() + "]" + descr + "\n",
               QT_TRANSLATE_NOOP("Quillon", "インターフェースのトラフィック情報"));
        return;
    }
    char title[64];
    std::snprintf(title, sizeof title, "ifIndex[%d]-", ifIndex);
    if (!OpenIfWindow(kEntryTraffic, title + descr, [&](platform::Document* doc) {
            if (auto* t = dynamic_cast<SingleInterfaceTarget*>(doc))
                t->SetInterface(ifIndex, descr);
        }))
        platform::MessageBox(NotYet(QT_TRANSLATE_NOOP("Quillon", "インターフェースのトラフィック情報")));
}

void CIfMIBMenuView::OnCounter(int command)
{
    const int k = command - kCmdCounterFirst;
    if (k < 0 || k > 10)
        return;
    std::string title = kCounterNames[k];
    std::vector<InterfaceEntry> list;
    std::string refused;
    for (int row : SelectedRows()) {
        const int ifIndex = RowIfIndex(row);
        if (ifIndex == 0) {
            refused += "[" + GetListCtrl().GetItemText(row, 0).toStdString() + "]\n";
            continue;
        }
        const InterfaceEntry* e = FindInterface(ifIndex);
        if (!e || std::any_of(list.begin(), list.end(), [&](const InterfaceEntry& x) { return x.ifIndex == ifIndex; }))
            continue;
        list.push_back(*e);
        title += Bracketed(ifIndex);
    }
    Refuse(refused, title);
    if (list.empty() && !refused.empty())
        return;  // the refusal is the answer: no empty window
    const int column = command - 12995;
    if (!OpenIfWindow(kEntryCounter, title, [&](platform::Document* doc) {
            if (auto* t = dynamic_cast<InterfaceListTarget*>(doc))
                t->SetInterfaces(list, column);
        }))
        platform::MessageBox(NotYet(QT_TRANSLATE_NOOP("Quillon", "インターフェースのトラフィック情報")));
}

void CIfMIBMenuView::OnEtherStats()
{
    std::string title = Quillon::Tr("etherStatsTable情報") + "-";
    std::string refused;
    std::vector<InterfaceEntry> list;
    std::vector<int> seen;
    for (int row : SelectedRows()) {
        const int ifIndex = RowIfIndex(row);
        if (ifIndex == 0) {
            refused += "[" + GetListCtrl().GetItemText(row, 0).toStdString() + "]\n";
            continue;
        }
        const InterfaceEntry* e = FindInterface(ifIndex);
        if (!e || std::find(seen.begin(), seen.end(), ifIndex) != seen.end())
            continue;
        seen.push_back(ifIndex);
        if (e->etherStatsIndex != 0) {
            list.push_back(*e);
            title += Bracketed(ifIndex);
        } else {
            refused += Bracketed(ifIndex) + e->ifDescr + "\n";
        }
    }
    Refuse(refused, QT_TRANSLATE_NOOP("Quillon", "etherStatsTable情報"), platform::MB_OK | platform::MB_ICONWARNING);
    if (list.empty())
        return;
    OpenIfWindow(kEntryStatistics, title, [&](platform::Document* doc) {
        if (auto* t = dynamic_cast<InterfaceListTarget*>(doc))
            t->SetInterfaces(list, 0);
    });
}

void CIfMIBMenuView::OnHistory()
{
    std::string title = Quillon::Tr("history情報") + "-";
    std::vector<HistoryControlEntry> list;
    bool remembered = false;
    int interval = 0, buckets = 0;
    for (int row : SelectedRows()) {
        const int index = ColumnNumber(row, 0);
        auto h = std::find_if(m_data.histories.begin(), m_data.histories.end(),
                              [&](const HistoryControlEntry& x) { return x.historyControlIndex == index; });
        const InterfaceEntry* e =
            FindInterface(IfIndexOf(GetListCtrl().GetItemText(row, 1).toStdString()));
        if (h == m_data.histories.end() || !e)
            continue;
        HistoryControlEntry entry = *h;
        entry.interface = *e;
        const int rowInterval = ColumnNumber(row, 2);
        const int rowBuckets = ColumnNumber(row, 3);
        if (remembered && (rowInterval != interval || rowBuckets != buckets)) {
            platform::MessageBox(QT_TRANSLATE_NOOP("Quillon", "サンプル間隔とサンプル数が同じデータを選択してください。"));
            return;
        }
        remembered = true;
        interval = rowInterval;
        buckets = rowBuckets;
        list.push_back(entry);
        title += Bracketed(index);
    }
    // Every row skipped still opens "history情報-", with an empty list.
    OpenIfWindow(kEntryHistory, title, [&](platform::Document* doc) {
        if (auto* t = dynamic_cast<HistoryListTarget*>(doc))
            t->SetHistories(list);
    });
}

std::vector<std::string> CIfMIBMenuView::Headers() const
{
    std::vector<std::string> out;
    const CListCtrlEx& list = GetListCtrl();
    for (int c = 0; c < list.GetColumnCount(); ++c)
        out.push_back(list.headerItem()->text(c).toStdString());
    return out;
}

std::vector<std::vector<std::string>> CIfMIBMenuView::Rows() const
{
    // From the cells, so the export is whole while the list still fills.
    std::vector<std::vector<std::string>> out;
    const TableSpec* t = FindTable(m_current);
    const CellStore* cells = m_data.cells(m_current);
    if (!t || !cells)
        return out;
    const size_t n = size_t(t->columns);
    out.reserve(m_fillOrder.size());
    for (int r : m_fillOrder) {
        std::vector<std::string> row;
        for (size_t c = 0; c < n; ++c) {
            const size_t i = size_t(r) * n + c;
            row.push_back(i < cells->size() ? std::string((*cells)[i]) : std::string());
        }
        out.push_back(std::move(row));
    }
    return out;
}

// ---------------------------------------------------------------------------
// Tool bar and frame

CIfToolBar::CIfToolBar(QWidget* parent) : CFlatToolBar(parent)
{
    setWindowTitle(QStringLiteral("interfaces"));
    // Docks on any side, and floats.
    setMovable(true);
    setFloatable(true);
    setAllowedAreas(Qt::AllToolBarAreas);
}

void CIfToolBar::CreateField(int width)
{
    m_field = new QLineEdit(this);
    m_field->setReadOnly(true);
    m_field->setFrame(true);
    m_field->setFocusPolicy(Qt::NoFocus);
    m_field->setText(QStringLiteral("interfaces"));
    placeControl(m_field, kFieldTable, QSize(width, 0));
}

CIfMIBMenuFrame::CIfMIBMenuFrame(QWidget* parent) : platform::ChildFrame(parent)
{
    AddCommandRange(kCmdIfTable, kCmdHistoryTable, [this](int id) {
        if (CIfMIBMenuView* v = view(); v && v->LoadingInFlight())
            return;
        const TableSpec* t = FindTable(id);
        if (m_toolBar && m_toolBar->field() && t) {
            m_toolBar->field()->setText(Quillon::tr(t->fieldText));
            m_toolBar->field()->home(false);  // a long name shows its start
        }
        if (CIfMIBMenuView* v = view())
            v->ShowTable(id);
    });
    // The tables and their export wait for the walks at open.
    auto loaded = [this](platform::CmdUI& ui) {
        CIfMIBMenuView* v = view();
        ui.Enable(!v || !v->LoadingInFlight());
    };
    AddCommandUIRange(kCmdIfTable, kCmdHistoryTable, loaded);
    AddCommand(kCmdSaveFile, [this] { ExportCsv(); });
    AddCommandUI(kCmdSaveFile, loaded);
    AddCommandUI(kStatusPaneItems, [this](platform::CmdUI& ui) {
        CIfMIBMenuView* v = view();
        char text[64];
        std::snprintf(text, sizeof text, Quillon::Tr("アイテム数：%d").c_str(), v ? v->GetListCtrl().GetItemCount() : 0);
        ui.SetText(text);
    });
}

bool CIfMIBMenuFrame::OnCreate()
{
    if (!Inner()) {
        platform::MessageBox(QT_TRANSLATE_NOOP("Quillon", "ツールバーの作成に失敗しました。１"));
        return false;
    }
    m_toolBar = new CIfToolBar(this);
    if (platform::ImagePath("IDB_IFTOOLBAR_BITMAP").isEmpty()) {
        platform::MessageBox(QT_TRANSLATE_NOOP("Quillon", "ツールバーの作成に失敗しました。２"));
        delete m_toolBar;
        m_toolBar = nullptr;
        return false;
    }
    if (!m_toolBar->LoadToolBar(kToolBar)) {
        platform::MessageBox(QT_TRANSLATE_NOOP("Quillon", "ツールバーの作成に失敗しました。３"));
        delete m_toolBar;
        m_toolBar = nullptr;
        return false;
    }
    // Buttons 0..3, the separator, then the field, wide enough for every
    // table's name in the font it is shown in.
    int fieldWidth = 100;
    const QFontMetrics fm(m_toolBar->font());
    for (int id = kCmdIfTable; id <= kCmdHistoryTable; ++id)
        if (const TableSpec* t = FindTable(id))
            fieldWidth = std::max(fieldWidth, fm.horizontalAdvance(Quillon::tr(t->fieldText)) + 16);
    m_toolBar->SetButtonInfo(5, kFieldTable, fieldWidth);
    m_toolBar->CreateField(fieldWidth);
    AddToolBar(m_toolBar);

    if (platform::StatusBar* bar = CreateStatusBar(MIB::m_listStatusBarMenu, 3))
        bar->SetPaneWidthForText(2, QString(Quillon::tr("アイテム数：%d")).replace("%d", "100").toStdString());
    MIB::ApplyIcon(this, MIB::FindFrame(metaObject()));
    return true;
}

bool CIfMIBMenuFrame::ExportCsv()
{
    CIfMIBMenuView* v = view();
    if (!v || v->LoadingInFlight())
        return false;
    return platform::ExportCsvFile([v] { return ListCsv(v->Headers(), v->Rows()); });
}

}  // namespace ifplug

// This library's English texts.
static const platform::CatalogueRegistration g_catalogue("ifplug");
