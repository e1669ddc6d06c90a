#pragma once
// The modeless dialog "MIB定義": the whole OID tree loaded at start-up, with
// search, copying an object's identifier in numeric or name form, and
// dragging an object's name into windows that accept drops. Closing it only
// hides it; its placement is kept in etc/ini/mibtreedlg.ini.

#include <QDialog>
#include <QPointer>
#include <QTreeWidget>

#include <string>

#include "mibcore/widgets/CSearchMIBTreeDlg.h"
class MIBTree;

// The tree control: dragging an item offers its object name as plain text.
class CMIBTreeCtrl : public QTreeWidget {
    Q_OBJECT
public:
    explicit CMIBTreeCtrl(QWidget* parent = nullptr);
    // The text a drag of item offers: its label cut before the first "(".
    static QString DragText(const QTreeWidgetItem* item);

protected:
    void startDrag(Qt::DropActions actions) override;
};

class CMIBTreeDlg : public QDialog {
    Q_OBJECT
public:
    explicit CMIBTreeDlg(QWidget* parent = nullptr);
    ~CMIBTreeDlg() override;

    static std::string PlacementPath();
    void SavePlacement();

    // Commands of the context menu "IDR_MIBTREE_MENU".
    void OnSearch();       // 7006
    void OnCopyNumeric();  // 7007
    void OnCopyName();     // 7008

    // The dotted name path of the selected item ("" without a selection).
    std::string SelectedNamePath() const;

    QTreeWidget* TreeCtrl() const { return m_tree; }
    CSearchMIBTreeDlg* SearchDlg() const { return m_search; }

    // Item label of a node: name(val).
    static QString ItemText(const MIBTree* node);

protected:
    void contextMenuEvent(QContextMenuEvent* e) override;
    void hideEvent(QHideEvent* e) override;

private:
    void FillTree(MIBTree* node, QTreeWidgetItem* parent);
    bool CheckSelection();

    CMIBTreeCtrl* m_tree;
    QPointer<CSearchMIBTreeDlg> m_search;
    bool m_placementLoaded = false;
};
