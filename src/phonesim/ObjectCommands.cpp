// The Siemens object store commands for the types of ObjectStore.h:
// AT^SBNR=<type>,<index> reads an object out as blocks of a "^SBNR:" header
// and a line of hexadecimal text; AT^SBNW=<type>,<index>,<k>,<count> takes
// packet k of an upload after the "> " prompt (hexadecimal text ended by
// Ctrl-Z), AT^SBNW=<type>,<index>,0 deletes the object and
// AT^SBNW=<type>,<index> abandons an upload under way. Packets must come in
// order; the last one stores the object if the phone can use it.

#include <algorithm>
#include <cctype>
#include <optional>
#include <string>
#include <vector>

#include "phonesim/Commands.h"
#include "phonesim/GsmText.h"
#include "phonesim/ObjectStore.h"

namespace phonesim {

namespace {

using Form = Command::Form;

std::string lower(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return out;
}

// The type a set command names, when this store holds it.
const ObjectType* typeOf(const std::vector<Param>& params) {
    return params.empty() ? nullptr : findObjectType(lower(params[0].text));
}

// The index parameter, within the type's range.
std::optional<int> indexOf(const ObjectType& type, const std::vector<Param>& params) {
    if (params.size() < 2 || params[1].quoted) {
        return std::nullopt;
    }
    const auto index = parseNumber(params[1].text);
    if (!index || *index > type.maxIndex) {
        return std::nullopt;
    }
    return index;
}

std::vector<std::string> testLines(std::string_view prefix) {
    std::vector<std::string> lines;
    for (const ObjectType& type : objectTypes()) {
        lines.push_back(std::string(prefix) + ": \"" + std::string(type.name) + "\",(0-" +
                        std::to_string(type.maxIndex) + ")");
    }
    return lines;
}

// What another store answers for a type this one does not hold, or the
// phone's refusal when there is none.
Reply passOn(const Handler& previous, Context& ctx, const Command& cmd) {
    return previous ? previous(ctx, cmd) : Reply::error(cme::OperationNotSupported);
}

// The test form lists the types of every store.
Reply testForm(const Handler& previous, Context& ctx, const Command& cmd, std::string_view prefix) {
    std::vector<std::string> info;
    if (previous) {
        Reply earlier = previous(ctx, cmd);
        if (earlier.kind == Reply::Kind::Ok) {
            info = std::move(earlier.info);
        }
    }
    for (std::string& line : testLines(prefix)) {
        info.push_back(std::move(line));
    }
    return Reply::ok(std::move(info));
}

Reply readObject(Context& ctx, const Command& cmd, const Handler& previous) {
    if (cmd.form == Form::Test) {
        return testForm(previous, ctx, cmd, "^SBNR");
    }
    const auto params = cmd.params();
    const ObjectType* type = cmd.form == Form::Set ? typeOf(params) : nullptr;
    if (type == nullptr) {
        return passOn(previous, ctx, cmd);
    }
    const auto index = indexOf(*type, params);
    if (!index || params.size() != 2) {
        return Reply::error(cme::kInvalidIndex);
    }
    const std::string* bytes = ctx.state.objects.find({std::string(type->name), *index});
    if (bytes == nullptr) {
        return Reply::error(cme::kNotFound);
    }
    const std::size_t count = (bytes->size() + kPacketBytes - 1) / kPacketBytes;
    std::vector<std::string> info;
    for (std::size_t k = 1; k <= count; ++k) {
        info.push_back("^SBNR: \"" + std::string(type->name) + "\"," + std::to_string(*index) +
                       "," + std::to_string(k) + "," + std::to_string(count));
        info.push_back(
            hexText(std::string_view(*bytes).substr((k - 1) * kPacketBytes, kPacketBytes)));
    }
    return Reply::ok(std::move(info));
}

// Packet k of the upload at `key`, as it arrives after the prompt.
Reply takePacket(Context& ctx, const ObjectKey& key, const ObjectType& type, int k,
                 const std::string& data) {
    ObjectStore& store = ctx.state.objects;
    const auto it = store.uploads.find(key);
    if (it == store.uploads.end() || it->second.next != k) {
        return Reply::error(cme::OperationNotAllowed);
    }
    ObjectStore::Upload& upload = it->second;
    const auto abandon = [&](int code) {
        store.uploads.erase(it);
        return Reply::error(code);
    };
    if (data.size() > 2 * kPacketBytes) {
        return abandon(cme::kTextTooLong);
    }
    const auto bytes = bytesOfHex(data);
    if (!bytes || bytes->empty()) {
        return abandon(cme::kInvalidText);
    }
    if (upload.bytes.size() + bytes->size() > type.maxBytes) {
        return abandon(cme::kMemoryFull);
    }
    upload.bytes += *bytes;
    ++upload.next;
    if (k < upload.count) {
        return Reply::ok();
    }
    // The last packet: the object is stored only when the phone can use it.
    if (type.accepts != nullptr && !type.accepts(upload.bytes)) {
        return abandon(cme::kInvalidText);
    }
    store.objects[key] = std::move(upload.bytes);
    store.uploads.erase(it);
    return Reply::ok();
}

Reply writeObject(Context& ctx, const Command& cmd, const Handler& previous) {
    if (cmd.form == Form::Test) {
        return testForm(previous, ctx, cmd, "^SBNW");
    }
    const auto params = cmd.params();
    const ObjectType* type = cmd.form == Form::Set ? typeOf(params) : nullptr;
    if (type == nullptr) {
        return passOn(previous, ctx, cmd);
    }
    const auto index = indexOf(*type, params);
    if (!index || params.size() > 4) {
        return Reply::error(cme::kInvalidIndex);
    }
    const ObjectKey key{std::string(type->name), *index};
    ObjectStore& store = ctx.state.objects;
    const std::vector<Param> rest(params.begin() + 2, params.end());
    const auto numbers = numbersInRanges(rest, {0, 1}, {kMaxPackets, kMaxPackets}, 0);
    if (!numbers) {
        return Reply::error(cme::OperationNotAllowed);
    }
    const int k = (*numbers)[0];
    const int count = (*numbers)[1];
    if (k < 0) {
        if (count >= 0) {
            return Reply::error(cme::OperationNotAllowed);
        }
        // No packet number: the upload under way is abandoned.
        store.uploads.erase(key);
        return Reply::ok();
    }
    if (k == 0) {
        if (count >= 0) {
            return Reply::error(cme::OperationNotAllowed);
        }
        store.uploads.erase(key);
        store.objects.erase(key);
        return Reply::ok();
    }
    if (count < 0 || k > count) {
        return Reply::error(cme::OperationNotAllowed);
    }
    if (k == 1) {
        store.uploads[key] = ObjectStore::Upload{count, 1, {}};
    }
    const auto it = store.uploads.find(key);
    if (it == store.uploads.end() || it->second.count != count || it->second.next != k) {
        // Packets out of order end the upload.
        store.uploads.erase(key);
        return Reply::error(cme::OperationNotAllowed);
    }
    return Reply::prompt([key, type, k](Context& c, const std::string& data) {
        return takePacket(c, key, *type, k, data);
    });
}

}  // namespace

void registerObjectStoreCommands(CommandTable& table) {
    using Operation = Reply (*)(Context&, const Command&, const Handler&);
    const std::pair<const char*, Operation> commands[] = {{"^SBNR", readObject},
                                                          {"^SBNW", writeObject}};
    for (const auto& [name, operation] : commands) {
        const CommandTable::Entry* before = table.find(name);
        Handler previous = before != nullptr ? before->handler : Handler{};
        table.add(name, [previous, op = operation](Context& ctx, const Command& cmd) {
            return op(ctx, cmd, previous);
        });
    }
}

}  // namespace phonesim
