#include "media/ObjectFile.h"

#include <string_view>

#include "files/Files.h"

namespace vondrix::media {

bool mayReadAsFile(const std::string& path) {
    return files::fileKind(path) != files::FileKind::Other;
}

bool writeObjectFile(const std::string& path, std::span<const std::uint8_t> bytes) {
    const std::string_view content(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return files::replaceFileAtomically(path, content) == files::FileError::None;
}

}  // namespace vondrix::media
