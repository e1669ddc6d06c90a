#pragma once
// The tree search dialog "検索ダイアログ" ("IDD_SEARCH_MIBTREE_DIALOG"),
// modeless, bound to one tree control: "次を検索" finds the next item whose
// label contains the text, in pre-order from the selection, and offers to
// start again from the top when it reaches the end.

#include <QDialog>
#include <QPersistentModelIndex>
#include <QPointer>
#include <QString>
#include <QTreeWidget>

class QLineEdit;
class QPushButton;

class QTreeWidgetItem;

enum : int {
    IDC_SEARCH_TEXT = 7004,
    IDC_SEARCH_NEXT = 7005,
};

class CSearchMIBTreeDlg : public QDialog {
    Q_OBJECT
public:
    explicit CSearchMIBTreeDlg(QWidget* parent = nullptr);
    ~CSearchMIBTreeDlg() override;

    void setTreeCtrl(QTreeWidget* tree);
    QTreeWidget* getTreeCtrl() const { return m_tree; }

    // Button 7005.
    void OnClickSearchButton();

    // One search from start (null: the selected item, else the first
    // top-level item). True when an item was found and selected; false
    // when the text is empty or nothing was found (then the question
    // whether to start from the top is asked; *restart tells the answer).
    bool searchItem(QTreeWidgetItem* start = nullptr, bool* restart = nullptr);
    // The first match in the subtree of item and in its following siblings
    // with their subtrees, pre-order; the item found last is skipped.
    QTreeWidgetItem* searchItem(QTreeWidgetItem* item, const QString& text);

    // The item found last while it is still in the tree, else null.
    QTreeWidgetItem* getFoundItem() const;
    QLineEdit* textEdit() const { return m_edit; }
    QPushButton* searchButton() const { return m_next; }

    static const char* const kNotFoundQuestion;

protected:
    void showEvent(QShowEvent* e) override;

private:
    // First showing: beside the tree's window, never over the tree.
    void placeBesideTree();

    bool m_placed = false;
    QPointer<QTreeWidget> m_tree;
    // The item found last, also tracked through the model so that an item
    // deleted meanwhile (the tree browser refills its tree on every walk) is
    // forgotten instead of compared by a stale address.
    QTreeWidgetItem* m_found = nullptr;
    QPersistentModelIndex m_foundIndex;
    QLineEdit* m_edit;
    QPushButton* m_next;
    QPushButton* m_close;
};
