// The organizer operations over a real pty against the simulated phone:
// reading the 30 slots, writing in segments, deleting and clearing, with
// the exact command lines the phone receives.

#include <gtest/gtest.h>

#include "OrganizerRig.h"
#include "organizer/Names.h"
#include "text/Hex.h"

namespace vondrix::organizer {
namespace {

using namespace std::chrono_literals;
using test::Lines;
using test::Objects;
using test::OrganizerRig;
using test::vcs;

const std::string kTeamObject =
    vcs({"CATEGORIES:MEETING", "RRULE:W1", "DTSTART:20010315T143000", "DALARM:20010315T143000",
         "AALARM:20010315T143000", "DESCRIPTION:Team"});

EntryFields fields(int category, int recurrence, bool alarm, Date date, TimeOfDay time,
                   std::string description) {
    EntryFields f;
    f.category = category;
    f.recurrence = recurrence;
    f.alarm = alarm;
    f.date = date;
    f.time = time;
    f.description = std::move(description);
    return f;
}

EntryFields weeklyTeam(std::string description = "Team") {
    return fields(1, 2, true, {2001, 3, 15}, {14, 30}, std::move(description));
}

std::vector<int> slotsOf(const OrganizerList& list) {
    std::vector<int> slots;
    for (const Row& r : list.rows())
        slots.push_back(r.slot);
    return slots;
}

TEST(OrganizerReading, ThirtySlotsInOrderWithProgress) {
    OrganizerRig rig;
    ASSERT_TRUE(rig.service.readAll());
    Lines expected;
    for (int n = 1; n <= 30; ++n)
        expected.push_back("AT^SBNR=vcs," + std::to_string(n));
    EXPECT_EQ(rig.lines(), expected);
    EXPECT_EQ(slotsOf(rig.list),
              (std::vector<int>{1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15,
                                16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30}));
    EXPECT_TRUE(rig.list.complete());
    EXPECT_EQ(rig.reporter.progressDisplay, Reporter::Display::Reading);
    EXPECT_EQ(rig.reporter.progressTotal, 100);
    EXPECT_EQ(rig.reporter.progress,
              (std::vector<int>{3,  6,  10, 13, 16, 20, 23, 26, 30, 33, 36, 40, 43, 46, 50,
                                53, 56, 60, 63, 66, 70, 73, 76, 80, 83, 86, 90, 93, 96, 100}));
    EXPECT_FALSE(rig.reporter.progressOpen);

    EXPECT_EQ(columnText(*rig.list.find(2), kType, Language::English), "Weekly");
    EXPECT_EQ(rig.list.find(30)->description, "Caf\xE9 Lyon");
    EXPECT_TRUE(rig.list.find(4)->isFree());
    EXPECT_TRUE(rig.reporter.shown.empty());
}

TEST(OrganizerReading, RefusedSlotGetsNoRow) {
    OrganizerRig rig([](phonesim::PhoneState& s) { s.failing = {"AT^SBNR=vcs,7"}; });
    ASSERT_TRUE(rig.service.readAll());
    EXPECT_EQ(rig.list.rows().size(), 29u);
    EXPECT_EQ(rig.list.find(7), nullptr);
    EXPECT_TRUE(rig.reporter.shown.empty());
}

TEST(OrganizerReading, UnreadableSlotsAreHeldAndError100IsFree) {
    OrganizerRig rig;
    const std::string team = hexText(kTeamObject);
    rig.sim.addCommand("^SBNR", [&](phonesim::Context&, const phonesim::Command& cmd) {
        const std::string slot = cmd.params().at(1).text;
        const std::string header = "^SBNR: \"vcs\"," + slot;
        if (slot == "1")  // the last packet missing
            return phonesim::Reply::ok({header + ",1,2", team});
        if (slot == "2")  // a header without its colon
            return phonesim::Reply::ok({"^SBNR \"vcs\",2,1,1", team});
        if (slot == "3")  // data starting with 00
            return phonesim::Reply::ok({header + ",1,1", "00" + team});
        if (slot == "4")  // a blank line before the data: still the data
            return phonesim::Reply::ok({header + ",1,1", "", team});
        if (slot == "5")  // how later phones answer an empty slot
            return phonesim::Reply::result("+CME ERROR: 100");
        return phonesim::Reply::ok({header + ",1,1", team});
    });
    rig.read();
    for (const int slot : {1, 2, 3}) {
        ASSERT_NE(rig.list.find(slot), nullptr);
        EXPECT_FALSE(rig.list.find(slot)->isFree()) << slot;
        EXPECT_EQ(columnText(*rig.list.find(slot), kDescription, Language::English), "Unreadable");
    }
    EXPECT_EQ(rig.list.find(4)->description, "Team");
    EXPECT_TRUE(rig.list.find(5)->isFree());
    EXPECT_EQ(rig.service.writeNew(weeklyTeam()).slot, 5);
    EXPECT_EQ(rig.service.writeNew(weeklyTeam()).result, OrganizerService::WriteResult::NoFreeSlot);
}

TEST(OrganizerReading, LinkFailureLeavesNothingPartial) {
    OrganizerRig rig;
    rig.engine.setTimeouts(400ms, 400ms);
    rig.sim.injectFault({phonesim::Fault::Kind::Stall, "AT^SBNR=vcs,5", 0, 0});
    EXPECT_FALSE(rig.service.readAll());
    EXPECT_EQ(rig.lines().back(), "AT^SBNR=vcs,5");
    EXPECT_EQ(rig.lines().size(), 5u);
    EXPECT_TRUE(rig.list.rows().empty());
    EXPECT_FALSE(rig.list.complete());
    EXPECT_EQ(rig.reporter.ids(), std::vector<int>{msg::PhoneNotAnswering});
    EXPECT_FALSE(rig.reporter.progressOpen);
}

TEST(OrganizerWriting, WeeklyMeetingGoesInTwoSegments) {
    OrganizerRig rig;
    rig.read();
    const auto outcome = rig.service.writeNew(weeklyTeam());
    EXPECT_EQ(outcome.result, OrganizerService::WriteResult::Written);
    EXPECT_EQ(outcome.slot, 4);
    EXPECT_EQ(rig.lines(),
              (Lines{"AT^SBNW=vcs,0", "AT^SBNW=vcs,4,1,2",
                     "424547494E3A5643414C454E4441520D0A56455253494F4E3A312E300D0A424547494E3A5645"
                     "56454E540D0A43415445474F524945533A4D454554494E470D0A5252554C453A57310D0A4454"
                     "53544152543A3230303130333135543134333030300D0A44",
                     "AT^SBNW=vcs,4,2,2",
                     "414C41524D3A3230303130333135543134333030300D0A41414C41524D3A3230303130333135"
                     "543134333030300D0A4445534352495054494F4E3A5465616D0D0A454E443A564556454E540D"
                     "0A454E443A5643414C454E4441520D0A"}));
    EXPECT_EQ(rig.objects().at(4), kTeamObject);
    const Row& row = *rig.list.find(4);
    EXPECT_TRUE(row.held);
    EXPECT_EQ(columnText(row, kType, Language::English), "Weekly");
    EXPECT_EQ(row.date, "2001/03/15");
    EXPECT_EQ(row.time, "14:30");
    EXPECT_TRUE(rig.reporter.shown.empty());
}

TEST(OrganizerWriting, ObjectsOfTwoHundredAndTwoHundredAndOneBytes) {
    // The 192-byte weekly meeting grows by one byte per description character.
    struct Case {
        std::string description;
        Lines commands;
        std::size_t lastHexDigits;
    };
    const Case cases[] = {
        {"Team 1234567", {"AT^SBNW=vcs,4,1,2", "AT^SBNW=vcs,4,2,2"}, 200},
        {"Team 12345678", {"AT^SBNW=vcs,4,1,3", "AT^SBNW=vcs,4,2,3", "AT^SBNW=vcs,4,3,3"}, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.description);
        OrganizerRig rig;
        rig.read();
        ASSERT_EQ(rig.service.writeNew(weeklyTeam(c.description)).result,
                  OrganizerService::WriteResult::Written);
        const Lines lines = rig.lines();
        ASSERT_EQ(lines.size(), 1 + 2 * c.commands.size());
        for (std::size_t i = 0; i < c.commands.size(); ++i) {
            EXPECT_EQ(lines[1 + 2 * i], c.commands[i]);
            EXPECT_EQ(lines[2 + 2 * i].size(), i + 1 < c.commands.size() ? 200u : c.lastHexDigits);
        }
        if (c.lastHexDigits == 2) {
            EXPECT_EQ(lines.back(), "0A");
        }
        const std::string object = rig.objects().at(4);
        EXPECT_EQ(object.size(), c.description.size() == 12 ? 200u : 201u);
        EXPECT_NE(object.find("\r\nDESCRIPTION:" + c.description + "\r\n"), std::string::npos);
    }
}

TEST(OrganizerWriting, DescriptionsAreCutToSixteen) {
    OrganizerRig rig;
    rig.read();
    const std::string twenty = "Geburtstag von Anna!";
    ASSERT_EQ(rig.service.writeSlot(3, fields(0, 4, false, {2001, 5, 1}, {8, 0}, twenty)).result,
              OrganizerService::WriteResult::Written);
    EXPECT_EQ(rig.objects().at(3),
              vcs({"CATEGORIES:ANNIVERSARY", "RRULE:Y1", "DTSTART:20010501T080000",
                   "DESCRIPTION:Geburtstag von A"}));
    EXPECT_EQ(rig.list.find(3)->description, "Geburtstag von A");
}

TEST(OrganizerWriting, PhoneCallNeedsANumber) {
    struct Case {
        const char* description;
        bool written;
    };
    for (const Case c : {Case{"+49 89 1234", true}, Case{"0171 555", true},
                         Case{"Call Anna", false}, Case{"", false}}) {
        SCOPED_TRACE(c.description);
        OrganizerRig rig;
        rig.read();
        const auto outcome = rig.service.writeNew(
            fields(kPhoneCall, 0, false, {2001, 4, 2}, {9, 15}, c.description));
        if (c.written) {
            EXPECT_EQ(outcome.result, OrganizerService::WriteResult::Written);
            EXPECT_NE(rig.objects().at(4).find(std::string("CATEGORIES:PHONE CALL\r\n"
                                                           "DTSTART:20010402T091500\r\n"
                                                           "DESCRIPTION:") +
                                               c.description),
                      std::string::npos);
        } else {
            EXPECT_EQ(outcome.result, OrganizerService::WriteResult::NeedsPhoneNumber);
            EXPECT_EQ(rig.reporter.ids(), std::vector<int>{msg::EnterNumberInDescription});
            EXPECT_TRUE(rig.lines().empty());
            EXPECT_TRUE(rig.list.find(4)->isFree());
        }
    }
}

TEST(OrganizerWriting, OneTimeEntryClearsTheType) {
    OrganizerRig rig;
    rig.read();
    ASSERT_EQ(columnText(*rig.list.find(2), kType, Language::English), "Weekly");
    ASSERT_EQ(rig.service.writeSlot(2, fields(1, 0, false, {2001, 3, 16}, {10, 0}, "Team")).result,
              OrganizerService::WriteResult::Written);
    EXPECT_EQ(rig.lines().at(1), "AT^SBNW=vcs,2,1,2");  // no RRULE, no alarm: 134 bytes
    EXPECT_EQ(columnText(*rig.list.find(2), kType, Language::English), "");
    EXPECT_FALSE(rig.list.find(2)->alarm);
    EXPECT_EQ(rig.objects().at(2).find("RRULE"), std::string::npos);
    EXPECT_EQ(rig.objects().at(2).find("ALARM"), std::string::npos);
}

TEST(OrganizerWriting, NewEntryTakesTheFirstFreeRowOfTheCurrentOrder) {
    // A to-do of another program in slot 4: no date, but never free.
    OrganizerRig rig([](phonesim::PhoneState& s) {
        s.organizer.objects[4] =
            "BEGIN:VCALENDAR\r\nVERSION:1.0\r\nBEGIN:VTODO\r\nDESCRIPTION:Milch\r\nEND:VTODO\r\n"
            "END:VCALENDAR\r\n";
        s.organizer.objects[6] = vcs({"DTSTART;TZID=Europe/Berlin:20011224T183000"});
    });
    rig.read();
    rig.list.sortBy(kDate);
    ASSERT_EQ(slotsOf(rig.list).front(), 4);
    const auto outcome = rig.service.writeNew(weeklyTeam());
    EXPECT_EQ(outcome.slot, 7);
    EXPECT_EQ(rig.lines().at(1), "AT^SBNW=vcs,7,1,2");
    EXPECT_NE(rig.objects().at(4).find("Milch"), std::string::npos);
    EXPECT_EQ(rig.objects().at(7), kTeamObject);

    // Deleting the row at a sorted position deletes the slot it shows.
    rig.forget();
    const Row victim = rig.list.rows().at(25);
    ASSERT_TRUE(victim.held);
    EXPECT_TRUE(rig.service.deleteSlot(victim.slot));
    EXPECT_EQ(rig.lines(), (Lines{"AT^SBNW=vcs," + std::to_string(victim.slot) + ",0"}));
    EXPECT_EQ(rig.objects().count(victim.slot), 0u);
    EXPECT_TRUE(rig.list.find(victim.slot)->isFree());
}

TEST(OrganizerWriting, NoFreeSlot) {
    OrganizerRig rig([](phonesim::PhoneState& s) {
        for (int n = 1; n <= 30; ++n)
            s.organizer.objects[n] = vcs({"DTSTART:20010101T000000", "DESCRIPTION:x"});
    });
    rig.read();
    EXPECT_EQ(rig.service.writeNew(weeklyTeam()).result, OrganizerService::WriteResult::NoFreeSlot);
    EXPECT_EQ(rig.reporter.ids(), std::vector<int>{msg::NoFreeEntry});
    EXPECT_TRUE(rig.lines().empty());
}

TEST(OrganizerWriting, RefusedSegmentLeavesTheRowAsThePhoneHoldsIt) {
    OrganizerRig rig([](phonesim::PhoneState& s) { s.failing = {"AT^SBNW=vcs,2,2"}; });
    rig.read();
    const auto outcome = rig.service.writeSlot(2, weeklyTeam("Meeting neu"));
    EXPECT_EQ(outcome.result, OrganizerService::WriteResult::Rejected);
    EXPECT_EQ(rig.reporter.ids(), std::vector<int>{msg::CalendarEntryNotWritten});
    const Lines lines = rig.lines();
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[1], "AT^SBNW=vcs,2,1,2");
    EXPECT_EQ(lines[3], "AT^SBNW=vcs,2,2,2");  // refused: nothing more is sent
    EXPECT_EQ(lines[4], "AT^SBNR=vcs,2");      // what does the phone hold?
    EXPECT_EQ(rig.objects().at(2), kTeamObject);
    EXPECT_EQ(rig.list.find(2)->description, "Team");
}

TEST(OrganizerWriting, RefusedDataLeavesAFreeSlotFree) {
    OrganizerRig rig;
    rig.read();
    // A phone whose memory takes no second packet.
    rig.sim.addCommand("^SBNW", [](phonesim::Context&, const phonesim::Command& cmd) {
        if (cmd.args.find(",2,2") == std::string::npos &&
            cmd.args.find(",1,2") == std::string::npos)
            return phonesim::Reply::ok();
        const bool second = cmd.args.find(",2,2") != std::string::npos;
        return phonesim::Reply::prompt([second](phonesim::Context&, const std::string&) {
            return second ? phonesim::Reply::error(20) : phonesim::Reply::ok();
        });
    });
    const auto outcome = rig.service.writeNew(weeklyTeam());
    EXPECT_EQ(outcome.result, OrganizerService::WriteResult::Rejected);
    EXPECT_EQ(outcome.slot, 4);
    EXPECT_EQ(rig.reporter.ids(), std::vector<int>{msg::CalendarEntryNotWritten});
    EXPECT_EQ(rig.lines().back(), "AT^SBNR=vcs,4");
    EXPECT_TRUE(rig.list.find(4)->isFree());
}

TEST(OrganizerWriting, LinkFailureInTheMiddleKeepsTheRow) {
    OrganizerRig rig;
    rig.read();
    rig.engine.setTimeouts(400ms, 400ms);
    rig.sim.injectFault({phonesim::Fault::Kind::Stall, "AT^SBNW=vcs,2,2", 0, 0});
    const auto outcome = rig.service.writeSlot(2, weeklyTeam("Neu"));
    EXPECT_EQ(outcome.result, OrganizerService::WriteResult::LinkFailed);
    EXPECT_EQ(rig.reporter.ids(), std::vector<int>{msg::PhoneNotAnswering});
    EXPECT_EQ(rig.lines().back(), "AT^SBNW=vcs,2,2,2");
    EXPECT_EQ(rig.list.find(2)->description, "Team");
}

TEST(OrganizerDeleting, RefusedDeletionShowsWhatThePhoneHolds) {
    OrganizerRig rig([](phonesim::PhoneState& s) { s.failing = {"AT^SBNW=vcs,3,0"}; });
    rig.read();
    EXPECT_FALSE(rig.service.deleteSlot(3));
    EXPECT_EQ(rig.lines(), (Lines{"AT^SBNW=vcs,3,0", "AT^SBNR=vcs,3"}));
    EXPECT_EQ(rig.list.find(3)->description, "Zahnarzt");
    EXPECT_TRUE(rig.reporter.shown.empty());
}

TEST(OrganizerDeleting, DeleteKeyAsksFirst) {
    OrganizerRig rig;
    rig.read();
    rig.reporter.answers = {Answer::No};
    EXPECT_FALSE(rig.service.confirmDelete(2));
    EXPECT_TRUE(rig.lines().empty());
    EXPECT_FALSE(rig.service.confirmDelete(0));  // Yes, but no row selected
    EXPECT_TRUE(rig.lines().empty());
    EXPECT_EQ(rig.reporter.ids(),
              (std::vector<int>{msg::ReallyDeleteEntry, msg::ReallyDeleteEntry}));
    EXPECT_TRUE(rig.service.confirmDelete(2));
    EXPECT_EQ(rig.lines(), (Lines{"AT^SBNW=vcs,2,0"}));
}

TEST(OrganizerDeleting, ClearDeletesEverySlot) {
    OrganizerRig rig;
    rig.read();
    rig.reporter.answers = {Answer::No};
    EXPECT_FALSE(rig.service.confirmClear());
    EXPECT_TRUE(rig.lines().empty());
    EXPECT_TRUE(rig.service.confirmClear());
    Lines expected;
    for (int n = 1; n <= 30; ++n)
        expected.push_back("AT^SBNW=vcs," + std::to_string(n) + ",0");
    EXPECT_EQ(rig.lines(), expected);
    EXPECT_TRUE(rig.objects().empty());
    for (const Row& row : rig.list.rows())
        EXPECT_TRUE(row.isFree()) << row.slot;
    EXPECT_EQ(rig.reporter.ids(),
              (std::vector<int>{msg::ReallyClearOrganizer, msg::ReallyClearOrganizer}));
}

TEST(OrganizerWindow, DescriptionLengthWarning) {
    OrganizerRig rig;
    EXPECT_FALSE(rig.service.warnDescriptionLength("sixteen chars!!!"));
    EXPECT_TRUE(rig.service.warnDescriptionLength("seventeen chars!!"));
    EXPECT_TRUE(rig.service.warnDescriptionLength("seventeen chars!!!"));
    EXPECT_EQ(rig.reporter.ids(),
              (std::vector<int>{msg::TextOver16Characters, msg::TextOver16Characters}));
}

}  // namespace
}  // namespace vondrix::organizer
