// Reading the phonebooks, the own numbers, the Redbook and the service
// centre; the window's opening sequence and kind switching.

#include <algorithm>
#include <cstdint>

#include "link/Command.h"
#include "link/SharedReplies.h"
#include "phonebook/LocationReader.h"
#include "phonebook/PhonebookService.h"
#include "phonebook/Replies.h"

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

bool PhonebookService::stopAsked() {
    if (!cancelled_ && reporter_.cancelled()) {
        cancelled_ = true;
        reporter_.message(msg::ReadingCancelled, Caption::Info);
    }
    return cancelled_;
}

void PhonebookService::beginProgress(Reporter::Display target, Reporter::Task task) {
    reporter_.progressBegin(target, 100, task);
    reporter_.progressStep(1);
}

void PhonebookService::endProgress(Reporter::Display target) {
    reporter_.progressStep(0);
    if (!(opening_ && target == Reporter::Display::Reading))
        reporter_.progressEnd();
}

bool PhonebookService::readCurrent(Reporter::Display progressTarget) {
    LinkOperation operation(engine_, reporter_);
    if (!opening_)
        cancelled_ = false;
    CurrentPhonebook& book = model_.current;
    static constexpr Reporter::Task kTasks[] = {
        Reporter::Task::ReadingSim, Reporter::Task::ReadingInternal, Reporter::Task::ReadingFixed};
    beginProgress(progressTarget, kTasks[static_cast<int>(book.kind) % 3]);
    if (engine_.standard("AT+CPBR=?") != 1) {
        if (linkFailed()) {
            book = CurrentPhonebook::unread(book.kind);
        }
        endProgress(progressTarget);
        return false;
    }
    // The new table is filled aside and replaces the old one only when the
    // read ran to its end.
    const auto range = parseCpbrTest(engine_.response(), book.range);
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

bool PhonebookService::readOwnNumbers() {
    LinkOperation operation(engine_, reporter_);
    model_.ownNumbers.fill({});
    if (engine_.standard("AT+CPBS=ON") != 1 || engine_.standard("AT+CPBR=?") != 1)
        return false;
    const auto size = parseCpbrTest(engine_.response(), Range{});
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

void PhonebookService::readRedbook() {
    LinkOperation operation(engine_, reporter_);
    model_.redbook.clear();
    if (engine_.standard("AT^SPBS=RD") != 1 || engine_.standard("AT^SPBG=?") != 1)
        return;
    const auto size = parseCpbrTest(engine_.response(), Range{});
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

void PhonebookService::readCallLists() {
    readCallList("LD", model_.dialled);
    readCallList("MC", model_.missed);
    readCallList("RC", model_.received);
}

void PhonebookService::readCallList(const char* code, CallList& list) {
    LinkOperation operation(engine_, reporter_);
    if (engine_.standard(std::string("AT+CPBS=") + code) != 1)
        return;
    if (engine_.standard("AT+CPBR=?") != 1)
        return;
    const auto size = parseCpbrTest(engine_.response(), Range{});
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

bool PhonebookService::readServiceCentre() {
    LinkOperation operation(engine_, reporter_);
    model_.serviceCentre = PhonebookEntry{};
    if (engine_.standard("AT+CSCA?") != 1)
        return false;
    model_.serviceCentre.number = fitField(at::parseCscaQuery(engine_.response()));
    model_.serviceCentre.type = numberType(model_.serviceCentre.number);
    return true;
}

bool PhonebookService::selectCurrent() {
    LinkOperation operation(engine_, reporter_);
    return engine_.standard(kindInfo(model_.current.kind).selectCommand) == 1;
}

void PhonebookService::open() {
    LinkOperation operation(engine_, reporter_);
    model_.serviceCentre = PhonebookEntry{};
    model_.current.freeLocations.clear();
    model_.current.deleted.clear();
    model_.current.kind = Kind::Sim;

    opening_ = true;
    cancelled_ = false;
    reporter_.progressBegin(Reporter::Display::Reading, 100, Reporter::Task::ReadingOwnNumbers);
    // After a link failure the steps that follow send nothing; after a
    // Cancel they are not run.
    readOwnNumbers();
    if (!stopAsked() && selectCurrent())
        readCurrent(Reporter::Display::Reading);
    if (!stopAsked()) {
        readRedbook();
        if (!stopAsked())
            readCallLists();
        if (!stopAsked())
            readServiceCentre();
    }
    opening_ = false;
    reporter_.progressEnd();

    model_.phonebookRead = true;
    sortRows(model_.current.rows, 1);
    selectCurrent();
}

void PhonebookService::switchKind(Kind kind, const std::function<void()>& saveCurrent) {
    if (kind == model_.current.kind)
        return;
    LinkOperation operation(engine_, reporter_);
    if (saveCurrent)
        saveCurrent();
    model_.current = CurrentPhonebook::unread(kind);
    if (selectCurrent())
        readCurrent(Reporter::Display::PhonebookBar);
}

bool PhonebookService::setServiceCentre(const std::string& number) {
    LinkOperation operation(engine_, reporter_);
    const std::string text = number.substr(0, 49);
    if (text.empty()) {
        reporter_.message(msg::EnterServiceCentre, Caption::Error);
        return false;
    }
    const int type = numberType(text);
    const at::Command command = at::Command("AT+CSCA=").phoneNumber(text).number(type);
    if (!command.valid()) {
        reporter_.message(msg::ValueRefused, Caption::Error);
        return false;
    }
    if (engine_.standard(command.text()) != 1) {
        if (!linkFailed())
            reporter_.message(msg::ServiceCentreNotSet, Caption::Error);
        return false;
    }
    model_.serviceCentre.number = fitField(text);
    model_.serviceCentre.type = type;
    return true;
}

}  // namespace vondrix::phonebook
