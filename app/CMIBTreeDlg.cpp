#include "app/CMIBTreeDlg.h"

#include "app/AppIds.h"
#include "mibcore/agent/AppConstants.h"
#include "mibcore/mibtree/MIBTree.h"
#include "mibcore/platform/Desktop.h"
#include "mibcore/platform/Language.h"
#include "mibcore/platform/MessageBox.h"
#include "mibcore/platform/Placement.h"
#include "mibcore/platform/Profile.h"
#include "mibcore/platform/Resources.h"
#include "mibcore/widgets/CSearchMIBTreeDlg.h"
#include "mibcore/widgets/WidgetResources.h"

#include <QContextMenuEvent>
#include <QDrag>
#include <QMenu>
#include <QMimeData>
#include <QPixmap>
#include <QVBoxLayout>

namespace {

const char* const kSelectItem = QT_TRANSLATE_NOOP("Quillon", "コピーするアイテムを選択してください。");

QString CutAtParen(const QString& label)
{
    int p = label.indexOf('(');
    return p < 0 ? label : label.left(p);
}

}  // namespace

// ---------------------------------------------------------------- CMIBTreeCtrl

CMIBTreeCtrl::CMIBTreeCtrl(QWidget* parent) : QTreeWidget(parent)
{
    setHeaderHidden(true);
    setRootIsDecorated(true);
    setDragEnabled(true);
    setDragDropMode(QAbstractItemView::DragOnly);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformRowHeights(true);
}

QString CMIBTreeCtrl::DragText(const QTreeWidgetItem* item)
{
    return item ? CutAtParen(item->text(0)) : QString();
}

void CMIBTreeCtrl::startDrag(Qt::DropActions)
{
    QTreeWidgetItem* item = currentItem();
    if (!item)
        return;
    setCurrentItem(item);
    auto* data = new QMimeData;
    data->setText(DragText(item));
    auto* drag = new QDrag(this);
    drag->setMimeData(data);
    drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::CopyAction);
}

// ---------------------------------------------------------------- CMIBTreeDlg

CMIBTreeDlg::CMIBTreeDlg(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(Quillon::tr("MIB定義"));
    setObjectName("IDD_MIBTREE_DIALOG");
    setModal(false);
    setSizeGripEnabled(true);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto* lay = new QVBoxLayout(this);
    lay->setContentsMargins(8, 8, 8, 8);
    m_tree = new CMIBTreeCtrl(this);
    widgets::SetCtrlId(m_tree, app::IDC_MIBTREE);
    lay->addWidget(m_tree);

    // Image list: a node with children, a leaf.
    QImage strip = platform::LoadImage(std::to_string(app::IDB_MIBTREE_IMAGES));
    QIcon branch, leaf;
    if (!strip.isNull() && strip.width() >= 32 && strip.height() >= 16) {
        branch = QIcon(QPixmap::fromImage(strip.copy(0, 0, 16, 16)));
        leaf = QIcon(QPixmap::fromImage(strip.copy(16, 0, 16, 16)));
    }
    m_tree->setIconSize(QSize(16, 16));

    resize(380, 520);
    m_placementLoaded = platform::LoadWindowPlacement(this, "window", "frame", PlacementPath());

    FillTree(MIBTree::gettop(), nullptr);
    if (!branch.isNull()) {
        // Icons after filling: one pass over the items.
        QTreeWidgetItemIterator it(m_tree);
        for (; *it; ++it)
            (*it)->setIcon(0, (*it)->childCount() ? branch : leaf);
    }
}

CMIBTreeDlg::~CMIBTreeDlg()
{
    SavePlacement();
}

std::string CMIBTreeDlg::PlacementPath()
{
    return AppConstants::getInstance()->getIniPath("mibtreedlg.ini");
}

void CMIBTreeDlg::SavePlacement()
{
    platform::CreateDirectoryPath(AppConstants::getInstance()->getIniDir() + "/");
    platform::SaveWindowPlacement(this, "window", "frame", PlacementPath());
}

void CMIBTreeDlg::hideEvent(QHideEvent* e)
{
    QDialog::hideEvent(e);
    // A search left open would search a tree nobody sees.
    if (m_search)
        m_search->hide();
    SavePlacement();
}

QString CMIBTreeDlg::ItemText(const MIBTree* node)
{
    return QString::fromStdString(node->getname()) + "(" + QString::number(node->getval()) + ")";
}

void CMIBTreeDlg::FillTree(MIBTree* node, QTreeWidgetItem* parent)
{
    // Brothers iteratively, children recursively: the depth is that of the
    // OID tree, not the number of brothers.
    for (; node; node = node->getnext()) {
        QTreeWidgetItem* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(m_tree);
        item->setText(0, ItemText(node));
        FillTree(node->getchild(), item);
    }
}

std::string CMIBTreeDlg::SelectedNamePath() const
{
    QList<QTreeWidgetItem*> sel = m_tree->selectedItems();
    QTreeWidgetItem* item = sel.isEmpty() ? nullptr : sel.first();
    if (!item)
        return {};
    QString path = CutAtParen(item->text(0));
    for (QTreeWidgetItem* p = item->parent(); p; p = p->parent())
        path = CutAtParen(p->text(0)) + "." + path;
    return path.toStdString();
}

bool CMIBTreeDlg::CheckSelection()
{
    if (m_tree->selectedItems().isEmpty()) {
        platform::MessageBox(kSelectItem);
        return false;
    }
    return true;
}

void CMIBTreeDlg::OnCopyNumeric()
{
    if (!CheckSelection())
        return;
    std::string numeric;
    MIBTree::Str2OidStr(SelectedNamePath(), numeric);
    platform::SetClipboardText(numeric);
}

void CMIBTreeDlg::OnCopyName()
{
    if (!CheckSelection())
        return;
    platform::SetClipboardText(SelectedNamePath());
}

void CMIBTreeDlg::OnSearch()
{
    if (!m_search) {
        m_search = qobject_cast<CSearchMIBTreeDlg*>(widgets::CreateDialogResource("IDD_SEARCH_MIBTREE_DIALOG", this));
        if (!m_search)
            return;
    }
    m_search->setTreeCtrl(m_tree);
    m_search->show();
    m_search->raise();
    m_search->activateWindow();
}

void CMIBTreeDlg::contextMenuEvent(QContextMenuEvent* e)
{
    QMenu* menu = platform::LoadPopupMenu("IDR_MIBTREE_MENU", 0, this);
    if (!menu) {
        menu = new QMenu(Quillon::tr("MIBツリー"), this);
        menu->addAction(Quillon::tr("検索"))->setData(widgets::ID_MIBTREE_SEARCH);
        menu->addAction(Quillon::tr("オブジェクト識別子(数値)をコピー"))->setData(widgets::ID_MIBTREE_COPY_NUMERIC);
        menu->addAction(Quillon::tr("オブジェクト識別子(文字)をコピー"))->setData(widgets::ID_MIBTREE_COPY_NAME);
    }
    const bool hasItems = m_tree->topLevelItemCount() > 0;
    for (QAction* a : menu->actions()) {
        int id = platform::CommandId(a);
        if (id == widgets::ID_MIBTREE_COPY_NUMERIC || id == widgets::ID_MIBTREE_COPY_NAME)
            a->setEnabled(hasItems);
    }
    QAction* chosen = menu->exec(e->globalPos());
    const int id = platform::CommandId(chosen);
    delete menu;
    switch (id) {
    case widgets::ID_MIBTREE_SEARCH: OnSearch(); break;
    case widgets::ID_MIBTREE_COPY_NUMERIC: OnCopyNumeric(); break;
    case widgets::ID_MIBTREE_COPY_NAME: OnCopyName(); break;
    default: break;
    }
}
