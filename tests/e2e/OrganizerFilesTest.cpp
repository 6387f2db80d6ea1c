// The organizer's exports and import against the simulated phone: files
// byte for byte, the XML and iCalendar files read back by independent
// parsers (python3's xml.dom.minidom and Debian's python3-icalendar), and
// CSV imports in several system date formats with the objects they write.

#include <gtest/gtest.h>

#include <ctime>

#include "OrganizerRig.h"
#include "organizer/Export.h"
#include "organizer/Import.h"
#include "text/Hex.h"

namespace vondrix::organizer {
namespace {

using test::Lines;
using test::Objects;
using test::OrganizerRig;
using test::vcs;

using vondrix::test::python;
using vondrix::test::pythonHas;
using vondrix::test::readAll;

TEST(OrganizerExportFiles, CsvAppendedTwiceInDateOrder) {
    OrganizerRig rig;
    rig.read();
    rig.list.sortBy(kDate);
    const std::string path = rig.dir + "/VondrixORGA.csv";
    ASSERT_TRUE(exportCsv(rig.list, path, rig.reporter));
    ASSERT_TRUE(exportCsv(rig.list, path, rig.reporter));
    const std::string once =
        "DATE;TIME;ALARM;CATEGORY;TEXT;RRULE\r\n"
        "2001/03/15;08:00;1;0;Geburtstag Anna;4\r\n"
        "2001/03/15;14:30;1;1;Team;2\r\n"
        "2001/04/02;09:15;1;3;+49 89 1234;0\r\n"
        "2001/05/07;07:45;0;1;Standup;1\r\n"
        "2001/06/01;10:00;1;2;Miete zahlen;3\r\n"
        "2001/08/18;12:00;0;0;Caf\xE9 Lyon;0\r\n"
        "2001/09/03;17:00;0;3;0171 555;2\r\n"
        "2001/12/24;18:30;0;2;Zahnarzt;0\r\n";
    EXPECT_EQ(readAll(path), once + once);
    EXPECT_TRUE(rig.lines().empty());  // exports need no phone
}

TEST(OrganizerExportFiles, XmlIsOneWellFormedDocument) {
    if (!pythonHas("xml.dom.minidom"))
        GTEST_SKIP() << "python3 is missing";
    OrganizerRig rig([](phonesim::PhoneState& s) {
        s.organizer.objects = {{7, vcs({"CATEGORIES:MEETING", "DTSTART:20010315T143000",
                                        "DESCRIPTION:Tom & Jerry ]]>"})},
                               {9, vcs({"DTSTART:20011224T183000", "DESCRIPTION:Caf\xE9"})}};
    });
    rig.read();
    const std::string path = rig.file("VondrixORGA.xml", "<?xml version=\"1.0\"?><OLD/>\r\n");
    ASSERT_TRUE(exportXml(rig.list, path, rig.reporter));
    ASSERT_TRUE(exportXml(rig.list, path, rig.reporter));  // written anew, never appended
    EXPECT_EQ(
        readAll(path),
        "<?xml version=\"1.0\" encoding=\"ISO-8859-1\" ?>\r\n<ORGANIZER>\r\n"
        "<ENTRY>\r\n<DATE>2001/03/15</DATE>\r\n<TIME>14:30</TIME>\r\n<ALARM>0</ALARM>\r\n"
        "<CATEGORY>1</CATEGORY>\r\n<TEXT>Tom &amp; Jerry ]]&gt;</TEXT>\r\n<RRULE>0</RRULE>\r\n"
        "</ENTRY>\r\n"
        "<ENTRY>\r\n<DATE>2001/12/24</DATE>\r\n<TIME>18:30</TIME>\r\n<ALARM>0</ALARM>\r\n"
        "<CATEGORY>0</CATEGORY>\r\n<TEXT>Caf\xE9</TEXT>\r\n<RRULE>0</RRULE>\r\n"
        "</ENTRY>\r\n</ORGANIZER>\r\n");
    const std::string texts = python(
        "import sys, xml.dom.minidom as m\n"
        "d = m.parse(sys.argv[1])\n"
        "for t in d.getElementsByTagName('TEXT'): print(t.firstChild.data)\n",
        rig.dir, {path});
    EXPECT_EQ(texts, "Tom & Jerry ]]>\nCaf\xC3\xA9\n");
    EXPECT_TRUE(std::filesystem::exists(path));
    EXPECT_FALSE(std::filesystem::exists(path + ".$$$"));
}

TEST(OrganizerExportFiles, ExportToSomethingThatIsNoFile) {
    OrganizerRig rig;
    rig.read();
    EXPECT_FALSE(exportCsv(rig.list, rig.dir, rig.reporter));  // a directory
    EXPECT_FALSE(exportXml(rig.list, rig.dir + "/missing/x.xml", rig.reporter));
    EXPECT_EQ(rig.reporter.ids(),
              (std::vector<int>{msg::ExportFileNotOpened, msg::ExportFileNotOpened}));
}

TEST(OrganizerExportFiles, IcalendarReadBackByAnIndependentParser) {
    if (!pythonHas("icalendar"))
        GTEST_SKIP() << "python3-icalendar is missing (scripts/deps.sh installs it)";
    const std::string longText =
        "Jahresversammlung des Vereins f\xFCr \xD6"
        "ffentlichkeit, Saal 3\\4; "
        "danach Essen im Gasthaus zur Linde";
    OrganizerRig rig([&](phonesim::PhoneState& s) {
        const auto demo = s.organizer.objects;
        s.organizer.objects = {
            {1, demo.at(1)}, {2, demo.at(2)}, {8, demo.at(8)}, {30, demo.at(30)}};
        s.organizer.objects[4] = vcs(
            {"CATEGORIES:MISCELLANEOUS", "DTSTART:20020110T190000Z", "DESCRIPTION:" + longText});
        s.organizer.objects[6] = vcs({"DTSTART:20020111", "DESCRIPTION:ohne Zeit"});
        s.organizer.objects[7] = "BEGIN:VCALENDAR\r\nBEGIN:VTODO\r\nDESCRIPTION:x\r\nEND:VTODO\r\n";
    });
    rig.read();
    const std::tm stamp = vondrix::test::calendarTime(2024, 6, 1);
    const std::string path = rig.dir + "/" + kIcalendarExportName;
    ASSERT_TRUE(exportIcalendar(rig.list, path, stamp, rig.reporter));
    const std::string events = python(
        "import sys, icalendar\n"
        "cal = icalendar.Calendar.from_ical(open(sys.argv[1], 'rb').read())\n"
        "print(cal.get('VERSION'))\n"
        "for ev in cal.walk('VEVENT'):\n"
        "    rule = ev.get('RRULE')\n"
        "    cats = ev.get('CATEGORIES')\n"
        "    alarms = [a for a in ev.subcomponents if a.name == 'VALARM']\n"
        "    print('|'.join([str(ev.get('UID')), ev.decoded('DTSTART').isoformat(),\n"
        "        ','.join(rule['FREQ']) if rule else '-',\n"
        "        ';'.join(str(a.get('ACTION')) + str(a.decoded('TRIGGER')) for a in alarms) or "
        "'-',\n"
        "        ','.join(str(c) for c in cats.cats) if cats else '-',\n"
        "        str(ev.get('SUMMARY')), ev.decoded('DTSTAMP').isoformat()]))\n",
        rig.dir, {path});
    // UID | start | rule | alarms | categories | summary | stamp
    // clang-format off
    const std::string expected =
        "2.0\n"
        "vondrix-organizer-slot1-20010315T080000|2001-03-15T08:00:00|YEARLY|DISPLAY0:00:00|"
            "ANNIVERSARY|Geburtstag Anna|2024-06-01T00:00:00+00:00\n"
        "vondrix-organizer-slot2-20010315T143000|2001-03-15T14:30:00|WEEKLY|DISPLAY0:00:00|"
            "MEETING|Team|2024-06-01T00:00:00+00:00\n"
        "vondrix-organizer-slot4-20020110T190000|2002-01-10T19:00:00|-|-|MISCELLANEOUS|"
            "Jahresversammlung des Vereins f\xC3\xBCr \xC3\x96" "ffentlichkeit, Saal 3\\4; "
            "danach Essen im Gasthaus zur Linde|2024-06-01T00:00:00+00:00\n"
        "vondrix-organizer-slot6-20020111|2002-01-11|-|-|-|ohne Zeit|2024-06-01T00:00:00+00:00\n"
        "vondrix-organizer-slot8-20010507T074500|2001-05-07T07:45:00|DAILY|-|MEETING|Standup|"
            "2024-06-01T00:00:00+00:00\n"
        "vondrix-organizer-slot30-20010818T120000|2001-08-18T12:00:00|-|-|ANNIVERSARY|"
            "Caf\xC3\xA9 Lyon|2024-06-01T00:00:00+00:00\n";
    // clang-format on
    EXPECT_EQ(events, expected);
    // Every physical line within 75 octets, every line ended by CR LF.
    const std::string text = readAll(path);
    std::size_t at = 0;
    while (at < text.size()) {
        const std::size_t end = text.find("\r\n", at);
        ASSERT_NE(end, std::string::npos);
        EXPECT_LE(end - at, 75u);
        EXPECT_EQ(text.substr(at, end - at).find('\n'), std::string::npos);
        at = end + 2;
    }
}

// --- Import -------------------------------------------------------------

const std::string kHeader = "DATE;TIME;ALARM;CATEGORY;TEXT;RRULE\r\n";

EntryFields shownBefore() {
    EntryFields form;
    form.date = {2001, 1, 1};
    form.time = {12, 0};
    return form;
}

// The demo phone, free slots 4, 6, 7, ... in that order.
TEST(OrganizerImportFiles, LinesInTheSystemDateFormat) {
    struct Case {
        const char* situation;
        const char* format;
        std::string body;
        Objects written;  // new objects by slot
        std::vector<int> messages;
    };
    const Case cases[] = {
        {"dd.MM.yyyy: a weekly meeting with alarm",
         "dd.MM.yyyy",
         "15.03.2001;14:30;1;1;Team;2\r\n",
         {{4, vcs({"CATEGORIES:MEETING", "RRULE:W1", "DTSTART:20010315T143000",
                   "DALARM:20010315T143000", "AALARM:20010315T143000", "DESCRIPTION:Team"})}},
         {}},
        {"dd.MM.yyyy: an exported date has no '.' and keeps the shown date",
         "dd.MM.yyyy",
         "2001/03/15;09:45;0;2;Export;0\r\n",
         {{4, vcs({"CATEGORIES:MISCELLANEOUS", "DTSTART:20010101T094500", "DESCRIPTION:Export"})}},
         {}},
        {"dd.MM.yy: 01 is 2001, 87 is 1987",
         "dd.MM.yy",
         "15.03.01;08:00;0;0;A;4\r\n15.03.87;08:00;0;0;B;4\r\n",
         {{4,
           vcs({"CATEGORIES:ANNIVERSARY", "RRULE:Y1", "DTSTART:20010315T080000", "DESCRIPTION:A"})},
          {6, vcs({"CATEGORIES:ANNIVERSARY", "RRULE:Y1", "DTSTART:19870315T080000",
                   "DESCRIPTION:B"})}},
         {}},
        {"M/d/yyyy, five fields with commas",
         "M/d/yyyy",
         "3/15/2001,14:30,0,2,Lunch\r\n",
         {{4, vcs({"CATEGORIES:MISCELLANEOUS", "DTSTART:20010315T143000", "DESCRIPTION:Lunch"})}},
         {}},
        {"category 4 and 7 become 0, rule 9 one-time",
         "yyyy/MM/dd",
         "2001/03/15;14:30;0;4;a;0\r\n2001/03/15;14:30;0;7;b;9\r\n",
         {{4, vcs({"CATEGORIES:ANNIVERSARY", "DTSTART:20010315T143000", "DESCRIPTION:a"})},
          {6, vcs({"CATEGORIES:ANNIVERSARY", "DTSTART:20010315T143000", "DESCRIPTION:b"})}},
         {}},
        {"a last line without line feed keeps its last character",
         "yyyy/MM/dd",
         "2001/03/15;14:30;0;1;Team",
         {{4, vcs({"CATEGORIES:MEETING", "DTSTART:20010315T143000", "DESCRIPTION:Team"})}},
         {}},
        {"a phone call without number is refused, the next line goes on",
         "yyyy/MM/dd",
         "2001/03/15;14:30;0;3;Anna anrufen;0\n2001/03/15;14:30;0;3;0171 555;0\n",
         {{4, vcs({"CATEGORIES:PHONE CALL", "DTSTART:20010315T143000", "DESCRIPTION:0171 555"})}},
         {msg::EnterNumberInDescription}},
        {"short lines are dropped, long texts cut to 16",
         "yyyy/MM/dd",
         "2001/03/15;14:30;1\r\n\r\n2001/03/15;14:30;0;2;Ein sehr langer Termintext;0\r\n",
         {{4, vcs({"CATEGORIES:MISCELLANEOUS", "DTSTART:20010315T143000",
                   "DESCRIPTION:Ein sehr langer "})}},
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.situation);
        OrganizerRig rig;
        const std::string path = rig.file("import.csv", kHeader + c.body);
        rig.read();
        const Objects before = rig.objects();
        EntryFields form = shownBefore();
        const ImportResult result = importCsv(rig.service, path, c.format, form);
        EXPECT_EQ(result.end, ImportResult::End::Completed);
        EXPECT_EQ(result.written, static_cast<int>(c.written.size()));
        Objects expected = before;
        for (const auto& [slot, object] : c.written)
            expected[slot] = object;
        EXPECT_EQ(rig.objects(), expected);
        EXPECT_EQ(rig.reporter.ids(), c.messages);
        for (const auto& [slot, object] : c.written)
            EXPECT_TRUE(rig.list.find(slot)->held) << slot;
    }
}

TEST(OrganizerImportFiles, ExactCommandsOfOneImportedLine) {
    OrganizerRig rig;
    const std::string path = rig.file("import.csv", kHeader + "24.12.2001;18:00;0;0;Anna;4\r\n");
    rig.read();
    EntryFields form = shownBefore();
    importCsv(rig.service, path, "dd.MM.yyyy", form);
    // 148 bytes: two segments of 100 and 48.
    const std::string object =
        vcs({"CATEGORIES:ANNIVERSARY", "RRULE:Y1", "DTSTART:20011224T180000", "DESCRIPTION:Anna"});
    ASSERT_EQ(object.size(), 148u);
    EXPECT_EQ(rig.lines(),
              (Lines{"AT^SBNW=vcs,0", "AT^SBNW=vcs,4,1,2", hexText(object.substr(0, 100)),
                     "AT^SBNW=vcs,4,2,2", hexText(object.substr(100))}));
    // The form shows the last line, as the window's controls would.
    EXPECT_EQ(form.date, (Date{2001, 12, 24}));
    EXPECT_EQ(form.description, "Anna");
    EXPECT_EQ(form.recurrence, 4);
}

TEST(OrganizerImportFiles, SecondImportReadsDatesLikeTheFirst) {
    OrganizerRig rig;
    const std::string path = rig.file("import.csv", kHeader + "15.03.87;08:00;0;2;x;0\r\n");
    rig.read();
    EntryFields form = shownBefore();
    EXPECT_EQ(importCsv(rig.service, path, "dd.MM.yy", form).written, 1);
    EXPECT_EQ(importCsv(rig.service, path, "dd.MM.yy", form).written, 1);
    EXPECT_NE(rig.objects().at(4).find("DTSTART:19870315T080000"), std::string::npos);
    EXPECT_NE(rig.objects().at(6).find("DTSTART:19870315T080000"), std::string::npos);
}

TEST(OrganizerImportFiles, RefusedFiles) {
    struct Case {
        const char* situation;
        std::optional<std::string> content;  // nothing: no file
        ImportResult::End end;
        int message;
    };
    const Case cases[] = {
        {"header in other letter case",
         std::string("Date;Time;Alarm;Category;Text;Rrule\r\n15.03.2001;14:30;1;1;Team;2\r\n"),
         ImportResult::End::BadHeader, msg::InvalidFileHeader},
        {"an empty file", std::string(), ImportResult::End::BadHeader, msg::InvalidFileHeader},
        {"no file", std::nullopt, ImportResult::End::FileError, msg::ExportFileNotOpened},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.situation);
        OrganizerRig rig;
        const std::string path =
            c.content ? rig.file("import.csv", *c.content) : rig.dir + "/import.csv";
        rig.read();
        EntryFields form = shownBefore();
        EXPECT_EQ(importCsv(rig.service, path, "dd.MM.yyyy", form).end, c.end);
        EXPECT_EQ(rig.reporter.ids(), std::vector<int>{c.message});
        EXPECT_TRUE(rig.lines().empty());
    }
}

TEST(OrganizerImportFiles, FullOrganizerRefusesEveryLine) {
    OrganizerRig rig([](phonesim::PhoneState& s) {
        for (int n = 1; n <= 30; ++n)
            s.organizer.objects[n] = vcs({"DTSTART:20010101T000000"});
    });
    const std::string path = rig.file(
        "import.csv", kHeader + "15.03.2001;14:30;0;2;a;0\r\n15.03.2001;14:30;0;2;b;0\r\n");
    rig.read();
    EntryFields form = shownBefore();
    const ImportResult result = importCsv(rig.service, path, "dd.MM.yyyy", form);
    EXPECT_EQ(result.notWritten, 2);
    EXPECT_EQ(rig.reporter.ids(), (std::vector<int>{msg::NoFreeEntry, msg::NoFreeEntry}));
    EXPECT_TRUE(rig.lines().empty());
}

}  // namespace
}  // namespace vondrix::organizer
