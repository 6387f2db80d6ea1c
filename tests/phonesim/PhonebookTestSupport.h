#pragma once

// A simulated phone fed directly, echo off, for the phonebook tests.

#include <string>

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
};

inline const std::string kOk = "\r\nOK\r\n";

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

}  // namespace phonesim::testing
