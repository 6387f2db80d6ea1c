#include "organizer/FileAccess.h"

#include "files/Files.h"

namespace vondrix::organizer {

bool writeFile(const std::string& path, std::string_view content, FileWrite mode,
               files::FileError* error) {
    const files::FileError result = path.empty() ? files::FileError::CannotOpen
                                    : mode == FileWrite::Replace
                                        ? files::replaceFileAtomically(path, content)
                                        : files::appendToFile(path, content);
    if (error)
        *error = result;
    return result == files::FileError::None;
}

std::optional<std::string> readFile(const std::string& path) {
    files::ReadResult r = files::readRegularFile(path);
    if (!r.ok())
        return std::nullopt;
    return std::move(r.content);
}

}  // namespace vondrix::organizer
