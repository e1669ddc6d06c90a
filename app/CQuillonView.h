#pragma once
// The launcher: the document CQuillonDoc, its frame CChildFrame (titled
// "メニュー一覧", not closable by the operator) and the list view
// CQuillonView that shows the plug-in descriptors of type 1 with icon, name
// and explanation. Double-clicking an entry opens that plug-in's window or
// brings the open one to the front.

#include "mibcore/platform/ChildFrame.h"
#include "mibcore/platform/DocView.h"

#include <string>

class MIB;
class QListWidget;
class QListWidgetItem;
class QStackedWidget;
class QTreeWidget;

namespace platform {
class MultiDocTemplate;
}

class CQuillonDoc : public platform::Document {
    Q_OBJECT
public:
    Q_INVOKABLE CQuillonDoc();
};

class CChildFrame : public platform::ChildFrame {
    Q_OBJECT
public:
    Q_INVOKABLE explicit CChildFrame(QWidget* parent = nullptr);
    bool OnCreate() override;
};

class CQuillonView : public platform::View {
    Q_OBJECT
public:
    Q_INVOKABLE explicit CQuillonView(QWidget* parent = nullptr);

    void OnUpdate(platform::View* sender, long hint, QObject* hintObj) override;

    // Rebuilds the list from the registry.
    void RebuildList();

    // Opens the window of the descriptor named so, or activates the open
    // one. Returns the frame shown, or null.
    platform::ChildFrame* OpenMIB(const std::string& name);
    // What a double-click on the list does: the first selected entry.
    void OnDblclk();

    // Display modes of the list: large icons (the launcher's), small icons,
    // a plain list, or details with the columns "サービス" and "説明".
    enum Mode { LargeIcon, SmallIcon, List, Details };
    void SetMode(Mode m);
    Mode GetMode() const { return m_mode; }

    QListWidget* ListCtrl() const { return m_list; }
    QTreeWidget* DetailsCtrl() const { return m_details; }

    // The open frame that shows a view of the descriptor, or null.
    static platform::ChildFrame* FindOpenFrame(MIB* mib);

private:
    QStackedWidget* m_stack;
    QListWidget* m_list;
    QTreeWidget* m_details;
    Mode m_mode = LargeIcon;
};
