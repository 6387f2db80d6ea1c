// "pdu decode" and "pdu encode": the message codec on the command line, with
// the codec settings of Vondrix.ini and no phone.

#include <algorithm>
#include <cstdio>
#include <optional>
#include <ostream>

#include "cli/Cli.h"
#include "sms/CodecOptions.h"
#include "sms/Pdu.h"
#include "text/Latin1.h"

namespace vondrix::cli {

namespace {

constexpr const char* kUsage = R"(Usage: vondrix-cli pdu decode [--status N] HEX
       vondrix-cli pdu encode --to NUMBER [--smsc NUMBER] [--report] [--8bit]
                              [--flash] [--days N] [--part K] TEXT

decode  Decodes the PDU line of one "+CMGL:" entry and prints one field a
        line as 'Label: value' (Kind, Number, Date, Discharge, Coding, Text,
        and Part for a part of a concatenated message). --status is the
        entry's stat value: 0/1 received (default 0), 2/3 stored.
        In Text, a backslash, CR, LF and other control characters are written
        as \\, \r, \n and \xHH so that every field stays on its line.
encode  Prints the SUBMIT PDU of each part of TEXT, one a line. TEXT is cut
        into parts of 160 characters (140 with --8bit) as the send dialogs
        do; part k (counted from 1) carries the message reference k-1.
        --to      recipient: digits, optionally with a leading "+"
        --smsc    service-centre number (default: none, field "0181")
        --report  request a status report
        --8bit    8-bit data instead of 7-bit GSM text
        --flash   flash message (class 0)
        --days    validity in days, 1 to 4 (default 4)
        --part    print only part K

SwapD, GSMconv, IntPrefix and TPref are read from the settings file.
Exit status: 0 success, 1 the PDU cannot be decoded, 2 usage error.
)";

int usageError(CliContext& ctx, const std::string& message) {
    ctx.err << "vondrix-cli pdu: " << message << "\n"
            << "Try 'vondrix-cli pdu --help'.\n";
    return kExitUsage;
}

// Words of a subcommand split into options (with their values) and operands.
class Arguments {
  public:
    explicit Arguments(const std::vector<std::string>& args) : args_(args) {}

    // Walks the words; `onOption(name, value-taker)` returns false for an
    // unknown option. Returns an error text, or nothing.
    template <typename OnOption>
    std::optional<std::string> parse(OnOption onOption) {
        bool optionsEnded = false;
        for (i_ = 0; i_ < args_.size(); ++i_) {
            const std::string& a = args_[i_];
            if (optionsEnded || a == "-" || !a.starts_with("-")) {
                operands.push_back(a);
                continue;
            }
            if (a == "--") {
                optionsEnded = true;
                continue;
            }
            std::string name = a;
            inlineValue_.reset();
            if (const auto eq = a.find('='); a.starts_with("--") && eq != std::string::npos) {
                name = a.substr(0, eq);
                inlineValue_ = a.substr(eq + 1);
            }
            missingValue_ = false;
            if (!onOption(name))
                return "unknown option " + name;
            if (missingValue_)
                return name + " needs a value";
        }
        return std::nullopt;
    }

    // The value of the option being parsed ("--x=V" or "--x V").
    std::string value() {
        if (inlineValue_)
            return *inlineValue_;
        if (i_ + 1 < args_.size())
            return args_[++i_];
        missingValue_ = true;
        return {};
    }

    std::vector<std::string> operands;

  private:
    const std::vector<std::string>& args_;
    std::size_t i_ = 0;
    std::optional<std::string> inlineValue_;
    bool missingValue_ = false;
};

// A whole decimal number in [lo, hi], or nothing.
std::optional<int> intInRange(const std::string& text, int lo, int hi) {
    if (text.empty() || text.size() > 4 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    const int v = std::stoi(text);
    if (v < lo || v > hi)
        return std::nullopt;
    return v;
}

// A number the address field can carry: up to 20 digits, optional "+".
bool isPhoneNumber(std::string_view n) {
    if (n.starts_with('+'))
        n.remove_prefix(1);
    return !n.empty() && n.size() <= 20 &&
           std::all_of(n.begin(), n.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string escapeText(const std::string& latin1) {
    std::string out;
    out.reserve(latin1.size());
    for (char ch : latin1) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '\\') {
            out += "\\\\";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c < 0x20 || c == 0x7F) {
            char buf[5];
            std::snprintf(buf, sizeof buf, "\\x%02X", c);
            out += buf;
        } else {
            out.push_back(ch);
        }
    }
    return latin1ToUtf8(out);
}

std::string codingText(int dataCoding) {
    std::string out;
    sms::appendHexOctet(out, static_cast<unsigned>(dataCoding));
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

int runDecode(CliContext& ctx, const std::vector<std::string>& args) {
    Arguments a(args);
    std::optional<int> status = 0;
    std::string statusText;
    const auto error = a.parse([&](const std::string& name) {
        if (name != "--status")
            return false;
        statusText = a.value();
        status = intInRange(statusText, 0, 3);
        return true;
    });
    if (error)
        return usageError(ctx, *error);
    if (!status)
        return usageError(ctx, "--status must be 0, 1, 2 or 3, not '" + statusText + "'");
    if (a.operands.size() != 1)
        return usageError(ctx, "decode needs exactly one PDU (HEX)");
    const std::string& hex = a.operands.front();
    if (hex.empty())
        return usageError(ctx, "the PDU is empty");

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
    line("Number", latin1ToUtf8(m.number));
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
    line("Text", escapeText(m.text));
    return kExitOk;
}

int runEncode(CliContext& ctx, const std::vector<std::string>& args) {
    Arguments a(args);
    sms::SubmitOptions options;
    std::optional<std::string> to;
    std::string smsc, daysText, partText;
    bool daysGiven = false, partGiven = false;
    const auto error = a.parse([&](const std::string& name) {
        if (name == "--to") {
            to = a.value();
        } else if (name == "--smsc") {
            smsc = a.value();
        } else if (name == "--report") {
            options.statusReport = true;
        } else if (name == "--8bit") {
            options.eightBit = true;
        } else if (name == "--flash") {
            options.flash = true;
        } else if (name == "--days") {
            daysText = a.value();
            daysGiven = true;
        } else if (name == "--part") {
            partText = a.value();
            partGiven = true;
        } else {
            return false;
        }
        return true;
    });
    if (error)
        return usageError(ctx, *error);
    if (!to)
        return usageError(ctx, "encode needs --to NUMBER");
    if (!isPhoneNumber(*to))
        return usageError(ctx, "--to must be digits with an optional '+'");
    if (!smsc.empty() && !isPhoneNumber(smsc)) {
        return usageError(ctx, "--smsc must be digits with an optional '+'");
    }
    if (daysGiven) {
        const auto days = intInRange(daysText, 1, 4);
        if (!days)
            return usageError(ctx, "--days must be 1, 2, 3 or 4");
        options.validityDays = *days;
    }
    if (a.operands.size() != 1)
        return usageError(ctx, "encode needs exactly one TEXT");

    const std::string text = utf8ToLatin1(a.operands.front());
    const auto parts = sms::splitIntoParts(text, options.eightBit);
    if (parts.empty())
        return usageError(ctx, "the text is empty");
    std::size_t first = 0, last = parts.size();
    if (partGiven) {
        const auto k = intInRange(partText, 1, static_cast<int>(parts.size()));
        if (!k) {
            return usageError(ctx, "--part must be 1 to " + std::to_string(parts.size()) +
                                       ": the text has " + std::to_string(parts.size()) +
                                       " part(s)");
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

}  // namespace

int runPduCommand(CliContext& ctx, const std::vector<std::string>& args) {
    if (args.empty()) {
        ctx.err << kUsage;
        return kExitUsage;
    }
    const std::string& sub = args.front();
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    const auto optionsEnd = std::find(rest.begin(), rest.end(), "--");
    if (sub == "--help" || std::find(rest.begin(), optionsEnd, "--help") != optionsEnd) {
        ctx.out << kUsage;
        return kExitOk;
    }
    if (sub == "decode")
        return runDecode(ctx, rest);
    if (sub == "encode")
        return runEncode(ctx, rest);
    return usageError(ctx, "unknown subcommand '" + sub + "' (decode or encode)");
}

}  // namespace vondrix::cli
