#include "mibcore/widgets/CSearchMIBTreeDlg.h"

#include <QGuiApplication>
#include <QScreen>

#include "mibcore/platform/Language.h"
#include "mibcore/platform/MessageBox.h"
#include "mibcore/widgets/WidgetResources.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <utility>
#include <vector>

const char* const CSearchMIBTreeDlg::kNotFoundQuestion =
    QT_TRANSLATE_NOOP("Quillon", "見つかりませんでした。先頭から探しますか？");

CSearchMIBTreeDlg::CSearchMIBTreeDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName("IDD_SEARCH_MIBTREE_DIALOG");
    setWindowTitle(Quillon::tr("検索ダイアログ"));
    setModal(false);

    auto* group = new QGroupBox(Quillon::tr("検索する文字列"), this);
    m_edit = new QLineEdit(group);
    m_edit->setMinimumWidth(220);
    widgets::SetCtrlId(m_edit, IDC_SEARCH_TEXT);
    (new QVBoxLayout(group))->addWidget(m_edit);

    m_next = new QPushButton(Quillon::tr("次を検索"), this);
    widgets::SetCtrlId(m_next, IDC_SEARCH_NEXT);
    m_next->setDefault(true);
    m_close = new QPushButton(Quillon::tr("閉じる"), this);
    widgets::SetCtrlId(m_close, 1);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(m_next);
    buttons->addWidget(m_close);
    buttons->addStretch();
    auto* top = new QHBoxLayout(this);
    top->addWidget(group, 1);
    top->addLayout(buttons);
    top->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_next, &QPushButton::clicked, this, &CSearchMIBTreeDlg::OnClickSearchButton);
    // Closing a modeless dialog only hides it; it keeps its text and place.
    connect(m_close, &QPushButton::clicked, this, &QDialog::hide);
}

CSearchMIBTreeDlg::~CSearchMIBTreeDlg() = default;

void CSearchMIBTreeDlg::setTreeCtrl(QTreeWidget* tree)
{
    if (tree != m_tree) {
        m_found = nullptr;
        m_foundIndex = QPersistentModelIndex();
    }
    m_tree = tree;
}

void CSearchMIBTreeDlg::OnClickSearchButton()
{
    bool restart = false;
    if (searchItem(nullptr, &restart))
        return;
    while (restart && m_tree) {
        restart = false;
        if (searchItem(m_tree->topLevelItem(0), &restart))
            return;
    }
}

QTreeWidgetItem* CSearchMIBTreeDlg::searchItem(QTreeWidgetItem* item, const QString& text)
{
    if (!item || !m_tree || text.isEmpty())
        return nullptr;
    QTreeWidgetItem* parent = item->parent();
    const int count = parent ? parent->childCount() : m_tree->topLevelItemCount();
    int first = parent ? parent->indexOfChild(item) : m_tree->indexOfTopLevelItem(item);
    if (first < 0)
        return nullptr;
    // Pre-order over the item's subtree and each following sibling's, by
    // index so that wide levels (thousands of instances) stay linear.
    std::vector<std::pair<QTreeWidgetItem*, int>> stack;
    for (int i = first; i < count; ++i) {
        QTreeWidgetItem* root = parent ? parent->child(i) : m_tree->topLevelItem(i);
        stack.clear();
        stack.emplace_back(root, -1);
        while (!stack.empty()) {
            auto& [node, next] = stack.back();
            if (next < 0) {
                if (node != m_found && node->text(0).contains(text, Qt::CaseSensitive))
                    return node;
                next = 0;
            }
            if (next < node->childCount()) {
                QTreeWidgetItem* child = node->child(next++);
                stack.emplace_back(child, -1);
            } else {
                stack.pop_back();
            }
        }
    }
    return nullptr;
}

bool CSearchMIBTreeDlg::searchItem(QTreeWidgetItem* start, bool* restart)
{
    if (restart)
        *restart = false;
    const QString text = m_edit->text();
    if (text.isEmpty() || !m_tree)
        return false;

    // Forget an item found last that has left the tree since.
    m_found = getFoundItem();

    if (start && start->treeWidget() != m_tree)
        start = nullptr;
    if (!start)
        start = m_tree->currentItem();
    if (!start)
        start = m_tree->topLevelItem(0);

    QTreeWidgetItem* found = searchItem(start, text);
    while (!found && start && start->parent()) {
        QTreeWidgetItem* parent = start->parent();
        QTreeWidgetItem* grand = parent->parent();
        const int at = grand ? grand->indexOfChild(parent) : m_tree->indexOfTopLevelItem(parent);
        QTreeWidgetItem* next = grand ? grand->child(at + 1) : m_tree->topLevelItem(at + 1);
        if (next)
            found = searchItem(next, text);
        start = parent;
    }

    if (found) {
        for (QTreeWidgetItem* p = found->parent(); p; p = p->parent())
            p->setExpanded(true);
        m_tree->scrollToItem(found);
        m_tree->setCurrentItem(found);
        m_tree->setFocus(Qt::OtherFocusReason);
        m_found = found;
        m_foundIndex = QPersistentModelIndex(m_tree->indexFromItem(found));
        return true;
    }

    m_found = nullptr;
    m_foundIndex = QPersistentModelIndex();
    const int answer = platform::MessageBox(kNotFoundQuestion, platform::MB_YESNO);
    if (restart)
        *restart = answer == platform::IDYES;
    return false;
}

QTreeWidgetItem* CSearchMIBTreeDlg::getFoundItem() const
{
    // The address alone may name a deleted item (or a new one at the same
    // address): only the model knows whether it is still there.
    if (!m_found || !m_tree || !m_foundIndex.isValid() || m_tree->itemFromIndex(m_foundIndex) != m_found)
        return nullptr;
    return m_found;
}

void CSearchMIBTreeDlg::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (!m_placed && m_tree) {
        m_placed = true;
        placeBesideTree();
    }
}

void CSearchMIBTreeDlg::placeBesideTree()
{
    // Beside the tree's window, so the item a search selects stays in view:
    // right of it, else left of it, else below it, else in the work area's
    // bottom right corner.
    QWidget* owner = m_tree->window();
    QScreen* screen = owner->screen() ? owner->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect work = screen->availableGeometry();
    const QRect tree = owner->frameGeometry();
    const QSize deco = frameGeometry().size() - size();
    const QSize me = size() + deco;
    const int gap = 4;
    const QRect tries[] = {
        QRect(QPoint(tree.right() + 1 + gap, tree.top()), me),
        QRect(QPoint(tree.left() - gap - me.width(), tree.top()), me),
        QRect(QPoint(tree.left(), tree.bottom() + 1 + gap), me),
    };
    QRect chosen(QPoint(work.right() + 1 - me.width(), work.bottom() + 1 - me.height()), me);
    for (QRect r : tries) {
        if (r.bottom() > work.bottom())
            r.moveBottom(work.bottom());
        if (r.right() > work.right())
            r.moveRight(work.right());
        if (work.contains(r) && !r.intersects(tree)) {
            chosen = r;
            break;
        }
    }
    move(chosen.topLeft());
}
