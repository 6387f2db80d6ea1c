#include "link/Command.h"

#include <algorithm>

#include "text/Hex.h"

namespace vondrix::at {
namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isControl(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u < 0x20 || u == 0x7F;
}

bool allOf(std::string_view s, bool (*pred)(char)) {
    return std::all_of(s.begin(), s.end(), pred);
}

bool isNumberCharacter(char c) {
    return isDigit(c) || c == '*' || c == '#' || c == 'p' || c == 'P' || c == 'w' || c == 'W';
}

}  // namespace

bool isPhoneNumber(std::string_view number) {
    if (number == "+")
        return false;
    if (!number.empty() && number.front() == '+')
        number.remove_prefix(1);
    return allOf(number, isNumberCharacter);
}

bool isAddress(std::string_view number) {
    if (number.starts_with('+'))
        number.remove_prefix(1);
    return !number.empty() && number.size() <= kMaxAddressDigits && allOf(number, isDigit);
}

bool isDialString(std::string_view text) {
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    return allOf(text, [](char c) {
        return isNumberCharacter(c) || c == '+' || (c >= 'A' && c <= 'D') ||
               (c >= 'a' && c <= 'd') || c == 'I' || c == 'i' || c == 'G' || c == 'g' || c == ' ';
    });
}

bool isQuotable(std::string_view text) {
    return allOf(text, [](char c) { return !isControl(c) && c != '"'; });
}

bool isPlainWord(std::string_view text) {
    return !text.empty() && allOf(text, [](char c) {
        return isDigit(c) || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '-' ||
               c == '_' || c == '.' || c == ':' || c == '/' || c == '+';
    });
}

Command& Command::add(std::string_view value, bool ok, std::size_t maxLength, bool mayBeEmpty) {
    if (!valid())
        return *this;
    const std::size_t limit = maxLength == 0 ? kMaxValue : std::min(maxLength, kMaxValue);
    if (!mayBeEmpty && value.empty())
        error_ = ValueError::Empty;
    else if (value.size() > limit)
        error_ = ValueError::TooLong;
    else if (!ok)
        error_ = ValueError::BadCharacter;
    if (!valid()) {
        text_.clear();
        return *this;
    }
    if (!first_)
        text_ += ',';
    first_ = false;
    text_ += value;
    return *this;
}

Command& Command::number(long long value) {
    return add(std::to_string(value), true, 0);
}

Command& Command::phoneNumber(std::string_view number, std::size_t maxLength) {
    return add(number, isPhoneNumber(number), maxLength, false);
}

Command& Command::quotedNumber(std::string_view number, std::size_t maxLength) {
    if (valid() && number.size() > (maxLength == 0 ? kMaxValue : maxLength)) {
        error_ = ValueError::TooLong;
        text_.clear();
        return *this;
    }
    return add("\"" + std::string(number) + "\"", isPhoneNumber(number), 0, true);
}

Command& Command::quoted(std::string_view text, std::size_t maxLength) {
    if (valid() && text.size() > (maxLength == 0 ? kMaxValue : std::min(maxLength, kMaxValue))) {
        error_ = ValueError::TooLong;
        text_.clear();
        return *this;
    }
    return add("\"" + std::string(text) + "\"", isQuotable(text), 0, true);
}

Command& Command::digits(std::string_view text, std::size_t maxLength, bool inQuotes) {
    const bool ok = allOf(text, isDigit);
    if (!inQuotes)
        return add(text, ok, maxLength, false);
    if (valid() && text.empty()) {
        error_ = ValueError::Empty;
        text_.clear();
        return *this;
    }
    if (valid() && text.size() > maxLength) {
        error_ = ValueError::TooLong;
        text_.clear();
        return *this;
    }
    return add("\"" + std::string(text) + "\"", ok, 0, true);
}

Command& Command::word(std::string_view text) {
    return add(text, isPlainWord(text), 0, false);
}

Command& Command::omitted() {
    return add({}, true, 0, true);
}

Command& Command::hex(std::string_view text, std::size_t maxLength) {
    return add(text, allHexDigits(text), maxLength, false);
}

bool isSafeCommandLine(std::string_view line, bool dial) {
    bool inQuotes = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (isControl(c))
            return false;
        if (c == '"')
            inQuotes = !inQuotes;
        if (c == ';' && !inQuotes && !(dial && i + 1 == line.size()))
            return false;
    }
    return !inQuotes;
}

bool isSafeDataLine(std::string_view data) {
    if (!data.empty() && (data.back() == '\x1A' || data.back() == '\x1B'))
        data.remove_suffix(1);
    return allOf(data, [](char c) { return !isControl(c); });
}

}  // namespace vondrix::at
