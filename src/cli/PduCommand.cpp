// "pdu decode" and "pdu encode": the message codec on the command line, with
// the codec settings of Vondrix.ini and no phone.

#include <algorithm>
#include <optional>
#include <ostream>

#include "cli/Cli.h"
#include "sms/CodecOptions.h"
#include "sms/Pdu.h"
#include "text/GsmAlphabet.h"
#include "text/Hex.h"
#include "text/Latin1.h"

namespace vondrix::cli {

namespace {

constexpr const char* kHelp =
    R"(decode  Decodes the PDU line of one "+CMGL:" entry and prints one field a
        line as 'Label: value' (Kind, Number, Date, Discharge, Coding, Text,
        and Part for a part of a concatenated message).
        In Text, a backslash, CR, LF and other control characters are written
        as \\, \r, \n and \xHH so that every field stays on its line.
encode  Prints the SUBMIT PDU of each part of TEXT, one a line. TEXT is cut
        into parts of 160 characters (140 with --8bit) as the send dialogs
        do; part k (counted from 1) carries the message reference k-1.

SwapD, GSMconv, IntPrefix and TPref are read from the settings file.
Exit status: 0 success, 1 the PDU cannot be decoded, 2 usage error.
)";

std::string codingText(int dataCoding) {
    std::string out;
    appendHexByte(out, static_cast<unsigned>(dataCoding));
    switch (sms::alphabetOf(dataCoding)) {
        case sms::Alphabet::Gsm7Bit:
            return out + " (7-bit)";
        case sms::Alphabet::EightBit:
            return out + " (8-bit)";
        case sms::Alphabet::Ucs2:
            return out + " (UCS2)";
    }
    return out;
}

int runDecode(Invocation& inv) {
    CliContext& ctx = inv.ctx;
    std::optional<int> status = 0;
    if (const std::string* text = inv.line.value("--status")) {
        status = numberInRange(*text, 0, 3);
        if (!status)
            return inv.usageError("--status must be 0, 1, 2 or 3, not '" + *text + "'");
    }
    if (inv.line.words.size() != 1)
        return inv.usageError("decode needs exactly one PDU (HEX)");
    const std::string& hex = inv.line.words.front();
    if (hex.empty())
        return inv.usageError("the PDU is empty");

    const auto settings = sms::codecSettingsFrom(ctx.settings);
    const sms::DecodedMessage m = sms::decodeListedMessage(*status, hex, settings);
    if (!m.wellFormed || m.lineLength != hex.size()) {
        ctx.err << "vondrix-cli pdu: the PDU cannot be decoded (not hexadecimal, or shorter "
                   "than its fields)\n";
        return kExitFailed;
    }

    const auto line = [&](const char* label, const std::string& utf8) {
        ctx.out << label << ": " << utf8 << '\n';
    };
    switch (m.kind) {
        case sms::MessageKind::Received:
            line("Kind", "received");
            break;
        case sms::MessageKind::StatusReport:
            line("Kind", "status report");
            break;
        case sms::MessageKind::Stored:
            line("Kind", "stored");
            break;
    }
    line("Number", escapedText(m.number));
    if (m.kind != sms::MessageKind::Stored)
        line("Date", m.date);
    if (m.kind == sms::MessageKind::StatusReport) {
        line("Discharge", m.discharge);
        return kExitOk;
    }
    line("Coding", codingText(m.dataCoding));
    if (m.concatenation) {
        const auto& c = *m.concatenation;
        line("Part", std::to_string(c.part) + "/" + std::to_string(c.count) + " (reference " +
                         std::to_string(c.reference) + ")");
    }
    line("Text", escapedText(m.text.substr(m.headerChars)));  // a user data header is no text
    return kExitOk;
}

int runEncode(Invocation& inv) {
    CliContext& ctx = inv.ctx;
    sms::SubmitOptions options;
    options.statusReport = inv.line.has("--report");
    options.eightBit = inv.line.has("--8bit");
    options.flash = inv.line.has("--flash");
    const std::string* to = inv.line.value("--to");
    const std::string smsc = inv.line.value("--smsc") ? *inv.line.value("--smsc") : "";
    if (!to)
        return inv.usageError("encode needs --to NUMBER");
    if (!isAddressValue(*to))
        return inv.usageError("--to must be digits with an optional '+'");
    if (!smsc.empty() && !isAddressValue(smsc))
        return inv.usageError("--smsc must be digits with an optional '+'");
    if (const std::string* daysText = inv.line.value("--days")) {
        const auto days = numberInRange(*daysText, 1, 4);
        if (!days)
            return inv.usageError("--days must be 1, 2, 3 or 4");
        options.validityDays = *days;
    }
    if (inv.line.words.size() != 1)
        return inv.usageError("encode needs exactly one TEXT");

    const std::string text = gsm::utf8ToMessageText(inv.line.words.front(), options.eightBit);
    const auto parts = sms::splitIntoParts(text, options.eightBit);
    if (parts.empty())
        return inv.usageError("the text is empty");
    std::size_t first = 0, last = parts.size();
    if (const std::string* partText = inv.line.value("--part")) {
        const auto k = numberInRange(*partText, 1, static_cast<int>(parts.size()));
        if (!k) {
            return inv.usageError("--part must be 1 to " + std::to_string(parts.size()) +
                                  ": the text has " + std::to_string(parts.size()) + " part(s)");
        }
        first = static_cast<std::size_t>(*k - 1);
        last = first + 1;
    }

    const auto settings = sms::codecSettingsFrom(ctx.settings);
    for (std::size_t k = first; k < last; ++k) {
        sms::SubmitPart part{smsc, *to, parts[k], static_cast<int>(k), options};
        ctx.out << sms::buildSubmitPdu(part, settings) << '\n';
    }
    return kExitOk;
}

int runPduFamily(Invocation& inv) {
    if (inv.line.words.empty()) {
        inv.ctx.err << helpText(inv.entry);
        return kExitUsage;
    }
    return inv.usageError("unknown subcommand '" + inv.line.words.front() + "' (decode or encode)");
}

}  // namespace

std::vector<CommandEntry> pduCommands() {
    return {
        {"pdu",
         "decode or encode a short-message PDU (no phone needed)",
         {},
         kHelp,
         {},
         0,
         99,
         Needs::Nothing,
         false,
         runPduFamily},
        {"pdu decode",
         "",
         {"HEX"},
         kHelp,
         {{"--status", "N", "the entry's stat value: 0/1 received (default 0), 2/3 stored"}},
         0,
         99,
         Needs::Nothing,
         false,
         runDecode},
        {"pdu encode",
         "",
         {"--to NUMBER TEXT"},
         kHelp,
         {{"--to", "NUMBER", "recipient: digits, optionally with a leading \"+\""},
          {"--smsc", "NUMBER", "service-centre number (default: none, field \"0181\")"},
          {"--report", "", "request a status report"},
          {"--8bit", "", "8-bit data instead of 7-bit GSM text"},
          {"--flash", "", "flash message (class 0)"},
          {"--days", "N", "validity in days, 1 to 4 (default 4)"},
          {"--part", "K", "print only part K"}},
         0,
         99,
         Needs::Nothing,
         false,
         runEncode},
    };
}

}  // namespace vondrix::cli
