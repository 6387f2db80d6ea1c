#include "media/ObjectFile.h"

#include <filesystem>
#include <string_view>
#include <system_error>

#include "files/AtomicFile.h"

namespace vondrix::media {

bool mayReadAsFile(const std::string& path) {
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    return !std::filesystem::exists(status) || std::filesystem::is_regular_file(status);
}

bool writeObjectFile(const std::string& path, std::span<const std::uint8_t> bytes) {
    const std::string_view content(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return replaceFileAtomically(path, content, path + ".part");
}

}  // namespace vondrix::media
