#pragma once

// The organizer entry as the phone stores it: a vCalendar 1.0 object (one
// VEVENT in one VCALENDAR), composed byte for byte for writing, and read
// back by a few property rules that also cope with objects written by other
// phones and programs.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "organizer/Organizer.h"

namespace vondrix::organizer {

// Objects travel to the phone in segments of this many bytes.
constexpr std::size_t kSegmentBytes = 100;

// The value of property `name` (e.g. "DTSTART:", colon included): from
// after the name to the end of its line (CR or LF). The name counts only at
// the start of a line, so a name inside another property's value, or at the
// end of a longer name ("X-DALARM:"), is not that property; and lines inside
// a time zone or alarm block (BEGIN:VTIMEZONE, BEGIN:VALARM of other
// programs) are not the entry's own. The first such line wins; nothing when
// there is none.
std::optional<std::string_view> propertyValue(std::string_view object, std::string_view name);

// The row the list shows for `object` in `slot`:
// - "DALARM:" present: alarm ("AALARM:" alone gives none);
// - "RRULE:": its first letter D, W, M or Y gives recurrence 1 to 4, any
//   other none;
// - "DTSTART:": eight digits YYYYMMDD give the date "YYYY/MM/DD", four
//   digits after the value's first "T" the time "HH:MM"; seconds and a
//   trailing "Z" are ignored, no time zone is applied; a value of any other
//   shape leaves the column empty;
// - "CATEGORIES:": the first of ANNIVERSARY, MEETING, MISCELLANEOUS, PHONE
//   CALL (in this order) found anywhere in the value; none of them gives 0;
// - "DESCRIPTION:": the value unchanged.
// An absent property leaves its column empty. The row is held whenever the
// object is not empty, whether or not it has a date.
Row rowFromObject(int slot, std::string_view object);

// The description as it is written: control characters (which would end
// the object's line) become blanks, then it is cut to kMaxDescription.
std::string writtenDescription(std::string_view description);

// True when a phone-call entry's description is a number: it begins with
// "+" or a decimal digit (an empty one is not).
bool beginsWithNumber(std::string_view description);

// The object for `fields` (description as writtenDescription gives it),
// every line ended by CR LF:
//   BEGIN:VCALENDAR, VERSION:1.0, BEGIN:VEVENT, CATEGORIES:<name>,
//   [RRULE:<rule>], DTSTART:<YYYYMMDDTHHMM00>, [DALARM:<same>],
//   [AALARM:<same>], DESCRIPTION:<text>, END:VEVENT, END:VCALENDAR.
std::string composeObject(const EntryFields& fields);

// `object` cut into pieces of kSegmentBytes (the last may be shorter).
std::vector<std::string_view> segmentsOf(std::string_view object);

}  // namespace vondrix::organizer
