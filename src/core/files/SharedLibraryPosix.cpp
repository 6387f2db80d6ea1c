// Loading a module on POSIX: dlopen through /proc/self/fd of the
// descriptor whose owner and mode were checked.

#include "files/SharedLibrary.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <utility>

namespace vondrix {

const char* const kModuleSuffix = ".so";

namespace {

// Only its owner can have changed the file: this user or root, with no
// write permission for its group or others.
bool isTrusted(const struct stat& st) {
    return (st.st_uid == ::geteuid() || st.st_uid == 0) && (st.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

}  // namespace

SharedLibrary SharedLibrary::open(const std::string& path, std::string* error, Refusal* refusal) {
    SharedLibrary lib;
    const auto fail = [&](Refusal why, const std::string& text) {
        if (error)
            *error = text;
        if (refusal)
            *refusal = why;
        return std::move(lib);
    };
    if (refusal)
        *refusal = Refusal::None;
    // A path with a slash is never looked up on a search path; an absolute
    // one does not depend on the working directory either.
    if (path.empty() || path.front() != '/')
        return fail(Refusal::Unusable, path + ": not an absolute path");
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return fail(Refusal::Unusable, path + ": cannot be opened");
    struct stat st {};
    const bool regular = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    if (!regular || !isTrusted(st)) {
        ::close(fd);
        return regular ? fail(Refusal::Untrusted,
                              path + ": another user owns it or others may write it")
                       : fail(Refusal::Unusable, path + ": not a regular file");
    }
    // The descriptor checked is the file loaded.
    const std::string byDescriptor = "/proc/self/fd/" + std::to_string(fd);
    lib.handle_ = ::dlopen(byDescriptor.c_str(), RTLD_NOW | RTLD_LOCAL);
    ::close(fd);
    if (!lib.handle_) {
        const char* why = ::dlerror();
        return fail(Refusal::Unusable, why ? why : path + ": cannot be loaded");
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

std::string programDirectory() {
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : exe.parent_path().string();
}

}  // namespace vondrix
