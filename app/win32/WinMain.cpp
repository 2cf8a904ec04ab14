// Tintara's entry on Windows: create the main window and run the message loop.
#include "Form1.h"

#include <string>

namespace
{

// Where the window cannot be made, one message box says why, in the system's
// own words.
void ReportStartupFailure(DWORD error)
{
    std::wstring message = L"Tintara cannot open its window: ";
    wchar_t* cause = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&cause), 0, nullptr);
    if (length > 0 && cause != nullptr) {
        std::wstring text(cause, length);
        while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r')) {
            text.pop_back();
        }
        message += text;
    } else {
        message += L"error " + std::to_wstring(error) + L".";
    }
    if (cause != nullptr) {
        LocalFree(cause);
    }
    MessageBoxW(nullptr, message.c_str(), L"Tintara", MB_OK | MB_ICONERROR);
}

} // namespace

// The game takes no command line: whatever it is given is ignored.
int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*commandLine*/, int show)
{
    tintara::Form1 form;
    if (!form.Create(instance)) {
        ReportStartupFailure(GetLastError());
        return 1;
    }
    form.Show(show);

    MSG message{};
    BOOL status = 0;
    while ((status = GetMessageW(&message, nullptr, 0, 0)) > 0) {
        // Tab, Space and Enter move and press as in a dialogue.
        if (!form.HandleDialogKey(message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return status < 0 ? 1 : static_cast<int>(message.wParam);
}
