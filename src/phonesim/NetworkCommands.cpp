// Network and call services: registration with location (AT+CREG), the
// operator with network search and selection (AT+COPS), the operator name
// table (AT^SPLM), the SIM's preferred list (AT^SPLR, AT^SPLW), activity and
// current calls (AT+CPAS, AT+CLCC), call forwarding (AT+CCFC) and locks and
// call barring (AT+CLCK), after GSM 07.07 and the Siemens extensions.

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "phonesim/Commands.h"
#include "phonesim/OperatorTable.h"

namespace phonesim {

namespace {

using Form = Command::Form;

// GSM 07.07 network errors.
constexpr int kNoNetworkService = 30;
constexpr int kNetworkNotAllowed = 32;

std::string quoted(const std::string& text) {
    return "\"" + text + "\"";
}

std::string hex4(unsigned v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04X", v & 0xFFFFu);
    return buf;
}

std::string upper(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

// The long name the phone shows for a network: its table name, or the code.
std::string longName(int code) {
    const std::string_view name = operatorName(code);
    return name.empty() ? std::to_string(code) : std::string(name);
}

// Home when the code is the start of the SIM's IMSI (MCC and MNC).
bool isHome(const PhoneState& s, int code) {
    const std::string digits = std::to_string(code);
    return s.imsi.compare(0, digits.size(), digits) == 0;
}

bool registered(const PhoneState& s) {
    return s.regStatus == 1 || s.regStatus == 5;
}

bool contains(const std::vector<int>& list, int code) {
    return std::find(list.begin(), list.end(), code) != list.end();
}

// --- AT+CREG ---------------------------------------------------------------------------

Reply creg(Context& ctx, const Command& cmd) {
    PhoneState& s = ctx.state;
    switch (cmd.form) {
        case Form::Query: {
            std::string line =
                "+CREG: " + std::to_string(s.regMode) + "," + std::to_string(s.regStatus);
            // Like the Siemens phones, the location follows whatever the report
            // mode, as long as the phone is registered.
            if (registered(s) && !s.net.cells.empty()) {
                const Cell c = s.net.currentCell();
                line += "," + quoted(hex4(c.lac)) + "," + quoted(hex4(c.cellId));
                s.net.countRegistrationAnswer();
            }
            return Reply::ok({line});
        }
        case Form::Set: {
            const auto v = numbersInRanges(cmd.params(), {0}, {2}, 0);
            if (!v)
                return Reply::error(cme::OperationNotSupported);
            s.regMode = (*v)[0] < 0 ? 0 : (*v)[0];
            return Reply::ok();
        }
        case Form::Test:
            return Reply::ok({"+CREG: (0-2)"});
        case Form::Action:
            break;
    }
    return Reply::error(cme::OperationNotSupported);
}

// --- AT+COPS ---------------------------------------------------------------------------

// Registers to `code`: a new serving network, found in another place of the
// cell plan, derived from its code so that it stays the same run to run.
void moveTo(PhoneState& s, int code) {
    NetworkServices& n = s.net;
    if (code != n.servingCode) {
        n.available.erase(std::remove(n.available.begin(), n.available.end(), code),
                          n.available.end());
        if (registered(s) && !contains(n.available, n.servingCode))
            n.available.push_back(n.servingCode);
        const auto lac = static_cast<unsigned>(0x1000 + code % 0xE000);
        const auto ci = static_cast<unsigned>(0x0100 + (code * 7) % 0xF000);
        n.cells = {{lac, ci}, {lac, ci + 1}};
        n.cell = 0;
        n.answersInCell = 0;
        n.servingCode = code;
    }
    s.operatorName = longName(code);
    s.regStatus = isHome(s, code) ? 1 : 5;
}

Reply copsQuery(const PhoneState& s) {
    std::string line = "+COPS: " + std::to_string(s.copsMode);
    // Without a network the phone reports the mode alone.
    if (!s.operatorName.empty()) {
        const std::string oper =
            s.copsFormat == 2 ? std::to_string(s.net.servingCode) : s.operatorName;
        line += "," + std::to_string(s.copsFormat) + "," + quoted(oper);
    }
    return Reply::ok({line});
}

// The network search: the serving network first, then the others; it takes
// its time, as the phone scans every band.
Reply copsSearch(const PhoneState& s) {
    std::string line = "+COPS: ";
    const auto group = [&](int status, int code) {
        line += "(" + std::to_string(status) + "," + quoted(longName(code)) + ",," +
                quoted(std::to_string(code)) + "),";
    };
    if (!s.operatorName.empty())
        group(2, s.net.servingCode);
    for (const int code : s.net.available)
        group(1, code);
    for (const int code : s.net.forbidden)
        group(3, code);
    line += ",(0-4),(0-2)";
    Reply r = Reply::ok({line});
    r.delay = std::chrono::milliseconds(std::max(0, s.net.searchMs));
    return r;
}

// The code `param` names in `format`: a long or short name (0, 1) among the
// networks the phone can see, or the numeric code (2).
std::optional<int> selectedCode(const PhoneState& s, const Param& param, int format) {
    if (format == 2)
        return parseNumber(param.text);
    std::vector<int> seen = s.net.available;
    seen.insert(seen.end(), s.net.forbidden.begin(), s.net.forbidden.end());
    seen.push_back(s.net.servingCode);
    for (const int code : seen)
        if (longName(code) == param.text)
            return code;
    return std::nullopt;
}

Reply copsSet(PhoneState& s, const Command& cmd) {
    const auto params = cmd.params();
    if (params.empty() || params.size() > 3)
        return Reply::error(cme::OperationNotSupported);
    const auto mode = parseNumber(params[0].text);
    if (!mode || *mode > 4)
        return Reply::error(cme::OperationNotSupported);
    std::optional<int> format;
    if (params.size() >= 2 && !params[1].empty()) {
        format = parseNumber(params[1].text);
        if (!format || *format > 2)
            return Reply::error(cme::OperationNotSupported);
    }
    switch (*mode) {
        case 3:
            if (!format)
                return Reply::error(cme::OperationNotSupported);
            s.copsFormat = *format;
            return Reply::ok();
        case 2:
            s.copsMode = 2;
            s.regStatus = 0;
            s.operatorName.clear();
            return Reply::ok();
        case 0:
            if (format)
                s.copsFormat = *format;
            s.copsMode = 0;
            if (!registered(s))
                moveTo(s, s.net.servingCode);
            return Reply::ok();
        default:
            break;
    }
    // Manual (1) or manual with automatic fallback (4): format and operator.
    if (!format || params.size() < 3 || params[2].empty())
        return Reply::error(cme::OperationNotSupported);
    const auto code = selectedCode(s, params[2], *format);
    const bool current = code && *code == s.net.servingCode && registered(s);
    const bool available = code && contains(s.net.available, *code);
    if (!current && !available) {
        if (*mode == 4) {
            // The fallback: back to automatic selection on the network it has.
            s.copsMode = 0;
            s.copsFormat = *format;
            if (!registered(s))
                moveTo(s, s.net.servingCode);
            return Reply::ok();
        }
        return Reply::error(code && contains(s.net.forbidden, *code) ? kNetworkNotAllowed
                                                                     : kNoNetworkService);
    }
    moveTo(s, *code);
    s.copsMode = 1;
    s.copsFormat = *format;
    return Reply::ok();
}

Reply cops(Context& ctx, const Command& cmd) {
    switch (cmd.form) {
        case Form::Query:
            return copsQuery(ctx.state);
        case Form::Test:
            return copsSearch(ctx.state);
        case Form::Set:
            return copsSet(ctx.state, cmd);
        case Form::Action:
            break;
    }
    return Reply::error(cme::OperationNotSupported);
}

// --- AT^SPLM, AT^SPLR, AT^SPLW ---------------------------------------------------------------

Reply splm(Context&, const Command& cmd) {
    if (cmd.form == Form::Test)
        return Reply::ok();
    if (cmd.form != Form::Action)
        return Reply::error(cme::OperationNotSupported);
    std::vector<std::string> lines;
    lines.reserve(operatorTable().size());
    for (const OperatorInfo& o : operatorTable())
        lines.push_back("^SPLM: " + quoted(std::to_string(o.code)) + "," + quoted(o.name));
    return Reply::ok(std::move(lines));
}

std::string positions(const NetworkServices& n) {
    return "(1-" + std::to_string(n.preferredSize) + ")";
}

Reply splr(Context& ctx, const Command& cmd) {
    const NetworkServices& n = ctx.state.net;
    if (cmd.form == Form::Test)
        return Reply::ok({"^SPLR: " + positions(n)});
    if (cmd.form != Form::Set)
        return Reply::error(cme::OperationNotSupported);
    const auto v = numbersInRanges(cmd.params(), {0, 0}, {1000000, 1000000}, 1);
    if (!v)
        return Reply::error(cme::OperationNotSupported);
    const int first = (*v)[0];
    const int last = (*v)[1] < 0 ? first : (*v)[1];
    if (first < 1 || last > n.preferredSize || first > last)
        return Reply::error(cme::kInvalidIndex);
    std::vector<std::string> lines;
    for (int p = first; p <= last; ++p) {
        const auto it = n.preferred.find(p);
        const std::string oper = it == n.preferred.end() ? "EMPTY" : std::to_string(it->second);
        lines.push_back("^SPLR: " + std::to_string(p) + "," + quoted(oper));
    }
    return Reply::ok(std::move(lines));
}

Reply splw(Context& ctx, const Command& cmd) {
    NetworkServices& n = ctx.state.net;
    if (cmd.form == Form::Test)
        return Reply::ok({"^SPLW: " + positions(n)});
    if (cmd.form != Form::Set)
        return Reply::error(cme::OperationNotSupported);
    const auto params = cmd.params();
    if (params.empty() || params.size() > 2 || params[0].quoted)
        return Reply::error(cme::OperationNotSupported);
    const auto position = parseNumber(params[0].text);
    if (!position)
        return Reply::error(cme::OperationNotSupported);
    if (*position < 1 || *position > n.preferredSize)
        return Reply::error(cme::kInvalidIndex);
    if (params.size() == 1 || params[1].empty()) {
        n.preferred.erase(*position);
        return Reply::ok();
    }
    // MCC and MNC: five or six digits.
    const std::string& oper = params[1].text;
    const auto code = parseNumber(oper);
    if (!code || oper.size() < 5 || oper.size() > 6)
        return Reply::error(cme::OperationNotAllowed);
    n.preferred[*position] = *code;
    return Reply::ok();
}

// --- AT+CPAS, AT+CLCC ------------------------------------------------------------------------

Reply cpas(Context& ctx, const Command& cmd) {
    if (cmd.form == Form::Test)
        return Reply::ok({"+CPAS: (0,3,4)"});
    if (cmd.form != Form::Action)
        return Reply::error(cme::OperationNotSupported);
    return Reply::ok({"+CPAS: " + std::to_string(phoneActivity(ctx.state.net))});
}

Reply clcc(Context& ctx, const Command& cmd) {
    if (cmd.form == Form::Test)
        return Reply::ok();
    if (cmd.form != Form::Action)
        return Reply::error(cme::OperationNotSupported);
    std::vector<std::string> lines;
    for (const Call& c : ctx.state.net.calls) {
        std::string line = "+CLCC: " + std::to_string(c.id) + "," + std::to_string(c.direction) +
                           "," + std::to_string(c.state) + "," + std::to_string(c.mode) + "," +
                           (c.multiparty ? "1" : "0");
        if (!c.number.empty())
            line += "," + quoted(c.number) + "," + std::to_string(c.type);
        lines.push_back(std::move(line));
    }
    return Reply::ok(std::move(lines));
}

// --- Bearer classes ----------------------------------------------------------------------------

constexpr int kBasicClasses[] = {1, 2, 4};

// The basic classes of a class parameter (default 7); nothing for a value
// without voice, data or fax.
std::optional<std::vector<int>> basicClasses(const std::vector<Param>& params, std::size_t at) {
    int mask = 7;
    if (params.size() > at && !params[at].empty()) {
        const auto v = parseNumber(params[at].text);
        if (!v || *v < 1 || *v > 255)
            return std::nullopt;
        mask = *v;
    }
    std::vector<int> out;
    for (const int c : kBasicClasses)
        if ((mask & c) != 0)
            out.push_back(c);
    if (out.empty())
        return std::nullopt;
    return out;
}

// --- AT+CCFC -----------------------------------------------------------------------------------

std::vector<int> reasonsOf(int reason) {
    if (reason == 4)
        return {0, 1, 2, 3};  // all forwarding
    if (reason == 5)
        return {1, 2, 3};  // all conditional forwarding
    return {reason};
}

std::string ccfcLine(int reason, int cls, const ForwardingRule& r) {
    std::string line =
        "+CCFC: 1," + std::to_string(cls) + "," + quoted(r.number) + "," + std::to_string(r.type);
    if (reason == 2)
        line += ",,," + std::to_string(r.time);
    return line;
}

Reply ccfcQuery(const NetworkServices& n, int reason, const std::vector<int>& classes) {
    std::vector<std::pair<int, ForwardingRule>> active;
    for (const int c : classes) {
        const auto it = n.forwarding.find({reason, c});
        if (it != n.forwarding.end() && it->second.active)
            active.emplace_back(c, it->second);
    }
    if (active.empty())
        return Reply::ok({"+CCFC: 0,7"});
    // Voice, data and fax forwarded alike: the network answers for all of them.
    if (active.size() == 3 && active[0].second == active[1].second &&
        active[1].second == active[2].second)
        return Reply::ok({ccfcLine(reason, 7, active[0].second)});
    std::vector<std::string> lines;
    for (const auto& [c, r] : active)
        lines.push_back(ccfcLine(reason, c, r));
    return Reply::ok(std::move(lines));
}

Reply ccfc(Context& ctx, const Command& cmd) {
    NetworkServices& n = ctx.state.net;
    if (cmd.form == Form::Test)
        return Reply::ok({"+CCFC: (0-5)"});
    if (cmd.form != Form::Set)
        return Reply::error(cme::OperationNotSupported);
    const auto params = cmd.params();
    if (params.size() < 2 || params.size() > 8)
        return Reply::error(cme::OperationNotSupported);
    const auto reason = parseNumber(params[0].text);
    const auto mode = parseNumber(params[1].text);
    if (!reason || *reason > 5 || !mode || *mode > 4)
        return Reply::error(cme::OperationNotSupported);
    const auto classes = basicClasses(params, 4);
    if (!classes)
        return Reply::error(cme::OperationNotSupported);

    if (*mode == 2) {
        if (*reason > 3)
            return Reply::error(cme::OperationNotAllowed);
        return ccfcQuery(n, *reason, *classes);
    }

    std::string number;
    int type = 0;
    if (params.size() > 2 && !params[2].empty()) {
        number = params[2].text;
        if (!isDialNumber(number))
            return Reply::error(cme::kInvalidDialString);
        const std::size_t digits = number.size() - (number.front() == '+' ? 1 : 0);
        if (digits == 0)
            return Reply::error(cme::kInvalidDialString);
        if (digits > 20)
            return Reply::error(cme::kDialStringTooLong);
        type = defaultType(number);
        if (params.size() > 3 && !params[3].empty()) {
            const auto t = parseNumber(params[3].text);
            if (!t || *t < 128 || *t > 255)
                return Reply::error(cme::OperationNotSupported);
            type = *t;
        }
    }
    int time = 20;
    if (params.size() > 7 && !params[7].empty()) {
        const auto t = parseNumber(params[7].text);
        if (!t || *t < 1 || *t > 30)
            return Reply::error(cme::OperationNotSupported);
        time = *t;
    }

    const auto reasons = reasonsOf(*reason);
    // Activation needs a number, given now or registered before.
    if (*mode == 3 && number.empty())
        return Reply::error(cme::OperationNotAllowed);
    if (*mode == 1 && number.empty()) {
        for (const int r : reasons)
            for (const int c : *classes)
                if (!n.forwarding.count({r, c}))
                    return Reply::error(cme::OperationNotAllowed);
    }
    for (const int r : reasons) {
        for (const int c : *classes) {
            switch (*mode) {
                case 0:
                    if (auto it = n.forwarding.find({r, c}); it != n.forwarding.end())
                        it->second.active = false;
                    break;
                case 1:
                case 3: {
                    ForwardingRule& rule = n.forwarding[{r, c}];
                    if (!number.empty()) {
                        rule.number = number;
                        rule.type = type;
                        rule.time = r == 2 ? time : 0;
                    }
                    rule.active = true;
                    break;
                }
                case 4:
                    n.forwarding.erase({r, c});
                    break;
                default:
                    break;
            }
        }
    }
    return Reply::ok();
}

// --- AT+CLCK -----------------------------------------------------------------------------------

bool isLock(const std::string& fac) {
    return fac == "CS" || fac == "PS" || fac == "SC" || fac == "FD";
}
bool isOutgoing(const std::string& fac) {
    return fac == "AO" || fac == "OI" || fac == "OX";
}
bool isIncoming(const std::string& fac) {
    return fac == "AI" || fac == "IR";
}
bool isGroup(const std::string& fac) {
    return fac == "AB" || fac == "AG" || fac == "AC";
}

// The password a lock needs; empty for the keyboard lock, which needs none.
std::string lockPassword(const PhoneState& s, const std::string& fac) {
    if (fac == "PS")
        return s.net.phoneCode;
    if (fac == "SC")
        return s.net.simPin;
    if (fac == "FD")
        return s.pin2;
    return {};
}

Reply clckQuery(const NetworkServices& n, const std::string& fac, const std::vector<int>& classes) {
    if (isLock(fac))
        return Reply::ok({"+CLCK: " + std::string(n.locks.count(fac) ? "1" : "0")});
    std::vector<int> barred;
    for (const int c : classes)
        if (n.barred.count({fac, c}))
            barred.push_back(c);
    if (barred.empty())
        return Reply::ok({"+CLCK: 0,7"});
    if (barred.size() == 3)
        return Reply::ok({"+CLCK: 1,7"});
    std::vector<std::string> lines;
    for (const int c : barred)
        lines.push_back("+CLCK: 1," + std::to_string(c));
    return Reply::ok(std::move(lines));
}

Reply clck(Context& ctx, const Command& cmd) {
    PhoneState& s = ctx.state;
    NetworkServices& n = s.net;
    if (cmd.form == Form::Test)
        return Reply::ok(
            {"+CLCK: (\"CS\",\"PS\",\"SC\",\"FD\",\"AO\",\"OI\",\"OX\",\"AI\",\"IR\","
             "\"AB\",\"AG\",\"AC\")"});
    if (cmd.form != Form::Set)
        return Reply::error(cme::OperationNotSupported);
    const auto params = cmd.params();
    if (params.size() < 2 || params.size() > 4)
        return Reply::error(cme::OperationNotSupported);
    const std::string fac = upper(params[0].text);
    const auto mode = parseNumber(params[1].text);
    if (!mode || *mode > 2)
        return Reply::error(cme::OperationNotSupported);
    if (!isLock(fac) && !isOutgoing(fac) && !isIncoming(fac) && !isGroup(fac))
        return Reply::error(cme::OperationNotSupported);
    const auto classes = basicClasses(params, 3);
    if (!classes)
        return Reply::error(cme::OperationNotSupported);

    if (*mode == 2) {
        if (isGroup(fac))
            return Reply::error(cme::OperationNotAllowed);
        return clckQuery(n, fac, *classes);
    }

    const std::string password = params.size() > 2 ? params[2].text : std::string();
    if (isLock(fac)) {
        const std::string needed = lockPassword(s, fac);
        if (!needed.empty() && password != needed)
            return Reply::error(cme::kIncorrectPassword);
        if (*mode == 1)
            n.locks.insert(fac);
        else
            n.locks.erase(fac);
        return Reply::ok();
    }

    if (password != n.barringPassword)
        return Reply::error(cme::kIncorrectPassword);
    if (isGroup(fac)) {
        // The group facilities only lift barrings.
        if (*mode == 1)
            return Reply::error(cme::OperationNotAllowed);
        for (auto it = n.barred.begin(); it != n.barred.end();) {
            const bool inGroup = fac == "AB" || (fac == "AG" && isOutgoing(it->first)) ||
                                 (fac == "AC" && isIncoming(it->first));
            const bool inClass =
                std::find(classes->begin(), classes->end(), it->second) != classes->end();
            it = inGroup && inClass ? n.barred.erase(it) : std::next(it);
        }
        return Reply::ok();
    }
    for (const int c : *classes) {
        if (*mode == 0) {
            n.barred.erase({fac, c});
            continue;
        }
        // One barring program of a direction per class: the new one replaces the others.
        for (auto it = n.barred.begin(); it != n.barred.end();) {
            const bool sameDirection =
                isOutgoing(fac) ? isOutgoing(it->first) : isIncoming(it->first);
            it = sameDirection && it->second == c ? n.barred.erase(it) : std::next(it);
        }
        n.barred.insert({fac, c});
    }
    return Reply::ok();
}

}  // namespace

void registerNetworkCommands(CommandTable& table) {
    table.add("+CREG", creg);
    table.add("+COPS", cops);
    table.add("^SPLM", splm);
    table.add("^SPLR", splr);
    table.add("^SPLW", splw);
    table.add("+CPAS", cpas);
    table.add("+CLCC", clcc);
    table.add("+CCFC", ccfc);
    table.add("+CLCK", clck);
}

}  // namespace phonesim
