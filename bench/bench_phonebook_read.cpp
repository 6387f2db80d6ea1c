// Reads a full 250-location SIM from the simulated phone at emulated 19200
// baud with 30 ms phone latency per command, and compares the wall time with
// the lower bound the wire and the phone allow.

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "foundation/Reporter.h"
#include "foundation/Settings.h"
#include "link/AtEngine.h"
#include "phonebook/PhonebookService.h"
#include "phonesim/Simulator.h"

namespace {

class Quiet : public vondrix::Reporter {
public:
    vondrix::Answer message(int, vondrix::Caption, vondrix::Buttons) override { return vondrix::Answer::Ok; }
    void text(const std::string&, vondrix::Caption) override {}
    std::optional<std::string> askPin2() override { return std::nullopt; }
};

double threadCpuSeconds() {
    rusage ru{};
    getrusage(RUSAGE_THREAD, &ru);
    return static_cast<double>(ru.ru_utime.tv_sec + ru.ru_stime.tv_sec) +
           static_cast<double>(ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) / 1e6;
}

phonesim::PhoneState fullSim() {
    phonesim::PhoneState s = phonesim::PhoneState::demo();
    s.sim.size = 250;
    s.sim.entries.clear();
    for (int i = 1; i <= 250; ++i)
        s.sim.entries[i] = {"+49301234" + std::to_string(1000 + i), 145, "Name " + std::to_string(i)};
    return s;
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    phonesim::WireOptions wire;
    wire.baud = 19200;
    wire.latencyMs = 30;
    const double byteSeconds = 10.0 / wire.baud;

    // The bytes each transaction of the read puts on the wire, measured once.
    double bound = 0;
    int transactions = 0;
    {
        phonesim::Simulator sim(fullSim());
        vondrix::PhoneLink link = vondrix::PhoneLink::openSerial(sim.openPty(), 0);
        vondrix::AtEngine engine(link);
        engine.standard("ATE0");
        auto count = [&](const std::string& cmd) {
            engine.standard(cmd);
            bound += static_cast<double>(cmd.size() + 1 + engine.response().size()) * byteSeconds +
                     wire.latencyMs / 1000.0;
            ++transactions;
        };
        count("AT+CPBR=?");
        for (int i = 1; i <= 250; ++i) count("AT+CPBR=" + std::to_string(i));
    }

    std::vector<double> ratios, cpu;
    for (int run = 0; run < runs; ++run) {
        phonesim::Simulator sim(fullSim(), wire);
        vondrix::PhoneLink link = vondrix::PhoneLink::openSerial(sim.openPty(), 0);
        vondrix::AtEngine engine(link);
        engine.standard("ATE0");
        Quiet quiet;
        vondrix::Settings settings;
        vondrix::phonebook::PhonebookModel model;
        vondrix::phonebook::PhonebookService service(engine, quiet, settings, model);
        const double cpu0 = threadCpuSeconds();
        const auto t0 = std::chrono::steady_clock::now();
        const bool ok = service.readCurrent();
        const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        const double used = threadCpuSeconds() - cpu0;
        if (!ok || model.current.entries.size() != 250) {
            std::fprintf(stderr, "the read failed (%zu entries)\n", model.current.entries.size());
            return 1;
        }
        ratios.push_back(wall / bound);
        cpu.push_back(used / transactions);
        std::printf("run %d: %d transactions, wall %.3f s, lower bound %.3f s, ratio %.3f, "
                    "CPU %.0f us/transaction\n",
                    run + 1, transactions, wall, bound, ratios.back(), 1e6 * cpu.back());
    }
    std::sort(ratios.begin(), ratios.end());
    std::sort(cpu.begin(), cpu.end());
    std::printf("median: wall / (wire time + latency) = %.3f (target <= 1.05); CPU %.0f us per "
                "transaction\n",
                ratios[ratios.size() / 2], 1e6 * cpu[cpu.size() / 2]);
    return 0;
}
