#include "media/RawObjects.h"

#include <span>

#include "link/Command.h"
#include "link/SharedReplies.h"
#include "text/Hex.h"

namespace vondrix::media {

std::optional<std::string> readRawObject(AtEngine& engine, ObjectKind kind) {
    const ObjectType& type = objectType(kind);
    const AtEngine::Result sbnr =
        engine.standard(at::Command("AT^SBNR=").word(type.code).number(0).text());
    if (!sbnr)
        return engine.failure() == AtEngine::Failure::None ? std::optional<std::string>("")
                                                           : std::nullopt;
    const at::ObjectRead read = at::parseSbnrRead(sbnr.raw, type.code, 0);
    if (read.state == at::ObjectRead::State::Absent)
        return std::string();
    if (!read.whole()) {
        // Reported once, as a reply that could not be read, when the
        // backup's operation ends.
        engine.setFailure(AtEngine::Failure::Unreadable);
        return std::nullopt;
    }
    const std::vector<unsigned char> object = read.bytes();
    std::string bytes(object.begin(), object.end());
    if (bytes.size() > kMaxRawMedia)
        return std::nullopt;
    return bytes;
}

bool writeRawObject(AtEngine& engine, ObjectKind kind, const std::string& bytes) {
    const ObjectType& type = objectType(kind);
    if (bytes.size() > kMaxRawMedia)
        return false;
    if (kind == ObjectKind::Ringtone)
        engine.standard(at::Command("AT^SBNW=").word(type.code).number(0).text());
    const bool deleted =
        engine.standard(at::Command("AT^SBNW=").word(type.code).number(0).number(0).text()).ok();
    if (bytes.empty())
        return deleted;
    const std::int64_t count =
        static_cast<std::int64_t>((bytes.size() + type.segmentBytes - 1) / type.segmentBytes);
    for (std::int64_t k = 1; k <= count; ++k) {
        const std::size_t at = static_cast<std::size_t>(k - 1) * type.segmentBytes;
        const std::size_t n = std::min(type.segmentBytes, bytes.size() - at);
        const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data() + at);
        if (!engine.prompt(segmentCommand(type, k, count)))
            return false;
        const at::Command segment =
            at::Command("").hex(hexText(std::span(data, n)), 2 * type.segmentBytes);
        if (!segment.valid() || !engine.prompt(segment.text() + '\x1a', true))
            return false;
    }
    return true;
}

}  // namespace vondrix::media
