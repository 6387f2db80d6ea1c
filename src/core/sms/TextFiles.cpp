#include "sms/TextFiles.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "files/AtomicFile.h"

namespace vondrix::sms {

bool writeTextFile(const std::string& path, std::string_view content, WriteMode mode) {
    std::error_code ec;
    if (path.empty() || std::filesystem::is_directory(path, ec))
        return false;
    if (mode == WriteMode::Replace)
        return replaceFileAtomically(path, content, path + ".$$$");
    std::ofstream out(path, std::ios::binary | std::ios::app);
    if (!out)
        return false;
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    out.close();
    return !out.fail();
}

bool readTextFile(const std::string& path, std::string& content) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec))
        return false;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream all;
    all << in.rdbuf();
    content = std::move(all).str();
    return !in.bad();
}

}  // namespace vondrix::sms
