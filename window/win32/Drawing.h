// GDI's side of the shared look: colour words as GDI paints them, filled
// blocks, the solid arrow as an icon and the frame's hatching as a brush.
#pragma once

#include "Owned.h"
#include "Tintara.h"

#include <windows.h>

namespace tintara
{

// A colour word as GDI paints it: an RGB word 0x00BBGGRR as it stands, which
// is GDI's own order; a system colour 0x800000nn as the desktop has it now.
[[nodiscard]] COLORREF Resolve(ColorWord color);

// Whether the desktop's colours are a contrast theme's: Windows says high
// contrast is on, or the button face is the window's background, as Windows'
// contrast themes set them and its ordinary themes do not (a grey face on a
// white window). Wine sets a theme's colours but always says high contrast
// is off.
[[nodiscard]] bool HighContrast();

void FillBlock(HDC dc, int left, int top, int width, int height, HBRUSH brush);
void FillBlock(HDC dc, int left, int top, int width, int height, int sysColor);

// The solid arrow of a direction as an icon side pixels square, size pixels
// across, in the ink given, with its edges smoothed (look::ArrowCoverage).
[[nodiscard]] OwnedIcon ArrowIcon(Direction direction, double size, int side, COLORREF ink);

// The frame's fill at a density: the tile of crossing diagonals, scaled to
// whole pixels with the density, in the ink on the window's background, which
// is all the frame ever lies on.
[[nodiscard]] OwnedBrush HatchBrush(int dpi, COLORREF ink, COLORREF back);

} // namespace tintara
