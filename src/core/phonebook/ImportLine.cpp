// The import's pure part, apart from the phone traffic so that tests and
// the fuzz target can use it on its own.
#include "phonebook/Import.h"

#include "foundation/Catalogue.h"
#include "text/Decimal.h"

namespace vondrix::phonebook {
namespace {

// The separator search of one step: a ";" if there is one, else a ",".
std::size_t findSeparator(std::string_view text) {
    const std::size_t semicolon = text.find(';');
    return semicolon != std::string_view::npos ? semicolon : text.find(',');
}

std::string withoutControls(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (static_cast<unsigned char>(c) < 0x20)
            c = ' ';
    return out;
}

}  // namespace

bool isCsvHeader(std::string_view line) {
    return line.find("NR;NAME;TELNUM") != std::string_view::npos ||
           line.find("NR,NAME,TELNUM") != std::string_view::npos;
}

std::optional<CsvLine> parseCsvLine(std::string_view line) {
    line = line.substr(0, line.find('\0'));
    const std::size_t first = findSeparator(line);
    if (first == std::string_view::npos)
        return std::nullopt;
    const std::string_view rest = line.substr(first + 1);
    const std::size_t second = findSeparator(rest);
    if (second == std::string_view::npos)
        return std::nullopt;
    const std::string_view tail = rest.substr(second + 1);
    if (tail.empty() || tail.front() != '\'')
        return std::nullopt;
    CsvLine out;
    out.location = decimalValue(line.substr(0, first));
    out.name = withoutControls(rest.substr(0, second));
    out.number = withoutControls(tail.substr(1));
    return out;
}

LineProblem csvLineProblem(std::string_view line) {
    line = line.substr(0, line.find('\0'));
    const std::size_t first = findSeparator(line);
    if (first == std::string_view::npos ||
        findSeparator(line.substr(first + 1)) == std::string_view::npos)
        return LineProblem::NoSeparators;
    return LineProblem::NoApostrophe;
}

msg::Id messageOf(LineProblem problem) {
    switch (problem) {
        case LineProblem::NoSeparators:
            return msg::ImportLineNoSeparators;
        case LineProblem::NoApostrophe:
            return msg::ImportLineNoApostrophe;
        case LineProblem::PinCancelled:
            return msg::ImportLinePinCancelled;
        case LineProblem::ValueRefused:
            return msg::ValueRefused;
        case LineProblem::PhoneRefused:
            break;
    }
    return msg::NewEntryNotWritten;
}

std::string issueText(const LineIssue& issue, Language language) {
    return std::string(catalogueText(msg::ImportLine, language)) + " " +
           std::to_string(issue.line) + ": " +
           std::string(catalogueText(messageOf(issue.problem), language));
}

}  // namespace vondrix::phonebook
