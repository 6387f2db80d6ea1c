// vondrix-cli organizer against the simulated phone, run as a process; the
// phone's state file shows which slots the commands wrote.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "foundation/Catalogue.h"
#include "foundation/Reporter.h"
#include "phonesim/PhoneState.h"
#include "support/RunProcess.h"
#include "support/SimulatedCliTest.h"

namespace vondrix {
namespace {

using phonesim::PhoneState;
using test::demoWith;
using Objects = std::map<int, std::string>;

std::string shown(int id, Caption caption = Caption::Error) {
    return std::string(captionText(caption)) + ": " +
           std::string(catalogueText(id, Language::English)) + "\n";
}

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// The phone's own layout of an object, line by line.
std::string vcs(const std::vector<std::string>& eventLines) {
    std::string out = "BEGIN:VCALENDAR\r\nVERSION:1.0\r\nBEGIN:VEVENT\r\n";
    for (const std::string& line : eventLines)
        out += line + "\r\n";
    return out + "END:VEVENT\r\nEND:VCALENDAR\r\n";
}

// The demo phone's list as the command prints it (English).
const std::string kDemoList =
    "1;Yearly;*;2001/03/15;08:00;ANNIVERSARY;Geburtstag Anna\n"
    "2;Weekly;*;2001/03/15;14:30;MEETING;Team\n"
    "3;;;2001/12/24;18:30;MISCELLANEOUS;Zahnarzt\n"
    "4;;;;;;\n"
    "5;;*;2001/04/02;09:15;PHONE CALL;+49 89 1234\n"
    "6;;;;;;\n7;;;;;;\n"
    "8;Daily;;2001/05/07;07:45;MEETING;Standup\n"
    "9;;;;;;\n10;;;;;;\n11;;;;;;\n"
    "12;Monthly;*;2001/06/01;10:00;MISCELLANEOUS;Miete zahlen\n"
    "13;;;;;;\n14;;;;;;\n15;;;;;;\n16;;;;;;\n17;;;;;;\n18;;;;;;\n19;;;;;;\n"
    "20;Weekly;;2001/09/03;17:00;PHONE CALL;0171 555\n"
    "21;;;;;;\n22;;;;;;\n23;;;;;;\n24;;;;;;\n25;;;;;;\n26;;;;;;\n27;;;;;;\n28;;;;;;\n"
    "29;;;;;;\n"
    "30;;;2001/08/18;12:00;ANNIVERSARY;Caf\xC3\xA9 Lyon\n";

class OrganizerCliTest : public test::SimulatedCliTest {
  protected:
    // Runs with extra environment (the system's short date format).
    test::ProcessResult runWith(const PhoneState& phone, std::vector<std::string> args,
                                const std::vector<std::string>& env) {
        EXPECT_TRUE(phone.save(stateFile));
        args.insert(args.begin(), "--simulate=" + stateFile);
        std::vector<std::string> all = {"VONDRIX_LANG=en"};
        all.insert(all.end(), env.begin(), env.end());
        return test::runProcess(VONDRIX_CLI_PATH, args, dir, all);
    }
    Objects objectsAfter() { return phoneAfter().organizer.objects; }
};

TEST_F(OrganizerCliTest, ListPrintsEverySlotFreeOnesIncluded) {
    const auto r = run(PhoneState::demo(), {"organizer", "list"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, kDemoList);
    EXPECT_EQ(r.err, "");
}

TEST_F(OrganizerCliTest, ListInTheRunsLanguageAndAsJson) {
    const auto german = run(PhoneState::demo(), {"--lang", "de", "organizer", "list"});
    ASSERT_EQ(german.exitCode, 0) << german.err;
    EXPECT_TRUE(contains(german.out, "1;J\xC3\xA4hrlich;*;2001/03/15;08:00;Geburtstag;"));
    EXPECT_TRUE(contains(german.out,
                         "20;W\xC3\xB6"
                         "chentlich;;2001/09/03;17:00;Anruf;0171 555\n"));

    // A to-do of another program has no date but is no free slot.
    const auto todo = demoWith([](PhoneState& s) {
        s.organizer.objects[4] =
            "BEGIN:VCALENDAR\r\nVERSION:1.0\r\nBEGIN:VTODO\r\n"
            "DESCRIPTION:Milch\r\nEND:VTODO\r\nEND:VCALENDAR\r\n";
    });
    const auto json = run(todo, {"organizer", "list", "--json"});
    ASSERT_EQ(json.exitCode, 0) << json.err;
    EXPECT_EQ(
        json.out.rfind(
            "{\"slots\":[{\"slot\":1,\"free\":false,\"unreadable\":false,\"recurrence\":4,\"type\":"
            "\"Yearly\",\"alarm\":true,\"date\":\"2001/03/15\",\"time\":\"08:00\","
            "\"category\":0,\"categoryName\":\"ANNIVERSARY\",\"description\":"
            "\"Geburtstag Anna\"},",
            0),
        0u)
        << json.out;
    EXPECT_TRUE(
        contains(json.out,
                 "{\"slot\":4,\"free\":false,\"unreadable\":false,\"recurrence\":0,\"type\":\"\","
                 "\"alarm\":false,\"date\":\"\",\"time\":\"\",\"category\":null,"
                 "\"categoryName\":\"\",\"description\":\"Milch\"}"));
    EXPECT_TRUE(contains(json.out, "{\"slot\":6,\"free\":true,"));
}

TEST_F(OrganizerCliTest, AddGoesToTheFirstFreeSlot) {
    const auto r =
        run(PhoneState::demo(), {"organizer", "add", "--date", "2001-03-15", "--time", "14:30",
                                 "--category", "1", "--recurrence", "2", "--alarm", "Team"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "4;Weekly;*;2001/03/15;14:30;MEETING;Team\n");
    EXPECT_EQ(objectsAfter()[4],
              vcs({"CATEGORIES:MEETING", "RRULE:W1", "DTSTART:20010315T143000",
                   "DALARM:20010315T143000", "AALARM:20010315T143000", "DESCRIPTION:Team"}));

    // The window's first choices: anniversary, one time, no alarm.
    const auto plain = run(PhoneState::demo(), {"organizer", "add", "--date=2024-02-29",
                                                "--time=00:00", "--", "--Caf\xC3\xA9"});
    ASSERT_EQ(plain.exitCode, 0) << plain.err;
    EXPECT_EQ(plain.out, "4;;;2024/02/29;00:00;ANNIVERSARY;--Caf\xC3\xA9\n");
    EXPECT_EQ(objectsAfter()[4],
              vcs({"CATEGORIES:ANNIVERSARY", "DTSTART:20240229T000000", "DESCRIPTION:--Caf\xE9"}));
}

TEST_F(OrganizerCliTest, LongDescriptionIsWarnedAboutAndCut) {
    const auto r = run(PhoneState::demo(), {"organizer", "add", "--date", "2001-12-24", "--time",
                                            "18:00", "--json", "Weihnachtsfeier im Buero"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    // A warning, not an error: the entry is written.
    EXPECT_EQ(r.err,
              "vondrix-cli organizer add: warning: The text cannot be longer than 16 "
              "characters; the entry keeps 'Weihnachtsfeier '\n");
    EXPECT_TRUE(contains(r.out, "\"slot\":4,") && contains(r.out, "\"Weihnachtsfeier \"")) << r.out;
    EXPECT_TRUE(contains(objectsAfter()[4], "\r\nDESCRIPTION:Weihnachtsfeier \r\n"));
}

// Every value is checked before the phone is reached: the state file is
// not even read, so the phone stays as it was.
TEST_F(OrganizerCliTest, BadValuesAreUsageErrors) {
    const std::vector<std::string> add = {"organizer",  "add",    "--date",
                                          "2001-03-15", "--time", "14:30"};
    const auto with = [&](std::vector<std::string> extra) {
        std::vector<std::string> args = add;
        args.insert(args.end(), extra.begin(), extra.end());
        return args;
    };
    const struct {
        const char* situation;
        std::vector<std::string> args;
        const char* says;
    } cases[] = {
        {"no such day",
         {"organizer", "add", "--date", "2001-02-29", "--time", "10:00", "x"},
         "--date needs"},
        {"date in another form",
         {"organizer", "add", "--date", "15.03.2001", "--time", "10:00", "x"},
         "--date needs"},
        {"year before the calendar",
         {"organizer", "add", "--date", "1600-12-31", "--time", "10:00", "x"},
         "--date needs"},
        {"hour 24",
         {"organizer", "add", "--date", "2001-03-15", "--time", "24:00", "x"},
         "--time needs"},
        {"time without minutes",
         {"organizer", "add", "--date", "2001-03-15", "--time", "9", "x"},
         "--time needs"},
        {"date missing", {"organizer", "add", "--time", "10:00", "x"}, "--date is missing"},
        {"category 4", with({"--category", "4", "x"}), "--category needs"},
        {"recurrence 5", with({"--recurrence", "5", "x"}), "--recurrence needs"},
        {"phone call to a name", with({"--category", "3", "Call Anna"}), "phone call"},
        {"phone call without text", with({"--category", "3", ""}), "phone call"},
        {"outside ISO 8859-1", with({"\xE2\x82\xAC 100"}), "ISO 8859-1"},
        {"control character", with({"two\nlines"}), "control character"},
        {"alarm off on a new entry", with({"--no-alarm", "x"}), "unknown option --no-alarm"},
        {"slot 0", {"organizer", "edit", "0", "--time", "10:00"}, "not a slot"},
        {"slot 31", {"organizer", "delete", "31"}, "not a slot"},
        {"alarm on and off", {"organizer", "edit", "2", "--alarm", "--no-alarm"}, "not both"},
        {"edit to a phone call by name",
         {"organizer", "edit", "3", "--category", "3", "Anna"},
         "phone call"},
        {"unknown format",
         {"organizer", "export", "--format", "vcard", "out.vcf"},
         "--format needs"},
        {"no subcommand", {"organizer"}, "a subcommand is missing"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.situation);
        const auto r = run(PhoneState::demo(), c.args);
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_TRUE(contains(r.err, c.says)) << r.err;
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(objectsAfter(), PhoneState::demo().organizer.objects);
    }
}

TEST_F(OrganizerCliTest, WritesThePhoneRefusesFail) {
    // A full organizer: message 32, nothing written.
    const auto full = demoWith([](PhoneState& s) {
        for (int slot = 1; slot <= 30; ++slot)
            if (!s.organizer.objects.count(slot))
                s.organizer.objects[slot] =
                    vcs({"CATEGORIES:MEETING", "DTSTART:20010101T000000", "DESCRIPTION:x"});
    });
    const auto r = run(full, {"organizer", "add", "--date", "2001-03-15", "--time", "14:30", "y"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, shown(msg::NoFreeEntry));
    EXPECT_EQ(objectsAfter(), full.organizer.objects);

    // The second segment refused: message 33, the slot as the phone holds it.
    const auto refused = run(test::refusing("AT^SBNW=vcs,4,2,2"),
                             {"organizer", "add", "--date", "2001-03-15", "--time", "14:30",
                              "--category", "1", "--recurrence", "2", "--alarm", "Team"});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_EQ(refused.err, shown(msg::CalendarEntryNotWritten));
    EXPECT_EQ(refused.out, "");
    EXPECT_EQ(objectsAfter().count(4), 0u);
}

TEST_F(OrganizerCliTest, EditKeepsWhatIsNotGiven) {
    const auto r =
        run(PhoneState::demo(), {"organizer", "edit", "2", "--time", "09:05", "--no-alarm"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "2;Weekly;;2001/03/15;09:05;MEETING;Team\n");
    EXPECT_EQ(objectsAfter()[2], vcs({"CATEGORIES:MEETING", "RRULE:W1", "DTSTART:20010315T090500",
                                      "DESCRIPTION:Team"}));

    const auto text = run(PhoneState::demo(),
                          {"organizer", "edit", "30", "--recurrence", "4", "Caf\xC3\xA9 Paris"});
    ASSERT_EQ(text.exitCode, 0) << text.err;
    EXPECT_EQ(text.out, "30;Yearly;;2001/08/18;12:00;ANNIVERSARY;Caf\xC3\xA9 Paris\n");
}

TEST_F(OrganizerCliTest, EditOfASlotWithoutDateNeedsOne) {
    const auto missing = run(PhoneState::demo(), {"organizer", "edit", "4", "Neu"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(contains(missing.err, "give --date and --time")) << missing.err;
    EXPECT_EQ(objectsAfter().count(4), 0u);

    const auto given = run(PhoneState::demo(), {"organizer", "edit", "4", "--date", "2002-01-01",
                                                "--time", "12:00", "Neu"});
    ASSERT_EQ(given.exitCode, 0) << given.err;
    EXPECT_EQ(given.out, "4;;;2002/01/01;12:00;ANNIVERSARY;Neu\n");

    // Message 31 when the slot's own text is no number for a phone call.
    const auto call = run(PhoneState::demo(), {"organizer", "edit", "3", "--category", "3"});
    EXPECT_EQ(call.exitCode, 1);
    EXPECT_EQ(call.err, shown(msg::EnterNumberInDescription));
    EXPECT_EQ(objectsAfter()[3], PhoneState::demo().organizer.objects[3]);
}

TEST_F(OrganizerCliTest, DeleteAsksFirst) {
    const struct {
        const char* situation;
        std::vector<std::string> args;
        int status;
        bool slotKept;
    } cases[] = {
        {"answered yes", {"--yes", "organizer", "delete", "3"}, 0, false},
        {"answered no", {"--no", "organizer", "delete", "3"}, 1, true},
        {"no terminal to ask", {"organizer", "delete", "3"}, 1, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.situation);
        const auto r = run(PhoneState::demo(), c.args);
        EXPECT_EQ(r.exitCode, c.status) << r.err;
        EXPECT_TRUE(
            contains(r.err, std::string(catalogueText(msg::ReallyDeleteEntry, Language::English))));
        EXPECT_EQ(objectsAfter().count(3) == 1, c.slotKept);
    }
    const auto free = run(PhoneState::demo(), {"--yes", "organizer", "delete", "4"});
    EXPECT_EQ(free.exitCode, 1);
    EXPECT_TRUE(contains(free.err, "slot 4 holds no entry")) << free.err;

    const auto refused =
        run(test::refusing("AT^SBNW=vcs,3,0"), {"--yes", "organizer", "delete", "3"});
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_TRUE(contains(refused.err, "refused")) << refused.err;
    EXPECT_EQ(objectsAfter().count(3), 1u);
}

TEST_F(OrganizerCliTest, ClearEmptiesEverySlotAfterTheQuestion) {
    const auto no = run(PhoneState::demo(), {"--no", "organizer", "clear"});
    EXPECT_EQ(no.exitCode, 1);
    EXPECT_EQ(objectsAfter(), PhoneState::demo().organizer.objects);

    const auto stuck = run(test::refusing("AT^SBNW=vcs,12,0"), {"--yes", "organizer", "clear"});
    EXPECT_EQ(stuck.exitCode, 1);
    EXPECT_TRUE(contains(stuck.err, "(1 left)")) << stuck.err;
    EXPECT_EQ(objectsAfter().size(), 1u);

    const auto yes = run(PhoneState::demo(), {"--yes", "organizer", "clear"});
    EXPECT_EQ(yes.exitCode, 0) << yes.err;
    EXPECT_TRUE(objectsAfter().empty());
}

TEST_F(OrganizerCliTest, ExportsInSlotOrder) {
    const auto csv = run(PhoneState::demo(), {"organizer", "export", "--format", "csv", "o.csv"});
    ASSERT_EQ(csv.exitCode, 0) << csv.err;
    EXPECT_EQ(fileText("o.csv"),
              "DATE;TIME;ALARM;CATEGORY;TEXT;RRULE\r\n"
              "2001/03/15;08:00;1;0;Geburtstag Anna;4\r\n"
              "2001/03/15;14:30;1;1;Team;2\r\n"
              "2001/12/24;18:30;0;2;Zahnarzt;0\r\n"
              "2001/04/02;09:15;1;3;+49 89 1234;0\r\n"
              "2001/05/07;07:45;0;1;Standup;1\r\n"
              "2001/06/01;10:00;1;2;Miete zahlen;3\r\n"
              "2001/09/03;17:00;0;3;0171 555;2\r\n"
              "2001/08/18;12:00;0;0;Caf\xE9 Lyon;0\r\n");

    const auto xml = run(PhoneState::demo(), {"organizer", "export", "--format=xml", "o.xml"});
    ASSERT_EQ(xml.exitCode, 0) << xml.err;
    EXPECT_EQ(fileText("o.xml").rfind("<?xml version=\"1.0\" encoding=\"ISO-8859-1\" ?>\r\n"
                                      "<ORGANIZER>\r\n<ENTRY>\r\n<DATE>2001/03/15</DATE>\r\n",
                                      0),
              0u);

    const auto ics = run(PhoneState::demo(), {"organizer", "export", "--format", "ics", "o.ics"});
    ASSERT_EQ(ics.exitCode, 0) << ics.err;
    const std::string calendar = fileText("o.ics");
    EXPECT_EQ(calendar.rfind("BEGIN:VCALENDAR\r\nVERSION:2.0\r\n", 0), 0u) << calendar;
    EXPECT_TRUE(contains(calendar, "SUMMARY:Caf\xC3\xA9 Lyon\r\n"));
    EXPECT_TRUE(contains(calendar, "RRULE:FREQ=WEEKLY\r\n"));

    const auto nowhere =
        run(PhoneState::demo(), {"organizer", "export", "--format", "csv", "no/such/dir/o.csv"});
    EXPECT_EQ(nowhere.exitCode, 1);
    EXPECT_EQ(nowhere.err, shown(msg::ExportFileNotOpened));
}

// The other date formats are the core's (tests/e2e/OrganizerFilesTest).
TEST_F(OrganizerCliTest, ImportCountsTheLinesAndFailsOnRefusals) {
    writeFile("in.csv",
              "DATE;TIME;ALARM;CATEGORY;TEXT;RRULE\r\n"
              "15.03.2001;14:30;1;1;Team;2\r\n"
              "24.12.01,18:00,0,7,Anna\r\n"
              "too short\r\n"
              "01.05.2002;08:00;0;3;Call Anna;0");
    const auto r = runWith(PhoneState::demo(), {"organizer", "import", "in.csv"},
                           {"VONDRIX_DATEFMT=dd.MM.yyyy"});
    EXPECT_EQ(r.exitCode, 1);  // the phone call without a number
    EXPECT_EQ(r.out, "written 2, refused 1, skipped 1\n");
    EXPECT_EQ(r.err, shown(msg::EnterNumberInDescription));
    Objects objects = objectsAfter();
    EXPECT_EQ(objects[4],
              vcs({"CATEGORIES:MEETING", "RRULE:W1", "DTSTART:20010315T143000",
                   "DALARM:20010315T143000", "AALARM:20010315T143000", "DESCRIPTION:Team"}));
    // Two year digits in a four-digit format: year 1 stays year 1, which no
    // calendar shows, so the date before it is kept.
    EXPECT_EQ(objects[6],
              vcs({"CATEGORIES:ANNIVERSARY", "DTSTART:20010315T180000", "DESCRIPTION:Anna"}));

    writeFile("bad.csv", "Date;Time;Alarm;Category;Text\r\n15.03.2001;14:30;1;1;Team\r\n");
    const auto bad = run(PhoneState::demo(), {"organizer", "import", "bad.csv"});
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_EQ(bad.err, shown(msg::InvalidFileHeader));
    EXPECT_EQ(bad.out, "");
    EXPECT_EQ(objectsAfter(), PhoneState::demo().organizer.objects);
}

TEST_F(OrganizerCliTest, NotAvailableWithNoModem) {
    writeIni("NoModem=1\r\n");
    const auto r = run(PhoneState::demo(), {"organizer", "list"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(contains(r.err, "NoModem")) << r.err;
    EXPECT_EQ(r.out, "");
}

}  // namespace
}  // namespace vondrix
