#include "files/TemporaryFolder.h"

#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <vector>

namespace vondrix::files {

std::optional<TemporaryFolder> TemporaryFolder::create(std::string_view prefix) {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = base && *base ? base : "/tmp";
    if (pattern.back() != '/')
        pattern += '/';
    pattern += prefix;
    pattern += "XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    // mkdtemp makes the folder exclusively, readable by us alone.
    if (::mkdtemp(name.data()) == nullptr)
        return std::nullopt;
    return TemporaryFolder(std::string(name.data()));
}

TemporaryFolder::TemporaryFolder(TemporaryFolder&& other) noexcept : path_(std::move(other.path_)) {
    other.path_.clear();
}

TemporaryFolder& TemporaryFolder::operator=(TemporaryFolder&& other) noexcept {
    if (this != &other) {
        remove();
        path_ = std::move(other.path_);
        other.path_.clear();
    }
    return *this;
}

TemporaryFolder::~TemporaryFolder() {
    remove();
}

std::string TemporaryFolder::file(std::string_view name) const {
    return path_ + "/" + std::string(name);
}

void TemporaryFolder::remove() noexcept {
    if (path_.empty())
        return;
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
    path_.clear();
}

}  // namespace vondrix::files
