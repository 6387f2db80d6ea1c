// Reading in ranges of locations (the setting FastRead) against the
// simulated phone and a scripted one: the same model, lists and local file
// as reading location by location, whatever the phone does with a range.

#include <gtest/gtest.h>

#include <tuple>

#include "SessionRig.h"
#include "phonebook/LocalFile.h"
#include "support/PhonebookRig.h"

namespace vondrix::phonebook {
namespace {

using namespace std::chrono_literals;
using Lines = std::vector<std::string>;
using phonesim::PhonebookStore;
using phonesim::PhoneState;
using phonesim::StoredEntry;

enum class Mode { Single, Ranges, RangesRefused };

const char* modeName(Mode m) {
    return m == Mode::Single   ? "location by location"
           : m == Mode::Ranges ? "ranges"
                               : "ranges refused";
}

struct SimRig : test::SimulatedPhonebookRig {
    SimRig(const std::function<void(PhoneState&)>& prepare, Mode mode)
        : SimulatedPhonebookRig([&](PhoneState& s) {
              if (prepare)
                  prepare(s);
              s.refuseRanges = mode == Mode::RangesRefused;
          }) {
        settings.fastRead = mode != Mode::Single;
    }
};

// What one read leaves: the table, the local file written from it, the
// traffic of the read and the progress steps.
struct Outcome {
    CurrentPhonebook book;
    std::string file;
    Lines lines;
    std::vector<int> progress;
};

using vondrix::test::readAll;

// The local file `book` gives, written into `dir`.
std::string savedFile(const CurrentPhonebook& book, const std::string& dir) {
    const std::string path = dir + "/" + kLocalFileName;
    test::RecordingReporter quiet;
    EXPECT_TRUE(saveToLocalFile(book, path, quiet));
    return readAll(path);
}

void expectSameBook(const CurrentPhonebook& a, const CurrentPhonebook& b) {
    const auto fields = [](const CurrentPhonebook& p) {
        std::vector<std::tuple<int, std::string, int, std::string>> entries;
        for (const PhonebookEntry& e : p.entries)
            entries.emplace_back(e.index, e.number, e.type, e.name);
        std::vector<std::tuple<int, std::string, std::string, std::size_t>> rows;
        for (const Row& r : p.rows)
            rows.emplace_back(r.location, r.name, r.number, r.entry);
        return std::tuple(p.kind, p.complete, p.range.first, p.range.highest, p.range.numberLength,
                          p.range.textLength, entries, p.freeLocations, p.deleted, rows);
    };
    EXPECT_EQ(fields(a), fields(b));
}

bool isRange(const std::string& line) {
    return line.find(',') != std::string::npos;
}

// Location i's entry: names with the GSM alphabet's special letters, '@'
// (sent as a 0x00 byte), a line break inside the quotes, an empty name.
StoredEntry entryFor(int i) {
    static const std::string names[] = {"M\xFCller ", "Info@Home ", "Two\nLines ", "",
                                        "Stra\xDF"
                                        "e "};
    const std::string& base = names[static_cast<std::size_t>(i) % std::size(names)];
    const std::string name = base.empty() ? "" : base + std::to_string(i);
    return i % 2 ? StoredEntry{"+49301234" + std::to_string(i), 145, name}
                 : StoredEntry{"0301234" + std::to_string(i), 129, name};
}

struct KindCase {
    Kind kind;
    PhonebookStore PhoneState::*store;
    int rangeSize;  // so that the last range is a short one
};

struct BookCase {
    const char* name;
    std::function<bool(int location, int size)> used;
    std::function<void(PhonebookStore&)> extra;
};

// Fast and single reads of every kind and shape of phonebook, with and
// without "ReadB", and on a phone that refuses ranges: one model, one file.
TEST(FastRead, GivesTheSameModelAndFileAsSingleReads) {
    const KindCase kinds[] = {
        {Kind::Sim, &PhoneState::sim, 25},
        {Kind::Internal, &PhoneState::memory, 30},
        {Kind::Fixed, &PhoneState::fixedDialling, 4},
    };
    const BookCase books[] = {
        {"empty", [](int, int) { return false; }, {}},
        {"full", [](int, int) { return true; }, {}},
        // The third gap (11) lies inside the first range: "ReadB" ends there.
        {"with gaps", [](int i, int) { return i % 7 != 3 && i % 11 != 0; }, {}},
        {"last location used", [](int i, int size) { return i <= 2 || i == size; }, {}},
        // A quote in a name makes the range reply untrusted: location by
        // location from that range on, with the same result.
        {"a name holding a quote", [](int i, int size) { return i <= size / 2; },
         [](PhonebookStore& s) { s.entries[4].name = "Say \"hi\""; }},
    };
    for (const KindCase& k : kinds) {
        for (const BookCase& b : books) {
            for (const bool readB : {false, true}) {
                SCOPED_TRACE(std::string(kindInfo(k.kind).code) + ", " + b.name +
                             (readB ? ", ReadB on" : ""));
                const auto prepare = [&](PhoneState& s) {
                    PhonebookStore& store = s.*k.store;
                    store.entries.clear();
                    for (int i = 1; i <= store.size; ++i)
                        if (b.used(i, store.size))
                            store.entries[i] = entryFor(i);
                    if (b.extra)
                        b.extra(store);
                };
                Outcome outcomes[3];
                for (const Mode mode : {Mode::Single, Mode::Ranges, Mode::RangesRefused}) {
                    SCOPED_TRACE(modeName(mode));
                    SimRig rig(prepare, mode);
                    rig.settings.readB = readB;
                    rig.reader.setRangeSize(k.rangeSize);
                    rig.model.current.kind = k.kind;
                    ASSERT_TRUE(rig.reader.selectCurrent());
                    rig.sim.clearReceived();
                    ASSERT_TRUE(rig.reader.readCurrent());
                    Outcome& o = outcomes[static_cast<int>(mode)];
                    o.book = rig.model.current;
                    o.file = savedFile(o.book, rig.dir);
                    o.lines = rig.sim.receivedLines();
                    EXPECT_TRUE(rig.reporter.shown.empty());
                }
                const Outcome& single = outcomes[0];
                ASSERT_FALSE(single.lines.empty());
                EXPECT_FALSE(std::any_of(single.lines.begin(), single.lines.end(), isRange));
                for (const Mode mode : {Mode::Ranges, Mode::RangesRefused}) {
                    SCOPED_TRACE(modeName(mode));
                    const Outcome& o = outcomes[static_cast<int>(mode)];
                    expectSameBook(o.book, single.book);
                    EXPECT_EQ(o.file, single.file);
                    ASSERT_GE(o.lines.size(), 2u);
                    EXPECT_EQ(o.lines[0], "AT+CPBR=?");
                    EXPECT_EQ(o.lines[1], "AT+CPBR=1," + std::to_string(k.rangeSize));
                }
                // Untrusted or refused: the first range again, location by location.
                const Lines& refused = outcomes[2].lines;
                EXPECT_EQ(refused.size(), single.lines.size() + 1);
                EXPECT_EQ(Lines(refused.begin() + 2, refused.end()),
                          Lines(single.lines.begin() + 1, single.lines.end()));
                if (b.extra) {
                    EXPECT_EQ(outcomes[1].lines, refused);
                } else {
                    const Lines& ranges = outcomes[1].lines;
                    const auto size = static_cast<std::size_t>(outcomes[0].book.range.highest);
                    const auto perRange = static_cast<std::size_t>(k.rangeSize);
                    EXPECT_LE(ranges.size(), 1 + (size + perRange - 1) / perRange);
                    EXPECT_TRUE(std::all_of(ranges.begin() + 1, ranges.end(), isRange));
                }
            }
        }
    }
}

TEST(FastRead, ProgressMovesOncePerRange) {
    SimRig rig(
        [](PhoneState& s) {
            for (int i = 1; i <= 250; ++i)
                s.sim.entries[i] = entryFor(i);
        },
        Mode::Ranges);
    ASSERT_TRUE(rig.reader.readCurrent());
    EXPECT_EQ(rig.sim.receivedLines().size(), 11u);
    EXPECT_EQ(rig.reporter.progress,
              (std::vector<int>{1, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 0}));
    EXPECT_EQ(rig.model.current.entries.size(), 250u);
}

// The window's opening: own numbers, the Redbook and the call lists come in
// ranges too, and give what single reads give.
TEST(FastRead, WindowOpeningGivesTheSameTables) {
    const auto prepare = [](PhoneState& s) {
        s.sim.entries[2].name += "!";
        s.memory.entries[1].name += "!";
        s.missedCalls.entries.erase(6);  // the first empty location ends a call list
    };
    PhonebookModel models[3];
    Lines traffic[3];
    for (const Mode mode : {Mode::Single, Mode::Ranges, Mode::RangesRefused}) {
        SCOPED_TRACE(modeName(mode));
        SimRig rig(prepare, mode);
        rig.window.open();
        models[static_cast<int>(mode)] = rig.model;
        traffic[static_cast<int>(mode)] = rig.sim.receivedLines();
        EXPECT_TRUE(rig.reporter.shown.empty());
    }
    const Lines ranges = [&] {
        Lines out;
        for (const auto& l : traffic[1])
            if (isRange(l))
                out.push_back(l);
        return out;
    }();
    EXPECT_EQ(ranges,
              (Lines{"AT+CPBR=1,6", "AT+CPBR=1,25", "AT+CPBR=26,50", "AT+CPBR=51,75",
                     "AT+CPBR=76,100", "AT+CPBR=101,125", "AT+CPBR=126,150", "AT+CPBR=151,175",
                     "AT+CPBR=176,200", "AT+CPBR=201,225", "AT+CPBR=226,250", "AT^SPBG=1,3",
                     "AT+CPBR=1,10", "AT+CPBR=1,10", "AT+CPBR=1,10"}));
    EXPECT_EQ(traffic[1].size(), ranges.size() + 14);  // the opening's other commands
    const PhonebookModel& single = models[0];
    ASSERT_EQ(single.redbook.size(), 3u);
    EXPECT_EQ(single.missed.calls.size(), 5u);
    for (const int m : {1, 2}) {
        SCOPED_TRACE(modeName(static_cast<Mode>(m)));
        const PhonebookModel& fast = models[m];
        expectSameBook(fast.current, single.current);
        EXPECT_EQ(fast.ownNumbers, single.ownNumbers);
        ASSERT_EQ(fast.redbook.size(), single.redbook.size());
        for (std::size_t i = 0; i < single.redbook.size(); ++i) {
            EXPECT_EQ(fast.redbook[i].index, single.redbook[i].index);
            EXPECT_EQ(fast.redbook[i].name, single.redbook[i].name);
            EXPECT_EQ(fast.redbook[i].number, single.redbook[i].number);
        }
        EXPECT_EQ(fast.dialled.lines, single.dialled.lines);
        EXPECT_EQ(fast.missed.lines, single.missed.lines);
        EXPECT_EQ(fast.received.lines, single.received.lines);
        EXPECT_EQ(fast.serviceCentre.number, single.serviceCentre.number);
    }
}

// --- A scripted phone: range replies no simulated phone sends -------------

const std::string kOk = "\r\nOK\r\n";

std::string record(int location, const std::string& number, const std::string& name) {
    return "+CPBR: " + std::to_string(location) + ",\"" + number + "\",129,\"" + name + "\"";
}

std::string single(int location, const std::string& number, const std::string& name) {
    return "\r\n" + record(location, number, name) + "\r\n" + kOk;
}

// Locations 1 to 6; 3 and 5 are empty.
const std::string kSingles[] = {
    single(1, "0301", "Ann"), single(2, "0302", "Bob"), kOk, single(4, "0304", "Cid"), kOk,
    single(6, "0306", "Dan")};
const std::string kTest = "\r\n+CPBR: (1-6),20,14\r\n" + kOk;

// Reading in ranges of three, or location by location; the size is asked
// first.
struct ScriptRig : test::ScriptedPhonebookRig {
    explicit ScriptRig(bool fastRead = false) {
        engine.setOverallExtra(1000ms);
        reader.setRangeSize(3);
        settings.fastRead = fastRead;
        phone.reply(kTest);
    }
};

CurrentPhonebook singleReadOfTheScript() {
    ScriptRig rig;
    for (const std::string& r : kSingles)
        rig.phone.reply(r);
    EXPECT_TRUE(rig.reader.readCurrent());
    return rig.model.current;
}

// The second range (4-6) is answered in a way that cannot be trusted: the
// first range's locations stay, the rest is read location by location.
TEST(FastRead, UntrustedRangeReplyFallsBackToSingleReads) {
    const std::string good =
        "\r\n" + record(1, "0301", "Ann") + "\r\n" + record(2, "0302", "Bob") + "\r\n" + kOk;
    const struct {
        const char* name;
        std::string reply;
    } cases[] = {
        {"a location outside the range",
         "\r\n" + record(4, "0304", "Cid") + "\r\n" + record(7, "0307", "Eve") + "\r\n" + kOk},
        {"a location below the range", "\r\n" + record(2, "0302", "Bob") + "\r\n" + kOk},
        {"a location twice",
         "\r\n" + record(4, "0304", "Cid") + "\r\n" + record(4, "0304", "Cid") + "\r\n" + kOk},
        {"locations descending",
         "\r\n" + record(6, "0306", "Dan") + "\r\n" + record(4, "0304", "Cid") + "\r\n" + kOk},
        {"a record cut short",
         "\r\n" + record(4, "0304", "Cid") + "\r\n+CPBR: 6,\"0306\",129,\"Da" + kOk},
        {"a line that is no record", "\r\n\"SM\",3\r\n" + record(4, "0304", "Cid") + "\r\n" + kOk},
        {"an error", "\r\n+CME ERROR: 21\r\n"},
        {"a plain error", "\r\nERROR\r\n"},
    };
    const CurrentPhonebook expected = singleReadOfTheScript();
    ASSERT_EQ(expected.entries.size(), 4u);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptRig rig(true);
        rig.phone.reply(good);
        rig.phone.reply(c.reply);
        for (int i = 4; i <= 6; ++i)
            rig.phone.reply(kSingles[i - 1]);
        ASSERT_TRUE(rig.reader.readCurrent());
        EXPECT_EQ(rig.phone.lines(), (Lines{"AT+CPBR=?", "AT+CPBR=1,3", "AT+CPBR=4,6", "AT+CPBR=4",
                                            "AT+CPBR=5", "AT+CPBR=6"}));
        expectSameBook(rig.model.current, expected);
        EXPECT_TRUE(rig.reporter.shown.empty());
    }
}

// The echo of the command (a phone whose echo was never switched off) and
// trailing blanks do not make a range reply untrusted.
TEST(FastRead, EchoedRangeReplyIsTaken) {
    ScriptRig rig(true);
    rig.phone.reply("AT+CPBR=1,3\r\r\n" + record(1, "0301", "Ann") + " \r\n" +
                    record(2, "0302", "Bob") + "\r\n" + kOk);
    rig.phone.reply("AT+CPBR=4,6\r\r\n" + record(4, "0304", "Cid") + "\r\n" +
                    record(6, "0306", "Dan") + "\r\n" + kOk);
    ASSERT_TRUE(rig.reader.readCurrent());
    EXPECT_EQ(rig.phone.lines(), (Lines{"AT+CPBR=?", "AT+CPBR=1,3", "AT+CPBR=4,6"}));
    expectSameBook(rig.model.current, singleReadOfTheScript());
}

// A link failure inside a range read ends the read as it does a single
// read: nothing more is asked, nothing partial is kept, one message.
TEST(FastRead, LinkFailureInARangeKeepsNothing) {
    const struct {
        const char* name;
        std::vector<test::ScriptedPhone::Piece> second;
        int message;
    } cases[] = {
        {"silent phone", {}, msg::PhoneNotAnswering},
        {"link closed", {{test::ScriptedPhone::kHangUp, 0}}, msg::LinkLost},
        {"reply cut off",
         {{"\r\n" + record(4, "0304", "Cid") + "\r\n+CPBR: 6,\"03", 0}},
         msg::PhoneNotAnswering},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptRig rig(true);
        rig.model.current.entries = {PhonebookEntry{9, "0999", 129, "Old"}};
        rig.model.current.complete = true;
        rig.phone.reply("\r\n" + record(1, "0301", "Ann") + "\r\n" + kOk);
        rig.phone.reply(c.second);
        EXPECT_FALSE(rig.reader.readCurrent());
        EXPECT_EQ(rig.phone.lines(), (Lines{"AT+CPBR=?", "AT+CPBR=1,3", "AT+CPBR=4,6"}));
        EXPECT_TRUE(rig.model.current.entries.empty());
        EXPECT_TRUE(rig.model.current.freeLocations.empty());
        EXPECT_FALSE(rig.model.current.complete);
        EXPECT_EQ(rig.reporter.ids(), std::vector<int>{c.message});
    }
}

}  // namespace
}  // namespace vondrix::phonebook
