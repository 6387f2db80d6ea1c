#include "files/Files.h"

#include <atomic>
#include <cstdio>
#include <optional>

#include "files/TempNames.h"

namespace vondrix::files {

ReadResult readRegularFile(const std::string& path) {
    return readRegularFile(path, static_cast<std::size_t>(-1));
}

namespace temp {

std::string SplitPath::folder() const {
    if (folderPrefix.empty())
        return ".";
    if (folderPrefix == "/")
        return "/";
    return folderPrefix.substr(0, folderPrefix.size() - 1);
}

SplitPath split(const std::string& path, std::string_view separators) {
    const std::size_t slash = path.find_last_of(separators);
    if (slash == std::string::npos)
        return {"", path};
    return {path.substr(0, slash + 1), path.substr(slash + 1)};
}

std::string uniqueSuffix(long processId) {
    static std::atomic<unsigned> counter{0};
    const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
    char text[64];
    std::snprintf(text, sizeof text, ".%ld.%x.%llx", processId, counter.fetch_add(1),
                  static_cast<unsigned long long>(now) & 0xFFFFFFull);
    return text;
}

bool isOurTempName(std::string_view name, std::string_view base, bool exactToo, long& pid) {
    pid = 0;
    if (name == base)
        return exactToo;
    if (!name.starts_with(base) || name.size() <= base.size() || name[base.size()] != '.')
        return false;
    name.remove_prefix(base.size() + 1);
    const auto field = [&](bool decimal) -> std::optional<unsigned long long> {
        const std::size_t dot = name.find('.');
        const std::string_view text = name.substr(0, dot);
        name.remove_prefix(dot == std::string_view::npos ? name.size() : dot + 1);
        if (text.empty() || text.size() > 16)
            return std::nullopt;
        unsigned long long value = 0;
        for (const char c : text) {
            const int digit = c >= '0' && c <= '9'               ? c - '0'
                              : !decimal && c >= 'a' && c <= 'f' ? c - 'a' + 10
                                                                 : -1;
            if (digit < 0)
                return std::nullopt;
            value = value * (decimal ? 10 : 16) + static_cast<unsigned>(digit);
        }
        return value;
    };
    const auto id = field(true);
    const bool rest = field(false).has_value() && field(false).has_value() && name.empty();
    if (!id || !rest || *id == 0 || *id > 0x7FFFFFFF)
        return false;
    pid = static_cast<long>(*id);
    return true;
}

}  // namespace temp
}  // namespace vondrix::files
