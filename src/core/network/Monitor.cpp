#include "network/Monitor.h"

#include <algorithm>

#include "link/LinkOperation.h"
#include "network/Replies.h"
#include "network/Texts.h"

namespace vondrix::network {

int clampPeriod(int seconds) {
    return std::clamp(seconds, kMinPeriod, kMaxPeriod);
}

MonitorService::MonitorService(AtEngine& engine, Reporter& reporter, const Settings& settings,
                               MonitorModel& model, Language language, std::string logPath)
    : engine_(engine),
      reporter_(reporter),
      settings_(settings),
      model_(model),
      language_(language),
      logPath_(std::move(logPath)),
      clock_([] { return std::chrono::system_clock::now(); }),
      // A period outside the control's range would poll without pause (0)
      // or hardly ever: the control's range applies from the start.
      period_(clampPeriod(settings.monRef)) {}

void MonitorService::open() {
    LinkOperation operation(engine_, reporter_);
    period_ = clampPeriod(settings_.monRef);
    logging_ = false;
    if (settings_.monProt)
        setLogging(true);
    poll();
}

int MonitorService::stepPeriod(int delta) {
    // Wide arithmetic: a huge delta must not wrap around.
    period_ = static_cast<int>(std::clamp(static_cast<long long>(period_) + delta,
                                          static_cast<long long>(kMinPeriod),
                                          static_cast<long long>(kMaxPeriod)));
    return period_;
}

bool MonitorService::setLogging(bool on) {
    if (!on) {
        logging_ = false;
        return true;
    }
    if (!appendToCellLog(logPath_, kCellLogHeader, {})) {
        logging_ = false;
        reporter_.message(msg::LogFileNotOpened, Caption::Error);
        return false;
    }
    logging_ = true;
    return true;
}

void MonitorService::saveSettings(Settings& settings, IniFile& ini, bool columns) const {
    settings.monRef = period_;
    settings.monProt = logging_;
    // The monitor's keys: MonRef, MonProt and the call list's widths, in one
    // replacement of the file.
    settings.write(ini, {Settings::Key::MonRef, Settings::Key::MonProt},
                   columns ? std::optional(Settings::Columns::M) : std::nullopt);
}

MonitorService::PollResult MonitorService::poll() {
    if (busy_)
        return PollResult::Skipped;
    busy_ = true;
    struct Release {
        bool& flag;
        ~Release() { flag = false; }
    } release{busy_};
    LinkOperation operation(engine_, reporter_);
    view_.polledAt = clock_();

    // Operator name in the long format.
    view_.operatorName.clear();
    if (engine_.standard("AT+COPS?") == 1)
        view_.operatorName = parseCopsName(engine_.response()).value_or(std::string());

    // Operator code: numeric format for one query, then back to the long one.
    view_.operatorCode.reset();
    if (engine_.standard("AT+COPS=3,2") == 1 && engine_.standard("AT+COPS?") == 1) {
        view_.operatorCode = parseCopsCode(engine_.response());
        if (view_.operatorCode)
            lastCode_ = view_.operatorCode;
    }
    engine_.standard("AT+COPS=3,0");

    if (engine_.standard("AT+CREG?") == 1) {
        if (const auto reg = parseCregQuery(engine_.response())) {
            if (reg->state)
                view_.registrationState = reg->state;
            if (reg->lac)
                view_.lac = reg->lac;
            if (reg->cellId)
                view_.cellId = reg->cellId;
        }
    }

    if (engine_.standard("AT+CSQ") == 1)
        applySignalReply(view_.reception, engine_.response());

    if (engine_.standard("AT+CPAS") == 1) {
        if (const auto activity = parseCpas(engine_.response())) {
            view_.activity = activity;
            view_.calls.clear();
            if (*activity != 0 && engine_.standard("AT+CLCC") == 1)
                view_.calls = parseClccList(engine_.response());
        }
    }

    if (operation.failed())
        return PollResult::LinkFailed;
    if (logging_)
        logChange();
    return PollResult::Done;
}

void MonitorService::logChange() {
    LoggedCell now;
    now.cellId = view_.cellId.value_or(0);
    now.lac = view_.lac.value_or(0);
    now.code = static_cast<unsigned>(lastCode_.value_or(0));
    now.state = view_.registrationState.value_or(0);
    if (now == model_.lastLogged)
        return;
    const std::optional<int> dbm =
        view_.reception.signalKnown ? std::optional<int>(view_.reception.dbm) : std::nullopt;
    const std::string line =
        formatCellLogLine(view_.polledAt, now, dbm, registrationText(language_, now.state)) +
        "\r\n";
    if (!appendToCellLog(logPath_, kCellLogHeader, line)) {
        // Lines would be lost without a word: say so once and stop logging.
        logging_ = false;
        reporter_.message(msg::LogFileNotOpened, Caption::Error);
        return;
    }
    model_.lastLogged = now;
}

}  // namespace vondrix::network
