// The two panes of the MIB tree browser and the walk's life cycle.

#include <QApplication>
#include <QContextMenuEvent>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QItemSelection>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "mibcore/agent/MIBAgent.h"
#include "mibcore/engine/CSnmpBerList.h"
#include "mibcore/mibtree/MIBTree.h"
#include "mibcore/platform/ChildFrame.h"
#include "mibcore/platform/Desktop.h"
#include "mibcore/platform/Language.h"
#include "mibcore/platform/MessageBox.h"
#include "mibcore/platform/Profile.h"
#include "mibcore/platform/Resources.h"
#include "mibcore/registry/MIB.h"
#include "mibcore/widgets/CMIBOleDropTarget.h"
#include "mibcore/widgets/CSearchMIBTreeDlg.h"
#include "mibcore/widgets/WidgetResources.h"
#include "plugins/treeplug/TreePlug.h"

using namespace treeplug;

namespace {

std::string ColumnKey(int i)
{
    char key[32];
    std::snprintf(key, sizeof key, "column.%d", i);
    return key;
}

// Text of a tree item up to its "(".
QString ItemName(const QTreeWidgetItem* item)
{
    const QString t = item->text(0);
    const qsizetype i = t.indexOf(u'(');
    return i < 0 ? t : t.left(i);
}

bool IsTabKey(QEvent* event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    auto* k = static_cast<QKeyEvent*>(event);
    return k->key() == Qt::Key_Tab && !(k->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
}

// An instance leaf of the tree pane: its text comes from the walk's row
// store, so a leaf holds no string of its own.
class LeafItem : public QTreeWidgetItem {
public:
    LeafItem(const std::shared_ptr<RowStore>& store, int row)
        : QTreeWidgetItem(UserType + 2), m_store(store.get()), m_row(row)
    {
        // Spares the layout asking each instance for children.
        setFlags(flags() | Qt::ItemNeverHasChildren);
    }
    QVariant data(int column, int role) const override
    {
        if (column == 0 && (role == Qt::DisplayRole || role == Qt::EditRole))
            return m_store->Leaf(m_row);
        return QTreeWidgetItem::data(column, role);
    }

private:
    const RowStore* m_store;  // outlives the item: the tree is emptied first
    int m_row;
};

void FocusTextBox(QWidget* pane)
{
    if (QWidget* frame = widgets::GetParentFrame(pane))
        widgets::SendCommand(frame, kCmdFocusEdit);
}

}  // namespace

// ---------------------------------------------------------------------------
// List pane

CTreeMIBMenuListView::CTreeMIBMenuListView(QWidget* parent) : CListViewEx(parent)
{
    CListCtrlEx& list = GetListCtrl();
    list.SetShowSelAlways(true);
    list.setSelectionMode(QAbstractItemView::ExtendedSelection);
    list.setUniformRowHeights(true);
    list.installEventFilter(this);
}

bool CTreeMIBMenuListView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &GetListCtrl() && IsTabKey(event)) {
        FocusTextBox(this);
        return true;
    }
    return CListViewEx::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------
// Tree pane

CTreeMIBMenuView::CTreeMIBMenuView(QWidget* parent) : platform::View(parent)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_tree = new QTreeWidget(this);
    m_tree->setHeaderHidden(true);
    m_tree->setColumnCount(1);
    m_tree->setRootIsDecorated(true);
    m_tree->setUniformRowHeights(true);
    m_tree->setSelectionMode(QAbstractItemView::SingleSelection);
    m_tree->setContextMenuPolicy(Qt::DefaultContextMenu);
    m_tree->installEventFilter(this);
    layout->addWidget(m_tree);
    connect(m_tree, &QTreeWidget::itemSelectionChanged, this, [this] { OnSelectionChanged(); });

    m_drop = new CMIBOleDropTarget(this);
    // No new start object while a walk runs.
    m_drop->SetAcceptCheck([this] { return getRepeat() == 0; });

    m_drainTimer = new QTimer(this);
    m_drainTimer->setSingleShot(true);
    connect(m_drainTimer, &QTimer::timeout, this, [this] { Drain(); });

    AddCommand(widgets::ID_MIBTREE_SEARCH, [this] { ShowSearch(); });
    AddCommand(widgets::ID_MIBTREE_COPY_NUMERIC, [this] { CopyOid(false); });
    AddCommand(widgets::ID_MIBTREE_COPY_NAME, [this] { CopyOid(true); });
    AddCommandUIRange(widgets::ID_MIBTREE_SEARCH, widgets::ID_MIBTREE_COPY_NAME,
                      [this](platform::CmdUI& ui) { ui.Enable(m_tree->topLevelItemCount() > 0); });
}

CTreeMIBMenuView::~CTreeMIBMenuView()
{
    Shutdown();
    // The leaves read the row store, which goes before the tree would.
    m_tree->clear();
}

CTreeMIBMenuListView* CTreeMIBMenuView::GetListView() const
{
    if (m_list)
        return m_list;
    if (platform::Document* doc = GetDocument())
        for (platform::View* v : doc->GetViews())
            if (auto* l = qobject_cast<CTreeMIBMenuListView*>(v))
                return l;
    return nullptr;
}

void CTreeMIBMenuView::OnInitialUpdate()
{
    m_iniPath = MIB::IniPathOf(MIB::FindView(metaObject()));
    if (!m_iniPath.empty()) {
        std::string p = platform::GetPrivateProfileString("option", "preword", m_preword, m_iniPath);
        // The key is read into 256 bytes.
        if (p.size() > 255)
            p.resize(255);
        m_preword = p;
    }
    m_list = GetListView();
    if (m_list && m_list->GetListCtrl().GetColumnCount() == 0) {
        for (int i = 0; i < 4; ++i)
            m_list->InsertColumnFromSettings(i, Quillon::tr(kColumnTitles[i]), kColumnDefaults[i], m_iniPath);
        // Rows are keys into the row store; the list keeps the store alive.
        std::shared_ptr<RowStore> store = m_store;
        m_list->GetListCtrl().SetKeyedText([store](int key, int col) { return store->Cell(key, col); });
    }
    m_drop->Register(this);
}

void CTreeMIBMenuView::OnUpdate(platform::View*, long hint, QObject* hintObj)
{
    switch (hint) {
    case kCmdStart: {
        std::string box;
        auto* frame = qobject_cast<CTreeMIBMenuFrame*>(GetParentFrame());
        if (frame)
            if (QLineEdit* edit = frame->textBox())
                box = edit->text().toStdString();
        const StartObject start = ResolveStartObject(m_preword, box);
        // A text that names nothing is said in the status pane; the walk
        // then ends at once, without a message box.
        if (platform::StatusBar* bar = frame ? frame->GetStatusBar() : nullptr)
            bar->SetPaneText(0, box.empty() || start.resolved
                                    ? std::string()
                                    : Quillon::tr("「%1」はMIB定義の名前でもOIDでもありません。").arg(QString::fromStdString(box)).toStdString());
        StartWalk(start.text);
        break;
    }
    case kHintDropPath:
        if (auto* h = qobject_cast<CNamePathHint*>(hintObj))
            StartWalk(h->getPath());
        break;
    case kHintStop:
        setRepeat(0);
        // What the walk had queued is not shown any more; its end still
        // arrives and closes it.
        if (m_channel)
            m_channel->Discard();
        m_backlog.Clear();
        // A drain spaced for a long list would hold the end back.
        if (m_drainTimer->isActive())
            m_drainTimer->start(0);
        break;
    default:
        break;
    }
}

void CTreeMIBMenuView::StopAndWait(bool serve)
{
    setRepeat(0);
    if (m_channel)
        m_channel->Discard();  // a worker waiting for room returns at once
    if (!m_worker.joinable())
        return;
    // The worker never waits for this thread (rows go through the channel),
    // so the wait is bounded by the engine's check of the flag. Serving the
    // event loop meanwhile keeps the window painting; input waits.
    while (serve && !m_workerDone.load())
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 10);
    m_worker.join();
}

void CTreeMIBMenuView::StartWalk(const std::string& rootText)
{
    if (m_shutDown)
        return;
    // Whatever the previous walk still delivers is not shown any more.
    ++m_serial;
    m_drainTimer->stop();
    StopAndWait(true);
    m_channel.reset();
    m_backlog.Clear();
    m_endPending = false;

    m_tree->clear();
    m_objectItems.clear();
    m_lastObject = nullptr;
    if (CTreeMIBMenuListView* l = GetListView())
        l->GetListCtrl().DeleteAllItems();
    m_store->Clear();

    m_rootText = rootText;
    m_tokens.clear();
    StrToken(rootText, ".", m_tokens);
    unsigned long arcs[kMaxRootArcs];
    const int n = ParseRoot(rootText, arcs, kMaxRootArcs);
    m_root.assign(arcs, arcs + n);

    const unsigned serial = m_serial;
    QPointer<CTreeMIBMenuView> self(this);
    m_channel = std::make_shared<WalkChannel>([self, serial] {
        QMetaObject::invokeMethod(
            self.data(), [self, serial] { if (self) self->OnWake(serial); }, Qt::QueuedConnection);
    });
    m_walking = true;
    // Raised here: a stop between now and the worker's first step must not
    // be lost.
    setRepeat(1);
    m_workerDone = false;
    std::shared_ptr<WalkChannel> channel = m_channel;
    // The worker walks with its own copy of the settings: the agent dialog
    // rewrites the shared ones on the user-interface thread.
    auto agent = std::make_shared<MIBAgent>(*MIBAgent::getInstance());
    m_worker = std::thread([this, channel, agent, root = m_root] {
        RunWalk(agent.get(), this, root, *channel);
        m_workerDone = true;
    });
}

size_t CTreeMIBMenuView::QueuedRows() const
{
    return (m_channel ? m_channel->Pending() : 0) + m_backlog.Size();
}

void CTreeMIBMenuView::OnWake(unsigned serial)
{
    if (serial != m_serial || !m_channel)
        return;
    // Once the end is in, the next batch is the last: batches are spaced
    // only so that later ones find more rows, and none follow. Only the
    // end to take (a stop) has nothing to lay out either.
    if (m_channel->Ended() || QueuedRows() == 0) {
        m_drainTimer->start(0);
        return;
    }
    if (!m_drainTimer->isActive())
        m_drainTimer->start(DrainInterval());
}

int CTreeMIBMenuView::DrainInterval() const
{
    // After every batch both panes lay out all their items again (well
    // under a microsecond per item) and repaint what they show (a few ms).
    // Spacing the batches in proportion to the rows shown keeps that a
    // bounded share of the time, so a walk costs time linear in its
    // instances; a batch is whatever the queue holds, so a fast agent fills
    // larger ones. One ms per 30 rows makes about half the batches of one
    // per 60 in a long walk, and rows still appear at least once a second.
    // Batches closer than 50 ms would be repainted faster than anyone reads
    // them; the last one is not held back (see OnWake).
    const CTreeMIBMenuListView* l = m_list;
    const int rows = l ? l->GetListCtrl().GetItemCount() : 0;
    return std::clamp(rows / 30, 50, 1000);
}

void CTreeMIBMenuView::Drain()
{
    if (!m_channel)
        return;
    // Only what is shown next is taken: the worker waits while the queue
    // is full, so a fast agent cannot run ahead of the panes.
    if (m_backlog.Empty()) {
        bool ended = false;
        WalkEnd end;
        m_backlog = m_channel->Take(&ended, &end);
        if (ended) {
            m_endPending = true;
            m_end = end;
        }
    }
    // A slice at a time, so the window keeps answering during long walks.
    QElapsedTimer spent;
    spent.start();
    while (!m_backlog.Empty() && spent.elapsed() < 40)
        AddRows(std::min<size_t>(256, m_backlog.Size()));
    if (!m_backlog.Empty() || (!m_endPending && m_channel->Pending() > 0)) {
        // A slice cut short by its time budget goes on at once when the
        // walk is over; otherwise the batches keep their spacing.
        m_drainTimer->start(m_endPending || m_channel->Ended() ? 0 : DrainInterval());
        return;
    }
    m_backlog.Clear();
    if (m_endPending)
        FinishWalk(m_end);
}

QTreeWidgetItem* CTreeMIBMenuView::Attach(QTreeWidgetItem* parent, QTreeWidgetItem* item)
{
    if (parent) {
        parent->addChild(item);
        if (!parent->isExpanded())
            parent->setExpanded(true);
    } else {
        m_tree->addTopLevelItem(item);
    }
    return item;
}

void CTreeMIBMenuView::AddRows(size_t count)
{
    std::vector<int> keys;
    keys.reserve(count);
    // Consecutive leaves of one object go in with one insertion: the tree
    // pane then lays out and signals once per object and slice, not once
    // per instance. Pending leaves go in before any new object item, so
    // the order of the children stays that of the walk.
    QTreeWidgetItem* leafParent = nullptr;
    QList<QTreeWidgetItem*> leaves;
    auto flush = [&] {
        if (leaves.isEmpty())
            return;
        if (leafParent) {
            leafParent->addChildren(leaves);
        } else {
            m_tree->addTopLevelItems(leaves);
        }
        leaves.clear();
    };
    for (size_t i = 0; i < count; ++i) {
        InstanceRow row = m_backlog.Next();
        // The same objects as the row before: the same items, in place.
        QTreeWidgetItem* current = row.sameObjects ? m_lastObject : nullptr;
        for (const ObjectStep& step : row.objects) {
            QTreeWidgetItem*& item = m_objectItems[step.key];
            if (!item) {
                flush();
                item = Attach(current, new QTreeWidgetItem(QStringList(step.text)));
            } else if (current && !current->isExpanded()) {
                current->setExpanded(true);
            }
            current = item;
        }
        m_lastObject = current;
        const int key = m_store->Add(row);
        keys.push_back(key);
        if (row.ends[0] > 0) {
            if (current != leafParent)
                flush();
            leafParent = current;
            leaves.push_back(new LeafItem(m_store, key));
        }
    }
    flush();
    if (CTreeMIBMenuListView* l = GetListView())
        l->GetListCtrl().AddKeyedRows(keys.data(), int(keys.size()));
}

void CTreeMIBMenuView::FinishWalk(const WalkEnd& end)
{
    m_endPending = false;
    m_channel.reset();
    if (m_worker.joinable())
        m_worker.join();  // it has handed over its end: nothing is left to do
    m_walking = false;
    if (end.message) {
        const std::string first = end.text.empty() ? platform::TrText(std::string(CSnmpBerList::ErrMsg(end.result))) : end.text;
        const std::string text = first + "\n" + end.oid;
        QPointer<CTreeMIBMenuView> self(this);
        platform::MessageBox(text, platform::MB_OK | platform::MB_ICONWARNING);
        if (!self || m_shutDown)
            return;  // the window went while the message was up
    }
    if (QWidget* frame = GetParentFrame())
        widgets::SendCommand(frame, kCmdStop);
}

void CTreeMIBMenuView::OnSelectionChanged()
{
    const QList<QTreeWidgetItem*> sel = m_tree->selectedItems();
    CTreeMIBMenuListView* l = GetListView();
    if (sel.isEmpty() || !l)
        return;
    QTreeWidgetItem* item = sel.first();
    QString path = ItemName(item);
    for (QTreeWidgetItem* p = item->parent(); p; p = p->parent())
        path = ItemName(p) + u'.' + path;
    const bool branch = item->childCount() > 0;
    if (branch)
        path += u'.';

    CListCtrlEx& list = l->GetListCtrl();
    QAbstractItemModel* model = list.model();
    // Runs of consecutive rows become one range each.
    QItemSelection select, deselect;
    auto add = [model](QItemSelection& sel, int& start, int end) {
        if (start >= 0)
            sel.append(QItemSelectionRange(model->index(start, 0), model->index(end, 0)));
        start = -1;
    };
    int first = -1, selStart = -1, deselStart = -1;
    const int rows = list.GetItemCount();
    for (int r = 0; r < rows; ++r) {
        const QString text = list.topLevelItem(r)->text(0);
        const bool contains = text.contains(path);
        const bool on = contains && (branch || text == path);
        if (contains && first < 0)
            first = r;
        if (on) {
            if (selStart < 0)
                selStart = r;
        } else {
            add(select, selStart, r - 1);
        }
        if (!contains) {
            if (deselStart < 0)
                deselStart = r;
        } else {
            add(deselect, deselStart, r - 1);
        }
    }
    add(select, selStart, rows - 1);
    add(deselect, deselStart, rows - 1);
    QItemSelectionModel* sm = list.selectionModel();
    sm->select(deselect, QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
    sm->select(select, QItemSelectionModel::Select | QItemSelectionModel::Rows);
    if (first >= 0)
        list.scrollToItem(list.topLevelItem(first), QAbstractItemView::PositionAtTop);
}

void CTreeMIBMenuView::CopyOid(bool names)
{
    const QList<QTreeWidgetItem*> sel = m_tree->selectedItems();
    if (sel.isEmpty()) {
        platform::MessageBox(QT_TRANSLATE_NOOP("Quillon", "コピーするアイテムを選択してください。"), platform::MB_OK | platform::MB_ICONWARNING);
        return;
    }
    const QString t = sel.first()->text(0);
    const qsizetype open = t.indexOf(u'(');
    const qsizetype close = open < 0 ? -1 : t.indexOf(u')', open + 1);
    std::string oid = open < 0 ? std::string() : t.mid(open + 1, close < 0 ? -1 : close - open - 1).toStdString();
    if (names) {
        std::string out;
        MIBTree::OidStr2Str(oid, out);
        oid = out;
    }
    platform::SetClipboardText(oid);
}

void CTreeMIBMenuView::ShowSearch()
{
    if (!m_search) {
        m_search = new CSearchMIBTreeDlg(this);
        m_search->setTreeCtrl(m_tree);
    }
    m_search->show();
    m_search->raise();
    m_search->activateWindow();
}

void CTreeMIBMenuView::Shutdown()
{
    if (m_shutDown)
        return;
    m_shutDown = true;
    ++m_serial;
    m_drainTimer->stop();
    StopAndWait(false);
    m_channel.reset();
    m_backlog.Clear();
    m_walking = false;
    if (m_iniPath.empty())
        return;
    platform::CreateDirectoryPath(m_iniPath.substr(0, m_iniPath.find_last_of('/')));
    platform::WritePrivateProfileString("option", "preword", m_preword, m_iniPath);
    if (CTreeMIBMenuListView* l = m_list) {
        const CListCtrlEx& list = l->GetListCtrl();
        for (int i = 0; i < list.GetColumnCount(); ++i)
            platform::WritePrivateProfileString("list", ColumnKey(i), std::to_string(list.GetColumnWidth(i)),
                                                m_iniPath);
    }
}

void CTreeMIBMenuView::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu* menu = platform::LoadPopupMenu("IDR_MIBTREE_MENU", 0, this);
    if (!menu)
        return;
    platform::TrackPopupMenu(menu, event->globalPos(), this, true);
    delete menu;
    event->accept();
}

bool CTreeMIBMenuView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_tree && IsTabKey(event)) {
        FocusTextBox(this);
        return true;
    }
    return platform::View::eventFilter(watched, event);
}
