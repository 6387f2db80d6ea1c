#pragma once

// CSV import into the organizer: each line "DATE;TIME;ALARM;CATEGORY;TEXT[;RRULE]"
// (commas accepted in place of semicolons) fills the input fields of a new
// entry, which is then written to the first free slot like an entry typed
// in. Dates are read in the system's short date format.

#include <string>
#include <string_view>

#include "organizer/Organizer.h"
#include "organizer/OrganizerService.h"

namespace vondrix::organizer {

// How the system's short date format (Windows picture syntax, e.g.
// "dd.MM.yyyy" or "M/d/yyyy") writes a date.
struct DateFormat {
    enum class Order { DayMonthYear, MonthDayYear, YearMonthDay };
    // The first character that is none of D, M, Y, d, m, y; 0 when the
    // format has none (then no date can be read).
    char separator = 0;
    // The run of "y"/"Y" starting at the first one; 2 gives the two-digit
    // year rule.
    int yearDigits = 0;
    // Day-month-year when the format begins with a day letter and its second
    // and third fields are a month and a year; month-day-year when it begins
    // with a month, then a day and a year; year-month-day otherwise.
    Order order = Order::YearMonthDay;
};
DateFormat deriveDateFormat(std::string_view shortDateFormat);

// The date of a DATE field: up to three numbers split at the separator in
// the format's order (a missing part stays 0; no separator gives all 0).
// With a two-digit year format a year below 100 is 2000 + year when below
// 30, else 1900 + year (15 is 2015, 87 is 1987).
Date parseImportDate(std::string_view field, const DateFormat& format);
// The leading decimal digits are the hour; one non-digit after them is
// skipped; the digits after it are the minute.
TimeOfDay parseImportTime(std::string_view field);

// True when `line` holds "DATE;TIME;ALARM;CATEGORY;TEXT" or
// "DATE,TIME,ALARM,CATEGORY,TEXT" (with or without ";RRULE"/",RRULE"),
// letter case as written.
bool isImportHeader(std::string_view line);

// Applies one data line (without its line end) to `form`, field by field, as
// the import sets the input controls: DATE and TIME set the date and time
// when they name a real day and time (otherwise those keep their previous
// values), ALARM is on for 1, CATEGORY outside 0..3 and RRULE outside 0..4
// become 0, TEXT is cut to 29 characters. Each field ends at the first ";"
// of the rest of the line or, when the rest holds none, at its first ",".
// As soon as a field's end cannot be found the rest of the line is dropped
// (fields already applied stay applied) and false is returned; true when
// the line reached its TEXT, i.e. an entry is to be written.
bool applyImportLine(std::string_view line, const DateFormat& format, EntryFields& form);

struct ImportResult {
    enum class End {
        Completed,   // every line was dealt with
        FileError,   // message 25: the file could not be opened
        BadHeader,   // message 37: an empty file or a first line without a header
        LinkFailed,  // the link failed: the rest of the file was not written
    };
    End end = End::Completed;
    int written = 0;     // entries stored on the phone
    int notWritten = 0;  // lines whose entry was refused (messages 31, 32, 33, 106)
    int dropped = 0;     // lines that ended before their TEXT field
};

// Imports the file at `path`: checks the header, derives the date format
// from `shortDateFormat` (the system's, kept at start-up), then applies
// every further line to `form` and writes each complete one as a new entry
// through `service` (messages 31, 32 and 33 come from there; the import
// goes on after each). `form` starts as the window's input controls show
// them and ends showing the last imported line.
ImportResult importCsv(OrganizerService& service, const std::string& path,
                       std::string_view shortDateFormat, EntryFields& form);

}  // namespace vondrix::organizer
