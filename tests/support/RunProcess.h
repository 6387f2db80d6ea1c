#pragma once

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

// A fresh, empty directory under the system's temporary directory.
std::string makeTempDir(const std::string& tag);

}  // namespace vondrix::test
