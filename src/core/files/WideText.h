#pragma once

// Windows only (WideTextWin32.cpp): the UTF-16 text the wide Win32 calls
// take, from and to the UTF-8 the core keeps.

#include <string>
#include <string_view>

namespace vondrix::files {

// Empty when `utf8` is empty or no valid UTF-8.
std::wstring wideText(std::string_view utf8);
// Unpaired surrogates become U+FFFD.
std::string utf8Text(std::wstring_view wide);

}  // namespace vondrix::files
