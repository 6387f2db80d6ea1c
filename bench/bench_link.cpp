// 250 transactions against the simulated phone at emulated 19200 baud:
// how far the wall time lies above the time the bytes need on the wire.

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "link/AtEngine.h"
#include "phonesim/Simulator.h"

namespace {

double threadCpuSeconds() {
    rusage ru{};
    getrusage(RUSAGE_THREAD, &ru);
    return static_cast<double>(ru.ru_utime.tv_sec + ru.ru_stime.tv_sec) +
           static_cast<double>(ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
    const int baud = 19200;
    const int transactions = 250;
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const char* commands[] = {"AT+CGMI",  "AT+CGMM", "AT+CGMR",  "AT+CGSN", "AT+CBC",
                              "AT+CREG?", "AT+CSQ",  "AT+COPS?", "AT+CIMI", "AT^SCID"};
    const double byteSeconds = 10.0 / baud;

    std::vector<double> ratios, cpuPerTx;
    for (int run = 0; run < runs; ++run) {
        phonesim::WireOptions wire;
        wire.baud = baud;
        phonesim::Simulator sim(phonesim::PhoneState::demo(), wire);
        vondrix::PhoneLink link = vondrix::PhoneLink::openSerial(sim.openPty(), 0);
        vondrix::AtEngine engine(link);
        // Echo off as after start-up: with echo on, the echo overlaps the
        // command on the full-duplex wire and the bound below would not hold.
        if (!engine.standard("ATE0")) {
            std::fprintf(stderr, "the simulated phone did not answer\n");
            return 1;
        }

        std::size_t bytes = 0;
        int ok = 0;
        const double cpu0 = threadCpuSeconds();
        const auto t0 = std::chrono::steady_clock::now();
        for (int i = 0; i < transactions; ++i) {
            const char* cmd = commands[i % std::size(commands)];
            const auto r = engine.standard(cmd);
            ok += r.ok() ? 1 : 0;
            bytes += std::char_traits<char>::length(cmd) + 1 + r.raw.size();
        }
        const double wall =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        const double cpu = threadCpuSeconds() - cpu0;
        const double wireTime = static_cast<double>(bytes) * byteSeconds;
        if (ok != transactions) {
            std::fprintf(stderr, "only %d of %d transactions succeeded\n", ok, transactions);
            return 1;
        }
        ratios.push_back((wall - wireTime) / wireTime);
        cpuPerTx.push_back(cpu / transactions);
        std::printf(
            "run %d: %d transactions, %zu bytes, wire %.3f s, wall %.3f s, overhead %.2f%%, "
            "client CPU %.1f us/transaction\n",
            run + 1, transactions, bytes, wireTime, wall, 100 * ratios.back(),
            1e6 * cpuPerTx.back());
    }
    std::sort(ratios.begin(), ratios.end());
    std::sort(cpuPerTx.begin(), cpuPerTx.end());
    std::printf(
        "median overhead over wire time: %.2f%% (target < 5%%); median client CPU %.1f us "
        "per transaction\n",
        100 * ratios[ratios.size() / 2], 1e6 * cpuPerTx[cpuPerTx.size() / 2]);
    return 0;
}
