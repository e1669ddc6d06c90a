// The RMON windows against peers snmpd cannot play (no sysUpTime, more
// buckets than slots, an etherStatsIndex that vanishes and returns), and the
// layout's scale, legend and mouse rules on the real widgets.

#include <QTest>

#include <cmath>
#include <ctime>

#include "mibcore/platform/CmdTarget.h"
#include "plugins/ifplug/IfRegistry.h"
#include "plugins/ifplug/RmonWindows.h"
#include "tests/plugins/ifplug/IfHarness.h"
#include "tests/support/faultpeer/FaultAgent.h"

using namespace iftest;
using namespace faultpeer;
using namespace ifplug;

namespace {

const Oid kEtherHistory = parseOid("1.3.6.1.2.1.16.2.2.1");
const Oid kEtherStats = parseOid("1.3.6.1.2.1.16.1.1.1");

// Buckets first..last of control row c: value of column k is 1000 * c +
// 10 * sample + k, interval start 200 * sample ticks.
void AddBuckets(Mib& mib, uint32_t c, uint32_t first, uint32_t last)
{
    for (uint32_t s = first; s <= last; ++s) {
        mib.set(append(kEtherHistory, {3, c, s}), timeticks(200 * s));
        for (uint32_t col = 5; col <= 15; ++col)
            mib.set(append(kEtherHistory, {col, c, s}), counter(1000 * c + 10 * s + col));
    }
}

// Every etherStatsEntry counter of index s: base + column.
void SetStats(Mib& mib, uint32_t s, uint32_t base)
{
    for (uint32_t col = 4; col <= 19; ++col)
        mib.set(append(kEtherStats, {col, s}), counter(base + col));
}

class RmonFaultTest : public IfNetnsTest {
protected:
    void SetUp() override
    {
        IfNetnsTest::SetUp();
        if (!Ready())
            return;
        mib = std::make_shared<Mib>();
        peer.setScript(serve(mib));
        UseAgent(peer.address(), peer.settingsFamily(), 1, 200000);
    }

    CHistoryMIBMenuFrame* OpenHistory(const std::vector<int32_t>& controls)
    {
        std::vector<HistoryControlEntry> list;
        std::string title = "history情報-";
        for (int32_t c : controls) {
            list.push_back({c, 2, 50, {}});
            title += "[" + std::to_string(c) + "]";
        }
        auto* f = qobject_cast<CHistoryMIBMenuFrame*>(OpenIfWindow(kEntryHistory, title, [&](platform::Document* d) {
            dynamic_cast<HistoryListTarget*>(d)->SetHistories(list);
        }));
        if (f) {
            f->resize(1300, 560);
            qobject_cast<CHistoryMIBMenuDoc*>(f->document())->FinishReading();
        }
        return f;
    }

    CStaticMIBMenuFrame* OpenStatistics(const std::vector<InterfaceEntry>& list)
    {
        auto* f = qobject_cast<CStaticMIBMenuFrame*>(
            OpenIfWindow(kEntryStatistics, "etherStatsTable情報-stats", [&](platform::Document* d) {
                dynamic_cast<InterfaceListTarget*>(d)->SetInterfaces(list, 0);
            }));
        if (f) {
            f->resize(1300, 560);
            qobject_cast<CStaticMIBMenuDoc*>(f->document())->FinishPollCycle();
        }
        return f;
    }

    static void Click(CRmonPane* pane, QPoint p, Qt::MouseButton b = Qt::LeftButton)
    {
        QTest::mouseClick(pane->canvas(), b, Qt::NoModifier, p);
    }

    FaultAgent peer;
    std::shared_ptr<Mib> mib;
};

TEST_F(RmonFaultTest, WithoutSysUpTimeTheWalksStillRunFrom1970)
{
    AddBuckets(*mib, 7, 1, 3);
    mib->set(parseOid("1.3.6.1.2.1.99.0"), integer(0));  // the walk ends outside the table
    CHistoryMIBMenuFrame* f = OpenHistory({7});
    ASSERT_NE(f, nullptr);
    auto* doc = qobject_cast<CHistoryMIBMenuDoc*>(f->document());
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"時刻データの取得に失敗しました。再試行してください。"});
    EXPECT_EQ(f->listView()->GetListCtrl().GetItemCount(), 0);
    EXPECT_EQ(doc->getBootTime(), 0);
    const auto& s = doc->series()[0].samples;
    for (int j = 0; j < 3; ++j) {
        EXPECT_EQ(s[size_t(j)].time, 2 * (j + 1));
        EXPECT_EQ(s[size_t(j)].val[0], 7000u + 10u * uint32_t(j + 1) + 5u);
        EXPECT_EQ(s[size_t(j)].val[10], 7000u + 10u * uint32_t(j + 1) + 15u);
        EXPECT_EQ(s[size_t(j)].errIdx, 0);
    }
    EXPECT_EQ(s[3].errIdx, 16);
    EXPECT_EQ(s[3].time, 0);
}

TEST_F(RmonFaultTest, UnreachableAgentIsReportedAfterTheTimeRequestAlone)
{
    peer.setScript(silent());
    UseAgent(peer.address(), peer.settingsFamily(), 1, 50000);
    CHistoryMIBMenuFrame* f = OpenHistory({7, 8, 9});
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(messages.Texts(), std::vector<std::string>{"時刻データの取得に失敗しました。再試行してください。"});
    // The sysUpTime request alone; no walk waited as long again.
    EXPECT_EQ(peer.requestCount(), 1u);
    EXPECT_EQ(f->GetStatusBar()->GetPaneText(0), "");
}

// 45 buckets: the newest 41 stay, oldest first; a row without buckets stays
// empty and black in the legend.
TEST_F(RmonFaultTest, NewestBucketsAreKeptInAscendingOrder)
{
    mib->set(parseOid("1.3.6.1.2.1.1.3.0"), timeticks(360000));
    AddBuckets(*mib, 4, 1, 45);
    mib->set(parseOid("1.3.6.1.2.1.99.0"), integer(0));
    const long now = std::time(nullptr);
    CHistoryMIBMenuFrame* f = OpenHistory({4, 5});
    ASSERT_NE(f, nullptr);
    auto* doc = qobject_cast<CHistoryMIBMenuDoc*>(f->document());
    EXPECT_TRUE(messages.Texts().empty());
    EXPECT_NEAR(double(doc->getBootTime()), double(now - 3600), 2.0);
    const auto& s = doc->series()[0].samples;
    for (int j = 0; j < kRmonSlots; ++j) {
        EXPECT_EQ(s[size_t(j)].val[0], 4000u + 10u * uint32_t(j + 5) + 5u) << j;
        EXPECT_EQ(s[size_t(j)].time, doc->getBootTime() + 2 * (j + 5)) << j;
    }
    EXPECT_EQ(doc->series()[1].samples[0].errIdx, 16);
    EXPECT_EQ(LegendColour(doc->series()[1].samples[0], 11), 4);
    EXPECT_EQ(f->listView()->GetListCtrl().GetItemCount(), 2);

    // Right button: the oldest bucket. Tabs switch the page in both panes.
    CRmonPane* graph = f->graphView();
    doc->setCursor(20);
    Click(graph, QPoint(400, 300), Qt::RightButton);
    EXPECT_EQ(doc->getCursor(), 0);
    const RmonResources& res = doc->resources();
    Click(graph, QPoint(2 * res.tabWidth + 10, res.tabHeight / 2));
    EXPECT_EQ(doc->getPage(), 2);
    EXPECT_EQ(graph->scales().size(), 6u);
    Click(f->legendView(), QPoint(3 * res.tabWidth + 10, res.tabHeight / 2));
    EXPECT_EQ(doc->getPage(), 3);
    EXPECT_EQ(graph->scales().size(), 1u);
    // A click in a plot moves the cursor to the slot under it (5 pixels each).
    const QRect plot = RmonPlotRect(0, res);
    Click(graph, QPoint(plot.left() + 5 * 12 + 2, plot.top() + 50));
    EXPECT_EQ(doc->getCursor(), 12);
    EXPECT_EQ(f->listView()->GetListCtrl().GetItemText(0, 1).toStdString(), std::to_string(s[12].val[0]));
}

// A window laid out before it shows (the MDI area opens it maximised) or
// grown later: both pictures fill the panes' client areas.
TEST_F(RmonFaultTest, PanesFollowTheWindowSize)
{
    mib->set(parseOid("1.3.6.1.2.1.1.3.0"), timeticks(360000));
    AddBuckets(*mib, 4, 1, 5);
    CHistoryMIBMenuFrame* f = OpenHistory({4});
    ASSERT_NE(f, nullptr);
    auto filled = [&](const char* when) {
        QCoreApplication::processEvents();
        for (CRmonPane* pane : {f->graphView(), f->legendView()}) {
            const QWidget* vp = pane->canvas()->parentWidget();
            EXPECT_GE(pane->image().height(), vp->height()) << when;
            EXPECT_GE(pane->canvas()->height(), vp->height()) << when;
        }
    };
    f->hide();
    f->resize(1300, 1100);
    f->show();
    filled("shown after the layout");
    f->resize(1300, 1300);
    filled("grown");
}

// Indexes 1 and 3: one request of 16 varbinds each, in value order; the
// samples are the increases, and an index that vanishes gives (zeros,
// error), then zeros with errIdx 0, then increases again.
TEST_F(RmonFaultTest, StatisticsRequestsAndAFailingInterface)
{
    SetStats(*mib, 1, 100);
    SetStats(*mib, 3, 5000);
    peer.clearRequests();
    CStaticMIBMenuFrame* f = OpenStatistics({{2, 1, "eth0"}, {5, 3, "eth1"}});
    ASSERT_NE(f, nullptr);
    auto* doc = qobject_cast<CStaticMIBMenuDoc*>(f->document());
    const std::vector<Request> sent = peer.requests();
    ASSERT_EQ(sent.size(), 2u);
    for (int r = 0; r < 2; ++r) {
        EXPECT_EQ(sent[size_t(r)].pduType, 0xA0);
        ASSERT_EQ(sent[size_t(r)].bindings.size(), 16u);
        for (int k = 0; k < 16; ++k)
            EXPECT_EQ(formatOid(sent[size_t(r)].bindings[size_t(k)].oid),
                      "1.3.6.1.2.1.16.1.1.1." + std::to_string(4 + k) + (r == 0 ? ".1" : ".3"));
    }
    EXPECT_EQ(doc->series()[1].name, "[5]eth1");
    EXPECT_EQ(doc->series()[1].id, 3);
    EXPECT_EQ(doc->getCursor(), 40);

    auto cycle = [&] {
        doc->PollCycle(f->listView());
        doc->FinishPollCycle();
    };
    SetStats(*mib, 1, 100 + 7);
    SetStats(*mib, 3, 5000 + 11);
    cycle();
    for (int k = 0; k < 16; ++k) {
        EXPECT_EQ(doc->series()[0].samples[40].val[size_t(k)], 7u);
        EXPECT_EQ(doc->series()[1].samples[40].val[size_t(k)], 11u);
    }
    for (uint32_t col = 4; col <= 19; ++col)
        mib->erase(append(kEtherStats, {col, 3}));
    cycle();
    SetStats(*mib, 3, 9000);
    cycle();
    SetStats(*mib, 3, 9000 + 4);
    cycle();
    const auto& s = doc->series()[1].samples;
    EXPECT_EQ(s[38].errIdx, 2);  // noSuchName
    EXPECT_EQ(s[38].val[0], 0u);
    EXPECT_EQ(LegendColour(s[38], 16), 7);
    EXPECT_EQ(s[39].errIdx, 0);
    EXPECT_EQ(s[39].val[5], 0u);
    EXPECT_EQ(LegendColour(s[39], 16), 4);
    EXPECT_EQ(s[40].errIdx, 0);
    EXPECT_EQ(s[40].val[15], 4u);
    EXPECT_EQ(LegendColour(s[40], 16), 5);
    EXPECT_EQ(doc->series()[0].samples[38].errIdx, 0);

    // Right button: back to the newest sample; the last page is the size
    // distribution, each graph with its own scale.
    doc->setCursor(3);
    Click(f->graphView(), QPoint(400, 300), Qt::RightButton);
    EXPECT_EQ(doc->getCursor(), 40);
    doc->setPage(3);
    doc->UpdateAllViews(nullptr, kHintRmonNewData);
    EXPECT_EQ(f->graphView()->scales().size(), 6u);
    const RmonTable& t = doc->table();
    std::vector<std::string> labels;
    for (int k = 0; k < t.pages[3].count; ++k)
        labels.push_back(t.names[t.pages[3].first + k]);
    EXPECT_EQ(labels, (std::vector<std::string>{"64", "65-127", "128-255", "256-511", "512-1023", "1024-1518"}));
}

// Every value line has its label, however close the lines: the digits'
// light ink crosses each line's own row, and the font fits the spacing.
TEST(RmonLayoutTest, EveryValueLineIsLabelled)
{
    harness::EnsureApp();
    RmonResources res;
    const QRect plot = RmonPlotRect(0, res);
    const int bottom = plot.top() + plot.height();
    for (uint32_t largest : {250u, 1000u, 40u, 5000u, 9u, 2900000000u}) {
        SCOPED_TRACE(largest);
        std::vector<RmonSeries> series(1);
        series[0].pen = QPen(Qt::red, 2);
        series[0].samples[5].val[0] = largest;
        RmonView v;
        v.table = &kHistoryValues;
        v.series = &series;
        std::vector<RmonCellScale> scales;
        const QImage img = RenderRmonGraph(v, QSize(600, 500), res, &scales);
        ASSERT_EQ(scales.size(), 1u);
        const RmonCellScale& sc = scales[0];
        ASSERT_FALSE(sc.gridLabels.empty());
        const double unit = std::pow(10.0, sc.exponent);
        for (int l : sc.gridLabels) {
            const int y = int(bottom - unit * l * plot.height() / sc.top);
            bool ink = false;
            for (int x = plot.left() - 40; x < plot.left() - 2; ++x)
                ink = ink || qGray(img.pixel(x, y)) > 128;
            EXPECT_TRUE(ink) << "no label on line " << l;
        }
        if (sc.gridLabels.size() > 1) {
            const double spacing = unit * (sc.gridLabels[1] - sc.gridLabels[0]) * plot.height() / sc.top;
            const QFont f = RmonGridLabelFont(res.font, spacing);
            EXPECT_GE(f.pixelSize(), 6);
            if (spacing >= 8)
                EXPECT_LT(QFontMetrics(f).tightBoundingRect("0123456789").height(), spacing);
        }
    }
}

// A cell whose largest value is 250: top 314.7, unit 10, lines and labels
// only at the even multiples 2..30; the lines are on the image.
TEST(RmonLayoutTest, EvenMultiplesWhenTheTopHoldsTenUnits)
{
    harness::EnsureApp();
    std::vector<RmonSeries> series(2);
    series[0].pen = QPen(Qt::red, 2);
    series[1].pen = QPen(Qt::green, 2);
    series[0].samples[10].val[0] = 250;
    series[1].samples[11].val[0] = 90;
    series[1].samples[12].val[1] = 5;
    const RmonCellScale sc = CellScale(series, 0);
    EXPECT_NEAR(sc.top, 314.7, 0.1);
    EXPECT_EQ(sc.exponent, 1);
    std::vector<int> even;
    for (int l = 2; l <= 30; l += 2)
        even.push_back(l);
    EXPECT_EQ(sc.gridLabels, even);
    EXPECT_EQ(CellScale(series, 1).gridLabels, (std::vector<int>{1, 2, 3, 4, 5, 6}));

    RmonResources res;
    RmonView v;
    v.table = &kHistoryValues;
    v.series = &series;
    std::vector<RmonCellScale> scales;
    const QImage img = RenderRmonGraph(v, QSize(600, 500), res, &scales);
    ASSERT_EQ(scales.size(), 1u);
    const QRect plot = RmonPlotRect(0, res);
    auto dark = [&](int l) {
        const int y = int(plot.top() + plot.height() - 10.0 * l * plot.height() / sc.top);
        int n = 0;
        for (int x = plot.left() + 60; x < plot.left() + plot.width(); ++x)
            n += (x - plot.left()) % 50 != 0 && qGray(img.pixel(x, y)) < 64;  // not the time grid
        return n;
    };
    EXPECT_GT(dark(2), 20);
    EXPECT_GT(dark(30), 20);
    EXPECT_EQ(dark(1), 0);
    EXPECT_EQ(dark(3), 0);

    // Labels that would run into the previous one are left out; the
    // lines stay (dark(30) above).
    const struct {
        std::vector<int> at;
        int extent, gap;
        std::vector<int> kept;
    } spaced[] = {
        {{0, 50, 100, 150, 200}, 56, 4, {0, 2, 4}},        // times every 50 px, 56 px wide
        {{0, 50, 100, 150, 200}, 46, 4, {0, 1, 2, 3, 4}},  // a font where they fit
        {{8, 15, 23, 31, 39, 47}, 15, 0, {0, 2, 4}},       // value labels 7.7 px apart
        {{}, 10, 0, {}},
    };
    for (const auto& c : spaced)
        EXPECT_EQ(SpacedLabels(c.at, c.extent, c.gap), c.kept);

    // Legend colours of a slot: empty black, good 5, failed 7; the time
    // does not matter.
    const struct {
        int errIdx;
        uint32_t value;
        int colour;
    } cases[] = {{16, 0, 4}, {16, 9, 4}, {0, 0, 4}, {0, 9, 5}, {2, 0, 7}, {23, 9, 7}};
    for (const auto& c : cases) {
        RmonSample s;
        s.errIdx = c.errIdx;
        s.val[3] = c.value;
        EXPECT_EQ(LegendColour(s, 11), c.colour) << c.errIdx << "/" << c.value;
    }
}

}  // namespace
