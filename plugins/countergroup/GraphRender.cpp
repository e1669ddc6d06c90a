#include "plugins/countergroup/GraphRender.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <ctime>

namespace countergroup {

const uint32_t GraphResources::kBaseColours[kBaseCount] = {
    0xFFFFFF, 0xC0C0C0, 0x808080, 0x404040, 0x000000, 0x0000FF, 0x00FF00, 0xFF0000,
};

const uint32_t GraphResources::kSeriesColours[18] = {
    0x0000FF, 0x00FF00, 0xFF0000, 0x00FFFF, 0xFF00FF, 0xFFFF00, 0x000080, 0x008000, 0x800000,
    0x008080, 0x800080, 0x808000, 0x8080FF, 0x80FF80, 0xFF8080, 0x80FFFF, 0xFF80FF, 0xFFFF80,
};

QColor FromColorRef(uint32_t bgr)
{
    return QColor(int(bgr & 0xFF), int((bgr >> 8) & 0xFF), int((bgr >> 16) & 0xFF));
}

uint32_t ToColorRef(const QColor& c)
{
    return uint32_t(c.red()) | (uint32_t(c.green()) << 8) | (uint32_t(c.blue()) << 16);
}

GraphResources::GraphResources()
{
    for (int i = 0; i < kBaseCount; ++i) {
        base[i] = FromColorRef(kBaseColours[i]);
        solid[i] = QPen(base[i], 1, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
        dotted[i] = QPen(base[i], 1, Qt::CustomDashLine, Qt::FlatCap, Qt::MiterJoin);
        dotted[i].setDashPattern({1.0, 2.0});
        brush[i] = QBrush(base[i]);
    }
    plotFrame = QPen(base[4], 4, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
    // The small title font that label texts use.
    font = QFontDatabase::systemFont(QFontDatabase::SmallestReadableFont);
    font.setPixelSize(12);
}

QPen GraphResources::DefaultPen(int seriesIndex)
{
    int i = seriesIndex % 18;
    if (i < 0)
        i += 18;
    return QPen(FromColorRef(kSeriesColours[i]), 2, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
}

uint64_t LargestValue(const GraphData& data)
{
    uint64_t m = 0;
    for (const GraphSeriesData& s : data.series) {
        if (IsNullPen(s.pen))
            continue;
        for (uint64_t v : s.val)
            if (v > m)
                m = v;
    }
    return m;
}

double ScaleTop(uint64_t largest)
{
    if (largest == 0)
        return 1.0;
    return std::pow(10.0, std::log10(double(largest)) + 0.1);
}

int UnitExponent(double top)
{
    int e = int(std::log10(top));
    if (e > 0 && std::pow(10.0, e + 0.5) > top)
        --e;
    return e;
}

int GridLineCount(double top, int exponent)
{
    const double unit = std::pow(10.0, exponent);
    int n = 0;
    while ((n + 1) * unit <= top)
        ++n;
    return n;
}

GraphSeriesData GraphData::NewSeries(const QPen& pen) const
{
    GraphSeriesData s;
    s.pen = pen;
    s.val.assign(time.size(), 0);
    s.err.assign(time.size(), 16);
    return s;
}

std::vector<bool> FailedIntervals(const GraphData& data)
{
    const size_t n = size_t(data.slotCount() - 1);
    std::vector<bool> failed(n, false);
    for (const GraphSeriesData& s : data.series)
        for (size_t i = 0; i < n && i < s.err.size(); ++i)
            if (s.err[i] != 0 && s.err[i] != 16)
                failed[i] = true;
    return failed;
}

int CursorFromPoint(QPoint p, int nslots)
{
    if (p.x() < kPlotLeft - 1 || p.x() > kPlotRight || p.y() < kPlotTop || p.y() >= kPlotBottom)
        return -1;
    const int last = std::max(nslots, 2) - 1;
    const int offset = p.x() - kPlotLeft;
    // Truncated towards zero (x = 29 gives 0); with 61 nslots every 7 pixels
    // are one slot and only x = 450 selects the newest.
    const int idx = int(static_cast<long long>(offset) * last / kPlotWidth);
    return std::clamp(idx, 0, last);
}

int SlotX(int slot, int nslots)
{
    const int last = std::max(nslots, 2) - 1;
    return kPlotLeft + int(static_cast<long long>(slot) * kPlotWidth / last);
}

std::string FormatTime(long t, const char* format)
{
    time_t tt = time_t(int32_t(t));
    struct tm tmv {};
    if (!localtime_r(&tt, &tmv))
        return {};
    char buf[64];
    size_t n = std::strftime(buf, sizeof buf, format, &tmv);
    return std::string(buf, n);
}

std::vector<int> SpacedLabels(const std::vector<int>& positions, int extent, int gap)
{
    std::vector<int> kept;
    for (size_t i = 0; i < positions.size(); ++i)
        if (kept.empty() || positions[i] - positions[size_t(kept.back())] >= extent + gap)
            kept.push_back(int(i));
    return kept;
}

namespace {

// A filled rectangle with its outline on the edge pixels, right and bottom
// edges exclusive.
void FrameRect(QPainter& p, int l, int t, int r, int b, const QPen& pen, const QBrush& brush)
{
    if (r <= l || b <= t)
        return;
    p.fillRect(QRect(l, t, r - l, b - t), brush);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRect(l, t, r - l - 1, b - t - 1));
}

enum class Align { Left, Centre, Right };

// Text whose reference point is the top of the text cell; fm measures the
// painter's font, pen gives the colour.
void TextAt(QPainter& p, const QFontMetrics& fm, int x, int y, const QString& text, Align align, const QPen& pen)
{
    int w = fm.horizontalAdvance(text);
    if (align == Align::Centre)
        x -= w / 2;
    else if (align == Align::Right)
        x -= w;
    p.setPen(pen);
    p.drawText(x, y + fm.ascent(), text);
}

}  // namespace

void GraphRenderer::Render(const GraphData& data, const QRect& client, const GraphResources& res)
{
    // The drawing area follows the pane while it shows the whole plot; a
    // smaller pane scrolls over the default area, so the scroll range
    // shrinks back with the pane.
    if (client.right() + 1 > kPlotRight && client.bottom() + 1 > kPlotBottom)
        m_area = QRect(client.left(), client.top(), client.width(), client.height());
    else
        m_area = QRect(0, 0, kAreaWidth, kAreaHeight);

    const int areaR = m_area.left() + m_area.width();
    const int areaB = m_area.top() + m_area.height();
    QImage img(areaR + 3, areaB + 3, QImage::Format_RGB32);
    img.fill(Qt::black);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::TextAntialiasing, false);
    p.setFont(res.font);
    const QFontMetrics fm(res.font);
    p.setBackgroundMode(Qt::TransparentMode);

    FrameRect(p, m_area.left(), m_area.top(), areaR, areaB, res.solid[2], res.brush[3]);

    // Plot background with a heavy black frame.
    p.fillRect(QRect(kPlotLeft - 1, kPlotTop - 1, kPlotWidth + 2, kPlotHeight + 2), res.brush[0]);
    p.setPen(res.plotFrame);
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRect(kPlotLeft - 1, kPlotTop - 1, kPlotWidth + 1, kPlotHeight + 1));

    m_top = ScaleTop(LargestValue(data));
    m_exponent = UnitExponent(m_top);
    m_gridLines = 0;
    // An empty window shows the empty plot only.
    if (data.series.empty()) {
        p.end();
        m_image = std::move(img);
        return;
    }

    const int nslots = data.slotCount();
    const double dx = kPlotWidth / double(nslots - 1);
    const auto failed = FailedIntervals(data);
    for (int i = 0; i < nslots - 1; ++i) {
        if (!failed[size_t(i)])
            continue;
        int x1 = int(kPlotLeft + i * dx);
        int x2 = int(kPlotLeft + (i + 1) * dx);
        FrameRect(p, x1, kPlotTop, x2, kPlotBottom, res.solid[1], res.brush[1]);
    }

    std::vector<QPoint> pts(static_cast<size_t>(nslots));
    for (const GraphSeriesData& s : data.series) {
        if (IsNullPen(s.pen) || int(s.val.size()) < nslots)
            continue;
        double x = kPlotLeft;
        for (int l = 0; l < nslots; ++l) {
            int y = int(kPlotBottom - double(s.val[size_t(l)]) * kPlotHeight / m_top);
            pts[size_t(l)] = QPoint(int(x), y);
            x += dx;
        }
        p.setPen(s.pen);
        p.drawPolyline(pts.data(), nslots);
    }

    // Time axis every ten slots and at the newest. Every line is drawn; a
    // time is kept whole inside the drawing area (the newest moves left off
    // the pane's edge), and one that would run into a newer one is left out,
    // so the newest always shows. Times below the plot, with a shadow.
    struct TimeLabel {
        int left;
        QString text;
    };
    std::vector<TimeLabel> times;
    int timeExtent = 0;
    for (int k = 0; k < nslots; k = (k + 10 < nslots - 1 || k == nslots - 1) ? k + 10 : nslots - 1) {
        int x = int(kPlotLeft + k * dx);
        p.setPen(res.dotted[4]);
        p.drawLine(x, kPlotBottom, x, kPlotTop);
        if (data.time[size_t(k)] == 0)
            continue;
        QString t = QString::fromStdString(FormatTime(data.time[size_t(k)], "%H:%M:%S"));
        const int w = fm.horizontalAdvance(t) + 2;  // with the shadow
        const int lo = m_area.left() + 1;
        const int hi = areaR - 1 - w;
        times.push_back({std::max(lo, std::min(x - (w - 2) / 2, hi)), t});
        timeExtent = std::max(timeExtent, w);
    }
    std::vector<int> fromRight;  // newest first
    for (auto it = times.rbegin(); it != times.rend(); ++it)
        fromRight.push_back(-it->left);
    for (int i : SpacedLabels(fromRight, timeExtent, fm.horizontalAdvance(QLatin1Char(' ')))) {
        const TimeLabel& t = times[times.size() - 1 - size_t(i)];
        TextAt(p, fm, t.left + 1, kPlotBottom + 4, t.text, Align::Left, res.solid[4]);
        TextAt(p, fm, t.left + 2, kPlotBottom + 4, t.text, Align::Left, res.solid[4]);
        TextAt(p, fm, t.left, kPlotBottom + 2, t.text, Align::Left, res.solid[0]);
        TextAt(p, fm, t.left + 1, kPlotBottom + 2, t.text, Align::Left, res.solid[0]);
    }

    // Unit header "x10" with the exponent raised after it.
    const QString x10 = QStringLiteral("x10");
    const QString ex = QString::number(m_exponent);
    const int th = fm.height();
    const int tw = fm.horizontalAdvance(x10);
    for (int pass = 0; pass < 2; ++pass) {
        const int d = pass == 0 ? 0 : -2;
        const QPen& c = pass == 0 ? res.solid[4] : res.solid[0];
        for (int k = 2; k <= 3; ++k) {
            TextAt(p, fm, kPlotLeft + k + d, kPlotTop - th + d, x10, Align::Left, c);
            TextAt(p, fm, kPlotLeft + tw + k + d, kPlotTop - 3 * th / 2 + d, ex, Align::Left, c);
        }
    }

    // Value grid, labelled in units; every line is drawn, a label that
    // would run into the one below it is left out.
    const double unit = std::pow(10.0, m_exponent);
    std::vector<int> gridY, rise;
    for (int l = 1; l * unit <= m_top; ++l) {
        int y = int(kPlotBottom - unit * l * kPlotHeight / m_top);
        p.setPen(res.dotted[4]);
        p.drawLine(kPlotLeft, y, kPlotRight, y);
        gridY.push_back(y);
        rise.push_back(kPlotBottom - y);
        ++m_gridLines;
    }
    for (int i : SpacedLabels(rise, th, 0)) {
        const int y = gridY[size_t(i)];
        QString label = QString::number(i + 1);
        TextAt(p, fm, kPlotLeft - 2, y + 1 - th / 2, label, Align::Right, res.solid[4]);
        TextAt(p, fm, kPlotLeft - 3, y + 1 - th / 2, label, Align::Right, res.solid[4]);
        TextAt(p, fm, kPlotLeft - 4, y - th / 2, label, Align::Right, res.solid[0]);
        TextAt(p, fm, kPlotLeft - 5, y - th / 2, label, Align::Right, res.solid[0]);
    }
    p.end();
    m_image = std::move(img);
}

void GraphRenderer::RenderOverlay(int cursor, const GraphResources& res, int nslots)
{
    const int w = m_area.left() + m_area.width();
    const int h = m_area.top() + m_area.height();
    QImage ov(w, h, QImage::Format_RGB32);
    ov.fill(0u);
    QPainter p(&ov);
    p.setRenderHint(QPainter::Antialiasing, false);
    if (cursor >= 0) {
        const int x = SlotX(cursor, nslots);
        p.setPen(res.solid[5]);
        p.drawLine(x, kPlotBottom, x, kPlotTop);
    }
    p.end();
    m_overlay = std::move(ov);
}

QImage GraphRenderer::Composed() const
{
    QImage out = m_image;
    if (out.isNull() || m_overlay.isNull())
        return out;
    // Exclusive-or of the raw pixels: the cursor inverts what lies under it.
    const int h = std::min(out.height(), m_overlay.height());
    const int w = std::min(out.width(), m_overlay.width());
    for (int y = 0; y < h; ++y) {
        auto* d = reinterpret_cast<uint32_t*>(out.scanLine(y));
        auto* s = reinterpret_cast<const uint32_t*>(m_overlay.constScanLine(y));
        for (int x = 0; x < w; ++x)
            d[x] = (d[x] ^ s[x]) | 0xFF000000u;
    }
    return out;
}

}  // namespace countergroup
