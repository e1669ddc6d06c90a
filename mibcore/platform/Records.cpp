#include "mibcore/platform/Records.h"

#include <algorithm>

namespace platform {
namespace {

void Put32(std::string& out, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
}

std::uint32_t Get32(const std::string& in, std::size_t at)
{
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i)
        v |= static_cast<std::uint32_t>(static_cast<unsigned char>(in[at + i])) << (8 * i);
    return v;
}

std::int32_t GetS32(const std::string& in, std::size_t at) { return static_cast<std::int32_t>(Get32(in, at)); }

}  // namespace

QColor ToQColor(ColorRef c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

ColorRef FromQColor(const QColor& c)
{
    QColor rgb = c.toRgb();
    return static_cast<ColorRef>(rgb.red()) | (static_cast<ColorRef>(rgb.green()) << 8) |
           (static_cast<ColorRef>(rgb.blue()) << 16);
}

std::string LogPen::ToBytes() const
{
    std::string out;
    Put32(out, style);
    Put32(out, static_cast<std::uint32_t>(widthX));
    Put32(out, static_cast<std::uint32_t>(widthY));
    Put32(out, color);
    return out;
}

bool LogPen::FromBytes(const std::string& b)
{
    if (b.size() != kSize)
        return false;
    style = Get32(b, 0);
    widthX = GetS32(b, 4);
    widthY = GetS32(b, 8);
    color = Get32(b, 12);
    return true;
}

QPen PenFromLogPen(const LogPen& lp)
{
    static const Qt::PenStyle kStyles[] = {Qt::SolidLine, Qt::DashLine, Qt::DotLine,
                                           Qt::DashDotLine, Qt::DashDotDotLine, Qt::NoPen};
    QPen pen;
    pen.setStyle(lp.style <= PS_NULL ? kStyles[lp.style] : Qt::SolidLine);
    pen.setWidth(std::clamp(lp.widthX, 0, kMaxPenWidth));
    pen.setColor(ToQColor(lp.color));
    return pen;
}

LogPen LogPenFromPen(const QPen& pen)
{
    LogPen lp;
    switch (pen.style()) {
    case Qt::DashLine: lp.style = PS_DASH; break;
    case Qt::DotLine: lp.style = PS_DOT; break;
    case Qt::DashDotLine: lp.style = PS_DASHDOT; break;
    case Qt::DashDotDotLine: lp.style = PS_DASHDOTDOT; break;
    case Qt::NoPen: lp.style = PS_NULL; break;
    default: lp.style = PS_SOLID; break;
    }
    lp.widthX = pen.width();
    lp.widthY = 0;
    lp.color = FromQColor(pen.color());
    return lp;
}

std::string Rect32::ToBytes() const
{
    std::string out;
    Put32(out, static_cast<std::uint32_t>(left));
    Put32(out, static_cast<std::uint32_t>(top));
    Put32(out, static_cast<std::uint32_t>(right));
    Put32(out, static_cast<std::uint32_t>(bottom));
    return out;
}

bool Rect32::FromBytes(const std::string& b)
{
    if (b.size() != kSize)
        return false;
    left = GetS32(b, 0);
    top = GetS32(b, 4);
    right = GetS32(b, 8);
    bottom = GetS32(b, 12);
    return true;
}

std::string WindowPlacement::ToBytes() const
{
    std::string out;
    Put32(out, length);
    Put32(out, flags);
    Put32(out, showCmd);
    Put32(out, static_cast<std::uint32_t>(minX));
    Put32(out, static_cast<std::uint32_t>(minY));
    Put32(out, static_cast<std::uint32_t>(maxX));
    Put32(out, static_cast<std::uint32_t>(maxY));
    out += normal.ToBytes();
    return out;
}

bool WindowPlacement::FromBytes(const std::string& b)
{
    if (b.size() != kSize)
        return false;
    length = Get32(b, 0);
    flags = Get32(b, 4);
    showCmd = Get32(b, 8);
    minX = GetS32(b, 12);
    minY = GetS32(b, 16);
    maxX = GetS32(b, 20);
    maxY = GetS32(b, 24);
    normal.FromBytes(b.substr(28, 16));
    return true;
}

}  // namespace platform
