#include "session/MainWindowSession.h"

#include "foundation/Settings.h"
#include "link/AtEngine.h"
#include "link/LinkOperation.h"
#include "link/Parsers.h"

namespace vondrix {
namespace {

// Runs `command` and gives its last answer word, or nothing on failure.
std::string answerWord(AtEngine& engine, const char* command) {
    const AtEngine::Result answer = engine.standard(command);
    if (!answer)
        return {};
    return lastAnswerWord(answer.raw).value_or(std::string());
}

}  // namespace

MainWindowState runOpeningSequence(AtEngine& engine, const Settings& settings) {
    MainWindowState s;
    // Results not examined: the window opens whatever the phone says.
    engine.standard("AT+CMEE=0");
    engine.standard("AT+CSMS=1");
    if (settings.smsStat)
        engine.standard("AT+CNMI=1,0,0,2");

    s.device.manufacturer = answerWord(engine, "AT+CGMI");
    s.device.model = answerWord(engine, "AT+CGMM");
    s.device.revision = answerWord(engine, "AT+CGMR");
    s.device.imei = answerWord(engine, "AT+CGSN");

    refreshNetworkInfo(engine, s.network);

    if (const AtEngine::Result cimi = engine.standard("AT+CIMI")) {
        if (const auto word = lastAnswerWord(cimi.raw))
            s.device.imsi = formatImsi(*word);
    }
    s.device.simSerial = answerWord(engine, "AT^SCID");
    readAudioState(engine, s.audio);
    return s;
}

MainWindowSession::MainWindowSession(Session& session, Reporter& reporter)
    : session_(session), reporter_(reporter), audio_(session.engine, reporter, state_.audio) {}

bool MainWindowSession::open() {
    LinkOperation operation(session_.engine, reporter_);
    state_ = runOpeningSequence(session_.engine, session_.settings);
    return !operation.failed();
}

bool MainWindowSession::refreshNetwork() {
    LinkOperation operation(session_.engine, reporter_);
    refreshNetworkInfo(session_.engine, state_.network);
    return !operation.failed();
}

bool MainWindowSession::setClock(const std::tm& local) {
    return setPhoneClock(session_.engine, reporter_, local);
}

bool MainWindowSession::switchOff() {
    const bool off = switchPhoneOff(session_.engine, reporter_);
    // Whatever it answered, the window closes and the program ends; after
    // a switch-off nobody listens to the closing traffic.
    if (off)
        phoneListens_ = false;
    return off;
}

void MainWindowSession::deleteLogo() {
    LinkOperation operation(session_.engine, reporter_);
    vondrix::deleteLogo(session_.engine);
}

bool MainWindowSession::saveDeviceInformation(const std::string& path, const DeviceInfo& shown) {
    return appendDeviceInfo(path, shown, reporter_);
}

void applyOptions(Session& session, Reporter& reporter, const OptionsForm& form) {
    Settings& s = session.settings;
    IniFile& ini = session.ini;
    using Key = Settings::Key;
    s.port = form.port;
    s.write(ini, Key::Port);
    s.readB = form.readB;
    s.write(ini, Key::ReadB);
    s.swapD = form.swapD;
    s.write(ini, Key::SwapD);
    s.gsmConv = form.gsmConv;
    s.write(ini, Key::GSMconv);
    s.intPrefix = form.intPrefix;
    s.write(ini, Key::IntPrefix);
    s.rem0 = form.rem0;
    s.write(ini, Key::Rem0);
    s.noModem = form.noModem;
    s.write(ini, Key::NoModem);
    s.w2kCable = form.w2kCable;
    s.write(ini, Key::W2KCable);

    // The phone is told at once whether to keep status reports; its answer
    // does not matter, the setting is saved regardless.
    if (session.link.isOpen()) {
        LinkOperation operation(session.engine, reporter);
        session.engine.standard(form.smsStat ? "AT+CNMI=1,0,0,2" : "AT+CNMI=0,0,0,0");
    }
    s.smsStat = form.smsStat;
    s.write(ini, Key::SMSstat);

    s.tPref = form.tPref.substr(0, Settings::kTPrefMax);
    s.write(ini, Key::TPref);

    // Keys of this platform: written only when they change, so that a
    // settings file that never used them stays as it was.
    if (form.device != s.device) {
        s.device = form.device;
        s.write(ini, Key::Device);
    }
    if (form.irDevices != s.irDevices) {
        s.irDevices = form.irDevices;
        s.write(ini, Key::IrDevices);
    }
    if (form.fastRead != s.fastRead) {
        s.fastRead = form.fastRead;
        s.write(ini, Key::FastRead);
    }
}

void MainWindowSession::close() {
    // A phone that stopped answering is not waited for once more.
    if (!phoneListens_ || !session_.settings.smsStat ||
        session_.engine.lastLinkFailure() != AtEngine::Failure::None)
        return;
    LinkOperation operation(session_.engine, reporter_);
    session_.engine.standard("AT+CNMI=1,0,0,0");
}

}  // namespace vondrix
