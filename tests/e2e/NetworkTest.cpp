// The network and call services over a real pty against the simulated
// phone: the monitor with its cell log, the operator lists and selection,
// forwarding and barring, with the exact command lines they send.

#include <gtest/gtest.h>

#include <climits>
#include <set>

#include "SessionRig.h"
#include "foundation/IniFile.h"
#include "network/CallServices.h"
#include "network/Monitor.h"
#include "network/Operators.h"
#include "network/Texts.h"
#include "phonesim/OperatorTable.h"

namespace vondrix::network {
namespace {

using namespace std::chrono_literals;
using Lines = std::vector<std::string>;
using phonesim::PhoneState;

// The engine on a simulated phone prepared by `prepare`; the search is short.
struct Rig : test::EngineRig<> {
    explicit Rig(const std::function<void(PhoneState&)>& prepare = {})
        : EngineRig([&](PhoneState& s) {
              s.net.searchMs = 50;
              if (prepare)
                  prepare(s);
          }) {}
};

using vondrix::test::readAll;

// 2024-03-01 12:00:05 UTC, and `seconds` later.
std::chrono::system_clock::time_point at(int seconds) {
    using namespace std::chrono;
    return sys_days{year{2024} / 3 / 1} + hours{12} + minutes{0} +
           std::chrono::seconds{5 + seconds};
}

const Lines kPollWithoutCalls = {"AT+COPS?", "AT+COPS=3,2", "AT+COPS?", "AT+COPS=3,0",
                                 "AT+CREG?", "AT+CSQ",      "AT+CPAS"};

// --- Monitor ------------------------------------------------------------------------

struct MonitorRig : Rig {
    explicit MonitorRig(const std::function<void(PhoneState&)>& prepare = {})
        : Rig([&](PhoneState& s) {
              s.net.handoverEvery = 0;  // the tests move the phone themselves
              if (prepare)
                  prepare(s);
          }) {}
    MonitorService service(Language lang = Language::English) {
        MonitorService m(engine, reporter, settings, model, lang, logPath);
        m.setClock([this] { return at(seconds); });
        return m;
    }
    void moveToCell(std::size_t cell) {
        sim.withState([&](PhoneState& s) { s.net.cell = cell; });
    }
    const std::string logPath = dir + "/Vondrix.log";
    MonitorModel model;
    int seconds = 0;
};

TEST(NetworkMonitor, PollSendsItsTrafficAndShowsACallWithoutQuotes) {
    MonitorRig rig([](PhoneState& s) {
        s.rssi = 20;
        s.net.calls = {phonesim::Call{1, 1, 4, 0, false, "+4930123456", 145},
                       phonesim::Call{2, 0, 1, 9, false, "", 129}};
    });
    MonitorService m = rig.service();
    ASSERT_EQ(m.poll(), MonitorService::PollResult::Done);
    Lines expected = kPollWithoutCalls;
    expected.push_back("AT+CLCC");
    EXPECT_EQ(rig.lines(), expected);
    const MonitorView& v = m.view();
    EXPECT_EQ(v.operatorName, "D1-TELEKOM");
    EXPECT_EQ(v.operatorCode, 26201);
    EXPECT_EQ(v.registrationState, 1);
    EXPECT_EQ(v.lac, 0x5E25u);
    EXPECT_EQ(v.cellId, 0x605Fu);
    EXPECT_EQ(v.reception.signalText, "-73 dBm / 0.050 nW");
    EXPECT_EQ(v.activity, 4);
    ASSERT_EQ(v.calls.size(), 2u);
    EXPECT_EQ(v.calls[0], (CurrentCall{1, 1, 4, 0, "+4930123456"}));
    EXPECT_EQ(v.calls[1], (CurrentCall{2, 0, 1, 9, ""}));
    EXPECT_EQ(callStateText(Language::English, v.calls[0].state), "Incoming");
    EXPECT_EQ(directionText(v.calls[0].direction), ">");
    // The format is back to the long names for everyone else.
    EXPECT_EQ(rig.phone().copsFormat, 0);
    EXPECT_TRUE(rig.reporter.shown.empty());
}

TEST(NetworkMonitor, ReadyPhoneEmptiesTheCallListWithoutAskingForCalls) {
    MonitorRig rig([](PhoneState& s) {
        s.net.calls = {phonesim::Call{1, 0, 0, 0, false, "0301", 129}};
    });
    MonitorService m = rig.service();
    m.poll();
    ASSERT_EQ(m.view().calls.size(), 1u);
    rig.sim.withState([](PhoneState& s) { s.net.calls.clear(); });
    rig.forget();
    m.poll();
    EXPECT_EQ(rig.lines(), kPollWithoutCalls);
    EXPECT_EQ(m.view().activity, 0);
    EXPECT_TRUE(m.view().calls.empty());
}

TEST(NetworkMonitor, FailedReadsEmptyOrKeepTheirFields) {
    MonitorRig rig;
    MonitorService m = rig.service();
    m.poll();
    // Not registered: no operator, no location; searching.
    rig.sim.withState([](PhoneState& s) {
        s.operatorName.clear();
        s.regStatus = 2;
        s.failing = {"AT+CSQ"};
    });
    m.poll();
    const MonitorView& v = m.view();
    EXPECT_EQ(v.operatorName, "");
    EXPECT_EQ(v.operatorCode, std::nullopt);
    EXPECT_EQ(v.registrationState, 2);
    EXPECT_EQ(v.lac, 0x5E25u);  // kept: the reply has no location
    EXPECT_EQ(v.cellId, 0x605Fu);
    EXPECT_EQ(v.reception.signalText, "-79 dBm / 0.013 nW");  // kept from the first poll
}

TEST(NetworkMonitor, PeriodIsClampedFromTheSettingsAndByTheArrows) {
    struct Case {
        const char* situation;
        int monRef;
        int delta;
        int opened;
        int stepped;
    };
    const std::vector<Case> cases = {
        {"up from the lowest", 2, 1, 2, 3},
        {"down at the lowest", 2, -1, 2, 2},
        {"up at the highest", 60, 1, 60, 60},
        {"zero in the file would poll without pause", 0, 0, 2, 2},
        {"far above the range", 1000, -1, 60, 59},
        {"a wild step", 30, INT_MAX, 30, 60},
        {"a wild step down", 30, INT_MIN, 30, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.situation);
        MonitorRig rig;
        rig.settings.monRef = c.monRef;
        MonitorService m = rig.service();
        EXPECT_EQ(m.period(), c.opened);
        EXPECT_EQ(m.stepPeriod(c.delta), c.stepped);
    }
}

TEST(NetworkMonitor, CellLogWritesChangesOnlyAcrossReopenings) {
    MonitorRig rig;
    rig.settings.monProt = true;
    {
        MonitorService m = rig.service();
        m.open();
        EXPECT_TRUE(m.logging());
        rig.seconds = 2;
        m.poll();           // same cell: no line
        rig.moveToCell(1);  // handover within the location area
        rig.seconds = 4;
        m.poll();
        rig.seconds = 6;
        m.poll();
    }
    {
        // Reopened in the same cell: the remembered values hold.
        MonitorService m = rig.service();
        rig.seconds = 8;
        m.open();
        rig.sim.withState([](PhoneState& s) { s.regStatus = 5; });
        rig.seconds = 10;
        m.poll();
    }
    EXPECT_EQ(readAll(rig.logPath),
              "date,time,cellid,lai,net,state\r\n"
              "2024/03/01,12:00:05,'605F,'5E25,26201,-79 dBm,Logged in\r\n"
              "2024/03/01,12:00:09,'6060,'5E25,26201,-79 dBm,Logged in\r\n"
              "2024/03/01,12:00:15,'6060,'5E25,26201,-79 dBm,Roaming\r\n");
    EXPECT_TRUE(rig.reporter.shown.empty());
}

TEST(NetworkMonitor, LogAndPeriodAreSavedOnClosing) {
    MonitorRig rig;
    const std::string ini = rig.dir + "/Vondrix.ini";
    IniFile file(ini);
    rig.settings.monRef = 5;
    MonitorService m = rig.service();
    m.open();
    EXPECT_FALSE(m.logging());
    EXPECT_FALSE(std::filesystem::exists(rig.logPath));
    ASSERT_TRUE(m.setLogging(true));
    EXPECT_EQ(readAll(rig.logPath), "date,time,cellid,lai,net,state\r\n");
    m.stepPeriod(3);
    rig.settings.mCol = {30, 30, 50, 120, 80};
    m.saveSettings(rig.settings, file);
    EXPECT_EQ(rig.settings.monRef, 8);
    EXPECT_TRUE(rig.settings.monProt);
    Settings read;
    read.readOptions(file);
    read.readTextsAndColumns(file);
    EXPECT_EQ(read.monRef, 8);
    EXPECT_TRUE(read.monProt);
    EXPECT_EQ(read.mCol[3], 120);
    // Switching it off keeps the file and writes nothing more.
    m.setLogging(false);
    rig.moveToCell(2);
    m.poll();
    EXPECT_EQ(readAll(rig.logPath), "date,time,cellid,lai,net,state\r\n");
}

TEST(NetworkMonitor, UnwritableLogTurnsLoggingOffWithMessage68) {
    MonitorRig rig;
    std::filesystem::create_directory(rig.logPath);  // a directory where the log belongs
    rig.settings.monProt = true;
    MonitorService m = rig.service();
    m.open();
    EXPECT_FALSE(m.logging());
    EXPECT_EQ(rig.reporter.ids(), (std::vector<int>{msg::LogFileNotOpened}));
    EXPECT_EQ(rig.lines(), kPollWithoutCalls);  // the poll runs all the same
}

// Every language's texts are NetworkTexts' rows; one of them end to end.
TEST(NetworkMonitor, RoamingInTheLogWhateverTheLanguage) {
    MonitorRig rig([](PhoneState& s) { s.regStatus = 5; });
    rig.settings.monProt = true;
    MonitorService m = rig.service(Language::German);
    m.open();
    EXPECT_EQ(registrationText(Language::German, *m.view().registrationState), "Roaming");
    const std::string log = readAll(rig.logPath);
    EXPECT_EQ(log.substr(log.size() - 10), ",Roaming\r\n");
}

TEST(NetworkMonitor, LinkFailureLogsNothingAndTellsOnce) {
    MonitorRig rig;
    rig.engine.setTimeouts(200ms, 200ms);
    rig.engine.setOverallExtra(200ms);
    rig.settings.monProt = true;
    MonitorService m = rig.service();
    rig.sim.injectFault(phonesim::Fault{phonesim::Fault::Kind::Stall, "AT+CREG?", 0, 0});
    m.open();
    EXPECT_EQ(rig.reporter.ids(), (std::vector<int>{msg::PhoneNotAnswering}));
    // Nothing after the registration query went out.
    EXPECT_EQ(rig.lines(),
              (Lines{"AT+COPS?", "AT+COPS=3,2", "AT+COPS?", "AT+COPS=3,0", "AT+CREG?"}));
    EXPECT_EQ(readAll(rig.logPath), "date,time,cellid,lai,net,state\r\n");
    // The next tick tries again and logs.
    rig.forget();
    EXPECT_EQ(m.poll(), MonitorService::PollResult::Done);
    EXPECT_NE(readAll(rig.logPath).find(",'605F,'5E25,26201,"), std::string::npos);
}

// --- Operators ------------------------------------------------------------------------

struct OperatorsRig : Rig {
    using Rig::Rig;
    // Opens the lists and forgets the traffic so far.
    void read() {
        service.open();
        forget();
    }
    OperatorsModel model;
    OperatorsService service{engine, reporter, settings, model};
};

TEST(NetworkOperators, OpeningReadsTheThreeListsInOrder) {
    OperatorsRig rig;
    rig.service.open();
    Lines expected = {"AT^SPLM", "AT^SPLR=?"};
    for (int p = 1; p <= 10; ++p)
        expected.push_back("AT^SPLR=" + std::to_string(p));
    expected.push_back("AT+COPS=?");
    EXPECT_EQ(rig.lines(), expected);
    const OperatorsModel& m = rig.model;
    EXPECT_EQ(m.known.size(), phonesim::operatorTable().size());
    EXPECT_TRUE(std::is_sorted(
        m.known.begin(), m.known.end(),
        [](const OperatorName& a, const OperatorName& b) { return a.name < b.name; }));
    ASSERT_EQ(m.preferred.size(), 10u);
    EXPECT_EQ(m.preferred[0], (PreferredEntry{1, 23201, "A1"}));
    EXPECT_EQ(m.preferred[5], (PreferredEntry{6, 0, "EMPTY"}));
    EXPECT_EQ(m.preferredShown(), 10u);
    EXPECT_EQ(m.found, (std::vector<FoundNetwork>{{2, 26201, "D1-TELEKOM"},
                                                  {1, 26202, "D2 PRIVAT"},
                                                  {3, 26203, "E-Plus"},
                                                  {3, 26207, "Interkom"}}));
    sortKnown(rig.model.known, 0);
    EXPECT_EQ(rig.model.known.front().code, 20201);
}

TEST(NetworkOperators, SearchOutlastsTheNormalTimeLimit) {
    OperatorsRig rig([](PhoneState& s) { s.net.searchMs = 600; });
    rig.engine.setTimeouts(250ms, 3s);
    EXPECT_TRUE(rig.service.search());
    EXPECT_EQ(rig.model.found.size(), 4u);
    EXPECT_TRUE(rig.reporter.shown.empty());
}

TEST(NetworkOperators, UnknownPreferredCodeEndsTheDisplay) {
    OperatorsRig rig([](PhoneState& s) { s.net.preferred = {{1, 23201}, {2, 99999}, {3, 23415}}; });
    rig.service.open();
    EXPECT_EQ(rig.model.preferred[1], (PreferredEntry{2, 99999, ""}));
    EXPECT_EQ(rig.model.preferredShown(), 1u);
}

TEST(NetworkOperators, AddingWritesTheFirstFreePositionOrShows32) {
    OperatorsRig rig;
    rig.read();
    EXPECT_EQ(rig.service.addPreferred(26202), Outcome::Done);
    EXPECT_EQ(rig.lines(), (Lines{"AT^SPLW=6,26202"}));
    EXPECT_EQ(rig.model.preferred[5], (PreferredEntry{6, 26202, "D2 PRIVAT"}));
    EXPECT_EQ(rig.phone().net.preferred.at(6), 26202);

    OperatorsRig full([](PhoneState& s) {
        s.net.preferredSize = 3;
        s.net.preferred = {{1, 23201}, {2, 22801}, {3, 20801}};
    });
    full.read();
    EXPECT_EQ(full.service.addPreferred(26202), Outcome::Failed);
    EXPECT_EQ(full.reporter.ids(), (std::vector<int>{msg::NoFreeEntry}));
    EXPECT_TRUE(full.lines().empty());
}

TEST(NetworkOperators, DeletingRowZeroFreesPositionOne) {
    OperatorsRig rig;
    rig.read();
    EXPECT_EQ(rig.service.removePreferred(0), Outcome::Done);
    EXPECT_EQ(rig.lines(), (Lines{"AT^SPLW=1"}));
    EXPECT_EQ(rig.model.preferred[0], (PreferredEntry{1, 0, "EMPTY"}));
    EXPECT_EQ(rig.phone().net.preferred.count(1), 0u);
    // The freed position is the first free one now.
    EXPECT_EQ(rig.service.addPreferred(26203), Outcome::Done);
    EXPECT_EQ(rig.lines().back(), "AT^SPLW=1,26203");
}

TEST(NetworkOperators, RefusedWritesShowTheirMessages) {
    OperatorsRig rig;
    rig.read();
    rig.sim.withState([](PhoneState& s) { s.failing = {"AT^SPLW"}; });
    EXPECT_EQ(rig.service.addPreferred(26202), Outcome::Failed);
    EXPECT_EQ(rig.service.removePreferred(0), Outcome::Failed);
    EXPECT_EQ(rig.service.addPreferred(-5), Outcome::Refused);
    EXPECT_EQ(rig.reporter.ids(),
              (std::vector<int>{msg::NewEntryNotWritten, msg::EntryNotDeleted, msg::ValueRefused}));
    EXPECT_EQ(rig.lines(), (Lines{"AT^SPLW=6,26202", "AT^SPLW=1"}));
    EXPECT_EQ(rig.model.preferred[5].code, 0);
    EXPECT_EQ(rig.model.preferred[0].code, 23201);
}

TEST(NetworkOperators, PositionsAreThePhonesEvenWhenTheRangeStartsElsewhere) {
    // A refused position fills no entry: rows and positions part ways.
    OperatorsRig rig([](PhoneState& s) { s.failing = {"AT^SPLR=2"}; });
    rig.service.open();
    ASSERT_EQ(rig.model.preferred.size(), 9u);
    EXPECT_EQ(rig.model.preferred[1].position, 3);
    rig.forget();
    EXPECT_EQ(rig.service.removePreferred(1), Outcome::Done);
    EXPECT_EQ(rig.lines(), (Lines{"AT^SPLW=3"}));
    EXPECT_EQ(rig.phone().net.preferred.count(2), 1u);  // position 2 untouched
}

TEST(NetworkOperators, SelectingByStatus) {
    OperatorsRig rig;
    rig.read();
    NetworkStatus status;
    // Current and forbidden networks: a message and nothing sent.
    EXPECT_EQ(rig.service.select(0, status), Selection::InUse);
    EXPECT_EQ(rig.service.select(2, status), Selection::NotSelectable);
    EXPECT_EQ(rig.service.selectCode(26207, status), Selection::NotSelectable);
    EXPECT_EQ(rig.service.selectCode(20801, status), Selection::Unknown);
    EXPECT_EQ(rig.reporter.ids(),
              (std::vector<int>{msg::OperatorInUse, msg::OperatorNotSelectable,
                                msg::OperatorNotSelectable, msg::OperatorUnknown}));
    EXPECT_TRUE(rig.lines().empty());

    rig.forget();
    EXPECT_EQ(rig.service.selectCode(26202, status), Selection::Selected);
    EXPECT_EQ(rig.lines(), (Lines{"AT+COPS=1,2,26202", "AT+COPS=3,0", "AT+COPS?", "AT+CREG?"}));
    EXPECT_EQ(status.operatorText, "1,0,\"D2 PRIVAT\"");
    ASSERT_TRUE(status.registration);
    EXPECT_EQ(status.registration->rfind("0,5,", 0), 0u);  // roaming on the new network
    EXPECT_TRUE(rig.reporter.shown.empty());
}

TEST(NetworkOperators, NetworkRefusingTheSelectionShows65) {
    OperatorsRig rig;
    rig.read();
    // Between search and choice the network became forbidden.
    rig.sim.withState([](PhoneState& s) {
        s.net.available.clear();
        s.net.forbidden.push_back(26202);
    });
    NetworkStatus status;
    EXPECT_EQ(rig.service.select(1, status), Selection::Failed);
    EXPECT_EQ(rig.reporter.ids(), (std::vector<int>{msg::OperatorNotSet}));
    EXPECT_EQ(rig.lines(), (Lines{"AT+COPS=1,2,26202"}));
    EXPECT_FALSE(status.operatorText);
}

// --- Forwarding -----------------------------------------------------------------------

struct ForwardingRig : Rig {
    using Rig::Rig;
    ForwardingModel model;
    ForwardingService service{engine, reporter, settings, model};
};

ForwardingRequest voiceOnly(std::string number, int time = 0) {
    ForwardingRequest r;
    r[kVoice] = {true, std::move(number), time};
    return r;
}

TEST(NetworkForwarding, RequestLinesByNumberTypeAndTime) {
    struct Case {
        const char* situation;
        ForwardReason reason;
        ForwardMode mode;
        ForwardingRequest form;
        Lines lines;
    };
    ForwardingRequest voiceAndFax;
    voiceAndFax[kVoice] = {true, "0301", 0};
    voiceAndFax[kFax] = {true, "+4930", 15};
    ForwardingRequest all = voiceAndFax;
    all[kAll] = {true, "0302", 10};
    const std::vector<Case> cases = {
        // Time rounding and number types are NetworkForwardingLine's rows.
        {"each ticked class on its own",
         ForwardReason::Busy,
         ForwardMode::Register,
         voiceAndFax,
         {"AT+CCFC=1,3,0301,129,1", "AT+CCFC=1,3,+4930,145,4,,,15"}},
        {"all ticked: one request for class 7",
         ForwardReason::Busy,
         ForwardMode::Erase,
         all,
         {"AT+CCFC=1,4,0302,129,7,,,10"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.situation);
        ForwardingRig rig;
        const auto outcomes = rig.service.request(c.reason, c.mode, c.form);
        EXPECT_EQ(rig.lines(), c.lines);
        EXPECT_EQ(outcomes.size(), c.lines.size());
        for (const auto& o : outcomes)
            EXPECT_EQ(o.outcome, Outcome::Done);
        EXPECT_TRUE(rig.reporter.shown.empty());
    }
}

TEST(NetworkForwarding, RegisteredNumberReachesTheNetwork) {
    ForwardingRig rig;
    rig.service.request(ForwardReason::NoAnswer, ForwardMode::Register,
                        voiceOnly("0301234567", 23));
    const auto rule = rig.phone().net.forwarding.at({2, 1});
    EXPECT_TRUE(rule.active);
    EXPECT_EQ(rule.number, "0301234567");
    EXPECT_EQ(rule.time, 20);
}

TEST(NetworkForwarding, EmptyNumberShows29AndSendsNothing) {
    ForwardingRig rig;
    ForwardingRequest form = voiceOnly("");
    form[kData] = {true, "0301", 0};
    const auto outcomes = rig.service.request(ForwardReason::Always, ForwardMode::Deactivate, form);
    EXPECT_EQ(rig.reporter.ids(), (std::vector<int>{msg::EnterNumber}));
    EXPECT_EQ(rig.lines(), (Lines{"AT+CCFC=0,0,0301,129,2"}));
    EXPECT_EQ(outcomes, (std::vector<ClassOutcome>{{1, Outcome::NoNumber}, {2, Outcome::Done}}));
}

TEST(NetworkForwarding, RefusalsShowTheirMessageAndTheNextClassGoesOn) {
    ForwardingRig rig([](PhoneState& s) { s.failing = {"AT+CCFC=0,0,0301,129,1", "AT+CCFC=0,1"}; });
    ForwardingRequest form = voiceOnly("0301");
    form[kData] = {true, "0301", 0};
    auto outcomes = rig.service.request(ForwardReason::Always, ForwardMode::Deactivate, form);
    EXPECT_EQ(outcomes, (std::vector<ClassOutcome>{{1, Outcome::Failed}, {2, Outcome::Done}}));
    outcomes = rig.service.request(ForwardReason::Always, ForwardMode::Activate, form);
    EXPECT_EQ(rig.reporter.ids(),
              (std::vector<int>{msg::ForwardingNotDeactivated, msg::ForwardingNotActivated,
                                msg::ForwardingNotActivated}));
    // A number that no command line may carry is refused before sending.
    rig.forget();
    outcomes =
        rig.service.request(ForwardReason::Always, ForwardMode::Register, voiceOnly("0301;ATD110"));
    EXPECT_EQ(outcomes, (std::vector<ClassOutcome>{{1, Outcome::Refused}}));
    EXPECT_EQ(rig.reporter.ids(), (std::vector<int>{msg::ValueRefused}));
    EXPECT_TRUE(rig.lines().empty());
}

TEST(NetworkForwarding, QueryFillsVoiceAndFaxAndClearsOnAFailure) {
    ForwardingRig rig([](PhoneState& s) {
        s.net.forwarding[{0, 1}] = phonesim::ForwardingRule{true, "+4930111", 145, 0};
        s.net.forwarding[{0, 4}] = phonesim::ForwardingRule{true, "0302222", 129, 0};
        s.net.forwarding[{0, 2}] = phonesim::ForwardingRule{false, "0303333", 129, 0};
    });
    ASSERT_TRUE(rig.service.query(ForwardReason::Always));
    EXPECT_EQ(rig.lines(), (Lines{"AT+CCFC=0,2"}));
    const ForwardingStatus& s = rig.model.status;
    EXPECT_EQ(s[kVoice], (ForwardClassStatus{true, "+4930111", 0}));
    EXPECT_EQ(s[kData], ForwardClassStatus{});
    EXPECT_EQ(s[kFax], (ForwardClassStatus{true, "0302222", 0}));
    EXPECT_EQ(s[kAll], ForwardClassStatus{});

    // The demo's mailbox on no answer, with its time.
    ASSERT_TRUE(rig.service.query(ForwardReason::NoAnswer));
    EXPECT_EQ(rig.model.reason, ForwardReason::NoAnswer);
    EXPECT_EQ(rig.model.status[kVoice], (ForwardClassStatus{true, "+491713300", 20}));

    rig.sim.withState([](PhoneState& st) { st.failing = {"AT+CCFC"}; });
    EXPECT_FALSE(rig.service.query(ForwardReason::Always));
    EXPECT_EQ(rig.model.status, ForwardingStatus{});
}

// --- Barring --------------------------------------------------------------------------

struct BarringRig : Rig {
    using Rig::Rig;
    BarringModel model;
    BarringService service{engine, reporter, settings, model};
};

ClassTicks ticks(std::initializer_list<std::size_t> boxes) {
    ClassTicks t{};
    for (const std::size_t b : boxes)
        t[b] = true;
    return t;
}

TEST(NetworkBarring, LocksGoOutWithoutPassword) {
    BarringRig rig;
    // The SIM lock is sent bare, as the window always did; the phone wants its PIN.
    auto outcomes = rig.service.request(2, true, ticks({kVoice}), "1234");
    EXPECT_EQ(rig.lines(), (Lines{"AT+CLCK=SC,1"}));
    EXPECT_EQ(outcomes, (std::vector<ClassOutcome>{{0, Outcome::Failed}}));
    EXPECT_EQ(rig.reporter.ids(), (std::vector<int>{msg::LockNotActivated}));
    // The keyboard lock needs none.
    rig.forget();
    outcomes = rig.service.request(0, true, {}, "");
    EXPECT_EQ(rig.lines(), (Lines{"AT+CLCK=CS,1"}));
    EXPECT_TRUE(rig.model.status.lockActive);
    ASSERT_TRUE(rig.service.query(0));
    EXPECT_TRUE(rig.model.status.lockActive);
    rig.service.request(0, false, {}, "");
    EXPECT_FALSE(rig.model.status.lockActive);
    EXPECT_TRUE(rig.reporter.shown.empty());
}

TEST(NetworkBarring, ServicePerClassCarriesThePassword) {
    BarringRig rig;
    auto outcomes = rig.service.request(4, true, ticks({kVoice, kFax}), "0000");
    EXPECT_EQ(rig.lines(), (Lines{"AT+CLCK=AO,1,0000,1", "AT+CLCK=AO,1,0000,4"}));
    EXPECT_EQ(outcomes, (std::vector<ClassOutcome>{{1, Outcome::Done}, {4, Outcome::Done}}));
    EXPECT_EQ(rig.phone().net.barred,
              (std::set<std::pair<std::string, int>>{{"AO", 1}, {"AO", 4}}));
    // A wrong password: the network refuses each class.
    rig.forget();
    outcomes = rig.service.request(4, false, ticks({kAll}), "9999");
    EXPECT_EQ(rig.lines(), (Lines{"AT+CLCK=AO,0,9999,7"}));
    EXPECT_EQ(rig.reporter.ids(), (std::vector<int>{msg::LockNotDeactivated}));
    // No class ticked: nothing is sent.
    rig.forget();
    EXPECT_TRUE(rig.service.request(4, true, {}, "0000").empty());
    EXPECT_TRUE(rig.lines().empty());
}

TEST(NetworkBarring, PasswordThatCannotBeSentIsRefusedUnseen) {
    for (const std::string password : {"12,4", "0000\rATD110", "1234567890", "12\"4"}) {
        BarringRig rig;
        const auto outcomes = rig.service.request(7, true, ticks({kVoice, kData}), password);
        EXPECT_EQ(outcomes,
                  (std::vector<ClassOutcome>{{1, Outcome::Refused}, {2, Outcome::Refused}}));
        EXPECT_TRUE(rig.lines().empty());
        ASSERT_EQ(rig.reporter.ids(), (std::vector<int>{msg::ValueRefused}));
        EXPECT_EQ(rig.reporter.shown[0].text, "");
    }
}

TEST(NetworkBarring, QueryTicksClassesOrAllAndSwitchingBackClearsThem) {
    BarringRig rig([](PhoneState& s) {
        s.net.barred = {{"AO", 1}, {"AO", 2}, {"AO", 4}, {"IR", 2}};
    });
    ASSERT_TRUE(rig.service.query(4));
    EXPECT_EQ(rig.lines(), (Lines{"AT+CLCK=AO,2"}));
    EXPECT_EQ(rig.model.status.classes, ticks({kAll}));
    ASSERT_TRUE(rig.service.query(8));
    EXPECT_EQ(rig.model.status.classes, ticks({kData}));
    ASSERT_TRUE(rig.service.query(0));
    EXPECT_EQ(rig.model.facility, 0u);
    EXPECT_EQ(rig.model.status, BarringStatus{});
}

}  // namespace
}  // namespace vondrix::network
