// The message subsystem's pure parts: the reply parsers, the name keys,
// sorting, joining, the status/type rule, the export texts, group files,
// predefined texts and the in-code texts.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "foundation/IniFile.h"
#include "link/SharedReplies.h"
#include "sms/Export.h"
#include "sms/Group.h"
#include "sms/MessageList.h"
#include "sms/Predefined.h"
#include "sms/Replies.h"
#include "sms/SmsService.h"
#include "sms/Texts.h"
#include "support/RunProcess.h"

namespace vondrix::sms {
namespace {

TEST(SmsReplies, ListingEntries) {
    struct Case {
        const char* situation;
        std::string response;
        std::vector<ListedEntry> entries;
    };
    const std::vector<Case> cases = {
        {"empty memory", "\r\nOK\r\n", {}},
        {"two entries",
         "\r\n+CMGL: 1,0,,23\r\n0791AB\r\n+CMGL: 12,3,,18\r\n0011CD\r\n\r\nOK\r\n",
         {{"1", "0", "0791AB"}, {"12", "3", "0011CD"}}},
        {"an alpha field with a comma is read as the header has it",
         "+CMGL: 2,1,\"a,b\",5\r\n00\r\n",
         {{"2", "1", "00"}}},
        {"LF-only line ends", "+CMGL: 4,1,,5\n0011\n", {{"4", "1", "0011"}}},
        {"no blank after the prefix", "+CMGL:7,2,,5\r\nFF\r\n", {{"7", "2", "FF"}}},
        {"a header without its PDU line",
         "+CMGL: 1,0,,23\r\n+CMGL: 2,1,,5\r\n00\r\n",
         {{"1", "0", ""}, {"2", "1", "00"}}},
        {"a header at the end of the reply", "+CMGL: 9,1", {{"9", "1", ""}}},
        {"a header without commas", "+CMGL: 9\r\nAB\r\n", {{"9", "", "AB"}}},
    };
    for (const Case& c : cases) {
        const std::vector<ListedEntry> got = parseCmglList(c.response);
        ASSERT_EQ(got.size(), c.entries.size()) << c.situation;
        for (std::size_t i = 0; i < got.size(); ++i) {
            EXPECT_EQ(got[i].index, c.entries[i].index) << c.situation;
            EXPECT_EQ(got[i].status, c.entries[i].status) << c.situation;
            EXPECT_EQ(got[i].pdu, c.entries[i].pdu) << c.situation;
        }
    }
}

TEST(SmsReplies, StateCountsServiceCentreAndStoredIndex) {
    EXPECT_EQ(parseSmgoQuery("\r\n^SMGO: 0,1\r\n\r\nOK\r\n"), 1);
    EXPECT_EQ(parseSmgoQuery("\r\n^SMGO: 2\r\n\r\nOK\r\n"), std::nullopt);
    EXPECT_EQ(parseSmgoQuery("\r\nOK\r\n"), std::nullopt);

    const auto counts = parseCpmsQuery("\r\n+CPMS: \"SM\",18,20,\"SM\",18,20\r\n\r\nOK\r\n");
    ASSERT_TRUE(counts);
    EXPECT_EQ(counts->used, 18);
    EXPECT_EQ(counts->capacity, 20);
    const auto partial = parseCpmsQuery("+CPMS: \"SM\",3");
    ASSERT_TRUE(partial);
    EXPECT_EQ(partial->used, 3);
    EXPECT_EQ(partial->capacity, 0);
    EXPECT_EQ(parseCpmsQuery("OK"), std::nullopt);

    EXPECT_EQ(at::parseCscaQuery("\r\n+CSCA: \"+491710760000\",145\r\n\r\nOK\r\n"),
              "+491710760000");
    EXPECT_EQ(at::parseCscaQuery("\r\n+CSCA: \"+4917\r\nOK\r\n"), "+4917");
    EXPECT_EQ(at::parseCscaQuery("\r\n+CSCA: \"" + std::string(40, '1') + "\"\r\n").size(), 29u);
    EXPECT_EQ(at::parseCscaQuery("\r\nOK\r\n"), "");

    EXPECT_EQ(parseCmgwReply("\r\n+CMGW: 19\r\n\r\nOK\r\n"), 19);
    EXPECT_EQ(parseCmgwReply("\r\nOK\r\n"), std::nullopt);
}

TEST(SmsNames, LookupKeysByTypeAndRule) {
    struct Case {
        const char* number;
        int type;
        KeyRule rule;
        const char* key;
    };
    const std::vector<Case> cases = {
        {"+49123456789", 0x91, KeyRule::MessageList, "123456789"},
        {"0123456789", 0x81, KeyRule::MessageList, "123456789"},
        {"123456789", 0x81, KeyRule::MessageList, "123456789"},
        {"0123456789", 0x89, KeyRule::CommandMode, "123456789"},
        {"123203101234", 0x81, KeyRule::MessageList, "1234"},
        {"0123204199", 0x81, KeyRule::MessageList, "199"},
        {"12345", 0x83, KeyRule::MessageList, "5"},
        {"12345", 0x83, KeyRule::CommandMode, "45"},
        {"D1-INFO", 0xD0, KeyRule::MessageList, "INFO"},
        {"+49", 0x91, KeyRule::MessageList, ""},
        {"0", 0x81, KeyRule::MessageList, ""},
        {"1232031", 0x81, KeyRule::MessageList, "1232031"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(lookupKey(c.number, c.type, c.rule), c.key) << c.number << " type " << c.type;
    EXPECT_EQ(shownNumber("+491232031777"), "031777");
    EXPECT_EQ(shownNumber("+491232041777"), "041777");
    EXPECT_EQ(shownNumber("+49123203"), "+49123203");
}

TEST(SmsNames, SearchStopsAtTheFirstRecordWithIndexZero) {
    const NameDirectory names(
        {{1, "Anna", "0123456789"}, {0, "Gap", ""}, {3, "Bob", "0301234567"}});
    EXPECT_EQ(names.nameFor("+49123456789", 0x91, KeyRule::MessageList), "Anna");
    EXPECT_EQ(names.nameFor("0301234567", 0x81, KeyRule::MessageList), "");
    EXPECT_EQ(names.findByName("Bo"), nullptr);
    EXPECT_EQ(resolveRecipient("Ann", names), "0123456789");
    EXPECT_EQ(resolveRecipient("Zed", names), "Zed");
    EXPECT_EQ(resolveRecipient("+4930", names), "+4930");
    EXPECT_EQ(resolveRecipient("030", names), "030");
}

TEST(SmsDecoding, StatusFollowsThePduTypeOnlyWhenTheyDisagree) {
    struct Case {
        const char* situation;
        int listed;
        std::string pdu;
        int decodedAs;
    };
    const std::vector<Case> cases = {
        {"deliver listed as received", 1, "0004", 1},
        {"deliver listed as stored", 2, "0004", 1},
        {"submit listed as stored sent", 3, "0011", 3},
        {"submit listed as received", 0, "0011", 2},
        {"status report listed as stored", 3, "0006", 1},
        {"status report listed as received", 0, "0006", 0},
        {"service centre field skipped", 2,
         "0791947101670000"
         "04",
         1},
        {"reserved type", 2, "0003", 2},
        {"no first octet", 0, "07", 0},
        {"not hex", 3, "00ZZ", 3},
    };
    for (const Case& c : cases)
        EXPECT_EQ(decodingStatus(c.listed, c.pdu), c.decodedAs) << c.situation;
}

MessageRow row(std::string index, std::string date, int position,
               std::optional<Concatenation> c = std::nullopt, std::string body = {},
               std::string number = "+4930") {
    MessageRow r;
    r.index = std::move(index);
    r.date = std::move(date);
    r.position = position;
    r.concatenation = c;
    r.body = body;
    r.text = "HDR" + body;
    r.fullNumber = std::move(number);
    return r;
}

std::vector<std::string> indexes(const std::vector<MessageRow>& rows) {
    std::vector<std::string> out;
    for (const MessageRow& r : rows)
        out.push_back(r.index);
    return out;
}

TEST(SmsSorting, IndexesAsNumbersOthersAsBytesTiesInReadingOrder) {
    std::vector<MessageRow> rows = {row("10", "01/04/02", 0), row("9", "", 1),
                                    row("100", "01/04/02", 2), row("2", "\xE4", 3)};
    sortRows(rows, 0);
    EXPECT_EQ(indexes(rows), (std::vector<std::string>{"2", "9", "10", "100"}));
    sortRows(rows, 0);
    EXPECT_EQ(indexes(rows), (std::vector<std::string>{"2", "9", "10", "100"}));
    sortRows(rows, 2);
    // Empty first, equal dates in reading order, a byte above 0x7F last.
    EXPECT_EQ(indexes(rows), (std::vector<std::string>{"9", "10", "100", "2"}));
}

TEST(SmsJoining, PartsJoinByNumberReferenceAndCount) {
    const auto part = [](int ref, int p, int n) { return Concatenation{ref, p, n}; };
    const std::vector<MessageRow> rows = {
        row("1", "", 0, part(7, 2, 3), "B"),
        row("2", "", 1),
        row("3", "", 2, part(7, 1, 3), "A"),
        row("4", "", 3, part(7, 1, 3), "A again"),      // the same part twice: the first counts
        row("5", "", 4, part(7, 1, 2), "other count"),  // another message
        row("6", "", 5, part(7, 1, 3), "X", "+4931"),   // another sender
        row("7", "", 6, part(7, 3, 3), "C"),
        row("8", "", 7, part(9, 4, 3), "bad part"),
        row("9", "", 8, part(9, 1, 1), "single"),
    };
    const std::vector<MessageRow> joined = joinedRows(rows);
    EXPECT_EQ(indexes(joined), (std::vector<std::string>{"3", "2", "5", "6", "8", "9"}));
    EXPECT_EQ(joined[0].text, "ABC");
    EXPECT_EQ(joined[2].text, "other count (1/2 parts)");
    EXPECT_EQ(joined[3].text, "X (1/3 parts)");
    EXPECT_EQ(joined[4].text, "HDRbad part");
    EXPECT_EQ(joined[5].text, "HDRsingle");
    // Two of three parts are already a message to show whole; one alone is not.
    const auto two = wholeMessageOf({rows[0], rows[2]}, 0);
    ASSERT_TRUE(two);
    EXPECT_EQ(two->text, "AB (2/3 parts)");
    EXPECT_EQ(std::tuple(two->part, two->count, two->present), std::tuple(2, 3, 2));
    EXPECT_FALSE(wholeMessageOf({rows[0], rows[1]}, 0));
}

TEST(SmsExportText, CleaningAndEscapes) {
    EXPECT_EQ(cleanedText("a,b;c\rd\ne"), "a b c d e");
    MessageRow r;
    r.index = "12345678901";
    r.name = "A&B";
    r.number = "<+49>";
    r.date = "01/04/12 13:45:00";
    r.text = std::string(600, 'x') + ",";
    const std::string csv = csvText({r});
    EXPECT_EQ(csv, "NR,NAME,TELNUM,DATE,TEXT\r\n123456789,A&B,'<+49>,01/04/12 13:45:00," +
                       std::string(511, 'x') + "\r\n");
    const std::string xml = xmlText({r});
    EXPECT_NE(xml.find("<NAME>A&amp;B</NAME>\r\n<TELNUM>&lt;+49></TELNUM>"), std::string::npos);
    EXPECT_EQ(csvText({}), "NR,NAME,TELNUM,DATE,TEXT\r\n");
    EXPECT_EQ(xmlText({}),
              "<?xml version=\"1.0\" encoding=\"ISO-8859-1\" ?>\r\n<SMSLIST>\r\n</SMSLIST>\r\n");
}

TEST(SmsGroupFile, LinesIntoMembers) {
    struct Case {
        const char* situation;
        std::string content;
        std::vector<GroupMember> members;
    };
    const std::vector<Case> cases = {
        {"CR LF lines", "Anna,0301\r\nBob,0302\r\n", {{"Anna", "0301"}, {"Bob", "0302"}}},
        {"a last line without its end keeps its last digit", "Anna,0301", {{"Anna", "0301"}}},
        {"a line without comma is skipped", "no comma\r\nAnna,0301\r\n\r\n", {{"Anna", "0301"}}},
        {"a name with a comma splits at the first",
         "Smith, Anna,0301\n",
         {{"Smith", " Anna,0301"}}},
        {"a quoted name keeps its comma", "\"Smith, Anna\",0301\n", {{"Smith, Anna", "0301"}}},
        {"an open quote is read plainly", "\"Smith, Anna,0301\n", {{"\"Smith", " Anna,0301"}}},
        {"empty fields", ",\n", {{"", ""}}},
        {"empty file", "", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(parseGroupFile(c.content), c.members) << c.situation;
    const std::vector<GroupMember> members = {
        {"Anna", "0301"}, {"Bob", std::string(60, '1')}, {"Smith, \"Al\"", "0303"}};
    EXPECT_EQ(groupFileText({members[0], members[2]}),
              "Anna,0301\r\n\"Smith, \"\"Al\"\"\",0303\r\n");
    EXPECT_EQ(parseGroupFile(groupFileText(members)),
              (std::vector<GroupMember>{
                  {"Anna", "0301"}, {"Bob", std::string(49, '1')}, {"Smith, \"Al\"", "0303"}}));
}

TEST(SmsPredefined, MarkerRule) {
    std::array<std::string, Settings::kPredefinedTexts> texts{};
    texts[2] = "at the station";
    texts[49] = "fifty";
    struct Case {
        const char* text;
        std::optional<std::string> result;
    };
    const std::vector<Case> cases = {
        {"Meet me #3#", "Meet me at the station"},
        {"Meet me #3# tomorrow", "Meet me at the station"},
        {"#50#", "fifty"},
        {"Meet me #51#", std::nullopt},
        {"Meet me #0#", std::nullopt},
        {"Meet me #4#", std::nullopt},  // text 4 is empty
        {"Meet me #3", std::nullopt},
        {"# 3#", "at the station"},
        {"a#x#b#3#", std::nullopt},  // only the first pair counts
        {"no marker", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(insertPredefined(c.text, texts), c.result) << c.text;
}

TEST(SmsPredefined, SaveWritesNonEmptyRowsClearIsForgottenAtRestart) {
    const std::string dir = test::makeTempDir("ptxt");
    IniFile ini(dir + "/Vondrix.ini");
    Settings settings;
    settings.ptxt[2] = "old three";
    ini.writeString(Settings::kSection, "Ptxt2", "old three");
    PredefinedList list(settings);
    list.edit(0, std::string(170, 'a'));
    list.edit(1, "two\r\nPort=3");
    list.clear(2);
    EXPECT_EQ(list.row(0).size(), 160u);
    EXPECT_EQ(settings.ptxt[2], "");  // the marker for text 3 inserts nothing now
    ASSERT_TRUE(list.save(ini));
    Settings restarted;
    restarted.readTextsAndColumns(ini);
    EXPECT_EQ(restarted.ptxt[0], std::string(160, 'a'));
    EXPECT_EQ(restarted.ptxt[1], "two  Port=3");
    EXPECT_EQ(restarted.ptxt[2], "old three");
    EXPECT_EQ(ini.getString(Settings::kSection, "Port", "none"), "none");
}

TEST(SmsTexts, MemoryStatesByLanguage) {
    struct Case {
        Language lang;
        int state;
        const char* text;
    };
    const std::vector<Case> cases = {
        {Language::German, 0, "Platz vorhanden"},
        {Language::Portuguese, 2, "Buffer Cheio, Msg. em Espera"},
        {Language::English, 2, "Buffer full msg. waiting"},
        {Language::English, 7, "7"},
        {Language::German, -1, "-1"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(memoryStateText(c.lang, c.state), c.text);
    EXPECT_EQ(commandModeStateText(Language::Italian, CommandModeState::Checking), "Prüfen");
    EXPECT_EQ(commandModeStateText(Language::French, CommandModeState::Processing),
              "Processing command");
    EXPECT_EQ(listColumnHeaders(Language::German)[3], "Absender");
    EXPECT_EQ(listColumnHeaders(Language::French)[0], "#");
}

TEST(SmsCompose, CountersAndStatusMessages) {
    const PartCounters c = partCounters(200, false);
    EXPECT_EQ(c.typed, 200u);
    EXPECT_EQ(c.left, 120u);
    EXPECT_EQ(c.parts, 2u);
    EXPECT_EQ(partCounters(0, false).parts, 0u);
    EXPECT_EQ(partCounters(140, true).parts, 1u);
    EXPECT_EQ(partCounters(141, true).left, 139u);
    // Counted as sent: "{" is two septets and moves whole into part two.
    const PartCounters braces = partCounters(std::string(159, 'a') + "{b", false);
    EXPECT_EQ(braces.typed, 162u);
    EXPECT_EQ(braces.parts, 2u);
    EXPECT_EQ(braces.left, 157u);
    EXPECT_EQ(partCounters(std::string(139, 'a') + "{", true).left, 0u);
    EXPECT_EQ(statusMessageOf(2), msg::StatusStoredUnsent);
    EXPECT_EQ(statusMessageOf(4), std::nullopt);
}

TEST(SmsPdu, TpduLengthLeavesOutTheServiceCentre) {
    EXPECT_EQ(tpduLength("0791947101670000"
                         "1100"),
              2);
    EXPECT_EQ(tpduLength("00"
                         "110000"),
              3);
    EXPECT_EQ(tpduLength("0181"
                         "11"),
              1);
    EXPECT_EQ(tpduLength("FF"), 0);
    EXPECT_EQ(tpduLength(""), 0);
}

}  // namespace
}  // namespace vondrix::sms
