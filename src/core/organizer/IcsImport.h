#pragma once

// Import of iCalendar files (RFC 5545) as calendar programs write them into
// the organizer's free slots: each VEVENT becomes one entry.

#include <cstdint>
#include <ctime>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "organizer/Organizer.h"
#include "organizer/OrganizerService.h"

namespace vondrix::organizer {

constexpr std::size_t kMaxIcsFile = 4 * 1024 * 1024;

// The local time of a moment given in seconds since 1970 (UTC); the
// program's default is the system's time zone (localCalendar).
using LocalTimeOf = std::function<std::tm(std::int64_t utcSeconds)>;
std::tm systemLocalTime(std::int64_t utcSeconds);

struct IcsPlan {
    std::vector<EntryFields> entries;
    // One UTF-8 line per thing the user should know: times that could not
    // be converted, rules the phone cannot repeat, texts cut or changed,
    // events skipped.
    std::vector<std::string> notes;
    int events = 0;   // VEVENTs found
    int skipped = 0;  // events without a usable start
};

// The entries for every VEVENT of `text`:
// - DTSTART: a date-time in UTC ("Z") or with a TZID whose VTIMEZONE has
//   one fixed offset (or a UTC/GMT name) is converted to local time by
//   `localTime`; a floating time is taken as it is; a TZID with changing
//   offsets is taken as written and noted. A date alone starts at 00:00.
// - RRULE FREQ=DAILY, WEEKLY, MONTHLY, YEARLY give the four recurrences
//   (INTERVAL other than 1: one-time, noted; COUNT, UNTIL and BY parts the
//   phone cannot keep are noted); other frequencies are one-time, noted.
// - a VALARM sets the alarm (the phone rings at the start).
// - SUMMARY, else DESCRIPTION, in the PC character set ("?" for what it
//   lacks), cut to 16 characters with a note.
// - CATEGORIES: ANNIVERSARY or BIRTHDAY anniversary, MEETING meeting,
//   PHONE CALL with a number as text a phone call; anything else
//   miscellaneous.
// Events without a DTSTART, with a day that does not exist, or that change
// one occurrence of another (RECURRENCE-ID) are skipped with a note.
IcsPlan planIcsImport(std::string_view text, const LocalTimeOf& localTime);

struct IcsImportResult {
    enum class End {
        Completed,
        FileError,   // message 36, 104 or 158
        NoEvents,    // message 157
        NoFreeSlot,  // the free slots ran out: the rest is in `unwritten`
        LinkFailed,
    };
    End end = End::Completed;
    IcsPlan plan;
    int written = 0;
    int refused = 0;                     // the phone refused a segment (message 33)
    std::vector<EntryFields> unwritten;  // for want of a free slot (dry run: would be)
};

// Reads the file (regular, at most kMaxIcsFile bytes), plans it and, unless
// `dryRun`, writes each entry into the first free slot of the list (which
// the organizer has read).
IcsImportResult importIcs(OrganizerService& service, const std::string& path, bool dryRun,
                          const LocalTimeOf& localTime = systemLocalTime);

}  // namespace vondrix::organizer
