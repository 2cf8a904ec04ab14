#include "SystemColors.h"

#include "Look.h"

namespace tintara
{

namespace
{

QPalette::ColorRole RoleFor(unsigned index)
{
    switch (index) {
    case 0: // scroll bar
        return QPalette::Midlight;
    case 9: // text of an active caption bar
        return QPalette::HighlightedText;
    case 11: // border of an inactive window
        return QPalette::Window;
    case 15: // button face
        return QPalette::Button;
    case 18: // button text
        return QPalette::ButtonText;
    default:
        return QPalette::Window;
    }
}

} // namespace

QColor ResolveColor(ColorWord color, const QPalette& palette)
{
    if ((color & 0x80000000U) != 0) {
        return palette.color(QPalette::Active, RoleFor(color & 0xFFU));
    }
    return QColor(static_cast<int>(color & 0xFFU), static_cast<int>((color >> 8) & 0xFFU),
                  static_cast<int>((color >> 16) & 0xFFU));
}

QString ColorName(ColorWord color)
{
    return QString::fromStdString(look::ColorName(color));
}

} // namespace tintara
