// A whole "AT+CMGL=4" reply through the listing parser, the row builder,
// the sort and the joined view: whatever the bytes, every line that starts
// with "+CMGL:" gives one row, fields stay within their lines and limits,
// sorting is a stable ordering and joining never invents rows.
#include <algorithm>
#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "link/Parsers.h"
#include "link/Reply.h"
#include "sms/MessageList.h"
#include "sms/Replies.h"
#include "text/Decimal.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vondrix;
    using namespace vondrix::sms;
    const std::string reply(reinterpret_cast<const char*>(data), size);

    const std::vector<ListedEntry> entries = parseCmglList(reply);
    // Every line that starts with "+CMGL:" (before the final result) is one
    // entry; text that only holds it further on is no header.
    const at::Reply lines = at::parseReply(canonicalReply(reply));
    const auto headers =
        std::count_if(lines.lines.begin(), lines.lines.end(),
                      [](const std::string& l) { return l.starts_with("+CMGL:"); });
    check(entries.size() == static_cast<std::size_t>(headers));
    check(entries.size() <= count(reply, "+CMGL:"));
    for (const ListedEntry& e : entries) {
        check(isOneLine(e.index) && isOneLine(e.status) && isOneLine(e.pdu));
        check(e.index.find(',') == std::string::npos && e.status.find(',') == std::string::npos);
    }

    CodecSettings settings;
    settings.swapD = size % 2 == 1;
    const NameDirectory names({{1, "Anna", "0123456789"}, {2, "Bob", "030"}});
    std::vector<MessageRow> rows = rowsOfListing(reply, names, settings);
    check(rows.size() == entries.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const MessageRow& r = rows[i];
        check(r.position == static_cast<int>(i));
        check(r.index == entries[i].index && r.status == entries[i].status);
        check(r.statusValue == decimalValue(r.status));
        const int decodedAs = decodingStatus(r.statusValue, entries[i].pdu);
        check(decodedAs == r.statusValue || decodedAs == 1 || decodedAs == 2);
        check(r.text.size() <= 1023);
        check(r.kind != MessageKind::Stored || r.date.empty());
        check(r.name.empty() || r.name == "Anna" || r.name == "Bob");
        if (r.kind != MessageKind::StatusReport)
            check(r.text.size() >= r.body.size() &&
                  r.text.compare(r.text.size() - r.body.size(), r.body.size(), r.body) == 0);
    }

    const int column = static_cast<int>(size % 6);
    std::vector<MessageRow> sorted = rows;
    sortRows(sorted, column);
    check(sorted.size() == rows.size());
    std::vector<MessageRow> again = sorted;
    sortRows(again, column);
    for (std::size_t i = 0; i < sorted.size(); ++i)
        check(again[i].position == sorted[i].position);
    std::vector<int> positions;
    for (const MessageRow& r : sorted)
        positions.push_back(r.position);
    std::sort(positions.begin(), positions.end());
    for (std::size_t i = 0; i < positions.size(); ++i)
        check(positions[i] == static_cast<int>(i));

    const std::vector<MessageRow> joined = joinedRows(rows);
    check(joined.size() <= rows.size());
    std::size_t plain = 0;
    for (const MessageRow& r : rows)
        if (!r.concatenation || r.concatenation->count < 2 || r.concatenation->part < 1 ||
            r.concatenation->part > r.concatenation->count)
            ++plain;
    check(joined.size() >= plain);
    return 0;
}
