#include "phonesim/NetworkServices.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <optional>
#include <sstream>

#include "phonesim/Commands.h"
#include "phonesim/GsmText.h"
#include "phonesim/PhoneState.h"
#include "phonesim/StateFormat.h"

namespace phonesim {

Cell NetworkServices::currentCell() const {
    if (cells.empty())
        return {};
    return cells[cell < cells.size() ? cell : 0];
}

void NetworkServices::countRegistrationAnswer() {
    if (handoverEvery <= 0 || cells.size() < 2)
        return;
    if (++answersInCell < handoverEvery)
        return;
    answersInCell = 0;
    cell = (cell + 1) % cells.size();
}

void addDemoNetwork(PhoneState& state) {
    NetworkServices& n = state.net;
    n.cells = {{0x5E25, 0x605F}, {0x5E25, 0x6060}, {0x5E26, 0x1A2B}};
    n.available = {26202};
    n.forbidden = {26203, 26207};
    n.preferred = {{1, 23201}, {2, 22801}, {3, 20801}, {4, 23415}, {5, 22210}};
    // Unanswered voice calls go to the mailbox after 20 seconds.
    n.forwarding[{2, 1}] = ForwardingRule{true, "+491713300", 145, 20};
}

int phoneActivity(const NetworkServices& net) {
    int activity = 0;
    for (const Call& c : net.calls) {
        if (c.state == 4 || c.state == 5)
            activity = std::max(activity, 3);
        else
            activity = 4;
    }
    return activity;
}

namespace {

// The comma-separated fields of a list value; a field in double quotes
// keeps its commas.
std::vector<std::string> splitFields(const std::string& value) {
    std::vector<std::string> out;
    std::string field;
    bool quoted = false;
    for (const char c : value) {
        if (c == '"') {
            quoted = !quoted;
            continue;
        }
        if (c == ',' && !quoted) {
            out.push_back(field);
            field.clear();
            continue;
        }
        field += c;
    }
    out.push_back(field);
    for (std::string& f : out) {
        while (!f.empty() && f.front() == ' ')
            f.erase(f.begin());
        while (!f.empty() && f.back() == ' ')
            f.pop_back();
    }
    return out;
}

std::optional<unsigned> hexValue(const std::string& text) {
    if (text.empty() || text.size() > 4)
        return std::nullopt;
    unsigned v = 0;
    for (const char c : text) {
        const int d = hexDigit(c);
        if (d < 0)
            return std::nullopt;
        v = v * 16 + static_cast<unsigned>(d);
    }
    return v;
}

std::string hex4(unsigned v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04X", v & 0xFFFFu);
    return buf;
}

// Reads an int field into `out`; false when it is none.
bool intField(const std::string& text, int& out) {
    const auto n = parseNumber(text);
    if (!n)
        return false;
    out = *n;
    return true;
}

bool isFacility(const std::string& code, bool barring) {
    static const std::set<std::string> kLocks = {"CS", "PS", "SC", "FD"};
    static const std::set<std::string> kBarring = {"AO", "OI", "OX", "AI", "IR"};
    return barring ? kBarring.count(code) != 0 : kLocks.count(code) != 0;
}

bool isBasicClass(int c) {
    return c == 1 || c == 2 || c == 4;
}

using ReadFn =
    std::function<bool(PhoneState&, const std::string&, const std::string&, std::string&)>;

StateSection section(std::string name, std::string comment,
                     std::function<void(const PhoneState&, KeyValues&)> write, ReadFn read) {
    StateSection s;
    s.name = std::move(name);
    s.comment = std::move(comment);
    s.write = std::move(write);
    s.read = std::move(read);
    return s;
}

bool unknownKey(const std::string& key, std::string& error) {
    error = "unknown key '" + key + "'";
    return false;
}

bool badValue(const std::string& key, std::string& error) {
    error = "bad value for '" + key + "'";
    return false;
}

StateSection cellsSection() {
    return section(
        "cells",
        "AT+CREG? location: the serving network (servingCode, MCC and MNC), the cells the\n"
        "phone moves through (\"cell = LAC,CI\" in hexadecimal), the one it is in (current,\n"
        "from 0), and after how many AT+CREG? answers it moves on (0: never).",
        [](const PhoneState& s, KeyValues& out) {
            out.emplace_back("servingCode", std::to_string(s.net.servingCode));
            for (const Cell& c : s.net.cells)
                out.emplace_back("cell", hex4(c.lac) + "," + hex4(c.cellId));
            out.emplace_back("current", std::to_string(s.net.cell));
            out.emplace_back("handoverEvery", std::to_string(s.net.handoverEvery));
        },
        [](PhoneState& s, const std::string& key, const std::string& value, std::string& error) {
            NetworkServices& n = s.net;
            if (key == "servingCode") {
                if (!intField(value, n.servingCode))
                    return badValue(key, error);
            } else if (key == "cell") {
                const auto f = splitFields(value);
                const auto lac = f.size() == 2 ? hexValue(f[0]) : std::nullopt;
                const auto ci = f.size() == 2 ? hexValue(f[1]) : std::nullopt;
                if (!lac || !ci)
                    return badValue(key, error);
                n.cells.push_back(Cell{*lac, *ci});
            } else if (key == "current") {
                int v = 0;
                if (!intField(value, v))
                    return badValue(key, error);
                n.cell = static_cast<std::size_t>(v);
            } else if (key == "handoverEvery") {
                if (!intField(value, n.handoverEvery))
                    return badValue(key, error);
            } else {
                return unknownKey(key, error);
            }
            return true;
        });
}

StateSection searchSection() {
    return section(
        "search",
        "AT+COPS=?: how long the search takes (searchMs) and the networks it finds besides\n"
        "the serving one: available (may be selected) and forbidden, by code.",
        [](const PhoneState& s, KeyValues& out) {
            out.emplace_back("searchMs", std::to_string(s.net.searchMs));
            for (const int c : s.net.available)
                out.emplace_back("available", std::to_string(c));
            for (const int c : s.net.forbidden)
                out.emplace_back("forbidden", std::to_string(c));
        },
        [](PhoneState& s, const std::string& key, const std::string& value, std::string& error) {
            NetworkServices& n = s.net;
            if (key == "searchMs") {
                if (!intField(value, n.searchMs))
                    return badValue(key, error);
                return true;
            }
            if (key != "available" && key != "forbidden")
                return unknownKey(key, error);
            int code = 0;
            if (!intField(value, code))
                return badValue(key, error);
            (key == "available" ? n.available : n.forbidden).push_back(code);
            return true;
        });
}

StateSection preferredSection() {
    return section(
        "preferred",
        "AT^SPLR, AT^SPLW: the SIM's preferred operator list, positions 1..size;\n"
        "\"entry = position,code\" for each occupied one.",
        [](const PhoneState& s, KeyValues& out) {
            out.emplace_back("size", std::to_string(s.net.preferredSize));
            for (const auto& [pos, code] : s.net.preferred)
                out.emplace_back("entry", std::to_string(pos) + "," + std::to_string(code));
        },
        [](PhoneState& s, const std::string& key, const std::string& value, std::string& error) {
            NetworkServices& n = s.net;
            if (key == "size") {
                if (!intField(value, n.preferredSize))
                    return badValue(key, error);
                return true;
            }
            if (key != "entry")
                return unknownKey(key, error);
            const auto f = splitFields(value);
            int pos = 0, code = 0;
            if (f.size() != 2 || !intField(f[0], pos) || !intField(f[1], code))
                return badValue(key, error);
            n.preferred[pos] = code;
            return true;
        });
}

StateSection callsSection() {
    return section(
        "calls",
        "AT+CPAS, AT+CLCC: calls in progress, \"call = id,dir,stat,mode,mpty,number,type\"\n"
        "(dir 0 outgoing, 1 incoming; stat 0 active, 1 held, 2 dialling, 3 alerting,\n"
        "4 incoming, 5 waiting; mode 0 voice, 1 data, 2 fax).",
        [](const PhoneState& s, KeyValues& out) {
            for (const Call& c : s.net.calls) {
                out.emplace_back("call", std::to_string(c.id) + "," + std::to_string(c.direction) +
                                             "," + std::to_string(c.state) + "," +
                                             std::to_string(c.mode) + "," +
                                             (c.multiparty ? "1" : "0") + ",\"" + c.number + "\"," +
                                             std::to_string(c.type));
            }
        },
        [](PhoneState& s, const std::string& key, const std::string& value, std::string& error) {
            if (key != "call")
                return unknownKey(key, error);
            const auto f = splitFields(value);
            Call c;
            int mpty = 0;
            if (f.size() != 7 || !intField(f[0], c.id) || !intField(f[1], c.direction) ||
                !intField(f[2], c.state) || !intField(f[3], c.mode) || !intField(f[4], mpty) ||
                !isDialNumber(f[5]) || !intField(f[6], c.type))
                return badValue(key, error);
            c.multiparty = mpty != 0;
            c.number = f[5];
            s.net.calls.push_back(std::move(c));
            return true;
        });
}

StateSection forwardingSection() {
    return section(
        "forwarding",
        "AT+CCFC: \"rule = reason,class,active,number,type,time\" (reason 0 always, 1 busy,\n"
        "2 no reply, 3 not reachable; class 1 voice, 2 data, 4 fax; time for reason 2).",
        [](const PhoneState& s, KeyValues& out) {
            for (const auto& [key, r] : s.net.forwarding) {
                out.emplace_back("rule", std::to_string(key.first) + "," +
                                             std::to_string(key.second) + "," +
                                             (r.active ? "1" : "0") + ",\"" + r.number + "\"," +
                                             std::to_string(r.type) + "," + std::to_string(r.time));
            }
        },
        [](PhoneState& s, const std::string& key, const std::string& value, std::string& error) {
            if (key != "rule")
                return unknownKey(key, error);
            const auto f = splitFields(value);
            int reason = 0, cls = 0, active = 0;
            ForwardingRule r;
            if (f.size() != 6 || !intField(f[0], reason) || reason > 3 || !intField(f[1], cls) ||
                !isBasicClass(cls) || !intField(f[2], active) || !isDialNumber(f[3]) ||
                !intField(f[4], r.type) || !intField(f[5], r.time))
                return badValue(key, error);
            r.active = active != 0;
            r.number = f[3];
            s.net.forwarding[{reason, cls}] = r;
            return true;
        });
}

StateSection barringSection() {
    return section(
        "barring",
        "AT+CLCK: the network's barring password, the phone code (PS) and SIM PIN (SC);\n"
        "\"lock = CS\" for each active lock (CS, PS, SC, FD), \"bar = AO,1\" for each barred\n"
        "service and basic class (AO, OI, OX, AI, IR; 1 voice, 2 data, 4 fax).",
        [](const PhoneState& s, KeyValues& out) {
            out.emplace_back("password", s.net.barringPassword);
            out.emplace_back("phoneCode", s.net.phoneCode);
            out.emplace_back("simPin", s.net.simPin);
            for (const std::string& l : s.net.locks)
                out.emplace_back("lock", l);
            for (const auto& [fac, cls] : s.net.barred)
                out.emplace_back("bar", fac + "," + std::to_string(cls));
        },
        [](PhoneState& s, const std::string& key, const std::string& value, std::string& error) {
            NetworkServices& n = s.net;
            const auto digits = [](const std::string& v) {
                return !v.empty() && v.find_first_not_of("0123456789") == std::string::npos;
            };
            if (key == "password" || key == "phoneCode" || key == "simPin") {
                if (!digits(value))
                    return badValue(key, error);
                (key == "password"    ? n.barringPassword
                 : key == "phoneCode" ? n.phoneCode
                                      : n.simPin) = value;
            } else if (key == "lock") {
                if (!isFacility(value, false))
                    return badValue(key, error);
                n.locks.insert(value);
            } else if (key == "bar") {
                const auto f = splitFields(value);
                int cls = 0;
                if (f.size() != 2 || !isFacility(f[0], true) || !intField(f[1], cls) ||
                    !isBasicClass(cls))
                    return badValue(key, error);
                n.barred.insert({f[0], cls});
            } else {
                return unknownKey(key, error);
            }
            return true;
        });
}

}  // namespace

std::vector<StateSection> networkSections() {
    return {cellsSection(), searchSection(),     preferredSection(),
            callsSection(), forwardingSection(), barringSection()};
}

}  // namespace phonesim
