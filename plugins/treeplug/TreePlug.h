#pragma once
// "MIBツリー": walks the agent below a start object on a worker thread and
// shows every instance as a tree that follows the loaded MIB modules (left
// pane) and as a four-column list (right pane).

#include <QDialog>
#include <QHash>
#include <QPointer>
#include <QString>

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "mibcore/engine/MIBBasicItem.h"
#include "mibcore/platform/ChildFrame.h"
#include "mibcore/platform/DocView.h"
#include "mibcore/widgets/CListViewEx.h"
#include "mibcore/widgets/CSearchMIBTreeDlg.h"
#include "plugins/treeplug/TreeWalk.h"

class CLoopBar;
class CMIBOleDropTarget;
class QLineEdit;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;

namespace treeplug {
// Commands and hints of the window.
enum : int {
    kCmdStart = 1026,       // also update hint: walk from the text box
    kCmdStop = 1027,
    kCmdRadar = 1028,
    kHintStop = 1029,
    kHintDropPath = 1032,
    kCmdFocusEdit = 1033,
    kCmdOption = 33002,
    kEditId = 33001,
    kCmdSaveFile = 32775,
    kStatusItems = 1128,
    kOptEditId = 10001,
};
}  // namespace treeplug

// The document: the window's data lives in its panes.
class CTreeMIBMenuDoc : public platform::Document {
    Q_OBJECT
public:
    Q_INVOKABLE CTreeMIBMenuDoc();
};

// The list pane: instance name, value, type, numeric OID, in arrival order.
class CTreeMIBMenuListView : public CListViewEx {
    Q_OBJECT
public:
    Q_INVOKABLE explicit CTreeMIBMenuListView(QWidget* parent = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

// The tree pane; it owns the walk (request context, worker thread).
class CTreeMIBMenuView : public platform::View, public MIBBasicItem {
    Q_OBJECT
public:
    Q_INVOKABLE explicit CTreeMIBMenuView(QWidget* parent = nullptr);
    ~CTreeMIBMenuView() override;

    void OnInitialUpdate() override;
    void OnUpdate(platform::View* sender, long hint, QObject* hintObj) override;

    QTreeWidget* GetTreeCtrl() const { return m_tree; }
    CTreeMIBMenuListView* GetListView() const;

    const std::string& getPreword() const { return m_preword; }
    void setPreword(const std::string& p) { m_preword = p; }

    // Starts a walk from a start object's text (names and/or numbers, no
    // prefix), after the previous walk has ended.
    void StartWalk(const std::string& rootText);
    // True from the start of a walk until its last row is shown and the
    // window has been told that it ended.
    bool IsWalking() const { return m_walking; }
    const std::vector<unsigned long>& getRoot() const { return m_root; }
    // Rows received and not shown yet (queued and in hand).
    size_t QueuedRows() const;
    // Texts of the rows shown.
    const treeplug::RowStore& rowStore() const { return *m_store; }
    const std::string& getRootText() const { return m_rootText; }

    // 7007 (names false) and 7008 (names true).
    void CopyOid(bool names);
    // 7006: the modeless search dialog bound to the tree.
    void ShowSearch();
    CSearchMIBTreeDlg* searchDialog() const { return m_search; }
    CMIBOleDropTarget* dropTarget() const { return m_drop; }

    // Stops and waits for the walk, then writes the prefix and the list's
    // column widths; only the first call does anything.
    void Shutdown();

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnWake(unsigned serial);
    void Drain();
    int DrainInterval() const;
    void AddRows(size_t count);
    void FinishWalk(const treeplug::WalkEnd& end);
    void StopAndWait(bool serve);
    void OnSelectionChanged();
    QTreeWidgetItem* Attach(QTreeWidgetItem* parent, QTreeWidgetItem* item);

    QTreeWidget* m_tree;
    CMIBOleDropTarget* m_drop;
    QPointer<CSearchMIBTreeDlg> m_search;
    QPointer<CTreeMIBMenuListView> m_list;
    QTimer* m_drainTimer;

    std::string m_preword = "iso.org.dod.internet";
    std::string m_rootText;
    std::vector<std::string> m_tokens;
    std::vector<unsigned long> m_root;

    std::thread m_worker;
    std::atomic<bool> m_workerDone{true};
    std::shared_ptr<treeplug::WalkChannel> m_channel;
    unsigned m_serial = 0;
    treeplug::RowChunks m_backlog;
    bool m_endPending = false;
    treeplug::WalkEnd m_end;
    bool m_walking = false;
    // Object items by numeric OID: reusing one costs no search of its
    // siblings, so a walk's cost stays linear in its instances.
    QHash<QString, QTreeWidgetItem*> m_objectItems;
    // The deepest object item of the row shown last (null: none).
    QTreeWidgetItem* m_lastObject = nullptr;
    // Texts of the list rows and instance leaves, shared with the list
    // pane's keyed-text function (the panes may go in either order).
    std::shared_ptr<treeplug::RowStore> m_store = std::make_shared<treeplug::RowStore>();

    std::string m_iniPath;
    bool m_shutDown = false;
};

// The frame: loop bar, tree and list side by side, item count.
class CTreeMIBMenuFrame : public platform::ChildFrame {
    Q_OBJECT
public:
    Q_INVOKABLE explicit CTreeMIBMenuFrame(QWidget* parent = nullptr);
    ~CTreeMIBMenuFrame() override;

    bool OnCreate() override;
    bool OnCreateClient(platform::CreateContext& ctx) override;

    CLoopBar* loopBar() const { return m_bar; }
    QLineEdit* textBox() const;
    CTreeMIBMenuView* treeView() const;
    CTreeMIBMenuListView* listView() const;

    // 33002 and 32775.
    void ShowOptions();
    bool ExportCsv();
    // Writes frame, treeview and listview once.
    void SaveWindowSettings();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void SizePanes();
    CLoopBar* m_bar = nullptr;
    std::string m_iniPath;
    bool m_saved = false;
    bool m_panesSized = false;
    int m_treeWidth = -1;  // stored pane widths, -1 when none
    int m_listWidth = -1;
};

// "MIBツリーオプション": the prefix put before a typed start object.
class CMIBOptDlg : public QDialog {
    Q_OBJECT
public:
    explicit CMIBOptDlg(QWidget* parent = nullptr);
    void setPreword(const std::string& text);
    std::string getPreword() const;
    QLineEdit* edit() const { return m_edit; }

private:
    QLineEdit* m_edit;
};
