#include "foundation/Settings.h"

#include <algorithm>
#include <type_traits>
#include <variant>

#include "files/SerialPort.h"

namespace vondrix {
namespace {

constexpr const char* S = Settings::kSection;

}  // namespace

std::string Settings::serialDevicePath() const {
    if (!device.empty())
        return device;
    if (port >= 0 && port <= 6)
        return files::serialPortDevice(port);
    return {};
}

namespace {

// std::monostate: a key with a rule of its own (Separator keeps one character).
using Field =
    std::variant<std::monostate, int Settings::*, bool Settings::*, std::string Settings::*>;

struct KeyEntry {
    Settings::Key key;
    const char* name;
    const char* def;
    Field field;  // where the value lives; Separator keeps one character (below)
};

// Every single key of section [Vondrix]: its name, its default, its place.
const KeyEntry kKeys[] = {
    {Settings::Key::Debug, "Debug", "0", &Settings::debug},
    {Settings::Key::ReadB, "ReadB", "0", &Settings::readB},
    {Settings::Key::SwapD, "SwapD", "0", &Settings::swapD},
    {Settings::Key::Port, "Port", "-1", &Settings::port},
    {Settings::Key::MonRef, "MonRef", "2", &Settings::monRef},
    {Settings::Key::MonProt, "MonProt", "0", &Settings::monProt},
    {Settings::Key::GSMconv, "GSMconv", "0", &Settings::gsmConv},
    {Settings::Key::Rem0, "Rem0", "0", &Settings::rem0},
    {Settings::Key::SMSstat, "SMSstat", "0", &Settings::smsStat},
    {Settings::Key::IntPrefix, "IntPrefix", "0", &Settings::intPrefix},
    {Settings::Key::Separator, "Separator", ",", std::monostate{}},
    {Settings::Key::NoModem, "NoModem", "0", &Settings::noModem},
    {Settings::Key::WaitSec, "WaitSec", "5", &Settings::waitSec},
    {Settings::Key::CheckSMS, "CheckSMS", "0", &Settings::checkSms},
    {Settings::Key::W2KCable, "W2KCable", "0", &Settings::w2kCable},
    {Settings::Key::TPref, "TPref", "", &Settings::tPref},
    {Settings::Key::Device, "Device", "", &Settings::device},
    {Settings::Key::IrDevices, "IrDevices", "", &Settings::irDevices},
    {Settings::Key::Timeout, "Timeout", "10", &Settings::timeoutSec},
    {Settings::Key::SearchTimeout, "SearchTimeout", "120", &Settings::searchTimeoutSec},
    {Settings::Key::FastRead, "FastRead", "0", &Settings::fastRead},
};

const KeyEntry& entryOf(Settings::Key key) {
    for (const auto& k : kKeys)
        if (k.key == key)
            return k;
    return kKeys[0];
}

struct ColumnSpec {
    const char* prefix;
    std::size_t count;
};

ColumnSpec columnSpec(Settings::Columns which) {
    switch (which) {
        case Settings::Columns::G:
            return {"GCol", 2};
        case Settings::Columns::T:
            return {"TCol", 3};
        case Settings::Columns::R:
            return {"RCol", 3};
        case Settings::Columns::S:
            return {"SCol", 6};
        case Settings::Columns::O:
            return {"OCol", 7};
        case Settings::Columns::P:
            return {"PCol", 2};
        case Settings::Columns::M:
            return {"MCol", 5};
    }
    return {"GCol", 2};
}

template <std::size_t N>
std::vector<int> asVector(const std::array<int, N>& a) {
    return std::vector<int>(a.begin(), a.end());
}

template <std::size_t N>
void fromVector(std::array<int, N>& a, const std::vector<int>& v) {
    for (std::size_t i = 0; i < N && i < v.size(); ++i)
        a[i] = v[i];
}

}  // namespace

const char* Settings::keyName(Key key) {
    return entryOf(key).name;
}

void Settings::readOptions(const IniFile& ini) {
    for (const KeyEntry& k : kKeys) {
        std::visit(
            [&](auto member) {
                if constexpr (std::is_same_v<decltype(member), std::monostate>) {
                    return;
                } else {
                    using T = std::remove_cvref_t<decltype(this->*member)>;
                    if constexpr (std::is_same_v<T, std::string>)
                        this->*member = ini.getString(S, k.name, k.def);
                    else if constexpr (std::is_same_v<T, bool>)
                        this->*member = ini.getInt(S, k.name, std::stoi(k.def)) != 0;
                    else
                        this->*member = ini.getInt(S, k.name, std::stoi(k.def));
                }
            },
            k.field);
    }
    const std::string sep = ini.getString(S, keyName(Key::Separator), ",");
    separator = sep.empty() ? '\0' : sep.front();
    if (tPref.size() > kTPrefMax)
        tPref.resize(kTPrefMax);
    // A limit of zero or less would mean "wait forever": keep the default.
    // Larger values are clamped so that the milliseconds cannot overflow.
    if (timeoutSec <= 0)
        timeoutSec = 10;
    timeoutSec = std::min(timeoutSec, kMaxTimeoutSec);
    if (searchTimeoutSec <= 0)
        searchTimeoutSec = 120;
    searchTimeoutSec = std::min(searchTimeoutSec, kMaxSearchTimeoutSec);
}

bool Settings::write(IniFile& ini, Key key) const {
    return write(ini, {key});
}

bool Settings::write(IniFile& ini, std::initializer_list<Key> keys,
                     std::optional<Columns> columns) const {
    IniFile::KeyValues values;
    for (const Key key : keys)
        values.emplace_back(entryOf(key).name, textOf(key));
    if (columns) {
        const ColumnSpec c = columnSpec(*columns);
        const std::vector<int> widths = this->columns(*columns);
        for (std::size_t i = 0; i < c.count; ++i)
            values.emplace_back(c.prefix + std::to_string(i), std::to_string(widths[i]));
    }
    return ini.writeStrings(S, values);
}

std::string Settings::textOf(Key key) const {
    const KeyEntry& k = entryOf(key);
    std::string value;
    if (key == Key::Separator) {
        value = std::string(1, separator);
    } else {
        std::visit(
            [&](auto member) {
                if constexpr (std::is_same_v<decltype(member), std::monostate>) {
                    return;
                } else {
                    using T = std::remove_cvref_t<decltype(this->*member)>;
                    if constexpr (std::is_same_v<T, std::string>)
                        value = this->*member;
                    else if constexpr (std::is_same_v<T, bool>)
                        value = this->*member ? "1" : "0";
                    else
                        value = std::to_string(this->*member);
                }
            },
            k.field);
    }
    return value;
}

std::vector<int> Settings::columns(Columns which) const {
    switch (which) {
        case Columns::G:
            return asVector(gCol);
        case Columns::T:
            return asVector(tCol);
        case Columns::R:
            return asVector(rCol);
        case Columns::S:
            return asVector(sCol);
        case Columns::O:
            return asVector(oCol);
        case Columns::P:
            return asVector(pCol);
        case Columns::M:
            return asVector(mCol);
    }
    return {};
}

void Settings::setColumns(Columns which, const std::vector<int>& widths) {
    switch (which) {
        case Columns::G:
            fromVector(gCol, widths);
            break;
        case Columns::T:
            fromVector(tCol, widths);
            break;
        case Columns::R:
            fromVector(rCol, widths);
            break;
        case Columns::S:
            fromVector(sCol, widths);
            break;
        case Columns::O:
            fromVector(oCol, widths);
            break;
        case Columns::P:
            fromVector(pCol, widths);
            break;
        case Columns::M:
            fromVector(mCol, widths);
            break;
    }
}

bool Settings::writeColumns(IniFile& ini, Columns which) const {
    return write(ini, {}, which);
}

bool Settings::writePredefinedText(IniFile& ini, int k) const {
    if (k < 0 || k >= kPredefinedTexts)
        return false;
    return ini.writeString(S, "Ptxt" + std::to_string(k), ptxt[static_cast<std::size_t>(k)]);
}

void Settings::readTextsAndColumns(const IniFile& ini) {
    for (int i = 0; i < kPredefinedTexts; ++i) {
        std::string text = ini.getString(S, "Ptxt" + std::to_string(i), "");
        if (text.size() > kPredefinedTextMax)
            text.resize(kPredefinedTextMax);
        ptxt[static_cast<std::size_t>(i)] = std::move(text);
    }
    // In this order: G, T, R, S, O, P, M.
    for (Columns which :
         {Columns::G, Columns::T, Columns::R, Columns::S, Columns::O, Columns::P, Columns::M}) {
        const ColumnSpec c = columnSpec(which);
        std::vector<int> widths(c.count);
        for (std::size_t i = 0; i < c.count; ++i)
            widths[i] = ini.getInt(S, c.prefix + std::to_string(i), 0);
        setColumns(which, widths);
    }
}

bool writePredefinedText(IniFile& ini, Settings& settings, int slot, std::string_view text) {
    if (slot < 0 || slot >= Settings::kPredefinedTexts)
        return false;
    std::string value(text.substr(0, Settings::kPredefinedTextMax));
    std::replace_if(
        value.begin(), value.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    settings.ptxt[static_cast<std::size_t>(slot)] = value;
    return settings.writePredefinedText(ini, slot);
}

bool writeCommandModeKeys(IniFile& ini, const Settings& settings) {
    return settings.write(
        ini, {Settings::Key::WaitSec, Settings::Key::MonProt, Settings::Key::CheckSMS});
}

}  // namespace vondrix
