#pragma once
// User-defined objects windows as the program opens them: userplug.so from
// build/lib, the MIB modules of build/etc/mib in the tree, and a window
// opened from "ユーザ定義情報" as the launcher does.

#include <dlfcn.h>

#include <QApplication>
#include <QLineEdit>
#include <QTimer>

#include <functional>

#include "mibcore/mibtree/MIBTree.h"
#include "mibcore/platform/MessageBox.h"
#include "plugins/userplug/UserWindows.h"
#include "tests/plugins/countergroup/WindowHarness.h"

namespace usertest {

inline bool LoadUserPlugin(std::string* error)
{
    static std::string failure = [] {
        std::string path = harness::BuildDir() + "/lib/userplug.so";
        if (dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL))
            return std::string();
        const char* e = dlerror();
        return path + ": " + (e ? e : "?");
    }();
    *error = failure;
    return failure.empty();
}

struct UserWindow {
    CUserMIBMenuDoc* doc = nullptr;
    CUserMIBMenuView* list = nullptr;
    countergroup::CCounterGroupFrame* frame = nullptr;
    countergroup::CCounterGroupHisView* graph = nullptr;
    explicit operator bool() const { return doc && list && frame && graph; }
};

class UserWindowTest : public cgtest::WindowTest {
protected:
    void SetUp() override
    {
        cgtest::WindowTest::SetUp();
        if (HasFatalFailure())
            return;
        std::string error;
        ASSERT_TRUE(LoadUserPlugin(&error)) << error;
        // The tree as the loader builds it, from the build's modules.
        MIBTree::Finalize();
        MIBTree::top = nullptr;
        const std::string dir = harness::BuildDir() + "/etc/mib/";
        ASSERT_EQ(chdir(harness::BuildDir().c_str()), 0);
        MIBTree::Initialize();
        int show = 0;
        for (const char* m : {"rmon.mib", "cisco-process.mib", "foundry.mib"})
            MIBTree::LoadMIBTree(dir + m, show);
        m_oldHook = platform::SetMessageHook([this](const platform::MessageRequest& m) {
            messages.push_back(m.text);
            return platform::IDOK;
        });
    }
    void TearDown() override
    {
        platform::SetMessageHook(m_oldHook);
        cgtest::WindowTest::TearDown();
    }

    UserWindow OpenUser()
    {
        cgtest::Window w = Open("ユーザ定義情報");
        UserWindow u;
        u.doc = qobject_cast<CUserMIBMenuDoc*>(w.doc);
        u.list = qobject_cast<CUserMIBMenuView*>(w.list);
        u.frame = w.frame;
        u.graph = w.graph;
        return u;
    }
    static void CloseUser(UserWindow& u)
    {
        if (u.doc)
            u.doc->OnCloseDocument();
        u = UserWindow();
    }
    // Adds an object as "新規追加" does after its dialog; a cycle it starts
    // (the first object) has ended when this returns.
    static bool Add(UserWindow& u, const std::string& text)
    {
        const bool ok = u.list->AddObjectText(text);
        u.doc->FinishPollCycle();
        return ok;
    }
    static std::string Cell(UserWindow& u, int row, int col)
    {
        return u.list->GetListCtrl().GetItemText(row, col).toStdString();
    }

    std::vector<std::string> messages;

private:
    platform::MessageHook m_oldHook;
};

}  // namespace usertest
