#pragma once

// The logo and the ringtone as raw bytes, for the backup and the restore:
// read in one "AT^SBNR" without a file, sent back in the upload's segments.

#include <optional>
#include <string>

#include "link/AtEngine.h"
#include "media/TransferService.h"

namespace vondrix::media {

// The largest object kept (a download's reply holds at most half the
// engine's reply budget in bytes).
constexpr std::size_t kMaxRawMedia = 64 * 1024;

// The object's bytes; empty when the phone holds none (or refuses the read:
// a phone without that object may do either); nothing when the reply came
// damaged or the link failed.
std::optional<std::string> readRawObject(AtEngine& engine, ObjectKind kind);

// Deletes the stored object and sends `bytes` in segments, as an upload
// does; an empty `bytes` only deletes. False at the first refusal.
bool writeRawObject(AtEngine& engine, ObjectKind kind, const std::string& bytes);

}  // namespace vondrix::media
