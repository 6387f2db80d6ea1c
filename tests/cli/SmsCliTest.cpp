// vondrix-cli sms against the simulated phone, run as a process: the list
// and its exports, deleting, sending with its questions, storing, the
// predefined texts, the groups and the command mode with the example
// module. The phone's state file shows what the commands did.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>

#include "foundation/Catalogue.h"
#include "foundation/Reporter.h"
#include "phonesim/PhoneState.h"
#include "phonesim/SmsPdu.h"
#include "support/SimulatedCliTest.h"

namespace vondrix {
namespace {

using phonesim::PhoneState;
using phonesim::StoredMessage;
using Lines = std::vector<std::string>;

constexpr const char* kCentre = "+491710760000";

std::string received(const std::string& from, const std::string& stamp, const std::string& text) {
    return phonesim::deliverPdu(kCentre, phonesim::addressField(from), 0x00,
                                phonesim::timestampField(stamp), phonesim::gsmUserData(text));
}

std::string storedTo(const std::string& to, const std::string& text) {
    return phonesim::submitPdu(kCentre, 0, to, 0x00, phonesim::gsmUserData(text));
}

// The demo phone with exactly `messages` in its memory.
PhoneState memoryOf(std::map<int, StoredMessage> messages) {
    return test::demoWith([&](PhoneState& s) {
        s.sms = phonesim::SmsStore{};
        s.sms.messages = messages;
    });
}

Lines linesOf(const std::string& text) {
    Lines lines;
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);)
        lines.push_back(l);
    return lines;
}

std::size_t count(const std::string& text, const std::string& part) {
    std::size_t n = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

std::string shown(int id, Caption caption = Caption::Error) {
    return std::string(captionText(caption)) + ": " +
           std::string(catalogueText(id, Language::English));
}

// The text of each sent part, in sending order.
Lines sentTexts(const PhoneState& phone) {
    Lines found;
    for (const std::string& pdu : phone.sms.sent)
        found.push_back(phonesim::messageText(pdu).value_or("?"));
    return found;
}

class SmsCliTest : public test::SimulatedCliTest {
  protected:
    void SetUp() override {
        writeFile("Vondrix.phb",
                  "[SIM]\r\n1,Anna Schmidt,0123456789\r\n2,Bob,0301234567\r\n3,Carl,040555666\r\n");
    }
    // Two received messages, one stored unsent, one status report.
    PhoneState fourMessages() {
        return memoryOf(
            {{1, {1, received("+49123456789", "010412134500", "Hello; you\nthere")}},
             {2, {0, received("0301234567", "010411090000", "Received, text")}},
             {3, {2, storedTo("0401234", "Draft & <note>")}},
             {4,
              {1, phonesim::statusReportPdu(kCentre, 5, "+4940555666",
                                            phonesim::timestampField("010413101500"),
                                            phonesim::timestampField("010413101512"), 0)}}});
    }
};

TEST_F(SmsCliTest, ListPrintsTheRowsSortedByDateAndTheMemoryFields) {
    const auto r = run(fourMessages(), {"sms", "list"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out,
              "3;2;;0401234;;Draft & <note>\n"
              "2;0;01/04/11 09:00:00;0301234567;Bob;Received, text\n"
              "1;1;01/04/12 13:45:00;+49123456789;Anna Schmidt;Hello; you\\rthere\n"
              "4;1;01/04/13 10:15:00;+4940555666;Carl;01/04/13 10:15:12\n"
              "Memory: 4/20 Space available\n");

    const auto json = run(fourMessages(), {"sms", "list", "--json"});
    ASSERT_EQ(json.exitCode, 0) << json.err;
    EXPECT_EQ(json.out.rfind(
                  "{\"messages\":[{\"index\":3,\"status\":2,\"date\":\"\",\"number\":\"0401234\","
                  "\"name\":\"\",\"text\":\"Draft & <note>\"},",
                  0),
              0u)
        << json.out;
    // The alphabet's deviation: GSM line feed (0x0A) reads as carriage return.
    EXPECT_NE(json.out.find("\"text\":\"Hello; you\\rthere\""), std::string::npos);
    EXPECT_NE(json.out.find("\"memory\":{\"used\":4,\"capacity\":20,\"state\":0,\"stateText\":"
                            "\"Space available\"}}"),
              std::string::npos);
}

TEST_F(SmsCliTest, ListOfAnEmptyMemoryAndAFullOneInGerman) {
    const auto empty = run(memoryOf({}), {"sms", "list"});
    ASSERT_EQ(empty.exitCode, 0) << empty.err;
    EXPECT_EQ(empty.out, "Memory: 0/20 Space available\n");

    PhoneState full = memoryOf({});
    full.sms.capacity = 2;
    full.sms.messages = {{1, {1, received("0301", "010101000000", "a")}},
                         {2, {1, received("0302", "010101000001", "b")}}};
    const auto german = run(full, {"--lang", "de", "sms", "list"});
    ASSERT_EQ(german.exitCode, 0) << german.err;
    EXPECT_EQ(linesOf(german.out).back(), "Memory: 2/2 Puffer voll");
}

TEST_F(SmsCliTest, JoinedListShowsOneLinePerMessage) {
    // The demo memory holds a message in three parts (indexes 5, 7, 6).
    const auto whole = run(PhoneState::demo(), {"sms", "list", "--joined"});
    ASSERT_EQ(whole.exitCode, 0) << whole.err;
    const auto plain = run(PhoneState::demo(), {"sms", "list"});
    EXPECT_EQ(linesOf(plain.out).size(), linesOf(whole.out).size() + 2);
    EXPECT_NE(whole.out.find("5;1;01/03/20 17:12:01;+491701234567;;Hallo mein Schatz"),
              std::string::npos);
    EXPECT_NE(whole.out.find("Liebe Grüße, Mama\n"), std::string::npos);

    PhoneState missing = PhoneState::demo();
    missing.sms.messages.erase(7);
    const auto partial = run(missing, {"sms", "list", "--joined"});
    EXPECT_NE(partial.out.find("Liebe Grüße, Mama (2/3 parts)\n"), std::string::npos);
}

TEST_F(SmsCliTest, ExportsWriteWhatTheListShows) {
    ASSERT_EQ(run(fourMessages(), {"sms", "export", "--format", "csv", "out.csv"}).exitCode, 0);
    ASSERT_EQ(run(fourMessages(), {"sms", "export", "--format", "csv", "out.csv"}).exitCode, 0);
    const std::string csv =
        "NR,NAME,TELNUM,DATE,TEXT\r\n"
        "3,,'0401234,,Draft & <note>\r\n"
        "2,Bob,'0301234567,01/04/11 09:00:00,Received  text\r\n"
        "1,Anna Schmidt,'+49123456789,01/04/12 13:45:00,Hello  you there\r\n"
        "4,Carl,'+4940555666,01/04/13 10:15:00,01/04/13 10:15:12\r\n";
    EXPECT_EQ(fileText("out.csv"), csv + csv);  // CSV is added at the end

    ASSERT_EQ(run(fourMessages(), {"sms", "export", "--format", "xml", "out.xml"}).exitCode, 0);
    ASSERT_EQ(run(fourMessages(), {"sms", "export", "--format", "xml", "out.xml"}).exitCode, 0);
    const std::string xml = fileText("out.xml");
    EXPECT_EQ(count(xml, "<?xml"), 1u);  // written anew
    EXPECT_NE(xml.find("<TEXT>Draft &amp; &lt;note></TEXT>"), std::string::npos);

    const auto bad = run(fourMessages(), {"sms", "export", "--format", "txt", "out.txt"});
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_EQ(run(fourMessages(), {"sms", "export", "--format", "csv", "no/such/dir.csv"}).exitCode,
              1);
}

TEST_F(SmsCliTest, DeleteByIndexAndTheRefusals) {
    auto r = run(fourMessages(), {"sms", "delete", "1", "4"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    auto left = phoneAfter().sms.messages;
    EXPECT_EQ(left.size(), 2u);
    EXPECT_EQ(left.count(1) + left.count(4), 0u);

    r = run(fourMessages(), {"sms", "delete", "1", "9"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("no message at index 9"), std::string::npos);
    EXPECT_EQ(phoneAfter().sms.messages.size(), 4u);  // nothing deleted

    PhoneState refusing = fourMessages();
    refusing.failing.insert("AT+CMGD=2");
    r = run(refusing, {"sms", "delete", "1", "2"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find(shown(msg::EntryNotDeleted)), std::string::npos);
    left = phoneAfter().sms.messages;
    EXPECT_EQ(left.count(1), 0u);
    EXPECT_EQ(left.count(2), 1u);

    EXPECT_EQ(run(fourMessages(), {"sms", "delete", "x"}).exitCode, 2);

    // The link fails half-way: the command says which went.
    writeIni("Timeout=1\r\n");
    PhoneState stalling = fourMessages();
    stalling.silent.insert("AT+CMGD=4");
    r = run(stalling, {"sms", "delete", "1", "2", "4"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("deleted 1 2; not deleted 4"), std::string::npos) << r.err;
}

TEST_F(SmsCliTest, SendLooksUpNamesExpandsMarkersAndCutsParts) {
    writeIni("Ptxt2=at the station\r\n");
    auto r = run(memoryOf({}), {"sms", "send", "--to", "Anna", "Meet me #3# later"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "sent 1 of 1 parts, stored 0\n");
    PhoneState phone = phoneAfter();
    ASSERT_EQ(phone.sms.sent.size(), 1u);
    EXPECT_EQ(sentTexts(phone), (Lines{"Meet me at the station"}));
    EXPECT_NE(phone.sms.sent[0].find(phonesim::addressField("0123456789")), std::string::npos);

    r = run(memoryOf({}), {"sms", "send", "--to", "+49301", "--json", std::string(161, 'x') + ""});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "{\"recipient\":\"+49301\",\"parts\":2,\"sent\":2,\"stored\":0}\n");

    r = run(memoryOf({}), {"sms", "send", "--to", "0301", "--8bit", std::string(141, 'y')});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(phoneAfter().sms.sent.size(), 2u);

    r = run(memoryOf({}), {"sms", "send", "--to", "Zoe", "hi"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(phoneAfter().sms.sent.empty());

    // What a message cannot carry goes out replaced with --replace.
    r = run(memoryOf({}), {"sms", "send", "--to", "0301", "--replace", "caf\u00E1"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(phonesim::messageText(phoneAfter().sms.sent.at(0)), "cafa");

    // An exact name wins over a longer one that contains it.
    writeFile("Vondrix.phb", "[SIM]\r\n1,Bobby,0309999\r\n2,Bob,0301234567\r\n");
    r = run(memoryOf({}), {"sms", "send", "--to", "Bob", "hi"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(phoneAfter().sms.sent.at(0).find(phonesim::addressField("0301234567")),
              std::string::npos);
}

TEST_F(SmsCliTest, FailedSendIsRetriedThenCancelledAndStoredOnlyWhenAskedTo) {
    struct Case {
        const char* name;
        Lines extra;
        int retries, cancels;
        bool stored;
    };
    const std::vector<Case> cases = {
        {"yes, two retries", {"--yes"}, 2, 1, true},
        {"no", {"--no"}, 0, 1, false},
        {"no terminal to ask", {}, 0, 1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PhoneState phone = memoryOf({});
        phone.failing.insert("AT+CMGS");
        Lines args = c.extra;
        for (const char* a : {"sms", "send", "--to", "0301", "--retries"})
            args.push_back(a);
        args.push_back(std::to_string(c.retries));
        args.push_back("Hello");
        const auto r = run(phone, args);
        EXPECT_EQ(r.exitCode, 1);  // not sent, even when stored
        EXPECT_EQ(count(r.err, shown(msg::MessagesNotSent) + " [retry]"),
                  static_cast<std::size_t>(c.retries));
        EXPECT_EQ(count(r.err, shown(msg::MessagesNotSent) + " [cancel]"),
                  static_cast<std::size_t>(c.cancels));
        EXPECT_NE(r.err.find(shown(msg::StoreUnsentMessage, Caption::Info)), std::string::npos);
        const PhoneState after = phoneAfter();
        EXPECT_TRUE(after.sms.sent.empty());
        ASSERT_EQ(after.sms.messages.size(), c.stored ? 1u : 0u);
        if (c.stored) {
            EXPECT_EQ(after.sms.messages.begin()->second.status, 2);
            EXPECT_EQ(r.out, "sent 0 of 1 parts, stored 1\n");
        }
    }
}

TEST_F(SmsCliTest, SendUsageErrorsSendNothing) {
    const std::vector<Lines> cases = {
        {"sms", "send", "hi"},
        {"sms", "send", "--to", "0301", ""},
        {"sms", "send", "--to", "0301", "--days", "5", "hi"},
        {"sms", "send", "--to", "+49x", "hi"},
        {"sms", "send", "--to", "+", "hi"},
        {"sms", "send", "--to", std::string(21, '1'), "hi"},  // an address holds 20 digits
        {"sms", "send", "--to", "0301", "--retries", "-1", "hi"},
        {"sms", "send", "--to", "0301", "caf\u00E1 \u0151"},
        {"sms", "send", "--to", "a", "hi"},
    };
    for (const Lines& args : cases) {
        SCOPED_TRACE(args.back());
        EXPECT_EQ(run(memoryOf({}), args).exitCode, 2);
        EXPECT_TRUE(phoneAfter().sms.sent.empty());
    }
    // What was refused, and why.
    EXPECT_EQ(run(memoryOf({}), {"sms", "send", "--to", "0301", "caf\u00E1 \u0151"}).err,
              "vondrix-cli sms send: 7-bit text cannot carry '\u00E1' (arrives as 'a'), "
              "'\u0151' (arrives as '?'); --replace sends it so\n");
    EXPECT_EQ(run(memoryOf({}), {"sms", "send", "--to", "a", "hi"}).err,
              "vondrix-cli sms send: --to: 'a' names 2 records of Vondrix.phb; give the whole "
              "name or the number:\n  Anna Schmidt (0123456789)\n  Carl (040555666)\n"
              "Try 'vondrix-cli sms send --help'.\n");
}

TEST_F(SmsCliTest, PredefinedTextsAreSetListedDeletedAndStored) {
    ASSERT_EQ(run(memoryOf({}), {"sms", "predefined", "set", "1", std::string(170, 'z')}).exitCode,
              0);
    ASSERT_EQ(run(memoryOf({}), {"sms", "predefined", "set", "50", "Grüße"}).exitCode, 0);
    auto r = run(memoryOf({}), {"sms", "predefined", "list"});
    EXPECT_EQ(r.out, "1;" + std::string(160, 'z') + "\n50;Grüße\n");
    r = run(memoryOf({}), {"sms", "predefined", "list", "--json"});
    EXPECT_EQ(r.out, "[{\"number\":1,\"text\":\"" + std::string(160, 'z') +
                         "\"},{\"number\":50,\"text\":\"Grüße\"}]\n");

    r = run(memoryOf({}), {"sms", "store", "50"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "stored at 1\n");
    const PhoneState phone = phoneAfter();
    ASSERT_EQ(phone.sms.messages.size(), 1u);
    EXPECT_EQ(phone.sms.messages.at(1).status, 2);

    // A text a message cannot carry is stored only with --replace.
    ASSERT_EQ(run(memoryOf({}), {"sms", "predefined", "set", "49", "caf\u00E1"}).exitCode, 0);
    EXPECT_EQ(run(memoryOf({}), {"sms", "store", "49"}).exitCode, 2);
    EXPECT_TRUE(phoneAfter().sms.messages.empty());
    EXPECT_EQ(run(memoryOf({}), {"sms", "store", "--replace", "49"}).exitCode, 0);
    ASSERT_EQ(run(memoryOf({}), {"sms", "predefined", "delete", "49"}).exitCode, 0);

    ASSERT_EQ(run(memoryOf({}), {"sms", "predefined", "delete", "50"}).exitCode, 0);
    EXPECT_EQ(run(memoryOf({}), {"sms", "predefined", "list"}).out,
              "1;" + std::string(160, 'z') + "\n");
    r = run(memoryOf({}), {"sms", "store", "50"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("predefined text 50 is empty"), std::string::npos);
    EXPECT_EQ(run(memoryOf({}), {"sms", "store", "51"}).exitCode, 2);
    EXPECT_EQ(run(memoryOf({}), {"sms", "predefined", "set", "0", "x"}).exitCode, 2);
}

TEST_F(SmsCliTest, GroupMembersComeFromTheNameDirectoryAndAllGetTheText) {
    auto r = run(memoryOf({}), {"sms", "group", "add", "team.srp", "Anna", "Bob", "Anna Schmidt"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "added 2, skipped 1\n");
    r = run(memoryOf({}), {"sms", "group", "add", "team.srp", "Carl", "Bob"});
    EXPECT_EQ(r.out, "added 1, skipped 1\n");
    EXPECT_EQ(fileText("team.srp"),
              "Anna Schmidt,0123456789\r\nBob,0301234567\r\nCarl,040555666\r\n");
    r = run(memoryOf({}), {"sms", "group", "add", "team.srp", "Dora"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(fileText("team.srp"),
              "Anna Schmidt,0123456789\r\nBob,0301234567\r\nCarl,040555666\r\n");

    r = run(memoryOf({}), {"sms", "group", "send", "team.srp", "Meeting at 8"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out,
              "Anna Schmidt;0123456789: sent 1 of 1 parts, stored 0\n"
              "Bob;0301234567: sent 1 of 1 parts, stored 0\n"
              "Carl;040555666: sent 1 of 1 parts, stored 0\n");
    EXPECT_EQ(sentTexts(phoneAfter()), (Lines(3, "Meeting at 8")));

    // The link fails at the first member: the others are named as not tried.
    writeIni("Timeout=1\r\n");
    PhoneState stalling = memoryOf({});
    stalling.silent.insert("AT+CMGS");
    r = run(stalling, {"sms", "group", "send", "team.srp", "Meeting at 8"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out,
              "Anna Schmidt;0123456789: sent 0 of 1 parts, stored 0\n"
              "Bob;0301234567: not tried\nCarl;040555666: not tried\n");

    writeFile("empty.srp", "no comma here\r\n");
    r = run(memoryOf({}), {"sms", "group", "send", "empty.srp", "x"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(phoneAfter().sms.sent.empty());
}

TEST_F(SmsCliTest, CommandModeAnswersWithTheExampleModuleAndWritesItsSettings) {
    std::filesystem::copy_file(VONDRIX_SMSCOM_PATH, dir + "/smscom.so");
    writeIni("WaitSec=7\r\nCheckSMS=0\r\n");
    const PhoneState phone = memoryOf({{1, {0, received("+49123456789", "010412134500", "PING")}},
                                       {2, {1, received("0301234567", "010412134600", "hello")}},
                                       {3, {2, storedTo("0123456789", "PING")}}});
    const auto r =
        run(phone, {"sms", "command-mode", "--check", "--log", "--interval", "2", "--ticks", "1"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "tick 1\n");
    const PhoneState after = phoneAfter();
    EXPECT_EQ(sentTexts(after), (Lines{"PONG"}));
    EXPECT_EQ(after.sms.messages.count(1), 0u);  // handled: deleted
    EXPECT_EQ(after.sms.messages.count(2), 1u);  // not handled: kept
    EXPECT_EQ(after.sms.messages.count(3), 1u);  // stored: never handed over
    const Lines log = linesOf(fileText("Vondrix.log"));
    ASSERT_EQ(log.size(), 2u);
    EXPECT_NE(log[0].find(";+49123456789;Anna Schmidt;01/04/12 13:45:00;PING\r"),
              std::string::npos);
    const std::string ini = fileText("Vondrix.ini");
    EXPECT_NE(ini.find("WaitSec=2"), std::string::npos);
    EXPECT_NE(ini.find("MonProt=1"), std::string::npos);
    EXPECT_NE(ini.find("CheckSMS=1"), std::string::npos);
}

TEST_F(SmsCliTest, CommandModePollsTheModuleWithoutTheCheck) {
    std::filesystem::copy_file(VONDRIX_SMSCOM_PATH, dir + "/smscom.so");
    const auto r = run(memoryOf({{1, {0, received("0301", "010412134500", "PING")}}}),
                       {"sms", "command-mode", "--no-check", "--json", "--ticks", "1"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "[{\"tick\":1,\"moduleStatus\":\"idle, 0 answered\"}]\n");
    EXPECT_EQ(phoneAfter().sms.messages.size(), 1u);
    EXPECT_NE(fileText("Vondrix.ini").find("CheckSMS=0"), std::string::npos);
}

TEST_F(SmsCliTest, CommandModeWithoutAModuleFailsAtOnce) {
    const auto r = run(memoryOf({}), {"sms", "command-mode", "--ticks", "1"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find(shown(msg::ModuleNotLoaded)), std::string::npos);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(run(memoryOf({}), {"sms", "command-mode"}).exitCode, 2);
    EXPECT_EQ(
        run(memoryOf({}), {"sms", "command-mode", "--ticks", "1", "--interval", "1"}).exitCode, 2);
    EXPECT_EQ(run(memoryOf({}), {"sms", "command-mode", "--ticks", "1", "--check", "--no-check"})
                  .exitCode,
              2);
}

}  // namespace
}  // namespace vondrix
