// Colour words into the colours that Qt paints.
#pragma once

#include "Tintara.h"

#include <QColor>
#include <QPalette>
#include <QString>

namespace tintara
{

// An RGB word 0x00BBGGRR as it stands; a system colour 0x800000nn from the
// palette's role for it, looked up at the time of painting.
QColor ResolveColor(ColorWord color, const QPalette& palette);

// What a screen reader says of a colour: "navy", …, "empty".
QString ColorName(ColorWord color);

} // namespace tintara
