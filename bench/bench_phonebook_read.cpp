// Reads a full 250-location SIM from the simulated phone at emulated 19200
// baud with 30 ms phone latency per command, location by location and in
// ranges (FastRead), and compares each wall time with the lower bound the
// wire and the phone allow for its own commands. Then the client's CPU per
// transaction on the serial path, on that link and on one without wire
// pacing (where a read() call can find a whole reply waiting).
//
//   bench_phonebook_read [RUNS] [--sizes]
//
// --sizes also times one fast read per range size, the measurement behind
// the default range size.

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "foundation/Reporter.h"
#include "foundation/Settings.h"
#include "link/AtEngine.h"
#include "phonebook/PhonebookReader.h"
#include "phonesim/Simulator.h"

#include "FullSim.h"

namespace {

using vondrix::phonebook::kDefaultRangeSize;

class Quiet : public vondrix::Reporter {
  public:
    vondrix::Answer message(vondrix::msg::Id, vondrix::Caption, vondrix::Buttons) override {
        return vondrix::Answer::Ok;
    }
    void text(const std::string&, vondrix::Caption) override {}
    std::optional<std::string> askPin2() override { return std::nullopt; }
};

double threadCpuSeconds() {
    rusage ru{};
    getrusage(RUSAGE_THREAD, &ru);
    return static_cast<double>(ru.ru_utime.tv_sec + ru.ru_stime.tv_sec) +
           static_cast<double>(ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) / 1e6;
}

struct Read {
    double wall = 0;
    double cpu = 0;
    std::vector<std::string> commands;
};

// One read of the current phonebook; rangeSize 0 reads location by location.
Read readOnce(const phonesim::WireOptions& wire, int rangeSize) {
    phonesim::Simulator sim(fullSim(), wire);
    vondrix::PhoneLink link = vondrix::PhoneLink::openSerial(sim.openPty(), 0);
    vondrix::AtEngine engine(link);
    engine.standard("ATE0");
    sim.clearReceived();
    Quiet quiet;
    vondrix::Settings settings;
    settings.fastRead = rangeSize > 0;
    vondrix::phonebook::PhonebookModel model;
    vondrix::phonebook::PhonebookReader reader(engine, quiet, settings, model);
    reader.setRangeSize(rangeSize);
    const double cpu0 = threadCpuSeconds();
    const auto t0 = std::chrono::steady_clock::now();
    const bool ok = reader.readCurrent();
    Read r;
    r.wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    r.cpu = threadCpuSeconds() - cpu0;
    r.commands = sim.receivedLines();
    if (!ok || model.current.entries.size() != 250) {
        std::fprintf(stderr, "the read failed (%zu entries)\n", model.current.entries.size());
        std::exit(1);
    }
    return r;
}

// The lower bound of a read on `wire`: every byte of its commands and
// replies at the baud rate, one way at a time, plus the phone's latency
// per command. The replies are measured by sending the commands again.
double wireBound(const std::vector<std::string>& commands, const phonesim::WireOptions& wire) {
    phonesim::Simulator sim(fullSim());
    vondrix::PhoneLink link = vondrix::PhoneLink::openSerial(sim.openPty(), 0);
    vondrix::AtEngine engine(link);
    engine.standard("ATE0");
    const double byteSeconds = 10.0 / wire.baud;
    double bound = 0;
    for (const std::string& cmd : commands) {
        const auto r = engine.standard(cmd);
        bound += static_cast<double>(cmd.size() + 1 + r.raw.size()) * byteSeconds +
                 wire.latencyMs / 1000.0;
    }
    return bound;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    int runs = 3;
    bool sizes = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--sizes") == 0)
            sizes = true;
        else
            runs = std::max(1, std::atoi(argv[i]));
    }
    phonesim::WireOptions wire;
    wire.baud = 19200;
    wire.latencyMs = 30;
#ifdef VONDRIX_SERIAL_BYTE_READS
    std::printf("serial reads: one byte per read() call (VONDRIX_SERIAL_BYTE_READS)\n");
#else
    std::printf("serial reads: every available byte per read() call\n");
#endif

    // The bounds, from the commands each way sends.
    const phonesim::WireOptions unpaced;
    const double singleBound = wireBound(readOnce(unpaced, 0).commands, wire);
    const Read fastShape = readOnce(unpaced, kDefaultRangeSize);
    const double fastBound = wireBound(fastShape.commands, wire);

    std::vector<double> single, fast, singleCpu;
    std::size_t singleCommands = 0;
    for (int run = 0; run < runs; ++run) {
        const Read s = readOnce(wire, 0);
        const Read f = readOnce(wire, kDefaultRangeSize);
        singleCommands = s.commands.size();
        single.push_back(s.wall);
        fast.push_back(f.wall);
        singleCpu.push_back(s.cpu / static_cast<double>(s.commands.size()));
        std::printf(
            "run %d: location by location %.3f s (%zu commands), ranges of %d %.3f s "
            "(%zu commands)\n",
            run + 1, s.wall, s.commands.size(), kDefaultRangeSize, f.wall, f.commands.size());
    }
    const double s = median(single), f = median(fast);
    std::printf("median, 250 full locations at %d baud, %d ms per command:\n", wire.baud,
                wire.latencyMs);
    std::printf("  location by location %.3f s, bound %.3f s, ratio %.3f\n", s, singleBound,
                s / singleBound);
    std::printf("  ranges of %d         %.3f s, bound %.3f s, ratio %.3f (target <= 1.05)\n",
                kDefaultRangeSize, f, fastBound, f / fastBound);
    std::printf("  fast / location by location = %.3f (target <= 0.45)\n", f / s);

    // CPU of the client per transaction on the serial path: on the paced
    // link above, and on a link without pacing, 250 single reads each.
    std::vector<double> unpacedCpu;
    for (int run = 0; run < std::max(runs, 5); ++run) {
        const Read r = readOnce(unpaced, 0);
        unpacedCpu.push_back(r.cpu / static_cast<double>(r.commands.size()));
    }
    std::printf(
        "client CPU per transaction (%zu single reads): %.0f us at %d baud, %.0f us "
        "without pacing\n",
        singleCommands, 1e6 * median(singleCpu), wire.baud, 1e6 * median(unpacedCpu));

    if (sizes) {
        std::printf("range size survey (one run each):\n");
        for (const int size : {5, 10, 20, 25, 40, 50, 100, 250}) {
            const Read r = readOnce(wire, size);
            std::printf("  %3d locations per range: %.3f s, %zu commands\n", size, r.wall,
                        r.commands.size());
        }
    }
    return 0;
}
