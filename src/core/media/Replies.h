#pragma once

// The object store's hexadecimal text. A read reply ("AT^SBNR=") is read by
// the checked packet rule that the organizer shares (at::parseSbnrRead).

#include <cstdint>
#include <span>
#include <string>

namespace vondrix::media {

// The bytes as upper-case hexadecimal digit pairs, as a write segment
// carries them.
std::string hexOf(std::span<const std::uint8_t> bytes);

}  // namespace vondrix::media
