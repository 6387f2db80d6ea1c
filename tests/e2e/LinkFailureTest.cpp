// A phone that stops answering, drops the link or talks nonsense in the
// middle of an operation: the operation ends, says so once, keeps nothing
// partial, and later replies never answer the wrong command.

#include <gtest/gtest.h>

#include "link/LinkOperation.h"
#include "phonebook/PhonebookWriter.h"
#include "support/PhonebookRig.h"

namespace vondrix::phonebook {
namespace {

using namespace std::chrono_literals;
using test::ScriptedPhone;
using Lines = std::vector<std::string>;
using Clock = std::chrono::steady_clock;

const std::string kOk = "\r\nOK\r\n";
const std::string kError = "\r\nERROR\r\n";

std::string entryReply(int location, const std::string& number, const std::string& name) {
    return "\r\n+CPBR: " + std::to_string(location) + ",\"" + number + "\",129,\"" + name +
           "\"\r\n" + kOk;
}

struct Rig : test::ScriptedPhonebookRig {
    static constexpr std::chrono::milliseconds kLimit{700};
    explicit Rig(ScriptedPhone::Kind kind = ScriptedPhone::Kind::Pty)
        : ScriptedPhonebookRig(kLimit, kind) {
        engine.setOverallExtra(1000ms);
    }
};

struct BreakCase {
    const char* name;
    std::vector<ScriptedPhone::Piece> third;  // what the phone does for location 3
    int message;
};

// A read of five locations whose third goes wrong: the read fails within
// about two limits, asks for nothing more, reports once and keeps nothing.
TEST(LinkFailure, ReadBrokenOffAtTheThirdLocation) {
    const BreakCase cases[] = {
        {"silent phone", {}, msg::PhoneNotAnswering},
        {"link closed", {{ScriptedPhone::kHangUp, 0}}, msg::LinkLost},
        {"garbage, then silence", {{"\x7f\x01garbage without any end", 0}}, msg::PhoneNotAnswering},
        {"reply cut off", {{"\r\n+CPBR: 3,\"0303\",129,\"Ca", 0}}, msg::PhoneNotAnswering},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig;
        rig.model.current.entries = {PhonebookEntry{9, "0999", 129, "Old"}};
        rig.model.current.complete = true;
        rig.phone.reply("\r\n+CPBR: (1-5),20,14\r\n" + kOk);
        rig.phone.reply(entryReply(1, "0301", "Ann"));
        rig.phone.reply(entryReply(2, "0302", "Bob"));
        rig.phone.reply(c.third);
        const auto t0 = Clock::now();
        EXPECT_FALSE(rig.reader.readCurrent());
        EXPECT_LT(Clock::now() - t0, 2 * Rig::kLimit + 500ms);
        EXPECT_EQ(rig.phone.lines(), (Lines{"AT+CPBR=?", "AT+CPBR=1", "AT+CPBR=2", "AT+CPBR=3"}));
        EXPECT_TRUE(rig.model.current.entries.empty());
        EXPECT_TRUE(rig.model.current.rows.empty());
        EXPECT_FALSE(rig.model.current.complete);
        EXPECT_EQ(rig.reporter.ids(), std::vector<int>{c.message});
    }
}

TEST(LinkFailure, RefusedLocationIsStillSkippedAndTheReadCompletes) {
    Rig rig;
    rig.phone.reply("\r\n+CPBR: (1-3),20,14\r\n" + kOk);
    rig.phone.reply(entryReply(1, "0301", "Ann"));
    rig.phone.reply("\r\n+CME ERROR: 21\r\n");
    rig.phone.reply(kOk);
    EXPECT_TRUE(rig.reader.readCurrent());
    EXPECT_TRUE(rig.model.current.complete);
    EXPECT_EQ(rig.model.current.entries.size(), 1u);
    EXPECT_EQ(rig.model.current.freeLocations, std::vector<int>{3});
    EXPECT_TRUE(rig.reporter.ids().empty());
}

// The third location's reply arrives after the limit. It must not be taken
// for any later command's answer: neither the rest of the read nor a
// deletion that follows.
TEST(LinkFailure, LateReplyAnswersNoLaterCommand) {
    Rig rig;
    rig.phone.reply("\r\n+CPBR: (1-6),20,14\r\n" + kOk);
    rig.phone.reply(entryReply(1, "0301", "Ann"));
    rig.phone.reply(entryReply(2, "0302", "Bob"));
    rig.phone.reply({{entryReply(3, "0303", "Cid"), 1000}});
    EXPECT_FALSE(rig.reader.readCurrent());
    EXPECT_TRUE(rig.model.current.rows.empty());

    // The phone refuses the deletion; the late "OK" of location 3 must not
    // make it look done.
    rig.phone.reply(kError);
    EXPECT_EQ(rig.writer.empty(6), PhonebookWriter::WriteResult::Failed);
    EXPECT_EQ(rig.phone.lines().back(), "AT+CPBW=6");
    rig.phone.reply(kOk);
    EXPECT_EQ(rig.writer.empty(5), PhonebookWriter::WriteResult::Ok);
    EXPECT_EQ(rig.phone.lines().back(), "AT+CPBW=5");
}

TEST(LinkFailure, ByteDripEndsWithinTheOverallLimit) {
    for (auto kind : {ScriptedPhone::Kind::Pty, ScriptedPhone::Kind::Socket}) {
        Rig rig(kind);
        std::vector<ScriptedPhone::Piece> drip;
        for (int i = 0; i < 9; ++i)
            drip.push_back({"x", 300});  // always inside the inactivity limit
        rig.phone.reply(drip);
        const auto t0 = Clock::now();
        EXPECT_EQ(rig.engine.standard("AT+CSQ").failure, AtEngine::Failure::NoAnswer);
        const auto took = Clock::now() - t0;
        EXPECT_GE(took, Rig::kLimit + 900ms);
        EXPECT_LT(took, Rig::kLimit + 2000ms);
        EXPECT_EQ(rig.engine.failure(), AtEngine::Failure::NoAnswer);
    }
}

TEST(LinkFailure, OperationStopsSendingAfterTheFirstFailureAndReportsOnce) {
    Rig rig;
    {
        LinkOperation operation(rig.engine, rig.reporter);
        rig.phone.reply(std::vector<ScriptedPhone::Piece>{});  // no answer at all
        EXPECT_EQ(rig.engine.standard("AT+CGMI").status, AtEngine::Status::LinkFailed);
        EXPECT_TRUE(operation.failed());
        // Not sent: they carry the operation's failure.
        EXPECT_EQ(rig.engine.standard("AT+CGMM").failure, AtEngine::Failure::NoAnswer);
        EXPECT_EQ(rig.engine.standard("AT+CGMR").status, AtEngine::Status::LinkFailed);
        EXPECT_TRUE(rig.reporter.ids().empty());  // only when the operation ends
    }
    EXPECT_EQ(rig.phone.lines(), Lines{"AT+CGMI"});
    EXPECT_EQ(rig.reporter.ids(), std::vector<int>{msg::PhoneNotAnswering});
    // The next operation tries the phone again.
    rig.phone.reply(kOk);
    EXPECT_TRUE(rig.engine.standard("AT"));
    EXPECT_EQ(rig.engine.failure(), AtEngine::Failure::None);
}

// A write answered after the limit: its late answer is the truth, even when
// it comes after the line fell quiet; only a write never answered is
// checked by reading the location back.
TEST(LinkFailure, WriteAnsweredLateReportsTheTruth) {
    using WriteResult = PhonebookWriter::WriteResult;
    const struct {
        const char* name;
        std::vector<ScriptedPhone::Piece> write;
        const char* held;  // the read-back's name
        WriteResult result;
    } cases[] = {
        {"late OK after the line fell quiet", {{kOk, 1700}}, "Old", WriteResult::Ok},
        {"late refusal", {{kError, 1700}}, "Dee", WriteResult::Failed},
        {"never answered, done", {}, "Dee", WriteResult::Ok},
        {"never answered, not done", {}, "Old", WriteResult::Failed},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::ScriptedPhonebookRig rig(1000ms);
        rig.phone.reply(c.write);
        rig.phone.reply(entryReply(4, "0304", c.held));
        EXPECT_EQ(rig.writer.store(4, "0304", 129, "Dee"), c.result);
        const bool late = !c.write.empty();
        // Only the write never answered is read back.
        Lines sent = {"AT+CPBW=4,0304,129,\"Dee\""};
        if (!late)
            sent.push_back("AT+CPBR=4");
        EXPECT_EQ(rig.phone.lines(), sent);
        EXPECT_EQ(rig.engine.lateAnswers(), late ? 1u : 0u);
        EXPECT_TRUE(rig.reporter.ids().empty());
    }
}

// A reply the phone sends twice, an OK too many, a record or an echo of
// another command: the answers are out of step with the commands, so the
// read fails as on a link failure and keeps nothing.
TEST(LinkFailure, StrayReplyNeverAnswersALaterCommand) {
    using Pieces = std::vector<ScriptedPhone::Piece>;
    const std::string second = entryReply(2, "0302", "Bob");
    const std::string third = entryReply(3, "0303", "Cid");
    const struct {
        const char* name;
        Pieces second, third;
    } cases[] = {
        {"reply repeated 50 ms later", {{second, 0}, {second, 50}}, {{third, 0}}},
        {"an extra OK", {{second, 0}, {kOk, 50}}, {{third, 0}}},
        {"an extra OK at once", {{second + kOk, 0}}, {{third, 0}}},
        {"the record of another location", {{second, 0}}, {{second, 0}}},
        {"the echo of another command", {{second, 0}}, {{"AT+CPBR=2\r" + third, 0}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Rig rig;
        rig.phone.reply("\r\n+CPBR: (1-5),20,14\r\n" + kOk);
        rig.phone.reply(entryReply(1, "0301", "Ann"));
        rig.phone.reply(c.second);
        rig.phone.reply(c.third);
        for (int i = 4; i <= 5; ++i)
            rig.phone.reply(entryReply(i, "030" + std::to_string(i), "Eve"));
        EXPECT_FALSE(rig.reader.readCurrent());
        EXPECT_TRUE(rig.model.current.rows.empty());
        EXPECT_FALSE(rig.model.current.complete);
        EXPECT_EQ(rig.reporter.ids(), std::vector<int>{msg::RepliesOutOfStep});
        EXPECT_LE(rig.phone.lines().size(), 5u);  // never past the location that showed it
    }
}

TEST(LinkFailure, InjectionNeverReachesThePhone) {
    const std::pair<const char*, const char*> inputs[] = {
        {"0301111;+CPBW=1", "X"}, {"0301111;+CPBW=3;+CPBW=4,9", "X"},
        {"0301,999", "X"},        {"0301\rATZ", "X"},
        {"0301\rATD0900", "A"},   {"0301", "A\nB"},
        {"0301", "A\"B"},         {"0301", "A\x1A"},
        {"0301", "A\x1B"},
    };
    for (const auto& [number, name] : inputs) {
        Rig rig;
        EXPECT_EQ(rig.writer.store(1, number, 129, name), PhonebookWriter::WriteResult::Refused)
            << number << " / " << name;
        EXPECT_TRUE(rig.phone.lines().empty());
        EXPECT_EQ(rig.reporter.ids(), std::vector<int>{msg::ValueRefused});
    }
}

TEST(LinkFailure, OverlongValuesAreRefusedBeforeSending) {
    Rig rig;
    rig.model.current.range = Range{1, 250, 20, 14};
    const std::string huge(10 * 1024 * 1024, '1');
    EXPECT_EQ(rig.writer.store(1, huge, 129, "A"), PhonebookWriter::WriteResult::Failed);
    EXPECT_EQ(rig.writer.store(1, "0301", 129, std::string(15, 'n')),
              PhonebookWriter::WriteResult::Failed);
    EXPECT_TRUE(rig.phone.lines().empty());
    // The engine itself refuses a line no phone takes.
    EXPECT_EQ(rig.engine.standard("AT+CPBR=1;+CPBW=1").status, AtEngine::Status::Refused);
    EXPECT_EQ(rig.engine.standard("AT" + std::string(AtEngine::kMaxCommandLine, '1')).status,
              AtEngine::Status::Refused);
    EXPECT_TRUE(rig.phone.lines().empty());
}

}  // namespace
}  // namespace vondrix::phonebook
