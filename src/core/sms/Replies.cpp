#include "sms/Replies.h"

#include "link/Parsers.h"
#include "link/Reply.h"
#include "text/Decimal.h"

namespace vondrix::sms {
namespace {

// The fields of the first line of `response` that starts with `prefix`.
std::optional<at::FieldReader> fieldsOf(const at::Reply& reply, std::string_view prefix) {
    const auto line = reply.first(prefix);
    if (!line)
        return std::nullopt;
    return at::FieldReader::after(*line, prefix);
}

}  // namespace

std::vector<ListedEntry> parseCmglList(std::string_view response) {
    constexpr std::string_view kPrefix = "+CMGL:";
    const at::Reply reply = at::parseReply(canonicalReply(response));
    std::vector<ListedEntry> entries;
    for (std::size_t i = 0; i < reply.lines.size(); ++i) {
        auto header = at::FieldReader::after(reply.lines[i], kPrefix);
        if (!header)
            continue;
        ListedEntry e;
        e.index = header->field();
        e.status = header->field();
        // The PDU is the next line, unless that is the next header.
        if (i + 1 < reply.lines.size() &&
            !std::string_view(reply.lines[i + 1]).starts_with(kPrefix))
            e.pdu = reply.lines[++i];
        entries.push_back(std::move(e));
    }
    return entries;
}

std::optional<int> parseSmgoQuery(std::string_view response) {
    const at::Reply reply = at::parseReply(canonicalReply(response));
    auto fields = fieldsOf(reply, "^SMGO:");
    if (!fields)
        return std::nullopt;
    (void)fields->field();
    if (fields->atEnd())
        return std::nullopt;
    return decimalValue(fields->field());
}

std::optional<MemoryCounts> parseCpmsQuery(std::string_view response) {
    const at::Reply reply = at::parseReply(canonicalReply(response));
    auto fields = fieldsOf(reply, "+CPMS:");
    if (!fields)
        return std::nullopt;
    MemoryCounts counts;
    (void)fields->field();  // the memory
    counts.used = decimalValue(fields->field());
    counts.capacity = decimalValue(fields->field());
    return counts;
}

std::optional<int> parseCmgwReply(std::string_view response) {
    const at::Reply reply = at::parseReply(canonicalReply(response));
    auto fields = fieldsOf(reply, "+CMGW:");
    if (!fields)
        return std::nullopt;
    return decimalValue(fields->field());
}

}  // namespace vondrix::sms
