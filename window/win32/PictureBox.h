// The picture box, a window class of its own for the board cells and the
// preview swatches: it keeps its colour word, exactly as written, in its
// window, draws a sunken edge around the colour and a focus mark, takes the
// focus when clicked and tells its parent of a double-click.
#pragma once

#include "Tintara.h"

#include <windows.h>

namespace tintara
{

inline constexpr wchar_t PictureBoxClass[] = L"Tintara.PictureBox";

// The notification a picture box sends its parent on a double-click: a code
// of its own, which none of the system's controls sends.
inline constexpr int DoubleClicked = 0x7D01;

// False where the system refused, with its error code left for GetLastError.
bool RegisterPictureBox(HINSTANCE instance);

[[nodiscard]] ColorWord BackColorOf(HWND box);
void SetBackColorOf(HWND box, ColorWord color);

} // namespace tintara
