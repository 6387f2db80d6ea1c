#pragma once

#include <chrono>
#include <cstdint>
#include <functional>

#include "foundation/Reporter.h"

namespace vondrix::media {

// The progress of one transfer: the window opens when the transfer begins
// and closes when it ends, whatever the outcome. Before each segment (or
// block) the percentage 100·k/count is worked out; when it changed, the
// bar moves to it and the times are told: the seconds since the start and
// the estimated total, elapsed·100/percentage. At 0 % nothing is shown, so
// there is never an estimate from nothing.
class TransferProgress {
  public:
    using Clock = std::chrono::steady_clock;
    using Now = std::function<Clock::time_point()>;

    explicit TransferProgress(Reporter& reporter, Now now = Clock::now);
    ~TransferProgress();
    TransferProgress(const TransferProgress&) = delete;
    TransferProgress& operator=(const TransferProgress&) = delete;

    // Before step k (counted from 1) of `count`. A count below 1 (a reply
    // that does not say) shows nothing; steps beyond the count show 100 %.
    void at(std::int64_t k, std::int64_t count);
    int percentShown() const { return shown_; }

  private:
    Reporter& reporter_;
    Now now_;
    Clock::time_point start_;
    int shown_ = 0;
};

}  // namespace vondrix::media
