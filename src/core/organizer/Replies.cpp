#include "organizer/Replies.h"

#include "link/Reply.h"
#include "text/Hex.h"

namespace vondrix::organizer {
namespace {

constexpr std::string_view kHeader = "^SBNR:";

struct Packet {
    std::string_view payload;
    std::optional<long long> number, count;  // as the header gives them
    std::size_t end = 0;                     // where the search for the next header goes on
};

// The packet whose header starts at `at` (the position of "^SBNR:").
Packet packetAt(std::string_view response, std::size_t at) {
    Packet packet;
    const std::size_t lineEnd = response.find('\n', at);
    const std::string_view header =
        response.substr(at, lineEnd == std::string_view::npos ? lineEnd : lineEnd - at);
    if (auto fields = at::FieldReader::after(header.substr(0, header.find('\r')), kHeader)) {
        (void)fields->field();  // the object type
        (void)fields->field();  // the slot
        packet.number = fields->number();
        packet.count = fields->number();
    }
    if (lineEnd == std::string_view::npos) {
        packet.end = response.size();
        return packet;
    }
    const std::size_t start = lineEnd + 1;
    const std::size_t stop = response.find_first_of("\r\n", start);
    packet.payload = response.substr(start, stop == std::string_view::npos ? stop : stop - start);
    packet.end = start + packet.payload.size();
    return packet;
}

// Appends the bytes of `line` to `out`; false when a 0 byte ended them.
bool appendPayload(std::string_view line, std::string& out) {
    for (std::size_t i = 0; i < line.size(); i += 2) {
        int value = hexDigit(line[i]);
        if (value < 0)
            value = 0;
        else if (i + 1 < line.size() && hexDigit(line[i + 1]) >= 0)
            value = value * 16 + hexDigit(line[i + 1]);
        if (value == 0)
            return false;  // the object is a zero-terminated text
        out += static_cast<char>(value);
    }
    return true;
}

}  // namespace

std::string decodeHexPayload(std::string_view line) {
    std::string out;
    appendPayload(line, out);
    return out;
}

std::optional<std::string> parseSbnrRead(std::string_view response) {
    std::size_t at = response.find(kHeader);
    if (at == std::string_view::npos)
        return std::nullopt;
    Packet packet = packetAt(response, at);
    std::string object;
    if (!appendPayload(packet.payload, object) || packet.number != 1 || !packet.count ||
        *packet.count < 2)
        return object;
    const long long count = *packet.count;
    for (long long next = 2; next <= count; ++next) {
        at = response.find(kHeader, packet.end);
        if (at == std::string_view::npos)
            break;
        packet = packetAt(response, at);
        if (packet.number != next || packet.count != count)
            break;
        if (!appendPayload(packet.payload, object))
            break;
    }
    return object;
}

}  // namespace vondrix::organizer
