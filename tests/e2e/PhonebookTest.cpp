// The phonebook operations over a real pty against the simulated phone:
// reading, the window's opening, writing with the PIN2 protocol, the
// Redbook, normalising, the call lists and dialling.

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "phonebook/Export.h"
#include "phonebook/PhonebookWriter.h"
#include "support/PhonebookRig.h"

namespace vondrix::phonebook {
namespace {

using Lines = std::vector<std::string>;
using phonesim::PhoneState;
using phonesim::StoredEntry;

using Rig = test::SimulatedPhonebookRig;

// A SIM of 250 locations, all occupied but 3, 7 and 9.
void simOf250(PhoneState& s) {
    s.sim.entries.clear();
    for (int i = 1; i <= 250; ++i)
        if (i != 3 && i != 7 && i != 9)
            s.sim.entries[i] = StoredEntry{"030" + std::to_string(i), 129, "N" + std::to_string(i)};
}

// A SIM with every location of the demo's eight occupied.
void fullSimOf8(PhoneState& s) {
    s.sim.size = 8;
    s.sim.entries[5] = StoredEntry{"0305", 129, "Five"};
}

TEST(PhonebookReading, SimOf250WithAndWithoutReadB) {
    for (const bool readB : {false, true}) {
        SCOPED_TRACE(readB ? "ReadB on" : "ReadB off");
        Rig rig(simOf250);
        rig.settings.readB = readB;
        ASSERT_TRUE(rig.reader.readCurrent());
        const Lines lines = rig.lines();
        const CurrentPhonebook& b = rig.model.current;
        EXPECT_EQ(lines.front(), "AT+CPBR=?");
        EXPECT_EQ(lines.back(), readB ? "AT+CPBR=9" : "AT+CPBR=250");
        EXPECT_EQ(lines.size(), readB ? 10u : 251u);
        EXPECT_EQ(b.range.highest, 250);
        EXPECT_EQ(b.range.numberLength, 20);
        EXPECT_EQ(b.range.textLength, 14);
        EXPECT_EQ(b.entries.size(), readB ? 6u : 247u);
        EXPECT_EQ(b.rows.size(), b.entries.size());
        EXPECT_EQ(b.freeLocations, (std::vector<int>{3, 7, 9}));
        EXPECT_EQ(rig.entryAt(250).name, readB ? "" : "N250");
        EXPECT_TRUE(std::is_sorted(b.rows.begin(), b.rows.end(),
                                   [](const Row& x, const Row& y) { return x.name < y.name; }));
        // The bar: 1 at the start, each new percentage once, 0 at the end.
        const auto& p = rig.reporter.progress;
        ASSERT_GE(p.size(), 3u);
        EXPECT_EQ(p.front(), 1);
        EXPECT_EQ(p.back(), 0);
        EXPECT_EQ(p.end()[-2], readB ? 3 : 100);  // 100 * 8 / 250 before the stop
        EXPECT_TRUE(std::is_sorted(p.begin(), p.end() - 1));
        EXPECT_EQ(std::adjacent_find(p.begin(), p.end()), p.end());
    }
}

TEST(PhonebookReading, NamesComeBackAsThePcShowsThem) {
    Rig rig([](PhoneState& s) { s.sim.entries[5] = StoredEntry{"0305", 129, ""}; });
    ASSERT_TRUE(rig.reader.readCurrent());
    EXPECT_EQ(rig.entryAt(1).name,
              "M\xFC"
              "ller");  // sent as GSM code 0x7E
    EXPECT_EQ(rig.entryAt(1).type, 145);
    EXPECT_EQ(rig.entryAt(6).name, "Info@Home");  // sent as a 0x00 byte
    EXPECT_EQ(rig.entryAt(8).name,
              "Taxi Stra\xDF"
              "e");
    EXPECT_EQ(rig.entryAt(5).name, "");  // an empty name is an entry
    EXPECT_EQ(rig.entryAt(5).number, "0305");
    EXPECT_EQ(rig.model.current.entries.size(), 8u);
}

TEST(PhonebookReading, WindowOpeningReadsEverythingInOrder) {
    Rig rig;
    rig.model.current.kind = Kind::Internal;  // left from an earlier opening
    rig.window.open();
    const Lines lines = rig.lines();
    // The traffic without the location reads.
    Lines commands;
    std::size_t reads = 0;
    for (const auto& l : lines) {
        const bool read =
            (l.rfind("AT+CPBR=", 0) == 0 || l.rfind("AT^SPBG=", 0) == 0) && l.back() != '?';
        read ? ++reads : (commands.push_back(l), 0u);
    }
    EXPECT_EQ(commands, (Lines{"AT+CPBS=ON", "AT+CPBR=?", "AT^SPBS=SM", "AT+CPBR=?", "AT^SPBS=RD",
                               "AT^SPBG=?", "AT+CPBS=LD", "AT+CPBR=?", "AT+CPBS=MC", "AT+CPBR=?",
                               "AT+CPBS=RC", "AT+CPBR=?", "AT+CSCA?", "AT^SPBS=SM"}));
    EXPECT_EQ(reads, 6u + 250u + 1u + 3u * 10u);

    const PhonebookModel& m = rig.model;
    EXPECT_EQ(m.current.kind, Kind::Sim);
    EXPECT_TRUE(m.phonebookRead);
    EXPECT_EQ(m.ownNumbers[0], "+491711234567");
    EXPECT_EQ(m.ownNumbers[1], "+491711234568");
    EXPECT_EQ(m.ownNumbers[2], "");
    EXPECT_EQ(m.current.entries.size(), 7u);
    EXPECT_EQ(m.current.freeLocations.front(), 5);
    ASSERT_EQ(m.redbook.size(), 1u);
    EXPECT_EQ(m.redbook[0].name, "Mama!");
    EXPECT_EQ(m.redbook[0].index, 1);
    EXPECT_EQ(m.dialled.lines.size(), 10u);
    EXPECT_EQ(m.dialled.lines[0], "M\xFCller, +4930123456");
    EXPECT_EQ(m.missed.lines[0], ", 0301");
    EXPECT_EQ(m.received.lines.size(), 10u);
    EXPECT_EQ(m.serviceCentre.number, "+491710760000");
    EXPECT_EQ(m.serviceCentre.type, 145);
    EXPECT_EQ(rig.reporter.progressDisplay, Reporter::Display::Reading);
    EXPECT_FALSE(rig.reporter.progressOpen);
    EXPECT_TRUE(rig.reporter.shown.empty());

    // Writes after the opening go to the SIM.
    rig.forget();
    ASSERT_TRUE(rig.writer.saveEntry(0, "Neu", "0301"));
    EXPECT_EQ(rig.phone().sim.entries.at(5).name, "Neu");
}

TEST(PhonebookReading, SwitchingKindsSavesFirstAndReadsTheNewKind) {
    Rig rig;
    rig.read();
    EXPECT_TRUE(rig.window.switchKind(Kind::Sim));  // the current kind: nothing at all
    EXPECT_FALSE(std::filesystem::exists(rig.localFile()));
    EXPECT_TRUE(rig.lines().empty());

    EXPECT_TRUE(rig.window.switchKind(Kind::Internal));
    // The SIM phonebook went to the local file before the new kind was read.
    std::ifstream saved(rig.localFile(), std::ios::binary);
    std::string firstLine;
    std::getline(saved, firstLine);
    EXPECT_EQ(firstLine, "[SIM]\r");
    const Lines lines = rig.lines();
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[0], "AT^SPBS=ME");
    EXPECT_EQ(lines[1], "AT+CPBR=?");
    EXPECT_EQ(lines.size(), 2u + 100u);
    EXPECT_EQ(rig.model.current.kind, Kind::Internal);
    EXPECT_EQ(rig.model.current.entries.size(), 3u);
    EXPECT_EQ(rig.entryAt(2).name, "B\xFCro");
    EXPECT_EQ(rig.reporter.progressDisplay, Reporter::Display::PhonebookBar);
}

TEST(PhonebookWriting, NewEntryGoesToTheFirstFreeLocationEncoded) {
    Rig rig;
    rig.read();
    ASSERT_TRUE(rig.writer.canAddEntry());
    ASSERT_TRUE(rig.writer.saveEntry(0, "M\xFCller", "+4930"));
    ASSERT_TRUE(rig.writer.saveEntry(0, "a@b", "0301"));
    EXPECT_EQ(rig.lines(), (Lines{"AT^SPBS=SM", "AT+CPBW=5,+4930,145,\"M\\7Eller\"",
                                  "AT+CPBW=9,0301,129,\"a\\00b\""}));
    const PhoneState phone = rig.phone();
    EXPECT_EQ(phone.sim.entries.at(5).name, "M\xFCller");
    EXPECT_EQ(phone.sim.entries.at(5).type, 145);
    EXPECT_EQ(phone.sim.entries.at(9).name, "a@b");
    // The tables keep the name as typed.
    EXPECT_EQ(rig.entryAt(5).name, "M\xFCller");
    EXPECT_EQ(rig.entryAt(9).name, "a@b");
    EXPECT_EQ(rig.model.current.entries.size(), 9u);
    EXPECT_EQ(rig.model.current.firstFreeLocation(), 10);
    EXPECT_TRUE(rig.reporter.shown.empty());
}

TEST(PhonebookWriting, FullPhonebookRefusesNewEntries) {
    Rig rig(fullSimOf8);
    rig.read();
    EXPECT_FALSE(rig.writer.canAddEntry());  // message 22, no dialog
    EXPECT_FALSE(rig.writer.saveEntry(0, "Late", "0301"));
    EXPECT_EQ(rig.reporter.ids(), (std::vector<int>{22, 32}));
    EXPECT_EQ(rig.lines(), (Lines{"AT^SPBS=SM"}));  // only the selection
}

TEST(PhonebookWriting, EntryDialogChecks) {
    Rig rig;
    rig.read();
    EXPECT_FALSE(rig.writer.saveEntry(0, "", "0301"));
    EXPECT_FALSE(rig.writer.saveEntry(0, "Name", ""));
    EXPECT_FALSE(rig.writer.warnNameLength(std::string(14, 'x')));
    EXPECT_TRUE(rig.writer.warnNameLength(std::string(15, 'x')));
    EXPECT_FALSE(rig.writer.warnNumberLength(std::string(20, '1')));
    EXPECT_TRUE(rig.writer.warnNumberLength(std::string(21, '1')));
    EXPECT_EQ(rig.reporter.ids(), (std::vector<int>{27, 29, 26, 28}));
    EXPECT_TRUE(rig.lines().empty());
    // A name the phone finds too long: refused, message 49, location still free.
    EXPECT_FALSE(rig.writer.saveEntry(0, std::string(15, 'x'), "0301"));
    EXPECT_EQ(rig.reporter.ids().back(), 49);
    EXPECT_EQ(rig.model.current.firstFreeLocation(), 5);
    EXPECT_EQ(rig.model.current.entries.size(), 7u);
}

TEST(PhonebookWriting, EditChangesTheEntryInPlace) {
    Rig rig;
    rig.read();
    const auto form = rig.writer.beginEdit(rig.rowOf(4));
    ASSERT_TRUE(form);
    EXPECT_EQ(form->location, 4);
    EXPECT_EQ(form->name, "Caf\xE9 Lyon");
    EXPECT_EQ(form->number, "+33478123456");
    ASSERT_TRUE(rig.writer.saveEntry(4, "Caf\xE9 Paris", "0145"));
    EXPECT_EQ(rig.lines(), (Lines{"AT^SPBS=SM", "AT+CPBW=4,0145,129,\"Caf\\05 Paris\""}));
    EXPECT_EQ(rig.phone().sim.entries.at(4).name, "Caf\xE9 Paris");
    EXPECT_EQ(rig.entryAt(4).number, "0145");
    EXPECT_EQ(rig.entryAt(4).type, 129);
    EXPECT_EQ(rig.model.current.rows[rig.rowOf(4)].name, "Caf\xE9 Paris");
    EXPECT_EQ(rig.model.current.entries.size(), 7u);

    // Refused: message 24, the table unchanged.
    rig.sim.withState([](PhoneState& s) { s.failing.insert("AT+CPBW"); });
    EXPECT_FALSE(rig.writer.saveEntry(4, "Other", "0146"));
    EXPECT_EQ(rig.reporter.ids(), (std::vector<int>{24}));
    EXPECT_EQ(rig.entryAt(4).name, "Caf\xE9 Paris");
}

TEST(PhonebookWriting, DeleteLeavesAnEmptyRowAndFeedsTheFreeList) {
    Rig rig;
    rig.read();
    const std::size_t row = rig.rowOf(2);
    ASSERT_TRUE(rig.writer.confirmDelete(row, true));
    EXPECT_EQ(rig.lines(), (Lines{"AT^SPBS=SM", "AT+CPBW=2"}));
    EXPECT_EQ(rig.reporter.ids(), (std::vector<int>{14}));
    EXPECT_EQ(rig.phone().sim.entries.count(2), 0u);
    const CurrentPhonebook& b = rig.model.current;
    EXPECT_EQ(b.rows[row].location, 2);
    EXPECT_EQ(b.rows[row].name, "");
    EXPECT_EQ(b.rows[row].number, "");
    EXPECT_EQ(b.entries.size(), 7u);  // the count shown does not change
    EXPECT_EQ(b.freeLocations.back(), 2);
    EXPECT_TRUE(b.isDeleted(b.rows[row].entry));

    // No on the question: nothing sent.
    rig.forget();
    rig.reporter.answers = {Answer::No};
    EXPECT_FALSE(rig.writer.confirmDelete(rig.rowOf(1), false));
    EXPECT_TRUE(rig.lines().empty());
    // Refused by the phone: message 50, the row unchanged.
    rig.sim.withState([](PhoneState& s) { s.failing.insert("AT+CPBW"); });
    EXPECT_FALSE(rig.writer.deleteEntry(rig.rowOf(1)));
    EXPECT_EQ(rig.reporter.ids(), (std::vector<int>{14, 50}));
    EXPECT_EQ(rig.model.current.rows[rig.rowOf(1)].name, "M\xFCller");
}

TEST(PhonebookWriting, ExportsNeverShowDeletedAndAlwaysShowWrittenEntries) {
    Rig rig(fullSimOf8);
    rig.read();
    ASSERT_TRUE(rig.writer.deleteEntry(rig.rowOf(2)));
    std::string csv = csvText(rig.model.current);
    EXPECT_EQ(csv.find("01712345678"), std::string::npos);

    // The new entry takes the freed location and the empty row.
    const std::size_t rows = rig.model.current.rows.size();
    ASSERT_TRUE(rig.writer.saveEntry(0, "Neu", "0999"));
    EXPECT_EQ(rig.lines().back(), "AT+CPBW=2,0999,129,\"Neu\"");
    EXPECT_EQ(rig.model.current.rows.size(), rows);
    csv = csvText(rig.model.current);
    EXPECT_EQ(csv.find("01712345678"), std::string::npos);
    EXPECT_NE(csv.find("2;Neu;'0999\r\n"), std::string::npos);

    // Deleted again and replaced by an edit of its empty row.
    ASSERT_TRUE(rig.writer.deleteEntry(rig.rowOf(2)));
    const auto& shown = rig.model.current.rows;
    const auto empty =
        std::find_if(shown.begin(), shown.end(), [](const Row& r) { return r.location == 2; });
    ASSERT_NE(empty, shown.end());
    ASSERT_EQ(empty->name, "");
    const auto form = rig.writer.beginEdit(static_cast<std::size_t>(empty - shown.begin()));
    ASSERT_TRUE(form);
    EXPECT_EQ(form->location, 2);
    EXPECT_EQ(form->name, "");
    ASSERT_TRUE(rig.writer.saveEntry(form->location, "Wieder", "0888"));
    csv = csvText(rig.model.current);
    EXPECT_EQ(csv.find("Neu"), std::string::npos);
    EXPECT_NE(csv.find("2;Wieder;'0888\r\n"), std::string::npos);
    EXPECT_EQ(rig.model.current.freeLocations, std::vector<int>{});
    EXPECT_EQ(rig.phone().sim.entries.at(2).name, "Wieder");
}

TEST(PhonebookWriting, ClearEmptiesEveryLocationAndReadsAgain) {
    Rig rig([](PhoneState& s) { s.sim.size = 8; });
    rig.read();
    rig.reporter.answers = {Answer::No};
    EXPECT_FALSE(rig.writer.confirmClear());
    EXPECT_TRUE(rig.lines().empty());
    ASSERT_TRUE(rig.writer.confirmClear());
    const Lines lines = rig.lines();
    ASSERT_EQ(lines.size(), 8u + 1u + 8u);
    EXPECT_EQ(lines[0], "AT+CPBW=1");
    EXPECT_EQ(lines[7], "AT+CPBW=8");
    EXPECT_EQ(lines[8], "AT+CPBR=?");
    EXPECT_TRUE(rig.phone().sim.entries.empty());
    EXPECT_TRUE(rig.model.current.entries.empty());
    EXPECT_EQ(rig.model.current.freeLocations.size(), 8u);
}

// The fixed-dialling PIN2 protocol against the phone's real refusals.
class FixedDialling : public ::testing::Test {
  protected:
    FixedDialling() {
        rig.model.current.kind = Kind::Fixed;
        rig.read();
    }
    Rig rig;
};

TEST_F(FixedDialling, FirstWriteIsRefusedUntilThePin2IsGiven) {
    rig.reporter.pins = {"1234"};
    ASSERT_TRUE(rig.writer.saveEntry(0, "Polizei", "110"));
    const std::string write = "AT+CPBW=3,110,129,\"Polizei\"";
    EXPECT_EQ(rig.lines(),
              (Lines{"AT+CMEE=2", write, "AT+CPIN?", "AT+CPIN=1234", write, "AT+CMEE=0"}));
    EXPECT_EQ(rig.phone().fixedDialling.entries.at(3).name, "Polizei");
    EXPECT_EQ(rig.model.pin2, "1234");

    // The PIN2 is kept: the next write asks nothing and works at once, and
    // is still sent twice.
    rig.forget();
    ASSERT_TRUE(rig.writer.deleteEntry(rig.rowOf(3)));
    EXPECT_EQ(rig.lines(), (Lines{"AT+CMEE=2", "AT+CPBW=3", "AT+CPBW=3", "AT+CMEE=0"}));
    EXPECT_EQ(rig.reporter.pin2Asked, 1);
    EXPECT_TRUE(rig.reporter.shown.empty());
}

TEST_F(FixedDialling, RejectedPin2IsForgottenAndAskedForAgain) {
    rig.reporter.pins = {"9999", "1234"};
    EXPECT_FALSE(rig.writer.saveEntry(0, "Polizei", "110"));
    EXPECT_EQ(rig.reporter.ids(), (std::vector<int>{48}));
    EXPECT_EQ(rig.model.pin2, "");
    EXPECT_EQ(rig.lines().back(), "AT+CPIN=9999");  // nothing after the rejection
    EXPECT_EQ(rig.model.current.firstFreeLocation(), 3);
    EXPECT_EQ(rig.phone().fixedDialling.entries.count(3), 0u);

    ASSERT_TRUE(rig.writer.saveEntry(0, "Polizei", "110"));
    EXPECT_EQ(rig.reporter.pin2Asked, 2);
    EXPECT_EQ(rig.lines().back(), "AT+CMEE=0");
    EXPECT_EQ(rig.phone().fixedDialling.entries.at(3).number, "110");
}

TEST_F(FixedDialling, CancelledOrEmptyPin2SendsNothing) {
    rig.reporter.pins = {std::nullopt, ""};
    EXPECT_FALSE(rig.writer.saveEntry(0, "Polizei", "110"));
    EXPECT_TRUE(rig.reporter.shown.empty());  // Cancel: no message
    EXPECT_FALSE(rig.writer.deleteEntry(rig.rowOf(1)));
    EXPECT_EQ(rig.reporter.ids(), (std::vector<int>{47}));
    EXPECT_TRUE(rig.lines().empty());
    EXPECT_EQ(rig.model.current.rows[rig.rowOf(1)].name, "Notruf");
}

TEST_F(FixedDialling, ClearUnlocksOnceThenEmptiesEveryLocation) {
    rig.reporter.pins = {"1234"};
    rig.writer.clearPhonebook();
    const Lines lines = rig.lines();
    const Lines head = {"AT+CMEE=2",    "AT+CPBW=1", "AT+CPIN?",
                        "AT+CPIN=1234", "AT+CPBW=1", "AT+CMEE=0"};
    ASSERT_GT(lines.size(), head.size() + 11u);
    EXPECT_EQ(Lines(lines.begin(), lines.begin() + 6), head);
    EXPECT_EQ(lines[6], "AT+CPBW=1");
    EXPECT_EQ(lines[15], "AT+CPBW=10");
    EXPECT_EQ(lines[16], "AT+CMEE=0");
    EXPECT_EQ(lines[17], "AT+CPBR=?");
    EXPECT_TRUE(rig.phone().fixedDialling.entries.empty());
    EXPECT_TRUE(rig.model.current.entries.empty());
}

TEST(PhonebookRedbook, AddAndRemoveWithTheMarker) {
    Rig rig;
    rig.window.open();
    rig.forget();
    const std::size_t row = rig.rowOf(1);
    ASSERT_TRUE(rig.writer.addToRedbook(row));
    EXPECT_EQ(rig.lines(), (Lines{"AT^SPBS=SM", "AT+CPBW=1,+4930123456,145,\"M\\7Eller!\""}));
    EXPECT_EQ(rig.phone().sim.entries.at(1).name, "M\xFCller!");
    EXPECT_EQ(rig.entryAt(1).name, "M\xFCller!");
    EXPECT_EQ(rig.model.current.rows[row].name, "M\xFCller!");
    ASSERT_EQ(rig.model.redbook.size(), 2u);
    EXPECT_EQ(rig.model.redbook[1].name, "M\xFCller!");
    EXPECT_EQ(rig.model.redbook[1].index, 2);

    // Already a member: message 23, nothing sent.
    rig.forget();
    EXPECT_FALSE(rig.writer.addToRedbook(row));
    EXPECT_EQ(rig.reporter.ids(), (std::vector<int>{23}));
    EXPECT_TRUE(rig.lines().empty());

    // The phone lists both, in its alphabetical order.
    rig.reader.readRedbook();
    ASSERT_EQ(rig.model.redbook.size(), 2u);
    EXPECT_EQ(rig.model.redbook[0].name, "Mama!");
    EXPECT_EQ(rig.model.redbook[1].name, "M\xFCller!");

    rig.forget();
    ASSERT_TRUE(rig.writer.removeFromRedbook(1));
    EXPECT_EQ(rig.lines(), (Lines{"AT^SPBS=SM", "AT+CPBW=1,+4930123456,145,\"M\\7Eller\""}));
    EXPECT_EQ(rig.phone().sim.entries.at(1).name, "M\xFCller");
    EXPECT_EQ(rig.model.current.rows[row].name, "M\xFCller");
    ASSERT_EQ(rig.model.redbook.size(), 1u);
    EXPECT_EQ(rig.model.redbook[0].name, "Mama!");

    // A later addition does not take the position of a record still shown.
    ASSERT_TRUE(rig.writer.addToRedbook(rig.rowOf(4)));
    EXPECT_EQ(rig.model.redbook.size(), 2u);
    EXPECT_EQ(rig.model.redbook[0].name, "Mama!");
    EXPECT_NE(rig.model.redbook[1].index, rig.model.redbook[0].index);
}

TEST(PhonebookRedbook, RemovalNeedsTheEntryInTheCurrentPhonebook) {
    Rig rig;
    rig.window.open();
    rig.window.switchKind(Kind::Internal);
    rig.forget();
    EXPECT_FALSE(rig.writer.removeFromRedbook(0));  // "Mama!" is on the SIM
    EXPECT_EQ(rig.reporter.ids(), (std::vector<int>{46}));
    EXPECT_EQ(rig.lines(), (Lines{"AT^SPBS=ME"}));
    EXPECT_EQ(rig.model.redbook.size(), 1u);
}

TEST(PhonebookRedbook, RefusedWriteUndoesTheAddition) {
    Rig rig;
    rig.window.open();
    rig.forget();
    rig.sim.withState([](PhoneState& s) { s.failing.insert("AT+CPBW"); });
    EXPECT_FALSE(rig.writer.addToRedbook(rig.rowOf(1)));
    EXPECT_EQ(rig.reporter.ids(), (std::vector<int>{24}));
    EXPECT_EQ(rig.entryAt(1).name, "M\xFCller");
    EXPECT_EQ(rig.model.redbook.size(), 1u);
}

TEST(PhonebookNormalise, WithAndWithoutRem0) {
    for (const bool rem0 : {false, true}) {
        SCOPED_TRACE(rem0 ? "Rem0 on" : "Rem0 off");
        Rig rig;
        rig.settings.tPref = "+49";
        rig.settings.rem0 = rem0;
        rig.read();
        rig.writer.normalise();
        const std::string pre = rem0 ? "+490" : "+49";
        // Rows in name order: Jürgen (2), Info@Home (6), Taxi Straße (8).
        EXPECT_EQ(rig.lines(),
                  (Lines{"AT+CPBW=6," + pre + "891234567,145,\"Info\\00Home\"",
                         "AT+CPBW=2," + pre + "1712345678,145,\"J\\7Ergen \\5Czt\\7Erk\"",
                         "AT+CPBW=8," + pre + "302223344,145,\"Taxi Stra\\1Ee\""}));
        EXPECT_EQ(rig.phone().sim.entries.at(2).number, pre + "1712345678");
        EXPECT_EQ(rig.entryAt(2).number, pre + "1712345678");
        EXPECT_EQ(rig.entryAt(2).type, 145);
        EXPECT_EQ(rig.model.current.rows[rig.rowOf(2)].number, pre + "1712345678");
        // Numbers with the prefix or without a leading 0 stay.
        EXPECT_EQ(rig.entryAt(1).number, "+4930123456");
        EXPECT_EQ(rig.entryAt(3).number, "+4740123456");
        EXPECT_TRUE(rig.reporter.shown.empty());
    }
}

TEST(PhonebookNormalise, RefusedNumberKeepsTheOldOneAndEmptyPrefixAsks) {
    Rig rig([](PhoneState& s) {
        s.sim.entries = {{1, StoredEntry{"01234567890123456789", 129, "Long"}},
                         {2, StoredEntry{"0301", 129, "Short"}}};
    });
    rig.read();
    rig.writer.normalise();  // no prefix set
    EXPECT_EQ(rig.reporter.ids(), (std::vector<int>{77}));
    EXPECT_TRUE(rig.lines().empty());

    rig.settings.tPref = "+49";
    rig.writer.normalise();
    EXPECT_EQ(rig.reporter.ids(), (std::vector<int>{77, 24}));
    // The number that outgrew the phone's field is not sent at all.
    EXPECT_EQ(rig.lines(), std::vector<std::string>{"AT+CPBW=2,+49301,145,\"Short\""});
    EXPECT_EQ(rig.entryAt(1).number, "01234567890123456789");  // what the phone still has
    EXPECT_EQ(rig.entryAt(2).number, "+49301");
}

TEST(PhonebookNormalise, FixedDiallingEndsOnRejectedPin2) {
    Rig rig([](PhoneState& s) {
        s.fixedDialling.entries = {{1, StoredEntry{"0301", 129, "A"}},
                                   {2, StoredEntry{"0302", 129, "B"}}};
    });
    rig.settings.tPref = "+49";
    rig.model.current.kind = Kind::Fixed;
    rig.read();
    rig.reporter.pins = {"0000"};
    rig.writer.normalise();
    EXPECT_EQ(rig.reporter.ids(), (std::vector<int>{48}));
    EXPECT_EQ(rig.reporter.pin2Asked, 1);  // the run ended: not asked for B
    EXPECT_EQ(rig.entryAt(1).number, "0301");
    EXPECT_EQ(rig.entryAt(2).number, "0302");
}

TEST(PhonebookCalls, ListsEndAtTheFirstEmptyLocation) {
    Rig rig([](PhoneState& s) { s.missedCalls.entries.erase(3); });
    rig.reader.readCallLists();
    EXPECT_EQ(rig.model.missed.lines, (Lines{", 0301", "Mama!, +491701234567"}));
    EXPECT_EQ(rig.model.missed.calls[1].index, 2);
    EXPECT_EQ(rig.model.missed.calls[1].type, 145);
    EXPECT_EQ(rig.model.dialled.lines.size(), 10u);
    EXPECT_EQ(rig.model.received.lines[0], "J\xFCrgen \xD6zt\xFCrk, 01712345678");
}

TEST(PhonebookCalls, CallBackOnANamelessCallAndCopyToPhonebook) {
    Rig rig;
    rig.reader.readCallLists();
    rig.forget();
    const std::string line = rig.model.missed.lines[0];
    ASSERT_EQ(line, ", 0301");
    EXPECT_EQ(rig.calls.callBack(line), CallService::kDialled);
    EXPECT_EQ(rig.lines(), (Lines{"ATD 0301;"}));
    EXPECT_EQ(rig.phone().dialledCalls.entries.at(1).number, "0301");

    EXPECT_EQ(rig.calls.copyToPhonebook(line), std::optional<std::string>(" 0301"));
    EXPECT_EQ(rig.calls.copyToPhonebook(rig.model.missed.lines[1]), std::nullopt);
    EXPECT_EQ(rig.calls.copyToPhonebook(""), std::nullopt);
    EXPECT_EQ(rig.reporter.ids(), (std::vector<int>{73}));
}

TEST(PhonebookCalls, DialResultsAndTheirMessages) {
    Rig rig([](PhoneState& s) {
        s.sim.entries[12] = StoredEntry{"0305550001", 129, "Busy"};
        s.sim.entries[13] = StoredEntry{"0305550002", 129, "No carrier"};
        s.sim.entries[14] = StoredEntry{"0305550003", 129, "No tone"};
        s.sim.entries[15] = StoredEntry{"0305550004", 129, "Error"};
    });
    using S = AtEngine::Status;
    struct Case {
        int location;
        S result;
        std::vector<int> messages;
    };
    const std::vector<Case> cases = {
        {1, S::Ok, {}},      {13, S::NoCarrier, {19}}, {14, S::NoDialtone, {20}},
        {12, S::Busy, {21}}, {15, S::Error, {18}},     {5, S::Error, {18}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.location);
        rig.forget();
        EXPECT_EQ(rig.calls.dialLocation(c.location), c.result);
        EXPECT_EQ(rig.lines(), (Lines{"AT^SPBS=SM", "ATD>" + std::to_string(c.location) + ";"}));
        EXPECT_EQ(rig.reporter.ids(), c.messages);
    }
}

TEST(PhonebookCalls, HangUpRedialAndClearDialled) {
    Rig rig;
    rig.reader.readCallLists();
    rig.forget();
    rig.calls.hangUp();
    rig.calls.redial();
    EXPECT_TRUE(rig.calls.clearDialledCalls());
    EXPECT_EQ(rig.lines(), (Lines{"AT+CHUP", "ATDL", "AT^SDLD"}));
    EXPECT_TRUE(rig.model.dialled.lines.empty());
    EXPECT_TRUE(rig.phone().dialledCalls.entries.empty());
    EXPECT_TRUE(rig.reporter.shown.empty());
}

TEST(PhonebookServiceCentre, SetReachesThePhone) {
    Rig rig;
    ASSERT_TRUE(rig.centre.set("+491720000"));
    EXPECT_EQ(rig.lines(), (Lines{"AT+CSCA=+491720000,145"}));
    EXPECT_EQ(rig.phone().serviceCentre, "+491720000");
    ASSERT_TRUE(rig.centre.read());
    EXPECT_EQ(rig.model.serviceCentre.number, "+491720000");
}

}  // namespace
}  // namespace vondrix::phonebook
