// What the front ends draw alike, free of any toolkit: the names of the
// colours a screen reader speaks, the arrow and its pixels, the frame's
// hatching, the empty cell's mark and the icon's pixels; and the colour of the
// focus mark the Win32 picture box draws.
#pragma once

#include "Tintara.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tintara::look
{

// A colour word as a screen reader speaks it: "navy", "empty", "button text
// colour", or its hexadecimal digits for a colour the window never shows. The
// preview's swatches in the desktop's colours are named for what they picture.
[[nodiscard]] std::string ColorName(ColorWord color);

// What a screen reader speaks for a picture box where the platform gives it one
// name alone: the control's name and its colour, "B6, navy".
[[nodiscard]] std::string PictureBoxName(std::string_view name, ColorWord color);

struct Point {
    double x;
    double y;
};

// An arrow pointing up, in a box of 1 × 1 centred on the origin: a head the
// full width and half the height, on a stem of a third of the width.
inline constexpr std::array<Point, 7> UpArrow = {{
    {0.0, -0.5},
    {0.5, 0.0},
    {1.0 / 6.0, 0.0},
    {1.0 / 6.0, 0.5},
    {-1.0 / 6.0, 0.5},
    {-1.0 / 6.0, 0.0},
    {-0.5, 0.0},
}};

// The arrow's side as a share of the button's smaller side.
inline constexpr double ArrowShare = 0.6;

// Clockwise quarter turns from the up arrow to the arrow of a direction.
[[nodiscard]] int QuarterTurns(Direction direction);

// The up arrow turned for a direction, still in the unit box.
[[nodiscard]] std::array<Point, 7> ArrowFor(Direction direction);

// The arrow of a direction, `size` pixels across, centred in a square `side`
// pixels wide, as the share of each pixel it covers, 0 to 255, row by row
// from the top: each pixel is covered as far as eight by eight samples in it
// fall inside the arrow, so that its slopes are smooth.
[[nodiscard]] std::vector<std::uint8_t> ArrowCoverage(Direction direction, double size, int side);

// Whether the focus mark drawn on a colour is black rather than white:
// whichever stands out more from it, so that the mark is seen on every tile.
[[nodiscard]] bool FocusMarkIsBlack(int red, int green, int blue);

// The mark of the empty cell where the desktop's colours may make it a tile's
// twin (Windows' high contrast, a browser's forced colours): a black ring
// inside its sunken edge and a white ring inside that, each HoleRing pixels
// wide at 96 dots per inch. No tile is within 3:1 of both black and white, so
// about a fifth of the cell stands out from every tile.
inline constexpr int HoleRing = 4;

// The fill of the frame behind the preview, crossing diagonal lines: a tile
// HatchSize pixels square at 96 dots per inch, repeated from the window's
// top-left corner, in which the pixels on its two diagonals are drawn. The
// front ends scale the tile with the density, as everything around it.
inline constexpr int HatchSize = 8;

[[nodiscard]] inline constexpr bool HatchPixel(int x, int y)
{
    return x == y || x + y == HatchSize - 1;
}

// The icon: six coloured bands on a staircase, IconSize pixels square.
inline constexpr int IconSize = 32;

// The colour of one pixel of the icon as 0xAARRGGBB; 0 where it is clear.
[[nodiscard]] std::uint32_t IconPixel(int row, int column);

} // namespace tintara::look
