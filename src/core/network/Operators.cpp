#include "network/Operators.h"

#include <algorithm>
#include <cstdint>

#include "link/Command.h"
#include "link/LinkOperation.h"
#include "network/Replies.h"

namespace vondrix::network {
namespace {

// MCC and MNC: three digits and two or three.
bool isOperatorCode(int code) {
    return code >= 10000 && code <= 999999;
}

}  // namespace

std::string OperatorsModel::nameOf(int code) const {
    for (const OperatorName& o : known)
        if (o.code == code)
            return o.name;
    return {};
}

std::size_t OperatorsModel::preferredShown() const {
    const auto end = std::find_if(preferred.begin(), preferred.end(),
                                  [](const PreferredEntry& e) { return e.name.empty(); });
    return static_cast<std::size_t>(end - preferred.begin());
}

std::optional<std::size_t> OperatorsModel::rowOfPosition(int position) const {
    for (std::size_t i = 0; i < preferred.size(); ++i)
        if (preferred[i].position == position)
            return i;
    return std::nullopt;
}

std::optional<std::size_t> OperatorsModel::firstFree() const {
    for (std::size_t i = 0; i < preferred.size(); ++i)
        if (preferred[i].free())
            return i;
    return std::nullopt;
}

void sortKnown(std::vector<OperatorName>& known, int column) {
    if (column == 0)
        std::stable_sort(
            known.begin(), known.end(),
            [](const OperatorName& a, const OperatorName& b) { return a.code < b.code; });
    else
        // std::string compares its bytes as unsigned characters.
        std::stable_sort(
            known.begin(), known.end(),
            [](const OperatorName& a, const OperatorName& b) { return a.name < b.name; });
}

bool OperatorsService::stopAsked() {
    if (reading_ && !cancelled_)
        cancelled_ = reporter_.cancelled();
    return cancelled_;
}

void OperatorsService::open() {
    LinkOperation operation(engine_, reporter_);
    model_ = OperatorsModel{};
    reading_ = true;
    cancelled_ = false;
    reporter_.progressBegin(Reporter::Display::Reading, 3, Reporter::Task::Reading);
    readKnown();
    reporter_.progressStep(1);
    if (!stopAsked())
        readPreferred();
    reporter_.progressStep(2);
    // The search does not depend on the preferred list: a SIM without one
    // still lets the user choose a network.
    if (!stopAsked())
        search();
    reporter_.progressStep(3);
    stopAsked();
    reporter_.progressEnd();
    reading_ = false;
    if (cancelled_) {
        model_ = OperatorsModel{};  // none of the lists, as after a link failure
        reporter_.message(msg::ReadingCancelled, Caption::Info);
        return;
    }
    sortKnown(model_.known, 1);
}

bool OperatorsService::readKnown() {
    LinkOperation operation(engine_, reporter_);
    const AtEngine::Result splm = engine_.list("AT^SPLM");
    if (!splm) {
        if (!linkFailed())
            model_.known.clear();
        return false;
    }
    model_.known = parseSplmList(splm.raw);
    return true;
}

bool OperatorsService::readPreferred() {
    LinkOperation operation(engine_, reporter_);
    const AtEngine::Result test = engine_.standard("AT^SPLR=?");
    if (!test) {
        if (!linkFailed())
            model_.preferred.clear();
        return false;
    }
    const auto range = parseSplrTest(test.raw);
    std::vector<PreferredEntry> fresh;
    if (range) {
        // 64-bit and bounded: a range up to INT_MAX reads kMaxPreferred positions.
        const std::int64_t last =
            std::min<std::int64_t>(range->last, std::int64_t{range->first} + kMaxPreferred - 1);
        for (std::int64_t p = range->first; p <= last; ++p) {
            const int position = static_cast<int>(p);
            const AtEngine::Result splr =
                engine_.standard(at::Command("AT^SPLR=").number(position).text());
            if (!splr) {
                if (linkFailed())
                    break;
                continue;  // the phone refused this position: no entry
            }
            const PreferredRead read = parseSplrRead(splr.raw);
            if (read.free)
                fresh.push_back(PreferredEntry{position, 0, std::string(kFreeName)});
            else if (read.code)
                fresh.push_back(PreferredEntry{position, *read.code, model_.nameOf(*read.code)});
            reporter_.pump();
            if (stopAsked())
                break;
        }
    }
    if (linkFailed() || cancelled_)
        return false;
    model_.preferred = std::move(fresh);
    return true;
}

bool OperatorsService::search() {
    LinkOperation operation(engine_, reporter_);
    const AtEngine::Result cops = engine_.list("AT+COPS=?");
    if (!cops) {
        if (!linkFailed())
            model_.found.clear();
        return false;
    }
    model_.found = parseCopsSearch(cops.raw);
    return true;
}

Outcome OperatorsService::addPreferred(int code) {
    LinkOperation operation(engine_, reporter_);
    if (!isOperatorCode(code)) {
        reporter_.message(msg::ValueRefused, Caption::Error);
        return Outcome::Refused;
    }
    const auto row = model_.firstFree();
    if (!row) {
        reporter_.message(msg::NoFreeEntry, Caption::Error);
        return Outcome::Failed;
    }
    PreferredEntry& entry = model_.preferred[*row];
    const std::string command = at::Command("AT^SPLW=").number(entry.position).number(code).text();
    if (!engine_.standard(command)) {
        if (linkFailed())
            return Outcome::LinkFailed;
        reporter_.message(msg::NewEntryNotWritten, Caption::Error);
        return Outcome::Failed;
    }
    entry.code = code;
    entry.name = model_.nameOf(code);
    return Outcome::Done;
}

Outcome OperatorsService::removePreferred(std::size_t row) {
    LinkOperation operation(engine_, reporter_);
    if (row >= model_.preferred.size())
        return Outcome::Failed;
    PreferredEntry& entry = model_.preferred[row];
    // The entry's own position: rows and positions differ when the range
    // does not start at 1 or a position could not be read.
    if (!engine_.standard(at::Command("AT^SPLW=").number(entry.position).text())) {
        if (linkFailed())
            return Outcome::LinkFailed;
        reporter_.message(msg::EntryNotDeleted, Caption::Error);
        return Outcome::Failed;
    }
    entry.code = 0;
    entry.name = std::string(kFreeName);
    return Outcome::Done;
}

Selection OperatorsService::select(std::size_t row, NetworkStatus& status) {
    LinkOperation operation(engine_, reporter_);
    if (row >= model_.found.size())
        return Selection::Ignored;
    const FoundNetwork& network = model_.found[row];
    switch (network.status) {
        case static_cast<int>(SearchStatus::Unknown):
            reporter_.message(msg::OperatorUnknown, Caption::Error);
            return Selection::Unknown;
        case static_cast<int>(SearchStatus::Available):
            break;
        case static_cast<int>(SearchStatus::Current):
            reporter_.message(msg::OperatorInUse, Caption::Error);
            return Selection::InUse;
        case static_cast<int>(SearchStatus::Forbidden):
            reporter_.message(msg::OperatorNotSelectable, Caption::Error);
            return Selection::NotSelectable;
        default:
            return Selection::Ignored;
    }
    // Manual mode: in automatic mode (0) the phone ignores the operator.
    const std::string command =
        at::Command("AT+COPS=").number(1).number(2).number(network.code).text();
    if (!engine_.standard(command)) {
        if (linkFailed())
            return Selection::LinkFailed;
        reporter_.message(msg::OperatorNotSet, Caption::Error);
        return Selection::Failed;
    }
    engine_.standard("AT+COPS=3,0");
    refreshOperatorAndRegistration(engine_, status);
    return linkFailed() ? Selection::LinkFailed : Selection::Selected;
}

Selection OperatorsService::selectCode(int code, NetworkStatus& status) {
    for (std::size_t i = 0; i < model_.found.size(); ++i)
        if (model_.found[i].code == code)
            return select(i, status);
    reporter_.message(msg::OperatorUnknown, Caption::Error);
    return Selection::Unknown;
}

}  // namespace vondrix::network
