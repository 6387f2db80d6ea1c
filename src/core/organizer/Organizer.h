#pragma once

// The organizer model: the phone's 30 organizer slots as the organizer list
// shows them (one row per slot that could be read), the fields of an entry
// to be written, and the list's sort and free-slot rules. The window and the
// command line only show this list; the service fills and changes it.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/Language.h"

namespace vondrix::organizer {

// The phone has this many organizer slots, numbered from 1; no command asks.
constexpr int kSlots = 30;
// The longest description the phone's organizer keeps; longer ones are cut.
constexpr std::size_t kMaxDescription = 16;

constexpr int kCategories = 4;   // 0 anniversary, 1 meeting, 2 miscellaneous, 3 phone call
constexpr int kRecurrences = 5;  // 0 one-time, 1 daily, 2 weekly, 3 monthly, 4 yearly
constexpr int kPhoneCall = 3;

// The list's columns, in position order.
enum Column : int { kSlot = 0, kType, kAlarm, kDate, kTime, kCategory, kDescription };
constexpr int kColumns = 7;

struct Date {
    int year = 0;
    int month = 0;
    int day = 0;
    bool operator==(const Date&) const = default;
};

struct TimeOfDay {
    int hour = 0;
    int minute = 0;
    bool operator==(const TimeOfDay&) const = default;
};

// A day the month calendar can show (years 1601 to 9999, real days only).
bool isValidDate(const Date& date);
// Hours 0 to 23, minutes 0 to 59.
bool isValidTime(const TimeOfDay& time);

// The fields of an entry as the input controls give them. Texts are in the
// PC character set (ISO 8859-1).
struct EntryFields {
    int recurrence = 0;  // 0..kRecurrences-1
    int category = 0;    // 0..kCategories-1
    bool alarm = false;
    Date date;
    TimeOfDay time;  // seconds are always 00
    std::string description;

    bool operator==(const EntryFields&) const = default;
};

// One row of the organizer list. The row's identity is its slot (the item
// data is slot - 1), never its position, because the list can be re-sorted.
struct Row {
    int slot = 0;
    // The phone returned an object for this slot. Such a slot is never free,
    // whatever the object holds: a to-do, or a start written with
    // parameters, has no date the list can show but is still somebody's entry.
    bool held = false;
    // The phone holds something in this slot that could not be read (a
    // broken transfer): held, never free, shown as unreadable.
    bool unreadable = false;
    int recurrence = 0;  // 0: the Type column is empty
    bool alarm = false;
    std::string date;             // "YYYY/MM/DD" or empty
    std::string time;             // "HH:MM" or empty
    std::optional<int> category;  // nothing: the Category column is empty
    std::string description;      // as the object has it (ISO 8859-1)

    bool isFree() const { return !held; }
    // A free row of `slot`: only the number is shown.
    static Row freeSlot(int slot) {
        Row row;
        row.slot = slot;
        return row;
    }
    static Row unreadableSlot(int slot) {
        Row row;
        row.slot = slot;
        row.held = true;
        row.unreadable = true;
        return row;
    }
};

// The row of an entry just written: what the phone now holds.
Row rowOf(int slot, const EntryFields& fields);

// The text a row shows in `column` in the user-interface language. An
// unreadable row shows message 110 in its Description column.
std::string columnText(const Row& row, int column, Language language);

// What the edit dialog shows for a row: the date and time when the row has
// them (an empty column leaves the calendar and the picker as they are),
// and the category and recurrence indices (0 for an empty column).
struct EditForm {
    int slot = 0;
    bool alarm = false;
    std::optional<Date> date;
    std::optional<TimeOfDay> time;
    int category = 0;
    int recurrence = 0;
    std::string description;
};
EditForm editForm(const Row& row);

// The organizer list: the only in-memory copy of the entries, filled afresh
// every time the organizer is opened.
class OrganizerList {
  public:
    explicit OrganizerList(Language language = Language::English) : language_(language) {}

    Language language() const { return language_; }
    // The rows in the list's current order.
    const std::vector<Row>& rows() const { return rows_; }
    // The last read ran to its end. A read that the link broke off leaves
    // the list empty and this false.
    bool complete() const { return complete_; }

    // Replaces every row (in slot order, as read).
    void assign(std::vector<Row> rows, bool complete);
    // The row of `slot`, or nothing when the slot could not be read.
    const Row* find(int slot) const;
    // Puts `row` in place of the row of its slot, in the same list position;
    // a slot without a row gets one at the end.
    void update(const Row& row);

    // Back to slot order, then ascending by `column`: "#" by number, the
    // other columns by their texts compared byte by byte as unsigned
    // characters over at most 49 characters. Rows that compare equal keep
    // slot order. A column outside 0..6 only restores slot order.
    void sortBy(int column);
    // The slot of the first free row in the current order, or 0.
    int firstFreeSlot() const;

  private:
    Language language_;
    std::vector<Row> rows_;
    bool complete_ = false;
};

}  // namespace vondrix::organizer
