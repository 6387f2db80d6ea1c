#include "support/FileTraps.h"

namespace vondrix::test {

// Windows has no FIFOs and no per-process file size limit; the tests that
// need them are skipped (VONDRIX_NEEDS_FILE_TRAPS).
const bool kHasFileTraps = false;

bool makeFifo(const std::string&) {
    return false;
}

FileSizeLimit::FileSizeLimit(std::uint64_t) {}
FileSizeLimit::~FileSizeLimit() = default;

}  // namespace vondrix::test
