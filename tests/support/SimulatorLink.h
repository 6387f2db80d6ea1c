#pragma once

#include "link/PhoneLink.h"
#include "phonesim/Simulator.h"

namespace vondrix::test {

// The engine's link to an in-process simulated phone: its pty, so that the
// real serial path runs, where the system has ptys; else (Windows) a TCP
// connection to it.
inline PhoneLink simulatorLink(phonesim::Simulator& sim) {
    if (phonesim::Simulator::hasPty())
        return PhoneLink::openSerial(sim.openPty(), 0);
    return PhoneLink::connectTcp("127.0.0.1", sim.listenTcp());
}

// A copy of the simulated phone's contents now.
inline phonesim::PhoneState phoneOf(phonesim::Simulator& sim) {
    phonesim::PhoneState copy;
    sim.withState([&](phonesim::PhoneState& s) { copy = s; });
    return copy;
}

}  // namespace vondrix::test
