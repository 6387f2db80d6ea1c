#include "phonesim/Interpreter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace phonesim {
namespace {

// A phone with echo off unless a test wants it, fed directly.
struct Phone {
    PhoneState state;
    Interpreter in{state};

    explicit Phone(bool echo = false) {
        if (!echo) {
            in.exchange("ATE0\r");
        }
    }
    std::string operator()(const std::string& bytes) { return in.exchange(bytes); }
};

const std::string kOk = "\r\nOK\r\n";
const std::string kError = "\r\nERROR\r\n";

std::string info(const std::string& line) {
    return "\r\n" + line + "\r\n" + kOk;
}

TEST(InterpreterEcho, EditingZEchoOnAndOffLineEndsAndSingleBytes) {
    Phone phone;
    EXPECT_EQ(phone("AT+CGMX\bI\r"), info("SIEMENS"));  // backspace edits the line
    // Z restores echo and error mode.
    phone("AT+CMEE=2\r");
    EXPECT_EQ(phone("ATZ\r"), kOk);
    EXPECT_EQ(phone("AT+CMEE?\r"), "AT+CMEE?\r" + info("+CMEE: 0"));
    EXPECT_EQ(phone("AT+XYZ\r"), "AT+XYZ\r" + kError);
    // The line that switches echo off is still echoed: it arrived while echo was on.
    EXPECT_EQ(phone("ATE0\r"), "ATE0\r" + kOk);
    EXPECT_EQ(phone("AT\r"), kOk);
    EXPECT_EQ(phone("ATE1\r"), kOk);
    EXPECT_EQ(phone("at\r"), "at\r" + kOk);
    // LF after CR is neither echoed nor part of the next line.
    EXPECT_EQ(phone("AT\r\nAT+CGMI\r\n"), "AT\r" + kOk + "AT+CGMI\r" + info("SIEMENS"));
    // Echoed byte by byte as they arrive.
    EXPECT_EQ(phone("AT+C"), "AT+C");
    EXPECT_EQ(phone("GMM"), "GMM");
    EXPECT_EQ(phone("\r"), "\r" + info("S35i"));
}

TEST(InterpreterErrors, ReportFollowsCmeeMode) {
    struct Case {
        int cmee;
        std::string command;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {0, "AT+CCLK=1\r", "\r\nERROR\r\n"},
        {1, "AT+CCLK=1\r", "\r\n+CME ERROR: 4\r\n"},
        {2, "AT+CCLK=1\r", "\r\n+CME ERROR: operation not supported\r\n"},
        {0, "AT+CNMI=9,0,0,0\r", "\r\nERROR\r\n"},
        {1, "AT+CNMI=9,0,0,0\r", "\r\n+CMS ERROR: 303\r\n"},
        {2, "AT+CNMI=9,0,0,0\r", "\r\n+CMS ERROR: operation not supported\r\n"},
        {1, "AT+NOSUCH\r", "\r\n+CME ERROR: 100\r\n"},
        {2, "AT+NOSUCH\r", "\r\n+CME ERROR: unknown\r\n"},
    };
    for (const Case& c : cases) {
        Phone phone;
        ASSERT_EQ(phone("AT+CMEE=" + std::to_string(c.cmee) + "\r"), kOk);
        EXPECT_EQ(phone(c.command), c.expected) << "CMEE " << c.cmee << " " << c.command;
    }
}

TEST(InterpreterCommands, ReplyFormats) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"AT", kOk},
        {"at+cgmi", info("SIEMENS")},
        {"AT+CGMM", info("S35i")},
        {"AT+CGMR", info("21")},
        {"AT+CGSN", info("449107284530215")},
        {"AT+CIMI", info("262011234567890")},
        {"AT^SCID", info("^SCID: 89490200001234567890")},
        {"AT+CBC", info("+CBC: 0,80")},
        {"AT+CREG?", info("+CREG: 0,1")},
        {"AT+CSQ", info("+CSQ: 17,99")},
        {"AT^SRTC=?", info("^SRTC: (0-41),(0-4)")},
        {"AT^SRTC?", info("^SRTC: 3,2,0")},
        {"AT^SNFS?", info("^SNFS: 0")},
        {"AT^SNFV?", info("^SNFV: 4")},
        {"AT+CCLK?", info("+CCLK: \"01/01/01,00:00:00\"")},
        {"AT+CSMS=1", info("+CSMS: 1,1,1")},
        {"AT+CNMI?", info("+CNMI: 0,0,0,0,0")},
        {"AT+CMEE=?", info("+CMEE: (0-2)")},
        {"AT+CGMI;+CGMM", "\r\nSIEMENS\r\n\r\nS35i\r\n" + kOk},
    };
    for (const auto& [command, expected] : cases) {
        Phone phone;
        EXPECT_EQ(phone(command + "\r"), expected) << command;
    }
}

TEST(InterpreterCommands, SettingsAreStoredAndReadBack) {
    Phone phone;
    EXPECT_EQ(phone("AT^SRTC=0\r"), kOk);
    EXPECT_EQ(phone("AT^SRTC?\r"), info("^SRTC: 0,2,0"));
    EXPECT_EQ(phone("AT^SRTC=41,4\r"), kOk);
    EXPECT_EQ(phone("AT^SRTC?\r"), info("^SRTC: 41,4,0"));
    EXPECT_EQ(phone("AT^SRTC\r"), kOk);
    EXPECT_EQ(phone("AT^SRTC?\r"), info("^SRTC: 41,4,1"));
    EXPECT_EQ(phone("AT^SRTC\r"), kOk);
    EXPECT_FALSE(phone.state.ringing);
    EXPECT_EQ(phone("AT^SNFS=1\r"), kOk);
    EXPECT_EQ(phone("AT^SNFV=0\r"), kOk);
    EXPECT_EQ(phone("AT^SNFS?;^SNFV?\r"), "\r\n^SNFS: 1\r\n\r\n^SNFV: 0\r\n" + kOk);
    EXPECT_EQ(phone("AT+CCLK=00/06/12,08:17:29\r"), kOk);
    EXPECT_EQ(phone("AT+CCLK?\r"), info("+CCLK: \"00/06/12,08:17:29\""));
    EXPECT_EQ(phone("AT+CCLK=\"04/02/29,23:59:59\"\r"), kOk);
    EXPECT_EQ(phone.state.clock, "04/02/29,23:59:59");
    EXPECT_EQ(phone("AT+CNMI=1,0,0,2\r"), kOk);
    EXPECT_EQ(phone("AT+CNMI?\r"), info("+CNMI: 1,0,0,2,0"));
    EXPECT_EQ(phone("AT+CSMS?\r"), info("+CSMS: 0,1,1,1"));
}

TEST(InterpreterCommands, OutOfRangeAndMalformedArgumentsAreRefused) {
    const std::vector<std::string> bad = {
        "AT^SRTC=42",
        "AT^SRTC=3,5",
        "AT^SRTC=-1",
        "AT^SRTC=",
        "AT^SRTC=\"3\"",
        "AT^SRTC=3,2,1",
        "AT^SNFV=5",
        "AT^SNFS=2",
        "AT+CMEE=3",
        "AT+CSMS=2",
        "AT+CNMI=1,0,0",
        "AT+CNMI=1,4,0,0",
        "AT+CNMI=1,0,0,3",
        "AT+CNMI=1,0,0,0,2",
        "AT+CCLK=01/13/01,00:00:00",
        "AT+CCLK=01/02/29,00:00:00",
        "AT+CCLK=01/01/01,24:00:00",
        "AT+CCLK=01/01/01,00:60:00",
        "AT+CCLK=1/1/1,0:0:0",
        "AT+CCLK=\"01/01/01,00:00:00",
        "ATE2",
        "ATZ1",
        "AT+CGMI?",
        "AT+CREG=3",
    };
    for (const std::string& command : bad) {
        Phone phone;
        const PhoneState before = phone.state;
        EXPECT_EQ(phone(command + "\r"), kError) << command;
        EXPECT_EQ(phone.state.toText(), before.toText()) << command;
    }
}

TEST(InterpreterCommands, SyntaxErrorsUnknownCommandsNonCommandsAndOverlongLines) {
    Phone phone;
    EXPECT_EQ(phone("AT+\r"), kError);
    EXPECT_EQ(phone("AT#X\r"), kError);
    EXPECT_EQ(phone("AT+CGMI X\r"), kError);
    EXPECT_EQ(phone("AT+CXYZ=1\r"), kError);
    // Not a command line: the phone says nothing, like the real one.
    EXPECT_EQ(phone("hello\r"), "");
    EXPECT_EQ(phone("\r"), "");
    // An error stops the line: the command after it is not run.
    EXPECT_EQ(phone("AT^SRTC=99;^SRTC=5\r"), kError);
    EXPECT_EQ(phone.state.ringTone, 3);
    // An overlong line is refused; the next one is read afresh.
    EXPECT_EQ(phone("AT+CGMI" + std::string(Interpreter::kMaxLine, ' ') + "\r"), kError);
    EXPECT_EQ(phone("AT+CGMI\r"), info("SIEMENS"));
}

TEST(InterpreterCommands, SwitchedOffPhoneAnswersNothing) {
    Phone phone(true);
    EXPECT_EQ(phone("AT^SMSO\r"), "AT^SMSO\r" + info("^SMSO: MS OFF"));
    EXPECT_TRUE(phone.state.poweredOff);
    EXPECT_EQ(phone("AT\r"), "");
    const auto events = phone.in.feed("AT+CGMI\r");
    ASSERT_EQ(events.size(), 1u);  // the line is still reported, with no reply
    EXPECT_EQ(events[0].line, "AT+CGMI");
    EXPECT_EQ(events[0].bytes, "");
}

TEST(InterpreterCommands, FailingPrefixesAnswerWithTheCommandsErrorClass) {
    Phone phone;
    phone.state.failing = {"AT+CGMI", "AT+CNMI"};
    phone("AT+CMEE=1\r");
    EXPECT_EQ(phone("at+cgmi\r"), "\r\n+CME ERROR: 3\r\n");
    EXPECT_EQ(phone("AT+CGMM\r"), info("S35i"));
    EXPECT_EQ(phone("AT+CNMI=1,0,0,2\r"), "\r\n+CMS ERROR: 302\r\n");
    EXPECT_EQ(phone.state.cnmi, "0,0,0,0,0");
}

TEST(InterpreterEvents, CarryTheIndexOfTheByteThatCausedThem) {
    PhoneState state;
    Interpreter in(state);
    const auto events = in.feed("AT\r\nAT\r");
    ASSERT_EQ(events.size(), 4u);
    EXPECT_EQ(events[0].kind, Interpreter::Event::Kind::Echo);
    EXPECT_EQ(events[0].bytes, "AT\r");
    EXPECT_EQ(events[0].at, 0u);
    EXPECT_EQ(events[1].kind, Interpreter::Event::Kind::Line);
    EXPECT_EQ(events[1].line, "AT");
    EXPECT_EQ(events[1].at, 2u);
    EXPECT_EQ(events[2].at, 4u);
    EXPECT_EQ(events[3].at, 6u);
}

// A prompted command as later features register them: "AT+TEST=<n>" prompts,
// the data up to Ctrl-Z is answered with its length.
struct PromptPhone : Phone {
    std::vector<std::string> data;
    explicit PromptPhone(bool echo = false) : Phone(echo) {
        in.commands().add(
            "+test",
            [this](Context&, const Command& cmd) {
                if (cmd.form != Command::Form::Set) {
                    return Reply::error(cms::OperationNotSupported);
                }
                return Reply::prompt([this](Context&, const std::string& d) {
                    data.push_back(d);
                    if (d == "FAIL") {
                        return Reply::error(304);
                    }
                    return Reply::ok({"+TEST: " + std::to_string(d.size())});
                });
            },
            ErrorClass::Cms);
    }
};

TEST(InterpreterPrompt, DataUpToCtrlZGoesToTheHandlerEscOrResetCancelsErrorsUseTheCommandsClass) {
    PromptPhone phone;
    EXPECT_EQ(phone("AT+TEST=5\r"), "\r\n> ");
    EXPECT_EQ(phone("0011\r00"), "");
    EXPECT_EQ(phone("\x1a"), info("+TEST: 7"));
    EXPECT_EQ(phone.data, (std::vector<std::string>{"0011\r00"}));
    EXPECT_EQ(phone("AT+CGMI\r"), info("SIEMENS"));  // back in command mode
    // Esc cancels without calling the handler.
    EXPECT_EQ(phone("AT+TEST=5\rABC\x1b"), "\r\n> \r\nOK\r\n");
    EXPECT_EQ(phone.data.size(), 1u);
    EXPECT_EQ(phone("AT\r"), kOk);
    phone("AT+CMEE=1\r");
    EXPECT_EQ(phone("AT+TEST=4\rFAIL\x1a"), "\r\n> \r\n+CMS ERROR: 304\r\n");
    EXPECT_EQ(phone("AT+TEST\r"), "\r\n+CMS ERROR: 303\r\n");
    // Resetting the link leaves data mode without calling the handler.
    phone("AT+TEST=1\rpartial");
    phone.in.resetLink();
    EXPECT_EQ(phone("AT\r"), kOk);
    EXPECT_EQ(phone.data, (std::vector<std::string>{"0011\r00", "FAIL"}));
}

TEST(InterpreterPrompt, EchoesDataAndReportsItAsOneLine) {
    PromptPhone phone(true);
    const auto events = phone.in.feed("AT+TEST=1\rAB\x1a");
    std::string all;
    std::vector<std::string> lines;
    for (const auto& e : events) {
        all += e.bytes;
        if (e.kind == Interpreter::Event::Kind::Line) {
            lines.push_back(e.line);
        }
    }
    EXPECT_EQ(all, "AT+TEST=1\r\r\n> AB" + info("+TEST: 2"));
    EXPECT_EQ(lines, (std::vector<std::string>{"AT+TEST=1", "AB"}));
}

TEST(InterpreterParams, SplitAtCommasOutsideQuotes) {
    Command cmd;
    cmd.args = R"( 1 ,"a,b", ,"")";
    const auto p = cmd.params();
    ASSERT_EQ(p.size(), 4u);
    EXPECT_EQ(p[0].text, "1");
    EXPECT_FALSE(p[0].quoted);
    EXPECT_EQ(p[1].text, "a,b");
    EXPECT_TRUE(p[1].quoted);
    EXPECT_TRUE(p[2].empty());
    EXPECT_FALSE(p[3].empty());
}

}  // namespace
}  // namespace phonesim
