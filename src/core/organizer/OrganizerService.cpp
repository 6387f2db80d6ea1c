// Reading, writing and deleting the phone's organizer slots.

#include "organizer/OrganizerService.h"

#include "link/Command.h"
#include "link/LinkOperation.h"
#include "organizer/Replies.h"
#include "organizer/VCalendar.h"
#include "text/Hex.h"

namespace vondrix::organizer {
namespace {

constexpr std::string_view kObjectType = "vcs";

std::string readCommand(int slot) {
    return at::Command("AT^SBNR=").word(kObjectType).number(slot).text();
}

bool isSlot(int slot) {
    return slot >= 1 && slot <= kSlots;
}

bool fieldsInRange(const EntryFields& f) {
    return f.recurrence >= 0 && f.recurrence < kRecurrences && f.category >= 0 &&
           f.category < kCategories && isValidDate(f.date) && isValidTime(f.time);
}

// The row for a read reply: the decoded object, a free row without one, or
// an unreadable row (held: never offered for a new entry).
Row rowOfReply(int slot, std::string_view response) {
    const SlotRead read = parseSbnrSlot(response, slot);
    switch (read.state) {
        case SlotRead::State::Held:
            return rowFromObject(slot, read.object);
        case SlotRead::State::Unreadable:
            return Row::unreadableSlot(slot);
        case SlotRead::State::Free:
            break;
    }
    return Row::freeSlot(slot);
}

// Later Siemens phones answer an empty slot with "+CME ERROR: 100".
bool answersEmpty(const at::Reply& reply) {
    return reply.final.kind == at::Final::CmeError && reply.final.code == 100;
}

}  // namespace

bool OrganizerService::readAll() {
    LinkOperation operation(engine_, reporter_);
    reporter_.progressBegin(Reporter::Display::Reading, 100, Reporter::Task::ReadingOrganizer);
    std::vector<Row> rows;
    int shown = 0;
    bool cancelled = false;
    for (int slot = 1; slot <= kSlots; ++slot) {
        const AtEngine::Result read = engine_.standard(readCommand(slot));
        if (read)
            rows.push_back(rowOfReply(slot, read.raw));
        else if (answersEmpty(read.reply))
            rows.push_back(Row::freeSlot(slot));
        else if (linkFailed())
            break;  // no answer: the remaining slots are not asked for
        const int percent = 100 * slot / kSlots;
        if (percent != shown) {
            shown = percent;
            reporter_.progressStep(percent);
        }
        if (reporter_.cancelled()) {
            cancelled = true;  // after this slot; nothing read is kept
            break;
        }
    }
    reporter_.progressEnd();
    if (cancelled)
        reporter_.message(msg::ReadingCancelled, Caption::Info);
    if (linkFailed() || cancelled) {
        list_.assign({}, false);
        return false;
    }
    list_.assign(std::move(rows), true);
    return true;
}

OrganizerService::WriteOutcome OrganizerService::writeNew(const EntryFields& fields) {
    return write(0, fields, true);
}

OrganizerService::WriteOutcome OrganizerService::writeSlot(int slot, const EntryFields& fields) {
    return write(slot, fields, false);
}

OrganizerService::WriteOutcome OrganizerService::write(int slot, const EntryFields& fields,
                                                       bool chooseFree) {
    LinkOperation operation(engine_, reporter_);
    if (!fieldsInRange(fields) || (!chooseFree && !isSlot(slot))) {
        reporter_.message(msg::ValueRefused, Caption::Error);
        return {WriteResult::Refused, 0};
    }
    if (fields.category == kPhoneCall && !beginsWithNumber(fields.description)) {
        reporter_.message(msg::EnterNumberInDescription, Caption::Error);
        return {WriteResult::NeedsPhoneNumber, 0};
    }
    EntryFields written = fields;
    written.description = writtenDescription(fields.description);
    if (chooseFree) {
        slot = list_.firstFreeSlot();
        if (slot == 0) {
            reporter_.message(msg::NoFreeEntry, Caption::Error);
            return {WriteResult::NoFreeSlot, 0};
        }
    }
    // Ends an upload the phone may still be waiting for; its answer does
    // not matter.
    engine_.standard("AT^SBNW=vcs,0");
    if (!linkFailed() && sendObject(slot, composeObject(written))) {
        list_.update(rowOf(slot, written));
        return {WriteResult::Written, slot};
    }
    if (linkFailed())
        return {WriteResult::LinkFailed, slot};
    reporter_.message(msg::CalendarEntryNotWritten, Caption::Error);
    showWhatThePhoneHolds(slot);
    return {linkFailed() ? WriteResult::LinkFailed : WriteResult::Rejected, slot};
}

bool OrganizerService::sendObject(int slot, const std::string& object) {
    const auto segments = segmentsOf(object);
    const auto count = static_cast<long long>(segments.size());
    for (long long s = 1; s <= count; ++s) {
        const std::string command =
            at::Command("AT^SBNW=").word(kObjectType).number(slot).number(s).number(count).text();
        // The phone takes the data only after its prompt. Once it refuses a
        // segment it drops the whole upload, so the later segments are not
        // sent: they would only be refused too, or leave a gap in the object.
        if (engine_.prompt(command).status != AtEngine::Status::Prompt)
            return false;
        const std::string data =
            hexText(segments[static_cast<std::size_t>(s - 1)]) + std::string(1, '\x1a');
        if (!engine_.withLateAnswer(engine_.prompt(data, true)))
            return false;
    }
    return true;
}

void OrganizerService::showWhatThePhoneHolds(int slot) {
    const AtEngine::Result read = engine_.standard(readCommand(slot));
    if (read)
        list_.update(rowOfReply(slot, read.raw));
    else if (answersEmpty(read.reply))
        list_.update(Row::freeSlot(slot));
}

bool OrganizerService::deleteSlot(int slot) {
    LinkOperation operation(engine_, reporter_);
    if (!isSlot(slot)) {
        reporter_.message(msg::ValueRefused, Caption::Error);
        return false;
    }
    if (engine_.standard(at::Command("AT^SBNW=").word(kObjectType).number(slot).number(0).text())) {
        if (list_.find(slot) != nullptr)
            list_.update(Row::freeSlot(slot));
        return true;
    }
    if (!linkFailed())
        showWhatThePhoneHolds(slot);
    return false;
}

void OrganizerService::clearAll() {
    LinkOperation operation(engine_, reporter_);
    for (int slot = 1; slot <= kSlots && !linkFailed(); ++slot)
        deleteSlot(slot);
}

bool OrganizerService::confirmDelete(int slot) {
    if (reporter_.message(msg::ReallyDeleteEntry, Caption::Info, Buttons::YesNo) != Answer::Yes)
        return false;
    return slot != 0 && deleteSlot(slot);
}

bool OrganizerService::confirmClear() {
    if (reporter_.message(msg::ReallyClearOrganizer, Caption::Info, Buttons::YesNo) != Answer::Yes)
        return false;
    clearAll();
    return true;
}

bool OrganizerService::warnDescriptionLength(std::string_view description) {
    if (description.size() <= kMaxDescription)
        return false;
    reporter_.message(msg::TextOver16Characters, Caption::Error);
    return true;
}

}  // namespace vondrix::organizer
