#include "sms/Replies.h"

#include <algorithm>

#include "text/Decimal.h"

namespace vondrix::sms {
namespace {

constexpr std::size_t kMaxServiceCentre = 29;

std::string_view lineAt(std::string_view text, std::size_t from) {
    const std::size_t end = text.find_first_of("\r\n", from);
    return text.substr(from, end == std::string_view::npos ? std::string_view::npos : end - from);
}

// The text after the comma that follows `from`, or nothing.
std::optional<std::string_view> afterComma(std::string_view text, std::size_t& from) {
    const std::size_t comma = text.find(',', from);
    if (comma == std::string_view::npos)
        return std::nullopt;
    from = comma + 1;
    return text.substr(from);
}

}  // namespace

std::vector<ListedEntry> parseCmglList(std::string_view response) {
    constexpr std::string_view kPrefix = "+CMGL:";
    std::vector<ListedEntry> entries;
    for (std::size_t at = response.find(kPrefix); at != std::string_view::npos;
         at = response.find(kPrefix, at + kPrefix.size())) {
        std::size_t headerStart = at + kPrefix.size();
        if (headerStart < response.size() && response[headerStart] == ' ')
            ++headerStart;
        const std::string_view header = lineAt(response, headerStart);

        ListedEntry e;
        const std::size_t c1 = header.find(',');
        e.index = header.substr(0, c1);
        if (c1 != std::string_view::npos) {
            const std::string_view rest = header.substr(c1 + 1);
            e.status = rest.substr(0, rest.find(','));
        }
        // The PDU is the next line: past the header's line end (CR, LF or both).
        std::size_t next = headerStart + header.size();
        while (next < response.size() && (response[next] == '\r' || response[next] == '\n'))
            ++next;
        const std::string_view pdu = lineAt(response, next);
        if (!pdu.starts_with(kPrefix))
            e.pdu = pdu;
        entries.push_back(std::move(e));
    }
    return entries;
}

std::optional<int> parseSmgoQuery(std::string_view response) {
    const std::size_t tag = response.find("^SMGO:");
    if (tag == std::string_view::npos)
        return std::nullopt;
    std::size_t at = tag;
    const auto rest = afterComma(response, at);
    if (!rest)
        return std::nullopt;
    return decimalValue(*rest);
}

std::optional<MemoryCounts> parseCpmsQuery(std::string_view response) {
    const std::size_t tag = response.find("+CPMS:");
    if (tag == std::string_view::npos)
        return std::nullopt;
    MemoryCounts counts;
    std::size_t at = tag;
    if (const auto used = afterComma(response, at)) {
        counts.used = decimalValue(*used);
        if (const auto capacity = afterComma(response, at))
            counts.capacity = decimalValue(*capacity);
    }
    return counts;
}

std::string parseCscaQuery(std::string_view response) {
    const std::size_t tag = response.find("+CSCA:");
    if (tag == std::string_view::npos)
        return {};
    const std::size_t open = response.find('"', tag);
    if (open == std::string_view::npos)
        return {};
    const std::string_view rest = response.substr(open + 1);
    const std::size_t end = rest.find_first_of("\"\r\n");
    return std::string(rest.substr(0, std::min(end, kMaxServiceCentre)));
}

std::optional<int> parseCmgwReply(std::string_view response) {
    constexpr std::string_view kPrefix = "+CMGW:";
    const std::size_t tag = response.find(kPrefix);
    if (tag == std::string_view::npos)
        return std::nullopt;
    return decimalValue(response.substr(tag + kPrefix.size()));
}

}  // namespace vondrix::sms
