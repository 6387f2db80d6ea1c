#pragma once

// The message operations that talk to the phone: reading the list with
// its memory fields, deleting, the service centre, sending a text in parts
// with Retry/Cancel and the offer to store, storing. Each runs its traffic
// through the engine and tells the user through the reporter; the windows
// and the command line call the same operations.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/Reporter.h"
#include "foundation/Settings.h"
#include "link/AtEngine.h"
#include "sms/MessageList.h"
#include "sms/Pdu.h"

namespace vondrix::sms {

// What a stored row keeps of the recipient and the text.
constexpr std::size_t kStoredNumberMax = 49;
constexpr std::size_t kStoredTextMax = 511;

// One message to send.
struct Outgoing {
    std::string recipient;  // a number; see resolveRecipient() for names
    std::string text;       // the whole text, PC character set
    SubmitOptions options;
};

enum class SendKind {
    Dialog,       // the send, reply and forward dialogs: every failure is asked about
    CommandMode,  // an answer of the communication module: no options, 4 days,
                  // a failed data transaction retried silently (3 attempts in all)
};

struct SendReport {
    int parts = 0;            // parts the text was cut into
    int sent = 0;             // parts the phone took
    int stored = 0;           // parts stored unsent after the user cancelled
    bool refused = false;     // the recipient or the PDU could not go into a command
    bool linkFailed = false;  // the link failed; later parts were not tried

    bool allSent() const { return sent == parts; }
};

struct DeleteReport {
    int deleted = 0;
    int refused = 0;  // the phone refused; those rows stay
    bool linkFailed = false;
};

// The send dialogs' counters: typed, left in the last part, parts (0 for
// an empty text).
struct PartCounters {
    std::size_t typed = 0;
    std::size_t left = 0;
    std::size_t parts = 0;
};
// For a text of `length` characters that are one unit each.
PartCounters partCounters(std::size_t length, bool eightBit);
// For the text itself, counted as it is sent: a character of the 7-bit
// extension table is two, and the parts are those splitIntoParts cuts.
PartCounters partCounters(std::string_view text, bool eightBit);

// The "<length>" of AT+CMGS= and AT+CMGW= for a PDU text: its octets less
// the service-centre field (GSM 07.05).
int tpduLength(std::string_view pdu);

class SmsService {
  public:
    SmsService(AtEngine& engine, Reporter& reporter, const Settings& settings, SmsModel& model)
        : engine_(engine), reporter_(reporter), settings_(settings), model_(model) {}

    AtEngine& engine() { return engine_; }
    Reporter& reporter() { return reporter_; }
    const Settings& settings() const { return settings_; }
    SmsModel& model() { return model_; }
    CodecSettings codec() const;

    // Reads the memory state ("AT^SMGO?"), the messages ("AT+CMGL=4") and
    // the memory counts ("AT+CPMS?"), then sorts the rows by date. A failed
    // listing keeps the old rows (message 78, unless the link failed); a
    // failed state or count query keeps the old field. False when the
    // listing failed.
    bool readMessages();

    // Deletes the messages of the given rows (positions in the current row
    // order) with "AT+CMGD=<index>", one command each. A row goes only when
    // the phone confirms; a refusal keeps it and shows message 50. The used
    // count then shows the number of rows.
    DeleteReport deleteRows(std::vector<std::size_t> rows);

    // "AT+CSCA?" into the model's service centre (empty when it fails).
    bool readServiceCentre();

    // The recipient the reply and forward dialogs send to: message 29 and
    // nothing for an empty text, else resolveRecipient() in the name directory.
    std::optional<std::string> recipientFor(std::string_view typed);

    // Cuts the text into parts (160 characters, 140 with 8-bit) and sends
    // each as a SUBMIT PDU: "AT+CMGS=<length>", then the PDU and Ctrl-Z
    // after the prompt. A failure asks message 34 (Retry/Cancel); Cancel asks
    // message 75 and Yes stores the part unsent (the row then shows the
    // recipient and the whole text). An empty text does nothing. A
    // recipient that is not a phone number is refused before any traffic
    // (message 106; message 115 for more digits than an address holds).
    SendReport send(const Outgoing& message, SendKind kind = SendKind::Dialog);

    // Stores a predefined text as an unsent message without recipient
    // (fixed service-centre and destination fields); each stored part adds
    // a row showing the text. Message 61 when the phone refuses.
    SendReport storePredefined(std::string_view text);

    // The storing routine: "AT+CMGW=<length>,2" and the PDU. On success with
    // "+CMGW: <index>" in the reply, `row` gets that index and is added at
    // the end of the list, and the used count shows the number of rows.
    // Message 61 when either step fails (not after a link failure).
    std::optional<int> store(const std::string& pdu, MessageRow row);

  private:
    enum class PartOutcome { Sent, Cancelled, Dropped, LinkFailed };
    PartOutcome sendPart(const std::string& pdu, int part, int parts, SendKind kind);
    bool linkFailed() const { return engine_.failure() != AtEngine::Failure::None; }

    AtEngine& engine_;
    Reporter& reporter_;
    const Settings& settings_;
    SmsModel& model_;
};

}  // namespace vondrix::sms
