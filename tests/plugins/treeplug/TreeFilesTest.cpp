// The window's files: mibtree.ini (first start, what closing writes, what
// the next opening reads), the option dialog, the CSV export, and the Tab
// key's way to the text box.

#include <QSplitter>
#include <QTest>
#include <QTimer>

#include "mibcore/platform/FileDialog.h"
#include "mibcore/platform/Profile.h"
#include "snmpval/Cp932.h"
#include "tests/plugins/treeplug/TreeHarness.h"
#include "tests/support/faultpeer/FaultAgent.h"

using namespace treetest;
namespace fp = faultpeer;

namespace {

class TreeFilesTest : public TreeTest {
protected:
    void TearDown() override
    {
        platform::SetFileHook({});
        TreeTest::TearDown();
    }
    // Answers the option dialog once it is open.
    static void AnswerOptions(const std::string& text, bool ok, std::string* shown)
    {
        QTimer::singleShot(0, [=] {
            auto* dlg = qobject_cast<CMIBOptDlg*>(QApplication::activeModalWidget());
            ASSERT_NE(dlg, nullptr);
            EXPECT_EQ(dlg->windowTitle().toStdString(), "MIBツリーオプション");
            *shown = dlg->getPreword();
            dlg->edit()->setText(QString::fromStdString(text));
            ok ? dlg->accept() : dlg->reject();
        });
    }
};

TEST_F(TreeFilesTest, FirstStartHalvesThePanesWithDefaultColumns)
{
    Window w = Open();
    ASSERT_TRUE(w);
    EXPECT_LE(std::abs(w.tree->width() - w.list->width()), 12);
    EXPECT_GT(w.tree->width(), 100);
    const CListCtrlEx& list = w.list->GetListCtrl();
    ASSERT_EQ(list.GetColumnCount(), 4);
    const int widths[] = {120, 60, 60, 60};
    const char* titles[] = {"インスタンス識別子", "値", "タイプ", "オブジェクト識別子"};
    for (int i = 0; i < 4; ++i) {
        // The design's widths scaled to the font, at least the title.
        EXPECT_EQ(list.GetColumnWidth(i), list.DefaultColumnWidth(widths[i], list.headerItem()->text(i)));
        EXPECT_GE(list.GetColumnWidth(i), widths[i]);
        EXPECT_EQ(list.headerItem()->text(i).toStdString(), titles[i]);
    }
    EXPECT_EQ(w.tree->getPreword(), "iso.org.dod.internet");
    EXPECT_EQ(w.frame->GetTitle(), "MIBツリー");
    EXPECT_EQ(w.frame->textBox()->width(), 200);
}

TEST_F(TreeFilesTest, OptionsAndLayoutGoToMibtreeIniAndComeBack)
{
    Window w = Open();
    ASSERT_TRUE(w);
    std::string shown;
    AnswerOptions("iso.org.dod.internet.mgmt", true, &shown);
    widgets::SendCommand(w.frame, treeplug::kCmdOption);
    EXPECT_EQ(shown, "iso.org.dod.internet");
    EXPECT_EQ(w.tree->getPreword(), "iso.org.dod.internet.mgmt");
    AnswerOptions("ignored", false, &shown);
    widgets::SendCommand(w.frame, treeplug::kCmdOption);
    EXPECT_EQ(w.tree->getPreword(), "iso.org.dod.internet.mgmt");

    w.list->GetListCtrl().SetColumnWidth(0, 210);
    auto* splitter = qobject_cast<QSplitter*>(w.tree->parentWidget());
    ASSERT_NE(splitter, nullptr);
    splitter->setSizes({300, 500});
    const int treeWidth = w.tree->width();
    w.doc->OnCloseDocument();

    const std::string ini = IniPath();
    EXPECT_EQ(platform::GetPrivateProfileString("option", "preword", "", ini), "iso.org.dod.internet.mgmt");
    // Column 0 as set; the others at their default (scaled) widths.
    EXPECT_EQ(platform::GetPrivateProfileString("list", "column.0", "", ini), "210");
    for (int i = 1; i < 4; ++i)
        EXPECT_GE(platform::GetPrivateProfileInt("list", "column." + std::to_string(i), 0, ini), 60);
    platform::WindowPlacement wp;
    platform::Rect32 tree, list;
    EXPECT_TRUE(platform::GetProfileRecord("window", "frame", wp, ini));
    ASSERT_TRUE(platform::GetProfileRecord("window", "treeview", tree, ini));
    EXPECT_TRUE(platform::GetProfileRecord("window", "listview", list, ini));
    EXPECT_EQ(tree.Width(), treeWidth);

    w = Open();
    ASSERT_TRUE(w);
    EXPECT_EQ(w.tree->getPreword(), "iso.org.dod.internet.mgmt");
    EXPECT_EQ(w.list->GetListCtrl().GetColumnWidth(0), 210);
    EXPECT_EQ(w.tree->width(), treeWidth);
    // The prefix goes before the typed start object.
    ASSERT_TRUE(Walk(w, "mib-2.system"));
    EXPECT_EQ(w.tree->getRoot(), (std::vector<unsigned long>{1, 3, 6, 1, 2, 1, 1}));
}

TEST_F(TreeFilesTest, CsvExportWritesTheListAsItStands)
{
    QUILLON_REQUIRE_NETNS();
    fp::FaultAgent peer;
    auto mib = std::make_shared<fp::Mib>();
    mib->set(fp::parseOid("1.3.6.1.2.1.1.1.0"), fp::octets("a,b"));
    mib->set(fp::parseOid("1.3.6.1.2.1.1.5.0"), fp::octets(cp932::FromUtf8("名前")));
    peer.setScript(fp::serve(mib));
    UseAgent(peer.address(), 2, 3, 0, 200000);
    Window w = Open();
    ASSERT_TRUE(w);
    const std::string path = m_startDir.path().toStdString() + "/out.csv";
    platform::FileRequest asked;
    platform::SetFileHook([&](const platform::FileRequest& r) {
        asked = r;
        return std::optional<std::string>(path);
    });
    const std::string header = cp932::FromUtf8("インスタンス識別子,値,タイプ,オブジェクト識別子\n");
    // An empty list writes the header alone.
    ASSERT_TRUE(widgets::SendCommand(w.frame, treeplug::kCmdSaveFile));
    EXPECT_EQ(ReadFile(path), header);
    EXPECT_EQ(asked.filter, "csv files(.csv)|*.csv||");
    EXPECT_EQ(asked.defaultExt, ".csv");

    ASSERT_TRUE(Walk(w, "mgmt.mib-2.system"));
    // Saving over the first export asks first (answered: replace).
    ASSERT_TRUE(widgets::SendCommand(w.frame, treeplug::kCmdSaveFile));
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_NE(Messages()[0].find("上書きしますか？"), std::string::npos);
    EXPECT_EQ(ReadFile(path), header +
                                  "system.sysDescr.0,a,b,OCTET STRING(0x04),1.3.6.1.2.1.1.1.0\n" +
                                  cp932::FromUtf8("system.sysName.0,名前,OCTET STRING(0x04),1.3.6.1.2.1.1.5.0\n"));
    ClearMessages();

    // A file that cannot be created is reported; nothing else happens.
    platform::SetFileHook([&](const platform::FileRequest&) {
        return std::optional<std::string>(m_startDir.path().toStdString() + "/missing/dir/out.csv");
    });
    widgets::SendCommand(w.frame, treeplug::kCmdSaveFile);
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_NE(Messages()[0].find("missing/dir/out.csv"), std::string::npos);
}

TEST_F(TreeFilesTest, TabInEitherPaneMovesToTheTextBox)
{
    Window w = Open();
    ASSERT_TRUE(w);
    platform::App::GetMainFrame()->activateWindow();
    QApplication::setActiveWindow(platform::App::GetMainFrame());
    for (QWidget* pane : {static_cast<QWidget*>(w.tree->GetTreeCtrl()), static_cast<QWidget*>(&w.list->GetListCtrl())}) {
        pane->setFocus();
        ASSERT_TRUE(SpinUntil([&] { return pane->hasFocus(); }, 2000));
        QTest::keyClick(pane, Qt::Key_Tab);
        EXPECT_TRUE(SpinUntil([&] { return w.frame->textBox()->hasFocus(); }, 2000));
    }
}

}  // namespace
