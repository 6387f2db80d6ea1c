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
    if (const AtEngine::Result cops = engine_.standard("AT+COPS?"))
        view_.operatorName = parseCopsName(cops.raw).value_or(std::string());

    // Operator code: numeric format for one query, then back to the long one.
    view_.operatorCode.reset();
    if (engine_.standard("AT+COPS=3,2")) {
        if (const AtEngine::Result cops = engine_.standard("AT+COPS?")) {
            view_.operatorCode = parseCopsCode(cops.raw);
            if (view_.operatorCode)
                lastCode_ = view_.operatorCode;
        }
    }
    engine_.standard("AT+COPS=3,0");

    if (const AtEngine::Result creg = engine_.standard("AT+CREG?")) {
        if (const auto reg = parseCregQuery(creg.raw)) {
            if (reg->state)
                view_.registrationState = reg->state;
            if (reg->lac)
                view_.lac = reg->lac;
            if (reg->cellId)
                view_.cellId = reg->cellId;
        }
    }

    if (const AtEngine::Result csq = engine_.standard("AT+CSQ"))
        applySignalReply(view_.reception, csq.raw);

    if (const AtEngine::Result cpas = engine_.standard("AT+CPAS")) {
        if (const auto activity = parseCpas(cpas.raw)) {
            view_.activity = activity;
            view_.calls.clear();
            if (*activity != 0) {
                if (const AtEngine::Result clcc = engine_.standard("AT+CLCC"))
                    view_.calls = parseClccList(clcc.raw);
            }
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
