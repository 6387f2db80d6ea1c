#include "phonebook/LocationReader.h"

#include <algorithm>

#include "link/Command.h"
#include "link/Reply.h"
#include "phonebook/Replies.h"

namespace vondrix::phonebook {

LocationReader::LocationReader(AtEngine& engine, std::string command, std::string replyPrefix,
                               std::int64_t highest, int rangeSize)
    : engine_(engine),
      command_(std::move(command)),
      replyPrefix_(std::move(replyPrefix)),
      highest_(highest),
      rangeSize_(rangeSize) {}

std::optional<std::string_view> LocationReader::read(std::int64_t location) {
    const bool inRange = haveRange_ && location >= rangeFirst_ && location <= rangeLast_;
    if (!inRange && rangeSize_ > 1) {
        haveRange_ = false;
        const std::int64_t last = std::min(highest_, location + rangeSize_ - 1);
        // A single location left is asked for on its own.
        if (last > location && !readRange(location, last)) {
            if (engine_.failure() != AtEngine::Failure::None)
                return std::nullopt;  // the read ends, as with single locations
            rangeSize_ = 0;           // the phone does not do ranges well: no more of them
        }
    }
    if (haveRange_ && location >= rangeFirst_ && location <= rangeLast_) {
        while (nextRecord_ < records_.size() && records_[nextRecord_].first < location)
            ++nextRecord_;
        if (nextRecord_ < records_.size() && records_[nextRecord_].first == location)
            return std::string_view(records_[nextRecord_].second);
        return std::string_view();  // left out of the range reply: empty
    }
    single_ = engine_.standard(command_ + std::to_string(location));
    if (!single_)
        return std::nullopt;
    // A record of another location answers another command (a reply sent
    // twice, or one that came late): nothing after it can be trusted.
    if (const auto line = single_.reply.first(replyPrefix_)) {
        auto fields = at::FieldReader::after(*line, replyPrefix_);
        const auto held = fields ? fields->number() : std::nullopt;
        if (held && *held != location) {
            engine_.markOutOfStep();
            return std::nullopt;
        }
    }
    return std::string_view(single_.raw);
}

bool LocationReader::stepEnds(std::int64_t location) const {
    if (haveRange_ && location >= rangeFirst_ && location <= rangeLast_)
        return location == rangeLast_;
    return true;
}

bool LocationReader::readRange(std::int64_t first, std::int64_t last) {
    const std::string command = at::Command(command_).number(first).number(last).text();
    if (command.empty())
        return false;
    const AtEngine::Result range = engine_.standard(command);
    if (!range)
        return false;
    const auto records = splitRangeReply(range.raw, replyPrefix_, static_cast<int>(first),
                                         static_cast<int>(last), command);
    if (!records)
        return false;
    records_.clear();
    for (const RangeRecord& r : *records)
        records_.emplace_back(r.location, std::string(r.text));
    nextRecord_ = 0;
    rangeFirst_ = first;
    rangeLast_ = last;
    haveRange_ = true;
    return true;
}

}  // namespace vondrix::phonebook
