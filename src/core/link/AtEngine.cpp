#include "link/AtEngine.h"

#include <algorithm>
#include <array>

#include "link/Command.h"
#include "link/ReplyFramer.h"
#include "link/Unsolicited.h"

namespace vondrix {
namespace {

using Clock = std::chrono::steady_clock;
constexpr std::size_t kChunk = 20480;
// Bytes one read may take on the serial path: whatever has arrived. A
// build with VONDRIX_SERIAL_BYTE_READS reads one byte per call, as the link
// once did, so that the benchmark can compare the two.
#ifdef VONDRIX_SERIAL_BYTE_READS
constexpr std::size_t kSerialRead = 1;
#else
constexpr std::size_t kSerialRead = kChunk;
#endif
// After a failed transaction the line must stay quiet this long before the
// next command goes out, so that a late reply is not taken for its answer.
constexpr std::chrono::milliseconds kQuietAfterFailure{500};

// Whether the last line of `bytes` is begun but not ended.
bool endsInsideLine(const std::string& bytes) {
    const std::size_t lineStart = bytes.rfind('\n') + 1;  // 0 without a line feed
    return bytes.find_first_not_of(" \t\r", lineStart) != std::string::npos;
}

// A reply that carries the echo of another command line, or information
// lines of another command's prefix, answers that command, not this one (the
// maker's indications are set aside before; this command's own echo is no
// information line).
bool answersAnother(const at::Reply& reply, std::string_view command) {
    const std::string_view own = at::answerPrefix(command);
    return std::any_of(reply.lines.begin(), reply.lines.end(), [&](const std::string& line) {
        if (!at::answerPrefix(line).empty())
            return true;
        const std::string_view prefix = at::linePrefix(line);
        return !own.empty() && !prefix.empty() && prefix.front() == '+' && prefix != own;
    });
}

}  // namespace

AtEngine::AtEngine(PhoneLink& link) : link_(link) {}
AtEngine::~AtEngine() = default;

AtEngine::Result AtEngine::standard(std::string_view command) {
    return run(Variant::Standard, command, false);
}
AtEngine::Result AtEngine::dial(std::string_view command) {
    return run(Variant::Dial, command, false);
}
AtEngine::Result AtEngine::prompt(std::string_view command, bool raw) {
    return run(Variant::Prompt, command, raw);
}
AtEngine::Result AtEngine::list(std::string_view command) {
    return run(Variant::List, command, false);
}

bool AtEngine::waitReadable(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    return left.count() >= 0 && link_.waitReadable(left);
}

void AtEngine::waitQuiet() {
    // Until the line has been quiet for a moment, but never longer than one
    // inactivity limit.
    const auto giveUp = Clock::now() + timeout_;
    const auto quiet = std::min<std::chrono::milliseconds>(kQuietAfterFailure, timeout_);
    std::array<char, 4096> buf{};
    for (;;) {
        const auto now = Clock::now();
        if (now >= giveUp)
            break;
        if (!waitReadable(std::min(now + quiet, giveUp))) {
            dirty_ = false;
            break;
        }
        if (!link_.read(buf.data(), buf.size()))
            break;  // closed: the next write or read will tell
    }
}

void AtEngine::setAside(const std::vector<std::string>& codes) {
    unsolicited_ += codes.size();
    if (unsolicitedWatcher_)
        for (const std::string& code : codes)
            unsolicitedWatcher_(code);
}

bool AtEngine::judgeTail(std::string bytes) {
    const at::Sorted sorted = at::setAsideUnsolicited(bytes, {}, at::Ends::Standard);
    setAside(sorted.unsolicited);
    return sorted.reply.find_first_not_of(" \t\r\n") == std::string::npos;
}

bool AtEngine::settleLine() {
    if (dirty_) {
        tail_.clear();
        waitQuiet();
    } else {
        // Whatever came after the last reply: unsolicited codes, or bytes no
        // command asked for. A line still arriving is waited for, briefly.
        std::string stray = std::move(tail_);
        tail_.clear();
        const auto deadline = Clock::now() + std::min(kQuietAfterFailure, timeout_);
        while (link_.readAvailable(stray, kMaxResponse) && endsInsideLine(stray) &&
               waitReadable(deadline)) {
        }
        if (!judgeTail(std::move(stray))) {
            outOfStep_ = true;
            // An answer this operation took may have been another's.
            if (operationDepth_ > 0 && sentInOperation_) {
                failure_ = lastLinkFailure_ = Failure::OutOfStep;
                return false;
            }
        }
    }
    if (outOfStep_ && !resynchronise()) {
        failure_ = lastLinkFailure_ = Failure::OutOfStep;
        return false;
    }
    return true;
}

bool AtEngine::resynchronise() {
    waitQuiet();
    if (!link_.writeAll("AT\r"))
        return false;
    at::ReplyFramer framer(at::Ends::Standard, true, kMaxResponse);
    const auto deadline = Clock::now() + timeout_;
    std::array<char, 4096> buf{};
    while (framer.state() == at::ReplyFramer::State::Reading) {
        if (!waitReadable(deadline)) {
            dirty_ = true;
            return false;
        }
        const auto n = link_.read(buf.data(), buf.size());
        if (!n)
            return false;
        framer.feed(std::string_view(buf.data(), *n));
    }
    // The plain "AT" is answered by "OK" alone: any indication is set aside
    // as between commands.
    const at::Sorted sorted = at::setAsideUnsolicited(framer.bytes(), {}, at::Ends::Standard);
    setAside(sorted.unsolicited);
    // "OK" alone: the phone answers the command just sent, so it is in step.
    if (framer.state() != at::ReplyFramer::State::Complete ||
        framer.final().kind != at::Final::Ok || !at::parseReply(sorted.reply, "AT").lines.empty()) {
        dirty_ = true;
        return false;
    }
    tail_ = framer.tail();
    outOfStep_ = false;
    ++resyncs_;
    return true;
}

AtEngine::Result AtEngine::notSent(Failure why) {
    Result result;
    result.failure = why;
    return result;
}

AtEngine::Result AtEngine::fail(Failure why, const std::string& received) {
    failure_ = why;
    lastLinkFailure_ = why;
    if (why != Failure::LinkClosed)
        dirty_ = true;
    Result result = notSent(why);
    result.raw = at::setAsideUnsolicited(received, command_, at::Ends::Standard).reply;
    result.reply = at::parseReply(result.raw, command_, at::Ends::Standard);
    return result;
}

AtEngine::Result AtEngine::complete(Variant v, const at::ReplyFramer& framer) {
    const at::Ends ends = endsOf(v);
    at::Sorted sorted = at::setAsideUnsolicited(framer.bytes(), command_, ends);
    setAside(sorted.unsolicited);
    Result result;
    result.raw = std::move(sorted.reply);
    result.reply = at::parseReply(result.raw, command_, ends);
    lastLinkFailure_ = Failure::None;
    // Whole lines after the final result are judged now; a line still
    // arriving before the next command.
    const std::string& tail = framer.tail();
    const std::size_t cut = tail.rfind('\n') + 1;  // 0 without a line feed
    tail_ = tail.substr(cut);
    if (!judgeTail(tail.substr(0, cut)) || answersAnother(result.reply, command_)) {
        outOfStep_ = true;
        failure_ = lastLinkFailure_ = Failure::OutOfStep;
        result.failure = Failure::OutOfStep;
        return result;
    }
    result.status = statusOf(framer.final());
    return result;
}

std::optional<AtEngine::Result> AtEngine::awaitLateAnswer() {
    const std::unique_ptr<at::ReplyFramer> framer = std::move(pending_);
    if (!framer || failure_ != Failure::NoAnswer)
        return std::nullopt;
    const auto deadline = Clock::now() + timeout_;
    std::array<char, kChunk> buf{};
    while (waitReadable(deadline)) {
        const auto n = link_.read(buf.data(), buf.size());
        if (!n)
            return std::nullopt;
        const auto state = framer->feed(std::string_view(buf.data(), *n));
        if (state == at::ReplyFramer::State::TooLong)
            return std::nullopt;
        if (state == at::ReplyFramer::State::Complete) {
            ++lateAnswers_;
            failure_ = Failure::None;
            dirty_ = false;
            return complete(pendingVariant_, *framer);
        }
    }
    return std::nullopt;
}

AtEngine::Result AtEngine::run(Variant v, std::string_view command, bool raw) {
    if (operationDepth_ == 0)
        failure_ = Failure::None;
    command_.assign(command);
    pending_.reset();
    // A failed link ends the operation: nothing more is sent.
    if (failure_ != Failure::None)
        return notSent(failure_);
    if (!link_.isOpen())
        return notSent(Failure::LinkClosed);

    const bool data = v == Variant::Prompt && raw;
    const bool safe =
        command.size() <= kMaxCommandLine &&
        (data ? at::isSafeDataLine(command) : at::isSafeCommandLine(command, v == Variant::Dial));
    if (!safe) {
        Result refused;
        refused.status = Status::Refused;
        return refused;
    }
    std::string line(command);
    if (!data)
        line += '\r';

    if (!settleLine())
        return notSent(failure_);
    sentInOperation_ = true;
    const bool socket = link_.isSocket();
    if (!link_.writeAll(line))
        return fail(Failure::LinkClosed, {});

    const auto inactivity = v == Variant::List ? searchTimeout_ : timeout_;
    const auto overallDeadline = Clock::now() + inactivity + overallExtra_;
    auto framer =
        std::make_unique<at::ReplyFramer>(endsOf(v), v == Variant::Standard, kMaxResponse);
    std::array<char, kChunk> buf{};
    for (;;) {
        const auto deadline = std::min(Clock::now() + inactivity, overallDeadline);
        if (!waitReadable(deadline)) {
            // Kept, in case the caller waits for the answer after all.
            pending_ = std::move(framer);
            pendingVariant_ = v;
            return fail(Failure::NoAnswer, pending_->bytes());
        }
        // Both paths take what has arrived. Bytes after the final result
        // (the blank after a prompt, an unsolicited line) belong to no
        // reply: the framer keeps them apart.
        const auto n = link_.read(buf.data(), socket ? buf.size() : kSerialRead);
        if (!n)
            return fail(Failure::LinkClosed, framer->bytes());
        switch (framer->feed(std::string_view(buf.data(), *n))) {
            case at::ReplyFramer::State::Reading:
                continue;
            case at::ReplyFramer::State::TooLong:
                return fail(Failure::Unreadable, framer->bytes());
            case at::ReplyFramer::State::Complete:
                break;
        }
        return complete(v, *framer);
    }
}

at::Ends AtEngine::endsOf(Variant v) {
    return v == Variant::Dial     ? at::Ends::Dial
           : v == Variant::Prompt ? at::Ends::Prompt
                                  : at::Ends::Standard;
}

AtEngine::Status AtEngine::statusOf(const at::FinalResult& final) {
    // Each transaction ends only at its own kinds of result (at::endsTransaction).
    switch (final.kind) {
        case at::Final::Ok:
            return Status::Ok;
        case at::Final::Prompt:
            return Status::Prompt;
        case at::Final::NoCarrier:
            return Status::NoCarrier;
        case at::Final::NoDialtone:
            return Status::NoDialtone;
        case at::Final::Busy:
            return Status::Busy;
        case at::Final::Error:
        case at::Final::CmeError:
        case at::Final::CmsError:
        case at::Final::NoAnswer:
        case at::Final::None:
            break;
    }
    return Status::Error;
}

}  // namespace vondrix
