#pragma once
// The interface tables window as the program opens it: the plug-in is
// loaded from build/lib, a main frame hosts the windows, the window is
// opened from its registry entry like the launcher does, and message
// boxes and file choosers are answered by the test. Settings go to a fresh
// start directory per test.

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <optional>
#include <string>
#include <vector>

#include "mibcore/agent/AppConstants.h"
#include "mibcore/agent/MIBAgent.h"
#include "mibcore/platform/ChildFrame.h"
#include "mibcore/platform/DocTemplate.h"
#include "mibcore/platform/FileDialog.h"
#include "mibcore/platform/MainFrame.h"
#include "mibcore/platform/MessageBox.h"
#include "mibcore/registry/MIB.h"
#include "plugins/ifplug/IfPlug.h"
#include "tests/support/Harness.h"
#include "tests/support/QtTestApp.h"

namespace iftest {

inline bool LoadPlugin(std::string* error)
{
    static bool done = false;
    static std::string failure;
    if (!done) {
        done = true;
        std::string path = harness::BuildDir() + "/lib/ifplug.so";
        if (!dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)) {
            const char* e = dlerror();
            failure = path + ": " + (e ? e : "?");
        }
    }
    if (error)
        *error = failure;
    return failure.empty();
}

struct TablesWindow {
    ifplug::CIfMIBMenuFrame* frame = nullptr;
    ifplug::CIfMIBMenuView* view = nullptr;
    explicit operator bool() const { return frame && view; }
};

class IfWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        harness::EnsureApp();
        std::string error;
        ASSERT_TRUE(LoadPlugin(&error)) << error;
        ASSERT_TRUE(m_startDir.isValid());
        AppConstants::getInstance()->setStartDir(m_startDir.path().toStdString());
        QDir().mkpath(m_startDir.path() + "/etc/ini");
        if (!platform::App::GetMainFrame()) {
            auto* main = new platform::MainFrame();
            main->resize(1100, 750);
            platform::App::SetMainFrame(main);
            main->show();
        }
        MIBAgent::copyNow2OldInstance();
        m_prevMessage = platform::SetMessageHook([this](const platform::MessageRequest& r) {
            messages.push_back(r.text);
            return platform::IDOK;
        });
        m_prevFile = platform::SetFileHook([this](const platform::FileRequest&) { return fileAnswer; });
    }
    void TearDown() override
    {
        platform::App::CloseAllDocuments();
        platform::SetMessageHook(m_prevMessage);
        platform::SetFileHook(m_prevFile);
        MIBAgent::copyOld2NowInstance();
    }

    static void UseAgent(const std::string& address, int family = 2, int budget = 3, long usec = 500000)
    {
        MIBAgent* a = MIBAgent::getInstance();
        a->setAddr(address);
        a->setNetworkLayerType(family);
        a->setReadCommunity(harness::kReadCommunity);
        a->setSendErrCnt(budget);
        a->setRecvErrCnt(0);
        a->setTvSec(0);
        a->setTvUSec(usec);
    }

    // Opens the tables window as the launcher does; its walks have run
    // when this returns, unless wait is false.
    TablesWindow Open(bool wait = true)
    {
        TablesWindow w;
        MIB* mib = MIB::Find("インターフェース&経路情報");
        EXPECT_NE(mib, nullptr);
        if (!mib)
            return w;
        platform::MultiDocTemplate* tmpl = mib->getViewDocTemplate(mib->getwview());
        if (!tmpl) {
            tmpl = new platform::MultiDocTemplate(129, mib->getDocumentClass(), mib->getFrameClass(),
                                                  mib->getViewClass());
            mib->setViewDocTemplate(mib->getwview(), tmpl);
            platform::App::AddDocTemplate(tmpl);
        }
        platform::Document* doc = tmpl->OpenDocumentFile();
        EXPECT_NE(doc, nullptr);
        if (!doc || doc->GetFrames().isEmpty())
            return w;
        w.frame = qobject_cast<ifplug::CIfMIBMenuFrame*>(doc->GetFrames().last());
        if (w.frame) {
            w.frame->SetTitle(mib->getname());
            w.view = w.frame->view();
        }
        doc->UpdateAllViews(nullptr, 1026);
        if (wait && w.view)
            w.view->FinishLoading();
        return w;
    }

    // The rows shown, each as its cells.
    static std::vector<std::vector<std::string>> Shown(const TablesWindow& w) { return w.view->Rows(); }

    // Selects the rows whose column col reads text (exactly).
    static int Select(const TablesWindow& w, const std::vector<std::string>& texts, int col = 0)
    {
        CListCtrlEx& list = w.view->GetListCtrl();
        list.clearSelection();
        int n = 0;
        for (int r = 0; r < list.GetItemCount(); ++r)
            for (const std::string& t : texts)
                if (list.GetItemText(r, col).toStdString() == t) {
                    list.SetItemState(r, true);
                    ++n;
                }
        return n;
    }

    std::string IniPath(const std::string& file) const
    {
        return m_startDir.path().toStdString() + "/etc/ini/" + file;
    }
    std::string ReadFile(const std::string& path) const
    {
        QFile f(QString::fromStdString(path));
        if (!f.open(QIODevice::ReadOnly))
            return {};
        return f.readAll().toStdString();
    }

    std::vector<std::string> messages;
    std::optional<std::string> fileAnswer;
    QTemporaryDir m_startDir;

private:
    platform::MessageHook m_prevMessage;
    platform::FileHook m_prevFile;
};

}  // namespace iftest
