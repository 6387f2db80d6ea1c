#include "foundation/Settings.h"

#include <algorithm>

namespace vondrix {
namespace {

constexpr const char* S = Settings::kSection;

template <std::size_t N>
void readColumns(const IniFile& ini, const char* prefix, std::array<int, N>& widths) {
    for (std::size_t i = 0; i < N; ++i)
        widths[i] = ini.getInt(S, prefix + std::to_string(i), 0);
}

}  // namespace

std::string Settings::serialDevicePath() const {
    if (!device.empty()) return device;
    if (port >= 0 && port <= 6) return "/dev/ttyS" + std::to_string(port);
    return {};
}

void Settings::readOptions(const IniFile& ini) {
    debug = ini.getInt(S, "Debug", 0);
    readB = ini.getInt(S, "ReadB", 0) != 0;
    swapD = ini.getInt(S, "SwapD", 0) != 0;
    port = ini.getInt(S, "Port", -1);
    monRef = ini.getInt(S, "MonRef", 2);
    monProt = ini.getInt(S, "MonProt", 0) != 0;
    gsmConv = ini.getInt(S, "GSMconv", 0) != 0;
    rem0 = ini.getInt(S, "Rem0", 0) != 0;
    smsStat = ini.getInt(S, "SMSstat", 0) != 0;
    intPrefix = ini.getInt(S, "IntPrefix", 0) != 0;
    const std::string sep = ini.getString(S, "Separator", ",");
    separator = sep.empty() ? '\0' : sep.front();
    noModem = ini.getInt(S, "NoModem", 0) != 0;
    waitSec = ini.getInt(S, "WaitSec", 5);
    checkSms = ini.getInt(S, "CheckSMS", 0) != 0;
    w2kCable = ini.getInt(S, "W2KCable", 0) != 0;
    tPref = ini.getString(S, "TPref", "");
    if (tPref.size() > kTPrefMax) tPref.resize(kTPrefMax);

    device = ini.getString(S, "Device", "");
    irDevices = ini.getString(S, "IrDevices", "");
    // A limit of zero or less would mean "wait forever": keep the default.
    // Larger values are clamped so that the milliseconds cannot overflow.
    timeoutSec = ini.getInt(S, "Timeout", 10);
    if (timeoutSec <= 0) timeoutSec = 10;
    timeoutSec = std::min(timeoutSec, kMaxTimeoutSec);
    searchTimeoutSec = ini.getInt(S, "SearchTimeout", 120);
    if (searchTimeoutSec <= 0) searchTimeoutSec = 120;
    searchTimeoutSec = std::min(searchTimeoutSec, kMaxSearchTimeoutSec);
}

void Settings::readTextsAndColumns(const IniFile& ini) {
    for (int i = 0; i < kPredefinedTexts; ++i) {
        std::string text = ini.getString(S, "Ptxt" + std::to_string(i), "");
        if (text.size() > kPredefinedTextMax) text.resize(kPredefinedTextMax);
        ptxt[static_cast<std::size_t>(i)] = std::move(text);
    }
    readColumns(ini, "GCol", gCol);
    readColumns(ini, "TCol", tCol);
    readColumns(ini, "RCol", rCol);
    readColumns(ini, "SCol", sCol);
    readColumns(ini, "OCol", oCol);
    readColumns(ini, "PCol", pCol);
    readColumns(ini, "MCol", mCol);
}

void writeInt(IniFile& ini, const std::string& key, int value) {
    ini.writeString(Settings::kSection, key, std::to_string(value));
}

bool writePredefinedText(IniFile& ini, Settings& settings, int slot, std::string_view text) {
    if (slot < 0 || slot >= Settings::kPredefinedTexts) return false;
    std::string value(text.substr(0, Settings::kPredefinedTextMax));
    std::replace_if(value.begin(), value.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    settings.ptxt[static_cast<std::size_t>(slot)] = value;
    return ini.writeString(S, "Ptxt" + std::to_string(slot), value);
}

bool writeCommandModeKeys(IniFile& ini, const Settings& settings) {
    bool ok = ini.writeString(S, "WaitSec", std::to_string(settings.waitSec));
    ok = ini.writeString(S, "MonProt", settings.monProt ? "1" : "0") && ok;
    return ini.writeString(S, "CheckSMS", settings.checkSms ? "1" : "0") && ok;
}

}  // namespace vondrix
