#pragma once

// Line handling shared by the phonebook's text files (local file, exports,
// import). On disk every line ends in CR LF, as text files of the original
// platform do; files from elsewhere may end lines in LF alone.

#include <string>
#include <string_view>
#include <vector>

namespace vondrix::phonebook {

constexpr std::string_view kLineEnd = "\r\n";

// The lines of `content` without their ends: split at LF, one CR before the
// LF dropped. A last line without LF is kept whole; nothing follows a final LF.
std::vector<std::string_view> splitLines(std::string_view content);

// A field made safe to stand on one line: CR and LF become spaces.
std::string oneLine(std::string_view field);

// The whole file, bytes as stored; false when it cannot be opened.
bool readWholeFile(const std::string& path, std::string& content);

// Creates or truncates `path` and writes `content`; false on any failure
// (the file may then be incomplete).
bool writeWholeFile(const std::string& path, std::string_view content);

}  // namespace vondrix::phonebook
