// The object store's read reply ("AT^SBNR=") through its parser. Besides
// not crashing: every decoded block is written in the reply as it decodes,
// no header gives nothing, and nothing decodes to more than the reply holds.
#include <algorithm>
#include <cctype>
#include <cstdint>
#include <string>

#include "media/Replies.h"

namespace {

void check(bool ok) {
    if (!ok)
        __builtin_trap();
}

std::string upper(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vondrix::media;
    const std::string reply(reinterpret_cast<const char*>(data), size);
    const SbnrRead read = parseSbnrRead(reply);

    if (reply.find("^SBNR:") == std::string::npos) {
        check(read.blocks.empty() && !read.count);
        return 0;
    }
    std::size_t total = 0;
    const std::string upperReply = upper(reply);
    for (const auto& block : read.blocks) {
        total += block.size();
        if (!read.damaged && !block.empty())
            check(upperReply.find("\n" + hexOf(block)) != std::string::npos);
    }
    check(2 * total <= reply.size());
    check(read.blocks.size() <= reply.size() / 7 + 1);  // each block needs its "^SBNR:\n"
    // The count comes from the first header: present exactly when that
    // header line has a third comma.
    if (!read.blocks.empty()) {
        const std::size_t header = reply.find("^SBNR:");
        const std::string line = reply.substr(header, reply.find('\n', header) - header);
        check(read.count.has_value() == (std::count(line.begin(), line.end(), ',') >= 3));
    }
    return 0;
}
