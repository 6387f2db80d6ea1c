// The organizer's vCalendar codec and its reply parser: objects composed
// byte for byte, and objects of the phone and of other programs read by the
// property rules.

#include <gtest/gtest.h>

#include <string>

#include "organizer/Names.h"
#include "organizer/Replies.h"
#include "organizer/VCalendar.h"
#include "text/Hex.h"

namespace vondrix::organizer {
namespace {

EntryFields weeklyMeeting() {
    EntryFields f;
    f.recurrence = 2;
    f.category = 1;
    f.alarm = true;
    f.date = {2001, 3, 15};
    f.time = {14, 30};
    f.description = "Team";
    return f;
}

TEST(OrganizerCompose, OptionalLinesFollowRecurrenceAndAlarm) {
    struct Case {
        const char* situation;
        int recurrence, category;
        bool alarm;
        const char* present;
        const char* absent;
    };
    const Case cases[] = {
        {"one-time without alarm", 0, 2, false, "CATEGORIES:MISCELLANEOUS\r\nDTSTART:", "RRULE"},
        {"one-time without alarm has no alarm lines", 0, 0, false, "CATEGORIES:ANNIVERSARY\r\n",
         "ALARM"},
        {"daily", 1, 0, false, "RRULE:D1\r\n", "ALARM"},
        {"monthly with alarm", 3, 1, true, "RRULE:M1\r\nDTSTART:", "\r\n\r\n"},
        {"yearly phone call", 4, 3, false, "CATEGORIES:PHONE CALL\r\nRRULE:Y1\r\n", "DALARM"},
    };
    for (const Case& c : cases) {
        EntryFields f = weeklyMeeting();
        f.recurrence = c.recurrence;
        f.category = c.category;
        f.alarm = c.alarm;
        f.description = "0171 555";
        const std::string object = composeObject(f);
        EXPECT_NE(object.find(c.present), std::string::npos) << c.situation;
        EXPECT_EQ(object.find(c.absent), std::string::npos) << c.situation;
    }
}

TEST(OrganizerCompose, DescriptionIsKeptOnOneLine) {
    // A line end would end the DESCRIPTION line and start a property of its own.
    EXPECT_EQ(writtenDescription("a\r\nRRULE:D1"), "a  RRULE:D1");
    EXPECT_EQ(writtenDescription("Caf\xE9 \x1a"), "Caf\xE9  ");
}

// What rowFromObject shows, column by column.
struct Shown {
    bool held;
    bool alarm;
    int recurrence;
    const char* date;
    const char* time;
    int category;  // -1: empty column
    const char* description;
};

void expectShown(const Row& row, const Shown& s, const char* situation) {
    SCOPED_TRACE(situation);
    EXPECT_EQ(row.held, s.held);
    EXPECT_EQ(row.alarm, s.alarm);
    EXPECT_EQ(row.recurrence, s.recurrence);
    EXPECT_EQ(row.date, s.date);
    EXPECT_EQ(row.time, s.time);
    EXPECT_EQ(row.category.value_or(-1), s.category);
    EXPECT_EQ(row.description, s.description);
}

TEST(OrganizerRead, PropertyRules) {
    struct Case {
        const char* situation;
        const char* object;
        Shown shown;
    };
    const Case cases[] = {
        {"the phone's own weekly meeting",
         "BEGIN:VCALENDAR\r\nVERSION:1.0\r\nBEGIN:VEVENT\r\nCATEGORIES:MEETING\r\nRRULE:W1\r\n"
         "DTSTART:20010315T143000\r\nDALARM:20010315T143000\r\nAALARM:20010315T143000\r\n"
         "DESCRIPTION:Team\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n",
         {true, true, 2, "2001/03/15", "14:30", 1, "Team"}},
        {"DTSTART with Z, no time zone applied",
         "DTSTART:20011224T183000Z\r\n",
         {true, false, 0, "2001/12/24", "18:30", -1, ""}},
        {"DTSTART without Z, description unchanged",
         "DTSTART:20011224T183000\r\nDESCRIPTION:Zahnarzt\r\n",
         {true, false, 0, "2001/12/24", "18:30", -1, "Zahnarzt"}},
        {"two categories: the table's order decides",
         "CATEGORIES:PHONE CALL,MEETING\r\n",
         {true, false, 0, "", "", 1, ""}},
        {"meeting and phone call",
         "CATEGORIES:MEETING,PHONE CALL\r\n",
         {true, false, 0, "", "", 1, ""}},
        {"unknown category is index 0", "CATEGORIES:BUSINESS\r\n", {true, false, 0, "", "", 0, ""}},
        {"AALARM alone is no alarm",
         "AALARM:20010315T143000\r\n",
         {true, false, 0, "", "", -1, ""}},
        {"X-DALARM is no alarm, a name inside a value no property",
         "X-DALARM:1\r\nDESCRIPTION:see DTSTART:20010101T0000\r\n",
         {true, false, 0, "", "", -1, "see DTSTART:20010101T0000"}},
        {"vCalendar 1.0 rules by first letter",
         "RRULE:MP1 1+ TU #0\r\nDTSTART:20010101T000000\r\n",
         {true, false, 3, "2001/01/01", "00:00", -1, ""}},
        {"a rule of no known letter shows no type",
         "RRULE:FREQ=WEEKLY\r\n",
         {true, false, 0, "", "", -1, ""}},
        {"date without time", "DTSTART:20010315\r\n", {true, false, 0, "2001/03/15", "", -1, ""}},
        {"short DTSTART takes nothing from the next line",
         "DTSTART:2001\r\n0315T1430\r\n",
         {true, false, 0, "", "", -1, ""}},
        {"time of fewer than four digits",
         "DTSTART:20010315T14\r\nX:30\r\n",
         {true, false, 0, "2001/03/15", "", -1, ""}},
        {"lines ended by LF alone",
         "DESCRIPTION:Zahnarzt\nDTSTART:20010315T0900\nEND:VEVENT\n",
         {true, false, 0, "2001/03/15", "09:00", -1, "Zahnarzt"}},
        {"empty object is a free slot", "", {false, false, 0, "", "", -1, ""}},
    };
    for (const Case& c : cases)
        expectShown(rowFromObject(7, c.object), c.shown, c.situation);
}

TEST(OrganizerRead, ObjectsOfOtherPhonesAndProgramsAreNeverFree) {
    struct Case {
        const char* situation;
        const char* object;
        Shown shown;
    };
    const Case cases[] = {
        {"properties with parameters",
         "BEGIN:VCALENDAR\r\nVERSION:1.0\r\nBEGIN:VEVENT\r\nCATEGORIES;LANGUAGE=de:MEETING\r\n"
         "DTSTART;TZID=Europe/Berlin:20011224T183000\r\nDALARM;TYPE=X:20011224T180000\r\n"
         "DESCRIPTION;CHARSET=ISO-8859-1:Essen\r\nSUMMARY:Weihnachten\r\nEND:VEVENT\r\n"
         "END:VCALENDAR\r\n",
         {true, false, 0, "", "", -1, ""}},
        {"a to-do",
         "BEGIN:VCALENDAR\r\nVERSION:1.0\r\nBEGIN:VTODO\r\nDUE:20011224T120000\r\n"
         "DESCRIPTION:Milch kaufen\r\nPRIORITY:1\r\nEND:VTODO\r\nEND:VCALENDAR\r\n",
         {true, false, 0, "", "", -1, "Milch kaufen"}},
        {"a folded description keeps only its first line",
         "BEGIN:VEVENT\r\nDTSTART:20010315T143000\r\nDESCRIPTION:Lange Beschreibung\r\n"
         " die weitergeht\r\nEND:VEVENT\r\n",
         {true, false, 0, "2001/03/15", "14:30", -1, "Lange Beschreibung"}},
        {"a quoted-printable description",
         "BEGIN:VEVENT\r\nDTSTART:20010315T143000Z\r\n"
         "DESCRIPTION;ENCODING=QUOTED-PRINTABLE:Caf=E9 und =\r\nKuchen\r\nEND:VEVENT\r\n",
         {true, false, 0, "2001/03/15", "14:30", -1, ""}},
        {"a vCalendar time zone",
         "BEGIN:VCALENDAR\r\nVERSION:1.0\r\nTZ:+01:00\r\n"
         "DAYLIGHT:TRUE;+02;20010325T010000;20011028T010000;CET;CEST\r\nBEGIN:VEVENT\r\n"
         "DTSTART:20010704T120000\r\nDESCRIPTION:Grillen\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n",
         {true, false, 0, "2001/07/04", "12:00", -1, "Grillen"}},
        {"an iCalendar time zone block before the event",
         "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VTIMEZONE\r\nTZID:Europe/Berlin\r\n"
         "BEGIN:STANDARD\r\nDTSTART:19701025T030000\r\nEND:STANDARD\r\nEND:VTIMEZONE\r\n"
         "BEGIN:VEVENT\r\nDTSTART:20010704T120000\r\nBEGIN:VALARM\r\nDESCRIPTION:Alarm\r\n"
         "END:VALARM\r\nDESCRIPTION:Grillen\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n",
         {true, false, 0, "2001/07/04", "12:00", -1, "Grillen"}},
        {"two calendars in one object: the first one's properties",
         "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nCATEGORIES:MISCELLANEOUS\r\n"
         "DTSTART:20010101T080000\r\nDESCRIPTION:Eins\r\nEND:VEVENT\r\nEND:VCALENDAR\r\n"
         "BEGIN:VCALENDAR\r\nBEGIN:VEVENT\r\nCATEGORIES:MEETING\r\nRRULE:D1\r\n"
         "DTSTART:20020202T090000\r\nDALARM:20020202T090000\r\nDESCRIPTION:Zwei\r\n"
         "END:VEVENT\r\nEND:VCALENDAR\r\n",
         {true, true, 1, "2001/01/01", "08:00", 2, "Eins"}},
    };
    for (const Case& c : cases) {
        const Row row = rowFromObject(4, c.object);
        expectShown(row, c.shown, c.situation);
        EXPECT_FALSE(row.isFree()) << c.situation;
    }
}

TEST(OrganizerReplies, SlotIsFreeOnlyWithoutAnyLine) {
    using State = SlotRead::State;
    struct Case {
        const char* situation;
        std::string response;
        State state;
        std::string object = {};
    };
    const std::string team = composeObject(weeklyMeeting());
    const Case cases[] = {
        {"an empty slot: OK alone", "\r\nOK\r\n", State::Free},
        {"an object", "\r\n^SBNR: \"vcs\",3,1,1\r\n" + hexText(team) + "\r\n\r\nOK\r\n",
         State::Held, team},
        {"lower-case digits", "^SBNR: vcs,3,1,1\r\n6162\r\nOK\r\n", State::Held, "ab"},
        {"a 00 byte ends the object", "^SBNR: vcs,3,1,1\r\n41004243\r\n", State::Held, "A"},
        {"packets 1 and 2 of 2 arrive whole",
         "^SBNR: \"vcs\",3,1,2\r\n4142\r\n^SBNR: \"vcs\",3,2,2\r\n4344\r\nOK\r\n", State::Held,
         "ABCD"},
        {"data starting with 00", "^SBNR: vcs,3,1,1\r\n004142\r\nOK\r\n", State::Unreadable},
        {"a header without its colon", "^SBNR vcs,3,1,1\r\n4142\r\nOK\r\n", State::Unreadable},
        {"another slot's object", "^SBNR: vcs,4,1,1\r\n4142\r\nOK\r\n", State::Unreadable},
        {"a line that is no packet", "+CMTI: \"SM\",4\r\nOK\r\n", State::Unreadable},
    };
    for (const Case& c : cases) {
        const SlotRead read = parseSbnrSlot(c.response, 3);
        EXPECT_EQ(read.state, c.state) << c.situation;
        EXPECT_EQ(read.object, c.object) << c.situation;
    }
}

TEST(OrganizerNames, CategoriesAndRecurrencesPerLanguage) {
    EXPECT_EQ(categoryName(0, Language::German), "Geburtstag");
    EXPECT_EQ(categoryName(3, Language::Portuguese), "PHONE CALL");
    EXPECT_EQ(recurrenceName(2, Language::German),
              "W\xF6"
              "chentlich");
    for (Language l : {Language::Spanish, Language::French, Language::Norwegian, Language::Dutch,
                       Language::Portuguese})
        EXPECT_EQ(recurrenceName(3, l), "Monthly");
    EXPECT_EQ(recurrenceName(0, Language::English), "Date");
    EXPECT_EQ(categoryName(4, Language::English), "");
    EXPECT_EQ(recurrenceIndexOf("Date", Language::English), std::nullopt);  // never a Type
    EXPECT_EQ(recurrenceIndexOf("J\xE4hrlich", Language::German), 4);
    EXPECT_EQ(categoryIndexOf("Anruf", Language::German), 3);
    EXPECT_EQ(categoryIndexOf("Anruf", Language::English), std::nullopt);
    for (int i = 0; i < kCategories; ++i)
        EXPECT_EQ(categoryObjectName(i), categoryName(i, Language::English));
}

TEST(OrganizerNames, ColumnHeadersPerLanguage) {
    // One language that reads its own headers, one that falls back to English.
    EXPECT_EQ(columnHeader(kSlot, Language::German), "Nr.");
    EXPECT_EQ(columnHeader(kDescription, Language::Portuguese), "Descrip\xE7\xE3o");
    EXPECT_EQ(columnHeader(kDate, Language::English), "Date");
    EXPECT_EQ(columnHeader(kType, Language::German), "Typ");
    EXPECT_EQ(columnHeader(kCategory, Language::German), "Kategorie");
    EXPECT_EQ(columnHeader(kColumns, Language::English), "");
}

}  // namespace
}  // namespace vondrix::organizer
