#include "session/NetworkMonitorSession.h"

#include <cstdio>

#include "network/Texts.h"
#include "text/Latin1.h"

namespace vondrix {
namespace {

std::string hex4(unsigned value) {
    char text[16];
    std::snprintf(text, sizeof text, "%04X", value);
    return text;
}

}  // namespace

MonitorTexts monitorTexts(const network::MonitorView& view, Language language) {
    MonitorTexts t;
    // The phone's texts are Latin-1; the tables are UTF-8 already.
    t.operatorName = latin1ToUtf8(view.operatorName);
    if (view.operatorCode)
        t.operatorCode = std::to_string(*view.operatorCode);
    if (view.cellId) {
        t.cellHex = hex4(*view.cellId);
        t.cellDecimal = std::to_string(*view.cellId);
    }
    if (view.lac) {
        t.lacHex = hex4(*view.lac);
        t.lacDecimal = std::to_string(*view.lac);
    }
    if (view.registrationState)
        t.registration = network::registrationText(language, *view.registrationState);
    const NetworkStatus& r = view.reception;
    if (r.rssi) {
        t.reception = r.signalKnown ? r.signalText : std::string();
        t.receptionUnknown = !r.signalKnown;
        t.signalBitmap = r.signalBitmap;
    }
    if (view.activity)
        t.activity = network::activityText(language, *view.activity);
    for (const network::CurrentCall& c : view.calls) {
        t.calls.push_back({std::to_string(c.index),
                           std::string(network::directionText(c.direction)),
                           network::callStateText(language, c.state), latin1ToUtf8(c.number),
                           network::callModeText(language, c.mode)});
    }
    return t;
}

NetworkMonitorSession::NetworkMonitorSession(MainWindowSession& main, Reporter& reporter,
                                             std::string logPath)
    : main_(main),
      service_(main.session().engine, reporter, main.session().settings, main.session().monitor,
               main.session().language, std::move(logPath)) {}

bool NetworkMonitorSession::open() {
    reception_.clear();
    service_.open();
    if (main_.session().engine.lastLinkFailure() != AtEngine::Failure::None)
        return false;
    noteReception();
    return true;
}

NetworkMonitorSession::PollResult NetworkMonitorSession::poll() {
    const PollResult result = service_.poll();
    if (result == PollResult::Done)
        noteReception();
    return result;
}

void NetworkMonitorSession::noteReception() {
    const NetworkStatus& r = view().reception;
    ReceptionSample sample{view().polledAt, std::nullopt};
    if (r.rssi && r.signalKnown)
        sample.dbm = -r.dbm;
    if (reception_.size() == kMaxSamples)
        reception_.erase(reception_.begin());
    reception_.push_back(sample);
}

void NetworkMonitorSession::close() {
    finish(false);
}

void NetworkMonitorSession::close(const std::vector<int>& columns) {
    main_.session().settings.setColumns(Settings::Columns::M, columns);
    finish(true);
}

void NetworkMonitorSession::finish(bool columns) {
    Session& s = main_.session();
    service_.saveSettings(s.settings, s.ini, columns);
    // A phone that stopped answering is not waited for once more.
    if (s.engine.lastLinkFailure() == AtEngine::Failure::None)
        main_.refreshNetwork();
}

}  // namespace vondrix
