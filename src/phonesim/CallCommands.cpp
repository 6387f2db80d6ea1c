// Voice calls: the dial command ATD in its three forms (a number, ">" and a
// phonebook location, "L" for the last number), AT+CHUP and AT^SDLD, which
// empties the dialled-calls list.

#include <cctype>
#include <string>

#include "phonesim/Commands.h"

namespace phonesim {

namespace {

using Form = Command::Form;

using namespace cme;

// The entry a dial string's ">" form names: "<n>" (a location of the selected
// phonebook) or "<mem><n>" such as "ME3" (GSM 07.07 6.3); the Redbook's
// locations are its alphabetical positions. Sets `error` when there is none.
std::optional<StoredEntry> entryToDial(const PhoneState& s, std::string_view text, int& error) {
    std::string code = s.selectedPhonebook;
    if (text.size() >= 2 && std::isalpha(static_cast<unsigned char>(text[0])) != 0 &&
        std::isalpha(static_cast<unsigned char>(text[1])) != 0) {
        code = {static_cast<char>(std::toupper(static_cast<unsigned char>(text[0]))),
                static_cast<char>(std::toupper(static_cast<unsigned char>(text[1])))};
        text.remove_prefix(2);
    }
    // The name form D>"text" is not offered.
    const auto location = parseNumber(text);
    if (!location) {
        error = cme::OperationNotSupported;
        return std::nullopt;
    }
    if (code == kRedbook) {
        const auto members = redbookMembers(s);
        if (*location < 1 || *location > static_cast<int>(members.size())) {
            error = kInvalidIndex;
            return std::nullopt;
        }
        return members[static_cast<std::size_t>(*location - 1)];
    }
    const PhonebookStore* store = s.phonebook(code);
    if (store == nullptr) {
        error = cme::OperationNotSupported;
        return std::nullopt;
    }
    if (*location < 1 || *location > store->size) {
        error = kInvalidIndex;
        return std::nullopt;
    }
    const StoredEntry* entry = store->at(*location);
    if (entry == nullptr) {
        error = kNotFound;
        return std::nullopt;
    }
    return *entry;
}

// The name the phone shows for a dialled number: that of the first SIM, then
// phone memory, entry with exactly this number; empty when there is none.
std::string nameOf(const PhoneState& s, const std::string& number) {
    for (const PhonebookStore* store : {&s.sim, &s.memory}) {
        for (const auto& [location, entry] : store->entries) {
            if (entry.number == number) {
                return entry.name;
            }
        }
    }
    return {};
}

Reply dial(Context& ctx, const Command& cmd) {
    PhoneState& s = ctx.state;
    // Blanks in a dial string mean nothing (V.25ter 6.3.1).
    std::string text;
    for (const char c : cmd.args) {
        if (c != ' ' && c != '\t') {
            text += c;
        }
    }
    const bool voice = !text.empty() && text.back() == ';';
    if (voice) {
        text.pop_back();
    }

    StoredEntry call;
    if (text == "L" || text == "l") {
        // The last number is the newest dialled call, whether or not ";" follows.
        if (s.dialledCalls.entries.empty()) {
            return Reply::error(kNotFound);
        }
        call = s.dialledCalls.entries.begin()->second;
    } else {
        // Only voice calls: without ";" the phone would start a data call.
        if (!voice) {
            return Reply::error(cme::OperationNotSupported);
        }
        // The CLIR and closed user group modifiers do not change the outcome.
        while (!text.empty() && std::string_view("IiGg").find(text.back()) != std::string::npos) {
            text.pop_back();
        }
        if (!text.empty() && text.front() == '>') {
            int error = 0;
            auto entry = entryToDial(s, std::string_view(text).substr(1), error);
            if (!entry) {
                return Reply::error(error);
            }
            call = std::move(*entry);
        } else {
            if (text.empty()) {
                return Reply::error(cme::OperationNotSupported);
            }
            if (!isDialNumber(text)) {
                return Reply::error(kInvalidDialString);
            }
            call = StoredEntry{text, defaultType(text), nameOf(s, text)};
        }
    }

    const auto it = s.dialResults.find(call.number);
    const DialResult result = it == s.dialResults.end() ? DialResult::Ok : it->second;
    if (result != DialResult::Ok) {
        return Reply::result(std::string(dialResultText(result)));
    }
    s.dialledCalls.pushFront(call);
    return Reply::ok();
}

// A command without parameters: the action does `act`, the test form answers OK.
Handler simpleCommand(void (*act)(PhoneState&)) {
    return [act](Context& ctx, const Command& cmd) {
        if (cmd.form == Form::Action) {
            act(ctx.state);
            return Reply::ok();
        }
        if (cmd.form == Form::Test) {
            return Reply::ok();
        }
        return Reply::error(cme::OperationNotSupported);
    };
}

}  // namespace

void registerCallCommands(CommandTable& table) {
    table.add("D", dial);
    // The phone keeps no call of its own, so hanging up always succeeds.
    table.add("+CHUP", simpleCommand([](PhoneState&) {}));
    table.add("^SDLD", simpleCommand([](PhoneState& s) { s.dialledCalls.entries.clear(); }));
}

}  // namespace phonesim
