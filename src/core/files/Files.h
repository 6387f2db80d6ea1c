#pragma once

// The one place where the core touches files. Every file the program reads
// or writes (settings, the local phonebook, exports, logs, downloads) goes
// through these helpers, so that all of them share the same guarantees:
//
// - Only regular files are read or written. A FIFO, device, socket or
//   directory where a file belongs is refused with FileError::NotRegular,
//   and never blocks: files are opened non-blocking, checked with fstat, and
//   only then switched back to blocking I/O. (On Windows: only files on a
//   disk, and never a device name such as NUL or COM1, in any folder.)
// - A file is replaced through a temporary file in the same folder, created
//   exclusively (never following a link, never reusing an existing file),
//   synced, and renamed over the target: at every moment the target holds
//   either its complete old or its complete new content.
// - A file the helper created is removed again when writing to it fails; a
//   file that existed is never removed, and an append that fails half-way
//   is cut back to the size the file had before it.
// - Temporary files that a killed writer left beside a target are removed
//   on the next replacement of that target: only names this module gives,
//   only regular files of this user (on Windows, plain files), only when
//   untouched for ten minutes and, where the name holds the writer's
//   process id, that process is gone.
//   A concurrent writer's temporary file is always fresh and stays.
//
// Callers map the error kinds to the messages they show.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// FilesPosix.cpp and FilesWin32.cpp implement it; paths are UTF-8.
namespace vondrix::files {

enum class FileError {
    None,         // success
    NotFound,     // reading: no such file (or a folder of its path is missing)
    NotRegular,   // a FIFO, device, socket or directory where a file belongs
    CannotOpen,   // could not be opened or created (permissions, missing folder, ...)
    ReadFailed,   // opened, but reading failed
    WriteFailed,  // opened or created, but writing, syncing or renaming failed
    NoSpace,      // writing failed for want of space (disk full, quota, size limit)
};

struct ReadResult {
    FileError error = FileError::None;
    std::string content;    // the file's bytes as stored; empty on error
    bool tooLarge = false;  // ReadFailed because the file holds more than the limit

    bool ok() const { return error == FileError::None; }
};

// What is at `path` (symlinks followed), without opening it.
enum class FileKind { Missing, Regular, Other };
FileKind fileKind(const std::string& path);

// The whole content of the regular file at `path` (symlinks followed).
ReadResult readRegularFile(const std::string& path);
// The same for a file that must hold at most `limit` bytes: a larger one
// is refused (ReadFailed, tooLarge) before anything of it is read.
ReadResult readRegularFile(const std::string& path, std::size_t limit);

// Folders for a result of several files (the backup): the files are
// written into a fresh folder beside the target, which is renamed to the
// target only when all of them are complete.
//
// Whether `path` can take such a result: nothing is there, or an empty
// folder (not a link to one). NotRegular for anything else.
FileError folderTargetFree(const std::string& path);
// A new folder (mode 0700, made exclusively) in the folder of `target`,
// named after it; nothing when none could be made.
std::optional<std::string> createFolderBeside(const std::string& target);
// Renames the finished `folder` to `target` (which must be missing or an
// empty folder) and syncs the parent folder.
FileError publishFolder(const std::string& folder, const std::string& target);
// Removes `folder` and the regular files directly in it (a result that was
// never finished); anything else in it stays and keeps the folder.
void removeFolder(const std::string& folder);

// Replaces the file at `path` with `content`. The content is written to a
// new temporary file in the target's folder, synced, and renamed over
// `path`; the folder is synced afterwards.
//
// The temporary file is `preferredTempName` in that folder when given and
// no file of that name exists; otherwise (or when none is given) a unique
// name beside it. An existing file, link or folder of the preferred name is
// left alone.
//
// A regular target keeps its permission bits. A target that is a symlink is
// replaced by the rename: the link itself becomes the new regular file, and
// the file it pointed to stays untouched. Any other non-regular target is
// refused with NotRegular. On failure the target is as it was and no
// temporary file is left. Stale temporary files of earlier writers of the
// same target are removed first (see above).
[[nodiscard]] FileError replaceFileAtomically(const std::string& path, std::string_view content,
                                              std::string_view preferredTempName = {});

// Appends `content` to the regular file at `path` (symlinks followed),
// creating it when it does not exist. When the write fails, a file this call
// created is removed and an existing one is cut back to its size before:
// the content is appended whole or not at all. (A concurrent append by
// another writer between ours and the cut would be lost with it; the
// program's appends are its own logs and exports.)
[[nodiscard]] FileError appendToFile(const std::string& path, std::string_view content);

}  // namespace vondrix::files
