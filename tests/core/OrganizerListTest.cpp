// The organizer list: column texts, sorting, the first free slot, and the
// edit dialog's form from a row.

#include <gtest/gtest.h>

#include <vector>

#include "organizer/Organizer.h"
#include "organizer/VCalendar.h"

namespace vondrix::organizer {
namespace {

Row entry(int slot, Date date, TimeOfDay time, int category, int recurrence, bool alarm,
          std::string description) {
    EntryFields f;
    f.date = date;
    f.time = time;
    f.category = category;
    f.recurrence = recurrence;
    f.alarm = alarm;
    f.description = std::move(description);
    return rowOf(slot, f);
}

std::vector<int> slotsOf(const OrganizerList& list) {
    std::vector<int> slots;
    for (const Row& r : list.rows())
        slots.push_back(r.slot);
    return slots;
}

// Slots 1..12: a to-do of another program in 1 (held, no date), free 2, 5
// and 10, entries elsewhere.
OrganizerList sampleList(Language language = Language::English) {
    OrganizerList list(language);
    std::vector<Row> rows;
    rows.push_back(rowFromObject(1, "BEGIN:VTODO\r\nDESCRIPTION:Milch\r\nEND:VTODO\r\n"));
    rows.push_back(Row::freeSlot(2));
    rows.push_back(entry(3, {2001, 12, 24}, {18, 30}, 0, 4, false, "Anna"));
    rows.push_back(entry(4, {2001, 3, 15}, {14, 30}, 1, 2, true, "Team"));
    rows.push_back(Row::freeSlot(5));
    rows.push_back(entry(6, {2001, 3, 15}, {9, 0}, 3, 0, false, "0171 555"));
    rows.push_back(Row::freeSlot(10));
    rows.push_back(entry(11, {2000, 1, 1}, {0, 0}, 2, 1, true, "\xC4rger"));
    rows.push_back(entry(12, {2002, 2, 2}, {23, 59}, 2, 3, false, "Zahnarzt"));
    list.assign(std::move(rows), true);
    return list;
}

TEST(OrganizerList, ColumnTextsInTheLanguage) {
    const OrganizerList list = sampleList();
    const Row& team = *list.find(4);
    const char* english[] = {"4", "Weekly", "*", "2001/03/15", "14:30", "MEETING", "Team"};
    for (int c = 0; c < kColumns; ++c)
        EXPECT_EQ(columnText(team, c, Language::English), english[c]) << c;
    EXPECT_EQ(columnText(team, kType, Language::German),
              "W\xF6"
              "chentlich");
    EXPECT_EQ(columnText(team, kCategory, Language::German), "Meeting");
    EXPECT_EQ(columnText(*list.find(6), kType, Language::English), "");  // one-time
    EXPECT_EQ(columnText(*list.find(2), kSlot, Language::English), "2");
    for (int c = 1; c < kColumns; ++c)
        EXPECT_EQ(columnText(*list.find(2), c, Language::English), "") << c;
}

TEST(OrganizerList, SortingAlwaysStartsFromSlotOrder) {
    struct Case {
        const char* situation;
        int column;
        std::vector<int> slots;
    };
    const Case cases[] = {
        {"by date: empty dates first in slot order, then by date text",
         kDate,
         {1, 2, 5, 10, 11, 4, 6, 3, 12}},
        {"by number: 10 after 6, not before 2", kSlot, {1, 2, 3, 4, 5, 6, 10, 11, 12}},
        {"by time text", kTime, {1, 2, 5, 10, 11, 6, 4, 3, 12}},
        {"by description, bytes as unsigned", kDescription, {2, 5, 10, 6, 3, 1, 4, 12, 11}},
        {"by category name", kCategory, {1, 2, 5, 10, 3, 4, 11, 12, 6}},
        {"a column that does not exist: slot order", 9, {1, 2, 3, 4, 5, 6, 10, 11, 12}},
    };
    for (const Case& c : cases) {
        OrganizerList list = sampleList();
        list.sortBy(kDescription);  // some other order first
        list.sortBy(c.column);
        EXPECT_EQ(slotsOf(list), c.slots) << c.situation;
    }
}

TEST(OrganizerList, TextsAreComparedOverFortyNineCharacters) {
    OrganizerList list;
    Row late = entry(5, {2001, 1, 1}, {0, 0}, 0, 0, false, std::string(49, 'a') + "z");
    Row early = entry(6, {2001, 1, 1}, {0, 0}, 0, 0, false, std::string(49, 'a') + "b");
    Row shorter = entry(7, {2001, 1, 1}, {0, 0}, 0, 0, false, std::string(48, 'a'));
    list.assign({shorter, early, late}, true);
    list.sortBy(kDescription);
    EXPECT_EQ(slotsOf(list), (std::vector<int>{7, 5, 6}));
}

TEST(OrganizerList, FirstFreeSlotFollowsTheCurrentOrderAndSkipsHeldRows) {
    OrganizerList list = sampleList();
    EXPECT_EQ(list.firstFreeSlot(), 2);
    list.sortBy(kDate);
    ASSERT_EQ(list.rows().front().slot, 1);  // the to-do: no date, but held
    EXPECT_EQ(list.firstFreeSlot(), 2);

    // Free rows in another order: the first one in the list is taken.
    Row free9 = Row::freeSlot(9), free3 = Row::freeSlot(3);
    list.assign({entry(1, {2001, 1, 1}, {0, 0}, 0, 0, false, "x"), free9, free3}, true);
    EXPECT_EQ(list.firstFreeSlot(), 9);

    list.assign({rowFromObject(1, "DTSTART;TZID=X:20010101T000000\r\n")}, true);
    EXPECT_EQ(list.firstFreeSlot(), 0);
}

TEST(OrganizerList, UpdateKeepsThePositionOfTheSlotsRow) {
    OrganizerList list = sampleList();
    list.sortBy(kDate);
    const std::vector<int> before = slotsOf(list);
    list.update(entry(5, {1999, 1, 1}, {1, 2}, 0, 0, false, "Neu"));
    EXPECT_EQ(slotsOf(list), before);
    EXPECT_EQ(list.find(5)->description, "Neu");
    list.update(Row::freeSlot(30));  // a slot without a row gets one at the end
    EXPECT_EQ(list.rows().back().slot, 30);
    EXPECT_EQ(list.find(29), nullptr);
}

TEST(OrganizerList, EditFormFromARow) {
    const OrganizerList list = sampleList();
    const EditForm team = editForm(*list.find(4));
    EXPECT_EQ(team.slot, 4);
    EXPECT_TRUE(team.alarm);
    EXPECT_EQ(team.date, (Date{2001, 3, 15}));
    EXPECT_EQ(team.time, (TimeOfDay{14, 30}));
    EXPECT_EQ(team.category, 1);
    EXPECT_EQ(team.recurrence, 2);
    EXPECT_EQ(team.description, "Team");

    const EditForm todo = editForm(*list.find(1));
    EXPECT_EQ(todo.date, std::nullopt);
    EXPECT_EQ(todo.time, std::nullopt);
    EXPECT_EQ(todo.category, 0);
    EXPECT_EQ(todo.recurrence, 0);
    EXPECT_EQ(todo.description, "Milch");
}

TEST(OrganizerList, ValidDatesAndTimes) {
    EXPECT_TRUE(isValidDate({2000, 2, 29}));
    EXPECT_FALSE(isValidDate({1900, 2, 29}));
    EXPECT_FALSE(isValidDate({2001, 0, 1}));
    EXPECT_FALSE(isValidDate({2001, 4, 31}));
    EXPECT_FALSE(isValidDate({0, 0, 0}));
    EXPECT_FALSE(isValidDate({10000, 1, 1}));
    EXPECT_TRUE(isValidTime({23, 59}));
    EXPECT_FALSE(isValidTime({24, 0}));
    EXPECT_FALSE(isValidTime({-1, 0}));
}

}  // namespace
}  // namespace vondrix::organizer
