#include "organizer/FileAccess.h"

#include "files/Files.h"

namespace vondrix::organizer {

bool writeFile(const std::string& path, std::string_view content, FileWrite mode) {
    if (path.empty())
        return false;
    const files::FileError error = mode == FileWrite::Replace
                                       ? files::replaceFileAtomically(path, content)
                                       : files::appendToFile(path, content);
    return error == files::FileError::None;
}

std::optional<std::string> readFile(const std::string& path) {
    files::ReadResult r = files::readRegularFile(path);
    if (!r.ok())
        return std::nullopt;
    return std::move(r.content);
}

}  // namespace vondrix::organizer
