// The window's side of Form1: its window procedure, the messages it answers
// (painting, the labels' colours, the commands of its controls, the focus,
// the keyboard cues, the density and the desktop's colours) and the failure
// that ends it.
#include "Form1.h"

#include "Drawing.h"
#include "Layout.h"
#include "Owned.h"
#include "PictureBox.h"
#include "Wide.h"

#include <cstddef>
#include <exception>
#include <string>

namespace tintara
{

bool Form1::HandleDialogKey(MSG& message)
{
    if (hwnd_ == nullptr) {
        return false;
    }
    // The keys that move the focus show the focus marks from then on, as the
    // dialogue navigation of Windows itself does.
    if (message.message == WM_KEYDOWN && (message.hwnd == hwnd_ || IsChild(hwnd_, message.hwnd))) {
        switch (message.wParam) {
        case VK_TAB:
        case VK_LEFT:
        case VK_RIGHT:
        case VK_UP:
        case VK_DOWN:
            SendMessageW(hwnd_, WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
            break;
        default:
            break;
        }
    }
    return ::IsDialogMessageW(hwnd_, &message) != 0;
}

void Form1::ChangeCues(int action, int flags)
{
    const int before = cues_;
    if (action == UIS_SET) {
        cues_ |= flags & (UISF_HIDEFOCUS | UISF_HIDEACCEL);
    } else if (action == UIS_CLEAR) {
        cues_ &= ~flags;
    }
    if (cues_ == before) {
        return;
    }
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        if (layout::Controls[i].kind == layout::Kind::PictureBox && controls_[i] != nullptr) {
            InvalidateRect(controls_[i], nullptr, FALSE);
        }
    }
}

LRESULT CALLBACK Form1::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* form = reinterpret_cast<Form1*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (form == nullptr) {
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    if (message == WM_DESTROY) {
        form->hwnd_ = nullptr;
        PostQuitMessage(form->failed_ ? 1 : 0);
        return 0;
    }
    if (form->hwnd_ == nullptr || form->hwnd_ != hwnd) {
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    // Nothing may unwind through the system's code that called this.
    try {
        return form->Handle(message, wParam, lParam);
    } catch (const std::exception& error) {
        form->Fail(error.what());
    } catch (...) {
        form->Fail("unknown failure");
    }
    return 0;
}

void Form1::Fail(const char* what)
{
    // The window takes no more events, and a second failure while this one is
    // reported adds nothing.
    if (failed_) {
        return;
    }
    failed_ = true;
    MarkEnded();
    HWND window = hwnd_;
    hwnd_ = nullptr;
    std::wstring text = L"Tintara has stopped.";
    try {
        text = L"Tintara has stopped: " + Wide(what);
    } catch (...) {
        // The plain text, then.
    }
    ::MessageBoxW(window, text.c_str(), L"Tintara", MB_OK | MB_ICONERROR);
    // Its WM_DESTROY ends the message loop with status 1.
    DestroyWindow(window);
}

LRESULT Form1::Handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_ERASEBKGND: {
        RECT client;
        GetClientRect(hwnd_, &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client,
                 GetSysColorBrush(static_cast<int>(layout::Window.back & 0xFFU)));
        return 1;
    }
    case WM_PAINT:
        Paint();
        return 0;
    case WM_CTLCOLORSTATIC: {
        auto label = reinterpret_cast<HWND>(lParam);
        const int index = GetDlgCtrlID(label) - FirstId;
        if (index < 0 || index >= static_cast<int>(layout::Controls.size())) {
            break;
        }
        const layout::Control& record = layout::Controls[static_cast<std::size_t>(index)];
        auto dc = reinterpret_cast<HDC>(wParam);
        SetTextColor(dc, Resolve(record.fore));
        SetBkColor(dc, Resolve(record.back));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(static_cast<int>(record.back & 0xFFU)));
    }
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        return 0;
    case WM_ACTIVATE:
        // The focus leaves with the window and comes back to the same control
        // (through WM_SETFOCUS, which the system's handling sends).
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focus = GetFocus();
            if (focus != nullptr && IsChild(hwnd_, focus)) {
                lastFocus_ = focus;
            }
        }
        break;
    case WM_CHANGEUISTATE:
    case WM_UPDATEUISTATE:
        // Kept here too, then the system's own record and the controls'.
        ChangeCues(LOWORD(wParam), HIWORD(wParam));
        break;
    case WM_QUERYUISTATE:
        return cues_;
    case WM_SETFOCUS:
        if (lastFocus_ != nullptr && IsWindow(lastFocus_)) {
            SetFocus(lastFocus_);
        }
        return 0;
    case WM_SYSCOLORCHANGE:
        MakeArrows();
        RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
        return 0;
    case WM_SETTINGCHANGE:
        // High contrast turned on or off: the empty cell's mark with it.
        if (wParam == SPI_SETHIGHCONTRAST) {
            RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
        }
        break;
    case WM_DPICHANGED: {
        dpi_ = HIWORD(wParam);
        const auto* suggested = reinterpret_cast<const RECT*>(lParam);
        const SIZE size = WindowSizeFor(dpi_);
        SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top, size.cx, size.cy,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        LayOut();
        return 0;
    }
    default:
        break;
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

void Form1::Paint()
{
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(hwnd_, &paint);
    // Shape1, beneath the swatches: an outline two pixels wide inside its
    // rectangle, filled with crossing diagonal lines.
    const layout::Control& shape = layout::Controls.front();
    const int left = layout::PixelsAt(shape.left, dpi_);
    const int top = layout::PixelsAt(shape.top, dpi_);
    const OwnedPen pen(
        CreatePen(PS_INSIDEFRAME, layout::Scaled(layout::ShapeOutline, dpi_), Resolve(shape.fore)));
    const OwnedBrush hatch = HatchBrush(dpi_, Resolve(shape.back), Resolve(layout::Window.back));
    HGDIOBJ oldPen = SelectObject(dc, pen.get());
    HGDIOBJ oldBrush =
        SelectObject(dc, hatch != nullptr ? hatch.get() : GetStockObject(NULL_BRUSH));
    Rectangle(dc, left, top, left + layout::PixelsAt(shape.width, dpi_),
              top + layout::PixelsAt(shape.height, dpi_));
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    EndPaint(hwnd_, &paint);
}

void Form1::OnCommand(int id, int code, HWND from)
{
    if (id == IDOK) {
        // Enter: the dialogue navigation's default command clicks the focused
        // button, as Space does. None of the buttons is the window's default.
        HWND focus = GetFocus();
        wchar_t kind[16] = {};
        if (focus != nullptr && IsChild(hwnd_, focus) &&
            GetClassNameW(focus, kind, static_cast<int>(std::size(kind))) > 0 &&
            lstrcmpiW(kind, L"Button") == 0) {
            SendMessageW(focus, BM_CLICK, 0, 0);
        }
        return;
    }
    // Only the notifications of the window's own controls, each from the
    // control of that identifier.
    const int index = id - FirstId;
    if (index < 0 || index >= static_cast<int>(layout::Controls.size()) || from == nullptr ||
        from != controls_[static_cast<std::size_t>(index)]) {
        return;
    }
    // A picture box reports a double-click; a push button each click, the
    // second of two quick ones too.
    const std::size_t record = static_cast<std::size_t>(index);
    if (layout::Controls[record].kind == layout::Kind::PictureBox) {
        if (code == DoubleClicked) {
            Deliver(record, layout::Event::DoubleClick);
        }
    } else if (code == BN_CLICKED) {
        Deliver(record, layout::Event::Click);
    }
}

} // namespace tintara
