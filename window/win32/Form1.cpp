#include "Form1.h"

#include "Handlers.h"
#include "Look.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace tintara
{

namespace
{

constexpr wchar_t FormClass[] = L"Tintara.Form1";
constexpr wchar_t PictureBoxClass[] = L"Tintara.PictureBox";
// Control identifiers: this plus the control's place in the layout table.
constexpr int FirstId = 100;
// The notification a picture box sends its parent on a double-click.
constexpr int DoubleClicked = 1;

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

// What a screen reader speaks for a picture box: its name and its colour, as
// the Qt window gives them.
std::wstring PictureBoxText(std::string_view name, ColorWord color)
{
    return Wide(name) + L", " + Wide(look::ColorName(color));
}

// A picture box keeps its colour word, exactly as written, in its window.
ColorWord BackColorOf(HWND box)
{
    return static_cast<ColorWord>(GetWindowLongPtrW(box, 0));
}

void FillBlock(HDC dc, int left, int top, int width, int height, int sysColor)
{
    const RECT rect = {left, top, left + width, top + height};
    FillRect(dc, &rect, GetSysColorBrush(sysColor));
}

// The picture box: a two-pixel sunken edge around its colour, drawn as filled
// blocks a pixel of 96 dots per inch wide, so that it stays sharp and keeps
// its look at every density. It takes the focus when clicked, and tells its
// parent of a double-click; nothing else.
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
        HBRUSH back = CreateSolidBrush(Resolve(BackColorOf(box)));
        const RECT inside = {2 * p, 2 * p, w - 2 * p, h - 2 * p};
        FillRect(dc, &inside, back);
        DeleteObject(back);
        EndPaint(box, &paint);
        return 0;
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

} // namespace

Form1::~Form1()
{
    if (hwnd_ != nullptr) {
        DestroyWindow(hwnd_);
    }
    FreeFonts();
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
    form.hIcon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON,
                                               GetSystemMetrics(SM_CXICON),
                                               GetSystemMetrics(SM_CYICON), LR_DEFAULTCOLOR));
    form.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON,
                                                 GetSystemMetrics(SM_CXSMICON),
                                                 GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
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
    SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(form.hIcon));
    SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(form.hIconSm));
    dpi_ = static_cast<int>(GetDpiForWindow(hwnd_));
    const SIZE size = WindowSizeFor(dpi_);
    SetWindowPos(hwnd_, nullptr, 0, 0, size.cx, size.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (!CreateControls()) {
        return false;
    }
    LayOut();
    Form_Load();
    return true;
}

void Form1::Show(int how)
{
    ShowWindow(hwnd_, how);
    UpdateWindow(hwnd_);
    lastFocus_ = Control("cmdUp");
    SetFocus(lastFocus_);
}

bool Form1::IsDialogMessage(MSG& message)
{
    return hwnd_ != nullptr && ::IsDialogMessageW(hwnd_, &message) != 0;
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
    // Children are made in the order of their tab indices, which is the order
    // the dialogue navigation walks.
    std::array<std::size_t, layout::Controls.size()> order{};
    for (std::size_t i = 0; i < order.size(); ++i) {
        order[i] = i;
    }
    std::stable_sort(order.begin(), order.end(), [](std::size_t a, std::size_t b) {
        return layout::Controls[a].tabIndex < layout::Controls[b].tabIndex;
    });
    for (std::size_t i : order) {
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
            text = PictureBoxText(record.name, record.back);
            break;
        case layout::Kind::ArrowButton:
            // Drawn by the window; its text is what a screen reader speaks.
            windowClass = L"BUTTON";
            style |= WS_TABSTOP | BS_OWNERDRAW;
            text = Wide(form::ArrowName(look::DirectionOfGlyph(record.code)));
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
    symbolFace_ = FaceInstalled(layout::FaceOf(layout::Font::Arrow).named);
    return true;
}

void Form1::MakeFonts()
{
    for (layout::Font font : {layout::Font::Cell, layout::Font::Label, layout::Font::Counter,
                              layout::Font::Button, layout::Font::Arrow}) {
        const layout::Face face = layout::FaceOf(font);
        // The named face where the desktop has it; otherwise the stand-in that
        // the Qt window uses. The arrows use theirs only where it is installed.
        std::string_view name = face.named;
        if (!FaceInstalled(name) && FaceInstalled(face.standIn)) {
            name = face.standIn;
        }
        const bool symbol = font == layout::Font::Arrow;
        const std::wstring wide = Wide(name);
        fonts_[static_cast<std::size_t>(font)] = CreateFontW(
            -layout::Scaled(layout::PixelSize(face.points), dpi_), 0, 0, 0, FW_BOLD,
            face.italic ? TRUE : FALSE, FALSE, FALSE, symbol ? SYMBOL_CHARSET : RUSSIAN_CHARSET,
            OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, wide.c_str());
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
    const std::array<HFONT, 6> previous = fonts_;
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
        if (record.font != layout::Font::None && record.kind != layout::Kind::ArrowButton) {
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
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

HWND Form1::Control(std::string_view name) const
{
    for (std::size_t i = 0; i < layout::Controls.size(); ++i) {
        if (layout::Controls[i].name == name) {
            return controls_[i];
        }
    }
    return nullptr;
}

HWND Form1::Cell(int k) const
{
    // B1..B16 follow the shape and the six buttons in the table.
    return controls_.at(static_cast<std::size_t>(6 + k));
}

ColorWord Form1::CellColor(int k) const
{
    return BackColorOf(Cell(k));
}

void Form1::SetCellColor(int k, ColorWord color)
{
    HWND cell = Cell(k);
    SetWindowLongPtrW(cell, 0, static_cast<LONG_PTR>(color));
    const std::size_t index = static_cast<std::size_t>(6 + k);
    SetWindowTextW(cell, PictureBoxText(layout::Controls[index].name, color).c_str());
    InvalidateRect(cell, nullptr, FALSE);
}

void Form1::SetCounterText(std::string_view text)
{
    SetWindowTextW(Control("lblNum"), Wide(text).c_str());
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

float Form1::NextRandom()
{
    return random_.Next();
}

void Form1::Reseed(float seed)
{
    random_.Reseed(seed);
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
        PostQuitMessage(0);
        return 0;
    }
    if (form->hwnd_ == nullptr || form->hwnd_ != hwnd) {
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    return form->Handle(message, wParam, lParam);
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
    case WM_DRAWITEM:
        DrawArrow(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam));
        return 0;
    case WM_ACTIVATE:
        // The focus leaves with the window and comes back to the same control.
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focus = GetFocus();
            if (focus != nullptr && IsChild(hwnd_, focus)) {
                lastFocus_ = focus;
            }
        }
        return 0;
    case WM_SETFOCUS:
        if (lastFocus_ != nullptr && IsWindow(lastFocus_)) {
            SetFocus(lastFocus_);
        }
        return 0;
    case WM_SYSCOLORCHANGE:
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
    HBRUSH hatch = CreateHatchBrush(HS_DIAGCROSS, Resolve(shape.back));
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HGDIOBJ oldBrush = SelectObject(dc, hatch);
    SetBkMode(dc, TRANSPARENT);
    Rectangle(dc, left, top, left + layout::PixelsAt(shape.width, dpi_),
              top + layout::PixelsAt(shape.height, dpi_));
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(hatch);
    DeleteObject(pen);
    EndPaint(hwnd_, &paint);
}

void Form1::DrawArrow(const DRAWITEMSTRUCT& item) const
{
    HDC dc = item.hDC;
    RECT face = item.rcItem;
    const bool down = (item.itemState & ODS_SELECTED) != 0;
    DrawFrameControl(dc, &face, DFC_BUTTON, DFCS_BUTTONPUSH | (down ? DFCS_PUSHED : 0U));
    const int index = static_cast<int>(item.CtlID) - FirstId;
    const layout::Control& record = layout::Controls.at(static_cast<std::size_t>(index));
    const int shift = down ? layout::Scaled(1, dpi_) : 0;
    const COLORREF ink =
        GetSysColor((item.itemState & ODS_DISABLED) != 0 ? COLOR_GRAYTEXT : COLOR_BTNTEXT);
    if (symbolFace_) {
        // The glyph of the symbol face, which Windows reaches at U+F000 on.
        const wchar_t glyph = static_cast<wchar_t>(0xF000 + record.code);
        HGDIOBJ old = SelectObject(dc, fonts_[static_cast<std::size_t>(layout::Font::Arrow)]);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, ink);
        RECT text = face;
        OffsetRect(&text, shift, shift);
        DrawTextW(dc, &glyph, 1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        SelectObject(dc, old);
    } else {
        // The Qt window's arrow: a solid shape, drawn at the screen's own
        // resolution.
        const double width = face.right - face.left;
        const double height = face.bottom - face.top;
        const double size = look::ArrowShare * std::min(width, height);
        const double x = face.left + width / 2.0 + shift;
        const double y = face.top + height / 2.0 + shift;
        std::array<POINT, 7> points{};
        const auto shape = look::ArrowFor(look::DirectionOfGlyph(record.code));
        for (std::size_t i = 0; i < points.size(); ++i) {
            points[i] = {static_cast<LONG>(std::lround(x + shape[i].x * size)),
                         static_cast<LONG>(std::lround(y + shape[i].y * size))};
        }
        HBRUSH brush = CreateSolidBrush(ink);
        HGDIOBJ oldBrush = SelectObject(dc, brush);
        HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
        Polygon(dc, points.data(), static_cast<int>(points.size()));
        SelectObject(dc, oldPen);
        SelectObject(dc, oldBrush);
        DeleteObject(brush);
    }
    if ((item.itemState & ODS_FOCUS) != 0 && (item.itemState & ODS_NOFOCUSRECT) == 0) {
        RECT focus = face;
        const int inset = layout::Scaled(4, dpi_);
        InflateRect(&focus, -inset, -inset);
        DrawFocusRect(dc, &focus);
    }
}

void Form1::OnCommand(int id, int code)
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
    const int index = id - FirstId;
    if (index < 0 || index >= static_cast<int>(layout::Controls.size())) {
        return;
    }
    const std::string_view name = layout::Controls[static_cast<std::size_t>(index)].name;
    if (code == DoubleClicked) {
        DoubleClick(name);
        return;
    }
    // A drawn button reports the second of two quick clicks as a double-click;
    // a player's quick clicks on an arrow are each a click.
    if (code == BN_CLICKED || code == BN_DOUBLECLICKED) {
        Click(name);
    }
}

} // namespace tintara
