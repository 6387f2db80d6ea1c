// The file helpers on POSIX: open(2) with O_EXCL and O_NOFOLLOW, fsync,
// rename(2), fstat for the kind of file.

#include "files/Files.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <utility>
#include <vector>

#include "files/TempNames.h"

namespace vondrix::files {
namespace {

using temp::SplitPath;

// Closes the descriptor it holds unless released.
class Fd {
  public:
    explicit Fd(int fd = -1) : fd_(fd) {}
    Fd(Fd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    Fd& operator=(Fd&&) = delete;
    ~Fd() {
        if (fd_ >= 0)
            ::close(fd_);
    }
    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    // Closes now; false when close reports an error (a write may be lost).
    bool close() {
        const int fd = fd_;
        fd_ = -1;
        return fd < 0 || ::close(fd) == 0;
    }

  private:
    int fd_;
};

// The error of a failed write: a full disk (or quota, or size limit) is told
// apart, so that the user hears why.
FileError writeFailure(int err) {
    return err == ENOSPC || err == EDQUOT || err == EFBIG ? FileError::NoSpace
                                                          : FileError::WriteFailed;
}

bool writeAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// Back to blocking I/O once the descriptor is known to be a regular file.
bool clearNonBlocking(int fd) {
    const int flags = ::fcntl(fd, F_GETFL);
    return flags >= 0 && ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == 0;
}

bool isRegular(int fd) {
    struct stat st {};
    return ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
}

// Why opening `path` failed with `err`: a path that is there but not a
// regular file (a FIFO without a writer, a folder opened for writing) is
// NotRegular rather than a plain failure.
FileError openFailure(const std::string& path, int err, FileError otherwise) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode))
        return FileError::NotRegular;
    if (err == ENOENT || err == ENOTDIR)
        return otherwise;
    return FileError::CannotOpen;
}

struct TempFile {
    Fd fd;
    std::string path;
};

// Creates the temporary file exclusively: O_EXCL never follows a link and
// never opens a file that is already there.
std::optional<TempFile> createTemp(const SplitPath& target, std::string_view preferred) {
    constexpr int kFlags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
    if (!preferred.empty()) {
        std::string path = target.folderPrefix + std::string(preferred);
        const int fd = ::open(path.c_str(), kFlags, 0644);
        if (fd >= 0)
            return TempFile{Fd(fd), std::move(path)};
        if (errno != EEXIST)
            return std::nullopt;
    }
    const std::string base =
        target.folderPrefix + (preferred.empty() ? target.name : std::string(preferred));
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string path = base + temp::uniqueSuffix(static_cast<long>(::getpid()));
        const int fd = ::open(path.c_str(), kFlags, 0644);
        if (fd >= 0)
            return TempFile{Fd(fd), std::move(path)};
        if (errno != EEXIST)
            return std::nullopt;
    }
    return std::nullopt;
}

// A temporary file of ours that nobody will finish: the writer was killed
// between creating it and renaming it. Only names this module gives
// (temp::isOurTempName), only regular files of this user, and only when no
// writer can still be at work: untouched for kStaleAfter and, for a name
// with a process id, that process gone. A concurrent writer's file is fresh,
// so it is never taken.
void removeStaleTemporaries(const SplitPath& target, std::string_view preferred) {
    DIR* dir = ::opendir(target.folder().c_str());
    if (!dir)
        return;
    const auto staleBefore = std::chrono::system_clock::now() - temp::kStaleAfter;
    std::vector<std::string> stale;
    while (const dirent* e = ::readdir(dir)) {
        const std::string_view name(e->d_name);
        long id = 0;
        const bool ours = (!preferred.empty() && temp::isOurTempName(name, preferred, true, id)) ||
                          temp::isOurTempName(name, target.name, false, id);
        if (!ours)
            continue;
        struct stat st {};
        const std::string path = target.folderPrefix + std::string(name);
        if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid())
            continue;
        const auto modified = std::chrono::system_clock::from_time_t(st.st_mtime);
        if (modified > staleBefore)
            continue;
        const auto pid = static_cast<pid_t>(id);
        if (id != 0 && (pid == ::getpid() || ::kill(pid, 0) == 0 || errno != ESRCH))
            continue;
        stale.push_back(path);
    }
    ::closedir(dir);
    for (const std::string& path : stale)
        ::unlink(path.c_str());
}

void syncFolder(const std::string& folder) {
    Fd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.valid())
        ::fsync(dir.get());  // durability only; the rename has happened
}

}  // namespace

FileKind fileKind(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return FileKind::Missing;
    return S_ISREG(st.st_mode) ? FileKind::Regular : FileKind::Other;
}

ReadResult readRegularFile(const std::string& path, std::size_t limit) {
    ReadResult result;
    Fd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!fd.valid()) {
        result.error = openFailure(path, errno, FileError::NotFound);
        return result;
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) {
        result.error = FileError::NotRegular;
        return result;
    }
    if (static_cast<std::uint64_t>(st.st_size) > limit) {
        result.error = FileError::ReadFailed;
        result.tooLarge = true;
        return result;
    }
    if (!clearNonBlocking(fd.get())) {
        result.error = FileError::ReadFailed;
        return result;
    }
    std::string content;
    content.reserve(static_cast<std::size_t>(st.st_size));
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            result.error = FileError::ReadFailed;
            return result;
        }
        if (n == 0)
            break;
        if (content.size() + static_cast<std::size_t>(n) > limit) {  // it grew meanwhile
            result.error = FileError::ReadFailed;
            result.tooLarge = true;
            return result;
        }
        content.append(buffer, static_cast<std::size_t>(n));
    }
    result.content = std::move(content);
    return result;
}

FileError replaceFileAtomically(const std::string& path, std::string_view content,
                                std::string_view preferredTempName) {
    struct stat old {};
    const bool exists = ::lstat(path.c_str(), &old) == 0;
    if (exists && !S_ISREG(old.st_mode) && !S_ISLNK(old.st_mode))
        return FileError::NotRegular;

    const SplitPath target = temp::split(path, "/");
    removeStaleTemporaries(target, preferredTempName);
    std::optional<TempFile> temp = createTemp(target, preferredTempName);
    if (!temp)
        return errno == ENOSPC || errno == EDQUOT ? FileError::NoSpace : FileError::CannotOpen;

    bool ok = true;
    int err = 0;
    const auto step = [&](bool done) {
        if (ok && !done) {
            ok = false;
            err = errno;
        }
    };
    if (exists && S_ISREG(old.st_mode))
        step(::fchmod(temp->fd.get(), old.st_mode & 0777) == 0);
    step(ok && writeAll(temp->fd.get(), content));
    step(ok && ::fsync(temp->fd.get()) == 0);
    step(temp->fd.close());
    step(ok && std::rename(temp->path.c_str(), path.c_str()) == 0);
    if (!ok) {
        ::unlink(temp->path.c_str());
        return writeFailure(err);
    }
    syncFolder(target.folder());
    return FileError::None;
}

FileError appendToFile(const std::string& path, std::string_view content) {
    constexpr int kFlags = O_WRONLY | O_APPEND | O_NOCTTY | O_CLOEXEC;
    bool created = false;
    int raw = ::open(path.c_str(), kFlags | O_NONBLOCK);
    if (raw < 0 && errno == ENOENT) {
        raw = ::open(path.c_str(), kFlags | O_CREAT | O_EXCL, 0644);
        created = raw >= 0;
    }
    if (raw < 0)
        return openFailure(path, errno, FileError::CannotOpen);
    Fd fd(raw);
    if (!created && !isRegular(fd.get()))
        return FileError::NotRegular;

    // The size before: a write that fails half-way (a full disk) is undone,
    // so that no partial line stays at the end of the file.
    struct stat before {};
    if (!created && ::fstat(fd.get(), &before) != 0)
        return FileError::CannotOpen;
    bool ok = clearNonBlocking(fd.get()) && writeAll(fd.get(), content);
    int err = ok ? 0 : errno;
    if (!ok && !created) {
        // When even the cut fails there is nothing more to do: the error is told.
        [[maybe_unused]] const int cut = ::ftruncate(fd.get(), before.st_size);
    }
    if (!fd.close() && ok) {
        ok = false;
        err = errno;
    }
    if (ok)
        return FileError::None;
    if (created)
        ::unlink(path.c_str());
    return writeFailure(err);
}

FileError folderTargetFree(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0)
        return errno == ENOENT ? FileError::None : FileError::CannotOpen;
    if (!S_ISDIR(st.st_mode))
        return FileError::NotRegular;
    DIR* dir = ::opendir(path.c_str());
    if (!dir)
        return FileError::CannotOpen;
    bool empty = true;
    while (const dirent* e = ::readdir(dir)) {
        const std::string_view name(e->d_name);
        if (name != "." && name != "..") {
            empty = false;
            break;
        }
    }
    ::closedir(dir);
    return empty ? FileError::None : FileError::NotRegular;
}

std::optional<std::string> createFolderBeside(const std::string& target) {
    std::string trimmed = target;
    while (trimmed.size() > 1 && trimmed.back() == '/')
        trimmed.pop_back();
    const SplitPath where = temp::split(trimmed, "/");
    std::string pattern = where.folderPrefix + "." + where.name + ".partial-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (::mkdtemp(name.data()) == nullptr)
        return std::nullopt;
    return std::string(name.data());
}

FileError publishFolder(const std::string& folder, const std::string& target) {
    const FileError free = folderTargetFree(target);
    if (free != FileError::None)
        return free;
    // rename() puts a folder over an empty one in one step, and refuses a
    // folder that is not empty (someone filled it meanwhile).
    if (std::rename(folder.c_str(), target.c_str()) != 0)
        return FileError::WriteFailed;
    std::string trimmed = target;
    while (trimmed.size() > 1 && trimmed.back() == '/')
        trimmed.pop_back();
    syncFolder(temp::split(trimmed, "/").folder());
    return FileError::None;
}

void removeFolder(const std::string& folder) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return;
    std::vector<std::string> files;
    while (const dirent* e = ::readdir(dir)) {
        const std::string name(e->d_name);
        if (name == "." || name == "..")
            continue;
        struct stat st {};
        const std::string path = folder + "/" + name;
        if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode))
            files.push_back(path);
    }
    ::closedir(dir);
    for (const std::string& file : files)
        ::unlink(file.c_str());
    ::rmdir(folder.c_str());
}

}  // namespace vondrix::files
