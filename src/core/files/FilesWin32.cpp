// The file helpers on Windows: CreateFileW with CREATE_NEW for the exclusive
// temporary file, FlushFileBuffers, MoveFileExW over the target, and
// GetFileType for the kind of file. Paths are UTF-8 and may use "/" or "\".

#include "files/Files.h"

#include <windows.h>

#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "files/TempNames.h"
#include "files/WideText.h"

namespace vondrix::files {
namespace {

using temp::SplitPath;

constexpr std::string_view kSeparators = "/\\";
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// Closes the handle it holds.
class Handle {
  public:
    explicit Handle(HANDLE h = INVALID_HANDLE_VALUE) : h_(h) {}
    Handle(Handle&& other) noexcept : h_(std::exchange(other.h_, INVALID_HANDLE_VALUE)) {}
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    Handle& operator=(Handle&&) = delete;
    ~Handle() { close(); }
    HANDLE get() const { return h_; }
    bool valid() const { return h_ != INVALID_HANDLE_VALUE; }
    // Closes now; false when closing reports an error.
    bool close() {
        const HANDLE h = std::exchange(h_, INVALID_HANDLE_VALUE);
        return h == INVALID_HANDLE_VALUE || ::CloseHandle(h) != 0;
    }

  private:
    HANDLE h_;
};

// Closes a directory search.
class Search {
  public:
    Search(const std::wstring& pattern, WIN32_FIND_DATAW& found)
        : h_(::FindFirstFileW(pattern.c_str(), &found)) {}
    Search(const Search&) = delete;
    Search& operator=(const Search&) = delete;
    ~Search() {
        if (h_ != INVALID_HANDLE_VALUE)
            ::FindClose(h_);
    }
    bool valid() const { return h_ != INVALID_HANDLE_VALUE; }
    bool next(WIN32_FIND_DATAW& found) { return ::FindNextFileW(h_, &found) != 0; }

  private:
    HANDLE h_;
};

// ERROR_DISK_QUOTA_EXCEEDED, which mingw-w64's headers lack.
constexpr DWORD kQuotaExceeded = 1295;

bool diskFull(DWORD err) {
    return err == ERROR_DISK_FULL || err == ERROR_HANDLE_DISK_FULL || err == kQuotaExceeded;
}

FileError writeFailure(DWORD err) {
    return diskFull(err) ? FileError::NoSpace : FileError::WriteFailed;
}

// A name of the DOS devices, which exist in every folder ("C:\x\NUL.txt" is
// the null device), or a path into the device namespace: never a file.
bool isDevicePath(const std::string& path) {
    if (path.starts_with("\\\\.\\") || path.starts_with("//./"))
        return true;
    const std::size_t cut = path.find_last_of("/\\");
    std::string name = path.substr(cut == std::string::npos ? 0 : cut + 1);
    if (name.size() >= 2 && name[1] == ':')  // "C:NUL"
        name.erase(0, 2);
    name = name.substr(0, name.find_first_of(".:"));  // "NUL.txt", "NUL:"
    while (!name.empty() && name.back() == ' ')
        name.pop_back();
    for (char& c : name)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    if (name == "CON" || name == "PRN" || name == "AUX" || name == "NUL" || name == "CONIN$" ||
        name == "CONOUT$")
        return true;
    return name.size() == 4 && (name.starts_with("COM") || name.starts_with("LPT")) &&
           name[3] >= '0' && name[3] <= '9';
}

bool notAFile(DWORD attributes) {
    return (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) != 0;
}

// An open handle of a regular file on a disk: no console, pipe, device or
// folder.
bool isRegular(HANDLE h) {
    BY_HANDLE_FILE_INFORMATION info{};
    return ::GetFileType(h) == FILE_TYPE_DISK && ::GetFileInformationByHandle(h, &info) != 0 &&
           !notAFile(info.dwFileAttributes);
}

// Why opening `path` failed with `err`: a path that is there but not a
// regular file (a folder) is NotRegular rather than a plain failure.
FileError openFailure(const std::wstring& path, DWORD err, FileError otherwise) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && notAFile(attributes))
        return FileError::NotRegular;
    if (err == ERROR_FILE_NOT_FOUND || err == ERROR_PATH_NOT_FOUND)
        return otherwise;
    return FileError::CannotOpen;
}

HANDLE openExisting(const std::wstring& path, DWORD access) {
    return ::CreateFileW(path.c_str(), access, kShareAll, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool writeAll(HANDLE h, std::string_view data, bool atEnd) {
    while (!data.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(data.size(), 1u << 20));
        // Offsets of all ones write at the end of the file, as an append.
        OVERLAPPED end{};
        end.Offset = 0xFFFFFFFF;
        end.OffsetHigh = 0xFFFFFFFF;
        DWORD written = 0;
        if (!::WriteFile(h, data.data(), chunk, &written, atEnd ? &end : nullptr) || written == 0)
            return false;
        data.remove_prefix(written);
    }
    return true;
}

struct TempFile {
    Handle handle;
    std::wstring path;
};

// Creates the temporary file exclusively: CREATE_NEW never opens anything
// that is already there, a link included.
std::optional<TempFile> createTemp(const SplitPath& target, std::string_view preferred,
                                   DWORD& err) {
    const auto create = [](const std::string& path) -> std::optional<TempFile> {
        std::wstring wide = wideText(path);
        HANDLE h = ::CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE)
            return std::nullopt;
        return TempFile{Handle(h), std::move(wide)};
    };
    const auto taken = [&err] {
        err = ::GetLastError();
        return err == ERROR_FILE_EXISTS || err == ERROR_ALREADY_EXISTS;
    };
    if (!preferred.empty()) {
        if (auto made = create(target.folderPrefix + std::string(preferred)))
            return made;
        if (!taken())
            return std::nullopt;
    }
    const std::string base =
        target.folderPrefix + (preferred.empty() ? target.name : std::string(preferred));
    for (int attempt = 0; attempt < 100; ++attempt) {
        if (auto made =
                create(base + temp::uniqueSuffix(static_cast<long>(::GetCurrentProcessId()))))
            return made;
        if (!taken())
            return std::nullopt;
    }
    return std::nullopt;
}

bool processGone(long id) {
    const HANDLE process =
        ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(id));
    if (!process)
        return ::GetLastError() == ERROR_INVALID_PARAMETER;  // no such process
    DWORD code = 0;
    const bool ended = ::GetExitCodeProcess(process, &code) != 0 && code != STILL_ACTIVE;
    ::CloseHandle(process);
    return ended;
}

std::uint64_t ticksOf(const FILETIME& t) {
    return (static_cast<std::uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
}

// A temporary file of ours that nobody will finish: the writer was killed
// between creating it and renaming it. Only names this module gives
// (temp::isOurTempName), only plain files (no folder, link or device), and
// only when no writer can still be at work: untouched for kStaleAfter and,
// for a name with a process id, that process gone. A file's owner says
// nothing here that the folder's permissions do not: whoever may write the
// folder may replace the target.
void removeStaleTemporaries(const SplitPath& target, std::string_view preferred) {
    FILETIME nowTime{};
    ::GetSystemTimeAsFileTime(&nowTime);
    constexpr std::uint64_t kTicksPerSecond = 10'000'000;  // FILETIME counts 100 ns
    const std::uint64_t staleTicks =
        static_cast<std::uint64_t>(
            std::chrono::duration_cast<std::chrono::seconds>(temp::kStaleAfter).count()) *
        kTicksPerSecond;
    const std::uint64_t now = ticksOf(nowTime);
    WIN32_FIND_DATAW found{};
    Search search(wideText(target.folderPrefix + "*"), found);
    if (!search.valid())
        return;
    std::vector<std::wstring> stale;
    do {
        const std::string name = utf8Text(found.cFileName);
        long id = 0;
        const bool ours = (!preferred.empty() && temp::isOurTempName(name, preferred, true, id)) ||
                          temp::isOurTempName(name, target.name, false, id);
        if (!ours || (found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE |
                                                FILE_ATTRIBUTE_REPARSE_POINT)) != 0)
            continue;
        const std::uint64_t modified = ticksOf(found.ftLastWriteTime);
        if (modified + staleTicks > now)
            continue;
        if (id != 0 && (static_cast<DWORD>(id) == ::GetCurrentProcessId() || !processGone(id)))
            continue;
        stale.push_back(wideText(target.folderPrefix + name));
    } while (search.next(found));
    for (const std::wstring& path : stale)
        ::DeleteFileW(path.c_str());
}

std::string trimmedFolder(const std::string& path) {
    std::string trimmed = path;
    while (trimmed.size() > 1 && kSeparators.find(trimmed.back()) != std::string_view::npos)
        trimmed.pop_back();
    return trimmed;
}

}  // namespace

FileKind fileKind(const std::string& path) {
    if (isDevicePath(path))
        return FileKind::Other;
    const std::wstring wide = wideText(path);
    const DWORD attributes = ::GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return FileKind::Missing;
    if (notAFile(attributes))
        return FileKind::Other;
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0)
        return FileKind::Regular;
    // A link: what it leads to.
    Handle h(openExisting(wide, 0));
    if (!h.valid())
        return FileKind::Missing;
    return isRegular(h.get()) ? FileKind::Regular : FileKind::Other;
}

ReadResult readRegularFile(const std::string& path, std::size_t limit) {
    ReadResult result;
    if (isDevicePath(path)) {
        result.error = FileError::NotRegular;
        return result;
    }
    const std::wstring wide = wideText(path);
    Handle h(openExisting(wide, GENERIC_READ));
    if (!h.valid()) {
        result.error = openFailure(wide, ::GetLastError(), FileError::NotFound);
        return result;
    }
    LARGE_INTEGER size{};
    if (!isRegular(h.get()) || !::GetFileSizeEx(h.get(), &size)) {
        result.error = FileError::NotRegular;
        return result;
    }
    if (static_cast<std::uint64_t>(size.QuadPart) > limit) {
        result.error = FileError::ReadFailed;
        result.tooLarge = true;
        return result;
    }
    std::string content;
    content.reserve(static_cast<std::size_t>(size.QuadPart));
    char buffer[65536];
    for (;;) {
        DWORD n = 0;
        if (!::ReadFile(h.get(), buffer, sizeof buffer, &n, nullptr)) {
            result.error = FileError::ReadFailed;
            return result;
        }
        if (n == 0)
            break;
        if (content.size() + n > limit) {  // it grew meanwhile
            result.error = FileError::ReadFailed;
            result.tooLarge = true;
            return result;
        }
        content.append(buffer, n);
    }
    result.content = std::move(content);
    return result;
}

// The new file takes the permissions a new file in the folder gets; a
// read-only target is refused by the move, where POSIX would replace it.
FileError replaceFileAtomically(const std::string& path, std::string_view content,
                                std::string_view preferredTempName) {
    if (isDevicePath(path))
        return FileError::NotRegular;
    const std::wstring wide = wideText(path);
    if (wide.empty())
        return FileError::CannotOpen;
    const DWORD attributes = ::GetFileAttributesW(wide.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && notAFile(attributes))
        return FileError::NotRegular;

    const SplitPath target = temp::split(path, kSeparators);
    removeStaleTemporaries(target, preferredTempName);
    DWORD err = 0;
    std::optional<TempFile> temp = createTemp(target, preferredTempName, err);
    if (!temp)
        return diskFull(err) ? FileError::NoSpace : FileError::CannotOpen;

    bool ok = true;
    const auto step = [&](bool done) {
        if (ok && !done) {
            ok = false;
            err = ::GetLastError();
        }
    };
    step(writeAll(temp->handle.get(), content, false));
    step(ok && ::FlushFileBuffers(temp->handle.get()) != 0);
    step(temp->handle.close());
    // The old file or the new one, never a mix; done when it is on the disk.
    step(ok && ::MoveFileExW(temp->path.c_str(), wide.c_str(),
                             MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0);
    if (!ok) {
        ::DeleteFileW(temp->path.c_str());
        return writeFailure(err);
    }
    return FileError::None;
}

FileError appendToFile(const std::string& path, std::string_view content) {
    if (isDevicePath(path))
        return FileError::NotRegular;
    const std::wstring wide = wideText(path);
    if (wide.empty())
        return FileError::CannotOpen;
    bool created = false;
    HANDLE raw = openExisting(wide, GENERIC_WRITE);
    if (raw == INVALID_HANDLE_VALUE && ::GetLastError() == ERROR_FILE_NOT_FOUND) {
        raw = ::CreateFileW(wide.c_str(), GENERIC_WRITE, kShareAll, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
        created = raw != INVALID_HANDLE_VALUE;
    }
    if (raw == INVALID_HANDLE_VALUE)
        return openFailure(wide, ::GetLastError(), FileError::CannotOpen);
    Handle h(raw);
    if (!created && !isRegular(h.get()))
        return FileError::NotRegular;

    // The size before: a write that fails half-way (a full disk) is undone,
    // so that no partial line stays at the end of the file.
    LARGE_INTEGER before{};
    if (!created && !::GetFileSizeEx(h.get(), &before))
        return FileError::CannotOpen;
    bool ok = writeAll(h.get(), content, true);
    DWORD err = ok ? 0 : ::GetLastError();
    if (!ok && !created) {
        // When even the cut fails there is nothing more to do: the error is told.
        if (::SetFilePointerEx(h.get(), before, nullptr, FILE_BEGIN))
            ::SetEndOfFile(h.get());
    }
    if (!h.close() && ok) {
        ok = false;
        err = ::GetLastError();
    }
    if (ok)
        return FileError::None;
    if (created)
        ::DeleteFileW(wide.c_str());
    return writeFailure(err);
}

FileError folderTargetFree(const std::string& path) {
    const std::wstring wide = wideText(path);
    if (wide.empty())
        return FileError::CannotOpen;
    const DWORD attributes = ::GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD err = ::GetLastError();
        return err == ERROR_FILE_NOT_FOUND || err == ERROR_PATH_NOT_FOUND ? FileError::None
                                                                          : FileError::CannotOpen;
    }
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 ||
        (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0)
        return FileError::NotRegular;
    WIN32_FIND_DATAW found{};
    Search search(wideText(trimmedFolder(path) + "\\*"), found);
    if (!search.valid())
        return FileError::CannotOpen;
    do {
        const std::wstring_view name(found.cFileName);
        if (name != L"." && name != L"..")
            return FileError::NotRegular;
    } while (search.next(found));
    return FileError::None;
}

// The new folder takes the permissions of its parent, as every new folder
// on Windows does; under the user's own folders they are the user's alone.
std::optional<std::string> createFolderBeside(const std::string& target) {
    const SplitPath where = temp::split(trimmedFolder(target), kSeparators);
    const std::string base = where.folderPrefix + "." + where.name + ".partial-";
    for (int attempt = 0; attempt < 100; ++attempt) {
        // The last six characters of a unique suffix, as mkdtemp's six.
        const std::string suffix = temp::uniqueSuffix(static_cast<long>(::GetCurrentProcessId()));
        std::string path = base + suffix.substr(suffix.size() - 6);
        if (::CreateDirectoryW(wideText(path).c_str(), nullptr))
            return path;
        if (::GetLastError() != ERROR_ALREADY_EXISTS)
            return std::nullopt;
    }
    return std::nullopt;
}

FileError publishFolder(const std::string& folder, const std::string& target) {
    const FileError free = folderTargetFree(target);
    if (free != FileError::None)
        return free;
    // A folder cannot be moved over another, not even an empty one: the
    // empty one goes first, and when someone filled it meanwhile it stays
    // and the move is refused.
    const std::wstring to = wideText(trimmedFolder(target));
    if (::GetFileAttributesW(to.c_str()) != INVALID_FILE_ATTRIBUTES &&
        !::RemoveDirectoryW(to.c_str()))
        return FileError::WriteFailed;
    if (!::MoveFileExW(wideText(folder).c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH))
        return FileError::WriteFailed;
    return FileError::None;
}

void removeFolder(const std::string& folder) {
    const std::string prefix = trimmedFolder(folder) + "\\";
    std::vector<std::wstring> files;
    {
        WIN32_FIND_DATAW found{};
        Search search(wideText(prefix + "*"), found);
        if (search.valid()) {
            do {
                if ((found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE |
                                               FILE_ATTRIBUTE_REPARSE_POINT)) == 0)
                    files.push_back(wideText(prefix + utf8Text(found.cFileName)));
            } while (search.next(found));
        }
    }
    for (const std::wstring& file : files)
        ::DeleteFileW(file.c_str());
    ::RemoveDirectoryW(wideText(folder).c_str());
}

}  // namespace vondrix::files
