#include "organizer/RawObjects.h"

#include "link/Command.h"
#include "link/LinkOperation.h"
#include "organizer/Organizer.h"
#include "organizer/OrganizerService.h"
#include "organizer/Replies.h"
#include "organizer/VCalendar.h"
#include "text/Hex.h"

namespace vondrix::organizer {

std::optional<std::vector<RawSlot>> readRawSlots(AtEngine& engine, Reporter& reporter) {
    LinkOperation operation(engine, reporter);
    std::vector<RawSlot> slots;
    reporter.progressBegin(Reporter::Display::Reading, kSlots, Reporter::Task::ReadingOrganizer);
    for (int slot = 1; slot <= kSlots; ++slot) {
        if (const AtEngine::Result sbnr =
                engine.standard(at::Command("AT^SBNR=").word("vcs").number(slot).text())) {
            SlotRead read = parseSbnrSlot(sbnr.raw, slot);
            // A backup that quietly left out a slot it could not read would
            // look complete: the reading fails as unreadable instead.
            if (read.state == SlotRead::State::Unreadable)
                engine.setFailure(AtEngine::Failure::Unreadable);
            else if (read.state == SlotRead::State::Held)
                slots.push_back({slot, std::move(read.object)});
        }
        if (operation.failed())
            break;
        reporter.progressStep(slot);
        reporter.pump();
    }
    reporter.progressEnd();
    if (operation.failed())
        return std::nullopt;
    return slots;
}

bool writeRawSlot(AtEngine& engine, const RawSlot& slot) {
    if (slot.object.empty() || slot.object.size() > kMaxRawObject || slot.slot < 1 ||
        slot.slot > kSlots)
        return false;
    engine.standard("AT^SBNW=vcs,0");
    const auto segments = segmentsOf(slot.object);
    const auto count = static_cast<long long>(segments.size());
    for (long long s = 1; s <= count; ++s) {
        const at::Command command =
            at::Command("AT^SBNW=").word("vcs").number(slot.slot).number(s).number(count);
        if (engine.prompt(command.text()).status != AtEngine::Status::Prompt)
            return false;
        const at::Command data = at::Command("").hex(
            hexText(segments[static_cast<std::size_t>(s - 1)]), 2 * kSegmentBytes);
        if (!data.valid() || !engine.prompt(data.text() + '\x1a', true))
            return false;
    }
    return true;
}

bool deleteRawSlot(AtEngine& engine, int slot) {
    return engine.standard(at::Command("AT^SBNW=").word("vcs").number(slot).number(0).text()).ok();
}

}  // namespace vondrix::organizer
