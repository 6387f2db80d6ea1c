#include "phonesim/OrganizerStore.h"

#include "phonesim/Commands.h"
#include "phonesim/StateFormat.h"

namespace phonesim {

namespace {

// An organizer object in the phone's own layout.
std::string vcsObject(std::string_view category, std::string_view rule, std::string_view start,
                      bool alarm, std::string_view description) {
    std::string out = "BEGIN:VCALENDAR\r\nVERSION:1.0\r\nBEGIN:VEVENT\r\n";
    out += "CATEGORIES:" + std::string(category) + "\r\n";
    if (!rule.empty()) {
        out += "RRULE:" + std::string(rule) + "\r\n";
    }
    out += "DTSTART:" + std::string(start) + "\r\n";
    if (alarm) {
        out += "DALARM:" + std::string(start) + "\r\n";
        out += "AALARM:" + std::string(start) + "\r\n";
    }
    out += "DESCRIPTION:" + std::string(description) + "\r\n";
    out += "END:VEVENT\r\nEND:VCALENDAR\r\n";
    return out;
}

// The object between double quotes, every byte outside printable ASCII
// (CR and LF included) as an escape, so the file shows the bytes exactly.
std::string quoteObject(std::string_view object) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out = "\"";
    for (const char c : object) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '\r') {
            out += "\\r";
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u < 0x20 || u >= 0x7f) {
            out += "\\x";
            out += kHex[u >> 4];
            out += kHex[u & 0x0f];
        } else {
            out += c;
        }
    }
    return out + "\"";
}

}  // namespace

void addDemoOrganizer(OrganizerStore& store) {
    store.objects[1] = vcsObject("ANNIVERSARY", "Y1", "20010315T080000", true, "Geburtstag Anna");
    store.objects[2] = vcsObject("MEETING", "W1", "20010315T143000", true, "Team");
    store.objects[3] = vcsObject("MISCELLANEOUS", "", "20011224T183000", false, "Zahnarzt");
    store.objects[5] = vcsObject("PHONE CALL", "", "20010402T091500", true, "+49 89 1234");
    store.objects[8] = vcsObject("MEETING", "D1", "20010507T074500", false, "Standup");
    store.objects[12] = vcsObject("MISCELLANEOUS", "M1", "20010601T100000", true, "Miete zahlen");
    store.objects[20] = vcsObject("PHONE CALL", "W1", "20010903T170000", false, "0171 555");
    store.objects[30] = vcsObject("ANNIVERSARY", "", "20010818T120000", false, "Caf\xE9 Lyon");
}

StateSection organizerSection() {
    StateSection section;
    section.name = "organizer";
    section.comment =
        "Organizer slots 1..30 (AT^SBNR=vcs,n and AT^SBNW=vcs,...): one line per occupied slot,\n"
        "  slot = <n>,\"<vCalendar object>\"\n"
        "with the object's bytes as written, CR LF as \\r\\n and other bytes as \\xHH.";
    section.write = [](const PhoneState& s, KeyValues& out) {
        for (const auto& [slot, object] : s.organizer.objects) {
            out.emplace_back("slot", std::to_string(slot) + "," + quoteObject(object));
        }
    };
    section.read = [](PhoneState& s, const std::string& key, const std::string& value,
                      std::string& error) {
        if (key != "slot") {
            error = "unknown key '" + key + "'";
            return false;
        }
        const std::size_t comma = value.find(',');
        const auto slot = parseNumber(std::string_view(value).substr(0, comma));
        if (comma == std::string::npos || !slot || *slot < 1 || *slot > OrganizerStore::kSlots) {
            error = "bad slot in '" + value + "'";
            return false;
        }
        const std::string_view quoted = std::string_view(value).substr(comma + 1);
        const auto object = decodeValue(quoted);
        if (quoted.empty() || quoted.front() != '"' || !object || object->empty()) {
            error = "bad object for slot " + std::to_string(*slot);
            return false;
        }
        s.organizer.objects[*slot] = *object;
        return true;
    };
    return section;
}

}  // namespace phonesim
