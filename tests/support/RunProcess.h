#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vondrix::test {

struct ProcessResult {
    int exitCode = -1;  // -1 when it did not exit normally
    std::string out, err;
};

// Runs `program` with `args` in `workDir`, stdin from /dev/null, and
// collects its output.
ProcessResult runProcess(const std::string& program, const std::vector<std::string>& args,
                         const std::string& workDir, const std::vector<std::string>& env = {});

// Whether runProcess can start a program here: the Windows test build
// (under Wine) cannot start the Linux programs the tests compare with.
extern const bool kCanRunProcesses;
#define VONDRIX_NEEDS_CHILD_PROCESSES()                              \
    do {                                                             \
        if (!::vondrix::test::kCanRunProcesses)                      \
            GTEST_SKIP() << "starts Linux programs, not under Wine"; \
    } while (false)

// A fresh, empty directory under the system's temporary directory.
std::string makeTempDir(const std::string& tag);

}  // namespace vondrix::test
