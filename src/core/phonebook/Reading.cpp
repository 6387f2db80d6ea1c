// Reading the phonebooks, the own numbers, the Redbook and the service
// centre; the window's opening sequence and kind switching.

#include <algorithm>
#include <cstdint>

#include "link/Parsers.h"
#include "phonebook/PhonebookService.h"

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

std::string readCommand(const char* prefix, std::int64_t location) {
    return prefix + std::to_string(location);
}

}  // namespace

void PhonebookService::beginProgress(int target) {
    reporter_.progressBegin(target, 100);
    reporter_.progressStep(1);
}

void PhonebookService::endProgress(int target) {
    reporter_.progressStep(0);
    if (!(opening_ && target == kReadingDialog))
        reporter_.progressEnd();
}

bool PhonebookService::readCurrent(int progressTarget) {
    CurrentPhonebook& book = model_.current;
    beginProgress(progressTarget);
    if (engine_.standard("AT+CPBR=?") != 1) {
        endProgress(progressTarget);
        return false;
    }
    parseRangeAndLengths(engine_.response(), book.range.first, book.range.highest,
                         book.range.numberLength, book.range.textLength);
    book.entries.clear();
    book.freeLocations.clear();
    book.deleted.clear();
    book.rows.clear();

    ReadProgress progress(reporter_, book.range.highest);
    int emptyFound = 0;
    // 64-bit, so that a highest index of INT_MAX cannot overflow the loop.
    for (std::int64_t i = book.range.first; i <= book.range.highest; ++i) {
        const int location = static_cast<int>(i);
        if (engine_.standard(readCommand("AT+CPBR=", i)) != 1)
            continue;
        if (auto entry = parseReadResponse(engine_.response(), location)) {
            // Past the table's capacity the reading goes on for the free
            // list, but the entry is not kept.
            if (book.entries.size() < kMaxEntries) {
                book.rows.push_back(Row{location, entry->name, entry->number, book.entries.size()});
                book.entries.push_back(std::move(*entry));
            }
            reporter_.pump();
        } else {
            book.freeLocations.push_back(location);
            if (settings_.readB && ++emptyFound == 3)
                break;
        }
        progress.at(i);
    }
    sortRows(book.rows, 1);
    endProgress(progressTarget);
    return true;
}

void PhonebookService::readOwnNumbers() {
    model_.ownNumbers.fill({});
    if (engine_.standard("AT+CPBS=ON") != 1 || engine_.standard("AT+CPBR=?") != 1)
        return;
    int first = 1, highest = 0, numberLength = 0, textLength = 0;  // no range: no reads
    parseRangeAndLengths(engine_.response(), first, highest, numberLength, textLength);
    for (std::int64_t i = first; i <= highest; ++i) {
        if (engine_.standard(readCommand("AT+CPBR=", i)) != 1)
            continue;
        // The number as the reply has it, up to 49 characters: an own
        // number is shown, never kept in a table.
        const std::string_view r = engine_.response();
        const std::size_t open = r.find('"');
        if (open == std::string_view::npos || i < 1 || i > static_cast<std::int64_t>(kOwnNumbers))
            continue;
        const std::string_view rest = r.substr(open + 1);
        model_.ownNumbers[static_cast<std::size_t>(i - 1)] =
            std::string(rest.substr(0, std::min(rest.find_first_of("\"\r\n"), kMaxOwnNumber)));
    }
}

void PhonebookService::readRedbook() {
    model_.redbook.clear();
    if (engine_.standard("AT^SPBS=RD") != 1 || engine_.standard("AT^SPBG=?") != 1)
        return;
    int first = 1, highest = 0, numberLength = 0, textLength = 0;  // no range: no reads
    parseRangeAndLengths(engine_.response(), first, highest, numberLength, textLength);
    beginProgress(kReadingDialog);
    ReadProgress progress(reporter_, highest);
    for (std::int64_t i = first; i <= highest; ++i) {
        if (engine_.standard(readCommand("AT^SPBG=", i)) == 1) {
            if (auto entry = parseReadResponse(engine_.response(), static_cast<int>(i)))
                model_.redbook.push_back(std::move(*entry));
        }
        progress.at(i);
        // The table is full: further records could not be shown.
        if (model_.redbook.size() == kMaxRedbook)
            break;
    }
    endProgress(kReadingDialog);
}

void PhonebookService::readCallLists() {
    readCallList("LD", model_.dialled);
    readCallList("MC", model_.missed);
    readCallList("RC", model_.received);
}

void PhonebookService::readCallList(const char* code, CallList& list) {
    if (engine_.standard(std::string("AT+CPBS=") + code) != 1)
        return;
    if (engine_.standard("AT+CPBR=?") != 1)
        return;
    beginProgress(kReadingDialog);
    int first = 1, highest = 0, numberLength = 0, textLength = 0;  // no range: no reads
    parseRangeAndLengths(engine_.response(), first, highest, numberLength, textLength);
    list.calls.clear();
    list.lines.clear();
    ReadProgress progress(reporter_, highest);
    for (std::int64_t i = first; i <= highest && list.calls.size() < kMaxCalls; ++i) {
        if (engine_.standard(readCommand("AT+CPBR=", i)) != 1)
            continue;
        auto call = parseReadResponse(engine_.response(), static_cast<int>(i));
        if (!call)
            break;  // the first empty location ends the list
        // The name is decoded already; decoding the digits changes nothing.
        list.lines.push_back(call->name + ", " + call->number);
        list.calls.push_back(std::move(*call));
        progress.at(i);
    }
    endProgress(kReadingDialog);
}

bool PhonebookService::readServiceCentre() {
    model_.serviceCentre = PhonebookEntry{};
    if (engine_.standard("AT+CSCA?") != 1)
        return false;
    model_.serviceCentre.number = fitField(parseServiceCentre(engine_.response()));
    model_.serviceCentre.type = numberType(model_.serviceCentre.number);
    return true;
}

bool PhonebookService::selectCurrent() {
    return engine_.standard(kindInfo(model_.current.kind).selectCommand) == 1;
}

void PhonebookService::open() {
    model_.serviceCentre = PhonebookEntry{};
    model_.current.freeLocations.clear();
    model_.current.deleted.clear();
    model_.current.kind = Kind::Sim;

    opening_ = true;
    reporter_.progressBegin(kReadingDialog, 100);
    readOwnNumbers();
    if (selectCurrent())
        readCurrent(kReadingDialog);
    readRedbook();
    readCallLists();
    readServiceCentre();
    opening_ = false;
    reporter_.progressEnd();

    model_.phonebookRead = true;
    sortRows(model_.current.rows, 1);
    selectCurrent();
}

void PhonebookService::switchKind(Kind kind, const std::function<void()>& saveCurrent) {
    if (kind == model_.current.kind)
        return;
    if (saveCurrent)
        saveCurrent();
    model_.current.kind = kind;
    if (selectCurrent())
        readCurrent(kWindowProgressBar);
}

bool PhonebookService::setServiceCentre(const std::string& number) {
    const std::string text = number.substr(0, 49);
    if (text.empty()) {
        reporter_.message(msg::EnterServiceCentre, Caption::Error);
        return false;
    }
    const int type = numberType(text);
    if (!fitsCommandLine(text) ||
        engine_.standard("AT+CSCA=" + text + "," + std::to_string(type)) != 1) {
        reporter_.message(msg::ServiceCentreNotSet, Caption::Error);
        return false;
    }
    model_.serviceCentre.number = fitField(text);
    model_.serviceCentre.type = type;
    return true;
}

}  // namespace vondrix::phonebook
