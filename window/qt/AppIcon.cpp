#include "AppIcon.h"

#include "Look.h"

namespace tintara
{

QImage AppIconImage()
{
    QImage image(look::IconSize, look::IconSize, QImage::Format_ARGB32);
    // Row by row into the image's own lines: setPixel checks and converts
    // each of the 1,024 pixels.
    for (int row = 0; row < look::IconSize; ++row) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(row));
        for (int column = 0; column < look::IconSize; ++column) {
            line[column] = look::IconPixel(row, column);
        }
    }
    return image;
}

} // namespace tintara
