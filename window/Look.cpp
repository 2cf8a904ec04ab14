#include "Look.h"

#include "Layout.h"

#include <algorithm>
#include <string_view>
#include <utility>

namespace tintara::look
{

namespace
{

// The desktop's colours among the preview's swatches, named for what they
// picture as the board's cells are: the solved board's empty cell and its
// white tile. The tiles' names are the palette's.
constexpr std::array<std::pair<ColorWord, std::string_view>, 3> SystemNames = {{
    {layout::ScrollBar, "empty"},
    {layout::ActiveCaptionText, "white"},
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

// Whether a point lies inside a polygon: a ray to the right crosses its edges
// an odd number of times.
bool Inside(const std::array<Point, 7>& polygon, double x, double y)
{
    bool inside = false;
    for (std::size_t i = 0, j = polygon.size() - 1; i < polygon.size(); j = i++) {
        const Point& a = polygon[i];
        const Point& b = polygon[j];
        if ((a.y > y) != (b.y > y) && x < (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x) {
            inside = !inside;
        }
    }
    return inside;
}

} // namespace

std::string ColorName(ColorWord color)
{
    for (const PaletteColor& tile : Palette) {
        if (tile.color == color) {
            return std::string(tile.name);
        }
    }
    for (const auto& [word, name] : SystemNames) {
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

std::vector<std::uint8_t> ArrowCoverage(Direction direction, double size, int side)
{
    constexpr int Samples = 8;
    std::array<Point, 7> shape = ArrowFor(direction);
    for (Point& point : shape) {
        point = {side / 2.0 + point.x * size, side / 2.0 + point.y * size};
    }
    std::vector<std::uint8_t> coverage(static_cast<std::size_t>(side) *
                                       static_cast<std::size_t>(side));
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            int covered = 0;
            for (int sy = 0; sy < Samples; ++sy) {
                for (int sx = 0; sx < Samples; ++sx) {
                    covered +=
                        Inside(shape, x + (sx + 0.5) / Samples, y + (sy + 0.5) / Samples) ? 1 : 0;
                }
            }
            coverage[static_cast<std::size_t>(y * side + x)] =
                static_cast<std::uint8_t>(covered * 255 / (Samples * Samples));
        }
    }
    return coverage;
}

bool FocusMarkIsBlack(int red, int green, int blue)
{
    // The colour's lightness, weighted as the eye sees red, green and blue.
    return red * 299 + green * 587 + blue * 114 > 128000;
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
