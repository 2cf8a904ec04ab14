#include "AppIcon.h"

#include <array>

namespace tintara
{

namespace
{

// From top to bottom: bright red, yellow, bright green, cyan, bright blue, purple.
constexpr std::array<QRgb, 6> Bands = {0xFFFF0000, 0xFFFFFF00, 0xFF00FF00,
                                       0xFF00FFFF, 0xFF0000FF, 0xFF800080};
constexpr int BandRows = 5;
constexpr int Size = 32;

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

QImage AppIconImage()
{
    QImage image(Size, Size, QImage::Format_ARGB32);
    for (int row = 0; row < Size; ++row) {
        for (int column = 0; column < Size; ++column) {
            const int depth = row - Lag(column);
            // The corners follow the same staircase: transparent above the
            // first band, and in the bottom three rows from where it starts.
            const bool clear = depth < 0 || row >= Size - 3 + Lag(column);
            image.setPixel(column, row,
                           clear ? qRgba(0, 0, 0, 0)
                                 : Bands[static_cast<std::size_t>(std::min(
                                       depth / BandRows, static_cast<int>(Bands.size()) - 1))]);
        }
    }
    return image;
}

} // namespace tintara
