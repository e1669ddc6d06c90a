// The whole program on an English desktop: started as the operator starts it
// (agent dialog, splash, loader with the real plug-ins and modules), every
// window, menu and context menu it can show and every message box it says:
// no kana or kanji anywhere. Each window is reported on its own.

#include "app/AppIds.h"
#include "app/CAboutDlg.h"
#include "app/CAgentDlg.h"
#include "app/CMIBTreeDlg.h"
#include "app/CMainFrame.h"
#include "app/CQuillonApp.h"
#include "app/CQuillonView.h"
#include "app/CSplashWnd.h"
#include "mibcore/agent/MIBAgent.h"
#include "mibcore/mibtree/MIBTree.h"
#include "mibcore/platform/ChildFrame.h"
#include "mibcore/platform/DocView.h"
#include "mibcore/platform/Language.h"
#include "mibcore/registry/MIB.h"
#include "mibcore/widgets/WidgetResources.h"
#include "tests/app/AppHarness.h"
#include "tests/support/UiTexts.h"

#include <QAbstractItemView>
#include <QAbstractScrollArea>
#include <QItemSelectionModel>
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDialog>
#include <QMenu>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>

using apptest::MessageRecorder;
using apptest::StartDir;

namespace {

// Window name -> its Japanese texts (empty when the window is all English).
using Findings = std::map<std::string, std::string>;

// The Japanese texts of a widget tree, but for the language menu's "日本語":
// a language is offered under its own name.
std::string JapaneseTexts(QWidget* w)
{
    std::string kept;
    std::istringstream lines(harness::JapaneseUiTexts(w));
    for (std::string line; std::getline(lines, line);) {
        const std::size_t colon = line.rfind(": ");
        if (colon == std::string::npos || line.substr(colon + 2) != "日本語")
            kept += line + "\n";
    }
    return kept;
}

void Look(Findings& found, const std::string& name, QWidget* w)
{
    ASSERT_NE(w, nullptr) << name;
    found[name] += JapaneseTexts(w);
}

// The texts of the context menu the widget opens on a right click, if any.
// The menu runs its own loop: a timer reads it and closes it.
std::string ContextMenuTexts(QWidget* w, bool* opened)
{
    std::string texts;
    QTimer timer;
    timer.setInterval(10);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            *opened = true;
            texts += JapaneseTexts(menu);
            menu->close();
        }
    });
    timer.start();
    auto* area = qobject_cast<QAbstractScrollArea*>(w);
    QWidget* target = area ? area->viewport() : w;
    const QPoint at(target->width() / 2, target->height() / 2);
    QContextMenuEvent e(QContextMenuEvent::Mouse, at, target->mapToGlobal(at));
    QCoreApplication::sendEvent(target, &e);
    apptest::Spin(30);
    return texts;
}

// Every context menu of the views in a window.
void LookAtContextMenus(Findings& found, const std::string& name, QWidget* window, int* menus)
{
    QList<QWidget*> all = window->findChildren<QWidget*>();
    for (QWidget* w : all) {
        if (!w->isVisible() || !(qobject_cast<platform::View*>(w) || qobject_cast<QAbstractScrollArea*>(w)))
            continue;
        bool opened = false;
        const std::string texts = ContextMenuTexts(w, &opened);
        if (opened) {
            ++*menus;
            found[name + " context menu"] += texts;
        }
    }
}

// Chooses the first row of the first list in the window that has rows.
bool SelectFirstRow(QWidget* window)
{
    for (QAbstractItemView* v : window->findChildren<QAbstractItemView*>()) {
        if (!v->isVisible() || !v->model() || v->model()->rowCount() == 0 || !v->selectionModel())
            continue;
        const QModelIndex first = v->model()->index(0, 0);
        v->setCurrentIndex(first);
        v->selectionModel()->select(first, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        return true;
    }
    return false;
}

// The texts of the next modal dialog the command opens (closed again).
std::string ModalTexts(const std::function<void()>& command, bool* opened)
{
    std::string texts;
    apptest::WhenModal<QDialog>(
        [&](QDialog* d) {
            *opened = true;
            texts = JapaneseTexts(d);
            d->reject();
        },
        3000);
    command();
    apptest::Spin(100);
    return texts;
}

// A start directory in English: the real plug-ins and modules of the build,
// and what makes each kind of message box appear once.
void PrepareStartDir(const StartDir& dir)
{
    namespace fs = std::filesystem;
    const std::string build = harness::BuildDir();
    for (const auto& e : fs::directory_iterator(build + "/lib"))
        dir.Link(e.path().string(), "lib/" + e.path().filename().string());
    for (const auto& e : fs::directory_iterator(build + "/etc/mib"))
        dir.Link(e.path().string(), "etc/mib/" + e.path().filename().string());
    // The plug-ins find their shared libraries next to lib/.
    for (const auto& e : fs::directory_iterator(build))
        if (e.path().extension() == ".so")
            dir.Link(e.path().string(), e.path().filename().string());
    dir.Link(build + "/doc", "doc");
    // Error: a library that does not load.
    dir.Write("lib/broken.so", "this is not a library\n");
    // Question: a module whose definitions never find their parent.
    dir.Write("etc/mib/z-orphan.mib", "orphanOne OBJECT IDENTIFIER ::= { nowhere 1 }\n");
    // Warning: agent.ini cannot be written (a directory has its name).
    fs::create_directories(dir.File("etc/ini/agent.ini"));
}

class EnglishUiTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        apptest::EnsureApp();
        QUILLON_REQUIRE_NETNS();
        platform::SetLanguage(platform::Language::English);
        apptest::UseDefaultAgentSettings();
    }
};

}  // namespace

TEST_F(EnglishUiTest, EveryWindowMenuAndMessageIsEnglish)
{
    StartDir dir;
    PrepareStartDir(dir);
    MessageRecorder msgs(platform::IDNO);  // the loader's question: no further errors
    Findings found;

    CQuillonApp app;
    apptest::WhenModal<CAgentDlg>([&](CAgentDlg* d) {
        // Every version's page: the SNMPv3 fields belong to the window too.
        auto* version = qobject_cast<QComboBox*>(widgets::GetDlgItem(d, app::IDC_SNMP_VERSION));
        ASSERT_NE(version, nullptr);
        for (const char* v : {"SNMPv1", "SNMPv2c", "SNMPv3"}) {
            version->setCurrentIndex(version->findText(v));
            EXPECT_EQ(version->currentText(), v);
            Look(found, std::string("agent dialog ") + v, d);
        }
        version->setCurrentIndex(version->findText("SNMPv2c"));
        d->Ipv4Radio()->click();
        d->Ipv4Field()->SetAddress(127, 0, 0, 1);
        d->OkButton()->click();
    });
    ASSERT_TRUE(app.InitInstance());
    if (QPointer<CSplashWnd> splash = app.GetSplash())
        Look(found, "splash", splash);
    ASSERT_TRUE(app.WaitForLoader(30000));

    CMainFrame* main = app.GetMainFrame();
    ASSERT_NE(main, nullptr);
    Look(found, "main frame with the launcher", main);
    CQuillonView* launcher = app.GetLauncherView();
    ASSERT_NE(launcher, nullptr);
    ASSERT_GT(launcher->ListCtrl()->count(), 0) << "the real plug-ins are loaded";
    Look(found, "launcher list", launcher->ListCtrl());
    main->SendCommand(app::ID_VIEW_DETAILS);
    Look(found, "launcher details", launcher->DetailsCtrl());
    int contextMenus = 0;
    ASSERT_FALSE(main->GetChildFrames().isEmpty());
    LookAtContextMenus(found, "launcher", main->GetChildFrames().first(), &contextMenus);

    // Every plug-in window the launcher opens, with the menus of a child frame.
    std::vector<std::string> names;
    for (MIB* m = MIB::gethead(); m; m = m->getnext())
        if (m->gettype() == 1)
            names.push_back(m->getname());
    ASSERT_EQ(static_cast<int>(names.size()), launcher->ListCtrl()->count());
    int colourDialogs = 0;
    for (const std::string& source : names) {
        platform::ChildFrame* f = launcher->OpenMIB(source);
        const std::string name = "window " + platform::TrText(source);
        if (!f) {
            ADD_FAILURE() << "could not open " << name;
            continue;
        }
        apptest::Spin(300);
        Look(found, name, f);
        Look(found, name + " (main frame menus)", main);
        LookAtContextMenus(found, name, f, &contextMenus);
        // The line colour dialog needs a chosen row of a list with rows.
        apptest::SpinUntil([&] { return SelectFirstRow(f); }, 2000);
        bool opened = false;
        found[name + " colour dialog"] += ModalTexts([&] { main->SendCommand(widgets::ID_COLOR_CHANGE); }, &opened);
        colourDialogs += opened;
        f->DestroyFrame();
        apptest::Spin(50);
    }
    EXPECT_GT(contextMenus, 0);
    EXPECT_GT(colourDialogs, 0);

    // The MIB tree, its context menu and the search dialog.
    main->SendCommand(app::ID_MIB_DEFINITION);
    CMIBTreeDlg* tree = main->GetMIBTreeDlg();
    ASSERT_NE(tree, nullptr);
    Look(found, "MIB tree dialog", tree);
    bool opened = false;
    found["MIB tree context menu"] += ContextMenuTexts(tree, &opened);
    EXPECT_TRUE(opened);
    tree->OnSearch();
    Look(found, "search dialog", tree->SearchDlg());
    tree->SearchDlg()->hide();
    tree->hide();

    {
        CAboutDlg about(main);
        Look(found, "about box", &about);
    }

    // Information: the language menu says a choice waits for the next start.
    main->SendCommand(app::ID_LANGUAGE_JAPANESE);

    for (const auto& [name, texts] : found)
        EXPECT_EQ(texts, "") << name;

    unsigned kinds = 0;
    for (const platform::MessageRequest& m : msgs.Messages()) {
        kinds |= 1u << ((m.type & 0xF0) >> 4);
        EXPECT_FALSE(platform::HasJapanese(QString::fromStdString(m.text))) << m.text;
        EXPECT_FALSE(platform::HasJapanese(QString::fromStdString(m.caption))) << m.caption;
    }
    for (unsigned icon : {platform::MB_ICONINFORMATION, platform::MB_ICONWARNING, platform::MB_ICONERROR,
                          platform::MB_ICONQUESTION})
        EXPECT_TRUE(kinds & (1u << (icon >> 4))) << "no message of kind " << std::hex << icon;
    app.ExitInstance();
}
