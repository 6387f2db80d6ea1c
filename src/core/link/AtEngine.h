#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "link/PhoneLink.h"
#include "link/Reply.h"
#include "link/ReplyFramer.h"

namespace vondrix {

// One synchronous AT transaction at a time over the phone link: write a
// command line, collect the reply until a final result, return what the
// transaction came to (Result: its status, the reply as lines, the raw bytes
// for the rules that work on bytes). The engine shows nothing; callers
// decide what to tell the user.
//
// The engine tells the phone's own answer (OK, ERROR, +CME ERROR, ...) apart
// from a failing link: no answer within the limits, a closed link, or bytes
// that never form a reply. Such a link failure is kept (failure()) while an
// operation runs (see LinkOperation): the rest of the operation's commands
// then fail at once without being sent, so a dead phone ends a long loop
// quickly and the operation can tell its caller that it did not complete.
//
// A reply only ever answers its own command. Unsolicited result codes the
// phone sends meanwhile (RING, +CMTI, ...) are set aside wherever they fall
// and counted. Anything else that comes after a final result, or a reply
// that shows it answers another command, puts the link out of step: the
// running operation fails as on a link failure, since an earlier answer may
// have been taken from the wrong reply, and before the next command goes
// out the engine re-synchronises (a quiet line, then "AT" answered by OK).
// After a link failure the line must fall quiet before the next command.
class AtEngine {
  public:
    // Past this many reply bytes the transaction fails as unreadable.
    static constexpr std::size_t kMaxResponse = 1 << 20;
    // Longest command line (or data of a prompted transaction) sent.
    static constexpr std::size_t kMaxCommandLine = 1024;

    enum class Failure {
        None,
        NoAnswer,    // nothing, or no final result, within the limits
        LinkClosed,  // the link closed or failed while sending or receiving
        Unreadable,  // more bytes than any reply has
        OutOfStep,   // a reply that answers another command, or bytes no command asked for
    };

    // What one transaction came to.
    enum class Status {
        Ok,          // "OK"
        Prompt,      // the data prompt '>' of a prompted command
        Error,       // "ERROR", "+CME ERROR", "+CMS ERROR" (kind and code in reply.final),
                     // a dial's "NO ANSWER"
        NoCarrier,   // a dial's "NO CARRIER"
        NoDialtone,  // a dial's "NO DIALTONE"
        Busy,        // a dial's "BUSY"
        Refused,     // not sent: the line could end or add a command, or is too long
        LinkFailed,  // no reply of its own: a link failure (`failure`), an earlier failure
                     // of the running operation, or no open link
    };

    // A transaction's result, returned by value. The status, not
    // reply.final, says whether it succeeded: a reply that answers another
    // command may still end in OK.
    struct Result {
        Status status = Status::LinkFailed;
        // The reply as information lines (echo and blank lines dropped) and
        // final result.
        at::Reply reply;
        // The reply's bytes up to its final result as received, less the
        // unsolicited codes set aside; the standard transaction stores a NUL
        // byte as '@'. Only for the rules that work on bytes.
        std::string raw;
        // Why the link failed (LinkFailed); None otherwise.
        Failure failure = Failure::None;

        // The phone took the command: "OK", or the data prompt that asks a
        // prompted command for its data.
        bool ok() const { return status == Status::Ok || status == Status::Prompt; }
        explicit operator bool() const { return ok(); }
    };

    explicit AtEngine(PhoneLink& link);
    ~AtEngine();
    AtEngine(const AtEngine&) = delete;
    AtEngine& operator=(const AtEngine&) = delete;

    // Ok, Error (ERROR, +CME ERROR, +CMS ERROR), or a link failure or refusal.
    // Received NUL bytes are stored as '@' in the result's raw bytes.
    Result standard(std::string_view command);
    // Also NoCarrier, NoDialtone, Busy.
    Result dial(std::string_view command);
    // Also Prompt. With `raw` no CR is appended (the data part, ended by
    // the caller's Ctrl-Z).
    Result prompt(std::string_view command, bool raw = false);
    // For the long operator listings and the network search, as standard();
    // waits with the search limit.
    Result list(std::string_view command);

    // Unsolicited codes set aside so far, and a watcher that sees each one
    // (a two-line code as one text, its lines joined by LF).
    std::size_t unsolicitedCount() const { return unsolicited_; }
    void watchUnsolicited(std::function<void(std::string_view)> watcher) {
        unsolicitedWatcher_ = std::move(watcher);
    }
    // Times the engine found the link out of step and re-synchronised it.
    std::size_t resynchronisations() const { return resyncs_; }

    // After the last transaction got no answer in time: waits once more, at
    // most one inactivity limit, for the rest of its reply. A write the phone
    // did late is so known as done, never sent twice or taken for the answer
    // of the command that checks it. Returns the transaction's result (and
    // forgets the failure) when the reply completes, nothing otherwise.
    std::optional<Result> awaitLateAnswer();
    // `result` of a write whose truth matters; when its transaction got no
    // answer in time, the late answer's result (`result` while none came).
    Result withLateAnswer(Result result) {
        if (!result.ok() && failure_ == Failure::NoAnswer)
            if (std::optional<Result> late = awaitLateAnswer())
                return std::move(*late);
        return result;
    }
    // Late answers taken so.
    std::size_t lateAnswers() const { return lateAnswers_; }

    // The link failure of the running operation, or of the last transaction
    // when no operation runs.
    Failure failure() const { return failure_; }
    // Forgets a link failure so that one more command may go out, e.g. to
    // check whether a write that got no answer in time was done after all.
    // The line must still fall quiet before that command is sent.
    void forgetFailure() { failure_ = Failure::None; }
    // Marks the running operation failed (a check after forgetFailure() failed).
    void setFailure(Failure failure) { failure_ = failure; }
    // The caller found that the last reply answers another command (a record
    // of a location it did not ask for): the operation fails as out of step
    // and the link is re-synchronised before the next command.
    void markOutOfStep() {
        failure_ = lastLinkFailure_ = Failure::OutOfStep;
        outOfStep_ = true;
    }
    // The link failure of the last transaction that was sent, kept beyond
    // the operation: None once a transaction has been answered again.
    Failure lastLinkFailure() const { return lastLinkFailure_; }

    // Inactivity limits: how long a transaction waits for the next byte.
    // Every transaction also ends after its overall limit: the inactivity
    // limit plus the time the longest legitimate reply (kReplyBudget bytes)
    // takes at 19200 baud, so a phone that drips bytes cannot hold it forever.
    void setTimeouts(std::chrono::milliseconds normal, std::chrono::milliseconds search) {
        timeout_ = normal;
        searchTimeout_ = search;
    }
    // The part of the overall limit beyond the inactivity limit (tests shorten it).
    void setOverallExtra(std::chrono::milliseconds extra) { overallExtra_ = extra; }
    static constexpr std::size_t kReplyBudget = 128 * 1024;
    static constexpr std::chrono::milliseconds kDefaultOverallExtra{kReplyBudget * 10 * 1000 /
                                                                    19200};

    PhoneLink& link() { return link_; }

  private:
    friend class LinkOperation;
    enum class Variant { Standard, Dial, Prompt, List };
    Result run(Variant v, std::string_view command, bool raw);
    static at::Ends endsOf(Variant v);
    static Status statusOf(const at::FinalResult& final);
    static Result notSent(Failure why);
    Result fail(Failure why, const std::string& received);
    Result complete(Variant v, const at::ReplyFramer& framer);
    void setAside(const std::vector<std::string>& codes);
    bool judgeTail(std::string bytes);
    bool settleLine();
    void waitQuiet();
    bool resynchronise();
    bool waitReadable(std::chrono::steady_clock::time_point deadline);

    PhoneLink& link_;
    std::string command_;  // the last command line, for the echo rule
    Failure failure_ = Failure::None;
    Failure lastLinkFailure_ = Failure::None;
    bool dirty_ = false;                        // a failed transaction may still be sending
    bool outOfStep_ = false;                    // re-synchronise before the next command
    std::string tail_;                          // an unfinished line after the last final result
    std::unique_ptr<at::ReplyFramer> pending_;  // the reply still awaited after no answer
    Variant pendingVariant_ = Variant::Standard;
    std::size_t unsolicited_ = 0;
    std::size_t resyncs_ = 0;
    std::size_t lateAnswers_ = 0;
    std::function<void(std::string_view)> unsolicitedWatcher_;
    int operationDepth_ = 0;
    bool sentInOperation_ = false;
    std::chrono::milliseconds timeout_{10000};
    std::chrono::milliseconds searchTimeout_{120000};
    std::chrono::milliseconds overallExtra_{kDefaultOverallExtra};
};

}  // namespace vondrix
