#pragma once

// The network subsystem's reply parsers: pure functions over one command's
// raw reply, each named after the command form it reads. The status field
// rules of the main window (the last answer word, the operator text up to
// the first control byte) and the preferred range work on the raw bytes as
// the old program did; the lists and states are read field by field.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "network/Network.h"

namespace vondrix::network {

// --- Main window status ("AT+CBC", "AT+CREG?", "AT+CSQ", "AT+COPS?") ---------

struct BatteryReading {
    int charge = 0;
    std::string text;  // the word after the comma, e.g. "80"
};
// The last answer word's part after its first comma; nothing without "OK"
// or without a comma.
std::optional<BatteryReading> parseCbc(std::string_view response);
// The last answer word as it stands, e.g. 0,1,"5E25","605F".
std::optional<std::string> parseCregWord(std::string_view response);
// The number at the start of the last answer word (rssi).
std::optional<int> parseCsq(std::string_view response);
// The fields of the "+COPS:" line in their canonical form (canonicalReply)
// up to the first byte below 0x20 or from 0x80 on: mode, format and operator
// as the phone reports them.
std::optional<std::string> parseCopsText(std::string_view response);

// --- Monitor ------------------------------------------------------------------

// "AT+COPS?" in the long format: the operator name between the quotes.
std::optional<std::string> parseCopsName(std::string_view response);
// "AT+COPS?" in the numeric format: the operator code ("26201" or 26201).
std::optional<int> parseCopsCode(std::string_view response);
// "AT+CREG?" by its last answer word: the state after the first comma, the
// location area code and cell id as hexadecimal numbers after the second
// and third commas (an opening quote skipped). Fields the word lacks stay
// empty; nothing without "OK". Siemens phones add the location even in
// report mode 0: +CREG: 0,1,"5E25","605F".
std::optional<Registration> parseCregQuery(std::string_view response);
// "AT+CPAS": the activity.
std::optional<int> parseCpas(std::string_view response);
// "AT+CLCC": one call per "+CLCC:" line, in order; lines whose first four
// fields are no numbers are left out.
std::vector<CurrentCall> parseClccList(std::string_view response);

// --- Operator lists -------------------------------------------------------------

// Longest operator name kept, as the phone's table holds it.
inline constexpr std::size_t kMaxOperatorName = 99;

// "AT^SPLM": one ^SPLM: "<code>","<name>" line per operator; lines without
// a code above 0 are left out.
std::vector<OperatorName> parseSplmList(std::string_view response);

struct PositionRange {
    int first = 0;
    int last = 0;
};
// "AT^SPLR=?": the number after the first '(' and after the first '-' that
// follows; nothing unless both are there.
std::optional<PositionRange> parseSplrTest(std::string_view response);
// "AT^SPLR=<p>": free when the reply holds "EMPTY"; else the code after the
// position of the "^SPLR:" line.
PreferredRead parseSplrRead(std::string_view response);
// "AT+COPS=?": one network per parenthesised group of status, long name,
// short name and numeric code. Groups of another shape (the trailing mode
// and format ranges) add nothing, neither does a code of 0.
std::vector<FoundNetwork> parseCopsSearch(std::string_view response);

// --- Forwarding and barring ----------------------------------------------------------

// "AT+CCFC=<r>,2": per "+CCFC:" line status and class; an active line of
// class 1, 2, 4 or 7 gives its box the number and, when the line has one,
// the no-answer time. Other classes are ignored.
ForwardingStatus parseCcfcQuery(std::string_view response);
// "AT+CLCK=<fac>,2" of a lock: the status of the first "+CLCK:" line is not 0.
// False without such a line.
bool parseClckLock(std::string_view response);
// "AT+CLCK=<fac>,2" of a barring service: the boxes of the classes whose
// line reports status 1.
ClassTicks parseClckClasses(std::string_view response);

}  // namespace vondrix::network
