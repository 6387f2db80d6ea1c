#pragma once

// The three dialogs that compose a message, the same for the desktop
// program and the command line: the send dialog (to one phonebook or
// Redbook entry, to every selected phonebook entry, to every member of a
// group), the reply dialog (a new message or a reply to a listed row) and
// the forward dialog (the text of a listed row to a new recipient).
//
// What the dialog shows when it opens, its counters and the "#k#" marker
// while the text is typed, and what OK sends live here; the window only
// shows the fields and hands them back.

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "foundation/Reporter.h"
#include "session/Session.h"
#include "sms/Group.h"
#include "sms/SmsService.h"

namespace vondrix {

enum class SendDialogKind {
    Send,     // dialog 107, from the phonebook window and the groups dialog
    Reply,    // dialog 122: a new message, or a reply to a listed row
    Forward,  // dialog 122 with the text of a listed row, not editable
};

// Whom the send dialog sends to.
enum class SendMode {
    One = 0,        // the entry it was opened for
    Multicast = 1,  // every selected entry of the phonebook list
    Group = 2,      // every member of the group
};

// Which table the send dialog's entry comes from in SendMode::One.
enum class RecipientSource { Phonebook = 0, Redbook = 1 };

// The fields of a dialog.
struct SendForm {
    std::string text;
    std::string recipient;  // the number field, or the reply dialog's combo box text
    std::string name;       // the send dialog's name field
    sms::SubmitOptions options;
};

struct SendOutcome {
    bool closes = false;                   // false: the dialog stays open (message 29)
    std::vector<sms::SendReport> reports;  // one per recipient sent to
    std::vector<std::string> numbers;      // the number of each, as the reports

    // Every part of every send went out.
    bool allSent() const;
};

class SendDialogSession {
  public:
    static constexpr int kMinDays = 1;
    static constexpr int kMaxDays = 4;
    // The forward dialog takes this much of the row's text and number.
    static constexpr std::size_t kForwardTextMax = 259;
    static constexpr std::size_t kForwardNumberMax = 49;

    SendDialogSession(Session& session, Reporter& reporter);

    // --- Opening, one of -------------------------------------------------
    // Send dialog from the phonebook window, one recipient: the entry at
    // `location` (the phonebook list's column 0, or the Redbook position).
    void openForEntry(RecipientSource source, int location);
    // Send dialog from the phonebook window: every entry whose location is
    // one of `locations` (the selected rows) gets the text.
    void openMulticast(std::vector<int> locations);
    // Send dialog from the groups dialog: every member gets the text.
    void openForGroup(std::vector<sms::GroupMember> members);
    // Reply dialog: reads the service centre; `row` of the message list
    // gives the recipient (nothing: a new message).
    void openReply(std::optional<std::size_t> row);
    // Forward dialog: reads the service centre; the text and the recipient
    // come from `row` of the message list.
    void openForward(std::size_t row);

    SendDialogKind kind() const { return kind_; }
    SendMode mode() const { return mode_; }
    // The fields as the dialog opens.
    const SendForm& initial() const { return initial_; }
    // The reply dialog's combo box list: the names of the name directory.
    std::vector<std::string> names() const;
    // The forward dialog's text and 8-bit box cannot be changed; the send
    // dialog's name and number fields only in SendMode::One.
    bool textEditable() const { return kind_ != SendDialogKind::Forward; }
    bool eightBitEditable() const { return kind_ != SendDialogKind::Forward; }
    bool recipientEditable() const {
        return kind_ != SendDialogKind::Send || mode_ == SendMode::One;
    }

    // --- While typing -----------------------------------------------------
    // The counters: typed, left in the last part, parts. The text form
    // counts as it is sent (an extension character of 7-bit text is two).
    static sms::PartCounters counters(std::size_t length, bool eightBit);
    static sms::PartCounters counters(std::string_view pcText, bool eightBit);
    // The text after the "#k#" marker rule, when a marker inserted a text.
    std::optional<std::string> insertPredefined(const std::string& text) const;

    // --- OK -------------------------------------------------------------
    // Sends the form's text. The reply and forward dialogs look a typed
    // name up in the name directory; an empty recipient shows message 29
    // and the dialog stays open. In the send dialog's modes 1 and 2,
    // `onRecipient` is told each name and number before its send, as the
    // dialog shows them.
    SendOutcome accept(const SendForm& form,
                       const std::function<void(const std::string& name,
                                                const std::string& number)>& onRecipient = {});

    sms::SmsService& service() { return service_; }

  private:
    sms::SendReport sendTo(const std::string& number, const SendForm& form);

    Session& session_;
    sms::SmsService service_;
    SendDialogKind kind_ = SendDialogKind::Send;
    SendMode mode_ = SendMode::One;
    SendForm initial_;
    std::vector<int> locations_;
    std::vector<sms::GroupMember> members_;
};

}  // namespace vondrix
