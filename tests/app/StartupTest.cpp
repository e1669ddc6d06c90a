// Start-up end to end in one process: the agent dialog answered against the
// namespace snmpd, the loader over real module files and real libraries, the
// launcher, plug-in windows, changing the agent and the saved placement.

#include "app/AppIds.h"
#include "app/CAgentDlg.h"
#include "app/CMainFrame.h"
#include "app/CQuillonApp.h"
#include "app/CQuillonView.h"
#include "mibcore/agent/MIBAgent.h"
#include "mibcore/mibtree/MIBTree.h"
#include "mibcore/platform/DocTemplate.h"
#include "mibcore/platform/Profile.h"
#include "mibcore/registry/MIB.h"
#include "tests/app/AppHarness.h"

#include <QGuiApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QtTest/QTest>

using apptest::MessageRecorder;
using apptest::StartDir;

namespace {

const char* const kNoAnswer = "エージェントと通信できません。正しいエージェントのIPアドレスを入力してください。";

void TypeIPv4(CAgentDlg* d, int a, int b, int c, int e)
{
    d->Ipv4Radio()->click();
    d->Ipv4Field()->SetAddress(a, b, c, e);
}

void AnswerIPv4(CAgentDlg* d)
{
    TypeIPv4(d, 127, 0, 0, 1);
    d->OkButton()->click();
}

void AnswerIPv6(CAgentDlg* d)
{
    d->Ipv6Radio()->click();
    d->Ipv6Field()->setText(harness::kAgentV6);
    d->OkButton()->click();
}

bool Start(CQuillonApp& app, std::function<void(CAgentDlg*)> answer)
{
    apptest::WhenModal<CAgentDlg>(std::move(answer));
    return app.InitInstance();
}

QStringList LauncherItems(CQuillonApp& app)
{
    QStringList names;
    CQuillonView* v = app.GetLauncherView();
    for (int i = 0; v && i < v->ListCtrl()->count(); ++i)
        names << v->ListCtrl()->item(i)->text();
    return names;
}

QStringList RegistryType1()
{
    QStringList names;
    for (MIB* m = MIB::gethead(); m; m = m->getnext())
        if (m->gettype() == 1)
            names << QString::fromStdString(m->getname());
    return names;
}

QList<platform::ChildFrame*> FramesShowing(MIB* mib)
{
    QList<platform::ChildFrame*> out;
    for (platform::ChildFrame* f : platform::App::GetMainFrame()->GetChildFrames())
        for (platform::View* v : f->GetViews())
            if (v->metaObject()->inherits(mib->getViewClass())) {
                out << f;
                break;
            }
    return out;
}

void DoubleClick(QListWidget* list, const QString& text)
{
    QList<QListWidgetItem*> items = list->findItems(text, Qt::MatchExactly);
    ASSERT_EQ(items.size(), 1) << text.toStdString();
    list->scrollToItem(items.first());
    QRect r = list->visualItemRect(items.first());
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, r.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, r.center());
}

class StartupTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        apptest::EnsureApp();
        QUILLON_REQUIRE_NETNS();
        // Each start begins from the defaults a fresh process would have.
        apptest::UseDefaultAgentSettings();
        MIBAgent::getInstance()->setNetworkLayerType(2);
    }
};

}  // namespace

TEST_F(StartupTest, AgentDialogOverIPv4And6WritesAgentIniAndTitlesTheFrame)
{
    {
        StartDir dir;
        MessageRecorder msgs;
        CQuillonApp app;
        ASSERT_TRUE(Start(app, [](CAgentDlg* d) {
            d->TimeoutField()->setText("2500000");
            AnswerIPv4(d);
        }));
        EXPECT_TRUE(msgs.Messages().empty());
        EXPECT_EQ(app.GetMainFrame()->windowTitle().toStdString(), "Quillon 127.0.0.1");
        const std::string ini = dir.File("etc/ini/agent.ini");
        EXPECT_EQ(platform::GetPrivateProfileString("community", "read", "?", ini), "cedrus");
        EXPECT_EQ(platform::GetPrivateProfileString("community", "write", "?", ini), "cedrus");
        EXPECT_EQ(platform::GetPrivateProfileString("socket", "SendErrCnt", "?", ini), "3");
        EXPECT_EQ(platform::GetPrivateProfileString("socket", "RecvErrCnt", "?", ini), "3");
        EXPECT_EQ(platform::GetPrivateProfileString("socket", "tv_sec", "?", ini), "2");
        EXPECT_EQ(platform::GetPrivateProfileString("socket", "tv_usec", "?", ini), "500000");
        // Keys in the documented order.
        const std::string text = dir.Read("etc/ini/agent.ini");
        EXPECT_LT(text.find("read="), text.find("write="));
        EXPECT_LT(text.find("SendErrCnt="), text.find("RecvErrCnt="));
        EXPECT_LT(text.find("tv_sec="), text.find("tv_usec="));

        // The launcher frame exists at once and keeps its own title.
        QList<platform::ChildFrame*> frames = app.GetMainFrame()->GetChildFrames();
        ASSERT_EQ(frames.size(), 1);
        EXPECT_EQ(frames.first()->windowTitle().toStdString(), "メニュー一覧");
        EXPECT_FALSE(frames.first()->IsClosable());
        // No close box and no close item, but the rest of the system menu.
        EXPECT_FALSE(frames.first()->windowFlags() & Qt::WindowCloseButtonHint);
        ASSERT_NE(frames.first()->CloseItem(), nullptr);
        EXPECT_FALSE(frames.first()->CloseItem()->isVisible());
        ASSERT_TRUE(app.WaitForLoader(20000));
        app.ExitInstance();
        EXPECT_EQ(MIBTree::gettop(), nullptr) << "shutdown frees the tree";
    }
    {
        // The same again over IPv6; agent.ini from the first start is read:
        // the dialog shows 2500000.
        StartDir dir;
        dir.Write("etc/ini/agent.ini", "[community]\r\nread=cedrus\r\n[socket]\r\ntv_sec=2\r\ntv_usec=500000\r\n");
        MessageRecorder msgs;
        CQuillonApp app;
        QString shownTimeout;
        ASSERT_TRUE(Start(app, [&](CAgentDlg* d) {
            shownTimeout = d->TimeoutField()->text();
            AnswerIPv6(d);
        }));
        EXPECT_EQ(shownTimeout, "2500000");
        EXPECT_EQ(MIBAgent::getInstance()->getNetworkLayerType(), 23);
        EXPECT_EQ(app.GetMainFrame()->windowTitle().toStdString(), "Quillon ::1");
        EXPECT_TRUE(dir.Exists("etc/ini/agent.ini"));
        app.WaitForLoader(20000);
    }
}

TEST_F(StartupTest, CancelEndsWithoutMainWindowOrAgentIni)
{
    StartDir dir;
    CQuillonApp app;
    EXPECT_FALSE(Start(app, [](CAgentDlg* d) { d->CancelButton()->click(); }));
    EXPECT_FALSE(dir.Exists("etc/ini/agent.ini"));
    EXPECT_EQ(app.GetMainFrame(), nullptr);
    EXPECT_EQ(platform::App::GetMainFrame(), nullptr);
    for (QWidget* w : QApplication::topLevelWidgets())
        EXPECT_FALSE(qobject_cast<platform::MainFrame*>(w) && w->isVisible());
}

TEST_F(StartupTest, RejectedProbeKeepsDialogOpenAndCancelRestoresSettings)
{
    StartDir dir;
    MessageRecorder msgs;
    std::string readDuringProbe;
    long usecDuringProbe = -1;
    msgs.OnMessage([&](const platform::MessageRequest&) {
        readDuringProbe = MIBAgent::getInstance()->getReadCommunity();
        usecDuringProbe = MIBAgent::getInstance()->getTvUSec();
    });
    CQuillonApp app;
    bool stillOpen = false;
    const bool started = Start(app, [&](CAgentDlg* d) {
        // Too few octets first: the address message, nothing probed.
        d->Ipv4Field()->SetAddress(127, 0, 0, 1);
        d->Ipv4Field()->Field(3)->clear();
        d->OkButton()->click();
        // A community the agent ignores: no answer within one short wait.
        d->Ipv4Field()->SetAddress(127, 0, 0, 1);
        d->ReadCommunityField()->setText("not-a-community");
        d->RecvErrCntField()->setText("0");
        d->TimeoutField()->setText("200000");
        d->OkButton()->click();
        stillOpen = d->isVisible();
        d->CancelButton()->click();
    });
    EXPECT_FALSE(started);
    EXPECT_TRUE(stillOpen);
    ASSERT_EQ(msgs.Texts().size(), 2u);
    EXPECT_EQ(msgs.Texts()[0], "正しいエージェントのIPアドレスを入力してください。");
    EXPECT_EQ(msgs.Texts()[1], kNoAnswer);
    // The probe used a copy: windows kept polling the agent they had.
    EXPECT_EQ(readDuringProbe, "cedrus");
    EXPECT_EQ(usecDuringProbe, 500000);
    // Cancel brought the snapshot back and wrote nothing.
    EXPECT_EQ(MIBAgent::getInstance()->getReadCommunity(), "cedrus");
    EXPECT_EQ(MIBAgent::getInstance()->getTvUSec(), 500000);
    EXPECT_EQ(MIBAgent::getInstance()->getRecvErrCnt(), 3);
    EXPECT_FALSE(dir.Exists("etc/ini/agent.ini"));
}

TEST_F(StartupTest, ModulesLoadInRetryPassesWithMessagesOnlyInTheLast)
{
    StartDir dir;
    dir.AddMib2();
    // a-child needs a parent from b-parent, which comes later in the order.
    dir.Write("etc/mib/a-child.mib", "quillonChild OBJECT IDENTIFIER ::= { quillonTest 1 }\n");
    dir.Write("etc/mib/b-parent.mib",
              "TEST-PARENT-MIB DEFINITIONS ::= BEGIN\n"
              "quillonTest OBJECT IDENTIFIER ::= { enterprises 99999 }\nEND\n");
    // Two modules that never load: two definitions, then one.
    dir.Write("etc/mib/c-orphan.mib",
              "orphanOne OBJECT IDENTIFIER ::= { nowhere 1 }\norphanTwo OBJECT IDENTIFIER ::= { nowhere 2 }\n");
    dir.Write("etc/mib/d-orphan.mib", "orphanThree OBJECT IDENTIFIER ::= { nowhere 3 }\n");
    // Names the loader passes over.
    dir.Write("etc/mib/e-upper.MIB", "upperCase OBJECT IDENTIFIER ::= { enterprises 424242 }\n");
    dir.Write("etc/mib/MIB-2.mib", "caseTwin OBJECT IDENTIFIER ::= { enterprises 434343 }\n");

    MessageRecorder msgs;
    msgs.Answer(platform::IDNO);  // the first question: no further errors
    CQuillonApp app;
    ASSERT_TRUE(Start(app, AnswerIPv4));
    EXPECT_TRUE(LauncherItems(app).isEmpty()) << "the list stays empty while the loader runs";
    ASSERT_TRUE(app.WaitForLoader(20000));

    MIBTree* top = MIBTree::gettop();
    ASSERT_NE(top, nullptr);
    std::string path;
    EXPECT_EQ(top->GetAllString(path, "quillonChild"), 1);
    EXPECT_EQ(path, "iso.org.dod.internet.private.enterprises.quillonTest.quillonChild");
    EXPECT_NE(top->Find("caseTwin"), nullptr) << "only the exact name mib-2.mib is skipped";
    EXPECT_EQ(top->Find("upperCase"), nullptr) << "only .mib in lower case is loaded";
    EXPECT_EQ(top->Find("orphanOne"), nullptr);

    // One question, in the last pass, about the first orphan; "No" silenced
    // the rest of that pass.
    ASSERT_EQ(msgs.Messages().size(), 1u);
    const std::string text = msgs.Messages()[0].text;
    EXPECT_NE(text.find("親MIBオブジェクト[nowhere]"), std::string::npos) << text;
    EXPECT_NE(text.find("MIBオブジェクト[orphanOne]"), std::string::npos) << text;
    EXPECT_NE(text.find("c-orphan.mib"), std::string::npos) << text;
    EXPECT_EQ(msgs.Messages()[0].type & 0x0F, platform::MB_YESNO);
}

TEST_F(StartupTest, ModuleErrorsAreAllShownWhenTheOperatorWantsThem)
{
    StartDir dir;
    dir.AddMib2();
    dir.Write("etc/mib/c-orphan.mib",
              "orphanOne OBJECT IDENTIFIER ::= { nowhere 1 }\norphanTwo OBJECT IDENTIFIER ::= { nowhere 2 }\n");
    dir.Write("etc/mib/d-orphan.mib", "orphanThree OBJECT IDENTIFIER ::= { nowhere 3 }\n");
    MessageRecorder msgs(platform::IDYES);
    CQuillonApp app;
    ASSERT_TRUE(Start(app, AnswerIPv4));
    ASSERT_TRUE(app.WaitForLoader(20000));
    std::vector<std::string> t = msgs.Texts();
    ASSERT_EQ(t.size(), 3u);
    EXPECT_NE(t[0].find("orphanOne"), std::string::npos);
    EXPECT_NE(t[1].find("orphanTwo"), std::string::npos);
    EXPECT_NE(t[2].find("orphanThree"), std::string::npos);
}

TEST_F(StartupTest, BrokenLibraryGivesOneMessageAndLaterPluginsStillRegister)
{
    StartDir dir;
    dir.AddMib2();
    dir.Write("lib/broken.so", "this is not a library\n");
    dir.Write("lib/notes.txt", "ignored\n");
    dir.Link(QUILLON_TESTPLUG_PATH, "lib/testplug.so");
    MessageRecorder msgs;
    CQuillonApp app;
    ASSERT_TRUE(Start(app, AnswerIPv4));
    ASSERT_TRUE(app.WaitForLoader(20000));

    ASSERT_EQ(msgs.Texts().size(), 1u);
    const std::string text = msgs.Texts()[0];
    // dlopen sets no errno: the code says "not a loadable library" (ENOEXEC).
    EXPECT_EQ(text.rfind("LoadLibrary Error... :broken.so \nCode: 8\n", 0), 0u) << text;
    // The reason follows on a line of its own.
    std::vector<std::string> lines = harness::Lines(text);
    ASSERT_EQ(lines.size(), 3u) << text;
    EXPECT_NE(lines[2].find("broken.so"), std::string::npos) << text;
    EXPECT_NE(MIB::Find("テスト情報A"), nullptr);
    EXPECT_NE(MIB::Find("テスト情報B"), nullptr);

    // The launcher lists the type-1 descriptors in registry order, each
    // with its own icon even though one of them has none.
    QStringList items = LauncherItems(app);
    EXPECT_EQ(items, RegistryType1());
    EXPECT_FALSE(items.contains("テスト補助"));
    CQuillonView* v = app.GetLauncherView();
    auto iconOf = [&](const QString& name) {
        return v->ListCtrl()->findItems(name, Qt::MatchExactly).first()->icon().pixmap(32, 32).toImage();
    };
    QImage a = iconOf("テスト情報A");
    QImage b = iconOf("テスト情報B");
    EXPECT_GT(qAlpha(a.pixel(16, 16)), 0) << "A shows its own icon";
    EXPECT_EQ(qAlpha(b.pixel(16, 16)), 0) << "B has none and does not borrow A's";
    ASSERT_NE(v->DetailsCtrl()->headerItem(), nullptr);
    EXPECT_EQ(v->DetailsCtrl()->headerItem()->text(0), "サービス");
    EXPECT_EQ(v->DetailsCtrl()->headerItem()->text(1), "説明");
}

TEST_F(StartupTest, LauncherOpensOneWindowPerPluginAndAgentChangeClosesThem)
{
    StartDir dir;
    dir.AddMib2();
    dir.Link(QUILLON_TESTPLUG_PATH, "lib/testplug.so");
    MessageRecorder msgs;
    CQuillonApp app;
    ASSERT_TRUE(Start(app, AnswerIPv4));
    ASSERT_TRUE(app.WaitForLoader(20000));
    CQuillonView* v = app.GetLauncherView();
    ASSERT_NE(v, nullptr);
    MIB* a = MIB::Find("テスト情報A");
    MIB* b = MIB::Find("テスト情報B");
    ASSERT_TRUE(a && b);

    DoubleClick(v->ListCtrl(), "テスト情報A");
    QList<platform::ChildFrame*> fa = FramesShowing(a);
    ASSERT_EQ(fa.size(), 1);
    EXPECT_EQ(fa.first()->windowTitle().toStdString(), "テスト情報A");
    EXPECT_EQ(fa.first()->property("starts").toInt(), 1);
    EXPECT_EQ(fa.first()->GetViews().first()->property("rebuilds").toInt(), 1);
    EXPECT_NE(a->getViewDocTemplate(0), nullptr) << "the template is remembered by the descriptor";
    // Without a saved placement the window opens at a working size inside the work area.
    const QRect room = app.GetMainFrame()->MdiArea()->viewport()->rect();
    EXPECT_EQ(fa.first()->width(), std::min(720, room.width()));
    EXPECT_EQ(fa.first()->height(), std::min(420, room.height()));
    EXPECT_TRUE(room.contains(fa.first()->geometry()));

    // B's frame shows a splitter whose first pane is the sub-view.
    DoubleClick(v->ListCtrl(), "テスト情報B");
    platform::ChildFrame* fb = nullptr;
    for (platform::ChildFrame* f : app.GetMainFrame()->GetChildFrames())
        if (f->windowTitle() == "テスト情報B")
            fb = f;
    ASSERT_NE(fb, nullptr) << [&] {
        std::string t;
        for (platform::ChildFrame* f : app.GetMainFrame()->GetChildFrames())
            t += f->windowTitle().toStdString() + ";";
        return t;
    }();
    EXPECT_EQ(CQuillonView::FindOpenFrame(b), fb);
    EXPECT_EQ(app.GetMainFrame()->MDIGetActive(), fb);

    // A second double-click activates the open window.
    const int before = app.GetMainFrame()->GetChildFrames().size();
    DoubleClick(v->ListCtrl(), "テスト情報A");
    EXPECT_EQ(app.GetMainFrame()->GetChildFrames().size(), before);
    EXPECT_EQ(app.GetMainFrame()->MDIGetActive(), fa.first());
    EXPECT_EQ(fa.first()->property("starts").toInt(), 1);

    // Double-click on empty space: nothing.
    v->ListCtrl()->clearSelection();
    v->OnDblclk();
    EXPECT_EQ(app.GetMainFrame()->GetChildFrames().size(), before);

    // Changing the agent closes the plug-in windows, keeps the launcher
    // and retitles the frame.
    apptest::WhenModal<CAgentDlg>(AnswerIPv6);
    app.GetMainFrame()->SendCommand(app::ID_AGENT_SETTINGS);
    apptest::Spin(50);
    QList<platform::ChildFrame*> left = app.GetMainFrame()->GetChildFrames();
    ASSERT_EQ(left.size(), 1);
    EXPECT_NE(qobject_cast<CChildFrame*>(left.first()), nullptr);
    EXPECT_EQ(app.GetMainFrame()->windowTitle().toStdString(), "Quillon ::1");
    EXPECT_EQ(LauncherItems(app), RegistryType1()) << "the launcher keeps its list";

    // Cancel from the menu changes nothing.
    DoubleClick(v->ListCtrl(), "テスト情報A");
    apptest::WhenModal<CAgentDlg>([](CAgentDlg* d) { d->CancelButton()->click(); });
    app.GetMainFrame()->SendCommand(app::ID_AGENT_SETTINGS);
    EXPECT_EQ(FramesShowing(a).size(), 1);
    EXPECT_EQ(app.GetMainFrame()->windowTitle().toStdString(), "Quillon ::1");
    EXPECT_TRUE(msgs.Messages().empty());
}

TEST_F(StartupTest, MainWindowPlacementSurvivesARestart)
{
    StartDir dir;
    MessageRecorder msgs;
    const QRect wanted(130, 90, 700, 520);
    {
        CQuillonApp app;
        ASSERT_TRUE(Start(app, AnswerIPv4));
        app.WaitForLoader(20000);
        app.GetMainFrame()->setGeometry(wanted);
        apptest::Spin(50);
        app.ExitInstance();
    }
    ASSERT_TRUE(dir.Exists("etc/ini/quillon.ini"));
    EXPECT_NE(dir.Read("etc/ini/quillon.ini").find("frame="), std::string::npos);
    {
        CQuillonApp app;
        ASSERT_TRUE(Start(app, AnswerIPv4));
        EXPECT_EQ(app.GetMainFrame()->geometry(), wanted);
        app.WaitForLoader(20000);
    }
    // A damaged record gives the default placement, not a broken window.
    dir.Write("etc/ini/quillon.ini", "[window]\r\nframe=00FF00\r\n");
    {
        CQuillonApp app;
        ASSERT_TRUE(Start(app, AnswerIPv4));
        EXPECT_EQ(app.GetMainFrame()->size(),
                  CMainFrame::DefaultSize(QGuiApplication::primaryScreen()->availableGeometry()));
        app.WaitForLoader(20000);
    }
    // Without a placement the window takes three quarters of a large
    // screen, and never less than 800 x 600 unless the screen is smaller.
    const std::pair<QRect, QSize> sizes[] = {
        {QRect(0, 0, 1280, 1024), QSize(960, 768)},
        {QRect(0, 30, 2560, 1410), QSize(1920, 1057)},
        {QRect(0, 0, 800, 600), QSize(800, 600)},
        {QRect(0, 0, 640, 480), QSize(640, 480)},
        {QRect(), QSize(800, 600)},
    };
    for (const auto& [work, size] : sizes)
        EXPECT_EQ(CMainFrame::DefaultSize(work), size) << work.width() << "x" << work.height();
}
