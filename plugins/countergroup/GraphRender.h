#pragma once
// Off-screen rendering of a counter graph: the fixed 420 x 300 plot, its
// scale, failure bands, time axis, value grid and the cursor overlay that
// the pane combines with the graph by exclusive-or.

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

namespace countergroup {

// Slots of a history unless a window chooses another length.
inline constexpr int kSlots = 61;
inline constexpr int kPlotLeft = 30;
inline constexpr int kPlotTop = 20;
inline constexpr int kPlotRight = 450;
inline constexpr int kPlotBottom = 320;
inline constexpr int kPlotWidth = kPlotRight - kPlotLeft;    // 420
inline constexpr int kPlotHeight = kPlotBottom - kPlotTop;   // 300
inline constexpr int kAreaWidth = 480;
inline constexpr int kAreaHeight = 340;

// 0x00BBGGRR, as the settings records keep colours.
QColor FromColorRef(uint32_t bgr);
uint32_t ToColorRef(const QColor& c);

// Colours, pens, brushes and the label font of the graphs, created once per
// document.
struct GraphResources {
    static constexpr int kBaseCount = 8;
    static const uint32_t kBaseColours[kBaseCount];
    static const uint32_t kSeriesColours[18];

    QColor base[kBaseCount];
    QPen solid[kBaseCount];
    QPen dotted[kBaseCount];
    QBrush brush[kBaseCount];
    QPen plotFrame;  // the plot's heavy black outline, 4 pixels wide
    QPen nullPen{Qt::NoPen};
    QBrush nullBrush{Qt::NoBrush};
    QFont font;

    GraphResources();
    // Solid, width 2, colour i mod 18.
    static QPen DefaultPen(int seriesIndex);
};

// What one render needs of a series: one value and result per slot.
struct GraphSeriesData {
    QPen pen;
    std::vector<uint64_t> val = std::vector<uint64_t>(kSlots, 0);
    std::vector<int32_t> err = std::vector<int32_t>(kSlots, 0);
};

// Every series has as many nslots as time (at least 2). Without series the
// graph is the empty plot: no time axis, grid or unit.
struct GraphData {
    std::vector<int32_t> time;  // sample times of series 0
    std::vector<GraphSeriesData> series;

    explicit GraphData(int nslots = kSlots) : time(size_t(nslots < 2 ? 2 : nslots), 0) {}
    int slotCount() const { return int(time.size()); }
    // A series of this graph's length with every result 16.
    GraphSeriesData NewSeries(const QPen& pen) const;
};

// A series whose pen draws nothing is left out of the scale and the lines.
inline bool IsNullPen(const QPen& pen) { return pen.style() == Qt::NoPen; }

// Largest value of any slot of any drawn series.
uint64_t LargestValue(const GraphData& data);
// Scale top: 1 for 0, else the largest value times 10^0.1.
double ScaleTop(uint64_t largest);
// Exponent of the grid unit for a scale top.
int UnitExponent(double top);
// Number of value grid lines: l = 1, 2, ... while l * unit <= top.
int GridLineCount(double top, int exponent);
// Intervals 0..nslots-2 that carry a failed sample in any series (null pens
// too).
std::vector<bool> FailedIntervals(const GraphData& data);
// Slot of a history of nslots samples selected by a point of the pane
// (scroll position already added), or -1 when the point lies outside the
// plot widened by one pixel sideways.
int CursorFromPoint(QPoint p, int nslots = kSlots);
// x of a slot's vertical line (and of the cursor on it).
int SlotX(int slot, int nslots = kSlots);
// "%H:%M:%S" / "%Y/%m/%d %H:%M:%S" of a sample time in local time.
std::string FormatTime(long t, const char* format);

// Labels that do not run into one another: of labels centred at the given
// ascending positions, each extent long, the indexes of those drawn when a
// label is left out while it would come closer than gap to the last one
// drawn. The first is always drawn.
std::vector<int> SpacedLabels(const std::vector<int>& positions, int extent, int gap);

class GraphRenderer {
public:
    // Render the graph for a pane whose client rectangle is client.
    void Render(const GraphData& data, const QRect& client, const GraphResources& res);
    // Redraw the cursor overlay (all zero but the cursor line) for a
    // history of nslots samples.
    void RenderOverlay(int cursor, const GraphResources& res, int nslots = kSlots);
    // The graph with the overlay combined by exclusive-or.
    QImage Composed() const;

    const QImage& image() const { return m_image; }
    const QImage& overlay() const { return m_overlay; }
    const QRect& area() const { return m_area; }
    double top() const { return m_top; }
    int exponent() const { return m_exponent; }
    int gridLines() const { return m_gridLines; }

private:
    QRect m_area{0, 0, kAreaWidth, kAreaHeight};  // left, top, width, height
    double m_top = 1.0;
    int m_exponent = 0;
    int m_gridLines = 0;
    QImage m_image;
    QImage m_overlay;
};

}  // namespace countergroup
