// Group files: any bytes read as members stay within their limits, never
// carry a line end, and what is written reads back
// as it was (numbers cut to what the file keeps).
#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "sms/Group.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace vondrix::sms;
    const std::string content(reinterpret_cast<const char*>(data), size);

    const std::vector<GroupMember> members = parseGroupFile(content);
    std::size_t lines = 0;
    for (char c : content)
        lines += c == '\n';
    check(members.size() <= lines + 1);
    for (const GroupMember& m : members) {
        check(m.name.find('\n') == std::string::npos);
        check(m.number.find('\n') == std::string::npos);
        check(m.name.size() <= kGroupNameMax && m.number.size() <= kGroupNameMax);
    }

    std::vector<GroupMember> expected = members;
    for (GroupMember& m : expected)
        m.number.resize(std::min(m.number.size(), kGroupNumberMax));
    const std::string written = groupFileText(members);
    check(parseGroupFile(written) == expected);
    check(groupFileText(expected) == written);
    return 0;
}
