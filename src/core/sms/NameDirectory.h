#pragma once

// Names for message numbers: the name directory (the records of the local
// phonebook file, loaded by the caller) and the key rules by which a
// sender's number finds its record.

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vondrix::sms {

// One record of the name directory. Texts in the PC character set.
struct NameRecord {
    int index = 0;  // the location the file gives; 0 ends every search
    std::string name;
    std::string number;
};

// The message list and the command mode cut a number into its lookup key
// by slightly different rules.
enum class KeyRule { MessageList, CommandMode };

// The part of `number` (of type-of-address `type`) that a directory number
// must contain. Types 0x81 and 0x89 drop 8 characters when the number holds
// "12320310", else 7 when it holds "1232041", else one leading "0"; in the
// message list type 0x83 drops 4; every other type drops 3 (the "+" and a
// two-digit country code). Shorter numbers give an empty key.
std::string lookupKey(std::string_view number, int type, KeyRule rule);

// The number as the message list shows it: without its first 7 characters
// when it holds "1232031" or "1232041".
std::string shownNumber(std::string_view number);

class NameDirectory {
  public:
    NameDirectory() = default;
    explicit NameDirectory(std::vector<NameRecord> records) : records_(std::move(records)) {}

    const std::vector<NameRecord>& records() const { return records_; }
    // The records a search looks at: those before the first one with index 0.
    std::span<const NameRecord> searchable() const;

    // The name of the first record whose number contains the key of
    // `number`; empty when the key is empty or nothing matches.
    std::string nameFor(std::string_view number, int type, KeyRule rule) const;
    // The first record named exactly `text`, else the first whose name
    // contains it, or nullptr. (An exact name wins: "Anna" must not send to
    // an "Anna Schmidt" that stands before her.)
    const NameRecord* findByName(std::string_view text) const;
    // Every record `text` may stand for: those named exactly so, else those
    // whose name contains it; one per number, in file order.
    std::vector<NameRecord> recordsNamed(std::string_view text) const;

  private:
    std::vector<NameRecord> records_;
};

// What a typed recipient stands for: a text that starts with a digit or "+"
// is a number; anything else is a name, replaced by the number of the
// record findByName gives (kept as typed when none).
std::string resolveRecipient(std::string_view typed, const NameDirectory& names);

}  // namespace vondrix::sms
