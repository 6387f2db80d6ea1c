#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <string_view>

#include "link/PhoneLink.h"

namespace vondrix {

// One synchronous AT transaction at a time over the phone link: write a
// command line, collect the reply until a final result, return a small
// integer. The engine shows nothing; callers parse response() and decide
// what to tell the user.
class AtEngine {
public:
    // Results of the dial transaction.
    static constexpr int kDialFailed = 0, kDialOk = 1, kNoCarrier = 2, kNoDialtone = 3, kBusy = 4;

    // Replies may grow past the classic 20480 bytes; past this the
    // transaction fails rather than eat memory.
    static constexpr std::size_t kMaxResponse = 1 << 20;

    explicit AtEngine(PhoneLink& link) : link_(link) {}

    // 1 on "OK\r\n"; 0 on "ERROR\r\n", "ERROR:" or a link failure. Received
    // NUL bytes are stored as '@'.
    int standard(std::string_view command);
    // 1 OK, 2 NO CARRIER, 3 NO DIALTONE, 4 BUSY; 0 ERROR or link failure.
    int dial(std::string_view command);
    // 1 on "OK\r\n" or the '>' prompt; 0 on "ERROR\r\n" or link failure.
    // With `raw` no CR is appended (the data part, ended by the caller's Ctrl-Z).
    int prompt(std::string_view command, bool raw = false);
    // For the long operator listings and the network search: 1 on success,
    // 0 on "ERROR\r\n" or link failure; waits with the search limit.
    int list(std::string_view command);

    // The complete reply of the last transaction, bytes as received (but
    // for the standard transaction's NUL rule).
    const std::string& response() const { return response_; }

    // Inactivity limits: how long a transaction waits for the next byte.
    void setTimeouts(std::chrono::milliseconds normal, std::chrono::milliseconds search) {
        timeout_ = normal;
        searchTimeout_ = search;
    }

    PhoneLink& link() { return link_; }

private:
    enum class Variant { Standard, Dial, Prompt, List };
    int run(Variant v, std::string_view command, bool raw);
    int runSerial(Variant v);
    int runSocket(Variant v);
    // The variant's test after new bytes arrived at [from, size): -1 = go on.
    int test(Variant v, std::size_t from, bool atLineEnd, bool socketChunk);
    bool waitReadable(std::chrono::milliseconds limit);

    PhoneLink& link_;
    std::string response_;
    std::size_t searchedUpTo_ = 0;  // the tests have seen everything before this
    std::chrono::milliseconds timeout_{10000};
    std::chrono::milliseconds searchTimeout_{120000};
    std::chrono::milliseconds current_{10000};
};

}  // namespace vondrix
