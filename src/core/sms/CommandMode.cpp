#include "sms/CommandMode.h"

#include <algorithm>
#include <cstdio>

#include "foundation/CalendarTime.h"
#include "foundation/Catalogue.h"
#include "link/Command.h"
#include "link/LinkOperation.h"
#include "sms/MessageList.h"
#include "sms/TextFiles.h"
#include "text/Decimal.h"
#include "text/Latin1.h"

namespace vondrix::sms {

std::unique_ptr<CommandMode> CommandMode::open(SmsService& service, Settings& settings,
                                               IniFile& ini, NameDirectory names, Options options) {
    service.readServiceCentre();
    CommunicationModule::LoadError error = CommunicationModule::LoadError::None;
    CommunicationModule module = CommunicationModule::load(options.moduleDirectories, error);
    if (error != CommunicationModule::LoadError::None) {
        service.reporter().message(
            error == CommunicationModule::LoadError::NoEntryPoint ? msg::ModuleEntryNotFound
            : error == CommunicationModule::LoadError::Untrusted  ? msg::ModuleNotTrusted
                                                                  : msg::ModuleNotLoaded,
            Caption::Error);
        return nullptr;
    }
    std::unique_ptr<CommandMode> mode(new CommandMode(service, settings, ini, std::move(names),
                                                      std::move(options), std::move(module)));
    if (settings.monProt && !mode->openLog())
        settings.monProt = false;
    settings.waitSec = std::clamp(settings.waitSec, kMinInterval, kMaxInterval);
    return mode;
}

CommandMode::CommandMode(SmsService& service, Settings& settings, IniFile& ini, NameDirectory names,
                         Options options, CommunicationModule module)
    : service_(service),
      settings_(settings),
      ini_(ini),
      names_(std::move(names)),
      options_(std::move(options)),
      module_(std::move(module)) {}

std::string CommandMode::timeStamp(const std::tm& t) {
    char text[96];  // room for six ints of any value
    std::snprintf(text, sizeof text, "%4ld/%02d/%02d %02d:%02d:%02d",
                  static_cast<long>(t.tm_year) + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min,
                  t.tm_sec);
    return text;
}

std::string CommandMode::now() const {
    if (options_.now)
        return timeStamp(options_.now());
    return timeStamp(localCalendar(std::time(nullptr)));
}

void CommandMode::setState(CommandModeState s) {
    state_ = s;
    if (onStateChange)
        onStateChange(s);
}

void CommandMode::start() {
    if (closed_)
        return;
    running_ = true;
    setState(CommandModeState::Waiting);
}

void CommandMode::stop() {
    running_ = false;
    setState(CommandModeState::Idle);
}

void CommandMode::changeInterval(int delta) {
    if (delta == 0 || closed_)
        return;
    settings_.waitSec = std::clamp(settings_.waitSec + delta, kMinInterval, kMaxInterval);
    start();
}

bool CommandMode::openLog() {
    // Creates the log when it is missing, else leaves it as it is.
    if (writeTextFile(options_.logPath, {}, WriteMode::Append))
        return true;
    service_.reporter().message(msg::LogFileNotOpened, Caption::Error);
    return false;
}

bool CommandMode::setLogging(bool on) {
    settings_.monProt = on && openLog();
    return settings_.monProt;
}

void CommandMode::log(const std::string& line) {
    if (settings_.monProt)
        writeTextFile(options_.logPath, line + std::string(kLineEnd), WriteMode::Append);
}

void CommandMode::tick() {
    if (busy_ || closed_)
        return;
    busy_ = true;
    setState(CommandModeState::Checking);
    if (settings_.checkSms)
        checkMessages();
    else
        pollModule();
    busy_ = false;
    setState(CommandModeState::Waiting);
}

bool CommandMode::answer(const std::string& replyNumber) {
    if (replyNumber.empty())
        return true;
    setState(CommandModeState::Processing);
    return service_
        .send(Outgoing{replyNumber, module_.text(), SubmitOptions{}}, SendKind::CommandMode)
        .allSent();
}

void CommandMode::checkMessages() {
    AtEngine& engine = service_.engine();
    LinkOperation operation(engine, service_.reporter());
    const AtEngine::Result listed = engine.list("AT+CMGL=4");
    if (!listed) {
        log(now() + " " + utf8ToLatin1(catalogueText(msg::MessageListNotRead, options_.language)));
        return;
    }
    const std::vector<ListedEntry> entries = parseCmglList(listed.raw);
    const CodecSettings codec = service_.codec();
    for (const ListedEntry& entry : entries) {
        if (operation.failed())
            break;
        const std::string time = now();
        const int status = decimalValue(entry.status);
        const DecodedMessage m = decodeEntry(status, entry.pdu, codec, TextForm::GsmCodes);
        const bool report = m.kind == MessageKind::StatusReport;
        const std::string& date = report ? m.discharge : m.date;
        const std::string name = names_.nameFor(m.number, m.numberType, KeyRule::CommandMode);
        // Stored messages are the user's own: never handed over, never deleted.
        if (status == 2 || status == 3)
            continue;

        // A status report carries no text; a user data header is none either.
        module_.setText(report ? std::string() : m.text.substr(m.headerChars));
        const std::string text = module_.text();
        log(name.empty() ? time + ";" + m.number + ";" + date + ";" + text
                         : time + ";" + m.number + ";" + name + ";" + date + ";" + text);

        setState(CommandModeState::Processing);
        const CommunicationModule::Result r = module_.call(m.number);
        if (r.code != 0)
            continue;
        // A message whose answer did not go out stays in the phone: the
        // next tick hands it over again, so the question is not lost.
        if (!answer(r.replyNumber))
            continue;
        // The result is not looked at: a message still there comes again next
        // time. An index that is no number names no message to delete.
        if (const auto index = wholeNumber(entry.index))
            engine.standard(at::Command("AT+CMGD=").number(*index).text());
    }
}

void CommandMode::pollModule() {
    const CommunicationModule::Result r = module_.call({});
    if (r.code == 0)
        answer(r.replyNumber);
    if (const auto status = module_.status())
        moduleStatus_ = *status;
    log(now() + ";" + std::to_string(r.code) + ";" + r.replyNumber + ";" + module_.text());
}

void CommandMode::close() {
    if (closed_)
        return;
    stop();
    writeCommandModeKeys(ini_, settings_);
    module_.unload();
    closed_ = true;
}

}  // namespace vondrix::sms
