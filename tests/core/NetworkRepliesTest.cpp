// The network parsers on captured replies, the texts, the cell log line and
// the forwarding request line.

#include <gtest/gtest.h>

#include <chrono>

#include "network/CallServices.h"
#include "network/CellLog.h"
#include "network/Replies.h"
#include "network/Texts.h"

namespace vondrix::network {
namespace {

std::string ok(const std::string& lines) {
    return "\r\n" + lines + "\r\n\r\nOK\r\n";
}

TEST(NetworkReplies, RegistrationWithAndWithoutLocation) {
    struct Case {
        const char* situation;
        std::string reply;
        std::optional<Registration> expected;
    };
    const std::vector<Case> cases = {
        {"Siemens in report mode 0 adds the location", ok("+CREG: 0,1,\"5E25\",\"605F\""),
         Registration{1, 0x5E25u, 0x605Fu}},
        {"report mode 2", ok("+CREG: 2,5,\"00A1\",\"FFFF\""), Registration{5, 0xA1u, 0xFFFFu}},
        {"lower-case digits", ok("+CREG: 2,1,\"5e25\",\"605f\""),
         Registration{1, 0x5E25u, 0x605Fu}},
        {"no location", ok("+CREG: 0,1"), Registration{1, std::nullopt, std::nullopt}},
        {"unquoted location", ok("+CREG: 2,1,5E25,605F"), Registration{1, 0x5E25u, 0x605Fu}},
        {"state outside the table", ok("+CREG: 0,7"), Registration{7, std::nullopt, std::nullopt}},
        {"no comma at all", ok("+CREG: 1"), Registration{}},
        {"location that is no number", ok("+CREG: 2,1,\"\",\"XY\""), Registration{1, {}, {}}},
        {"eight digits at most", ok("+CREG: 2,1,\"123456789A\",\"1\""),
         Registration{1, 0x12345678u, 1u}},
        {"no OK", "\r\n+CREG: 0,1,\"5E25\",\"605F\"\r\n\r\nERROR\r\n", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(parseCregQuery(c.reply), c.expected) << c.situation;
}

TEST(NetworkReplies, OperatorNameAndCode) {
    EXPECT_EQ(parseCopsName(ok("+COPS: 0,0,\"D1-TELEKOM\"")), "D1-TELEKOM");
    EXPECT_EQ(parseCopsName(ok("+COPS: 1,0,\"A, B (C)\"")), "A, B (C)");
    EXPECT_EQ(parseCopsName(ok("+COPS: 0")), std::nullopt);  // not registered
    EXPECT_EQ(parseCopsName("\r\nOK\r\n"), std::nullopt);
    EXPECT_EQ(parseCopsCode(ok("+COPS: 0,2,\"26201\"")), 26201);
    EXPECT_EQ(parseCopsCode(ok("+COPS: 0,2,310026")), 310026);
    EXPECT_EQ(parseCopsCode(ok("+COPS: 0,2,\"D1\"")), std::nullopt);
    EXPECT_EQ(parseCopsCode(ok("+COPS: 0,2,\"1234567\"")), std::nullopt);
    EXPECT_EQ(parseCopsCode(ok("+COPS: 0,2,\"00000\"")), std::nullopt);
    // The main window's text keeps the raw rule: cut at the first high byte.
    EXPECT_EQ(parseCopsText(ok("+COPS: 0,0,\"Caf\xE9\"")), "0,0,\"Caf");
}

TEST(NetworkReplies, ActivityAndCalls) {
    EXPECT_EQ(parseCpas(ok("+CPAS: 4")), 4);
    EXPECT_EQ(parseCpas(ok("+CPAS: x")), std::nullopt);
    EXPECT_EQ(parseCpas("\r\nOK\r\n"), std::nullopt);
    const std::string reply =
        "\r\n+CLCC: 1,1,4,0,0,\"+4930123456\",145\r\n"
        "+CLCC: 2,0,0,1,0\r\n"
        "+CLCC: 3,0,2,9,0,0301,129\r\n"
        "+CLCC: x,0,2,9,0\r\n"
        "\r\nOK\r\n";
    EXPECT_EQ(parseClccList(reply),
              (std::vector<CurrentCall>{
                  {1, 1, 4, 0, "+4930123456"}, {2, 0, 0, 1, ""}, {3, 0, 2, 9, "0301"}}));
}

TEST(NetworkReplies, OperatorNames) {
    const std::string longName(120, 'N');
    const std::string reply =
        "\r\n^SPLM: \"26201\",\"D1-TELEKOM\"\r\n"
        "^SPLM: \"20801\",\"F, ITINERIS (old)\"\r\n"
        "^SPLM: \"\",\"no code\"\r\n"
        "^SPLM: 310026,\"" +
        longName +
        "\"\r\n"
        "^SPLM: \"23201\"\r\n"
        "\r\nOK\r\n";
    const auto names = parseSplmList(reply);
    ASSERT_EQ(names.size(), 4u);
    EXPECT_EQ(names[0], (OperatorName{26201, "D1-TELEKOM"}));
    EXPECT_EQ(names[1], (OperatorName{20801, "F, ITINERIS (old)"}));
    EXPECT_EQ(names[2], (OperatorName{310026, longName.substr(0, kMaxOperatorName)}));
    EXPECT_EQ(names[3], (OperatorName{23201, ""}));
}

TEST(NetworkReplies, PreferredRangeAndPositions) {
    EXPECT_EQ(parseSplrTest(ok("^SPLR: (1-10)"))->last, 10);
    EXPECT_EQ(parseSplrTest(ok("^SPLR: (2-50)"))->first, 2);
    EXPECT_FALSE(parseSplrTest(ok("^SPLR: (1)")));
    EXPECT_FALSE(parseSplrTest("\r\nOK\r\n"));

    struct Case {
        const char* situation;
        std::string reply;
        bool free;
        std::optional<int> code;
    };
    const std::vector<Case> cases = {
        {"free", ok("^SPLR: 3,\"EMPTY\""), true, std::nullopt},
        {"free, unquoted", ok("^SPLR: 3,EMPTY"), true, std::nullopt},
        {"an operator", ok("^SPLR: 1,\"26202\""), false, 26202},
        {"an operator, bare", ok("^SPLR: 1,26202"), false, 26202},
        {"no line", "\r\nOK\r\n", false, std::nullopt},
        {"a code that is none", ok("^SPLR: 1,\"D2\""), false, std::nullopt},
    };
    for (const Case& c : cases) {
        const PreferredRead r = parseSplrRead(c.reply);
        EXPECT_EQ(r.free, c.free) << c.situation;
        EXPECT_EQ(r.code, c.code) << c.situation;
    }
}

TEST(NetworkReplies, SearchResult) {
    struct Case {
        const char* situation;
        std::string reply;
        std::vector<FoundNetwork> found;
    };
    const std::vector<Case> cases = {
        {"as the phone answers",
         ok("+COPS: (2,\"D1-TELEKOM\",,\"26201\"),(1,\"D2 PRIVAT\",,\"26202\"),"
            "(3,\"E-Plus\",,\"26203\"),,(0-4),(0-2)"),
         {{2, 26201, "D1-TELEKOM"}, {1, 26202, "D2 PRIVAT"}, {3, 26203, "E-Plus"}}},
        {"names with commas and parentheses",
         ok("+COPS: (1,\"A, (B)\",,\"23201\"),(0,\"X\",,\"23203\"),,(0-4),(0-2)"),
         {{1, 23201, "A, (B)"}, {0, 23203, "X"}}},
        {"a short name given",
         ok("+COPS: (1,\"Vodafone UK\",\"VODA\",\"23415\"),,(0-4),(0-2)"),
         {{1, 23415, "Vodafone UK"}}},
        {"nothing found", ok("+COPS: ,,(0-4),(0-2)"), {}},
        {"a code of 0 and a group without code",
         ok("+COPS: (1,\"Z\",,\"0\"),(1,\"Y\",,),(1,\"W\",,\"26203\")"),
         {{1, 26203, "W"}}},
        {"no +COPS line", "\r\nOK\r\n", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(parseCopsSearch(c.reply), c.found) << c.situation;
}

TEST(NetworkReplies, ForwardingStatus) {
    struct Case {
        const char* situation;
        std::string reply;
        ForwardingStatus status;
    };
    ForwardingStatus voiceAndFax;
    voiceAndFax[kVoice] = {true, "+4930111", 0};
    voiceAndFax[kFax] = {true, "0302222", 0};
    ForwardingStatus noAnswerAll;
    noAnswerAll[kAll] = {true, "+491713300", 20};
    const std::vector<Case> cases = {
        {"classes 1 and 4 active",
         "\r\n+CCFC: 1,1,\"+4930111\",145\r\n+CCFC: 1,4,\"0302222\",129\r\n\r\nOK\r\n",
         voiceAndFax},
        {"class 16 is ignored", ok("+CCFC: 1,16,\"0301\",129"), {}},
        {"nothing active", ok("+CCFC: 0,7"), {}},
        {"all, with the no-answer time", ok("+CCFC: 1,7,\"+491713300\",145,,,20"), noAnswerAll},
        {"no lines", "\r\nOK\r\n", {}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(parseCcfcQuery(c.reply), c.status) << c.situation;
}

TEST(NetworkReplies, BarringStatus) {
    EXPECT_TRUE(parseClckLock(ok("+CLCK: 1")));
    EXPECT_FALSE(parseClckLock(ok("+CLCK: 0")));
    EXPECT_FALSE(parseClckLock("\r\nOK\r\n"));
    EXPECT_EQ(parseClckClasses(ok("+CLCK: 1,7")), (ClassTicks{false, false, false, true}));
    EXPECT_EQ(parseClckClasses("\r\n+CLCK: 1,1\r\n+CLCK: 1,4\r\n+CLCK: 0,2\r\n\r\nOK\r\n"),
              (ClassTicks{true, false, true, false}));
    EXPECT_EQ(parseClckClasses(ok("+CLCK: 1,16")), ClassTicks{});
    EXPECT_EQ(parseClckClasses(ok("+CLCK: 1")), ClassTicks{});
}

TEST(NetworkTexts, RoamingEverywhereAndNothingReadOutsideTheTables) {
    for (const Language lang :
         {Language::German, Language::English, Language::Spanish, Language::French,
          Language::Italian, Language::Dutch, Language::Norwegian, Language::Portuguese}) {
        EXPECT_EQ(registrationText(lang, 5), "Roaming");
        EXPECT_EQ(registrationText(lang, 6), "6");
        EXPECT_EQ(registrationText(lang, -1), "-1");
        EXPECT_EQ(activityText(lang, 1), "");
        EXPECT_EQ(activityText(lang, 5), "5");
        EXPECT_EQ(callStateText(lang, 6), "6");
        EXPECT_EQ(callModeText(lang, 10), "10");
        EXPECT_FALSE(callModeText(lang, 9).empty());
        EXPECT_EQ(monitorColumnHeader(lang, 5), "");
        EXPECT_EQ(facilityText(lang, 9), "");
        EXPECT_FALSE(facilityText(lang, 8).empty());
        EXPECT_EQ(forwardReasonText(lang, 4), "");
    }
    EXPECT_EQ(registrationText(Language::English, 2), "Not looged in, seeking");
    EXPECT_EQ(registrationText(Language::German, 3), "Einlogversuch vom Netzwerk abgelehnt");
    EXPECT_EQ(registrationText(Language::Portuguese, 0), "Não Ligado, Não Está em Pesquisa");
    EXPECT_EQ(monitorColumnHeader(Language::Dutch, 0), "Nr.");
    EXPECT_EQ(monitorColumnHeader(Language::Norwegian, 3), "Nummer");
    EXPECT_EQ(monitorColumnHeader(Language::Portuguese, 1), "Entrada/Saída");
    EXPECT_EQ(operatorColumnHeader(Language::German, 1), "Name");
    EXPECT_EQ(operatorColumnHeader(Language::Portuguese, 2), "Modo");
    EXPECT_EQ(forwardReasonText(Language::German, 3), "Wenn nicht erreichb.");
    EXPECT_EQ(facilityText(Language::English, 6), "Bar outgoing int. except home country");
}

TEST(NetworkTexts, DecodedValues) {
    const struct {
        const char* situation;
        Language lang;
        std::string (*decode)(Language, std::string_view);
        std::string_view raw;
        std::string_view shown;
    } rows[] = {
        {"home network with its cell", Language::English, registrationSummary,
         "0,1,\"5E25\",\"605F\"", "registered, home network; area 5E25, cell 605F"},
        {"roaming in German", Language::German, registrationSummary, "0,5", "eingebucht, Roaming"},
        {"a state beyond the table", Language::English, registrationSummary, "0,9", "9"},
        {"no state", Language::English, registrationSummary, "1", ""},
        {"automatic selection", Language::English, operatorModeText, "0,0,\"D1-TELEKOM\"",
         "automatic network selection"},
        {"manual selection in German", Language::German, operatorModeText, "1,2,26202",
         "manuelle Netzwahl"},
        {"no mode", Language::English, operatorModeText, "\"D1\"", ""},
    };
    for (const auto& r : rows)
        EXPECT_EQ(r.decode(r.lang, r.raw), r.shown) << r.situation;
    EXPECT_EQ(operatorStatusText(Language::English, 3), "forbidden");
    EXPECT_EQ(operatorStatusText(Language::English, 4), "");
}

TEST(NetworkCellLog, LineFormat) {
    using namespace std::chrono;
    const auto when = sys_days{year{2001} / 12 / 31} + hours{23} + minutes{59} + seconds{58};
    EXPECT_EQ(formatCellLogLine(when, LoggedCell{0x605F, 0x5E25, 26201, 1}, 79, "Logged in"),
              "2001/12/31,23:59:58,'605F,'5E25,26201,-79 dBm,Logged in");
    // Small values keep four digits; larger ones are not cut; the text is Latin-1.
    EXPECT_EQ(formatCellLogLine(when + seconds{2}, LoggedCell{0xA, 0x12345, 310026, 0},
                                std::nullopt, "Não Ligado"),
              "2002/01/01,00:00:00,'000A,'12345,310026,,N\xE3o Ligado");
}

TEST(NetworkForwardingLine, TimeRoundingNumberTypeAndRefusals) {
    struct Case {
        const char* situation;
        ForwardReason reason;
        ForwardMode mode;
        std::string number;
        int time;
        int classValue;
        std::optional<std::string> line;
    };
    const std::vector<Case> cases = {
        {"23 s rounds down to 20", ForwardReason::NoAnswer, ForwardMode::Register, "0301", 23, 1,
         "AT+CCFC=2,3,0301,129,1,,,20"},
        {"30 s stays", ForwardReason::NoAnswer, ForwardMode::Activate, "0301", 30, 4,
         "AT+CCFC=2,1,0301,129,4,,,30"},
        {"4 s is no time", ForwardReason::NoAnswer, ForwardMode::Register, "0301", 4, 1,
         "AT+CCFC=2,3,0301,129,1"},
        {"international", ForwardReason::Always, ForwardMode::Erase, "+4930", 0, 7,
         "AT+CCFC=0,4,+4930,145,7"},
        {"time beyond the control", ForwardReason::NoAnswer, ForwardMode::Register, "0301", 31, 1,
         std::nullopt},
        {"negative time", ForwardReason::NoAnswer, ForwardMode::Register, "0301", -5, 1,
         std::nullopt},
        {"a second command", ForwardReason::Always, ForwardMode::Register, "0301;+CFUN=0", 0, 1,
         std::nullopt},
        {"a blank", ForwardReason::Always, ForwardMode::Register, "030 1", 0, 1, std::nullopt},
        {"49 characters", ForwardReason::Always, ForwardMode::Register, std::string(49, '1'), 0, 1,
         "AT+CCFC=0,3," + std::string(49, '1') + ",129,1"},
        {"50 characters", ForwardReason::Always, ForwardMode::Register, std::string(50, '1'), 0, 1,
         std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(forwardingCommand(c.reason, c.mode, c.number, c.time, c.classValue), c.line)
            << c.situation;
    }
}

TEST(NetworkClasses, TickingRulesAndRequestedClasses) {
    ClassTicks t{};
    tickClass(t, kVoice, true);
    tickClass(t, kFax, true);
    EXPECT_EQ(requestedClasses(t), (std::vector<int>{1, 4}));
    tickClass(t, kAll, true);
    EXPECT_EQ(t, (ClassTicks{false, false, false, true}));
    EXPECT_EQ(requestedClasses(t), (std::vector<int>{7}));
    tickClass(t, kData, true);
    EXPECT_EQ(t, (ClassTicks{false, true, false, false}));
    tickClass(t, kData, false);
    EXPECT_TRUE(requestedClasses(t).empty());
    tickClass(t, 7, true);  // no such box
    EXPECT_EQ(t, ClassTicks{});
    EXPECT_EQ(facilityIndexOf("ao"), 4u);
    EXPECT_EQ(facilityIndexOf("IR"), 8u);
    EXPECT_EQ(facilityIndexOf("AB"), std::nullopt);
    EXPECT_EQ(facilityIndexOf("A"), std::nullopt);
}

}  // namespace
}  // namespace vondrix::network
