// The organizer's file formats as texts: the CSV, XML and iCalendar
// exports, and the CSV import's date format and line rules.

#include <gtest/gtest.h>

#include <ctime>
#include <string>
#include <vector>

#include "organizer/Export.h"
#include "organizer/Import.h"
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

OrganizerList listOf(std::vector<Row> rows) {
    OrganizerList list;
    list.assign(std::move(rows), true);
    return list;
}

TEST(OrganizerExport, CsvOfTwoEntriesInListOrder) {
    OrganizerList list =
        listOf({Row::freeSlot(1), entry(2, {2001, 12, 24}, {18, 0}, 0, 4, false, "Anna"),
                entry(3, {2001, 3, 15}, {14, 30}, 1, 2, true, "Team")});
    list.sortBy(kDate);
    EXPECT_EQ(csvText(list),
              "DATE;TIME;ALARM;CATEGORY;TEXT;RRULE\r\n"
              "2001/03/15;14:30;1;1;Team;2\r\n"
              "2001/12/24;18:00;0;0;Anna;4\r\n");
}

TEST(OrganizerExport, TextField) {
    struct Case {
        const char* situation;
        std::string description;
        std::string text;
    };
    const Case cases[] = {
        {"separators become blanks", "A,B;C", "A B C"},
        {"a percent sign stays", "100% Rabatt", "100% Rabatt"},
        {"a line end from another program", "eins\r\nzwei", "eins  zwei"},
        {"longer than 29 characters", std::string(40, 'x'), std::string(29, 'x')},
        {"ISO 8859-1 unconverted", "M\xFCller", "M\xFCller"},
    };
    for (const Case& c : cases) {
        Row row = entry(1, {2001, 1, 1}, {0, 0}, 2, 0, false, "");
        row.description = c.description;
        EXPECT_EQ(exportedEntry(row).text, c.text) << c.situation;
    }
}

TEST(OrganizerExport, RowsWithoutDateAreLeftOut) {
    const OrganizerList list = listOf(
        {Row::freeSlot(1), rowFromObject(2, "BEGIN:VTODO\r\nDESCRIPTION:Milch\r\nEND:VTODO\r\n"),
         rowFromObject(3, "DTSTART:20010315T143000Z\r\nDESCRIPTION:x\r\n")});
    EXPECT_EQ(csvText(list), "DATE;TIME;ALARM;CATEGORY;TEXT;RRULE\r\n2001/03/15;14:30;0;0;x;0\r\n");
    EXPECT_EQ(csvText(OrganizerList{}), "DATE;TIME;ALARM;CATEGORY;TEXT;RRULE\r\n");
    EXPECT_EQ(
        xmlText(OrganizerList{}),
        "<?xml version=\"1.0\" encoding=\"ISO-8859-1\" ?>\r\n<ORGANIZER>\r\n</ORGANIZER>\r\n");
}

TEST(OrganizerExport, IcalendarLinesAreFoldedAtSeventyFiveOctets) {
    Row row = entry(1, {2001, 1, 1}, {0, 0}, 2, 0, false, "");
    row.description = std::string(60, 'a') + std::string(40, '\xE4');  // 60 + 80 octets in UTF-8
    const std::string text = icalendarText(listOf({row}), std::tm{});
    std::string unfolded;
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t end = text.find("\r\n", at);
        ASSERT_NE(end, std::string::npos);
        const std::string_view line(text.data() + at, end - at);
        EXPECT_LE(line.size(), 75u) << line;
        // A fold never splits a UTF-8 character.
        if (end + 2 < text.size() && text[end + 2] == ' ') {
            EXPECT_NE(static_cast<unsigned char>(text[end + 3]) & 0xC0, 0x80);
        }
        if (!line.empty() && line.front() == ' ') {
            unfolded.pop_back();  // a continuation: no line break
            unfolded += line.substr(1);
        } else {
            unfolded += line;
        }
        unfolded += '\n';
        at = end + 2;
    }
    std::string utf8;
    for (int i = 0; i < 40; ++i)
        utf8 += "\xC3\xA4";
    EXPECT_NE(unfolded.find("SUMMARY:" + std::string(60, 'a') + utf8), std::string::npos);
}

TEST(OrganizerImport, DateFormatDerivation) {
    using O = DateFormat::Order;
    struct Case {
        const char* format;
        char separator;
        int yearDigits;
        O order;
    };
    const Case cases[] = {
        {"dd.MM.yyyy", '.', 4, O::DayMonthYear}, {"dd.MM.yy", '.', 2, O::DayMonthYear},
        {"M/d/yyyy", '/', 4, O::MonthDayYear},   {"yyyy/MM/dd", '/', 4, O::YearMonthDay},
        {"yyyy-MM-dd", '-', 4, O::YearMonthDay}, {"d. M. yyyy", '.', 4, O::DayMonthYear},
        {"DD-MM-YY", '-', 2, O::DayMonthYear},   {"MM/yy/dd", '/', 2, O::YearMonthDay},
        {"dd/yyyy/MM", '/', 4, O::YearMonthDay}, {"ddMMyyyy", 0, 4, O::YearMonthDay},
        {"dd.MM", '.', 0, O::YearMonthDay},      {"", 0, 0, O::YearMonthDay},
    };
    for (const Case& c : cases) {
        const DateFormat f = deriveDateFormat(c.format);
        EXPECT_EQ(f.separator, c.separator) << c.format;
        EXPECT_EQ(f.yearDigits, c.yearDigits) << c.format;
        EXPECT_EQ(f.order, c.order) << c.format;
    }
}

TEST(OrganizerImport, DatesInTheSystemFormat) {
    struct Case {
        const char* format;
        const char* field;
        Date date;
    };
    // clang-format off
    const Case cases[] = {
        {"dd.MM.yyyy", "2001/03/15", {0, 0, 0}},  // no separator of the format
        {"dd.MM.yy", "1.1.29", {2029, 1, 1}},
        {"dd.MM.yy", "1.1.30", {1930, 1, 1}},
        {"dd.MM.yy", "15.03.2001", {2001, 3, 15}},  // a year written in full stays
        {"yyyy/MM/dd", "2001/03", {2001, 3, 0}},
        {"dd.MM.yyyy", " 7.x8.2001abc", {2001, 0, 7}},
        {"ddMMyyyy", "15032001", {0, 0, 0}},
    };
    // clang-format on
    for (const Case& c : cases)
        EXPECT_EQ(parseImportDate(c.field, deriveDateFormat(c.format)), c.date)
            << c.format << " " << c.field;
}

TEST(OrganizerImport, Times) {
    EXPECT_EQ(parseImportTime("14:30"), (TimeOfDay{14, 30}));
    EXPECT_EQ(parseImportTime("9.05"), (TimeOfDay{9, 5}));
    EXPECT_EQ(parseImportTime(" 7h15"), (TimeOfDay{7, 15}));
    EXPECT_EQ(parseImportTime("1430"), (TimeOfDay{1430, 0}));
    EXPECT_EQ(parseImportTime(""), (TimeOfDay{0, 0}));
}

TEST(OrganizerImport, HeaderIsMatchedAsWritten) {
    EXPECT_TRUE(isImportHeader("DATE;TIME;ALARM;CATEGORY;TEXT;RRULE"));
    EXPECT_TRUE(isImportHeader("DATE,TIME,ALARM,CATEGORY,TEXT"));
    EXPECT_TRUE(
        isImportHeader("\xEF\xBB\xBF"
                       "DATE;TIME;ALARM;CATEGORY;TEXT;RRULE"));
    EXPECT_FALSE(isImportHeader("Date;Time;Alarm;Category;Text;Rrule"));
    EXPECT_FALSE(isImportHeader("DATE;TIME;ALARM;CATEGORY"));
    EXPECT_FALSE(isImportHeader(""));
}

TEST(OrganizerImport, LinesFillTheForm) {
    EntryFields previous;
    previous.date = {1999, 9, 9};
    previous.time = {9, 9};
    previous.alarm = true;
    previous.category = 2;
    previous.recurrence = 3;
    previous.description = "vorher";
    struct Case {
        const char* situation;
        const char* line;
        bool complete;
        EntryFields form;
    };
    // clang-format off
    const Case cases[] = {
        {"commas after the last semicolon", "15.03.2001;14:30;0,3,+4989,4", true,
         {4, 3, false, {2001, 3, 15}, {14, 30}, "+4989"}},
        {"a comma inside TEXT before a semicolon", "15.03.2001;14:30;0;3;+49 89,1234;4", true,
         {4, 3, false, {2001, 3, 15}, {14, 30}, "+49 89,1234"}},
        {"a semicolon later in the line ends the field there", "15.03.2001,14:30;0;1;x;2", true,
         {0, 0, true, {2001, 3, 15}, {0, 0}, "2"}},
        {"a comma in TEXT without a later semicolon ends it", "15.03.2001;14:30;0;1;A,B", true,
         {0, 1, false, {2001, 3, 15}, {14, 30}, "A"}},
        {"category 7, alarm 2 is off", "15.03.2001;14:30;2;7;x;1", true,
         {1, 0, false, {2001, 3, 15}, {14, 30}, "x"}},
        {"a date the calendar refuses keeps the previous one", "2001/03/15;14:30;1;1;x;0", true,
         {0, 1, true, {1999, 9, 9}, {14, 30}, "x"}},
        {"a time the picker refuses keeps the previous one", "31.12.2001;25:00;1;1;x;0", true,
         {0, 1, true, {2001, 12, 31}, {9, 9}, "x"}},
        {"TEXT is cut to 29 characters", "15.03.2001;14:30;0;2;abcdefghijklmnopqrstuvwxyz0123456",
         true, {0, 2, false, {2001, 3, 15}, {14, 30}, "abcdefghijklmnopqrstuvwxyz012"}},
        {"a line that ends after ALARM sets date and time only", "15.03.2001;14:30;0", false,
         {3, 2, true, {2001, 3, 15}, {14, 30}, "vorher"}},
        {"a line that ends after CATEGORY", "15.03.2001;14:30;0;1", false,
         {3, 2, false, {2001, 3, 15}, {14, 30}, "vorher"}},
        {"an empty line", "", false, previous},
    };
    // clang-format on
    const DateFormat format = deriveDateFormat("dd.MM.yyyy");
    for (const Case& c : cases) {
        EntryFields form = previous;
        EXPECT_EQ(applyImportLine(c.line, format, form), c.complete) << c.situation;
        EXPECT_EQ(form, c.form) << c.situation;
    }
}

}  // namespace
}  // namespace vondrix::organizer
