// "net", "forward" and "barring": the network monitor, the network selection
// window, call forwarding and call barring on the command line, with the
// desktop program's phone traffic and messages.

#include <algorithm>
#include <chrono>
#include <ctime>
#include <iostream>
#include <ostream>
#include <thread>

#include "cli/Cli.h"
#include "cli/CliReporter.h"
#include "cli/Json.h"
#include "foundation/CalendarTime.h"
#include "network/Texts.h"
#include "session/CallBarringSession.h"
#include "session/CallForwardingSession.h"
#include "session/NetworkMonitorSession.h"
#include "session/NetworkSelectionSession.h"
#include "text/Latin1.h"

namespace vondrix::cli {

using network::ClassOutcome;
using network::Outcome;

namespace {

constexpr const char* kNetHelp =
    R"(The network monitor and the network selection window.

Subcommands:
  monitor           poll the network like the monitor window
  operators         list the known operators, the preferred list and the
                    networks a search finds
  preferred add     put an operator into the first free preferred position
  preferred remove  free a preferred position
  select            register with a network the search found

Exit status: 0 success, 1 the operation failed (a message was shown or the
phone refused), 2 usage error, 3 no link to the phone.
)";

constexpr const char* kMonitorHelp =
    R"(Polls the phone N times (1 to 100000), S seconds apart (2 to 60; default
MonRef of Vondrix.ini), as the network monitor window does, and prints one
line per poll:

  time;operator;code;registration;LAC;cell;reception;activity[;call...]

time is the poll's UTC time (2024-03-01T12:00:05Z); LAC and cell id are
hexadecimal; registration and activity are texts in the run's language; each
current call is one more field 'index,direction,state,mode,number' (direction
'<' outgoing, '>' incoming; the number without quotes). A field whose reading
failed is empty. With --json each poll is one JSON object on its own line.

Afterwards MonRef (the interval) and MonProt (the log) are written to
Vondrix.ini as the window writes them when it closes, and the main window's
network fields are read again.

Exit status: 0 every poll done, 1 the phone stopped answering or the cell log
could not be written, 2 usage error, 3 no link to the phone.
)";

constexpr const char* kOperatorsHelp =
    R"(Opens the network selection window's lists, the network search included
(it takes as long as the phone scans), and prints each part under its
heading line:

  [Known]      'code;name' for every operator the phone knows, by name
  [Preferred]  'position;code;name' for the SIM's preferred list, free
               positions as 'position;0;EMPTY'; the list ends before the
               first operator the phone has no name for, as in the window
  [Found]      'code;name;status' for every network the search found
               (status 0 unknown, 1 available, 2 current, 3 forbidden)

A part the phone did not give is a heading without lines. With --json the
same comes as one JSON object (known, preferred, found).

Exit status: 0 success, 1 the phone stopped answering, 2 usage error,
3 no link to the phone.
)";

constexpr const char* kPreferredHelp =
    R"(Reads the operators the phone knows and the SIM's preferred list (without
the network search), then:

  add CODE         writes the operator CODE (MCC and MNC, e.g. 26201), which
                   must be one the phone knows, into the first free position
                   and prints it as 'position;code;name' (--json: an object)
  remove POSITION  frees preferred position POSITION (1-based, as 'net
                   operators' shows it)

Exit status: 0 done, 1 the phone does not know CODE, no free position ("No
free entry available"), no such POSITION or the phone refused ("The new
entry cannot be written", "The entry cannot be deleted"), 2 usage error,
3 no link to the phone.
)";

constexpr const char* kSelectHelp =
    R"(Runs the network search and registers with the network CODE by the status
the search gives it, as a double click in the window does: an available
network is selected; the current one ("This operator is already in use"), a
forbidden one ("This operator cannot be selected") or an unknown one
("Unknown operator", also when the search did not find CODE) is not.
Afterwards the operator and registration are read again.

Exit status: 0 selected, 1 not selected (a message says why), 2 usage
error, 3 no link to the phone.
)";

constexpr const char* kForwardHelp =
    R"(The call forwarding window's query and buttons.

  REASON  always, busy, no-answer or not-available (or 0 to 3)
  MODE    register, erase, activate or deactivate

query prints one line 'class;active;number;time' for each of voice, data,
fax and all (active 1 or 0; time: the no-answer time in seconds, 0 when none
is given). With --json the same comes as one JSON object.

set sends one request per class of LIST (or one for all) with the number N
('+' first for an international number) and, for no-answer only, the time
S in seconds (0 to 30, rounded down to a multiple of 5; 0 sends none).
Without --number "Please enter a telephone number" is shown and nothing is
sent.

Exit status: 0 done, 1 the network refused a request or the query ("Call
forwarding could not be activated" or "... deactivated"), or no number,
2 usage error, 3 no link to the phone.
)";

constexpr const char* kBarringHelp =
    R"(The call barring window's query and buttons.

  FACILITY  a lock of the phone or SIM: CS (keyboard), PS (phone locked to
            SIM), SC (SIM card), FD (fixed dialling); or a barring service:
            AO (all outgoing calls), OI (outgoing international), OX
            (outgoing international except home country), AI (all incoming
            calls), IR (incoming when roaming abroad)

query prints 'lock;1' or 'lock;0' for a lock, and for a service four lines
'voice;0|1', 'data;0|1', 'fax;0|1' and 'all;0|1'. With --json the same comes
as one JSON object.

set switches a lock on or off (no password is sent), or a service for each
class of LIST with the barring password (1 to 9 digits), which goes to the
phone and nowhere else. Without --password or --password-stdin the terminal
asks for it; without a terminal nothing is sent.

Exit status: 0 done, 1 the phone or the network refused ("Call barring could
not be activated" or "... deactivated") or the query failed, 2 usage error,
3 no link to the phone.
)";

constexpr int kMaxPolls = 100000;
constexpr const char* kClassNames[] = {"voice", "data", "fax", "all"};

int runFamily(Invocation& inv) {
    if (inv.line.words.empty())
        return inv.usageError("a subcommand is missing");
    return inv.usageError("unknown subcommand '" + inv.line.words.front() + "'");
}

// Zero only when every class went through.
int outcomeStatus(Invocation& inv, const std::vector<ClassOutcome>& outcomes,
                  const CountingReporter::Tally& before) {
    const bool ok = std::all_of(outcomes.begin(), outcomes.end(),
                                [](const ClassOutcome& o) { return o.outcome == Outcome::Done; });
    return inv.status(ok, before);
}

// --- net monitor ---------------------------------------------------------------

std::string utcText(std::chrono::system_clock::time_point at) {
    const std::tm utc = utcCalendar(std::chrono::system_clock::to_time_t(at));
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

void printPoll(std::ostream& out, const NetworkMonitorSession& monitor, bool json) {
    const network::MonitorView& v = monitor.view();
    const MonitorTexts t = monitor.texts();
    if (json) {
        JsonWriter j(out);
        const auto number = [&](const char* name, const auto& value) {
            j.key(name);
            if (value)
                j.value(static_cast<long long>(*value));
            else
                j.null();
        };
        j.beginObject();
        j.key("time").value(utcText(v.polledAt));
        j.key("operator").value(t.operatorName);
        number("code", v.operatorCode);
        number("registration", v.registrationState);
        j.key("registrationText").value(t.registration);
        number("lac", v.lac);
        number("cellId", v.cellId);
        j.key("dbm");
        if (v.reception.rssi && v.reception.signalKnown)
            j.value(-v.reception.dbm);
        else
            j.null();
        j.key("reception").value(t.receptionUnknown ? std::string("unknown") : t.reception);
        number("activity", v.activity);
        j.key("activityText").value(t.activity);
        j.key("calls").beginArray();
        for (std::size_t i = 0; i < v.calls.size(); ++i) {
            const network::CurrentCall& c = v.calls[i];
            j.beginObject();
            j.key("index").value(c.index);
            j.key("direction").value(t.calls[i].direction);
            j.key("state").value(c.state);
            j.key("stateText").value(t.calls[i].state);
            j.key("mode").value(c.mode);
            j.key("modeText").value(t.calls[i].mode);
            j.key("number").value(t.calls[i].number);
            j.endObject();
        }
        j.endArray().endObject().finish();
    } else {
        out << utcText(v.polledAt) << ';' << escapedText(v.operatorName) << ';' << t.operatorCode
            << ';' << t.registration << ';' << t.lacHex << ';' << t.cellHex << ';'
            << (t.receptionUnknown ? std::string("unknown") : t.reception) << ';' << t.activity;
        for (std::size_t i = 0; i < t.calls.size(); ++i) {
            const MonitorTexts::Call& c = t.calls[i];
            out << ';' << c.index << ',' << c.direction << ',' << c.state << ',' << c.mode << ','
                << escapedText(v.calls[i].number);
        }
        out << '\n';
    }
    out.flush();
}

int runMonitor(Invocation& inv) {
    const std::string* pollsText = inv.line.value("--polls");
    if (!pollsText)
        return inv.usageError("--polls N is missing");
    const auto polls = numberInRange(*pollsText, 1, kMaxPolls);
    if (!polls)
        return inv.usageError("--polls needs a whole number from 1 to " +
                              std::to_string(kMaxPolls) + ", not '" + *pollsText + "'");
    std::optional<int> interval;
    if (const std::string* text = inv.line.value("--interval")) {
        interval = numberInRange(*text, network::kMinPeriod, network::kMaxPeriod);
        if (!interval)
            return inv.usageError("--interval needs a whole number of seconds from 2 to 60, not '" +
                                  *text + "'");
    }
    if (inv.line.has("--log") && inv.line.has("--no-log"))
        return inv.usageError("give --log or --no-log, not both");
    const bool json = inv.line.has("--json");

    return inv.withSession([&] {
        Settings& settings = inv.main->session().settings;
        // As if the window's up-down control and log box had been set.
        if (interval)
            settings.monRef = *interval;
        if (inv.line.has("--log"))
            settings.monProt = true;
        if (inv.line.has("--no-log"))
            settings.monProt = false;
        const auto before = inv.reporter->tally();
        NetworkMonitorSession monitor(*inv.main, *inv.reporter);
        bool linkFailed = !monitor.open();
        if (!linkFailed)
            printPoll(inv.ctx.out, monitor, json);
        for (int i = 1; i < *polls && !linkFailed; ++i) {
            std::this_thread::sleep_for(std::chrono::seconds(monitor.period()));
            if (monitor.poll() == NetworkMonitorSession::PollResult::LinkFailed)
                linkFailed = true;
            else
                printPoll(inv.ctx.out, monitor, json);
        }
        monitor.close();
        return inv.status(!linkFailed, before);
    });
}

// --- net operators, preferred, select ------------------------------------------

void printOperators(std::ostream& out, const network::OperatorsModel& m, bool json) {
    const std::size_t shown = m.preferredShown();
    if (json) {
        JsonWriter j(out);
        j.beginObject();
        j.key("known").beginArray();
        for (const network::OperatorName& o : m.known) {
            j.beginObject();
            j.key("code").value(o.code);
            j.key("name").value(latin1ToUtf8(o.name));
            j.endObject();
        }
        j.endArray();
        j.key("preferred").beginArray();
        for (std::size_t i = 0; i < shown; ++i) {
            const network::PreferredEntry& e = m.preferred[i];
            j.beginObject();
            j.key("position").value(e.position);
            j.key("code").value(e.code);
            j.key("name").value(latin1ToUtf8(e.name));
            j.endObject();
        }
        j.endArray();
        j.key("found").beginArray();
        for (const network::FoundNetwork& f : m.found) {
            j.beginObject();
            j.key("code").value(f.code);
            j.key("name").value(latin1ToUtf8(f.longName));
            j.key("status").value(f.status);
            j.endObject();
        }
        j.endArray();
        j.endObject().finish();
        return;
    }
    out << "[Known]\n";
    for (const network::OperatorName& o : m.known)
        out << o.code << ';' << escapedText(o.name) << '\n';
    out << "[Preferred]\n";
    for (std::size_t i = 0; i < shown; ++i) {
        const network::PreferredEntry& e = m.preferred[i];
        out << e.position << ';' << e.code << ';' << escapedText(e.name) << '\n';
    }
    out << "[Found]\n";
    for (const network::FoundNetwork& f : m.found)
        out << f.code << ';' << escapedText(f.longName) << ';' << f.status << '\n';
}

int runOperators(Invocation& inv) {
    // The search may keep the phone busy for a minute or two.
    announce(inv.ctx.err, "Asking the phone for its operator list\u2026");
    return inv.withSession([&] {
        const auto before = inv.reporter->tally();
        NetworkSelectionSession window(*inv.main, *inv.reporter);
        window.open();
        printOperators(inv.ctx.out, window.model(), inv.line.has("--json"));
        return inv.status(true, before);
    });
}

int runPreferredAdd(Invocation& inv) {
    const auto code = operatorCodeValue(inv.line.words[0]);
    if (!code)
        return inv.usageError("not an operator code (MCC and MNC, 10000 to 999999): '" +
                              inv.line.words[0] + "'");
    return inv.withSession([&] {
        const auto before = inv.reporter->tally();
        NetworkSelectionSession window(*inv.main, *inv.reporter);
        window.openPreferred();
        if (inv.errorShownSince(before))
            return kExitFailed;  // the link message said why
        // The window offers only the operators the phone knows.
        if (!window.known(*code))
            return inv.fail("the phone knows no operator " + std::to_string(*code));
        const auto row = window.model().firstFree();
        const Outcome outcome = window.addPreferred(*code);
        if (outcome != Outcome::Done || !row)
            return inv.status(false, before);
        const network::PreferredEntry& e = window.model().preferred[*row];
        if (inv.line.has("--json")) {
            JsonWriter j(inv.ctx.out);
            j.beginObject();
            j.key("position").value(e.position);
            j.key("code").value(e.code);
            j.key("name").value(latin1ToUtf8(e.name));
            j.endObject().finish();
        } else {
            inv.ctx.out << e.position << ';' << e.code << ';' << escapedText(e.name) << '\n';
        }
        return inv.status(true, before);
    });
}

int runPreferredRemove(Invocation& inv) {
    const auto position = locationValue(inv.line.words[0]);
    if (!position)
        return inv.usageError("not a position: '" + inv.line.words[0] + "'");
    return inv.withSession([&] {
        const auto before = inv.reporter->tally();
        NetworkSelectionSession window(*inv.main, *inv.reporter);
        window.openPreferred();
        if (inv.errorShownSince(before))
            return kExitFailed;
        const auto row = window.preferredRow(*position);
        if (!row)
            return inv.fail("the SIM's preferred list has no position " +
                            std::to_string(*position));
        return inv.status(window.removePreferred(*row) == Outcome::Done, before);
    });
}

int runSelect(Invocation& inv) {
    const auto code = operatorCodeValue(inv.line.words[0]);
    if (!code)
        return inv.usageError("not an operator code (MCC and MNC, 10000 to 999999): '" +
                              inv.line.words[0] + "'");
    return inv.withSession([&] {
        const auto before = inv.reporter->tally();
        NetworkSelectionSession window(*inv.main, *inv.reporter);
        window.open();
        if (inv.errorShownSince(before))
            return kExitFailed;
        return inv.status(window.selectCode(*code) == network::Selection::Selected, before);
    });
}

// --- forward -----------------------------------------------------------------------

constexpr const char* kReasonNames[] = {"always", "busy", "no-answer", "not-available"};

int runForwardQuery(Invocation& inv) {
    const auto reason = forwardReasonValue(inv.line.words[0]);
    if (!reason)
        return inv.usageError("REASON must be always, busy, no-answer or not-available, not '" +
                              inv.line.words[0] + "'");
    return inv.withSession([&] {
        const auto before = inv.reporter->tally();
        CallForwardingSession window(inv.main->session(), *inv.reporter);
        if (!window.show(*reason)) {
            if (inv.errorShownSince(before))
                return kExitFailed;
            return inv.fail("the network did not answer the query");
        }
        const network::ForwardingRequest& form = window.form();
        if (inv.line.has("--json")) {
            JsonWriter j(inv.ctx.out);
            j.beginObject();
            j.key("reason").value(kReasonNames[static_cast<int>(*reason)]);
            for (std::size_t i = 0; i < form.size(); ++i) {
                j.key(kClassNames[i]).beginObject();
                j.key("active").value(form[i].ticked);
                j.key("number").value(latin1ToUtf8(form[i].number));
                j.key("time").value(form[i].time);
                j.endObject();
            }
            j.endObject().finish();
        } else {
            for (std::size_t i = 0; i < form.size(); ++i)
                inv.ctx.out << kClassNames[i] << ';' << (form[i].ticked ? 1 : 0) << ';'
                            << escapedText(form[i].number) << ';' << form[i].time << '\n';
        }
        return inv.status(true, before);
    });
}

std::optional<network::ForwardMode> forwardModeValue(const std::string& text) {
    if (text == "register")
        return network::ForwardMode::Register;
    if (text == "erase")
        return network::ForwardMode::Erase;
    if (text == "activate")
        return network::ForwardMode::Activate;
    if (text == "deactivate")
        return network::ForwardMode::Deactivate;
    return std::nullopt;
}

int runForwardSet(Invocation& inv) {
    const auto reason = forwardReasonValue(inv.line.words[0]);
    if (!reason)
        return inv.usageError("REASON must be always, busy, no-answer or not-available, not '" +
                              inv.line.words[0] + "'");
    const auto mode = forwardModeValue(inv.line.words[1]);
    if (!mode)
        return inv.usageError("MODE must be register, erase, activate or deactivate, not '" +
                              inv.line.words[1] + "'");
    const std::string* classText = inv.line.value("--class");
    if (!classText)
        return inv.usageError("--class LIST is missing");
    const auto classes = classListValue(*classText);
    if (!classes)
        return inv.usageError("--class needs all or a comma list of voice, data and fax, not '" +
                              *classText + "'");
    std::string number;
    if (const std::string* text = inv.line.value("--number")) {
        if (!isNumberValue(*text) || text->size() > network::kMaxForwardNumber)
            return inv.usageError("not a telephone number of up to 49 characters: '" + *text + "'");
        number = *text;
    }
    int time = 0;
    if (const std::string* text = inv.line.value("--time")) {
        if (*reason != network::ForwardReason::NoAnswer)
            return inv.usageError("--time goes only with the reason no-answer");
        const auto seconds = numberInRange(*text, 0, network::kMaxForwardTime);
        if (!seconds)
            return inv.usageError("--time needs a whole number of seconds from 0 to 30, not '" +
                                  *text + "'");
        time = *seconds;
    }
    return inv.withSession([&] {
        const auto before = inv.reporter->tally();
        CallForwardingSession window(inv.main->session(), *inv.reporter);
        window.choose(*reason);
        for (std::size_t i = 0; i < classes->size(); ++i) {
            if (!(*classes)[i])
                continue;
            window.tick(i, true);
            window.setNumber(i, number);
            window.setTime(i, time);
        }
        return outcomeStatus(inv, window.request(*mode), before);
    });
}

// --- barring ------------------------------------------------------------------------

int runBarringQuery(Invocation& inv) {
    const auto facility = facilityValue(inv.line.words[0]);
    if (!facility)
        return inv.usageError("FACILITY must be one of CS, PS, SC, FD, AO, OI, OX, AI, IR, not '" +
                              inv.line.words[0] + "'");
    return inv.withSession([&] {
        const auto before = inv.reporter->tally();
        CallBarringSession window(inv.main->session(), *inv.reporter);
        if (!window.show(*facility)) {
            if (inv.errorShownSince(before))
                return kExitFailed;
            return inv.fail("the phone did not answer the query");
        }
        const network::BarringStatus& s = window.status();
        const bool service = network::isBarringService(*facility);
        if (inv.line.has("--json")) {
            JsonWriter j(inv.ctx.out);
            j.beginObject();
            j.key("facility").value(network::kFacilityCodes[*facility]);
            if (service) {
                for (std::size_t i = 0; i < s.classes.size(); ++i)
                    j.key(kClassNames[i]).value(s.classes[i]);
            } else {
                j.key("lock").value(s.lockActive);
            }
            j.endObject().finish();
        } else if (service) {
            for (std::size_t i = 0; i < s.classes.size(); ++i)
                inv.ctx.out << kClassNames[i] << ';' << (s.classes[i] ? 1 : 0) << '\n';
        } else {
            inv.ctx.out << "lock;" << (s.lockActive ? 1 : 0) << '\n';
        }
        return inv.status(true, before);
    });
}

// The barring password from --password, --password-stdin or the terminal.
// Messages never repeat it.
std::optional<std::string> barringPassword(Invocation& inv, std::string& error) {
    const std::string* given = inv.line.value("--password");
    if (given && inv.line.has("--password-stdin")) {
        error = "give --password or --password-stdin, not both";
        return std::nullopt;
    }
    std::optional<std::string> password;
    if (given) {
        password = *given;
    } else if (inv.line.has("--password-stdin")) {
        std::string line;
        if (!std::getline(std::cin, line)) {
            error = "no password on standard input";
            return std::nullopt;
        }
        password = line;
    } else {
        password = askHidden(inv.ctx.err, "Barring password: ");
        if (!password) {
            error = "no terminal to ask for the barring password: give --password-stdin";
            return std::nullopt;
        }
    }
    if (!password->empty() && password->back() == '\r')
        password->pop_back();
    if (!isBarringPasswordValue(*password)) {
        error = "the barring password must be 1 to 9 digits";
        return std::nullopt;
    }
    return password;
}

int runBarringSet(Invocation& inv) {
    const auto facility = facilityValue(inv.line.words[0]);
    if (!facility)
        return inv.usageError("FACILITY must be one of CS, PS, SC, FD, AO, OI, OX, AI, IR, not '" +
                              inv.line.words[0] + "'");
    const auto on = onOffValue(inv.line.words[1]);
    if (!on)
        return inv.usageError("give on or off, not '" + inv.line.words[1] + "'");
    const bool service = network::isBarringService(*facility);
    const std::string* classText = inv.line.value("--class");
    std::optional<network::ClassTicks> classes;
    std::string password;
    if (!service) {
        // The locks go out on their own: no class, no password.
        if (classText)
            return inv.usageError("--class goes only with a barring service (AO, OI, OX, AI, IR)");
        if (inv.line.value("--password") || inv.line.has("--password-stdin"))
            return inv.usageError("a lock is switched without a password");
    } else {
        if (!classText)
            return inv.usageError("--class LIST is missing");
        classes = classListValue(*classText);
        if (!classes)
            return inv.usageError(
                "--class needs all or a comma list of voice, data and fax, not '" + *classText +
                "'");
        std::string error;
        const auto given = barringPassword(inv, error);
        if (!given)
            return inv.usageError(error);
        password = *given;
    }
    return inv.withSession([&] {
        const auto before = inv.reporter->tally();
        CallBarringSession window(inv.main->session(), *inv.reporter);
        window.choose(*facility);
        if (classes) {
            for (std::size_t i = 0; i < classes->size(); ++i)
                if ((*classes)[i])
                    window.tick(i, true);
        }
        return outcomeStatus(inv, window.request(*on, password), before);
    });
}

}  // namespace

// --- Values ------------------------------------------------------------------------

std::optional<int> operatorCodeValue(const std::string& text) {
    return numberInRange(text, 10000, 999999);
}

std::optional<network::ForwardReason> forwardReasonValue(const std::string& text) {
    for (int r = 0; r < 4; ++r) {
        if (text == kReasonNames[r] || text == std::to_string(r))
            return static_cast<network::ForwardReason>(r);
    }
    return std::nullopt;
}

std::optional<network::ClassTicks> classListValue(const std::string& text) {
    if (text == "all")
        return network::ClassTicks{false, false, false, true};
    network::ClassTicks ticks{};
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = text.find(',', start);
        const std::string word = text.substr(start, comma - start);
        std::size_t i = 0;
        while (i < network::kAll && word != kClassNames[i])
            ++i;
        if (i == network::kAll)
            return std::nullopt;  // empty, unknown, or "all" among others
        ticks[i] = true;
        if (comma == std::string::npos)
            return ticks;
        start = comma + 1;
    }
}

std::optional<std::size_t> facilityValue(const std::string& text) {
    if (text.size() != 2)
        return std::nullopt;
    return network::facilityIndexOf(text);
}

bool isBarringPasswordValue(const std::string& text) {
    return !text.empty() && text.size() <= network::kMaxBarringPassword &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::vector<CommandEntry> networkCommands() {
    const Needs M = Needs::MainWindow;
    const Needs N = Needs::Nothing;
    const CommandOption json = {"--json", "", "print it as one JSON object"};
    return {
        {"net",
         "watch the network, list and choose operators, edit the\n"
         "                  preferred list (net SUBCOMMAND --help)",
         {"SUBCOMMAND [ARGS]"},
         kNetHelp,
         {},
         0,
         99,
         N,
         false,
         runFamily},
        {"net monitor",
         "",
         {"--polls N"},
         kMonitorHelp,
         {{"--polls", "N", "poll N times, 1 to 100000"},
          {"--interval", "S", "poll every S seconds, 2 to 60 (default MonRef of Vondrix.ini)"},
          {"--log", "",
           "append a line to the cell log Vondrix.log whenever cell, location area, operator or "
           "registration change (default: MonProt)"},
          {"--no-log", "", "write no cell log", true},
          {"--json", "", "print each poll as one JSON object on its own line"}},
         0,
         0,
         M,
         false,
         runMonitor},
        {"net operators", "", {""}, kOperatorsHelp, {json}, 0, 0, M, false, runOperators},
        {"net preferred", "", {}, kPreferredHelp, {}, 0, 99, N, false, runFamily},
        {"net preferred add",
         "",
         {"CODE"},
         kPreferredHelp,
         {json},
         1,
         1,
         M,
         false,
         runPreferredAdd},
        {"net preferred remove",
         "",
         {"POSITION"},
         kPreferredHelp,
         {},
         1,
         1,
         M,
         false,
         runPreferredRemove},
        {"net select", "", {"CODE"}, kSelectHelp, {}, 1, 1, M, false, runSelect},
        {"forward",
         "query or change call forwarding (forward SUBCOMMAND --help)",
         {},
         kForwardHelp,
         {},
         0,
         99,
         N,
         false,
         runFamily},
        {"forward query", "", {"REASON"}, kForwardHelp, {json}, 1, 1, M, false, runForwardQuery},
        {"forward set",
         "",
         {"--class LIST REASON MODE"},
         kForwardHelp,
         {{"--class", "LIST", "all, or a comma list of voice, data and fax"},
          {"--number", "N", "the number calls go to"},
          {"--time", "S", "the no-answer time in seconds"}},
         2,
         2,
         M,
         false,
         runForwardSet},
        {"barring",
         "query or switch locks and call barring\n"
         "                  (barring SUBCOMMAND --help)",
         {},
         kBarringHelp,
         {},
         0,
         99,
         N,
         false,
         runFamily},
        {"barring query", "", {"FACILITY"}, kBarringHelp, {json}, 1, 1, M, false, runBarringQuery},
        {"barring set",
         "",
         {"FACILITY on|off"},
         kBarringHelp,
         {{"--class", "LIST", "all, or a comma list of voice, data and fax (services only)"},
          {"--password", "P",
           "the barring password on the command line (other users may see it in the process "
           "list)"},
          {"--password-stdin", "", "the barring password from the first line of standard input",
           true}},
         2,
         2,
         M,
         false,
         runBarringSet},
    };
}

}  // namespace vondrix::cli
