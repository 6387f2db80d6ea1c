#include "link/ReplyFramer.h"

#include <algorithm>

namespace vondrix::at {

ReplyFramer::State ReplyFramer::feed(std::string_view bytes) {
    if (state_ != State::Reading)
        return state_;
    const std::size_t from = bytes_.size();
    bytes_.append(bytes);
    if (nulAsAt_)
        std::replace(bytes_.begin() + static_cast<std::ptrdiff_t>(from), bytes_.end(), '\0', '@');
    scan();
    if (state_ == State::Reading && bytes_.size() > maxBytes_)
        state_ = State::TooLong;
    return state_;
}

bool ReplyFramer::promptAt(std::size_t lineStart) {
    // The prompt "> " opens a line and is not followed by a line end.
    std::size_t at = lineStart;
    while (at < bytes_.size() && bytes_[at] == '\r')
        ++at;
    if (at >= bytes_.size() || bytes_[at] != '>')
        return false;
    final_ = FinalResult{Final::Prompt};
    tail_ = bytes_.substr(at + 1);
    bytes_.resize(at + 1);
    state_ = State::Complete;
    return true;
}

void ReplyFramer::scan() {
    // Whole lines only: a result code inside a data line never ends a reply.
    for (std::size_t nl = bytes_.find('\n', lineStart_); nl != std::string::npos;
         nl = bytes_.find('\n', lineStart_)) {
        if (ends_ == Ends::Prompt && promptAt(lineStart_))
            return;
        std::string_view line(bytes_.data() + lineStart_, nl - lineStart_);
        lineStart_ = nl + 1;
        // A line may hold several CR-separated pieces (an echo ends in CR alone).
        for (;;) {
            const auto cr = line.find('\r');
            if (const auto f = finalResultOf(line.substr(0, cr)); f && endsTransaction(*f, ends_)) {
                final_ = *f;
                tail_ = bytes_.substr(lineStart_);
                bytes_.resize(lineStart_);
                state_ = State::Complete;
                return;
            }
            if (cr == std::string_view::npos)
                break;
            line.remove_prefix(cr + 1);
        }
    }
    if (ends_ == Ends::Prompt)
        promptAt(lineStart_);
}

}  // namespace vondrix::at
