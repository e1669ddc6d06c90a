#include "plugins/ifplug/RmonLayout.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cmath>

#include "plugins/countergroup/GraphRender.h"
#include "snmpval/CSnmpBer.h"

namespace ifplug {

namespace {

const char* const kHistoryNames[] = {"Octet",         "TotalPacket",     "BroadcastPacket", "MulticastPacket",
                                     "CRCAlignError", "UndersizePacket", "OverseizePacket", "Fragment",
                                     "Jabber",        "Colision",        "Utilization"};
const char* const kStatisticsNames[] = {"Octet",   "TotalPacket", "BroadcastPacket", "MulticastPacket",
                                        "CRCAlignError", "UndersizePacket", "OverseizePacket", "Fragment",
                                        "Jabber",  "Colision",    "64",       "65-127",
                                        "128-255", "256-511",     "512-1023", "1024-1518"};

constexpr int kPlotMarginX = 50;
constexpr int kPlotMarginY = 25;
constexpr int kPlotWidth = kRmonCellWidth - 2 * kPlotMarginX;    // 200
constexpr int kPlotHeight = kRmonCellHeight - 2 * kPlotMarginY;  // 100
constexpr int kSteps = kRmonSlots - 1;

enum class Align { Left, Centre, Right };

void TextAt(QPainter& p, const QFontMetrics& fm, int x, int y, const QString& text, Align align, const QColor& c)
{
    const int w = fm.horizontalAdvance(text);
    if (align == Align::Centre)
        x -= w / 2;
    else if (align == Align::Right)
        x -= w;
    p.setPen(c);
    p.drawText(x, y + fm.ascent(), text);
}

// Text with a black shadow below and right of it.
void ShadowText(QPainter& p, const QFontMetrics& fm, int x, int y, const QString& text, Align align,
                const RmonResources& res, int colour = 0)
{
    TextAt(p, fm, x + 1, y + 1, text, align, res.base[4]);
    TextAt(p, fm, x, y, text, align, res.base[colour]);
}

bool DrawnValue(const RmonSample& s, int valueCount)
{
    for (int k = 0; k < valueCount; ++k)
        if (s.val[size_t(k)] != 0)
            return true;
    return false;
}

void DrawTabs(QPainter& p, const RmonView& v, const RmonResources& res)
{
    const QFontMetrics fm(res.bold);
    p.setFont(res.bold);
    for (int i = 0; i < kRmonPages; ++i) {
        const QRect r(i * res.tabWidth, 0, res.tabWidth, res.tabHeight);
        const bool current = i == v.page;
        const QBrush& face = current ? res.brush[6] : res.brush[0];
        QRect faceRect = r.adjusted(2, 2, -1, -1);
        if (!(current && v.pressedTab == i)) {
            // Raised: the shadow at its place, the face two pixels up-left.
            p.fillRect(faceRect, res.brush[3]);
            faceRect.translate(-2, -2);
        }
        p.fillRect(faceRect, face);
        p.setPen(res.solid[4]);
        p.setBrush(Qt::NoBrush);
        p.drawRect(faceRect.adjusted(0, 0, -1, -1));
        const QString text = QString::fromUtf8(v.table->pages[i].tab);
        const int y = faceRect.top() + (faceRect.height() - fm.height()) / 2;
        const int x = faceRect.left() + faceRect.width() / 2;
        TextAt(p, fm, x, y, text, Align::Centre, res.base[4]);
        TextAt(p, fm, x + 1, y, text, Align::Centre, res.base[4]);
    }
    p.setFont(res.font);
}

// Both panes: crisp pixels in the pane font, under the tab strip.
void StartPane(QPainter& p, int width, const RmonView& v, const RmonResources& res)
{
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::TextAntialiasing, false);
    p.setFont(res.font);
    p.fillRect(QRect(0, 0, width, res.tabHeight), res.brush[1]);
    DrawTabs(p, v, res);
}

}  // namespace

const RmonTable kHistoryValues = {
    11,
    kHistoryNames,
    {{"Octet", 0, 1}, {"Destination", 1, 3}, {"Error", 4, 6}, {"Utilization", 10, 1}},
    "historyControlIndex",
    true,
    0,
    0,
};

const RmonTable kStatisticsValues = {
    16,
    kStatisticsNames,
    {{"Octet", 0, 1}, {"Destination", 1, 3}, {"Error", 4, 6}, {"Distribution", 10, 6}},
    "etherStatsIndex",
    false,
    kRmonSlots - 1,
    kRmonSlots - 1,
};

void SetIncrease(RmonSample& slot, const CSnmpBer& current, const CSnmpBer& previous)
{
    for (int k = 0; k < kRmonMaxValues; ++k) {
        const int path[] = {k, 1, -1};
        const unsigned char* c = current.GetSequence(path);
        const unsigned char* p = previous.GetSequence(path);
        const uint32_t cur = c ? uint32_t(CSnmpBer(c).GetULong()) : 0;
        const uint32_t prev = p ? uint32_t(CSnmpBer(p).GetULong()) : 0;
        slot.val[size_t(k)] = uint32_t(cur - prev);
    }
    slot.errIdx = 0;
}

void RestartSample(RmonSample& slot)
{
    slot.val.fill(0);
    slot.errIdx = 0;
}

const uint32_t RmonResources::kBaseColours[kBaseCount] = {
    0xFFFFFF, 0xC0C0C0, 0x808080, 0x404040, 0x000000, 0x0000FF, 0x00FF00, 0xFF0000, 0x00FFFF, 0xFF00FF, 0xFFFF00,
};

RmonResources::RmonResources()
{
    for (int i = 0; i < kBaseCount; ++i) {
        base[i] = countergroup::FromColorRef(kBaseColours[i]);
        solid[i] = QPen(base[i], 1, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
        dotted[i] = QPen(base[i], 1, Qt::CustomDashLine, Qt::FlatCap, Qt::MiterJoin);
        dotted[i].setDashPattern({1.0, 2.0});
        brush[i] = QBrush(base[i]);
    }
    font = QFontDatabase::systemFont(QFontDatabase::TitleFont);
    font.setPixelSize(12);
    bold = font;
    bold.setWeight(QFont::Bold);
    const QFontMetrics fm(font);
    const QFontMetrics fb(bold);
    tabWidth = std::max(fm.horizontalAdvance(QStringLiteral("Destribution")),
                        fb.horizontalAdvance(QStringLiteral("Destribution"))) + 18;
    tabHeight = fm.height() + 18;
    rowHeight = 2 * fm.height();
    idWidth = fm.horizontalAdvance(QStringLiteral("00:00:00")) + 6;
}

int LegendColour(const RmonSample& s, int valueCount)
{
    if (s.errIdx == 16 || (s.errIdx == 0 && !DrawnValue(s, valueCount)))
        return 4;
    return s.errIdx == 0 ? 5 : 7;
}

RmonCellScale CellScale(const std::vector<RmonSeries>& series, int value)
{
    RmonCellScale sc;
    uint32_t largest = 0;
    for (const RmonSeries& s : series) {
        if (countergroup::IsNullPen(s.pen))
            continue;
        for (const RmonSample& slot : s.samples)
            largest = std::max(largest, slot.val[size_t(value)]);
    }
    sc.top = countergroup::ScaleTop(largest);
    sc.exponent = countergroup::UnitExponent(sc.top);
    const double unit = std::pow(10.0, sc.exponent);
    const int step = sc.top / unit >= 10.0 ? 2 : 1;
    for (int l = step; l * unit <= sc.top; l += step)
        sc.gridLabels.push_back(l);
    return sc;
}

QFont RmonGridLabelFont(const QFont& base, double spacing)
{
    QFont f = base;
    const int largest = base.pixelSize() > 0 ? base.pixelSize() : 12;
    for (int px = largest; px >= 6; --px) {
        f.setPixelSize(px);
        if (QFontMetrics(f).tightBoundingRect(QStringLiteral("0123456789")).height() + 1 <= spacing)
            break;
    }
    return f;
}

int RmonTabAt(QPoint p, const RmonResources& res)
{
    if (p.y() < 0 || p.y() >= res.tabHeight || p.x() < 0)
        return -1;
    const int i = p.x() / res.tabWidth;
    return i < kRmonPages ? i : -1;
}

QRect RmonPlotRect(int cell, const RmonResources& res)
{
    const int x = (cell % 2) * kRmonCellWidth;
    const int y = res.tabHeight + (cell / 2) * kRmonCellHeight;
    return QRect(x + kPlotMarginX, y + kPlotMarginY, kPlotWidth, kPlotHeight);
}

int RmonCursorFromPoint(QPoint p, int cells, const RmonResources& res)
{
    const int s = kPlotWidth / kSteps;
    for (int i = 0; i < cells; ++i) {
        const QRect r = RmonPlotRect(i, res);
        if (p.x() < r.left() - 1 || p.x() > r.left() + r.width() || p.y() < r.top() ||
            p.y() >= r.top() + r.height())
            continue;
        const int offset = std::max(0, p.x() - r.left());
        const int idx = offset / s;
        if (idx < kSteps || (idx == kSteps && offset % s == 0))
            return idx;
        return -1;
    }
    return -1;
}

QImage RenderRmonGraph(const RmonView& v, QSize client, const RmonResources& res, std::vector<RmonCellScale>* scales)
{
    const int w = std::max(client.width(), 2 * kRmonCellWidth);
    const int h = std::max(client.height(), res.tabHeight + 3 * kRmonCellHeight);
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(res.base[3]);
    QPainter p(&img);
    StartPane(p, w, v, res);
    const QFontMetrics fm(res.font);
    const int th = fm.height();

    const RmonPage& page = v.table->pages[v.page];
    const std::vector<RmonSeries>& series = *v.series;
    const RmonSample* times = series.empty() ? nullptr : series[0].samples.data();
    const double dx = double(kPlotWidth) / kSteps;
    if (scales)
        scales->clear();

    for (int cell = 0; cell < page.count; ++cell) {
        const int value = page.first + cell;
        const QRect r = RmonPlotRect(cell, res);
        const int left = r.left(), top = r.top(), right = r.left() + r.width(), bottom = r.top() + r.height();
        p.fillRect(r.adjusted(-1, -1, 1, 1), res.brush[0]);
        p.setPen(res.solid[4]);
        p.setBrush(Qt::NoBrush);
        p.drawRect(r.adjusted(-1, -1, 0, 0));
        ShadowText(p, fm, left + kPlotWidth / 2, top - th - 6, QString::fromUtf8(v.table->names[value]),
                   Align::Centre, res);

        const RmonCellScale sc = CellScale(series, value);
        if (scales)
            scales->push_back(sc);

        // Failed intervals of any series shade the whole height.
        for (int i = 0; i < kSteps; ++i) {
            bool failed = false;
            for (const RmonSeries& s : series) {
                const int e = s.samples[size_t(i)].errIdx;
                failed = failed || (e != 0 && e != 16);
            }
            if (failed)
                p.fillRect(QRect(int(left + i * dx), top, int(left + (i + 1) * dx) - int(left + i * dx), kPlotHeight),
                           res.brush[1]);
        }

        QPoint pts[kRmonSlots];
        for (const RmonSeries& s : series) {
            if (countergroup::IsNullPen(s.pen))
                continue;
            for (int l = 0; l < kRmonSlots; ++l)
                pts[l] = QPoint(int(left + l * dx), int(bottom - double(s.samples[size_t(l)].val[size_t(value)]) *
                                                                      kPlotHeight / sc.top));
            p.setPen(s.pen);
            p.drawPolyline(pts, kRmonSlots);
        }

        // Every time grid line; labels only where they do not run into
        // the previous one (a wide font in a 200-pixel plot).
        std::vector<int> timeSlots, timeX;
        for (int k = 0; k < kRmonSlots; k += 10) {
            const int x = int(left + k * dx);
            p.setPen(res.dotted[4]);
            p.drawLine(x, bottom, x, top);
            if (times && times[k].time != 0) {
                timeSlots.push_back(k);
                timeX.push_back(x);
            }
        }
        const int timeWidth = fm.horizontalAdvance(QStringLiteral("00:00:00"));
        for (int i : SpacedLabels(timeX, timeWidth, fm.horizontalAdvance(QLatin1Char(' ')))) {
            const int k = timeSlots[size_t(i)];
            const int x = timeX[size_t(i)];
            int y = bottom + 2;
            if (v.table->twoLineTimes) {
                ShadowText(p, fm, x, y, QString::fromStdString(countergroup::FormatTime(times[k].time, "%m/%d")),
                           Align::Centre, res);
                y += th;
            }
            ShadowText(p, fm, x, y, QString::fromStdString(countergroup::FormatTime(times[k].time, "%H:%M:%S")),
                       Align::Centre, res);
        }

        // Every value line gets its label: the digits are centred on the
        // line in a size that fits between two lines.
        const double unit = std::pow(10.0, sc.exponent);
        const int step = sc.gridLabels.size() > 1 ? sc.gridLabels[1] - sc.gridLabels[0] : 1;
        const QFont labelFont = RmonGridLabelFont(res.font, unit * step * kPlotHeight / sc.top);
        const QFontMetrics lm(labelFont);
        const int inkHeight = lm.tightBoundingRect(QStringLiteral("0123456789")).height();
        p.setFont(labelFont);
        for (int l : sc.gridLabels) {
            const int y = int(bottom - unit * l * kPlotHeight / sc.top);
            p.setPen(res.dotted[4]);
            p.drawLine(left, y, right, y);
            ShadowText(p, lm, left - 3, y + inkHeight / 2 - lm.ascent(), QString::number(l), Align::Right, res);
        }
        p.setFont(res.font);
        // Unit "x10" with the exponent raised after it.
        const int ux = left - kPlotMarginX + 4;
        ShadowText(p, fm, ux, top - th - 2, QStringLiteral("x10"), Align::Left, res);
        ShadowText(p, fm, ux + fm.horizontalAdvance(QStringLiteral("x10")), top - th - 2 - th / 2,
                   QString::number(sc.exponent), Align::Left, res);

        const int cx = left + v.cursor * (kPlotWidth / kSteps);
        p.setPen(res.solid[5]);
        p.drawLine(cx, bottom, cx, top);
    }
    p.end();
    return img;
}

int RmonLegendWidth(const RmonResources& res) { return kRmonPages * res.tabWidth + 2; }

int RmonLegendRowsHeight(int seriesCount, const RmonResources& res) { return seriesCount * res.rowHeight; }

QImage RenderRmonLegend(const RmonView& v, QSize client, int offset, const RmonResources& res)
{
    const int h = res.rowHeight;
    const int w = std::max(client.width(), std::max(RmonLegendWidth(res), res.idWidth + kRmonBarLength + 8));
    const int headerTop = res.tabHeight;
    const int rowsTop = headerTop + 3 * h;
    const std::vector<RmonSeries>& series = *v.series;
    const int height = std::max(client.height(), rowsTop + RmonLegendRowsHeight(int(series.size()), res));
    QImage img(w, height, QImage::Format_RGB32);
    img.fill(res.base[0]);
    QPainter p(&img);
    StartPane(p, w, v, res);
    const QFontMetrics fm(res.font);
    const int th = fm.height();

    const RmonPage& page = v.table->pages[v.page];
    const int cursor = std::clamp(v.cursor, 0, kRmonSlots - 1);

    // Series rows first, so that the header stays on top while they scroll.
    const int total = RmonLegendRowsHeight(int(series.size()), res);
    uint32_t largest = 0;
    for (const RmonSeries& s : series)
        for (int k = 0; k < page.count; ++k)
            largest = std::max(largest, s.samples[size_t(cursor)].val[size_t(page.first + k)]);
    const double barTop = countergroup::ScaleTop(largest);
    if (total > 0) {
        const int shift = ((offset % total) + total) % total;
        const int barH = std::max(1, (h - 3) / page.count);
        // The rows scrolled off the top come back below the last one.
        p.setClipRect(QRect(0, rowsTop, w, total));
        for (int copy = 0; copy < (shift > 0 ? 2 : 1); ++copy) {
            for (size_t i = 0; i < series.size(); ++i) {
                const int y = rowsTop + int(i) * h - shift + copy * total;
                if (y + h <= rowsTop || y >= rowsTop + total)
                    continue;
                const RmonSample& s = series[i].samples[size_t(cursor)];
                p.setPen(res.solid[2]);
                p.drawLine(0, y + h - 1, w, y + h - 1);
                const QString id = QString::number(series[i].id);
                const int colour = LegendColour(s, v.table->valueCount);
                // Relief: light above-left, dark below-right, the state colour on top.
                p.setFont(res.bold);
                const QFontMetrics fb(res.bold);
                const int ty = y + (h - fb.height()) / 2;
                TextAt(p, fb, res.idWidth / 2 - 1, ty - 1, id, Align::Centre, res.base[1]);
                TextAt(p, fb, res.idWidth / 2 + 1, ty + 1, id, Align::Centre, res.base[3]);
                TextAt(p, fb, res.idWidth / 2, ty, id, Align::Centre, res.base[colour]);
                p.setFont(res.font);
                for (int k = 0; k < page.count; ++k) {
                    const uint32_t val = s.val[size_t(page.first + k)];
                    const int len = int(kRmonBarLength * double(val) / barTop);
                    const int by = y + 2 + k * barH;
                    if (len <= 0)
                        continue;
                    p.fillRect(QRect(res.idWidth + 2, by + 2, len, std::max(1, barH - 2)), res.brush[4]);
                    p.fillRect(QRect(res.idWidth, by, len, std::max(1, barH - 2)), res.brush[5 + k]);
                }
            }
        }
    }

    p.setClipping(false);

    // Header: names with their swatches, the cursor time and the bar axis.
    p.fillRect(QRect(0, headerTop, w, 3 * h), res.brush[1]);
    p.setPen(res.solid[4]);
    p.drawLine(0, rowsTop - 1, w, rowsTop - 1);
    const int colW = (w - res.idWidth) / 3;
    for (int k = 0; k < page.count; ++k) {
        const int x = res.idWidth + (k % 3) * colW;
        const int y = headerTop + (k / 3) * h;
        TextAt(p, fm, x + 4, y + 1, QString::fromUtf8(v.table->names[page.first + k]), Align::Left, res.base[4]);
        p.fillRect(QRect(x + 4, y + th + 2, std::min(colW - 8, 40), std::max(3, h - th - 5)), res.brush[5 + k]);
    }
    if (!series.empty() && series[0].samples[size_t(cursor)].time != 0)
        TextAt(p, fm, 3, headerTop + (h - th) / 2,
               QString::fromStdString(countergroup::FormatTime(series[0].samples[size_t(cursor)].time, "%H:%M:%S")),
               Align::Left, res.base[4]);

    const int axisY = headerTop + 3 * h - 4;
    const int e = int(std::log10(barTop));
    const double unit = std::pow(10.0, e);
    TextAt(p, fm, 3, axisY - th - 2, QStringLiteral("x10"), Align::Left, res.base[4]);
    TextAt(p, fm, 3 + fm.horizontalAdvance(QStringLiteral("x10")), axisY - th - 2 - th / 2, QString::number(e),
           Align::Left, res.base[4]);
    p.setPen(res.solid[4]);
    p.drawLine(res.idWidth, axisY, res.idWidth + kRmonBarLength, axisY);
    for (int l = 1; l * unit <= barTop; ++l) {
        const int x = res.idWidth + int(kRmonBarLength * l * unit / barTop);
        p.setPen(res.solid[4]);
        p.drawLine(x, axisY - 3, x, axisY);
        TextAt(p, fm, x, axisY - th - 2, QString::number(l), Align::Centre, res.base[4]);
    }
    p.end();
    return img;
}

}  // namespace ifplug
