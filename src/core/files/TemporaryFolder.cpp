#include "files/TemporaryFolder.h"

#include <filesystem>
#include <system_error>

#include "files/Paths.h"

namespace vondrix::files {

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
    std::filesystem::remove_all(fsPath(path_), ignored);
    path_.clear();
}

}  // namespace vondrix::files
