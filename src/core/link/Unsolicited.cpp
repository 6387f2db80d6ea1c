#include "link/Unsolicited.h"

#include <algorithm>
#include <array>

namespace vondrix::at {
namespace {

// The codes of GSM 07.07 and 07.05 a phone sends unasked: calls, message
// and report arrival, cell broadcasts, registration, supplementary services.
constexpr std::array<std::string_view, 14> kUnsolicited = {
    "+CRING", "+CLIP", "+CCWA", "+CMTI",  "+CDSI", "+CBMI", "+CMT",
    "+CDS",   "+CBM",  "+CREG", "+CGREG", "+CSSI", "+CSSU", "+CUSD",
};

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

bool isUpperAlnum(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

// What follows the colon of `line`, blanks skipped.
std::string_view fieldsOf(std::string_view line) {
    const auto colon = line.find(':');
    return trimmed(line.substr(colon == std::string_view::npos ? line.size() : colon + 1));
}

// The registration query answers "<n>,<stat>[,<lac>,<ci>]"; the code the
// phone sends unasked lacks <n>: "<stat>[,<lac>,<ci>]" (its second field is
// quoted or missing).
bool isRegistrationCode(std::string_view line) {
    const std::string_view fields = fieldsOf(line);
    const auto comma = fields.find(',');
    if (comma == std::string_view::npos)
        return true;
    const std::string_view second = trimmed(fields.substr(comma + 1));
    return second.empty() || second.front() < '0' || second.front() > '9';
}

}  // namespace

std::string_view answerPrefix(std::string_view command) {
    if (command.size() < 4 || (command[0] != 'A' && command[0] != 'a') ||
        (command[1] != 'T' && command[1] != 't') || (command[2] != '+' && command[2] != '^'))
        return {};
    std::size_t end = 3;
    while (end < command.size() && isUpperAlnum(command[end]))
        ++end;
    return command.substr(2, end - 2);
}

std::string_view linePrefix(std::string_view line) {
    if (line.empty() || (line.front() != '+' && line.front() != '^'))
        return {};
    std::size_t end = 1;
    while (end < line.size() && isUpperAlnum(line[end]))
        ++end;
    if (end == 1 || end >= line.size() || line[end] != ':')
        return {};
    return line.substr(0, end);
}

int unsolicitedLines(std::string_view line, std::string_view command, Ends ends) {
    line = trimmed(line);
    if (line == "RING" || (line == "NO CARRIER" && ends != Ends::Dial))
        return 1;
    const std::string_view prefix = linePrefix(line);
    if (prefix.empty())
        return 0;
    const std::string_view own = answerPrefix(command);
    if (prefix == own)
        return (prefix == "+CREG" || prefix == "+CGREG") && isRegistrationCode(line) ? 1 : 0;
    // The maker's own indications (^SMGO overflow, ^SCKS card, ^SBC
    // battery, ...) answer an extended command only with its own prefix;
    // between commands (no command) nothing is an answer at all.
    if ((!own.empty() || command.empty()) && prefix.size() > 2 && prefix[0] == '^' &&
        prefix[1] == 'S')
        return 1;
    if (std::find(kUnsolicited.begin(), kUnsolicited.end(), prefix) == kUnsolicited.end())
        return 0;
    // Routed messages and broadcasts carry their PDU (or text) on the next
    // line; a status report does so in PDU mode, where its header is its length.
    if (prefix == "+CMT" || prefix == "+CBM")
        return 2;
    if (prefix == "+CDS") {
        const std::string_view fields = fieldsOf(line);
        const bool length =
            !fields.empty() &&
            std::all_of(fields.begin(), fields.end(), [](char c) { return c >= '0' && c <= '9'; });
        return length ? 2 : 1;
    }
    return 1;
}

Sorted setAsideUnsolicited(std::string_view raw, std::string_view command, Ends ends) {
    Sorted out;
    out.reply.reserve(raw.size());
    bool inQuotes = false;
    bool blankBefore = false;  // the line kept last was blank, starting at blankAt
    std::size_t blankAt = 0;
    bool pduToCome = false;  // the next line is the PDU of a code set aside
    std::size_t pos = 0;
    while (pos < raw.size()) {
        const auto lf = raw.find('\n', pos);
        const std::size_t next = lf == std::string_view::npos ? raw.size() : lf + 1;
        const std::string_view piece = raw.substr(pos, next - pos);
        const bool continued = inQuotes;  // a line feed inside a quoted name
        inQuotes ^= (std::count(piece.begin(), piece.end(), '"') % 2) != 0;
        pos = next;
        const std::string_view line = trimmed(piece.substr(0, piece.find('\n')));
        const bool whole = lf != std::string_view::npos;
        if (line.empty()) {
            blankBefore = true;
            blankAt = out.reply.size();
            out.reply += piece;
            continue;
        }
        int lines = 0;
        if (whole && !continued)
            lines = pduToCome ? 1 : unsolicitedLines(line, command, ends);
        if (lines == 0) {
            pduToCome = false;
            blankBefore = false;
            out.reply += piece;
            continue;
        }
        if (pduToCome)
            out.unsolicited.back() += "\n" + std::string(line);
        else
            out.unsolicited.emplace_back(line);
        pduToCome = !pduToCome && lines == 2;
        if (blankBefore)
            out.reply.resize(blankAt);
        blankBefore = false;
    }
    return out;
}

}  // namespace vondrix::at
