// Text as the Win32 API takes it: the program's UTF-8 in UTF-16.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <string_view>

namespace tintara
{

inline std::wstring Wide(std::string_view text)
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

} // namespace tintara
