// A small Windows program that the installed-package test runs in the same Wine
// session as the game, to see what only Windows' own interfaces show.
//
//   PackageDriver shortcut LINK   prints the target, the working folder and the icon
//                                 of a shell link, one per line
//   PackageDriver version FILE    prints the product and the file version texts of a
//                                 program's version record, one per line
//   PackageDriver exit-no         clicks the game's Exit button, checks the question it
//                                 asks and answers No
//
// Exit status 0 when done, 1 with a line on the standard error otherwise.
#include <windows.h>

#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cstdio>
#include <cwchar>
#include <iterator>
#include <string>
#include <vector>

namespace
{

const wchar_t kGameTitlePrefix[] = L"Tintara";
const wchar_t kQuestionTitle[] = L"Attention!";
const wchar_t kQuestionText[] = L"Maybe will you play once again?(NO - Exit)";

int Fail(const char* what)
{
    std::fprintf(stderr, "PackageDriver: %s\n", what);
    return 1;
}

std::string Utf8(const std::wstring& text)
{
    if (text.empty())
        return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), static_cast<int>(text.size()), out.data(), size,
                        nullptr, nullptr);
    return out;
}

std::wstring TextOf(HWND window)
{
    wchar_t buffer[512] = {};
    GetWindowTextW(window, buffer, static_cast<int>(std::size(buffer)));
    return buffer;
}

std::wstring ClassOf(HWND window)
{
    wchar_t buffer[256] = {};
    GetClassNameW(window, buffer, static_cast<int>(std::size(buffer)));
    return buffer;
}

int Shortcut(const wchar_t* path)
{
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)))
        return Fail("COM did not start");
    IShellLinkW* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                reinterpret_cast<void**>(&link))))
        return Fail("no shell link object");
    IPersistFile* file = nullptr;
    if (FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) ||
        FAILED(file->Load(path, STGM_READ)))
        return Fail("cannot read the shortcut");
    wchar_t target[MAX_PATH] = {};
    wchar_t folder[MAX_PATH] = {};
    wchar_t icon[MAX_PATH] = {};
    int iconIndex = 0;
    if (FAILED(link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH)) ||
        FAILED(link->GetWorkingDirectory(folder, MAX_PATH)) ||
        FAILED(link->GetIconLocation(icon, MAX_PATH, &iconIndex)))
        return Fail("the shortcut has no target");
    std::printf("%s\n%s\n%s,%d\n", Utf8(target).c_str(), Utf8(folder).c_str(), Utf8(icon).c_str(),
                iconIndex);
    file->Release();
    link->Release();
    CoUninitialize();
    return 0;
}

// The texts of the version record's first language, as Explorer shows them.
int Version(const wchar_t* path)
{
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path, &ignored);
    if (size == 0)
        return Fail("the program has no version record");
    std::vector<unsigned char> record(size);
    if (!GetFileVersionInfoW(path, 0, size, record.data()))
        return Fail("the version record cannot be read");
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(record.data(), L"\\VarFileInfo\\Translation", &value, &length) ||
        length < 2 * sizeof(WORD))
        return Fail("the version record names no language");
    const auto* translation = static_cast<const WORD*>(value);
    const wchar_t digits[] = L"0123456789abcdef";
    std::wstring block = L"\\StringFileInfo\\";
    for (const WORD word : {translation[0], translation[1]})
        for (int shift = 12; shift >= 0; shift -= 4)
            block += digits[(word >> shift) & 0xF];
    for (const wchar_t* name : {L"ProductVersion", L"FileVersion"}) {
        if (!VerQueryValueW(record.data(), (block + L"\\" + name).c_str(), &value, &length) ||
            length == 0)
            return Fail("the version record lacks a version text");
        std::printf("%s\n", Utf8(static_cast<const wchar_t*>(value)).c_str());
    }
    return 0;
}

BOOL CALLBACK FindGame(HWND window, LPARAM found)
{
    const std::wstring title = TextOf(window);
    if (IsWindowVisible(window) && title.rfind(kGameTitlePrefix, 0) == 0 &&
        ClassOf(window) != L"#32770") {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

struct Search {
    const wchar_t* className;
    const wchar_t* text;
    HWND found;
};

BOOL CALLBACK FindChild(HWND window, LPARAM data)
{
    auto* search = reinterpret_cast<Search*>(data);
    if (ClassOf(window) == search->className && TextOf(window) == search->text) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND Child(HWND parent, const wchar_t* className, const wchar_t* text)
{
    Search search{className, text, nullptr};
    EnumChildWindows(parent, FindChild, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Polls for up to ten seconds.
template <typename Find> HWND WaitFor(Find find)
{
    for (int tries = 0; tries < 100; ++tries) {
        if (HWND window = find())
            return window;
        Sleep(100);
    }
    return nullptr;
}

int ExitNo()
{
    HWND game = WaitFor([] {
        HWND found = nullptr;
        EnumWindows(FindGame, reinterpret_cast<LPARAM>(&found));
        return found;
    });
    if (!game)
        return Fail("the game's window is not there");
    HWND exitButton = Child(game, L"Button", L"Exit");
    if (!exitButton)
        return Fail("the game's window has no Exit button");
    // Posted, since the question the click raises holds the game's thread.
    PostMessageW(exitButton, BM_CLICK, 0, 0);

    HWND question = WaitFor([] { return FindWindowW(L"#32770", kQuestionTitle); });
    if (!question)
        return Fail("the Exit question did not appear");
    if (!Child(question, L"Static", kQuestionText))
        return Fail("the Exit question has another text");
    if (GetWindow(question, GW_OWNER) != game)
        return Fail("the Exit question is not owned by the game's window");
    if (!GetDlgItem(question, IDYES) || !GetDlgItem(question, IDNO))
        return Fail("the Exit question has no Yes and No buttons");
    PostMessageW(question, WM_COMMAND, MAKEWPARAM(IDNO, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(question, IDNO)));
    std::printf("answered No to \"%s\"\n", Utf8(kQuestionText).c_str());
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc == 3 && std::wcscmp(argv[1], L"shortcut") == 0)
        return Shortcut(argv[2]);
    if (argc == 3 && std::wcscmp(argv[1], L"version") == 0)
        return Version(argv[2]);
    if (argc == 2 && std::wcscmp(argv[1], L"exit-no") == 0)
        return ExitNo();
    std::fprintf(stderr, "usage: PackageDriver shortcut LINK | version FILE | exit-no\n");
    return 2;
}
