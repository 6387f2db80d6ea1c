// vondrix-cli phonebook, dial, redial, hangup and calls against the simulated
// phone, run as a process; the phone's state file shows what the commands
// did, Vondrix.phb what the closing save wrote.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <regex>
#include <sstream>

#include "foundation/Catalogue.h"
#include "foundation/Reporter.h"
#include "phonesim/PhoneState.h"
#include "support/RunProcess.h"
#include "support/SimulatedCliTest.h"

namespace vondrix {
namespace {

using phonesim::PhoneState;
using phonesim::StoredEntry;

// A message line as the command line shows it (English, from the test environment).
std::string shown(int id, Caption caption = Caption::Error) {
    return std::string(captionText(caption)) + ": " +
           std::string(catalogueText(id, Language::English)) + "\n";
}

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// The [SIM] section the closing save writes for the demo phone (ISO 8859-1).
const std::string kDemoSimSection =
    "[SIM]\r\n1,M\xFCller,+4930123456\r\n2,J\xFCrgen \xD6zt\xFCrk,01712345678\r\n"
    "3,\xC5se Berg,+4740123456\r\n4,Caf\xE9 Lyon,+33478123456\r\n6,Info@Home,0891234567\r\n"
    "7,Mama!,+491701234567\r\n8,Taxi Stra\xDF"
    "e,0302223344\r\n";

using PhonebookCliTest = test::SimulatedCliTest;
using test::demoWith;
using test::refusing;

TEST_F(PhonebookCliTest, ReadPrintsTheDemoPhoneAndSavesTheLocalFile) {
    const auto r = run(PhoneState::demo(), {"phonebook", "read"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out,
              "[Phonebook SIM]\n"
              "4;Café Lyon;+33478123456\n"
              "6;Info@Home;0891234567\n"
              "2;Jürgen Öztürk;01712345678\n"
              "7;Mama!;+491701234567\n"
              "1;Müller;+4930123456\n"
              "8;Taxi Straße;0302223344\n"
              "3;Åse Berg;+4740123456\n"
              "[Redbook]\n"
              "1;Mama!;+491701234567\n"
              "[Dialled calls]\n"
              "Müller, +4930123456\n"
              "Taxi Straße, 0302223344\n"
              ", 0307654321\n"
              "Mama!, +491701234567\n"
              ", 0800330000\n"
              "Jürgen Öztürk, 01712345678\n"
              "Café Lyon, +33478123456\n"
              "Info@Home, 0891234567\n"
              "Pizza Napoli, 0304445566\n"
              ", 0221987654\n"
              "[Missed calls]\n"
              ", 0301\n"
              "Mama!, +491701234567\n"
              ", 01609876543\n"
              "Müller, +4930123456\n"
              "Zahnarzt Dr. Kühn, 0897654321\n"
              ", 0401112233\n"
              "Åse Berg, +4740123456\n"
              "Taxi Straße, 0302223344\n"
              "Büro, +4989555123\n"
              ", 0611234567\n"
              "[Received calls]\n"
              "Jürgen Öztürk, 01712345678\n"
              ", 0309998877\n"
              "Müller, +4930123456\n"
              "Café Lyon, +33478123456\n"
              "Info@Home, 0891234567\n"
              "Büro, +4989555123\n"
              ", 0511445566\n"
              "Mama!, +491701234567\n"
              "Pizza Napoli, 0304445566\n"
              "Zahnarzt Dr. Kühn, 0897654321\n"
              "[Own numbers]\n"
              "1;+491711234567\n"
              "2;+491711234568\n"
              "[Service centre]\n"
              "+491710760000\n");
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(fileText("Vondrix.phb"), kDemoSimSection);
}

TEST_F(PhonebookCliTest, OtherKindsAreReadAfterTheSimIsSaved) {
    struct Case {
        const char* kind;
        std::string listed;   // the entries part of the output
        std::string section;  // its section of Vondrix.phb
    };
    const std::vector<Case> cases = {
        {"internal",
         "[Phonebook Internal]\n2;Büro;+4989555123\n4;Pizza Napoli;0304445566\n"
         "1;Zahnarzt Dr. Kühn;0897654321\n",
         "[INT]\r\n1,Zahnarzt Dr. K\xFChn+,0897654321\r\n2,B\xFCro+,+4989555123\r\n"
         "4,Pizza Napoli+,0304445566\r\n"},
        {"fixed", "[Phonebook SIM fix]\n1;Notruf;112\n2;Zuhause;+4930987654\n",
         "[FDN]\r\n1,Notruf*,112\r\n2,Zuhause*,+4930987654\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        std::filesystem::remove(dir + "/Vondrix.phb");
        const auto r = run(PhoneState::demo(), {"phonebook", "read", "--kind", c.kind});
        ASSERT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(r.out.substr(0, r.out.find("[Redbook]")), c.listed);
        EXPECT_EQ(fileText("Vondrix.phb"), kDemoSimSection + c.section);
    }
}

// --fast (or FastRead=1 in Vondrix.ini) reads in ranges. A phone that
// refuses the single read of location 4 ("AT+CPBR=4" and "AT+CPBR=40" to
// "49") but no range shows that the ranges were used; --fast is for the run
// only, so the settings file stays as it was.
TEST_F(PhonebookCliTest, FastReadUsesRangesForTheRunOnly) {
    const std::vector<std::string> args = {"phonebook", "read", "--kind", "internal"};
    const auto plain = run(PhoneState::demo(), args);
    ASSERT_EQ(plain.exitCode, 0) << plain.err;
    const std::string plainFile = fileText("Vondrix.phb");
    const auto withoutPizza = run(refusing("AT+CPBR=4"), args);
    const std::string listed = withoutPizza.out.substr(0, withoutPizza.out.find("[Redbook]"));
    EXPECT_FALSE(contains(listed, "Pizza Napoli")) << listed;

    const std::string ini = "[Vondrix]\r\nFastRead=0\r\n";
    const struct {
        const char* what;
        PhoneState phone;
        bool flag;
        std::string iniFile;  // before and after the run
    } cases[] = {
        {"--fast", refusing("AT+CPBR=4"), true, ini},
        {"--fast, ranges refused", demoWith([](PhoneState& s) { s.refuseRanges = true; }), true,
         ini},
        {"FastRead=1", refusing("AT+CPBR=4"), false, "[Vondrix]\r\nFastRead=1\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        writeFile("Vondrix.ini", c.iniFile);
        std::filesystem::remove(dir + "/Vondrix.phb");
        std::vector<std::string> words = args;
        if (c.flag)
            words.insert(words.begin() + 2, "--fast");
        const auto r = run(c.phone, words);
        ASSERT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(r.out, plain.out);
        EXPECT_EQ(fileText("Vondrix.phb"), plainFile);
        EXPECT_EQ(fileText("Vondrix.ini"), c.iniFile);
    }
}

TEST_F(PhonebookCliTest, PhonebookNotGivenFailsAndKeepsItsSection) {
    const std::string oldFile = "[SIM]\r\n1,Old,1\r\n[INT]\r\n5,Keep+,555\r\n";
    struct Case {
        std::string refused;
        std::vector<std::string> args;
        std::string label;
        std::string fileAfter;
    };
    const std::vector<Case> cases = {
        {"AT^SPBS=SM", {"phonebook", "read"}, "SIM", oldFile},
        // The SIM was read and is saved before the switch; the [INT] lines stay.
        {"AT^SPBS=ME",
         {"phonebook", "read", "--kind", "internal"},
         "Internal",
         kDemoSimSection + "[INT]\r\n5,Keep+,555\r\n"},
        {"AT+CPBR=?", {"phonebook", "write", "0301", "Anna"}, "SIM", oldFile},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.refused);
        writeFile("Vondrix.phb", oldFile);
        const auto r = run(refusing(c.refused), c.args);
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_EQ(r.out, "");
        EXPECT_TRUE(contains(r.err, "did not give its " + c.label + " phonebook")) << r.err;
        EXPECT_EQ(fileText("Vondrix.phb"), c.fileAfter);
    }
    EXPECT_EQ(phoneAfter().sim.entries.count(5), 0u);
}

TEST_F(PhonebookCliTest, LocalFileThatCannotBeWrittenFailsTheCommand) {
    // A folder where the file belongs cannot be replaced.
    std::filesystem::create_directory(dir + "/Vondrix.phb");
    const auto r = run(PhoneState::demo(), {"phonebook", "read"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(contains(r.out, "[Service centre]\n")) << r.out;
    EXPECT_EQ(r.err, shown(104));
    EXPECT_TRUE(std::filesystem::is_directory(dir + "/Vondrix.phb"));
}

TEST_F(PhonebookCliTest, ExportsWriteTheWindowsFiles) {
    auto r = run(PhoneState::demo(), {"phonebook", "export", "--format", "csv", "out.csv"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(
        fileText("out.csv"),
        "NR;NAME;TELNUM\r\n1;M\xFCller;'+4930123456\r\n2;J\xFCrgen \xD6zt\xFCrk;'01712345678\r\n"
        "3;\xC5se Berg;'+4740123456\r\n4;Caf\xE9 Lyon;'+33478123456\r\n"
        "6;Info@Home;'0891234567\r\n7;Mama;'+491701234567\r\n8;Taxi Stra\xDF"
        "e;'0302223344\r\n");

    r = run(PhoneState::demo(),
            {"phonebook", "export", "--kind=internal", "--format=xml", "out.xml"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(fileText("out.xml"),
              "<?xml version=\"1.0\" encoding=\"ISO-8859-1\" ?>\r\n<PHONEBOOK>\r\n"
              "<ENTRY>\r\n<NO>1</NO>\r\n<NAME>Zahnarzt Dr. K\xFChn</NAME>\r\n"
              "<TELNUMBER>0897654321</TELNUMBER>\r\n</ENTRY>\r\n"
              "<ENTRY>\r\n<NO>2</NO>\r\n<NAME>B\xFCro</NAME>\r\n"
              "<TELNUMBER>+4989555123</TELNUMBER>\r\n</ENTRY>\r\n"
              "<ENTRY>\r\n<NO>4</NO>\r\n<NAME>Pizza Napoli</NAME>\r\n"
              "<TELNUMBER>0304445566</TELNUMBER>\r\n</ENTRY>\r\n</PHONEBOOK>\r\n");

    // The vCard keeps the Redbook marker, as the list shows the name.
    r = run(PhoneState::demo(),
            {"phonebook", "export", "--format", "vcard", "--location", "7", "mama.vcf"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "");
    const std::string vcard = fileText("mama.vcf");
    EXPECT_TRUE(std::regex_match(vcard, std::regex("BEGIN:VCARD\r\nVERSION:2.1\r\nN:Mama!\r\n"
                                                   "FN:Mama!\r\nTEL;HOME;VOICE:\\+491701234567\r\n"
                                                   "REV:\\d{8}T\\d{6}Z\r\nEND:VCARD\r\n")))
        << vcard;
}

TEST_F(PhonebookCliTest, ExportFailuresAndUsage) {
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string err;  // part of stderr
    };
    const std::vector<Case> cases = {
        {{"--format", "vcard", "--location", "5", "x.vcf"}, 1, "location 5 of the SIM phonebook"},
        {{"--format", "csv", "missing/x.csv"}, 1, shown(25)},
        {{"--format", "vcard", "--location", "7", "missing/x.vcf"}, 1, "cannot write"},
        {{"x.csv"}, 2, "--format is missing"},
        {{"--format", "pdf", "x.pdf"}, 2, "csv, xml or vcard"},
        {{"--format", "vcard", "x.vcf"}, 2, "needs --location"},
        {{"--format", "csv", "--location", "1", "x.csv"}, 2, "only goes with vcard"},
        {{"--format", "csv"}, 2, "missing FILE"},
        {{"--format", "csv", "a.csv", "b.csv"}, 2, "too many arguments"},
        {{"--format", "csv", "--kind", "sm", "x.csv"}, 2, "--kind needs"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.back());
        std::vector<std::string> args = {"phonebook", "export"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const auto r = run(PhoneState::demo(), args);
        EXPECT_EQ(r.exitCode, c.status);
        EXPECT_TRUE(contains(r.err, c.err)) << r.err;
    }
}

// Semicolons and commas, LF line ends, two malformed lines, and a last line
// without its line feed, which keeps its last character.
const char* const kImportFile =
    "NR;NAME;TELNUM\n3;Neu;'0555\nno separators\n4;Ohne;0777\n9,Komma,'0666";
// What the import says of the malformed lines.
const char* const kImportSkipped =
    "in.csv: Line 3: The line lacks two separators (; or ,)\n"
    "in.csv: Line 4: The number lacks the apostrophe in front\n";

TEST_F(PhonebookCliTest, ImportAppendsOrOverwrites) {
    writeFile("in.csv", kImportFile);
    auto r = run(PhoneState::demo(), {"phonebook", "import", "in.csv", "--append"});
    EXPECT_EQ(r.exitCode, 1);  // not every line was written
    EXPECT_EQ(r.err, kImportSkipped);
    EXPECT_EQ(r.out, "written 2, refused 0, skipped 2\n");
    PhoneState after = phoneAfter();
    EXPECT_EQ(after.sim.entries[3].name, "\xC5se Berg");
    EXPECT_EQ(after.sim.entries[5], (StoredEntry{"0555", 129, "Neu"}));
    EXPECT_EQ(after.sim.entries[9], (StoredEntry{"0666", 129, "Komma"}));
    // Append adds to the table, so the closing save holds the new entries.
    EXPECT_TRUE(contains(fileText("Vondrix.phb"), "\r\n5,Neu,0555\r\n")) << fileText("Vondrix.phb");

    r = run(PhoneState::demo(), {"phonebook", "import", "--overwrite", "in.csv"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, kImportSkipped);
    EXPECT_EQ(r.out, "written 2, refused 0, skipped 2\n");
    after = phoneAfter();
    EXPECT_EQ(after.sim.entries[3], (StoredEntry{"0555", 129, "Neu"}));
    EXPECT_EQ(after.sim.entries.count(5), 0u);
    EXPECT_EQ(after.sim.entries[9], (StoredEntry{"0666", 129, "Komma"}));

    writeFile("clean.csv", "NR;NAME;TELNUM\n3;Neu;'0555\n");
    r = run(PhoneState::demo(), {"phonebook", "import", "clean.csv", "--overwrite"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "written 1, refused 0, skipped 0\n");
}

// Numbers and names that would end the write command and add others, from
// the command line (refused before any traffic) and from a CSV file anyone
// could have written: nothing but the intended writes reaches the phone.
TEST_F(PhonebookCliTest, InjectedCommandsNeverReachThePhone) {
    const PhoneState before = PhoneState::demo();
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"phonebook", "write", "0301111;+CPBW=1", "X"},
             {"phonebook", "write", "0301111,9", "X"},
             {"phonebook", "write", "0301", "A\"B"},
             {"phonebook", "write", "--location", "1", "0301;+CPBW=2", "X"}}) {
        SCOPED_TRACE(args[2]);
        const auto r = run(before, args);
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_TRUE(contains(r.err, "vondrix-cli phonebook write: ")) << r.err;
        EXPECT_EQ(phoneAfter().sim.entries, before.sim.entries);
    }

    writeFile("evil.csv", "NR;NAME;TELNUM\n3;Mallory;'0301111;+CPBW=3;+CPBW=4,9\n5;Neu;'0555\n");
    const auto r = run(before, {"phonebook", "import", "evil.csv", "--overwrite"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "written 1, refused 0, skipped 1\n");
    EXPECT_TRUE(
        contains(r.err, "evil.csv: Line 2: " + std::string(catalogueText(106, Language::English))))
        << r.err;
    PhoneState after = phoneAfter();
    EXPECT_EQ(after.sim.entries[5], (StoredEntry{"0555", 129, "Neu"}));
    after.sim.entries.erase(5);
    PhoneState expected = before;
    expected.sim.entries.erase(5);
    EXPECT_EQ(after.sim.entries, expected.sim.entries);  // 3 and 4 untouched
}

TEST_F(PhonebookCliTest, ImportFailures) {
    writeFile("in.csv", kImportFile);
    writeFile("bad.csv", "NUMMER;NAME\n1;A;'1\n");
    struct Case {
        PhoneState phone;
        std::vector<std::string> args;
        int status;
        std::string err;  // part of stderr
    };
    const std::vector<Case> cases = {
        {PhoneState::demo(), {"missing.csv", "--append"}, 1, shown(36)},
        {PhoneState::demo(), {"bad.csv", "--append"}, 1, shown(37)},
        {refusing("AT+CPBW"), {"in.csv", "--overwrite"}, 1, shown(49) + shown(49)},
        {PhoneState::demo(),
         {"in.csv", "--append", "--kind", "fixed"},
         1,
         "PIN2 question cancelled"},
        {PhoneState::demo(), {"in.csv"}, 2, "exactly one of"},
        {PhoneState::demo(), {"in.csv", "--append", "--overwrite"}, 2, "exactly one of"},
        {PhoneState::demo(), {"in.csv", "--append=yes"}, 2, "takes no value"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.err);
        std::vector<std::string> args = {"phonebook", "import"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const auto r = run(c.phone, args);
        EXPECT_EQ(r.exitCode, c.status);
        EXPECT_TRUE(contains(r.err, c.err)) << r.err;
        const PhoneState after = phoneAfter();
        EXPECT_EQ(after.sim.entries.count(9), 0u);
        EXPECT_EQ(after.fixedDialling.entries.size(), 2u);
    }
}

TEST_F(PhonebookCliTest, WriteStoresNewEntriesAndEditsOldOnes) {
    // UTF-8 on the command line, ISO 8859-1 on the phone; the first free location.
    auto r = run(PhoneState::demo(), {"phonebook", "write", "0301", "Zoé Ünal"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "5;Zoé Ünal;0301\n");
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(phoneAfter().sim.entries[5], (StoredEntry{"0301", 129, "Zo\xE9 \xDCnal"}));
    EXPECT_TRUE(contains(fileText("Vondrix.phb"), "\r\n5,Zo\xE9 \xDCnal,0301\r\n"));

    r = run(PhoneState::demo(),
            {"phonebook", "write", "--location", "2", "--", "+4930111", "Jürgen"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "2;Jürgen;+4930111\n");
    PhoneState after = phoneAfter();
    EXPECT_EQ(after.sim.entries[2], (StoredEntry{"+4930111", 145, "J\xFCrgen"}));
    EXPECT_EQ(after.sim.entries.size(), 7u);
}

TEST_F(PhonebookCliTest, WriteFailures) {
    // Full: every location holds an entry.
    PhoneState full;
    full.sim.size = 3;
    for (int i = 1; i <= 3; ++i)
        full.sim.entries[i] = StoredEntry{"030", 129, "X"};
    // Not full, but the one empty location could not be read: no free location known.
    PhoneState unknownFree;
    unknownFree.sim.size = 4;
    for (int i = 1; i <= 3; ++i)
        unknownFree.sim.entries[i] = StoredEntry{"030", 129, "X"};
    unknownFree.failing.insert("AT+CPBR=4");

    struct Case {
        PhoneState phone;
        std::vector<std::string> args;
        int status;
        std::string err;
    };
    const std::vector<Case> cases = {
        {PhoneState::demo(),
         {"--location", "5", "0301", "Anna"},
         1,
         "vondrix-cli phonebook write: location 5 of the SIM phonebook holds no entry to change; "
         "a new entry goes to the first free location (leave out --location)\n"},
        {full, {"0301", "Anna"}, 1, shown(22)},
        {unknownFree, {"0301", "Anna"}, 1, shown(32)},
        {refusing("AT+CPBW"), {"0301", "Anna"}, 1, shown(49)},
        {refusing("AT+CPBW"), {"--location", "1", "0301", "Anna"}, 1, shown(24)},
        // The entry dialog's warning, then the phone's refusal.
        {PhoneState::demo(), {"0301", "Fifteen letters"}, 1, shown(26) + shown(49)},
        {PhoneState::demo(), {"0301"}, 2, "missing NAME"},
        {PhoneState::demo(), {"--location", "0", "0301", "Anna"}, 2, "not a location: '0'"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.err);
        std::vector<std::string> args = {"phonebook", "write"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const auto r = run(c.phone, args);
        EXPECT_EQ(r.exitCode, c.status);
        EXPECT_EQ(r.out, "");
        if (c.status == 1) {
            EXPECT_EQ(r.err, c.err);
            EXPECT_EQ(phoneAfter().sim.entries, c.phone.sim.entries);
        } else {
            EXPECT_TRUE(contains(r.err, c.err)) << r.err;
        }
    }
}

TEST_F(PhonebookCliTest, FixedDiallingWritesNeedThePin2) {
    struct Case {
        std::vector<std::string> pin;
        int status;
        std::string err;
        bool written;
    };
    const std::vector<Case> cases = {
        {{"--pin2", "1234"}, 0, "", true},
        {{"--pin2=9999"}, 1, shown(48), false},
        // No terminal to ask: the PIN2 dialog is cancelled, nothing is sent.
        {{},
         1,
         "vondrix-cli phonebook write: PIN2 question cancelled: nothing was written to the "
         "fixed dialling numbers (give --pin2)\n",
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.status);
        std::vector<std::string> args = {"phonebook", "write", "--kind", "fixed", "0303", "Test"};
        args.insert(args.end(), c.pin.begin(), c.pin.end());
        const auto r = run(PhoneState::demo(), args);
        EXPECT_EQ(r.exitCode, c.status);
        EXPECT_EQ(r.out, c.written ? "3;Test;0303\n" : "");
        EXPECT_EQ(r.err, c.err);
        EXPECT_EQ(phoneAfter().fixedDialling.entries.count(3), c.written ? 1u : 0u);
        EXPECT_EQ(fileText("Vondrix.phb").find("[FDN]\r\n"), kDemoSimSection.size());
    }

    const auto r = run(PhoneState::demo(),
                       {"--yes", "--pin2", "1234", "phonebook", "delete", "--kind", "fixed", "1"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(phoneAfter().fixedDialling.entries.count(1), 0u);

    for (const std::vector<std::string>& bad : {std::vector<std::string>{"--pin2", "12a4"},
                                                {"--pin2="},
                                                {"--pin2", "12345678901234567890"},
                                                {"--pin2"}}) {
        std::vector<std::string> args = {"phonebook", "read"};
        args.insert(args.end(), bad.begin(), bad.end());
        EXPECT_EQ(run(PhoneState::demo(), args).exitCode, 2) << bad.front();
    }
}

TEST_F(PhonebookCliTest, DeleteAsksFirst) {
    const std::string question = "Vondrix: " + std::string(catalogueText(14, Language::English));
    struct Case {
        PhoneState phone;
        std::vector<std::string> args;
        int status;
        std::string err;
        bool deleted;
    };
    const std::vector<Case> cases = {
        {PhoneState::demo(), {"--yes", "3"}, 0, question + " [yes]\n", true},
        {PhoneState::demo(), {"--no", "3"}, 1, question + " [no]\n", false},
        {PhoneState::demo(), {"3"}, 1, question + " [no: no terminal to ask]\n", false},
        {PhoneState::demo(),
         {"--yes", "5"},
         1,
         "vondrix-cli phonebook delete: location 5 of the SIM phonebook holds no entry\n",
         false},
        {refusing("AT+CPBW=3"), {"--yes", "3"}, 1, question + " [yes]\n" + shown(50), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.err);
        std::vector<std::string> args = {"phonebook", "delete"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const auto r = run(c.phone, args);
        EXPECT_EQ(r.exitCode, c.status);
        EXPECT_EQ(r.err, c.err);
        EXPECT_EQ(phoneAfter().sim.entries.count(3), c.deleted ? 0u : 1u);
        EXPECT_EQ(phoneAfter().sim.entries.size(), c.deleted ? 6u : 7u);
    }
}

// The fixed dialling numbers' clear is the core's (tests/e2e/PhonebookTest).
TEST_F(PhonebookCliTest, ClearEmptiesEveryLocation) {
    struct Case {
        PhoneState phone;
        std::vector<std::string> args;
        int status;
        std::size_t simLeft, fixedLeft;
    };
    const std::vector<Case> cases = {
        {PhoneState::demo(), {"--yes"}, 0, 0, 2},
        {PhoneState::demo(), {}, 1, 7, 2},  // no terminal: No
        {refusing("AT+CPBW=4"), {"--yes"}, 1, 1, 2},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {"phonebook", "clear"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const auto r = run(c.phone, args);
        SCOPED_TRACE(r.err);
        EXPECT_EQ(r.exitCode, c.status);
        const PhoneState after = phoneAfter();
        EXPECT_EQ(after.sim.entries.size(), c.simLeft);
        EXPECT_EQ(after.fixedDialling.entries.size(), c.fixedLeft);
    }
}

// Rem0 and refused writes are the core's (tests/e2e/PhonebookTest).
TEST_F(PhonebookCliTest, NormaliseUsesThePrefixOfTheSettings) {
    struct Case {
        std::string ini;
        PhoneState phone;
        int status;
        std::string err;
        std::string number2, number6;  // afterwards
    };
    const std::vector<Case> cases = {
        {"", PhoneState::demo(), 1, shown(77), "01712345678", "0891234567"},
        {"TPref=+49\r\n", PhoneState::demo(), 0, "", "+491712345678", "+49891234567"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ini);
        writeFile("Vondrix.ini", "[Vondrix]\r\n" + c.ini);
        const auto r = run(c.phone, {"phonebook", "normalise"});
        EXPECT_EQ(r.exitCode, c.status);
        EXPECT_EQ(r.err, c.err);
        PhoneState after = phoneAfter();
        EXPECT_EQ(after.sim.entries[2].number, c.number2);
        EXPECT_EQ(after.sim.entries[6].number, c.number6);
        EXPECT_EQ(after.sim.entries[1].number, "+4930123456");
    }
}

TEST_F(PhonebookCliTest, RedbookAddAndRemove) {
    // Two Redbook members of the same name: the phone's Redbook cannot tell
    // which is meant, so only the first can be taken out.
    const PhoneState twins = demoWith([](PhoneState& s) {
        s.sim.entries[5] = StoredEntry{"0305", 129, "Mama!"};
    });
    struct Case {
        PhoneState phone;
        std::vector<std::string> args;
        int status;
        std::string err;
        int location;
        std::string nameAfter;
    };
    const std::vector<Case> cases = {
        {PhoneState::demo(), {"add", "1"}, 0, "", 1, "M\xFCller!"},
        {PhoneState::demo(), {"remove", "7"}, 0, "", 7, "Mama"},
        {PhoneState::demo(),
         {"remove", "1"},
         1,
         "vondrix-cli phonebook redbook: the entry at location 1 is not in the Redbook\n",
         1,
         "M\xFCller"},
        {PhoneState::demo(),
         {"add", "5"},
         1,
         "vondrix-cli phonebook redbook: location 5 of the SIM phonebook holds no entry\n",
         5,
         ""},
        {twins,
         {"remove", "7"},
         1,
         "vondrix-cli phonebook redbook: the entries at locations 5 and 7 have the same name "
         "'Mama!': the Redbook cannot tell them apart\n",
         7,
         "Mama!"},
        {twins, {"remove", "5"}, 0, "", 5, "Mama"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.front() + " " + c.args.back());
        std::vector<std::string> args = {"phonebook", "redbook"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const auto r = run(c.phone, args);
        EXPECT_EQ(r.exitCode, c.status);
        EXPECT_EQ(r.err, c.err);
        PhoneState after = phoneAfter();
        EXPECT_EQ(after.sim.entries[c.location].name, c.nameAfter);
    }
    EXPECT_EQ(phoneAfter().sim.entries[7].name, "Mama!");  // the twin stays marked
    EXPECT_EQ(run(PhoneState::demo(), {"phonebook", "redbook", "drop", "7"}).exitCode, 2);
}

// One row per kind of outcome; each answer's message is the core's
// (tests/e2e/PhonebookTest).
TEST_F(PhonebookCliTest, DialResultsAndTheirMessages) {
    struct Case {
        PhoneState phone;
        std::vector<std::string> args;
        int status;
        std::string err;
        std::string lastDialled;  // number at the top of the dialled calls afterwards
    };
    const std::string top = "+4930123456";  // the demo phone's last dialled number
    const std::vector<Case> cases = {
        {PhoneState::demo(), {"--number", "0305550001"}, 1, shown(21), top},
        {PhoneState::demo(), {"--number", "0301"}, 0, "", "0301"},
        {PhoneState::demo(), {"4"}, 0, "", "+33478123456"},
        {PhoneState::demo(), {"2", "--kind", "internal"}, 0, "", "+4989555123"},
        {refusing("AT^SPBS=SM"), {"4"}, 1, "vondrix-cli dial: the phone refused AT^SPBS=SM\n", top},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.front() + " " + c.args.back());
        std::vector<std::string> args = {"dial"};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const auto r = run(c.phone, args);
        EXPECT_EQ(r.exitCode, c.status);
        EXPECT_EQ(r.err, c.err);
        EXPECT_EQ(phoneAfter().dialledCalls.entries[1].number, c.lastDialled);
    }
    EXPECT_EQ(fileText("Vondrix.phb").rfind("[SIM]\r\n", 0), 0u);

    for (const std::vector<std::string>& bad : {std::vector<std::string>{"dial"},
                                                {"dial", "x"},
                                                {"dial", "1", "2"},
                                                {"dial", "--number", "0301;+CPBW=1"},
                                                {"dial", "--number", ""},
                                                {"dial", "--number", "0301", "4"},
                                                {"dial", "--number", "0301", "--kind", "fixed"}}) {
        EXPECT_EQ(run(PhoneState::demo(), bad).exitCode, 2) << bad.back();
    }
}

TEST_F(PhonebookCliTest, RedialHangupAndClearDialledCalls) {
    const PhoneState busyLast = demoWith([](PhoneState& s) {
        s.dialledCalls.entries[1] = StoredEntry{"0305550001", 129, ""};
    });
    struct Case {
        PhoneState phone;
        std::vector<std::string> args;
        int status;
        std::string err;
        std::size_t dialledAfter;
    };
    const std::vector<Case> cases = {
        {busyLast, {"redial"}, 1, "vondrix-cli redial: the phone refused ATDL (BUSY)\n", 10},
        {PhoneState::demo(), {"hangup"}, 0, "", 10},
        {PhoneState::demo(), {"calls", "clear-dialled"}, 0, "", 0},
        {refusing("AT^SDLD"),
         {"calls", "clear-dialled"},
         1,
         "vondrix-cli calls clear-dialled: the phone refused to clear the dialled calls\n",
         10},
        {PhoneState::demo(), {"calls"}, 2, "a subcommand is missing", 10},
        {PhoneState::demo(), {"calls", "clear"}, 2, "unknown subcommand 'clear'", 10},
        {PhoneState::demo(), {"hangup", "now"}, 2, "unexpected argument", 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.back());
        const auto r = run(c.phone, c.args);
        EXPECT_EQ(r.exitCode, c.status);
        if (c.status == 0 || c.err.back() == '\n') {
            EXPECT_EQ(r.err, c.err);
        } else {
            EXPECT_TRUE(contains(r.err, c.err)) << r.err;
        }
        EXPECT_EQ(phoneAfter().dialledCalls.entries.size(), c.dialledAfter);
    }
}

TEST_F(PhonebookCliTest, HelpAndUsageErrors) {
    const std::vector<std::vector<std::string>> helps = {
        {"phonebook"},
        {"phonebook", "read"},
        {"phonebook", "export"},
        {"phonebook", "import"},
        {"phonebook", "write"},
        {"phonebook", "delete"},
        {"phonebook", "clear"},
        {"phonebook", "normalise"},
        {"phonebook", "redbook"},
        {"dial"},
        {"redial"},
        {"hangup"},
        {"calls"},
    };
    for (const auto& words : helps) {
        std::string joined;
        for (const auto& w : words)
            joined += (joined.empty() ? "" : " ") + w;
        SCOPED_TRACE(joined);
        std::vector<std::string> args = words;
        args.push_back("--help");
        const auto r = run(PhoneState::demo(), args);
        EXPECT_EQ(r.exitCode, 0);
        EXPECT_EQ(r.out.rfind("Usage: vondrix-cli [LINK OPTIONS] " + joined, 0), 0u) << r.out;
        EXPECT_EQ(r.err, "");
    }
    EXPECT_EQ(run(PhoneState::demo(), {"phonebook", "redbook", "add", "--help"}).exitCode, 0);
    EXPECT_EQ(run(PhoneState::demo(), {"calls", "clear-dialled", "--help"}).exitCode, 0);

    const std::vector<std::vector<std::string>> usageErrors = {
        {"phonebook"},
        {"phonebook", "list"},
        {"phonebook", "read", "extra"},
        {"phonebook", "read", "--kind"},
        {"phonebook", "read", "--kind", "FD"},
        {"phonebook", "read", "--bogus"},
        {"phonebook", "delete"},
        {"phonebook", "delete", "three"},
        {"phonebook", "delete", "1234567"},
        {"phonebook", "clear", "all"},
        {"phonebook", "normalise", "--kind", "memory"},
        {"phonebook", "redbook", "add"},
        {"phonebook", "write", "", "A"},
        {"phonebook", "write", "030", ""},
    };
    for (const auto& args : usageErrors) {
        SCOPED_TRACE(args.back());
        const auto r = run(PhoneState::demo(), args);
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_TRUE(contains(r.err, "vondrix-cli phonebook")) << r.err;
        EXPECT_FALSE(exists("Vondrix.phb"));  // the phone was never asked
    }

    // No link configured: nothing is read, nothing saved.
    const auto r =
        test::runProcess(VONDRIX_CLI_PATH, {"phonebook", "read"}, dir, {"VONDRIX_LANG=en"});
    EXPECT_EQ(r.exitCode, 3);
    EXPECT_FALSE(exists("Vondrix.phb"));
}

}  // namespace
}  // namespace vondrix
