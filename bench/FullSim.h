#pragma once

// The simulated phone the phonebook benchmarks read: the demo phone with a
// full SIM phonebook of 250 entries.

#include <string>

#include "phonesim/PhoneState.h"

inline phonesim::PhoneState fullSim() {
    phonesim::PhoneState s = phonesim::PhoneState::demo();
    s.sim.size = 250;
    s.sim.entries.clear();
    for (int i = 1; i <= 250; ++i)
        s.sim.entries[i] = {"+49301234" + std::to_string(1000 + i), 145,
                            "Name " + std::to_string(i)};
    return s;
}
