// The network subsystem's reply parsers: monitor, operator lists,
// forwarding and barring. Besides not crashing, each keeps to what the
// services and windows rely on.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzSupport.h"
#include "link/Command.h"
#include "link/Parsers.h"
#include "network/CallServices.h"
#include "network/CellLog.h"
#include "network/Replies.h"
#include "network/Texts.h"

namespace {

bool isCode(int code) {
    return code >= 1 && code <= 999999;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vondrix;
    using namespace vondrix::network;
    const std::string reply(reinterpret_cast<const char*>(data), size);
    const bool hasOk = canonicalReply(reply).find("OK\r\n") != std::string::npos;

    // Monitor.
    if (const auto reg = parseCregQuery(reply))
        check(hasOk);
    if (const auto code = parseCopsCode(reply))
        check(isCode(*code));
    if (const auto name = parseCopsName(reply))
        check(isOneLine(*name));
    const auto calls = parseClccList(reply);
    check(calls.size() <= count(reply, "+CLCC:"));
    for (const auto& c : calls)
        check(isOneLine(c.number));
    if (const auto activity = parseCpas(reply))
        (void)activityText(Language::English, *activity);

    // Operator lists: codes are operator codes, names fit the table.
    const auto names = parseSplmList(reply);
    check(names.size() <= count(reply, "^SPLM:"));
    for (const auto& n : names)
        check(isCode(n.code) && n.name.size() <= kMaxOperatorName);
    const auto found = parseCopsSearch(reply);
    check(found.size() <= count(reply, "("));
    for (const auto& f : found)
        check(isCode(f.code) && f.longName.size() <= kMaxOperatorName);
    const PreferredRead read = parseSplrRead(reply);
    check(!(read.free && read.code));
    if (read.code)
        check(isCode(*read.code));
    if (const auto range = parseSplrTest(reply))
        check(reply.find('(') != std::string::npos);

    // Forwarding and barring: only active boxes carry a number or a time.
    for (const auto& s : parseCcfcQuery(reply)) {
        check(s.time >= 0);
        if (!s.active)
            check(s.number.empty() && s.time == 0);
        check(isOneLine(s.number));
    }
    (void)parseClckLock(reply);
    (void)parseClckClasses(reply);

    // The reply's bytes as user values: a request line that is built is safe to send.
    const int value = size >= 2 ? static_cast<int8_t>(data[0]) : 0;
    const std::string number = reply.substr(0, std::min<std::size_t>(reply.size(), 60));
    if (const auto line =
            forwardingCommand(ForwardReason::NoAnswer, ForwardMode::Register, number, value, 1)) {
        check(at::isSafeCommandLine(*line));
        check(line->rfind("AT+CCFC=2,3,", 0) == 0);
    }

    // Texts and log lines for any value.
    (void)registrationText(Language::Portuguese, value);
    (void)callModeText(Language::German, value);
    (void)callStateText(Language::French, value);
    const std::string state = registrationText(Language::English, value);
    const std::string log =
        formatCellLogLine(std::chrono::system_clock::time_point{},
                          LoggedCell{static_cast<unsigned>(value), 0u, 0u, value}, value, state);
    check(isOneLine(log));
    return 0;
}
