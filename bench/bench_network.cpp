// The network monitor's poll and the network window's opening against the
// simulated phone at emulated 19200 baud with 30 ms phone latency: the wall
// time of each, and how far it lies above what the wire and the phone
// allow. The poll must fit well inside the shortest refresh period (2 s).

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "foundation/Reporter.h"
#include "foundation/Settings.h"
#include "link/AtEngine.h"
#include "network/Monitor.h"
#include "network/Operators.h"
#include "phonesim/Simulator.h"

namespace {

class Quiet : public vondrix::Reporter {
  public:
    vondrix::Answer message(vondrix::msg::Id, vondrix::Caption, vondrix::Buttons) override {
        return vondrix::Answer::Ok;
    }
    void text(const std::string&, vondrix::Caption) override {}
    std::optional<std::string> askPin2() override { return std::nullopt; }
};

phonesim::PhoneState phone() {
    phonesim::PhoneState s = phonesim::PhoneState::demo();
    s.net.searchMs = 0;  // the search's scan is the phone's own time, not measured here
    s.net.calls = {phonesim::Call{1, 1, 0, 0, false, "+4930123456", 145}};
    return s;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double seconds(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    phonesim::WireOptions wire;
    wire.baud = 19200;
    wire.latencyMs = 30;
    const double byteSeconds = 10.0 / wire.baud;

    // The lower bounds: each transaction's bytes on the wire plus the latency,
    // measured once without the wire emulation.
    double pollBound = 0, openBound = 0;
    {
        phonesim::Simulator sim(phone());
        vondrix::PhoneLink link = vondrix::PhoneLink::openSerial(sim.openPty(), 0);
        vondrix::AtEngine engine(link);
        engine.standard("ATE0");
        const auto cost = [&](const std::string& cmd, bool list) {
            const auto r = list ? engine.list(cmd) : engine.standard(cmd);
            return static_cast<double>(cmd.size() + 1 + r.raw.size()) * byteSeconds +
                   wire.latencyMs / 1000.0;
        };
        for (const char* cmd : {"AT+COPS?", "AT+COPS=3,2", "AT+COPS?", "AT+COPS=3,0", "AT+CREG?",
                                "AT+CSQ", "AT+CPAS", "AT+CLCC"})
            pollBound += cost(cmd, false);
        openBound += cost("AT^SPLM", true) + cost("AT^SPLR=?", false);
        for (int p = 1; p <= 10; ++p)
            openBound += cost("AT^SPLR=" + std::to_string(p), false);
        openBound += cost("AT+COPS=?", true);
    }

    std::vector<double> polls, opens;
    for (int run = 0; run < runs; ++run) {
        phonesim::Simulator sim(phone(), wire);
        vondrix::PhoneLink link = vondrix::PhoneLink::openSerial(sim.openPty(), 0);
        vondrix::AtEngine engine(link);
        engine.standard("ATE0");
        Quiet quiet;
        vondrix::Settings settings;

        vondrix::network::MonitorModel monitorModel;
        vondrix::network::MonitorService monitor(engine, quiet, settings, monitorModel,
                                                 vondrix::Language::English, "/dev/null");
        auto t0 = std::chrono::steady_clock::now();
        monitor.poll();
        polls.push_back(seconds(std::chrono::steady_clock::now() - t0));

        vondrix::network::OperatorsModel operators;
        vondrix::network::OperatorsService service(engine, quiet, settings, operators);
        t0 = std::chrono::steady_clock::now();
        service.open();
        opens.push_back(seconds(std::chrono::steady_clock::now() - t0));
        if (operators.known.empty() || operators.found.empty()) {
            std::fprintf(stderr, "run %d: the window did not fill\n", run + 1);
            return 1;
        }
        std::printf("run %d: poll %.0f ms, window opening %.0f ms (%zu names)\n", run + 1,
                    polls.back() * 1000, opens.back() * 1000, operators.known.size());
    }
    std::printf(
        "median poll: %.0f ms, %.2f x the wire bound of %.0f ms (period at least 2000 ms)\n",
        median(polls) * 1000, median(polls) / pollBound, pollBound * 1000);
    std::printf(
        "median window opening without the scan: %.0f ms, %.2f x the wire bound of %.0f ms\n",
        median(opens) * 1000, median(opens) / openBound, openBound * 1000);
    return 0;
}
