#include "Form1.h"

#include "Handlers.h"
#include "Look.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <exception>
#include <vector>

// This file defines the rules' MessageBox, which the SDK's macro would rename.
#undef MessageBox

namespace tintara
{

namespace
{

constexpr wchar_t FormClass[] = L"Tintara.Form1";
constexpr wchar_t PictureBoxClass[] = L"Tintara.PictureBox";
// Control identifiers: this plus the control's place in the layout table.
constexpr int FirstId = 100;
// The notification a picture box sends its parent on a double-click: a code
// of its own, which none of the system's controls sends.
constexpr int DoubleClicked = 0x7D01;

std::wstring Wide(std::string_view text)
{
    if (text.empty()) {
        return {};
    }
    const int size = static_cast<int>(text.size());
    std::wstring wide(
        static_cast<std::size_t>(MultiByteToWideChar(CP_UTF8, 0, text.data(), size, nullptr, 0)),
        L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), size, wide.data(), static_cast<int>(wide.size()));
    return wide;
}

// A colour word as GDI paints it: an RGB word 0x00BBGGRR as it stands, which
// is GDI's own order; a system colour 0x800000nn as the desktop has it now.
COLORREF Resolve(ColorWord color)
{
    if ((color & 0x80000000U) != 0) {
        return GetSysColor(static_cast<int>(color & 0xFFU));
    }
    return static_cast<COLORREF>(color & 0x00FFFFFFU);
}

// A picture box keeps its colour word, exactly as written, in its window.
ColorWord BackColorOf(HWND box)
{
    return static_cast<ColorWord>(GetWindowLongPtrW(box, 0));
}

void FillBlock(HDC dc, int left, int top, int width, int height, HBRUSH brush)
{
    const RECT rect = {left, top, left + width, top + height};
    FillRect(dc, &rect, brush);
}

void FillBlock(HDC dc, int left, int top, int width, int height, int sysColor)
{
    FillBlock(dc, left, top, width, height, GetSysColorBrush(sysColor));
}

// A dotted frame of blocks p pixels square, one block in two, in black or
// white, whichever stands out more from the colour it is drawn on: the focus
// mark of a picture box, seen on every tile, where an inverted dotted frame
// would vanish on the grey one.
void DrawFocusMark(HDC dc, const RECT& frame, int p, COLORREF under)
{
    const int light = GetRValue(under) * 299 + GetGValue(under) * 587 + GetBValue(under) * 114;
    HBRUSH ink = static_cast<HBRUSH>(GetStockObject(light > 128000 ? BLACK_BRUSH : WHITE_BRUSH));
    for (int x = frame.left; x + p <= frame.right; x += 2 * p) {
        FillBlock(dc, x, frame.top, p, p, ink);
        FillBlock(dc, x, frame.bottom - p, p, p, ink);
    }
    for (int y = frame.top + 2 * p; y + 2 * p <= frame.bottom; y += 2 * p) {
        FillBlock(dc, frame.left, y, p, p, ink);
        FillBlock(dc, frame.right - p, y, p, p, ink);
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
        HBRUSH back = CreateSolidBrush(color);
        const RECT inside = {2 * p, 2 * p, w - 2 * p, h - 2 * p};
        FillRect(dc, &inside, back);
        DeleteObject(back);
        if (ShowsFocus(box)) {
            DrawFocusMark(dc, {3 * p, 3 * p, w - 3 * p, h - 3 * p}, p, color);
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

int CALLBACK NoteFace(const LOGFONTW* /*font*/, const TEXTMETRICW* /*metrics*/, DWORD /*type*/,
                      LPARAM found)
{
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

bool FaceInstalled(std::string_view face)
{
    if (face.empty()) {
        return false;
    }
    LOGFONTW wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    const std::wstring name = Wide(face);
    name.copy(wanted.lfFaceName, LF_FACESIZE - 1);
    bool found = false;
    HDC dc = GetDC(nullptr);
    EnumFontFamiliesExW(dc, &wanted, NoteFace, reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, dc);
    return found;
}

// Whether a point lies inside a polygon: a ray to the right crosses its edges
// an odd number of times.
bool Inside(const std::array<look::Point, 7>& polygon, double x, double y)
{
    bool inside = false;
    for (std::size_t i = 0, j = polygon.size() - 1; i < polygon.size(); j = i++) {
        const look::Point& a = polygon[i];
        const look::Point& b = polygon[j];
        if ((a.y > y) != (b.y > y) && x < (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x) {
            inside = !inside;
        }
    }
    return inside;
}

// The solid arrow of a direction as an icon side pixels square, size pixels
// across, in the ink given: each pixel covered as far as eight by eight
// samples in it fall inside the arrow, so that its slopes are smooth.
HICON ArrowIcon(Direction direction, double size, int side, COLORREF ink)
{
    constexpr int Samples = 8;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = side;
    info.bmiHeader.biHeight = -side;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP color = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (color == nullptr || bits == nullptr) {
        return nullptr;
    }
    std::array<look::Point, 7> shape = look::ArrowFor(direction);
    for (look::Point& point : shape) {
        point = {side / 2.0 + point.x * size, side / 2.0 + point.y * size};
    }
    // Rows of the mask run to a whole number of 16-bit words; a set bit is clear.
    const int maskRow = (side + 15) / 16 * 2;
    std::vector<BYTE> mask(static_cast<std::size_t>(maskRow * side), 0);
    auto* pixels = static_cast<DWORD*>(bits);
    const DWORD rgb = (static_cast<DWORD>(GetRValue(ink)) << 16) |
                      (static_cast<DWORD>(GetGValue(ink)) << 8) | GetBValue(ink);
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            int covered = 0;
            for (int sy = 0; sy < Samples; ++sy) {
                for (int sx = 0; sx < Samples; ++sx) {
                    covered +=
                        Inside(shape, x + (sx + 0.5) / Samples, y + (sy + 0.5) / Samples) ? 1 : 0;
                }
            }
            const DWORD alpha = static_cast<DWORD>(covered * 255 / (Samples * Samples));
            pixels[y * side + x] = alpha == 0 ? 0 : (alpha << 24) | rgb;
            if (alpha == 0) {
                mask[static_cast<std::size_t>(y * maskRow + x / 8)] |=
                    static_cast<BYTE>(0x80U >> (x % 8));
            }
        }
    }
    HBITMAP clear = CreateBitmap(side, side, 1, 1, mask.data());
    ICONINFO parts{};
    parts.fIcon = TRUE;
    parts.hbmMask = clear;
    parts.hbmColor = color;
    HICON icon = clear != nullptr ? CreateIconIndirect(&parts) : nullptr;
    DeleteObject(color);
    if (clear != nullptr) {
        DeleteObject(clear);
    }
    return icon;
}

// The frame's fill at a density: the tile of crossing diagonals, scaled to
// whole pixels with the density, in the ink on the window's background, which
// is all the frame ever lies on.
HBRUSH HatchBrush(int dpi, COLORREF ink, COLORREF back)
{
    const int n = std::max(1, layout::Scaled(look::HatchSize, dpi));
    std::vector<BYTE> packed(sizeof(BITMAPINFOHEADER) + static_cast<std::size_t>(n * n) * 4);
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = n;
    header.biHeight = n;
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biCompression = BI_RGB;
    std::copy_n(reinterpret_cast<const BYTE*>(&header), sizeof header, packed.begin());
    const auto bgr = [](COLORREF color) {
        return (static_cast<DWORD>(GetRValue(color)) << 16) |
               (static_cast<DWORD>(GetGValue(color)) << 8) | GetBValue(color);
    };
    BYTE* pixels = packed.data() + sizeof header;
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x) {
            const bool on = look::HatchPixel(x * look::HatchSize / n, y * look::HatchSize / n);
            const DWORD value = bgr(on ? ink : back);
            // The rows of the bitmap run from the bottom up.
            std::copy_n(reinterpret_cast<const BYTE*>(&value), 4,
                        pixels + (static_cast<std::size_t>((n - 1 - y) * n + x) * 4));
        }
    }
    return CreateDIBPatternBrushPt(packed.data(), DIB_RGB_COLORS);
}

} // namespace

Form1::~Form1()
{
    if (hwnd_ != nullptr) {
        DestroyWindow(hwnd_);
    }
    FreeFonts();
    for (HICON icon : images_) {
        if (icon != nullptr) {
            DestroyIcon(icon);
        }
    }
    for (HICON icon : icons_) {
        if (icon != nullptr) {
            DestroyIcon(icon);
        }
    }
}

bool Form1::Create(HINSTANCE instance)
{
    WNDCLASSEXW box{};
    box.cbSize = sizeof box;
    box.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
    box.lpfnWndProc = PictureBoxProc;
    box.cbWndExtra = sizeof(LONG_PTR);
    box.hInstance = instance;
    box.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    box.lpszClassName = PictureBoxClass;
    if (RegisterClassExW(&box) == 0) {
        return false;
    }

    WNDCLASSEXW form{};
    form.cbSize = sizeof form;
    form.lpfnWndProc = WindowProc;
    form.hInstance = instance;
    // The window's icons are its own, loaded for its density (LoadIcons).
    form.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    form.lpszClassName = FormClass;
    if (RegisterClassExW(&form) == 0) {
        return false;
    }

    const std::wstring title = Wide(layout::Window.title);
    // The default placement; the size follows once the window knows its
    // screen's density.
    hwnd_ = CreateWindowExW(0, FormClass, title.c_str(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                            CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr,
                            nullptr, instance, this);
    if (hwnd_ == nullptr) {
        return false;
    }
    dpi_ = static_cast<int>(GetDpiForWindow(hwnd_));
    const SIZE size = WindowSizeFor(dpi_);
    SetWindowPos(hwnd_, nullptr, 0, 0, size.cx, size.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (!CreateControls()) {
        return false;
    }
    // Focus marks stay hidden until the player uses the keyboard, unless the
    // desktop is set to show them always. The dialogue navigation shows them
    // at the first Tab or arrow key.
    BOOL cues = FALSE;
    if (SystemParametersInfoW(SPI_GETKEYBOARDCUES, 0, &cues, 0) == FALSE || cues == FALSE) {
        SendMessageW(hwnd_, WM_CHANGEUISTATE, MAKEWPARAM(UIS_SET, UISF_HIDEFOCUS | UISF_HIDEACCEL),
                     0);
    }
    LayOut();
    Form_Load();
    return true;
}

void Form1::Show(int how)
{
    ShowWindow(hwnd_, how);
    UpdateWindow(hwnd_);
    lastFocus_ = controls_[layout::FirstFocus];
    SetFocus(lastFocus_);
}

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

SIZE Form1::WindowSizeFor(int dpi) const
{
    RECT frame = {0, 0, layout::PixelsAt(layout::Window.clientWidth, dpi),
                  layout::PixelsAt(layout::Window.clientHeight, dpi)};
    AdjustWindowRectExForDpi(&frame, WS_OVERLAPPEDWINDOW, FALSE, 0, static_cast<UINT>(dpi));
    return {frame.right - frame.left, frame.bottom - frame.top};
}

bool Form1::CreateControls()
{
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(hwnd_, GWLP_HINSTANCE));
    // Children are made in the tab order, which the dialogue navigation walks.
    for (const std::size_t i : layout::TabOrder) {
        const layout::Control& record = layout::Controls[i];
        const wchar_t* windowClass = nullptr;
        DWORD style = WS_CHILD | WS_VISIBLE;
        std::wstring text = Wide(record.text);
        switch (record.kind) {
        case layout::Kind::Shape:
            // Drawn on the window's own surface, beneath the other controls.
            continue;
        case layout::Kind::PictureBox:
            windowClass = PictureBoxClass;
            style |= WS_TABSTOP;
            text = Wide(look::PictureBoxName(record.name, record.back));
            break;
        case layout::Kind::ArrowButton:
            // A push button as About and Exit are, in the desktop's style,
            // showing the arrow as its image (MakeArrows); its text is what a
            // screen reader speaks.
            windowClass = L"BUTTON";
            style |= WS_TABSTOP | BS_PUSHBUTTON | BS_ICON;
            text = Wide(form::ArrowName(layout::DirectionOf(record.action)));
            break;
        case layout::Kind::CommandButton:
            windowClass = L"BUTTON";
            style |= WS_TABSTOP | BS_PUSHBUTTON;
            break;
        case layout::Kind::Label:
            windowClass = L"STATIC";
            style |= SS_NOPREFIX | (record.align == layout::Align::Center ? SS_CENTER : SS_LEFT);
            break;
        }
        HWND control = CreateWindowExW(
            0, windowClass, text.c_str(), style, 0, 0, 0, 0, hwnd_,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(FirstId + static_cast<int>(i))), instance,
            nullptr);
        if (control == nullptr) {
            return false;
        }
        if (record.kind == layout::Kind::PictureBox) {
            SetWindowLongPtrW(control, 0, static_cast<LONG_PTR>(record.back));
        }
        controls_[i] = control;
    }
    return true;
}

void Form1::MakeFonts()
{
    for (const layout::Font font : layout::Fonts) {
        const layout::Face face = layout::FaceOf(font);
        // The named face where the desktop has it; otherwise the first of its
        // stand-ins that is installed, which has its widths; otherwise the
        // named face still, which the system maps to a face of its family.
        std::string_view name = face.named;
        if (!FaceInstalled(name)) {
            const auto* standIn = std::find_if(face.standIns.begin(), face.standIns.end(),
                                               [](std::string_view s) { return FaceInstalled(s); });
            if (standIn != face.standIns.end()) {
                name = *standIn;
            }
        }
        const BYTE family = face.generic == layout::Serif ? FF_ROMAN : FF_SWISS;
        const std::wstring wide = Wide(name);
        fonts_[static_cast<std::size_t>(font)] = CreateFontW(
            -layout::Scaled(layout::PixelSize(face.points), dpi_), 0, 0, 0, FW_BOLD,
            face.italic ? TRUE : FALSE, FALSE, FALSE, RUSSIAN_CHARSET, OUT_DEFAULT_PRECIS,
            CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, VARIABLE_PITCH | family, wide.c_str());
    }
}

void Form1::FreeFonts()
{
    for (HFONT& font : fonts_) {
        if (font != nullptr) {
            DeleteObject(font);
            font = nullptr;
        }
    }
}

void Form1::LayOut()
{
    // The controls let go of the old fonts before they are deleted.
    const Fonts previous = fonts_;
    MakeFonts();
    HDWP moves = BeginDeferWindowPos(static_cast<int>(controls_.size()));
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        HWND control = controls_[i];
        if (control == nullptr) {
            continue;
        }
        const layout::Control& record = layout::Controls[i];
        if (moves != nullptr) {
            moves = DeferWindowPos(
                moves, control, nullptr, layout::PixelsAt(record.left, dpi_),
                layout::PixelsAt(record.top, dpi_), layout::PixelsAt(record.width, dpi_),
                layout::PixelsAt(record.height, dpi_), SWP_NOZORDER | SWP_NOACTIVATE);
        }
        // The cells carry their font though they never draw text.
        if (record.font != layout::Font::None) {
            SendMessageW(control, WM_SETFONT,
                         reinterpret_cast<WPARAM>(fonts_[static_cast<std::size_t>(record.font)]),
                         FALSE);
        }
    }
    if (moves != nullptr) {
        EndDeferWindowPos(moves);
    }
    for (HFONT font : previous) {
        if (font != nullptr) {
            DeleteObject(font);
        }
    }
    MakeArrows();
    LoadIcons();
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void Form1::MakeArrows()
{
    const COLORREF ink = GetSysColor(COLOR_BTNTEXT);
    for (std::size_t i = 0; i < controls_.size(); ++i) {
        const layout::Control& record = layout::Controls[i];
        if (record.kind != layout::Kind::ArrowButton || controls_[i] == nullptr) {
            continue;
        }
        const double size = look::ArrowShare * std::min(layout::PixelsAt(record.width, dpi_),
                                                        layout::PixelsAt(record.height, dpi_));
        // A pixel to spare on each side for the smoothed edges.
        const int side = static_cast<int>(std::ceil(size)) + 2;
        HICON arrow = ArrowIcon(layout::DirectionOf(record.action), size, side, ink);
        if (arrow == nullptr) {
            continue;
        }
        SendMessageW(controls_[i], BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(arrow));
        if (images_[i] != nullptr) {
            DestroyIcon(images_[i]);
        }
        images_[i] = arrow;
    }
}

void Form1::LoadIcons()
{
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(hwnd_, GWLP_HINSTANCE));
    const UINT dpi = static_cast<UINT>(dpi_);
    const std::array<std::array<int, 3>, 2> kinds = {
        {{ICON_BIG, SM_CXICON, SM_CYICON}, {ICON_SMALL, SM_CXSMICON, SM_CYSMICON}}};
    for (std::size_t k = 0; k < kinds.size(); ++k) {
        auto icon = static_cast<HICON>(LoadImageW(
            instance, MAKEINTRESOURCEW(1), IMAGE_ICON, GetSystemMetricsForDpi(kinds[k][1], dpi),
            GetSystemMetricsForDpi(kinds[k][2], dpi), LR_DEFAULTCOLOR));
        if (icon == nullptr) {
            continue;
        }
        SendMessageW(hwnd_, WM_SETICON, static_cast<WPARAM>(kinds[k][0]),
                     reinterpret_cast<LPARAM>(icon));
        if (icons_[k] != nullptr) {
            DestroyIcon(icons_[k]);
        }
        icons_[k] = icon;
    }
}

HWND Form1::Cell(int k) const
{
    return controls_[layout::CellRecords.at(static_cast<std::size_t>(k - 1))];
}

ColorWord Form1::CellColor(int k) const
{
    return BackColorOf(Cell(k));
}

void Form1::SetCellColor(int k, ColorWord color)
{
    HWND cell = Cell(k);
    SetWindowLongPtrW(cell, 0, static_cast<LONG_PTR>(color));
    const layout::Control& record =
        layout::Controls[layout::CellRecords.at(static_cast<std::size_t>(k - 1))];
    SetWindowTextW(cell, Wide(look::PictureBoxName(record.name, color)).c_str());
    InvalidateRect(cell, nullptr, FALSE);
}

void Form1::SetCounterText(std::string_view text)
{
    SetWindowTextW(controls_[layout::CounterRecord], Wide(text).c_str());
}

Answer Form1::MessageBox(std::string_view text, std::string_view title, Buttons buttons)
{
    const bool question = buttons == Buttons::YesNo;
    const int pressed = ::MessageBoxW(hwnd_, Wide(text).c_str(), Wide(title).c_str(),
                                      question ? MB_YESNO | MB_DEFBUTTON1 : MB_OK);
    if (!question) {
        return Answer::Ok;
    }
    return pressed == IDYES ? Answer::Yes : Answer::No;
}

void Form1::Repaint()
{
    RedrawWindow(hwnd_, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

float Form1::SecondsSinceMidnight() const
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    const long milliseconds =
        ((now.wHour * 60L + now.wMinute) * 60L + now.wSecond) * 1000L + now.wMilliseconds;
    return static_cast<float>(milliseconds) / 1000.0F;
}

void Form1::EndProgram()
{
    // The window goes at once and the message loop ends with status 0; the
    // handlers stop on the rules' word and take no event after this one.
    MarkEnded();
    HWND window = hwnd_;
    hwnd_ = nullptr;
    DestroyWindow(window);
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
    HPEN pen =
        CreatePen(PS_INSIDEFRAME, layout::Scaled(layout::ShapeOutline, dpi_), Resolve(shape.fore));
    HBRUSH hatch = HatchBrush(dpi_, Resolve(shape.back), Resolve(layout::Window.back));
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, hatch != nullptr ? hatch : GetStockObject(NULL_BRUSH));
    Rectangle(dc, left, top, left + layout::PixelsAt(shape.width, dpi_),
              top + layout::PixelsAt(shape.height, dpi_));
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    if (hatch != nullptr) {
        DeleteObject(hatch);
    }
    DeleteObject(pen);
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
