// Reading the message list, deleting, the service centre.

#include <algorithm>

#include "link/Command.h"
#include "link/LinkOperation.h"
#include "link/SharedReplies.h"
#include "sms/CodecOptions.h"
#include "sms/SmsService.h"
#include "text/Decimal.h"

namespace vondrix::sms {
namespace {

// Column 0 is read with a buffer of 10 bytes for the deletion.
constexpr std::size_t kIndexRead = 9;

}  // namespace

CodecSettings SmsService::codec() const {
    return codecSettingsFrom(settings_);
}

bool SmsService::readMessages() {
    LinkOperation operation(engine_, reporter_);
    MessageList& list = model_.list;
    // The reading window with its Cancel, asked after each transaction: a
    // cancelled read shows no list at all, never an old one.
    reporter_.progressBegin(Reporter::Display::Reading, 3, Reporter::Task::ReadingMessages);
    const auto cancelled = [&](int step) {
        reporter_.progressStep(step);
        if (!reporter_.cancelled())
            return false;
        reporter_.progressEnd();
        list.rows.clear();
        list.nextPosition = 0;
        reporter_.message(msg::ReadingCancelled, Caption::Info);
        return true;
    };
    if (const AtEngine::Result smgo = engine_.standard("AT^SMGO?")) {
        if (const auto state = parseSmgoQuery(smgo.raw))
            list.memory.state = *state;
    }
    if (cancelled(1))
        return false;
    // A phone reading a full memory may think a while before it answers:
    // the listing waits with the longer limit of the list transaction.
    std::optional<std::vector<MessageRow>> listed;
    const AtEngine::Result answered = engine_.list("AT+CMGL=4");
    if (cancelled(2))
        return false;
    if (answered) {
        listed = rowsOfListing(answered.raw, model_.names, codec());
    } else if (!linkFailed()) {
        reporter_.message(msg::MessageListNotRead, Caption::Error);
    }
    std::optional<MemoryCounts> counts;
    if (const AtEngine::Result cpms = engine_.standard("AT+CPMS?"))
        counts = parseCpmsQuery(cpms.raw);
    // A link that failed or fell out of step may have given the listing
    // another command's answer: the rows shown stay as they were.
    if (linkFailed()) {
        reporter_.progressEnd();
        return false;
    }
    if (listed) {
        list.rows = std::move(*listed);
        list.nextPosition = static_cast<int>(list.rows.size());
    }
    if (counts) {
        list.memory.used = counts->used;
        list.memory.capacity = counts->capacity;
    }
    reporter_.progressStep(3);
    reporter_.progressEnd();
    sortRows(list.rows, 2);
    return listed.has_value();
}

DeleteReport SmsService::deleteRows(std::vector<std::size_t> rows) {
    LinkOperation operation(engine_, reporter_);
    MessageList& list = model_.list;
    DeleteReport report;
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    std::vector<bool> gone(list.rows.size(), false);
    for (const std::size_t r : rows) {
        if (r >= list.rows.size())
            continue;
        const std::string index = list.rows[r].index.substr(0, kIndexRead);
        if (index.empty())
            continue;
        if (linkFailed())
            break;
        // An index the phone listed that is no number names no message: it
        // is never read as 0 and sent.
        const auto number = wholeNumber(index);
        if (!number) {
            ++report.refused;
            reporter_.message(msg::EntryNotDeleted, Caption::Error);
            continue;
        }
        const at::Command command = at::Command("AT+CMGD=").number(*number);
        if (engine_.withLateAnswer(engine_.standard(command.text()))) {
            gone[r] = true;
            ++report.deleted;
        } else if (!linkFailed()) {
            // The message is still in the phone: its row stays.
            ++report.refused;
            reporter_.message(msg::EntryNotDeleted, Caption::Error);
        }
    }
    report.linkFailed = linkFailed();
    std::size_t at = 0;
    std::erase_if(list.rows, [&](const MessageRow&) { return gone[at++]; });
    list.memory.used = static_cast<int>(list.count());
    return report;
}

bool SmsService::readServiceCentre() {
    LinkOperation operation(engine_, reporter_);
    model_.serviceCentre.clear();
    const AtEngine::Result csca = engine_.standard("AT+CSCA?");
    if (!csca)
        return false;
    model_.serviceCentre = at::parseCscaQuery(csca.raw);
    return true;
}

std::optional<std::string> SmsService::recipientFor(std::string_view typed) {
    if (typed.empty()) {
        reporter_.message(msg::EnterNumber, Caption::Error);
        return std::nullopt;
    }
    return resolveRecipient(typed, model_.names);
}

}  // namespace vondrix::sms
