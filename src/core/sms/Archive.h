#pragma once

// The message memory as it is, for the backup and the restore: every
// listed message with its storage index, status and PDU, read and stored
// again unchanged; and the two archive files made from it, the XML of
// "SMS Backup & Restore" (which Android phones import) and an mbox file
// (one mail per message) for mail and archive programs.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "foundation/Reporter.h"
#include "link/AtEngine.h"
#include "sms/MessageList.h"

namespace vondrix::sms {

// One message of the memory as "AT+CMGL=4" lists it.
struct RawMessage {
    int index = 0;
    int status = 0;   // 0 received unread, 1 received read, 2 stored unsent, 3 stored sent
    std::string pdu;  // upper-case hex, service-centre field included
    bool operator==(const RawMessage&) const = default;
};

// "AT+CMGL=4" with the listing's time limit; nothing when the phone
// refuses it (message 78) or the link fails.
std::optional<std::vector<RawMessage>> readRawMessages(AtEngine& engine, Reporter& reporter);

// Whether the phone can take `pdu` back with "AT+CMGW": hex digit pairs
// within the command's limit, and no status report (which only the
// network makes).
bool isStorablePdu(const RawMessage& message);

// "AT+CMGW=<length>,<status>" and the PDU after the prompt: the message
// goes back with its status. The new storage index, or nothing when the
// phone refuses (no message shown) or the PDU cannot go into a command.
std::optional<int> storeRawMessage(AtEngine& engine, const RawMessage& message);

// "AT+CMGD=<index>"; true when the phone confirms.
bool deleteRawMessage(AtEngine& engine, int index);

// The rows the archives are made of: each message decoded with the plain
// codec settings (dates YY/MM/DD), the parts of a concatenated message
// joined into one row; status reports left out.
std::vector<MessageRow> archiveRows(const std::vector<RawMessage>& messages);

// Milliseconds since 1970 of a row's date ("YY/MM/DD hh:mm:ss", the
// phone's local time, years 00 to 69 taken as 20xx); nothing without one.
std::optional<std::int64_t> rowTimeMs(const MessageRow& row);

// <?xml ...?><smses count="n"> with one <sms .../> per row: protocol="0",
// address, date (ms; `fallbackMs` for a stored message, which has none),
// type (1 received, 2 sent, 3 draft), subject="null", body, toa="null",
// sc_toa="null", service_center="null", read (0/1), status="-1",
// locked="0", date_sent="0", readable_date. UTF-8.
std::string smsBackupXml(const std::vector<MessageRow>& rows, std::int64_t fallbackMs);

// An mbox file ("From " lines quoted as ">From "): per row the headers
// From (the sender, or "Vondrix" for a stored message), To, Date, Subject,
// a UTF-8 text/plain body, X-Vondrix-Status and X-Vondrix-Index.
std::string mboxText(const std::vector<MessageRow>& rows, std::int64_t fallbackMs);

}  // namespace vondrix::sms
