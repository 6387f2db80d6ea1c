#pragma once

// The message-groups dialog's life, the same for the desktop program and
// the command line: the source list from the name directory the message
// list loaded, the group with its file, the send dialog in group mode, and
// the closing with its column widths. The group itself is not kept.

#include <array>
#include <cstddef>
#include <string>
#include <vector>

#include "foundation/Reporter.h"
#include "session/SendDialogSession.h"
#include "session/Session.h"
#include "sms/Group.h"
#include "sms/SmsService.h"

namespace vondrix {

class GroupSession {
  public:
    static constexpr int kColumns = 2;
    static constexpr std::array<int, kColumns> kDefaultWidths{60, 70};

    GroupSession(Session& session, Reporter& reporter);

    // The opening: reads the service centre the group's messages carry.
    void open();

    // Both lists' headers (name, number) and the source list's widths (GCol).
    std::array<std::string, kColumns> headers() const;
    // The column widths: the stored ones, else the defaults, widened to
    // `fitting` (what a column's contents need, 0 for no wish): the defaults
    // were made for a narrower dialog font.
    std::array<int, kColumns> columnWidths(const std::array<int, kColumns>& fitting = {}) const;

    // The source list: the name directory, sorted by name (column 0) or
    // number (column 1).
    std::vector<sms::NameRecord> source(int column = 0) const;

    sms::Group& group() { return group_; }

    // The send command: a send dialog in group mode for the current
    // members (nothing to open without members).
    std::optional<SendDialogSession> sendDialog();

    // The closing: the source list's column widths as GCol0 and GCol1.
    bool close(const std::vector<int>& widths);

  private:
    Session& session_;
    Reporter& reporter_;
    sms::SmsService service_;
    sms::Group group_;
};

}  // namespace vondrix
