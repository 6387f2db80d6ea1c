// The transaction engine over a real pty and a real stream socket, against
// a peer that sends exactly the bytes each case needs.

#include <gtest/gtest.h>

#include <chrono>

#include "link/AtEngine.h"
#include "support/ScriptedPhone.h"

namespace vondrix {
namespace {

using test::ScriptedPhone;
using Kind = ScriptedPhone::Kind;
using namespace std::chrono_literals;

class EngineOverLink : public ::testing::TestWithParam<Kind> {
  protected:
    EngineOverLink() : phone(GetParam()), link(phone.clientLink()), engine(link) {
        engine.setTimeouts(1500ms, 1500ms);
    }
    ScriptedPhone phone;
    PhoneLink link;
    AtEngine engine;
};

struct Case {
    const char* name;
    int (AtEngine::*run)(std::string_view);
    std::string reply;
    int expected;
};

TEST_P(EngineOverLink, FinalResultsOfEachVariant) {
    const std::vector<Case> cases = {
        {"standard ok", &AtEngine::standard, "\r\nOK\r\n", 1},
        {"standard error", &AtEngine::standard, "\r\nERROR\r\n", 0},
        {"standard cme error", &AtEngine::standard, "\r\n+CME ERROR: 10\r\n", 0},
        {"standard cms error", &AtEngine::standard, "\r\n+CMS ERROR: 500\r\n", 0},
        {"dial ok", &AtEngine::dial, "\r\nOK\r\n", 1},
        {"dial error", &AtEngine::dial, "\r\nERROR\r\n", 0},
        {"dial no carrier", &AtEngine::dial, "\r\nNO CARRIER\r\n", 2},
        {"dial no dialtone", &AtEngine::dial, "\r\nNO DIALTONE\r\n", 3},
        {"dial busy", &AtEngine::dial, "\r\nBUSY\r\n", 4},
        {"list ok", &AtEngine::list, "\r\n^SPLM: 1,\"X\"\r\n\r\nOK\r\n", 1},
        {"list error", &AtEngine::list, "\r\nERROR\r\n", 0},
    };
    for (const auto& c : cases) {
        phone.reply(c.reply);
        EXPECT_EQ((engine.*c.run)("AT"), c.expected) << c.name;
        EXPECT_EQ(engine.response(), c.reply) << c.name;
    }
}

TEST_P(EngineOverLink, OkReplyFillsBufferWithExactlyItsBytesAndSendsCr) {
    phone.reply("\r\nOK\r\n");
    ASSERT_EQ(engine.standard("AT"), 1);
    EXPECT_EQ(engine.response(), std::string("\r\nOK\r\n"));
    EXPECT_EQ(phone.lines(), std::vector<std::string>{"AT"});
}

TEST_P(EngineOverLink, DialEndsAtAnExtendedError) {
    // The phone's own refusal ends the dial; it is no silence to wait out.
    phone.reply("\r\n+CME ERROR: 10\r\n");
    EXPECT_EQ(engine.dial("ATD123;"), 0);
    EXPECT_EQ(engine.failure(), AtEngine::Failure::None);
    EXPECT_EQ(engine.reply().final.kind, at::Final::CmeError);
    EXPECT_EQ(engine.reply().final.code, 10);
}

TEST_P(EngineOverLink, StandardStoresNulAsAtAndStillFindsOk) {
    static constexpr char kReply[] = "\r\n+CPBR: 1,\"123\",129,\"A\0B\"\r\n\r\nOK\r\n";
    phone.reply(std::string(kReply, sizeof kReply - 1));
    ASSERT_EQ(engine.standard("AT+CPBR=1"), 1);
    EXPECT_NE(engine.response().find("\"A@B\""), std::string::npos);
}

TEST_P(EngineOverLink, PromptReturnsAtTheDataPrompt) {
    phone.reply("\r\n> ");
    EXPECT_EQ(engine.prompt("AT+CMGS=140"), 1);
    phone.reply("\r\n+CMGS: 7\r\n\r\nOK\r\n");
    EXPECT_EQ(engine.prompt("0011000B91\x1a", true), 1);
    const auto lines = phone.lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "AT+CMGS=140");
    EXPECT_EQ(lines[1], "0011000B91");  // no CR after the raw data
    phone.reply("\r\nERROR\r\n");
    EXPECT_EQ(engine.prompt("AT+CMGW=140"), 0);
}

// Bytes that arrive with the final result but after it (an unsolicited
// line, a late call result) belong to no reply: neither to this one nor to
// the next command's.
TEST_P(EngineOverLink, BytesAfterTheFinalResultBelongToNoReply) {
    phone.reply("\r\nOK\r\n\r\n+CMTI: \"SM\",3\r\nRING\r\n");
    ASSERT_EQ(engine.standard("AT"), 1);
    EXPECT_EQ(engine.response(), "\r\nOK\r\n");
    phone.reply("\r\nOK\r\n\r\nNO CARRIER\r\n");
    ASSERT_EQ(engine.dial("ATD0301;"), AtEngine::kDialOk);
    EXPECT_EQ(engine.response(), "\r\nOK\r\n");
    phone.reply("\r\n+CSQ: 17,99\r\n\r\nOK\r\n");
    ASSERT_EQ(engine.standard("AT+CSQ"), 1);
    EXPECT_EQ(engine.response(), "\r\n+CSQ: 17,99\r\n\r\nOK\r\n");
    EXPECT_EQ(engine.reply().lines, std::vector<std::string>{"+CSQ: 17,99"});
}

TEST_P(EngineOverLink, ReplyInSmallSlowPiecesIsReassembled) {
    std::vector<ScriptedPhone::Piece> pieces;
    const std::string reply = "\r\n+CSQ: 17,99\r\n\r\nOK\r\n";
    for (char c : reply)
        pieces.push_back({std::string(1, c), 5});
    phone.reply(pieces);
    ASSERT_EQ(engine.standard("AT+CSQ"), 1);
    EXPECT_EQ(engine.response(), reply);
}

TEST_P(EngineOverLink, SocketListNeedsTheWholeOkLine) {
    // A listing split right after a line end must not end the transaction.
    phone.reply({{"\r\n+COPS: (2,\"A\",\"A\",\"26201\")\r\n", 0}, {"\r\nOK\r\n", 150}});
    ASSERT_EQ(engine.list("AT+COPS=?"), 1);
    EXPECT_NE(engine.response().find("\r\nOK\r\n"), std::string::npos);
}

TEST_P(EngineOverLink, ReplyThatNeverEndsFailsAfterTheInactivityLimit) {
    phone.reply("\r\n+CSQ: 17,99\r\n");  // no final result, ever
    const auto t0 = std::chrono::steady_clock::now();
    EXPECT_EQ(engine.standard("AT+CSQ"), 0);
    EXPECT_GE(std::chrono::steady_clock::now() - t0, 1400ms);
}

TEST_P(EngineOverLink, LinkDroppedMidReplyFails) {
    phone.reply({{"\r\n+CGMI: SIEM", 0}, {ScriptedPhone::kHangUp, 50}});
    EXPECT_EQ(engine.standard("AT+CGMI"), 0);
    // Later transactions fail at once rather than hang.
    EXPECT_EQ(engine.standard("AT"), 0);
}

TEST_P(EngineOverLink, OversizedReplyNeverOverrunsAndStillSucceeds) {
    std::string big = "\r\n";
    while (big.size() < 30000)
        big += "+CPBR: 1,\"0123456789\",129,\"Name\"\r\n";
    big += "\r\nOK\r\n";
    phone.reply(big);
    ASSERT_EQ(engine.standard("AT+CPBR=1,250"), 1);
    EXPECT_EQ(engine.response().size(), big.size());
}

TEST_P(EngineOverLink, LongCommandIsSentWhole) {
    const std::string cmd = "AT+CMGW=" + std::string(600, '7');
    phone.reply("\r\nOK\r\n");
    ASSERT_EQ(engine.standard(cmd), 1);
    EXPECT_EQ(phone.lines().back(), cmd);
}

INSTANTIATE_TEST_SUITE_P(PtyAndSocket, EngineOverLink, ::testing::Values(Kind::Pty, Kind::Socket),
                         [](const auto& row) {
                             return row.param == Kind::Pty ? std::string("Pty")
                                                           : std::string("Socket");
                         });

TEST(EngineWithoutLink, EveryTransactionFails) {
    PhoneLink none;
    AtEngine engine(none);
    EXPECT_EQ(engine.standard("AT"), 0);
    EXPECT_EQ(engine.dial("ATD1;"), 0);
    EXPECT_EQ(engine.prompt("AT+CMGS=1"), 0);
    EXPECT_EQ(engine.list("AT^SPLM"), 0);
}

TEST(EngineSerial, BlankAfterPromptIsDroppedBeforeTheData) {
    ScriptedPhone phone(Kind::Pty);
    PhoneLink link = phone.clientLink();
    AtEngine engine(link);
    engine.setTimeouts(1500ms, 1500ms);
    phone.reply("\r\n> ");
    ASSERT_EQ(engine.prompt("AT+CMGS=140"), 1);
    EXPECT_EQ(engine.response(), "\r\n>");
    phone.reply("\r\nOK\r\n");
    ASSERT_EQ(engine.prompt("DATA\x1a", true), 1);
    // Left over from the prompt's transaction, so no part of this reply.
    EXPECT_EQ(engine.response(), "\r\nOK\r\n");
}

}  // namespace
}  // namespace vondrix
