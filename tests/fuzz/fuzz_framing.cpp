// The engine's reply framing: the end of a reply must not depend on how the
// bytes were split on their way, must be a whole final-result line of the
// transaction's kind, and nothing after it (a late or oversized reply) may
// become part of it.
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "link/Reply.h"
#include "link/ReplyFramer.h"

using vondrix::at::Ends;
using vondrix::at::ReplyFramer;

namespace {

constexpr std::size_t kMax = 4096;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2)
        return 0;
    const Ends ends = static_cast<Ends>(data[0] % 3);
    const bool nulAsAt = (data[0] & 0x80) != 0;
    const unsigned splitSeed = data[1];
    const std::string stream(reinterpret_cast<const char*>(data + 2), size - 2);

    ReplyFramer whole(ends, nulAsAt, kMax);
    whole.feed(stream);

    // The same bytes in pieces of varying size.
    ReplyFramer pieces(ends, nulAsAt, kMax);
    std::size_t at = 0;
    unsigned step = splitSeed;
    while (at < stream.size()) {
        step = step * 1103515245u + 12345u;
        const std::size_t n = 1 + (step >> 16) % 7;
        pieces.feed(std::string_view(stream).substr(at, n));
        at += n;
    }
    check(pieces.state() == whole.state());
    check(pieces.bytes() == whole.bytes());
    check(pieces.final().kind == whole.final().kind && pieces.final().code == whole.final().code);

    const std::string& framed = whole.bytes();
    check(framed.size() <= stream.size());
    for (std::size_t i = 0; i < framed.size(); ++i) {
        const char expected = nulAsAt && stream[i] == '\0' ? '@' : stream[i];
        check(framed[i] == expected);
    }

    if (whole.state() == ReplyFramer::State::Complete) {
        // The reply as lines ends with the same result...
        const auto reply = vondrix::at::parseReply(framed, {}, ends);
        check(reply.final.kind == whole.final().kind);
        // ...and the reply one byte shorter was not complete yet.
        ReplyFramer shorter(ends, nulAsAt, kMax);
        shorter.feed(std::string_view(stream).substr(0, framed.size() - 1));
        check(shorter.state() != ReplyFramer::State::Complete);
        // Later bytes change nothing.
        const std::string before = whole.bytes();
        whole.feed("\r\nOK\r\n");
        check(whole.bytes() == before);
    } else if (whole.state() == ReplyFramer::State::TooLong) {
        check(framed.size() > kMax);
    } else {
        check(framed.size() == stream.size() && framed.size() <= kMax);
    }
    return 0;
}
