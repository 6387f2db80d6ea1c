#include "device/Replies.h"

#include "link/Parsers.h"
#include "link/Reply.h"
#include "text/Decimal.h"

namespace vondrix {

// "(a-b),(c-d)": a missing delimiter leaves the values as they were.
void parseSrtcTest(AudioState& a, std::string_view reply) {
    const std::string canonical = canonicalReply(reply);
    const std::string_view text = canonical;
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

void parseSrtcQuery(AudioState& a, std::string_view response) {
    const at::Reply reply = at::parseReply(response);
    const auto line = reply.first("^SRTC:");
    if (!line)
        return;
    at::FieldReader fields = *at::FieldReader::after(*line, "^SRTC:");
    a.ringTone = decimalValue(fields.field());
    a.ringOff = a.ringTone == 0;
    if (!fields.atEnd())
        a.volume = decimalValue(fields.field());
}

std::optional<int> parseSnfsQuery(std::string_view reply) {
    return numberAfter(reply, "^SNFS:");
}

std::optional<int> parseSnfvQuery(std::string_view reply) {
    return numberAfter(reply, "^SNFV:");
}

}  // namespace vondrix
