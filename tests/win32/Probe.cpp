// The Wine end-to-end test's eyes inside the Windows session: it finds
// tintara's window and reports what a player would see of it, the open
// message box, and a way through the board to a win. It never clicks: the
// clicks come from the X side, as a player's would.
//
//   tintara-probe window           title, client size, density, each control
//   tintara-probe solve            the arrow clicks that win the dealt board
//   tintara-probe dialog TITLE     the open message box of that title
//   tintara-probe icons FILE       the icons a program file carries
//   tintara-probe resize W H       gives the window a client area of W x H
//   tintara-probe close            the system's close command to the window
//   tintara-probe gone             whether the window has gone
//
// Each waits a few seconds at most for what it looks for, and exits with 1
// where it is not there.
#include "Layout.h"
#include "Look.h"
#include "Solver.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unordered_map>
#include <vector>

namespace
{

constexpr int FirstId = 100;

std::string Narrow(const std::wstring& text)
{
    if (text.empty()) {
        return {};
    }
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), narrow.data(), size,
                        nullptr, nullptr);
    return narrow;
}

std::wstring Wide(const char* text)
{
    const int size = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text, -1, wide.data(), size);
    wide.resize(wide.size() - 1);
    return wide;
}

std::string TextOf(HWND window)
{
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return Narrow(text);
}

std::string ClassOf(HWND window)
{
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return Narrow(name);
}

// Waits up to ten seconds for a visible top-level window of that title.
HWND WaitFor(const std::wstring& title, const wchar_t* windowClass = nullptr)
{
    for (int i = 0; i < 100; ++i) {
        HWND window = FindWindowW(windowClass, title.c_str());
        if (window != nullptr && IsWindowVisible(window)) {
            return window;
        }
        Sleep(100);
    }
    return nullptr;
}

HWND Form()
{
    return WaitFor(L"Tintara by Orlandek");
}

std::vector<HWND> Children(HWND parent)
{
    std::vector<HWND> children;
    EnumChildWindows(
        parent,
        [](HWND child, LPARAM list) {
            reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&children));
    return children;
}

// An icon's width and height ("32x32"), or "missing".
std::string IconSize(HICON icon)
{
    ICONINFO info{};
    BITMAP bitmap{};
    if (icon == nullptr || !GetIconInfo(icon, &info)) {
        return "missing";
    }
    const bool read = GetObjectW(info.hbmColor, sizeof bitmap, &bitmap) != 0;
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return read ? std::to_string(bitmap.bmWidth) + "x" + std::to_string(bitmap.bmHeight)
                : "missing";
}

// A child's rectangle in its parent's client area, and its centre on screen.
void Describe(HWND parent, HWND child, const std::string& name)
{
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    POINT centre = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    ClientToScreen(parent, &centre);
    std::printf("control %s %ld %ld %ld %ld centre %ld %ld focus %d text %s\n", name.c_str(),
                rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, centre.x,
                centre.y, GetFocus() == child ? 1 : 0, TextOf(child).c_str());
}

int ReportWindow()
{
    HWND form = Form();
    if (form == nullptr) {
        std::puts("no window");
        return 1;
    }
    // The focus is the window thread's: see it from there.
    AttachThreadInput(GetCurrentThreadId(), GetWindowThreadProcessId(form, nullptr), TRUE);
    RECT client;
    GetClientRect(form, &client);
    POINT origin = {0, 0};
    ClientToScreen(form, &origin);
    std::printf("title %s\n", TextOf(form).c_str());
    std::printf("client %ld %ld\n", client.right, client.bottom);
    std::printf("origin %ld %ld\n", origin.x, origin.y);
    std::printf("dpi %u\n", GetDpiForSystem());
    // 2 where the window is aware of each screen's density, as its manifest says.
    std::printf("awareness %d\n", static_cast<int>(GetAwarenessFromDpiAwarenessContext(
                                      GetWindowDpiAwarenessContext(form))));
    const LONG style = GetWindowLongW(form, GWL_STYLE);
    std::printf("frame %d\n", (style & WS_THICKFRAME) != 0 ? 1 : 0);
    // Whether focus marks are hidden (UISF_HIDEFOCUS), as the window's
    // controls are told.
    std::printf("hidefocus %d\n",
                (SendMessageW(form, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS) != 0 ? 1 : 0);
    for (HWND child : Children(form)) {
        const int index = GetDlgCtrlID(child) - FirstId;
        std::string name = "unknown";
        if (index >= 0 && index < static_cast<int>(tintara::layout::Controls.size())) {
            name = tintara::layout::Controls[static_cast<std::size_t>(index)].name;
        }
        Describe(form, child, name);
    }
    return 0;
}

// The board as its cells' accessible names tell it, as palette indices.
bool ReadBoard(HWND form, std::array<int, 16>& board)
{
    std::unordered_map<std::string, int> index;
    for (int i = 0; i < tintara::CellCount; ++i) {
        index[tintara::look::ColorName(tintara::TilePalette[static_cast<std::size_t>(i)])] = i;
    }
    for (int k = 1; k <= tintara::CellCount; ++k) {
        HWND cell = GetDlgItem(form, FirstId + 6 + k);
        const std::string text = TextOf(cell);
        const std::size_t comma = text.find(", ");
        if (cell == nullptr || comma == std::string::npos ||
            index.count(text.substr(comma + 2)) == 0) {
            return false;
        }
        board[static_cast<std::size_t>(k - 1)] = index[text.substr(comma + 2)];
    }
    return true;
}

int ReportSolution()
{
    HWND form = Form();
    std::array<int, 16> board{};
    if (form == nullptr || !ReadBoard(form, board)) {
        std::puts("no board");
        return 1;
    }
    std::printf("%s\n", tintara::test::Solve(board).c_str());
    return 0;
}

int ReportDialog(const char* title)
{
    // The standard message box's class.
    HWND box = WaitFor(Wide(title), L"#32770");
    if (box == nullptr) {
        std::puts("no dialog");
        return 1;
    }
    // The box may show before its text and buttons do: wait for both.
    for (int i = 0; i < 50; ++i) {
        bool button = false;
        bool text = false;
        for (HWND child : Children(box)) {
            if (!IsWindowVisible(child)) {
                continue;
            }
            const std::wstring kind = Wide(ClassOf(child).c_str());
            button = button || lstrcmpiW(kind.c_str(), L"Button") == 0;
            text = text || (lstrcmpiW(kind.c_str(), L"Static") == 0 && !TextOf(child).empty());
        }
        if (button && text) {
            break;
        }
        Sleep(100);
    }
    HWND owner = GetWindow(box, GW_OWNER);
    std::printf("owner %s\n", owner != nullptr ? TextOf(owner).c_str() : "");
    for (HWND child : Children(box)) {
        if (!IsWindowVisible(child)) {
            continue;
        }
        const std::string kind = ClassOf(child);
        const LONG style = GetWindowLongW(child, GWL_STYLE);
        if (lstrcmpiW(Wide(kind.c_str()).c_str(), L"Static") == 0) {
            if ((style & SS_TYPEMASK) == SS_ICON) {
                if (SendMessageW(child, STM_GETICON, 0, 0) != 0) {
                    std::puts("icon");
                }
            } else if (!TextOf(child).empty()) {
                std::printf("text %s\n", TextOf(child).c_str());
            }
        } else if (lstrcmpiW(Wide(kind.c_str()).c_str(), L"Button") == 0) {
            RECT rect;
            GetWindowRect(child, &rect);
            const bool isDefault = (style & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
            std::string name = TextOf(child);
            name.erase(std::remove(name.begin(), name.end(), '&'), name.end());
            std::printf("button %s %ld %ld%s\n", name.c_str(), (rect.left + rect.right) / 2,
                        (rect.top + rect.bottom) / 2, isDefault ? " default" : "");
        }
    }
    return 0;
}

// The icons a program file carries, as Windows loads them for its window.
int ReportIcons(const char* path)
{
    HMODULE file = LoadLibraryExW(Wide(path).c_str(), nullptr,
                                  LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (file == nullptr) {
        std::printf("cannot load %s: %lu\n", path, GetLastError());
        return 1;
    }
    for (int size : {16, 20, 24, 32, 40, 48, 64, 256}) {
        auto icon =
            static_cast<HICON>(LoadImageW(file, MAKEINTRESOURCEW(1), IMAGE_ICON, size, size, 0));
        std::printf("icon %d %s\n", size, IconSize(icon).c_str());
        if (icon != nullptr) {
            DestroyIcon(icon);
        }
    }
    return 0;
}

// Gives the window a client area of that size, as a drag on its frame does.
int Resize(int width, int height)
{
    HWND form = Form();
    if (form == nullptr) {
        return 1;
    }
    RECT frame = {0, 0, width, height};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongW(form, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongW(form, GWL_EXSTYLE)));
    return SetWindowPos(form, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                        SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE)
               ? 0
               : 1;
}

int CloseWindow()
{
    HWND form = Form();
    if (form == nullptr) {
        return 1;
    }
    PostMessageW(form, WM_SYSCOMMAND, SC_CLOSE, 0);
    return 0;
}

int ReportGone()
{
    for (int i = 0; i < 50; ++i) {
        if (FindWindowW(nullptr, L"Tintara by Orlandek") == nullptr) {
            std::puts("gone");
            return 0;
        }
        Sleep(100);
    }
    std::puts("still there");
    return 1;
}

} // namespace

int main(int argc, char* argv[])
{
    // Sizes and densities as the window itself has them, unscaled.
    SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    const std::string command = argc > 1 ? argv[1] : "";
    if (command == "window") {
        return ReportWindow();
    }
    if (command == "solve") {
        return ReportSolution();
    }
    if (command == "dialog" && argc > 2) {
        return ReportDialog(argv[2]);
    }
    if (command == "icons" && argc > 2) {
        return ReportIcons(argv[2]);
    }
    if (command == "resize" && argc > 3) {
        return Resize(std::atoi(argv[2]), std::atoi(argv[3]));
    }
    if (command == "close") {
        return CloseWindow();
    }
    if (command == "gone") {
        return ReportGone();
    }
    std::fprintf(stderr, "usage: tintara-probe window|solve|dialog TITLE|close|gone\n");
    return 2;
}
