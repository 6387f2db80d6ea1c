#pragma once

// The message list's life, the same for the desktop program and the
// command line: its opening (the name directory from the local phonebook
// file, then the reading), refreshing, sorting, deleting, the view of a
// row, the exports, the hand-over of a number to the phonebook, and the
// closing with its column widths.

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "foundation/Reporter.h"
#include "phonebook/LocalFile.h"
#include "session/Session.h"
#include "sms/SmsService.h"

namespace vondrix {

// The local phonebook file as the message windows' name directory (into
// session.sms.names). Returns how many records it holds.
std::size_t loadSmsNames(Session& session, const std::string& localFile);

// What the view dialog shows for a row.
struct MessageView {
    std::string text;               // the text, or the whole message (see whole)
    std::string sender;             // the name, or the number when there is no name
    std::string date;               // empty for a stored message
    std::optional<msg::Id> status;  // 42 … 45; nothing for an unknown status
    // Set when the row is one part of a concatenated message whose other
    // parts are in the list: `text` then holds the whole message.
    std::optional<sms::WholeMessage> whole;
};

class MessageListSession {
  public:
    static constexpr int kColumns = 6;
    static constexpr std::array<int, kColumns> kDefaultWidths{25, 35, 120, 100, 100, 350};

    MessageListSession(Session& session, Reporter& reporter,
                       std::string localFile = phonebook::kLocalFileName);

    // The opening: the name directory, then the reading (the memory state
    // "AT^SMGO?", the messages "AT+CMGL=4", the counts "AT+CPMS?"), sorted
    // by date. False when the listing failed.
    bool open();
    // The refresh button: the reading alone.
    bool refresh();

    sms::MessageList& list() { return session_.sms.list; }
    const std::vector<sms::MessageRow>& rows() const { return session_.sms.list.rows; }
    sms::SmsService& service() { return service_; }
    Session& session() { return session_; }

    // The column headers by language and the widths (SCol, 0: the default).
    std::array<std::string, kColumns> headers() const;
    // The column widths: the stored ones, else the defaults, widened to
    // `fitting` (what a column's contents need, 0 for no wish): the defaults
    // were made for a narrower dialog font.
    std::array<int, kColumns> columnWidths(const std::array<int, kColumns>& fitting = {}) const;
    // Field 1204: the memory state as text (empty while unknown).
    std::string memoryStateText() const;

    // A click on a column header: the rows in that column's order.
    void sortBy(int column);
    // The delete button: the rows at these positions of the current order.
    sms::DeleteReport deleteRows(const std::vector<std::size_t>& rows);

    // The view dialog's fields for row `row` (nothing for no such row).
    std::optional<MessageView> view(std::size_t row) const;

    // The number of row `row` for a new phonebook entry: message 74 and
    // nothing while no phonebook has been read this run; nothing for an
    // empty number.
    std::optional<std::string> numberForPhonebook(std::size_t row);

    // The exports of all rows in the current order; message 25 when the
    // file cannot be written.
    bool exportCsv(const std::string& path);
    bool exportXml(const std::string& path);

    // The closing: the column widths as SCol0 … SCol5.
    bool close(const std::vector<int>& widths);

  private:
    Session& session_;
    Reporter& reporter_;
    std::string localFile_;
    sms::SmsService service_;
};

}  // namespace vondrix
