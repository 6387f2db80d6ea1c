#include "phonesim/Commands.h"

#include <charconv>
#include <limits>

namespace phonesim {

void registerStandardCommands(CommandTable& table) {
    registerBasicCommands(table);
    registerDeviceCommands(table);
    registerSmsSettingsCommands(table);
    registerSmsCommands(table);
    registerPhonebookCommands(table);
    registerCallCommands(table);
    registerOrganizerCommands(table);
    registerNetworkCommands(table);
    registerObjectStoreCommands(table);
}

std::optional<int> parseNumber(std::string_view text) {
    if (text.empty()) {
        return std::nullopt;
    }
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
    }
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::vector<int>> numbersInRanges(const std::vector<Param>& params,
                                                const std::vector<int>& lo,
                                                const std::vector<int>& hi, std::size_t required) {
    if (params.size() < required || params.size() > lo.size()) {
        return std::nullopt;
    }
    std::vector<int> values(lo.size(), -1);
    for (std::size_t i = 0; i < params.size(); ++i) {
        if (params[i].empty()) {
            if (i < required) {
                return std::nullopt;
            }
            continue;
        }
        if (params[i].quoted) {
            return std::nullopt;
        }
        const auto v = parseNumber(params[i].text);
        if (!v || *v < lo[i] || *v > hi[i]) {
            return std::nullopt;
        }
        values[i] = *v;
    }
    return values;
}

bool isDialNumber(std::string_view number) {
    if (!number.empty() && number.front() == '+') {
        number.remove_prefix(1);
    }
    return number.find_first_not_of("0123456789*#pPwW") == std::string_view::npos;
}

int defaultType(std::string_view number) {
    return !number.empty() && number.front() == '+' ? 145 : 129;
}

bool isValidClock(std::string_view text) {
    // "yy/MM/dd,hh:mm:ss": two digits per field, fixed separators.
    static constexpr std::string_view kShape = "00/00/00,00:00:00";
    if (text.size() != kShape.size()) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool digit = text[i] >= '0' && text[i] <= '9';
        if ((kShape[i] == '0') != digit || (!digit && text[i] != kShape[i])) {
            return false;
        }
    }
    const auto field = [&](std::size_t pos) {
        return (text[pos] - '0') * 10 + (text[pos + 1] - '0');
    };
    const int year = 2000 + field(0);
    const int month = field(3);
    const int day = field(6);
    if (month < 1 || month > 12 || day < 1) {
        return false;
    }
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    const int maxDay = kDays[month - 1] + ((month == 2 && leap) ? 1 : 0);
    return day <= maxDay && field(9) <= 23 && field(12) <= 59 && field(15) <= 59;
}

}  // namespace phonesim
