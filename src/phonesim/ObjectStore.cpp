#include "phonesim/ObjectStore.h"

#include <cstdlib>
#include <optional>

#include "phonesim/Commands.h"
#include "phonesim/GsmText.h"
#include "phonesim/PhoneState.h"
#include "phonesim/StateFormat.h"

namespace phonesim {

namespace {

bool startsWith(std::string_view bytes, std::string_view magic) {
    return bytes.substr(0, magic.size()) == magic;
}

// A Windows bitmap begins with "BM"; a standard MIDI file with "MThd".
bool isBitmap(std::string_view bytes) {
    return startsWith(bytes, "BM");
}
bool isMidi(std::string_view bytes) {
    return startsWith(bytes, "MThd");
}

constexpr std::size_t kMaxObjectBytes = 64 * 1024;

void put16(std::string& out, unsigned v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}
void put32(std::string& out, unsigned v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

// A 97 x 26 bitmap in black and white: a frame and a "V" on white.
std::string demoLogo() {
    constexpr unsigned kWidth = 97, kHeight = 26, kStride = 16;
    std::string bmp = "BM";
    put32(bmp, 62 + kStride * kHeight);
    put32(bmp, 0);
    put32(bmp, 62);
    put32(bmp, 40);
    put32(bmp, kWidth);
    put32(bmp, kHeight);
    put16(bmp, 1);
    put16(bmp, 1);
    for (int i = 0; i < 6; ++i) {
        put32(bmp, 0);
    }
    bmp += std::string("\x00\x00\x00\x00\xFF\xFF\xFF\x00", 8);
    for (unsigned row = 0; row < kHeight; ++row) {
        const unsigned y = kHeight - 1 - row;  // bottom-up
        std::string bits(kStride, '\xFF');
        for (unsigned x = 0; x < kWidth; ++x) {
            const bool frame = x == 0 || y == 0 || x == kWidth - 1 || y == kHeight - 1;
            const int dx = static_cast<int>(x) - 48;
            const bool vee = y >= 4 && y <= 21 && std::abs(dx) == 21 - static_cast<int>(y);
            if (frame || vee) {
                bits[x / 8] = static_cast<char>(bits[x / 8] & ~(0x80 >> (x % 8)));
            }
        }
        bmp += bits;
    }
    return bmp;
}

// A short tune as a standard MIDI file of format 0.
std::string demoMelody() {
    static constexpr char kTrack[] =
        "\x00\xFF\x51\x03\x07\xA1\x20"  // tempo: 120 beats a minute
        "\x00\xC0\x00"                  // piano
        "\x00\x90\x3C\x64\x60\x80\x3C\x40"
        "\x00\x90\x40\x64\x60\x80\x40\x40"
        "\x00\x90\x43\x64\x81\x40\x80\x43\x40"
        "\x00\xFF\x2F\x00";
    const std::string track(kTrack, sizeof kTrack - 1);
    std::string midi("MThd\x00\x00\x00\x06\x00\x00\x00\x01\x00\x60MTrk", 18);
    midi += static_cast<char>(0);
    midi += static_cast<char>(0);
    midi += static_cast<char>(0);
    midi += static_cast<char>(track.size());
    return midi + track;
}

}  // namespace

std::optional<std::string> bytesOfHex(std::string_view hex) {
    if (hex.size() % 2 != 0) {
        return std::nullopt;
    }
    std::string bytes;
    bytes.reserve(hex.size() / 2);
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        const auto byte = hexByte(hex, i);
        if (!byte) {
            return std::nullopt;
        }
        bytes += static_cast<char>(*byte);
    }
    return bytes;
}

std::string hexText(std::string_view bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string hex;
    hex.reserve(bytes.size() * 2);
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        hex += kDigits[b >> 4];
        hex += kDigits[b & 0x0F];
    }
    return hex;
}

const std::vector<ObjectType>& objectTypes() {
    static const std::vector<ObjectType> types = {
        {"bmp", 0, kMaxObjectBytes, isBitmap},
        {"mid", 0, kMaxObjectBytes, isMidi},
    };
    return types;
}

const ObjectType* findObjectType(std::string_view name) {
    for (const ObjectType& type : objectTypes()) {
        if (type.name == name) {
            return &type;
        }
    }
    return nullptr;
}

const std::string* ObjectStore::find(const ObjectKey& key) const {
    const auto it = objects.find(key);
    return it == objects.end() ? nullptr : &it->second;
}

StateSection objectStoreSection() {
    StateSection section;
    section.name = "objects";
    section.comment =
        "The object store of AT^SBNR and AT^SBNW: the operator logo (bmp, a Windows\n"
        "bitmap) and the ring tone melody (mid, a MIDI file), both at index 0.\n"
        "One \"object = <type>,<index>,<bytes in hexadecimal>\" line each.";
    section.write = [](const PhoneState& s, KeyValues& out) {
        for (const auto& [key, bytes] : s.objects.objects) {
            out.emplace_back("object",
                             key.type + "," + std::to_string(key.index) + "," + hexText(bytes));
        }
    };
    section.read = [](PhoneState& s, const std::string& key, const std::string& value,
                      std::string& error) {
        if (key != "object") {
            error = "unknown key '" + key + "'";
            return false;
        }
        const std::size_t first = value.find(',');
        const std::size_t second =
            first == std::string::npos ? std::string::npos : value.find(',', first + 1);
        const ObjectType* type =
            first == std::string::npos ? nullptr : findObjectType(value.substr(0, first));
        const auto index = second == std::string::npos
                               ? std::nullopt
                               : parseNumber(value.substr(first + 1, second - first - 1));
        const auto bytes =
            second == std::string::npos ? std::nullopt : bytesOfHex(value.substr(second + 1));
        if (type == nullptr || !index || *index > type->maxIndex || !bytes ||
            bytes->size() > type->maxBytes) {
            error = "bad object '" + value.substr(0, 40) + "'";
            return false;
        }
        if (!s.objects.objects.emplace(ObjectKey{std::string(type->name), *index}, *bytes).second) {
            error = "object " + std::string(type->name) + "," + std::to_string(*index) + " twice";
            return false;
        }
        return true;
    };
    return section;
}

void addDemoObjects(PhoneState& state) {
    state.objects.objects[{"bmp", 0}] = demoLogo();
    state.objects.objects[{"mid", 0}] = demoMelody();
}

}  // namespace phonesim
