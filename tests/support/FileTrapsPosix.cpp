#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>

#include "support/FileTraps.h"

namespace vondrix::test {

const bool kHasFileTraps = true;

bool makeFifo(const std::string& path) {
    return ::mkfifo(path.c_str(), 0644) == 0;
}

FileSizeLimit::FileSizeLimit(std::uint64_t bytes) {
    oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit{};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    oldCurrent_ = limit.rlim_cur;
    oldMaximum_ = limit.rlim_max;
    limit.rlim_cur = static_cast<rlim_t>(bytes);
    ::setrlimit(RLIMIT_FSIZE, &limit);
}

FileSizeLimit::~FileSizeLimit() {
    const rlimit old{static_cast<rlim_t>(oldCurrent_), static_cast<rlim_t>(oldMaximum_)};
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler_);
}

}  // namespace vondrix::test
