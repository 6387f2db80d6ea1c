#pragma once

// The network monitor: polls operator, registration with location area and
// cell, reception, activity and current calls, and appends a line to the
// cell log whenever cell, location area, operator or registration changes.
// The window (or the command line) owns the timer and calls poll().

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "foundation/IniFile.h"
#include "foundation/Language.h"
#include "foundation/Reporter.h"
#include "foundation/Settings.h"
#include "link/AtEngine.h"
#include "network/CellLog.h"
#include "network/Network.h"
#include "network/NetworkInfo.h"

namespace vondrix::network {

// The refresh period's range in seconds.
inline constexpr int kMinPeriod = 2;
inline constexpr int kMaxPeriod = 60;
int clampPeriod(int seconds);

// What the monitor shows. Each poll updates it by the rules of its fields:
// a failed operator read empties name or code; a failed registration,
// reception or activity read leaves its fields as they were.
struct MonitorView {
    std::string operatorName;
    std::optional<int> operatorCode;       // empty when the last read failed
    std::optional<int> registrationState;  // see registrationText()
    std::optional<unsigned> lac;           // shown as "%04X" and "%d"
    std::optional<unsigned> cellId;
    NetworkStatus reception;      // signalText, signalBitmap, dbm
    std::optional<int> activity;  // see activityText()
    std::vector<CurrentCall> calls;
    std::chrono::system_clock::time_point polledAt{};
};

// What lives for the whole run: the values of the last line logged, so that
// reopening the monitor in the same cell writes no line.
struct MonitorModel {
    LoggedCell lastLogged;
};

class MonitorService {
  public:
    using Clock = std::function<std::chrono::system_clock::time_point()>;

    MonitorService(AtEngine& engine, Reporter& reporter, const Settings& settings,
                   MonitorModel& model, Language language, std::string logPath = kCellLogName);

    // Tests fix the time of the log lines.
    void setClock(Clock clock) { clock_ = std::move(clock); }

    // Opening: the period from MonRef (clamped to 2..60), the log when
    // MonProt is on (message 68 and logging off when it cannot be opened),
    // then one poll.
    void open();

    enum class PollResult {
        Done,
        Skipped,     // a poll was already running
        LinkFailed,  // the link failed; its message was shown, nothing logged. A
                     // window may hold its timer until the user asks again, so
                     // that a dead phone does not bring a message every tick.
    };
    PollResult poll();

    // The refresh period in seconds; a step of the up-down control adds
    // `delta` and keeps it within 2..60. Returns the new period.
    int period() const { return period_; }
    int stepPeriod(int delta);

    // The log check box: on opens the log (false, with message 68, when it
    // cannot be opened; logging stays off); off closes it.
    bool logging() const { return logging_; }
    bool setLogging(bool on);

    // Closing: MonRef and MonProt as the monitor left them, and with
    // `columns` the call list's widths (settings.mCol, set by the window),
    // into memory and the settings file. The command line has no columns.
    void saveSettings(Settings& settings, IniFile& ini, bool columns = true) const;

    const MonitorView& view() const { return view_; }
    const std::string& logPath() const { return logPath_; }

  private:
    void logChange();

    AtEngine& engine_;
    Reporter& reporter_;
    const Settings& settings_;
    MonitorModel& model_;
    Language language_;
    std::string logPath_;
    Clock clock_;
    MonitorView view_;
    std::optional<int> lastCode_;  // the code last read, for the log
    int period_;
    bool logging_ = false;
    bool busy_ = false;
};

}  // namespace vondrix::network
