#pragma once

// The message subsystem's file access, in one place: the exports, the
// group files and the command log are written only through writeTextFile.
// Text files are ISO 8859-1 with CR LF line ends; the callers build the
// content with them.

#include <string>
#include <string_view>

#include "files/Files.h"

namespace vondrix::sms {

constexpr std::string_view kLineEnd = "\r\n";

enum class WriteMode {
    Replace,  // the file becomes `content` whole (written aside, then renamed over it)
    Append,   // `content` is added at the end; the file is created when missing
};

// False when the file cannot be written (no regular file, no permission, a
// full disk, ...); *error then says why.
bool writeTextFile(const std::string& path, std::string_view content, WriteMode mode,
                   files::FileError* error = nullptr);

// The whole file; false when it cannot be read.
bool readTextFile(const std::string& path, std::string& content);

}  // namespace vondrix::sms
