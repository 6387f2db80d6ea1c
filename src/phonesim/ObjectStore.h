#pragma once

// The phone's object store of the Siemens binary commands AT^SBNR (read)
// and AT^SBNW (write, delete): objects of a type ("bmp" the operator logo,
// "mid" the ring tone melody) at an index, uploaded as an ordered run of
// packets of hexadecimal text and read out as blocks. This file keeps the
// store generic per type; each type's rules are one row of objectTypes().

#include <compare>
#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace phonesim {

struct PhoneState;
struct StateSection;

// One object type the store holds.
struct ObjectType {
    std::string_view name;  // as in the commands: "bmp", "mid"
    int maxIndex = 0;       // indices 0..maxIndex
    std::size_t maxBytes = 0;
    // The phone's check of a finished upload (the file format); a refused
    // object is answered with "invalid characters in text" and dropped.
    bool (*accepts)(std::string_view bytes) = nullptr;
};

// The types of this store; nothing for a type it does not hold (the
// commands then leave it to another store, see registerObjectStoreCommands).
const ObjectType* findObjectType(std::string_view name);
const std::vector<ObjectType>& objectTypes();

// Limits of the commands: packets of at most this many bytes (508
// hexadecimal characters) both ways, and at most this many packets.
inline constexpr std::size_t kPacketBytes = 254;
inline constexpr int kMaxPackets = 9999;

struct ObjectKey {
    std::string type;  // lower case
    int index = 0;
    auto operator<=>(const ObjectKey&) const = default;
};

struct ObjectStore {
    // An upload under way: the packets taken so far. Kept apart from the
    // stored object, which the last packet replaces; not part of the state
    // file.
    struct Upload {
        int count = 0;  // packets announced
        int next = 1;   // the packet the phone takes next
        std::string bytes;
    };

    std::map<ObjectKey, std::string> objects;  // stored objects, raw bytes
    std::map<ObjectKey, Upload> uploads;

    const std::string* find(const ObjectKey& key) const;
};

// Objects travel as hexadecimal text, two upper-case digits a byte.
std::string hexText(std::string_view bytes);
// The bytes of hexadecimal digit pairs (either case); nothing for anything else.
std::optional<std::string> bytesOfHex(std::string_view hex);

// The state file's section of the store (one "object = type,index,HEX" line each).
StateSection objectStoreSection();

// The demo phone's logo (a 97 x 26 two-colour bitmap) and melody.
void addDemoObjects(PhoneState& state);

}  // namespace phonesim
