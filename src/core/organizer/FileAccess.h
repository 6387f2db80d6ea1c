#pragma once

// Every file the organizer reads or writes goes through these two
// functions, on the shared file helpers (files/Files.h).

#include <optional>
#include <string>
#include <string_view>

#include "files/Files.h"

namespace vondrix::organizer {

enum class FileWrite {
    Append,   // added at the end of the file, which is created when missing
    Replace,  // the file replaced as a whole (through a temporary file beside it)
};

// False when `path` is no regular file (a FIFO, device or directory) or
// cannot be written; *error then says why.
bool writeFile(const std::string& path, std::string_view content, FileWrite mode,
               files::FileError* error = nullptr);

// The file's bytes; nothing when it is no regular file or cannot be read.
std::optional<std::string> readFile(const std::string& path);

}  // namespace vondrix::organizer
