#pragma once
// The interface tables window as the program opens it: the plug-in is
// loaded from build/lib, a main frame hosts the windows, the window is
// opened from its registry entry like the launcher does, and message
// boxes and file choosers are answered by the test. Settings go to a fresh
// start directory per test.

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "mibcore/platform/DocTemplate.h"
#include "mibcore/platform/FileDialog.h"
#include "plugins/ifplug/IfPlug.h"
#include "tests/support/Harness.h"
#include "tests/support/PluginWindows.h"
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

using harness::ReadFile;

class IfWindowTest : public harness::PluginWindowTest {
protected:
    IfWindowTest() : PluginWindowTest(1100, 750) {}

    void SetUp() override
    {
        harness::EnsureApp();
        std::string error;
        ASSERT_TRUE(LoadPlugin(&error)) << error;
        PluginWindowTest::SetUp();
        if (HasFatalFailure())
            return;
        m_prevFile = platform::SetFileHook([this](const platform::FileRequest&) { return fileAnswer; });
    }
    void TearDown() override
    {
        PluginWindowTest::TearDown();
        platform::SetFileHook(m_prevFile);
    }

    static void UseAgent(const std::string& address, int family = 2, int budget = 3, long usec = 500000)
    {
        harness::UseAgent(address, family, budget, 0, usec);
    }

    // Opens the tables window as the launcher does; its walks have run
    // when this returns, unless wait is false.
    TablesWindow Open(bool wait = true)
    {
        TablesWindow w;
        platform::Document* doc = harness::OpenEntryDocument("インターフェース&経路情報");
        if (!doc || doc->GetFrames().isEmpty())
            return w;
        w.frame = qobject_cast<ifplug::CIfMIBMenuFrame*>(doc->GetFrames().last());
        if (w.frame) {
            w.frame->SetTitle("インターフェース&経路情報");
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

    harness::MessageLog messages;
    std::optional<std::string> fileAnswer;

private:
    platform::FileHook m_prevFile;
};

// Windows talking to agents of the private namespace only.
class IfNetnsTest : public IfWindowTest {
protected:
    void SetUp() override
    {
        IfWindowTest::SetUp();
        if (HasFatalFailure())
            return;
        QUILLON_REQUIRE_NETNS();
    }
    // False once SetUp has failed or skipped the test.
    bool Ready() const { return !HasFatalFailure() && !IsSkipped(); }
};

// Windows reading the namespace snmpd.
class IfSnmpdTest : public IfNetnsTest {
protected:
    void SetUp() override
    {
        IfNetnsTest::SetUp();
        if (Ready())
            UseAgent(harness::kAgentV4);
    }
};

}  // namespace iftest
