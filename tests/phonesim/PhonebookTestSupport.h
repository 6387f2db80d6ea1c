#pragma once

// A simulated phone fed directly, echo off, for the command tests.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "phonesim/Interpreter.h"
#include "phonesim/PhoneState.h"

namespace phonesim::testing {

struct PbPhone {
    PhoneState state;
    Interpreter in{state};

    explicit PbPhone(PhoneState initial = PhoneState::demo()) : state(std::move(initial)) {
        in.exchange("ATE0\r");
    }
    // Sends one command line (CR added) and returns the reply bytes.
    std::string operator()(const std::string& line) { return in.exchange(line + "\r"); }
    // Sends the data after a prompt, ended with Ctrl-Z.
    std::string data(const std::string& bytes) { return in.exchange(bytes + "\x1a"); }
};

inline const std::string kOk = "\r\nOK\r\n";
inline const std::string kPrompt = "\r\n> ";

// One information line and OK.
inline std::string info(const std::string& line) {
    return "\r\n" + line + "\r\n" + kOk;
}

// The error report of a +CME code in error mode `cmee`.
inline std::string cmeError(int cmee, int code) {
    switch (cmee) {
        case 1:
            return "\r\n+CME ERROR: " + std::to_string(code) + "\r\n";
        case 2:
            return "\r\n+CME ERROR: " + errorText(ErrorClass::Cme, code) + "\r\n";
        default:
            return "\r\nERROR\r\n";
    }
}

inline std::string cmsError(int code) {
    return "\r\n+CMS ERROR: " + std::to_string(code) + "\r\n";
}

// `s` written as the state file's text and read back.
inline PhoneState readBack(const PhoneState& s) {
    PhoneState loaded;
    std::string error;
    EXPECT_TRUE(PhoneState::fromText(s.toText(), loaded, &error)) << error;
    return loaded;
}

// The state file's reader refuses each of `lines` under the `section` header.
inline void expectRefused(const std::string& section, const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
        PhoneState out;
        std::string error;
        EXPECT_FALSE(PhoneState::fromText(section + "\n" + line + "\n", out, &error)) << line;
    }
}

// A command line and its reply; a command "data:..." sends prompt data.
struct Exchange {
    std::string command;
    std::string reply;
};

inline void expectExchanges(PbPhone& phone, const std::vector<Exchange>& exchanges) {
    for (const Exchange& e : exchanges) {
        const bool data = e.command.starts_with("data:");
        EXPECT_EQ(data ? phone.data(e.command.substr(5)) : phone(e.command), e.reply) << e.command;
    }
}

}  // namespace phonesim::testing
