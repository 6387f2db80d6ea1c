#pragma once

#include <cstdint>
#include <span>
#include <string>

// Where the logo and ringtone code writes files: a downloaded object, a
// converted picture. One function, so that every such write keeps the same
// guarantee.
namespace vondrix::media {

// False when something other than a regular file (a folder, a FIFO, a
// device) stands at `path`: reading it would fail or wait for ever. True
// for a regular file and for a path where nothing is.
bool mayReadAsFile(const std::string& path);

// Writes `bytes` to `path`. An existing file is replaced only once the new
// content is complete; on failure it is left as it was and nothing half
// written remains.
bool writeObjectFile(const std::string& path, std::span<const std::uint8_t> bytes);

}  // namespace vondrix::media
