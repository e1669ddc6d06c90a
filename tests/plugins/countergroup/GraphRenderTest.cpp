// The graph rendered into its off-screen image: scale, grid, bands, lines,
// cursor overlay and the mouse rule, checked on the pixels.

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cmath>

#include "plugins/countergroup/GraphRender.h"
#include "tests/plugins/countergroup/QtApp.h"

using namespace countergroup;

namespace {

class GraphRenderTest : public ::testing::Test {
protected:
    void SetUp() override { cgtest::EnsureApp(); }

    static GraphSeriesData Series(const QPen& pen)
    {
        GraphSeriesData s;
        s.pen = pen;
        std::fill(s.err.begin(), s.err.end(), 16);
        return s;
    }
    QRgb Pixel(int x, int y) const { return r.image().pixel(x, y) & 0xFFFFFF; }

    GraphResources res;
    GraphRenderer r;
};

constexpr QRgb kWhite = 0xFFFFFF;
constexpr QRgb kGrey = 0xC0C0C0;

bool IsWhite(const QImage& img, int x, int y) { return (img.pixel(x, y) & 0xFFFFFF) == kWhite; }

// The white pixels of one time label as the graph draws it (text cell top
// at row 0, white at x 0 and 1), trimmed to the columns that hold any.
QImage LabelMask(const QString& text, const QFont& font)
{
    const QFontMetrics fm(font);
    QImage img(fm.horizontalAdvance(text) + 4, fm.height() + 4, QImage::Format_RGB32);
    img.fill(0x404040);
    QPainter p(&img);
    p.setRenderHint(QPainter::TextAntialiasing, false);
    p.setFont(font);
    p.setPen(Qt::black);
    p.drawText(1, 2 + fm.ascent(), text);
    p.drawText(2, 2 + fm.ascent(), text);
    p.setPen(Qt::white);
    p.drawText(0, fm.ascent(), text);
    p.drawText(1, fm.ascent(), text);
    p.end();
    int first = img.width(), last = -1;
    for (int x = 0; x < img.width(); ++x)
        for (int y = 0; y < img.height(); ++y)
            if (IsWhite(img, x, y)) {
                first = std::min(first, x);
                last = std::max(last, x);
            }
    return last < 0 ? QImage() : img.copy(first, 0, last - first + 1, img.height());
}

// Left columns of the whole labels found from left to right in the band
// below the plot; -1 is appended where the white pixels are not one whole
// label (cut off, or two run together).
std::vector<int> FindLabels(const QImage& graph, int right, const QImage& mask)
{
    std::vector<int> found;
    const int top = kPlotBottom + 2;
    for (int x = 0; x < right; ++x) {
        bool any = false;
        for (int y = 0; y < mask.height() && top + y < graph.height(); ++y)
            any = any || IsWhite(graph, x, top + y);
        if (!any)
            continue;
        bool same = x + mask.width() <= graph.width();
        for (int dx = 0; same && dx < mask.width(); ++dx)
            for (int y = 0; same && y < mask.height(); ++y)
                same = x + dx < right && IsWhite(graph, x + dx, top + y) == IsWhite(mask, dx, y);
        found.push_back(same ? x : -1);
        if (!same)
            return found;
        x += mask.width() - 1;
    }
    return found;
}

}  // namespace

TEST_F(GraphRenderTest, ScaleUnitAndGridForTheLargestValue)
{
    struct Case {
        uint32_t largest;
        double top;
        int exponent;
        int lines;
    } cases[] = {
        {0, 1.0, 0, 1},
        {1000, 1258.925, 2, 12},
        {5000, 6294.627, 3, 6},
        {1, 1.2589, 0, 1},
        // Just below 10^(e+0.5): the most grid lines there can be.
        {2500, 3147.31, 2, 31},
    };
    for (const Case& c : cases) {
        GraphData d;
        d.series.push_back(Series(GraphResources::DefaultPen(0)));
        d.series[0].val[30] = c.largest;
        r.Render(d, QRect(0, 0, 480, 340), res);
        EXPECT_NEAR(r.top(), c.top, 0.01) << c.largest;
        EXPECT_EQ(r.exponent(), c.exponent) << c.largest;
        EXPECT_EQ(r.gridLines(), c.lines) << c.largest;
        EXPECT_EQ(UnitExponent(ScaleTop(c.largest)), c.exponent);
        EXPECT_EQ(GridLineCount(ScaleTop(c.largest), c.exponent), c.lines);
    }
}

TEST_F(GraphRenderTest, BandsExactlyOnFailedIntervals)
{
    GraphData d;
    d.series.push_back(Series(GraphResources::DefaultPen(0)));
    d.series.push_back(Series(QPen(Qt::NoPen)));
    d.series[0].err[3] = 21;
    d.series[0].err[4] = 0;
    d.series[0].err[5] = 16;
    d.series[0].err[59] = 23;
    d.series[0].err[60] = 2;   // the newest slot never makes a band
    d.series[1].err[20] = 2;   // a hidden series still shades its failures
    r.Render(d, QRect(0, 0, 480, 340), res);
    for (int i = 0; i < 60; ++i) {
        bool failed = i == 3 || i == 59 || i == 20;
        // Every pixel column of the interval, at a height free of grid lines.
        for (int dx = 0; dx < 7; ++dx) {
            int x = kPlotLeft + 7 * i + dx;
            if (i % 10 == 0 && dx == 0)
                continue;  // time axis line
            EXPECT_EQ(Pixel(x, 170), failed ? kGrey : kWhite) << "interval " << i << " x " << x;
        }
    }
    EXPECT_EQ(Pixel(kPlotLeft + 7 * 60 + 1, 170) & 0xFFFFFF, 0u);  // frame, not a band
}

TEST_F(GraphRenderTest, NullPenIsNeitherDrawnNorCounted)
{
    GraphData d;
    d.series.push_back(Series(GraphResources::DefaultPen(1)));  // green
    QPen hidden(QColor(0, 0, 255), 2, Qt::NoPen);
    d.series.push_back(Series(hidden));
    std::fill(d.series[0].val.begin(), d.series[0].val.end(), 100);
    std::fill(d.series[1].val.begin(), d.series[1].val.end(), 1000000);
    r.Render(d, QRect(0, 0, 480, 340), res);
    EXPECT_NEAR(r.top(), 125.89, 0.01);
    int green = 0, blue = 0;
    for (int y = kPlotTop; y < kPlotBottom; ++y)
        for (int x = kPlotLeft; x < kPlotRight; ++x) {
            QRgb p = Pixel(x, y);
            green += p == 0x00FF00;
            blue += p == 0x0000FF;
        }
    EXPECT_EQ(blue, 0);
    EXPECT_GT(green, 400);
    // The flat line of the drawn series lies at bottom - 100 * 300 / top.
    int y = int(kPlotBottom - 100.0 * kPlotHeight / r.top());
    EXPECT_TRUE(Pixel(200, y) == 0x00FF00 || Pixel(200, y - 1) == 0x00FF00 || Pixel(200, y + 1) == 0x00FF00);
}

TEST_F(GraphRenderTest, DrawingAreaFollowsAPaneLargeEnoughForThePlot)
{
    GraphData d;
    r.Render(d, QRect(0, 0, 300, 200), res);
    EXPECT_EQ(r.image().size(), QSize(483, 343));
    r.Render(d, QRect(0, 0, 640, 400), res);
    EXPECT_EQ(r.image().size(), QSize(643, 403));
    EXPECT_EQ(Pixel(600, 380), 0x404040u);  // area fill
    // A smaller pane later goes back to the default area (and scroll range).
    r.Render(d, QRect(0, 0, 300, 200), res);
    EXPECT_EQ(r.image().size(), QSize(483, 343));
}

TEST_F(GraphRenderTest, TimeLabelsStayWholeInsideTheAreaAndApart)
{
    // Every sample at the same time: every label is the same text.
    const long when = 1700000000;
    const QImage mask = LabelMask(QString::fromStdString(FormatTime(when, "%H:%M:%S")), res.font);
    ASSERT_FALSE(mask.isNull());
    const struct {
        int width, nslots;
    } cases[] = {
        {480, 61}, {640, 61},
        {470, 61}, {455, 61},            // panes just wider than the plot: the newest moves left
        {480, 65}, {480, 200}, {480, 1000},  // lines closer than a label
    };
    for (const auto& c : cases) {
        GraphData d(c.nslots);
        d.series.push_back(d.NewSeries(GraphResources::DefaultPen(0)));
        std::fill(d.time.begin(), d.time.end(), int32_t(when));
        r.Render(d, QRect(0, 0, c.width, 340), res);
        const int right = r.area().left() + r.area().width() - 1;  // the area's outline
        const std::vector<int> at = FindLabels(r.image(), right, mask);
        ASSERT_FALSE(at.empty()) << c.width << "/" << c.nslots;
        EXPECT_EQ(std::count(at.begin(), at.end(), -1), 0) << c.width << "/" << c.nslots;
        EXPECT_GE(at.size(), c.nslots == 61 && c.width != 455 ? 7u : 2u) << c.width << "/" << c.nslots;
        // The newest always shows, as near its line as the area allows.
        EXPECT_LT(std::abs(at.back() + mask.width() / 2 - SlotX(c.nslots - 1, c.nslots)), mask.width())
            << c.width << "/" << c.nslots;
    }
}

TEST_F(GraphRenderTest, ValueLabelsLeaveOutWhatWouldRunTogether)
{
    const int th = QFontMetrics(res.font).height();
    // 26 lines (about 11 pixels apart) and 31 (under 10).
    for (uint32_t largest : {2100u, 2500u}) {
        GraphData d;
        d.series.push_back(Series(GraphResources::DefaultPen(0)));
        d.series[0].val[30] = largest;
        r.Render(d, QRect(0, 0, 480, 340), res);
        const int lines = r.gridLines();
        ASSERT_GE(lines, 26);
        // Every grid line is still drawn.
        const double unit = std::pow(10.0, r.exponent());
        for (int l = 1; l <= lines; ++l) {
            const int y = int(kPlotBottom - unit * l * kPlotHeight / r.top());
            int dots = 0;
            for (int x = kPlotLeft + 10; x < kPlotLeft + 40; ++x)
                dots += Pixel(x, y) == 0;
            EXPECT_GE(dots, 8) << l;
        }
        // Rows of label text left of the plot, gathered into runs.
        std::vector<int> starts;
        bool inRun = false;
        for (int y = kPlotBottom - 1; y > kPlotTop - th; --y) {
            bool any = false;
            for (int x = 0; x < kPlotLeft - 3; ++x)
                any = any || qGray(Pixel(x, y)) > 0xA0;  // text, smoothed or not
            if (any && !inRun)
                starts.push_back(y);
            inRun = any;
        }
        ASSERT_GE(starts.size(), size_t(lines / 3)) << largest;
        for (size_t i = 1; i < starts.size(); ++i)
            EXPECT_GE(starts[i - 1] - starts[i], th - 1) << largest << " label " << i;
    }
}

TEST_F(GraphRenderTest, CursorFromTheMouseRule)
{
    EXPECT_EQ(CursorFromPoint(QPoint(29, 100)), 0);
    EXPECT_EQ(CursorFromPoint(QPoint(36, 100)), 0);
    EXPECT_EQ(CursorFromPoint(QPoint(37, 100)), 1);
    EXPECT_EQ(CursorFromPoint(QPoint(443, 100)), 59);
    EXPECT_EQ(CursorFromPoint(QPoint(449, 100)), 59);
    EXPECT_EQ(CursorFromPoint(QPoint(450, 100)), 60);
    EXPECT_EQ(CursorFromPoint(QPoint(451, 100)), -1);
    EXPECT_EQ(CursorFromPoint(QPoint(28, 100)), -1);
    EXPECT_EQ(CursorFromPoint(QPoint(100, 19)), -1);
    EXPECT_EQ(CursorFromPoint(QPoint(100, 20)), 10);
    EXPECT_EQ(CursorFromPoint(QPoint(100, 319)), 10);
    EXPECT_EQ(CursorFromPoint(QPoint(100, 320)), -1);
}

TEST_F(GraphRenderTest, CursorOverlayInvertsOneColumn)
{
    GraphData d;
    r.Render(d, QRect(0, 0, 480, 340), res);
    for (int cursor : {0, 37, 60}) {
        r.RenderOverlay(cursor, res);
        const int x = kPlotLeft + 7 * cursor;
        QImage c = r.Composed();
        int changed = 0;
        for (int xx = 0; xx < 480; ++xx)
            if ((c.pixel(xx, 170) & 0xFFFFFF) != Pixel(xx, 170)) {
                ++changed;
                EXPECT_EQ(xx, x);
            }
        EXPECT_EQ(changed, 1) << cursor;
        // Red drawn by exclusive-or over white shows as cyan.
        if (cursor == 37) {
            EXPECT_EQ(c.pixel(x, 170) & 0xFFFFFF, 0x00FFFFu);
        }
        EXPECT_EQ(r.overlay().pixel(5, 5) & 0xFFFFFF, 0u);
    }
}
