#include "device/Replies.h"

#include "link/Parsers.h"
#include "text/Decimal.h"

namespace vondrix {

// "(a-b),(c-d)": a missing delimiter leaves the values as they were.
void parseSrtcTest(AudioState& a, std::string_view text) {
    std::size_t pos = 0;
    auto numberAfterNext = [&](char delimiter, int& out) {
        const auto at = text.find(delimiter, pos);
        if (at == std::string_view::npos)
            return;
        out = decimalValue(text.substr(at + 1));
        pos = at + 1;
    };
    numberAfterNext('(', a.toneMin);
    numberAfterNext('-', a.toneMax);
    numberAfterNext('(', a.volumeMin);
    numberAfterNext('-', a.volumeMax);
}

void parseSrtcQuery(AudioState& a, std::string_view r) {
    const auto tag = r.find("^SRTC:");
    if (tag == std::string_view::npos)
        return;
    a.ringTone = decimalValue(r.substr(tag + 6));
    a.ringOff = a.ringTone == 0;
    if (const auto comma = r.find(',', tag); comma != std::string_view::npos)
        a.volume = decimalValue(r.substr(comma + 1));
}

std::optional<int> parseSnfsQuery(std::string_view reply) {
    return numberAfter(reply, "^SNFS:");
}

std::optional<int> parseSnfvQuery(std::string_view reply) {
    return numberAfter(reply, "^SNFV:");
}

}  // namespace vondrix
