#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "link/Reply.h"

namespace vondrix::at {

// Finds where one reply ends in the bytes as they arrive, in pieces of any
// size: at the first whole line that is a final result for this kind of
// transaction (or at the data prompt). Unsolicited result codes and the PDU
// line of a routed message are never whole-line results, so they never end
// a reply. Bytes after the end belong to no reply: they are kept apart
// (tail()) for the engine to judge.
// Pure, so that the framing can be tested and fuzzed without a link.
class ReplyFramer {
  public:
    enum class State { Reading, Complete, TooLong };

    // `nulAsAt`: a received NUL byte is kept as '@' (the standard
    // transaction's rule). More than `maxBytes` without an end: TooLong.
    ReplyFramer(Ends ends, bool nulAsAt, std::size_t maxBytes)
        : ends_(ends), nulAsAt_(nulAsAt), maxBytes_(maxBytes) {}

    // Takes the next received bytes; returns the state afterwards. Once
    // Complete or TooLong, further bytes change nothing.
    State feed(std::string_view bytes);

    State state() const { return state_; }
    // The reply's bytes up to and including its end (all bytes so far while
    // Reading).
    const std::string& bytes() const { return bytes_; }
    const FinalResult& final() const { return final_; }
    // The bytes that came after the end in the same piece.
    const std::string& tail() const { return tail_; }

  private:
    void scan();
    bool promptAt(std::size_t lineStart);

    Ends ends_;
    bool nulAsAt_;
    std::size_t maxBytes_;
    State state_ = State::Reading;
    std::string bytes_;
    std::size_t lineStart_ = 0;  // start of the line not yet complete
    FinalResult final_;
    std::string tail_;
};

}  // namespace vondrix::at
