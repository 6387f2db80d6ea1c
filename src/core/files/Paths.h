#pragma once

// The core keeps every path as UTF-8 text. std::filesystem reads a plain
// narrow string in the system's code page on some platforms, so paths go
// in and out of it through these two, which always mean UTF-8.

#include <filesystem>
#include <string>

namespace vondrix::files {

std::filesystem::path fsPath(const std::string& utf8);
std::string utf8Path(const std::filesystem::path& path);

}  // namespace vondrix::files
