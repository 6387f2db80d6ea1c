#include "support/RunProcess.h"

namespace vondrix::test {

const bool kCanRunProcesses = false;

// The Windows test build starts no child process: the tests that need one
// (the independent image codec) say so and are skipped there, and the
// programs are run as processes by tests/windows/ instead.
ProcessResult runProcess(const std::string& program, const std::vector<std::string>&,
                         const std::string&, const std::vector<std::string>&) {
    return {-1, {}, "cannot run " + program + " from the Windows test build"};
}

}  // namespace vondrix::test
