#pragma once

#include <string>
#include <string_view>

namespace vondrix {

// The SHA-256 digest (FIPS 180-4) of `bytes` as 64 lower-case hexadecimal
// digits, as sha256sum prints it; the backup manifest records one per file.
std::string sha256Hex(std::string_view bytes);

}  // namespace vondrix
