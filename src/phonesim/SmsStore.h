#pragma once

// The phone's short message memory (GSM 07.05 "SM" storage) as part of
// PhoneState: received and stored messages and status reports, each kept
// as the PDU the phone lists, and the messages sent since.

#include <map>
#include <string>
#include <vector>

namespace phonesim {

struct PhoneState;

// GSM 07.05 <stat> in PDU mode.
enum class SmsStatus { ReceivedUnread = 0, ReceivedRead = 1, StoredUnsent = 2, StoredSent = 3 };

struct StoredMessage {
    int status = 0;   // SmsStatus
    std::string pdu;  // service-centre field and TPDU, upper-case hex

    bool operator==(const StoredMessage&) const = default;
};

struct SmsStore {
    // A SIM holds at most 255 messages (EF_SMS records).
    static constexpr int kMaxCapacity = 255;

    int capacity = 20;
    std::map<int, StoredMessage> messages;  // index 1..capacity, occupied only
    // PDUs sent with AT+CMGS, oldest first.
    std::vector<std::string> sent;
    int nextReference = 0;        // TP-MR the phone gives the next sent message
    int presentation = 0;         // <n> of AT^SMGO
    bool messageWaiting = false;  // the network holds a message the full memory cannot take

    int used() const { return static_cast<int>(messages.size()); }
    // The lowest free index, 0 when the memory is full.
    int firstFree() const;
    // The memory state AT^SMGO? reports: 0 space, 1 full, 2 full with a message waiting.
    int memoryState() const;
};

// Fills the message memory of the demo phone: a nearly full memory with a
// message in three parts, umlaut, UCS2 and 8-bit texts, an alphanumeric
// sender, a status report and stored messages.
void addDemoMessages(PhoneState& state);

}  // namespace phonesim
