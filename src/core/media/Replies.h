#pragma once

// The object store's reply parser: pure, over the raw reply bytes of one
// "AT^SBNR=" read, by the scanning rule the phone's old program used.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vondrix::media {

struct SbnrRead {
    // The segment count: the decimal number after the third comma of the
    // first "^SBNR:" header; none without a header or a third comma.
    std::optional<int> count;
    // Each block's decoded payload, in reply order (an empty payload line
    // gives an empty block).
    std::vector<std::vector<std::uint8_t>> blocks;
    // A payload line that is not hexadecimal digit pairs: the object
    // arrived damaged and must not be written.
    bool damaged = false;
};

// One "AT^SBNR=<type>,<index>" reply. Every "^SBNR:" from the start on is
// a block header: the line after it (up to its CR) is the block's payload,
// and the search for the next header goes on after that line. A header
// without a line feed after it ends the scan. A reply without any header
// gives no blocks.
SbnrRead parseSbnrRead(std::string_view response);

// The bytes as upper-case hexadecimal digit pairs, as a write segment
// carries them.
std::string hexOf(std::span<const std::uint8_t> bytes);

}  // namespace vondrix::media
