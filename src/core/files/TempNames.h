#pragma once

// The names the file helpers give their temporary files, and how a name of
// theirs is known again when a killed writer left it: shared by the
// platforms' file helpers (FilesPosix.cpp, FilesWin32.cpp).

#include <chrono>
#include <string>
#include <string_view>

namespace vondrix::files::temp {

// A temporary file untouched for this long belongs to no running writer.
constexpr auto kStaleAfter = std::chrono::minutes(10);

struct SplitPath {
    std::string folderPrefix;  // "" or the folder with its trailing separator
    std::string name;
    // The folder for opening ("." for none), without its trailing "/".
    std::string folder() const;
};

// Splits at the last of `separators`.
SplitPath split(const std::string& path, std::string_view separators);

// A fresh suffix ".PID.COUNTER.TIME" for a unique temporary name; the
// exclusive create decides whether it really is unique.
std::string uniqueSuffix(long processId);

// Whether `name` is one this module gives for `base`: `base` itself (when
// `exactToo`) or `base` followed by a unique suffix, whose process id is
// then in *pid (0 for the exact name).
bool isOurTempName(std::string_view name, std::string_view base, bool exactToo, long& pid);

}  // namespace vondrix::files::temp
