#include "organizer/IcsImport.h"

#include <map>
#include <optional>

#include "files/Files.h"
#include "foundation/CalendarTime.h"
#include "organizer/VCalendar.h"
#include "text/ContentLines.h"
#include "text/Latin1.h"

namespace vondrix::organizer {
namespace {

// Days since 1970-01-01 of a civil date (proleptic Gregorian).
std::int64_t daysFromCivil(std::int64_t y, int m, int d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

struct Stamp {
    Date date;
    TimeOfDay time;
    bool hasTime = false;
    bool utc = false;
};

std::optional<int> digits(std::string_view text, std::size_t at, std::size_t count) {
    if (at + count > text.size())
        return std::nullopt;
    int v = 0;
    for (std::size_t i = at; i < at + count; ++i) {
        if (text[i] < '0' || text[i] > '9')
            return std::nullopt;
        v = v * 10 + (text[i] - '0');
    }
    return v;
}

std::optional<Stamp> parseStamp(std::string_view value) {
    Stamp s;
    const auto y = digits(value, 0, 4), m = digits(value, 4, 2), d = digits(value, 6, 2);
    if (!y || !m || !d)
        return std::nullopt;
    s.date = {*y, *m, *d};
    if (value.size() == 8)
        return s;
    if (value.size() < 15 || value[8] != 'T')
        return std::nullopt;
    const auto hh = digits(value, 9, 2), mm = digits(value, 11, 2), ss = digits(value, 13, 2);
    if (!hh || !mm || !ss)
        return std::nullopt;
    s.time = {*hh, *mm};
    s.hasTime = true;
    s.utc = value.size() == 16 && value[15] == 'Z';
    if (value.size() > 15 && !s.utc)
        return std::nullopt;
    return s;
}

// "+0100", "-0530" in seconds.
std::optional<int> parseOffset(std::string_view text) {
    if (text.size() != 5 && text.size() != 7)
        return std::nullopt;
    if (text[0] != '+' && text[0] != '-')
        return std::nullopt;
    const auto h = digits(text, 1, 2), m = digits(text, 3, 2);
    const auto s = text.size() == 7 ? digits(text, 5, 2) : std::optional<int>(0);
    if (!h || !m || !s)
        return std::nullopt;
    const int seconds = *h * 3600 + *m * 60 + *s;
    return text[0] == '-' ? -seconds : seconds;
}

// The fixed offset of a TZID without a VTIMEZONE: UTC, GMT, Etc/GMT+n.
std::optional<int> offsetOfName(std::string_view tzid) {
    const std::string name = upperAscii(tzid);
    if (name == "UTC" || name == "GMT" || name == "Z" || name == "ETC/UTC" || name == "ETC/GMT")
        return 0;
    if (name.starts_with("ETC/GMT") && name.size() > 8) {
        // POSIX sign: Etc/GMT+5 is five hours behind UTC.
        const char sign = name[7];
        int hours = 0;
        for (std::size_t i = 8; i < name.size(); ++i) {
            if (name[i] < '0' || name[i] > '9')
                return std::nullopt;
            hours = hours * 10 + (name[i] - '0');
        }
        if (hours > 14 || (sign != '+' && sign != '-'))
            return std::nullopt;
        return (sign == '+' ? -1 : 1) * hours * 3600;
    }
    return std::nullopt;
}

std::string cutNote(const std::string& shown, const std::string& what) {
    return shown + ": " + what;
}

struct Event {
    std::optional<ContentLine> start;
    std::optional<ContentLine> rule;
    std::string summary, description, categories;
    bool alarm = false;
    bool recurrenceId = false;
};

}  // namespace

std::tm systemLocalTime(std::int64_t utcSeconds) {
    return localCalendar(static_cast<std::time_t>(utcSeconds));
}

IcsPlan planIcsImport(std::string_view text, const LocalTimeOf& localTime) {
    IcsPlan plan;
    const std::vector<ContentLine> lines = parseContentLines(text);

    // Time zones first: TZID -> the offsets its STANDARD and DAYLIGHT parts name.
    std::map<std::string, std::vector<int>> zones;
    {
        std::string tzid;
        bool inZone = false;
        for (const ContentLine& line : lines) {
            const std::string value = upperAscii(line.value);
            if (line.name == "BEGIN" && value == "VTIMEZONE") {
                inZone = true;
                tzid.clear();
            } else if (line.name == "END" && value == "VTIMEZONE") {
                inZone = false;
            } else if (inZone && line.name == "TZID") {
                tzid = line.value;
                zones[tzid];
            } else if (inZone && line.name == "TZOFFSETTO") {
                if (const auto offset = parseOffset(line.value))
                    zones[tzid].push_back(*offset);
            }
        }
    }

    std::vector<Event> events;
    int depth = 0;  // components inside the VEVENT (VALARM)
    bool inEvent = false;
    for (const ContentLine& line : lines) {
        const std::string value = upperAscii(line.value);
        if (line.name == "BEGIN") {
            if (!inEvent && value == "VEVENT") {
                inEvent = true;
                depth = 0;
                events.emplace_back();
            } else if (inEvent) {
                ++depth;
                if (value == "VALARM")
                    events.back().alarm = true;
            }
            continue;
        }
        if (line.name == "END" && inEvent) {
            if (depth == 0)
                inEvent = false;
            else
                --depth;
            continue;
        }
        if (!inEvent || depth > 0)
            continue;
        Event& e = events.back();
        if (line.name == "DTSTART")
            e.start = line;
        else if (line.name == "RRULE")
            e.rule = line;
        else if (line.name == "SUMMARY")
            e.summary = unescapeText(textValue(line));
        else if (line.name == "DESCRIPTION")
            e.description = unescapeText(textValue(line));
        else if (line.name == "CATEGORIES")
            e.categories += upperAscii(unescapeText(textValue(line))) + ",";
        else if (line.name == "RECURRENCE-ID")
            e.recurrenceId = true;
    }

    plan.events = static_cast<int>(events.size());
    for (const Event& e : events) {
        const std::string utf8Text = !e.summary.empty() ? e.summary : e.description;
        const std::string shown = utf8Text.empty() ? "(no summary)" : "\"" + utf8Text + "\"";
        if (e.recurrenceId) {
            plan.notes.push_back(cutNote(shown, "skipped: it changes one date of another event"));
            ++plan.skipped;
            continue;
        }
        const std::optional<Stamp> stamp =
            e.start ? parseStamp(e.start->value) : std::optional<Stamp>();
        if (!stamp || !isValidDate(stamp->date) || !isValidTime(stamp->time)) {
            plan.notes.push_back(cutNote(shown, "skipped: no start date that can be read"));
            ++plan.skipped;
            continue;
        }
        EntryFields fields;
        fields.date = stamp->date;
        fields.time = stamp->time;
        std::optional<int> offset;
        if (stamp->utc) {
            offset = 0;
        } else if (const std::string tzid = e.start->param("TZID");
                   !tzid.empty() && stamp->hasTime) {
            const auto zone = zones.find(tzid);
            if (zone != zones.end() && !zone->second.empty()) {
                bool fixed = true;
                for (const int o : zone->second)
                    fixed = fixed && o == zone->second.front();
                if (fixed)
                    offset = zone->second.front();
            } else {
                offset = offsetOfName(tzid);
            }
            if (!offset) {
                plan.notes.push_back(cutNote(
                    shown, "time zone " + tzid + " not converted; the time is kept as written"));
            }
        }
        if (offset) {
            const std::int64_t utc =
                daysFromCivil(stamp->date.year, stamp->date.month, stamp->date.day) * 86400 +
                stamp->time.hour * 3600 + stamp->time.minute * 60 - *offset;
            const std::tm local = localTime(utc);
            fields.date = {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
            fields.time = {local.tm_hour, local.tm_min};
            if (!isValidDate(fields.date) || !isValidTime(fields.time)) {
                plan.notes.push_back(cutNote(shown, "skipped: its local time is no calendar day"));
                ++plan.skipped;
                continue;
            }
        }

        if (e.rule) {
            std::map<std::string, std::string> parts;
            std::string_view rest = e.rule->value;
            while (!rest.empty()) {
                const auto semi = rest.find(';');
                const std::string_view part = rest.substr(0, semi);
                const auto eq = part.find('=');
                if (eq != std::string_view::npos)
                    parts[upperAscii(part.substr(0, eq))] = upperAscii(part.substr(eq + 1));
                rest = semi == std::string_view::npos ? std::string_view() : rest.substr(semi + 1);
            }
            static const std::map<std::string, int> kFrequencies = {
                {"DAILY", 1}, {"WEEKLY", 2}, {"MONTHLY", 3}, {"YEARLY", 4}};
            const auto freq = kFrequencies.find(parts["FREQ"]);
            const std::string interval = parts.count("INTERVAL") ? parts["INTERVAL"] : "1";
            if (freq == kFrequencies.end()) {
                plan.notes.push_back(cutNote(shown, "repeats " + parts["FREQ"] +
                                                        ", which the phone cannot; "
                                                        "written once"));
            } else if (interval != "1") {
                plan.notes.push_back(cutNote(shown, "repeats every " + interval + " " +
                                                        parts["FREQ"] +
                                                        ", which the phone cannot; written once"));
            } else {
                fields.recurrence = freq->second;
                std::string lost;
                for (const auto& [key, v] : parts) {
                    if (key != "FREQ" && key != "INTERVAL" && key != "WKST")
                        lost += (lost.empty() ? "" : ", ") + key + "=" + v;
                }
                if (!lost.empty())
                    plan.notes.push_back(cutNote(shown, "the phone repeats it without " + lost));
            }
        }
        fields.alarm = e.alarm;

        std::string latin = utf8ToLatin1(utf8Text);
        if (latin1ToUtf8(latin) != utf8Text)
            plan.notes.push_back(cutNote(shown, "characters the phone lacks written as ?"));
        latin = writtenDescription(latin.substr(0, std::min(latin.size(), std::size_t{256})));
        if (utf8ToLatin1(utf8Text).size() > kMaxDescription)
            plan.notes.push_back(cutNote(shown, "text cut to \"" + latin1ToUtf8(latin) + "\""));
        fields.description = latin;

        const std::string& c = e.categories;
        if (c.find("ANNIVERSARY") != std::string::npos || c.find("BIRTHDAY") != std::string::npos)
            fields.category = 0;
        else if (c.find("MEETING") != std::string::npos)
            fields.category = 1;
        else if (c.find("PHONE CALL") != std::string::npos && beginsWithNumber(latin))
            fields.category = kPhoneCall;
        else
            fields.category = 2;
        plan.entries.push_back(std::move(fields));
    }
    return plan;
}

IcsImportResult importIcs(OrganizerService& service, const std::string& path, bool dryRun,
                          const LocalTimeOf& localTime) {
    using End = IcsImportResult::End;
    IcsImportResult result;
    Reporter& reporter = service.reporter();
    const files::ReadResult file = files::readRegularFile(path, kMaxIcsFile);
    if (!file.ok()) {
        reporter.message(msg::fileReadMessage(file), Caption::Error);
        result.end = End::FileError;
        return result;
    }
    result.plan = planIcsImport(file.content, localTime);
    if (result.plan.events == 0) {
        reporter.message(msg::NoEventInFile, Caption::Error);
        result.end = End::NoEvents;
        return result;
    }
    if (dryRun) {
        std::size_t free = 0;
        for (const Row& row : service.list().rows())
            free += row.isFree() ? 1 : 0;
        for (const EntryFields& fields : result.plan.entries) {
            if (free > 0)
                --free;
            else
                result.unwritten.push_back(fields);
        }
        if (!result.unwritten.empty())
            result.end = End::NoFreeSlot;
        return result;
    }
    for (std::size_t i = 0; i < result.plan.entries.size(); ++i) {
        if (service.list().firstFreeSlot() == 0) {
            result.unwritten.assign(result.plan.entries.begin() + static_cast<std::ptrdiff_t>(i),
                                    result.plan.entries.end());
            result.end = End::NoFreeSlot;
            break;
        }
        const auto outcome = service.writeNew(result.plan.entries[i]);
        if (outcome.result == OrganizerService::WriteResult::Written) {
            ++result.written;
        } else if (outcome.result == OrganizerService::WriteResult::LinkFailed) {
            result.end = End::LinkFailed;
            break;
        } else {
            ++result.refused;
        }
        reporter.pump();
    }
    return result;
}

}  // namespace vondrix::organizer
