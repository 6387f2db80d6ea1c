// The command mode over a real pty against the simulated phone, with the
// example communication module loaded for real: answers sent, handled
// messages deleted, the log, stored messages left alone, the busy flag,
// the silent retries of an answer, and the modules that cannot be used.

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <map>

#include "SessionRig.h"
#include "foundation/IniFile.h"
#include "sms/CommandMode.h"

namespace vondrix::sms {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;
using phonesim::PhoneState;
using phonesim::StoredMessage;

using test::received;

using vondrix::test::readAll;

// A reporter that lets a timer tick arrive while a message box is open.
struct TickingReporter : test::RecordingReporter {
    std::function<void()> duringMessage;
    Answer message(msg::Id id, Caption caption, Buttons buttons) override {
        if (duringMessage)
            duringMessage();
        return RecordingReporter::message(id, caption, buttons);
    }
};

struct Rig : test::EngineRig<TickingReporter> {
    explicit Rig(std::map<int, StoredMessage> messages, const char* module = VONDRIX_SMSCOM_PATH)
        : EngineRig([&](PhoneState& s) {
              s.sms = phonesim::SmsStore{};
              s.sms.messages = std::move(messages);
          }) {
        engine.standard("ATE0");
        if (module)
            fs::copy_file(module, fs::path(dir) / kModuleFileName);
        settings.checkSms = true;
        settings.monProt = true;
        settings.waitSec = 5;
        sim.clearReceived();
    }
    std::unique_ptr<CommandMode> open() {
        CommandMode::Options options;
        options.moduleDirectories = {dir};
        options.logPath = dir + "/" + kLogFileName;
        options.now = [] { return test::calendarTime(2001, 4, 12, 13, 45, 7); };
        return CommandMode::open(service, settings, ini, NameDirectory({{1, "Anna", "0123456789"}}),
                                 std::move(options));
    }
    Lines log() const {
        Lines lines;
        std::istringstream in(readAll(dir + "/" + kLogFileName));
        for (std::string l; std::getline(in, l);) {
            EXPECT_FALSE(l.empty() || l.back() != '\r') << "line without CR LF: " << l;
            if (!l.empty())
                l.pop_back();
            lines.push_back(l);
        }
        return lines;
    }

    IniFile ini{dir + "/Vondrix.ini"};
    SmsModel model;
    SmsService service{engine, reporter, settings, model};
};

const std::string kStamp = "2001/04/12 13:45:07";

TEST(CommandMode, AnswersHandledMessagesDeletesThemAndLogsEveryHandOver) {
    Rig rig({{1, {0, received("+49123456789", "010412134500", "ping")}},
             // Part 1 of 2: its concatenation header is not handed over as text.
             {2, {1, received("0301234567", "010412134600", "hello", phonesim::PartOf{9, 2, 1})}},
             {3, {2, test::storedTo("0123456789", "PING")}},
             {4, {1, test::statusReport("+49123456789", "010413101500", "010413101512")}}});
    auto mode = rig.open();
    ASSERT_NE(mode, nullptr);
    EXPECT_EQ(rig.lines(), (Lines{"AT+CSCA?"}));
    EXPECT_FALSE(mode->running());
    mode->start();
    EXPECT_EQ(mode->stateText(), "Waiting");
    rig.sim.clearReceived();

    std::vector<CommandModeState> states;
    mode->onStateChange = [&](CommandModeState s) { states.push_back(s); };
    mode->tick();
    const Lines lines = rig.lines();
    // Only the PING is handled: answered, then deleted. The status report
    // goes to the module with an empty text, which it leaves alone.
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "AT+CMGL=4");
    EXPECT_EQ(lines[1].substr(0, 8), "AT+CMGS=");
    EXPECT_EQ(lines[3], "AT+CMGD=1");

    PhoneState phone = rig.phone();
    ASSERT_EQ(phone.sms.sent.size(), 1u);
    const DecodedMessage answer = decodeListedMessage(2, phone.sms.sent[0], {});
    EXPECT_EQ(answer.number, "+49123456789");
    EXPECT_EQ(answer.text, "PONG");
    EXPECT_EQ(phone.sms.sent[0].substr(0, 16), "0791947101670000");  // the service centre read
    EXPECT_FALSE(phone.sms.messages.count(1));
    EXPECT_TRUE(phone.sms.messages.count(2));
    EXPECT_TRUE(phone.sms.messages.count(3));
    EXPECT_EQ(states.front(), CommandModeState::Checking);
    EXPECT_EQ(states.back(), CommandModeState::Waiting);
    EXPECT_NE(std::find(states.begin(), states.end(), CommandModeState::Processing), states.end());

    // The module answers "hello" with 1: handed over again on every tick,
    // never deleted. The stored message is never handed over.
    rig.sim.clearReceived();
    mode->tick();
    EXPECT_EQ(rig.lines(), (Lines{"AT+CMGL=4"}));
    EXPECT_EQ(rig.log(), (Lines{
                             kStamp + ";+49123456789;Anna;01/04/12 13:45:00;ping",
                             kStamp + ";0301234567;01/04/12 13:46:00;hello",
                             kStamp + ";+49123456789;Anna;01/04/13 10:15:12;",
                             kStamp + ";0301234567;01/04/12 13:46:00;hello",
                             kStamp + ";+49123456789;Anna;01/04/13 10:15:12;",
                         }));
    EXPECT_TRUE(rig.phone().sms.messages.count(2));
    EXPECT_TRUE(rig.reporter.shown.empty());

    mode->close();
    EXPECT_EQ(rig.ini.getString("Vondrix", "WaitSec", ""), "5");
    EXPECT_EQ(rig.ini.getString("Vondrix", "MonProt", ""), "1");
    EXPECT_EQ(rig.ini.getString("Vondrix", "CheckSMS", ""), "1");
}

TEST(CommandMode, AnAnswerWhoseDataIsRefusedIsTriedThreeTimesSilently) {
    Rig rig({{1, {1, received("+49123456789", "010412134500", "TIME")}}});
    rig.sim.withState([](PhoneState& s) { s.regStatus = 0; });
    auto mode = rig.open();
    ASSERT_NE(mode, nullptr);
    rig.sim.clearReceived();
    mode->tick();
    const Lines lines = rig.lines();
    ASSERT_EQ(lines.size(), 7u);  // no AT+CMGD: the unanswered message is kept
    for (int attempt = 0; attempt < 3; ++attempt)
        EXPECT_EQ(lines[1 + 2 * attempt].substr(0, 8), "AT+CMGS=") << attempt;
    EXPECT_TRUE(rig.reporter.shown.empty());
    EXPECT_TRUE(rig.phone().sms.sent.empty());
    EXPECT_EQ(rig.phone().sms.messages.count(1), 1u);
}

TEST(CommandMode, ATickDuringAMessageBoxStartsNoSecondCheck) {
    Rig rig({{1, {1, received("+49123456789", "010412134500", "PING")}}});
    rig.sim.withState([](PhoneState& s) { s.failing.insert("AT+CMGS"); });
    auto mode = rig.open();
    ASSERT_NE(mode, nullptr);
    rig.reporter.duringMessage = [&] {
        EXPECT_TRUE(mode->busy());
        mode->tick();
    };
    rig.reporter.answers = {Answer::Cancel, Answer::No};
    rig.sim.clearReceived();
    mode->tick();
    EXPECT_FALSE(mode->busy());
    EXPECT_EQ(rig.reporter.ids(),
              (std::vector<int>{msg::MessagesNotSent, msg::StoreUnsentMessage}));
    const Lines lines = rig.lines();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "AT+CMGL=4"), 1);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "AT+CMGD=1"), 0);  // not sent: kept
}

TEST(CommandMode, WithoutCheckSmsTheModuleIsOnlyPolled) {
    Rig rig({{1, {1, received("+49123456789", "010412134500", "PING")}}});
    rig.settings.checkSms = false;
    auto mode = rig.open();
    ASSERT_NE(mode, nullptr);
    rig.sim.clearReceived();
    mode->tick();
    mode->tick();
    EXPECT_TRUE(rig.lines().empty());
    EXPECT_EQ(mode->moduleStatus(), "idle, 0 answered");
    EXPECT_EQ(rig.log(), (Lines{kStamp + ";1;;", kStamp + ";1;;"}));
}

TEST(CommandMode, ModulesThatCannotBeUsed) {
    struct Case {
        const char* situation;
        const char* module;
        int message;
        fs::perms writable = fs::perms::none;  // added to the module's permissions
        uid_t owner = 0;                       // 0: the file stays ours
    };
    const std::vector<Case> cases = {
        {"no module", nullptr, msg::ModuleNotLoaded},
        // Refused before it is loaded: its constructor would mark the process.
        {"others may write it", VONDRIX_NOENTRY_MODULE_PATH, msg::ModuleNotTrusted,
         fs::perms::others_write},
        {"its group may write it", VONDRIX_NOENTRY_MODULE_PATH, msg::ModuleNotTrusted,
         fs::perms::group_write},
        {"another user's", VONDRIX_NOENTRY_MODULE_PATH, msg::ModuleNotTrusted, fs::perms::none,
         65534},
        {"no entry point", VONDRIX_NOENTRY_MODULE_PATH, msg::ModuleEntryNotFound},
    };
    for (const Case& c : cases) {
        Rig rig({}, c.module);
        const std::string module = rig.dir + "/" + kModuleFileName;
        if (c.writable != fs::perms::none)
            fs::permissions(module, c.writable, fs::perm_options::add);
        if (c.owner != 0 && ::chown(module.c_str(), c.owner, c.owner) != 0)
            continue;  // only root can give a file away
        EXPECT_EQ(rig.open(), nullptr) << c.situation;
        EXPECT_EQ(rig.reporter.ids(), (std::vector<int>{c.message})) << c.situation;
        EXPECT_EQ(std::getenv("VONDRIX_NOENTRY_LOADED") != nullptr,
                  c.message == msg::ModuleEntryNotFound)
            << c.situation;
    }
}

TEST(CommunicationModule, BuffersHoldWhatTheModuleWritesAndNoMore) {
    const std::string dir = test::makeTempDir("greedy");
    fs::copy_file(VONDRIX_GREEDY_MODULE_PATH, fs::path(dir) / kModuleFileName);
    CommunicationModule::LoadError error = CommunicationModule::LoadError::NotFound;
    // A relative directory is made absolute against the working directory.
    CommunicationModule module = CommunicationModule::load({"no-such-dir", dir}, error);
    ASSERT_EQ(error, CommunicationModule::LoadError::None);
    EXPECT_EQ(module.path(), (fs::path(dir) / kModuleFileName).string());
    module.setText(std::string(2000, 'h'));
    EXPECT_EQ(module.text(), std::string(1023, 'h'));
    const CommunicationModule::Result r = module.call(std::string(80, '1'));
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.replyNumber, std::string(25, '7'));
    EXPECT_EQ(module.text(), std::string(1023, 'x'));
    EXPECT_EQ(module.status(), std::string(kModuleStatusMax, 's'));
    module.unload();
    EXPECT_FALSE(module.loaded());
    EXPECT_EQ(module.call("1").code, 1);
}

TEST(CommandMode, LogThatCannotBeOpenedSwitchesLoggingOff) {
    Rig rig({});
    fs::create_directory(fs::path(rig.dir) / kLogFileName);
    auto mode = rig.open();
    ASSERT_NE(mode, nullptr);
    EXPECT_EQ(rig.reporter.ids(), (std::vector<int>{msg::LogFileNotOpened}));
    EXPECT_FALSE(rig.settings.monProt);
    EXPECT_FALSE(mode->setLogging(true));
}

TEST(CommandMode, IntervalArrowsStartTheTimerWithinTheRange) {
    Rig rig({});
    auto mode = rig.open();
    ASSERT_NE(mode, nullptr);
    EXPECT_FALSE(mode->running());
    mode->changeInterval(-10);
    EXPECT_TRUE(mode->running());
    EXPECT_EQ(mode->intervalSeconds(), 2);
    mode->changeInterval(1000);
    EXPECT_EQ(mode->intervalSeconds(), 600);
    mode->stop();
    EXPECT_EQ(mode->stateText(), "");
}

}  // namespace
}  // namespace vondrix::sms
