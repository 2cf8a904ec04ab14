// The window's fonts on Windows: each face of the layout as the desktop has
// it, at the window's density.
#pragma once

#include "Layout.h"
#include "Owned.h"

#include <windows.h>

namespace tintara
{

// The font at `dpi` dots per inch, in the named face where the desktop has
// it; otherwise in the first of its stand-ins that is installed, which has
// its widths; otherwise in the named face still, which the system maps to a
// face of its family. Null where the system refused.
[[nodiscard]] OwnedFont MakeFont(layout::Font font, int dpi);

} // namespace tintara
