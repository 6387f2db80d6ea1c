#pragma once

// The simulated phone's contents: what it answers with. Loads from and saves
// to a readable text file; later features add their own sections.

#include <set>
#include <string>

namespace phonesim {

struct PhoneState {
    // Identification (AT+CGMI, +CGMM, +CGMR, +CGSN, +CIMI, ^SCID).
    std::string manufacturer = "SIEMENS";
    std::string model = "S35i";
    std::string revision = "21";
    std::string imei = "449107284530215";
    std::string imsi = "262011234567890";
    std::string simSerial = "89490200001234567890";

    // Power and network (AT+CBC, +CREG?, +CSQ, +COPS?).
    int batteryStatus = 0;  // <bcs>
    int batteryCharge = 80; // <bcl>, percent
    int regMode = 0;        // <n> of +CREG
    int regStatus = 1;      // <stat> of +CREG
    int rssi = 17;
    int ber = 99;
    std::string operatorName = "D1-TELEKOM";
    int copsMode = 0;
    int copsFormat = 0;

    // Ring tone and audio (^SRTC, ^SNFS, ^SNFV).
    int ringToneMin = 0, ringToneMax = 41;
    int ringVolumeMin = 0, ringVolumeMax = 4;
    int ringTone = 3;
    int ringVolume = 2;
    bool ringing = false;      // toggled by a bare AT^SRTC
    int handsFree = 0;
    int speakerVolume = 4;

    // Clock (+CCLK), kept as the phone's "yy/MM/dd,hh:mm:ss" text.
    std::string clock = "01/01/01,00:00:00";
    bool poweredOff = false;   // set by AT^SMSO

    // Message service settings (+CSMS, +CNMI) as last set.
    int smsService = 0;
    std::string cnmi = "0,0,0,0,0";

    // Commands (upper-case prefixes, e.g. "ATZ", "AT+CGMI") that the phone
    // refuses with an error, for tests of failure paths.
    std::set<std::string> failing;

    static PhoneState demo();
    static bool load(const std::string& path, PhoneState& out, std::string* error = nullptr);
    bool save(const std::string& path) const;
    std::string toText() const;
    static bool fromText(const std::string& text, PhoneState& out, std::string* error = nullptr);
};

}  // namespace phonesim
