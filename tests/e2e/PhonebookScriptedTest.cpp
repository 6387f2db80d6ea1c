// The phonebook's traffic byte for byte over a real pty, against a peer
// that sends exactly the replies each case needs, odd ones included.

#include <gtest/gtest.h>

#include "phonebook/PhonebookWriter.h"
#include "support/PhonebookRig.h"

namespace vondrix::phonebook {
namespace {

using Lines = std::vector<std::string>;
using WriteResult = PhonebookWriter::WriteResult;

const std::string kOk = "\r\nOK\r\n";
const std::string kError = "\r\nERROR\r\n";

std::string entryReply(int location, const std::string& number, const std::string& name) {
    return "\r\n+CPBR: " + std::to_string(location) + ",\"" + number + "\"," +
           std::to_string(numberType(number)) + ",\"" + name + "\"\r\n" + kOk;
}

std::string rangeReply(const std::string& tag, const std::string& range) {
    return "\r\n" + tag + ": " + range + "\r\n" + kOk;
}

using Rig = test::ScriptedPhonebookRig;

Lines readLines(int first, int last, const char* prefix = "AT+CPBR=") {
    Lines out;
    for (int i = first; i <= last; ++i)
        out.push_back(prefix + std::to_string(i));
    return out;
}

Lines concat(Lines a, const Lines& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(PhonebookScripted, ReadsEveryLocationWithProgress) {
    Rig rig;
    rig.replies({rangeReply("+CPBR", "(1-5),20,14"), entryReply(1, "0301", "Zora"), kOk,
                 kError,  // a failed location is skipped: no free entry, no progress
                 entryReply(4, "+4930", "M~ller"), entryReply(5, "030", "")});
    ASSERT_TRUE(rig.reader.readCurrent());
    EXPECT_EQ(rig.lines(), concat({"AT+CPBR=?"}, readLines(1, 5)));

    const CurrentPhonebook& b = rig.model.current;
    EXPECT_EQ(b.range.first, 1);
    EXPECT_EQ(b.range.highest, 5);
    EXPECT_EQ(b.range.numberLength, 20);
    EXPECT_EQ(b.range.textLength, 14);
    ASSERT_EQ(b.entries.size(), 3u);
    EXPECT_EQ(b.entries[1].name, "M\xFCller");
    EXPECT_EQ(b.entries[1].type, 145);
    EXPECT_EQ(b.entries[2].name, "");  // an empty name is still an entry
    EXPECT_EQ(b.freeLocations, (std::vector<int>{2}));
    // Rows sorted by name.
    ASSERT_EQ(b.rows.size(), 3u);
    EXPECT_EQ(b.rows[0].location, 5);
    EXPECT_EQ(b.rows[1].location, 4);
    EXPECT_EQ(b.rows[2].location, 1);
    EXPECT_EQ(rig.reporter.progressDisplay, Reporter::Display::PhonebookBar);
    EXPECT_EQ(rig.reporter.progressTotal, 100);
    EXPECT_EQ(rig.reporter.progress, (std::vector<int>{1, 20, 40, 80, 100, 0}));
    EXPECT_FALSE(rig.reporter.progressOpen);
    EXPECT_TRUE(rig.reporter.shown.empty());
}

TEST(PhonebookScripted, FailedOrUnreadableRangeQueryKeepsTheTables) {
    struct Case {
        const char* situation;
        std::string reply;
        std::vector<int> shown;
    };
    const Case cases[] = {
        {"refused", "\r\n+CME ERROR: 3\r\n", {}},
        {"a size that is no range: unknown, not 0",
         rangeReply("+CPBR", "1-100,20,14"),
         {msg::PhonebookSizeUnreadable}},
    };
    for (const Case& c : cases) {
        Rig rig;
        rig.model.current.entries = {{1, "0301", 129, "Anna"}};
        rig.model.current.rows = {{1, "Anna", "0301", 0}};
        rig.model.current.freeLocations = {2};
        rig.reply(c.reply);
        EXPECT_FALSE(rig.reader.readCurrent()) << c.situation;
        EXPECT_EQ(rig.lines(), Lines{"AT+CPBR=?"}) << c.situation;
        EXPECT_EQ(rig.model.current.entries.size(), 1u) << c.situation;
        EXPECT_EQ(rig.model.current.rows.size(), 1u) << c.situation;
        EXPECT_EQ(rig.model.current.freeLocations, (std::vector<int>{2})) << c.situation;
        EXPECT_EQ(rig.reporter.progress, (std::vector<int>{1, 0})) << c.situation;
        EXPECT_EQ(rig.reporter.ids(), c.shown) << c.situation;
    }
}

TEST(PhonebookScripted, HighestIndexZeroMovesNoBar) {
    Rig rig;
    rig.replies({rangeReply("+CPBR", "(0-0),20,14"), entryReply(0, "1", "A")});
    ASSERT_TRUE(rig.reader.readCurrent());
    EXPECT_EQ(rig.model.current.entries.size(), 1u);
    EXPECT_EQ(rig.reporter.progress, (std::vector<int>{1, 0}));
}

TEST(PhonebookScripted, MoreOccupiedLocationsThanTheTableHolds) {
    Rig rig;
    std::vector<std::string> replies = {rangeReply("+CPBR", "(1-503),20,14")};
    for (int i = 1; i <= 503; ++i)
        replies.push_back(i == 2 || i == 502 ? kOk : entryReply(i, "1", "N" + std::to_string(i)));
    rig.replies(replies);
    ASSERT_TRUE(rig.reader.readCurrent());
    const CurrentPhonebook& b = rig.model.current;
    EXPECT_EQ(rig.lines().size(), 504u);  // read to the end for the free list
    EXPECT_EQ(b.entries.size(), kMaxEntries);
    EXPECT_EQ(b.rows.size(), kMaxEntries);
    EXPECT_EQ(b.entries.back().index, 501);
    EXPECT_EQ(b.freeLocations, (std::vector<int>{2, 502}));
}

TEST(PhonebookScripted, RedbookStopsAtItsCapacity) {
    Rig rig;
    std::vector<std::string> replies = {kOk, rangeReply("^SPBG", "(1-32),20,14")};
    for (int i = 1; i <= 30; ++i)
        replies.push_back(i == 4 ? kOk
                                 : "\r\n^SPBG: " + std::to_string(i) + ",\"1\",129,\"V" +
                                       std::to_string(i) + "!\"\r\n" + kOk);
    replies.push_back("\r\n^SPBG: 31,\"1\",129,\"W!\"\r\n" + kOk);
    replies.push_back("\r\n^SPBG: 32,\"1\",129,\"X!\"\r\n" + kOk);
    rig.replies(replies);
    rig.reader.readRedbook();
    EXPECT_EQ(rig.lines(), concat({"AT^SPBS=RD", "AT^SPBG=?"}, readLines(1, 31, "AT^SPBG=")));
    ASSERT_EQ(rig.model.redbook.size(), kMaxRedbook);
    EXPECT_EQ(rig.model.redbook[3].index, 5);  // the position read, empty ones skipped
    EXPECT_EQ(rig.model.redbook.back().name, "W!");
}

TEST(PhonebookScripted, CallListsEndAtTheFirstEmptyLocationOrTheirCapacity) {
    Rig rig;
    std::vector<std::string> replies = {kOk, rangeReply("+CPBR", "(1-10),20,14"),
                                        entryReply(1, "0301", ""), entryReply(2, "0302", "Ann@"),
                                        kOk};  // location 3 empty: the list ends
    replies.push_back(kError);                 // missed calls: selection refused
    replies.push_back(kOk);
    replies.push_back(rangeReply("+CPBR", "(1-12),20,14"));
    for (int i = 1; i <= 10; ++i)
        replies.push_back(entryReply(i, std::to_string(i), "R"));
    rig.model.missed.lines = {"stale"};
    rig.replies(replies);
    rig.reader.readCallLists();
    const Lines expected =
        concat(concat({"AT+CPBS=LD", "AT+CPBR=?"}, readLines(1, 3)),
               concat({"AT+CPBS=MC", "AT+CPBS=RC", "AT+CPBR=?"}, readLines(1, 10)));
    EXPECT_EQ(rig.lines(), expected);
    EXPECT_EQ(rig.model.dialled.lines, (Lines{", 0301", "Ann@, 0302"}));
    EXPECT_EQ(rig.model.dialled.calls.size(), 2u);
    EXPECT_EQ(rig.model.missed.lines, (Lines{"stale"}));  // a failed list is skipped
    EXPECT_EQ(rig.model.received.calls.size(), kMaxCalls);
    EXPECT_EQ(rig.model.received.lines.size(), kMaxCalls);
}

TEST(PhonebookScripted, OwnNumbersFillLocationsOneToSix) {
    Rig rig;
    const std::string longNumber(60, '7');
    std::vector<std::string> replies = {kOk, rangeReply("+CPBR", "(1-7),20,14"),
                                        entryReply(1, "+49171", "Me"),
                                        entryReply(2, longNumber, "")};
    for (int i = 3; i <= 6; ++i)
        replies.push_back(kOk);
    replies.push_back(entryReply(7, "0999", "Seven"));
    rig.replies(replies);
    rig.reader.readOwnNumbers();
    EXPECT_EQ(rig.lines(), concat({"AT+CPBS=ON", "AT+CPBR=?"}, readLines(1, 7)));
    EXPECT_EQ(rig.model.ownNumbers[0], "+49171");
    EXPECT_EQ(rig.model.ownNumbers[1], longNumber.substr(0, kMaxOwnNumber));
    for (std::size_t i = 2; i < kOwnNumbers; ++i)
        EXPECT_EQ(rig.model.ownNumbers[i], "");
}

// The fixed-dialling PIN2 protocol where the simulated phone cannot go: one
// store of location 1 per case.
TEST(PhonebookScripted, FixedDiallingPin2OddCases) {
    const std::string write = "AT+CPBW=1,0301,129,\"M\\7Eller\"";
    const Lines unlocked = {"AT+CMEE=2", write, "AT+CPIN?", "AT+CPIN=1234", write, "AT+CMEE=0"};
    const Lines twice = {"AT+CMEE=2", write, write, "AT+CMEE=0"};
    struct Case {
        const char* what;
        std::optional<std::string> pin;  // the dialog's answer; none when one is stored
        std::vector<std::string> replies;
        WriteResult result;
        Lines lines;
        std::vector<int> messages;
        std::string pinAfter;
    };
    const std::vector<Case> cases = {
        {"upper-case REQUIRED",
         "1234",
         {kOk, "\r\n+CME ERROR: SIM PIN2 REQUIRED\r\n", kOk, kOk, kOk, kOk},
         WriteResult::Ok,
         unlocked,
         {},
         "1234"},
        {"second write refused",
         std::nullopt,
         {kOk, kOk, kError, kOk},
         WriteResult::Failed,
         twice,
         {},
         "1234"},
        {"PIN2 with a line end", "12\rATD0900;", {}, WriteResult::InvalidPin, {}, {47}, ""},
        {"long PIN2 cut to 19 digits",
         std::string(25, '5'),
         {kOk, kOk, kOk, kOk},
         WriteResult::Ok,
         twice,
         {},
         std::string(19, '5')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Rig rig;
        rig.model.current.kind = Kind::Fixed;
        if (c.pin)
            rig.reporter.pins = {*c.pin};
        else
            rig.model.pin2 = "1234";
        rig.replies(c.replies);
        EXPECT_EQ(rig.writer.store(1, "0301", 129, "M\xFCller"), c.result);
        EXPECT_EQ(rig.lines(), c.lines);
        EXPECT_EQ(rig.reporter.ids(), c.messages);
        EXPECT_EQ(rig.model.pin2, c.pinAfter);
    }
}

// Stores are LinkFailure.InjectionNeverReachesThePhone's rows.
TEST(PhonebookScripted, ControlCharactersNeverReachTheLine) {
    Rig rig;
    EXPECT_FALSE(rig.centre.set("+49\r1"));
    EXPECT_EQ(rig.reporter.ids(), (std::vector<int>{106}));
    EXPECT_TRUE(rig.lines().empty());
}

TEST(PhonebookScripted, CallBackDialsTheTextAfterTheLastComma) {
    Rig rig;
    rig.replies({kOk, "\r\nBUSY\r\n"});
    EXPECT_EQ(rig.calls.callBack(", 0301"), CallService::kDialled);
    EXPECT_EQ(rig.calls.callBack("Smith, John, 0302"), AtEngine::Status::Busy);
    EXPECT_EQ(rig.calls.callBack("no comma"), CallService::kNotDialled);
    EXPECT_EQ(rig.calls.callBack(""), CallService::kNotDialled);
    EXPECT_EQ(rig.lines(), (Lines{"ATD 0301;", "ATD 0302;"}));
    EXPECT_EQ(rig.reporter.ids(), (std::vector<int>{21}));
}

TEST(PhonebookScripted, ServiceCentreReadAndSet) {
    Rig rig;
    rig.replies({"\r\n+CSCA: \"+491710760000\",145\r\n" + kOk, kOk, kError, kError});
    EXPECT_TRUE(rig.centre.read());
    EXPECT_EQ(rig.model.serviceCentre.number, "+491710760000");
    EXPECT_EQ(rig.model.serviceCentre.type, 145);
    EXPECT_TRUE(rig.centre.set("01720000"));
    EXPECT_EQ(rig.model.serviceCentre.number, "01720000");
    EXPECT_EQ(rig.model.serviceCentre.type, 129);
    EXPECT_FALSE(rig.centre.set("+4917"));
    EXPECT_EQ(rig.model.serviceCentre.number, "01720000");
    EXPECT_FALSE(rig.centre.set(""));
    EXPECT_FALSE(rig.centre.read());
    EXPECT_EQ(rig.model.serviceCentre.number, "");
    EXPECT_EQ(rig.lines(),
              (Lines{"AT+CSCA?", "AT+CSCA=01720000,129", "AT+CSCA=+4917,145", "AT+CSCA?"}));
    EXPECT_EQ(rig.reporter.ids(), (std::vector<int>{59, 58}));
}

}  // namespace
}  // namespace vondrix::phonebook
