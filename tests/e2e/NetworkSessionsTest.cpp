// The network window sessions against the simulated phone: what the
// desktop program and the command line both rely on when the monitor, the
// network selection, call forwarding and call barring open, work and close.

#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <algorithm>

#include "SessionRig.h"
#include "session/CallBarringSession.h"
#include "session/CallForwardingSession.h"
#include "session/MainWindowSession.h"
#include "session/NetworkMonitorSession.h"
#include "session/NetworkSelectionSession.h"

namespace vondrix {
namespace {

using Lines = std::vector<std::string>;
using phonesim::PhoneState;

struct Rig : test::SessionRig {
    explicit Rig(const std::function<void(PhoneState&)>& prepare = {})
        : SessionRig("netsession", [&](PhoneState& s) {
              s.net.searchMs = 20;
              s.net.handoverEvery = 0;  // the tests move the phone themselves
              if (prepare)
                  prepare(s);
          }) {}
    std::string read(const std::string& name) const { return test::readAll(dir + "/" + name); }
    bool sent(const std::string& line) const {
        const Lines l = lines();
        return std::find(l.begin(), l.end(), line) != l.end();
    }
    std::string logPath() const { return dir + "/Vondrix.log"; }

    MainWindowSession main{session, reporter};
};

// --- Network monitor ------------------------------------------------------------

TEST(NetworkMonitorSession, ReopeningInTheSameCellWritesNoSecondLine) {
    Rig rig;
    rig.session.settings.monProt = true;
    {
        NetworkMonitorSession monitor(rig.main, rig.reporter, rig.logPath());
        ASSERT_TRUE(monitor.open());
        monitor.close();
    }
    {
        // The same cell in a new window: the Session remembers what was logged.
        NetworkMonitorSession monitor(rig.main, rig.reporter, rig.logPath());
        ASSERT_TRUE(monitor.open());
        EXPECT_EQ(monitor.poll(), NetworkMonitorSession::PollResult::Done);
        monitor.close();
    }
    rig.sim.withState([](PhoneState& s) { s.net.cell = 1; });  // handover
    {
        NetworkMonitorSession monitor(rig.main, rig.reporter, rig.logPath());
        ASSERT_TRUE(monitor.open());
        monitor.close();
    }
    std::istringstream log(rig.read("Vondrix.log"));
    Lines logLines;
    for (std::string line; std::getline(log, line);)
        logLines.push_back(line);
    ASSERT_EQ(logLines.size(), 3u);  // header, first cell, the cell after the handover
    EXPECT_NE(logLines[1].find("'605F,'5E25,26201"), std::string::npos);
    EXPECT_NE(logLines[2].find("'6060,'5E25,26201"), std::string::npos);
    EXPECT_TRUE(rig.reporter.shown.empty());
}

TEST(NetworkMonitorSession, ClosingWritesItsKeysThenRefreshesTheMainWindow) {
    Rig rig([](PhoneState& s) { s.net.cell = 2; });
    rig.session.settings.monRef = 7;
    NetworkMonitorSession monitor(rig.main, rig.reporter, rig.logPath());
    ASSERT_TRUE(monitor.open());
    EXPECT_EQ(monitor.stepPeriod(+1), 8);
    ASSERT_TRUE(monitor.setLogging(true));
    EXPECT_FALSE(rig.main.state().network.registration.has_value());
    rig.forget();

    // Each replacement of Vondrix.ini is a rename onto it.
    const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(::inotify_add_watch(watch, rig.dir.c_str(), IN_MOVED_TO), 0);
    monitor.close({31, 32, 53, 104, 85});
    int replaced = 0;
    alignas(inotify_event) char events[4096];
    for (ssize_t n; (n = ::read(watch, events, sizeof events)) > 0;) {
        for (const char* at = events; at < events + n;) {
            const auto* e = reinterpret_cast<const inotify_event*>(at);
            replaced += e->len > 0 && std::string(e->name) == "Vondrix.ini";
            at += sizeof(inotify_event) + e->len;
        }
    }
    ::close(watch);
    EXPECT_EQ(replaced, 1);  // one write for all its keys
    EXPECT_EQ(rig.lines(), (Lines{"AT+CBC", "AT+CREG?", "AT+CSQ", "AT+COPS?"}));
    EXPECT_EQ(rig.main.state().network.registration, "0,1,\"5E26\",\"1A2B\"");
    const std::string ini = rig.read("Vondrix.ini");
    EXPECT_NE(ini.find("MonRef=8"), std::string::npos);
    EXPECT_NE(ini.find("MonProt=1"), std::string::npos);
    EXPECT_NE(ini.find("MCol3=104"), std::string::npos);
    EXPECT_EQ(rig.session.settings.mCol, (std::array<int, 5>{31, 32, 53, 104, 85}));
}

// The command line has no columns: its closing leaves the MCol keys alone.
TEST(NetworkMonitorSession, ClosingWithoutColumnsWritesOnlyPeriodAndLog) {
    Rig rig;
    NetworkMonitorSession monitor(rig.main, rig.reporter, rig.logPath());
    ASSERT_TRUE(monitor.open());
    monitor.close();
    const std::string ini = rig.read("Vondrix.ini");
    EXPECT_NE(ini.find("MonRef=2"), std::string::npos);
    EXPECT_NE(ini.find("MonProt=0"), std::string::npos);
    EXPECT_EQ(ini.find("MCol"), std::string::npos);
}

TEST(NetworkMonitorSession, ReceptionOfEveryPollForTheChart) {
    Rig rig([](PhoneState& s) { s.rssi = 20; });
    NetworkMonitorSession monitor(rig.main, rig.reporter, rig.logPath());
    ASSERT_TRUE(monitor.open());
    rig.sim.withState([](PhoneState& s) { s.rssi = 99; });  // not known
    monitor.poll();
    rig.sim.withState([](PhoneState& s) { s.rssi = 31; });
    monitor.poll();
    const auto& samples = monitor.reception();
    ASSERT_EQ(samples.size(), 3u);
    EXPECT_EQ(samples[0].dbm, -73);
    EXPECT_EQ(samples[1].dbm, std::nullopt);
    EXPECT_EQ(samples[2].dbm, -51);
    EXPECT_TRUE(monitor.texts().reception == "-51 dBm / 7.943 nW");
}

TEST(NetworkMonitorSession, DeadPhoneIsNotAskedAgainOnClosing) {
    Rig rig;
    NetworkMonitorSession monitor(rig.main, rig.reporter, rig.logPath());
    ASSERT_TRUE(monitor.open());
    rig.sim.injectFault({phonesim::Fault::Kind::Stall, "AT+CREG?", 0, 0});
    EXPECT_EQ(monitor.poll(), NetworkMonitorSession::PollResult::LinkFailed);
    EXPECT_EQ(rig.reporter.ids(), (std::vector<int>{msg::PhoneNotAnswering}));
    rig.forget();
    monitor.close();
    EXPECT_TRUE(rig.lines().empty());
    EXPECT_TRUE(rig.reporter.shown.empty());
    // The period is saved all the same.
    EXPECT_NE(rig.read("Vondrix.ini").find("MonRef=2"), std::string::npos);
}

// --- Network selection ----------------------------------------------------------

TEST(NetworkSelectionSession, PreferredWorkGoesWithoutTheSearch) {
    Rig rig;
    NetworkSelectionSession window(rig.main, rig.reporter);
    window.openPreferred();
    EXPECT_FALSE(rig.sent("AT+COPS=?"));
    EXPECT_TRUE(rig.sent("AT^SPLM"));
    EXPECT_TRUE(rig.sent("AT^SPLR=10"));
    ASSERT_NE(window.known(26202), nullptr);
    EXPECT_EQ(window.known(26202)->name, "D2 PRIVAT");
    EXPECT_EQ(window.known(12345), nullptr);
    // Sorted by name, as the window shows them.
    const auto& known = window.model().known;
    EXPECT_TRUE(std::is_sorted(known.begin(), known.end(),
                               [](const auto& a, const auto& b) { return a.name < b.name; }));
    EXPECT_EQ(window.model().found.size(), 0u);

    rig.forget();
    ASSERT_EQ(window.addPreferred(26202), network::Outcome::Done);
    EXPECT_EQ(rig.lines(), (Lines{"AT^SPLW=6,26202"}));
    const auto row = window.preferredRow(6);
    ASSERT_TRUE(row.has_value());
    EXPECT_EQ(window.model().preferred[*row].name, "D2 PRIVAT");
}

TEST(NetworkSelectionSession, SelectingRefreshesTheMainWindowsOperator) {
    Rig rig;
    ASSERT_TRUE(rig.main.open());
    EXPECT_EQ(rig.main.state().network.operatorText, "0,0,\"D1-TELEKOM\"");
    NetworkSelectionSession window(rig.main, rig.reporter);
    window.open();
    rig.forget();
    EXPECT_EQ(window.selectCode(26202), network::Selection::Selected);
    EXPECT_EQ(rig.lines(), (Lines{"AT+COPS=1,2,26202", "AT+COPS=3,0", "AT+COPS?", "AT+CREG?"}));
    EXPECT_EQ(rig.main.state().network.operatorText, "1,0,\"D2 PRIVAT\"");
    EXPECT_EQ(window.selectCode(26207), network::Selection::NotSelectable);
    EXPECT_EQ(rig.reporter.ids(), (std::vector<int>{msg::OperatorNotSelectable}));
}

// --- Call forwarding ------------------------------------------------------------

TEST(CallForwardingSession, FormFollowsTheReasonAndTheBoxRules) {
    Rig rig;
    CallForwardingSession window(rig.session, rig.reporter);
    window.open();
    EXPECT_EQ(rig.lines(), (Lines{"AT+CCFC=0,2"}));
    EXPECT_FALSE(window.timeEnabled());
    EXPECT_FALSE(window.form()[network::kVoice].ticked);

    rig.forget();
    window.changeReason(network::ForwardReason::NoAnswer);
    EXPECT_EQ(rig.lines(), (Lines{"AT+CCFC=2,2"}));
    EXPECT_TRUE(window.timeEnabled());
    const network::ForwardClassRequest& voice = window.form()[network::kVoice];
    EXPECT_TRUE(voice.ticked);
    EXPECT_EQ(voice.number, "+491713300");
    EXPECT_EQ(voice.time, 20);
    // The same reason again asks nothing.
    rig.forget();
    window.changeReason(network::ForwardReason::NoAnswer);
    EXPECT_TRUE(rig.lines().empty());

    // "All" empties the other rows; a class unticks "all" but keeps its row.
    window.setNumber(network::kAll, "0301");
    window.tick(network::kAll, true);
    EXPECT_FALSE(window.form()[network::kVoice].ticked);
    EXPECT_EQ(window.form()[network::kVoice].number, "");
    EXPECT_EQ(window.form()[network::kVoice].time, 0);
    window.tick(network::kFax, true);
    EXPECT_FALSE(window.form()[network::kAll].ticked);
    EXPECT_EQ(window.form()[network::kAll].number, "0301");

    // The edit's limits: 49 characters, 0 to 30 seconds.
    window.setNumber(network::kFax, std::string(60, '1'));
    EXPECT_EQ(window.form()[network::kFax].number.size(), network::kMaxForwardNumber);
    window.setTime(network::kFax, 45);
    EXPECT_EQ(window.form()[network::kFax].time, 30);
}

TEST(CallForwardingSession, RequestGoesOutForTheTickedRowsOfTheCurrentReason) {
    Rig rig;
    CallForwardingSession window(rig.session, rig.reporter);
    window.choose(network::ForwardReason::NoAnswer);
    EXPECT_TRUE(rig.lines().empty());  // choosing asks nothing
    window.tick(network::kVoice, true);
    window.setNumber(network::kVoice, "0301234");
    window.setTime(network::kVoice, 23);
    window.tick(network::kData, true);  // no number: message 29
    const auto outcomes = window.request(network::ForwardMode::Register);
    EXPECT_EQ(rig.lines(), (Lines{"AT+CCFC=2,3,0301234,129,1,,,20"}));
    ASSERT_EQ(outcomes.size(), 2u);
    EXPECT_EQ(outcomes[0].outcome, network::Outcome::Done);
    EXPECT_EQ(outcomes[1].outcome, network::Outcome::NoNumber);
    EXPECT_EQ(rig.reporter.ids(), (std::vector<int>{msg::EnterNumber}));
}

// --- Call barring ---------------------------------------------------------------

TEST(CallBarringSession, ClassBoxesOnlyForServicesAndRequestsPerClass) {
    Rig rig([](PhoneState& s) { s.net.barred = {{"IR", 1}, {"IR", 2}, {"IR", 4}}; });
    CallBarringSession window(rig.session, rig.reporter);
    window.open();
    EXPECT_EQ(rig.lines(), (Lines{"AT+CLCK=CS,2"}));
    EXPECT_FALSE(window.classesEnabled());
    window.tick(network::kVoice, true);  // a lock has no classes
    EXPECT_FALSE(window.status().classes[network::kVoice]);

    window.changeFacility(8);  // IR
    EXPECT_TRUE(window.classesEnabled());
    EXPECT_TRUE(window.status().classes[network::kAll]);
    window.changeFacility(0);  // back to CS: unticked
    EXPECT_EQ(window.status(), network::BarringStatus{});

    window.changeFacility(4);  // AO
    window.tick(network::kVoice, true);
    window.tick(network::kFax, true);
    rig.forget();
    const auto outcomes = window.request(true, "0000");
    EXPECT_EQ(rig.lines(), (Lines{"AT+CLCK=AO,1,0000,1", "AT+CLCK=AO,1,0000,4"}));
    ASSERT_EQ(outcomes.size(), 2u);
    EXPECT_EQ(outcomes[1].outcome, network::Outcome::Done);
    PhoneState after;
    rig.sim.withState([&](PhoneState& s) { after = s; });
    EXPECT_EQ(after.net.barred.count({"AO", 1}), 1u);
    EXPECT_EQ(after.net.barred.count({"AO", 4}), 1u);
}

}  // namespace
}  // namespace vondrix
