// The iCalendar 2.0 export (RFC 5545), so that the phone's entries open in
// today's calendar programs.

#include <cstdio>

#include "organizer/Export.h"
#include "organizer/Names.h"
#include "text/Latin1.h"

namespace vondrix::organizer {
namespace {

constexpr std::string_view kLineEnd = "\r\n";
// Octets of one physical line, without its CR LF (RFC 5545 3.1).
constexpr std::size_t kFoldAt = 75;

bool isUtf8Continuation(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// One content line, folded: every physical line holds at most 75 octets
// (a continuation's leading blank included), never splitting a UTF-8
// character.
void addLine(std::string& out, std::string_view line) {
    std::size_t room = kFoldAt;
    while (line.size() > room) {
        std::size_t split = room;
        while (split > 1 && isUtf8Continuation(line[split]))
            --split;
        out += line.substr(0, split);
        out += kLineEnd;
        out += ' ';
        line.remove_prefix(split);
        room = kFoldAt - 1;
    }
    out += line;
    out += kLineEnd;
}

// A TEXT value: backslash, ";" and "," escaped; control characters (which
// TEXT does not allow) as blanks; UTF-8.
std::string textValue(std::string_view latin1) {
    std::string escaped;
    for (const char c : latin1) {
        if (c == '\\' || c == ';' || c == ',') {
            escaped += '\\';
            escaped += c;
        } else if (static_cast<unsigned char>(c) < 0x20 || c == '\x7f') {
            escaped += ' ';
        } else {
            escaped += c;
        }
    }
    return latin1ToUtf8(escaped);
}

std::string_view frequency(int recurrence) {
    switch (recurrence) {
        case 1:
            return "DAILY";
        case 2:
            return "WEEKLY";
        case 3:
            return "MONTHLY";
        case 4:
            return "YEARLY";
        default:
            return {};
    }
}

// "YYYY/MM/DD" and "HH:MM" as the row shows them, as a DATE-TIME in
// floating time, or a DATE when the row has no time.
struct Start {
    std::string value;
    bool dateOnly = false;
};
Start startOf(const Row& row) {
    Start start;
    start.value = row.date.substr(0, 4) + row.date.substr(5, 2) + row.date.substr(8, 2);
    if (row.time.size() == 5)
        start.value += "T" + row.time.substr(0, 2) + row.time.substr(3, 2) + "00";
    else
        start.dateOnly = true;
    return start;
}

void addEvent(std::string& out, const Row& row, const std::string& stamp) {
    const Start start = startOf(row);
    const std::string summary = textValue(row.description);
    addLine(out, "BEGIN:VEVENT");
    // The slot and the start name the entry; the same entry exported again
    // gets the same UID, so a calendar program updates it instead of adding it twice.
    addLine(out, "UID:vondrix-organizer-slot" + std::to_string(row.slot) + "-" + start.value);
    addLine(out, "DTSTAMP:" + stamp);
    addLine(out, (start.dateOnly ? "DTSTART;VALUE=DATE:" : "DTSTART:") + start.value);
    if (const std::string_view freq = frequency(row.recurrence); !freq.empty())
        addLine(out, "RRULE:FREQ=" + std::string(freq));
    if (row.category)
        addLine(out, "CATEGORIES:" + textValue(categoryObjectName(*row.category)));
    addLine(out, "SUMMARY:" + summary);
    if (row.alarm) {
        addLine(out, "BEGIN:VALARM");
        addLine(out, "ACTION:DISPLAY");
        addLine(out, "DESCRIPTION:" + (summary.empty() ? std::string("Reminder") : summary));
        addLine(out, "TRIGGER;RELATED=START:PT0S");
        addLine(out, "END:VALARM");
    }
    addLine(out, "END:VEVENT");
}

}  // namespace

std::string icalendarText(const OrganizerList& list, const std::tm& stampUtc) {
    char stamp[96];  // room for six ints of any value
    std::snprintf(stamp, sizeof stamp, "%04ld%02d%02dT%02d%02d%02dZ",
                  static_cast<long>(stampUtc.tm_year) + 1900, stampUtc.tm_mon + 1, stampUtc.tm_mday,
                  stampUtc.tm_hour, stampUtc.tm_min, stampUtc.tm_sec);
    std::string out;
    addLine(out, "BEGIN:VCALENDAR");
    addLine(out, "VERSION:2.0");
    addLine(out, "PRODID:-//Vondrix//Organizer//EN");
    addLine(out, "CALSCALE:GREGORIAN");
    for (const Row& row : list.rows())
        if (row.date.size() == 10)
            addEvent(out, row, stamp);
    addLine(out, "END:VCALENDAR");
    return out;
}

}  // namespace vondrix::organizer
