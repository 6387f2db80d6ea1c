#pragma once

// Exports of the organizer list: a semicolon-separated file and an XML file
// of the rows that have a date, in the list's current order, and an
// iCalendar 2.0 file for today's calendar programs. The CSV and XML files
// keep the PC character set (ISO 8859-1) and end every line in CR LF.
// Opening the file afterwards is the caller's business.

#include <ctime>
#include <string>
#include <string_view>

#include "foundation/Reporter.h"
#include "organizer/Organizer.h"

namespace vondrix::organizer {

constexpr const char* kCsvExportName = "VondrixORGA.csv";
constexpr const char* kXmlExportName = "VondrixORGA.xml";
constexpr const char* kIcalendarExportName = "VondrixORGA.ics";

// The six exported fields of a row.
struct ExportedEntry {
    std::string date;      // the Date column, at most 29 characters
    std::string time;      // the Time column, at most 9 characters
    std::string alarm;     // "1" or "0"
    std::string category;  // "0".."3"; a row without a category gives "0"
    std::string text;      // the description, at most 29 characters, "," ";" and
                           // control characters as blanks
    std::string rrule;     // "0".."4"
};
ExportedEntry exportedEntry(const Row& row);

// "DATE;TIME;ALARM;CATEGORY;TEXT;RRULE", then one line per row with a date.
std::string csvText(const OrganizerList& list);
// The declaration, <ORGANIZER>, one <ENTRY> block per row with a date,
// </ORGANIZER>; "&" and "<" in TEXT as entity references.
std::string xmlText(const OrganizerList& list);

// The CSV text is added at the end of an existing file (two exports leave
// two header lines); the XML file is written anew, so it always holds one
// document. Message 25 when the file cannot be written.
bool exportCsv(const OrganizerList& list, const std::string& path, Reporter& reporter);
bool exportXml(const OrganizerList& list, const std::string& path, Reporter& reporter);

// An iCalendar 2.0 (RFC 5545) calendar of the rows with a date: one VEVENT
// each with a UID of its own, DTSTAMP `stampUtc`, DTSTART in floating local
// time (the phone knows no time zone), RRULE FREQ=DAILY/WEEKLY/MONTHLY/YEARLY,
// CATEGORIES, SUMMARY (the description) and, for an alarm, a display VALARM
// at the start. UTF-8, CR LF lines folded at 75 octets.
std::string icalendarText(const OrganizerList& list, const std::tm& stampUtc);
// Written anew; message 25 when the file cannot be written.
bool exportIcalendar(const OrganizerList& list, const std::string& path, const std::tm& stampUtc,
                     Reporter& reporter);

}  // namespace vondrix::organizer
