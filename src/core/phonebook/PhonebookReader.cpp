// Reading the phonebooks, the own numbers, the Redbook and the call lists.

#include "phonebook/PhonebookReader.h"

#include <algorithm>
#include <cstdint>

#include "link/LinkOperation.h"
#include "phonebook/LocationReader.h"
#include "phonebook/Replies.h"
#include "phonebook/Shared.h"

namespace vondrix::phonebook {
namespace {

// The bar of a read: it starts at 1 and moves to p = 100 * i / highest
// whenever p grows; with highest 0 it does not move at all.
class ReadProgress {
  public:
    ReadProgress(Reporter& reporter, int highest) : reporter_(reporter), highest_(highest) {}
    void at(std::int64_t location) {
        if (highest_ == 0)
            return;
        const std::int64_t p = 100 * location / highest_;
        if (p <= shown_)
            return;
        shown_ = p;
        reporter_.progressStep(static_cast<int>(p));
    }

  private:
    Reporter& reporter_;
    std::int64_t highest_;
    std::int64_t shown_ = 1;
};

}  // namespace

bool PhonebookReader::stopAsked() {
    if (!cancelled_ && reporter_.cancelled()) {
        cancelled_ = true;
        reporter_.message(msg::ReadingCancelled, Caption::Info);
    }
    return cancelled_;
}

void PhonebookReader::beginProgress(Reporter::Display target, Reporter::Task task) {
    reporter_.progressBegin(target, 100, task);
    reporter_.progressStep(1);
}

void PhonebookReader::endProgress(Reporter::Display target) {
    reporter_.progressStep(0);
    if (!(opening_ && target == Reporter::Display::Reading))
        reporter_.progressEnd();
}

bool PhonebookReader::readCurrent(Reporter::Display progressTarget) {
    LinkOperation operation(engine_, reporter_);
    if (!opening_)
        cancelled_ = false;
    CurrentPhonebook& book = model_.current;
    static constexpr Reporter::Task kTasks[] = {
        Reporter::Task::ReadingSim, Reporter::Task::ReadingInternal, Reporter::Task::ReadingFixed};
    beginProgress(progressTarget, kTasks[static_cast<int>(book.kind) % 3]);
    const AtEngine::Result test = engine_.standard(kRangeQuery);
    if (!test) {
        if (linkFailed()) {
            book = CurrentPhonebook::unread(book.kind);
        }
        endProgress(progressTarget);
        return false;
    }
    // The new table is filled aside and replaces the old one only when the
    // read ran to its end.
    const auto range = parseCpbrTest(test.raw, book.range);
    if (!range) {
        // An unknown size is no empty phonebook: nothing read, nothing saved.
        reporter_.message(msg::PhonebookSizeUnreadable, Caption::Error);
        endProgress(progressTarget);
        return false;
    }
    CurrentPhonebook fresh = CurrentPhonebook::unread(book.kind);
    fresh.range = *range;

    ReadProgress progress(reporter_, fresh.range.highest);
    LocationReader reader(engine_, "AT+CPBR=", "+CPBR:", fresh.range.highest, rangeSize());
    int emptyFound = 0;
    // 64-bit, so that a highest index of INT_MAX cannot overflow the loop.
    for (std::int64_t i = fresh.range.first; i <= fresh.range.highest; ++i) {
        const int location = static_cast<int>(i);
        const auto reply = reader.read(i);
        if (!reply) {
            if (linkFailed())
                break;  // no answer: the remaining locations are not asked for
            continue;   // the phone refused this location: skip it
        }
        if (auto entry = parseCpbrRead(*reply, location)) {
            // Past the table's capacity the reading goes on for the free
            // list, but the entry is not kept.
            if (fresh.entries.size() < kMaxEntries) {
                fresh.rows.push_back(
                    Row{location, entry->name, entry->number, fresh.entries.size()});
                fresh.entries.push_back(std::move(*entry));
            }
            reporter_.pump();
        } else {
            fresh.freeLocations.push_back(location);
            if (settings_.readB && ++emptyFound == 3)
                break;
        }
        if (reader.stepEnds(i))
            progress.at(i);
        if (stopAsked())
            break;  // after this transaction, as after a link failure
    }
    if (linkFailed() || cancelled_) {
        book = CurrentPhonebook::unread(book.kind);
        endProgress(progressTarget);
        return false;
    }
    sortRows(fresh.rows, 1);
    fresh.complete = true;
    book = std::move(fresh);
    endProgress(progressTarget);
    return true;
}

std::optional<Range> PhonebookReader::selectAndSize(const std::string& select,
                                                    const char* sizeQuery) {
    if (!engine_.standard(select))
        return std::nullopt;
    const AtEngine::Result test = engine_.standard(sizeQuery);
    if (!test)
        return std::nullopt;
    return parseCpbrTest(test.raw, Range{});
}

bool PhonebookReader::readOwnNumbers() {
    LinkOperation operation(engine_, reporter_);
    model_.ownNumbers.fill({});
    const auto size = selectAndSize("AT+CPBS=ON", kRangeQuery);
    if (!size)
        return false;
    const Range range = *size;
    LocationReader reader(engine_, "AT+CPBR=", "+CPBR:", range.highest, rangeSize());
    for (std::int64_t i = range.first; i <= range.highest && !linkFailed(); ++i) {
        const auto reply = reader.read(i);
        if (!reply)
            continue;
        // The number as the reply has it: an own number is shown, never
        // kept in a table.
        const auto number = parseOwnNumber(*reply);
        if (number && i >= 1 && i <= static_cast<std::int64_t>(kOwnNumbers))
            model_.ownNumbers[static_cast<std::size_t>(i - 1)] = *number;
    }
    return !linkFailed();
}

void PhonebookReader::readRedbook() {
    LinkOperation operation(engine_, reporter_);
    model_.redbook.clear();
    const auto size = selectAndSize("AT^SPBS=RD", "AT^SPBG=?");
    if (!size)
        return;
    const Range range = *size;
    beginProgress(Reporter::Display::Reading, Reporter::Task::ReadingRedbook);
    ReadProgress progress(reporter_, range.highest);
    LocationReader reader(engine_, "AT^SPBG=", "^SPBG:", range.highest, rangeSize());
    for (std::int64_t i = range.first; i <= range.highest && !linkFailed(); ++i) {
        if (const auto reply = reader.read(i)) {
            if (auto entry = parseCpbrRead(*reply, static_cast<int>(i)))
                model_.redbook.push_back(std::move(*entry));
        }
        if (reader.stepEnds(i))
            progress.at(i);
        // The table is full: further records could not be shown.
        if (model_.redbook.size() == kMaxRedbook)
            break;
    }
    if (linkFailed())
        model_.redbook.clear();
    endProgress(Reporter::Display::Reading);
}

void PhonebookReader::readCallLists() {
    readCallList("LD", model_.dialled);
    readCallList("MC", model_.missed);
    readCallList("RC", model_.received);
}

void PhonebookReader::readCallList(const char* code, CallList& list) {
    LinkOperation operation(engine_, reporter_);
    const auto size = selectAndSize(std::string("AT+CPBS=") + code, kRangeQuery);
    if (!size)
        return;
    const Range range = *size;
    beginProgress(Reporter::Display::Reading, Reporter::Task::ReadingCallLists);
    list.calls.clear();
    list.lines.clear();
    ReadProgress progress(reporter_, range.highest);
    LocationReader reader(engine_, "AT+CPBR=", "+CPBR:", range.highest, rangeSize());
    for (std::int64_t i = range.first; i <= range.highest && list.calls.size() < kMaxCalls; ++i) {
        const auto reply = reader.read(i);
        if (!reply) {
            if (linkFailed())
                break;
            continue;
        }
        auto call = parseCpbrRead(*reply, static_cast<int>(i));
        if (!call)
            break;  // the first empty location ends the list
        // The name is decoded already; decoding the digits changes nothing.
        list.lines.push_back(call->name + ", " + call->number);
        list.calls.push_back(std::move(*call));
        if (reader.stepEnds(i))
            progress.at(i);
    }
    if (linkFailed()) {
        list.calls.clear();
        list.lines.clear();
    }
    endProgress(Reporter::Display::Reading);
}

bool PhonebookReader::selectCurrent() {
    return selectKind(engine_, reporter_, model_.current.kind);
}

void PhonebookReader::holdReadingDialog(bool held) {
    opening_ = held;
    if (held)
        cancelled_ = false;
}

}  // namespace vondrix::phonebook
