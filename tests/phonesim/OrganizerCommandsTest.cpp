// The simulated phone's organizer slots, byte for byte: reading with
// AT^SBNR, the segmented upload with AT^SBNW and its prompt, deletion, the
// errors for bad packets, and the state file's [organizer] section.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "PhonebookTestSupport.h"
#include "phonesim/Commands.h"
#include "phonesim/ObjectStore.h"
#include "phonesim/StateFormat.h"

namespace phonesim {
namespace {

using namespace phonesim::testing;

const std::string kObject = "BEGIN:VCALENDAR\r\nDESCRIPTION:Hi\r\nEND:VCALENDAR\r\n";

// A phone with extended errors as numbers.
struct OrgPhone : PbPhone {
    OrgPhone() {
        (*this)("AT+CMEE=1");
        state.organizer.objects.clear();
    }
    std::optional<std::string> slot(int n) const {
        const auto it = state.organizer.objects.find(n);
        return it == state.organizer.objects.end() ? std::nullopt
                                                   : std::optional<std::string>(it->second);
    }
};

TEST(OrganizerSlots, ReadingAnEmptyAndAnOccupiedSlot) {
    OrgPhone phone;
    phone.state.organizer.objects[4] = "AB\r\n";
    EXPECT_EQ(phone("AT^SBNR=vcs,3"), kOk);
    EXPECT_EQ(phone("AT^SBNR=vcs,4"), "\r\n^SBNR: \"vcs\",4,1,1\r\n41420D0A\r\n" + kOk);
    EXPECT_EQ(phone("AT^SBNR=\"VCS\",4"), "\r\n^SBNR: \"vcs\",4,1,1\r\n41420D0A\r\n" + kOk);
    EXPECT_EQ(phone("AT^SBNR=vcs,0"), cmeError(1, 21));
    EXPECT_EQ(phone("AT^SBNR=vcs,31"), cmeError(1, 21));
    EXPECT_EQ(phone("AT^SBNR=vcs"), cmeError(1, 3));
    EXPECT_EQ(phone("AT^SBNR=xyz,0"), cmeError(1, 4));  // no store holds this type
}

TEST(OrganizerSlots, UploadsAfterThePrompt) {
    OrgPhone phone;
    const std::string all = hexText(kObject);
    // In two packets.
    EXPECT_EQ(phone("AT^SBNW=vcs,0"), kOk);
    EXPECT_EQ(phone("AT^SBNW=vcs,7,1,2"), kPrompt);
    EXPECT_EQ(phone.data(all.substr(0, 40)), kOk);
    EXPECT_EQ(phone.slot(7), std::nullopt);  // stored only with the last packet
    EXPECT_EQ(phone("AT^SBNW=\"vcs\",7,2,2"), kPrompt);
    EXPECT_EQ(phone.data(all.substr(40)), kOk);
    EXPECT_EQ(phone.slot(7), kObject);
    EXPECT_EQ(phone("AT^SBNR=vcs,7"), "\r\n^SBNR: \"vcs\",7,1,1\r\n" + all + "\r\n" + kOk);
    // Packet 1 restarts an upload: the one begun for slot 8 is dropped.
    EXPECT_EQ(phone("AT^SBNW=vcs,8,1,2"), kPrompt);
    EXPECT_EQ(phone.data("4142"), kOk);
    EXPECT_EQ(phone("AT^SBNW=vcs,9,1,1"), kPrompt);
    EXPECT_EQ(phone.data(all), kOk);
    EXPECT_EQ(phone.slot(9), kObject);
    EXPECT_EQ(phone.slot(8), std::nullopt);
    // The largest packet is taken.
    std::string largest = "BEGIN:VCALENDAR\r\n";
    largest.resize(254, 'x');
    EXPECT_EQ(phone("AT^SBNW=vcs,30,1,1"), kPrompt);
    EXPECT_EQ(phone.data(hexText(largest)), kOk);
    EXPECT_EQ(phone.slot(30), largest);
}

TEST(OrganizerSlots, BadPacketsAreRefusedAndTheSlotKeepsItsObject) {
    struct Case {
        const char* situation;
        std::vector<Exchange> steps;
    };
    const std::string all = hexText(kObject);
    const std::string longPacket(2 * 255, 'A');
    const Case cases[] = {
        {"packet 2 without packet 1", {{"AT^SBNW=vcs,7,2,2", cmeError(1, 3)}}},
        {"packet 3 after packet 1",
         {{"AT^SBNW=vcs,7,1,3", kPrompt},
          {"data:4142", kOk},
          {"AT^SBNW=vcs,7,3,3", cmeError(1, 3)},
          {"AT^SBNW=vcs,7,2,3", cmeError(1, 3)}}},
        {"the next packet for another slot",
         {{"AT^SBNW=vcs,7,1,2", kPrompt},
          {"data:4142", kOk},
          {"AT^SBNW=vcs,8,2,2", cmeError(1, 3)}}},
        {"a packet number above the count", {{"AT^SBNW=vcs,7,3,2", cmeError(1, 3)}}},
        {"too many packets", {{"AT^SBNW=vcs,7,1,17", cmeError(1, 3)}}},
        {"slot 31", {{"AT^SBNW=vcs,31,1,1", cmeError(1, 21)}}},
        {"odd hex digits", {{"AT^SBNW=vcs,7,1,1", kPrompt}, {"data:414", cmeError(1, 25)}}},
        {"not hex", {{"AT^SBNW=vcs,7,1,1", kPrompt}, {"data:41G2", cmeError(1, 25)}}},
        {"empty data", {{"AT^SBNW=vcs,7,1,1", kPrompt}, {"data:", cmeError(1, 25)}}},
        {"more than the largest packet",
         {{"AT^SBNW=vcs,7,1,1", kPrompt}, {"data:" + longPacket, cmeError(1, 24)}}},
        {"a refused packet ends the upload",
         {{"AT^SBNW=vcs,7,1,2", kPrompt},
          {"data:zz", cmeError(1, 25)},
          {"AT^SBNW=vcs,7,2,2", cmeError(1, 3)}}},
        {"an object that is no calendar",
         {{"AT^SBNW=vcs,7,1,1", kPrompt}, {"data:" + hexText("HELLO\r\n"), cmeError(1, 25)}}},
        {"an aborted upload",
         {{"AT^SBNW=vcs,7,1,2", kPrompt},
          {"data:" + all.substr(0, 40), kOk},
          {"AT^SBNW=vcs,0", kOk},
          {"AT^SBNW=vcs,7,2,2", cmeError(1, 3)}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.situation);
        OrgPhone phone;
        phone.state.organizer.objects[7] = "BEGIN:VCALENDAR\r\nold\r\n";
        expectExchanges(phone, c.steps);
        EXPECT_EQ(phone.slot(7), "BEGIN:VCALENDAR\r\nold\r\n");
        EXPECT_FALSE(phone.state.organizer.upload);
    }
}

TEST(OrganizerSlots, DeletingSlots) {
    OrgPhone phone;
    phone.state.organizer.objects[3] = kObject;
    EXPECT_EQ(phone("AT^SBNW=vcs,3,0"), kOk);
    EXPECT_EQ(phone.slot(3), std::nullopt);
    EXPECT_EQ(phone("AT^SBNW=vcs,3,0"), kOk);  // an empty slot too
    EXPECT_EQ(phone("AT^SBNW=vcs,0,0"), cmeError(1, 21));
    EXPECT_EQ(phone("AT^SBNW=vcs,3,1"), cmeError(1, 3));
    EXPECT_EQ(phone("AT^SBNW=vcs,3,0,1,2"), cmeError(1, 3));
}

TEST(OrganizerSlots, OtherObjectTypesGoToTheEarlierHandler) {
    CommandTable table;
    table.add("^SBNW", [](Context&, const Command&) { return Reply::ok({"earlier"}); });
    registerOrganizerCommands(table);
    PhoneState state;
    Modes modes;
    Context ctx{state, modes};
    Command cmd;
    cmd.name = "^SBNW";
    cmd.form = Command::Form::Set;
    cmd.args = "bmp,0,1,1";
    EXPECT_EQ(table.find("^SBNW")->handler(ctx, cmd).info, (std::vector<std::string>{"earlier"}));
    cmd.args = "vcs,4,0";
    EXPECT_TRUE(table.find("^SBNW")->handler(ctx, cmd).info.empty());
}

TEST(OrganizerSlots, DemoHoldsEveryCategoryAndRecurrence) {
    const PhoneState demo = PhoneState::demo();
    std::string all;
    int alarms = 0;
    for (const auto& [slot, object] : demo.organizer.objects) {
        all += object;
        alarms += object.find("DALARM:") != std::string::npos ? 1 : 0;
    }
    for (const char* needle :
         {"CATEGORIES:ANNIVERSARY", "CATEGORIES:MEETING", "CATEGORIES:MISCELLANEOUS",
          "CATEGORIES:PHONE CALL", "RRULE:D1", "RRULE:W1", "RRULE:M1", "RRULE:Y1"})
        EXPECT_NE(all.find(needle), std::string::npos) << needle;
    EXPECT_GT(alarms, 0);
    EXPECT_LT(alarms, static_cast<int>(demo.organizer.objects.size()));
}

TEST(OrganizerSlots, StateFileRoundTripKeepsEveryByte) {
    PhoneState s;
    s.organizer.objects[1] = kObject;
    s.organizer.objects[30] =
        "BEGIN:VCALENDAR\r\nDESCRIPTION:Caf\xE9 \"x\" \\ \x01\n" + std::string(1, '\0');
    s.organizer.upload = OrganizerStore::Upload{2, 2, 1, "ab"};
    const std::string text = s.toText();
    EXPECT_NE(text.find("slot = 1,\"BEGIN:VCALENDAR\\r\\nDESCRIPTION:Hi\\r\\n"), std::string::npos);
    EXPECT_NE(text.find("Caf\\xE9 \\\"x\\\" \\\\ \\x01\\n\\x00\""), std::string::npos);
    const PhoneState loaded = readBack(s);
    EXPECT_EQ(loaded.organizer.objects, s.organizer.objects);
    EXPECT_FALSE(loaded.organizer.upload);  // an upload under way is not kept

    expectRefused("[organizer]", {"slot = 0,\"x\"", "slot = 31,\"x\"", "slot = 3,x",
                                  "slot = 3,\"\"", "slot = 3", "entry = 3,\"x\""});
}

}  // namespace
}  // namespace phonesim
