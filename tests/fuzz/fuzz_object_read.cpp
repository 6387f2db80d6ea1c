// The object store's read reply ("AT^SBNR=") through its checked parser.
// Besides not crashing: only a whole object gives bytes, with one packet per
// announced header, each written in the reply as it decodes; a reply
// without lines holds no object.
#include <algorithm>
#include <cctype>
#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "link/Reply.h"
#include "link/SharedReplies.h"
#include "text/Hex.h"

namespace {

std::string upper(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vondrix;
    const std::string reply(reinterpret_cast<const char*>(data), size);
    const at::ObjectRead read = at::parseSbnrRead(reply, "bmp", 0);

    // No object without a line; only a whole object carries packets.
    if (at::parseReply(reply, "AT^SBNR=bmp,0").lines.empty())
        check(read.state == at::ObjectRead::State::Absent);
    if (!read.whole()) {
        check(read.packets.empty() && read.bytes().empty());
        return 0;
    }
    // A whole object: as many packets as announced, each with its header,
    // each written in the reply as it decodes.
    check(read.count >= 1 && static_cast<std::size_t>(read.count) == read.packets.size());
    check(count(reply, "^SBNR:") >= read.packets.size());
    const std::string upperReply = upper(reply);
    std::size_t total = 0;
    for (const auto& packet : read.packets) {
        check(!packet.empty());
        total += packet.size();
        check(upperReply.find(hexText(packet)) != std::string::npos);
    }
    check(2 * total <= reply.size() && read.bytes().size() == total);
    return 0;
}
