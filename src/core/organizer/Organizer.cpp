#include "organizer/Organizer.h"

#include <algorithm>
#include <cstdio>

#include "foundation/Catalogue.h"
#include "foundation/Messages.h"
#include "organizer/Names.h"
#include "text/Decimal.h"
#include "text/Latin1.h"

namespace vondrix::organizer {
namespace {

// Column texts are compared over at most this many characters.
constexpr std::size_t kCompared = 49;

bool isLeap(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysIn(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return kDays[month - 1] + (month == 2 && isLeap(year) ? 1 : 0);
}

std::string twoDigits(int value) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d", value);
    return text;
}

bool lessText(std::string_view a, std::string_view b) {
    a = a.substr(0, std::min(a.size(), kCompared));
    b = b.substr(0, std::min(b.size(), kCompared));
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
    });
}

}  // namespace

bool isValidDate(const Date& date) {
    return date.year >= 1601 && date.year <= 9999 && date.month >= 1 && date.month <= 12 &&
           date.day >= 1 && date.day <= daysIn(date.year, date.month);
}

bool isValidTime(const TimeOfDay& time) {
    return time.hour >= 0 && time.hour <= 23 && time.minute >= 0 && time.minute <= 59;
}

Row rowOf(int slot, const EntryFields& fields) {
    Row row;
    row.slot = slot;
    row.held = true;
    row.recurrence = fields.recurrence;
    row.alarm = fields.alarm;
    char date[32];
    std::snprintf(date, sizeof date, "%04d/%02d/%02d", fields.date.year, fields.date.month,
                  fields.date.day);
    row.date = date;
    row.time = twoDigits(fields.time.hour) + ":" + twoDigits(fields.time.minute);
    row.category = fields.category;
    row.description = fields.description;
    return row;
}

std::string columnText(const Row& row, int column, Language language) {
    switch (column) {
        case kSlot:
            return std::to_string(row.slot);
        case kType:
            return std::string(row.recurrence == 0 ? "" : recurrenceName(row.recurrence, language));
        case kAlarm:
            return row.alarm ? "*" : "";
        case kDate:
            return row.date;
        case kTime:
            return row.time;
        case kCategory:
            return row.category ? std::string(categoryName(*row.category, language))
                                : std::string();
        case kDescription:
            if (row.unreadable)
                return utf8ToLatin1(catalogueText(msg::EntryUnreadable, language));
            return row.description;
        default:
            return {};
    }
}

EditForm editForm(const Row& row) {
    EditForm form;
    form.slot = row.slot;
    form.alarm = row.alarm;
    // The Date column is "YYYY/MM/DD" and the Time column "HH:MM": split at
    // their separators and read as decimal numbers.
    if (const std::size_t a = row.date.find('/'), b = row.date.find('/', a + 1);
        a != std::string::npos && b != std::string::npos) {
        const std::string_view date = row.date;
        form.date =
            Date{decimalValue(date.substr(0, a)), decimalValue(date.substr(a + 1, b - a - 1)),
                 decimalValue(date.substr(b + 1))};
    }
    if (const std::size_t colon = row.time.find(':'); colon != std::string::npos) {
        const std::string_view time = row.time;
        form.time =
            TimeOfDay{decimalValue(time.substr(0, colon)), decimalValue(time.substr(colon + 1))};
    }
    form.category = row.category.value_or(0);
    form.recurrence = row.recurrence;
    form.description = row.description;
    return form;
}

void OrganizerList::assign(std::vector<Row> rows, bool complete) {
    rows_ = std::move(rows);
    complete_ = complete;
}

const Row* OrganizerList::find(int slot) const {
    for (const Row& row : rows_)
        if (row.slot == slot)
            return &row;
    return nullptr;
}

void OrganizerList::update(const Row& row) {
    for (Row& existing : rows_) {
        if (existing.slot == row.slot) {
            existing = row;
            return;
        }
    }
    rows_.push_back(row);
}

void OrganizerList::sortBy(int column) {
    std::stable_sort(rows_.begin(), rows_.end(),
                     [](const Row& a, const Row& b) { return a.slot < b.slot; });
    if (column == kSlot || column < 0 || column >= kColumns)
        return;
    std::stable_sort(rows_.begin(), rows_.end(), [&](const Row& a, const Row& b) {
        return lessText(columnText(a, column, language_), columnText(b, column, language_));
    });
}

int OrganizerList::firstFreeSlot() const {
    for (const Row& row : rows_)
        if (row.isFree())
            return row.slot;
    return 0;
}

}  // namespace vondrix::organizer
