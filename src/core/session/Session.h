#pragma once

#include <string>

#include "foundation/IniFile.h"
#include "foundation/Language.h"
#include "foundation/Settings.h"
#include "link/AtEngine.h"
#include "link/PhoneLink.h"
#include "network/Monitor.h"
#include "phonebook/Phonebook.h"
#include "sms/MessageList.h"

namespace vondrix {

// Everything that lives for the whole run: settings, the link, the engine,
// the language, the phonebook tables.
struct Session {
    explicit Session(std::string iniPath) : ini(std::move(iniPath)) {}
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    IniFile ini;
    Settings settings;
    PhoneLink link;
    AtEngine engine{link};
    // A socket stack is configured (IrDevices not empty): the infrared
    // branch is tried, and the settings dialog offers the cable option.
    bool socketStack = false;
    Language language = Language::English;
    std::string helpFile;
    std::string shortDateFormat;
    // Filled by the phonebook window; read by the windows that need names
    // or the service centre after it has closed.
    phonebook::PhonebookModel phonebook;
    // The cell last written to the cell log: reopening the network monitor
    // in the same cell writes no line.
    network::MonitorModel monitor;
    // The message list's rows, the name directory it loaded and the
    // service centre the message dialogs send with; read by the send
    // dialogs and the command mode after the message list has closed.
    sms::SmsModel sms;
};

}  // namespace vondrix
