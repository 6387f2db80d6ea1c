#pragma once

// The message commands' reply parsers: pure functions over one command's
// raw reply, each named after the command form it reads. The rules work on
// the reply bytes as the phone's old program did ("the number after the
// first ','"), bounded to the reply.

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

// Every "+CMGL:" entry of an "AT+CMGL=4" reply in order. The header follows
// the prefix and a blank; the PDU is the line after the header (empty when
// the reply ends there or the next line is another header).
std::vector<ListedEntry> parseCmglList(std::string_view response);

// "AT^SMGO?": the number after the first "," that follows "^SMGO:"; nothing
// without the prefix or the comma.
std::optional<int> parseSmgoQuery(std::string_view response);

struct MemoryCounts {
    int used = 0;
    int capacity = 0;
};
// "AT+CPMS?": the numbers after the first and the second "," that follow
// "+CPMS:" (0 for a missing one); nothing without the prefix.
std::optional<MemoryCounts> parseCpmsQuery(std::string_view response);

// "AT+CSCA?": the characters after the first double quote that follows
// "+CSCA:" up to the next one (or the line end), at most 29; empty when
// there is none.
std::string parseCscaQuery(std::string_view response);

// The data of "AT+CMGW=": the number after "+CMGW:"; nothing without it.
std::optional<int> parseCmgwReply(std::string_view response);

}  // namespace vondrix::sms
