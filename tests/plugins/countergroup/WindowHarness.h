#pragma once
// Counter-group windows as the program opens them: the plug-in libraries
// are loaded from build/lib, a main frame hosts the windows, and a window is
// opened from its registry entry the way the launcher does it (template,
// new document, title, command 1028, hint 1026). Settings go to a fresh
// start directory per test.

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <string>

#include "mibcore/agent/MIBAgent.h"
#include "mibcore/platform/ChildFrame.h"
#include "mibcore/platform/DocTemplate.h"
#include "mibcore/platform/MainFrame.h"
#include "mibcore/registry/MIB.h"
#include "plugins/countergroup/CounterGroupDoc.h"
#include "plugins/countergroup/CounterGroupViews.h"
#include "tests/plugins/countergroup/QtApp.h"
#include "tests/support/Harness.h"
#include "tests/support/PluginWindows.h"

namespace cgtest {

inline const char* const kPlugins[] = {"ipplug", "icmpplug", "tcpplug", "udpplug",
                                       "snmpgrpplug", "foundryplug", "ciscoplug"};

// Loads every counter-group plug-in once; they stay for the process.
inline bool LoadPlugins(std::string* error)
{
    static bool done = false;
    static std::string failure;
    if (!done) {
        done = true;
        for (const char* name : kPlugins) {
            std::string path = harness::BuildDir() + "/lib/" + name + ".so";
            if (!dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL)) {
                const char* e = dlerror();
                failure += path + ": " + (e ? e : "?") + "\n";
            }
        }
    }
    if (error)
        *error = failure;
    return failure.empty();
}

struct Window {
    countergroup::CCounterGroupDoc* doc = nullptr;
    countergroup::CCounterGroupFrame* frame = nullptr;
    countergroup::CCounterGroupListView* list = nullptr;
    countergroup::CCounterGroupHisView* graph = nullptr;
    explicit operator bool() const { return doc && frame && list && graph; }
};

using harness::ReadFile;

class WindowTest : public harness::PluginWindowTest {
protected:
    WindowTest() : PluginWindowTest(1000, 700) {}

    void SetUp() override
    {
        EnsureApp();
        std::string error;
        ASSERT_TRUE(LoadPlugins(&error)) << error;
        PluginWindowTest::SetUp();
    }

    std::string IniPath(const std::string& file) const
    {
        return m_startDir.path().toStdString() + "/etc/ini/" + file;
    }

    // Agent settings for a peer: short time-outs keep silent peers quick.
    static void UseAgent(const std::string& address, int family, int budget, int recvErrCnt = 0,
                         long usec = 100000)
    {
        harness::UseAgent(address, family, budget, recvErrCnt, usec);
    }

    // Opens the window of a registry entry as the launcher does; the first
    // poll cycle (in the background) has ended when this returns.
    Window Open(const std::string& name, bool start = true)
    {
        Window w;
        platform::Document* doc = harness::OpenEntryDocument(name);
        if (!doc)
            return w;
        w.doc = qobject_cast<countergroup::CCounterGroupDoc*>(doc);
        platform::ChildFrame* frame = platform::App::GetMainFrame()->MDIGetActive();
        w.frame = qobject_cast<countergroup::CCounterGroupFrame*>(frame);
        if (frame) {
            frame->SetTitle(name);
            frame->SendCommand(1028);
        }
        if (w.frame) {
            w.list = w.frame->listView();
            w.graph = w.frame->graphView();
        }
        if (start) {
            doc->UpdateAllViews(nullptr, countergroup::kHintStart);
            if (w.doc)
                w.doc->FinishPollCycle();
        }
        return w;
    }

    // Closes the window's document (it saves its settings).
    static void Close(Window& w)
    {
        if (w.doc)
            w.doc->OnCloseDocument();
        w = Window();
    }
};

}  // namespace cgtest
