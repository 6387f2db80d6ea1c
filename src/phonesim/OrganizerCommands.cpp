// The organizer part of the Siemens object store: AT^SBNR=vcs,<slot> reads
// one slot, AT^SBNW=vcs,<slot>,<packet>,<packets> uploads an object in
// hexadecimal packets after the "> " prompt, AT^SBNW=vcs,<slot>,0 deletes a
// slot and AT^SBNW=vcs,<slot> aborts an upload. Other object types go to the
// handler registered before (the logos and ring tones), if any.

#include <cctype>
#include <string>
#include <utility>

#include "phonesim/Commands.h"
#include "phonesim/GsmText.h"
#include "phonesim/OrganizerStore.h"

namespace phonesim {

namespace {

using Form = Command::Form;

bool isVcs(const Param& p) {
    if (p.text.size() != 3) {
        return false;
    }
    std::string lower = p.text;
    for (char& c : lower) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return lower == "vcs";
}

// A plain decimal parameter within [lo, hi].
std::optional<int> numberIn(const Param& p, int lo, int hi) {
    if (p.quoted) {
        return std::nullopt;
    }
    const auto v = parseNumber(p.text);
    if (!v || *v < lo || *v > hi) {
        return std::nullopt;
    }
    return v;
}

std::string toHex(std::string_view bytes) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        out += kHex[u >> 4];
        out += kHex[u & 0x0f];
    }
    return out;
}

// The bytes of a packet's hexadecimal digits; nothing for an odd count or a
// character that is no hexadecimal digit.
std::optional<std::string> fromHex(std::string_view text) {
    if (text.empty() || text.size() % 2 != 0) {
        return std::nullopt;
    }
    std::string out;
    for (std::size_t i = 0; i < text.size(); i += 2) {
        const auto byte = hexByte(text, i);
        if (!byte) {
            return std::nullopt;
        }
        out += static_cast<char>(*byte);
    }
    return out;
}

// A command for another object type: the earlier handler, or "not supported".
Reply otherType(const Handler& other, Context& ctx, const Command& cmd) {
    return other ? other(ctx, cmd) : Reply::error(cme::OperationNotSupported);
}

Reply readSlot(Context& ctx, int slot) {
    const auto& objects = ctx.state.organizer.objects;
    const auto it = objects.find(slot);
    if (it == objects.end()) {
        return Reply::ok();  // an empty slot: no ^SBNR: line at all
    }
    return Reply::ok({"^SBNR: \"vcs\"," + std::to_string(slot) + ",1,1", toHex(it->second)});
}

// The data of packet `packet` of `packets` for `slot`.
Reply takePacket(Context& ctx, const std::string& data, int slot, int packet, int packets) {
    OrganizerStore& store = ctx.state.organizer;
    auto& upload = store.upload;
    if (!upload || upload->slot != slot || upload->packets != packets ||
        upload->received != packet - 1) {
        upload.reset();
        return Reply::error(cme::OperationNotAllowed);
    }
    const auto bytes = fromHex(data);
    if (!bytes) {
        upload.reset();
        return Reply::error(cme::kInvalidText);
    }
    if (bytes->size() > OrganizerStore::kMaxPacketBytes) {
        upload.reset();
        return Reply::error(cme::kTextTooLong);
    }
    upload->data += *bytes;
    upload->received = packet;
    if (packet < packets) {
        return Reply::ok();
    }
    // The last packet: the phone takes the object only when it is a calendar.
    std::string object = std::move(upload->data);
    upload.reset();
    if (object.rfind("BEGIN:VCALENDAR", 0) != 0) {
        return Reply::error(cme::kInvalidText);
    }
    store.objects[slot] = std::move(object);
    return Reply::ok();
}

Reply write(Context& ctx, const std::vector<Param>& params) {
    OrganizerStore& store = ctx.state.organizer;
    // AT^SBNW=vcs,<slot>: abort the upload under way.
    if (params.size() == 2) {
        if (!numberIn(params[1], 0, OrganizerStore::kSlots)) {
            return Reply::error(cme::kInvalidIndex);
        }
        store.upload.reset();
        return Reply::ok();
    }
    const auto slot = numberIn(params[1], 1, OrganizerStore::kSlots);
    if (!slot) {
        return Reply::error(cme::kInvalidIndex);
    }
    // AT^SBNW=vcs,<slot>,0: delete the slot (an empty one too).
    if (params.size() == 3) {
        if (!numberIn(params[2], 0, 0)) {
            return Reply::error(cme::OperationNotAllowed);
        }
        if (store.upload && store.upload->slot == *slot) {
            store.upload.reset();
        }
        store.objects.erase(*slot);
        return Reply::ok();
    }
    const auto packets = numberIn(params[3], 1, OrganizerStore::kMaxPackets);
    const auto packet = packets ? numberIn(params[2], 1, *packets) : std::nullopt;
    if (!packet) {
        store.upload.reset();
        return Reply::error(cme::OperationNotAllowed);
    }
    // Packet 1 starts a new upload; every later one must follow its
    // predecessor in the same upload.
    if (*packet == 1) {
        store.upload = OrganizerStore::Upload{*slot, *packets, 0, {}};
    } else if (!store.upload || store.upload->slot != *slot || store.upload->packets != *packets ||
               store.upload->received != *packet - 1) {
        store.upload.reset();
        return Reply::error(cme::OperationNotAllowed);
    }
    return Reply::prompt(
        [slot = *slot, packet = *packet, packets = *packets](Context& c, const std::string& data) {
            return takePacket(c, data, slot, packet, packets);
        });
}

}  // namespace

void registerOrganizerCommands(CommandTable& table) {
    const CommandTable::Entry* readBefore = table.find("^SBNR");
    const Handler otherReads = readBefore != nullptr ? readBefore->handler : Handler{};
    table.add("^SBNR", [otherReads](Context& ctx, const Command& cmd) {
        const auto params = cmd.params();
        if (cmd.form != Form::Set || params.empty() || !isVcs(params[0])) {
            return otherType(otherReads, ctx, cmd);
        }
        if (params.size() != 2) {
            return Reply::error(cme::OperationNotAllowed);
        }
        const auto slot = numberIn(params[1], 1, OrganizerStore::kSlots);
        return slot ? readSlot(ctx, *slot) : Reply::error(cme::kInvalidIndex);
    });

    const CommandTable::Entry* writeBefore = table.find("^SBNW");
    const Handler otherWrites = writeBefore != nullptr ? writeBefore->handler : Handler{};
    table.add("^SBNW", [otherWrites](Context& ctx, const Command& cmd) {
        const auto params = cmd.params();
        if (cmd.form != Form::Set || params.empty() || !isVcs(params[0])) {
            return otherType(otherWrites, ctx, cmd);
        }
        if (params.size() < 2 || params.size() > 4) {
            return Reply::error(cme::OperationNotAllowed);
        }
        return write(ctx, params);
    });
}

}  // namespace phonesim
