#include "organizer/Import.h"

#include <algorithm>
#include <array>
#include <optional>
#include <vector>

#include "organizer/FileAccess.h"
#include "text/Decimal.h"

namespace vondrix::organizer {
namespace {

// A line is read with room for this many characters.
constexpr std::size_t kMaxLine = 259;
// Room of the DATE and TIME fields and of the TEXT field.
constexpr std::size_t kMaxDateField = 19;
constexpr std::size_t kMaxTextField = 29;

constexpr std::array<std::string_view, 4> kHeaders = {
    "DATE;TIME;ALARM;CATEGORY;TEXT", "DATE,TIME,ALARM,CATEGORY,TEXT",
    "DATE;TIME;ALARM;CATEGORY;TEXT;RRULE", "DATE,TIME,ALARM,CATEGORY,TEXT,RRULE"};

bool isDateLetter(char c) {
    return std::string_view("DMYdmy").find(c) != std::string_view::npos;
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// 'd', 'm' or 'y' for the first date letter of `field`; 0 when it has none.
char kindOf(std::string_view field) {
    for (const char c : field) {
        if (isDateLetter(c))
            return static_cast<char>(c | 0x20);
    }
    return 0;
}

std::string_view cut(std::string_view text, std::size_t length) {
    return text.substr(0, std::min(text.size(), length));
}

// The end of the field at the start of `rest`: its first ";" or, when it
// has none, its first ",".
std::size_t fieldEnd(std::string_view rest) {
    const std::size_t semicolon = rest.find(';');
    return semicolon != std::string_view::npos ? semicolon : rest.find(',');
}

// Takes the next field off `rest`; nothing when its end cannot be found.
std::optional<std::string_view> takeField(std::string_view& rest) {
    const std::size_t end = fieldEnd(rest);
    if (end == std::string_view::npos)
        return std::nullopt;
    const std::string_view field = rest.substr(0, end);
    rest.remove_prefix(end + 1);
    return field;
}

// The data lines of a file as read: split at LF, a CR before it dropped,
// cut at a NUL byte and at kMaxLine characters. A last line without LF is
// kept whole.
std::vector<std::string_view> linesOf(std::string_view content) {
    std::vector<std::string_view> lines;
    while (!content.empty()) {
        const std::size_t lf = content.find('\n');
        std::string_view line = content.substr(0, lf);
        content.remove_prefix(lf == std::string_view::npos ? content.size() : lf + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        line = line.substr(0, line.find('\0'));
        lines.push_back(cut(line, kMaxLine));
    }
    return lines;
}

}  // namespace

DateFormat deriveDateFormat(std::string_view text) {
    DateFormat format;
    if (const std::size_t sep =
            std::find_if_not(text.begin(), text.end(), isDateLetter) - text.begin();
        sep < text.size())
        format.separator = text[sep];
    if (const std::size_t y = text.find_first_of("yY"); y != std::string_view::npos) {
        const std::size_t end = text.find_first_not_of("yY", y);
        format.yearDigits =
            static_cast<int>((end == std::string_view::npos ? text.size() : end) - y);
    }
    std::array<char, 3> kinds{};
    if (format.separator != 0) {
        std::string_view rest = text;
        for (char& kind : kinds) {
            const std::size_t end = rest.find(format.separator);
            kind = kindOf(rest.substr(0, end));
            if (end == std::string_view::npos)
                break;
            rest.remove_prefix(end + 1);
        }
    }
    const char first = text.empty() ? 0 : static_cast<char>(text.front() | 0x20);
    if (first == 'd' && kinds[1] == 'm' && kinds[2] == 'y')
        format.order = DateFormat::Order::DayMonthYear;
    else if (first == 'm' && kinds[1] == 'd' && kinds[2] == 'y')
        format.order = DateFormat::Order::MonthDayYear;
    return format;
}

Date parseImportDate(std::string_view field, const DateFormat& format) {
    if (format.separator == 0 || field.find(format.separator) == std::string_view::npos)
        return Date{};
    std::array<int, 3> parts{};
    for (int& part : parts) {
        const std::size_t end = field.find(format.separator);
        part = decimalValue(field.substr(0, end));
        if (end == std::string_view::npos)
            break;
        field.remove_prefix(end + 1);
    }
    Date date;
    switch (format.order) {
        case DateFormat::Order::DayMonthYear:
            date = Date{parts[2], parts[1], parts[0]};
            break;
        case DateFormat::Order::MonthDayYear:
            date = Date{parts[2], parts[0], parts[1]};
            break;
        case DateFormat::Order::YearMonthDay:
            date = Date{parts[0], parts[1], parts[2]};
            break;
    }
    // The two-digit year rule; a year written in full stays as written.
    if (format.yearDigits == 2 && date.year >= 0 && date.year < 100)
        date.year += date.year < 30 ? 2000 : 1900;
    return date;
}

TimeOfDay parseImportTime(std::string_view field) {
    TimeOfDay time;
    time.hour = decimalValue(field);
    std::size_t i = 0;
    while (i < field.size() && (field[i] == ' ' || (field[i] >= '\t' && field[i] <= '\r')))
        ++i;
    if (i < field.size() && (field[i] == '+' || field[i] == '-'))
        ++i;
    while (i < field.size() && isDigit(field[i]))
        ++i;
    if (i < field.size())
        ++i;  // the one character between hour and minute
    time.minute = decimalValue(field.substr(i));
    return time;
}

bool isImportHeader(std::string_view line) {
    return std::any_of(kHeaders.begin(), kHeaders.end(), [&](std::string_view header) {
        return line.find(header) != std::string_view::npos;
    });
}

bool applyImportLine(std::string_view line, const DateFormat& format, EntryFields& form) {
    std::string_view rest = line;
    const auto dateField = takeField(rest);
    if (!dateField)
        return false;
    const auto timeField = takeField(rest);
    if (!timeField)
        return false;
    // The calendar and the time picker refuse what is no real day or time
    // and keep showing what they showed.
    if (const Date date = parseImportDate(cut(*dateField, kMaxDateField), format);
        isValidDate(date))
        form.date = date;
    if (const TimeOfDay time = parseImportTime(cut(*timeField, kMaxDateField)); isValidTime(time))
        form.time = time;
    const auto alarm = takeField(rest);
    if (!alarm)
        return false;
    form.alarm = decimalValue(*alarm) == 1;
    const auto category = takeField(rest);
    if (!category)
        return false;
    const int c = decimalValue(*category);
    form.category = c >= 0 && c < kCategories ? c : 0;
    int recurrence = 0;
    std::string_view text = rest;
    if (const std::size_t end = fieldEnd(rest); end != std::string_view::npos) {
        text = rest.substr(0, end);
        recurrence = decimalValue(rest.substr(end + 1));
    }
    form.description = std::string(cut(text, kMaxTextField));
    form.recurrence = recurrence >= 0 && recurrence < kRecurrences ? recurrence : 0;
    return true;
}

ImportResult importCsv(OrganizerService& service, const std::string& path,
                       std::string_view shortDateFormat, EntryFields& form) {
    ImportResult result;
    Reporter& reporter = service.reporter();
    const auto content = readFile(path);
    if (!content) {
        reporter.message(msg::ExportFileNotOpened, Caption::Error);
        result.end = ImportResult::End::FileError;
        return result;
    }
    const std::vector<std::string_view> lines = linesOf(*content);
    if (lines.empty() || !isImportHeader(lines.front())) {
        reporter.message(msg::InvalidFileHeader, Caption::Error);
        result.end = ImportResult::End::BadHeader;
        return result;
    }
    // Derived afresh for every import from the format kept at start-up.
    const DateFormat format = deriveDateFormat(shortDateFormat);
    for (std::size_t i = 1; i < lines.size(); ++i) {
        if (!applyImportLine(lines[i], format, form)) {
            ++result.dropped;
            continue;
        }
        switch (service.writeNew(form).result) {
            case OrganizerService::WriteResult::Written:
                ++result.written;
                break;
            case OrganizerService::WriteResult::LinkFailed:
                result.end = ImportResult::End::LinkFailed;
                return result;
            default:
                ++result.notWritten;
                break;
        }
    }
    return result;
}

}  // namespace vondrix::organizer
