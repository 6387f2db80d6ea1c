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

using Status = AtEngine::Status;

struct Case {
    const char* name;
    AtEngine::Result (AtEngine::*run)(std::string_view);
    std::string reply;
    Status status;
    at::Final final;
    int code = -1;
    std::string command = "AT";
    std::string raw = {};  // what the result keeps when not the reply itself
};

TEST_P(EngineOverLink, FinalResultsOfEachVariant) {
    using F = at::Final;
    const auto standard = &AtEngine::standard, dial = &AtEngine::dial, list = &AtEngine::list;
    static constexpr char kNul[] = "\r\n+CPBR: 1,\"123\",129,\"A\0B\"\r\n\r\nOK\r\n";
    std::string big = "\r\n";
    while (big.size() < 30000)
        big += "+CPBR: 1,\"0123456789\",129,\"Name\"\r\n";
    big += "\r\nOK\r\n";
    const std::vector<Case> cases = {
        {"standard ok", standard, "\r\nOK\r\n", Status::Ok, F::Ok},
        {"standard error", standard, "\r\nERROR\r\n", Status::Error, F::Error},
        {"standard cme error", standard, "\r\n+CME ERROR: 10\r\n", Status::Error, F::CmeError, 10},
        {"standard cms error", standard, "\r\n+CMS ERROR: 500\r\n", Status::Error, F::CmsError,
         500},
        {"standard stores a NUL as @ and still finds OK", standard,
         std::string(kNul, sizeof kNul - 1), Status::Ok, F::Ok, -1, "AT",
         "\r\n+CPBR: 1,\"123\",129,\"A@B\"\r\n\r\nOK\r\n"},
        {"long command sent whole", standard, "\r\nOK\r\n", Status::Ok, F::Ok, -1,
         "AT+CMGW=" + std::string(600, '7')},
        {"oversized reply never overruns", standard, big, Status::Ok, F::Ok},
        {"dial ok", dial, "\r\nOK\r\n", Status::Ok, F::Ok},
        {"dial error", dial, "\r\nERROR\r\n", Status::Error, F::Error},
        // The phone's own refusal ends the dial; it is no silence to wait out.
        {"dial cme error", dial, "\r\n+CME ERROR: 10\r\n", Status::Error, F::CmeError, 10},
        {"dial no carrier", dial, "\r\nNO CARRIER\r\n", Status::NoCarrier, F::NoCarrier},
        {"dial no dialtone", dial, "\r\nNO DIALTONE\r\n", Status::NoDialtone, F::NoDialtone},
        {"dial busy", dial, "\r\nBUSY\r\n", Status::Busy, F::Busy},
        {"dial no answer", dial, "\r\nNO ANSWER\r\n", Status::Error, F::NoAnswer},
        {"list ok", list, "\r\n^SPLM: 1,\"X\"\r\n\r\nOK\r\n", Status::Ok, F::Ok},
        {"list error", list, "\r\nERROR\r\n", Status::Error, F::Error},
    };
    std::vector<std::string> sent;
    for (const auto& c : cases) {
        phone.reply(c.reply);
        const AtEngine::Result r = (engine.*c.run)(c.command);
        sent.push_back(c.command);
        EXPECT_EQ(r.status, c.status) << c.name;
        EXPECT_EQ(r.ok(), c.status == Status::Ok) << c.name;
        EXPECT_EQ(r.reply.final.kind, c.final) << c.name;
        EXPECT_EQ(r.reply.final.code, c.code) << c.name;
        EXPECT_EQ(r.raw, c.raw.empty() ? c.reply : c.raw) << c.name;
        EXPECT_EQ(r.failure, AtEngine::Failure::None) << c.name;
        EXPECT_EQ(engine.failure(), AtEngine::Failure::None) << c.name;
    }
    // Each command line went out once, ended by CR.
    EXPECT_EQ(phone.lines(), sent);
}

TEST_P(EngineOverLink, PromptReturnsAtTheDataPrompt) {
    phone.reply("\r\n> ");
    const AtEngine::Result asked = engine.prompt("AT+CMGS=140");
    EXPECT_EQ(asked.status, Status::Prompt);
    EXPECT_TRUE(asked.ok());
    phone.reply("\r\n+CMGS: 7\r\n\r\nOK\r\n");
    const AtEngine::Result sent = engine.prompt("0011000B91\x1a", true);
    EXPECT_EQ(sent.status, Status::Ok);
    EXPECT_EQ(sent.reply.lines, std::vector<std::string>{"+CMGS: 7"});
    const auto lines = phone.lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "AT+CMGS=140");
    EXPECT_EQ(lines[1], "0011000B91");  // no CR after the raw data
    phone.reply("\r\nERROR\r\n");
    EXPECT_EQ(engine.prompt("AT+CMGW=140").status, Status::Error);
}

// Bytes that arrive with the final result but after it (an unsolicited
// line, a late call result) belong to no reply: neither to this one nor to
// the next command's.
TEST_P(EngineOverLink, BytesAfterTheFinalResultBelongToNoReply) {
    phone.reply("\r\nOK\r\n\r\n+CMTI: \"SM\",3\r\nRING\r\n");
    const AtEngine::Result at = engine.standard("AT");
    ASSERT_EQ(at.status, Status::Ok);
    EXPECT_EQ(at.raw, "\r\nOK\r\n");
    phone.reply("\r\nOK\r\n\r\nNO CARRIER\r\n");
    const AtEngine::Result dialled = engine.dial("ATD0301;");
    ASSERT_EQ(dialled.status, Status::Ok);
    EXPECT_EQ(dialled.raw, "\r\nOK\r\n");
    phone.reply("\r\n+CSQ: 17,99\r\n\r\nOK\r\n");
    const AtEngine::Result csq = engine.standard("AT+CSQ");
    ASSERT_EQ(csq.status, Status::Ok);
    EXPECT_EQ(csq.raw, "\r\n+CSQ: 17,99\r\n\r\nOK\r\n");
    EXPECT_EQ(csq.reply.lines, std::vector<std::string>{"+CSQ: 17,99"});
}

TEST_P(EngineOverLink, ReplyInSmallSlowPiecesIsReassembled) {
    std::vector<ScriptedPhone::Piece> pieces;
    const std::string reply = "\r\n+CSQ: 17,99\r\n\r\nOK\r\n";
    for (char c : reply)
        pieces.push_back({std::string(1, c), 5});
    phone.reply(pieces);
    const AtEngine::Result csq = engine.standard("AT+CSQ");
    ASSERT_EQ(csq.status, Status::Ok);
    EXPECT_EQ(csq.raw, reply);
}

TEST_P(EngineOverLink, SocketListNeedsTheWholeOkLine) {
    // A listing split right after a line end must not end the transaction.
    phone.reply({{"\r\n+COPS: (2,\"A\",\"A\",\"26201\")\r\n", 0}, {"\r\nOK\r\n", 150}});
    const AtEngine::Result cops = engine.list("AT+COPS=?");
    ASSERT_EQ(cops.status, Status::Ok);
    EXPECT_EQ(cops.reply.lines, std::vector<std::string>{"+COPS: (2,\"A\",\"A\",\"26201\")"});
}

TEST_P(EngineOverLink, ReplyThatNeverEndsFailsAfterTheInactivityLimit) {
    phone.reply("\r\n+CSQ: 17,99\r\n");  // no final result, ever
    const auto t0 = std::chrono::steady_clock::now();
    const AtEngine::Result csq = engine.standard("AT+CSQ");
    EXPECT_EQ(csq.status, Status::LinkFailed);
    EXPECT_EQ(csq.failure, AtEngine::Failure::NoAnswer);
    // What came is kept, without a final result.
    EXPECT_EQ(csq.reply.final.kind, at::Final::None);
    EXPECT_EQ(csq.reply.lines, std::vector<std::string>{"+CSQ: 17,99"});
    EXPECT_GE(std::chrono::steady_clock::now() - t0, 1400ms);
}

TEST_P(EngineOverLink, LinkDroppedMidReplyFails) {
    phone.reply({{"\r\n+CGMI: SIEM", 0}, {ScriptedPhone::kHangUp, 50}});
    EXPECT_EQ(engine.standard("AT+CGMI").failure, AtEngine::Failure::LinkClosed);
    // Later transactions fail at once rather than hang.
    EXPECT_EQ(engine.standard("AT").status, Status::LinkFailed);
}

INSTANTIATE_TEST_SUITE_P(PtyAndSocket, EngineOverLink, ::testing::Values(Kind::Pty, Kind::Socket),
                         [](const auto& row) {
                             return row.param == Kind::Pty ? std::string("Pty")
                                                           : std::string("Socket");
                         });

TEST(EngineWithoutLink, EveryTransactionFails) {
    PhoneLink none;
    AtEngine engine(none);
    for (const AtEngine::Result& r : {engine.standard("AT"), engine.dial("ATD1;"),
                                      engine.prompt("AT+CMGS=1"), engine.list("AT^SPLM")}) {
        EXPECT_EQ(r.status, Status::LinkFailed);
        EXPECT_FALSE(r);
    }
}

TEST(EngineSerial, BlankAfterPromptIsDroppedBeforeTheData) {
    ScriptedPhone phone(Kind::Pty);
    PhoneLink link = phone.clientLink();
    AtEngine engine(link);
    engine.setTimeouts(1500ms, 1500ms);
    phone.reply("\r\n> ");
    const AtEngine::Result asked = engine.prompt("AT+CMGS=140");
    ASSERT_EQ(asked.status, AtEngine::Status::Prompt);
    EXPECT_EQ(asked.raw, "\r\n>");
    phone.reply("\r\nOK\r\n");
    const AtEngine::Result sent = engine.prompt("DATA\x1a", true);
    ASSERT_EQ(sent.status, AtEngine::Status::Ok);
    // Left over from the prompt's transaction, so no part of this reply.
    EXPECT_EQ(sent.raw, "\r\nOK\r\n");
}

}  // namespace
}  // namespace vondrix
