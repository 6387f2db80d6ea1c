// The object store of the simulated phone, byte for byte: AT^SBNR reads in
// blocks, AT^SBNW packets in order after the prompt, deletion and
// abandoning, the phone's check of a finished object, sharing the two
// commands with another store, and the state file's section.

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

std::string cme(int code) {
    return cmeError(1, code);
}

// An empty store, numeric error codes.
struct Phone : PbPhone {
    Phone() : PbPhone(PhoneState{}) {
        state.objects.objects.clear();
        (*this)("AT+CMEE=1");
    }
    const std::string* stored(const char* type) { return state.objects.find({type, 0}); }
};

TEST(ObjectStoreWrite, PacketsInOrderStoreTheObject) {
    Phone phone;
    EXPECT_EQ(phone("AT^SBNW=bmp,0,1,2"), kPrompt);
    EXPECT_EQ(phone.data("424D01"), kOk);
    EXPECT_EQ(phone.stored("bmp"), nullptr);  // not before the last packet
    EXPECT_EQ(phone("AT^SBNW=\"bmp\",0,2,2"), kPrompt);
    EXPECT_EQ(phone.data("ff"), kOk);
    ASSERT_NE(phone.stored("bmp"), nullptr);
    EXPECT_EQ(*phone.stored("bmp"), std::string("BM\x01\xFF", 4));
    EXPECT_TRUE(phone.state.objects.uploads.empty());
}

TEST(ObjectStoreWrite, RefusalsEndTheUpload) {
    struct Case {
        const char* name;
        std::vector<Exchange> steps;
    };
    const std::string tooLong(2 * kPacketBytes + 2, 'A');
    const std::vector<Case> cases = {
        {"packet out of order",
         {{"AT^SBNW=mid,0,1,3", kPrompt}, {"data:4D546864", kOk}, {"AT^SBNW=mid,0,3,3", cme(3)}}},
        {"count changes",
         {{"AT^SBNW=mid,0,1,3", kPrompt}, {"data:4D546864", kOk}, {"AT^SBNW=mid,0,2,4", cme(3)}}},
        {"first packet missing", {{"AT^SBNW=mid,0,2,3", cme(3)}}},
        {"no hex", {{"AT^SBNW=mid,0,1,1", kPrompt}, {"data:4D5G", cme(25)}}},
        {"odd digits", {{"AT^SBNW=mid,0,1,1", kPrompt}, {"data:4D5", cme(25)}}},
        {"packet too long", {{"AT^SBNW=mid,0,1,1", kPrompt}, {"data:" + tooLong, cme(24)}}},
        {"not a MIDI file", {{"AT^SBNW=mid,0,1,1", kPrompt}, {"data:424D", cme(25)}}},
        {"not a bitmap", {{"AT^SBNW=bmp,0,1,1", kPrompt}, {"data:4D546864", cme(25)}}},
        {"packet beyond the count", {{"AT^SBNW=bmp,0,2,1", cme(3)}}},
        {"index out of range", {{"AT^SBNW=bmp,1,1,1", cme(21)}}},
        {"delete with a count", {{"AT^SBNW=bmp,0,0,3", cme(3)}}},
        {"count without a packet", {{"AT^SBNW=bmp,0,,3", cme(3)}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Phone phone;
        expectExchanges(phone, c.steps);
        EXPECT_TRUE(phone.state.objects.objects.empty());
        EXPECT_TRUE(phone.state.objects.uploads.empty());
        // The store takes a new upload afterwards.
        EXPECT_EQ(phone("AT^SBNW=mid,0,1,1"), kPrompt);
        EXPECT_EQ(phone.data("4D546864"), kOk);
        EXPECT_NE(phone.stored("mid"), nullptr);
    }
}

TEST(ObjectStoreWrite, DeleteAndAbandon) {
    Phone phone;
    phone.state.objects.objects[{"bmp", 0}] = "BMold";
    // Without a packet number the upload under way is abandoned; the
    // stored object stays.
    EXPECT_EQ(phone("AT^SBNW=bmp,0,1,2"), kPrompt);
    EXPECT_EQ(phone.data("424D"), kOk);
    EXPECT_EQ(phone("AT^SBNW=bmp,0"), kOk);
    EXPECT_TRUE(phone.state.objects.uploads.empty());
    EXPECT_EQ(*phone.stored("bmp"), "BMold");
    EXPECT_EQ(phone("AT^SBNW=bmp,0,2,2"), cme(3));
    // Packet 0 deletes the object and any upload of it.
    EXPECT_EQ(phone("AT^SBNW=bmp,0,1,2"), kPrompt);
    EXPECT_EQ(phone.data("424D"), kOk);
    EXPECT_EQ(phone("AT^SBNW=bmp,0,0"), kOk);
    EXPECT_EQ(phone.stored("bmp"), nullptr);
    EXPECT_TRUE(phone.state.objects.uploads.empty());
    EXPECT_EQ(phone("AT^SBNW=bmp,0,0"), kOk);  // nothing there: still fine
}

TEST(ObjectStoreRead, BlocksOfHeaderAndHexLine) {
    Phone phone;
    std::string object(600, '\x11');
    object[0] = 'B';
    object[599] = '\xAB';
    phone.state.objects.objects[{"bmp", 0}] = object;
    std::string expected = "\r\n";
    for (int k = 1; k <= 3; ++k) {
        expected += "^SBNR: \"bmp\",0," + std::to_string(k) + ",3\r\n" +
                    hexText(object.substr((k - 1) * kPacketBytes, kPacketBytes)) + "\r\n";
    }
    EXPECT_EQ(phone("AT^SBNR=bmp,0"), expected + kOk);
    EXPECT_EQ(expected.substr(expected.size() - 4), "AB\r\n");
    EXPECT_EQ(phone("AT^SBNR=mid,0"), cme(22));  // nothing stored
    EXPECT_EQ(phone("AT^SBNR=mid,1"), cme(21));
}

TEST(ObjectStoreCommands, OtherTypesGoToTheStoreRegisteredBefore) {
    // A stand-in for another store of the same commands, registered before
    // this one, holding "vcs" only.
    PbPhone phone(PhoneState{});
    CommandTable& table = phone.in.commands();
    const auto vcs = [](const char* prefix) {
        return [prefix](Context&, const Command& cmd) {
            if (cmd.form == Command::Form::Test)
                return Reply::ok({std::string(prefix) + ": \"vcs\""});
            return cmd.params().at(0).text == "vcs" ? Reply::ok({"vcs store"}) : Reply::error(4);
        };
    };
    table.add("^SBNR", vcs("^SBNR"));
    table.add("^SBNW", vcs("^SBNW"));
    registerObjectStoreCommands(table);
    EXPECT_EQ(phone("AT^SBNR=vcs,3"), "\r\nvcs store\r\n" + kOk);
    EXPECT_EQ(phone("AT^SBNW=vcs,3,0"), "\r\nvcs store\r\n" + kOk);
    EXPECT_EQ(phone("AT^SBNW=bmp,0,0"), kOk);
    EXPECT_EQ(phone("AT^SBNW=?"),
              "\r\n^SBNW: \"vcs\"\r\n^SBNW: \"bmp\",(0-0)\r\n^SBNW: \"mid\",(0-0)\r\n" + kOk);
    // Without another store, an unknown type is refused.
    Phone alone;
    EXPECT_EQ(alone("AT^SBNR=xyz,1"), cme(4));
    EXPECT_EQ(alone("AT^SBNW=xyz,0,0"), cme(4));
}

TEST(ObjectStoreState, SectionRoundTripsAndRefusesBadLines) {
    PhoneState s = PhoneState::demo();
    ASSERT_NE(s.objects.find({"bmp", 0}), nullptr);
    EXPECT_EQ(s.objects.find({"bmp", 0})->size(), 478u);  // 97 x 26, one bit a pixel
    EXPECT_EQ(s.objects.find({"mid", 0})->substr(0, 4), "MThd");
    s.objects.objects[{"mid", 0}] = std::string("MThd\x00\x0D\x0A\xFF", 8);
    s.objects.uploads[{"mid", 0}] = ObjectStore::Upload{3, 2, "MT"};
    const PhoneState loaded = readBack(s);
    EXPECT_EQ(loaded.objects.objects, s.objects.objects);
    EXPECT_TRUE(loaded.objects.uploads.empty());  // an upload under way is not kept

    expectRefused("[objects]",
                  {"object = gif,0,4749", "object = bmp,1,424D", "object = bmp,0,424",
                   "object = bmp,0", "object = mid,0,4D\nobject = mid,0,4D", "thing = 1"});
}

}  // namespace
}  // namespace phonesim
