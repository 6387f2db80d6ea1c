#include "sms/TextFiles.h"

#include "files/Files.h"

namespace vondrix::sms {

bool writeTextFile(const std::string& path, std::string_view content, WriteMode mode) {
    if (path.empty())
        return false;
    const files::FileError error = mode == WriteMode::Replace
                                       ? files::replaceFileAtomically(path, content)
                                       : files::appendToFile(path, content);
    return error == files::FileError::None;
}

bool readTextFile(const std::string& path, std::string& content) {
    files::ReadResult r = files::readRegularFile(path);
    if (!r.ok())
        return false;
    content = std::move(r.content);
    return true;
}

}  // namespace vondrix::sms
