// "phonebook read --json" gives the fields of the text output: the JSON
// expected here is built from the text lines of the same phone.

#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "phonesim/PhoneState.h"
#include "support/SimulatedCliTest.h"

namespace vondrix {
namespace {

using PhonebookJsonCliTest = test::SimulatedCliTest;

// The text output's lines under each heading.
std::map<std::string, std::vector<std::string>> sections(const std::string& text) {
    std::map<std::string, std::vector<std::string>> out;
    std::string heading;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (line.starts_with('[')) {
            heading = line;
            out[heading];
        } else {
            out[heading].push_back(line);
        }
    }
    return out;
}

// "location;name;number" lines as JSON objects (names here hold no ';').
std::string entries(const std::vector<std::string>& lines) {
    std::string json;
    for (const std::string& l : lines) {
        const auto a = l.find(';');
        const auto b = l.rfind(';');
        json += std::string(json.empty() ? "" : ",") + "{\"location\":" + l.substr(0, a) +
                ",\"name\":\"" + l.substr(a + 1, b - a - 1) + "\",\"number\":\"" + l.substr(b + 1) +
                "\"}";
    }
    return "[" + json + "]";
}

std::string strings(const std::vector<std::string>& lines) {
    std::string json;
    for (const std::string& l : lines)
        json += std::string(json.empty() ? "" : ",") + "\"" + l + "\"";
    return "[" + json + "]";
}

TEST_F(PhonebookJsonCliTest, JsonHoldsTheFieldsOfTheTextOutput) {
    const auto text = run(phonesim::PhoneState::demo(), {"phonebook", "read"});
    ASSERT_EQ(text.exitCode, 0) << text.err;
    const auto json = run(phonesim::PhoneState::demo(), {"phonebook", "read", "--json"});
    ASSERT_EQ(json.exitCode, 0) << json.err;

    auto s = sections(text.out);
    std::string own;
    for (const std::string& l : s["[Own numbers]"]) {
        const auto semi = l.find(';');
        own += std::string(own.empty() ? "" : ",") + "{\"location\":" + l.substr(0, semi) +
               ",\"number\":\"" + l.substr(semi + 1) + "\"}";
    }
    ASSERT_EQ(s["[Service centre]"].size(), 1u);
    const std::string expected =
        "{\"phonebook\":\"SIM\",\"entries\":" + entries(s["[Phonebook SIM]"]) +
        ",\"redbook\":" + entries(s["[Redbook]"]) +
        ",\"dialledCalls\":" + strings(s["[Dialled calls]"]) +
        ",\"missedCalls\":" + strings(s["[Missed calls]"]) +
        ",\"receivedCalls\":" + strings(s["[Received calls]"]) + ",\"ownNumbers\":[" + own +
        "],\"serviceCentre\":\"" + s["[Service centre]"][0] + "\"}\n";
    EXPECT_EQ(json.out, expected);
}

}  // namespace
}  // namespace vondrix
