// The phonebooks of GSM 07.07 and the Siemens extensions: AT+CPBS and AT^SPBS
// (selection), AT+CPBR (read), AT+CPBW (write), AT^SPBG (alphabetical read,
// the Redbook), AT+CPIN (the PIN2 that fixed dialling writes need) and the
// service centre address AT+CSCA.

#include <algorithm>
#include <cctype>
#include <string>
#include <utility>
#include <vector>

#include "phonesim/Commands.h"
#include "phonesim/GsmText.h"

namespace phonesim {

namespace {

using Form = Command::Form;

using namespace cme;

std::string upper(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return out;
}

std::string range(int lo, int hi) {
    return "(" + std::to_string(lo) + "-" + std::to_string(hi) + ")";
}

// `<prefix>: <index>,"<number>",<type>,"<name>"` with the name in GSM codes.
std::string entryLine(std::string_view prefix, int index, const StoredEntry& e) {
    return std::string(prefix) + ": " + std::to_string(index) + ",\"" + e.number + "\"," +
           std::to_string(e.type) + ",\"" + toGsmCodes(e.name) + "\"";
}

// The one-parameter storage code of "AT+CPBS=SM" or "AT+CPBS="SM"".
std::optional<std::string> storageCode(const Command& cmd) {
    const auto params = cmd.params();
    if (params.size() != 1) {
        return std::nullopt;
    }
    const std::string code = upper(params[0].text);
    if (std::find(std::begin(kPhonebookCodes), std::end(kPhonebookCodes), code) ==
        std::end(kPhonebookCodes)) {
        return std::nullopt;
    }
    return code;
}

bool isRedbook(const PhoneState& s) {
    return s.selectedPhonebook == kRedbook;
}

// Occupied entries and capacity of the selected phonebook, as AT+CPBS? counts them.
std::pair<int, int> usage(const PhoneState& s) {
    if (isRedbook(s)) {
        return {static_cast<int>(redbookMembers(s).size()), s.sim.size + s.memory.size};
    }
    const PhonebookStore* store = s.phonebook(s.selectedPhonebook);
    return {static_cast<int>(store->entries.size()), store->size};
}

std::string allCodes() {
    std::string list = "(";
    for (const std::string_view code : kPhonebookCodes) {
        list += (list.size() > 1 ? ",\"" : "\"") + std::string(code) + "\"";
    }
    return list + ")";
}

// AT+CPBS and AT^SPBS: the same selection under two names.
Handler selectCommand(std::string prefix) {
    return [prefix = std::move(prefix)](Context& ctx, const Command& cmd) {
        PhoneState& s = ctx.state;
        switch (cmd.form) {
            case Form::Set: {
                const auto code = storageCode(cmd);
                if (!code) {
                    return Reply::error(cme::OperationNotSupported);
                }
                s.selectedPhonebook = *code;
                return Reply::ok();
            }
            case Form::Query: {
                const auto [used, total] = usage(s);
                return Reply::ok({prefix + ": \"" + s.selectedPhonebook + "\"," +
                                  std::to_string(used) + "," + std::to_string(total)});
            }
            case Form::Test:
                return Reply::ok({prefix + ": " + allCodes()});
            case Form::Action:
                break;
        }
        return Reply::error(cme::OperationNotSupported);
    };
}

// "<i>" or "<i>,<j>" with 1 <= i <= j <= last; 21 when out of range, 4 when malformed.
struct IndexRange {
    int first = 0;
    int last = 0;
    int error = 0;
};

IndexRange indexRange(const Command& cmd, int last) {
    const auto params = cmd.params();
    if (params.empty() || params.size() > 2) {
        return {0, 0, cme::OperationNotSupported};
    }
    std::vector<int> values;
    for (const Param& p : params) {
        const auto n = p.quoted ? std::nullopt : parseNumber(p.text);
        if (!n) {
            return {0, 0, cme::OperationNotSupported};
        }
        values.push_back(*n);
    }
    const int first = values.front();
    const int second = values.back();
    if (first < 1 || second < first || second > last) {
        return {0, 0, kInvalidIndex};
    }
    return {first, second, 0};
}

Reply cpbr(Context& ctx, const Command& cmd) {
    const PhoneState& s = ctx.state;
    const PhonebookStore* store = s.phonebook(s.selectedPhonebook);
    if (store == nullptr) {
        // The Redbook has no locations of its own: it is read with AT^SPBG.
        return Reply::error(cme::OperationNotAllowed);
    }
    switch (cmd.form) {
        case Form::Test:
            return Reply::ok({"+CPBR: " + range(1, store->size) + "," +
                              std::to_string(store->numberLength) + "," +
                              std::to_string(store->textLength)});
        case Form::Set: {
            if (s.refuseRanges && cmd.params().size() > 1) {
                return Reply::error(cme::OperationNotSupported);
            }
            const IndexRange r = indexRange(cmd, store->size);
            if (r.error != 0) {
                return Reply::error(r.error);
            }
            // An empty location answers OK alone; a range lists its occupied
            // locations in order (GSM 07.07 8.12).
            std::vector<std::string> lines;
            for (auto it = store->entries.lower_bound(r.first);
                 it != store->entries.end() && it->first <= r.last; ++it) {
                lines.push_back(entryLine("+CPBR", it->first, it->second));
            }
            return Reply::ok(std::move(lines));
        }
        default:
            break;
    }
    return Reply::error(cme::OperationNotSupported);
}

Reply spbg(Context& ctx, const Command& cmd) {
    const PhoneState& s = ctx.state;
    std::vector<StoredEntry> list;
    int numberLength = 0;
    int textLength = 0;
    if (isRedbook(s)) {
        list = redbookMembers(s);
        numberLength = std::max(s.sim.numberLength, s.memory.numberLength);
        textLength = std::max(s.sim.textLength, s.memory.textLength);
    } else {
        const PhonebookStore* store = s.phonebook(s.selectedPhonebook);
        list = sortedEntries(*store);
        numberLength = store->numberLength;
        textLength = store->textLength;
    }
    const int count = static_cast<int>(list.size());
    switch (cmd.form) {
        case Form::Test:
            // No entries: "(1-0)", an empty range.
            return Reply::ok({"^SPBG: " + range(1, count) + "," + std::to_string(numberLength) +
                              "," + std::to_string(textLength)});
        case Form::Set: {
            if (s.refuseRanges && cmd.params().size() > 1) {
                return Reply::error(cme::OperationNotSupported);
            }
            const IndexRange r = indexRange(cmd, count);
            if (r.error != 0) {
                return Reply::error(r.error);
            }
            std::vector<std::string> lines;
            for (int i = r.first; i <= r.last; ++i) {
                lines.push_back(entryLine("^SPBG", i, list[static_cast<std::size_t>(i - 1)]));
            }
            return Reply::ok(std::move(lines));
        }
        default:
            break;
    }
    return Reply::error(cme::OperationNotSupported);
}

// The number's length as the phone counts it: a leading "+" is the type, not a digit.
int digitCount(std::string_view number) {
    return static_cast<int>(number.size()) - (!number.empty() && number.front() == '+' ? 1 : 0);
}

Reply cpbw(Context& ctx, const Command& cmd) {
    PhoneState& s = ctx.state;
    const std::string& code = s.selectedPhonebook;
    PhonebookStore* store = s.phonebook(code);
    if (store == nullptr || code == "LD" || code == "MC" || code == "RC") {
        return Reply::error(cme::OperationNotAllowed);  // the Redbook and the call lists
    }
    if (cmd.form == Form::Test) {
        return Reply::ok({"+CPBW: " + range(1, store->size) + "," +
                          std::to_string(store->numberLength) + ",(129,145)," +
                          std::to_string(store->textLength)});
    }
    const auto params = cmd.params();
    if (cmd.form != Form::Set || params.empty() || params.size() > 4) {
        return Reply::error(cme::OperationNotSupported);
    }

    // <index> may be left out: the first free location.
    int index = 0;
    if (params[0].empty()) {
        const auto free = store->firstFree();
        if (!free) {
            return Reply::error(kMemoryFull);
        }
        index = *free;
    } else {
        const auto n = params[0].quoted ? std::nullopt : parseNumber(params[0].text);
        if (!n) {
            return Reply::error(cme::OperationNotSupported);
        }
        if (*n < 1 || *n > store->size) {
            return Reply::error(kInvalidIndex);
        }
        index = *n;
    }
    if (code == "FD" && s.pin2Status != Pin2Status::Given) {
        s.pin2Status = Pin2Status::Asked;
        return Reply::error(kPin2Required);
    }

    // The index alone (or with empty fields only) empties the location.
    const bool empty =
        std::all_of(params.begin() + 1, params.end(), [](const Param& p) { return p.empty(); });
    if (empty) {
        store->entries.erase(index);
        return Reply::ok();
    }

    const std::string& number = params[1].text;
    if (number.empty()) {
        return Reply::error(cme::OperationNotSupported);
    }
    if (!isDialNumber(number)) {
        return Reply::error(kInvalidDialString);
    }
    if (digitCount(number) > store->numberLength) {
        return Reply::error(kDialStringTooLong);
    }
    int type = defaultType(number);
    if (params.size() > 2 && !params[2].empty()) {
        const auto t = params[2].quoted ? std::nullopt : parseNumber(params[2].text);
        if (!t || *t < 128 || *t > 255) {
            return Reply::error(cme::OperationNotSupported);
        }
        type = *t;
    }
    std::string name;
    if (params.size() > 3 && !params[3].empty()) {
        if (!params[3].quoted) {
            return Reply::error(cme::OperationNotSupported);
        }
        auto decoded = fromGsmCodes(params[3].text);
        if (!decoded) {
            return Reply::error(kInvalidText);
        }
        name = std::move(*decoded);
    }
    if (static_cast<int>(name.size()) > store->textLength) {
        return Reply::error(kTextTooLong);
    }
    store->entries[index] = StoredEntry{number, type, std::move(name)};
    return Reply::ok();
}

Reply cpin(Context& ctx, const Command& cmd) {
    PhoneState& s = ctx.state;
    switch (cmd.form) {
        case Form::Query:
            return Reply::ok(
                {s.pin2Status == Pin2Status::Asked ? "+CPIN: SIM PIN2" : "+CPIN: READY"});
        case Form::Test:
            return Reply::ok();
        case Form::Set: {
            const auto params = cmd.params();
            if (params.size() != 1) {
                return Reply::error(cme::OperationNotSupported);
            }
            // GSM 07.07 8.3: with no PIN asked for, the command is refused.
            if (s.pin2Status != Pin2Status::Asked) {
                return Reply::error(cme::OperationNotAllowed);
            }
            if (params[0].text != s.pin2) {
                return Reply::error(kIncorrectPassword);
            }
            s.pin2Status = Pin2Status::Given;
            return Reply::ok();
        }
        case Form::Action:
            break;
    }
    return Reply::error(cme::OperationNotSupported);
}

Reply csca(Context& ctx, const Command& cmd) {
    PhoneState& s = ctx.state;
    switch (cmd.form) {
        case Form::Query:
            return Reply::ok(
                {"+CSCA: \"" + s.serviceCentre + "\"," + std::to_string(s.serviceCentreType)});
        case Form::Test:
            return Reply::ok();
        case Form::Set: {
            const auto params = cmd.params();
            if (params.empty() || params.size() > 2 || params[0].text.empty() ||
                !isDialNumber(params[0].text) || digitCount(params[0].text) > 20) {
                return Reply::error(cms::OperationNotSupported);
            }
            int type = defaultType(params[0].text);
            if (params.size() == 2 && !params[1].empty()) {
                const auto t = params[1].quoted ? std::nullopt : parseNumber(params[1].text);
                if (!t || *t < 128 || *t > 255) {
                    return Reply::error(cms::OperationNotSupported);
                }
                type = *t;
            }
            s.serviceCentre = params[0].text;
            s.serviceCentreType = type;
            return Reply::ok();
        }
        case Form::Action:
            break;
    }
    return Reply::error(cms::OperationNotSupported);
}

}  // namespace

void registerPhonebookCommands(CommandTable& table) {
    table.add("+CPBS", selectCommand("+CPBS"));
    table.add("^SPBS", selectCommand("^SPBS"));
    table.add("+CPBR", cpbr);
    table.add("+CPBW", cpbw);
    table.add("^SPBG", spbg);
    table.add("+CPIN", cpin);
    table.add("+CSCA", csca, ErrorClass::Cms);

    // A given PIN2 lasts until the phone is reset with ATZ.
    if (const CommandTable::Entry* z = table.find("Z")) {
        const Handler reset = z->handler;
        table.add("Z", [reset](Context& ctx, const Command& cmd) {
            Reply reply = reset(ctx, cmd);
            if (reply.kind == Reply::Kind::Ok) {
                ctx.state.pin2Status = Pin2Status::NotGiven;
            }
            return reply;
        });
    }
}

}  // namespace phonesim
