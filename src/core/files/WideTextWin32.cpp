#include "files/WideText.h"

#include <windows.h>

namespace vondrix::files {

std::wstring wideText(std::string_view utf8) {
    if (utf8.empty() || utf8.size() > 0x7FFFFFFF)
        return {};
    const int length = static_cast<int>(utf8.size());
    const int n =
        ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), length, nullptr, 0);
    if (n <= 0)
        return {};
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), length, wide.data(), n);
    return wide;
}

std::string utf8Text(std::wstring_view wide) {
    if (wide.empty() || wide.size() > 0x7FFFFFFF)
        return {};
    const int length = static_cast<int>(wide.size());
    const int n =
        ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
    if (n <= 0)
        return {};
    std::string text(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, text.data(), n, nullptr, nullptr);
    return text;
}

}  // namespace vondrix::files
