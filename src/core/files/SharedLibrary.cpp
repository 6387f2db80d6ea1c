#include "files/SharedLibrary.h"

#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <utility>

namespace vondrix {

SharedLibrary::~SharedLibrary() {
    close();
}

SharedLibrary::SharedLibrary(SharedLibrary&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr)) {}

SharedLibrary& SharedLibrary::operator=(SharedLibrary&& other) noexcept {
    if (this != &other) {
        close();
        handle_ = std::exchange(other.handle_, nullptr);
    }
    return *this;
}

SharedLibrary SharedLibrary::open(const std::string& path, std::string* error) {
    SharedLibrary lib;
    const auto fail = [&](const std::string& why) {
        if (error)
            *error = why;
        return std::move(lib);
    };
    // A path with a slash is never looked up on a search path; an absolute
    // one does not depend on the working directory either.
    if (path.empty() || path.front() != '/')
        return fail(path + ": not an absolute path");
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return fail(path + ": no such file");
    if (!S_ISREG(st.st_mode))
        return fail(path + ": not a regular file");
    lib.handle_ = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!lib.handle_) {
        const char* why = ::dlerror();
        return fail(why ? why : path + ": cannot be loaded");
    }
    return lib;
}

void* SharedLibrary::symbol(const char* name) const {
    if (!handle_)
        return nullptr;
    return ::dlsym(handle_, name);
}

void SharedLibrary::close() {
    if (handle_) {
        ::dlclose(handle_);
        handle_ = nullptr;
    }
}

std::string currentDirectory() {
    std::error_code ec;
    const auto dir = std::filesystem::current_path(ec);
    return ec ? std::string() : dir.string();
}

std::string programDirectory() {
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : exe.parent_path().string();
}

}  // namespace vondrix
