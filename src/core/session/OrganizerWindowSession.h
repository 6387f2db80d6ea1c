#pragma once

#include <ctime>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/Reporter.h"
#include "organizer/IcsImport.h"
#include "organizer/Import.h"
#include "organizer/Organizer.h"
#include "organizer/OrganizerService.h"
#include "session/Session.h"

namespace vondrix {

// The organizer list's column widths as the window opens: the stored OCol
// widths, where a width of 0 (or a missing key) means the column's default
// (30, 50, 30, 80, 50, 120, 160 pixels).
std::vector<int> organizerColumnWidths(const Settings& settings);

// The organizer window's life, the same for the desktop program and the
// command line: the opening read of the 30 slots (with the reading progress
// dialog), the window's commands on the list, the exports and the import in
// the system's short date format, and the closing write of the column
// widths. The entries live in this session's list only while the window is
// open; every opening reads them afresh.
class OrganizerWindowSession {
  public:
    OrganizerWindowSession(Session& session, Reporter& reporter);

    // Reads every slot. False when the link failed: the list is then empty
    // (the link message has been shown).
    bool open();

    const organizer::OrganizerList& list() const { return list_; }
    Language language() const { return list_.language(); }
    // The row of `slot`, or nothing when that slot could not be read.
    const organizer::Row* row(int slot) const { return list_.find(slot); }
    // What the edit dialog shows for the row of `slot` (which must exist).
    organizer::EditForm editForm(int slot) const;

    // The enter button: a new entry into the first free row of the list's
    // current order.
    organizer::OrganizerService::WriteOutcome enterNew(const organizer::EntryFields& fields);
    // The edit dialog's OK: the entry into `slot`.
    organizer::OrganizerService::WriteOutcome edit(int slot, const organizer::EntryFields& fields);
    // The delete button: deletes `slot` without a question.
    bool deleteSlot(int slot);
    // The Delete key: asks first; `slot` 0 when no row is selected (then
    // a Yes does nothing).
    bool confirmDelete(int slot);
    // The clear command: asks, then deletes every slot.
    bool confirmClear();
    // Every change of a description field: message 30 when it is too long.
    bool warnDescriptionLength(std::string_view description);
    // A click on a column header.
    void sortBy(int column) { list_.sortBy(column); }

    // The exports of the rows with a date, in the list's current order.
    bool exportCsv(const std::string& path);
    bool exportXml(const std::string& path);
    // `now` is stamped on every event (DTSTAMP, in UTC).
    bool exportIcalendar(const std::string& path, std::time_t now);
    // Imports a CSV file with the dates in the system's short date format
    // kept at start-up. `form` holds what the input controls show and ends
    // showing the last imported line.
    organizer::ImportResult importCsv(const std::string& path, organizer::EntryFields& form);
    // Imports the events of an iCalendar file into free slots; with
    // `dryRun` only plans (organizer/IcsImport.h).
    organizer::IcsImportResult importIcalendar(const std::string& path, bool dryRun);

    // The window closes: the column widths are stored as OCol0..OCol6.
    // False when the settings file could not be written.
    bool close(const std::vector<int>& columnWidths);

  private:
    Session& session_;
    Reporter& reporter_;
    organizer::OrganizerList list_;
    organizer::OrganizerService service_;
};

}  // namespace vondrix
