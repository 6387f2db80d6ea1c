// The backup's own formats and the two imports as other programs write
// their files: SHA-256 against the published vectors, backup.json's reader,
// vCard 2.1 and 3.0 cards, iCalendar events.

#include <gtest/gtest.h>

#include "foundation/CalendarTime.h"
#include "organizer/IcsImport.h"
#include "phonebook/Vcard.h"
#include "session/Backup.h"
#include "text/Json.h"
#include "text/Sha256.h"

namespace vondrix {
namespace {

TEST(BackupFormats, Sha256KnownVectors) {
    const std::pair<std::string, const char*> cases[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",  // two blocks of padding
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {std::string(1000000, 'a'),
         "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
        {std::string(55, 'x'), "d5e285683cd4efc02d021a5c62014694958901005d6f71e89e0989fac77e4072"},
    };
    for (const auto& [input, digest] : cases)
        EXPECT_EQ(sha256Hex(input), digest) << input.size() << " bytes";
}

TEST(BackupFormats, UtcCalendarTimesAndBack) {
    struct Case {
        const char* situation;
        int year, month, day, hour, minute, second;  // month 1..12, may overflow
        std::time_t moment;
    };
    const Case cases[] = {
        {"the epoch", 1970, 1, 1, 0, 0, 0, 0},
        {"a leap day", 2024, 2, 29, 23, 59, 59, 1709251199},
        {"a month past December", 2000, 14, 0, 0, 0, 0, 980899200},  // 2001-01-31
        {"before the epoch", 1969, 12, 31, 23, 0, 0, -3600},
    };
    for (const Case& c : cases) {
        std::tm utc{};
        utc.tm_year = c.year - 1900;
        utc.tm_mon = c.month - 1;
        utc.tm_mday = c.day;
        utc.tm_hour = c.hour;
        utc.tm_min = c.minute;
        utc.tm_sec = c.second;
        EXPECT_EQ(utcMoment(utc), c.moment) << c.situation;
        EXPECT_EQ(utcMoment(utcCalendar(c.moment)), c.moment) << c.situation;
    }
}

TEST(BackupFormats, BackupJsonRoundTripAndRefusals) {
    BackupData data;
    data.created = "2026-12-07T12:00:00Z";
    data.device.manufacturer = "SIEMENS";
    data.phonebooks.push_back({"SM", {1, 250, 20, 14}, {{3, "+4930", 145, "M\xFCller \"Q\"\n"}}});
    data.phonebooks.push_back({"FD", {1, 10, 0, 0}, {}});  // lengths the phone did not give
    data.messages.push_back({4, 1, "0791947101670000040A91"});
    data.organizer.push_back({5, "BEGIN:VCALENDAR\r\nDESCRIPTION:Caf\xE9\r\n"});
    data.logo = std::string("BM\0\xFF", 4);
    const auto again = Json::parse(backupJson(data).dump());
    ASSERT_TRUE(again);
    const auto back = backupFromJson(*again);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->device.manufacturer, "SIEMENS");
    ASSERT_EQ(back->phonebooks.size(), 2u);
    EXPECT_EQ(back->phonebooks[0].entries[0].name, "M\xFCller \"Q\"\n");
    EXPECT_EQ(back->messages, data.messages);
    EXPECT_EQ(back->organizer, data.organizer);
    EXPECT_EQ(back->logo, data.logo);
    EXPECT_FALSE(back->ringtone);

    const char* refused[] = {
        R"({"format": "other", "version": 1})",
        R"({"format": "vondrix-backup", "version": 2})",
        R"({"format": "vondrix-backup", "version": 1, "messages": [{"index": 1, "status": 7, "pdu": ""}]})",
        R"({"format": "vondrix-backup", "version": 1, "logo": {"hex": "4G"}})",
    };
    for (const char* text : refused)
        EXPECT_FALSE(backupFromJson(*Json::parse(text))) << text;
    for (const char* text :
         {"{", "[1,]", "1.5", "\"a\" x",
          "[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[[]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]]"})
        EXPECT_FALSE(Json::parse(text)) << text;
    // Escapes as other programs write them: lower-case hex digits, a pair for
    // a character beyond the 16-bit range, and two escapes in a row.
    const auto escaped = Json::parse(R"("\u00e9\ud83d\ude00\u0041\u0042")");
    ASSERT_TRUE(escaped);
    EXPECT_EQ(escaped->string(),
              "\xC3\xA9\xF0\x9F\x98\x80"
              "AB");
}

struct CardCase {
    const char* name;
    std::string file;
    std::vector<std::string> entries;  // "name|number" in the PC character set
    int notes;
};

TEST(BackupFormats, VcardsAsOtherProgramsWriteThem) {
    phonebook::CurrentPhonebook book;
    book.entries = {{1, "0301", 129, "Anna"}};
    const CardCase cases[] = {
        {"2.1 with quoted-printable and bare types",
         "BEGIN:VCARD\r\nVERSION:2.1\r\nN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:M=C3=BCller;J="
         "\r\n"
         "=C3=BCrgen\r\nTEL;CELL;PREF:+49 171 555-1\r\nTEL;HOME:030/1234\r\nEND:VCARD\r\n",
         {"J\xFCrgen M\xFClle M|+491715551", "J\xFCrgen M\xFClle H|0301234"},  // cut to 14
         2},
        {"3.0 folded, TYPE lists, grouped TEL",
         "BEGIN:VCARD\nVERSION:3.0\nFN:Bernd\n  Schulze\nitem1.TEL;TYPE=cell,voice:0170\n"
         "TEL;TYPE=CELL:0171\nTEL;TYPE=WORK:0172\nEND:VCARD\n",
         {"Bernd Schulz M|0170", "Bernd Schul M2|0171", "Bernd Schulz W|0172"},
         3},
        {"name cut, characters the phone lacks, duplicate, bad number",
         "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Zo\xC3\xAB \xE2\x82\xAC Longname Here\r\n"
         "TEL:0309\r\nEND:VCARD\r\nBEGIN:VCARD\r\nVERSION:3.0\r\nFN:Anna\r\nTEL:0301\r\n"
         "TEL:abc\r\nEND:VCARD\r\n",
         {"Zo? ? Longname|0309"},
         4},
        {"Latin-1 without charset, quoted-printable to the last octet",
         "BEGIN:VCARD\r\nFN;ENCODING=QUOTED-PRINTABLE:Caf=E9\r\nTEL:1\r\nEND:VCARD\r\n",
         {"Caf\xE9|1"},
         0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const auto plan = phonebook::planVcardImport(phonebook::parseVcards(c.file), book, 14, 20);
        std::vector<std::string> got;
        for (const auto& e : plan.entries)
            got.push_back(e.name + "|" + e.number);
        EXPECT_EQ(got, c.entries);
        EXPECT_EQ(static_cast<int>(plan.notes.size()), c.notes);
    }
}

struct EventCase {
    const char* name;
    std::string event;   // the VEVENT's lines
    std::string fields;  // "date time recurrence alarm category description", "" skipped
    int notes;
};

TEST(BackupFormats, IcalendarEventsAsCalendarsWriteThem) {
    // Local time one hour ahead of UTC, all year.
    const organizer::LocalTimeOf local = [](std::int64_t utc) {
        return utcCalendar(static_cast<std::time_t>(utc + 3600));
    };
    const std::string zones =
        "BEGIN:VTIMEZONE\r\nTZID:Fixed+5\r\nBEGIN:STANDARD\r\nTZOFFSETTO:+0500\r\nEND:STANDARD\r\n"
        "END:VTIMEZONE\r\nBEGIN:VTIMEZONE\r\nTZID:Europe/Berlin\r\nBEGIN:STANDARD\r\n"
        "TZOFFSETTO:+0100\r\nEND:STANDARD\r\nBEGIN:DAYLIGHT\r\nTZOFFSETTO:+0200\r\nEND:DAYLIGHT\r\n"
        "END:VTIMEZONE\r\n";
    const EventCase cases[] = {
        {"UTC, weekly, alarm, meeting",
         "DTSTART:20240315T133000Z\r\nRRULE:FREQ=WEEKLY\r\nSUMMARY:Team\r\nCATEGORIES:MEETING\r\n"
         "BEGIN:VALARM\r\nTRIGGER:-PT15M\r\nEND:VALARM\r\n",
         "2024-3-15 14:30 2 1 1 Team", 0},
        {"fixed zone, long folded summary",
         "DTSTART;TZID=Fixed+5:20240101T020000\r\nSUMMARY:A very long summ\r\n ary text\r\n",
         "2023-12-31 22:00 0 0 2 A very long summ", 1},
        {"zone with summer time, every 2 weeks",
         "DTSTART;TZID=Europe/Berlin:20240701T090000\r\nRRULE:FREQ=WEEKLY;INTERVAL=2\r\n"
         "DESCRIPTION:Dentist\\, Dr. K\r\n",
         "2024-7-1 9:00 0 0 2 Dentist, Dr. K", 2},
        {"all day, yearly with count, birthday",
         "DTSTART;VALUE=DATE:20240229\r\nRRULE:FREQ=YEARLY;COUNT=5\r\nSUMMARY:Anna\r\n"
         "CATEGORIES:BIRTHDAY\r\n",
         "2024-2-29 0:00 4 0 0 Anna", 1},
        {"hourly", "DTSTART:20240102T100000\r\nRRULE:FREQ=HOURLY\r\nSUMMARY:x\r\n",
         "2024-1-2 10:00 0 0 2 x", 1},
        {"no start", "SUMMARY:lost\r\n", "", 1},
        {"a day that does not exist", "DTSTART:20230229T100000\r\nSUMMARY:y\r\n", "", 1},
        // Etc/GMT names have the POSIX sign: Etc/GMT+9 is nine hours behind UTC.
        {"Etc/GMT+9", "DTSTART;TZID=Etc/GMT+9:20240101T000000\r\nSUMMARY:z\r\n",
         "2024-1-1 10:00 0 0 2 z", 0},
        {"Etc/GMT-14, the farthest ahead",
         "DTSTART;TZID=Etc/GMT-14:20240102T000000\r\nSUMMARY:z\r\n", "2024-1-1 11:00 0 0 2 z", 0},
        {"Etc/GMT-15 is no zone", "DTSTART;TZID=Etc/GMT-15:20240102T000000\r\nSUMMARY:z\r\n",
         "2024-1-2 0:00 0 0 2 z", 1},
        {"Etc/GMT*5 has no sign", "DTSTART;TZID=Etc/GMT*5:20240102T000000\r\nSUMMARY:z\r\n",
         "2024-1-2 0:00 0 0 2 z", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string file = "BEGIN:VCALENDAR\r\nVERSION:2.0\r\n" + zones + "BEGIN:VEVENT\r\n" +
                                 c.event + "END:VEVENT\r\nEND:VCALENDAR\r\n";
        const organizer::IcsPlan plan = organizer::planIcsImport(file, local);
        EXPECT_EQ(plan.events, 1);
        std::string got;
        if (!plan.entries.empty()) {
            const auto& f = plan.entries[0];
            got = std::to_string(f.date.year) + "-" + std::to_string(f.date.month) + "-" +
                  std::to_string(f.date.day) + " " + std::to_string(f.time.hour) + ":" +
                  (f.time.minute < 10 ? "0" : "") + std::to_string(f.time.minute) + " " +
                  std::to_string(f.recurrence) + " " + (f.alarm ? "1" : "0") + " " +
                  std::to_string(f.category) + " " + f.description;
        }
        EXPECT_EQ(got, c.fields);
        EXPECT_EQ(static_cast<int>(plan.notes.size()), c.notes);
    }
}

}  // namespace
}  // namespace vondrix
