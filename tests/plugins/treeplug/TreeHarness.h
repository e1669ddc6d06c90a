#pragma once
// The MIB tree browser as the program opens it: the plug-in library from
// build/lib (linked, so its entry is registered), a main frame hosting the
// window, the OID tree from etc/mib/mib-2.mib, a fresh start directory per
// test, and message boxes recorded instead of shown.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QTreeWidget>

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "mibcore/agent/MIBAgent.h"
#include "mibcore/mibtree/MIBTree.h"
#include "mibcore/platform/DocTemplate.h"
#include "mibcore/platform/MainFrame.h"
#include "mibcore/registry/MIB.h"
#include "mibcore/widgets/CLoopBar.h"
#include "mibcore/widgets/WidgetResources.h"
#include "plugins/treeplug/TreePlug.h"
#include "tests/support/Harness.h"
#include "tests/support/PluginWindows.h"
#include "tests/support/QtTestApp.h"

namespace treetest {

using Row = std::array<std::string, 4>;

struct Window {
    CTreeMIBMenuDoc* doc = nullptr;
    CTreeMIBMenuFrame* frame = nullptr;
    CTreeMIBMenuView* tree = nullptr;
    CTreeMIBMenuListView* list = nullptr;
    explicit operator bool() const { return doc && frame && tree && list; }
};

// Runs the event loop until pred holds or ms passed.
inline bool SpinUntil(const std::function<bool()>& pred, int ms = 20000) { return harness::SpinUntil(pred, ms); }

using harness::ReadFile;

class TreeTest : public harness::PluginWindowTest {
protected:
    TreeTest() : PluginWindowTest(1100, 760) {}

    void SetUp() override
    {
        harness::EnsureApp();
        if (!MIBTree::gettop())
            MIBTree::Initialize();  // etc/mib/mib-2.mib below the build directory
        PluginWindowTest::SetUp();
    }

    std::vector<std::string> Messages() const { return m_messages.Texts(); }
    void ClearMessages() { m_messages.Clear(); }

    static void UseAgent(const std::string& address, int family = 2, int budget = 3, int recvErrCnt = 3,
                         long usec = 500000)
    {
        harness::UseAgent(address, family, budget, recvErrCnt, usec);
    }

    std::string IniPath() const { return m_startDir.path().toStdString() + "/etc/ini/mibtree.ini"; }

    // Opens "MIBツリー" as the launcher does: template, document, title,
    // command 1028, hint 1026 (a walk from the empty text box, which ends
    // at once).
    Window Open()
    {
        Window w;
        platform::Document* doc = harness::OpenEntryDocument("MIBツリー");
        if (!doc)
            return w;
        w.doc = qobject_cast<CTreeMIBMenuDoc*>(doc);
        w.frame = qobject_cast<CTreeMIBMenuFrame*>(platform::App::GetMainFrame()->MDIGetActive());
        if (!w.frame)
            return w;
        w.frame->SetTitle("MIBツリー");
        w.frame->SendCommand(treeplug::kCmdRadar);
        doc->UpdateAllViews(nullptr, treeplug::kCmdStart);
        w.tree = w.frame->treeView();
        w.list = w.frame->listView();
        EXPECT_TRUE(SpinUntil([&] { return !w.tree->IsWalking(); }));
        return w;
    }

    // Types text into the tool bar's box and presses the start button; with
    // wait, returns once the walk has ended and everything is shown.
    static bool Walk(Window& w, const std::string& box, bool wait = true, int ms = 60000)
    {
        w.frame->textBox()->setText(QString::fromStdString(box));
        widgets::SendCommand(w.frame, treeplug::kCmdStart);
        return !wait || SpinUntil([&] { return !w.tree->IsWalking(); }, ms);
    }

    static std::vector<Row> Rows(const Window& w)
    {
        std::vector<Row> rows;
        const CListCtrlEx& list = w.list->GetListCtrl();
        for (int r = 0; r < list.GetItemCount(); ++r)
            rows.push_back({list.GetItemText(r, 0).toStdString(), list.GetItemText(r, 1).toStdString(),
                            list.GetItemText(r, 2).toStdString(), list.GetItemText(r, 3).toStdString()});
        return rows;
    }

    static bool RadarRunning(const Window& w) { return w.frame->loopBar()->getRepeat() != 0; }

private:
    harness::MessageLog m_messages;
};

}  // namespace treetest
