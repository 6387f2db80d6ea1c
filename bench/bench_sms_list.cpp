// Lists a full message memory (255 messages, the simulated phone's
// maximum) at emulated 19200 baud with 30 ms phone latency per command,
// and compares the wall time of the reading (memory state, listing,
// memory counts) with the lower bound the wire and the phone allow.

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "foundation/Reporter.h"
#include "foundation/Settings.h"
#include "link/AtEngine.h"
#include "phonesim/Simulator.h"
#include "phonesim/SmsPdu.h"
#include "sms/SmsService.h"

namespace {

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

// Every index occupied by a received message of 20 to 160 characters.
phonesim::PhoneState fullMemory() {
    phonesim::PhoneState s = phonesim::PhoneState::demo();
    s.sms = phonesim::SmsStore{};
    s.sms.capacity = phonesim::SmsStore::kMaxCapacity;
    const std::string words =
        "Treffen wir uns morgen um acht am Bahnhof? Bring bitte die Karten mit. ";
    for (int i = 1; i <= s.sms.capacity; ++i) {
        std::string text;
        const std::size_t length = 20 + static_cast<std::size_t>(i * 37) % 141;
        while (text.size() < length)
            text += words;
        text.resize(length);
        char stamp[16];
        std::snprintf(stamp, sizeof stamp, "01%02d%02d%02d%02d00", 1 + i % 12, 1 + i % 28, i % 24,
                      i % 60);
        s.sms.messages[i] = {
            1, phonesim::deliverPdu(
                   "+491710760000", phonesim::addressField("+49170" + std::to_string(1000000 + i)),
                   0x00, phonesim::timestampField(stamp), phonesim::gsmUserData(text))};
    }
    return s;
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    phonesim::WireOptions wire;
    wire.baud = 19200;
    wire.latencyMs = 30;
    const double byteSeconds = 10.0 / wire.baud;
    const phonesim::PhoneState phone = fullMemory();

    // The bytes each transaction of the reading puts on the wire, measured once.
    double bound = 0;
    std::size_t bytes = 0;
    {
        phonesim::Simulator sim(phone);
        vondrix::PhoneLink link = vondrix::PhoneLink::openSerial(sim.openPty(), 0);
        vondrix::AtEngine engine(link);
        engine.standard("ATE0");
        for (const char* cmd : {"AT^SMGO?", "AT+CMGL=4", "AT+CPMS?"}) {
            const std::size_t n = std::string(cmd).size() + 1 + engine.standard(cmd).raw.size();
            bytes += n;
            bound += static_cast<double>(n) * byteSeconds + wire.latencyMs / 1000.0;
        }
    }

    std::vector<double> ratios, walls, cpu;
    for (int run = 0; run < runs; ++run) {
        phonesim::Simulator sim(phone, wire);
        vondrix::PhoneLink link = vondrix::PhoneLink::openSerial(sim.openPty(), 0);
        vondrix::AtEngine engine(link);
        engine.standard("ATE0");
        Quiet quiet;
        vondrix::Settings settings;
        vondrix::sms::SmsModel model;
        vondrix::sms::SmsService service(engine, quiet, settings, model);
        const double cpu0 = threadCpuSeconds();
        const auto t0 = std::chrono::steady_clock::now();
        const bool ok = service.readMessages();
        const double wall =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
        const double used = threadCpuSeconds() - cpu0;
        if (!ok || model.list.count() != static_cast<std::size_t>(phone.sms.capacity)) {
            std::fprintf(stderr, "the reading failed (%zu rows)\n", model.list.count());
            return 1;
        }
        walls.push_back(wall);
        ratios.push_back(wall / bound);
        cpu.push_back(used);
        std::printf(
            "run %d: %zu messages, %zu bytes, wall %.3f s, lower bound %.3f s, ratio %.3f, "
            "CPU %.3f s\n",
            run + 1, model.list.count(), bytes, wall, bound, ratios.back(), cpu.back());
    }
    std::sort(ratios.begin(), ratios.end());
    std::sort(walls.begin(), walls.end());
    std::sort(cpu.begin(), cpu.end());
    std::printf(
        "median: wall %.3f s, wall / (wire time + latency) = %.3f (target <= 1.05); CPU "
        "%.3f s\n",
        walls[walls.size() / 2], ratios[ratios.size() / 2], cpu[cpu.size() / 2]);
    return 0;
}
