#include "organizer/VCalendar.h"

#include <algorithm>
#include <cstdio>

#include "organizer/Names.h"

namespace vondrix::organizer {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool allDigits(std::string_view text) {
    return std::all_of(text.begin(), text.end(), isDigit);
}

void addLine(std::string& out, std::string_view name, std::string_view value = {}) {
    out += name;
    out += value;
    out += kLineEnd;
}

}  // namespace

std::optional<std::string_view> propertyValue(std::string_view object, std::string_view name) {
    int nested = 0;  // depth inside time zone and alarm blocks
    while (!object.empty()) {
        const std::size_t end = object.find_first_of("\r\n");
        const std::string_view line = object.substr(0, end);
        object.remove_prefix(end == std::string_view::npos ? object.size() : end + 1);
        if (line.starts_with("BEGIN:VTIMEZONE") || line.starts_with("BEGIN:VALARM"))
            ++nested;
        else if (nested > 0 &&
                 (line.starts_with("END:VTIMEZONE") || line.starts_with("END:VALARM")))
            --nested;
        else if (nested == 0 && line.starts_with(name))
            return line.substr(name.size());
    }
    return std::nullopt;
}

Row rowFromObject(int slot, std::string_view object) {
    Row row = Row::freeSlot(slot);
    row.held = !object.empty();
    row.alarm = propertyValue(object, "DALARM:").has_value();
    if (const auto rule = propertyValue(object, "RRULE:"); rule && !rule->empty()) {
        constexpr std::string_view kLetters = "DWMY";
        const std::size_t letter = kLetters.find(rule->front());
        row.recurrence = letter == std::string_view::npos ? 0 : static_cast<int>(letter) + 1;
    }
    if (const auto start = propertyValue(object, "DTSTART:")) {
        if (start->size() >= 8 && allDigits(start->substr(0, 8))) {
            row.date = std::string(start->substr(0, 4)) + "/" + std::string(start->substr(4, 2)) +
                       "/" + std::string(start->substr(6, 2));
        }
        if (const std::size_t t = start->find('T'); t != std::string_view::npos) {
            const std::string_view time = start->substr(t + 1);
            if (time.size() >= 4 && allDigits(time.substr(0, 4)))
                row.time = std::string(time.substr(0, 2)) + ":" + std::string(time.substr(2, 2));
        }
    }
    if (const auto categories = propertyValue(object, "CATEGORIES:")) {
        row.category = 0;
        for (int i = 0; i < kCategories; ++i) {
            if (categories->find(categoryObjectName(i)) != std::string_view::npos) {
                row.category = i;
                break;
            }
        }
    }
    if (const auto description = propertyValue(object, "DESCRIPTION:"))
        row.description = std::string(*description);
    return row;
}

std::string writtenDescription(std::string_view description) {
    std::string text(description.substr(0, std::min(description.size(), kMaxDescription)));
    for (char& c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == '\x7f')
            c = ' ';
    return text;
}

bool beginsWithNumber(std::string_view description) {
    return !description.empty() && (description.front() == '+' || isDigit(description.front()));
}

std::string composeObject(const EntryFields& fields) {
    char start[64];
    std::snprintf(start, sizeof start, "%04d%02d%02dT%02d%02d00", fields.date.year,
                  fields.date.month, fields.date.day, fields.time.hour, fields.time.minute);
    std::string out;
    addLine(out, "BEGIN:VCALENDAR");
    addLine(out, "VERSION:1.0");
    addLine(out, "BEGIN:VEVENT");
    addLine(out, "CATEGORIES:", categoryObjectName(fields.category));
    if (fields.recurrence >= 1 && fields.recurrence < kRecurrences)
        addLine(out, "RRULE:", recurrenceRule(fields.recurrence));
    addLine(out, "DTSTART:", start);
    if (fields.alarm) {
        addLine(out, "DALARM:", start);
        addLine(out, "AALARM:", start);
    }
    addLine(out, "DESCRIPTION:", fields.description);
    addLine(out, "END:VEVENT");
    addLine(out, "END:VCALENDAR");
    return out;
}

std::vector<std::string_view> segmentsOf(std::string_view object) {
    std::vector<std::string_view> segments;
    for (std::size_t at = 0; at < object.size(); at += kSegmentBytes)
        segments.push_back(object.substr(at, kSegmentBytes));
    return segments;
}

}  // namespace vondrix::organizer
