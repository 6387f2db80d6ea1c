// The message operations over a real pty against the simulated phone:
// reading the list with its memory fields and names, deleting, sending in
// parts with Retry/Cancel and storing, predefined texts, exports, groups,
// the joined view and the decoding of PDUs whose type contradicts their
// listed status.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <map>

#include "SessionRig.h"
#include "session/SmsNames.h"
#include "sms/Export.h"
#include "sms/Group.h"
#include "sms/Predefined.h"
#include "sms/SmsService.h"
#include "sms/Texts.h"
#include "text/Latin1.h"

namespace vondrix::sms {
namespace {

using namespace std::chrono_literals;
using Lines = std::vector<std::string>;
using phonesim::PhoneState;
using phonesim::StoredMessage;

using test::readAll;
using test::received;
using test::statusReport;
using test::storedTo;

// A phone whose memory holds exactly `messages`.
std::function<void(PhoneState&)> memoryOf(std::map<int, StoredMessage> messages) {
    return [messages](PhoneState& s) {
        s.sms = phonesim::SmsStore{};
        s.sms.messages = messages;
    };
}

NameDirectory directory() {
    return NameDirectory(
        {{1, "Anna", "0123456789"}, {2, "Bob", "0301234567"}, {3, "Carl", "040555666"}});
}

// Answers from its queue, then Cancel and No, so that a send the phone
// keeps refusing ends.
struct CancellingReporter : test::RecordingReporter {
    Answer message(msg::Id id, Caption caption, Buttons buttons) override {
        if (answers.empty() && buttons != Buttons::Ok)
            answers.push_back(buttons == Buttons::RetryCancel ? Answer::Cancel : Answer::No);
        return RecordingReporter::message(id, caption, buttons);
    }
};

struct Rig : test::EngineRig<CancellingReporter> {
    explicit Rig(const std::function<void(PhoneState&)>& prepare = {}) : EngineRig(prepare) {
        engine.standard("ATE0");
        model.names = directory();
        forget();
    }
    void read() {
        ASSERT_TRUE(service.readMessages());
        forget();
    }
    const MessageRow* rowOf(const std::string& index) const {
        for (const MessageRow& r : model.list.rows)
            if (r.index == index)
                return &r;
        return nullptr;
    }
    std::size_t positionOf(const std::string& index) const {
        const auto& rows = model.list.rows;
        for (std::size_t i = 0; i < rows.size(); ++i)
            if (rows[i].index == index)
                return i;
        ADD_FAILURE() << "no row " << index;
        return rows.size();
    }

    SmsModel model;
    SmsService service{engine, reporter, settings, model};
};

using Columns = std::array<std::string, 6>;
Columns columnsOf(const MessageRow& r) {
    return {r.index, r.status, r.date, r.number, r.name, latin1ToUtf8(r.text)};
}

TEST(SmsReading, EmptyMemory) {
    Rig rig(memoryOf({}));
    EXPECT_TRUE(rig.service.readMessages());
    EXPECT_EQ(rig.lines(), (Lines{"AT^SMGO?", "AT+CMGL=4", "AT+CPMS?"}));
    EXPECT_TRUE(rig.model.list.rows.empty());
    EXPECT_EQ(rig.model.list.count(), 0u);
    EXPECT_EQ(rig.model.list.memory.used, 0);
    EXPECT_EQ(rig.model.list.memory.capacity, 20);
    EXPECT_EQ(rig.model.list.memory.state, 0);
    EXPECT_TRUE(rig.reporter.shown.empty());
}

TEST(SmsReading, ReceivedStoredAndStatusReportSortedByDate) {
    for (const bool swapD : {false, true}) {
        SCOPED_TRACE(swapD ? "SwapD" : "YY/MM/DD");
        Rig rig(memoryOf({{1, {1, received("+49123456789", "010412134500", "Hello")}},
                          {2, {0, received("0301234567", "010511090000", "Morning")}},
                          {3, {2, storedTo("0307654321", "Stored")}},
                          {4, {1, statusReport("+4940555666", "010413101500", "010413101512")}}}));
        rig.settings.swapD = swapD;
        ASSERT_TRUE(rig.service.readMessages());
        std::vector<Columns> rows;
        for (const MessageRow& r : rig.model.list.rows)
            rows.push_back(columnsOf(r));
        const auto d = [swapD](const char* yymmdd, const char* ddmmyy) {
            return swapD ? ddmmyy : yymmdd;
        };
        const std::vector<Columns> stored = {{"3", "2", "", "0307654321", "", "Stored"}};
        std::vector<Columns> dated = {
            {"1", "1", d("01/04/12 13:45:00", "12/04/01 13:45:00"), "+49123456789", "Anna",
             "Hello"},
            {"4", "1", d("01/04/13 10:15:00", "13/04/01 10:15:00"), "+4940555666", "Carl",
             d("01/04/13 10:15:12", "13/04/01 10:15:12")},
            {"2", "0", d("01/05/11 09:00:00", "11/05/01 09:00:00"), "0301234567", "Bob", "Morning"},
        };
        // The sort compares the date texts: with SwapD the day comes first.
        if (swapD)
            dated = {dated[2], dated[0], dated[1]};
        std::vector<Columns> expected = stored;
        expected.insert(expected.end(), dated.begin(), dated.end());
        EXPECT_EQ(rows, expected);
        EXPECT_EQ(rig.model.list.count(), 4u);
        EXPECT_EQ(rig.model.list.memory.used, 4);
    }
}

TEST(SmsReading, BothFormsOfANumberFindTheSameRecordOfTheLocalFile) {
    Rig rig(memoryOf({{1, {1, received("+49123456789", "010412134500", "a")}},
                      {2, {1, received("0123456789", "010412134501", "b")}},
                      {3, {1, received("+4930999", "010412134502", "c")}}}));
    rig.model.names = loadSmsNameDirectory(
        rig.file("Vondrix.phb", "[SIM]\r\n1,Bert,0307777777\r\n2,Anna,0123456789\r\n"));
    ASSERT_TRUE(rig.service.readMessages());
    ASSERT_EQ(rig.model.list.rows.size(), 3u);
    EXPECT_EQ(rig.rowOf("1")->name, "Anna");
    EXPECT_EQ(rig.rowOf("2")->name, "Anna");
    EXPECT_EQ(rig.rowOf("3")->name, "");
}

TEST(SmsReading, MemoryStateFullAndMessageWaiting) {
    Rig rig([](PhoneState& s) {
        s.sms.capacity = s.sms.used();
        s.sms.messageWaiting = false;
    });
    ASSERT_TRUE(rig.service.readMessages());
    ASSERT_EQ(rig.model.list.memory.state, 1);
    rig.sim.withState([](PhoneState& s) { s.sms.messageWaiting = true; });
    ASSERT_TRUE(rig.service.readMessages());
    ASSERT_EQ(rig.model.list.memory.state, 2);
    EXPECT_EQ(rig.model.list.memory.used, rig.model.list.memory.capacity);
}

TEST(SmsReading, FailedListingKeepsTheRowsAndStillReadsTheCounts) {
    Rig rig;
    rig.read();
    const std::size_t before = rig.model.list.count();
    rig.sim.withState([](PhoneState& s) {
        s.failing.insert("AT+CMGL");
        s.sms.messages.erase(1);
    });
    EXPECT_FALSE(rig.service.readMessages());
    EXPECT_EQ(rig.reporter.ids(), (std::vector<int>{msg::MessageListNotRead}));
    EXPECT_EQ(rig.model.list.count(), before);
    EXPECT_EQ(rig.model.list.memory.used, 17);
}

TEST(SmsReading, DemoMemoryDecodesEveryKindOfMessage) {
    Rig rig;
    ASSERT_TRUE(rig.service.readMessages());
    const auto text = [&](const char* index) { return latin1ToUtf8(rig.rowOf(index)->text); };
    EXPECT_EQ(rig.model.list.count(), 18u);
    EXPECT_EQ(rig.model.list.memory.capacity, 20);
    EXPECT_EQ(text("2"), "Grüße aus München! Schöne Tage noch, Jürgen. PS: Der Käse war köstlich.");
    EXPECT_EQ(rig.rowOf("2")->number, "01712345678");
    // UCS2: the euro sign is not in the PC character set.
    EXPECT_EQ(text("3"), "Très bien reçu, ça coûte 25 ? à Lyon.");
    EXPECT_EQ(rig.rowOf("4")->number, "D1-INFO");
    EXPECT_EQ(rig.rowOf("8")->kind, MessageKind::StatusReport);
    EXPECT_EQ(text("8"), "01/03/21 10:15:12");
    EXPECT_EQ(rig.rowOf("9")->date, "");
    EXPECT_EQ(text("11"), "Hallo 8-bit!");
    EXPECT_EQ(rig.rowOf("5")->concatenation->part, 1);
    EXPECT_EQ(rig.rowOf("6")->concatenation->part, 3);
}

TEST(SmsDeleting, ThreeRowsThreeCommandsAndARefusedOneStays) {
    Rig rig([](PhoneState& s) { s.failing.insert("AT+CMGD=9"); });
    rig.read();
    const std::vector<std::size_t> rows = {rig.positionOf("1"), rig.positionOf("9"),
                                           rig.positionOf("2"), rig.positionOf("5")};
    const DeleteReport report = rig.service.deleteRows(rows);
    EXPECT_EQ(report.deleted, 3);
    EXPECT_EQ(report.refused, 1);
    Lines lines = rig.lines();
    std::sort(lines.begin(), lines.end());
    EXPECT_EQ(lines, (Lines{"AT+CMGD=1", "AT+CMGD=2", "AT+CMGD=5", "AT+CMGD=9"}));
    EXPECT_EQ(rig.reporter.ids(), (std::vector<int>{msg::EntryNotDeleted}));
    EXPECT_EQ(rig.model.list.count(), 15u);
    EXPECT_EQ(rig.model.list.memory.used, 15);
    EXPECT_NE(rig.rowOf("9"), nullptr);
    EXPECT_EQ(rig.rowOf("1"), nullptr);
    const PhoneState phone = rig.phone();
    EXPECT_EQ(phone.sms.used(), 15);
    EXPECT_TRUE(phone.sms.messages.count(9));

    // A listed index that is no number is never read as 0.
    rig.model.list.rows[rig.positionOf("9")].index = "x";
    rig.sim.clearReceived();
    EXPECT_EQ(rig.service.deleteRows({rig.positionOf("x")}).refused, 1);
    EXPECT_TRUE(rig.lines().empty());
}

// A message part or a deletion answered after the limit was done: each
// counts as done, and nothing goes out twice. A reply sent twice never
// answers the next command: the listing fails as out of step and the rows
// stay as they were.
TEST(SmsDeleting, LateAnswersCountAndARepeatedReplyAnswersNothingElse) {
    Rig rig;
    rig.read();
    rig.engine.setTimeouts(500ms, 500ms);
    rig.sim.injectFault({phonesim::Fault::Kind::Late, "0", 0, 800});  // the first part's data
    const SendReport sent = rig.service.send(Outgoing{"+49123456789", std::string(161, 'a'), {}});
    EXPECT_EQ(sent.sent, 2);
    EXPECT_FALSE(sent.linkFailed);
    EXPECT_EQ(rig.phone().sms.sent.size(), 2u);
    rig.sim.injectFault({phonesim::Fault::Kind::Late, "AT+CMGD=", 0, 800});
    const DeleteReport report = rig.service.deleteRows({rig.positionOf("1")});
    EXPECT_EQ(report.deleted, 1);
    EXPECT_FALSE(report.linkFailed);
    EXPECT_EQ(rig.rowOf("1"), nullptr);
    EXPECT_EQ(rig.engine.lateAnswers(), 2u);
    EXPECT_TRUE(rig.reporter.ids().empty());

    const std::size_t rows = rig.model.list.count();
    ASSERT_GT(rows, 0u);
    rig.sim.injectFault({phonesim::Fault::Kind::Repeat, "AT^SMGO?", 0, 50});
    EXPECT_FALSE(rig.service.readMessages());
    EXPECT_EQ(rig.model.list.count(), rows);
    EXPECT_EQ(rig.reporter.ids(), std::vector<int>{msg::RepliesOutOfStep});
    // The next reading re-synchronises first and reads the list again.
    rig.forget();
    EXPECT_TRUE(rig.service.readMessages());
    const Lines lines = rig.lines();  // may still hold the failed reading's last command
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(Lines(lines.end() - 4, lines.end()),
              (Lines{"AT", "AT^SMGO?", "AT+CMGL=4", "AT+CPMS?"}));
    EXPECT_EQ(rig.model.list.count(), rows);
}

// The decoded text and the TPDU length of every sent PDU.
struct SentPart {
    std::string text;
    std::size_t tpdu;
};
std::vector<SentPart> sentParts(const PhoneState& phone) {
    std::vector<SentPart> parts;
    for (const std::string& pdu : phone.sms.sent) {
        const auto layout = phonesim::inspectPdu(pdu);
        parts.push_back({decodeListedMessage(2, pdu, {}).text, layout ? layout->tpduOctets : 0});
    }
    return parts;
}

TEST(SmsSending, PartsOf160Or140AndTheTrueLength) {
    struct Case {
        const char* situation;
        std::size_t length;
        bool eightBit;
        std::vector<std::size_t> parts;
    };
    const std::vector<Case> cases = {
        {"160 characters", 160, false, {160}},
        {"161 characters", 161, false, {160, 1}},
        {"140 characters, 8-bit", 140, true, {140}},
        {"141 characters, 8-bit", 141, true, {140, 1}},
        {"500 characters", 500, false, {160, 160, 160, 20}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.situation);
        Rig rig;
        std::string text;
        for (std::size_t i = 0; i < c.length; ++i)
            text += static_cast<char>('a' + i % 26);
        Outgoing out{"+49123456789", text, {}};
        out.options.eightBit = c.eightBit;
        const SendReport report = rig.service.send(out);
        EXPECT_EQ(report.parts, static_cast<int>(c.parts.size()));
        EXPECT_TRUE(report.allSent());
        const std::vector<SentPart> sent = sentParts(rig.phone());
        ASSERT_EQ(sent.size(), c.parts.size());
        const Lines lines = rig.lines();
        ASSERT_EQ(lines.size(), 2 * c.parts.size());
        std::string joined;
        for (std::size_t k = 0; k < sent.size(); ++k) {
            EXPECT_EQ(sent[k].text.size(), c.parts[k]);
            EXPECT_EQ(lines[2 * k], "AT+CMGS=" + std::to_string(sent[k].tpdu));
            joined += sent[k].text;
        }
        EXPECT_EQ(joined, text);
        EXPECT_TRUE(rig.reporter.shown.empty());
    }
}

// The simulated phone decodes what arrives on its own; what it lists comes
// back as it was written, without the concatenation header.
TEST(SmsSending, ExtensionCharactersArriveAsTypedBothWays) {
    Rig rig(memoryOf({{1,
                       {1, received("+49123456789", "010412134500", "{Hallo} [x]",
                                    phonesim::PartOf{7, 2, 1})}}}));
    rig.read();
    ASSERT_NE(rig.rowOf("1"), nullptr);
    EXPECT_EQ(rig.rowOf("1")->text, "{Hallo} [x]");

    const std::string text = std::string(159, 'a') + "{}[]\\^~|\x80\f";
    ASSERT_TRUE(rig.service.send({"+49123456789", text, {}}).allSent());
    const PhoneState phone = rig.phone();
    ASSERT_EQ(phone.sms.sent.size(), 2u);
    EXPECT_EQ(phonesim::messageText(phone.sms.sent[0]), std::string(159, 'a'));
    EXPECT_EQ(phonesim::messageText(phone.sms.sent[1]), "{}[]\\^~|\u20AC\f");
}

TEST(SmsSending, RetryThenCancelThenStoreAddsTheRow) {
    Rig rig([](PhoneState& s) { s.failing.insert("AT+CMGS"); });
    rig.read();
    rig.reporter.answers = {Answer::Retry, Answer::Cancel, Answer::Yes};
    const SendReport report = rig.service.send({"0123456789", "Call me", {}});
    EXPECT_EQ(rig.reporter.ids(), (std::vector<int>{msg::MessagesNotSent, msg::MessagesNotSent,
                                                    msg::StoreUnsentMessage}));
    EXPECT_EQ(rig.reporter.shown[0].buttons, Buttons::RetryCancel);
    EXPECT_EQ(rig.reporter.shown[2].buttons, Buttons::YesNo);
    EXPECT_EQ(report.sent, 0);
    EXPECT_EQ(report.stored, 1);
    const Lines lines = rig.lines();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], lines[1]);
    const std::string pdu = lines[3];
    EXPECT_EQ(lines[0], "AT+CMGS=" + std::to_string(tpduLength(pdu)));
    EXPECT_EQ(lines[2], "AT+CMGW=" + std::to_string(tpduLength(pdu)) + ",2");

    const MessageRow& row = rig.model.list.rows.back();
    EXPECT_EQ(columnsOf(row), (Columns{"19", "", "", "0123456789", "", "Call me"}));
    EXPECT_EQ(rig.model.list.count(), 19u);
    EXPECT_EQ(rig.model.list.memory.used, 19);
    const PhoneState phone = rig.phone();
    EXPECT_EQ(phone.sms.messages.at(19), (StoredMessage{2, pdu}));
    EXPECT_TRUE(phone.sms.sent.empty());
}

TEST(SmsSending, RefusedDataAsksTooAndNoStoresNothing) {
    Rig rig([](PhoneState& s) { s.regStatus = 0; });
    rig.reporter.answers = {Answer::Cancel, Answer::No};
    const SendReport report = rig.service.send({"0123456789", "Call me", {}});
    EXPECT_EQ(rig.reporter.ids(),
              (std::vector<int>{msg::MessagesNotSent, msg::StoreUnsentMessage}));
    EXPECT_EQ(report.sent + report.stored, 0);
    EXPECT_EQ(rig.lines().size(), 2u);
    EXPECT_EQ(rig.phone().sms.used(), 18);
}

TEST(SmsSending, RecipientsThatAreNoNumberAreRefused) {
    Rig rig;
    EXPECT_TRUE(rig.service.send({"0123;ATD110", "x", {}}).refused);
    EXPECT_TRUE(rig.service.send({"", "x", {}}).refused);
    // More digits than an address holds: refused whole, never cut and sent.
    EXPECT_TRUE(rig.service.send({std::string(26, '1'), "x", {}}).refused);
    EXPECT_EQ(rig.reporter.ids(),
              (std::vector<int>{msg::ValueRefused, msg::EnterNumber, msg::AddressTooLong}));
    EXPECT_FALSE(rig.service.send({"0123", "", {}}).refused);  // an empty text does nothing
    EXPECT_TRUE(rig.lines().empty());
    // A name is looked up in the name directory first.
    EXPECT_EQ(rig.service.recipientFor("Ann"), "0123456789");
    EXPECT_EQ(rig.service.recipientFor("+4930"), "+4930");
    EXPECT_EQ(rig.service.recipientFor(""), std::nullopt);
}

TEST(SmsPredefined, MarkerInsertsTextThreeAndStoringAddsARow) {
    Rig rig;
    rig.settings.ptxt[2] = "at the station";
    const std::string text = *insertPredefined("Meet me #3# now", rig.settings.ptxt);
    ASSERT_TRUE(rig.service.send({"0123456789", text, {}}).allSent());
    EXPECT_EQ(sentParts(rig.phone()).at(0).text, "Meet me at the station");

    rig.read();
    const SendReport stored = rig.service.storePredefined(rig.settings.ptxt[2]);
    EXPECT_EQ(stored.stored, 1);
    const Lines lines = rig.lines();
    ASSERT_EQ(lines.size(), 2u);
    // No service centre, no recipient.
    EXPECT_EQ(lines[1].substr(0, 10), "0011000000");
    EXPECT_EQ(columnsOf(rig.model.list.rows.back()),
              (Columns{"19", "", "", "", "", "at the station"}));
    rig.read();
    EXPECT_EQ(latin1ToUtf8(rig.rowOf("19")->text), "at the station");
}

TEST(SmsExport, CsvAndXmlByteForByte) {
    Rig rig(
        memoryOf({{1, {1, received("+49123456789", "010412134500", "Hi, you; there\nA & B < C")}},
                  {3, {2, storedTo("0307654321", "Stored")}}}));
    rig.read();
    const std::string csv = rig.dir + "/" + kCsvExportName, xml = rig.dir + "/" + kXmlExportName;
    ASSERT_TRUE(exportCsv(rig.model.list.rows, csv, rig.reporter));
    ASSERT_TRUE(exportXml(rig.model.list.rows, xml, rig.reporter));
    const std::string csvOnce =
        "NR,NAME,TELNUM,DATE,TEXT\r\n"
        "3,,'0307654321,,Stored\r\n"
        "1,Anna,'+49123456789,01/04/12 13:45:00,Hi  you  there A & B < C\r\n";
    const std::string xmlOnce =
        "<?xml version=\"1.0\" encoding=\"ISO-8859-1\" ?>\r\n<SMSLIST>\r\n"
        "<MESSAGE>\r\n<NO>3</NO>\r\n<NAME></NAME>\r\n<TELNUM>0307654321</TELNUM>\r\n"
        "<DATE></DATE>\r\n<TEXT>Stored</TEXT>\r\n</MESSAGE>\r\n"
        "<MESSAGE>\r\n<NO>1</NO>\r\n<NAME>Anna</NAME>\r\n<TELNUM>+49123456789</TELNUM>\r\n"
        "<DATE>01/04/12 13:45:00</DATE>\r\n<TEXT>Hi  you  there A &amp; B &lt; C</TEXT>\r\n"
        "</MESSAGE>\r\n</SMSLIST>\r\n";
    EXPECT_EQ(readAll(csv), csvOnce);
    EXPECT_EQ(readAll(xml), xmlOnce);
    // A second export: the CSV file grows, the XML file stays one document.
    ASSERT_TRUE(exportCsv(rig.model.list.rows, csv, rig.reporter));
    ASSERT_TRUE(exportXml(rig.model.list.rows, xml, rig.reporter));
    EXPECT_EQ(readAll(csv), csvOnce + csvOnce);
    EXPECT_EQ(readAll(xml), xmlOnce);
    // A directory cannot take an export.
    EXPECT_FALSE(exportCsv(rig.model.list.rows, rig.dir, rig.reporter));
    EXPECT_FALSE(exportXml(rig.model.list.rows, rig.dir, rig.reporter));
    EXPECT_EQ(rig.reporter.ids(),
              (std::vector<int>{msg::ExportFileNotOpened, msg::ExportFileNotOpened}));
}

TEST(SmsGroups, FileRoundTripDuplicatesSkippedAndSendingToEveryMember) {
    Rig rig;
    const std::string& dir = rig.dir;
    const std::vector<NameRecord> source = groupSource(directory());
    ASSERT_EQ(source.size(), 3u);
    EXPECT_EQ(source[0].name, "Anna");
    Group group;
    EXPECT_EQ(group.add({source[1], source[0]}), 2u);
    EXPECT_EQ(group.add({source[0]}), 0u);  // Anna is a member already
    ASSERT_TRUE(group.save(dir + "/friends.srp"));
    EXPECT_EQ(readAll(dir + "/friends.srp"), "Bob,0301234567\r\nAnna,0123456789\r\n");

    test::RecordingReporter reporter;
    Group loaded;
    ASSERT_TRUE(loaded.load(dir + "/friends.srp", reporter));
    EXPECT_EQ(loaded.members(), group.members());

    rig.file("odd.srp", "Carl,0301\r\nno comma here\r\nDora,Smith,0302\nEve,0303");
    // The loaded group is unsaved: loading another asks first.
    reporter.answers = {Answer::No};
    EXPECT_FALSE(loaded.load(dir + "/odd.srp", reporter));
    EXPECT_EQ(loaded.members(), group.members());
    ASSERT_TRUE(loaded.load(dir + "/odd.srp", reporter));
    EXPECT_EQ(reporter.ids(), (std::vector<int>{msg::OverwriteEntries, msg::OverwriteEntries}));
    EXPECT_EQ(loaded.members(), (std::vector<GroupMember>{
                                    {"Carl", "0301"}, {"Dora", "Smith,0302"}, {"Eve", "0303"}}));

    // The saved group is replaced without a question.
    test::RecordingReporter quiet;
    ASSERT_TRUE(Group(group).load(dir + "/odd.srp", quiet));
    EXPECT_TRUE(quiet.shown.empty());

    for (const GroupMember& m : group.members())
        EXPECT_TRUE(rig.service.send({m.number, "Party at eight", {}}).allSent());
    const PhoneState phone = rig.phone();
    ASSERT_EQ(phone.sms.sent.size(), 2u);
    EXPECT_EQ(decodeListedMessage(2, phone.sms.sent[0], {}).number, "0301234567");
    EXPECT_EQ(decodeListedMessage(2, phone.sms.sent[1], {}).number, "0123456789");
}

TEST(SmsDecoding, ListedStatusThatContradictsThePduTypeKeepsStatusDecodesByType) {
    Rig rig(memoryOf({{1, {1, storedTo("+49123456789", "Sent text")}},
                      {2, {2, received("0301234567", "010411090000", "Received text")}},
                      {3, {3, statusReport("+4940555666", "010413101500", "010413101512")}}}));
    ASSERT_TRUE(rig.service.readMessages());
    EXPECT_EQ(columnsOf(*rig.rowOf("1")),
              (Columns{"1", "1", "", "+49123456789", "Anna", "Sent text"}));
    EXPECT_EQ(columnsOf(*rig.rowOf("2")),
              (Columns{"2", "2", "01/04/11 09:00:00", "0301234567", "Bob", "Received text"}));
    EXPECT_EQ(columnsOf(*rig.rowOf("3")),
              (Columns{"3", "3", "01/04/13 10:15:00", "+4940555666", "Carl", "01/04/13 10:15:12"}));
}

TEST(SmsJoining, ThreePartsBecomeOneAndAMissingPartIsMarked) {
    Rig rig;
    ASSERT_TRUE(rig.service.readMessages());
    const std::string story =
        "Hallo mein Schatz, wir sind gut in Hamburg angekommen. Das Wetter ist herrlich, die "
        "Sonne scheint und am Hafen ist viel los. Heute Nachmittag waren wir auf der Elbe "
        "unterwegs und haben die großen Containerschiffe gesehen. Morgen wollen wir in den "
        "Tierpark Hagenbeck, Papa freut sich schon auf die Elefanten. Am Sonntag fahren wir mit "
        "dem Zug zurück, gegen acht Uhr abends sind wir zu Hause. Liebe Grüße, Mama";
    const auto whole = [](const std::vector<MessageRow>& rows) -> const MessageRow* {
        for (const MessageRow& r : rows)
            if (r.number == "+491701234567" && r.concatenation)
                return &r;
        return nullptr;
    };
    const std::vector<MessageRow> joined = joinedRows(rig.model.list.rows);
    EXPECT_EQ(joined.size(), 16u);
    ASSERT_NE(whole(joined), nullptr);
    EXPECT_EQ(whole(joined)->index, "5");
    EXPECT_EQ(latin1ToUtf8(whole(joined)->text), story);
    // The plain list keeps one row per part; the header is no text.
    EXPECT_EQ(rig.model.list.count(), 18u);
    EXPECT_EQ(rig.rowOf("5")->text, utf8ToLatin1(story).substr(0, 153));

    rig.sim.withState([](PhoneState& s) { s.sms.messages.erase(7); });
    ASSERT_TRUE(rig.service.readMessages());
    const std::vector<MessageRow> rejoined = joinedRows(rig.model.list.rows);
    const MessageRow* partial = whole(rejoined);
    ASSERT_NE(partial, nullptr);
    const std::string latin1Story = utf8ToLatin1(story);
    EXPECT_EQ(partial->text, latin1Story.substr(0, 153) + latin1Story.substr(306) + " (2/3 parts)");
}

}  // namespace
}  // namespace vondrix::sms
