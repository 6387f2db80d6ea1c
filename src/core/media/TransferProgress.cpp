#include "media/TransferProgress.h"

#include <algorithm>

namespace vondrix::media {

TransferProgress::TransferProgress(Reporter& reporter, Now now)
    : reporter_(reporter), now_(std::move(now)), start_(now_()) {
    reporter_.progressBegin(Reporter::Display::Transfer, 100, Reporter::Task::Transferring);
}

TransferProgress::~TransferProgress() {
    reporter_.progressEnd();
}

void TransferProgress::at(std::int64_t k, std::int64_t count) {
    if (count < 1 || k < 1)
        return;
    const int percent = static_cast<int>(std::min<std::int64_t>(100, 100 * k / count));
    if (percent == shown_)
        return;
    shown_ = percent;
    reporter_.progressStep(percent);
    const auto elapsed = std::chrono::duration_cast<std::chrono::seconds>(now_() - start_).count();
    const auto seconds = static_cast<int>(std::min<std::int64_t>(elapsed, 1 << 24));
    reporter_.progressTimes(seconds, seconds * 100 / percent);
}

}  // namespace vondrix::media
