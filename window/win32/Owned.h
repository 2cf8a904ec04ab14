// Handles the window makes and must give back: GDI objects (fonts, brushes,
// pens, bitmaps) and icons, each freed when its owner lets it go or takes
// another.
#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

namespace tintara
{

struct DeleteGdiObject {
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};

struct DestroyIconHandle {
    void operator()(HICON icon) const { DestroyIcon(icon); }
};

template <typename Handle, typename Free>
using Owned = std::unique_ptr<std::remove_pointer_t<Handle>, Free>;

using OwnedFont = Owned<HFONT, DeleteGdiObject>;
using OwnedBrush = Owned<HBRUSH, DeleteGdiObject>;
using OwnedPen = Owned<HPEN, DeleteGdiObject>;
using OwnedBitmap = Owned<HBITMAP, DeleteGdiObject>;
using OwnedIcon = Owned<HICON, DestroyIconHandle>;

} // namespace tintara
