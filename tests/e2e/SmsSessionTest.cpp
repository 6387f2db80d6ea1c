// The message windows' sessions against the simulated phone: what the
// desktop program and the command line both rely on when the message list,
// the send dialogs, the predefined texts, the groups and the command mode
// open and close.

#include <gtest/gtest.h>

#include <map>

#include "SessionRig.h"
#include "phonesim/SmsPdu.h"
#include "session/CommandModeSession.h"
#include "session/GroupSession.h"
#include "session/MessageListSession.h"
#include "session/PredefinedSession.h"
#include "session/SendDialogSession.h"
#include "text/Latin1.h"

namespace vondrix {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Lines = std::vector<std::string>;
using phonesim::PhoneState;

struct Rig : test::SessionRig {
    explicit Rig(const std::function<void(PhoneState&)>& prepare = {})
        : SessionRig("smssession", prepare) {
        session.engine.setTimeouts(3s, 3s);
        session.engine.setOverallExtra(AtEngine::kDefaultOverallExtra);
        session.engine.standard("ATE0");
        std::ofstream(localFile(), std::ios::binary)
            << "[SIM]\r\n1,Anna Schmidt,0123456789\r\n2,Bob,0301234567\r\n3,Carl,040555666\r\n";
        sim.clearReceived();
    }
    std::vector<std::string> sent() { return phone().sms.sent; }
    // A key as the settings file holds it; "-" when it is not there.
    std::string iniValue(const std::string& key) {
        return IniFile(session.ini.path()).getString(Settings::kSection, key, "-");
    }
};

TEST(MessageListSession, OpensWithTheNameDirectoryAndTheReadingAndClosesWithItsWidths) {
    Rig rig([](PhoneState& s) {
        s.sms = phonesim::SmsStore{};
        s.sms.messages = {{4, {1, test::received("+49123456789", "010412134500", "Hi")}},
                          {9, {0, test::received("0301234567", "010412134500", "Yo")}}};
    });
    rig.session.language = Language::German;
    MessageListSession list(rig.session, rig.reporter, rig.localFile());
    ASSERT_TRUE(list.open());
    EXPECT_EQ(rig.lines(), (Lines{"AT^SMGO?", "AT+CMGL=4", "AT+CPMS?"}));
    ASSERT_EQ(list.rows().size(), 2u);
    EXPECT_EQ(list.rows()[0].name, "Anna Schmidt");
    EXPECT_EQ(list.rows()[1].name, "Bob");
    EXPECT_EQ(rig.session.sms.names.records().size(), 3u);
    EXPECT_EQ(list.memoryStateText(), "Platz vorhanden");
    EXPECT_EQ(list.headers()[3], "Absender");
    EXPECT_EQ(list.columnWidths(), (std::array<int, 6>{25, 35, 120, 100, 100, 350}));

    ASSERT_TRUE(list.close({30, 40, 130, 110, 90, 300}));
    for (int c = 0; c < 6; ++c)
        EXPECT_EQ(rig.iniValue("SCol" + std::to_string(c)),
                  std::to_string(std::array{30, 40, 130, 110, 90, 300}[c]));
    EXPECT_EQ(list.columnWidths(), (std::array<int, 6>{30, 40, 130, 110, 90, 300}));
}

TEST(MessageListSession, ViewJoinsThePartsOfAConcatenatedMessage) {
    Rig rig;  // the demo memory: parts 1, 3, 2 of one message at indexes 5, 6, 7
    MessageListSession list(rig.session, rig.reporter, rig.localFile());
    ASSERT_TRUE(list.open());
    const auto positionOf = [&](const std::string& index) {
        for (std::size_t i = 0; i < list.rows().size(); ++i)
            if (list.rows()[i].index == index)
                return i;
        return list.rows().size();
    };
    const auto part2 = list.view(positionOf("7"));
    ASSERT_TRUE(part2 && part2->whole);
    EXPECT_EQ(part2->whole->part, 2);
    EXPECT_EQ(part2->whole->count, 3);
    EXPECT_EQ(part2->whole->present, 3);
    EXPECT_TRUE(latin1ToUtf8(part2->text).starts_with("Hallo mein Schatz"));
    EXPECT_TRUE(latin1ToUtf8(part2->text).ends_with("Liebe Grüße, Mama"));

    // A status report: its discharge time as text, its date, no whole message.
    const auto report = list.view(positionOf("8"));
    ASSERT_TRUE(report);
    EXPECT_FALSE(report->whole);
    EXPECT_EQ(report->status, msg::StatusReceivedRead);
    EXPECT_FALSE(report->date.empty());
    EXPECT_EQ(report->text, list.rows()[positionOf("8")].text);

    // With one part left there is nothing to join.
    list.deleteRows({positionOf("5"), positionOf("6")});
    const auto alone = list.view(positionOf("7"));
    ASSERT_TRUE(alone);
    EXPECT_FALSE(alone->whole);
    EXPECT_FALSE(list.view(list.rows().size()));
}

TEST(MessageListSession, NumberGoesToThePhonebookOnlyAfterAPhonebookWasRead) {
    Rig rig;
    MessageListSession list(rig.session, rig.reporter, rig.localFile());
    ASSERT_TRUE(list.open());
    EXPECT_FALSE(list.numberForPhonebook(0));
    EXPECT_EQ(rig.reporter.ids(), (std::vector<int>{msg::ReadPhonebookFirst}));
    rig.session.phonebook.phonebookRead = true;
    EXPECT_EQ(list.numberForPhonebook(0), list.rows()[0].number);
}

TEST(SendDialogSession, SendDialogCarriesThePhonebookWindowsServiceCentre) {
    Rig rig;
    rig.session.sms.serviceCentre = "+4911111";  // left by an earlier dialog
    rig.session.phonebook.serviceCentre.number = "+4922222";
    rig.session.phonebook.redbook = {{1, "+491701234567", 145, "Mama!"}};
    SendDialogSession dialog(rig.session, rig.reporter);
    dialog.openForEntry(RecipientSource::Redbook, 1);
    EXPECT_EQ(dialog.initial().name, "Mama!");
    EXPECT_EQ(dialog.initial().recipient, "+491701234567");
    EXPECT_TRUE(dialog.recipientEditable());

    SendForm form = dialog.initial();
    form.text = "Hi";
    const SendOutcome outcome = dialog.accept(form);
    EXPECT_TRUE(outcome.closes);
    EXPECT_TRUE(outcome.allSent());
    // No service-centre query: the record the phonebook window read is used.
    for (const std::string& line : rig.lines())
        EXPECT_NE(line, "AT+CSCA?");
    ASSERT_EQ(rig.sent().size(), 1u);
    EXPECT_EQ(rig.sent()[0].rfind(phonesim::serviceCentreField("+4922222"), 0), 0u);
}

TEST(SendDialogSession, ReplyReadsTheServiceCentreAndLooksUpATypedName) {
    Rig rig;
    MessageListSession list(rig.session, rig.reporter, rig.localFile());
    ASSERT_TRUE(list.open());
    rig.sim.clearReceived();
    SendDialogSession reply(rig.session, rig.reporter);
    reply.openReply(std::size_t{0});
    EXPECT_EQ(rig.lines(), (Lines{"AT+CSCA?"}));
    EXPECT_EQ(rig.session.sms.serviceCentre, test::kCentre);
    EXPECT_EQ(reply.initial().recipient, list.rows()[0].number);
    EXPECT_EQ(reply.names(), (std::vector<std::string>{"Anna Schmidt", "Bob", "Carl"}));

    // An empty recipient keeps the dialog open.
    SendForm form{"Hello", "", "", {}};
    EXPECT_FALSE(reply.accept(form).closes);
    EXPECT_EQ(rig.reporter.ids(), (std::vector<int>{msg::EnterNumber}));
    EXPECT_TRUE(rig.sent().empty());

    form.recipient = "Anna";
    const SendOutcome outcome = reply.accept(form);
    EXPECT_TRUE(outcome.closes && outcome.allSent());
    ASSERT_EQ(rig.sent().size(), 1u);
    EXPECT_NE(rig.sent()[0].find(phonesim::addressField("0123456789")), std::string::npos);
}

TEST(SendDialogSession, ForwardTakesTheRowsTextAndNumber) {
    Rig rig;
    MessageListSession list(rig.session, rig.reporter, rig.localFile());
    ASSERT_TRUE(list.open());
    SendDialogSession forward(rig.session, rig.reporter);
    forward.openForward(1);
    EXPECT_EQ(forward.initial().text, list.rows()[1].text.substr(0, 259));
    EXPECT_EQ(forward.initial().recipient, list.rows()[1].number);
    EXPECT_FALSE(forward.textEditable());
    EXPECT_FALSE(forward.eightBitEditable());
}

TEST(SendDialogSession, MulticastSendsToEveryEntryAtTheSelectedLocations) {
    Rig rig;
    phonebook::CurrentPhonebook& book = rig.session.phonebook.current;
    book.entries = {{1, "0301", 129, "A"}, {2, "0302", 129, "B"}, {3, "0303", 129, "C"}};
    book.deleted = {1};  // B was deleted: its row stays, empty
    SendDialogSession dialog(rig.session, rig.reporter);
    dialog.openMulticast({3, 2, 1});
    EXPECT_FALSE(dialog.recipientEditable());
    std::vector<std::string> told;
    const SendOutcome outcome = dialog.accept(
        {"Hi all", "", "", {}},
        [&](const std::string& name, const std::string& n) { told.push_back(name + " " + n); });
    EXPECT_EQ(told, (std::vector<std::string>{"C 0303", "A 0301"}));
    EXPECT_EQ(outcome.reports.size(), 2u);
    EXPECT_EQ(rig.sent().size(), 2u);
}

TEST(GroupSession, ReadsTheServiceCentreAndSendsToEveryMember) {
    Rig rig;
    loadSmsNames(rig.session, rig.localFile());
    GroupSession groups(rig.session, rig.reporter);
    groups.open();
    EXPECT_EQ(rig.lines(), (Lines{"AT+CSCA?"}));
    EXPECT_FALSE(groups.sendDialog());     // no members yet
    const auto source = groups.source(1);  // by number
    ASSERT_EQ(source.size(), 3u);
    EXPECT_EQ(source[0].name, "Anna Schmidt");
    EXPECT_EQ(source[1].name, "Bob");
    EXPECT_EQ(groups.group().add(source), 3u);
    EXPECT_EQ(groups.group().add({source[0]}), 0u);

    auto dialog = groups.sendDialog();
    ASSERT_TRUE(dialog);
    EXPECT_EQ(dialog->mode(), SendMode::Group);
    const SendOutcome outcome = dialog->accept({"Meeting at 8", "", "", {}});
    EXPECT_EQ(outcome.reports.size(), 3u);
    EXPECT_TRUE(outcome.allSent());
    EXPECT_EQ(rig.sent().size(), 3u);

    ASSERT_TRUE(groups.close({61, 71}));
    EXPECT_EQ(rig.iniValue("GCol0"), "61");
    EXPECT_EQ(rig.iniValue("GCol1"), "71");
}

TEST(PredefinedSession, StoresTheShownTextAndSavesOnlyFilledRows) {
    Rig rig;
    rig.session.settings.ptxt[2] = "at the station";
    MessageListSession list(rig.session, rig.reporter, rig.localFile());
    ASSERT_TRUE(list.open());
    const std::size_t before = list.rows().size();
    PredefinedSession predefined(rig.session, rig.reporter);
    predefined.list().edit(0, std::string(170, 'x'));
    EXPECT_EQ(predefined.list().row(0).size(), 160u);
    EXPECT_EQ(predefined.store(5).stored, 0);  // empty row: nothing
    const sms::SendReport report = predefined.store(0);
    EXPECT_EQ(report.stored, 1);
    EXPECT_EQ(list.rows().size(), before + 1);
    EXPECT_EQ(list.rows().back().text, std::string(160, 'x'));

    predefined.list().clear(2);
    ASSERT_TRUE(predefined.save());
    EXPECT_EQ(rig.iniValue("Ptxt0"), std::string(160, 'x'));
    EXPECT_EQ(rig.iniValue("Ptxt2"), "-");  // never written: the old text comes back
    ASSERT_TRUE(predefined.close({210, 35}));
    EXPECT_EQ(rig.iniValue("PCol0"), "210");
    EXPECT_EQ(rig.iniValue("PCol1"), "35");
}

TEST(CommandModeSession, ClosingWritesThePositionAsWaitSecWithTheFlags) {
    Rig rig;
    fs::copy_file(VONDRIX_SMSCOM_PATH, fs::path(rig.dir) / sms::kModuleFileName);
    CommandModeSession::Options options;
    options.localFile = rig.localFile();
    options.mode.moduleDirectories = {rig.dir};
    options.mode.logPath = rig.dir + "/" + sms::kLogFileName;
    rig.session.language = Language::Italian;
    auto mode = CommandModeSession::open(rig.session, rig.reporter, options);
    ASSERT_NE(mode, nullptr);
    mode->mode().start();
    EXPECT_EQ(mode->mode().stateText(), "Warten");
    mode->setCheckSms(true);
    EXPECT_TRUE(mode->mode().setLogging(true));
    mode->close(700);  // kept within 2 … 600
    EXPECT_EQ(rig.iniValue("WaitSec"), "600");
    EXPECT_EQ(rig.iniValue("MonProt"), "1");
    EXPECT_EQ(rig.iniValue("CheckSMS"), "1");
    EXPECT_FALSE(mode->mode().running());

    // Without a module the dialog does not open.
    options.mode.moduleDirectories = {rig.dir + "/nowhere"};
    EXPECT_EQ(CommandModeSession::open(rig.session, rig.reporter, options), nullptr);
    EXPECT_EQ(rig.reporter.ids().back(), msg::ModuleNotLoaded);
}

}  // namespace
}  // namespace vondrix
