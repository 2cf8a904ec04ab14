#include "PictureBox.h"

#include "Drawing.h"
#include "Layout.h"
#include "Look.h"
#include "Owned.h"

#include <algorithm>

namespace tintara
{

namespace
{

// A dotted frame of blocks p pixels square, one block in two, in black or
// white, whichever stands out more from the colour it is drawn on: the focus
// mark of a picture box, seen on every tile, where an inverted dotted frame
// would vanish on the grey one.
void DrawFocusMark(HDC dc, const RECT& frame, int p, COLORREF under)
{
    const bool black = look::FocusMarkIsBlack(GetRValue(under), GetGValue(under), GetBValue(under));
    HBRUSH ink = static_cast<HBRUSH>(GetStockObject(black ? BLACK_BRUSH : WHITE_BRUSH));
    for (int x = frame.left; x + p <= frame.right; x += 2 * p) {
        FillBlock(dc, x, frame.top, p, p, ink);
        FillBlock(dc, x, frame.bottom - p, p, p, ink);
    }
    for (int y = frame.top + 2 * p; y + 2 * p <= frame.bottom; y += 2 * p) {
        FillBlock(dc, frame.left, y, p, p, ink);
        FillBlock(dc, frame.right - p, y, p, p, ink);
    }
}

// The empty cell's mark in high contrast (look::HoleRing): a black ring
// inside the frame and a white one inside that, each ring pixels wide.
void DrawHoleMark(HDC dc, RECT frame, int ring)
{
    for (const int stock : {BLACK_BRUSH, WHITE_BRUSH}) {
        HBRUSH ink = static_cast<HBRUSH>(GetStockObject(stock));
        const int w = frame.right - frame.left;
        const int h = frame.bottom - frame.top;
        FillBlock(dc, frame.left, frame.top, w, ring, ink);
        FillBlock(dc, frame.left, frame.bottom - ring, w, ring, ink);
        FillBlock(dc, frame.left, frame.top, ring, h, ink);
        FillBlock(dc, frame.right - ring, frame.top, ring, h, ink);
        InflateRect(&frame, -ring, -ring);
    }
}

// Whether a control shows that it has the focus: it has it, and the window
// shows focus marks, which it hides until the player uses the keyboard.
bool ShowsFocus(HWND control)
{
    return GetFocus() == control &&
           (SendMessageW(GetParent(control), WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS) == 0;
}

// The picture box: a two-pixel sunken edge around its colour, drawn as filled
// blocks a pixel of 96 dots per inch wide, so that it stays sharp and keeps
// its look at every density, and a dotted frame inside while it shows the
// focus. It takes the focus when clicked, and tells its parent of a
// double-click; nothing else.
LRESULT CALLBACK PictureBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(box, &paint);
        RECT client;
        GetClientRect(box, &client);
        const int w = client.right;
        const int h = client.bottom;
        const int p = std::max(1, layout::Scaled(1, static_cast<int>(GetDpiForWindow(box))));
        FillBlock(dc, 0, 0, w - p, p, COLOR_3DSHADOW);
        FillBlock(dc, 0, 0, p, h - p, COLOR_3DSHADOW);
        FillBlock(dc, 0, h - p, w, p, COLOR_3DHILIGHT);
        FillBlock(dc, w - p, 0, p, h, COLOR_3DHILIGHT);
        FillBlock(dc, p, p, w - 3 * p, p, COLOR_3DDKSHADOW);
        FillBlock(dc, p, p, p, h - 3 * p, COLOR_3DDKSHADOW);
        FillBlock(dc, p, h - 2 * p, w - 2 * p, p, COLOR_3DLIGHT);
        FillBlock(dc, w - 2 * p, p, p, h - 2 * p, COLOR_3DLIGHT);
        const COLORREF color = Resolve(BackColorOf(box));
        const OwnedBrush back(CreateSolidBrush(color));
        const RECT inside = {2 * p, 2 * p, w - 2 * p, h - 2 * p};
        FillRect(dc, &inside, back.get());
        // In high contrast the button face is white or black, a tile's twin:
        // the empty cell is marked, and the focus mark lies on its black ring.
        const bool marked = BackColorOf(box) == HoleColor && HighContrast();
        if (marked) {
            DrawHoleMark(dc, inside, look::HoleRing * p);
        }
        if (ShowsFocus(box)) {
            DrawFocusMark(dc, {3 * p, 3 * p, w - 3 * p, h - 3 * p}, p,
                          marked ? RGB(0, 0, 0) : color);
        }
        EndPaint(box, &paint);
        return 0;
    }
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        InvalidateRect(box, nullptr, FALSE);
        return 0;
    case WM_UPDATEUISTATE: {
        // The window keeps the new state; the box shows it.
        const LRESULT result = DefWindowProcW(box, message, wParam, lParam);
        InvalidateRect(box, nullptr, FALSE);
        return result;
    }
    case WM_LBUTTONDOWN:
        SetFocus(box);
        return 0;
    case WM_LBUTTONDBLCLK:
        SendMessageW(GetParent(box), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(box), DoubleClicked),
                     reinterpret_cast<LPARAM>(box));
        return 0;
    default:
        return DefWindowProcW(box, message, wParam, lParam);
    }
}

} // namespace

bool RegisterPictureBox(HINSTANCE instance)
{
    WNDCLASSEXW box{};
    box.cbSize = sizeof box;
    box.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
    box.lpfnWndProc = PictureBoxProc;
    box.cbWndExtra = sizeof(LONG_PTR);
    box.hInstance = instance;
    box.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    box.lpszClassName = PictureBoxClass;
    return RegisterClassExW(&box) != 0;
}

ColorWord BackColorOf(HWND box)
{
    return static_cast<ColorWord>(GetWindowLongPtrW(box, 0));
}

void SetBackColorOf(HWND box, ColorWord color)
{
    SetWindowLongPtrW(box, 0, static_cast<LONG_PTR>(color));
}

} // namespace tintara
