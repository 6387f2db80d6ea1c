#include "link/SharedReplies.h"

#include <limits>

#include "link/Reply.h"

namespace vondrix::at {
namespace {

constexpr std::string_view kObjectHeader = "^SBNR:";

bool sameWord(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) {
            return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
        };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

struct Header {
    long long number = 0;
    long long count = 0;
};

// A packet header of the object `type` at `index`, or nothing.
std::optional<Header> headerOf(std::string_view line, std::string_view type, long long index) {
    auto fields = FieldReader::after(line, kObjectHeader);
    if (!fields)
        return std::nullopt;
    std::string word;
    if (auto quoted = fields->quoted())
        word = std::move(*quoted);
    else
        word = std::string(fields->field());
    const auto at = fields->number();
    const auto number = fields->number();
    const auto count = fields->number();
    if (!sameWord(word, type) || at != index || !number || !count || *count < 1 || *number < 1 ||
        *number > *count)
        return std::nullopt;
    return Header{*number, *count};
}

}  // namespace

std::vector<unsigned char> ObjectRead::bytes() const {
    std::vector<unsigned char> out;
    for (const auto& packet : packets)
        out.insert(out.end(), packet.begin(), packet.end());
    return out;
}

ObjectRead parseSbnrRead(std::string_view response, std::string_view type, long long index) {
    const std::string echo = "AT^SBNR=" + std::string(type) + "," + std::to_string(index);
    const Reply reply = parseReply(response, echo);
    ObjectRead read;
    if (reply.lines.empty())
        return read;
    read.state = ObjectRead::State::Broken;
    const std::vector<std::string>& lines = reply.lines;
    long long count = 0;
    for (std::size_t i = 0; i < lines.size(); i += 2) {
        const auto header = headerOf(lines[i], type, index);
        if (!header || (count != 0 && header->count != count) ||
            header->number != static_cast<long long>(read.packets.size()) + 1 ||
            i + 1 >= lines.size())
            return ObjectRead{ObjectRead::State::Broken, 0, {}};
        auto data = hexBytes(lines[i + 1]);
        if (!data)
            return ObjectRead{ObjectRead::State::Broken, 0, {}};
        count = header->count;
        read.packets.push_back(std::move(*data));
    }
    if (count != static_cast<long long>(read.packets.size()) ||
        count > std::numeric_limits<int>::max())
        return ObjectRead{ObjectRead::State::Broken, 0, {}};
    read.state = ObjectRead::State::Whole;
    read.count = static_cast<int>(count);
    return read;
}

std::string parseCscaQuery(std::string_view response) {
    const Reply reply = parseReply(response);
    const auto line = reply.first("+CSCA:");
    if (!line)
        return {};
    auto number = FieldReader::after(*line, "+CSCA:")->quoted(FieldReader::Unclosed::ToEnd);
    if (!number)
        return {};
    return number->substr(0, kMaxServiceCentre);
}

}  // namespace vondrix::at
