#include "link/Reply.h"

#include <charconv>

#include "text/Hex.h"

namespace vondrix::at {
namespace {

bool startsWith(std::string_view s, std::string_view prefix) {
    return s.substr(0, prefix.size()) == prefix;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trimBlanks(std::string_view s) {
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

std::optional<long long> wholeNumber(std::string_view s) {
    s = trimBlanks(s);
    if (s.empty())
        return std::nullopt;
    long long value = 0;
    const char* first = s.data();
    if (*first == '+')
        ++first;
    const auto [end, ec] = std::from_chars(first, s.data() + s.size(), value);
    if (ec != std::errc() || end != s.data() + s.size())
        return std::nullopt;
    return value;
}

// "+CME ERROR: 21": the code after the colon; -1 when it is not a number
// (verbose error texts such as "+CME ERROR: SIM PIN2 required").
std::optional<FinalResult> extendedError(std::string_view line, std::string_view tag, Final kind) {
    if (!startsWith(line, tag))
        return std::nullopt;
    const auto code = wholeNumber(line.substr(tag.size()));
    return FinalResult{kind, code && *code >= 0 && *code <= 65535 ? static_cast<int>(*code) : -1};
}

}  // namespace

std::optional<FinalResult> finalResultOf(std::string_view line) {
    line = trimBlanks(line);
    if (line == "OK")
        return FinalResult{Final::Ok};
    if (line == "ERROR")
        return FinalResult{Final::Error};
    if (line == "NO CARRIER")
        return FinalResult{Final::NoCarrier};
    if (line == "NO DIALTONE")
        return FinalResult{Final::NoDialtone};
    if (line == "BUSY")
        return FinalResult{Final::Busy};
    if (line == "NO ANSWER")
        return FinalResult{Final::NoAnswer};
    if (auto r = extendedError(line, "+CME ERROR:", Final::CmeError))
        return r;
    if (auto r = extendedError(line, "+CMS ERROR:", Final::CmsError))
        return r;
    return std::nullopt;
}

std::optional<std::string_view> Reply::first(std::string_view prefix) const {
    for (const auto& l : lines)
        if (startsWith(l, prefix))
            return std::string_view(l);
    return std::nullopt;
}

std::vector<std::string_view> Reply::all(std::string_view prefix) const {
    std::vector<std::string_view> out;
    for (const auto& l : lines)
        if (startsWith(l, prefix))
            out.emplace_back(l);
    return out;
}

bool endsTransaction(const FinalResult& result, Ends ends) {
    switch (result.kind) {
        case Final::Ok:
        case Final::Error:
        case Final::CmeError:
        case Final::CmsError:
            return true;
        case Final::NoCarrier:
        case Final::NoDialtone:
        case Final::Busy:
        case Final::NoAnswer:
            return ends == Ends::Dial;
        case Final::Prompt:
            return ends == Ends::Prompt;
        case Final::None:
            return false;
    }
    return false;
}

Reply parseReply(std::string_view raw, std::string_view command, Ends ends) {
    Reply reply;
    bool echoSeen = command.empty();
    bool atLineStart = true;  // only CRs since the last LF: where a prompt may stand
    std::size_t pos = 0;
    while (pos < raw.size()) {
        const std::size_t end = raw.find_first_of("\r\n", pos);
        const bool complete = end != std::string_view::npos;
        const std::string_view line =
            raw.substr(pos, complete ? end - pos : std::string_view::npos);
        pos = complete ? end + 1 : raw.size();
        const bool promptPlace = atLineStart;
        if (complete)
            atLineStart = raw[end] == '\n' || (atLineStart && line.empty());
        if (ends == Ends::Prompt && promptPlace && !line.empty() && line.front() == '>') {
            // The data prompt stands alone at the start of a line.
            reply.final = FinalResult{Final::Prompt};
            return reply;
        }
        if (trimBlanks(line).empty())
            continue;
        if (!complete) {
            // A line cut off by the end of the bytes is kept, but never a result.
            reply.lines.emplace_back(line);
            break;
        }
        if (!echoSeen && reply.lines.empty() && line == command) {
            echoSeen = true;
            continue;
        }
        if (const auto f = finalResultOf(line); f && endsTransaction(*f, ends)) {
            reply.final = *f;
            return reply;
        }
        reply.lines.emplace_back(line);
    }
    return reply;
}

bool closesQuote(std::string_view text, std::size_t quote, bool inParentheses) {
    std::size_t next = quote + 1;
    while (next < text.size() && isBlank(text[next]))
        ++next;
    if (next >= text.size())
        return true;
    const char c = text[next];
    return c == ',' || c == '\r' || c == '\n' || (inParentheses && c == ')');
}

std::optional<std::vector<unsigned char>> hexBytes(std::string_view line) {
    line = trimBlanks(line);
    if (line.empty() || line.size() % 2 != 0)
        return std::nullopt;
    std::vector<unsigned char> bytes;
    bytes.reserve(line.size() / 2);
    for (std::size_t i = 0; i < line.size(); i += 2) {
        const int high = hexDigit(line[i]);
        const int low = hexDigit(line[i + 1]);
        if (high < 0 || low < 0)
            return std::nullopt;
        bytes.push_back(static_cast<unsigned char>(high * 16 + low));
    }
    return bytes;
}

FieldReader::FieldReader(std::string_view text) : text_(text) {
    // Blanks at the end of the line belong to no field.
    while (!text_.empty() && isBlank(text_.back()))
        text_.remove_suffix(1);
}

std::optional<FieldReader> FieldReader::after(std::string_view line, std::string_view prefix) {
    if (!startsWith(line, prefix))
        return std::nullopt;
    return FieldReader(trimBlanks(line.substr(prefix.size())));
}

std::size_t FieldReader::fieldEnd() const {
    bool inQuotes = false;
    int depth = 0;
    // A quote or a '(' that is never closed groups nothing: the field then
    // ends at its first comma, so it cannot swallow the fields after it.
    std::size_t firstComma = std::string_view::npos;
    for (std::size_t i = pos_; i < text_.size(); ++i) {
        const char c = text_[i];
        if (c == ',' && firstComma == std::string_view::npos)
            firstComma = i;
        if (c == '"') {
            if (!inQuotes)
                inQuotes = true;
            else if (closesQuote(text_, i, depth > 0))
                inQuotes = false;
        } else if (!inQuotes && c == '(') {
            ++depth;
        } else if (!inQuotes && c == ')' && depth > 0) {
            --depth;
        } else if (!inQuotes && depth == 0 && c == ',') {
            return i;
        }
    }
    const bool unclosed = inQuotes || depth > 0;
    return unclosed && firstComma != std::string_view::npos ? firstComma : text_.size();
}

void FieldReader::consume(std::size_t end) {
    pos_ = end < text_.size() ? end + 1 : text_.size();
}

std::string_view FieldReader::field() {
    if (atEnd())
        return {};
    const std::size_t end = fieldEnd();
    const std::string_view f = text_.substr(pos_, end - pos_);
    consume(end);
    return trimBlanks(f);
}

std::optional<long long> FieldReader::number() {
    if (atEnd())
        return std::nullopt;
    const std::size_t end = fieldEnd();
    const auto value = wholeNumber(text_.substr(pos_, end - pos_));
    if (value)
        consume(end);
    return value;
}

std::optional<std::string> FieldReader::quoted(Unclosed unclosed) {
    if (atEnd())
        return std::nullopt;
    std::size_t open = pos_;
    while (open < text_.size() && isBlank(text_[open]))
        ++open;
    if (open >= text_.size() || text_[open] != '"')
        return std::nullopt;
    std::size_t close = open + 1;
    while (close < text_.size() && !(text_[close] == '"' && closesQuote(text_, close)))
        ++close;
    if (close >= text_.size()) {
        if (unclosed == Unclosed::Refuse)
            return std::nullopt;
        std::string value(text_.substr(open + 1));
        pos_ = text_.size();
        return value;
    }
    // Only blanks stand between the closing quote and the comma.
    std::size_t after = close + 1;
    while (after < text_.size() && isBlank(text_[after]))
        ++after;
    std::string value(text_.substr(open + 1, close - open - 1));
    consume(after);
    return value;
}

bool FieldReader::omitted() {
    if (atEnd())
        return false;
    const std::size_t end = fieldEnd();
    if (!trimBlanks(text_.substr(pos_, end - pos_)).empty())
        return false;
    consume(end);
    return true;
}

std::optional<std::string_view> FieldReader::list() {
    if (atEnd())
        return std::nullopt;
    const std::size_t end = fieldEnd();
    const std::string_view f = trimBlanks(text_.substr(pos_, end - pos_));
    if (f.size() < 2 || f.front() != '(' || f.back() != ')')
        return std::nullopt;
    consume(end);
    return f.substr(1, f.size() - 2);
}

std::optional<Range> FieldReader::range() {
    const std::size_t saved = pos_;
    const auto inner = list();
    if (!inner)
        return std::nullopt;
    const auto dash = inner->find('-', 1);  // a leading '-' would be a sign
    const auto low = wholeNumber(inner->substr(0, dash));
    const auto high = dash == std::string_view::npos ? low : wholeNumber(inner->substr(dash + 1));
    if (!low || !high) {
        pos_ = saved;
        return std::nullopt;
    }
    return Range{*low, *high};
}

std::vector<std::string_view> parenthesisedGroups(std::string_view text) {
    std::vector<std::string_view> groups;
    bool inQuotes = false;
    int depth = 0;
    std::size_t open = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"') {
            inQuotes = !inQuotes || !closesQuote(text, i, depth > 0);
        } else if (!inQuotes && c == '(') {
            if (depth++ == 0)
                open = i;
        } else if (!inQuotes && c == ')' && depth > 0) {
            if (--depth == 0)
                groups.push_back(text.substr(open + 1, i - open - 1));
        }
    }
    return groups;
}

}  // namespace vondrix::at
