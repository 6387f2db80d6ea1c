#pragma once

#include <array>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/IniFile.h"

namespace vondrix {

// Every key of section [Vondrix] of Vondrix.ini, in converted form. Read once
// at start-up; afterwards each writer updates memory and file together.
struct Settings {
    static constexpr const char* kSection = "Vondrix";
    static constexpr int kPredefinedTexts = 50;
    static constexpr std::size_t kPredefinedTextMax = 199;
    static constexpr std::size_t kTPrefMax = 9;

    int debug = 0;
    bool readB = false;
    bool swapD = false;
    int port = -1;  // 0..6 = COM1..COM7, -1 = not chosen
    int monRef = 2;
    bool monProt = false;
    bool gsmConv = false;
    bool rem0 = false;
    bool smsStat = false;
    bool intPrefix = false;
    char separator = ',';
    bool noModem = false;
    int waitSec = 5;
    bool checkSms = false;
    bool w2kCable = false;
    std::string tPref;

    // Keys of this platform.
    std::string device;          // serial device path; overrides Port
    std::string irDevices;       // "NAME=HOST:PORT,..." devices "in range" of the socket link
    int timeoutSec = 10;         // inactivity limit of a transaction, 1..kMaxTimeoutSec
    int searchTimeoutSec = 120;  // inactivity limit of the network search, 1..kMaxSearchTimeoutSec
    bool fastRead = false;       // read phonebooks in ranges of locations where the phone allows
    static constexpr int kMaxTimeoutSec = 600;
    static constexpr int kMaxSearchTimeoutSec = 3600;

    std::array<std::string, kPredefinedTexts> ptxt;
    std::array<int, 2> gCol{};
    std::array<int, 3> tCol{};
    std::array<int, 3> rCol{};
    std::array<int, 6> sCol{};
    std::array<int, 7> oCol{};
    std::array<int, 2> pCol{};
    std::array<int, 5> mCol{};

    // A port counts as chosen when Port is 0..6 or Device is set.
    bool portChosen() const { return (port >= 0 && port <= 6) || !device.empty(); }
    // The serial device to open: Device, else serial port Port (/dev/ttyS<Port>,
    // COM<Port+1> on Windows); empty when none.
    std::string serialDevicePath() const;

    // Start-up step: the option keys with their defaults.
    void readOptions(const IniFile& ini);
    // Start-up step: predefined texts, then the column widths.
    void readTextsAndColumns(const IniFile& ini);

    // The single keys, each with its name and default in one table
    // (Settings.cpp), read by readOptions and written by write().
    enum class Key {
        Debug,
        ReadB,
        SwapD,
        Port,
        MonRef,
        MonProt,
        GSMconv,
        Rem0,
        SMSstat,
        IntPrefix,
        Separator,
        NoModem,
        WaitSec,
        CheckSMS,
        W2KCable,
        TPref,
        Device,
        IrDevices,
        Timeout,
        SearchTimeout,
        FastRead,
    };
    static const char* keyName(Key key);
    enum class Columns { G, T, R, S, O, P, M };
    // Writes the value held in memory for `key` (flags as "0"/"1", numbers
    // as "%d"); false when the file could not be written.
    bool write(IniFile& ini, Key key) const;
    // Several keys, and optionally a set of column widths, in one write.
    bool write(IniFile& ini, std::initializer_list<Key> keys,
               std::optional<Columns> columns = std::nullopt) const;

    // The list-column widths: "GCol%d", "TCol%d", ... in their arrays.
    bool writeColumns(IniFile& ini, Columns which) const;
    std::vector<int> columns(Columns which) const;
    // The text written for `key`.
    std::string textOf(Key key) const;
    void setColumns(Columns which, const std::vector<int>& widths);

    // Predefined text k ("Ptxt%d"), 0..kPredefinedTexts-1.
    bool writePredefinedText(IniFile& ini, int k) const;
};

// Predefined text `slot` (0 .. kPredefinedTexts-1) into memory and as
// "Ptxt<slot>", cut to kPredefinedTextMax; a line break becomes a blank so
// that the text stays one line of the file. False for a bad slot or when
// the file could not be written.
bool writePredefinedText(IniFile& ini, Settings& settings, int slot, std::string_view text);

// The command mode's keys as it closes: WaitSec, MonProt, CheckSMS.
bool writeCommandModeKeys(IniFile& ini, const Settings& settings);

}  // namespace vondrix
