#pragma once

// The phone's phonebook memories (the GSM 07.07 +CPBS storages) and the
// outcome table of the dial command, as parts of PhoneState.

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace phonesim {

struct PhoneState;

// One occupied location. The name is ISO 8859-1 text; the letters of the GSM
// alphabet that ISO 8859-1 lacks (the Greek capitals, the escape code) are kept
// as their GSM code byte (0x10, 0x12..0x1B), which no other letter uses.
struct StoredEntry {
    std::string number;
    int type = 129;  // type of address: 145 international, 129 otherwise
    std::string name;

    bool operator==(const StoredEntry&) const = default;
};

// One phonebook memory: locations 1..size and the field lengths that
// "AT+CPBR=?" reports.
struct PhonebookStore {
    int size = 0;
    int numberLength = 20;               // digits, not counting a leading "+"
    int textLength = 14;                 // GSM characters
    std::map<int, StoredEntry> entries;  // occupied locations only

    const StoredEntry* at(int location) const;
    // The lowest empty location, or nothing when all are used.
    std::optional<int> firstFree() const;
    // Call lists: puts `entry` at location 1 and moves the others down, in their
    // order, closing gaps; an older entry with the same number is dropped and
    // the list keeps `size` entries at most.
    void pushFront(const StoredEntry& entry);
};

// The Redbook's code for AT+CPBS and AT^SPBS.
inline constexpr std::string_view kRedbook = "RD";

// The Redbook (VIP list): the SM and ME entries whose name ends with "!", in
// the phone's alphabetical order (see sortedEntries).
std::vector<StoredEntry> redbookMembers(const PhoneState& state);

// The occupied entries of `store` in the phone's alphabetical order: names
// compared without regard to case and accents (ä as a, ß as ss, Æ as ae),
// then byte for byte, then by location.
std::vector<StoredEntry> sortedEntries(const PhonebookStore& store);

// True when name `a` sorts before name `b` in the phone's alphabetical order:
// by sortKey(), then byte for byte.
bool phoneNameLess(std::string_view a, std::string_view b);

// Final result of dialling a number (the dial table of PhoneState).
enum class DialResult { Ok, Busy, NoCarrier, NoDialtone, Error };

// "OK", "BUSY", "NO CARRIER", "NO DIALTONE", "ERROR".
std::string_view dialResultText(DialResult result);
std::optional<DialResult> dialResultFromText(std::string_view text);

// Whether the PIN2 that fixed dialling writes need has been given since the
// last ATZ (not part of the state file).
enum class Pin2Status {
    NotGiven,  // "+CPIN: READY"; the next fixed dialling write asks for it
    Asked,     // a fixed dialling write was refused: "+CPIN: SIM PIN2"
    Given,     // fixed dialling writes are allowed
};

// Fills the phonebooks, the call lists and the dial table of the demo phone.
void addDemoPhonebooks(PhoneState& state);

}  // namespace phonesim
