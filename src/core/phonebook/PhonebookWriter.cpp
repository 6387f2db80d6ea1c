// Writing and deleting entries: the write command in its store and empty
// forms, the fixed-dialling PIN2 protocol, and the operations built on them.

#include "phonebook/PhonebookWriter.h"

#include <algorithm>
#include <cstdint>
#include <utility>

#include "link/Command.h"
#include "link/LinkOperation.h"
#include "phonebook/Replies.h"
#include "phonebook/Shared.h"

namespace vondrix::phonebook {
namespace {

using WriteResult = PhonebookWriter::WriteResult;

bool endsWithMarker(std::string_view name) {
    return !name.empty() && name.back() == '!';
}

// The name with the Redbook marker as a table field holds it: the marker
// survives even when the name fills the field.
std::string withMarker(std::string_view name) {
    return std::string(name.substr(0, kMaxField - 1)) + "!";
}

// The phone's verbose error for a locked fixed-dialling phonebook reads
// "SIM PIN2 required"; its case is not to be relied on.
bool asksForPin(std::string_view response) {
    constexpr std::string_view kWord = "REQUIRED";
    const auto it = std::search(response.begin(), response.end(), kWord.begin(), kWord.end(),
                                [](char a, char b) { return (a & ~0x20) == b; });
    return it != response.end();
}

bool allDigits(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

}  // namespace

bool PhonebookWriter::selectCurrent() {
    return selectKind(engine_, reporter_, model_.current.kind);
}

PhonebookWriter::WriteResult PhonebookWriter::ensurePin2() {
    if (model_.current.kind != Kind::Fixed || !model_.pin2.empty())
        return WriteResult::Ok;
    model_.pin2.clear();  // the dialog empties it when it opens
    const std::optional<std::string> answer = reporter_.askPin2();
    if (!answer)
        return WriteResult::Cancelled;
    // The dialog's field takes digits only; anything else is no PIN2 and
    // must not reach the command line.
    std::string pin = answer->substr(0, kMaxPin2);
    if (pin.empty() || !allDigits(pin)) {
        reporter_.message(msg::InvalidPin2, Caption::Error);
        return WriteResult::InvalidPin;
    }
    model_.pin2 = std::move(pin);
    return WriteResult::Ok;
}

PhonebookWriter::WriteResult PhonebookWriter::write(const std::string& command, int location,
                                                    const std::optional<PhonebookEntry>& expected) {
    auto outcome = [&](bool ok) {
        if (ok || storedLate(location, expected))
            return WriteResult::Ok;
        return linkFailed() ? WriteResult::LinkFailed : WriteResult::Failed;
    };
    if (model_.current.kind != Kind::Fixed)
        return outcome(engine_.standard(command).ok());

    if (const WriteResult pin = ensurePin2(); pin != WriteResult::Ok)
        return pin;
    engine_.standard("AT+CMEE=2");  // verbose errors, so that "REQUIRED" shows
    const AtEngine::Result first = engine_.standard(command);
    if (asksForPin(first.raw)) {
        engine_.standard("AT+CPIN?");
        const at::Command unlock = at::Command("AT+CPIN=").digits(model_.pin2, kMaxPin2);
        if (!engine_.standard(unlock.text())) {
            if (linkFailed())
                return WriteResult::LinkFailed;
            reporter_.message(msg::Pin2Rejected, Caption::Error);
            model_.pin2.clear();
            return WriteResult::PinRejected;
        }
    }
    // Sent again even when the first attempt worked.
    const bool ok = engine_.standard(command).ok();
    const WriteResult result = outcome(ok);
    engine_.standard("AT+CMEE=0");
    return result;
}

bool PhonebookWriter::storedLate(int location, const std::optional<PhonebookEntry>& expected) {
    if (engine_.failure() != AtEngine::Failure::NoAnswer)
        return false;
    // The phone may answer the write late: that answer is the truth, and
    // must not be taken for the answer of the read below.
    if (const auto late = engine_.awaitLateAnswer())
        return late->ok();
    // No answer still: ask the phone what the location holds now (the
    // engine waits for the line to fall quiet).
    engine_.forgetFailure();
    const AtEngine::Result read = engine_.standard("AT+CPBR=" + std::to_string(location));
    if (!read) {
        if (!linkFailed())
            engine_.setFailure(AtEngine::Failure::NoAnswer);
        return false;
    }
    const auto held = parseCpbrRead(read.raw, location);
    if (!expected)
        return !held;
    return held && held->number == fitField(expected->number) &&
           held->name == fitField(expected->name);
}

PhonebookWriter::WriteResult PhonebookWriter::store(int location, const std::string& number,
                                                    int type, const std::string& name) {
    LinkOperation operation(engine_, reporter_);
    const Range& range = model_.current.range;
    const auto limit = [](int length) { return length > 0 ? static_cast<std::size_t>(length) : 0; };
    // The phone counts the name's characters, not the escapes they become.
    if (!at::isQuotable(name) || !at::isPhoneNumber(number)) {
        reporter_.message(msg::ValueRefused, Caption::Error);
        return WriteResult::Refused;
    }
    if ((range.textLength > 0 && name.size() > limit(range.textLength)))
        return WriteResult::Failed;
    const at::Command command = at::Command("AT+CPBW=")
                                    .number(location)
                                    .phoneNumber(number, limit(range.numberLength))
                                    .number(type)
                                    .quoted(encodeName(name));
    if (!command.valid())
        return WriteResult::Failed;
    return write(command.text(), location, PhonebookEntry{location, number, type, name});
}

PhonebookWriter::WriteResult PhonebookWriter::empty(int location) {
    LinkOperation operation(engine_, reporter_);
    return write("AT+CPBW=" + std::to_string(location), location, std::nullopt);
}

bool PhonebookWriter::canAddEntry() {
    LinkOperation operation(engine_, reporter_);
    if (!selectCurrent())
        return false;
    const CurrentPhonebook& book = model_.current;
    // Deleted entries stay in the table but no longer use a location.
    const bool phoneFull =
        static_cast<long long>(book.liveCount()) >= static_cast<long long>(book.range.highest);
    if (phoneFull || book.entries.size() >= kMaxEntries) {
        reporter_.message(msg::MaxEntriesReached, Caption::Error);
        return false;
    }
    return true;
}

std::optional<PhonebookWriter::EntryForm> PhonebookWriter::beginEdit(std::size_t row) {
    LinkOperation operation(engine_, reporter_);
    if (!selectCurrent())
        return std::nullopt;
    const CurrentPhonebook& book = model_.current;
    if (row >= book.rows.size())
        return std::nullopt;
    EntryForm form;
    form.location = book.rows[row].location;
    if (const std::size_t pos = book.findLocation(form.location); pos != CurrentPhonebook::npos) {
        form.name = book.entries[pos].name;
        form.number = book.entries[pos].number;
    }
    return form;
}

bool PhonebookWriter::warnNameLength(std::string_view name) {
    const int limit = model_.current.range.textLength;
    if (limit <= 0 || name.size() <= static_cast<std::size_t>(limit))
        return false;
    reporter_.message(msg::NameTooLong, Caption::Error);
    return true;
}

bool PhonebookWriter::warnNumberLength(std::string_view number) {
    const int limit = model_.current.range.numberLength;
    if (limit <= 0 || number.size() <= static_cast<std::size_t>(limit))
        return false;
    reporter_.message(msg::NumberTooLong, Caption::Error);
    return true;
}

bool PhonebookWriter::saveEntry(int location, const std::string& name, const std::string& number) {
    LinkOperation operation(engine_, reporter_);
    if (name.empty()) {
        reporter_.message(msg::EnterName, Caption::Error);
        return false;
    }
    if (number.empty()) {
        reporter_.message(msg::EnterNumber, Caption::Error);
        return false;
    }
    const int type = numberType(number);
    CurrentPhonebook& book = model_.current;
    if (ensurePin2() != WriteResult::Ok)
        return false;

    // An edit of a live entry changes it in place; anything else (a new
    // entry, or the empty row of a deleted one) adds an entry to the table.
    const std::size_t edited = location != 0 ? book.findLocation(location) : CurrentPhonebook::npos;
    const bool isNew = location == 0;
    if (isNew) {
        location = book.firstFreeLocation();
        if (location == 0) {
            reporter_.message(msg::NoFreeEntry, Caption::Error);
            return false;
        }
    }
    if (edited == CurrentPhonebook::npos && book.entries.size() >= kMaxEntries) {
        reporter_.message(msg::MaxEntriesReached, Caption::Error);
        return false;
    }

    const WriteResult result = store(location, number, type, name);
    if (result != WriteResult::Ok) {
        if (result == WriteResult::Failed)
            reporter_.message(isNew ? msg::NewEntryNotWritten : msg::EntryNotModified,
                              Caption::Error);
        return false;
    }
    if (edited != CurrentPhonebook::npos) {
        PhonebookEntry& e = book.entries[edited];
        e.name = fitField(name);
        e.number = fitField(number);
        e.type = type;
        book.refreshRows(edited);
    } else {
        book.addEntry(PhonebookEntry{location, number, type, name});
    }
    sortRows(book.rows, 1);
    return true;
}

bool PhonebookWriter::deleteEntry(std::size_t row) {
    LinkOperation operation(engine_, reporter_);
    CurrentPhonebook& book = model_.current;
    if (row >= book.rows.size())
        return false;
    const Row shown = book.rows[row];
    const WriteResult result = empty(shown.location);
    if (result != WriteResult::Ok) {
        if (result == WriteResult::Failed)
            reporter_.message(msg::EntryNotDeleted, Caption::Error);
        return false;
    }
    book.releaseLocation(shown.location);
    book.markDeleted(shown.entry);
    return true;
}

bool PhonebookWriter::confirmDelete(std::size_t row, bool selectFirst) {
    LinkOperation operation(engine_, reporter_);
    if (selectFirst && !selectCurrent())
        return false;
    if (row >= model_.current.rows.size())
        return false;
    if (reporter_.message(msg::ReallyDeleteEntry, Caption::Info, Buttons::YesNo) != Answer::Yes)
        return false;
    return deleteEntry(row);
}

void PhonebookWriter::clearPhonebook() {
    LinkOperation operation(engine_, reporter_);
    const bool fixed = model_.current.kind == Kind::Fixed;
    if (fixed) {
        // The protocol on location 1 unlocks the fixed-dialling writes.
        const WriteResult first = empty(1);
        if (first != WriteResult::Ok && first != WriteResult::Failed)
            return;
    }
    for (std::int64_t i = 1; i <= model_.current.range.highest && !linkFailed(); ++i)
        engine_.standard("AT+CPBW=" + std::to_string(i));
    if (fixed)
        engine_.standard("AT+CMEE=0");
    reader_.readCurrent(Reporter::Display::PhonebookBar);
}

bool PhonebookWriter::confirmClear() {
    LinkOperation operation(engine_, reporter_);
    if (reporter_.message(msg::ReallyClearPhonebook, Caption::Info, Buttons::YesNo) != Answer::Yes)
        return false;
    clearPhonebook();
    return true;
}

bool PhonebookWriter::addToRedbook(std::size_t row) {
    LinkOperation operation(engine_, reporter_);
    CurrentPhonebook& book = model_.current;
    if (row >= book.rows.size())
        return false;
    const std::size_t pos = book.findLocation(book.rows[row].location);
    if (pos == CurrentPhonebook::npos) {  // a deleted entry's empty row
        reporter_.message(msg::EntryNotFound, Caption::Error);
        return false;
    }
    if (endsWithMarker(book.entries[pos].name)) {
        reporter_.message(msg::AlreadyInRedbook, Caption::Error);
        return false;
    }
    if (!selectCurrent())
        return false;
    if (model_.redbook.size() >= kMaxRedbook) {
        reporter_.message(msg::EntryNotModified, Caption::Error);
        return false;
    }
    const PhonebookEntry e = book.entries[pos];
    const WriteResult result = store(e.index, e.number, e.type, e.name + "!");
    if (result != WriteResult::Ok) {
        if (result == WriteResult::Failed)
            reporter_.message(msg::EntryNotModified, Caption::Error);
        return false;
    }
    book.entries[pos].name = withMarker(e.name);
    book.refreshRows(pos);
    // Positions stay unique after removals: one past the highest shown.
    int next = 1;
    for (const PhonebookEntry& r : model_.redbook)
        next = std::max(next, r.index + 1);
    PhonebookEntry copy = book.entries[pos];
    copy.index = next;
    model_.redbook.push_back(std::move(copy));
    return true;
}

bool PhonebookWriter::removeFromRedbook(std::size_t position) {
    LinkOperation operation(engine_, reporter_);
    if (!selectCurrent())
        return false;
    if (position >= model_.redbook.size())
        return false;
    const std::string& wanted = model_.redbook[position].name;
    // Only entries the table really holds, and only marked ones: removing
    // the last character of an unmarked name would damage it.
    CurrentPhonebook& book = model_.current;
    std::size_t pos = CurrentPhonebook::npos;
    for (std::size_t i = 0; i < book.entries.size() && pos == CurrentPhonebook::npos; ++i) {
        const std::string& name = book.entries[i].name;
        if (book.isDeleted(i) || !endsWithMarker(name))
            continue;
        if (name == wanted || (!endsWithMarker(wanted) && name == withMarker(wanted)))
            pos = i;
    }
    if (pos == CurrentPhonebook::npos) {
        reporter_.message(msg::EntryNotFound, Caption::Error);
        return false;
    }
    const PhonebookEntry e = book.entries[pos];
    const std::string shortened = e.name.substr(0, e.name.size() - 1);
    const WriteResult result = store(e.index, e.number, e.type, shortened);
    if (result != WriteResult::Ok) {
        if (result == WriteResult::Failed)
            reporter_.message(msg::EntryNotModified, Caption::Error);
        return false;
    }
    book.entries[pos].name = shortened;
    book.refreshRows(pos);
    model_.redbook.erase(model_.redbook.begin() + static_cast<std::ptrdiff_t>(position));
    return true;
}

void PhonebookWriter::normalise() {
    LinkOperation operation(engine_, reporter_);
    const std::string& prefix = settings_.tPref;
    if (prefix.empty()) {
        reporter_.message(msg::EnterNormalisePrefix, Caption::Error);
        return;
    }
    CurrentPhonebook& book = model_.current;
    for (std::size_t i = 0; i < book.rows.size(); ++i) {
        const Row row = book.rows[i];
        if (row.number.empty() || row.number.front() != '0' ||
            row.number.find(prefix) != std::string::npos)
            continue;
        const std::size_t pos = book.findLocation(row.location);
        if (pos == CurrentPhonebook::npos)
            continue;
        const std::string number = prefix + (settings_.rem0 ? row.number : row.number.substr(1));
        const int type = numberType(number);
        const PhonebookEntry& e = book.entries[pos];
        const WriteResult result = store(e.index, number, type, e.name);
        if (result == WriteResult::Failed || result == WriteResult::Refused) {
            // The old number is still what the phone holds.
            reporter_.message(msg::EntryNotModified, Caption::Error);
            continue;
        }
        if (result != WriteResult::Ok)
            return;  // PIN2 cancelled, empty or rejected, or the link failed
        book.entries[pos].number = fitField(number);
        book.entries[pos].type = type;
        book.refreshRows(pos);
    }
}

}  // namespace vondrix::phonebook
