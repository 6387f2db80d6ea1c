#include "phonebook/FileLines.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace vondrix::phonebook {

std::vector<std::string_view> splitLines(std::string_view content) {
    std::vector<std::string_view> lines;
    while (!content.empty()) {
        const std::size_t lf = content.find('\n');
        std::string_view line = content.substr(0, lf);
        if (lf != std::string_view::npos && !line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.push_back(line);
        if (lf == std::string_view::npos)
            break;
        content.remove_prefix(lf + 1);
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

bool readWholeFile(const std::string& path, std::string& content) {
    // A directory opens like a file but throws on the first read.
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec))
        return false;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream all;
    all << in.rdbuf();  // sets failbit rather than throwing on a read error
    content = std::move(all).str();
    return !in.bad();
}

bool writeWholeFile(const std::string& path, std::string_view content) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out)
        return false;
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
    out.close();
    return !out.fail();
}

}  // namespace vondrix::phonebook
