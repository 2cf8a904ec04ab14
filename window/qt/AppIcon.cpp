#include "AppIcon.h"

#include "Look.h"

namespace tintara
{

QImage AppIconImage()
{
    QImage image(look::IconSize, look::IconSize, QImage::Format_ARGB32);
    for (int row = 0; row < look::IconSize; ++row) {
        for (int column = 0; column < look::IconSize; ++column) {
            image.setPixel(column, row, look::IconPixel(row, column));
        }
    }
    return image;
}

} // namespace tintara
