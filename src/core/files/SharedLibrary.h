#pragma once

// Loading a shared library by its full path, and the directories a program
// may look in for one. A library is only ever opened by an absolute path,
// so no search path (LD_LIBRARY_PATH, the loader's cache, Windows' PATH and
// system folders) decides which file is loaded. SharedLibraryPosix.cpp uses
// dlopen, SharedLibraryWin32.cpp LoadLibraryExW.

#include <string>

namespace vondrix {

// How this platform's loadable modules end: ".so", on Windows ".dll".
extern const char* const kModuleSuffix;

class SharedLibrary {
  public:
    SharedLibrary() = default;
    ~SharedLibrary();
    SharedLibrary(SharedLibrary&& other) noexcept;
    SharedLibrary& operator=(SharedLibrary&& other) noexcept;
    SharedLibrary(const SharedLibrary&) = delete;
    SharedLibrary& operator=(const SharedLibrary&) = delete;

    enum class Refusal {
        None,
        Unusable,   // no absolute path, no regular file, or the loader refused it
        Untrusted,  // others could have changed it: see open()
    };

    // Opens the library at `path`, which must be absolute and name a regular
    // file that belongs to this user or to root and that neither its group
    // nor others may write: loading runs the library's code, so a file that
    // someone else could have changed is refused before the loader sees it.
    // The file is checked and then loaded through the same open descriptor,
    // so it cannot be swapped in between. (On Windows, which has no owner
    // and mode bits of that meaning, only the regular file is checked, and
    // the file is held open against writes and renames until it is loaded.)
    // An empty (not loaded) library otherwise, with the reason in *refusal
    // and *error.
    static SharedLibrary open(const std::string& path, std::string* error = nullptr,
                              Refusal* refusal = nullptr);

    bool loaded() const { return handle_ != nullptr; }
    // The address of the exported symbol `name`, or nullptr.
    void* symbol(const char* name) const;
    void close();

  private:
    void* handle_ = nullptr;
};

// The working directory, or empty when it cannot be named.
std::string currentDirectory();
// The directory of the running program's file, or empty when unknown.
std::string programDirectory();

}  // namespace vondrix
