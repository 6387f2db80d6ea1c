#pragma once

// The device commands' reply parsers: pure functions, one per command form.
// The audio replies keep their fixed reading rules on the raw reply bytes.

#include <optional>
#include <string_view>

#include "device/Device.h"

namespace vondrix {

// "AT^SRTC=?": two ranges "(a-b),(c-d)": ring tone numbers, then volumes.
// Each value is the number after the next '(' or '-'; a missing delimiter
// leaves the value as it was.
void parseSrtcTest(AudioState& audio, std::string_view reply);
// "AT^SRTC?": the first field of the "^SRTC:" line is the ring tone (0:
// ring tone off), the second, when there is one, the volume.
void parseSrtcQuery(AudioState& audio, std::string_view reply);
// "AT^SNFS?" and "AT^SNFV?": the number right after the tag.
std::optional<int> parseSnfsQuery(std::string_view reply);
std::optional<int> parseSnfvQuery(std::string_view reply);

}  // namespace vondrix
