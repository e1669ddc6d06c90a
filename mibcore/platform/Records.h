#pragma once
// The binary records that settings files store: line styles, rectangles and
// window placements. They are serialised field by field as 32-bit
// little-endian values so that files written on either platform agree.

#include <QColor>
#include <QPen>
#include <QRect>

#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

// Colours are 0x00BBGGRR values.
using ColorRef = std::uint32_t;
QColor ToQColor(ColorRef c);
ColorRef FromQColor(const QColor& c);

// Line styles of a pen record.
enum : std::uint32_t {
    PS_SOLID = 0,
    PS_DASH = 1,
    PS_DOT = 2,
    PS_DASHDOT = 3,
    PS_DASHDOTDOT = 4,
    PS_NULL = 5,
};

// 16 bytes: style, width as a point (x = width, y unused), colour.
struct LogPen {
    std::uint32_t style = PS_SOLID;
    std::int32_t widthX = 1;
    std::int32_t widthY = 0;
    ColorRef color = 0;

    static constexpr std::size_t kSize = 16;
    std::string ToBytes() const;
    // False (and *this untouched) unless exactly kSize bytes are given.
    bool FromBytes(const std::string& bytes);
    bool operator==(const LogPen&) const = default;
};

// Pens and records convert both ways: style, width and colour survive; an
// unknown style becomes solid and the width is kept within 0..kMaxPenWidth.
inline constexpr int kMaxPenWidth = 64;
QPen PenFromLogPen(const LogPen& lp);
LogPen LogPenFromPen(const QPen& pen);

// 16 bytes: left, top, right, bottom.
struct Rect32 {
    std::int32_t left = 0, top = 0, right = 0, bottom = 0;

    static constexpr std::size_t kSize = 16;
    std::string ToBytes() const;
    bool FromBytes(const std::string& bytes);
    // Edges come from files: their difference may not fit 32 bits, so it is
    // taken in 64 bits and clamped.
    std::int32_t Width() const { return Clamp32(std::int64_t(right) - left); }
    std::int32_t Height() const { return Clamp32(std::int64_t(bottom) - top); }
    QRect ToQRect() const { return QRect(QPoint(left, top), QSize(Width(), Height())); }
    static Rect32 FromQRect(const QRect& r) { return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()}; }
    bool operator==(const Rect32&) const = default;

private:
    static std::int32_t Clamp32(std::int64_t v)
    {
        return v > INT32_MAX ? INT32_MAX : v < INT32_MIN ? INT32_MIN : std::int32_t(v);
    }
};

// Show states of a placement.
enum : std::uint32_t { SW_HIDE = 0, SW_SHOWNORMAL = 1, SW_SHOWMINIMIZED = 2, SW_SHOWMAXIMIZED = 3 };

// 44 bytes: length, flags, show state, minimised position, maximised
// position, normal rectangle.
struct WindowPlacement {
    std::uint32_t length = kSize;
    std::uint32_t flags = 0;
    std::uint32_t showCmd = SW_SHOWNORMAL;
    std::int32_t minX = -1, minY = -1;
    std::int32_t maxX = -1, maxY = -1;
    Rect32 normal;

    static constexpr std::size_t kSize = 44;
    std::string ToBytes() const;
    bool FromBytes(const std::string& bytes);
    bool operator==(const WindowPlacement&) const = default;
};

}  // namespace platform
