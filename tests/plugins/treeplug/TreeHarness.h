#pragma once
// The MIB tree browser as the program opens it: the plug-in library from
// build/lib (linked, so its entry is registered), a main frame hosting the
// window, the OID tree from etc/mib/mib-2.mib, a fresh start directory per
// test, and message boxes recorded instead of shown.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <array>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "mibcore/agent/AppConstants.h"
#include "mibcore/agent/MIBAgent.h"
#include "mibcore/mibtree/MIBTree.h"
#include "mibcore/platform/DocTemplate.h"
#include "mibcore/platform/MainFrame.h"
#include "mibcore/platform/MessageBox.h"
#include "mibcore/registry/MIB.h"
#include "mibcore/widgets/CLoopBar.h"
#include "mibcore/widgets/WidgetResources.h"
#include "plugins/treeplug/TreePlug.h"
#include "tests/support/Harness.h"
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
inline bool SpinUntil(const std::function<bool()>& pred, int ms = 20000)
{
    QDeadlineTimer deadline(ms);
    while (!pred()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

class TreeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        harness::EnsureApp();
        if (!MIBTree::gettop())
            MIBTree::Initialize();  // etc/mib/mib-2.mib below the build directory
        ASSERT_TRUE(m_startDir.isValid());
        AppConstants::getInstance()->setStartDir(m_startDir.path().toStdString());
        QDir().mkpath(m_startDir.path() + "/etc/ini");
        if (!platform::App::GetMainFrame()) {
            auto* main = new platform::MainFrame();
            main->resize(1100, 760);
            platform::App::SetMainFrame(main);
            main->show();
        }
        MIBAgent::copyNow2OldInstance();
        m_oldHook = platform::SetMessageHook([this](const platform::MessageRequest& m) {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_messages.push_back(m.text);
            return platform::IDOK;
        });
    }
    void TearDown() override
    {
        platform::App::CloseAllDocuments();
        platform::SetMessageHook(m_oldHook);
        MIBAgent::copyOld2NowInstance();
    }

    std::vector<std::string> Messages()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_messages;
    }

    static void UseAgent(const std::string& address, int family = 2, int budget = 3, int recvErrCnt = 3,
                         long usec = 500000)
    {
        MIBAgent* a = MIBAgent::getInstance();
        a->setAddr(address);
        a->setNetworkLayerType(family);
        a->setReadCommunity(harness::kReadCommunity);
        a->setSendErrCnt(budget);
        a->setRecvErrCnt(recvErrCnt);
        a->setTvSec(usec / 1000000);
        a->setTvUSec(usec % 1000000);
    }

    std::string IniPath() const { return m_startDir.path().toStdString() + "/etc/ini/mibtree.ini"; }

    // Opens "MIBツリー" as the launcher does: template, document, title,
    // command 1028, hint 1026 (a walk from the empty text box, which ends
    // at once).
    Window Open()
    {
        Window w;
        MIB* mib = MIB::Find("MIBツリー");
        EXPECT_NE(mib, nullptr);
        if (!mib)
            return w;
        platform::MultiDocTemplate* tmpl = mib->getViewDocTemplate(mib->getwview());
        if (!tmpl) {
            tmpl = new platform::MultiDocTemplate(mib->getMenuType(), mib->getDocumentClass(), mib->getFrameClass(),
                                                  mib->getViewClass());
            mib->setViewDocTemplate(mib->getwview(), tmpl);
            platform::App::AddDocTemplate(tmpl);
        }
        platform::Document* doc = tmpl->OpenDocumentFile();
        EXPECT_NE(doc, nullptr);
        if (!doc)
            return w;
        w.doc = qobject_cast<CTreeMIBMenuDoc*>(doc);
        w.frame = qobject_cast<CTreeMIBMenuFrame*>(platform::App::GetMainFrame()->MDIGetActive());
        if (!w.frame)
            return w;
        w.frame->SetTitle(mib->getname());
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

    static std::string ReadFile(const std::string& path)
    {
        QFile f(QString::fromStdString(path));
        return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string();
    }

    QTemporaryDir m_startDir;

private:
    platform::MessageHook m_oldHook;
    std::mutex m_mutex;
    std::vector<std::string> m_messages;
};

}  // namespace treetest
