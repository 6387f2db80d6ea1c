#include "organizer/FileAccess.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "files/AtomicFile.h"

namespace vondrix::organizer {
namespace {

namespace fs = std::filesystem;

// A path that is missing or a regular file; anything else (which could
// block, like a FIFO, or is no file at all) is refused.
bool missingOrRegular(const std::string& path) {
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    return status.type() == fs::file_type::not_found || status.type() == fs::file_type::regular;
}

}  // namespace

bool writeFile(const std::string& path, std::string_view content, FileWrite mode) {
    if (path.empty() || !missingOrRegular(path))
        return false;
    if (mode == FileWrite::Replace)
        return replaceFileAtomically(path, content, path + ".$$$");
    std::ofstream out(path, std::ios::binary | std::ios::app);
    if (!out)
        return false;
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    out.close();
    return !out.fail();
}

std::optional<std::string> readFile(const std::string& path) {
    std::error_code ec;
    if (fs::status(path, ec).type() != fs::file_type::regular)
        return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::ostringstream all;
    all << in.rdbuf();
    if (in.bad())
        return std::nullopt;
    return std::move(all).str();
}

}  // namespace vondrix::organizer
