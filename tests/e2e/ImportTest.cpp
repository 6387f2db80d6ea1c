// The CSV import: its line parser, its exact traffic over a real pty
// against a scripted peer, and round trips through the simulated phone.

#include <gtest/gtest.h>

#include <optional>

#include "phonebook/Export.h"
#include "phonebook/Import.h"
#include "phonebook/PhonebookWriter.h"
#include "support/FileTraps.h"
#include "support/PhonebookEntries.h"
#include "support/PhonebookRig.h"

namespace vondrix::phonebook {
namespace {

using namespace std::chrono_literals;
using End = ImportResult::End;
const std::string kOk = "\r\nOK\r\n";

TEST(CsvLineParse, SeparatorsApostropheAndControls) {
    struct Case {
        std::string line;
        std::optional<CsvLine> expected;
    };
    auto line = [](int l, std::string n, std::string num) {
        return std::optional<CsvLine>(CsvLine{l, std::move(n), std::move(num)});
    };
    const std::vector<Case> cases = {
        {"3;Anna;'+44", line(3, "Anna", "+44")},
        {"7,Bob,'0301", line(7, "Bob", "0301")},
        {"7;Bob;0301", std::nullopt},  // no apostrophe
        {"7;Bob", std::nullopt},
        {"nothing", std::nullopt},
        {"7;Bob;", std::nullopt},
        // Each step prefers ";" and only then looks for ",".
        {"8;Smith, J;'0302", line(8, "Smith, J", "0302")},
        {"9,Al;'1", std::nullopt},  // location "9,Al", then no second separator
        {"x;;'", line(0, "", "")},
        {"5;A\tB\r;'1\x1a", line(5, "A B ", "1 ")},  // nothing may split the command line
        {std::string("6;Al;'12\0-34", 12), line(6, "Al", "12")},
    };
    for (const Case& c : cases) {
        const auto got = parseCsvLine(c.line);
        ASSERT_EQ(got.has_value(), c.expected.has_value()) << c.line;
        if (!got)
            continue;
        EXPECT_EQ(got->location, c.expected->location) << c.line;
        EXPECT_EQ(got->name, c.expected->name) << c.line;
        EXPECT_EQ(got->number, c.expected->number) << c.line;
    }
    EXPECT_TRUE(isCsvHeader("NR;NAME;TELNUM"));
    EXPECT_TRUE(isCsvHeader("\xEF\xBB\xBFNR,NAME,TELNUM"));
    EXPECT_FALSE(isCsvHeader("NR;NAME,TELNUM"));
}

using test::entry;

// The writer over a real pty against a peer that answers as scripted.
class ScriptedImport : public ::testing::Test, protected test::ScriptedPhonebookRig {
  protected:
    ScriptedImport() : ScriptedPhonebookRig(1500ms) { model.current.range = Range{1, 250, 20, 14}; }

    std::string file(const std::string& content) {
        return PhonebookOnLink::file("in.csv", content);
    }
};

TEST_F(ScriptedImport, AppendUsesFreeLocationsCutsNamesAndKeepsTheLastCharacter) {
    CurrentPhonebook& book = model.current;
    book.range.textLength = 5;
    book.entries = {entry(1, "Zed", "1")};
    book.rows = {Row{1, "Zed", "1", 0}};
    book.freeLocations = {4, 9};
    replies({kOk, kOk, kOk});
    const ImportResult r =
        importCsv(writer, file("NR;NAME;TELNUM\r\n7;M\xFCller-L;'0301\r\n8;Bob;0302\r\n9;Ann;'+44"),
                  ImportMode::Append);
    EXPECT_EQ(phone.lines(),
              (std::vector<std::string>{"AT^SPBS=SM", "AT+CPBW=4,0301,129,\"M\\7Elle\"",
                                        "AT+CPBW=9,+44,145,\"Ann\""}));
    EXPECT_EQ(r.written, 2);
    EXPECT_EQ(r.skipped, 1);
    EXPECT_EQ(r.issues, (std::vector<LineIssue>{{3, LineProblem::NoApostrophe}}));
    EXPECT_TRUE(reporter.shown.empty());
    std::string rows;  // sorted by name, each pointing at its entry
    for (const Row& row : book.rows) {
        const PhonebookEntry& e = book.entries.at(row.entry);
        rows += std::to_string(row.location) + "/" + e.name + "/" + e.number + "/" +
                std::to_string(e.type) + ";";
    }
    EXPECT_EQ(rows, "9/Ann/+44/145;4/M\xFClle/0301/129;1/Zed/1/129;");
    EXPECT_TRUE(book.freeLocations.empty());
}

TEST_F(ScriptedImport, RefusedLineGoesOnAndMissingFreeLocationEnds) {
    model.current.freeLocations = {4, 5};
    replies({kOk, kOk, "\r\n+CME ERROR: 20\r\n", kOk});
    const ImportResult r = importCsv(
        writer, file("NR;NAME;TELNUM\n1;A;'1\n2;B;'2\n3;C;'3\n4;D;'4\n"), ImportMode::Append);
    EXPECT_EQ(phone.lines(),
              (std::vector<std::string>{"AT^SPBS=SM", "AT+CPBW=4,1,129,\"A\"",
                                        "AT+CPBW=5,2,129,\"B\"", "AT+CPBW=5,3,129,\"C\""}));
    EXPECT_EQ(reporter.ids(), (std::vector<int>{49, 32}));
    EXPECT_EQ(r.end, End::NoFreeLocation);
    EXPECT_EQ(r.written, 2);
    EXPECT_EQ(r.refused, 1);
    EXPECT_EQ(r.issues, (std::vector<LineIssue>{{3, LineProblem::PhoneRefused}}));
    EXPECT_EQ(model.current.entries.size(), 2u);
}

TEST_F(ScriptedImport, FullEntryTableEndsAppendBeforeWriting) {
    model.current.entries.assign(kMaxEntries, entry(1, "X", "1"));
    model.current.freeLocations = {501};
    phone.reply(kOk);
    const ImportResult r = importCsv(writer, file("NR;NAME;TELNUM\n1;A;'1\n"), ImportMode::Append);
    EXPECT_EQ(phone.lines(), std::vector<std::string>{"AT^SPBS=SM"});
    EXPECT_EQ(reporter.ids(), std::vector<int>{22});
    EXPECT_EQ(r.end, End::TableFull);
    EXPECT_EQ(model.current.freeLocations, std::vector<int>{501});
}

TEST_F(ScriptedImport, UnreadableFilesEndBeforeAnyWrite) {
    VONDRIX_NEEDS_FILE_TRAPS();
    ASSERT_TRUE(test::makeFifo(dir + "/fifo.csv"));
    struct Case {
        std::optional<std::string> content;  // nullopt: the path as it is
        std::string path;
        int message;
        End end;
    };
    const std::vector<Case> cases = {
        {std::nullopt, dir + "/none.csv", msg::FileNotOpened, End::FileError},
        {std::nullopt, dir + "/fifo.csv", msg::NotARegularFile, End::FileError},
        {std::nullopt, dir, msg::NotARegularFile, End::FileError},
        {"", "", msg::InvalidFileHeader, End::BadHeader},
        {"NR;NAME\r\n1;A;'1\r\n", "", msg::InvalidFileHeader, End::BadHeader},
    };
    const test::Watchdog watchdog("importing a FIFO", 20);
    for (const Case& c : cases) {
        reporter.shown.clear();
        phone.reply(kOk);
        const std::string path = c.content ? file(*c.content) : c.path;
        const ImportResult r = importCsv(writer, path, ImportMode::Overwrite);
        EXPECT_EQ(reporter.ids(), std::vector<int>{c.message}) << path;
        EXPECT_EQ(r.end, c.end);
        EXPECT_FALSE(r.reread);
    }
    EXPECT_EQ(phone.lines(), std::vector<std::string>(cases.size(), "AT^SPBS=SM"));
}

// Files from an old Mac end their lines in CR alone; CR LF stays one line
// end, so no empty lines appear between the records.
TEST_F(ScriptedImport, CrOnlyAndMixedLineEndsAreLineEnds) {
    model.current.freeLocations = {4, 5, 6};
    replies({kOk, kOk, kOk, kOk});
    const ImportResult r =
        importCsv(writer, file("NR;NAME;TELNUM\r1;A;'1\r2;B;'2\r\n3;C;'3\r"), ImportMode::Append);
    EXPECT_EQ(phone.lines(),
              (std::vector<std::string>{"AT^SPBS=SM", "AT+CPBW=4,1,129,\"A\"",
                                        "AT+CPBW=5,2,129,\"B\"", "AT+CPBW=6,3,129,\"C\""}));
    EXPECT_EQ(r.written, 3);
    EXPECT_EQ(r.skipped, 0);
    EXPECT_TRUE(reporter.shown.empty());
}

TEST_F(ScriptedImport, FixedDiallingAsksPin2PerLineUntilGivenThenReusesIt) {
    model.current.kind = Kind::Fixed;
    model.current.freeLocations = {1, 2, 3};
    reporter.pins = {std::nullopt, "1234"};
    replies({kOk, kOk, "\r\n+CME ERROR: SIM PIN2 required\r\n", "\r\n+CPIN: SIM PIN2\r\n\r\nOK\r\n",
             kOk, kOk, kOk, kOk, kOk, kOk, kOk});
    const ImportResult r =
        importCsv(writer, file("NR;NAME;TELNUM\n1;A;'1\n2;B;'2\n3;C;'3\n"), ImportMode::Append);
    EXPECT_EQ(phone.lines(), (std::vector<std::string>{
                                 "AT^SPBS=FD", "AT+CMEE=2", "AT+CPBW=1,2,129,\"B\"", "AT+CPIN?",
                                 "AT+CPIN=1234", "AT+CPBW=1,2,129,\"B\"", "AT+CMEE=0", "AT+CMEE=2",
                                 "AT+CPBW=2,3,129,\"C\"", "AT+CPBW=2,3,129,\"C\"", "AT+CMEE=0"}));
    EXPECT_EQ(reporter.pin2Asked, 2);
    EXPECT_TRUE(reporter.shown.empty());
    EXPECT_EQ(r.written, 2);
    EXPECT_EQ(r.skipped, 1);  // its PIN2 dialog was cancelled
    EXPECT_EQ(r.issues, (std::vector<LineIssue>{{2, LineProblem::PinCancelled}}));
}

TEST_F(ScriptedImport, FixedDiallingEndsOnEmptyOrRejectedPin2) {
    struct Case {
        std::string pin;
        std::vector<std::string> replies, lines;
        int message;
    };
    const std::vector<Case> cases = {
        {"", {kOk}, {"AT^SPBS=FD"}, 47},
        {"9999",
         {kOk, kOk, "\r\n+CME ERROR: SIM PIN2 required\r\n", "\r\n+CPIN: SIM PIN2\r\n\r\nOK\r\n",
          "\r\n+CME ERROR: incorrect password\r\n"},
         {"AT^SPBS=FD", "AT+CMEE=2", "AT+CPBW=1,1,129,\"A\"", "AT+CPIN?", "AT+CPIN=9999"},
         48},
    };
    model.current.kind = Kind::Fixed;
    model.current.freeLocations = {1, 2};
    const std::string path = file("NR;NAME;TELNUM\n1;A;'1\n2;B;'2\n");
    std::size_t sent = 0;
    for (const Case& c : cases) {
        reporter.shown.clear();
        reporter.pins = {c.pin};
        replies(c.replies);
        const ImportResult r = importCsv(writer, path, ImportMode::Append);
        const auto lines = phone.lines();
        EXPECT_EQ(std::vector<std::string>(lines.begin() + static_cast<long>(sent), lines.end()),
                  c.lines)
            << c.pin;
        sent = lines.size();
        EXPECT_EQ(reporter.ids(), std::vector<int>{c.message});
        EXPECT_EQ(r.end, End::PinFailed);
        EXPECT_EQ(r.written, 0);
        EXPECT_TRUE(model.pin2.empty());
    }
}

// Import, export and the local file against the simulated phone.
class SimulatedImport : public ::testing::Test, protected test::SimulatedPhonebookRig {
  protected:
    SimulatedImport()
        : SimulatedPhonebookRig(
              [](phonesim::PhoneState& s) {
                  s.sim = phonesim::PhonebookStore{6, 20, 14, {}};
                  s.sim.entries[1] = {"0301", 129, "Anna"};
                  s.sim.entries[2] = {"0302", 129, "Bob"};
                  s.sim.entries[4] = {"+44", 145, "Cy!"};
              },
              phonesim::PhoneState{}) {}
    phonesim::StoredEntry stored(int location) {
        phonesim::StoredEntry e;
        sim.withState([&](phonesim::PhoneState& s) {
            if (const auto* at = s.sim.at(location))
                e = *at;
        });
        return e;
    }
};

TEST_F(SimulatedImport, ExportsFollowDeletesAndImportsInBothModes) {
    ASSERT_TRUE(reader.selectCurrent());
    ASSERT_TRUE(reader.readCurrent());
    ASSERT_EQ(model.current.freeLocations, (std::vector<int>{3, 5, 6}));
    std::size_t bobRow = 0;
    while (model.current.rows[bobRow].name != "Bob")
        ++bobRow;
    ASSERT_TRUE(writer.deleteEntry(bobRow));

    const ImportResult appended =
        importCsv(writer, file("a.csv", "NR;NAME;TELNUM\r\n9;M\xFCller;'0305\r\n1;Al@x;'0306\r\n"),
                  ImportMode::Append);
    EXPECT_EQ(appended.written, 2);
    EXPECT_EQ(stored(3), (phonesim::StoredEntry{"0305", 129, "M\xFCller"}));
    EXPECT_EQ(stored(5), (phonesim::StoredEntry{"0306", 129, "Al@x"}));
    EXPECT_EQ(csvText(model.current),
              "NR;NAME;TELNUM\r\n1;Anna;'0301\r\n4;Cy;'+44\r\n3;M\xFCller;'0305\r\n"
              "5;Al@x;'0306\r\n");

    const ImportResult overwritten =
        importCsv(writer, file("o.csv", "NR,NAME,TELNUM\n4,Dora,'+4930\n"), ImportMode::Overwrite);
    EXPECT_TRUE(overwritten.reread);
    EXPECT_EQ(stored(4), (phonesim::StoredEntry{"+4930", 145, "Dora"}));
    EXPECT_EQ(csvText(model.current),
              "NR;NAME;TELNUM\r\n1;Anna;'0301\r\n3;M\xFCller;'0305\r\n4;Dora;'+4930\r\n"
              "5;Al@x;'0306\r\n");
    EXPECT_TRUE(reporter.shown.empty());
}

}  // namespace
}  // namespace vondrix::phonebook
