#pragma once

// The network side of the simulated phone: the cells it is camped on (with
// handovers), the networks a search finds, the SIM's preferred operator
// list, the calls it holds, and the network's call forwarding and call
// barring settings with their passwords.

#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace phonesim {

struct PhoneState;
struct StateSection;

// A cell of the serving network: location area code and cell id, as
// "AT+CREG?" reports them in four hexadecimal digits.
struct Cell {
    unsigned lac = 0;
    unsigned cellId = 0;
    bool operator==(const Cell&) const = default;
};

// One call as "AT+CLCC" lists it (GSM 07.07 values).
struct Call {
    int id = 1;
    int direction = 0;  // 0 mobile originated, 1 mobile terminated
    int state = 0;      // 0 active, 1 held, 2 dialling, 3 alerting, 4 incoming, 5 waiting
    int mode = 0;       // 0 voice, 1 data, 2 fax, ... 9 unknown
    bool multiparty = false;
    std::string number;  // empty: no number shown
    int type = 129;
    bool operator==(const Call&) const = default;
};

// A forwarding rule of one reason (0..3) and one basic class (1, 2, 4).
struct ForwardingRule {
    bool active = false;
    std::string number;
    int type = 129;
    int time = 0;  // no-reply time; only for reason 2
    bool operator==(const ForwardingRule&) const = default;
};

struct NetworkServices {
    // The network the phone is registered to (+COPS numeric format); its
    // name comes from the operator table, PhoneState::operatorName keeps the
    // long name shown.
    int servingCode = 26201;

    // The cells the phone moves through, in order; after `handoverEvery`
    // answers to "AT+CREG?" in one cell it moves on to the next (and from
    // the last back to the first). 0 keeps it in its cell. The count is not
    // part of the state file.
    std::vector<Cell> cells;
    std::size_t cell = 0;
    int handoverEvery = 5;
    int answersInCell = 0;

    // The network search ("AT+COPS=?"): how long it takes and what it finds
    // besides the serving network.
    int searchMs = 4000;
    std::vector<int> available;
    std::vector<int> forbidden;

    // The SIM's preferred operator list ("AT^SPLR", "AT^SPLW"): positions
    // 1..preferredSize, occupied ones with their code.
    int preferredSize = 10;
    std::map<int, int> preferred;

    // Calls in progress ("AT+CPAS", "AT+CLCC"); none in the demo.
    std::vector<Call> calls;

    // Call forwarding ("AT+CCFC"): rules by reason and basic class.
    std::map<std::pair<int, int>, ForwardingRule> forwarding;

    // Locks and call barring ("AT+CLCK"): the passwords the phone and the
    // network check, the active locks (CS, PS, SC, FD) and the barred
    // (facility, basic class) pairs.
    std::string barringPassword = "0000";
    std::string phoneCode = "12345";  // PS
    std::string simPin = "1234";      // SC
    std::set<std::string> locks;
    std::set<std::pair<std::string, int>> barred;

    // The cell the phone is in now.
    Cell currentCell() const;
    // Counts one "AT+CREG?" answer and moves on when the cell's time is up.
    void countRegistrationAnswer();
};

// The demo phone's cells, search result and preferred list (the lists are
// empty by default, like the phonebooks).
void addDemoNetwork(PhoneState& state);

// The +CPAS activity of the calls: 0 ready, 3 ringing, 4 call in progress.
int phoneActivity(const NetworkServices& net);

// The sections [cells], [search], [preferred], [calls], [forwarding] and
// [barring] of the state file.
std::vector<StateSection> networkSections();

}  // namespace phonesim
