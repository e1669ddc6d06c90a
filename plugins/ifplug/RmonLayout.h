#pragma once
// What the two RMON windows (Ethernet history and statistics) share, free of
// any window: the value tables and pages, the sample record, the drawing
// resources and the off-screen rendering of the graph pane (page tabs and up
// to six small graphs) and of the legend pane (header, ids and bars).

#include <QBrush>
#include <QColor>
#include <QFont>
#include <QImage>
#include <QPen>
#include <QPoint>
#include <QRect>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "plugins/countergroup/GraphRender.h"

class CSnmpBer;

namespace ifplug {

inline constexpr int kRmonSlots = 41;
inline constexpr int kRmonMaxValues = 16;
inline constexpr int kRmonPages = 4;
inline constexpr int kRmonCellWidth = 300;
inline constexpr int kRmonCellHeight = 150;
inline constexpr int kRmonBarLength = 300;

enum : int {
    kHintRmonNewData = 33011,
    kHintRmonCursor = 33012,
    kHintRmonPages = 33013,
};

struct RmonPage {
    const char* tab;
    int first;  // first value shown
    int count;  // values shown, one small graph each (1..6)
};

// The values of one window's sample and how its panes show them.
struct RmonTable {
    int valueCount;
    const char* const* names;
    RmonPage pages[kRmonPages];
    const char* idColumn;   // title of the list's first column
    bool twoLineTimes;      // "%m/%d" over "%H:%M:%S" under the time grid
    int rightButtonSlot;    // where the right button puts the cursor
    int initialCursor;
};
extern const RmonTable kHistoryValues;
extern const RmonTable kStatisticsValues;

// One sample: every value of the table, its time (seconds since 1970, 0 for
// an empty slot) and the request engine's error index (16: no data).
struct RmonSample {
    std::array<uint32_t, kRmonMaxValues> val{};
    int32_t time = 0;
    int32_t errIdx = 16;

    // The accessors the counter tick works through; setVal sets every value.
    int getErrIdx() const { return errIdx; }
    void setErrIdx(int e) { errIdx = int32_t(e); }
    long getTime() const { return time; }
    void setTime(long t) { time = int32_t(t); }
    void setVal(uint32_t v) { val.fill(v); }
};

// Hooks of the counter tick for samples of several values (found by
// argument-dependent lookup): the increase of each value of a reply's
// bindings (value k at path (k, 1)), and the sample after a failed one:
// zeros with errIdx 0.
void SetIncrease(RmonSample& slot, const CSnmpBer& current, const CSnmpBer& previous);
void RestartSample(RmonSample& slot);

struct RmonSeries {
    std::string name;
    long id = 0;
    QPen pen;
    std::vector<RmonSample> samples = std::vector<RmonSample>(kRmonSlots);
};

// Colours, pens, brushes and fonts of both panes.
struct RmonResources {
    static constexpr int kBaseCount = 11;
    static const uint32_t kBaseColours[kBaseCount];

    QColor base[kBaseCount];
    QPen solid[kBaseCount];
    QPen dotted[kBaseCount];
    QBrush brush[kBaseCount];
    QFont font;
    QFont bold;
    int tabWidth = 0;
    int tabHeight = 0;
    int rowHeight = 0;     // legend rows
    int idWidth = 0;       // legend left column

    RmonResources();
};

// The legend colour of a slot: 4 (black) empty, 5 good, 7 failed.
int LegendColour(const RmonSample& s, int valueCount);

// Scale of one small graph.
struct RmonCellScale {
    double top = 1.0;
    int exponent = 0;
    std::vector<int> gridLabels;  // l of every value grid line drawn
};
// top: the largest value over the drawn series times 10^0.1 (1 when all
// are 0); lines at l * 10^e, only the even l when top holds ten units or
// more.
RmonCellScale CellScale(const std::vector<RmonSeries>& series, int value);
// The font of a cell's value labels: the pane font, made smaller until the
// digits of two neighbouring lines `spacing` pixels apart do not touch
// (fifteen lines 6 px apart fit a 100-pixel plot); never below 6 px.
QFont RmonGridLabelFont(const QFont& base, double spacing);

// Labels kept apart as in the counter graphs.
using countergroup::SpacedLabels;

// Which page tab lies under a point (-1: none).
int RmonTabAt(QPoint p, const RmonResources& res);
// The plot of cell i (200 x 100 inside its 300 x 150 cell).
QRect RmonPlotRect(int cell, const RmonResources& res);
// The slot selected by a point of the graph pane, or -1 outside the used
// plots (widened by one pixel sideways) and past the last whole step.
int RmonCursorFromPoint(QPoint p, int cells, const RmonResources& res);

// Everything one render reads.
struct RmonView {
    const RmonTable* table = nullptr;
    const std::vector<RmonSeries>* series = nullptr;
    int page = 0;
    int cursor = 0;
    int pressedTab = -1;  // the tab the mouse holds down
};

// The graph pane for a client area of size client (at least 600 x 450
// below the tabs); scales gives each used cell's scale.
QImage RenderRmonGraph(const RmonView& v, QSize client, const RmonResources& res,
                       std::vector<RmonCellScale>* scales = nullptr);
// The legend pane: tabs, header, axis and the series rows scrolled by
// offset (wrapping).
QImage RenderRmonLegend(const RmonView& v, QSize client, int offset, const RmonResources& res);
// Width of the legend pane and the height of its series rows.
int RmonLegendWidth(const RmonResources& res);
int RmonLegendRowsHeight(int seriesCount, const RmonResources& res);

}  // namespace ifplug
