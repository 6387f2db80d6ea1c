#include "sms/TextFiles.h"

#include "files/Files.h"

namespace vondrix::sms {

bool writeTextFile(const std::string& path, std::string_view content, WriteMode mode,
                   files::FileError* error) {
    const files::FileError result = path.empty() ? files::FileError::CannotOpen
                                    : mode == WriteMode::Replace
                                        ? files::replaceFileAtomically(path, content)
                                        : files::appendToFile(path, content);
    if (error)
        *error = result;
    return result == files::FileError::None;
}

bool readTextFile(const std::string& path, std::string& content) {
    files::ReadResult r = files::readRegularFile(path);
    if (!r.ok())
        return false;
    content = std::move(r.content);
    return true;
}

}  // namespace vondrix::sms
