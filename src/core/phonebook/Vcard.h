#pragma once

// vCards as other programs exchange them: the vCard 3.0 file of a whole
// backup (one card per entry, its store and location kept in X- properties)
// and the reader of vCard 2.1 and 3.0 files that address books and phones
// write, with the plan that turns their cards into phonebook entries.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "phonebook/Phonebook.h"

namespace vondrix::phonebook {

// An entry of one of the phone's stores, for the backup's contacts file.
struct StoredEntry {
    std::string store;  // "SM", "ME", "FD"
    PhonebookEntry entry;
};

// vCard 3.0 (RFC 2426), UTF-8, CR LF lines folded at 75 octets: per entry
// FN and N (the name; FN the number when the name is empty), TEL;TYPE=VOICE,
// X-VONDRIX-STORE and X-VONDRIX-LOCATION.
std::string vcard30Text(const std::vector<StoredEntry>& entries);

// One card as read. Texts are UTF-8.
struct Vcard {
    struct Number {
        std::string number;              // as written in the card
        std::vector<std::string> types;  // upper case: CELL, HOME, WORK, FAX, VOICE, PREF, ...
    };
    std::string name;  // FN, else N's given and family name
    std::vector<Number> numbers;
};

// Every card of a vCard file (2.1 or 3.0): folded lines, grouped names
// ("item1.TEL"), TYPE= lists and 2.1's bare types, QUOTED-PRINTABLE with
// soft line breaks, CHARSET= (UTF-8 and ISO-8859-1; without one UTF-8 when
// the bytes are UTF-8, else ISO-8859-1), backslash escapes of 3.0.
std::vector<Vcard> parseVcards(std::string_view text);

// What an import of cards into the current phonebook would write.
struct VcardPlan {
    struct Entry {
        std::string name;  // PC character set, as it goes to the phone
        std::string number;
        int type = 129;
    };
    std::vector<Entry> entries;
    // One UTF-8 line per thing the user should know: characters the phone
    // cannot show, names cut to the phone's length, numbers that cannot be
    // stored, duplicates skipped.
    std::vector<std::string> notes;
    int duplicates = 0;
    int unusable = 0;  // numbers that cannot be stored
};

// Each number of a card becomes an entry; a card with several numbers
// gives each name a suffix after a blank from its type (M mobile, H home,
// W work, F fax, P pager, else its position), counted when a letter
// repeats. Blanks, dashes, dots, slashes and brackets leave the number.
// Names go into the phone's character set: a character the phone's
// alphabet lacks becomes "?", and a name longer than `textLength` (0: no
// limit) is cut before its suffix. An entry whose name and number a live
// entry of `book` (or an earlier card) already has is skipped.
VcardPlan planVcardImport(const std::vector<Vcard>& cards, const CurrentPhonebook& book,
                          std::size_t textLength, std::size_t numberLength);

}  // namespace vondrix::phonebook
