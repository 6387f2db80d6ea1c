#include "phonebook/FileLines.h"

namespace vondrix::phonebook {

std::vector<std::string_view> splitLines(std::string_view content) {
    std::vector<std::string_view> lines;
    while (!content.empty()) {
        const std::size_t end = content.find_first_of("\r\n");
        lines.push_back(content.substr(0, end));
        if (end == std::string_view::npos)
            break;
        // CR LF is one line end; CR or LF alone is one too.
        const std::size_t next = content.compare(end, 2, "\r\n") == 0 ? end + 2 : end + 1;
        content.remove_prefix(next);
    }
    return lines;
}

std::string oneLine(std::string_view field) {
    std::string out(field);
    for (char& c : out)
        if (c == '\r' || c == '\n')
            c = ' ';
    return out;
}

}  // namespace vondrix::phonebook
