// Loading a module on Windows: LoadLibraryExW on the full path, while a
// handle of ours keeps the checked file from being written, renamed or
// deleted until the loader has mapped it.

#include "files/SharedLibrary.h"

#include <windows.h>

#include <filesystem>
#include <string>

#include "files/Paths.h"
#include "files/WideText.h"

namespace vondrix {

const char* const kModuleSuffix = ".dll";

SharedLibrary SharedLibrary::open(const std::string& path, std::string* error, Refusal* refusal) {
    SharedLibrary lib;
    const auto fail = [&](const std::string& text) {
        if (error)
            *error = text;
        if (refusal)
            *refusal = Refusal::Unusable;
        return std::move(lib);
    };
    if (refusal)
        *refusal = Refusal::None;
    // "C:\...", "\\server\share\...": a full path is never looked up on the
    // search path, nor does it depend on the working folder.
    if (path.empty() || !files::fsPath(path).is_absolute())
        return fail(path + ": not an absolute path");
    std::wstring wide = files::wideText(path);
    for (wchar_t& c : wide)
        if (c == L'/')
            c = L'\\';  // the loader wants backslashes
    // Others may read it meanwhile (the loader does), not change it. There
    // is no owner-and-mode check as on POSIX: who may write the file is a
    // matter of its folder's access lists, which the user set up by putting
    // the module there, and the folders looked in are the user's own choice
    // (the working folder) and the program's.
    const HANDLE h = ::CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return fail(path + ": cannot be opened");
    BY_HANDLE_FILE_INFORMATION info{};
    const bool regular =
        ::GetFileType(h) == FILE_TYPE_DISK && ::GetFileInformationByHandle(h, &info) != 0 &&
        (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) == 0;
    if (!regular) {
        ::CloseHandle(h);
        return fail(path + ": not a regular file");
    }
    // No "cannot find the disk" box for a module on a drive that went away.
    DWORD oldMode = 0;
    const bool quiet = ::SetThreadErrorMode(SEM_FAILCRITICALERRORS, &oldMode) != 0;
    // The module's own dependencies are looked for in its folder first.
    lib.handle_ = ::LoadLibraryExW(wide.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    const DWORD err = ::GetLastError();
    if (quiet)
        ::SetThreadErrorMode(oldMode, nullptr);
    ::CloseHandle(h);
    if (!lib.handle_)
        return fail(path + ": cannot be loaded (error " + std::to_string(err) + ")");
    return lib;
}

void* SharedLibrary::symbol(const char* name) const {
    if (!handle_)
        return nullptr;
    return reinterpret_cast<void*>(::GetProcAddress(static_cast<HMODULE>(handle_), name));
}

void SharedLibrary::close() {
    if (handle_) {
        ::FreeLibrary(static_cast<HMODULE>(handle_));
        handle_ = nullptr;
    }
}

std::string programDirectory() {
    std::wstring name(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
        if (n == 0)
            return {};
        if (n < name.size()) {
            name.resize(n);
            break;
        }
        name.resize(name.size() * 2);  // cut: try a larger buffer
    }
    return files::utf8Path(std::filesystem::path(name).parent_path());
}

}  // namespace vondrix
