#include "Look.h"

#include "Layout.h"

#include <algorithm>
#include <string_view>
#include <utility>

namespace tintara::look
{

namespace
{

constexpr std::array<std::pair<ColorWord, std::string_view>, 19> Names = {{
    {HoleColor, "empty"},
    {0x00800000, "navy"},
    {0x00008000, "green"},
    {0x00808000, "teal"},
    {0x00000080, "maroon"},
    {0x00FF0000, "blue"},
    {0x0000FF00, "lime"},
    {0x00FFFF00, "cyan"},
    {0x000000FF, "red"},
    {0x00800080, "purple"},
    {0x00004080, "brown"},
    {0x00808080, "grey"},
    {0x00404040, "dark grey"},
    {0x00FF00FF, "magenta"},
    {0x0000FFFF, "yellow"},
    {0x00FFFFFF, "white"},
    {layout::ScrollBar, "scroll bar colour"},
    {layout::ActiveCaptionText, "caption text colour"},
    {layout::ButtonText, "button text colour"},
}};

// From top to bottom: bright red, yellow, bright green, cyan, bright blue, purple.
constexpr std::array<std::uint32_t, 6> Bands = {0xFFFF0000, 0xFFFFFF00, 0xFF00FF00,
                                                0xFF00FFFF, 0xFF0000FF, 0xFF800080};
constexpr int BandRows = 5;

// How many rows a column lags behind the right-hand side: each change of band
// starts at column 25, one row later at column 9, and a row after that at
// column 6, so the bands rise towards the right.
constexpr int Lag(int column)
{
    if (column >= 25) {
        return 0;
    }
    if (column >= 9) {
        return 1;
    }
    return column >= 6 ? 2 : 3;
}

} // namespace

std::string ColorName(ColorWord color)
{
    for (const auto& [word, name] : Names) {
        if (word == color) {
            return std::string(name);
        }
    }
    // Any other word by its eight hex digits, without printf, which the web
    // build would otherwise carry whole.
    constexpr std::string_view Digits = "0123456789abcdef";
    std::string digits = "#";
    for (int shift = 28; shift >= 0; shift -= 4) {
        digits += Digits[(color >> static_cast<unsigned>(shift)) & 0xFU];
    }
    return digits;
}

std::string PictureBoxName(std::string_view name, ColorWord color)
{
    return std::string(name) + ", " + ColorName(color);
}

Direction DirectionOfGlyph(int glyph)
{
    switch (glyph) {
    case layout::GlyphUp:
        return Direction::Up;
    case layout::GlyphDown:
        return Direction::Down;
    case layout::GlyphLeft:
        return Direction::Left;
    default:
        return Direction::Right;
    }
}

int QuarterTurns(Direction direction)
{
    switch (direction) {
    case Direction::Up:
        return 0;
    case Direction::Right:
        return 1;
    case Direction::Down:
        return 2;
    case Direction::Left:
        break;
    }
    return 3;
}

std::array<Point, 7> ArrowFor(Direction direction)
{
    std::array<Point, 7> points = UpArrow;
    for (int turn = 0; turn < QuarterTurns(direction); ++turn) {
        // A clockwise quarter turn on a screen, where y grows downwards.
        for (Point& point : points) {
            point = {-point.y, point.x};
        }
    }
    return points;
}

std::uint32_t IconPixel(int row, int column)
{
    const int depth = row - Lag(column);
    // The corners follow the same staircase: clear above the first band, and
    // in the bottom three rows from where it starts.
    if (depth < 0 || row >= IconSize - 3 + Lag(column)) {
        return 0;
    }
    return Bands[static_cast<std::size_t>(
        std::min(depth / BandRows, static_cast<int>(Bands.size()) - 1))];
}

} // namespace tintara::look
