#include "phonesim/PhoneState.h"

#include <filesystem>
#include <fstream>
#include <sstream>

#include "phonesim/Commands.h"
#include "phonesim/StateFormat.h"

namespace phonesim {

namespace {

bool isValidClockText(std::string_view text) {
    return isValidClock(text);
}

// "<mode>,<mt>,<bm>,<ds>[,<bfr>]" as AT+CNMI? reports it.
bool isValidCnmi(std::string_view text) {
    std::size_t count = 0;
    while (true) {
        const std::size_t comma = text.find(',');
        if (!parseNumber(text.substr(0, comma))) {
            return false;
        }
        ++count;
        if (comma == std::string_view::npos) {
            break;
        }
        text.remove_prefix(comma + 1);
    }
    return count == 4 || count == 5;
}

// A "prefix = AT..." list of commands: [failing] and [silent].
StateSection prefixSection(const char* name, const char* comment,
                           std::set<std::string> PhoneState::*member) {
    StateSection section;
    section.name = name;
    section.comment = comment;
    section.write = [member](const PhoneState& s, KeyValues& out) {
        for (const std::string& prefix : s.*member) {
            out.emplace_back("prefix", prefix);
        }
    };
    section.read = [member](PhoneState& s, const std::string& key, const std::string& value,
                            std::string& error) {
        if (key != "prefix") {
            error = "unknown key '" + key + "'";
            return false;
        }
        if (value.empty()) {
            error = "empty prefix";
            return false;
        }
        (s.*member).insert(value);
        return true;
    };
    return section;
}

std::vector<StateSection> makeSections() {
    std::vector<StateSection> sections;
    sections.push_back(fieldSection(
        "identity", "AT+CGMI, AT+CGMM, AT+CGMR, AT+CGSN, AT+CIMI, AT^SCID",
        {field("manufacturer", &PhoneState::manufacturer), field("model", &PhoneState::model),
         field("revision", &PhoneState::revision), field("imei", &PhoneState::imei),
         field("imsi", &PhoneState::imsi), field("simSerial", &PhoneState::simSerial)}));
    sections.push_back(fieldSection(
        "power", "AT+CBC; poweredOff is set by AT^SMSO (the phone then answers nothing)",
        {field("batteryStatus", &PhoneState::batteryStatus),
         field("batteryCharge", &PhoneState::batteryCharge),
         field("poweredOff", &PhoneState::poweredOff)}));
    sections.push_back(fieldSection(
        "network", "AT+CREG?, AT+CSQ, AT+COPS? (an empty operatorName: not registered)",
        {field("regMode", &PhoneState::regMode), field("regStatus", &PhoneState::regStatus),
         field("rssi", &PhoneState::rssi), field("ber", &PhoneState::ber),
         field("operatorName", &PhoneState::operatorName), field("copsMode", &PhoneState::copsMode),
         field("copsFormat", &PhoneState::copsFormat)}));
    sections.push_back(fieldSection(
        "audio", "AT^SRTC (ring tone, volume, playing), AT^SNFS (hands-free), AT^SNFV",
        {field("ringToneMin", &PhoneState::ringToneMin),
         field("ringToneMax", &PhoneState::ringToneMax),
         field("ringVolumeMin", &PhoneState::ringVolumeMin),
         field("ringVolumeMax", &PhoneState::ringVolumeMax),
         field("ringTone", &PhoneState::ringTone), field("ringVolume", &PhoneState::ringVolume),
         field("ringing", &PhoneState::ringing), field("handsFree", &PhoneState::handsFree),
         field("speakerVolume", &PhoneState::speakerVolume)}));
    sections.push_back(fieldSection("clock", "AT+CCLK, as yy/MM/dd,hh:mm:ss",
                                    {field("clock", &PhoneState::clock, isValidClockText)}));
    sections.push_back(
        fieldSection("sms", "AT+CSMS service, AT+CNMI settings, AT+CSCA service centre address",
                     {field("smsService", &PhoneState::smsService),
                      field("cnmi", &PhoneState::cnmi, isValidCnmi),
                      field("serviceCentre", &PhoneState::serviceCentre),
                      field("serviceCentreType", &PhoneState::serviceCentreType)}));
    for (StateSection& section : smsSections()) {
        sections.push_back(std::move(section));
    }
    for (StateSection& section : phonebookSections()) {
        sections.push_back(std::move(section));
    }
    sections.push_back(organizerSection());
    for (StateSection& section : networkSections()) {
        sections.push_back(std::move(section));
    }
    sections.push_back(objectStoreSection());
    sections.push_back(prefixSection(
        "failing",
        "Commands the phone refuses with an error: one \"prefix = AT...\" line each,\n"
        "matched case-insensitively against the start of the command line.",
        &PhoneState::failing));
    sections.push_back(prefixSection(
        "silent",
        "Commands the phone takes without any answer (a phone that stops answering),\n"
        "given as in [failing].",
        &PhoneState::silent));
    return sections;
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) {
        s.remove_prefix(1);
    }
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) {
        s.remove_suffix(1);
    }
    return s;
}

}  // namespace

const std::vector<StateSection>& stateSections() {
    static const std::vector<StateSection> sections = makeSections();
    return sections;
}

PhoneState PhoneState::demo() {
    // The defaults of the members are the demo phone, but for the contents of
    // the phonebooks, which a state file lists in full.
    PhoneState s;
    addDemoPhonebooks(s);
    addDemoOrganizer(s.organizer);
    addDemoNetwork(s);
    addDemoMessages(s);
    addDemoObjects(s);
    return s;
}

std::string PhoneState::toText() const {
    std::string out =
        "# Contents of the simulated phone (vondrix-phonesim --state FILE).\n"
        "# \"key = value\" lines under \"[section]\" headers; lines starting with \"#\"\n"
        "# are comments. A value in double quotes may use \\\" \\\\ \\n \\r \\t \\xHH.\n";
    for (const StateSection& section : stateSections()) {
        out += '\n';
        std::istringstream comment(section.comment);
        for (std::string line; std::getline(comment, line);) {
            out += "# " + line + "\n";
        }
        out += "[" + section.name + "]\n";
        KeyValues lines;
        section.write(*this, lines);
        for (const auto& [key, value] : lines) {
            out += key + " = " + encodeValue(value) + "\n";
        }
    }
    return out;
}

bool PhoneState::fromText(const std::string& text, PhoneState& out, std::string* error) {
    const auto fail = [error](int lineNo, const std::string& message) {
        if (error != nullptr) {
            *error = "line " + std::to_string(lineNo) + ": " + message;
        }
        return false;
    };
    PhoneState s;
    const StateSection* section = nullptr;
    std::istringstream in(text);
    int lineNo = 0;
    for (std::string raw; std::getline(in, raw);) {
        ++lineNo;
        const std::string_view line = trimmed(raw);
        if (line.empty() || line.front() == '#') {
            continue;
        }
        if (line.front() == '[') {
            if (line.back() != ']') {
                return fail(lineNo, "bad section header");
            }
            const std::string_view name = trimmed(line.substr(1, line.size() - 2));
            section = nullptr;
            for (const StateSection& candidate : stateSections()) {
                if (candidate.name == name) {
                    section = &candidate;
                }
            }
            if (section == nullptr) {
                return fail(lineNo, "unknown section [" + std::string(name) + "]");
            }
            continue;
        }
        const std::size_t eq = line.find('=');
        if (eq == std::string_view::npos) {
            return fail(lineNo, "expected \"key = value\"");
        }
        const std::string key(trimmed(line.substr(0, eq)));
        if (section == nullptr) {
            return fail(lineNo, "'" + key + "' outside any [section]");
        }
        const auto value = decodeValue(trimmed(line.substr(eq + 1)));
        if (!value) {
            return fail(lineNo, "bad quoted value for '" + key + "'");
        }
        std::string message;
        if (!section->read(s, key, *value, message)) {
            return fail(lineNo, message + " in [" + section->name + "]");
        }
    }
    out = std::move(s);
    return true;
}

namespace {

// File names are UTF-8 whatever the system's own encoding of them (on
// Windows, UTF-16); std::filesystem also renames over an existing file there.
std::filesystem::path fileName(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

}  // namespace

bool PhoneState::load(const std::string& path, PhoneState& out, std::string* error) {
    // A directory opens, and reads as an empty file: a phone without contents.
    std::error_code ec;
    if (std::filesystem::is_directory(fileName(path), ec)) {
        if (error != nullptr) {
            *error = path + ": a directory, not a file";
        }
        return false;
    }
    std::ifstream in(fileName(path), std::ios::binary);
    if (!in) {
        if (error != nullptr) {
            *error = path + ": cannot open";
        }
        return false;
    }
    std::ostringstream text;
    text << in.rdbuf();
    std::string message;
    if (!fromText(text.str(), out, &message)) {
        if (error != nullptr) {
            *error = path + ": " + message;
        }
        return false;
    }
    return true;
}

bool PhoneState::save(const std::string& path) const {
    // Written beside the target and renamed over it, so a failed write never
    // leaves a half file in place of the old contents.
    const std::filesystem::path target = fileName(path);
    const std::filesystem::path tmp = fileName(path + ".tmp");
    std::error_code ec;
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        if (!out) {
            return false;
        }
        out << toText();
        out.flush();
        if (!out) {
            out.close();
            std::filesystem::remove(tmp, ec);
            return false;
        }
    }
    std::filesystem::rename(tmp, target, ec);
    if (ec) {
        std::filesystem::remove(tmp, ec);
        return false;
    }
    return true;
}

}  // namespace phonesim
