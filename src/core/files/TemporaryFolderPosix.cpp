#include "files/TemporaryFolder.h"

#include <stdlib.h>

#include <cstdlib>
#include <vector>

namespace vondrix::files {

std::optional<TemporaryFolder> TemporaryFolder::create(std::string_view prefix) {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = base && *base ? base : "/tmp";
    if (pattern.back() != '/')
        pattern += '/';
    pattern += prefix;
    pattern += "XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    // mkdtemp makes the folder exclusively, readable by us alone.
    if (::mkdtemp(name.data()) == nullptr)
        return std::nullopt;
    return TemporaryFolder(std::string(name.data()));
}

}  // namespace vondrix::files
