// vondrix-cli net, forward and barring against the simulated phone, run as
// a process; the phone's state file shows what the commands did, the cell
// log and Vondrix.ini what the monitor wrote.

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <regex>
#include <set>
#include <sstream>

#include "foundation/Catalogue.h"
#include "foundation/Reporter.h"
#include "phonesim/PhoneState.h"
#include "support/RunProcess.h"
#include "support/SimulatedCliTest.h"

namespace vondrix {
namespace {

using phonesim::PhoneState;
using Lines = std::vector<std::string>;

std::string shown(int id) {
    return std::string(captionText(Caption::Error)) + ": " +
           std::string(catalogueText(id, Language::English)) + "\n";
}

Lines linesOf(const std::string& text) {
    Lines lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line.ends_with('\r') ? line.substr(0, line.size() - 1) : line);
    return lines;
}

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

// The demo phone with a quick search and no handovers unless a test wants them.
PhoneState phone(const std::function<void(PhoneState&)>& change = {}) {
    return test::demoWith([&](PhoneState& s) {
        s.net.searchMs = 20;
        s.net.handoverEvery = 0;
        if (change)
            change(s);
    });
}

class NetworkCliTest : public test::SimulatedCliTest {};

// --- net monitor ----------------------------------------------------------------

TEST_F(NetworkCliTest, MonitorPrintsEveryPollAndLogsTheHandover) {
    const auto r = run(phone([](PhoneState& s) {
                           s.net.handoverEvery = 1;  // a new cell for every answer
                           s.net.calls = {phonesim::Call{1, 1, 4, 0, false, "+4930123456", 145},
                                          phonesim::Call{2, 0, 0, 1, false, "", 129}};
                       }),
                       {"net", "monitor", "--polls", "2", "--interval", "2", "--log"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const Lines polls = linesOf(r.out);
    ASSERT_EQ(polls.size(), 2u);
    const std::regex line(
        R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\dZ;D1-TELEKOM;26201;Logged in;5E2[56];[0-9A-F]{4};)"
        R"(-79 dBm / 0\.013 nW;Active call;1,>,Incoming,Voice,\+4930123456;2,<,Active,Data,)");
    for (const std::string& p : polls)
        EXPECT_TRUE(std::regex_match(p, line)) << p;
    // The phone moved on between the polls: two log lines, one per cell.
    const Lines log = linesOf(fileText("Vondrix.log"));
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0], "date,time,cellid,lai,net,state");
    const std::string firstCell = polls[0].substr(polls[0].find(";5E2") + 6, 4);
    EXPECT_TRUE(contains(log[1], ",'" + firstCell + ",")) << log[1];
    EXPECT_NE(log[1].substr(20, 6), log[2].substr(20, 6));
    const std::string ini = fileText("Vondrix.ini");
    EXPECT_TRUE(contains(ini, "MonRef=2")) << ini;
    EXPECT_TRUE(contains(ini, "MonProt=1")) << ini;
}

TEST_F(NetworkCliTest, MonitorJsonIsOneObjectPerPollAndNoLogWithoutMonProt) {
    writeIni("MonRef=9\r\nMonProt=0\r\n");
    const auto r = run(phone([](PhoneState& s) {
                           s.net.calls = {phonesim::Call{1, 0, 0, 0, false, "0301234", 129}};
                       }),
                       {"net", "monitor", "--polls", "1", "--json"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    ASSERT_EQ(linesOf(r.out).size(), 1u);
    EXPECT_TRUE(contains(r.out,
                         "\"operator\":\"D1-TELEKOM\",\"code\":26201,\"registration\":1,"
                         "\"registrationText\":\"Logged in\",\"lac\":24101,\"cellId\":24671,"
                         "\"dbm\":-79,"))
        << r.out;
    EXPECT_TRUE(contains(r.out,
                         "\"calls\":[{\"index\":1,\"direction\":\"<\",\"state\":0,"
                         "\"stateText\":\"Active\",\"mode\":0,\"modeText\":\"Voice\","
                         "\"number\":\"0301234\"}]}"))
        << r.out;
    EXPECT_FALSE(exists("Vondrix.log"));
    // The period read from the settings, clamped to the control's range.
    EXPECT_TRUE(contains(fileText("Vondrix.ini"), "MonRef=9"));
}

TEST_F(NetworkCliTest, MonitorReadyPhoneHasNoCalls) {
    const auto r = run(phone(), {"net", "monitor", "--polls", "1", "--no-log"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(r.out.ends_with(";-79 dBm / 0.013 nW;Ready\n")) << r.out;
    EXPECT_TRUE(contains(fileText("Vondrix.ini"), "MonProt=0"));
}

// The phone's texts never reach the terminal raw.
TEST_F(NetworkCliTest, MonitorEscapesThePhonesTexts) {
    const auto r = run(phone([](PhoneState& s) { s.operatorName = "D1\x1B]0;owned\x07"; }),
                       {"net", "monitor", "--polls", "1", "--no-log"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(contains(r.out, ";D1\\x1B]0;owned\\x07;")) << r.out;
}

// --- Usage errors: exit 2, nothing sent, nothing printed ---------------------------

TEST_F(NetworkCliTest, UsageErrorsSendNothing) {
    const std::vector<Lines> cases = {
        {"net", "monitor"},
        {"net", "monitor", "--polls", "0"},
        {"net", "monitor", "--polls", "1", "--interval", "1"},
        {"net", "monitor", "--polls", "1", "--interval", "61"},
        {"net", "monitor", "--polls", "1", "--log", "--no-log"},
        {"net", "preferred", "add", "999"},
        {"net", "preferred", "add", "1000000"},
        {"net", "preferred", "remove", "0"},
        {"net", "select", "D2"},
        {"net", "preferred"},
        {"forward", "query", "sometimes"},
        {"forward", "set", "busy", "register", "--number", "0301"},
        {"forward", "set", "busy", "register", "--class", "voice,all", "--number", "0301"},
        {"forward", "set", "busy", "register", "--class", "voice", "--number", "0301", "--time",
         "20"},
        {"forward", "set", "no-answer", "register", "--class", "voice", "--number", "0301",
         "--time", "31"},
        {"forward", "set", "always", "divert", "--class", "voice", "--number", "0301"},
        {"forward", "set", "always", "register", "--class", "voice", "--number", "03;01"},
        {"forward", "set", "always", "register", "--class", "voice", "--number", "+"},
        {"barring", "query", "XX"},
        {"barring", "set", "SC", "on", "--password", "1234"},
        {"barring", "set", "SC", "on", "--class", "voice"},
        {"barring", "set", "AO", "on", "--password", "1234"},
        {"barring", "set", "AO", "maybe", "--class", "voice", "--password", "1234"},
    };
    for (const Lines& args : cases) {
        std::string name;
        for (const auto& a : args)
            name += a + " ";
        SCOPED_TRACE(name);
        const auto r = run(phone(), args);
        EXPECT_EQ(r.exitCode, 2) << r.err;
        EXPECT_EQ(r.out, "");
        EXPECT_TRUE(contains(r.err, "--help")) << r.err;
    }
    EXPECT_FALSE(exists("Vondrix.ini"));  // no window was opened
}

// --- net operators, preferred, select ---------------------------------------------

TEST_F(NetworkCliTest, OperatorsPrintsTheThreePartsAndEndsThePreferredListAtAnUnknownCode) {
    const auto r = run(phone([](PhoneState& s) {
                           s.net.preferredSize = 5;
                           s.net.preferred = {{1, 23201}, {2, 26202}, {3, 99901}, {4, 22801}};
                       }),
                       {"net", "operators"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const Lines lines = linesOf(r.out);
    const auto at = [&](const std::string& heading) {
        return std::find(lines.begin(), lines.end(), heading) - lines.begin();
    };
    const auto known = at("[Known]"), preferred = at("[Preferred]"), found = at("[Found]");
    ASSERT_EQ(known, 0);
    ASSERT_LT(preferred, static_cast<long>(lines.size()));
    ASSERT_LT(found, static_cast<long>(lines.size()));
    // Several hundred names, by name.
    EXPECT_GT(preferred - known, 300);
    std::vector<std::string> names;
    for (auto i = known + 1; i < preferred; ++i)
        names.push_back(lines[i].substr(lines[i].find(';') + 1));
    EXPECT_TRUE(std::is_sorted(names.begin(), names.end()));
    EXPECT_EQ(Lines(lines.begin() + preferred + 1, lines.begin() + found),
              (Lines{"1;23201;A1", "2;26202;D2 PRIVAT"}));
    EXPECT_EQ(
        Lines(lines.begin() + found + 1, lines.end()),
        (Lines{"26201;D1-TELEKOM;2", "26202;D2 PRIVAT;1", "26203;E-Plus;3", "26207;Interkom;3"}));

    const auto j = run(phone(), {"net", "operators", "--json"});
    ASSERT_EQ(j.exitCode, 0) << j.err;
    EXPECT_TRUE(contains(j.out, "\"preferred\":[{\"position\":1,\"code\":23201,\"name\":\"A1\"},"));
    EXPECT_TRUE(contains(j.out, "{\"position\":10,\"code\":0,\"name\":\"EMPTY\"}],\"found\":["));
}

TEST_F(NetworkCliTest, PreferredAddAndRemove) {
    auto r = run(phone(), {"net", "preferred", "add", "26202"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "6;26202;D2 PRIVAT\n");
    EXPECT_EQ(phoneAfter().net.preferred.at(6), 26202);

    r = run(phone(), {"net", "preferred", "remove", "1"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(phoneAfter().net.preferred.count(1), 0u);

    // Every position used: message 32, nothing written.
    r = run(phone([](PhoneState& s) {
                s.net.preferredSize = 2;
                s.net.preferred = {{1, 23201}, {2, 22801}};
            }),
            {"net", "preferred", "add", "26202"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, shown(msg::NoFreeEntry));
    EXPECT_EQ(phoneAfter().net.preferred, (std::map<int, int>{{1, 23201}, {2, 22801}}));

    // Only operators the phone knows, and only positions the SIM has.
    r = run(phone(), {"net", "preferred", "add", "12345"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(contains(r.err, "knows no operator 12345")) << r.err;
    r = run(phone(), {"net", "preferred", "remove", "11"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(contains(r.err, "no position 11")) << r.err;
}

// The message of each status the search gives is the core's (tests/e2e/NetworkTest).
TEST_F(NetworkCliTest, SelectByTheStatusTheSearchGives) {
    struct Case {
        const char* situation;
        const char* code;
        int exit;
        std::string err;
        int servingAfter;
    };
    const Case cases[] = {
        {"available", "26202", 0, "", 26202},
        {"current", "26201", 1, shown(msg::OperatorInUse), 26201},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.situation);
        const auto r = run(phone(), {"net", "select", c.code});
        EXPECT_EQ(r.exitCode, c.exit) << r.err;
        EXPECT_EQ(r.err, c.err);
        EXPECT_EQ(phoneAfter().net.servingCode, c.servingAfter);
    }
}

// --- forward ---------------------------------------------------------------------------

TEST_F(NetworkCliTest, ForwardQueryPrintsFourClassLines) {
    const auto r = run(phone([](PhoneState& s) {
                           s.net.forwarding[{1, 1}] = {true, "+4930111", 145, 0};
                           s.net.forwarding[{1, 4}] = {true, "0302222", 129, 0};
                       }),
                       {"forward", "query", "busy"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "voice;1;+4930111;0\ndata;0;;0\nfax;1;0302222;0\nall;0;;0\n");

    const auto j = run(phone(), {"forward", "query", "2", "--json"});
    ASSERT_EQ(j.exitCode, 0) << j.err;
    EXPECT_EQ(j.out,
              "{\"reason\":\"no-answer\",\"voice\":{\"active\":true,\"number\":\"+491713300\","
              "\"time\":20},\"data\":{\"active\":false,\"number\":\"\",\"time\":0},"
              "\"fax\":{\"active\":false,\"number\":\"\",\"time\":0},"
              "\"all\":{\"active\":false,\"number\":\"\",\"time\":0}}\n");
}

TEST_F(NetworkCliTest, ForwardSetRoundsTheTimeAndTypesTheNumber) {
    auto r = run(phone(), {"forward", "set", "no-answer", "register", "--class", "voice",
                           "--number", "0301234", "--time", "23"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const phonesim::ForwardingRule national = phoneAfter().net.forwarding.at({2, 1});
    EXPECT_EQ(national.number, "0301234");
    EXPECT_EQ(national.type, 129);
    EXPECT_EQ(national.time, 20);

    // A list of classes: one rule each.
    r = run(phone(), {"forward", "set", "always", "register", "--class", "data,fax", "--number",
                      "+4930111"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const PhoneState after = phoneAfter();
    EXPECT_EQ(after.net.forwarding.at({0, 2}).number, "+4930111");
    EXPECT_EQ(after.net.forwarding.at({0, 4}).number, "+4930111");
    EXPECT_EQ(after.net.forwarding.count({0, 1}), 0u);

    // Without a number: message 29 for each class, nothing sent.
    r = run(phone(), {"forward", "set", "no-answer", "deactivate", "--class", "all"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, shown(msg::EnterNumber));
    EXPECT_TRUE(phoneAfter().net.forwarding.at({2, 1}).active);
}

// --- barring ----------------------------------------------------------------------------

TEST_F(NetworkCliTest, BarringQueryLinesForLocksAndServices) {
    const auto service = run(phone([](PhoneState& s) {
                                 s.net.barred = {{"AO", 1}, {"AO", 2}, {"AO", 4}};
                             }),
                             {"barring", "query", "AO"});
    ASSERT_EQ(service.exitCode, 0) << service.err;
    EXPECT_EQ(service.out, "voice;0\ndata;0\nfax;0\nall;1\n");

    const auto lock = run(phone([](PhoneState& s) { s.net.locks = {"CS"}; }),
                          {"barring", "query", "cs", "--json"});
    ASSERT_EQ(lock.exitCode, 0) << lock.err;
    EXPECT_EQ(lock.out, "{\"facility\":\"CS\",\"lock\":true}\n");
}

// The password reaches the phone in its command line and appears nowhere in
// the program's output, whether it works, is wrong, or comes on stdin.
TEST_F(NetworkCliTest, BarringPasswordNeverAppearsInTheOutput) {
    const std::string password = "8642";
    const auto withPassword = [&](PhoneState& s) { s.net.barringPassword = password; };

    auto r = run(phone(withPassword),
                 {"barring", "set", "AO", "on", "--class", "voice,fax", "--password", password});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(phoneAfter().net.barred,
              (std::set<std::pair<std::string, int>>{{"AO", 1}, {"AO", 4}}));
    EXPECT_FALSE(contains(r.out + r.err, password));

    // A wrong password: message 53, which names no password.
    r = run(phone(withPassword),
            {"barring", "set", "OI", "on", "--class", "all", "--password", "97531"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, shown(msg::LockNotActivated));
    EXPECT_FALSE(contains(r.out + r.err, "97531"));

    // A password that is no number is refused before anything is sent.
    r = run(phone(withPassword),
            {"barring", "set", "AO", "on", "--class", "voice", "--password", "12x45"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_FALSE(contains(r.out + r.err, "12x45")) << r.err;

    // From standard input.
    ASSERT_TRUE(phone(withPassword).save(stateFile));
    const auto piped = test::runProcess(
        "/bin/sh",
        {"-c", "printf '" + password + "\\n' | '" + std::string(VONDRIX_CLI_PATH) +
                   "' --simulate=phone.txt barring set AO off --class voice --password-stdin"},
        dir, {"VONDRIX_LANG=en"});
    ASSERT_EQ(piped.exitCode, 0) << piped.err;
    EXPECT_FALSE(contains(piped.out + piped.err, password));
    EXPECT_EQ(phoneAfter().net.barred.count({"AO", 1}), 0u);

    // Neither option and no terminal to ask: nothing is sent.
    r = run(phone(withPassword), {"barring", "set", "AO", "on", "--class", "voice"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(contains(r.err, "--password-stdin")) << r.err;
    EXPECT_TRUE(phoneAfter().net.barred.empty());
}

TEST_F(NetworkCliTest, LocksGoOutWithoutPassword) {
    auto r = run(phone(), {"barring", "set", "CS", "on"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(phoneAfter().net.locks, (std::set<std::string>{"CS"}));
    r = run(phone([](PhoneState& s) { s.net.locks = {"CS"}; }), {"barring", "set", "CS", "off"});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(phoneAfter().net.locks.empty());
}

}  // namespace
}  // namespace vondrix
