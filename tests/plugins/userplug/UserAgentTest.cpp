// User-defined objects polling the namespace snmpd: objects typed bare, by
// full name, by number and mixed; TimeTicks, Counter32 and Gauge32 each
// sampled by their tag; the timer follows the first and the last object.

#include <QDir>
#include <QTest>

#include "mibcore/engine/CSnmpBerList.h"
#include "mibcore/widgets/WidgetResources.h"
#include "tests/plugins/userplug/UserHarness.h"

using namespace usertest;

namespace {

class UserAgentTest : public UserWindowTest {
protected:
    void SetUp() override
    {
        UserWindowTest::SetUp();
        if (HasFatalFailure())
            return;
        QUILLON_REQUIRE_NETNS();
        UseAgent(harness::kAgentV4, 2, 3, 3, 500000);
    }
    // ifInOctets.1 as the agent tells an independent client.
    static unsigned long InOctets()
    {
        std::string out = harness::SnmpTool("snmpget", "1.3.6.1.2.1.2.2.1.10.1");
        std::size_t colon = out.rfind(':');
        return colon == std::string::npos ? 0 : std::stoul(out.substr(colon + 1));
    }
};

}  // namespace

TEST_F(UserAgentTest, ObjectsTypedEveryWayAreSampledByTheirTag)
{
    UserWindow u = OpenUser();
    ASSERT_TRUE(u);
    // A fresh window: no rows, no timer, an empty status pane.
    EXPECT_EQ(u.list->GetListCtrl().GetItemCount(), 0);
    EXPECT_FALSE(u.list->IsTimerActive(countergroup::kTimerPoll));
    EXPECT_EQ(u.frame->TimePaneText(), "");

    const char* upTimes[] = {"sysUpTime.0", "iso.org.dod.internet.mgmt.mib-2.system.sysUpTime.0",
                             "1.3.6.1.2.1.1.3.0", "iso.3.dod.1.mgmt.1.system.3.0"};
    const unsigned long before1 = InOctets();
    ASSERT_TRUE(Add(u, "ifInOctets.1"));  // the first object polls at once
    const unsigned long after1 = InOctets();
    EXPECT_TRUE(u.list->IsTimerActive(countergroup::kTimerPoll));
    EXPECT_EQ(Cell(u, 0, 2), std::string("16(") + CSnmpBerList::m_ErrMsg[16] + ")");
    EXPECT_NE(u.doc->getSeries(0)->getValatTime()[60].getTime(), 0);
    for (const char* t : upTimes)
        ASSERT_TRUE(Add(u, t)) << t;
    ASSERT_TRUE(Add(u, "ifSpeed.1"));
    for (int i = 1; i <= 4; ++i)
        EXPECT_EQ(u.doc->getUserSeries(i)->getOidListSize(), 9u) << i;
    EXPECT_EQ(u.list->GetListCtrl().GetItemText(1, 0).toStdString(), "sysUpTime.0");  // names as typed

    const unsigned long before2 = InOctets();
    u.list->Poll();
    const unsigned long after2 = InOctets();
    const ValatTime& in = u.doc->getSeries(0)->getValatTime()[60];
    EXPECT_EQ(in.getErrIdx(), 0);
    EXPECT_GE(in.getVal(), before2 - after1);
    EXPECT_LE(in.getVal(), after2 - before1);
    EXPECT_EQ(u.doc->getUserSeries(0)->getTagType(), 0x41);
    for (int i = 1; i <= 4; ++i) {
        const ValatTime& s = u.doc->getSeries(i)->getValatTime()[60];
        EXPECT_EQ(s.getVal(), 0u) << i;  // TimeTicks: polled, but no value
        EXPECT_EQ(s.getErrIdx(), 0) << i;
        EXPECT_EQ(u.doc->getUserSeries(i)->getTagType(), 0x43) << i;
    }
    const std::string speed = harness::SnmpTool("snmpget", "1.3.6.1.2.1.2.2.1.5.1");
    EXPECT_NE(speed.find(": " + std::to_string(u.doc->getSeries(5)->getValatTime()[60].getVal())), std::string::npos)
        << speed;
    EXPECT_EQ(u.doc->getUserSeries(5)->getTagType(), 0x42);

    // Removing every object stops the timer; adding one polls at once.
    for (int r = 0; r < u.list->GetListCtrl().GetItemCount(); ++r)
        u.list->GetListCtrl().SetItemState(r, true);
    ASSERT_TRUE(widgets::SendCommand(u.list, userplug::kCmdRemoveObjects));
    EXPECT_EQ(u.doc->getObjectCount(), 0);
    EXPECT_FALSE(u.list->IsTimerActive(countergroup::kTimerPoll));
    ASSERT_TRUE(Add(u, "sysUpTime.0"));
    EXPECT_TRUE(u.list->IsTimerActive(countergroup::kTimerPoll));
    EXPECT_NE(u.doc->getSeries(0)->getValatTime()[60].getTime(), 0);
    EXPECT_EQ(u.doc->getUserSeries(0)->getTagType(), 0x43);
}

// An empty window and one with four objects, grabbed into
// build/tests/screenshots/userplug-*.png for a look by eye.
TEST_F(UserAgentTest, EmptyWindowShowsThePlotOnlyAndFourObjectsGraph)
{
    const QString dir = QString::fromStdString(harness::BuildDir()) + "/tests/screenshots";
    QDir().mkpath(dir);
    UserWindow u = OpenUser();
    ASSERT_TRUE(u);
    u.frame->resize(900, 430);
    QApplication::processEvents();
    u.frame->UpdateCmdUI();
    QImage empty = u.frame->grab().toImage();
    EXPECT_TRUE(empty.save(dir + "/userplug-empty.png"));
    // The plot holds nothing: no grid, lines or labels inside or left of it.
    const QImage& g = u.graph->renderer().image();
    for (int x = countergroup::kPlotLeft + 2; x < countergroup::kPlotRight - 2; x += 3)
        for (int y = countergroup::kPlotTop + 2; y < countergroup::kPlotBottom - 2; y += 3)
            ASSERT_EQ(g.pixel(x, y) & 0xFFFFFF, 0xFFFFFFu) << x << "," << y;
    EXPECT_EQ(u.graph->renderer().gridLines(), 0);
    const QImage ov = u.graph->renderer().overlay();
    for (int y = countergroup::kPlotTop; y < countergroup::kPlotBottom; y += 10)
        ASSERT_EQ(ov.pixel(countergroup::kPlotRight, y) & 0xFFFFFF, 0u) << "no cursor without objects";

    for (const char* name : {"ifInOctets.1", "ifOutOctets.1", "snmpInPkts.0", "sysUpTime.0"})
        ASSERT_TRUE(Add(u, name)) << name;
    for (int c = 0; c < 6; ++c) {
        QTest::qWait(300);
        u.list->Poll();
    }
    u.frame->UpdateCmdUI();
    QApplication::processEvents();
    EXPECT_TRUE(u.frame->grab().toImage().save(dir + "/userplug-four.png"));
    EXPECT_GT(u.graph->renderer().gridLines(), 0);
    EXPECT_NE(u.frame->TimePaneText(), "");

    CUserOidDlg dlg(u.list);
    dlg.edit()->setText(QStringLiteral("ifInOctets.2"));
    dlg.show();
    QApplication::processEvents();
    EXPECT_TRUE(dlg.grab().toImage().save(dir + "/userplug-dialog.png"));
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("ユーザ定義オブジェクト識別子"));
}
