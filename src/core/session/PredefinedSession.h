#pragma once

// The predefined-messages dialog's life, the same for the desktop program
// and the command line: the 50 rows, editing, clearing, saving into the
// settings file, storing a row's text in the phone as an unsent message,
// and the closing with its column widths.

#include <array>
#include <string>
#include <vector>

#include "foundation/Reporter.h"
#include "session/Session.h"
#include "sms/Predefined.h"
#include "sms/SmsService.h"

namespace vondrix {

class PredefinedSession {
  public:
    static constexpr int kColumns = 2;
    static constexpr std::array<int, kColumns> kDefaultWidths{200, 30};

    PredefinedSession(Session& session, Reporter& reporter);

    sms::PredefinedList& list() { return list_; }
    const sms::PredefinedList& list() const { return list_; }

    // Column 0 the text, column 1 its number; widths from PCol (0: default).
    std::array<std::string, kColumns> headers() const;
    // The column widths: the stored ones, else the defaults, widened to
    // `fitting` (what a column's contents need, 0 for no wish): the defaults
    // were made for a narrower dialog font.
    std::array<int, kColumns> columnWidths(const std::array<int, kColumns>& fitting = {}) const;

    // The save button: every non-empty row into its "Ptxt" key.
    bool save();
    // The store command on row k: its text (as shown, saved or not) stored
    // in the phone as an unsent message without recipient; each stored part
    // adds a row to the message list. Nothing for an empty row.
    sms::SendReport store(int k);

    // The closing: the column widths as PCol0 and PCol1.
    bool close(const std::vector<int>& widths);

  private:
    Session& session_;
    sms::SmsService service_;
    sms::PredefinedList list_;
};

}  // namespace vondrix
