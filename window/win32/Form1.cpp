#include "Form1.h"

#include "Drawing.h"
#include "Fonts.h"
#include "Handlers.h"
#include "Look.h"
#include "PictureBox.h"
#include "Wide.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <utility>

// This file defines the rules' MessageBox, which the SDK's macro would rename.
#undef MessageBox

namespace tintara
{

namespace
{

constexpr wchar_t FormClass[] = L"Tintara.Form1";

} // namespace

Form1::~Form1()
{
    if (hwnd_ != nullptr) {
        DestroyWindow(hwnd_);
    }
}

bool Form1::Create(HINSTANCE instance)
{
    if (!RegisterPictureBox(instance)) {
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
            SetBackColorOf(control, record.back);
        }
        controls_[i] = control;
    }
    return true;
}

void Form1::MakeFonts()
{
    for (const layout::Font font : layout::Fonts) {
        fonts_[static_cast<std::size_t>(font)] = MakeFont(font, dpi_);
    }
}

void Form1::LayOut()
{
    // The controls let go of the old fonts before they are deleted, as this
    // function returns.
    const Fonts previous = std::move(fonts_);
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
            SendMessageW(
                control, WM_SETFONT,
                reinterpret_cast<WPARAM>(fonts_[static_cast<std::size_t>(record.font)].get()),
                FALSE);
        }
    }
    if (moves != nullptr) {
        EndDeferWindowPos(moves);
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
        OwnedIcon arrow = ArrowIcon(layout::DirectionOf(record.action), size, side, ink);
        if (arrow == nullptr) {
            continue;
        }
        SendMessageW(controls_[i], BM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(arrow.get()));
        images_[i] = std::move(arrow);
    }
}

void Form1::LoadIcons()
{
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(hwnd_, GWLP_HINSTANCE));
    const UINT dpi = static_cast<UINT>(dpi_);
    const std::array<std::array<int, 3>, 2> kinds = {
        {{ICON_BIG, SM_CXICON, SM_CYICON}, {ICON_SMALL, SM_CXSMICON, SM_CYSMICON}}};
    for (std::size_t k = 0; k < kinds.size(); ++k) {
        OwnedIcon icon(static_cast<HICON>(LoadImageW(
            instance, MAKEINTRESOURCEW(1), IMAGE_ICON, GetSystemMetricsForDpi(kinds[k][1], dpi),
            GetSystemMetricsForDpi(kinds[k][2], dpi), LR_DEFAULTCOLOR)));
        if (icon == nullptr) {
            continue;
        }
        SendMessageW(hwnd_, WM_SETICON, static_cast<WPARAM>(kinds[k][0]),
                     reinterpret_cast<LPARAM>(icon.get()));
        icons_[k] = std::move(icon);
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
    SetBackColorOf(cell, color);
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

} // namespace tintara
