#pragma once

// Line handling shared by the phonebook's text files (local file, exports,
// import). On disk every line ends in CR LF, as text files of the original
// platform do; files from elsewhere may end lines in LF alone, or (old Mac
// files) in CR alone. Reading and writing the files is files/Files.h's job.

#include <string>
#include <string_view>
#include <vector>

namespace vondrix::phonebook {

constexpr std::string_view kLineEnd = "\r\n";

// The lines of `content` without their ends: a line ends at CR LF, at LF
// or at a CR alone. A last line without an end is kept whole; nothing
// follows a final line end.
std::vector<std::string_view> splitLines(std::string_view content);

// A field made safe to stand on one line: CR and LF become spaces.
std::string oneLine(std::string_view field);

}  // namespace vondrix::phonebook
