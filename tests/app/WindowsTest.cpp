// The program's windows one by one: the agent dialog's fields and agent.ini,
// the MIB tree dialog with the real clipboard, the splash window's eyes, the
// help command, the version dialog and the loader's file lists.

#include "app/AppIds.h"
#include "app/CAboutDlg.h"
#include "app/CAgentDlg.h"
#include "app/CLoader.h"
#include "app/CMIBTreeDlg.h"
#include "app/CMainFrame.h"
#include "app/CQuillonView.h"
#include "app/CSplashWnd.h"
#include "app/CQuillonApp.h"
#include "mibcore/agent/AppConstants.h"
#include "mibcore/agent/MIBAgent.h"
#include "mibcore/Version.h"
#include "mibcore/mibtree/MIBTree.h"
#include "mibcore/platform/Profile.h"
#include "mibcore/platform/Resources.h"
#include "mibcore/widgets/WidgetResources.h"
#include "tests/app/AppHarness.h"
#include "tests/support/faultpeer/FaultAgent.h"

#include <QAccessible>
#include <QClipboard>
#include <QMenu>
#include <QFileIconProvider>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QMessageBox>
#include <QMenuBar>
#include <QToolBar>
#include <QScreen>
#include <QGuiApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTextBrowser>
#include <QTreeWidget>
#include <QUrl>
#include <QtTest/QTest>

using apptest::MessageRecorder;
using apptest::StartDir;

namespace {

class WindowsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        apptest::EnsureApp();
        app::RegisterAppResources();
        AppConstants::getInstance()->setStartDir(m_dir.Path());
        apptest::UseDefaultAgentSettings();
    }
    void TearDown() override { MIBTree::Finalize(); }
    StartDir m_dir;
};

QTreeWidgetItem* FindItem(QTreeWidget* tree, const QString& label)
{
    QList<QTreeWidgetItem*> found = tree->findItems(label, Qt::MatchExactly | Qt::MatchRecursive);
    return found.isEmpty() ? nullptr : found.first();
}

}  // namespace

// ---------------------------------------------------------------- agent dialog

TEST_F(WindowsTest, AgentDialogShowsAgentIniAndItsDefaults)
{
    // No socket section: 3, 3 and 500000; no read key: the community in
    // memory stays.
    MIBAgent::getInstance()->setReadCommunity("typed-earlier");
    m_dir.Write("etc/ini/agent.ini", "[community]\r\nwrite=w-comm\r\n");
    CAgentDlg d;
    EXPECT_EQ(d.windowTitle(), "エージェントの設定");
    EXPECT_EQ(d.ReadCommunityField()->text(), "typed-earlier");
    EXPECT_EQ(d.WriteCommunityField()->text(), "w-comm");
    EXPECT_EQ(d.SendErrCntField()->text(), "3");
    EXPECT_EQ(d.RecvErrCntField()->text(), "3");
    EXPECT_EQ(d.TimeoutField()->text(), "500000");

    // IPv4 mode on opening, both addresses empty.
    EXPECT_TRUE(d.Ipv4Radio()->isChecked());
    EXPECT_TRUE(d.Ipv4Field()->isEnabled());
    EXPECT_FALSE(d.Ipv6Field()->isEnabled());
    EXPECT_TRUE(d.Ipv6Field()->isReadOnly());
    EXPECT_EQ(d.Ipv4Field()->GetFilledCount(), 0);
    d.Ipv6Radio()->click();
    EXPECT_FALSE(d.Ipv4Field()->isEnabled());
    EXPECT_TRUE(d.Ipv6Field()->isEnabled());
    EXPECT_FALSE(d.Ipv6Field()->isReadOnly());

    // Every control answers to its id.
    for (int id : {app::IDC_AGENT_IPV4, app::IDC_SEND_ERR_CNT, app::IDC_RECV_ERR_CNT, app::IDC_TIMEOUT,
                   app::IDC_READ_COMMUNITY, app::IDC_WRITE_COMMUNITY, app::IDC_AGENT_IPV6, app::IDC_RADIO_IPV4,
                   app::IDC_RADIO_IPV6, app::IDC_OK, app::IDC_CANCEL})
        EXPECT_NE(widgets::GetDlgItem(&d, id), nullptr) << id;
    QStringList groups;
    for (auto* g : d.findChildren<QGroupBox*>())
        groups << g->title();
    EXPECT_TRUE(groups.contains("SNMPの設定"));
    EXPECT_TRUE(groups.contains("エージェントのIPアドレス"));
    EXPECT_TRUE(groups.contains("Community"));
    EXPECT_TRUE(groups.contains("通信オプション"));
}

// The command line: --help and --version print and end, one numeric address
// is taken for the agent dialog, anything else is refused with exit code 2.
TEST(CommandLine, HelpVersionAndOneNumericAddress)
{
    struct Case {
        QStringList args;
        bool run;
        int exitCode;
        std::string address;
        std::string outputHas;
    };
    const Case cases[] = {
        {{}, true, 0, "", ""},
        {{"192.0.2.1"}, true, 0, "192.0.2.1", ""},
        {{"2001:db8::1"}, true, 0, "2001:db8::1", ""},
        {{"--version"}, false, 0, "", std::string("quillon ") + quillon::Version() + "\n"},
        {{"-v"}, false, 0, "", std::string("quillon ") + quillon::Version()},
        {{"--help"}, false, 0, "", "address"},
        {{"192.0.2.300"}, false, 2, "", "192.0.2.300"},
        {{"agent.example.org"}, false, 2, "", "agent.example.org"},
        {{"10.1"}, false, 2, "", "10.1"},  // inet_aton's short form: not four boxes
        {{""}, false, 2, "", "address"},
        {{"192.0.2.1", "192.0.2.2"}, false, 2, "", "one"},
        {{"--bogus"}, false, 2, "", "bogus"},
    };
    for (const Case& c : cases) {
        const app::CommandLine cl = app::ParseCommandLine(QStringList{"quillon"} + c.args);
        const std::string what = c.args.join(' ').toStdString();
        EXPECT_EQ(cl.run, c.run) << what;
        EXPECT_EQ(cl.exitCode, c.exitCode) << what;
        EXPECT_EQ(cl.address, c.address) << what;
        EXPECT_NE(cl.output.find(c.outputHas), std::string::npos) << what << ": " << cl.output;
    }
}

TEST_F(WindowsTest, AgentDialogTakesTheCommandLineAddress)
{
    {
        CAgentDlg dlg;
        dlg.PreFillAddress("192.0.2.17");
        EXPECT_TRUE(dlg.Ipv4Radio()->isChecked());
        EXPECT_EQ(dlg.Ipv4Field()->GetAddress(), (std::array<int, 4>{192, 0, 2, 17}));
        EXPECT_FALSE(dlg.Ipv6Field()->isEnabled());
    }
    {
        CAgentDlg dlg;
        dlg.PreFillAddress("2001:db8::5");
        EXPECT_TRUE(dlg.Ipv6Radio()->isChecked());
        EXPECT_TRUE(dlg.Ipv6Field()->isEnabled());
        EXPECT_EQ(dlg.Ipv6Field()->text(), "2001:db8::5");
    }
}

TEST_F(WindowsTest, AgentDialogBringsAbsurdAgentIniValuesIntoRange)
{
    // Garbage, negative and huge numbers from a hand-edited file.
    const struct {
        const char* socket;
        const char* send;
        const char* recv;
        const char* timeout;
    } cases[] = {
        {"SendErrCnt=abc\r\nRecvErrCnt=-7\r\ntv_sec=99999999999\r\ntv_usec=-1\r\n", "0", "0", "30000000"},
        {"SendErrCnt=2147483647\r\nRecvErrCnt=2147483647\r\ntv_sec=2147483647\r\ntv_usec=0\r\n", "99", "10",
         "30000000"},
        {"SendErrCnt=7\r\nRecvErrCnt=2\r\ntv_sec=1\r\ntv_usec=2500000\r\n", "7", "2", "3500000"},
    };
    for (const auto& c : cases) {
        m_dir.Write("etc/ini/agent.ini", std::string("[socket]\r\n") + c.socket);
        CAgentDlg d;
        EXPECT_EQ(d.SendErrCntField()->text().toStdString(), c.send) << c.socket;
        EXPECT_EQ(d.RecvErrCntField()->text().toStdString(), c.recv) << c.socket;
        EXPECT_EQ(d.TimeoutField()->text().toStdString(), c.timeout) << c.socket;
        EXPECT_LT(d.Edited().getTvUSec(), 1000000);
    }
    CAgentDlg d;
    // The octet boxes accept nothing beyond 255 and no letters.
    QTest::keyClicks(d.Ipv4Field()->Field(0), "3x9");
    EXPECT_EQ(d.Ipv4Field()->Field(0)->text().toInt() <= 255, true);
    EXPECT_EQ(d.Ipv4Field()->Field(0)->text().contains('x'), false);
    // Every value the dialog can save can be typed in.
    for (auto [field, text] : {std::pair{d.SendErrCntField(), "99"}, std::pair{d.RecvErrCntField(), "10"},
                               std::pair{d.TimeoutField(), "30000000"}}) {
        field->clear();
        QTest::keyClicks(field, QString(text) + "-1a");
        EXPECT_EQ(field->text(), text);
    }
}

TEST_F(WindowsTest, AgentDialogRefusesNumbersOutOfRangeWithAMessage)
{
    MessageRecorder msgs;
    CAgentDlg d;
    d.Ipv4Field()->SetAddress(127, 0, 0, 1);
    d.RecvErrCntField()->setText("11");
    d.OkButton()->click();
    d.RecvErrCntField()->setText("3");
    d.TimeoutField()->setText("30000001");
    d.OkButton()->click();
    ASSERT_EQ(msgs.Texts().size(), 2u);
    EXPECT_EQ(msgs.Texts()[0], "許容タイムアウト回数は 0 から 10 までの数を入力してください。");
    EXPECT_EQ(msgs.Texts()[1], "タイムアウト時間(usec)は 0 から 30000000 までの数を入力してください。");
    EXPECT_FALSE(d.ProbeRejected()) << "nothing was sent";
    EXPECT_NE(d.result(), QDialog::Accepted);
}

TEST_F(WindowsTest, AgentDialogStaysPaintedWithTheBusyCursorWhileItProbes)
{
    QUILLON_REQUIRE_NETNS();
    MessageRecorder msgs;
    CAgentDlg d;
    d.show();
    // A community the agent ignores: 0.4 s without an answer.
    d.Ipv4Field()->SetAddress(127, 0, 0, 1);
    d.ReadCommunityField()->setText("nobody-knows-this");
    d.RecvErrCntField()->setText("0");
    d.TimeoutField()->setText("400000");
    int ticks = 0, waitCursorTicks = 0, paints = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        if (!d.IsProbing())
            return;
        ++ticks;
        // The dialog's own cursor: Cancel stays usable, so no wait cursor.
        if (d.cursor().shape() == Qt::BusyCursor && !QApplication::overrideCursor())
            ++waitCursorTicks;
        d.repaint();
    });
    struct PaintCounter : QObject {
        int* n;
        bool eventFilter(QObject*, QEvent* e) override
        {
            if (e->type() == QEvent::Paint)
                ++*n;
            return false;
        }
    } counter;
    counter.n = &paints;
    d.installEventFilter(&counter);
    tick.start(10);
    d.OkButton()->click();
    EXPECT_TRUE(d.ProbeRejected());
    EXPECT_GE(ticks, 10) << "the event loop ran while the probe waited";
    EXPECT_EQ(waitCursorTicks, ticks);
    EXPECT_GE(paints, 10);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_NE(d.cursor().shape(), Qt::BusyCursor);
    ASSERT_EQ(msgs.Texts().size(), 1u);
}

TEST_F(WindowsTest, AgentDialogCancelStopsTheProbeOfASilentAgentAtOnce)
{
    QUILLON_REQUIRE_NETNS();
    // A silent agent with the longest waits: 30 s times 11 attempts.
    faultpeer::FaultAgent peer;
    const std::vector<std::pair<const char*, std::function<void(CAgentDlg&)>>> ways = {
        {"Cancel button", [](CAgentDlg& d) { QTest::mouseClick(d.CancelButton(), Qt::LeftButton); }},
        {"Esc",
         [](CAgentDlg& d) {
             QWidget* w = d.focusWidget();
             QTest::keyClick(w && w->isEnabled() ? w : &d, Qt::Key_Escape);
         }},
        {"close box", [](CAgentDlg& d) { d.close(); }},
    };
    for (const auto& [way, cancel] : ways) {
        SCOPED_TRACE(way);
        MessageRecorder msgs;
        peer.clearRequests();
        MIBAgent* a = MIBAgent::getInstance();
        a->setAddr("192.0.2.1");
        a->setNetworkLayerType(MIBAgent::FamilyIPv4);
        CAgentDlg d;
        d.show();
        int octets[4] = {};
        ASSERT_EQ(std::sscanf(peer.address().c_str(), "%d.%d.%d.%d", &octets[0], &octets[1], &octets[2], &octets[3]), 4);
        d.Ipv4Field()->SetAddress(octets[0], octets[1], octets[2], octets[3]);
        d.ReadCommunityField()->setText("changed");
        d.RecvErrCntField()->setText("10");
        d.TimeoutField()->setText("30000000");
        bool inputWhileProbing = false, cancelLive = false;
        QTimer::singleShot(0, [&] {
            // The request is out; the fields wait, Cancel does not.
            EXPECT_TRUE(peer.waitForRequests(1, 5000));
            inputWhileProbing = d.ReadCommunityField()->isEnabled() || d.OkButton()->isEnabled();
            cancelLive = d.CancelButton()->isEnabled();
            cancel(d);
        });
        QElapsedTimer clock;
        clock.start();
        QTest::mouseClick(d.OkButton(), Qt::LeftButton);
        EXPECT_LT(clock.elapsed(), 5000) << "the probe was not stopped";
        EXPECT_FALSE(inputWhileProbing);
        EXPECT_TRUE(cancelLive);
        EXPECT_FALSE(d.IsProbing());
        EXPECT_EQ(d.result(), QDialog::Rejected);
        EXPECT_FALSE(d.isVisible());
        EXPECT_FALSE(d.ProbeRejected());
        EXPECT_TRUE(msgs.Texts().empty()) << "a cancelled probe is no failure";
        EXPECT_EQ(a->getAddr(), "192.0.2.1");
        EXPECT_EQ(a->getReadCommunity(), "cedrus");
        EXPECT_EQ(a->getTvUSec(), 500000);
        EXPECT_FALSE(m_dir.Exists("etc/ini/agent.ini"));
        EXPECT_EQ(peer.requestCount(), 1u);
    }
}

TEST_F(WindowsTest, AgentDialogSplitsTheTimeoutAndWritesAgentIniAfterTheProbe)
{
    QUILLON_REQUIRE_NETNS();
    MessageRecorder msgs;
    {
        CAgentDlg d;
        d.Ipv4Field()->SetAddress(127, 0, 0, 1);
        d.TimeoutField()->setText("2500000");
        d.WriteCommunityField()->setText(harness::kWriteCommunity);
        d.SendErrCntField()->setText("5");
        d.OkButton()->click();
        EXPECT_EQ(d.result(), QDialog::Accepted);
    }
    EXPECT_TRUE(msgs.Messages().empty());
    MIBAgent* a = MIBAgent::getInstance();
    EXPECT_EQ(a->getAddr(), "127.0.0.1");
    EXPECT_EQ(a->getTvSec(), 2);
    EXPECT_EQ(a->getTvUSec(), 500000);
    EXPECT_EQ(a->getSendErrCnt(), 5);
    const std::string ini = CAgentDlg::AgentIniPath();
    EXPECT_EQ(platform::GetPrivateProfileString("community", "write", "", ini), harness::kWriteCommunity);
    EXPECT_EQ(platform::GetPrivateProfileString("socket", "SendErrCnt", "", ini), "5");
    // Opening again shows what was stored.
    CAgentDlg again;
    EXPECT_EQ(again.TimeoutField()->text(), "2500000");
    EXPECT_EQ(again.SendErrCntField()->text(), "5");
    EXPECT_EQ(again.Ipv4Field()->GetFilledCount(), 0) << "the address is typed in every time";
}

TEST_F(WindowsTest, AgentDialogReportsWhatItCannotStore)
{
    QUILLON_REQUIRE_NETNS();
    MessageRecorder msgs;
    // etc is a file: etc/ini cannot be created.
    m_dir.Write("etc", "not a directory");
    {
        CAgentDlg d;
        d.Ipv4Field()->SetAddress(127, 0, 0, 1);
        d.OkButton()->click();
        EXPECT_EQ(d.result(), QDialog::Accepted) << "the agent answered: the dialog still closes with OK";
    }
    ASSERT_EQ(msgs.Texts().size(), 1u);
    EXPECT_EQ(msgs.Texts()[0], "プロファイル用ディレクトリの作成に失敗しました。");

    // An empty time-out means no wait at all: stored as 0 s + 0 us.
    msgs.Clear();
    std::filesystem::remove(m_dir.File("etc"));
    long sec = -1, usec = -1;
    CAgentDlg d;
    msgs.OnMessage([&](const platform::MessageRequest&) {
        sec = d.Edited().getTvSec();
        usec = d.Edited().getTvUSec();
    });
    d.Ipv6Radio()->click();
    d.Ipv6Field()->setText("::1");
    d.TimeoutField()->clear();
    d.ReadCommunityField()->setText("nobody-knows-this");
    d.RecvErrCntField()->setText("0");
    d.OkButton()->click();
    EXPECT_TRUE(d.ProbeRejected());
    EXPECT_EQ(sec, 0);
    EXPECT_EQ(usec, 0);
    d.CancelButton()->click();
    EXPECT_FALSE(m_dir.Exists("etc/ini/agent.ini"));
}

// ---------------------------------------------------------------- MIB tree dialog

// The launcher's large icons keep a margin above them.
TEST_F(WindowsTest, LauncherIconsDoNotTouchTheTopEdge)
{
    CQuillonView view;
    view.resize(450, 300);
    QPixmap red(32, 32);
    red.fill(Qt::red);
    for (const char* name : {"UDP情報", "MIBツリー"})
        view.ListCtrl()->addItem(new QListWidgetItem(QIcon(red), QString::fromUtf8(name)));
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    const QImage img = view.ListCtrl()->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    int top = -1;
    for (int y = 0; y < img.height() && top < 0; ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixelColor(x, y) == QColor(Qt::red)) {
                top = y;
                break;
            }
    ASSERT_GE(top, 0) << "the icon is drawn";
    EXPECT_GE(top, 6);
}

TEST_F(WindowsTest, MibTreeDialogCopiesNumericAndNameFormsThroughTheClipboard)
{
    m_dir.AddMib2();
    loader::LoadMibModules(m_dir.Path());
    MessageRecorder msgs;
    CMIBTreeDlg dlg;
    EXPECT_EQ(dlg.windowTitle(), "MIB定義");
    QTreeWidget* tree = dlg.TreeCtrl();
    ASSERT_EQ(tree->topLevelItemCount(), 3);
    EXPECT_EQ(tree->topLevelItem(0)->text(0), "ccitt(0)");
    EXPECT_EQ(tree->topLevelItem(1)->text(0), "iso(1)");
    EXPECT_EQ(widgets::GetCtrlId(tree), app::IDC_MIBTREE);

    QGuiApplication::clipboard()->setText("before");
    dlg.OnCopyNumeric();
    ASSERT_EQ(msgs.Texts().size(), 1u);
    EXPECT_EQ(msgs.Texts()[0], "コピーするアイテムを選択してください。");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "before");

    QTreeWidgetItem* sysDescr = FindItem(tree, "sysDescr(1)");
    ASSERT_NE(sysDescr, nullptr);
    tree->setCurrentItem(sysDescr);
    dlg.OnCopyNumeric();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "1.3.6.1.2.1.1.1");
    dlg.OnCopyName();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "iso.org.dod.internet.mgmt.mib-2.system.sysDescr");
    EXPECT_EQ(CMIBTreeCtrl::DragText(sysDescr), "sysDescr");

    // Children in ascending order of val.
    QTreeWidgetItem* system = sysDescr->parent();
    for (int i = 1; i < system->childCount(); ++i) {
        auto val = [](QTreeWidgetItem* it) {
            QString t = it->text(0);
            return t.mid(t.indexOf('(') + 1).chopped(1).toULong();
        };
        EXPECT_LT(val(system->child(i - 1)), val(system->child(i)));
    }

    // The search dialog is made once and bound to this tree.
    dlg.OnSearch();
    ASSERT_NE(dlg.SearchDlg(), nullptr);
    EXPECT_EQ(dlg.SearchDlg()->getTreeCtrl(), tree);
    auto* first = dlg.SearchDlg();
    dlg.OnSearch();
    EXPECT_EQ(dlg.SearchDlg(), first);
}

TEST_F(WindowsTest, TheSearchDialogOpensBesideTheTree)
{
    m_dir.AddMib2();
    MIBTree::Initialize();
    const QRect work = QGuiApplication::primaryScreen()->availableGeometry();
    // Room on the right, only on the left, and none beside it.
    for (QRect at : {QRect(work.left() + 10, work.top() + 10, 300, 400),
                     QRect(work.right() - 320, work.top() + 10, 300, 400),
                     QRect(work.left(), work.top(), work.width(), work.height() / 2)}) {
        CMIBTreeDlg dlg;
        dlg.show();
        dlg.setGeometry(at);
        QCoreApplication::processEvents();
        dlg.OnSearch();
        ASSERT_NE(dlg.SearchDlg(), nullptr);
        QCoreApplication::processEvents();
        const QRect search = dlg.SearchDlg()->frameGeometry();
        EXPECT_FALSE(search.intersects(dlg.frameGeometry()))
            << at.x() << "," << at.y() << " " << at.width() << "x" << at.height();
        EXPECT_TRUE(work.contains(search));
        // Closing the tree closes its search too.
        dlg.reject();
        EXPECT_FALSE(dlg.SearchDlg()->isVisible());
    }
}

TEST_F(WindowsTest, MibTreeDialogWithoutModulesShowsTheRootsAndKeepsItsPlacement)
{
    MIBTree::Initialize();  // no etc/mib at all
    const QRect wanted(200, 150, 330, 410);
    {
        CMIBTreeDlg dlg;
        QTreeWidget* tree = dlg.TreeCtrl();
        ASSERT_EQ(tree->topLevelItemCount(), 3);
        EXPECT_EQ(tree->topLevelItem(0)->text(0), "ccitt(0)");
        EXPECT_EQ(tree->topLevelItem(1)->text(0), "iso(1)");
        EXPECT_EQ(tree->topLevelItem(2)->text(0), "joint-iso-ccitt(2)");
        EXPECT_EQ(tree->topLevelItem(1)->childCount(), 0);
        dlg.show();
        dlg.setGeometry(wanted);
        apptest::Spin(30);
        dlg.hide();  // closing only hides
    }
    ASSERT_TRUE(m_dir.Exists("etc/ini/mibtreedlg.ini"));
    CMIBTreeDlg again;
    again.show();
    EXPECT_EQ(again.geometry(), wanted);
}

// ---------------------------------------------------------------- splash window

TEST_F(WindowsTest, SplashEyesFollowThePointer)
{
    m_dir.AddMib2();
    bool done = false;
    auto* splash = new CSplashWnd(m_dir.Path(), [&] { done = true; });
    ASSERT_TRUE(splash->HasBitmap());
    EXPECT_EQ(splash->size(), QSize(480, 360));
    EXPECT_EQ(splash->EyesOrigin(), QPoint(60, 225));
    EXPECT_EQ(splash->EyesBitmap().size(), QSize(120, 90));
    EXPECT_EQ(splash->EyeCenter(0), QPoint(30, 45));
    EXPECT_EQ(splash->EyeCenter(1), QPoint(90, 45));

    // Pointer far to the right: each pupil sits 20 px right of its centre.
    splash->DrawEyes(QPoint(10000, 225 + 45));
    const QImage& eyes = splash->EyesBitmap();
    EXPECT_EQ(QColor(eyes.pixel(51, 46)).lightness() < 100, true);
    EXPECT_EQ(QColor(eyes.pixel(30 - 20, 46)).lightness() > 200, true);
    // Pointer far below: 30 px down.
    splash->DrawEyes(QPoint(60 + 30, 10000));
    EXPECT_EQ(QColor(splash->EyesBitmap().pixel(31, 76)).lightness() < 100, true);
    EXPECT_EQ(QColor(splash->EyesBitmap().pixel(51, 46)).lightness() > 200, true);

    ASSERT_TRUE(apptest::SpinUntil([&] { return done; }, 20000));
    ASSERT_NE(MIBTree::gettop(), nullptr);
    EXPECT_NE(MIBTree::gettop()->Find("sysDescr"), nullptr);
}

// ---------------------------------------------------------------- help, version

TEST_F(WindowsTest, HelpOpensTheManualOrSaysWhyNot)
{
    MessageRecorder msgs;
    CMainFrame frame;
    frame.setGeometry(900, 700, 400, 300);
    const QString saved = CMainFrame::BrowserCommand();
    // A browser stand-in that notes what it was asked to open.
    const std::string seen = m_dir.File("seen.txt");
    m_dir.Write("browser.sh", "#!/bin/sh\necho \"$1\" > '" + seen + "'\n");
    m_dir.Write("nomethod.sh", "#!/bin/sh\necho 'xdg-open: no method available for opening' >&2\nexit 3\n");
    for (const char* s : {"browser.sh", "nomethod.sh"})
        std::filesystem::permissions(m_dir.File(s), std::filesystem::perms::owner_all);

    CMainFrame::BrowserCommand() = QString::fromStdString(m_dir.File("browser.sh"));
    frame.OnHelp();  // no manual in this start directory
    ASSERT_EQ(msgs.Messages().size(), 1u);
    EXPECT_EQ(msgs.Messages()[0].caption, "Password Change NG");
    EXPECT_EQ(msgs.Messages()[0].type & 0xF0, platform::MB_ICONINFORMATION);

    m_dir.Write("doc/help/index.html", "<html><body>Quillon</body></html>");
    frame.OnHelp();
    ASSERT_TRUE(apptest::SpinUntil([&] { return !m_dir.Read("seen.txt").empty(); }));
    EXPECT_EQ(QUrl(QString::fromStdString(m_dir.Read("seen.txt")).trimmed()).toLocalFile().toStdString(),
              m_dir.File("doc/help/index.html"));
    apptest::Spin(100);
    EXPECT_EQ(frame.GetHelpWindow(), nullptr) << "the browser took it";

    // No browser on the desktop, or no xdg-open at all: our own window,
    // inside the work area.
    for (const std::string& cmd : {m_dir.File("nomethod.sh"), m_dir.File("no-such-program")}) {
        CMainFrame::BrowserCommand() = QString::fromStdString(cmd);
        frame.OnHelp();
        ASSERT_TRUE(apptest::SpinUntil([&] { return frame.GetHelpWindow() != nullptr; })) << cmd;
        QTextBrowser* help = frame.GetHelpWindow();
        EXPECT_TRUE(help->isVisible());
        EXPECT_TRUE(help->toPlainText().contains("Quillon"));
        EXPECT_TRUE(help->screen()->availableGeometry().contains(help->frameGeometry())) << cmd;
        delete help;
    }
    CMainFrame::BrowserCommand() = saved;
}

TEST_F(WindowsTest, TheBuiltManualDescribesEveryWindow)
{
    const std::string dir = harness::BuildDir() + "/doc/help/";
    std::string all;
    for (const std::string& name : loader::ListFiles(dir, ".html")) {
        std::ifstream in(dir + name, std::ios::binary);
        all += std::string(std::istreambuf_iterator<char>(in), {});
    }
    ASSERT_FALSE(all.empty()) << "the manual is copied into the start directory";
    for (const char* title : {"メニュー一覧", "エージェントの設定", "MIB定義", "IP情報", "ICMP情報", "TCP情報",
                              "UDP情報", "SNMP情報", "Foundry情報", "CISCO情報", "カラー変更", "タイマー変更",
                              "ファイルへ保存"})
        EXPECT_NE(all.find(title), std::string::npos) << title;
}

TEST_F(WindowsTest, EveryToolBarButtonAndMenuItemHasItsPrompt)
{
    CMainFrame frame;
    ASSERT_TRUE(frame.LoadFrame());
    QToolBar* bar = frame.findChild<QToolBar*>("IDR_MAINFRAME");
    ASSERT_NE(bar, nullptr);
    int buttons = 0;
    for (QAction* a : bar->actions()) {
        if (a->isSeparator())
            continue;
        ++buttons;
        const QString id = QString::number(a->data().toInt());
        EXPECT_FALSE(a->statusTip().isEmpty()) << id.toStdString();
        EXPECT_NE(a->toolTip(), id);
        QWidget* button = bar->widgetForAction(a);
        ASSERT_NE(button, nullptr);
        QAccessibleInterface* acc = QAccessible::queryAccessibleInterface(button);
        ASSERT_NE(acc, nullptr);
        EXPECT_EQ(acc->text(QAccessible::Name), a->toolTip()) << id.toStdString();
    }
    EXPECT_EQ(buttons, 9);
    QAction* mib = nullptr;
    for (QAction* a : bar->actions())
        if (a->data().toInt() == app::ID_MIB_DEFINITION)
            mib = a;
    ASSERT_NE(mib, nullptr);
    EXPECT_EQ(mib->toolTip(), "MIB定義");

    // Both menus: every item says what it does in the status bar.
    for (const char* name : {"128", "129"}) {
        QMenuBar menus;
        ASSERT_TRUE(platform::LoadMenuBar(&menus, name));
        std::vector<QMenu*> open;
        for (QAction* a : menus.actions())
            if (a->menu())
                open.push_back(a->menu());
        while (!open.empty()) {
            QMenu* m = open.back();
            open.pop_back();
            for (QAction* a : m->actions()) {
                if (a->menu())
                    open.push_back(a->menu());
                else if (!a->isSeparator()) {
                    EXPECT_FALSE(a->statusTip().isEmpty()) << name << " " << a->text().toStdString();
                }
            }
        }
    }
}

TEST_F(WindowsTest, StandardButtonsSpeakJapaneseWhenTheCatalogueIsThere)
{
    auto yes = [] { return QCoreApplication::translate("QPlatformTheme", "&Yes"); };
    EXPECT_FALSE(app::LoadQtTranslations(QString::fromStdString(m_dir.Path())));
    EXPECT_EQ(yes(), "&Yes") << "a missing catalogue changes nothing";
    ASSERT_TRUE(app::LoadQtTranslations());
    EXPECT_TRUE(yes().contains("はい")) << yes().toStdString();
    QMessageBox box(QMessageBox::Question, "t", "q", QMessageBox::Yes | QMessageBox::No);
    EXPECT_TRUE(box.button(QMessageBox::No)->text().contains("いいえ"));
    // The file chooser's type column names a folder in Japanese too.
    EXPECT_EQ(QFileIconProvider().type(QFileInfo(QString::fromStdString(m_dir.Path()))), "フォルダ");
}

TEST_F(WindowsTest, VersionDialogShowsVersionAndContacts)
{
    CAboutDlg dlg;
    EXPECT_EQ(dlg.windowTitle(), "バージョン情報 Quillon");
    QStringList texts;
    for (QLabel* l : dlg.findChildren<QLabel*>())
        texts << l->text();
    const QString all = texts.join("\n");
    for (const char* t : {"Quillon Version 1.0.5", "Last Update: 2005/01/08", "お問合せ先", "ホームページ",
                          quillon::kContactAddress, quillon::kHomePage})
        EXPECT_TRUE(all.contains(QString::fromUtf8(t))) << t;
}

// ---------------------------------------------------------------- loader pieces

TEST_F(WindowsTest, LoaderListsFilesSortedAndFormatsLoadErrors)
{
    for (const char* n : {"z.so", "b.so", "a.SO", "m.so.txt", "k.so"})
        m_dir.Write(std::string("lib/") + n, "");
    std::filesystem::create_directories(m_dir.File("lib/dir.so"));
    std::vector<std::string> names = loader::ListFiles(m_dir.File("lib"), ".so");
    EXPECT_EQ(names, (std::vector<std::string>{"a.SO", "b.so", "k.so", "z.so"}));
    EXPECT_TRUE(loader::ListFiles(m_dir.File("missing"), ".so").empty());
    EXPECT_EQ(loader::LoadErrorText("x.so", 8, "x.so: invalid ELF header"),
              "LoadLibrary Error... :x.so \nCode: 8\nx.so: invalid ELF header\n");
    // An upper-case extension is listed by the search but not loaded.
    MessageRecorder msgs;
    EXPECT_EQ(loader::LoadPlugins(m_dir.Path()), 0);
    EXPECT_EQ(msgs.Texts().size(), 3u) << "b, k and z are empty files, a.SO is passed over";
}

