#pragma once

// The simulated phone's contents: what it answers with. Loads from and saves
// to a readable text file; later features add their own sections.

#include <map>
#include <set>
#include <string>
#include <string_view>

#include "phonesim/NetworkServices.h"
#include "phonesim/ObjectStore.h"
#include "phonesim/OrganizerStore.h"
#include "phonesim/PhonebookStore.h"
#include "phonesim/SmsStore.h"

namespace phonesim {

// The phonebook codes the phone knows, in the order AT+CPBS=? lists them.
inline constexpr std::string_view kPhonebookCodes[] = {"SM", "ME", "FD", "RD",
                                                       "ON", "LD", "MC", "RC"};

struct PhoneState {
    // Identification (AT+CGMI, +CGMM, +CGMR, +CGSN, +CIMI, ^SCID).
    std::string manufacturer = "SIEMENS";
    std::string model = "S35i";
    std::string revision = "21";
    std::string imei = "449107284530215";
    std::string imsi = "262011234567890";
    std::string simSerial = "89490200001234567890";

    // Power and network (AT+CBC, +CREG?, +CSQ, +COPS?).
    int batteryStatus = 0;   // <bcs>
    int batteryCharge = 80;  // <bcl>, percent
    int regMode = 0;         // <n> of +CREG
    int regStatus = 1;       // <stat> of +CREG
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
    bool ringing = false;  // toggled by a bare AT^SRTC
    int handsFree = 0;
    int speakerVolume = 4;

    // Clock (+CCLK), kept as the phone's "yy/MM/dd,hh:mm:ss" text.
    std::string clock = "01/01/01,00:00:00";
    bool poweredOff = false;  // set by AT^SMSO

    // Message service settings (+CSMS, +CNMI) as last set.
    int smsService = 0;
    std::string cnmi = "0,0,0,0,0";

    // SMS service centre address (AT+CSCA).
    std::string serviceCentre = "+491710760000";
    int serviceCentreType = 145;

    // Short message memory and the messages sent (AT+CMGL, +CMGS, +CMGW, +CMGD,
    // +CPMS, ^SMGO). Empty by default; demo() fills it.
    SmsStore sms;

    // Phonebooks (AT+CPBS, +CPBR, +CPBW, ^SPBS, ^SPBG): SIM, phone memory, fixed
    // dialling, own numbers, and the call lists dialled, missed and received.
    // The Redbook "RD" is no memory of its own but a view (redbookMembers()).
    // Empty by default; demo() fills them.
    PhonebookStore sim{250, 20, 14, {}};
    PhonebookStore memory{100, 20, 18, {}};
    PhonebookStore fixedDialling{10, 20, 14, {}};
    PhonebookStore ownNumbers{6, 20, 14, {}};
    PhonebookStore dialledCalls{10, 20, 18, {}};
    PhonebookStore missedCalls{10, 20, 18, {}};
    PhonebookStore receivedCalls{10, 20, 18, {}};
    std::string selectedPhonebook = "SM";  // a code of kPhonebookCodes
    // A phone that reads one location at a time: AT+CPBR and AT^SPBG refuse
    // a range of locations (for tests of the readers' fallback).
    bool refuseRanges = false;

    // The SIM's PIN2, asked for by writes to fixed dialling (AT+CPIN).
    std::string pin2 = "1234";
    Pin2Status pin2Status = Pin2Status::NotGiven;  // reset by ATZ; not saved

    // Outcome of dialling a number (as dialled, blanks removed); numbers not
    // listed are answered with OK.
    std::map<std::string, DialResult> dialResults;

    // The organizer slots of the object store (AT^SBNR, AT^SBNW with "vcs").
    OrganizerStore organizer;
    // Cells, network search, preferred list, calls, forwarding and barring
    // (AT+CREG, +COPS, ^SPLM, ^SPLR, ^SPLW, +CPAS, +CLCC, +CCFC, +CLCK).
    NetworkServices net;

    // The phonebook memory of a code ("SM", "ME", "FD", "ON", "LD", "MC", "RC");
    // nothing for "RD" and unknown codes.
    PhonebookStore* phonebook(std::string_view code);
    const PhonebookStore* phonebook(std::string_view code) const;

    // The object store (AT^SBNR, AT^SBNW): the operator logo and the melody.
    ObjectStore objects;

    // Commands (upper-case prefixes, e.g. "ATZ", "AT+CGMI") that the phone
    // refuses with an error, for tests of failure paths.
    std::set<std::string> failing;
    // Commands (the same prefixes) the phone takes without a word, as a phone
    // that stops answering half-way through an operation.
    std::set<std::string> silent;

    static PhoneState demo();
    static bool load(const std::string& path, PhoneState& out, std::string* error = nullptr);
    bool save(const std::string& path) const;
    std::string toText() const;
    static bool fromText(const std::string& text, PhoneState& out, std::string* error = nullptr);
};

}  // namespace phonesim
