#include "session/OrganizerWindowSession.h"

#include <array>

#include "foundation/CalendarTime.h"
#include "organizer/Export.h"

namespace vondrix {

using organizer::EntryFields;
using organizer::OrganizerService;

std::vector<int> organizerColumnWidths(const Settings& settings) {
    static constexpr std::array<int, organizer::kColumns> kDefaults = {30, 50,  30, 80,
                                                                       50, 120, 160};
    std::vector<int> widths(kDefaults.begin(), kDefaults.end());
    for (std::size_t c = 0; c < widths.size(); ++c)
        if (settings.oCol[c] != 0)
            widths[c] = settings.oCol[c];
    return widths;
}

OrganizerWindowSession::OrganizerWindowSession(Session& session, Reporter& reporter)
    : session_(session),
      reporter_(reporter),
      list_(session.language),
      service_(session.engine, reporter, session.settings, list_) {}

bool OrganizerWindowSession::open() {
    return service_.readAll();
}

organizer::EditForm OrganizerWindowSession::editForm(int slot) const {
    if (const organizer::Row* shown = list_.find(slot))
        return organizer::editForm(*shown);
    organizer::EditForm empty;
    empty.slot = slot;
    return empty;
}

OrganizerService::WriteOutcome OrganizerWindowSession::enterNew(const EntryFields& fields) {
    return service_.writeNew(fields);
}

OrganizerService::WriteOutcome OrganizerWindowSession::edit(int slot, const EntryFields& fields) {
    return service_.writeSlot(slot, fields);
}

bool OrganizerWindowSession::deleteSlot(int slot) {
    return service_.deleteSlot(slot);
}

bool OrganizerWindowSession::confirmDelete(int slot) {
    return service_.confirmDelete(slot);
}

bool OrganizerWindowSession::confirmClear() {
    return service_.confirmClear();
}

bool OrganizerWindowSession::warnDescriptionLength(std::string_view description) {
    return service_.warnDescriptionLength(description);
}

bool OrganizerWindowSession::exportCsv(const std::string& path) {
    return organizer::exportCsv(list_, path, reporter_);
}

bool OrganizerWindowSession::exportXml(const std::string& path) {
    return organizer::exportXml(list_, path, reporter_);
}

bool OrganizerWindowSession::exportIcalendar(const std::string& path, std::time_t now) {
    return organizer::exportIcalendar(list_, path, utcCalendar(now), reporter_);
}

organizer::IcsImportResult OrganizerWindowSession::importIcalendar(const std::string& path,
                                                                   bool dryRun) {
    return organizer::importIcs(service_, path, dryRun);
}

organizer::ImportResult OrganizerWindowSession::importCsv(const std::string& path,
                                                          EntryFields& form) {
    return organizer::importCsv(service_, path, session_.shortDateFormat, form);
}

bool OrganizerWindowSession::close(const std::vector<int>& columnWidths) {
    Settings& s = session_.settings;
    s.setColumns(Settings::Columns::O, columnWidths);
    return s.writeColumns(session_.ini, Settings::Columns::O);
}

}  // namespace vondrix
