#include "phonebook/Shared.h"

#include <array>
#include <utility>

#include "link/LinkOperation.h"

namespace vondrix::phonebook {
namespace {

// The characters of the PC character set that the write command carries
// as "\" and their GSM code in hex, in the order they are replaced.
constexpr std::array<std::pair<const char*, const char*>, 20> kNameEncoding = {{
    {"\xF6", "\\7C"}, {"\xE4", "\\7B"}, {"\xFC", "\\7E"}, {"\xDC", "\\5E"}, {"\xD6", "\\5C"},
    {"\xC4", "\\5B"}, {"\xDF", "\\1E"}, {"\xE8", "\\04"}, {"\xE9", "\\05"}, {"\xF9", "\\06"},
    {"\xEC", "\\07"}, {"\xF2", "\\08"}, {"\xD8", "\\0B"}, {"\xF8", "\\0C"}, {"\xC5", "\\0E"},
    {"\xE5", "\\0F"}, {"\xE0", "\\7F"}, {"@", "\\00"},    {"\xC6", "\\1C"}, {"\xE6", "\\1D"},
}};

}  // namespace

std::string replaceAll(std::string text, std::string_view search, std::string_view replacement) {
    if (search.empty())
        return text;
    for (std::size_t at = text.find(search); at != std::string::npos;
         at = text.find(search, at + replacement.size()))
        text.replace(at, search.size(), replacement);
    return text;
}

std::string encodeName(std::string_view latin1Name) {
    std::string name(latin1Name);
    for (const auto& [character, code] : kNameEncoding)
        name = replaceAll(std::move(name), character, code);
    return name;
}

bool selectKind(AtEngine& engine, Reporter& reporter, Kind kind) {
    LinkOperation operation(engine, reporter);
    return engine.standard(kindInfo(kind).selectCommand).ok();
}

}  // namespace vondrix::phonebook
