// The user-defined objects window against the fault agent and real files:
// INTEGER -1, the CSV export, the OID dialog, the colours, and the XML
// file's round trip and its broken forms.

#include <QContextMenuEvent>
#include <QDialogButtonBox>
#include <QMenu>
#include <QPushButton>
#include <QTest>

#include <functional>
#include <map>

#include "mibcore/platform/FileDialog.h"
#include "mibcore/platform/Profile.h"
#include "mibcore/widgets/WidgetResources.h"
#include "plugins/countergroup/GraphRender.h"
#include "snmpval/Cp932.h"
#include "tests/plugins/countergroup/LocalStamp.h"
#include "tests/plugins/userplug/UserHarness.h"
#include "tests/support/faultpeer/FaultAgent.h"

using namespace usertest;
namespace fp = faultpeer;

namespace {

class UserWindowFilesTest : public UserWindowTest {
protected:
    void SetUp() override
    {
        UserWindowTest::SetUp();
        if (HasFatalFailure())
            return;
        if (harness::InNetns()) {
            peer = std::make_unique<fp::FaultAgent>();
            peer->setScript(fp::serve(mib));
            UseAgent(peer->address(), 2, 3);
        } else {
            UseAgent("not-an-address", 2, 3);  // fails at once (19)
        }
    }
    void TearDown() override
    {
        platform::SetFileHook({});
        UserWindowTest::TearDown();
        peer.reset();
    }
    std::string Path(const std::string& name) const { return m_startDir.path().toStdString() + "/" + name; }
    void Write(const std::string& path, const std::string& bytes) const
    {
        QFile f(QString::fromStdString(path));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes.data(), qint64(bytes.size()));
    }
    // Loads through the frame's command with the chooser answering path.
    void LoadCommand(UserWindow& u, const std::string& path)
    {
        platform::SetFileHook([path](const platform::FileRequest&) { return std::optional<std::string>(path); });
        ASSERT_TRUE(u.frame->SendCommand(userplug::kCmdXmlLoad));
    }
    // Answers the next OID dialog with text and OK; closes it afterwards
    // with Cancel if it stays open (a message refused the text).
    void AnswerOidDialog(const QString& text)
    {
        QTimer::singleShot(0, [text] {
            auto* dlg = qobject_cast<CUserOidDlg*>(QApplication::activeModalWidget());
            ASSERT_NE(dlg, nullptr);
            auto* edit = qobject_cast<QLineEdit*>(widgets::GetDlgItem(dlg, userplug::kEditObjectId));
            ASSERT_NE(edit, nullptr);
            edit->setText(text);
            dlg->accept();
            if (dlg->isVisible())
                dlg->reject();
        });
    }

    // Gauges 1.3.6.1.4.1.99.i.0 = step * i for i = 1..count, each answer
    // delayMs late.
    void SlowGauges(uint32_t count, uint32_t step, int delayMs)
    {
        for (uint32_t i = 1; i <= count; ++i)
            mib->set(fp::parseOid("1.3.6.1.4.1.99." + std::to_string(i) + ".0"), fp::gauge(step * i));
        auto serve = fp::serve(mib);
        peer->setScript([serve, delayMs](const fp::Request& r, int i) {
            std::vector<fp::Send> out = serve(r, i);
            for (fp::Send& s : out)
                s.delayMs = delayMs;
            return out;
        });
        UseAgent(peer->address(), 2, 3, 0, 1000000);
    }

    std::unique_ptr<fp::FaultAgent> peer;
    std::shared_ptr<fp::Mib> mib = std::make_shared<fp::Mib>();
};

#define REQUIRE_PEER()                                                            \
    do {                                                                          \
        if (!peer)                                                                \
            GTEST_SKIP() << "needs the private network namespace: run ./test.sh"; \
    } while (0)

const char kHeader[] = "\x8e\x9e\x8d\x8f";  // 時刻 in CP932

}  // namespace

TEST_F(UserWindowFilesTest, NegativeIntegerAndCsvOfTwoObjectsAfterThreeCycles)
{
    REQUIRE_PEER();
    mib->set(fp::parseOid("1.3.6.1.4.1.99.1.0"), fp::integer(-1));
    mib->set(fp::parseOid("1.3.6.1.4.1.99.2.0"), fp::counter(1000));
    UserWindow u = OpenUser();
    ASSERT_TRUE(u);
    ASSERT_TRUE(Add(u, "1.3.6.1.4.1.99.1.0"));
    ASSERT_TRUE(Add(u, "iso.3.6.1.4.1.99.2.0"));
    mib->set(fp::parseOid("1.3.6.1.4.1.99.2.0"), fp::counter(1000));
    u.list->Poll();  // the counter's first answer: (0, 16)
    mib->set(fp::parseOid("1.3.6.1.4.1.99.2.0"), fp::counter(1025));
    u.list->Poll();
    EXPECT_EQ(Cell(u, 0, 1), "4294967295");
    EXPECT_EQ(Cell(u, 1, 1), "25");

    const std::string path = Path("two.csv");
    platform::SetFileHook([&](const platform::FileRequest&) { return std::optional<std::string>(path); });
    ASSERT_TRUE(u.frame->SendCommand(countergroup::kCmdSaveFile));
    const ValatTime* h0 = u.doc->getSeries(0)->getValatTime();
    // Three cycles: the first (when the first object was added) reached
    // only the INTEGER, whose value counts from its first answer.
    std::string want = std::string(kHeader) + ",1.3.6.1.4.1.99.1.0,iso.3.6.1.4.1.99.2.0\n";
    for (int k = 58; k <= 60; ++k)
        want += cgtest::LocalStamp(h0[k].getTime()) + ",4294967295," +
                std::to_string(u.doc->getSeries(1)->getValatTime()[k].getVal()) + "\n";
    EXPECT_EQ(ReadFile(path), want);
    EXPECT_EQ(u.doc->getSeries(1)->getValatTime()[59].getErrIdx(), 16);
    EXPECT_EQ(u.doc->getSeries(1)->getValatTime()[60].getVal(), 25u);
}

TEST_F(UserWindowFilesTest, DialogRefusesEmptyUnknownAndOverlongTexts)
{
    UserWindow u = OpenUser();
    ASSERT_TRUE(u);
    std::string longText = "1";
    for (int i = 0; i < 64; ++i)
        longText += ".1";  // 65 components
    struct Case {
        QString text;
        const char* message;  // null: accepted
    } cases[] = {
        {"", userplug::kMsgEmptyText},
        {"noSuchObjectName.0", userplug::kMsgUnknownName},
        {"sysUpTime.x", userplug::kMsgUnknownName},
        {QString::fromStdString(longText), userplug::kMsgUnknownName},
        // No request can carry these: one arc, a first arc over 2, a
        // second over 39 under 0 or 1.
        {"iso", userplug::kMsgUnknownName},
        {"1", userplug::kMsgUnknownName},
        {"5.1", userplug::kMsgUnknownName},
        {"1.40.1", userplug::kMsgUnknownName},
        {"sysDescr.0", nullptr},
        {"2.999.1", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        messages.Clear();
        const int before = u.doc->getObjectCount();
        AnswerOidDialog(c.text);
        ASSERT_TRUE(widgets::SendCommand(u.list, userplug::kCmdAddObject));
        if (c.message) {
            EXPECT_EQ(messages.Texts(), std::vector<std::string>{c.message});
            EXPECT_EQ(u.doc->getObjectCount(), before);
        } else {
            EXPECT_TRUE(messages.Texts().empty());
            EXPECT_EQ(u.doc->getObjectCount(), before + 1);
        }
    }
    // 64 components still fit.
    EXPECT_TRUE(Add(u, longText.substr(2)));
    EXPECT_EQ(u.doc->getUserSeries(2)->getOidListSize(), 64u);
}

TEST_F(UserWindowFilesTest, ObjectUnderArcTwoBeyondThirtyNineIsAskedForAsTyped)
{
    REQUIRE_PEER();
    mib->set(fp::parseOid("2.999.1"), fp::gauge(42));
    mib->set(fp::parseOid("0.55.1"), fp::gauge(7));  // what one octet made of it
    UserWindow u = OpenUser();
    ASSERT_TRUE(u);
    ASSERT_TRUE(Add(u, "2.999.1"));
    EXPECT_EQ(Cell(u, 0, 1), "42");
    const std::vector<fp::Request> asked = peer->requests();
    ASSERT_FALSE(asked.empty());
    ASSERT_EQ(asked.back().bindings.size(), 1u);
    EXPECT_EQ(asked.back().bindings[0].oid, fp::parseOid("2.999.1"));
}

TEST_F(UserWindowFilesTest, NineteenthObjectTakesTheFirstColour)
{
    UserWindow u = OpenUser();
    ASSERT_TRUE(u);
    for (int i = 0; i < 19; ++i)
        ASSERT_TRUE(Add(u, "1.3.6.1.4.1.99." + std::to_string(i + 1) + ".0"));
    for (int i = 0; i < 19; ++i) {
        const platform::LogPen lp = u.doc->getSeries(i)->getLogPen();
        EXPECT_EQ(lp.color, countergroup::GraphResources::kSeriesColours[i % 18]) << i;
        EXPECT_EQ(lp.widthX, 2);
    }
    EXPECT_EQ(u.doc->getSeries(18)->getLogPen(), u.doc->getSeries(0)->getLogPen());
    // Removing rows 0 and 2 keeps the others in order with their pens.
    u.list->GetListCtrl().SetItemState(0, true);
    u.list->GetListCtrl().SetItemState(2, true);
    u.list->RemoveSelected();
    ASSERT_EQ(u.doc->getObjectCount(), 17);
    EXPECT_EQ(Cell(u, 0, 0), "1.3.6.1.4.1.99.2.0");
    EXPECT_EQ(Cell(u, 1, 0), "1.3.6.1.4.1.99.4.0");
    EXPECT_EQ(u.doc->getSeries(1)->getLogPen().color, countergroup::GraphResources::kSeriesColours[3]);
    EXPECT_EQ(u.doc->RequestOid(1), (std::vector<unsigned long>{1, 3, 6, 1, 4, 1, 99, 4, 0}));
}

TEST_F(UserWindowFilesTest, XmlRoundTripRestoresNamesPensAndTimer)
{
    UserWindow u = OpenUser();
    ASSERT_TRUE(u);
    platform::CmdUI save(userplug::kCmdXmlSave);
    platform::UpdateCommand(u.frame, save);
    EXPECT_FALSE(save.IsEnabled());  // nothing to save yet
    ASSERT_TRUE(Add(u, "sysUpTime.0"));
    ASSERT_TRUE(Add(u, "iso.3.6.1.2.1.1.5.0"));
    // A Japanese name: an object of our own enterprise, renamed.
    const platform::LogPen dotted{platform::PS_DOT, 1, 0, 0x123456};
    u.doc->getSeries(1)->setPen(&dotted);
    u.doc->getSeries(1)->setName("1.3.6.1.2.1.1.5.0");
    ASSERT_TRUE(u.frame->SendCommand(33228));
    platform::UpdateCommand(u.frame, save);
    EXPECT_TRUE(save.IsEnabled());

    const std::string path = Path("list.xml");
    platform::SetFileHook([&](const platform::FileRequest& r) {
        EXPECT_EQ(r.filter, "xml files(.xml)|*.xml||");
        EXPECT_EQ(r.defaultExt, ".xml");
        return std::optional<std::string>(path);
    });
    ASSERT_TRUE(u.frame->SendCommand(userplug::kCmdXmlSave));
    const std::string bytes = ReadFile(path);
    EXPECT_EQ(bytes.rfind("<?xml version='1.0' encoding='Shift_JIS'?>", 0), 0u) << bytes;
    EXPECT_NE(bytes.find("<Quillon version=\"1.0.4\"><UserMIB><TimeId>33228</TimeId><Interval>60000</Interval>"
                         "<HistoryNum>61</HistoryNum><Oid><OidName>sysUpTime.0</OidName><OidPen>"
                         "<OidPenStyle>0</OidPenStyle><OidPenWidth>2</OidPenWidth><OidPenColor>FF0000</OidPenColor>"),
              std::string::npos)
        << bytes;
    EXPECT_NE(bytes.find("<OidPenColor>563412</OidPenColor>"), std::string::npos);

    UserWindow v = OpenUser();
    ASSERT_TRUE(v);
    LoadCommand(v, path);
    EXPECT_TRUE(messages.Texts().empty());
    ASSERT_EQ(v.doc->getObjectCount(), 2);
    EXPECT_EQ(Cell(v, 0, 0), "sysUpTime.0");
    EXPECT_EQ(v.doc->getSeries(1)->getLogPen(), dotted);
    EXPECT_EQ(v.doc->getTimeId(), 33228);
    EXPECT_EQ(v.doc->getInterval(), 60000);
    EXPECT_TRUE(v.list->IsTimerActive(countergroup::kTimerPoll));
    // A file that cannot be written is reported and changes nothing.
    messages.Clear();
    EXPECT_FALSE(u.doc->SaveXml(Path("no/such/dir/list.xml")));
    EXPECT_EQ(messages.Texts().size(), 1u);
    EXPECT_EQ(u.doc->getObjectCount(), 2);
    // Nothing of it lives in user.ini.
    CloseUser(v);
    CloseUser(u);
    EXPECT_EQ(platform::GetPrivateProfileString("timer", "timeId", "", IniPath("user.ini")), "");
    EXPECT_EQ(platform::GetPrivateProfileString("pen", "logpen.0", "", IniPath("user.ini")), "");
}

TEST_F(UserWindowFilesTest, XmlFilesAsPeopleWriteThem)
{
    const std::string head = "<?xml version='1.0' encoding='Shift_JIS'?>";
    auto oid = [](const std::string& name, const std::string& pen = "") {
        return "<Oid><OidName>" + name + "</OidName>" + pen + "</Oid>";
    };
    struct Case {
        const char* what;
        std::string bytes;
        std::vector<std::string> messages;
        std::vector<std::string> names;
        int timeId;
        long interval;
        int history;
    } cases[] = {
        {"edited Interval is ignored, edited TimeId is not",
         head + "<Quillon><UserMIB><TimeId>33225</TimeId><Interval>1</Interval>" + oid("sysUpTime.0") +
             "</UserMIB></Quillon>",
         {}, {"sysUpTime.0"}, 33225, 5000, 61},
        {"an empty OidName is reported once, the others load",
         head + "<Quillon><UserMIB>" + oid("sysUpTime.0") + oid("") + oid(" ifInOctets.1 ") + "</UserMIB></Quillon>",
         {userplug::kMsgBadObject}, {"sysUpTime.0", "ifInOctets.1"}, 33226, 15000, 61},
        {"hand-formatted with CRLF and unknown elements",
         head + "\r\n<Quillon version=\"1.0.4\">\r\n  <Comment>x</Comment>\r\n  <UserMIB>\r\n    <TimeId> 33227 "
                "</TimeId>\r\n    <HistoryNum>\r\n30\r\n</HistoryNum>\r\n    <Oid>\r\n      <OidName>\r\n        "
                "sysUpTime.0\r\n      </OidName>\r\n      <Extra/>\r\n    </Oid>\r\n  </UserMIB>\r\n</Quillon>\r\n",
         {}, {"sysUpTime.0"}, 33227, 30000, 30},
        {"a file declared UTF-8", "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Quillon><UserMIB>" + oid("sysName.0") +
                                      "</UserMIB></Quillon>",
         {}, {"sysName.0"}, 33226, 15000, 61},
        {"values the save never writes keep the defaults",
         head + "<Quillon><UserMIB><TimeId>1</TimeId><HistoryNum>1</HistoryNum>" + oid("sysUpTime.0") +
             "<HistoryNum>200</HistoryNum></UserMIB></Quillon>",
         {std::string(userplug::kMsgRefusedValues) + "\nTimeId「1」はタイマーの選択肢にないので、使いませんでした。"
                                                       "\nHistoryNum「1」は2から1000の範囲にないので、使いませんでした。"
                                                       "\nHistoryNum「200」は最初のOidより後にあるので、使いませんでした。"},
         {"sysUpTime.0"}, 33226, 15000, 61},
        {"a large history", head + "<Quillon><UserMIB><HistoryNum>200</HistoryNum>" + oid("sysUpTime.0") +
                                "</UserMIB></Quillon>",
         {}, {"sysUpTime.0"}, 33226, 15000, 200},
        {"no Quillon", head + "<Other><UserMIB/></Other>", {userplug::kMsgNoQuillon}, {}, 33226, 15000, 61},
        {"no UserMIB", head + "<Quillon><Other/></Quillon>", {userplug::kMsgNoUserMib}, {}, 33226, 15000, 61},
        {"not well-formed", head + "<Quillon><UserMIB>", {userplug::kMsgNoQuillon}, {}, 33226, 15000, 61},
        {"not XML at all", std::string("\x00\xff\x81garbage", 10), {userplug::kMsgNoQuillon}, {}, 33226, 15000, 61},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        UserWindow u = OpenUser();
        ASSERT_TRUE(u);
        // Something loaded before: a load starts from an empty window.
        ASSERT_TRUE(Add(u, "sysContact.0"));
        ASSERT_TRUE(u.frame->SendCommand(33229));
        messages.Clear();
        const std::string path = Path("case.xml");
        Write(path, c.bytes);
        LoadCommand(u, path);
        EXPECT_EQ(messages.Texts(), c.messages);
        std::vector<std::string> names;
        for (int i = 0; i < u.doc->getObjectCount(); ++i)
            names.push_back(u.doc->getSeries(i)->getName());
        EXPECT_EQ(names, c.names);
        EXPECT_EQ(u.list->GetListCtrl().GetItemCount(), int(c.names.size()));
        EXPECT_EQ(u.doc->getTimeId(), c.timeId);
        EXPECT_EQ(u.doc->getInterval(), c.interval);
        EXPECT_EQ(u.doc->getHistoryLength(), c.history);
        EXPECT_EQ(u.doc->getCursor(), c.history - 1);  // inside the history
        EXPECT_EQ(u.list->IsTimerActive(countergroup::kTimerPoll), !c.names.empty());
        if (!c.names.empty()) {
            // The graph and the cursor work on the file's history length.
            u.graph->ResetCursor();
            EXPECT_EQ(u.doc->getCursor(), c.history - 1);
            EXPECT_EQ(countergroup::CursorFromPoint(QPoint(450, 100), c.history), c.history - 1);
        }
        CloseUser(u);
    }
    // A missing file is the first message too.
    UserWindow u = OpenUser();
    messages.Clear();
    LoadCommand(u, Path("missing.xml"));
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{userplug::kMsgNoQuillon});
}

TEST_F(UserWindowFilesTest, GreenPenFromTheFile)
{
    const std::string file = "<?xml version='1.0' encoding='Shift_JIS'?><Quillon><UserMIB><Oid><OidName>"
                             "iso.3.6.1.4.1.99.1.0</OidName><OidPen><OidPenColor>00FF00</OidPenColor></OidPen></Oid>"
                             "</UserMIB></Quillon>";
    UserWindow u = OpenUser();
    ASSERT_TRUE(u);
    Write(Path("g.xml"), file);
    LoadCommand(u, Path("g.xml"));
    ASSERT_EQ(u.doc->getObjectCount(), 1);
    EXPECT_EQ(u.doc->getSeries(0)->getLogPen(), (platform::LogPen{platform::PS_SOLID, 2, 0, 0x00FF00}));
    EXPECT_EQ(u.doc->getSeries(0)->getPen()->color(), QColor(0, 255, 0));
}

TEST_F(UserWindowFilesTest, ObjectsAddedAndRemovedWhileACycleIsInFlight)
{
    REQUIRE_PEER();
    // Every answer takes 150 ms: the cycle is still running while the
    // operator changes the list.
    SlowGauges(3, 10, 150);
    UserWindow u = OpenUser();
    ASSERT_TRUE(u);
    ASSERT_TRUE(Add(u, "1.3.6.1.4.1.99.1.0"));
    ASSERT_TRUE(Add(u, "1.3.6.1.4.1.99.2.0"));
    u.doc->StartPollCycle(u.list);
    ASSERT_TRUE(u.doc->PollInFlight());
    QApplication::processEvents();  // the window keeps running meanwhile
    u.list->GetListCtrl().SetItemState(0, true);
    u.list->RemoveSelected();
    ASSERT_TRUE(u.list->AddObjectText("1.3.6.1.4.1.99.3.0"));
    u.doc->FinishPollCycle();
    ASSERT_EQ(u.doc->getObjectCount(), 2);
    // The polled object kept its answer; the one added meanwhile was not
    // asked yet.
    EXPECT_EQ(u.doc->getSeries(0)->getValatTime()[60].getVal(), 20u);
    EXPECT_EQ(u.doc->getSeries(0)->getValatTime()[60].getErrIdx(), 0);
    EXPECT_EQ(u.doc->getSeries(1)->getValatTime()[60].getErrIdx(), 16);
    u.list->Poll();
    EXPECT_EQ(u.doc->getSeries(1)->getValatTime()[60].getVal(), 30u);
}

TEST_F(UserWindowFilesTest, ContextMenuOffersColourAndTimerOnlyWithARow)
{
    UserWindow u = OpenUser();
    ASSERT_TRUE(u);
    // Enabled state of every item with a text, as the menu shows it.
    auto menuStates = [&] {
        std::map<std::string, bool> states;
        QTimer::singleShot(0, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            ASSERT_NE(menu, nullptr);
            std::function<void(QMenu*)> walk = [&](QMenu* m) {
                for (QAction* a : m->actions()) {
                    if (!a->text().isEmpty())
                        states[a->text().toStdString()] = a->isEnabled();
                    if (a->menu())
                        walk(a->menu());
                }
            };
            walk(menu);
            menu->close();
        });
        QContextMenuEvent ev(QContextMenuEvent::Mouse, QPoint(20, 20), u.list->mapToGlobal(QPoint(20, 20)));
        QApplication::sendEvent(u.list, &ev);
        return states;
    };
    std::map<std::string, bool> empty = menuStates();
    EXPECT_TRUE(empty["新規追加"]);
    for (const char* text : {"カラー変更", "タイマー変更", "5秒", "15秒", "30秒", "1分", "5分"})
        EXPECT_FALSE(empty[text]) << text;
    ASSERT_TRUE(Add(u, "sysUpTime.0"));
    std::map<std::string, bool> one = menuStates();
    for (const char* text : {"新規追加", "カラー変更", "タイマー変更", "5秒", "15秒", "30秒", "1分", "5分"})
        EXPECT_TRUE(one[text]) << text;
}

TEST_F(UserWindowFilesTest, NamesThatAFileCannotGiveBackAreRefused)
{
    const std::string head = "<?xml version='1.0' encoding='Shift_JIS'?><Quillon><UserMIB>";
    auto oid = [](const std::string& name) { return "<Oid><OidName>" + name + "</OidName></Oid>"; };
    // The last components are read by their leading digits, so each name
    // resolves to sysName.0; 0xFD is no CP932 octet, 番 (94 D4) is one.
    const std::string stray = "1.3.6.1.2.1.1.5\xFD.0";
    const std::string kanji = "1.3.6.1.2.1.1.5\x94\xD4.0";
    UserWindow u = OpenUser();
    ASSERT_TRUE(u);
    Write(Path("in.xml"), head + oid(stray) + oid(kanji) + "</UserMIB></Quillon>");
    LoadCommand(u, Path("in.xml"));
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{userplug::kMsgBadObject});
    ASSERT_EQ(u.doc->getObjectCount(), 1);
    EXPECT_EQ(u.doc->getSeries(0)->getName(), cp932::ToUtf8(kanji));
    // What loads is saved byte for byte as it was read.
    ASSERT_TRUE(u.doc->SaveXml(Path("out.xml")));
    EXPECT_NE(ReadFile(Path("out.xml")).find("<OidName>" + kanji + "</OidName>"), std::string::npos);
    // Typed text the file could not keep is refused like unknown text.
    messages.Clear();
    AnswerOidDialog(QString::fromUtf8("1.3.6.1.2.1.1.5\u00E9.0"));
    ASSERT_TRUE(widgets::SendCommand(u.list, userplug::kCmdAddObject));
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{userplug::kMsgUnknownName});
    EXPECT_EQ(u.doc->getObjectCount(), 1);
}

TEST_F(UserWindowFilesTest, ValuesTheLoadDidNotTakeAreNamedInOneMessage)
{
    const std::string file = "<?xml version='1.0' encoding='Shift_JIS'?><Quillon><UserMIB><TimeId>1</TimeId>"
                             "<HistoryNum>5000</HistoryNum><Oid><OidName>sysUpTime.0</OidName><OidPen>"
                             "<OidPenStyle>9</OidPenStyle><OidPenWidth>7</OidPenWidth></OidPen></Oid>"
                             "<HistoryNum>30</HistoryNum><Oid><OidName></OidName></Oid></UserMIB></Quillon>";
    UserWindow u = OpenUser();
    ASSERT_TRUE(u);
    Write(Path("notes.xml"), file);
    LoadCommand(u, Path("notes.xml"));
    // The broken object as it arises, then every value not taken at once.
    const std::vector<std::string> texts = messages.Texts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0], userplug::kMsgBadObject);
    EXPECT_EQ(texts[1], std::string(userplug::kMsgRefusedValues) +
                            "\nTimeId「1」はタイマーの選択肢にないので、使いませんでした。"
                            "\nHistoryNum「5000」は2から1000の範囲にないので、使いませんでした。"
                            "\n「sysUpTime.0」の線（OidPen）は選べる線種と太さに直しました。"
                            "\nHistoryNum「30」は最初のOidより後にあるので、使いませんでした。");
    ASSERT_EQ(u.doc->getObjectCount(), 1);
    EXPECT_EQ(u.doc->getSeries(0)->getLogPen(), (platform::LogPen{platform::PS_SOLID, 3, 0, 0x0000FF}));
    EXPECT_EQ(u.doc->getTimeId(), 33226);
    EXPECT_EQ(u.doc->getHistoryLength(), 61);
}

TEST_F(UserWindowFilesTest, NothingPollsWhileALoadShowsAMessage)
{
    REQUIRE_PEER();
    // Answers take a while, so a cycle is still in flight when the load starts.
    SlowGauges(4, 100, 200);
    UserWindow u = OpenUser();
    ASSERT_TRUE(u);
    ASSERT_TRUE(Add(u, "1.3.6.1.4.1.99.1.0"));
    ASSERT_TRUE(Add(u, "1.3.6.1.4.1.99.2.0"));
    ASSERT_TRUE(u.list->IsTimerActive(countergroup::kTimerPoll));
    const std::string head = "<?xml version='1.0' encoding='Shift_JIS'?><Quillon><UserMIB>";
    Write(Path("half.xml"), head + "<Oid><OidName>1.3.6.1.4.1.99.3.0</OidName></Oid><Oid><OidName></OidName></Oid>"
                                   "<Oid><OidName>1.3.6.1.4.1.99.4.0</OidName></Oid></UserMIB></Quillon>");
    u.doc->StartPollCycle(u.list);
    ASSERT_TRUE(u.doc->PollInFlight());
    // The message box stays up for a while and the event loop runs.
    bool timerDuringBox = true, cycleDuringBox = true;
    size_t askedBefore = 0, askedAfter = 0;
    platform::MessageHook previous = platform::SetMessageHook([&](const platform::MessageRequest&) {
        timerDuringBox = u.list->IsTimerActive(countergroup::kTimerPoll);
        cycleDuringBox = u.doc->PollInFlight();
        askedBefore = peer->requests().size();
        harness::SpinUntil([] { return false; }, 700);
        askedAfter = peer->requests().size();
        return platform::IDOK;
    });
    LoadCommand(u, Path("half.xml"));
    platform::SetMessageHook(previous);
    EXPECT_FALSE(timerDuringBox);
    EXPECT_FALSE(cycleDuringBox);
    EXPECT_EQ(askedAfter, askedBefore);
    // The rows show the loaded objects, their own values, and polling runs again.
    ASSERT_EQ(u.doc->getObjectCount(), 2);
    EXPECT_TRUE(u.list->IsTimerActive(countergroup::kTimerPoll));
    u.doc->FinishPollCycle();
    EXPECT_EQ(Cell(u, 0, 0), "1.3.6.1.4.1.99.3.0");
    EXPECT_EQ(Cell(u, 0, 1), "300");
    EXPECT_EQ(Cell(u, 1, 1), "400");
}

// A Counter64 object over v2c: its samples, list and CSV show the increase
// modulo 2^64, across the wrap and beyond 32 bits.
TEST_F(UserWindowFilesTest, Counter64IncreasesWrapModulo2To64)
{
    REQUIRE_PEER();
    MIBAgent::getInstance()->setVersion(MIBAgent::Version::V2c);
    const fp::Oid hc = fp::parseOid("1.3.6.1.2.1.31.1.1.1.6.1");
    mib->set(hc, fp::counter64(UINT64_MAX - 99));
    UserWindow u = OpenUser();
    ASSERT_TRUE(u);
    ASSERT_TRUE(Add(u, "1.3.6.1.2.1.31.1.1.1.6.1"));
    const uint64_t steps[] = {50, 50 + 5000000000000ull};
    const char* want[] = {"150", "5000000000000"};
    for (int i = 0; i < 2; ++i) {
        mib->set(hc, fp::counter64(steps[i]));
        u.list->Poll();
        const ValatTime& slot = u.doc->getSeries(0)->getValatTime()[60];
        EXPECT_EQ(slot.getErrIdx(), 0) << i;
        EXPECT_EQ(Cell(u, 0, 1), want[i]);
        EXPECT_EQ(std::to_string(slot.getVal()), want[i]);
    }
    EXPECT_EQ(u.doc->getUserSeries(0)->getTagType(), 0x46);
    const std::string csv = u.doc->CsvBytes();
    EXPECT_NE(csv.find(",150\n"), std::string::npos) << csv;
    EXPECT_NE(csv.find(",5000000000000\n"), std::string::npos) << csv;
    ASSERT_FALSE(peer->requests().empty());
    EXPECT_EQ(peer->requests().back().version, 1);
}
