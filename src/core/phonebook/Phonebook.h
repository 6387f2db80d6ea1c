#pragma once

// The phonebook model: one of the phone's phonebooks at a time (SIM, phone
// memory or fixed dialling numbers), the Redbook (VIP list), the call
// lists, the own numbers and the service centre, as the phonebook window,
// the command line and the message subsystem share them.

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vondrix::phonebook {

// Visible limits of the tables and fields. Longer fields are cut to
// kMaxField characters when they enter a table (the phone keeps what it
// was sent). Occupied locations past the entry table's capacity are still
// read, so that the free list stays right, but are not kept; the Redbook
// reader stops at kMaxRedbook records and a call list at kMaxCalls.
constexpr std::size_t kMaxEntries = 500;
constexpr std::size_t kMaxRedbook = 30;
constexpr std::size_t kMaxCalls = 10;
constexpr std::size_t kMaxField = 29;
constexpr std::size_t kOwnNumbers = 6;
constexpr std::size_t kMaxOwnNumber = 49;  // characters kept of an own number
constexpr std::size_t kMaxPin2 = 19;

// The record of every phonebook-like table. Texts are in the PC character
// set (ISO 8859-1).
struct PhonebookEntry {
    int index = 0;       // location on the phone (Redbook: position)
    std::string number;  // as the phone returned it, without quotes
    int type = 129;      // 145 international ("+..."), else 129
    std::string name;
};

// 145 when the number begins with "+", otherwise 129.
int numberType(std::string_view number);

// `text` cut to kMaxField characters, as a table field holds it.
std::string fitField(std::string_view text);

enum class Kind { Sim = 0, Internal = 1, Fixed = 2 };

struct KindInfo {
    const char* label;          // "SIM", "Internal", "SIM fix"
    const char* code;           // "SM", "ME", "FD"
    const char* selectCommand;  // "AT^SPBS=SM", ...
    const char* section;        // "[SIM]", "[INT]", "[FDN]"
    const char* nameSuffix;     // "", "+", "*"
};
const KindInfo& kindInfo(Kind kind);

// The query of the selected phonebook's range and field lengths; the
// command line names it when a phonebook could not be read.
constexpr const char* kRangeQuery = "AT+CPBR=?";

// "AT+CPBR=?" range and field lengths.
struct Range {
    int first = 0;
    int highest = 0;  // the capacity shown to the user ("Max.")
    int numberLength = 0;
    int textLength = 0;
};

// One row of the phonebook list as the window shows it. A deleted entry
// keeps its row with empty name and number.
struct Row {
    int location = 0;
    std::string name;
    std::string number;
    std::size_t entry = 0;  // position in the entry table
};

// The current phonebook.
//
// A deleted entry stays in the table (its position goes into `deleted`)
// and its row stays with empty name and number. A new entry is always
// appended at a fresh table position, never at a deleted one, so the
// deleted list stays true: exports that skip its positions never show a
// deleted entry and always show what was written since. When a new entry
// takes a freed location, it takes over the empty row left there.
struct CurrentPhonebook {
    Kind kind = Kind::Sim;
    Range range;
    std::vector<PhonebookEntry> entries;  // the entry table, in reading order
    std::vector<int> freeLocations;       // empty locations on the phone, in the order found
    std::vector<std::size_t> deleted;     // table positions deleted since the last read
    std::vector<Row> rows;                // the list
    // The last read ran to its end. A read that the link broke off leaves
    // the tables empty and this false, so that nothing partial is saved or
    // shown as the phonebook.
    bool complete = false;

    // A phonebook of `kind` with nothing read yet.
    static CurrentPhonebook unread(Kind kind) {
        CurrentPhonebook book;
        book.kind = kind;
        return book;
    }

    bool isDeleted(std::size_t position) const;
    // The table position of the first entry at `location` that is not
    // deleted, or npos.
    std::size_t findLocation(int location) const;
    static constexpr std::size_t npos = static_cast<std::size_t>(-1);

    // Entries in the table that are not deleted.
    std::size_t liveCount() const { return entries.size() - deleted.size(); }
    // The first free location, 0 when there is none.
    int firstFreeLocation() const;
    // Takes `location` out of the free list (it has just been written).
    void takeFreeLocation(int location);
    // Puts an emptied location at the end of the free list, once only.
    void releaseLocation(int location);
    // Appends an entry written to the phone: fields fitted, its location
    // taken out of the free list, a row added (or the empty row of a
    // deleted entry at that location taken over). Returns the table
    // position, or npos (nothing changed) when the table holds kMaxEntries.
    std::size_t addEntry(PhonebookEntry entry);
    // Marks the entry at `position` deleted and empties its rows.
    void markDeleted(std::size_t position);
    // Copies the name and number of table position `position` to its rows.
    void refreshRows(std::size_t position);
};

// A call list: its records and the lines its list box shows ("name, number"
// in the PC character set), in the phone's order.
struct CallList {
    std::vector<PhonebookEntry> calls;
    std::vector<std::string> lines;
};

// Everything the phonebook window reads and leaves for the rest of the
// program. Lives for the whole run.
struct PhonebookModel {
    CurrentPhonebook current;
    std::vector<PhonebookEntry> redbook;  // index = position shown
    CallList dialled, missed, received;
    std::array<std::string, kOwnNumbers> ownNumbers;  // locations 1..6
    PhonebookEntry serviceCentre;
    bool phonebookRead = false;  // set once the window has opened
    std::string pin2;            // the stored PIN2, reused for the run
};

// Sort rule of both lists: column 0 by location, 1 by name, 2 by number;
// names and numbers as unsigned bytes, a prefix first. Stable, ascending.
void sortRows(std::vector<Row>& rows, int column);

}  // namespace vondrix::phonebook
