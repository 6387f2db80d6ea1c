#pragma once

// Loading a shared library by its full path, and the directories a program
// may look in for one. A library is only ever opened by an absolute path,
// so no search path (LD_LIBRARY_PATH, the loader's cache) decides which
// file is loaded.

#include <string>

namespace vondrix {

class SharedLibrary {
  public:
    SharedLibrary() = default;
    ~SharedLibrary();
    SharedLibrary(SharedLibrary&& other) noexcept;
    SharedLibrary& operator=(SharedLibrary&& other) noexcept;
    SharedLibrary(const SharedLibrary&) = delete;
    SharedLibrary& operator=(const SharedLibrary&) = delete;

    // Opens the library at `path`, which must be absolute and name a regular
    // file; an empty (not loaded) library otherwise, with the reason in *error.
    static SharedLibrary open(const std::string& path, std::string* error = nullptr);

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
