#pragma once

#include <string>
#include <string_view>

namespace vondrix {

// Replaces the file at `path` with `content` so that a crash never leaves
// it half-written or missing: the content goes to `tempPath` (in the same
// directory), is synced, and is renamed over `path`. False, with the old
// file untouched and no temporary file left, when any step fails.
bool replaceFileAtomically(const std::string& path, std::string_view content,
                           const std::string& tempPath);

}  // namespace vondrix
