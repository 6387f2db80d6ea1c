#include "network/Replies.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "link/Parsers.h"
#include "link/Reply.h"
#include "text/Decimal.h"
#include "text/Hex.h"

namespace vondrix::network {
namespace {

// The information lines of a reply that start with `prefix`, each as a
// field reader placed after the prefix.
std::vector<at::FieldReader> fieldsOf(const at::Reply& reply, std::string_view prefix) {
    std::vector<at::FieldReader> out;
    for (const std::string_view line : reply.all(prefix))
        if (auto f = at::FieldReader::after(line, prefix))
            out.push_back(*f);
    return out;
}

std::optional<int> toInt(std::optional<long long> value) {
    if (!value || *value < std::numeric_limits<int>::min() ||
        *value > std::numeric_limits<int>::max())
        return std::nullopt;
    return static_cast<int>(*value);
}

// An operator code as the phone writes it: "26201" quoted, or bare. Only
// digits count: MCC and MNC are at most six of them.
std::optional<int> operatorCode(at::FieldReader& f) {
    std::string text;
    if (auto q = f.quoted()) {
        text = std::move(*q);
    } else if (auto n = f.number()) {
        if (*n <= 0)
            return std::nullopt;
        text = std::to_string(*n);
    } else {
        return std::nullopt;
    }
    if (text.empty() || text.size() > 6 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    const int code = decimalValue(text);
    if (code <= 0)
        return std::nullopt;
    return code;
}

std::string cutName(std::string name) {
    if (name.size() > kMaxOperatorName)
        name.resize(kMaxOperatorName);
    return name;
}

// The hexadecimal number after the `n`th comma of `word` (1-based), an
// opening quote skipped; at most eight digits are read.
std::optional<unsigned> hexAfterComma(std::string_view word, int n) {
    std::size_t pos = std::string_view::npos;
    for (int i = 0; i < n; ++i) {
        pos = word.find(',', pos == std::string_view::npos ? 0 : pos + 1);
        if (pos == std::string_view::npos)
            return std::nullopt;
    }
    std::size_t i = pos + 1;
    if (i < word.size() && word[i] == '"')
        ++i;
    unsigned value = 0;
    std::size_t digits = 0;
    for (; i < word.size() && digits < 8; ++i, ++digits) {
        const int d = hexDigit(word[i]);
        if (d < 0)
            break;
        value = value * 16 + static_cast<unsigned>(d);
    }
    if (digits == 0)
        return std::nullopt;
    return value;
}

// The operator field of a "+COPS?" reply, after its mode and format, read
// by `read`.
template <typename Read>
auto readCopsOperator(std::string_view response, Read read)
    -> decltype(read(std::declval<at::FieldReader&>())) {
    const at::Reply reply = at::parseReply(response);
    for (at::FieldReader f : fieldsOf(reply, "+COPS:")) {
        if (f.number() && f.number())
            return read(f);
    }
    return std::nullopt;
}

}  // namespace

std::optional<BatteryReading> parseCbc(std::string_view response) {
    const auto word = lastAnswerWord(response);
    if (!word)
        return std::nullopt;
    const auto comma = word->find(',');
    if (comma == std::string::npos)
        return std::nullopt;
    BatteryReading r;
    r.text = word->substr(comma + 1);
    r.charge = decimalValue(r.text);
    return r;
}

std::optional<std::string> parseCregWord(std::string_view response) {
    return lastAnswerWord(response);
}

std::optional<int> parseCsq(std::string_view response) {
    const auto word = lastAnswerWord(response);
    if (!word)
        return std::nullopt;
    return decimalValue(*word);
}

std::optional<std::string> parseCopsText(std::string_view response) {
    const at::Reply reply = at::parseReply(canonicalReply(response));
    const auto line = reply.first("+COPS:");
    if (!line)
        return std::nullopt;
    const std::string_view rest = at::FieldReader::after(*line, "+COPS:")->rest();
    std::size_t end = 0;
    while (end < rest.size() && static_cast<signed char>(rest[end]) >= 0x20)
        ++end;
    return std::string(rest.substr(0, end));
}

std::optional<std::string> parseCopsName(std::string_view response) {
    return readCopsOperator(response, [](at::FieldReader& f) { return f.quoted(); });
}

std::optional<int> parseCopsCode(std::string_view response) {
    return readCopsOperator(response, [](at::FieldReader& f) { return operatorCode(f); });
}

std::optional<Registration> parseCregQuery(std::string_view response) {
    const auto word = lastAnswerWord(response);
    if (!word)
        return std::nullopt;
    Registration r;
    if (const auto comma = word->find(','); comma != std::string::npos)
        r.state = decimalValue(std::string_view(*word).substr(comma + 1));
    r.lac = hexAfterComma(*word, 2);
    r.cellId = hexAfterComma(*word, 3);
    return r;
}

std::optional<int> parseCpas(std::string_view response) {
    const at::Reply reply = at::parseReply(response);
    for (at::FieldReader f : fieldsOf(reply, "+CPAS:"))
        if (auto n = toInt(f.number()))
            return n;
    return std::nullopt;
}

std::vector<CurrentCall> parseClccList(std::string_view response) {
    const at::Reply reply = at::parseReply(response);
    std::vector<CurrentCall> calls;
    for (at::FieldReader f : fieldsOf(reply, "+CLCC:")) {
        const auto index = toInt(f.number());
        const auto direction = toInt(f.number());
        const auto state = toInt(f.number());
        const auto mode = toInt(f.number());
        if (!index || !direction || !state || !mode)
            continue;
        CurrentCall call{*index, *direction, *state, *mode, {}};
        (void)f.field();  // multiparty
        if (!f.atEnd()) {
            if (auto number = f.quoted())
                call.number = std::move(*number);
            else
                call.number = std::string(f.field());
        }
        calls.push_back(std::move(call));
    }
    return calls;
}

std::vector<OperatorName> parseSplmList(std::string_view response) {
    const at::Reply reply = at::parseReply(response);
    std::vector<OperatorName> names;
    for (at::FieldReader f : fieldsOf(reply, "^SPLM:")) {
        const auto code = operatorCode(f);
        if (!code)
            continue;
        auto name = f.quoted();
        names.push_back(OperatorName{*code, cutName(name ? std::move(*name) : std::string())});
    }
    return names;
}

std::optional<PositionRange> parseSplrTest(std::string_view response) {
    constexpr int kUnset = std::numeric_limits<int>::min();
    int first = kUnset, last = kUnset;
    parseRange(response, first, last);
    if (first == kUnset || last == kUnset)
        return std::nullopt;
    return PositionRange{first, last};
}

PreferredRead parseSplrRead(std::string_view response) {
    PreferredRead r;
    if (response.find(kFreeName) != std::string_view::npos) {
        r.free = true;
        return r;
    }
    const at::Reply reply = at::parseReply(response);
    for (at::FieldReader f : fieldsOf(reply, "^SPLR:")) {
        (void)f.field();  // the position
        r.code = operatorCode(f);
        break;
    }
    return r;
}

std::vector<FoundNetwork> parseCopsSearch(std::string_view response) {
    const at::Reply reply = at::parseReply(response);
    std::vector<FoundNetwork> found;
    const auto line = reply.first("+COPS:");
    if (!line)
        return found;
    for (const std::string_view group : at::parenthesisedGroups(line->substr(6))) {
        at::FieldReader f(group);
        const auto status = toInt(f.number());
        auto longName = f.quoted();
        if (!status || !longName)
            continue;
        if (!f.omitted() && !f.quoted())
            continue;  // the short name
        const auto code = operatorCode(f);
        if (!code)
            continue;
        found.push_back(FoundNetwork{*status, *code, cutName(std::move(*longName))});
    }
    return found;
}

ForwardingStatus parseCcfcQuery(std::string_view response) {
    const at::Reply reply = at::parseReply(response);
    ForwardingStatus status;
    for (at::FieldReader f : fieldsOf(reply, "+CCFC:")) {
        const auto active = f.number();
        const auto classValue = f.number();
        if (!active || !classValue || *active == 0)
            continue;
        const auto box = classIndexOf(*classValue);
        if (!box)
            continue;
        ForwardClassStatus& s = status[*box];
        s.active = true;
        s.number.clear();
        s.time = 0;
        if (auto number = f.quoted())
            s.number = std::move(*number);
        (void)f.field();  // type
        (void)f.field();  // subaddress
        (void)f.field();  // subaddress type
        if (const auto time = toInt(f.number()); time && *time >= 0)
            s.time = *time;
    }
    return status;
}

bool parseClckLock(std::string_view response) {
    const at::Reply reply = at::parseReply(response);
    for (at::FieldReader f : fieldsOf(reply, "+CLCK:")) {
        const auto status = f.number();
        return status && *status != 0;
    }
    return false;
}

ClassTicks parseClckClasses(std::string_view response) {
    const at::Reply reply = at::parseReply(response);
    ClassTicks ticks{};
    for (at::FieldReader f : fieldsOf(reply, "+CLCK:")) {
        const auto status = f.number();
        const auto classValue = f.number();
        if (!status || !classValue || *status == 0)
            continue;
        if (const auto box = classIndexOf(*classValue))
            ticks[*box] = true;
    }
    return ticks;
}

}  // namespace vondrix::network
