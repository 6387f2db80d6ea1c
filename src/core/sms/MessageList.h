#pragma once

// The message list: one row per message of the phone's memory in reading
// order, the memory fields, and everything the message windows and the
// command line share (service centre, name directory). Rows hold the texts
// the list shows, in the PC character set.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/Messages.h"
#include "sms/NameDirectory.h"
#include "sms/Pdu.h"
#include "sms/Replies.h"

namespace vondrix::sms {

// One row of the list.
struct MessageRow {
    // The six columns.
    std::string index;   // 0: storage index as listed
    std::string status;  // 1: status value as listed ("0" … "3"); empty for a stored row
    std::string date;    // 2: received messages and status reports
    std::string number;  // 3: sender or recipient as shown
    std::string name;    // 4: from the name directory
    std::string text;    // 5: the text (without a user data header), for a
                         // status report its discharge time
    int position = 0;    // reading order (the item data)

    // What the columns were made from.
    int statusValue = -1;  // numeric value of `status`; -1 when there is none
    MessageKind kind = MessageKind::Received;
    std::string fullNumber;  // the decoded number before shownNumber()
    int numberType = 0;
    std::optional<Concatenation> concatenation;
    std::string body;  // `text` without the characters of a user data header
};

// Fields 1146 (used), 1147 (capacity) and 1204 (memory state). A field
// that was never filled, or whose command failed, keeps its old value.
struct MemoryFields {
    std::optional<int> used;
    std::optional<int> capacity;
    std::optional<int> state;  // 0 space, 1 full, 2 full with a message waiting
};

struct MessageList {
    std::vector<MessageRow> rows;
    MemoryFields memory;
    int nextPosition = 0;  // item data of the next row added

    // The message count: the number of rows.
    std::size_t count() const { return rows.size(); }
};

// Everything the message subsystem keeps for the run.
struct SmsModel {
    MessageList list;
    // The service-centre number every outgoing PDU carries, as last read
    // from the phone (here or by the phonebook window).
    std::string serviceCentre;
    NameDirectory names;
};

// The status a listed PDU is decoded with. A phone may list a message with
// a status that contradicts the message type of the PDU's own first octet
// (a SUBMIT as received, a DELIVER or status report as stored); the type
// decides then, so that number, date and text come out right.
int decodingStatus(int listedStatus, std::string_view pdu);

// Decodes one listing entry's PDU by decodingStatus().
DecodedMessage decodeEntry(int listedStatus, std::string_view pdu, const CodecSettings& settings,
                           TextForm form = TextForm::Pc);

// The row of one listing entry: index and status as listed, the decoded
// number (shown form), the name found by the message list's key rule, the
// date of a received message or status report, and the text (or the
// discharge time of a status report).
MessageRow rowOf(const ListedEntry& entry, int position, const NameDirectory& names,
                 const CodecSettings& settings);

// Rows of a whole "AT+CMGL=4" reply, in reading order (positions 0, 1, …).
std::vector<MessageRow> rowsOfListing(std::string_view response, const NameDirectory& names,
                                      const CodecSettings& settings);

// The catalogue message the view dialog shows for a status: 42 received
// unread, 43 received read, 44 stored unsent, 45 stored sent; nothing else.
std::optional<msg::Id> statusMessageOf(int status);

// Sorts by `column` (0 … 5), ascending; equal rows stay in reading order.
// Column 0 compares the indexes as numbers, the others the first 200 bytes
// of their texts as unsigned characters.
void sortRows(std::vector<MessageRow>& rows, int column);

// One row per whole message: the parts of a concatenated message (same
// kind, number, reference and part count) become the row of its lowest
// part, with the bodies of all parts in part order. When parts are
// missing, the text ends in " (k/n parts)". Other rows stay as they are.
// The rows keep the order of their first part.
std::vector<MessageRow> joinedRows(const std::vector<MessageRow>& rows);

// The whole message that row `row` is one part of, when other parts of it
// are in `rows`: their bodies joined in part order (with the " (k/n parts)"
// marker of joinedRows when some are still missing), and which part the
// row is. Nothing for a row that is no part of a concatenated message or
// whose other parts are not in the list.
struct WholeMessage {
    std::string text;
    int part = 0;     // 1-based part number of the row
    int count = 0;    // parts the message has
    int present = 0;  // parts found in the list
};
std::optional<WholeMessage> wholeMessageOf(const std::vector<MessageRow>& rows, std::size_t row);

}  // namespace vondrix::sms
