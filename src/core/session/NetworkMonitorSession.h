#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "foundation/Reporter.h"
#include "network/CellLog.h"
#include "network/Monitor.h"
#include "session/MainWindowSession.h"

namespace vondrix {

// The monitor's fields as the window and the command line show them, UTF-8.
struct MonitorTexts {
    struct Call {
        std::string index, direction, state, number, mode;
    };

    std::string operatorName;
    std::string operatorCode;          // "%d"; empty when the last read failed
    std::string cellHex, cellDecimal;  // "%04X" and "%d"; empty until read
    std::string lacHex, lacDecimal;
    std::string registration;       // the state's text in the run's language
    std::string reception;          // "-79 dBm / 0.013 nW"; empty without a level
    bool receptionUnknown = false;  // the phone answered, but knows no level (99)
    int signalBitmap = 0;           // 132..136; 0 until the first reading
    std::string activity;
    std::vector<Call> calls;
};

MonitorTexts monitorTexts(const network::MonitorView& view, Language language);

// One reading of the reception level, for the chart of the monitor's run.
struct ReceptionSample {
    std::chrono::system_clock::time_point at;
    std::optional<int> dbm;  // the level (-79); nothing when the phone knew none
};

// The network monitor's life, the same for the desktop program and the
// command line: opening with the first poll, the polls of the timer, the
// period and the log box, and the closing that saves the settings and
// refreshes the main window's network fields. The last logged cell lives
// in the Session, so that reopening the monitor in the same cell writes no
// log line.
class NetworkMonitorSession {
  public:
    using PollResult = network::MonitorService::PollResult;
    // Readings kept for the chart: an hour at the shortest period.
    static constexpr std::size_t kMaxSamples = 1800;

    NetworkMonitorSession(MainWindowSession& main, Reporter& reporter,
                          std::string logPath = network::kCellLogName);

    // Tests fix the time of the polls and log lines.
    void setClock(network::MonitorService::Clock clock) { service_.setClock(std::move(clock)); }

    // The period from MonRef, the log when MonProt is on, then one poll;
    // false when the link failed during it (its message was shown).
    bool open();
    PollResult poll();

    int period() const { return service_.period(); }
    int stepPeriod(int delta) { return service_.stepPeriod(delta); }
    bool logging() const { return service_.logging(); }
    bool setLogging(bool on) { return service_.setLogging(on); }

    // Closing: MonRef and MonProt, with `columns` also MCol0..4, into memory
    // and the settings file; then the main window's network information is
    // read again (not when the phone stopped answering: the closing would
    // wait for it once more).
    void close();
    void close(const std::vector<int>& columns);

    const network::MonitorView& view() const { return service_.view(); }
    // The settings the window reads its column widths from.
    const Settings& settings() const { return main_.session().settings; }
    MonitorTexts texts() const { return monitorTexts(view(), main_.session().language); }
    // The reception level of every poll since opening, oldest first.
    const std::vector<ReceptionSample>& reception() const { return reception_; }

  private:
    void noteReception();
    void finish(bool columns);

    MainWindowSession& main_;
    network::MonitorService service_;
    std::vector<ReceptionSample> reception_;
};

}  // namespace vondrix
