#include "SystemColors.h"

#include <array>
#include <utility>

namespace tintara
{

namespace
{

constexpr std::array<std::pair<ColorWord, const char*>, 19> Names = {{
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
    {0x80000000, "scroll bar colour"},
    {0x80000009, "caption text colour"},
    {0x80000012, "button text colour"},
}};

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
    for (const auto& [word, name] : Names) {
        if (word == color) {
            return QString::fromLatin1(name);
        }
    }
    return QStringLiteral("#%1").arg(color, 8, 16, QLatin1Char('0'));
}

} // namespace tintara
