#pragma once

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "link/PhoneLink.h"
#include "link/Reply.h"
#include "link/ReplyFramer.h"

namespace vondrix {

// One synchronous AT transaction at a time over the phone link: write a
// command line, collect the reply until a final result, return a small
// integer. The engine shows nothing; callers read reply() (or the raw
// response() where a rule works on the bytes) and decide what to tell the user.
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
    // Results of the dial transaction.
    static constexpr int kDialFailed = 0, kDialOk = 1, kNoCarrier = 2, kNoDialtone = 3, kBusy = 4;

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

    explicit AtEngine(PhoneLink& link);
    ~AtEngine();
    AtEngine(const AtEngine&) = delete;
    AtEngine& operator=(const AtEngine&) = delete;

    // 1 on "OK"; 0 on "ERROR", "+CME ERROR", "+CMS ERROR" or a link failure.
    // Received NUL bytes are stored as '@' in response().
    int standard(std::string_view command);
    // 1 OK, 2 NO CARRIER, 3 NO DIALTONE, 4 BUSY; 0 ERROR (also extended) or link failure.
    int dial(std::string_view command);
    // 1 on "OK" or the '>' prompt; 0 on an error or link failure. With `raw`
    // no CR is appended (the data part, ended by the caller's Ctrl-Z).
    int prompt(std::string_view command, bool raw = false);
    // For the long operator listings and the network search: 1 on "OK", 0 on
    // an error or link failure; waits with the search limit.
    int list(std::string_view command);

    // The complete reply of the last transaction up to its final result,
    // bytes as received (but for the standard transaction's NUL rule) less
    // the unsolicited codes set aside.
    const std::string& response() const { return response_; }
    // The same reply as lines and final result.
    const at::Reply& reply() const { return reply_; }

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
    // forgets the failure) when the reply completes, -1 otherwise.
    int awaitLateAnswer();
    // `result` of a write whose truth matters; when its transaction got no
    // answer in time, the late answer's result (0 while none came).
    int withLateAnswer(int result) {
        return result == 0 && failure_ == Failure::NoAnswer ? std::max(awaitLateAnswer(), 0)
                                                            : result;
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
    // The last command was refused before sending (see at::isSafeCommandLine).
    bool lastCommandRefused() const { return refused_; }

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
    int run(Variant v, std::string_view command, bool raw);
    static at::Ends endsOf(Variant v);
    static int resultOf(Variant v, const at::FinalResult& final);
    int fail(Failure why, const std::string& received);
    int complete(Variant v, const at::ReplyFramer& framer);
    void setAside(const std::vector<std::string>& codes);
    bool judgeTail(std::string bytes);
    bool settleLine();
    void waitQuiet();
    bool resynchronise();
    bool waitReadable(std::chrono::steady_clock::time_point deadline);

    PhoneLink& link_;
    std::string response_;
    at::Reply reply_;
    std::string command_;  // the last command line, for the echo rule
    Failure failure_ = Failure::None;
    Failure lastLinkFailure_ = Failure::None;
    bool refused_ = false;
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
