#pragma once

// The message commands' reply parsers: pure functions over one command's
// raw reply, each named after the command form it reads, reading the fields
// of the reply's lines ("the number after the first ','" is the second
// field). The service centre's "AT+CSCA?" is read by at::parseCscaQuery
// (link/SharedReplies.h), which the phonebook shares.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vondrix::sms {

// One "+CMGL:" entry of a listing: the header's first two fields as text
// and the PDU line after it.
struct ListedEntry {
    std::string index;   // up to the header's first ","
    std::string status;  // up to its second ","
    std::string pdu;     // the next line, without its line end
};

// Every "+CMGL:" entry of an "AT+CMGL=4" reply in order: the header's first
// two fields; the PDU is the line after the header (empty when the reply
// ends there or the next line is another header). Blank lines do not count.
std::vector<ListedEntry> parseCmglList(std::string_view response);

// "AT^SMGO?": the second field of the "^SMGO:" line; nothing without the
// line or the field.
std::optional<int> parseSmgoQuery(std::string_view response);

struct MemoryCounts {
    int used = 0;
    int capacity = 0;
};
// "AT+CPMS?": the second and third fields of the "+CPMS:" line (0 for a
// missing one); nothing without the line.
std::optional<MemoryCounts> parseCpmsQuery(std::string_view response);

// The data of "AT+CMGW=": the first field of the "+CMGW:" line; nothing
// without it.
std::optional<int> parseCmgwReply(std::string_view response);

}  // namespace vondrix::sms
