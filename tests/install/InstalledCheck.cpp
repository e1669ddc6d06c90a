// Run by install-test.sh from an installed copy's bin/ folder (a DESTDIR or
// an unpacked package), never from the build tree: the whole start-up of
// the program there, against the suite's agent, with HOME and the XDG
// folders in an empty temporary folder. Its RUNPATH names only the installed
// library folder, so everything it maps comes from the copy under test.
//   QUILLON_EXPECT_PREFIX  the copy's prefix as seen here (<root>/usr)
//   QUILLON_DROPIN_NAME    a node defined by a module in $XDG_DATA_HOME/quillon/mib

#include "app/AppIds.h"
#include "app/CAgentDlg.h"
#include "app/CMIBTreeDlg.h"
#include "app/CMainFrame.h"
#include "app/CQuillonApp.h"
#include "app/CQuillonView.h"
#include "mibcore/agent/AppConstants.h"
#include "mibcore/mibtree/MIBTree.h"
#include "mibcore/platform/DocTemplate.h"
#include "mibcore/registry/MIB.h"
#include "tests/app/AppHarness.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>

#include <fstream>
#include <set>

namespace {

std::string Env(const char* name)
{
    const char* v = std::getenv(name);
    return v ? v : "";
}

// Paths of the shared objects this process has mapped.
std::set<std::string> MappedObjects()
{
    std::set<std::string> paths;
    std::ifstream maps("/proc/self/maps");
    std::string line;
    while (std::getline(maps, line)) {
        const auto slash = line.find('/');
        if (slash != std::string::npos && line.find(".so") != std::string::npos)
            paths.insert(line.substr(slash));
    }
    return paths;
}

bool StartsWith(const std::string& s, const std::string& head) { return s.compare(0, head.size(), head) == 0; }

}  // namespace

TEST(InstalledCopy, StartsFromItsOwnFoldersAndKeepsSettingsInTheUsersConfig)
{
    apptest::EnsureApp();
    QUILLON_REQUIRE_NETNS();
    const std::string prefix = Env("QUILLON_EXPECT_PREFIX");
    const std::string dropIn = Env("QUILLON_DROPIN_NAME");
    ASSERT_FALSE(prefix.empty());
    ASSERT_FALSE(dropIn.empty());
    const std::string config =
        (Env("XDG_CONFIG_HOME").empty() ? Env("HOME") + "/.config" : Env("XDG_CONFIG_HOME")) + "/quillon";

    // The address from the command line pre-fills the dialog; OK probes it.
    const app::CommandLine cl = app::ParseCommandLine({"quillon", harness::kAgentV4});
    ASSERT_TRUE(cl.run);
    CQuillonApp app;
    app.SetInitialAddress(cl.address);
    std::string shownAddress;
    apptest::WhenModal<CAgentDlg>([&](CAgentDlg* d) {
        const auto o = d->Ipv4Field()->GetAddress();
        shownAddress = std::to_string(o[0]) + "." + std::to_string(o[1]) + "." + std::to_string(o[2]) + "." +
                       std::to_string(o[3]);
        d->OkButton()->click();
    });
    ASSERT_TRUE(app.InitInstance());
    EXPECT_EQ(shownAddress, harness::kAgentV4);

    const AppConstants* c = AppConstants::getInstance();
    ASSERT_TRUE(c->isInstalled());
    EXPECT_EQ(c->getIniDir(), config);
    EXPECT_EQ(c->getPluginDir(), prefix + "/lib/quillon/plugins");
    EXPECT_EQ(c->getHelpDir(), prefix + "/share/quillon/help");
    EXPECT_EQ(c->getFileDir(), Env("HOME"));
    EXPECT_TRUE(std::filesystem::is_regular_file(c->getHelpDir() + "/index.html"));
    ASSERT_TRUE(app.WaitForLoader(60000));

    // Libraries and plug-ins: only the installed copies.
    int ours = 0, plugins = 0;
    for (const std::string& p : MappedObjects()) {
        const std::string name = std::filesystem::path(p).filename().string();
        if (name.rfind("libmibcore", 0) == 0 || name.rfind("libsnmpval", 0) == 0 || name.rfind("libcountergroup", 0) == 0) {
            EXPECT_EQ(p, prefix + "/lib/quillon/" + name);
            ++ours;
        }
        if (name.find("plug.so") != std::string::npos) {
            EXPECT_EQ(p, prefix + "/lib/quillon/plugins/" + name);
            ++plugins;
        }
    }
    EXPECT_EQ(ours, 3);
    EXPECT_GE(plugins, 10);
    CQuillonView* launcher = app.GetLauncherView();
    ASSERT_NE(launcher, nullptr);
    EXPECT_GE(launcher->ListCtrl()->count(), 9);

    // MIB modules: the shipped ones, then the operator's.
    ASSERT_NE(MIBTree::gettop(), nullptr);
    EXPECT_NE(MIBTree::gettop()->Find("sysDescr"), nullptr);         // mib-2.mib
    EXPECT_NE(MIBTree::gettop()->Find("etherStatsTable"), nullptr);  // rmon.mib
    EXPECT_NE(MIBTree::gettop()->Find(dropIn), nullptr);

    // A counter window polls the agent.
    platform::ChildFrame* frame = launcher->OpenMIB("UDP情報");
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(apptest::SpinUntil([&] { return frame->isVisible(); }, 5000));
    apptest::Spin(1500);

    // The MIB tree dialog shows the dropped-in module's node.
    CMainFrame* main = app.GetMainFrame();
    main->SendCommand(app::ID_MIB_DEFINITION);
    CMIBTreeDlg* tree = main->GetMIBTreeDlg();
    ASSERT_NE(tree, nullptr);
    EXPECT_TRUE(tree->isVisible());
    const auto found = tree->TreeCtrl()->findItems(QString::fromStdString(dropIn) + "(", Qt::MatchStartsWith | Qt::MatchRecursive);
    EXPECT_EQ(found.size(), 1);

    app.ExitInstance();
    // Settings: agent, main window, MIB tree dialog and the UDP window.
    for (const char* f : {"agent.ini", "quillon.ini", "mibtreedlg.ini"})
        EXPECT_TRUE(std::filesystem::is_regular_file(config + "/" + f)) << f;
    int inis = 0;
    for (const auto& e : std::filesystem::directory_iterator(config))
        inis += e.path().extension() == ".ini";
    EXPECT_GE(inis, 4);
}
