#pragma once

// Hostile file situations for tests: FIFOs where files belong, a file size
// limit that makes writes fail even for root, and a watchdog that turns a
// hang into a failure. The Windows test build has no FIFOs, file size
// limit, symlinks or POSIX permission bits: a test that needs them begins
// with VONDRIX_NEEDS_FILE_TRAPS() and is shown as skipped there.

#include <gtest/gtest.h>

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

namespace vondrix::test {

// Whether this system has FIFOs, a file size limit, symlinks and POSIX
// permission bits (false on Windows).
extern const bool kHasFileTraps;
#define VONDRIX_NEEDS_FILE_TRAPS()                                        \
    do {                                                                  \
        if (!::vondrix::test::kHasFileTraps)                              \
            GTEST_SKIP() << "no FIFOs, symlinks or permission bits here"; \
    } while (false)

// Creates a FIFO at `path`; false when that fails.
bool makeFifo(const std::string& path);

// The whole content of `path`, or "<missing>" when it cannot be read.
std::string fileText(const std::string& path);
// Writes `content` to `path` (created or truncated); false on failure.
bool writeText(const std::string& path, const std::string& content);

// While it lives, no regular file of this process can grow beyond `bytes`:
// a write past the limit fails with EFBIG (SIGXFSZ is ignored meanwhile).
// Keep its scope to the operation under test: test output to a regular file
// is limited too.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(std::uint64_t bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

  private:
    std::uint64_t oldCurrent_ = 0;
    std::uint64_t oldMaximum_ = 0;
    void (*oldHandler_)(int) = nullptr;
};

// Aborts the process, naming `what`, when it is still alive after
// `seconds`: an operation that blocks fails the test run instead of hanging
// it.
class Watchdog {
  public:
    Watchdog(std::string what, int seconds);
    ~Watchdog();
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

  private:
    std::mutex mutex_;
    std::condition_variable done_;
    bool finished_ = false;
    std::thread thread_;
};

}  // namespace vondrix::test
