#include "link/Parsers.h"

#include "text/Decimal.h"

namespace vondrix {
namespace {

// Signed-char comparison: control bytes, blank and everything from 0x80.
bool isSeparator(char c) {
    return static_cast<signed char>(c) <= 0x20;
}

}  // namespace

std::optional<std::string> lastAnswerWord(std::string_view response) {
    const auto ok = response.find("OK\r\n");
    if (ok == std::string_view::npos)
        return std::nullopt;
    std::size_t end = ok;
    while (end > 0 && isSeparator(response[end - 1]))
        --end;
    std::size_t begin = end;
    while (begin > 0 && !isSeparator(response[begin - 1]))
        --begin;
    return std::string(response.substr(begin, end - begin));
}

void parseRange(std::string_view text, int& low, int& high) {
    const auto open = text.find('(');
    if (open == std::string_view::npos)
        return;
    low = decimalValue(text.substr(open + 1));
    const auto dash = text.find('-', open + 1);
    if (dash == std::string_view::npos)
        return;
    high = decimalValue(text.substr(dash + 1));
}

void parseRangeAndLengths(std::string_view text, int& low, int& high, int& length1, int& length2) {
    parseRange(text, low, high);
    const auto first = text.find(',');
    if (first == std::string_view::npos)
        return;
    length1 = decimalValue(text.substr(first + 1));
    const auto second = text.find(',', first + 1);
    if (second == std::string_view::npos)
        return;
    length2 = decimalValue(text.substr(second + 1));
}

std::optional<int> numberAfter(std::string_view text, std::string_view tag) {
    const auto at = text.find(tag);
    if (at == std::string_view::npos)
        return std::nullopt;
    return decimalValue(text.substr(at + tag.size()));
}

}  // namespace vondrix
